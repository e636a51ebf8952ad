#include "core/workflow/page_validation.h"

#include "core/calc/workpiece.h"
#include "core/document/my_project.h"
#include "core/workflow/workpiece_model.h"

namespace {

bool Positive(double value) {
    return value > 0.0;
}

TPageCheckFailure Failure(std::string_view message, std::string_view control) {
    return {std::string(message), std::string(control)};
}

bool RotaryDrive(TDriveType type) {
    return type == cdtPneumaticCircular || type == cdtNCCircular;
}

} // namespace

TPageCheckResult TPageValidation::CheckWorkpiece(const TMyProject& document) {
    const TMyProject::TWorkpiece& w = document.Workpiece;
    // Visibility of the size fields depends on the shape alone.
    const TWorkpieceFieldState shown = WorkpieceFieldState(w.Shape, w.MassKnown, false);
    if (shown.LengthXVisible && !Positive(w.LengthX))
        return Failure("~Length(X)", cpcLengthX);
    if (shown.LengthYVisible && !Positive(w.LengthY)) return Failure("~Width(Y)", cpcLengthY);
    if (shown.LengthZVisible && !Positive(w.LengthZ)) return Failure("~Height(Z)", cpcLengthZ);
    if (shown.OuterDiameterVisible && !Positive(w.OuterDiameter))
        return Failure("~Diameter", cpcOuterDiameter);
    if (shown.InnerDiameterVisible) {
        if (!Positive(w.InnerDiameter)) return Failure("~InsideDiameter", cpcInnerDiameter);
        if (!(w.InnerDiameter < w.OuterDiameter))
            return Failure("~InsideDiameter", cpcInnerDiameter);
    }
    if (!Positive(document.Friction)) return Failure("~FrictionCoefficient", cpcFriction);
    const TWorkpieceSize size{w.LengthX, w.LengthY, w.LengthZ, w.OuterDiameter, w.InnerDiameter};
    if (!(WorkpieceGripSize(w.Shape, size) > cMinGripSize))
        return Failure("~SuctionCupDiameter[mm]", "");
    return std::nullopt;
}

TPageCheckResult TPageValidation::CheckRequiredVacuum(const TMyProject& document) {
    // The vacuum is a gauge pressure: a usable one lies below ambient.
    if (!(document.Venturi.Vacuum < 0.0)) return Failure("~Vacuum", cpcRequiredVacuum);
    return std::nullopt;
}

TPageCheckResult TPageValidation::CheckMotion(const TMyProject& document) {
    const TMyProject::TMoving& m = document.Moving;
    if (RotaryDrive(document.Drive.Type)) {
        if (!Positive(m.CircularAngle)) return Failure("~RotationAngle", cpcRotationAngle);
        if (!Positive(m.CircularLever)) return Failure("~Lever", cpcLever);
        return std::nullopt;
    }
    if (!Positive(m.LinearTravel)) return Failure("~Travel", cpcTravel);
    return std::nullopt;
}

TPageCheckResult TPageValidation::CheckDrive(const TMyProject& document, double absorberLever) {
    const TMyProject::TDrive& d = document.Drive;
    if (d.Type == cdtPneumaticCircular && d.PneumaticCircular.UseQdr && !Positive(absorberLever))
        return Failure("~ShockAbsorberLever", cpcAbsorberLever);
    return std::nullopt;
}

TPageCheckResult TPageValidation::CheckSelection(bool selectedValid, std::string firstColumnTitle,
                                                 std::string_view gridName) {
    if (selectedValid) return std::nullopt;
    return TPageCheckFailure{std::move(firstColumnTitle), std::string(gridName)};
}
