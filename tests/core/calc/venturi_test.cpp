// Evacuation time of a generator from its time table and vacuum curve, the operating
// point, the cell texts and the nozzle fit.

#include "core/calc/evacuation.h"
#include "core/calc/venturi.h"
#include "tests/core/calc/venturi_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct TVenturiCalcTest : ::testing::Test {
    TStrTableDB32Bit Times;
    TTestCurveFamily Vacuum;
    TEvacuationTable Table;

    void SetUp() override {
        std::vector<TEvacRow> rows =
            CurveRows("flat", {4, 6}, {0.2, 0.6}, {{400, 1000}, {200, 600}});
        const std::vector<TEvacRow> slope =
            CurveRows("slope", {4, 6}, {0.2, 0.4}, {{200, 600}, {100, 300}});
        const std::vector<TEvacRow> single = CurveRows("single", {5}, {0.2, 0.6}, {{100, 500}});
        rows.insert(rows.end(), slope.begin(), slope.end());
        rows.insert(rows.end(), single.begin(), single.end());
        FillEvacuationTable(Times, rows);
        Table.SetSource(&Times);
        Vacuum.Add("UD-flat", {3, 7}, {0.8, 0.8});
        Vacuum.Add("UD-slope", {4, 6}, {0.6, 0.8});
    }

    double Time(const char* curve, const char* vacuum, double p, double vreq, double volume,
                int n = 1) {
        return EvacuationTime(Table, &Vacuum, curve, vacuum, {n, p, vreq, volume, cStandardPressure, {}});
    }
};

TEST_F(TVenturiCalcTest, VacuumAtConvertsBarToPascal) {
    EXPECT_NEAR(VacuumAt(&Vacuum, "UD-slope", 5e5), 0.7e5, 1e-6);
    EXPECT_EQ(VacuumAt(&Vacuum, "unknown", 5e5), 0.0);
    EXPECT_EQ(VacuumAt(nullptr, "UD-slope", 5e5), 0.0);
}

TEST_F(TVenturiCalcTest, BlendsTheTwoGroupsByPressure) {
    // Flat vacuum curve 0.8 bar, 0.6 bar required: r = 0.75, scaled vacuum 0.6 bar in both
    // groups, times 1.0 s (4 bar) and 0.6 s (6 bar); at 5 bar (1.0 + 0.6) / 2 = 0.8 s for
    // one litre.
    EXPECT_NEAR(Time("flat", "UD-flat", 5e5, -0.6e5, 0.001), 0.8, 1e-12);
    // A quarter of the way: (0.5 bar × 0.6 s + 1.5 bar × 1.0 s) / 2 bar = 0.9 s.
    EXPECT_NEAR(Time("flat", "UD-flat", 4.5e5, -0.6e5, 0.001), 0.9, 1e-12);
    // At the lowest pressure the first group alone counts.
    EXPECT_NEAR(Time("flat", "UD-flat", 4e5, -0.6e5, 0.001), 1.0, 1e-12);
    EXPECT_NEAR(Time("flat", "UD-flat", 6e5, -0.6e5, 0.001), 0.6, 1e-12);
}

TEST_F(TVenturiCalcTest, ScalesTheVacuumByWhatEachGroupPressureReaches) {
    // Reach at 5 bar 0.7 bar, 0.35 bar required: r = 0.5. Group 4 bar: 0.6 × 0.5 = 0.3 bar,
    // between 0.2 s and 0.6 s: 0.4 s. Group 6 bar: 0.8 × 0.5 = 0.4 bar: 0.3 s.
    // Blend 0.35 s per litre; half a litre: 0.175 s.
    EXPECT_NEAR(Time("slope", "UD-slope", 5e5, -0.35e5, 0.0005), 0.175, 1e-12);
}

TEST_F(TVenturiCalcTest, VolumeAndCountScaleTheTime) {
    const double base = Time("flat", "UD-flat", 5e5, -0.6e5, 0.001);
    EXPECT_NEAR(Time("flat", "UD-flat", 5e5, -0.6e5, 0.002), 2 * base, 1e-12);
    EXPECT_NEAR(Time("flat", "UD-flat", 5e5, -0.6e5, 0.001, 2), base / 2, 1e-12);
}

TEST_F(TVenturiCalcTest, UnreachableCasesGiveMinusOne) {
    // Reach 0.7 bar at 5 bar, 0.75 bar required.
    EXPECT_EQ(Time("slope", "UD-slope", 5e5, -0.75e5, 0.001), -1.0);
    // Outside the curve's pressures.
    EXPECT_EQ(Time("flat", "UD-flat", 3.5e5, -0.6e5, 0.001), -1.0);
    EXPECT_EQ(Time("flat", "UD-flat", 6.5e5, -0.6e5, 0.001), -1.0);
    // A vacuum curve the family lacks reaches nothing.
    EXPECT_EQ(Time("flat", "UD-missing", 5e5, -0.6e5, 0.001), -1.0);
    // A time curve the table lacks.
    EXPECT_EQ(Time("missing", "UD-flat", 5e5, -0.6e5, 0.001), -1.0);
}

TEST_F(TVenturiCalcTest, NoRequiredVacuumTakesNoTime) {
    EXPECT_EQ(Time("flat", "UD-flat", 5e5, 0.0, 0.001), 0.0);
    EXPECT_EQ(Time("flat", "UD-missing", 9e5, 0.0, 0.001), 0.0);
}

TEST_F(TVenturiCalcTest, SingleGroupCurveWorksAtItsPressureWithoutDividingByZero) {
    // Reach 0.8 bar, 0.4 bar required: r = 0.5, scaled vacuum 0.4 bar, halfway between
    // 0.1 s and 0.5 s: 0.3 s.
    const double t = Time("single", "UD-flat", 5e5, -0.4e5, 0.001);
    EXPECT_NEAR(t, 0.3, 1e-12);
    EXPECT_EQ(Time("single", "UD-flat", 5.5e5, -0.4e5, 0.001), -1.0);
}

TEST_F(TVenturiCalcTest, NonFiniteInputsNeverLeakOut) {
    const double nan = std::nan("");
    const double inf = INFINITY;
    for (double p : {nan, inf})
        EXPECT_TRUE(std::isfinite(Time("flat", "UD-flat", p, -0.6e5, 0.001))) << "pressure " << p;
    EXPECT_TRUE(std::isfinite(Time("flat", "UD-flat", 5e5, -0.6e5, inf)));
    EXPECT_TRUE(std::isfinite(Time("flat", "UD-flat", 5e5, nan, 0.001)));
}

TEST(VenturiOperatingValues, CountScalesFlowsAndRaisesTheSoundLevel) {
    TTestCurveFamily vac, air, suction, sound;
    vac.Add("U", {4, 6}, {0.6, 0.8});
    air.Add("L", {4, 6}, {100, 200});
    suction.Add("S", {4, 6}, {10, 30});
    sound.Add("D", {4, 6}, {60, 70});
    const TVenturiCurves curves{&vac, &air, &suction, &sound};
    const TVenturiCurveNames names{"U", "L", "S", "D"};
    const TOperatingValues one = OperatingValues(curves, names, 5e5, 1);
    EXPECT_NEAR(one.Vacuum, -0.7e5, 1e-6);
    EXPECT_NEAR(one.AirConsumption, 150, 1e-9);
    EXPECT_NEAR(one.SuctionCapacity, 20, 1e-9);
    EXPECT_NEAR(one.SoundPressureLevel, 65, 1e-9);
    const TOperatingValues two = OperatingValues(curves, names, 5e5, 2);
    EXPECT_NEAR(two.Vacuum, one.Vacuum, 1e-9);
    EXPECT_NEAR(two.AirConsumption, 300, 1e-9);
    EXPECT_NEAR(two.SuctionCapacity, 40, 1e-9);
    // Independent sources add their sound powers: two of 65 dB(A) give
    // 10·log10(2·10^6.5) = 68.0103 dB(A), +3 dB per doubling.
    EXPECT_NEAR(two.SoundPressureLevel, 68.0103, 1e-4);
    // Ten equal sources have ten times the power: exactly +10 dB.
    EXPECT_NEAR(OperatingValues(curves, names, 5e5, 10).SoundPressureLevel, 75, 1e-9);
    EXPECT_NEAR(OperatingValues(curves, names, 5e5, 4).SoundPressureLevel,
                10 * std::log10(4 * std::pow(10.0, 6.5)), 1e-9);
    const TOperatingValues none = OperatingValues({}, names, 5e5, 1);
    EXPECT_EQ(none.Vacuum, 0.0);
    EXPECT_EQ(none.SoundPressureLevel, 0.0);
}

TEST(VenturiTexts, TimeAndVacuumCells) {
    EXPECT_EQ(EvacuationTimeText(-1.0), "-");
    EXPECT_EQ(EvacuationTimeText(0.0), "0 ms");
    EXPECT_EQ(EvacuationTimeText(0.9994), "999 ms");
    EXPECT_EQ(EvacuationTimeText(0.0126), "13 ms");
    EXPECT_EQ(EvacuationTimeText(1.234), "1.23 s");
    EXPECT_EQ(EvacuationTimeText(12.0), "12 s");
    EXPECT_EQ(VacuumText(0.85), "-0.85 bar");
    EXPECT_EQ(VacuumText(0.0), "0 bar");
}

TEST(VenturiNozzle, ThreeNozzleDiametersMustFitTheTube) {
    // Tube of 4 mm admits nozzles up to 4/3 mm.
    EXPECT_TRUE(NozzleFitsTube(0.004 / 3.0, 0.004));
    EXPECT_TRUE(NozzleFitsTube(0.0013, 0.004));
    EXPECT_FALSE(NozzleFitsTube(0.0014, 0.004));
    EXPECT_FALSE(NozzleFitsTube(0.0001, 0.0)); // no tube chosen
}

} // namespace

// Half milliseconds round to the even neighbour, as every rounding to a whole number does;
// the times chosen are exact halves in binary after the product with 1000.
TEST(VenturiTexts, HalfMillisecondsRoundToEven) {
    ASSERT_EQ(0.0125 * 1000.0, 12.5);
    EXPECT_EQ(EvacuationTimeText(0.0125), "12 ms");
    EXPECT_EQ(EvacuationTimeText(0.0135), "14 ms");
    EXPECT_EQ(EvacuationTimeText(0.0005), "0 ms");
    EXPECT_EQ(EvacuationTimeText(0.0015), "2 ms");
    EXPECT_EQ(EvacuationTimeText(0.1245), "124 ms");
}
