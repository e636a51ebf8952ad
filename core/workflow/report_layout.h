#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/quantities/units.h"

class TVacuumApplication;

//! One drawing command of the printed report, in the printer's pixels of the page it is on.
//! The report is laid out once as a list of these and drawn by whoever owns a paint
//! device (printer, PDF, image), so every output shows the same report.
struct TReportCommand {
    enum TOp {
        //! Text (UTF-8, one line) whose top left corner is at (X, Y), in the report font
        //! times FontScale.
        crText,
        //! A line from (X, Y) to (X2, Y2).
        crLine,
        //! The outline of the rectangle from (X, Y) to (X2, Y2).
        crRect,
        //! The current page is finished; what follows is on a new page.
        crNewPage,
    };
    TOp Op = crText;
    int X = 0, Y = 0, X2 = 0, Y2 = 0;
    int FontScale = 1;
    std::string Text;

    bool operator==(const TReportCommand&) const = default;
};

//! What a report value field would show: the value of `Control` (its stable name, as in
//! page_controls.h), a quantity in base units, as text followed by a blank and the unit.
struct TReportValue {
    std::string_view Control;
    TNormUnit Quantity = cNU_NoUnit;
    double Value = 0.0;
};
using TReportFieldText = std::function<std::string(const TReportValue&)>;

//! What the report is laid out for: the page in the printer's pixels, the line height of the
//! report font on that device (the height of "Mg"), and the texts that come from outside
//! the model.
struct TReportSetup {
    int PageWidth = 4961;   // A4 at 600 dpi
    int PageHeight = 7016;
    int LineHeight = 100;
    //! The date and time the report is printed, as the system writes them.
    std::string DateTime;
    //! The program's version (the "Version" user setting).
    std::string Version;
    //! The "Measure" user setting: "1" prints the moments of inertia in lb in².
    std::string Measure = "0";
    //! The "Currency" user setting: the symbol the air costs are printed with.
    std::string Currency = "€";
    //! The display text of a value field; unset: the value in the default unit of the
    //! quantity in the system Measure names.
    TReportFieldText FieldText;
};

//! The report laid out: the commands of every page in order, pages separated by crNewPage.
struct TReportLayout {
    std::vector<TReportCommand> Commands;
    int Pages = 0;
};

//! What a value field of the report shows when the setup has no FieldText: the value in
//! the default unit of its quantity in the SI system (`measure` "0") or the US system
//! (any other), followed by a blank and the unit's symbol (nothing for units without one,
//! such as pieces). At least three decimals, more for small values so that four
//! significant digits show; trailing zeros are dropped.
std::string ReportDefaultFieldText(const TReportValue& value, std::string_view measure);

//! Lays out the report of the application's current project in its current language: the
//! header and footer on every page, the project, customer and remark texts, the blocks of
//! the pages' inputs and choices, the evacuation time and the parts list (assembled anew).
TReportLayout LayoutReport(TVacuumApplication& app, const TReportSetup& setup);
