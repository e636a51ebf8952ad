#include <gtest/gtest.h>

#include <filesystem>

#include "core/workflow/vacuum_application.h"
#include "tools/vacdb/catalog_source.h"

namespace {

// The bundled catalogue compiled once into a temporary container.
const std::string& CatalogueFile() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() /
                       ("vacuum_app_" + std::to_string(::getpid()) + ".dat");
        WriteFileAtomic(p.string(),
                        BuildContainerFromSources(std::string(VACUUM_SOURCE_DIR) + "/catalog/product", true));
        return p.string();
    }();
    return path;
}

} // namespace

TEST(VacuumApplication, BindsEveryTableOfTheBundledCatalogue) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active()) << app.LastError();
    for (const TStrTableDB32Bit* t :
         {&app.SuctionCups, &app.Tubes, &app.Connectors, &app.Venturis, &app.EvacuationTimes,
          &app.BufferSize, &app.VenturiSwitch, &app.Density, &app.CylinderForce,
          &app.ShockAbsorbers, &app.RotaryCylinders, &app.Order})
        EXPECT_GT(t->Rows(), 0) << t->Table();
    EXPECT_EQ(app.SuctionCupQuery.Rows(), app.SuctionCups.Rows());
    EXPECT_GT(app.CurveVacuum.CurvesCount(), 0);
}

TEST(VacuumApplication, AMassChangeTravelsThroughTheDriveToTheForces) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    app.NewProject();
    app.Document.DisclaimerPending = false;
    ASSERT_TRUE(app.Workpiece.SetShape(cwsMassKnown));
    ASSERT_TRUE(app.Workpiece.SetMass(2.0));
    // Whatever the default motion does, the gripper carries at least the weight along Z.
    EXPECT_GE(app.Forces.Extremes().Fz, 2.0 * 9.80655 - 1e-9);
    const double before = app.Forces.Extremes().Fz;
    const auto& triple = app.Document.MotionResults[app.Document.Drive.Type];
    const double accelerationBefore = triple[0];
    ASSERT_GT(accelerationBefore, 0.0);
    ASSERT_TRUE(app.Workpiece.SetMass(4.0));
    // The same cylinder accelerates the heavier load less (piston force / moving mass), yet
    // the force on the gripper grows and still carries the weight.
    EXPECT_LT(triple[0], accelerationBefore);
    EXPECT_GT(app.Forces.Extremes().Fz, before);
    EXPECT_GE(app.Forces.Extremes().Fz, 4.0 * 9.80655 - 1e-9);
}
