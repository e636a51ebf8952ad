#include "core/workflow/mass_dialog_model.h"

#include "core/document/my_project.h"
#include "core/workflow/workpiece_model.h"

#include <cmath>

TMassDialogModel::TMassDialogModel(TWorkpieceModel& workpiece) : FWorkpiece(workpiece) {
    Open();
}

void TMassDialogModel::Open() {
    const TMyProject::TWorkpiece& w = FWorkpiece.Document().Workpiece;
    FWorstCase = w.WorstCase && WorstCaseVisible();
    FMassCenter = w.MassCenter;
    FMoments = {w.MomentOfInertiaX, w.MomentOfInertiaY, w.MomentOfInertiaZ};
}

bool TMassDialogModel::WorstCaseVisible() const {
    const TWorkpieceShape shape = FWorkpiece.Document().Workpiece.Shape;
    return shape == cwsMassKnown || shape == cwsVolumeKnown;
}

void TMassDialogModel::ChkBoxTrMoWorstCaseClick(bool checked) {
    FWorstCase = checked;
    if (!checked) return;
    const TWorkpieceSize size = FWorkpiece.Size();
    const double mass = FWorkpiece.Document().Workpiece.Mass;
    for (int axis = 0; axis < 3; ++axis)
        FMoments[axis] = WorstCaseMomentOfInertia(size, mass, axis);
}

bool TMassDialogModel::ReadOnly() const {
    return FWorstCase || FWorkpiece.Document().Workpiece.Shape > cwsVolumeKnown;
}

bool TMassDialogModel::SetMassCenter(int axis, double value) {
    if (ReadOnly() || axis < 0 || axis > 2 || !std::isfinite(value) ||
        std::fabs(value) > cWorkpieceMassCenterLimit)
        return false;
    (axis == 0 ? FMassCenter.X : axis == 1 ? FMassCenter.Y : FMassCenter.Z) = value;
    return true;
}

double TMassDialogModel::MomentOfInertia(int axis) const {
    return axis >= 0 && axis < 3 ? FMoments[axis] : 0.0;
}

bool TMassDialogModel::SetMomentOfInertia(int axis, double value) {
    if (ReadOnly() || axis < 0 || axis > 2 || !std::isfinite(value) || value < 0.0) return false;
    FMoments[axis] = value;
    return true;
}

void TMassDialogModel::Ok() {
    FWorkpiece.StoreMassProperties(FWorstCase, FMassCenter, FMoments);
}
