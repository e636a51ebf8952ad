#include "core/calc/air_cost.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Simpson intervals: the flows are smooth, and a logarithmic singularity at an operating
// point lies outside every interval that is integrated (the flow is checked positive).
constexpr int kSteps = 400;

double Flow(const TFlowAtVacuum& f, double v) {
    return f ? f(v) : 0.0;
}

} // namespace

double PumpTime(double volume, double from, double to, const TFlowAtVacuum& flow) {
    if (!(to > from)) return 0.0;
    if (!std::isfinite(from) || !std::isfinite(to) || !(volume >= 0.0)) return kInf;
    const double h = (to - from) / kSteps;
    double sum = 0.0;
    for (int i = 0; i <= kSteps; ++i) {
        const double q = Flow(flow, from + i * h);
        if (!(q > 0.0) || !std::isfinite(q)) return kInf;
        const double w = i == 0 || i == kSteps ? 1.0 : (i % 2 ? 4.0 : 2.0);
        sum += w / q;
    }
    return volume / cStandardPressure * sum * h / 3.0;
}

TAirSavingHold AirSavingHold(double volume, double offVacuum, double hysteresis, double holdingTime,
                             const TFlowAtVacuum& suction, const TFlowAtVacuum& leak) {
    TAirSavingHold h;
    const double hold = std::isfinite(holdingTime) && holdingTime > 0.0 ? holdingTime : 0.0;
    const double on = offVacuum - hysteresis;
    // A tight workpiece keeps its vacuum: the switch never turns the air on again.
    if (!leak || !(Flow(leak, offVacuum) > 0.0)) return h;
    if (!(hysteresis > 0.0)) {
        // A switch without hysteresis chatters at the switch-off point: the generator
        // counts as blowing through.
        h.RunningTime = hold;
        h.Reevacuations = hold > 0.0 ? 1 : 0;
        h.RunsThrough = true;
        return h;
    }
    const double decay = PumpTime(volume, on, offVacuum, leak);
    if (!std::isfinite(decay) || decay >= hold) return h;
    const double refill =
        PumpTime(volume, on, offVacuum, [&](double v) { return Flow(suction, v) - Flow(leak, v); });
    if (!std::isfinite(refill)) {
        h.RunningTime = hold - decay;
        h.Reevacuations = 1;
        h.RunsThrough = true;
        return h;
    }
    // Each period falls for `decay` and refills for `refill`.
    const double period = decay + refill;
    const double periods = std::floor(hold / period);
    const double rest = hold - periods * period;
    h.RunningTime = periods * refill + (rest > decay ? rest - decay : 0.0);
    h.Reevacuations = static_cast<int>(std::min(periods + (rest > decay ? 1.0 : 0.0), 2.0e9));
    return h;
}

TAirUse AirUse(const TAirCostInputs& in, double airConsumption, double evacuationTime, bool airSaving,
               const TAirSavingHold& hold) {
    TAirUse u;
    u.Cycles = in.CycleRate * in.OperatingTime;
    if (!(evacuationTime >= 0.0) || !std::isfinite(evacuationTime) || !std::isfinite(airConsumption)) {
        u.RunningTime = u.AirPerCycle = u.AirPerYear = u.EnergyPerCycle = u.EnergyPerYear = u.CostPerCycle =
            u.CostPerYear = kNaN;
        return u;
    }
    const double holding = std::isfinite(in.HoldingTime) && in.HoldingTime > 0.0 ? in.HoldingTime : 0.0;
    u.Valid = true;
    u.RunningTime = evacuationTime + (airSaving ? hold.RunningTime : holding);
    u.Reevacuations = airSaving ? hold.Reevacuations : 0;
    u.AirPerCycle = airConsumption * u.RunningTime;
    u.AirPerYear = u.AirPerCycle * u.Cycles;
    u.EnergyPerCycle = u.AirPerCycle * in.EnergyPerCubicMetre;
    u.EnergyPerYear = u.AirPerYear * in.EnergyPerCubicMetre;
    u.CostPerCycle = u.AirPerCycle * in.PricePerCubicMetre;
    u.CostPerYear = u.AirPerYear * in.PricePerCubicMetre;
    return u;
}

TAirUse AirSaving(const TAirUse& without, const TAirUse& with) {
    TAirUse s;
    s.Cycles = without.Cycles;
    s.Valid = without.Valid && with.Valid;
    const auto diff = [&](double a, double b) { return s.Valid ? a - b : kNaN; };
    s.RunningTime = diff(without.RunningTime, with.RunningTime);
    s.Reevacuations = 0;
    s.AirPerCycle = diff(without.AirPerCycle, with.AirPerCycle);
    s.AirPerYear = diff(without.AirPerYear, with.AirPerYear);
    s.EnergyPerCycle = diff(without.EnergyPerCycle, with.EnergyPerCycle);
    s.EnergyPerYear = diff(without.EnergyPerYear, with.EnergyPerYear);
    s.CostPerCycle = diff(without.CostPerCycle, with.CostPerCycle);
    s.CostPerYear = diff(without.CostPerYear, with.CostPerYear);
    return s;
}
