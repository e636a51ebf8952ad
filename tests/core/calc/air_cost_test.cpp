// Compressed air of the vacuum generators: pumping times by the isothermal balance, the
// holding phase of an air-saving generator against a leak, and the air, energy and cost
// of a production year. Expected values are worked out by hand from the formulas.

#include "core/calc/air_cost.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kLitre = 0.001;
constexpr double kPerMinute = 1.0 / 60.0;

TFlowAtVacuum Constant(double q) {
    return [q](double) { return q; };
}

TEST(AirCostTest, PumpTimeOfAConstantAndOfALinearFlowCurve) {
    // Constant 1 l/s out of 1 l from 0 to 0.5 bar: t = V·Δv/(p_n·q) = 0.001·50000/(101325·0.001).
    EXPECT_NEAR(PumpTime(kLitre, 0.0, 50000.0, Constant(kLitre)), 50000.0 / 101325.0, 1e-12);
    // A flow falling linearly from Q0 to 0 at v_max: t = V·v_max/(p_n·Q0)·ln(v_max/(v_max − v)).
    const double q0 = kLitre, vmax = 80000.0;
    const TFlowAtVacuum linear = [&](double v) { return q0 * (1.0 - v / vmax); };
    const double expected = kLitre * vmax / (101325.0 * q0) * std::log(vmax / (vmax - 60000.0));
    EXPECT_NEAR(PumpTime(kLitre, 0.0, 60000.0, linear), expected, expected * 1e-6);
    // Twice the volume takes twice as long; pumping in two legs adds up to one.
    EXPECT_NEAR(PumpTime(2 * kLitre, 0.0, 60000.0, linear), 2 * expected, expected * 2e-6);
    EXPECT_NEAR(PumpTime(kLitre, 0.0, 30000.0, linear) + PumpTime(kLitre, 30000.0, 60000.0, linear), expected,
                expected * 1e-6);
}

TEST(AirCostTest, PumpTimeIsInfiniteWhereTheFlowStopsAndZeroForNoChange) {
    const TFlowAtVacuum linear = [](double v) { return kLitre * (1.0 - v / 80000.0); };
    EXPECT_TRUE(std::isinf(PumpTime(kLitre, 0.0, 90000.0, linear)));
    EXPECT_TRUE(std::isinf(PumpTime(kLitre, 0.0, 1000.0, Constant(0.0))));
    EXPECT_TRUE(std::isinf(PumpTime(kLitre, 0.0, 1000.0, nullptr)));
    EXPECT_EQ(PumpTime(kLitre, 5000.0, 5000.0, linear), 0.0);
    EXPECT_EQ(PumpTime(kLitre, 6000.0, 5000.0, linear), 0.0);
}

TEST(AirCostTest, ATightWorkpieceNeedsNoReevacuation) {
    for (const TFlowAtVacuum& leak : {TFlowAtVacuum{}, Constant(0.0)}) {
        const TAirSavingHold h = AirSavingHold(kLitre, 70000.0, 7000.0, 2.0, Constant(5e-4), leak);
        EXPECT_EQ(h.RunningTime, 0.0);
        EXPECT_EQ(h.Reevacuations, 0);
        EXPECT_FALSE(h.RunsThrough);
    }
}

TEST(AirCostTest, ReevacuationsAgainstAConstantLeak) {
    // Leak 0.1 l/s, suction 0.5 l/s, 1 l, band 63 to 70 kPa: falling takes
    // V·h/(p_n·qL) = 0.001·7000/(101325·0.0001) = 0.69085 s, refilling
    // V·h/(p_n·(qS − qL)) = 0.17271 s. In 2 s: two whole periods (1.72713 s) and a rest of
    // 0.27287 s that does not reach the next switch-on: two refills, 0.34543 s.
    const double fall = kLitre * 7000.0 / (101325.0 * 1e-4);
    const double refill = kLitre * 7000.0 / (101325.0 * 4e-4);
    const TAirSavingHold h = AirSavingHold(kLitre, 70000.0, 7000.0, 2.0, Constant(5e-4), Constant(1e-4));
    EXPECT_EQ(h.Reevacuations, 2);
    EXPECT_NEAR(h.RunningTime, 2 * refill, 1e-9);
    EXPECT_FALSE(h.RunsThrough);
    // 2.5 s: the rest 0.77287 s passes the switch-on point by 0.08202 s.
    const TAirSavingHold longer = AirSavingHold(kLitre, 70000.0, 7000.0, 2.5, Constant(5e-4), Constant(1e-4));
    EXPECT_EQ(longer.Reevacuations, 3);
    EXPECT_NEAR(longer.RunningTime, 2 * refill + (2.5 - 2 * (fall + refill) - fall), 1e-9);
    // Over a long hold the generator blows for the share qL/qS = 0.2 of the time.
    const TAirSavingHold hour = AirSavingHold(kLitre, 70000.0, 7000.0, 3600.0, Constant(5e-4), Constant(1e-4));
    EXPECT_NEAR(hour.RunningTime / 3600.0, 0.2, 1e-3);
    // A hold shorter than one fall needs no re-evacuation.
    EXPECT_EQ(AirSavingHold(kLitre, 70000.0, 7000.0, 0.5, Constant(5e-4), Constant(1e-4)).RunningTime, 0.0);
}

TEST(AirCostTest, ALeakTheGeneratorCannotBeatMakesItBlowThrough) {
    const double fall = kLitre * 7000.0 / (101325.0 * 6e-4);
    const TAirSavingHold h = AirSavingHold(kLitre, 70000.0, 7000.0, 2.0, Constant(5e-4), Constant(6e-4));
    EXPECT_TRUE(h.RunsThrough);
    EXPECT_EQ(h.Reevacuations, 1);
    EXPECT_NEAR(h.RunningTime, 2.0 - fall, 1e-9);
}

TEST(AirCostTest, MoreLeakNeverShortensTheRunningTime) {
    double last = 0.0;
    for (double leak = 0.0; leak <= 6e-4; leak += 2e-5) {
        const TAirSavingHold h = AirSavingHold(kLitre, 70000.0, 7000.0, 10.0, Constant(5e-4), Constant(leak));
        EXPECT_GE(h.RunningTime, last - 1e-12) << leak;
        last = h.RunningTime;
    }
}

TEST(AirCostTest, AirEnergyAndCostOfAYear) {
    // 50 l/min, evacuated in 0.5 s, held 2 s, 120 cycles an hour for 4000 h: 480,000
    // cycles; 50/60 l/s · 2.5 s = 2.0833 l per cycle, 1000 m³ a year; 0.11 kWh and 0.02
    // per m³: 110 kWh and 20 a year.
    TAirCostInputs in;
    in.CycleRate = 120.0 / 3600.0;
    in.HoldingTime = 2.0;
    in.OperatingTime = 4000.0 * 3600.0;
    in.PricePerCubicMetre = 0.02;
    in.EnergyPerCubicMetre = 0.11 * 3.6e6;
    const double q = 50.0 * kLitre * kPerMinute;
    const TAirUse plain = AirUse(in, q, 0.5, false, {});
    ASSERT_TRUE(plain.Valid);
    EXPECT_NEAR(plain.Cycles, 480000.0, 1e-6);
    EXPECT_NEAR(plain.RunningTime, 2.5, 1e-12);
    EXPECT_NEAR(plain.AirPerCycle, 2.5 * 50.0 / 60.0 * kLitre, 1e-12);
    EXPECT_NEAR(plain.AirPerYear, 1000.0, 1e-6);
    EXPECT_NEAR(plain.EnergyPerYear / 3.6e6, 110.0, 1e-6);
    EXPECT_NEAR(plain.CostPerYear, 20.0, 1e-9);
    EXPECT_NEAR(plain.CostPerCycle, 20.0 / 480000.0, 1e-15);

    // With an air-saving function and a tight part it blows only while evacuating:
    // 0.5 s of 2.5 s, 200 m³ a year, saving 800 m³, 88 kWh and 16.
    const TAirUse saving = AirUse(in, q, 0.5, true, {});
    EXPECT_NEAR(saving.AirPerYear, 200.0, 1e-6);
    const TAirUse saved = AirSaving(plain, saving);
    EXPECT_NEAR(saved.AirPerYear, 800.0, 1e-6);
    EXPECT_NEAR(saved.EnergyPerYear / 3.6e6, 88.0, 1e-6);
    EXPECT_NEAR(saved.CostPerYear, 16.0, 1e-9);

    // Re-evacuations add their running time.
    TAirSavingHold hold;
    hold.RunningTime = 0.25;
    hold.Reevacuations = 3;
    const TAirUse leaking = AirUse(in, q, 0.5, true, hold);
    EXPECT_NEAR(leaking.RunningTime, 0.75, 1e-12);
    EXPECT_EQ(leaking.Reevacuations, 3);
    EXPECT_NEAR(leaking.AirPerYear, 300.0, 1e-6);
}

TEST(AirCostTest, AGeneratorThatDoesNotReachTheVacuumHasNoFigures) {
    const TAirUse u = AirUse(TAirCostInputs{}, 1e-3, -1.0, false, {});
    EXPECT_FALSE(u.Valid);
    EXPECT_TRUE(std::isnan(u.AirPerYear));
    EXPECT_TRUE(std::isnan(u.CostPerCycle));
    const TAirUse ok = AirUse(TAirCostInputs{}, 1e-3, 0.2, false, {});
    EXPECT_FALSE(AirSaving(u, ok).Valid);
    EXPECT_TRUE(std::isnan(AirSaving(ok, u).CostPerYear));
}

} // namespace
