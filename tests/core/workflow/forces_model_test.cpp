#include "core/workflow/forces_model.h"
#include "workflow_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double g = 9.80655;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// Curves that are linear in t with a different offset each, so that a result tells which
// curve was read; every value can be overridden to test values that are not finite.
class TFakeMotion : public TMotionCurves {
public:
    double Override = 0.0;
    bool UseOverride = false;
    TMotionLimits Rotary{2.0, -3.0, 0.5};
    double TimeEnd[4] = {1.0, 2.0, 3.0, 4.0};

    double PneumaticLinearAcceleration(double t) const override { return V(1.0 + t); }
    double PneumaticRotaryAcceleration(double t) const override { return V(2.0 + t); }
    double PneumaticRotarySpeed(double t) const override { return V(3.0 + t); }
    double NCLinearAcceleration(double t) const override { return V(4.0 + t); }
    double NCLinearVelocity(double t) const override { return V(5.0 + t); }
    double NCRotaryAcceleration(double t) const override { return V(6.0 + t); }
    double NCRotaryVelocity(double t) const override { return V(7.0 + t); }
    TMotionLimits NCLinearLimits() const override { return {1.0, -1.0, 1.0}; }
    TMotionLimits NCRotaryLimits() const override { return Rotary; }
    double PositionTimeEnd(TDriveType type) const override { return TimeEnd[type]; }

private:
    double V(double x) const { return UseOverride ? Override : x; }
};

class ForcesModelTest : public ::testing::Test, public TWorkflowFixture {
protected:
    TFakeMotion Motion;
    TForcesModel Model{Doc, &Motion};
    int Raised = 0;
    TConnection Follow;

    void SetUp() override {
        Follow = Model.OnKraftChange.Connect([this](TForcesModel&) { ++Raised; });
        Doc.Workpiece.Mass = 2.0;
        Doc.Workpiece.MomentOfInertiaZ = 0.5;
        Doc.Moving.CircularLever = 0.25;
    }

    void Drive(TDriveType type, double p1, double p2, double p3) {
        Doc.Drive.Type = type;
        Doc.MotionResults[type] = {p1, p2, p3};
    }

    double Y(double t, int curve, bool& valid) const {
        double y = -999.0;
        valid = true;
        Model.DiagrammKraefteGetY(t, curve, y, valid);
        return y;
    }
    double MomentY(double t, int curve, bool& valid) const {
        double y = -999.0;
        valid = true;
        Model.DiagrammMomenteGetY(t, curve, y, valid);
        return y;
    }
};

TEST_F(ForcesModelTest, KraftChangeReadsTheCurrentDrivesTriple) {
    // Down with p1 = 5, p2 = 3, m = 1: Fz = 12.80655 N.
    Doc.Workpiece.Mass = 1.0;
    Drive(cdtPneumaticLinear, 5, 3, 0);
    Doc.Moving.LinearDirection = cldVerticalDown;
    Doc.LinearDirectionVector = VektorMinusZ;
    // Another drive's triple plays no part.
    Doc.MotionResults[cdtNCLinear] = {100, 100, 100};
    Model.KraftChange();
    EXPECT_EQ(Raised, 1);
    EXPECT_NEAR(Model.Extremes().Fz, 12.80655, 1e-12);
    EXPECT_EQ(Model.Extremes().Fx, 0.0);
    // Force axis 1.2·1·0 to 1.2·12.80655; time axis to the pneumatic linear stroke's end.
    EXPECT_EQ(Model.ChartRanges().Force.Min, 0.0);
    EXPECT_NEAR(Model.ChartRanges().Force.Max, 1.2 * 12.80655, 1e-12);
    EXPECT_EQ(Model.ChartRanges().Time, (TAxisRange{0.0, 1.0}));
    // Moment axis from the rotary servo profile: 1.2·0.5·(−3) to 1.2·0.5·2.
    EXPECT_NEAR(Model.ChartRanges().Moment.Min, -1.8, 1e-15);
    EXPECT_NEAR(Model.ChartRanges().Moment.Max, 1.2, 1e-15);
    EXPECT_TRUE(Model.TotalForceVisible());
}

TEST_F(ForcesModelTest, SwivelMomentsAndTheirResetForLinearDrives) {
    // Pneumatic swivel: 0.5·max(4, 6)/0.25 = 12 N·m.
    Drive(cdtPneumaticCircular, 4, 6, 1);
    Model.KraftChange();
    EXPECT_DOUBLE_EQ(Model.Moments().XY, 12.0);
    EXPECT_EQ(Model.Moments().YZ, 0.0);
    EXPECT_EQ(Model.Moments().XZ, 0.0);
    EXPECT_EQ(Model.ChartRanges().Time.Max, 2.0);
    EXPECT_FALSE(Model.TotalForceVisible());
    // Servo swivel: 0.5·max(2, 3) = 1.5 N·m.
    Drive(cdtNCCircular, 0, 0, 0);
    Model.KraftChange();
    EXPECT_DOUBLE_EQ(Model.Moments().XY, 1.5);
    EXPECT_EQ(Model.ChartRanges().Time.Max, 4.0);
    // A linear drive shows no moment, not the last swivel's.
    Drive(cdtNCLinear, 1, 1, 0);
    Model.KraftChange();
    EXPECT_EQ(Model.Moments().XY, 0.0);
    // A lever of 0 gives 0 for the pneumatic swivel.
    Doc.Moving.CircularLever = 0.0;
    Drive(cdtPneumaticCircular, 4, 6, 1);
    Model.KraftChange();
    EXPECT_EQ(Model.Moments().XY, 0.0);
}

TEST_F(ForcesModelTest, AnOffCentreMassOfTheDocumentAddsItsMoments) {
    // 2 kg lifted vertically with 5 m/s², its centre of gravity 0.1 m along X: the heaviest
    // pull 2·(g + 5) at 0.1 m tilts by 2.96131 N·m about Y.
    Doc.Moving.LinearDirection = cldVerticalUp;
    Doc.LinearDirectionVector = VektorPlusZ;
    Doc.Workpiece.MassCenter = TVektor(0.1, 0, 0);
    Drive(cdtNCLinear, 5, 3, 0);
    Model.KraftChange();
    EXPECT_NEAR(Model.Moments().XZ, 2 * (g + 5) * 0.1, 1e-12);
    EXPECT_EQ(Model.Moments().YZ, 0.0);
    EXPECT_EQ(Model.Moments().XY, 0.0);
    // The forces themselves do not depend on where the mass sits.
    EXPECT_NEAR(Model.Extremes().Fz, 2 * (g + 5), 1e-12);
    Doc.Workpiece.MassCenter = VektorZero;
    Model.KraftChange();
    EXPECT_EQ(Model.Moments().XZ, 0.0);
}

TEST_F(ForcesModelTest, TotalForceOnlyForVerticalLinearMotions) {
    for (int type = cdtPneumaticLinear; type <= cdtNCCircular; ++type) {
        for (int dir = cldHorizontalX; dir <= cldVerticalDown; ++dir) {
            Doc.Drive.Type = TDriveType(type);
            Doc.Moving.LinearDirection = TLinearDirection(dir);
            const bool linear = type == cdtPneumaticLinear || type == cdtNCLinear;
            const bool vertical = dir == cldVerticalUp || dir == cldVerticalDown;
            EXPECT_EQ(Model.TotalForceVisible(), linear && vertical) << type << " " << dir;
        }
    }
}

TEST_F(ForcesModelTest, NothingWhileTheDisclaimerIsPendingButRecalculateRuns) {
    Drive(cdtNCLinear, 1, 1, 0);
    Doc.DisclaimerPending = true;
    Model.KraftChange();
    EXPECT_EQ(Raised, 0);
    EXPECT_EQ(Model.Extremes().Fz, 0.0);
    Model.Recalculate();
    EXPECT_EQ(Raised, 1);
    // Up with 1 m/s² either way, 2 kg: 2·(1 + g).
    EXPECT_NEAR(Model.Extremes().Fz, 2.0 * (1.0 + g), 1e-12);
}

TEST_F(ForcesModelTest, ForceCurvesOfTheFourDriveTypes) {
    bool valid = false;
    // Pneumatic linear, up, a(0.5) = 1.5: Fz = 2·(1.5 + g), |F| the same.
    Drive(cdtPneumaticLinear, 0, 0, 0);
    EXPECT_EQ(Y(0.5, TForcesModel::cfsX, valid), 0.0);
    EXPECT_TRUE(valid);
    EXPECT_NEAR(Y(0.5, TForcesModel::cfsZ, valid), 2.0 * (1.5 + g), 1e-12);
    EXPECT_NEAR(Y(0.5, TForcesModel::cfsTotal, valid), 2.0 * (1.5 + g), 1e-12);
    // Servo linear along Y: a(0.5) = 4.5: Fy = 9.
    Drive(cdtNCLinear, 0, 0, 0);
    Doc.LinearDirectionVector = VektorPlusY;
    EXPECT_DOUBLE_EQ(Y(0.5, TForcesModel::cfsY, valid), 9.0);
    EXPECT_NEAR(Y(0.5, TForcesModel::cfsTotal, valid), std::sqrt(81.0 + 4.0 * g * g), 1e-12);
    // Pneumatic swivel, R = 0.25: α(1) = 3, ω(1) = 4: Fx = 2·0.25·3 = 1.5,
    // Fy = 2·0.25·16 = 8, Fz = 2g.
    Drive(cdtPneumaticCircular, 0, 0, 0);
    EXPECT_DOUBLE_EQ(Y(1.0, TForcesModel::cfsX, valid), 1.5);
    EXPECT_DOUBLE_EQ(Y(1.0, TForcesModel::cfsY, valid), 8.0);
    EXPECT_NEAR(Y(1.0, TForcesModel::cfsZ, valid), 2.0 * g, 1e-12);
    EXPECT_NEAR(Y(1.0, TForcesModel::cfsTotal, valid),
                2.0 * std::sqrt(0.75 * 0.75 + 4.0 * 4.0 + g * g), 1e-12);
    // Servo swivel: α(1) = 7, ω(1) = 8: Fx = 2·0.25·7 = 3.5, Fy = 2·0.25·64 = 32.
    Drive(cdtNCCircular, 0, 0, 0);
    EXPECT_DOUBLE_EQ(Y(1.0, TForcesModel::cfsX, valid), 3.5);
    EXPECT_DOUBLE_EQ(Y(1.0, TForcesModel::cfsY, valid), 32.0);
    EXPECT_TRUE(valid);
    // There is no fifth series.
    Y(1.0, 4, valid);
    EXPECT_FALSE(valid);
    Y(1.0, -1, valid);
    EXPECT_FALSE(valid);
}

TEST_F(ForcesModelTest, MomentCurveOnlyForTheServoSwivel) {
    bool valid = false;
    Drive(cdtNCCircular, 0, 0, 0);
    // Jz·α(0.5) = 0.5·6.5 = 3.25 N·m in series 0 only.
    EXPECT_DOUBLE_EQ(MomentY(0.5, TForcesModel::cmsYZ, valid), 3.25);
    EXPECT_TRUE(valid);
    MomentY(0.5, TForcesModel::cmsXZ, valid);
    EXPECT_FALSE(valid);
    MomentY(0.5, TForcesModel::cmsXY, valid);
    EXPECT_FALSE(valid);
    for (TDriveType type : {cdtPneumaticLinear, cdtPneumaticCircular, cdtNCLinear}) {
        Doc.Drive.Type = type;
        MomentY(0.5, TForcesModel::cmsYZ, valid);
        EXPECT_FALSE(valid) << int(type);
    }
}

TEST_F(ForcesModelTest, WithoutMotionCurvesThereAreNoPointsAndNoTimeAxis) {
    TForcesModel model(Doc);
    Drive(cdtNCCircular, 1, 1, 1);
    model.KraftChange();
    EXPECT_EQ(model.ChartRanges().Time, TAxisRange{});
    EXPECT_EQ(model.ChartRanges().Moment, TAxisRange{});
    EXPECT_EQ(model.Moments().XY, 0.0);
    EXPECT_NEAR(model.Extremes().Fz, 2.0 * g, 1e-12);
    double y = 0.0;
    bool valid = true;
    model.DiagrammKraefteGetY(0.5, 0, y, valid);
    EXPECT_FALSE(valid);
    valid = true;
    model.DiagrammMomenteGetY(0.5, 0, y, valid);
    EXPECT_FALSE(valid);
}

TEST_F(ForcesModelTest, ValuesThatAreNotFiniteNeverReachTheResults) {
    auto allFinite = [&] {
        const TForceExtremes& e = Model.Extremes();
        const TForceChartRanges& r = Model.ChartRanges();
        const TGripperMoments& m = Model.Moments();
        for (double v : {e.Fx, e.Fy, e.Fz, e.F, e.Lowest, e.Largest, r.Force.Min, r.Force.Max,
                         r.Time.Min, r.Time.Max, r.Moment.Min, r.Moment.Max, m.XY, m.YZ, m.XZ})
            if (!std::isfinite(v)) return false;
        return true;
    };
    auto noCurvePoints = [&] {
        for (int curve = 0; curve < 4; ++curve) {
            bool valid = true;
            Y(0.5, curve, valid);
            if (valid) return false;
        }
        return true;
    };
    for (double bad : {nan, inf, -inf}) {
        SCOPED_TRACE(bad);
        for (int type = cdtPneumaticLinear; type <= cdtNCCircular; ++type) {
            SCOPED_TRACE(type);
            Drive(TDriveType(type), bad, bad, bad);
            Model.KraftChange();
            EXPECT_FALSE(Model.Extremes().Valid);
            EXPECT_TRUE(allFinite());

            Drive(TDriveType(type), 1, 1, 1);
            Doc.Workpiece.Mass = bad;
            Doc.Workpiece.MomentOfInertiaZ = bad;
            Doc.Moving.CircularLever = bad;
            Model.KraftChange();
            EXPECT_TRUE(allFinite());
            EXPECT_TRUE(noCurvePoints());
            bool valid = true;
            MomentY(0.5, 0, valid);
            EXPECT_FALSE(valid);

            Doc.Workpiece.Mass = 2.0;
            Doc.Workpiece.MomentOfInertiaZ = 0.5;
            Doc.Moving.CircularLever = 0.25;
            Motion.UseOverride = true;
            Motion.Override = bad;
            Motion.Rotary = {bad, bad, bad};
            for (double& t : Motion.TimeEnd) t = bad;
            Model.KraftChange();
            EXPECT_TRUE(allFinite());
            EXPECT_TRUE(noCurvePoints());
            Motion.UseOverride = false;
            Motion.Rotary = {2.0, -3.0, 0.5};
            for (int i = 0; i < 4; ++i) Motion.TimeEnd[i] = 1.0 + i;
        }
    }
    // A time that is not finite has no point either.
    Drive(cdtNCLinear, 1, 1, 0);
    bool valid = true;
    Y(nan, TForcesModel::cfsZ, valid);
    EXPECT_FALSE(valid);
}

} // namespace
