#include "core/calc/site_conditions.h"

#include "core/quantities/prj_strings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kLapseFactor = 2.25577e-5; // 1/m
constexpr double kExponent = 5.25588;

// Mass flow per unit of effective area and upstream pressure, s/m: the orifice law of an
// ideal gas from rest at `ambient` into `pressure`.
double FlowFunction(double pressure, double ambient) {
    const double k = cAirKappa;
    const double rt = cAirGasConstant * cAirTemperature;
    const double r = pressure / ambient;
    if (!(r < 1.0)) return 0.0;
    if (r <= cCriticalPressureRatio) {
        // Choked: the throat is at the speed of sound, the flow no longer grows.
        return std::sqrt(k / rt) * std::pow(2.0 / (k + 1.0), (k + 1.0) / (2.0 * (k - 1.0)));
    }
    const double psi = std::pow(r, 2.0 / k) - std::pow(r, (k + 1.0) / k);
    return std::sqrt(2.0 * k / ((k - 1.0) * rt) * std::max(psi, 0.0));
}

bool Usable(double x) {
    return std::isfinite(x);
}

} // namespace

double StandardAtmospherePressure(double altitude) {
    if (!Usable(altitude)) return cStandardPressure;
    const double base = 1.0 - kLapseFactor * altitude;
    return base > 0.0 ? cStandardPressure * std::pow(base, kExponent) : 0.0;
}

double StandardAtmosphereAltitude(double pressure) {
    if (!Usable(pressure) || !(pressure > 0.0)) return 1.0 / kLapseFactor;
    return (1.0 - std::pow(pressure / cStandardPressure, 1.0 / kExponent)) / kLapseFactor;
}

double OrificeFlow(double diameter, double pressure, double ambient) {
    if (!Usable(diameter) || !Usable(pressure) || !Usable(ambient)) return 0.0;
    if (!(diameter > 0.0) || !(ambient > 0.0)) return 0.0;
    const double area = std::numbers::pi / 4.0 * diameter * diameter;
    const double p = std::max(pressure, 0.0);
    const double massFlow = cLeakDischargeCoefficient * area * ambient * FlowFunction(p, ambient);
    return massFlow / cAirStandardDensity;
}

double LeakFlow(const TLeak& leak, double pressure, double ambient) {
    switch (leak.Kind) {
    case clkOrifice: return OrificeFlow(leak.Diameter, pressure, ambient);
    case clkMeasured: {
        if (!Usable(leak.Flow) || !(leak.Flow > 0.0) || !Usable(ambient) || !(ambient > 0.0))
            return 0.0;
        // One orifice at two pressures: its area cancels in the ratio.
        const double atMeasure = FlowFunction(std::max(ambient + leak.Vacuum, 0.0), ambient);
        if (!Usable(leak.Vacuum) || !(leak.Vacuum < 0.0) || !(atMeasure > 0.0)) return 0.0;
        if (!Usable(pressure)) return 0.0;
        return leak.Flow * FlowFunction(std::max(pressure, 0.0), ambient) / atMeasure;
    }
    case clkNone: break;
    }
    return 0.0;
}

double LeakFlowAtVacuum(const TLeak& leak, double vacuum, double ambient) {
    return LeakFlow(leak, ambient + vacuum, ambient);
}

// ---- stored values ------------------------------------------------------------------------

void TSiteConditions::WriteTo(TPrjStrings& strings, const std::string& key) const {
    strings.WriteFloat(key + ".Altitude", Altitude);
    strings.SetValue(key + ".Leak.Kind", cLeakKindNames[Leak.Kind < cLeakKindNames.size() ? Leak.Kind : 0]);
    strings.WriteFloat(key + ".Leak.Diameter", Leak.Diameter);
    strings.WriteFloat(key + ".Leak.Flow", Leak.Flow);
    strings.WriteFloat(key + ".Leak.Vacuum", Leak.Vacuum);
}

void TSiteConditions::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    // An entry the file lacks keeps the value of a new project.
    const auto number = [&](const char* member, double& target) {
        const std::string k = key + member;
        if (strings.IndexOfName(k) >= 0) target = strings.ReadFloat(k);
    };
    number(".Altitude", Altitude);
    if (const std::string k = key + ".Leak.Kind"; strings.IndexOfName(k) >= 0) {
        const std::string name = strings.Value(k);
        Leak.Kind = clkNone;
        for (size_t i = 0; i < cLeakKindNames.size(); ++i)
            if (cLeakKindNames[i] == name) Leak.Kind = static_cast<TLeakKind>(i);
    }
    number(".Leak.Diameter", Leak.Diameter);
    number(".Leak.Flow", Leak.Flow);
    number(".Leak.Vacuum", Leak.Vacuum);
}

bool TSiteConditions::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TSiteConditions*>(&other);
    return o && o->Altitude == Altitude && o->Leak == Leak;
}

void TSiteConditions::AssignFrom(const TPrjObject& other) {
    if (const auto* o = dynamic_cast<const TSiteConditions*>(&other)) {
        Altitude = o->Altitude;
        Leak = o->Leak;
    }
}

void TSiteConditions::ClearItem() {
    Altitude = 0.0;
    Leak = TLeak{clkNone, cDefaultLeakDiameter, cDefaultLeakFlow, cDefaultLeakVacuum};
}
