#pragma once

#include "app/frame/page.h"
#include "core/quantities/units.h"

#include <array>

#include <QWidget>

class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
class TCupViews;
class TFMU2SpinEdit;

//! The positioning page: the arrangement strategy with its counts, start angle and
//! distances, the grid that manually placed cups lock onto, and the three workpiece views
//! with the cups in them, where manual positioning drags the cups with the mouse. Below the
//! inputs the legend of the cup colours, the collision warning and the panel shown when the
//! load system cannot be solved. Every entry goes to the suction cup model; the page shows
//! the fields, pages and labels the model says.
class TPositioningPage : public QWidget, public TPage {
    Q_OBJECT

public:
    explicit TPositioningPage(TPageContext& context);
    ~TPositioningPage() override;

    int Index() const override { return cmpPositioning; }
    QWidget* Widget() override { return this; }
    void Refresh(TAspects aspects) override;
    void Retranslate() override;

    QComboBox* StrategyList() const { return strategy_; }
    TFMU2SpinEdit* Count1() const { return count1_; }
    TFMU2SpinEdit* Count2() const { return count2_; }
    TFMU2SpinEdit* Angle() const { return angle_; }
    TFMU2SpinEdit* EdgeDistance() const { return edge_; }
    TFMU2SpinEdit* Spacing() const { return spacing_; }
    QGroupBox* DistanceGroup() const { return distances_; }
    QGroupBox* GridGroup() const { return grid_; }
    //! "~DoNotLockPosition", "~Cartesian", "~Polar".
    QRadioButton* GridButton(int type) const { return gridButtons_[static_cast<size_t>(type)]; }
    TFMU2SpinEdit* GridLength() const { return gridLength_; }
    TFMU2SpinEdit* GridAngle() const { return gridAngle_; }
    QLabel* CollisionLabel() const { return collision_; }
    QLabel* UnsolvablePanel() const { return unsolvable_; }
    QLabel* MouseHint() const { return mouseHint_; }
    QLabel* TiltHint() const { return tiltHint_; }
    TCupViews* Views() const { return views_; }
    //! The label of a field (the one in the field's form row).
    QWidget* LabelOf(QWidget* field) const;

private:
    QWidget* BuildInputs();
    TFMU2SpinEdit* Field(const char* name, TNormUnit quantity, TNUMessurement si,
                         TNUMessurement us);
    void StrategyEntered();
    void GridEntered();
    void ShowModel();
    void AlignLabels();

    TPageContext& context_;
    QComboBox* strategy_ = nullptr;
    QFormLayout* strategyForm_ = nullptr;
    TFMU2SpinEdit* count1_ = nullptr;
    TFMU2SpinEdit* count2_ = nullptr;
    TFMU2SpinEdit* angle_ = nullptr;
    QGroupBox* distances_ = nullptr;
    QFormLayout* distanceForm_ = nullptr;
    TFMU2SpinEdit* edge_ = nullptr;
    TFMU2SpinEdit* spacing_ = nullptr;
    QGroupBox* grid_ = nullptr;
    QFormLayout* gridForm_ = nullptr;
    std::array<QRadioButton*, 3> gridButtons_{};
    TFMU2SpinEdit* gridLength_ = nullptr;
    TFMU2SpinEdit* gridAngle_ = nullptr;
    QLabel* collision_ = nullptr;
    QLabel* unsolvable_ = nullptr;
    QLabel* mouseHint_ = nullptr;
    QLabel* tiltHint_ = nullptr;
    TCupViews* views_ = nullptr;
    //! The page shows a state of the model: the controls' events are not user input.
    bool showing_ = false;
    // The strategy and grid the rows and labels were last laid out for (-1: none yet).
    int labelledStrategy_ = -1;
    int labelledGrid_ = -1;
};
