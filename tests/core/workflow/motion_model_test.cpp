#include "core/calc/movement.h"
#include "core/document/my_project.h"
#include "core/workflow/motion_model.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

class MotionModelTest : public ::testing::Test {
protected:
    TMyProject Doc;
    TMotionModel Model{Doc};
    int DriveRuns = 0;
    int ForceRuns = 0;
    std::vector<TConnection> Follow;

    void SetUp() override {
        Doc.Project().New();
        Follow.push_back(Model.OnDriveChange.Connect([this](TMotionModel&) { ++DriveRuns; }));
        Follow.push_back(Model.OnKraftChange.Connect([this](TMotionModel&) { ++ForceRuns; }));
    }
};

TEST_F(MotionModelTest, MovingMassAndInertiaAboutTheSwivelAxis) {
    Doc.Workpiece.Mass = 2.0;
    Doc.Workpiece.MomentOfInertiaZ = 0.1;
    Model.SpinEditMasseHalterungChange(1.0);
    EXPECT_NEAR(Model.MovingMass(), Doc.SuctionCups.TotalMass() + 3.0, 1e-12);
    EXPECT_EQ(DriveRuns, 1);
    EXPECT_EQ(ForceRuns, 1);
    // R = 0.5: J1 = 0.25·2 = 0.5, Jw = 0.1 + 0.5; holder 0.3 on top of the cups.
    Model.SpinEditTraegheitHalterungChange(0.3);
    Model.SpinEditHebelarmWerkStkChange(0.5);
    EXPECT_NEAR(Model.WorkpieceLeverInertia(), 0.5, 1e-15);
    EXPECT_NEAR(Doc.WorkpieceAxisMomentOfInertia, 0.6, 1e-15);
    const double cups = 0.25 * Doc.SuctionCups.TotalMass() + Doc.SuctionCups.MomentOfInertiaZ();
    EXPECT_NEAR(Doc.SuctionCupsMomentOfInertia, cups, 1e-15);
    EXPECT_NEAR(Doc.TotalMomentOfInertia, 0.3 + cups + 0.6, 1e-12);
}

TEST_F(MotionModelTest, HandlersAreInertWhileTheDisclaimerIsPending) {
    Doc.DisclaimerPending = true;
    Model.SpinEditMasseHalterungChange(7.0);
    Model.SpinEditNCAchseVMaxxxChange(5.0);
    EXPECT_EQ(Doc.Moving.LinearHolderMass, 0.0);
    EXPECT_NE(Doc.Drive.NCLinearMove.Vmax(), 5.0);
    EXPECT_EQ(DriveRuns + ForceRuns, 0);
}

// A servo stroke of 1e-40 m at J = A = V = 1: the ramps cover 2·V'^1.5, still about 7.7e-34 m
// after the last of the 1000 reductions (V' = 0.95^1000 ≈ 5.3e-23 m/s).
TEST_F(MotionModelTest, AServoProfileThatNeverFitsItsTravelIsReported) {
    Doc.DisclaimerPending = false;
    Model.TabSetAntriebChange(1);
    ASSERT_EQ(Doc.Drive.Type, cdtNCLinear);
    EXPECT_TRUE(Model.ProfileDiagnostic().empty());
    Model.ChkBoxRuckBegrenzt_Click(true);
    Model.SpinEditNCAchseRuckMaxChange(1.0);
    Model.SpinEditNCAchseAPlusChange(1.0);
    Model.SpinEditNCAchseVMaxxxChange(1.0);
    Model.SpinEditLinWegChange(1.0);
    EXPECT_TRUE(Model.ProfileDiagnostic().empty());
    Model.SpinEditLinWegChange(1e-40);
    EXPECT_NE(Model.ProfileDiagnostic().find("does not reach its travel"), std::string::npos);
    // A pneumatic drive has no profile to reach.
    Model.TabSetAntriebChange(0);
    EXPECT_TRUE(Model.ProfileDiagnostic().empty());
}

TEST_F(MotionModelTest, DriveTypeFromTheTwoTabs) {
    Model.TabSetAntriebChange(1);
    EXPECT_EQ(Doc.Drive.Type, cdtNCLinear);
    Model.TabNotebookBewegungChange(1);
    EXPECT_EQ(Doc.Drive.Type, cdtNCCircular);
    Model.TabSetAntriebChange(0);
    EXPECT_EQ(Doc.Drive.Type, cdtPneumaticCircular);
}

TEST_F(MotionModelTest, PneumaticLinearSpeedAndTime) {
    Model.RBtnVMaxAusrechnenClick(true);
    Model.SpinEditLinWegChange(0.05);
    // Time entered: v = 2·0.05/0.5 = 0.2 m/s.
    Model.SpinEditZeitLinChange(0.5);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Speed, 0.2, 1e-15);
    // Speed entered: t = 2·0.05/0.4 = 0.25 s.
    Model.RBtnVMaxAusrechnenClick(false);
    Model.SpinEditVMaxLinChange(0.4);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Time, 0.25, 1e-15);
    // Time limits 2·0.05/10 to 2·0.05/0.005.
    EXPECT_NEAR(Model.LinearTimeLimits().Min, 0.01, 1e-15);
    EXPECT_NEAR(Model.LinearTimeLimits().Max, 20.0, 1e-12);
    // The stroke is also the linear servo travel.
    EXPECT_EQ(Doc.Drive.NCLinearMove.Length(), 0.05);
}

TEST_F(MotionModelTest, AStrokeBringsAnEnteredTimeIntoTheLimitsItSets) {
    Model.RBtnVMaxAusrechnenClick(true);
    Model.SpinEditLinWegChange(0.05);
    Model.SpinEditZeitLinChange(0.011); // within 0.01 .. 20 s
    // 0.3 m (k = 1.25): the limits become 1.25·0.3/10 = 0.0375 s to 1.25·0.3/0.005 = 75 s;
    // the time goes to the lower end and the speed to the fastest the field allows.
    Model.SpinEditLinWegChange(0.3);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Time, 0.0375, 1e-15);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Speed, 10.0, 1e-12);
    Model.SpinEditZeitLinChange(70);
    Model.SpinEditLinWegChange(0.2); // limits 0.025 .. 50 s
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Time, 50.0, 1e-12);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Speed, 0.005, 1e-15);
    // A time within the new limits stays.
    Model.SpinEditZeitLinChange(2.0);
    Model.SpinEditLinWegChange(0.25);
    EXPECT_EQ(Doc.Drive.PneumaticLinear.Time, 2.0);
    // With the speed entered, the time follows the speed, which keeps it in the limits.
    Model.RBtnVMaxAusrechnenClick(false);
    Model.SpinEditVMaxLinChange(0.5);
    Model.SpinEditLinWegChange(0.4);
    EXPECT_NEAR(Doc.Drive.PneumaticLinear.Time, 1.25 * 0.4 / 0.5, 1e-15);
}

TEST_F(MotionModelTest, ASwivelAngleBringsAnEnteredTimeIntoTheLimitsItSets) {
    // ω = 2φ/t with ω from 90 to 2160 degrees per second.
    Model.RBtnRotAusrechnenClick(true);
    Model.SpinEditDrehwinkelChange(pi); // limits 2π/12π = 1/6 s to 2π/(π/2) = 4 s
    EXPECT_NEAR(Model.RotaryTimeLimits().Min, 1.0 / 6.0, 1e-15);
    EXPECT_NEAR(Model.RotaryTimeLimits().Max, 4.0, 1e-15);
    Model.SpinEditZeitRotChange(3.0);
    Model.SpinEditDrehwinkelChange(pi / 2); // limits 1/12 s to 2 s
    EXPECT_NEAR(Doc.Drive.PneumaticCircular.Time, 2.0, 1e-15);
    EXPECT_NEAR(Doc.Drive.PneumaticCircular.AngularSpeed, pi / 2, 1e-15);
    Model.SpinEditZeitRotChange(1.0);
    Model.SpinEditDrehwinkelChange(pi / 3);
    EXPECT_EQ(Doc.Drive.PneumaticCircular.Time, 1.0);
}

TEST_F(MotionModelTest, PneumaticSwivelModeSwitchReplacesAZeroTime) {
    Model.SpinEditDrehwinkelChange(pi);
    Doc.Drive.PneumaticCircular.Time = 0.0;
    Model.RBtnRotAusrechnenClick(true);
    EXPECT_EQ(Doc.Drive.PneumaticCircular.Time, 0.01);
    EXPECT_NEAR(Doc.Drive.PneumaticCircular.AngularSpeed, 2 * pi / 0.01, 1e-9);
    Model.SpinEditZeitRotChange(0.5);
    EXPECT_NEAR(Doc.Drive.PneumaticCircular.AngularSpeed, 4 * pi, 1e-12);
}

TEST_F(MotionModelTest, ServoProfilesPublishTheirTriples) {
    Model.ChkBoxRuckBegrenzt_Click(false);
    Model.SpinEditNCAchseAPlusChange(1.0);
    Model.SpinEditNCAchseAMinusChange(-1.0);
    Model.SpinEditNCAchseVMaxxxChange(2.0);
    const int before = ForceRuns;
    Model.SpinEditLinWegChange(1.0);
    EXPECT_GT(ForceRuns, before);
    // Triangle: A' = 1, D' = −1, V' = 1 (see the profile tests).
    EXPECT_NEAR(Doc.MotionResults[cdtNCLinear][0], 1.0, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtNCLinear][1], 1.0, 1e-12);
    EXPECT_EQ(Doc.MotionResults[cdtNCLinear][2], 0.0);
    EXPECT_NEAR(Model.NCLinearLimits().Vmax, 1.0, 1e-12);
    EXPECT_NEAR(Model.PositionTimeEnd(cdtNCLinear), 2.0, 1e-12);

    // Rotary, R = 0.25, A = 2, D = −2, V = 1, φ = π: ramps 0.25 + 0.25 rad < π, so
    // the triple is 0.25·2, 0.25·2, 0.25·1².
    Model.SpinEditHebelarmWerkStkChange(0.25);
    Model.ChkBoxRotRuck_Click(false);
    Model.SpinEditNCAchseRotAPlusChange(2.0);
    Model.SpinEditNCAchseRotAMinusChange(-2.0);
    Model.SpinEditWinkelgeschwindigkeitChange(1.0);
    Model.PanelDrehwinkelNCChange(pi);
    EXPECT_NEAR(Doc.MotionResults[cdtNCCircular][0], 0.5, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtNCCircular][1], 0.5, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtNCCircular][2], 0.25, 1e-12);
    // Chart axes: ±1.2 × the entered values.
    const TNCChartAxes axes = Model.NCRotaryAxes();
    EXPECT_NEAR(axes.Acceleration.Min, -2.4, 1e-12);
    EXPECT_NEAR(axes.Acceleration.Max, 2.4, 1e-12);
    EXPECT_EQ(axes.Position.Max, pi);
}

TEST_F(MotionModelTest, DecelerationMirrorsTheAccelerationWhenNotSeparate) {
    Model.ChkBoxAPlusMinus_Click(false);
    Model.SpinEditNCAchseAPlusChange(3.0);
    EXPECT_EQ(Doc.Drive.NCLinearMove.AccNeg(), -3.0);
    Model.SpinEditNCAchseAMinusChange(-1.0); // read-only field
    EXPECT_EQ(Doc.Drive.NCLinearMove.AccNeg(), -3.0);
    Model.ChkBoxAPlusMinus_Click(true);
    Model.SpinEditNCAchseAMinusChange(-1.0);
    EXPECT_EQ(Doc.Drive.NCLinearMove.AccNeg(), -1.0);
}

TEST_F(MotionModelTest, CurvesAndSamples) {
    // Pneumatic stroke of 0.7 s scaled by the sizing's axes (−720 .. 96.6 m/s²):
    // at t = 0 the curve starts at 96.6/1.2 = 80.5; at t = 0.65 (u = 6.5) it is
    // (−720/1.2)·0.25 = −150.
    Doc.Drive.PneumaticLinear.Time = 0.7;
    TDriveChartAxes lin;
    lin.Acceleration = {-720.0, 96.6};
    Model.SetPneumaticLinearAxes(lin);
    Doc.Drive.Type = cdtPneumaticLinear;
    EXPECT_NEAR(Model.Sample(0.0).Acceleration, 80.5, 1e-12);
    EXPECT_NEAR(Model.Sample(0.65).Acceleration, -150.0, 1e-9);
    EXPECT_EQ(Model.EndTime(), 0.7);

    // Pneumatic swivel: the lower end −1.2 m/s² tangential at R = 0.5 is −2.4 rad/s²;
    // at u = 6.5: (−2.4/1.2)·0.8·0.25 = −0.4 rad/s². Angle at u = 4: φ·0.45.
    Model.SpinEditHebelarmWerkStkChange(0.5);
    Doc.Drive.PneumaticCircular.Time = 0.7;
    Doc.Moving.CircularAngle = pi;
    TDriveChartAxes rot;
    rot.Acceleration = {-1.2, 6.0};
    rot.Velocity = {0.0, 12.0};
    Model.SetPneumaticRotaryAxes(rot);
    Doc.Drive.Type = cdtPneumaticCircular;
    EXPECT_NEAR(Model.Sample(0.65).AngularAcceleration, -0.4, 1e-12);
    EXPECT_NEAR(Model.Sample(0.4).Angle, pi * 0.45, 1e-12);
    EXPECT_NEAR(Model.Sample(0.4).AngularSpeed, 10.0, 1e-12);
    EXPECT_EQ(Model.Sample(0.4).Acceleration, 0.0);

    // Servo swivel: the profile itself.
    Doc.Drive.Type = cdtNCCircular;
    const TMovement& m = Doc.Drive.NCCircularMove;
    const double t = m.EndTime() / 3.0;
    EXPECT_EQ(Model.Sample(t).Angle, m.PositionAt(t));
    EXPECT_EQ(Model.Sample(t).AngularSpeed, m.VelocityAt(t));
    EXPECT_EQ(Model.EndTime(), m.EndTime());
}

} // namespace

namespace {

TEST_F(MotionModelTest, ChartCallbacks) {
    // Linear servo, A = 1, D = −1, V = 2, L = 5 (trapezoid, tE = 4.5 s).
    Model.ChkBoxRuckBegrenzt_Click(false);
    Model.SpinEditNCAchseAPlusChange(1.0);
    Model.SpinEditNCAchseAMinusChange(-1.0);
    Model.SpinEditNCAchseVMaxxxChange(2.0);
    Model.SpinEditLinWegChange(5.0);
    double y = 0.0;
    bool valid = true;
    Model.DiagrammNcLinAGetY(1.0, 0, y, valid);
    EXPECT_TRUE(valid);
    EXPECT_EQ(y, -1.0);
    Model.DiagrammNcLinAGetY(1.0, 1, y, valid);
    EXPECT_EQ(y, 1.0);
    Model.DiagrammNcLinAGetY(3.0, 2, y, valid);
    EXPECT_EQ(y, -1.0);
    Model.DiagrammNcLinAGetY(3.0, 3, y, valid);
    EXPECT_FALSE(valid);
    valid = true;
    Model.DiagrammNcLinVGetY(2.25, 1, y, valid);
    EXPECT_NEAR(y, 2.0, 1e-12);
    Model.DiagrammNcLinSGetY(0.0, 0, y, valid);
    EXPECT_EQ(y, 5.0);
    Model.DiagrammNcLinSGetY(10.0, 1, y, valid);
    EXPECT_NEAR(y, 5.0, 1e-12);

    // Pneumatic swivel chart on the sizing's axes: u = 6.5 of 0.7 s, lower end −1.2:
    // (−1.2/1.2)·0.8·0.25 = −0.2; the band there −1.2·(0.2 ∓ 0.4).
    Doc.Drive.PneumaticCircular.Time = 0.7;
    TDriveChartAxes rot;
    rot.Acceleration = {-1.2, 6.0};
    Model.SetPneumaticRotaryAxes(rot);
    valid = true;
    Model.DiagrammPnRotAGetY(0.65, 0, y, valid);
    EXPECT_TRUE(valid);
    EXPECT_NEAR(y, -0.2, 1e-12);
    const TPneumaticBand b = Model.DiagrammPnRotABand(0.65);
    EXPECT_TRUE(b.Valid);
    EXPECT_NEAR(b.From, -1.2 * (0.2 - 0.4), 1e-12);
    EXPECT_NEAR(b.To, -1.2 * (0.2 + 0.4), 1e-12);
    EXPECT_FALSE(Model.DiagrammPnRotVBand(0.35).Valid);
}

} // namespace
