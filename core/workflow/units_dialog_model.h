#pragma once

#include "core/workflow/page_workflow.h"

#include <optional>
#include <string>
#include <string_view>

class TTavUserSettings;

//! Texts of the user setting "Measure": SI units and US units.
inline constexpr std::string_view cMeasureSI = "0";
inline constexpr std::string_view cMeasureUS = "1";
//! The topic the units dialog's help button opens.
inline constexpr int cUnitsDialogHelpTopic = cHelpFormulae;

//! The measurement-system dialog without widgets: a pending setting that starts as the
//! user setting "Measure", changes with the two options and is stored by OK.
class TMeasurementDialogModel {
public:
    //! On activation the pending setting is `measure`. A text that reads as the whole
    //! integer 0 checks the SI option, 1 the US option (and the pending setting becomes
    //! "0" or "1", so that OK gives the system that is shown checked); any other text
    //! checks neither and is kept as it is.
    void Activate(std::string_view measure);

    const std::string& Pending() const { return FPending; }
    bool SIChecked() const { return FPending == cMeasureSI; }
    bool USChecked() const { return FPending == cMeasureUS; }

    //! The options: the pending setting becomes "0" or "1".
    void RadioButton_SIClick() { FPending = cMeasureSI; }
    void RadioButton_USClick() { FPending = cMeasureUS; }

    //! OK: stores the pending setting as "Measure" (which writes the settings file) and
    //! returns whether the application switches to SI (true) or US units (false). While
    //! neither option is checked nothing was chosen: nothing is stored and nothing
    //! switches (empty). Cancel is not calling this.
    std::optional<bool> Ok(TTavUserSettings& settings) const;

private:
    std::string FPending;
};
