#pragma once

#include "app/frame/page.h"
#include "core/calc/workpiece.h"
#include "core/quantities/units.h"

#include <array>
#include <string>
#include <vector>

#include <QColor>
#include <QPointF>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;
class TFieldBinding;
class TFMU2Panel;
class TFMU2SpinEdit;
class TFormMass;

//! A picture of the workpiece: the chosen shape in its proportions, seen obliquely from
//! the front, right and above (orthographic, X to the right and towards the viewer, Y away,
//! Z up), with its dimensions named. The solid is scaled to fill the widget inside a margin
//! of cMargin pixels on every side (a pipe cPipeMargin more) and centred, so the centre of the workpiece is the
//! centre of the widget. A zero size is drawn as half the largest one given, so a shape is
//! recognisable before it has sizes. Faces are filled in shades of yellow; a pipe's bore
//! is white; the shapes known only by their mass or volume show their enveloping box
//! dotted around a lump.
class TWorkpieceDrawing : public QWidget {
    Q_OBJECT

public:
    //! Room for the dimension lines on every side, pixels.
    static constexpr int cMargin = 44;
    static constexpr int cPipeMargin = 30;
    //! The face turned to the viewer's front, the one on top and the one on the right.
    static inline const QColor cFillFront{255, 224, 0};
    static inline const QColor cFillTop{255, 243, 140};
    static inline const QColor cFillSide{226, 186, 0};
    static inline const QColor cBore{255, 255, 255};

    explicit TWorkpieceDrawing(QWidget* parent = nullptr);

    void SetWorkpiece(TWorkpieceShape shape, const TWorkpieceSize& size);
    TWorkpieceShape Shape() const { return shape_; }
    const TWorkpieceSize& Size() const { return size_; }

    //! Where a point of the workpiece (m, relative to its centre) appears in the widget at
    //! its present size.
    QPointF Project(double x, double y, double z) const;

    QSize sizeHint() const override { return {360, 320}; }
    QSize minimumSizeHint() const override { return {200, 180}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct TLayout {
        double Scale = 1.0;
        QPointF Offset;
    };
    // The sizes as drawn: zero sizes replaced, the bore kept inside the outer diameter.
    TWorkpieceSize Drawn() const;
    TLayout Fit(const TWorkpieceSize& drawn) const;
    static QPointF Oblique(double x, double y, double z);

    TWorkpieceShape shape_ = cwsBar;
    TWorkpieceSize size_;
};

//! The workpiece page: shape, sizes, volume, material, density and mass with the choice
//! whether the mass is known or follows from the density, the friction coefficient with
//! its table in the help, the moments of inertia, the centre-of-gravity dialog for the
//! shapes without geometry, and a drawing of the shape. Every entry goes to the workpiece
//! model; the page shows what the model holds and which fields it shows and locks. While
//! an entry field holds an invalid text the navigator is disabled.
class TWorkpiecePage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TWorkpiecePage(TPageContext& context);
    ~TWorkpiecePage() override;

    int Index() const override { return cmpWorkpiece; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;
    void Enter() override;
    void Retranslate() override;

    QComboBox* ShapeList() const { return shape_; }
    QComboBox* MaterialList() const { return material_; }
    TFMU2SpinEdit* LengthX() const { return lengthX_; }
    TFMU2SpinEdit* LengthY() const { return lengthY_; }
    TFMU2SpinEdit* LengthZ() const { return lengthZ_; }
    TFMU2SpinEdit* OuterDiameter() const { return outer_; }
    TFMU2SpinEdit* InnerDiameter() const { return inner_; }
    TFMU2SpinEdit* Volume() const { return volume_; }
    TFMU2SpinEdit* Density() const { return density_; }
    TFMU2SpinEdit* Mass() const { return mass_; }
    TFMU2SpinEdit* Friction() const { return friction_; }
    TFMU2Panel* MomentOfInertia(int axis) const { return moments_[static_cast<size_t>(axis)]; }
    QRadioButton* CalculateValueButton() const { return calculate_; }
    QRadioButton* KnownValueButton() const { return known_; }
    QToolButton* FrictionButton() const { return frictionHelp_; }
    QPushButton* MassDialogButton() const { return massDialogButton_; }
    QPushButton* InertiaProgramButton() const { return inertiaProgram_; }
    TWorkpieceDrawing* Drawing() const { return drawing_; }
    //! The label of a field (the one in the field's form row).
    QWidget* LabelOf(QWidget* field) const;
    //! The centre-of-gravity dialog while it is open.
    TFormMass* MassDialog() const;

    //! The eight fields whose validity decides whether the navigator is enabled.
    std::array<TFMU2SpinEdit*, 8> CheckedFields() const;

private:
    TFMU2SpinEdit* AddField(const char* name, const char* key, TNormUnit quantity,
                            double max);
    void ShowModel();
    void ShowMaterial();
    void ReportValidity();
    void OpenMassDialog();

    TPageContext& context_;
    QFormLayout* form_ = nullptr;
    QComboBox* shape_ = nullptr;
    QComboBox* material_ = nullptr;
    // The "ProjectKey" of each entry of the material list; empty for "~UserDefined".
    std::vector<std::string> materialKeys_;
    TFMU2SpinEdit* lengthX_ = nullptr;
    TFMU2SpinEdit* lengthY_ = nullptr;
    TFMU2SpinEdit* lengthZ_ = nullptr;
    TFMU2SpinEdit* outer_ = nullptr;
    TFMU2SpinEdit* inner_ = nullptr;
    TFMU2SpinEdit* volume_ = nullptr;
    TFMU2SpinEdit* density_ = nullptr;
    TFMU2SpinEdit* mass_ = nullptr;
    TFMU2SpinEdit* friction_ = nullptr;
    std::array<TFMU2Panel*, 3> moments_{};
    std::array<QLabel*, 3> momentLabels_{};
    QRadioButton* calculate_ = nullptr;
    QRadioButton* known_ = nullptr;
    QToolButton* frictionHelp_ = nullptr;
    QPushButton* massDialogButton_ = nullptr;
    QPushButton* inertiaProgram_ = nullptr;
    TWorkpieceDrawing* drawing_ = nullptr;
    std::vector<TFieldBinding*> bindings_;
    QPointer<TFormMass> massDialog_;
    bool showing_ = false;
};
