#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/drive_model.h"
#include "core/workflow/motion_model.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

// Cylinders with "Mass" 1, 2, 5, 10 kg; the second has adjustable cushioning.
void FillCylinders(TStrTableDB32Bit& t) {
    t.Loaded();
    auto& d = t.AddColumn("Diameter", csfFloat);
    auto& force = t.AddColumn("Force", csfFloat);
    auto& mass = t.AddColumn("Mass", csfFloat);
    auto& vkd = t.AddColumn("VKDmin", csfFloat);
    const double rows[4][4] = {
        {0.006, 17, 1, 0}, {0.010, 47, 2, 0.01}, {0.016, 120, 5, 0}, {0.020, 483, 10, 0}};
    for (const auto& r : rows) {
        d.AppendFloat(r[0]);
        force.AppendFloat(r[1]);
        mass.AppendFloat(r[2]);
        vkd.AppendFloat(r[3]);
    }
    t.SetRows(4);
}

void FillAbsorbers(TStrTableDB32Bit& t) {
    t.Loaded();
    auto& code = t.AddColumn("OrderCode", csfString);
    auto& stroke = t.AddColumn("Stroke", csfFloat);
    auto& w = t.AddColumn("W_tot", csfFloat);
    auto& wh = t.AddColumn("W_tot_h", csfFloat);
    auto& f = t.AddColumn("F_max", csfFloat);
    auto& medium = t.AddColumn("~Medium", csfString);
    code.AppendText("SA-1");
    stroke.AppendFloat(0.01);
    w.AppendFloat(10);
    wh.AppendFloat(36000);
    f.AppendFloat(200);
    medium.AppendText("~Oil");
    code.AppendText("EL-1");
    stroke.AppendFloat(0.01);
    w.AppendFloat(10);
    wh.AppendFloat(36000);
    f.AppendFloat(200);
    medium.AppendText("~Elastomer");
    t.SetRows(2);
}

// Actuators: a 0..95° one, a 0..185° one and one with the fixed angles 90/180.
void FillRotary(TStrTableDB32Bit& t) {
    t.Loaded();
    auto& code = t.AddColumn("OrderCode", csfString);
    std::vector<TStrFieldDB*> cols;
    for (const char* name : {"AngleMin", "AngleMax", "Angle1", "Angle2", "Angle3", "Torque",
                             "MomentOfInertiaMax", "CushAngleMin"})
        cols.push_back(&t.AddColumn(name, csfFloat));
    const std::vector<std::pair<std::string, std::array<double, 8>>> rows = {
        {"RA-90", {0, 95, 0, 0, 0, 0.3, 0.002, 1}},
        {"RA-180", {0, 185, 0, 0, 0, 1.2, 0.01, 10}},
        {"RF-180", {0, 0, 90, 180, 0, 6.0, 0.5, 2}},
    };
    for (const auto& [c, v] : rows) {
        code.AppendText(c);
        for (size_t i = 0; i < v.size(); ++i) cols[i]->AppendFloat(v[i]);
    }
    t.SetRows(static_cast<int>(rows.size()));
}

class DriveModelTest : public ::testing::Test {
protected:
    TMyProject Doc;
    TStrTableDB32Bit Cylinders, Absorbers, Rotary;
    TStringQuery RotaryQuery;
    TMotionModel Motion{Doc};
    TDriveModel Model{Doc, Motion, &Cylinders, &Absorbers, &RotaryQuery};
    int ForceRuns = 0;
    TConnection Follow;

    void SetUp() override {
        FillCylinders(Cylinders);
        FillAbsorbers(Absorbers);
        FillRotary(Rotary);
        RotaryQuery.Loaded();
        RotaryQuery.SetTable(&Rotary);
        Doc.Project().New();
        Follow = Model.OnKraftChange.Connect([this](TDriveModel&) { ++ForceRuns; });
        Doc.SuctionCups.Clear();
    }
};

TEST_F(DriveModelTest, LinearCylinderChosenByDiameterAtPressure) {
    Doc.Drive.Type = cdtPneumaticLinear;
    Doc.Workpiece.Mass = 2.0;
    Motion.SpinEditMasseHalterungChange(3.0); // moving mass 5 kg
    Doc.Drive.PneumaticLinear.Speed = 0.6;
    Doc.Drive.PneumaticLinear.SafetyFactor = 2.0;
    Model.CoBoxDZylLinChange(0.020);
    Model.SpinEditBetrDruckLinChange(500000.0);
    EXPECT_EQ(Model.CylinderRow(), 3);
    // 483·5/6 = 402.5 N; 402.5/5 = 80.5 m/s²; no cushioning: 0.36/(2·0.0006)·2 = 600.
    EXPECT_NEAR(Model.Linear().PistonForce, 402.5, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtPneumaticLinear][0], 80.5, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtPneumaticLinear][1], 600.0, 1e-9);
    EXPECT_NEAR(Model.Linear().InertiaForce, 1200.0, 1e-9);
    EXPECT_NEAR(Motion.PneumaticLinearAxes().Acceleration.Min, -720.0, 1e-9);
    EXPECT_EQ(ForceRuns, 2);
    // The second row brakes on its 10 mm cushioning: 0.36/0.02·2 = 36 m/s².
    Model.CoBoxDZylLinChange(0.010);
    EXPECT_TRUE(Model.Linear().AdjustableCushioning);
    EXPECT_NEAR(Model.Linear().BrakingAcceleration, 36.0, 1e-12);
}

TEST_F(DriveModelTest, AutomaticSelectionTakesTheFirstRowCarryingTheMass) {
    Doc.Workpiece.Mass = 3.0;
    Model.ChkBox20to30Percent_Click(true);
    EXPECT_EQ(Model.CylinderRow(), 2);
    EXPECT_EQ(Model.CylinderDiameter(), 0.016);
    Doc.Workpiece.Mass = 20.0;
    Model.Calculate();
    EXPECT_EQ(Model.CylinderRow(), 3);
}

TEST_F(DriveModelTest, LinearShockAbsorbersAndRatingBars) {
    Doc.Workpiece.Mass = 4.0;
    Doc.Moving.LinearTravel = 0.5;
    Doc.Drive.PneumaticLinear.Speed = 2.0;
    Doc.Drive.PneumaticLinear.SafetyFactor = 1.0;
    Doc.Drive.PneumaticLinear.Pressure = 600000.0;
    Model.CoBoxDZylLinChange(0.020);
    Model.SpinEditQdrLinAnzahlChange(2);
    Model.CoBoxQdrLinChange("SA-1");
    EXPECT_FALSE(Model.LinearRatingBarsVisible());
    EXPECT_FALSE(Model.Linear().AbsorberUsed);
    Model.ChkBoxQdrLin_Click(true);
    EXPECT_TRUE(Model.LinearRatingBarsVisible());
    // Per absorber 2 kg and 241.5 N: W = ½·2·4 + 241.5·0.01 = 6.415 J (64.15 %);
    // FA/F_max = 1.2075: both bars red, the second at 20.75 %, text "121%".
    EXPECT_NEAR(Model.Linear().Absorber.Energy, 6.415, 1e-12);
    const auto bars = Model.LinearRatingBars();
    EXPECT_FALSE(bars[0].Overloaded);
    EXPECT_NEAR(bars[0].FirstPercent, 64.15, 1e-9);
    EXPECT_TRUE(bars[2].Overloaded);
    EXPECT_NEAR(bars[2].SecondPercent, 20.75, 1e-9);
    EXPECT_EQ(bars[2].SecondText, "121%");
    // Elastomer: kinetic part only.
    Model.CoBoxQdrLinChange("EL-1");
    EXPECT_NEAR(Model.Linear().Absorber.Energy, 4.0, 1e-12);
}

TEST_F(DriveModelTest, RotaryQueryOffersTheSwivelAngle) {
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Moving.CircularAngle = pi;
    Doc.TotalMomentOfInertia = 0.005;
    Doc.Drive.PneumaticCircular.OrderCode = "RA-90";
    Model.FilterRotaryQuery();
    // 180° lies in RA-180's range and is a fixed angle of RF-180; RA-90 is gone, so the
    // first offered row is taken.
    ASSERT_EQ(RotaryQuery.Rows(), 2);
    EXPECT_EQ(RotaryQuery.AsText(0, "OrderCode"), "RA-180");
    EXPECT_EQ(RotaryQuery.AsText(1, "OrderCode"), "RF-180");
    EXPECT_EQ(Doc.Drive.PneumaticCircular.OrderCode, "RA-180");
    // A chosen row still offered is kept; J above RA-180's 0.01 kg·m² drops it.
    Doc.Drive.PneumaticCircular.OrderCode = "RF-180";
    Doc.TotalMomentOfInertia = 0.02;
    Model.FilterRotaryQuery();
    ASSERT_EQ(RotaryQuery.Rows(), 1);
    EXPECT_EQ(Doc.Drive.PneumaticCircular.OrderCode, "RF-180");
    // With absorbers the inertia condition is left out.
    Doc.Drive.PneumaticCircular.UseQdr = true;
    Model.FilterRotaryQuery();
    EXPECT_EQ(RotaryQuery.Rows(), 2);
    // Nothing offered: no actuator.
    Doc.Moving.CircularAngle = pi / 180.0 * 270.0;
    Model.FilterRotaryQuery();
    EXPECT_EQ(RotaryQuery.Rows(), 0);
    EXPECT_TRUE(Doc.Drive.PneumaticCircular.OrderCode.empty());
}

TEST_F(DriveModelTest, RotarySizingWithCushioningAndAbsorber) {
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Moving.CircularAngle = pi;
    Doc.Moving.CircularLever = 0.25;
    Doc.TotalMomentOfInertia = 0.5;
    Doc.Workpiece.Mass = 3.0;
    Doc.Drive.PneumaticCircular.AngularSpeed = 2.0;
    Doc.Drive.PneumaticCircular.SafetyFactor = 2.0;
    Doc.Drive.PneumaticCircular.Time = 1.0;
    Model.FilterRotaryQuery();
    Model.CoBoxZylRotChange("RF-180");
    Model.SpinEditBetrDruckRotChange(300000.0);
    // M = 6·3/6 = 3 N·m, (3/0.5)·0.25 = 1.5; φb = 2° = π/90: ab = 4/(π/45)·2·0.25.
    EXPECT_NEAR(Model.Rotary().Torque, 3.0, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtPneumaticCircular][0], 1.5, 1e-12);
    EXPECT_NEAR(Doc.MotionResults[cdtPneumaticCircular][1], 4.0 / (pi / 45.0) * 0.5, 1e-9);
    EXPECT_NEAR(Doc.MotionResults[cdtPneumaticCircular][2], 1.0, 1e-12);
    EXPECT_NEAR(Motion.PneumaticRotaryAxes().Acceleration.Max, 1.2 * 6.0, 1e-12);

    // Two absorbers at rA = 0.1: φb = 0.01/0.1 = 0.1 rad, me = J/n/rA² from the
    // recomputed total inertia.
    Model.Qdr_Change(true, "SA-1", 2, 0.1);
    EXPECT_TRUE(Model.RotaryRatingBarsVisible());
    const double J = Doc.TotalMomentOfInertia;
    EXPECT_NEAR(Model.Rotary().EquivalentMass, J / 2.0 / 0.01, 1e-12);
    EXPECT_NEAR(Model.Rotary().BrakingAngle, 0.1, 1e-15);
    EXPECT_NEAR(Model.Rotary().BrakingAcceleration, 4.0 / 0.2 * 2.0 * 0.25, 1e-12);
    Model.Qdr_Change(true, "SA-1", 2, 0.0);
    EXPECT_FALSE(Model.RotaryRatingBarsVisible());
    EXPECT_FALSE(Model.Rotary().AbsorberUsed);
}

// Whether the cylinder can lift and stop the load: its force against the weight when it
// lifts straight up, its rated mass, or the ratings of the absorbers in use.
TEST_F(DriveModelTest, LinearCheckWeighsForceMassAndAbsorbers) {
    Doc.Drive.Type = cdtPneumaticLinear;
    Doc.Workpiece.Mass = 5.0; // no cups, no holder: 5 kg move, 49.03 N weight
    Doc.Moving.LinearDirection = cldVerticalUp;
    Doc.Moving.LinearTravel = 2.0;
    Doc.Drive.PneumaticLinear.Speed = 2.0;
    Doc.Drive.PneumaticLinear.SafetyFactor = 1.0;
    Model.SpinEditBetrDruckLinChange(600000.0);
    Model.CoBoxDZylLinChange(0.020); // 483 N, rated for 10 kg
    EXPECT_EQ(Model.LinearCheck(), (TDriveCheck{true, true}));
    EXPECT_EQ(Model.Check(), Model.LinearCheck());
    // 17 N cannot lift 49 N, and the 1 kg rating is far below 5 kg; sideways it moves.
    Model.CoBoxDZylLinChange(0.006);
    EXPECT_EQ(Model.LinearCheck(), (TDriveCheck{false, false}));
    Motion.RBtnRichtungClick(cldHorizontalX);
    EXPECT_EQ(Model.LinearCheck(), (TDriveCheck{true, false}));
    // 120 N at 6 bar: 48 N at 2.4 bar is below the weight, 50 N at 2.5 bar above it.
    Motion.RBtnRichtungClick(cldVerticalUp);
    Model.CoBoxDZylLinChange(0.016);
    Model.SpinEditBetrDruckLinChange(240000.0);
    EXPECT_FALSE(Model.LinearCheck().CanMove);
    Model.SpinEditBetrDruckLinChange(250000.0);
    EXPECT_TRUE(Model.LinearCheck().CanMove);
    EXPECT_TRUE(Model.LinearCheck().CanStop); // 5 kg on a 5 kg rating

    // Absorbers decide the stop: two take 241.5 N each at 6 bar, above F_max 200 N.
    Model.SpinEditBetrDruckLinChange(600000.0);
    Model.CoBoxDZylLinChange(0.020);
    Model.CoBoxQdrLinChange("SA-1");
    Model.SpinEditQdrLinAnzahlChange(2);
    Model.ChkBoxQdrLin_Click(true);
    EXPECT_EQ(Model.LinearCheck(), (TDriveCheck{true, false}));
    // Three: 161 N, ½·(5/3)·4 + 1.61 = 4.94 J of 10, 3600·4.94/1 s = 17,780 J/h of 36,000.
    Model.SpinEditQdrLinAnzahlChange(3);
    EXPECT_EQ(Model.LinearCheck(), (TDriveCheck{true, true}));
    // Twice the speed: four times the kinetic energy, 14.9 J per stroke.
    Doc.Drive.PneumaticLinear.Speed = 4.0;
    Model.Calculate();
    EXPECT_FALSE(Model.LinearCheck().CanStop);
    // A servo drive is not sized here.
    Doc.Drive.Type = cdtNCLinear;
    EXPECT_EQ(Model.Check(), (TDriveCheck{true, true}));
}

TEST_F(DriveModelTest, RotaryCheckNeedsAnActuatorAndItsRatings) {
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Moving.CircularAngle = pi;
    Doc.Moving.CircularLever = 0.25;
    Doc.Workpiece.Mass = 3.0;
    Doc.Workpiece.MomentOfInertiaZ = 0.0125; // with 0.25² · 3: 0.2 kg·m² about the axis
    Doc.Drive.PneumaticCircular.AngularSpeed = 2.0;
    Doc.Drive.PneumaticCircular.SafetyFactor = 2.0;
    Doc.Drive.PneumaticCircular.Time = 1.0;
    Doc.Drive.PneumaticCircular.Pressure = 600000.0;
    Doc.TotalMomentOfInertia = 0.5;
    Model.FilterRotaryQuery();
    Model.CoBoxZylRotChange("RF-180"); // rated for 0.5 kg·m²
    EXPECT_EQ(Model.RotaryCheck(), (TDriveCheck{true, true}));
    // 0.6 kg·m² leaves no actuator for 180°: nothing moves, nothing brakes.
    Doc.TotalMomentOfInertia = 0.6;
    Model.Calculate();
    EXPECT_TRUE(Doc.Drive.PneumaticCircular.OrderCode.empty());
    EXPECT_EQ(Model.RotaryCheck(), (TDriveCheck{false, false}));

    // With absorbers the inertia condition goes and the ratings decide. Two at 0.1 m take
    // 6/0.1/2 = 30 N each and stop 0.2/2/0.01 = 10 kg each: at 2 rad/s (0.2 m/s)
    // ½·10·0.04 + 30·0.01 = 0.5 J of 10, 1800 J/h of 36,000.
    Model.Qdr_Change(true, "SA-1", 2, 0.1);
    Model.CoBoxZylRotChange("RF-180");
    ASSERT_NEAR(Doc.TotalMomentOfInertia, 0.2, 1e-12);
    EXPECT_NEAR(Model.Rotary().Absorber.Force, 30.0, 1e-12);
    EXPECT_NEAR(Model.Rotary().Absorber.Energy, 0.5, 1e-12);
    EXPECT_EQ(Model.RotaryCheck(), (TDriveCheck{true, true}));
    // At 40 rad/s (4 m/s): ½·10·16 + 0.3 = 80.3 J per stroke.
    Doc.Drive.PneumaticCircular.AngularSpeed = 40.0;
    Model.Calculate();
    EXPECT_EQ(Model.RotaryCheck(), (TDriveCheck{true, false}));
    EXPECT_EQ(Model.Check(), Model.RotaryCheck());
}

TEST_F(DriveModelTest, HandlersAreInertWhileAProjectLoads) {
    Doc.DisclaimerPending = true;
    Model.SpinEditBetrDruckLinChange(1.0);
    EXPECT_NE(Doc.Drive.PneumaticLinear.Pressure, 1.0);
    EXPECT_EQ(ForceRuns, 0);
}

} // namespace
