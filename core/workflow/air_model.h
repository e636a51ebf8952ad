#pragma once

#include "core/calc/air_cost.h"
#include "core/calc/holding_verdict.h"
#include "core/util/translate_func.h"

#include <string>

class TCustomTable;
class TMyProject;
class TVenturiModel;

//! The compressed air the chosen generators take, what it costs, and what an air-saving
//! generator of the same series would save.
struct TAirAccount {
    //! The chosen generator has an air-saving function ("~AirSaving").
    bool AirSaving = false;
    //! Switching hysteresis assumed for the air-saving switch, Pa.
    double Hysteresis = 0.0;
    //! The chosen generators.
    TAirUse Use;
    //! The air-saving generator compared: the chosen one when it saves air, else the first
    //! of the same series with the same curves (same nozzle); empty when there is none.
    std::string SavingOrderCode;
    //! What that generator saves against blowing through the holding time (not valid when
    //! there is none).
    TAirUse Saving;
};

//! The air and cost group of the vacuum generator page and the required safety of the
//! load page: their handlers and what they compute. The inputs live in the document.
class TAirModel {
public:
    TAirModel(TMyProject& doc, TVenturiModel& venturi);
    TAirModel(const TAirModel&) = delete;
    TAirModel& operator=(const TAirModel&) = delete;

    //! The generator table ("OrderCode", "Group", "Kennlinie", "Luftverbrauch",
    //! "~AirSaving"; not owned).
    void SetVenturiTable(const TCustomTable* table) { FTable = table; }
    //! Free-air flow of the workpiece's leak at a vacuum level; null or 0 for a tight part.
    void SetLeakFlow(TFlowAtVacuum leak) { FLeak = std::move(leak); }
    //! Suction flow of all chosen generators at a vacuum level (needed with a leak only).
    void SetSuctionFlow(TFlowAtVacuum suction) { FSuction = std::move(suction); }

    //! True while the handlers must do nothing (disclaimer pending or store busy).
    bool Inert() const;

    //! The inputs as the calculation takes them.
    TAirCostInputs Inputs() const;
    //! The account for the chosen generator and the document's inputs.
    TAirAccount Account() const;

    // --- handlers: each stores a finite value within its field's range ----------------
    //! Cycles per second.
    void SpinEditCycleRateChange(double perSecond);
    void SpinEditHoldingTimeChange(double seconds);
    //! Operating time per year, s.
    void SpinEditOperatingTimeChange(double seconds);
    void SpinEditAirPriceChange(double price);
    //! Energy per standard cubic metre, J.
    void SpinEditAirEnergyChange(double joules);
    void SpinEditRequiredSafetyChange(double factor);

    // --- field ranges in base units ---------------------------------------------------
    static constexpr double cCycleRateMax = 10.0;             // 36,000 an hour
    static constexpr double cHoldingTimeMax = 3600.0;
    static constexpr double cOperatingTimeMax = 8784.0 * 3600.0; // a leap year
    static constexpr double cPriceMax = 1000.0;
    static constexpr double cEnergyMax = 10.0 * 3.6e6;        // 10 kWh
    static constexpr double cSafetyMin = 1.0;
    static constexpr double cSafetyMax = 100.0;

private:
    int ChosenRow() const;

    TMyProject& FDoc;
    TVenturiModel& FVenturi;
    const TCustomTable* FTable = nullptr;
    TFlowAtVacuum FLeak, FSuction;
};

//! A sum of money as the pages and the report show it, without the currency: three
//! significant digits and at least two decimals from a hundredth on ("6.16", "0.0200",
//! "123.46"); a smaller sum, such as the cost of one cycle, as three significant digits
//! times a power of ten ("8.55·10⁻⁶"), so that no row of zeros hides its digits; "0.00"
//! for nothing and "-" for no figure. `sep` is the decimal separator.
std::string MoneyText(double x, char sep);

//! One line saying whether the design holds: "~DesignHolds" or "~DesignDoesNotHold",
//! the smallest safety against the required one, the cup and the load that limit it and
//! the instant (left out without `withCup`); "~DesignNotJudged" when the loads could not
//! be computed.
std::string VerdictLine(const THoldingVerdict& verdict, const TTranslateFunc& translate, bool withCup = true);
