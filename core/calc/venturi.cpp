#include "core/calc/venturi.h"

#include "core/calc/evacuation.h"
#include "core/data/db_interpol.h"
#include "core/quantities/number_format.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double cPaPerBar = 1.0e5;
// One litre, the volume the measured times refer to, m³.
constexpr double cMeasuredVolume = 0.001;

double Finite(double x) {
    return std::isfinite(x) ? x : 0.0;
}

} // namespace

double CurveValue(const TCustomDBInterpol* family, std::string_view curve, double x) {
    if (!family || !std::isfinite(x)) return 0.0;
    return Finite(family->Evaluate(curve, x));
}

double VacuumAt(const TCustomDBInterpol* vacuum, std::string_view curve, double p) {
    return CurveValue(vacuum, curve, p / cPaPerBar) * cPaPerBar;
}

double EvacuationTime(TEvacuationTable& table, const TCustomDBInterpol* vacuum,
                      std::string_view curve, std::string_view vacuumCurve,
                      const TVenturiConditions& c) {
    const bool loaded = table.LoadEvacuationCurve(curve);
    if (c.Vacuum == 0.0) return 0.0;
    if (!loaded) return -1.0;
    const double p = c.Pressure;
    const double reach = VacuumAt(vacuum, vacuumCurve, p);
    const int k = table.UpperGroup(p);
    if (k < 0 || !(reach > 0.0) || reach < -c.Vacuum) return -1.0;
    const double r = -c.Vacuum / reach;
    double t = 0.0;
    if (k == 0) {
        // A single group: the pressure equals its pressure, nothing to blend.
        t = table.GroupTime(0, reach * r);
    } else {
        const double pLo = table.Group(k - 1).Pressure;
        const double pHi = table.Group(k).Pressure;
        const double tLo = table.GroupTime(k - 1, VacuumAt(vacuum, vacuumCurve, pLo) * r);
        const double tHi = table.GroupTime(k, VacuumAt(vacuum, vacuumCurve, pHi) * r);
        t = ((p - pLo) * tHi + (pHi - p) * tLo) / (pHi - pLo);
    }
    const int n = c.Count > 0 ? c.Count : 1;
    const double result = t * c.Volume / cMeasuredVolume / n;
    return std::isfinite(result) ? result : -1.0;
}

TOperatingValues OperatingValues(const TVenturiCurves& curves, const TVenturiCurveNames& names,
                                 double p, int n) {
    TOperatingValues v;
    const double bar = p / cPaPerBar;
    v.Vacuum = -VacuumAt(curves.Vacuum, names.Vacuum, p);
    v.AirConsumption = CurveValue(curves.AirConsumption, names.AirConsumption, bar) * n;
    v.SuctionCapacity = CurveValue(curves.SuctionCapacity, names.SuctionCapacity, bar) * n;
    // Generators running side by side are independent sources: their sound powers add,
    // which raises the level by 10·log10(n) (3 dB per doubling).
    v.SoundPressureLevel = CurveValue(curves.SoundPressureLevel, names.SoundPressureLevel, bar) +
                           (n > 1 ? 10.0 * std::log10(static_cast<double>(n)) : 0.0);
    return v;
}

std::string EvacuationTimeText(double seconds) {
    char buf[64];
    if (!(seconds >= 0.0) || !std::isfinite(seconds)) return "-";
    if (seconds >= 1.0)
        std::snprintf(buf, sizeof buf, "%0.3g s", seconds);
    else
        std::snprintf(buf, sizeof buf, "%d ms", static_cast<int>(RoundHalfEven(seconds * 1000.0)));
    return buf;
}

std::string VacuumText(double bar) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.3g bar", std::isfinite(bar) ? 0.0 - bar : 0.0);
    return buf;
}

bool NozzleFitsTube(double nozzleDiameter, double tubeDiameter) {
    return !(3.0 * nozzleDiameter > tubeDiameter);
}
