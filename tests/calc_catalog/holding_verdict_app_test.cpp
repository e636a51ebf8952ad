// The verdict of the application on the bundled catalogue: what it rests on, and that a
// change of the design is judged anew while a move of the slider is not.

#include <gtest/gtest.h>

#include <string>

#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

namespace {

const std::string kSteel = std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac";

struct HoldingVerdictApp : ::testing::Test {
    TVacuumApplication App{CatalogueFile()};
    void SetUp() override {
        ASSERT_TRUE(App.Active()) << App.LastError();
        App.Input([&] { App.Workflow.ButtonAcceptClick(); });
        const auto loaded = App.Input([&] { return App.Workflow.OpenRecentFile(kSteel); });
        ASSERT_TRUE(loaded && loaded->Ok());
        ASSERT_EQ(App.WalkTo(cmpPartsList), -1);
    }
};

TEST_F(HoldingVerdictApp, TheHoldingForceScalesTheSafetyAndTheRequiredFactorDecides) {
    const THoldingVerdict v = App.HoldingVerdict();
    ASSERT_TRUE(v.Judged);
    ASSERT_FALSE(v.Transverse); // one cup lifted vertically: its normal load limits
    EXPECT_EQ(v.Cup, 0);
    EXPECT_FALSE(v.Holds());
    // The holding force is proportional to the required vacuum: 0.8 instead of 0.7 bar
    // raises the safety by 8/7, the loads being the same.
    App.Input([&] { App.Venturi.SpinEditVakuumSollChange(-80000.0); });
    const THoldingVerdict deeper = App.HoldingVerdict();
    EXPECT_NEAR(deeper.Safety, v.Safety * 8.0 / 7.0, 1e-9 * v.Safety);
    // The required factor alone decides between holds and does not.
    App.Input([&] { App.Air.SpinEditRequiredSafetyChange(deeper.Safety * 0.999); });
    EXPECT_TRUE(App.HoldingVerdict().Holds());
    App.Input([&] { App.Air.SpinEditRequiredSafetyChange(deeper.Safety * 1.001); });
    EXPECT_FALSE(App.HoldingVerdict().Holds());
    // Below 1 no field goes: the value stays.
    App.Input([&] { App.Air.SpinEditRequiredSafetyChange(0.5); });
    EXPECT_NEAR(App.Document.RequiredSafety, deeper.Safety * 1.001, 1e-12);
}

TEST_F(HoldingVerdictApp, MovingTheSliderKeepsTheVerdictAndAChangedDesignIsJudgedAnew) {
    const THoldingVerdict v = App.HoldingVerdict();
    App.Input([&] { App.Cups.RxSliderVCRChange(700); });
    EXPECT_EQ(App.HoldingVerdict().Safety, v.Safety);
    EXPECT_EQ(App.Cups.SliderPosition(), 700) << "judging puts the slider's instant back";
    // A sheet twice as thick takes about twice the load.
    const double mass = App.Document.Workpiece.Mass;
    ASSERT_TRUE(App.Input([&] { return App.Workpiece.SetLengthZ(2.0 * App.Document.Workpiece.LengthZ); }));
    ASSERT_NEAR(App.Document.Workpiece.Mass, 2.0 * mass, 1e-9) << App.Document.Workpiece.Mass;
    // The normal load now exceeds the holding force (safety about 0.56): the lip lets go,
    // and the cup can take no transverse force either, which its ratio's "cannot be
    // computed" value 5 gives as a safety of 0.2.
    const THoldingVerdict heavier = App.HoldingVerdict();
    EXPECT_FALSE(heavier.Holds());
    EXPECT_LT(heavier.Safety, v.Safety / 1.9);
}

} // namespace

// A project just read is judged once its pages have been walked: entering them works out
// the arrangement and the motion the loads rest on, and before that the loads judged would
// be those of a design half worked out. Reading another project asks for the walk again.
TEST(HoldingVerdictOfAProjectRead, WaitsForItsPagesToBeWalked) {
    TVacuumApplication app{CatalogueFile()};
    ASSERT_TRUE(app.Active()) << app.LastError();
    app.Input([&] { app.Workflow.ButtonAcceptClick(); });
    const std::string glass = std::string(VACUUM_SOURCE_DIR) + "/examples/glass_plate_rotary.vac";
    for (const std::string& file : {glass, kSteel}) {
        const auto loaded = app.Input([&] { return app.Workflow.OpenRecentFile(file); });
        ASSERT_TRUE(loaded && loaded->Ok()) << file;
        const THoldingVerdict before = app.HoldingVerdict();
        EXPECT_FALSE(before.Judged) << file;
        EXPECT_FALSE(before.Holds() || before.Fails()) << file;
        ASSERT_EQ(app.WalkTo(cmpMotion), -1);
        EXPECT_FALSE(app.HoldingVerdict().Judged) << "the load page has not been entered";
        ASSERT_EQ(app.WalkTo(cmpSuctionCupLoad), -1);
        const THoldingVerdict walked = app.HoldingVerdict();
        ASSERT_TRUE(walked.Judged) << file;
        if (file == glass) {
            EXPECT_TRUE(walked.Holds());
        }
        // The same verdict as a program that read only this project and walked it all.
        TVacuumApplication fresh{CatalogueFile()};
        fresh.Input([&] { fresh.Workflow.ButtonAcceptClick(); });
        ASSERT_TRUE(fresh.Input([&] { return fresh.Workflow.OpenRecentFile(file); })->Ok());
        ASSERT_EQ(fresh.WalkTo(cmpPartsList), -1);
        EXPECT_EQ(walked.Safety, fresh.HoldingVerdict().Safety) << file;
        EXPECT_EQ(walked.Cup, fresh.HoldingVerdict().Cup) << file;
    }
    // The last one read, the steel sheet: its one cup falls short of the default factor.
    EXPECT_TRUE(app.HoldingVerdict().Fails());
}
