// The suction cup arrangement on the bundled catalogue's cup table: cup data taken from
// real rows, and the suitability column per strategy for a few rows worked out by hand.

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/suction_cup_model.h"
#include "tools/vacdb/catalog_source.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kProductDir = std::string(VACUUM_SOURCE_DIR) + "/catalog/product";
constexpr double tol = 1e-12;

const TStrTableDB32Bit& CupTable() {
    static TStrTableDB32Bit* table = [] {
        auto* t = new TStrTableDB32Bit;
        t->Loaded();
        ReadTableSource(kProductDir + "/suction_cups.tsv", kProductDir, *t);
        return t;
    }();
    return *table;
}

int RowOf(const TCustomTable& t, const std::string& orderCode) {
    const int row = t.FindRow("OrderCode", orderCode);
    EXPECT_GE(row, 0) << orderCode << " is not in the catalogue";
    return row;
}

TEST(CatalogCupData, RoundAndOvalCupsInBaseUnits) {
    const TStrTableDB32Bit& t = CupTable();
    // DiameterLong 20, Length 35.5, Volume 519 mm³, Fs07 17.6 N, 8.63 g,
    // DmaxSuctionCup 20, HolderDiameter 17, FormKLW 1, ConnectorName G1/8-F
    const TSaugerType round = TSaugerType::FromRow(t, RowOf(t, "SC-S1-FL020-SI-H3G18"));
    EXPECT_EQ(round.OrderCode, "SC-S1-FL020-SI-H3G18");
    EXPECT_NEAR(round.RadiusLong, 0.01, tol);
    EXPECT_NEAR(round.RadiusShort, 0.01, tol);
    EXPECT_FALSE(round.Oval());
    EXPECT_NEAR(round.Height, 0.02, tol); // min(20, 35.5) mm
    EXPECT_NEAR(round.Volume, 519e-9, 1e-20);
    EXPECT_EQ(round.Fs07, 17.6);
    EXPECT_EQ(round.Mass, 0.00863);
    EXPECT_NEAR(round.HolderDiameter, 0.017, tol);
    EXPECT_NEAR(round.ClearanceDiameter, 0.02, tol); // max(20, 17) mm
    EXPECT_EQ(round.ShapeCode, 1);
    EXPECT_EQ(round.ConnectorName, "G1/8-F");
    // 45 × 15 mm, Length 11.5, DmaxSuctionCup 45, HolderDiameter 9.5, FormKLW 5
    const TSaugerType oval = TSaugerType::FromRow(t, RowOf(t, "SC-S2-OV15x45-PU"));
    EXPECT_TRUE(oval.Oval());
    EXPECT_NEAR(oval.RadiusLong, 0.0225, tol);
    EXPECT_NEAR(oval.RadiusShort, 0.0075, tol);
    EXPECT_NEAR(oval.Height, 0.0115, tol); // min(45, 11.5) mm
    EXPECT_NEAR(oval.ClearanceDiameter, 0.045, tol);
    EXPECT_EQ(oval.ShapeCode, 5);
}

// A plate of 0.4 × 0.3 × 0.01 m (grip size 0.3 m) and the catalogue's cup table; edge
// distance and spacing 1 mm: h = 0.398, r = 0.298, t = 0.298.
class CatalogSuitability : public ::testing::Test {
protected:
    TMyProject Doc;
    TSuctionCupModel Model{Doc};
    TStrTableDB32Bit Table;
    TStringQuery Query;

    void SetUp() override {
        Doc.Project().New();
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.4;
        Doc.Workpiece.LengthY = 0.3;
        Doc.Workpiece.LengthZ = 0.01;
        Doc.Workpiece.Mass = 5; // 49.03 N
        Table.Loaded();
        ReadTableSource(kProductDir + "/suction_cups.tsv", kProductDir, Table);
        Query.Loaded();
        Query.SetTable(&Table);
        Model.SetCupTables(&Table, &Query);
    }
    void Strategy(int strategy, int count1 = 1, int count2 = 1) {
        Model.StrategieChange({strategy, count1, count2, 0.0, 0.001, 0.001});
    }
    std::string Ok(const std::string& orderCode) {
        return Query.AsText(RowOf(Query, orderCode), "~ok");
    }
};

// DmaxSuctionCup / HolderDiameter / Fs07 of the rows used:
// FL006: 6 / 12 mm / 1.58 N; FL020: 20 / 17 / 17.6; FL050: 50 / 17 / 110; FL075: 75 / 39.5 / 247
TEST_F(CatalogSuitability, OneInTheCentre) {
    // admitted t = 0.298 (grip 0.3); a single cup must hold 49.03 N
    Strategy(cssOneInCentre);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.298, tol);
    EXPECT_EQ(Ok("SC-S1-FL020-SI-H3G18"), "~No"); // 17.6 N
    EXPECT_EQ(Ok("SC-S2-FL050-CR-H2G14"), "~Yes");
    EXPECT_EQ(Ok("SC-S2-FL075-FK"), "~Yes");
}

TEST_F(CatalogSuitability, Corners) {
    // admitted (0.298 − 0.001)/2 = 0.1485; 4 × 17.6 = 70.4 N hold 49.03 N;
    // holder: t − D = 0.278 > 0.017
    Strategy(cssCorners);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.1485, tol);
    EXPECT_EQ(Ok("SC-S1-FL020-SI-H3G18"), "~Yes");
    EXPECT_EQ(Ok("SC-S2-FL075-FK"), "~Yes");
    EXPECT_EQ(Ok("SC-S1-FL006-NB-H3M5"), "~No"); // 4 × 1.58 N
}

TEST_F(CatalogSuitability, CircumferenceOfTwelve) {
    // a = sin 15°: admitted min((0.298·a − 0.001)/(1 + a), 0.1485) = 0.060476
    Strategy(cssCircumference, 12);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.060476, 1e-6);
    EXPECT_EQ(Ok("SC-S1-FL020-SI-H3G18"), "~Yes"); // holder: 0.278·a = 0.072 > 0.017
    EXPECT_EQ(Ok("SC-S2-FL050-CR-H2G14"), "~Yes"); // 0.248·a = 0.064 > 0.017
    EXPECT_EQ(Ok("SC-S2-FL075-FK"), "~No");        // 75 mm > 60.5 mm
}

TEST_F(CatalogSuitability, AreaOfSixByFive) {
    // admitted min((0.298 − 4·0.001)/5, (0.398 − 5·0.001)/6) = min(0.0588, 0.0655)
    Strategy(cssArea, 6, 5);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.0588, tol);
    EXPECT_EQ(Ok("SC-S2-FL050-CR-H2G14"), "~Yes"); // (0.398 − 0.05)/5, (0.298 − 0.05)/4 > 0.017
    EXPECT_EQ(Ok("SC-S2-FL075-FK"), "~No");
    EXPECT_EQ(Ok("SC-S1-FL006-NB-H3M5"), "~No"); // 30 × 1.58 = 47.4 N < 49.03 N
}

TEST_F(CatalogSuitability, ThirtyInALineLeaveNoRoomForTheHolderAcrossTheNarrowSide) {
    Doc.Workpiece.Mass = 1; // 9.81 N; 30 × 1.58 N hold it
    // along X: admitted (0.398 − 0.029)/30 = 0.0123; holder: (0.398 − 0.006)/29 = 0.0135 > 0.012
    Strategy(cssLinearX, 30);
    EXPECT_EQ(Ok("SC-S1-FL006-NB-H3M5"), "~Yes");
    // along Y: admitted (0.298 − 0.029)/30 = 0.00897; holder: (0.298 − 0.006)/29 = 0.0101 ≤ 0.012
    Strategy(cssLinearY, 1, 30);
    EXPECT_EQ(Ok("SC-S1-FL006-NB-H3M5"), "~No");
}

TEST_F(CatalogSuitability, ChoosingARowAndTheRecordLabel) {
    Strategy(cssCorners);
    const int row = RowOf(Query, "SC-S1-FL020-SI-H3G18");
    Model.SaugerSelect(row);
    EXPECT_EQ(Doc.SuctionCupsOrderCode, "SC-S1-FL020-SI-H3G18");
    EXPECT_EQ(Model.SelectedHolderSize(), "M10x1");
    EXPECT_EQ(Model.SelectedThread(), "G1/8");
    EXPECT_TRUE(Model.SelectedSuitable());
    // B = 0.15 − 0.01 − 0.001: all four cups on the plate, none colliding
    EXPECT_FALSE(Model.CollisionShown());
    EXPECT_NEAR(Doc.SuctionCups.Sauger(0)->Pos.Y, -0.139, tol);
    // The label's count agrees with the column read cell by cell.
    Model.Translate = [](std::string_view key) -> std::string {
        return key == "~LabelRecords" ? "%d/%d" : "";
    };
    Query.AddCondition("DiameterLong=20");
    int suitable = 0;
    for (int r = 0; r < Query.Rows(); ++r) suitable += Query.AsText(r, "~ok") == "~Yes";
    ASSERT_GT(Query.Rows(), 1);
    EXPECT_EQ(Model.LabelSaugerCount(), std::to_string(Query.Rows()) + "/" +
                                            std::to_string(Table.Rows()) + " - " +
                                            std::to_string(suitable) + " ");
}

} // namespace
