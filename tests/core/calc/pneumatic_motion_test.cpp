#include "core/calc/pneumatic_motion.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

TEST(PneumaticSpeed, ProfileFactorSteps) {
    EXPECT_EQ(PneumaticProfileFactor(0.05), 2.0);
    EXPECT_EQ(PneumaticProfileFactor(0.0500001), 1.5);
    EXPECT_EQ(PneumaticProfileFactor(0.1), 1.5);
    EXPECT_EQ(PneumaticProfileFactor(0.1000001), 1.25);
}

TEST(PneumaticSpeed, LinearBothWays) {
    // 2.0·0.05/0.5 = 0.2 m/s; 1.25·0.2/0.5 = 0.5 m/s.
    EXPECT_NEAR(PneumaticLinearSpeed(0.05, 0.5), 0.2, 1e-15);
    EXPECT_NEAR(PneumaticLinearSpeed(0.2, 0.5), 0.5, 1e-15);
    // Known speed: t = 1.5·0.08/0.4 = 0.3 s.
    EXPECT_NEAR(PneumaticLinearTime(0.08, 0.4), 0.3, 1e-15);
    EXPECT_EQ(PneumaticLinearSpeed(0.2, 0.0), 0.0);
    EXPECT_EQ(PneumaticLinearTime(0.2, -1.0), 0.0);
    EXPECT_EQ(PneumaticLinearSpeed(0.2, 1e-320), 0.0); // would overflow
}

TEST(PneumaticSpeed, RotaryAndTimeLimits) {
    // ω = 2·π/0.5 = 4π rad/s whatever the angle.
    EXPECT_NEAR(PneumaticRotarySpeed(std::numbers::pi, 0.5), 4 * std::numbers::pi, 1e-12);
    EXPECT_NEAR(PneumaticRotaryTime(std::numbers::pi, 4 * std::numbers::pi), 0.5, 1e-15);
    // Stroke 0.2 with speed field 0.005..10: times 1.25·0.2/10 = 0.025 to /0.005 = 50 s.
    const TAxisRange t = PneumaticLinearTimeLimits(0.2, {0.005, 10.0});
    EXPECT_NEAR(t.Min, 0.025, 1e-15);
    EXPECT_NEAR(t.Max, 50.0, 1e-12);
    const TAxisRange r = PneumaticRotaryTimeLimits(1.0, {0.5, 4.0});
    EXPECT_NEAR(r.Min, 0.5, 1e-15);
    EXPECT_NEAR(r.Max, 4.0, 1e-15);
}

TEST(PneumaticCurves, LinearAcceleration) {
    // T = 7 s makes u = x. Ymax = 12, Ymin = −6.
    const double T = 7.0;
    // u = 0: (12/1.2)·(0 − 1)² = 10; u = 1: 10·0.25 = 2.5.
    EXPECT_NEAR(PneumaticCurveValue(cpcLinearAcceleration, 0.0, T, 12, -6), 10.0, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcLinearAcceleration, 1.0, T, 12, -6), 2.5, 1e-12);
    EXPECT_EQ(PneumaticCurveValue(cpcLinearAcceleration, 3.5, T, 12, -6), 0.0);
    // u = 6.5: (−6/1.2)·0.25 = −1.25.
    EXPECT_NEAR(PneumaticCurveValue(cpcLinearAcceleration, 6.5, T, 12, -6), -1.25, 1e-12);
    EXPECT_EQ(PneumaticCurveValue(cpcLinearAcceleration, 7.5, T, 12, -6), 0.0);
    EXPECT_EQ(PneumaticCurveValue(cpcLinearAcceleration, -0.1, T, 12, -6), 0.0);
    EXPECT_EQ(PneumaticCurveValue(cpcLinearAcceleration, 1.0, 0.0, 12, -6), 0.0);
}

TEST(PneumaticCurves, RotaryVelocityPosition) {
    const double T = 1.4; // u = 5x
    // Rotary acceleration u = 0: 10·0.3 = 3; u = 6.5 (x = 1.3): −5·0.8·0.25 = −1.
    EXPECT_NEAR(PneumaticCurveValue(cpcRotaryAcceleration, 0.0, T, 12, -6), 3.0, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcRotaryAcceleration, 1.3, T, 12, -6), -1.0, 1e-12);
    // Velocity u = 1: 10·(1 − 0.25) = 7.5; middle 10; u = 6.5: 10·0.25 = 2.5.
    EXPECT_NEAR(PneumaticCurveValue(cpcVelocity, 0.2, T, 12, 0), 7.5, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcVelocity, 0.7, T, 12, 0), 10.0, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcVelocity, 1.3, T, 12, 0), 2.5, 1e-12);
    // Position: u = 1: 10·0.2·0.25 = 0.5; u = 4: 10·(0.2 + 0.5·2/4) = 4.5;
    // u = 6.5: 10·(0.8 − 0.1·0.25) = 7.75. Continuous at u = 2 (2.0) and u = 6 (7.0).
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 0.2, T, 10, 0), 0.5, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 0.8, T, 10, 0), 4.5, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 1.3, T, 10, 0), 7.75, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 0.4 - 1e-12, T, 10, 0), 2.0, 1e-9);
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 0.4, T, 10, 0), 2.0, 1e-12);
    EXPECT_NEAR(PneumaticCurveValue(cpcPosition, 1.2, T, 10, 0), 7.0, 1e-12);
}

TEST(PneumaticCurves, Bands) {
    const double T = 7.0;
    // Linear acceleration at u = 1: c = cos(0) = 1, mid 0.25: 12·(0.25 ∓ 0.4).
    TPneumaticBand b = PneumaticCurveBand(cpcLinearAcceleration, 1.0, T, 12, -6);
    EXPECT_TRUE(b.Valid);
    EXPECT_NEAR(b.From, 12 * (0.25 - 0.4), 1e-12);
    EXPECT_NEAR(b.To, 12 * (0.25 + 0.4), 1e-12);
    // Rotary at u = 1: 12·(0.3·0.25 ∓ 0.4).
    b = PneumaticCurveBand(cpcRotaryAcceleration, 1.0, T, 12, -6);
    EXPECT_NEAR(b.From, 12 * (0.075 - 0.4), 1e-12);
    // Last unit of an acceleration at u = 6.5: c = cos(0) = 1: −6·(0.8·0.25 ∓ 0.4).
    b = PneumaticCurveBand(cpcLinearAcceleration, 6.5, T, 12, -6);
    EXPECT_NEAR(b.From, -6 * (0.2 - 0.4), 1e-12);
    EXPECT_NEAR(b.To, -6 * (0.2 + 0.4), 1e-12);
    // Velocity at u = 1: 12·(0.8 − 0.2 − 0.2) to 12·(0.6 + 0.3); at u = 6.5: c = 1,
    // 12·(0.2 ∓ 0.2).
    b = PneumaticCurveBand(cpcVelocity, 1.0, T, 12, 0);
    EXPECT_NEAR(b.From, 12 * 0.4, 1e-12);
    EXPECT_NEAR(b.To, 12 * 0.9, 1e-12);
    b = PneumaticCurveBand(cpcVelocity, 6.5, T, 12, 0);
    EXPECT_NEAR(b.From, 0.0, 1e-12);
    EXPECT_NEAR(b.To, 12 * 0.4, 1e-12);
    // At u = 0 the band of the velocity: c = cos(−1.57), nearly 0.
    b = PneumaticCurveBand(cpcVelocity, 0.0, T, 12, 0);
    EXPECT_NEAR(b.From, 0.0, 1e-2);
    // No band in the middle units, on positions or outside the motion.
    EXPECT_FALSE(PneumaticCurveBand(cpcVelocity, 3.0, T, 12, 0).Valid);
    EXPECT_FALSE(PneumaticCurveBand(cpcPosition, 1.0, T, 12, 0).Valid);
    EXPECT_FALSE(PneumaticCurveBand(cpcVelocity, 8.0, T, 12, 0).Valid);
}

} // namespace
