#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

// What loading a project, entering a page or changing the workpiece recomputes, with the
// bundled catalogue and the example projects.

namespace {

const std::string kExamples = std::string(VACUUM_SOURCE_DIR) + "/examples/";
constexpr double g = 9.80655;

std::string ReadText(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A copy of an example with some lines replaced ("Key=" prefix -> whole new line).
std::string Variant(const std::string& example, const std::string& name,
                    const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string text = ReadText(kExamples + example);
    for (const auto& [key, line] : lines) {
        const auto at = text.find("\n" + key + "=");
        EXPECT_NE(at, std::string::npos) << key;
        if (at == std::string::npos) continue;
        const auto end = text.find_first_of("\r\n", at + 1);
        text.replace(at + 1, end - at - 1, line);
    }
    const auto file = std::filesystem::path(CatalogueFile()).parent_path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
}

double RotaryColumn(const TVacuumApplication& app, const std::string& code,
                    std::string_view column) {
    const int row = app.RotaryCylinders.FindRow("OrderCode", code);
    return row < 0 ? std::nan("") : app.RotaryCylinders.AsFloat(row, column);
}

struct TSession {
    TVacuumApplication App{CatalogueFile()};
    TPageWorkflow& Flow = App.Workflow;
    TSession() { Flow.ButtonAcceptClick(); }
    bool Load(const std::string& file) {
        const auto r = Flow.OpenRecentFile(file);
        return r && r->Ok();
    }
    bool WalkTo(int page) {
        while (Flow.CurrentPage() < page)
            if (!Flow.Next()) return false;
        return Flow.CurrentPage() == page;
    }
};

} // namespace

// The glass plate: 0.5 m x 0.4 m x 4 mm at 2500 kg/m³ is 2 kg, swung at 0.3 m. Its stored
// actuator RA-32-90 swivels up to 95° and takes 0.413 kg·m².
TEST(RotaryActuatorFilter, ALoadedProjectOffersOnlyActuatorsForItsAngleAndInertia) {
    TSession s;
    ASSERT_TRUE(s.App.Active());
    // 180°: the 90° actuators are out; J = 2·0.3² + 2·(0.5² + 0.4²)/12 ≈ 0.248 kg·m² plus
    // the cups excludes RA-25-180 (0.197), so the first row left is RA-32-180.
    ASSERT_TRUE(
        s.Load(Variant("glass_plate_rotary.vac", "swivel180.vac",
                       {{"Moving.Circular.Angle", "Moving.Circular.Angle=3.141592653589793"}})));
    EXPECT_EQ(s.App.Document.Drive.PneumaticCircular.OrderCode, "RA-32-180");
    // The model remembers what the project held, for the note of the batch design.
    EXPECT_EQ(s.App.Drive.ReplacedActuator(), "RA-32-90");

    // A 40 mm plate weighs 20 kg: J ≥ 20·0.3² + 20·0.41/12 ≈ 2.48 kg·m², which only the
    // 63 mm actuators (3.15 kg·m²) take.
    ASSERT_TRUE(s.Load(Variant("glass_plate_rotary.vac", "heavy.vac",
                               {{"Workpiece.Length.z", "Workpiece.Length.z=0.04"}})));
    const std::string& code = s.App.Document.Drive.PneumaticCircular.OrderCode;
    EXPECT_EQ(code, "RA-63-90");
    EXPECT_EQ(s.App.Drive.ReplacedActuator(), "RA-32-90");
    EXPECT_GE(RotaryColumn(s.App, code, "MomentOfInertiaMax"), 20 * 0.09 + 20 * 0.41 / 12);
    // Walking to the drive page keeps it, and its torque (74.2 N·m at 6 bar) is what the
    // sizing uses.
    ASSERT_TRUE(s.WalkTo(cmpDrive));
    EXPECT_EQ(code, "RA-63-90");
    EXPECT_NEAR(s.App.Drive.Rotary().Torque, 74.2, 1e-9);
    // Each project read starts afresh: the example as it is keeps its actuator.
    ASSERT_TRUE(s.Load(kExamples + "glass_plate_rotary.vac"));
    EXPECT_EQ(code, "RA-32-90");
    EXPECT_EQ(s.App.Drive.ReplacedActuator(), "");
}

TEST(RotaryActuatorFilter, AWorkpieceChangeOrAPageEntryRefilters) {
    TSession s;
    ASSERT_TRUE(s.Load(kExamples + "glass_plate_rotary.vac"));
    ASSERT_TRUE(s.WalkTo(cmpDrive));
    EXPECT_EQ(s.App.Document.Drive.PneumaticCircular.OrderCode, "RA-32-90");
    // A ten times thicker plate raises J tenfold (≈ 2.5 kg·m²): RA-32-90 cannot take it.
    ASSERT_TRUE(s.App.Workpiece.SetLengthZ(0.04));
    EXPECT_EQ(s.App.Document.Drive.PneumaticCircular.OrderCode, "RA-63-90");
    ASSERT_TRUE(s.App.Workpiece.SetLengthZ(0.004));
    // A row still offered is kept: RA-63-90 takes the light plate too.
    EXPECT_EQ(s.App.Document.Drive.PneumaticCircular.OrderCode, "RA-63-90");
    // An angle changed without its handler (as a loaded value is) is caught on entering the
    // drive page.
    s.App.Document.Moving.CircularAngle = std::acos(-1.0);
    s.App.Hooks.Enter(cmpDrive);
    const std::string& code = s.App.Document.Drive.PneumaticCircular.OrderCode;
    EXPECT_LE(RotaryColumn(s.App, code, "AngleMin"), 180.0);
    EXPECT_GE(RotaryColumn(s.App, code, "AngleMax"), 180.0);
}

// Two projects in one session: the second one's per-cup tube length is its own total over
// its own cups.
TEST(TubeLengthOnLoad, ASecondProjectDoesNotKeepTheFirstOnesPerCupLength) {
    TSession s;
    ASSERT_TRUE(s.Load(kExamples + "steel_sheet_linear.vac"));
    ASSERT_TRUE(s.WalkTo(cmpTube));
    // One cup, 0.25 m.
    EXPECT_NEAR(s.App.Tube.Lengths().Single, 0.25, 1e-12);
    // Four cups and 2 m in all: 0.5 m each.
    ASSERT_TRUE(s.Load(
        Variant("glass_plate_rotary.vac", "tube2m.vac", {{"Tube.Length", "Tube.Length=2"}})));
    EXPECT_NEAR(s.App.Tube.Lengths().Single, 0.5, 1e-12);
    ASSERT_TRUE(s.WalkTo(cmpTube));
    EXPECT_NEAR(s.App.Tube.Lengths().Single, 0.5, 1e-12);
    EXPECT_NEAR(s.App.Tube.Lengths().Total, 2.0, 1e-12);
    // And back to the one-cup sheet: 0.25 m, not 4 x 0.5 m.
    ASSERT_TRUE(s.Load(kExamples + "steel_sheet_linear.vac"));
    ASSERT_TRUE(s.WalkTo(cmpTube));
    EXPECT_NEAR(s.App.Tube.Lengths().Total, 0.25, 1e-12);
}

// One cup in the middle of the steel sheet, lifted by a pneumatic cylinder: at slider 250
// (u = 7·0.25 = 1.75 of the seven time units) the schematic acceleration is
// (F/m)·(u/2 − 1)², so the normal load is the resting one times (g + a)/g.
TEST(LoadPageEntry, RecomputesTheCupLoadsAtTheSliderInstant) {
    TSession s;
    ASSERT_TRUE(s.Load(kExamples + "steel_sheet_linear.vac"));
    ASSERT_TRUE(s.WalkTo(cmpSuctionCupLoad));
    TSuctionCupModel& cups = s.App.Cups;
    cups.RxSliderVCRChange(500); // constant speed: at rest as far as the loads go
    const double resting = cups.Cups().Sauger(0)->NormalRatio;
    ASSERT_GT(resting, 0.0);
    cups.RxSliderVCRChange(250);
    ASSERT_TRUE(s.Flow.Previous());
    // Half the pressure halves the piston force; nothing moves the slider.
    s.App.Drive.SpinEditBetrDruckLinChange(300000.0);
    const double a =
        s.App.Drive.Linear().PistonForce / s.App.Motion.MovingMass() * std::pow(1.75 / 2 - 1, 2);
    ASSERT_TRUE(s.Flow.Next());
    ASSERT_EQ(s.Flow.CurrentPage(), cmpSuctionCupLoad);
    EXPECT_NEAR(cups.Cups().Sauger(0)->NormalRatio, resting * (g + a) / g, 1e-9 * resting);
}
