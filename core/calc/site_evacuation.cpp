#include "core/calc/site_evacuation.h"

#include "core/calc/evacuation.h"

#include <algorithm>
#include <cmath>

namespace {

// One litre, the volume the measured times refer to, m³.
constexpr double cMeasuredVolume = 0.001;
// Steps of the search for the vacuum where the net flow ends.
constexpr int cReachSteps = 4000;

// The table's time (s, one generator, one litre) to the vacuum u (Pa, positive).
double TableTimeTo(TEvacuationTable& table, const TCustomDBInterpol* vacuum, std::string_view curve,
                   std::string_view vacuumCurve, double pressure, double u) {
    TVenturiConditions one;
    one.Count = 1;
    one.Pressure = pressure;
    one.Vacuum = -u;
    one.Volume = cMeasuredVolume;
    return EvacuationTime(table, vacuum, curve, vacuumCurve, one);
}

double Simpson(double a, double fa, double b, double fb, double fm) {
    return (b - a) / 6.0 * (fa + 4.0 * fm + fb);
}

template <class F>
double Adaptive(const F& f, double a, double fa, double b, double fb, double fm, double whole, double eps,
                int depth) {
    const double m = 0.5 * (a + b);
    const double lm = 0.5 * (a + m), rm = 0.5 * (m + b);
    const double flm = f(lm), frm = f(rm);
    const double left = Simpson(a, fa, m, fm, flm);
    const double right = Simpson(m, fm, b, fb, frm);
    const double diff = left + right - whole;
    if (depth <= 0 || std::abs(diff) <= 15.0 * eps || !std::isfinite(diff)) return left + right + diff / 15.0;
    return Adaptive(f, a, fa, m, fm, flm, left, 0.5 * eps, depth - 1) +
           Adaptive(f, m, fm, b, fb, frm, right, 0.5 * eps, depth - 1);
}

// ∫ f from a to b, refined where the integrand is steep (near the reachable vacuum).
template <class F> double Integrate(const F& f, double a, double b) {
    if (!(b > a)) return 0.0;
    const double fa = f(a), fb = f(b), fm = f(0.5 * (a + b));
    const double whole = Simpson(a, fa, b, fb, fm);
    return Adaptive(f, a, fa, b, fb, fm, whole, 1e-12 * std::max(std::abs(whole), 1e-9), 40);
}

} // namespace

bool TSuctionCurve::Build(TEvacuationTable& table, const TCustomDBInterpol* vacuum, std::string_view curve,
                          std::string_view vacuumCurve, double pressure) {
    FReach = 0.0;
    FNodes.clear();
    FFlows.clear();
    if (!table.LoadEvacuationCurve(curve)) return false;
    const double reach = VacuumAt(vacuum, vacuumCurve, pressure);
    const int k = table.UpperGroup(pressure);
    if (k < 0 || !(reach > 0.0)) return false;
    // The table's time at the operating pressure is linear between the levels of the two
    // groups it blends, each scaled by the ratio of reachable vacuums the blend uses.
    std::vector<double> points;
    for (int g : {k - 1, k}) {
        if (g < 0) continue;
        const TEvacuationGroup& group = table.Group(g);
        const double groupReach = VacuumAt(vacuum, vacuumCurve, group.Pressure);
        if (!(groupReach > 0.0)) continue;
        for (int j = 0; j < group.Points; ++j) {
            const double u = table.Level(j) * reach / groupReach;
            if (u > 0.0 && u <= reach) points.push_back(u);
        }
    }
    std::sort(points.begin(), points.end());
    // From ambient (no vacuum, no time) through every point where time still grows.
    FNodes.push_back({0.0, 0.0});
    for (double u : points) {
        const double t = TableTimeTo(table, vacuum, curve, vacuumCurve, pressure, u);
        const TNode& last = FNodes.back();
        if (std::isfinite(t) && u > last.Vacuum * (1.0 + 1e-12) && t > last.Time) FNodes.push_back({u, t});
    }
    if (FNodes.size() < 2) {
        FNodes.clear();
        return false;
    }
    for (size_t i = 1; i < FNodes.size(); ++i) {
        const double du = FNodes[i].Vacuum - FNodes[i - 1].Vacuum;
        const double dt = FNodes[i].Time - FNodes[i - 1].Time;
        // Isothermal: q = V/p_n · du/dt for the litre of the table.
        FFlows.push_back({0.5 * (FNodes[i].Vacuum + FNodes[i - 1].Vacuum),
                          cMeasuredVolume / cStandardPressure * du / dt});
    }
    FReach = reach;
    return true;
}

double TSuctionCurve::Flow(double u) const {
    if (FFlows.empty() || !(u < FReach)) return 0.0;
    const auto line = [](const TNode& a, const TNode& b, double x) {
        return a.Time + (b.Time - a.Time) * (x - a.Vacuum) / (b.Vacuum - a.Vacuum);
    };
    const TNode end{FReach, 0.0};
    double q = 0.0;
    if (u <= FFlows.front().Vacuum) {
        q = FFlows.size() >= 2 ? line(FFlows[0], FFlows[1], u) : line(FFlows[0], end, u);
    } else if (u >= FFlows.back().Vacuum) {
        q = line(FFlows.back(), end, u);
    } else {
        size_t i = 1;
        while (i < FFlows.size() && FFlows[i].Vacuum < u) ++i;
        q = line(FFlows[i - 1], FFlows[i], u);
    }
    return std::max(q, 0.0);
}

double TSuctionCurve::TimeSlope(double u) const {
    for (size_t i = 1; i < FNodes.size(); ++i)
        if (u < FNodes[i].Vacuum)
            return (FNodes[i].Time - FNodes[i - 1].Time) / (FNodes[i].Vacuum - FNodes[i - 1].Vacuum);
    return 0.0;
}

double TSuctionCurve::TableTime(double u) const {
    if (FNodes.empty()) return 0.0;
    for (size_t i = 1; i < FNodes.size(); ++i)
        if (u < FNodes[i].Vacuum)
            return FNodes[i - 1].Time + TimeSlope(u) * (u - FNodes[i - 1].Vacuum);
    return FNodes.back().Time;
}

TSiteEvacuation SiteEvacuation(const TSuctionCurve& curve, const TVenturiConditions& c) {
    TSiteEvacuation r;
    const double k = c.Ambient / cStandardPressure;
    const double reach = curve.Reach();
    if (!(k > 0.0) || !std::isfinite(k) || !(reach > 0.0)) return r;
    const int n = c.Count > 0 ? c.Count : 1;
    // The leak of the site in the flow of one generator at standard pressure.
    const auto leak = [&](double u) { return LeakFlow(c.Leak, c.Ambient - k * u, c.Ambient) / (n * k); };
    const auto net = [&](double u) { return curve.Flow(u) - leak(u); };

    // The first vacuum where the leak takes all the generator removes.
    double end = reach;
    if (c.Leak.Kind != clkNone) {
        double lo = 0.0;
        for (int i = 1; i <= cReachSteps; ++i) {
            const double u = reach * i / cReachSteps;
            if (net(u) <= 0.0) {
                double hi = u;
                for (int j = 0; j < 80; ++j) {
                    const double mid = 0.5 * (lo + hi);
                    (net(mid) > 0.0 ? lo : hi) = mid;
                }
                end = hi;
                break;
            }
            lo = u;
        }
    }
    r.ReachableVacuum = -k * end;

    if (c.Vacuum == 0.0) {
        r.Time = 0.0;
        return r;
    }
    const double target = -c.Vacuum / k;
    if (!(target > 0.0) || target > reach || (c.Leak.Kind != clkNone && !(target < end))) return r;

    const double last = curve.LastPoint();
    const auto rate = [&](double u) {
        const double q = curve.Flow(u);
        const double d = q - leak(u);
        if (u < last) return curve.TimeSlope(u) * q / d; // the table's time, slowed by the leak
        return cMeasuredVolume / cStandardPressure / d;
    };
    // Integrated piece by piece between the kinks of the time and flow curves.
    std::vector<double> cuts{0.0, target};
    for (const auto& node : curve.Nodes()) cuts.push_back(node.Vacuum);
    for (size_t i = 1; i < curve.Nodes().size(); ++i)
        cuts.push_back(0.5 * (curve.Nodes()[i - 1].Vacuum + curve.Nodes()[i].Vacuum));
    std::sort(cuts.begin(), cuts.end());
    double perLitre = 0.0;
    for (size_t i = 1; i < cuts.size(); ++i) {
        const double a = cuts[i - 1], b = std::min(cuts[i], target);
        if (b > a) perLitre += Integrate(rate, a, b);
        if (cuts[i] >= target) break;
    }
    const double time = perLitre * c.Volume / cMeasuredVolume / n;
    r.Time = std::isfinite(time) && time >= 0.0 ? time : -1.0;
    return r;
}

TSiteEvacuation SiteEvacuation(TEvacuationTable& table, const TCustomDBInterpol* vacuum, std::string_view curve,
                               std::string_view vacuumCurve, const TVenturiConditions& c) {
    const double k = c.Ambient / cStandardPressure;
    TSiteEvacuation r;
    if (c.Leak.Kind == clkNone) {
        // The table itself, read at the vacuum the site's level stands for.
        TVenturiConditions atTable = c;
        if (c.Ambient != cStandardPressure) atTable.Vacuum = k > 0.0 ? c.Vacuum / k : -INFINITY;
        r.Time = EvacuationTime(table, vacuum, curve, vacuumCurve, atTable);
        r.ReachableVacuum = -k * VacuumAt(vacuum, vacuumCurve, c.Pressure);
        return r;
    }
    TSuctionCurve suction;
    if (!suction.Build(table, vacuum, curve, vacuumCurve, c.Pressure)) {
        r.Time = c.Vacuum == 0.0 ? 0.0 : -1.0;
        r.ReachableVacuum = -k * VacuumAt(vacuum, vacuumCurve, c.Pressure);
        return r;
    }
    return SiteEvacuation(suction, c);
}
