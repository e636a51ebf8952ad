#include "core/workflow/units_dialog_model.h"

#include "core/quantities/float_converter.h"
#include "core/shell/command_line.h"
#include "core/shell/user_settings.h"

void TMeasurementDialogModel::Activate(std::string_view measure) {
    // -1 stands for every text that is not a whole integer.
    switch (StrToIntDef(measure, -1)) {
    case 0:
        FPending = cMeasureSI;
        break;
    case 1:
        FPending = cMeasureUS;
        break;
    default:
        FPending = measure;
        break;
    }
}

std::optional<bool> TMeasurementDialogModel::Ok(TTavUserSettings& settings) const {
    if (!SIChecked() && !USChecked()) return std::nullopt;
    settings.SetMeasure(FPending);
    return SIUnitsOfMeasure(FPending);
}
