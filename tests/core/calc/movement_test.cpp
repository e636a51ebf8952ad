#include "core/calc/movement.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// A profile with the given inputs; SetLength etc. recompute after each change.
void Set(TMovement& m, bool jerkLimited, double J, double A, double D, double V, double L) {
    m.SetJerkLimited(jerkLimited);
    m.SetJerk(J);
    m.SetAccPos(A);
    m.SetAccNeg(D);
    m.SetVmax(V);
    m.SetLength(L);
}

TEST(MovementProfile, TriangularWithoutJerkLimitation) {
    // A = 1, D = −1, V = 2, L = 1: ramps to V need 2 + 2 = 4 m > 1 m, so the triangle
    // T2 = √(2·1/1/(1 − 1/−1)) = 1 s, T6 = −1·1/−1 = 1 s, V' = 1·1 = 1 m/s.
    TMovement m;
    Set(m, false, 1, 1, -1, 2, 1);
    EXPECT_NEAR(m.PhaseTime(2), 1.0, 1e-12);
    EXPECT_NEAR(m.PhaseTime(6), 1.0, 1e-12);
    EXPECT_EQ(m.PhaseTime(4), 0.0);
    EXPECT_EQ(m.PhaseTime(1), 0.0);
    EXPECT_EQ(m.PhaseTime(7), 0.0);
    EXPECT_NEAR(m.EffVmax(), 1.0, 1e-12);
    EXPECT_NEAR(m.EndTime(), 2.0, 1e-12);
    EXPECT_NEAR(m.EndPosition(), 1.0, 1e-12);
    // Peak speed at t = 1, half the travel there: ½·1·1² = 0.5 m.
    EXPECT_NEAR(m.VelocityAt(1.0), 1.0, 1e-12);
    EXPECT_NEAR(m.PositionAt(1.0), 0.5, 1e-12);
    EXPECT_NEAR(m.AccelerationAt(0.5), 1.0, 1e-12);
    EXPECT_NEAR(m.AccelerationAt(1.5), -1.0, 1e-12);
}

TEST(MovementProfile, TriangularWithUnequalAccelerationAndDeceleration) {
    // A = 2, D = −1, L = 3, V = 10 out of reach. The peak speed v covers v²/(2A) speeding
    // up and v²/(2|D|) braking: v²·(1/4 + 1/2) = 3 gives v = 2 m/s, reached after
    // v/A = 1 s and 1 m; braking takes v/|D| = 2 s over the other 2 m.
    TMovement m;
    Set(m, false, 1, 2, -1, 10, 3);
    EXPECT_NEAR(m.EffVmax(), 2.0, 1e-12);
    EXPECT_NEAR(m.PhaseTime(2), 1.0, 1e-12);
    EXPECT_NEAR(m.PhaseTime(6), 2.0, 1e-12);
    EXPECT_EQ(m.PhaseTime(4), 0.0);
    EXPECT_NEAR(m.EndTime(), 3.0, 1e-12);
    EXPECT_NEAR(m.EndPosition(), 3.0, 1e-12);
    EXPECT_NEAR(m.PositionAt(1.0), 1.0, 1e-12);
    EXPECT_NEAR(m.VelocityAt(1.0), 2.0, 1e-12);
    // Braking half way (t = 2): 2 − 1·1 = 1 m/s, 1 + 2·1 − ½·1 = 2.5 m.
    EXPECT_NEAR(m.VelocityAt(2.0), 1.0, 1e-12);
    EXPECT_NEAR(m.PositionAt(2.0), 2.5, 1e-12);
    EXPECT_NEAR(m.StartVelocity(7), 0.0, 1e-12);
    EXPECT_NEAR(m.AccelerationAt(0.5), 2.0, 1e-12);
    EXPECT_NEAR(m.AccelerationAt(2.5), -1.0, 1e-12);

    // The mirror image (A = 1, D = −2) swaps the two ramps and ends at the same place.
    TMovement mirror;
    Set(mirror, false, 1, 1, -2, 10, 3);
    EXPECT_NEAR(mirror.EffVmax(), 2.0, 1e-12);
    EXPECT_NEAR(mirror.PhaseTime(2), 2.0, 1e-12);
    EXPECT_NEAR(mirror.PhaseTime(6), 1.0, 1e-12);
    EXPECT_NEAR(mirror.EndPosition(), 3.0, 1e-12);
}

// Distance of a jerk-limited ramp from rest to v: the speed runs point-symmetrically
// about the middle of the ramp, so the distance is v × half the ramp time. The ramp
// needs 2·t1 + t2 with t1 = min(a/J, √(v/J)) and t2 = v/a − t1 when a is reached.
double RampDistance(double v, double a, double J) {
    const double t1 = std::min(a / J, std::sqrt(v / J));
    const double t2 = std::max(0.0, v / a - a / J);
    return v * (2.0 * t1 + t2) / 2.0;
}

double RampTime(double v, double a, double J) {
    const double t1 = std::min(a / J, std::sqrt(v / J));
    const double t2 = std::max(0.0, v / a - a / J);
    return 2.0 * t1 + t2;
}

TEST(MovementProfile, JerkLimitedUnequalRampsEndAtTheTravel) {
    // J = 1, A = 1, D = −0.5, V = 2, L = 1: the ramps to 2 m/s need 3 m + 4.5 m, far more
    // than 1 m, so the speed is reduced by steps of 5 % until both ramps fit the travel.
    const double J = 1, A = 1, D = -0.5, L = 1;
    TMovement m;
    Set(m, true, J, A, D, 2, L);
    const int k = m.Reductions();
    ASSERT_GT(k, 0);
    ASSERT_LT(k, TMovement::cMaxReductions);
    const double v = 2.0 * std::pow(0.95, k);
    EXPECT_NEAR(m.EffVmax(), v, 1e-12);
    const double ramps = RampDistance(v, A, J) + RampDistance(v, -D, J);
    // The least reduction that fits: one step fewer overshoots the travel.
    EXPECT_LE(ramps, L + 1e-12);
    const double vPrev = v / 0.95;
    EXPECT_GT(RampDistance(vPrev, A, J) + RampDistance(vPrev, -D, J), L);
    // The speed is held for the rest of the travel; the profile ends at the travel, at rest.
    EXPECT_NEAR(m.EndPosition(), L, 1e-12);
    EXPECT_NEAR(m.StartVelocity(7), 0.0, 1e-12);
    EXPECT_NEAR(m.PositionAt(m.EndTime()), L, 1e-12);
    EXPECT_NEAR(m.EndTime(), RampTime(v, A, J) + (L - ramps) / v + RampTime(v, -D, J), 1e-9);
    // Peak speed reached at the end of the speeding-up ramp.
    EXPECT_NEAR(m.StartVelocity(3), v, 1e-12);
}

TEST(MovementProfile, TrapezoidWithoutJerkLimitation) {
    // L = 5: T2 = T6 = 2 s cover 2 + 2 = 4 m, the remaining 1 m at 2 m/s takes T4 = 0.5 s.
    TMovement m;
    Set(m, false, 1, 1, -1, 2, 5);
    EXPECT_NEAR(m.PhaseTime(2), 2.0, 1e-12);
    EXPECT_NEAR(m.PhaseTime(4), 0.5, 1e-12);
    EXPECT_NEAR(m.PhaseTime(6), 2.0, 1e-12);
    EXPECT_NEAR(m.EndTime(), 4.5, 1e-12);
    EXPECT_NEAR(m.EndPosition(), 5.0, 1e-12);
    EXPECT_NEAR(m.EffVmax(), 2.0, 1e-12);
    // Constant speed between 2 and 2.5 s; position at 2.25 s: 2 + 2·0.25 = 2.5 m.
    EXPECT_NEAR(m.VelocityAt(2.25), 2.0, 1e-12);
    EXPECT_NEAR(m.PositionAt(2.25), 2.5, 1e-12);
    EXPECT_EQ(m.AccelerationAt(2.25), 0.0);
    // Phase start values: t = (0, 0, 2, 2, 2.5, 2.5, 4.5, 4.5).
    EXPECT_NEAR(m.StartTime(3), 2.0, 1e-12);
    EXPECT_NEAR(m.StartTime(5), 2.5, 1e-12);
    EXPECT_NEAR(m.StartPosition(5), 3.0, 1e-12);
    EXPECT_EQ(m.StartAcceleration(5), -1.0);
}

TEST(MovementProfile, JerkLimitedSpeedReachedBeforeFullAcceleration) {
    // J = 1, A = 1, V = 0.5: T1 = A/J = 1 s, J·T1² = 1 > 0.5, so T1 = √(0.5/1) and
    // A' = 1·√0.5. Same on the braking side with D = −1.
    TMovement m;
    Set(m, true, 1, 1, -1, 0.5, 100);
    EXPECT_NEAR(m.PhaseTime(1), std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(m.PhaseTime(3), std::sqrt(0.5), 1e-12);
    EXPECT_EQ(m.PhaseTime(2), 0.0);
    EXPECT_NEAR(m.EffAccPos(), std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(m.EffAccNeg(), -std::sqrt(0.5), 1e-12);
    EXPECT_NEAR(m.PhaseTime(7), std::sqrt(0.5), 1e-12);
    // After the two jerk phases the speed is J·T1² = 0.5 = V.
    EXPECT_NEAR(m.StartVelocity(3), 0.5, 1e-12);
    EXPECT_NEAR(m.EndPosition(), 100.0, 1e-9);
    EXPECT_EQ(m.Reductions(), 0);
    // Jerk sequence +J, 0, −J, 0, −J, 0, +J.
    EXPECT_EQ(m.PhaseJerk(1), 1.0);
    EXPECT_EQ(m.PhaseJerk(3), -1.0);
    EXPECT_EQ(m.PhaseJerk(5), -1.0);
    EXPECT_EQ(m.PhaseJerk(7), 1.0);
    EXPECT_EQ(m.JerkAt(0.1), 1.0);
    EXPECT_EQ(m.JerkAt(m.EndTime() + 1.0), 0.0);
}

TEST(MovementProfile, JerkLimitedFullProfile) {
    // J = 10, A = 2, D = −2, V = 1, L = 2: T1 = 0.2, J·T1² = 0.4 < 1, so T2 = 1/2 − 0.2
    // = 0.3; s_acc = (0.04 + 1.5·0.2·0.3 + 0.5·0.09)·2 = 0.35 per ramp; T4 = (2 − 0.7)/1.
    TMovement m;
    Set(m, true, 10, 2, -2, 1, 2);
    EXPECT_NEAR(m.PhaseTime(1), 0.2, 1e-12);
    EXPECT_NEAR(m.PhaseTime(2), 0.3, 1e-12);
    EXPECT_NEAR(m.PhaseTime(4), 1.3, 1e-12);
    EXPECT_NEAR(m.EndTime(), 4 * 0.2 + 2 * 0.3 + 1.3, 1e-12);
    EXPECT_NEAR(m.StartPosition(3), 0.35, 1e-12);
    EXPECT_NEAR(m.StartVelocity(3), 1.0, 1e-12);
    EXPECT_NEAR(m.EndPosition(), 2.0, 1e-12);
    // Velocity is continuous and ends at 0; within phase 1 a = J·t.
    EXPECT_NEAR(m.AccelerationAt(0.1), 1.0, 1e-12);
    EXPECT_NEAR(m.VelocityAt(0.1), 10 * 0.01 / 2, 1e-12);
    EXPECT_NEAR(m.PositionAt(0.1), 10 * 0.001 / 6, 1e-12);
    EXPECT_NEAR(m.StartVelocity(7), 0.0, 1e-12);
    EXPECT_EQ(m.PositionAt(m.EndTime() + 5), m.EndPosition());
    EXPECT_EQ(m.VelocityAt(m.EndTime() + 5), 0.0);
}

TEST(MovementProfile, ReductionLoopShrinksTheSpeedUntilTheRampsFit) {
    // J = 1, A = 1, V = 2, L = 1: the ramps to 2 m/s need far more than 1 m.
    TMovement m;
    Set(m, true, 1, 1, -1, 2, 1);
    EXPECT_GT(m.Reductions(), 0);
    EXPECT_LT(m.Reductions(), TMovement::cMaxReductions);
    // V' is V·0.95^k.
    EXPECT_NEAR(m.EffVmax(), 2.0 * std::pow(0.95, m.Reductions()), 1e-12);
    // The reached travel fits: the profile ends at L.
    EXPECT_NEAR(m.EndPosition(), 1.0, 1e-9);
    EXPECT_TRUE(m.ProfileReached());
    // One step fewer would not have fitted. For V ≤ A²/J each ramp has T1 = √(V/J),
    // A' = √(V·J), T2 = 0, so it covers T1²·A' = V·√(V/J); with J = 1 both cover 2·V^1.5.
    const double vPrev = m.EffVmax() / 0.95;
    EXPECT_GT(2.0 * vPrev * std::sqrt(vPrev), 1.0);
}

TEST(MovementProfile, ReductionLoopIsBounded) {
    // J = A = V = 1: both ramps cover 2·V'^1.5 (see above), which drops below L = 1e-40
    // only at V' ≈ 1e-27, i.e. after about 1200 reductions: the bound stops the loop first.
    TMovement m;
    Set(m, true, 1, 1, -1, 1, 1e-40);
    EXPECT_EQ(m.Reductions(), TMovement::cMaxReductions);
    // It says so: 2·(0.95^1000)^1.5 ≈ 7.7e-34 m still overruns 1e-40 m.
    EXPECT_FALSE(m.ProfileReached());
    EXPECT_TRUE(std::isfinite(m.EndTime()));
    EXPECT_TRUE(std::isfinite(m.EndPosition()));
    EXPECT_TRUE(std::isfinite(m.PositionAt(0.5)));
}

TEST(MovementProfile, UnusableInputsKeepThePreviousProfile) {
    TMovement m;
    Set(m, false, 1, 1, -1, 2, 5);
    const double tE = m.EndTime();
    m.SetAccNeg(0.0);
    EXPECT_EQ(m.EndTime(), tE);
    m.SetAccNeg(0.5);
    EXPECT_EQ(m.EndTime(), tE);
    m.SetAccNeg(-1.0);
    m.SetVmax(0.0);
    EXPECT_EQ(m.EndTime(), tE);
    m.SetVmax(2.0);
    m.SetLength(0.0);
    EXPECT_EQ(m.EndTime(), tE);
    m.SetLength(5.0);
    m.SetAccPos(0.0);
    EXPECT_EQ(m.EndTime(), tE);
    // Jerk 0 with limitation on is unusable too.
    m.SetAccPos(1.0);
    m.SetJerk(0.0);
    m.SetJerkLimited(true);
    EXPECT_EQ(m.EndTime(), tE);
    // Infinite travel would give an infinite profile: kept as well.
    m.SetJerkLimited(false);
    m.SetLength(std::numeric_limits<double>::infinity());
    EXPECT_EQ(m.EndTime(), tE);
}

TEST(MovementProfile, SettersRecomputeOnlyOnChangeAndNotify) {
    TMovement m;
    int raised = 0;
    m.OnChange = [&](TMovement&) { ++raised; };
    m.SetLength(1.0); // unchanged
    EXPECT_EQ(raised, 0);
    m.SetLength(5.0);
    EXPECT_EQ(raised, 1);
    EXPECT_NEAR(m.EndTime(), 6.0, 1e-12); // A = V = 1: 1 + 4 + 1 s
    m.SetTime(3.0);                       // stored only, but still a change
    EXPECT_EQ(raised, 2);
    EXPECT_NEAR(m.EndTime(), 6.0, 1e-12);
}

TEST(MovementProfile, EqualityIgnoresResultsAndCallback) {
    TMovement a, b;
    a.SetLength(3.0);
    EXPECT_FALSE(a.Equals(b));
    b.AssignFrom(a);
    EXPECT_TRUE(a.Equals(b));
    EXPECT_NEAR(b.EndTime(), a.EndTime(), 0.0);
}

} // namespace
