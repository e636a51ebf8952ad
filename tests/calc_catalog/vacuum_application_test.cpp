#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numbers>
#include <vector>

#include "core/lang/language_db.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

namespace {

const std::string kExample = std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac";

std::string ColumnText(const TCustomTable& table, int row, std::string_view column) {
    TTerm t;
    table.GetField(row, table.ColByName(column), t);
    return t.Text;
}

// Every row of the query reads `value` in `column`.
::testing::AssertionResult AllRowsRead(const TCustomTable& query, std::string_view column, std::string_view value) {
    if (query.Rows() == 0) return ::testing::AssertionFailure() << "no rows";
    for (int r = 0; r < query.Rows(); ++r)
        if (ColumnText(query, r, column) != value)
            return ::testing::AssertionFailure() << "row " << r << " reads " << ColumnText(query, r, column);
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(VacuumApplication, BindsEveryTableOfTheBundledCatalogue) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active()) << app.LastError();
    for (const TStrTableDB32Bit* t :
         {&app.SuctionCups, &app.Tubes, &app.Connectors, &app.Venturis, &app.EvacuationTimes,
          &app.BufferSize, &app.VenturiSwitch, &app.Density, &app.CylinderForce,
          &app.ShockAbsorbers, &app.RotaryShockAbsorbers, &app.RotaryCylinders, &app.Order})
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

// The name tables of the project file and the product data must agree: each stored
// choice, applied alone, keeps some rows and only rows with that value.
TEST(ProductFilters, EveryStoredChoiceFindsItsRowsInTheBundledCatalogue) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    auto check = [](std::span<const TProductFilter> filters, TStringQuery& query, auto apply) {
        for (size_t i = 0; i < filters.size(); ++i) {
            const TProductFilter& f = filters[i];
            const int count = f.Kind == cpfChoice ? static_cast<int>(f.Names.size()) : 2;
            for (int ordinal = 1; ordinal < count; ++ordinal) {
                apply(i, ordinal);
                if (f.Kind == cpfAnyButNo) {
                    ASSERT_GT(query.Rows(), 0) << f.Column;
                    for (int r = 0; r < query.Rows(); ++r) EXPECT_NE(ColumnText(query, r, f.Column), "~No") << f.Column << " row " << r;
                } else {
                    EXPECT_TRUE(AllRowsRead(query, f.Column, FilterValueText(f, ordinal)))
                        << f.Column << " = " << FilterValueText(f, ordinal);
                }
            }
            apply(i, 0);
            EXPECT_EQ(query.Rows(), query.Table()->Rows()) << f.Column;
        }
    };
    // Sets one stored value through the same path a user's choice takes.
    check(SuctionCupFilters(), app.SuctionCupQuery, [&](size_t i, int ordinal) {
        TMyProject::TSuctionCupSelection s;
        const TProductFilter& f = SuctionCupFilters()[i];
        ASSERT_TRUE(StoreSuctionCupFilter(s, f.Column, FilterValueText(f, ordinal)));
        ASSERT_EQ(SuctionCupFilterValue(s, i), ordinal);
        ApplySuctionCupFilters(s, app.SuctionCupQuery);
    });
    check(TubeFilters(), app.TubeQuery, [&](size_t i, int ordinal) {
        TMyProject::TTube t;
        const TProductFilter& f = TubeFilters()[i];
        ASSERT_TRUE(StoreTubeFilter(t, f.Column, FilterValueText(f, ordinal)));
        ASSERT_EQ(TubeFilterValue(t, i), ordinal);
        ApplyTubeFilters(t, app.TubeQuery);
    });
    check(VenturiFilters(), app.VenturiQuery, [&](size_t i, int ordinal) {
        TMyProject::TVenturi v;
        const TProductFilter& f = VenturiFilters()[i];
        ASSERT_TRUE(StoreVenturiFilter(v, f.Column, FilterValueText(f, ordinal)));
        ASSERT_EQ(VenturiFilterValue(v, i), ordinal);
        ApplyVenturiFilters(v, app.VenturiQuery);
    });
    TMyProject::TTube t;
    EXPECT_FALSE(StoreTubeFilter(t, "Diameter", "0.004"));
    EXPECT_TRUE(StoreTubeFilter(t, "~Color", "~purple"));
    EXPECT_EQ(t.SelectionColor, 0) << "an unlisted value is no preference";
}

// Loading a project shows its filter selections again and chooses the stored products
// among the rows they offer; a stored product the filters hide gives way to the first row.
TEST(ProductFilters, LoadingAProjectRestoresFiltersAndChosenProducts) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    const auto dir = std::filesystem::path(CatalogueFile()).parent_path();
    const std::string file = (dir / "filters.vac").string();
    TPageWorkflow& flow = app.Workflow;
    flow.ButtonAcceptClick();
    {
        ASSERT_TRUE(flow.OpenRecentFile(kExample)->Ok());
        app.Document.Tube.SelectionColor = 3; // blue
        app.Document.Tube.OrderCode = "TU-PU-06x4-BL";
        app.Document.Venturi.SelectionGroup = 2; // V2
        app.Document.Venturi.OrderCode = "VG-V2-050-M5G18-VMFQ";
        app.Document.SuctionCupSelection.Material = 3; // NBR
        app.Document.SuctionCupsOrderCode = "SC-S1-FL001-SI"; // not NBR
        ASSERT_TRUE(app.Document.Project().SaveToFile(file).Ok());
        app.NewProject();
        EXPECT_EQ(app.TubeQuery.Rows(), app.Tubes.Rows()) << "a new project has no filters";
    }
    ASSERT_TRUE(flow.OpenRecentFile(file)->Ok());
    EXPECT_TRUE(AllRowsRead(app.TubeQuery, "~Color", "~blue"));
    EXPECT_TRUE(AllRowsRead(app.VenturiQuery, "Group", "V2"));
    EXPECT_TRUE(AllRowsRead(app.SuctionCupQuery, "~MaterialKey", "~NBR"));
    ASSERT_TRUE(flow.Select(cmpPositioning));
    ASSERT_TRUE(flow.Select(cmpSuctionCup));
    EXPECT_EQ(app.Cups.SelectedRow(), 0);
    EXPECT_EQ(app.Cups.LabelSelectedSuctionCup(), ColumnText(app.SuctionCupQuery, 0, "OrderCode"));
    // The tube and generator pages find their stored rows among the filtered ones.
    app.Hooks.Enter(cmpTube);
    EXPECT_EQ(ColumnText(app.TubeQuery, app.Tube.SelectedRow(), "OrderCode"), "TU-PU-06x4-BL");
    app.Hooks.Enter(cmpVenturi);
    EXPECT_EQ(ColumnText(app.VenturiQuery, app.Venturi.SelectedRow(), "OrderCode"), "VG-V2-050-M5G18-VMFQ");
    std::filesystem::remove(file);
}

// The filter lists of the product pages hear when a project has set their filters, once
// per page and after the query shows the stored choice; filtering the cups reports its
// progress to the gauge, ending at 100.
TEST(VacuumApplication, ProjectsTellTheFilterListsAndCupFilteringShowsProgress) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    app.Workflow.ButtonAcceptClick();
    std::vector<int> restored;
    std::vector<int> cupRowsWhenTold;
    TConnection c = app.FiltersRestored.Connect([&](int page) {
        restored.push_back(page);
        if (page == cmpSuctionCup) cupRowsWhenTold.push_back(app.SuctionCupQuery.Rows());
    });
    const auto dir = std::filesystem::path(CatalogueFile()).parent_path();
    const std::string file = (dir / "restored.vac").string();
    ASSERT_TRUE(app.Workflow.OpenRecentFile(kExample)->Ok());
    app.Document.SuctionCupSelection.Group = 2; // S2
    ASSERT_TRUE(app.Document.Project().SaveToFile(file).Ok());
    restored.clear();
    cupRowsWhenTold.clear();
    ASSERT_TRUE(app.Workflow.OpenRecentFile(file)->Ok());
    std::sort(restored.begin(), restored.end());
    EXPECT_EQ(restored, (std::vector<int>{cmpSuctionCup, cmpTube, cmpVenturi}));
    ASSERT_EQ(cupRowsWhenTold.size(), 1u);
    EXPECT_EQ(cupRowsWhenTold[0], app.SuctionCupQuery.Rows());
    EXPECT_LT(app.SuctionCupQuery.Rows(), app.SuctionCups.Rows());
    EXPECT_TRUE(AllRowsRead(app.SuctionCupQuery, "Group", "S2"));
    std::filesystem::remove(file);

    std::vector<int> progress;
    TConnection p = app.LoadProgress.Connect([&](int percent) { progress.push_back(percent); });
    app.SuctionCupQuery.AddCondition("DiameterLong>=20");
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << "the gauge never goes back";
}

TEST(VacuumApplication, ALanguageChangeRefreshesYesNoAndThePartsList) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    EXPECT_NE(app.LanguageCodes().find("de"), std::string::npos);
    EXPECT_FALSE(app.SetLanguage("xx"));
    ASSERT_TRUE(app.SetLanguage("en"));
    const std::string yesEn = app.YesText();
    ASSERT_TRUE(app.SetLanguage("de"));
    EXPECT_NE(app.YesText(), yesEn);
    EXPECT_NE(app.YesText(), "~Yes");

    // Once the disclaimer is accepted, a language change rebuilds the parts list from the
    // chosen products.
    TPageWorkflow& flow = app.Workflow;
    flow.ButtonAcceptClick();
    ASSERT_TRUE(flow.OpenRecentFile(kExample)->Ok());
    for (int page = cmpPositioning; page <= cmpVenturi; ++page) ASSERT_TRUE(flow.Select(page)) << page;
    app.PartsList.Clear();
    ASSERT_TRUE(app.SetLanguage("fr"));
    ASSERT_GE(app.PartsList.Rows(), 3) << "cups, tube and generator";
}

// The page models take their texts from the application's own language database, not from
// whichever database the process happened to create first.
TEST(VacuumApplication, ThePageModelsTranslateWithTheApplicationsLanguage) {
    TLanguageDB earlier;
    earlier.SetGroup(1); // switches apart from the application
    earlier.Loaded();
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    earlier.SetLanguage("fr");
    ASSERT_TRUE(app.SetLanguage("de"));
    ASSERT_EQ(earlier.Language(), "fr");
    // "%d von %d Datensätzen - %d geeignet für das Werkstück", from the German column of the
    // language container.
    const std::string cups = app.Cups.LabelSaugerCount();
    EXPECT_NE(cups.find(" von "), std::string::npos) << cups;
    EXPECT_NE(cups.find("geeignet für das Werkstück"), std::string::npos) << cups;
    app.Tube.RefreshLabel();
    EXPECT_NE(app.Tube.LabelTubeCount().find("Passt zum Sauger"), std::string::npos) << app.Tube.LabelTubeCount();
    // The translator handed to views follows the application's language too.
    EXPECT_EQ(app.Translator()("~FittingToSuctionCup"), "Passt zum Sauger");
}

// The motion page draws a pneumatic motion on the scale of the drive sizing: entering it
// sizes the drive, before the drive page was ever shown. The swivel of the glass plate
// example takes 1 s with RA-32-90, 9.73 N·m at 6 bar, braking on its 8° cushioning.
TEST(VacuumApplication, EnteringTheMotionPageSizesTheDriveItsChartsAreScaledBy) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    app.NewProject();
    app.Document.DisclaimerPending = false;
    const auto loaded = app.Input([&] {
        return app.Workflow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) +
                                           "/examples/glass_plate_rotary.vac");
    });
    ASSERT_TRUE(loaded && loaded->Ok());
    ASSERT_EQ(app.WalkTo(cmpMotion), -1);
    const TDriveChartAxes& a = app.Motion.PneumaticRotaryAxes();
    const double J = app.Document.TotalMomentOfInertia;
    ASSERT_GT(J, 0.0);
    EXPECT_DOUBLE_EQ(a.Time.Max, 1.0);
    EXPECT_NEAR(a.Acceleration.Max, 1.2 * 9.73 / J, 1e-9);
    // ω = 2·(π/2)/1 s; braking over 8°, safety factor 2, lever 0.3 m.
    const double w = std::numbers::pi;
    const double braking = w * w / (2.0 * 8.0 * std::numbers::pi / 180.0) * 2.0 * 0.3;
    EXPECT_NEAR(a.Acceleration.Min, -1.2 * braking, 1e-9);
    EXPECT_NEAR(a.Position.Max, std::numbers::pi / 2.0, 1e-12);
}
