// Tube volume, lengths per cup and in total, and the fit of a tube to a cup connector.

#include "core/calc/tube.h"
#include "core/data/str_table_db.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

TEST(Tube, VolumeOfTheInnerCylinder) {
    // D = 4 mm, L = 1 m: π × 0.002² × 1 = 1.2566e-5 m³ ≈ 0.01257 dm³.
    EXPECT_NEAR(TubeVolume(1.0, 0.004), std::numbers::pi * 4e-6, 1e-18);
    EXPECT_NEAR(TubeVolume(1.0, 0.004) * 1000.0, 0.01257, 1e-5);
    EXPECT_NEAR(TubeVolume(2.0, 0.004), 2 * TubeVolume(1.0, 0.004), 1e-18);
    EXPECT_EQ(TubeVolume(INFINITY, 0.004), 0.0);
}

TEST(Tube, LengthsPerCupAndInTotal) {
    // Four cups of 0.25 m each: 1 m.
    TTubeLengths l = TubeLengths(false, 0.25, 99.0, 4);
    EXPECT_DOUBLE_EQ(l.Single, 0.25);
    EXPECT_DOUBLE_EQ(l.Total, 1.0);
    // Total mode, 2 m over four cups: 0.5 m each.
    l = TubeLengths(true, 99.0, 2.0, 4);
    EXPECT_DOUBLE_EQ(l.Single, 0.5);
    EXPECT_DOUBLE_EQ(l.Total, 2.0);
    // Without cups the single length is the total.
    l = TubeLengths(true, 0.0, 2.0, 0);
    EXPECT_DOUBLE_EQ(l.Single, 2.0);
}

TEST(Tube, FitsWhenEitherSeriesMatchesAConnectionOfTheCupConnector) {
    TStrTableDB32Bit c;
    c.Loaded();
    auto& name = c.AddColumn("Name", csfString);
    auto& conn = c.AddColumn("Connection", csfString);
    for (auto [n, x] : {std::pair{"G1/4-F", "DW-6-x"}, {"G1/4-F", "TX-8-x"}, {"M5-M", "DW-4-x"}}) {
        name.AppendText(n);
        conn.AppendText(x);
    }
    c.SetRows(3);
    const auto g14 = ConnectorConnections(c, "G1/4-F");
    EXPECT_EQ(g14.size(), 2u);
    EXPECT_TRUE(TubeFits(g14, "DW-6-x", "-"));
    EXPECT_TRUE(TubeFits(g14, "DW-3-x", "TX-8-x"));
    EXPECT_FALSE(TubeFits(g14, "DW-4-x", "-")); // belongs to another connector
    EXPECT_FALSE(TubeFits(ConnectorConnections(c, ""), "", ""));
    EXPECT_TRUE(ConnectorConnections(c, "unknown").empty());
}

} // namespace
