// Loading evacuation-time curves into the fixed buffers, rejecting curves that do not
// fit them, and reading times per pressure group.

#include "core/calc/evacuation.h"
#include "tests/core/calc/venturi_test_support.h"

#include <gtest/gtest.h>

namespace {

std::vector<TEvacRow> Join(std::vector<TEvacRow> a, const std::vector<TEvacRow>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(EvacuationTable, LoadsGroupsLevelsAndTimesInSIUnits) {
    TStrTableDB32Bit t;
    FillEvacuationTable(
        t, Join(CurveRows("A", {3, 5}, {0.2, 0.4, 0.6}, {{100, 300, 700}, {50, 150, 350}}),
                CurveRows("B", {4}, {0.5}, {{900}})));
    TEvacuationTable e(4, 5);
    e.SetSource(&t);
    ASSERT_TRUE(e.LoadEvacuationCurve("A")) << e.LoadError();
    EXPECT_EQ(e.CurveName(), "A");
    EXPECT_EQ(e.GroupCount(), 2);
    EXPECT_EQ(e.LevelCount(), 3);
    EXPECT_DOUBLE_EQ(e.Group(0).Pressure, 3e5);
    EXPECT_DOUBLE_EQ(e.Group(1).Pressure, 5e5);
    EXPECT_DOUBLE_EQ(e.Level(2), 0.6e5);
    EXPECT_EQ(e.Group(1).Points, 3);
    EXPECT_DOUBLE_EQ(e.Group(1).Times[2], 0.35);
    // Unused buffer entries stay at −1.
    EXPECT_DOUBLE_EQ(e.Group(2).Pressure, -1.0);
    EXPECT_DOUBLE_EQ(e.Level(3), -1.0);

    ASSERT_TRUE(e.LoadEvacuationCurve("B"));
    EXPECT_EQ(e.GroupCount(), 1);
    EXPECT_EQ(e.LevelCount(), 1);
    // Switching curves clears what the longer one left behind.
    EXPECT_DOUBLE_EQ(e.Group(1).Pressure, -1.0);
    EXPECT_DOUBLE_EQ(e.Level(1), -1.0);
}

TEST(EvacuationTable, MissingCurveLoadsNothingAndSaysSo) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t, CurveRows("A", {3, 5}, {0.2}, {{100}, {50}}));
    TEvacuationTable e;
    e.SetSource(&t);
    ASSERT_TRUE(e.LoadEvacuationCurve("A"));
    EXPECT_FALSE(e.LoadEvacuationCurve("nope"));
    EXPECT_EQ(e.CurveName(), "");
    EXPECT_EQ(e.GroupCount(), 0);
    EXPECT_NE(e.LoadError().find("nope"), std::string::npos);
    EXPECT_FALSE(e.PressureInRange(4e5));
}

TEST(EvacuationTable, CurveWithMorePressuresThanTheBufferIsRejected) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t, CurveRows("A", {2, 3, 4}, {0.2}, {{3}, {2}, {1}}));
    TEvacuationTable e(2, 5);
    e.SetSource(&t);
    EXPECT_FALSE(e.LoadEvacuationCurve("A"));
    EXPECT_NE(e.LoadError().find("more than 2 pressures"), std::string::npos) << e.LoadError();
    EXPECT_EQ(e.GroupCount(), 0);
    EXPECT_EQ(e.CurveName(), "");
    // With room for three it loads.
    e.SetBufferSize(3, 5);
    EXPECT_TRUE(e.LoadEvacuationCurve("A")) << e.LoadError();
}

TEST(EvacuationTable, CurveWithMoreLevelsThanTheBufferIsRejected) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t, CurveRows("A", {3, 5}, {0.1, 0.2, 0.3}, {{1, 2, 3}, {1, 2, 3}}));
    TEvacuationTable e(4, 2);
    e.SetSource(&t);
    EXPECT_FALSE(e.LoadEvacuationCurve("A"));
    EXPECT_NE(e.LoadError().find("more than 2 vacuum levels"), std::string::npos) << e.LoadError();
}

TEST(EvacuationTable, InconsistentCurvesAreRejected) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t, {{"down", 5, 0.2, 1},
                            {"down", 3, 0.2, 2}, // falling pressure
                            {"equal", 3, 0.2, 1},
                            {"equal", 4, 0.2, 1},
                            {"equal", 3, 0.2, 1},
                            {"levels", 3, 0.2, 1},
                            {"levels", 4, 0.3, 1}, // other level
                            {"order", 3, 0.4, 1},
                            {"order", 3, 0.2, 2}}); // level falls
    TEvacuationTable e;
    e.SetSource(&t);
    for (const char* name : {"down", "equal", "levels", "order"}) {
        EXPECT_FALSE(e.LoadEvacuationCurve(name)) << name;
        EXPECT_FALSE(e.LoadError().empty()) << name;
    }
}

TEST(EvacuationTable, BufferSizeComesFromItsTable) {
    TStrTableDB32Bit sizes;
    sizes.Loaded();
    sizes.AddColumn("pSize", csfDWord).AppendInt(3);
    sizes.AddColumn("vSize", csfDWord).AppendInt(7);
    sizes.SetRows(1);
    TEvacuationTable e;
    ASSERT_TRUE(e.ReadBufferSize(sizes));
    EXPECT_EQ(e.PSize(), 3);
    EXPECT_EQ(e.VSize(), 7);
    TStrTableDB32Bit empty;
    empty.Loaded();
    EXPECT_FALSE(e.ReadBufferSize(empty));
    EXPECT_EQ(e.PSize(), 3);
}

TEST(EvacuationTable, GroupTimeIsLinearExtendedLeftAndHeldRight) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t,
                        CurveRows("A", {3, 5}, {0.2, 0.4, 0.6}, {{100, 300, 700}, {50, 150, 350}}));
    TEvacuationTable e;
    e.SetSource(&t);
    ASSERT_TRUE(e.LoadEvacuationCurve("A"));
    // Between 0.2 and 0.4 bar: 0.1 + (0.3 − 0.1) × (0.3 − 0.2) / 0.2 = 0.2 s.
    EXPECT_NEAR(e.GroupTime(0, 0.3e5), 0.2, 1e-12);
    // Left of the first level the first segment goes on: 0.1 − 0.2 × 0.1 / 0.2 = 0.0 s.
    EXPECT_NEAR(e.GroupTime(0, 0.1e5), 0.0, 1e-12);
    // Right of the last level the last time holds.
    EXPECT_DOUBLE_EQ(e.GroupTime(1, 0.9e5), 0.35);
    EXPECT_DOUBLE_EQ(e.GroupTime(1, 0.4e5), 0.15);
}

TEST(EvacuationTable, UpperGroupBracketsThePressure) {
    TStrTableDB32Bit t;
    FillEvacuationTable(t, Join(CurveRows("A", {3, 5, 7}, {0.2}, {{3}, {2}, {1}}),
                                CurveRows("S", {4}, {0.2}, {{3}})));
    TEvacuationTable e;
    e.SetSource(&t);
    ASSERT_TRUE(e.LoadEvacuationCurve("A"));
    EXPECT_EQ(e.UpperGroup(3e5), 1); // the lowest pressure pairs groups 0 and 1
    EXPECT_EQ(e.UpperGroup(4e5), 1);
    EXPECT_EQ(e.UpperGroup(5e5), 1);
    EXPECT_EQ(e.UpperGroup(6e5), 2);
    EXPECT_EQ(e.UpperGroup(7e5), 2);
    EXPECT_EQ(e.UpperGroup(2.9e5), -1);
    EXPECT_EQ(e.UpperGroup(7.1e5), -1);
    ASSERT_TRUE(e.LoadEvacuationCurve("S"));
    EXPECT_EQ(e.UpperGroup(4e5), 0);
    EXPECT_EQ(e.UpperGroup(4.5e5), -1);
}

} // namespace
