// Evacuation at the site: the generator's flow curve derived from its time table, the
// vacuum it reaches against a leak, the time with the leak, and the ambient pressure.

#include "core/calc/evacuation.h"
#include "core/calc/site_evacuation.h"
#include "tests/core/calc/venturi_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A generator whose free-air flow falls linearly from Qs at no vacuum to 0 at vmax:
// q(v) = Qs·(1 − v/vmax). One litre then takes t(v) = V·vmax/(p_n·Qs)·ln(vmax/(vmax − v)).
constexpr double kQs = 1.0e-3 / 60.0; // 1 l/min
constexpr double kVmax = 0.9e5;

double ClosedFormTime(double v) {
    return 1e-3 * kVmax / (cStandardPressure * kQs) * std::log(kVmax / (kVmax - v));
}

double LinearFlow(double v) {
    return kQs * (1.0 - v / kVmax);
}

struct SiteEvacuationTest : ::testing::Test {
    TStrTableDB32Bit Times;
    TTestCurveFamily Vacuum;
    TEvacuationTable Table;

    void SetUp() override {
        const std::vector<double> levels = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};
        std::vector<int> ms;
        for (double v : levels) ms.push_back(static_cast<int>(std::lround(ClosedFormTime(v * 1e5) * 1000)));
        std::vector<TEvacRow> rows = CurveRows("linear", {4, 6}, levels, {ms, ms});
        FillEvacuationTable(Times, rows);
        Table.SetSource(&Times);
        Vacuum.Add("UD-linear", {3, 7}, {0.9, 0.9});
        Vacuum.Add("UD-081", {3, 7}, {0.81, 0.81});
    }

    TVenturiConditions Conditions(double vacuum, TLeak leak = {}, double ambient = cStandardPressure,
                                  int n = 1, double volume = 0.001) {
        TVenturiConditions c;
        c.Count = n;
        c.Pressure = 5e5;
        c.Vacuum = vacuum;
        c.Volume = volume;
        c.Ambient = ambient;
        c.Leak = leak;
        return c;
    }
    TSiteEvacuation Run(const TVenturiConditions& c, const char* vacuumCurve = "UD-linear") {
        return SiteEvacuation(Table, &Vacuum, "linear", vacuumCurve, c);
    }
    TSuctionCurve Curve() {
        TSuctionCurve s;
        EXPECT_TRUE(s.Build(Table, &Vacuum, "linear", "UD-linear", 5e5));
        return s;
    }
};

// A leak that passes `flow` in the choked range (below 0.528 of ambient).
TLeak ChokedLeak(double flow) {
    return TLeak{clkMeasured, 0.0, flow, -0.7e5};
}

TEST_F(SiteEvacuationTest, TheFlowCurveFollowsTheTimesDifferences) {
    const TSuctionCurve s = Curve();
    EXPECT_NEAR(s.Reach(), kVmax, 1e-6);
    // Each segment's flow is V/p_n·Δv/Δt, the harmonic mean of the linear flow over it,
    // which lies within 2 % of the flow at its middle.
    for (double v = 0.05e5; v <= 0.75e5; v += 0.05e5) EXPECT_NEAR(s.Flow(v), LinearFlow(v), 0.02 * kQs) << v;
    EXPECT_EQ(s.Flow(kVmax), 0.0);
    // Ambient to the first point and every point of the table.
    ASSERT_EQ(s.Nodes().size(), 9u);
    EXPECT_EQ(s.Nodes()[0].Time, 0.0);
    EXPECT_NEAR(s.Nodes()[4].Time, 31.325, 1e-9);
}

TEST_F(SiteEvacuationTest, WithoutALeakTheModelGivesTheTablesTime) {
    const TSuctionCurve s = Curve();
    // A leak of no size runs the model rather than the table.
    const TLeak none{clkOrifice, 0.0, 0.0, 0.0};
    for (double v = 0.1e5; v <= 0.8e5 + 1; v += 0.025e5) {
        const double table = EvacuationTime(Table, &Vacuum, "linear", "UD-linear", Conditions(-v));
        const TSiteEvacuation model = SiteEvacuation(s, Conditions(-v, none));
        EXPECT_NEAR(model.Time, table, 1e-9 * table) << v;
    }
    // A tight workpiece is the table itself, to the bit.
    for (double v : {0.15e5, 0.5e5, 0.85e5})
        EXPECT_EQ(Run(Conditions(-v)).Time, EvacuationTime(Table, &Vacuum, "linear", "UD-linear", Conditions(-v)));
    EXPECT_NEAR(Run(Conditions(-0.5e5)).ReachableVacuum, -kVmax, 1e-6);
}

TEST_F(SiteEvacuationTest, OperatingPointOfTheLinearFlowAgainstAChokedLeak) {
    // q(v) = L: Qs·(1 − v/vmax) = 0.3·Qs → v = 0.7·0.9 bar = 0.63 bar, where the leak is
    // choked (0.37 bar absolute is below 0.528 × 1.013 bar), so its flow is the measured one.
    EXPECT_NEAR(Run(Conditions(-0.5e5, ChokedLeak(0.3 * kQs))).ReachableVacuum, -0.63e5, 700.0);
    // Two generators share the leak: 0.15·Qs each, v = 0.85·0.9 bar = 0.765 bar.
    EXPECT_NEAR(Run(Conditions(-0.5e5, ChokedLeak(0.3 * kQs), cStandardPressure, 2)).ReachableVacuum, -0.765e5,
                1200.0);
    // Beyond the operating point the vacuum is not reached.
    EXPECT_EQ(Run(Conditions(-0.65e5, ChokedLeak(0.3 * kQs))).Time, -1.0);
    // A leak larger than all the generator removes: hardly any vacuum.
    const TSiteEvacuation flooded = Run(Conditions(-0.1e5, TLeak{clkOrifice, 0.01, 0.0, 0.0}));
    EXPECT_EQ(flooded.Time, -1.0);
    EXPECT_GT(flooded.ReachableVacuum, -0.01e5);
}

TEST_F(SiteEvacuationTest, TimeWithALeakIsTheIntegralOfTheNetFlow) {
    // t = V/p_n · ∫ dv / (q(v) − L(v)) with the linear flow, by Simpson's rule.
    const TLeak leak{clkOrifice, 0.00005, 0.0, 0.0}; // 0.05 mm, choked 0.058 l/min
    const double target = 0.5e5;
    const int steps = 20000;
    double sum = 0.0;
    for (int i = 0; i <= steps; ++i) {
        const double v = target * i / steps;
        const double w = (i == 0 || i == steps) ? 1.0 : (i % 2 ? 4.0 : 2.0);
        sum += w / (LinearFlow(v) - LeakFlowAtVacuum(leak, -v, cStandardPressure));
    }
    const double reference = 2e-3 / cStandardPressure * sum * target / steps / 3.0; // two litres
    const double time = Run(Conditions(-target, leak, cStandardPressure, 1, 0.002)).Time;
    EXPECT_NEAR(time, reference, 0.01 * reference);
    // Longer than without the leak.
    EXPECT_GT(time, 2 * ClosedFormTime(target) * 1.01);
}

TEST_F(SiteEvacuationTest, AtAltitudeTheVacuumScalesWithAmbient) {
    const double ambient = StandardAtmospherePressure(2000.0);
    const double k = ambient / cStandardPressure;
    // −0.81 bar at sea level is −0.81 · 79495/101325 = −0.6355 bar at 2000 m.
    EXPECT_NEAR(Run(Conditions(-0.3e5, {}, ambient), "UD-081").ReachableVacuum, -0.6355e5, 10.0);
    // The site's −0.4·k bar is the table's 0.4 bar: 31,325 ms for the litre.
    EXPECT_NEAR(Run(Conditions(-0.4e5 * k, {}, ambient)).Time, 31.325, 1e-9);
    // The same gauge vacuum takes longer up the mountain.
    EXPECT_GT(Run(Conditions(-0.4e5, {}, ambient)).Time, 31.325);
    // A vacuum the generator reaches at sea level but not at the site.
    EXPECT_EQ(Run(Conditions(-0.75e5, {}, ambient), "UD-081").Time, -1.0);
    EXPECT_GT(Run(Conditions(-0.75e5), "UD-081").Time, 0.0);
}

TEST_F(SiteEvacuationTest, MoreLeakOrMoreAltitudeNeverHelps) {
    const double vreq = -0.45e5;
    double lastTime = 0.0, lastReach = -1e9;
    // Choked, d mm passes 5.8·d² l/min; at 0.45 bar the generator removes 0.5 l/min, which
    // 0.4 mm (0.93 l/min) exceeds by far.
    for (double d : {0.0, 0.00005, 0.0001, 0.00015, 0.0002, 0.00025, 0.0003, 0.00035, 0.0004}) {
        const TSiteEvacuation e = Run(Conditions(vreq, TLeak{clkOrifice, d, 0.0, 0.0}));
        EXPECT_GE(e.ReachableVacuum, lastReach) << d;
        if (lastTime < 0.0) {
            EXPECT_EQ(e.Time, -1.0) << d;
        } else if (e.Time >= 0.0) {
            EXPECT_GE(e.Time, lastTime) << d;
        }
        lastTime = e.Time;
        lastReach = e.ReachableVacuum;
    }
    EXPECT_EQ(lastTime, -1.0); // the largest leak stops short of the vacuum
    for (const TLeak leak : {TLeak{}, TLeak{clkOrifice, 0.00005, 0.0, 0.0}}) {
        lastTime = 0.0;
        lastReach = -1e9;
        for (double h = 0.0; h <= 5000.0; h += 500.0) {
            const TSiteEvacuation e = Run(Conditions(-0.3e5, leak, StandardAtmospherePressure(h)));
            EXPECT_GE(e.ReachableVacuum, lastReach) << h;
            ASSERT_GE(e.Time, 0.0) << h;
            EXPECT_GE(e.Time, lastTime) << h;
            lastTime = e.Time;
            lastReach = e.ReachableVacuum;
        }
    }
}

TEST_F(SiteEvacuationTest, VolumeCountAndZeroVacuum) {
    const TLeak leak = ChokedLeak(0.1 * kQs);
    const double one = Run(Conditions(-0.4e5, leak)).Time;
    EXPECT_NEAR(Run(Conditions(-0.4e5, leak, cStandardPressure, 1, 0.003)).Time, 3 * one, 1e-9 * one);
    // Two generators halve the time only without a leak; with one, each takes half of it.
    const double two = Run(Conditions(-0.4e5, leak, cStandardPressure, 2)).Time;
    EXPECT_LT(two, one / 2);
    EXPECT_EQ(Run(Conditions(0.0, leak)).Time, 0.0);
    // A curve the table lacks gives no time.
    EXPECT_EQ(SiteEvacuation(Table, &Vacuum, "missing", "UD-linear", Conditions(-0.4e5, leak)).Time, -1.0);
}

} // namespace
