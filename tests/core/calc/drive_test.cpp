#include "core/calc/drive.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

TEST(DriveSizing, PressureScaling) {
    // 483 N at 6 bar, operated at 5 bar: 483·5/6 = 402.5 N.
    EXPECT_NEAR(ScaleToPressure(483.0, 500000.0), 402.5, 1e-12);
}

TEST(DriveSizing, AutomaticCylinderRow) {
    const std::vector<double> mass = {1, 2, 5, 10};
    EXPECT_EQ(AutomaticCylinderRow(mass, 3.0), 2);
    EXPECT_EQ(AutomaticCylinderRow(mass, 5.0), 2);
    EXPECT_EQ(AutomaticCylinderRow(mass, 0.5), 0);
    EXPECT_EQ(AutomaticCylinderRow(mass, 20.0), 3);
    EXPECT_EQ(AutomaticCylinderRow({}, 1.0), -1);
}

TEST(DriveSizing, LinearWithoutCushioning) {
    TLinearDriveInput in;
    in.RatedForce = 483.0;
    in.Pressure = 500000.0;
    in.MovingMass = 5.0;
    in.WorkpieceMass = 2.0;
    in.Speed = 0.6;
    in.Stroke = 0.2;
    in.Time = 0.5;
    in.SafetyFactor = 2.0;
    const TLinearDriveResult r = SizeLinearDrive(in);
    EXPECT_NEAR(r.PistonForce, 402.5, 1e-12);
    EXPECT_NEAR(r.Acceleration, 80.5, 1e-12);
    // VKDmin 0: l = 0.0006, ab = 0.36/(2·0.0006)·2 = 600 m/s².
    EXPECT_FALSE(r.AdjustableCushioning);
    EXPECT_EQ(r.BrakingDistance, 0.0006);
    EXPECT_NEAR(r.BrakingAcceleration, 600.0, 1e-9);
    EXPECT_NEAR(r.InertiaForce, 1200.0, 1e-9);
    EXPECT_NEAR(r.Axes.Acceleration.Min, -720.0, 1e-9);
    EXPECT_NEAR(r.Axes.Acceleration.Max, 96.6, 1e-12);
    EXPECT_NEAR(r.Axes.Velocity.Max, 0.72, 1e-15);
    EXPECT_EQ(r.Axes.Position.Max, 0.2);
    EXPECT_EQ(r.Axes.Time.Max, 0.5);
    EXPECT_NEAR(r.Accelerations[0], 80.5, 1e-12);
    EXPECT_NEAR(r.Accelerations[1], 600.0, 1e-9);
    EXPECT_EQ(r.Accelerations[2], 0.0);
}

TEST(DriveSizing, LinearWithAdjustableCushioningAndNoMass) {
    TLinearDriveInput in;
    in.RatedForce = 600.0;
    in.Pressure = 600000.0;
    in.VKDmin = 0.01;
    in.Speed = 1.0;
    in.SafetyFactor = 1.0;
    const TLinearDriveResult r = SizeLinearDrive(in);
    EXPECT_TRUE(r.AdjustableCushioning);
    // 1/(2·0.01) = 50 m/s²; without moving mass no accelerating value and no upper axis.
    EXPECT_NEAR(r.BrakingAcceleration, 50.0, 1e-12);
    EXPECT_EQ(r.Acceleration, 0.0);
    EXPECT_EQ(r.Axes.Acceleration.Max, 0.0);
}

TEST(DriveSizing, LinearShockAbsorbers) {
    TLinearDriveInput in;
    in.RatedForce = 600.0;
    in.Pressure = 600000.0;
    in.MovingMass = 4.0;
    in.Speed = 2.0;
    in.Stroke = 0.5;
    in.SafetyFactor = 1.0;
    in.Absorber = TShockAbsorberData{0.01, 10.0, 36000.0, 200.0, false};
    in.AbsorberCount = 2;
    TLinearDriveResult r = SizeLinearDrive(in);
    EXPECT_TRUE(r.AbsorberUsed);
    // Per absorber mA = 2 kg, FA = 300 N: W = ½·2·4 + 300·0.01 = 7 J; tc = 0.5/2 = 0.25 s,
    // Wh = 3600·7/0.25 = 100800 J/h; ab = 4/(2·0.01) = 200 m/s².
    EXPECT_NEAR(r.Absorber.Energy, 7.0, 1e-12);
    EXPECT_NEAR(r.Absorber.EnergyPerHour, 100800.0, 1e-8);
    EXPECT_NEAR(r.Absorber.Force, 300.0, 1e-12);
    EXPECT_NEAR(r.Absorber.EnergyRatio, 0.7, 1e-12);
    EXPECT_NEAR(r.Absorber.EnergyPerHourRatio, 2.8, 1e-12);
    EXPECT_NEAR(r.Absorber.ForceRatio, 1.5, 1e-12);
    EXPECT_NEAR(r.BrakingAcceleration, 200.0, 1e-10);
    // An elastomer takes the kinetic part only.
    in.Absorber->Elastomer = true;
    r = SizeLinearDrive(in);
    EXPECT_NEAR(r.Absorber.Energy, 4.0, 1e-12);
}

TEST(DriveSizing, RotaryWithCushioning) {
    TRotaryDriveInput in;
    in.HasRow = true;
    in.RatedTorque = 6.0;
    in.Pressure = 300000.0;
    in.CushAngleMin = pi / 18.0; // 10°
    in.MomentOfInertia = 0.5;
    in.Lever = 0.25;
    in.AngularSpeed = 2.0;
    in.Angle = pi;
    in.Time = 1.0;
    in.SafetyFactor = 2.0;
    in.WorkpieceMass = 3.0;
    const TRotaryDriveResult r = SizeRotaryDrive(in);
    // M = 6·3/6 = 3 N·m; (3/0.5)·0.25 = 1.5 m/s².
    EXPECT_NEAR(r.Torque, 3.0, 1e-12);
    EXPECT_NEAR(r.Acceleration, 1.5, 1e-12);
    // ab = 4/(2·π/18)·2·0.25 = (36/π)·0.5 = 18/π m/s²; centripetal 4·0.25 = 1.
    EXPECT_NEAR(r.BrakingAcceleration, 18.0 / pi, 1e-12);
    EXPECT_NEAR(r.CentripetalAcceleration, 1.0, 1e-15);
    EXPECT_NEAR(r.InertiaForce, 54.0 / pi, 1e-12);
    EXPECT_NEAR(r.Axes.Acceleration.Max, 1.2 * 6.0, 1e-12);
    EXPECT_NEAR(r.Axes.Velocity.Max, 2.4, 1e-15);
    EXPECT_EQ(r.Axes.Position.Max, pi);
    EXPECT_NEAR(r.Accelerations[2], 1.0, 1e-15);
}

TEST(DriveSizing, RotaryAbsorberAndNoRow) {
    TRotaryDriveInput in;
    in.HasRow = true;
    in.RatedTorque = 12.0;
    in.Pressure = 600000.0;
    in.MomentOfInertia = 0.2;
    in.Lever = 0.5;
    in.AngularSpeed = 4.0;
    in.Time = 2.0;
    in.SafetyFactor = 1.0;
    in.Absorber = TShockAbsorberData{0.01, 1.0, 1000.0, 100.0, false};
    in.AbsorberCount = 2;
    in.AbsorberRadius = 0.1;
    TRotaryDriveResult r = SizeRotaryDrive(in);
    // φb = 0.01/0.1 = 0.1 rad; me = 0.2/2/0.01 = 10 kg; FA = 12/0.1/2 = 60 N;
    // W = ½·10·(0.4)² + 60·0.01 = 1.4 J; Wh = 3600·1.4/2 = 2520 J/h;
    // ab = 16/(0.2)·1·0.5 = 40 m/s².
    EXPECT_TRUE(r.AbsorberUsed);
    EXPECT_NEAR(r.BrakingAngle, 0.1, 1e-15);
    EXPECT_NEAR(r.EquivalentMass, 10.0, 1e-12);
    EXPECT_NEAR(r.Absorber.Force, 60.0, 1e-12);
    EXPECT_NEAR(r.Absorber.Energy, 1.4, 1e-12);
    EXPECT_NEAR(r.Absorber.EnergyPerHour, 2520.0, 1e-9);
    EXPECT_NEAR(r.Absorber.EnergyPerHourRatio, 2.52, 1e-12);
    EXPECT_NEAR(r.BrakingAcceleration, 40.0, 1e-12);
    // Radius 0: the absorber is not used; without a row nothing brakes.
    in.AbsorberRadius = 0.0;
    in.HasRow = false;
    r = SizeRotaryDrive(in);
    EXPECT_FALSE(r.AbsorberUsed);
    EXPECT_EQ(r.Torque, 0.0);
    EXPECT_EQ(r.BrakingAngle, 0.0);
    EXPECT_EQ(r.BrakingAcceleration, 0.0);
    EXPECT_EQ(AbsorberEquivalentMass(0.2, 0, 0.1), 0.0);
}

TEST(DriveSizing, RotaryQueryConditions) {
    EXPECT_EQ(RotaryAngleCondition(pi),
              "((AngleMin<=180)AND(180<=AngleMax))OR(Angle1=180)OR(Angle2=180)OR(Angle3=180)");
    EXPECT_EQ(RotaryAngleCondition(pi / 8.0),
              "((AngleMin<=22.5)AND(22.5<=AngleMax))OR(Angle1=22.5)OR(Angle2=22.5)OR(Angle3=22.5)");
    EXPECT_EQ(RotaryInertiaCondition(0.0125), "MomentOfInertiaMax>=0.0125");
}

TEST(DriveSizing, RatingBars) {
    TRatingBar b = RatingBar(0.42);
    EXPECT_FALSE(b.Overloaded);
    EXPECT_NEAR(b.FirstPercent, 42.0, 1e-12);
    EXPECT_EQ(b.SecondPercent, 0.0);
    EXPECT_EQ(b.SecondText, "42%");
    b = RatingBar(1.5);
    EXPECT_TRUE(b.Overloaded);
    EXPECT_EQ(b.FirstPercent, 100.0);
    EXPECT_NEAR(b.SecondPercent, 50.0, 1e-12);
    EXPECT_EQ(b.SecondText, "150%");
    b = RatingBar(2.0);
    EXPECT_EQ(b.SecondPercent, 100.0);
    EXPECT_EQ(b.SecondText, "> 200%");
    // 100.5 % rounds to even: 100.
    // 0.125 → 12.5 % rounds to even: 12.
    EXPECT_EQ(RatingBar(0.125).SecondText, "12%");
}

} // namespace
