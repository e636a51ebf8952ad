#include "core/workflow/air_model.h"

#include "core/data/custom_table.h"
#include "core/document/my_project.h"
#include "core/quantities/number_format.h"
#include "core/workflow/model_text.h"
#include "core/workflow/venturi_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kLitrePerMinute = 0.001 / 60.0;

bool Store(double value, double min, double max, double& target) {
    if (!std::isfinite(value) || value < min || value > max) return false;
    target = value;
    return true;
}

std::string Number(double x) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.3g", x);
    return buf;
}

} // namespace

TAirModel::TAirModel(TMyProject& doc, TVenturiModel& venturi) : FDoc(doc), FVenturi(venturi) {}

bool TAirModel::Inert() const {
    return FDoc.DisclaimerPending || FDoc.Project().Busy();
}

TAirCostInputs TAirModel::Inputs() const {
    TAirCostInputs in;
    in.CycleRate = FDoc.Air.CycleRate;
    in.HoldingTime = FDoc.Air.HoldingTime;
    in.OperatingTime = FDoc.Air.OperatingTime;
    in.PricePerCubicMetre = FDoc.Air.Price;
    in.EnergyPerCubicMetre = FDoc.Air.Energy;
    return in;
}

int TAirModel::ChosenRow() const {
    if (!FTable || FDoc.Venturi.OrderCode.empty() || FTable->ColByName("OrderCode") < 0) return -1;
    return FTable->FindRow("OrderCode", FDoc.Venturi.OrderCode);
}

TAirAccount TAirModel::Account() const {
    TAirAccount a;
    const TAirCostInputs in = Inputs();
    const double q = FVenturi.OperatingPoint().AirConsumption * kLitrePerMinute;
    // Away from sea level or with a leak the chosen generator's time at the site counts.
    const double t = FDoc.Site.Standard() || FDoc.Venturi.OrderCode.empty() ? FDoc.Venturi.Time
                                                                              : FVenturi.SiteResult().Time;
    const double off = -FDoc.Venturi.Vacuum;
    a.Hysteresis = cAirSavingHysteresisShare * off;
    const TAirSavingHold hold =
        AirSavingHold(FDoc.EvacuatedVolume, off, a.Hysteresis, in.HoldingTime, FSuction, FLeak);
    const TAirUse plain = AirUse(in, q, t, false, {});
    const TAirUse saving = AirUse(in, q, t, true, hold);

    const int row = ChosenRow();
    if (row >= 0) {
        a.AirSaving = CellText(*FTable, row, "~AirSaving") == "~Yes";
        if (a.AirSaving) {
            a.SavingOrderCode = FDoc.Venturi.OrderCode;
        } else {
            // The same series with the same evacuation and air curves: the same nozzle,
            // so the same times and air consumption, with the switch that saves air.
            const std::string group = CellText(*FTable, row, "Group");
            const std::string curve = CellText(*FTable, row, "Kennlinie");
            const std::string air = CellText(*FTable, row, "Luftverbrauch");
            for (int r = 0; r < FTable->Rows() && a.SavingOrderCode.empty(); ++r)
                if (CellText(*FTable, r, "~AirSaving") == "~Yes" && CellText(*FTable, r, "Group") == group &&
                    CellText(*FTable, r, "Kennlinie") == curve && CellText(*FTable, r, "Luftverbrauch") == air)
                    a.SavingOrderCode = CellText(*FTable, r, "OrderCode");
        }
    }
    a.Use = a.AirSaving ? saving : plain;
    if (!a.SavingOrderCode.empty()) a.Saving = AirSaving(plain, saving);
    else a.Saving = AirSaving(TAirUse{}, TAirUse{});
    return a;
}

void TAirModel::SpinEditCycleRateChange(double perSecond) {
    if (!Inert()) Store(perSecond, 0.0, cCycleRateMax, FDoc.Air.CycleRate);
}

void TAirModel::SpinEditHoldingTimeChange(double seconds) {
    if (!Inert()) Store(seconds, 0.0, cHoldingTimeMax, FDoc.Air.HoldingTime);
}

void TAirModel::SpinEditOperatingTimeChange(double seconds) {
    if (!Inert()) Store(seconds, 0.0, cOperatingTimeMax, FDoc.Air.OperatingTime);
}

void TAirModel::SpinEditAirPriceChange(double price) {
    if (!Inert()) Store(price, 0.0, cPriceMax, FDoc.Air.Price);
}

void TAirModel::SpinEditAirEnergyChange(double joules) {
    if (!Inert()) Store(joules, 0.0, cEnergyMax, FDoc.Air.Energy);
}

void TAirModel::SpinEditRequiredSafetyChange(double factor) {
    if (!Inert()) Store(factor, cSafetyMin, cSafetyMax, FDoc.RequiredSafety);
}

std::string VerdictLine(const THoldingVerdict& v, const TTranslateFunc& translate, bool withCup) {
    const auto tr = [&](std::string_view key) { return TranslateOrKey(translate, key); };
    if (!v.Judged) return tr("~DesignNotJudged");
    std::string line = tr(v.Holds() ? "~DesignHolds" : "~DesignDoesNotHold") + ": " + tr("~SmallestSafety") + " " +
                       (std::isinf(v.Safety) ? std::string("∞") : Number(v.Safety)) + " / " +
                       tr("~RequiredSafety") + " " + Number(v.Required);
    if (withCup && v.Cup >= 0)
        line += " (" + tr("~SuctionCup") + " " + std::to_string(v.Cup + 1) + ", " +
                tr(v.Transverse ? "~TransverseForce" : "~NormalForce") + ", t = " + Number(v.Time) + " s)";
    return line;
}

std::string MoneyText(double x, char sep) {
    if (!std::isfinite(x)) return "-";
    if (x == 0.0 || std::fabs(x) >= 0.01) {
        const int digits = x == 0.0 ? 2 : std::max(2, 2 - static_cast<int>(std::floor(std::log10(std::fabs(x)))));
        return FormatFixed(x, 18, std::min(digits, 12), sep);
    }
    // "8.55e-06": the rounding of the mantissa may carry into the exponent, which printf
    // already did.
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2e", x);
    std::string text = buf;
    const size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    std::replace(mantissa.begin(), mantissa.end(), '.', sep);
    const int exponent = std::atoi(text.c_str() + e + 1);
    static const char* const kSuperscript[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string power;
    for (int p = std::abs(exponent); ; p /= 10) {
        power.insert(0, kSuperscript[p % 10]);
        if (p < 10) break;
    }
    return mantissa + "·10" + (exponent < 0 ? "⁻" : "") + power;
}
