#include "core/calc/forces.h"

#include <cmath>
#include <iterator>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double g = 9.80655;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Motion curves of simple closed form: each curve is a linear function of t, so a test
// can tell from the result which curve was read at which time.
class TLineCurves : public TMotionCurves {
public:
    double PneumaticLinearAcceleration(double t) const override { return 1.0 + t; }
    double PneumaticRotaryAcceleration(double t) const override { return 2.0 + t; }
    double PneumaticRotarySpeed(double t) const override { return 3.0 + t; }
    double NCLinearAcceleration(double t) const override { return 4.0 + t; }
    double NCLinearVelocity(double t) const override { return 5.0 + t; }
    double NCRotaryAcceleration(double t) const override { return 6.0 + t; }
    double NCRotaryVelocity(double t) const override { return 7.0 + t; }
    TMotionLimits NCLinearLimits() const override { return {1.0, -1.0, 1.0}; }
    TMotionLimits NCRotaryLimits() const override { return {2.0, -3.0, 1.0}; }
    double PositionTimeEnd(TDriveType type) const override { return 1.0 + int(type); }
};

// Returns the same value from every curve.
class TConstantCurves : public TMotionCurves {
public:
    explicit TConstantCurves(double v) : FValue(v) {}
    double PneumaticLinearAcceleration(double) const override { return FValue; }
    double PneumaticRotaryAcceleration(double) const override { return FValue; }
    double PneumaticRotarySpeed(double) const override { return FValue; }
    double NCLinearAcceleration(double) const override { return FValue; }
    double NCLinearVelocity(double) const override { return FValue; }
    double NCRotaryAcceleration(double) const override { return FValue; }
    double NCRotaryVelocity(double) const override { return FValue; }
    TMotionLimits NCLinearLimits() const override { return {FValue, FValue, FValue}; }
    TMotionLimits NCRotaryLimits() const override { return {FValue, FValue, FValue}; }
    double PositionTimeEnd(TDriveType) const override { return FValue; }

private:
    double FValue;
};

bool AllZero(const TForceExtremes& e) {
    return e.Fx == 0 && e.Fy == 0 && e.Fz == 0 && e.F == 0 && e.Lowest == 0 && e.Largest == 0 &&
           e.Lower == VektorZero && e.Upper == VektorZero;
}

TEST(ForceExtremes, RestingVerticalLiftCarriesTheWeight) {
    // 2 kg: Fz = 2·9.80655 = 19.6131 N.
    for (TDriveType type : {cdtPneumaticLinear, cdtNCLinear}) {
        SCOPED_TRACE(testing::Message() << "drive type " << type);
        const TForceExtremes e = ForceExtremes(type, {0, 0, 0}, VektorPlusZ, 2.0);
        EXPECT_TRUE(e.Valid);
        EXPECT_NEAR(e.Fz, 19.6131, 1e-12);
        EXPECT_EQ(e.Fx, 0.0);
        EXPECT_EQ(e.Fy, 0.0);
        EXPECT_NEAR(e.F, 19.6131, 1e-12);
        EXPECT_EQ(e.Lowest, 0.0);
    }
}

TEST(ForceExtremes, DownwardStrokeIsWidenedWithZeroAfterGravity) {
    // Candidates (0, 0, −5) and (0, 0, 3); with gravity lower.z = 4.80655, upper.z =
    // 12.80655; widened with 0, lower.z = 0.
    const TForceExtremes e = ForceExtremes(cdtPneumaticLinear, {5, 3, 0}, VektorMinusZ, 1.0);
    EXPECT_NEAR(e.Upper.Z, 12.80655, 1e-12);
    EXPECT_EQ(e.Lower.Z, 0.0);
    EXPECT_NEAR(e.Fz, 12.80655, 1e-12);
    EXPECT_NEAR(e.F, 12.80655, 1e-12);
    EXPECT_EQ(e.Lowest, 0.0);
    EXPECT_NEAR(e.Largest, 12.80655, 1e-12);
}

TEST(ForceExtremes, HardBrakingUpwardsPullsTheLowerEnvelopeBelowZero) {
    // Up with p2 = 30: candidates (0, 0, 2) and (0, 0, −30); +g: −20.19345 and 11.80655.
    // Fz is the upper end only; the total force takes the longer of the two corners.
    const TForceExtremes e = ForceExtremes(cdtNCLinear, {2, 30, 0}, VektorPlusZ, 2.0);
    EXPECT_NEAR(e.Lower.Z, -20.19345, 1e-12);
    EXPECT_NEAR(e.Upper.Z, 11.80655, 1e-12);
    EXPECT_NEAR(e.Lowest, -20.19345, 1e-12);
    EXPECT_NEAR(e.Largest, 20.19345, 1e-12);
    EXPECT_NEAR(e.Fz, 2.0 * 11.80655, 1e-12);
    EXPECT_NEAR(e.F, 2.0 * 20.19345, 1e-12);
}

TEST(ForceExtremes, HorizontalStrokeTakesTheLargerSideAndTheLongerCorner) {
    // Along X with p1 = 4, p2 = 6, m = 0.5: lower = (−6, 0, 0), upper = (4, 0, g).
    const TForceExtremes e = ForceExtremes(cdtPneumaticLinear, {4, 6, 0}, VektorPlusX, 0.5);
    EXPECT_EQ(e.Lower, TVektor(-6, 0, 0));
    EXPECT_NEAR(e.Upper.Z, g, 1e-15);
    EXPECT_DOUBLE_EQ(e.Fx, 0.5 * 6.0);
    EXPECT_EQ(e.Fy, 0.0);
    EXPECT_NEAR(e.Fz, 0.5 * g, 1e-15);
    EXPECT_EQ(e.Lowest, -6.0);
    // |upper| = √(16 + g²) = 10.591 > |lower| = 6.
    EXPECT_NEAR(e.F, 0.5 * std::sqrt(16.0 + g * g), 1e-12);
    // Along Y the force goes to Fy.
    const TForceExtremes y = ForceExtremes(cdtNCLinear, {4, 6, 0}, VektorPlusY, 0.5);
    EXPECT_EQ(y.Fx, 0.0);
    EXPECT_DOUBLE_EQ(y.Fy, 3.0);
}

TEST(ForceExtremes, SwivelIsTangentialAlongXAndCentripetalAlongY) {
    // p = (3, 5, 2), m = 2: lower = (−5, 0, 0), upper = (3, 2, g). The third value is
    // ignored by linear drives.
    for (TDriveType type : {cdtPneumaticCircular, cdtNCCircular}) {
        SCOPED_TRACE(testing::Message() << "drive type " << type);
        const TForceExtremes e = ForceExtremes(type, {3, 5, 2}, VektorPlusZ, 2.0);
        EXPECT_EQ(e.Lower, TVektor(-5, 0, 0));
        EXPECT_DOUBLE_EQ(e.Fx, 10.0);
        EXPECT_DOUBLE_EQ(e.Fy, 4.0);
        EXPECT_NEAR(e.Fz, 2.0 * g, 1e-12);
        EXPECT_NEAR(e.F, 2.0 * std::sqrt(9.0 + 4.0 + g * g), 1e-12);
    }
    const TForceExtremes lin = ForceExtremes(cdtPneumaticLinear, {0, 0, 50}, VektorPlusZ, 1.0);
    EXPECT_NEAR(lin.F, g, 1e-12);
}

TEST(ForceExtremes, InputsThatAreNotFiniteGiveInvalidZeros) {
    const TForceExtremes cases[] = {
        ForceExtremes(cdtPneumaticLinear, {nan, 0, 0}, VektorPlusZ, 1.0),
        ForceExtremes(cdtNCLinear, {0, inf, 0}, VektorPlusX, 1.0),
        ForceExtremes(cdtNCLinear, {1, 1, 0}, TVektor(nan, 0, 1), 1.0),
        ForceExtremes(cdtPneumaticCircular, {1, 1, -inf}, VektorPlusZ, 1.0),
        ForceExtremes(cdtNCCircular, {1, 1, 1}, VektorPlusZ, nan),
        // Finite inputs whose product overflows.
        ForceExtremes(cdtNCLinear, {1e300, 0, 0}, VektorPlusZ, 1e300),
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i);
        const TForceExtremes& e = cases[i];
        EXPECT_FALSE(e.Valid);
        EXPECT_TRUE(AllZero(e));
    }
    // What a drive type does not read does not spoil it.
    EXPECT_TRUE(ForceExtremes(cdtNCLinear, {1, 1, nan}, VektorPlusZ, 1.0).Valid);
    EXPECT_TRUE(ForceExtremes(cdtNCCircular, {1, 1, 1}, TVektor(nan, nan, nan), 1.0).Valid);
}

// The moments of a workpiece of 1 kg with its centre of gravity at the centre.
TGripperMoments Centred(TDriveType type, const TDriveAccelerations& p, double lever, double jz,
                        const TMotionLimits& rotary) {
    return GripperMoments(type, p, lever, jz, rotary, 1.0, VektorZero, VektorPlusZ);
}

TEST(GripperMoments, ACentredMassSwivelsOnlyInTheXYPlane) {
    const TMotionLimits rotary{2.0, -3.0, 1.0};
    // Pneumatic: Jz·max(p1, p2)/R = 0.5·max(4, 6)/0.25 = 12 N·m.
    TGripperMoments m = Centred(cdtPneumaticCircular, {4, 6, 1}, 0.25, 0.5, rotary);
    EXPECT_DOUBLE_EQ(m.XY, 12.0);
    EXPECT_EQ(m.YZ, 0.0);
    EXPECT_EQ(m.XZ, 0.0);
    // Lever 0 gives 0.
    EXPECT_EQ(Centred(cdtPneumaticCircular, {4, 6, 1}, 0.0, 0.5, rotary).XY, 0.0);
    // Servo: Jz·max(A', −D') = 0.5·max(2, 3) = 1.5 N·m, whatever the triple says.
    m = Centred(cdtNCCircular, {100, 100, 100}, 0.25, 0.5, rotary);
    EXPECT_DOUBLE_EQ(m.XY, 1.5);
    // Linear motions have none.
    for (TDriveType type : {cdtPneumaticLinear, cdtNCLinear}) {
        SCOPED_TRACE(testing::Message() << "drive type " << type);
        m = Centred(type, {4, 6, 1}, 0.25, 0.5, rotary);
        EXPECT_EQ(m.XY, 0.0);
        EXPECT_EQ(m.YZ, 0.0);
        EXPECT_EQ(m.XZ, 0.0);
    }
}

TEST(GripperMoments, InputsThatAreNotFiniteGiveZero) {
    const TMotionLimits ok{2.0, -3.0, 1.0};
    EXPECT_EQ(Centred(cdtPneumaticCircular, {4, nan, 1}, 0.25, 0.5, ok).XY, 0.0);
    EXPECT_EQ(Centred(cdtPneumaticCircular, {nan, 4, 1}, 0.25, 0.5, ok).XY, 0.0);
    EXPECT_EQ(Centred(cdtPneumaticCircular, {4, 6, 1}, inf, 0.5, ok).XY, 0.0);
    EXPECT_EQ(Centred(cdtPneumaticCircular, {4, 6, 1}, 1e-320, 1e300, ok).XY, 0.0);
    EXPECT_EQ(Centred(cdtNCCircular, {0, 0, 0}, 0.25, nan, ok).XY, 0.0);
    EXPECT_EQ(Centred(cdtNCCircular, {0, 0, 0}, 0.25, 0.5, {nan, -3, 1}).XY, 0.0);
    EXPECT_EQ(Centred(cdtNCCircular, {0, 0, 0}, 0.25, 0.5, {2, -inf, 1}).XY, 0.0);
}

TEST(GripperMoments, OffCentreMassOfALinearLift) {
    // 2 kg lifted with 5 m/s² and braked with 3 m/s², its centre of gravity 0.1 m along X
    // from the workpiece centre: the largest tilt about Y is the heaviest pull times the
    // lever, 2·(9.80655 + 5)·0.1 = 2.96131 N·m; no turn about X or Z.
    const TMotionLimits rotary{2.0, -3.0, 1.0};
    for (TDriveType type : {cdtPneumaticLinear, cdtNCLinear}) {
        const TGripperMoments m = GripperMoments(type, {5, 3, 0}, 0.25, 0.5, rotary, 2.0,
                                                 TVektor(0.1, 0, 0), VektorPlusZ);
        EXPECT_NEAR(m.XZ, 2.96131, 1e-12) << type;
        EXPECT_EQ(m.YZ, 0.0) << type;
        EXPECT_EQ(m.XY, 0.0) << type;
    }
}

TEST(GripperMoments, OffCentreMassOfAHorizontalStroke) {
    // 1 kg pushed along X with 4 m/s² and braked with 6 m/s², its centre of gravity 50 mm
    // beside the line (Y) and 20 mm above the centre (Z). The weight at 50 mm gives
    // 0.05·9.80655 = 0.4903275 N·m about X; the braking force of 6 N gives 6·0.02 = 0.12
    // about Y and 6·0.05 = 0.3 about Z (the 4 N push gives less).
    const TGripperMoments m = GripperMoments(cdtNCLinear, {4, 6, 0}, 0.25, 0.5, {}, 1.0,
                                             TVektor(0, 0.05, 0.02), VektorPlusX);
    EXPECT_NEAR(m.YZ, 0.4903275, 1e-12);
    EXPECT_NEAR(m.XZ, 0.12, 1e-12);
    EXPECT_NEAR(m.XY, 0.3, 1e-12);
}

TEST(GripperMoments, OffCentreMassOfASwivel) {
    // R = 0.25 m, Jz = 0.5 kg m², m = 2 kg, braking with 6 m/s² (α = 24 rad/s²). The
    // braking force m·6 = 12 N acts at the centre of gravity, 0.1 m further from the axis
    // than the workpiece centre, on top of the own moment Jz·α = 12 N·m:
    // 12 + 12·0.1 = 13.2 N·m = α·(Jz + m·R·0.1). The weight at 0.1 m tilts by 2g·0.1.
    const TMotionLimits rotary{2.0, -3.0, 1.0};
    TVektor outwards = SwivelCentripetalDirection();
    outwards.Scale(-0.1);
    TGripperMoments m = GripperMoments(cdtPneumaticCircular, {4, 6, 1}, 0.25, 0.5, rotary, 2.0,
                                       outwards, VektorPlusZ);
    EXPECT_NEAR(m.XY, 13.2, 1e-12);
    EXPECT_NEAR(m.YZ + m.XZ, 2 * 9.80655 * 0.1, 1e-12);
    EXPECT_EQ(std::min(m.YZ, m.XZ), 0.0);
    // Nearer the axis the same braking needs less: 12 − 1.2 = 10.8 N·m.
    outwards.Scale(-1.0);
    m = GripperMoments(cdtPneumaticCircular, {4, 6, 1}, 0.25, 0.5, rotary, 2.0, outwards,
                       VektorPlusZ);
    EXPECT_NEAR(m.XY, 10.8, 1e-12);
    // A servo swivel brakes by D' = −3 rad/s² and its tangential −D'·R = 0.75 m/s²:
    // 0.5·3 + 2·0.75·0.1 = 1.65 N·m with the mass 0.1 m further out.
    outwards.Scale(-1.0);
    m = GripperMoments(cdtNCCircular, {0.5, 0.75, 0.25}, 0.25, 0.5, rotary, 2.0, outwards,
                       VektorPlusZ);
    EXPECT_NEAR(m.XY, 1.65, 1e-12);
}

TEST(ForceChartRanges, ForceMomentAndTimeAxes) {
    // Hard braking case above: lowest −20.19345, largest 20.19345, m = 2:
    // force axis 1.2·2·(−20.19345) = −48.46428 to 48.46428.
    const TForceExtremes e = ForceExtremes(cdtNCLinear, {2, 30, 0}, VektorPlusZ, 2.0);
    const TForceChartRanges r = ForceChartRanges(e, 2.0, 1.5, 0.5, {2.0, -3.0, 1.0});
    EXPECT_NEAR(r.Force.Min, -48.46428, 1e-12);
    EXPECT_NEAR(r.Force.Max, 48.46428, 1e-12);
    EXPECT_EQ(r.Time, (TAxisRange{0.0, 1.5}));
    // Moment axis 1.2·Jz·D' = 1.2·0.5·(−3) = −1.8 to 1.2·0.5·2 = 1.2.
    EXPECT_NEAR(r.Moment.Min, -1.8, 1e-15);
    EXPECT_NEAR(r.Moment.Max, 1.2, 1e-15);
}

TEST(ForceChartRanges, InputsThatAreNotFiniteLeaveTheAxisAtZero) {
    const TForceExtremes bad = ForceExtremes(cdtNCLinear, {nan, 0, 0}, VektorPlusZ, 1.0);
    const TForceChartRanges r = ForceChartRanges(bad, 1.0, nan, inf, {2.0, -3.0, 1.0});
    EXPECT_EQ(r.Force, TAxisRange{});
    EXPECT_EQ(r.Time, TAxisRange{});
    EXPECT_EQ(r.Moment, TAxisRange{});
    const TForceExtremes good = ForceExtremes(cdtNCLinear, {1, 1, 0}, VektorPlusZ, 1.0);
    EXPECT_EQ(ForceChartRanges(good, nan, 1.0, 1.0, {nan, -1, 1}).Force, TAxisRange{});
    EXPECT_EQ(ForceChartRanges(good, nan, 1.0, 1.0, {nan, -1, 1}).Moment, TAxisRange{});
}

TEST(GripperForceAt, EachDriveTypeReadsItsOwnCurves) {
    const TLineCurves curves;
    const double t = 0.5;
    // Pneumatic linear along −Z: a = 1.5, m = 2: Fz = 2·(−1.5 + g), |F| = |Fz|.
    auto f = GripperForceAt(cdtPneumaticLinear, t, 2.0, VektorMinusZ, 0.3, curves);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->X, 0.0);
    EXPECT_NEAR(f->Z, 2.0 * (g - 1.5), 1e-12);
    EXPECT_NEAR(f->Total, 2.0 * (g - 1.5), 1e-12);
    // Servo linear along +X: a = 4.5: Fx = 9, Fz = 2g, |F| = √(81 + 4g²).
    f = GripperForceAt(cdtNCLinear, t, 2.0, VektorPlusX, 0.3, curves);
    ASSERT_TRUE(f);
    EXPECT_DOUBLE_EQ(f->X, 9.0);
    EXPECT_EQ(f->Y, 0.0);
    EXPECT_NEAR(f->Z, 2.0 * g, 1e-12);
    EXPECT_NEAR(f->Total, std::sqrt(81.0 + 4.0 * g * g), 1e-12);
    // Pneumatic swivel, R = 0.3: α = 2.5, ω = 3.5: Fx = 2·0.3·2.5 = 1.5,
    // Fy = 2·0.3·12.25 = 7.35, Fz = 2g.
    f = GripperForceAt(cdtPneumaticCircular, t, 2.0, VektorMinusZ, 0.3, curves);
    ASSERT_TRUE(f);
    EXPECT_NEAR(f->X, 1.5, 1e-12);
    EXPECT_NEAR(f->Y, 7.35, 1e-12);
    EXPECT_NEAR(f->Z, 2.0 * g, 1e-12);
    EXPECT_NEAR(f->Total, 2.0 * std::sqrt(0.75 * 0.75 + 3.675 * 3.675 + g * g), 1e-12);
    // Servo swivel: α = 6.5, ω = 7.5: Fx = 2·0.3·6.5 = 3.9, Fy = 2·0.3·56.25 = 33.75.
    f = GripperForceAt(cdtNCCircular, t, 2.0, VektorMinusZ, 0.3, curves);
    ASSERT_TRUE(f);
    EXPECT_NEAR(f->X, 3.9, 1e-12);
    EXPECT_NEAR(f->Y, 33.75, 1e-12);
    EXPECT_NEAR(f->Total, 2.0 * std::sqrt(1.95 * 1.95 + 16.875 * 16.875 + g * g), 1e-12);
}

TEST(GripperForceAt, NoPointWhereAnythingIsNotFinite) {
    const TLineCurves curves;
    EXPECT_FALSE(GripperForceAt(cdtNCLinear, nan, 1.0, VektorPlusZ, 0.3, curves));
    EXPECT_FALSE(GripperForceAt(cdtNCLinear, 0.0, nan, VektorPlusZ, 0.3, curves));
    EXPECT_FALSE(GripperForceAt(cdtNCCircular, 0.0, 1.0, VektorPlusZ, inf, curves));
    for (double v : {nan, inf, -inf, 1e200}) {
        const TConstantCurves bad(v);
        for (int type = cdtPneumaticLinear; type <= cdtNCCircular; ++type) {
            const auto f = GripperForceAt(TDriveType(type), 0.1, 1e200, VektorPlusZ, 1.0, bad);
            EXPECT_FALSE(f) << "type " << type << " value " << v;
        }
        EXPECT_FALSE(GripperMomentAt(cdtNCCircular, 0.1, 1e200, bad));
    }
    // A linear force with an infinite component perpendicular to the motion (0·inf).
    EXPECT_FALSE(LinearGripperForce(1.0, VektorPlusX, inf));
}

TEST(GripperMomentAt, ServoSwivelOnly) {
    const TLineCurves curves;
    // Jz·α(t) = 0.5·(6 + 0.5) = 3.25 N·m.
    const auto m = GripperMomentAt(cdtNCCircular, 0.5, 0.5, curves);
    ASSERT_TRUE(m);
    EXPECT_DOUBLE_EQ(*m, 3.25);
    for (TDriveType type : {cdtPneumaticLinear, cdtPneumaticCircular, cdtNCLinear})
        EXPECT_FALSE(GripperMomentAt(type, 0.5, 0.5, curves)) << "drive type " << type;
}

} // namespace
