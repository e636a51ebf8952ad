// The drive sizing on the bundled catalogue's cylinder, shock absorber and rotary actuator
// tables: the selection rules checked row by row against the tables' own values.

#include "core/calc/drive.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/drive_model.h"
#include "core/workflow/motion_model.h"
#include "tools/vacdb/catalog_source.h"

#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace {

const std::string kProductDir = std::string(VACUUM_SOURCE_DIR) + "/catalog/product";

void Load(TStrTableDB32Bit& t, const std::string& file) {
    t.Loaded();
    ReadTableSource(kProductDir + "/" + file, kProductDir, t);
}

// Whether a row offers angle a (deg): within its range or one of its fixed angles.
bool Offers(const TCustomTable& t, int row, double a) {
    return (t.AsFloat(row, "AngleMin") <= a && a <= t.AsFloat(row, "AngleMax")) ||
           t.AsFloat(row, "Angle1") == a || t.AsFloat(row, "Angle2") == a ||
           t.AsFloat(row, "Angle3") == a;
}

TEST(MotionCatalog, RotaryQueryOffersExactlyTheRowsForTheAngle) {
    TStrTableDB32Bit rotary;
    Load(rotary, "rotary_cylinders.tsv");
    ASSERT_GT(rotary.Rows(), 0);
    TStringQuery query;
    query.Loaded();
    query.SetTable(&rotary);
    for (double deg : {90.0, 180.0, 270.0}) {
        query.Reset();
        query.AddCondition(RotaryAngleCondition(deg * std::numbers::pi / 180.0));
        std::vector<std::string> expected;
        for (int r = 0; r < rotary.Rows(); ++r)
            if (Offers(rotary, r, deg)) expected.push_back(rotary.AsText(r, "OrderCode"));
        std::vector<std::string> offered;
        for (int r = 0; r < query.Rows(); ++r) offered.push_back(query.AsText(r, "OrderCode"));
        EXPECT_EQ(offered, expected) << deg << "°";
    }
    // The bundled rows include actuators for a half turn.
    query.Reset();
    query.AddCondition(RotaryAngleCondition(std::numbers::pi));
    EXPECT_GT(query.Rows(), 0);
}

TEST(MotionCatalog, InertiaConditionKeepsRowsThatCarryTheLoad) {
    TStrTableDB32Bit rotary;
    Load(rotary, "rotary_cylinders.tsv");
    TStringQuery query;
    query.Loaded();
    query.SetTable(&rotary);
    const double J = 0.01;
    query.AddCondition(RotaryInertiaCondition(J));
    int expected = 0;
    for (int r = 0; r < rotary.Rows(); ++r)
        if (rotary.AsFloat(r, "MomentOfInertiaMax") >= J) ++expected;
    EXPECT_EQ(query.Rows(), expected);
    for (int r = 0; r < query.Rows(); ++r) EXPECT_GE(query.AsFloat(r, "MomentOfInertiaMax"), J);
}

TEST(MotionCatalog, AutomaticCylinderAndElastomerAbsorbers) {
    TStrTableDB32Bit cylinders, absorbers;
    Load(cylinders, "cylinder_force.tsv");
    Load(absorbers, "shock_absorber.tsv");
    ASSERT_GT(cylinders.Rows(), 1);
    TMyProject doc;
    doc.Project().New();
    TMotionModel motion(doc);
    TDriveModel model(doc, motion, &cylinders, &absorbers, nullptr);
    // A mass just above the second row's limit takes the third row; more than the last
    // row carries takes the last.
    doc.Workpiece.Mass =
        cylinders.AsFloat(1, "Mass") + 1e-3 - motion.MovingMass() + doc.Workpiece.Mass;
    model.ChkBox20to30Percent_Click(true);
    int expected = 0;
    while (expected < cylinders.Rows() - 1 &&
           cylinders.AsFloat(expected, "Mass") < motion.MovingMass())
        ++expected;
    EXPECT_EQ(model.CylinderRow(), expected);
    EXPECT_EQ(model.CylinderDiameter(), cylinders.AsFloat(expected, "Diameter"));
    doc.Workpiece.Mass = 1e6;
    model.Calculate();
    EXPECT_EQ(model.CylinderRow(), cylinders.Rows() - 1);

    // Every elastomer absorber takes only the kinetic energy ½·(m/n)·v².
    doc.Workpiece.Mass = 1.0;
    doc.Drive.PneumaticLinear.Speed = 0.5;
    model.ChkBoxQdrLin_Click(true);
    const double m = motion.MovingMass();
    int elastomers = 0;
    for (int r = 0; r < absorbers.Rows(); ++r) {
        SCOPED_TRACE(testing::Message() << "row " << r << " " << absorbers.AsText(r, "OrderCode"));
        model.CoBoxQdrLinChange(absorbers.AsText(r, "OrderCode"));
        ASSERT_TRUE(model.Linear().AbsorberUsed);
        const double kinetic = 0.5 * m * 0.25;
        if (absorbers.AsText(r, "~Medium") == "~Elastomer") {
            ++elastomers;
            EXPECT_NEAR(model.Linear().Absorber.Energy, kinetic, 1e-12);
        } else {
            EXPECT_NEAR(model.Linear().Absorber.Energy,
                        kinetic + model.Linear().PistonForce * absorbers.AsFloat(r, "Stroke"),
                        1e-9);
        }
        EXPECT_EQ(model.Linear().BrakingDistance, absorbers.AsFloat(r, "Stroke"));
    }
    EXPECT_GT(elastomers, 0);
}

} // namespace
