#pragma once

#include "core/workflow/mass_dialog_model.h"
#include "gui/lang/language_form.h"

#include <array>

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QPushButton;
class TFMU2SpinEdit;
struct TPageContext;

//! The centre-of-gravity and moment-of-inertia dialog of the shapes without geometry: the
//! worst-case choice, the centre of gravity relative to the workpiece centre and the
//! moment of inertia about Z. It edits a copy; OK stores it in the workpiece, Cancel drops
//! it. The fields are locked while the worst case is on.
class TFormMass : public QDialog {
    Q_OBJECT

public:
    TFormMass(TPageContext& context, QWidget* parent = nullptr);
    ~TFormMass() override;

    TMassDialogModel& Model() { return model_; }
    QCheckBox* WorstCase() const { return worstCase_; }
    TFMU2SpinEdit* MassCenter(int axis) const { return center_[static_cast<size_t>(axis)]; }
    TFMU2SpinEdit* MomentOfInertia(int axis) const { return moments_[static_cast<size_t>(axis)]; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* InertiaProgramButton() const { return inertiaProgram_; }

    void accept() override;

private:
    void ShowModel();

    TPageContext& context_;
    TMassDialogModel model_;
    TLanguageForm language_;
    QCheckBox* worstCase_ = nullptr;
    QFormLayout* momentForm_ = nullptr;
    std::array<TFMU2SpinEdit*, 3> center_{};
    std::array<TFMU2SpinEdit*, 3> moments_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* inertiaProgram_ = nullptr;
    bool showing_ = false;
};
