#include "core/workflow/forces_model.h"

#include "core/document/my_project.h"

TForcesModel::TForcesModel(TMyProject& document, const TMotionCurves* motion)
    : FDocument(document), FMotion(motion) {}

TDriveAccelerations TForcesModel::Accelerations() const {
    const size_t type = FDocument.Drive.Type;
    if (type >= FDocument.MotionResults.size()) return {};
    const auto& block = FDocument.MotionResults[type];
    return {block[0], block[1], block[2]};
}

void TForcesModel::KraftChange() {
    if (FDocument.DisclaimerPending || FDocument.Project().Busy()) return;
    Recalculate();
}

void TForcesModel::Recalculate() {
    const TDriveType type = FDocument.Drive.Type;
    const double mass = FDocument.Workpiece.Mass;
    const double jz = FDocument.Workpiece.MomentOfInertiaZ;
    const TDriveAccelerations p = Accelerations();
    const TMotionLimits rotary = FMotion ? FMotion->NCRotaryLimits() : TMotionLimits{};
    const double timeEnd = FMotion ? FMotion->PositionTimeEnd(type) : 0.0;

    FExtremes = ForceExtremes(type, p, FDocument.LinearDirectionVector, mass);
    FRanges = ForceChartRanges(FExtremes, mass, timeEnd, jz, rotary);
    FMoments = GripperMoments(type, p, FDocument.Moving.CircularLever, jz, rotary, mass,
                              FDocument.Workpiece.MassCenter, FDocument.LinearDirectionVector);
    OnKraftChange.Emit(*this);
}

bool TForcesModel::TotalForceVisible() const {
    const TDriveType type = FDocument.Drive.Type;
    const TLinearDirection d = FDocument.Moving.LinearDirection;
    return !IsRotaryDrive(type) && (d == cldVerticalUp || d == cldVerticalDown);
}

void TForcesModel::DiagrammKraefteGetY(double x, int curve, double& y, bool& valid) const {
    if (!FMotion || curve < cfsX || curve > cfsTotal) {
        valid = false;
        return;
    }
    const auto f =
        GripperForceAt(FDocument.Drive.Type, x, FDocument.Workpiece.Mass,
                       FDocument.LinearDirectionVector, FDocument.Moving.CircularLever, *FMotion);
    if (!f) {
        valid = false;
        return;
    }
    switch (curve) {
    case cfsX:
        y = f->X;
        break;
    case cfsY:
        y = f->Y;
        break;
    case cfsZ:
        y = f->Z;
        break;
    default:
        y = f->Total;
        break;
    }
}

void TForcesModel::DiagrammMomenteGetY(double x, int curve, double& y, bool& valid) const {
    if (!FMotion || curve != cmsYZ) {
        valid = false;
        return;
    }
    const auto m =
        GripperMomentAt(FDocument.Drive.Type, x, FDocument.Workpiece.MomentOfInertiaZ, *FMotion);
    if (!m) {
        valid = false;
        return;
    }
    y = *m;
}
