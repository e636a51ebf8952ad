// The arrangement strategies: counts they fix, the largest cup each admits, where each puts
// its cups, and which cups suit them. Reference values are worked out by hand in the
// comments.

#include "core/calc/cup_layout.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <numbers>
#include <vector>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

TEST(CupStrategyCounts, EachStrategyFixesItsCounts) {
    struct TCase {
        int Strategy, Count1, Count2;
    } const expected[] = {{cssManual, 7, 1},       {cssOneInCentre, 1, 1}, {cssAtBothEnds, 2, 1},
                          {cssCorners, 2, 2},      {cssArea, 7, 5},        {cssCircumference, 7, 1},
                          {cssCircularArea, 7, 1}, {cssLinearX, 7, 1},     {cssLinearY, 1, 5}};
    for (const TCase& c : expected) {
        int c1 = 7, c2 = 5;
        NormalizeStrategyCounts(c.Strategy, c1, c2);
        EXPECT_EQ(c1, c.Count1) << c.Strategy;
        EXPECT_EQ(c2, c.Count2) << c.Strategy;
    }
}

// Room of a 0.2 × 0.1 m face with e = 0.001: h = 0.198, r = 0.098, t = 0.098; s = 0.001.
TEST(CupAdmittedDiameter, EveryStrategy) {
    const TCupRoom room{0.198, 0.098};
    const double s = 0.001;
    EXPECT_EQ(AdmittedCupDiameter(cssManual, room, s, 3, 3, 1), 1.0);
    EXPECT_NEAR(AdmittedCupDiameter(cssOneInCentre, room, s, 1, 1, 1), 0.098, tol);
    // min(r, (h − s)/2) = min(0.098, 0.0985)
    EXPECT_NEAR(AdmittedCupDiameter(cssAtBothEnds, room, s, 2, 2, 1), 0.098, tol);
    // a shorter face: h = 0.148, (h − s)/2 = 0.0735
    EXPECT_NEAR(AdmittedCupDiameter(cssAtBothEnds, TCupRoom{0.148, 0.098}, s, 2, 2, 1), 0.0735,
                tol);
    // (t − s)/2 = 0.097/2
    EXPECT_NEAR(AdmittedCupDiameter(cssCorners, room, s, 4, 2, 2), 0.0485, tol);
    // 3 × 2: min((0.098 − 0.001)/2, (0.198 − 0.002)/3) = min(0.0485, 0.06533)
    EXPECT_NEAR(AdmittedCupDiameter(cssArea, room, s, 6, 3, 2), 0.0485, tol);
    // 6 × 1: min((0.098 − 0)/1, (0.198 − 0.005)/6 = 0.032167)
    EXPECT_NEAR(AdmittedCupDiameter(cssArea, room, s, 6, 6, 1), 0.193 / 6, tol);
    // circumference: n = 1: t; n = 2: (t − s)/2; n = 6: a = sin 30° = 0.5,
    // min((0.049 − 0.001)/1.5, 0.0485) = 0.032
    EXPECT_NEAR(AdmittedCupDiameter(cssCircumference, room, s, 1, 1, 1), 0.098, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircumference, room, s, 2, 2, 1), 0.0485, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircumference, room, s, 6, 6, 1), 0.032, tol);
    // n = 12: a = sin 15° = 0.258819, (0.098·a − 0.001)/(a + 1) = 0.0193549
    EXPECT_NEAR(AdmittedCupDiameter(cssCircumference, room, s, 12, 12, 1), 0.0193549, 1e-7);
    // circular area: n = 1: t; n = 2 and 3: (t − 2s)/3 = 0.032; n = 4: b = sin 60°,
    // min((0.098·0.866025 − 0.001)/1.866025, 0.032) = min(0.044946, 0.032);
    // n = 13: b = sin 15°, (0.098·b − 0.001)/(b + 1) = 0.0193549
    EXPECT_NEAR(AdmittedCupDiameter(cssCircularArea, room, s, 1, 1, 1), 0.098, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircularArea, room, s, 2, 2, 1), 0.032, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircularArea, room, s, 3, 3, 1), 0.032, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircularArea, room, s, 4, 4, 1), 0.032, tol);
    EXPECT_NEAR(AdmittedCupDiameter(cssCircularArea, room, s, 13, 13, 1), 0.0193549, 1e-7);
    // linear X, n = 4: min(r, (h − 3s)/4) = min(0.098, 0.04875)
    EXPECT_NEAR(AdmittedCupDiameter(cssLinearX, room, s, 4, 4, 1), 0.04875, tol);
    // linear Y, n = 3: min((r − 2s)/3, h) = 0.032
    EXPECT_NEAR(AdmittedCupDiameter(cssLinearY, room, s, 3, 1, 3), 0.032, tol);
    EXPECT_EQ(AdmittedCupDiameter(9, room, s, 1, 1, 1), 1.0);
}

// A bar face of 0.2 × 0.1 m (top face at z0 = 0.01) with an oval cup rl = 0.015,
// rs = 0.005 and e = 0.001: rl + e = 0.016, rs + e = 0.006.
class CupLayoutTest : public ::testing::Test {
protected:
    TCupLayoutInput In;
    std::vector<TCupPlacement> Out;
    void SetUp() override {
        In.Extents = TVektor(0.2, 0.1, 0.02);
        In.RadiusLong = 0.015;
        In.RadiusShort = 0.005;
        In.Edge = 0.001;
    }
    bool Layout(int strategy, int count, int nx = 1, int ny = 1, double angle = 0) {
        In.Strategy = strategy;
        In.Count = count;
        In.CountX = nx;
        In.CountY = ny;
        In.Angle = angle;
        return LayoutCups(In, Out);
    }
};

TEST_F(CupLayoutTest, CentreEndsAndCorners) {
    ASSERT_TRUE(Layout(cssOneInCentre, 1));
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, 0, 0.01)));
    EXPECT_TRUE(Near(Out[0].Radial1, VektorPlusX));
    // A = 0.1 − 0.016 = 0.084
    ASSERT_TRUE(Layout(cssAtBothEnds, 2, 2));
    ASSERT_EQ(Out.size(), 2u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(-0.084, 0, 0.01)));
    EXPECT_TRUE(Near(Out[1].Pos, TVektor(0.084, 0, 0.01)));
    // B = 0.05 − 0.006 = 0.044, with the short radius
    ASSERT_TRUE(Layout(cssCorners, 4, 2, 2));
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(-0.084, -0.044, 0.01)));
    EXPECT_TRUE(Near(Out[1].Pos, TVektor(0.084, -0.044, 0.01)));
    EXPECT_TRUE(Near(Out[2].Pos, TVektor(0.084, 0.044, 0.01)));
    EXPECT_TRUE(Near(Out[3].Pos, TVektor(-0.084, 0.044, 0.01)));
}

TEST_F(CupLayoutTest, AreaUsesTheLongRadiusBothWaysAndNumbersColumnsFirst) {
    // px = (0.2 − 0.032)/2 = 0.084, py = (0.1 − 0.032)/1 = 0.068; cup i·ny + j
    ASSERT_TRUE(Layout(cssArea, 6, 3, 2));
    ASSERT_EQ(Out.size(), 6u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(-0.084, -0.034, 0.01)));
    EXPECT_TRUE(Near(Out[1].Pos, TVektor(-0.084, 0.034, 0.01)));
    EXPECT_TRUE(Near(Out[2].Pos, TVektor(0, -0.034, 0.01)));
    EXPECT_TRUE(Near(Out[5].Pos, TVektor(0.084, 0.034, 0.01)));
    // one cup across: pitch 0, on the axis
    ASSERT_TRUE(Layout(cssArea, 2, 1, 2));
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, -0.034, 0.01)));
    EXPECT_TRUE(Layout(cssArea, 900, 30, 30));
    EXPECT_EQ(Out.size(), 900u);
    EXPECT_FALSE(Layout(cssArea, 930, 31, 30));
    EXPECT_TRUE(Out.empty());
}

TEST_F(CupLayoutTest, CircumferenceTurnsRadialOneAlongTheCircle) {
    // R = min(0.2, 0.1)/2 − 0.016 = 0.034
    ASSERT_TRUE(Layout(cssCircumference, 4, 4, 1));
    ASSERT_EQ(Out.size(), 4u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0.034, 0, 0.01)));
    EXPECT_TRUE(Near(Out[1].Pos, TVektor(0, 0.034, 0.01)));
    EXPECT_TRUE(Near(Out[2].Pos, TVektor(-0.034, 0, 0.01)));
    EXPECT_TRUE(Near(Out[0].Radial1, VektorPlusY));
    EXPECT_TRUE(Near(Out[1].Radial1, VektorMinusX));
    // start angle 90°
    ASSERT_TRUE(Layout(cssCircumference, 4, 4, 1, pi / 2));
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, 0.034, 0.01)));
    ASSERT_TRUE(Layout(cssCircumference, 1));
    ASSERT_EQ(Out.size(), 1u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, 0, 0.01)));
}

TEST_F(CupLayoutTest, CircularAreaPutsOneCupInTheCentreAndStartsTheRingBehind) {
    // cup k at 2π(k − 2)/(n − 1) + start: −90°, 0°, 90°, 180° for n = 5
    ASSERT_TRUE(Layout(cssCircularArea, 5, 5, 1, 0.3));
    ASSERT_EQ(Out.size(), 5u);
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, 0, 0.01)));
    EXPECT_TRUE(Near(Out[0].Radial1, TVektor(std::cos(0.3), std::sin(0.3), 0)));
    for (int k = 1; k < 5; ++k) {
        const double phi = (k - 2) * pi / 2 + 0.3;
        EXPECT_TRUE(Near(Out[k].Pos, TVektor(0.034 * std::cos(phi), 0.034 * std::sin(phi), 0.01)))
            << k;
        EXPECT_TRUE(Near(Out[k].Radial1, TVektor(-std::sin(phi), std::cos(phi), 0))) << k;
    }
}

TEST_F(CupLayoutTest, LinesAlongXAndY) {
    // pitch (0.2 − 0.032)/2 = 0.084
    ASSERT_TRUE(Layout(cssLinearX, 3, 3));
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(-0.084, 0, 0.01)));
    EXPECT_TRUE(Near(Out[2].Pos, TVektor(0.084, 0, 0.01)));
    // pitch (0.1 − 0.032)/2 = 0.034; radial direction 1 along +Y
    ASSERT_TRUE(Layout(cssLinearY, 3, 1, 3));
    EXPECT_TRUE(Near(Out[0].Pos, TVektor(0, -0.034, 0.01)));
    EXPECT_TRUE(Near(Out[1].Pos, TVektor(0, 0, 0.01)));
    EXPECT_TRUE(Near(Out[0].Radial1, VektorPlusY));
    EXPECT_TRUE(Layout(cssLinearX, 30, 30));
    EXPECT_FALSE(Layout(cssLinearX, 31, 31));
    EXPECT_FALSE(Layout(cssLinearY, 31, 1, 31));
}

TEST_F(CupLayoutTest, ManualAndUnknownStrategiesKeepThePositions) {
    EXPECT_FALSE(Layout(cssManual, 3, 3));
    EXPECT_FALSE(Layout(9, 1));
    EXPECT_TRUE(Out.empty());
}

// Suitability with exact binary numbers: h = 1, r = 0.5, t = 0.5, cup D = 0.25.
class CupSuitabilityTest : public ::testing::Test {
protected:
    TCupSuitability S;
    void SetUp() override {
        S.Room = TCupRoom{1.0, 0.5};
        S.MaxDiameter = 0.5;
        S.Weight = 10;
    }
    bool Fits(int strategy, int n, int nx, int ny, double w) {
        S.Strategy = strategy;
        S.Count = n;
        S.CountX = nx;
        S.CountY = ny;
        return S.Suitable(0.25, w, 100);
    }
};

TEST_F(CupSuitabilityTest, TooWideOrTooWeakCupsNeverSuit) {
    S.Strategy = cssManual;
    S.Count = 2;
    EXPECT_TRUE(S.Suitable(0.5, 0, 5));     // D = max, weight 10 = 2 × 5
    EXPECT_FALSE(S.Suitable(0.5001, 0, 5)); // wider than admitted
    EXPECT_FALSE(S.Suitable(0.5, 0, 4.99)); // 2 × 4.99 < 10
}

TEST_F(CupSuitabilityTest, HolderRoomPerStrategy) {
    // Manual and one in centre never fail for the holder.
    EXPECT_TRUE(Fits(cssManual, 3, 3, 1, 10));
    EXPECT_TRUE(Fits(cssOneInCentre, 1, 1, 1, 10));
    // 2: h − D = 0.75 ≤ w
    EXPECT_FALSE(Fits(cssAtBothEnds, 2, 2, 1, 0.75));
    EXPECT_TRUE(Fits(cssAtBothEnds, 2, 2, 1, 0.7));
    // 3: t − D = 0.25 ≤ w
    EXPECT_FALSE(Fits(cssCorners, 4, 2, 2, 0.25));
    EXPECT_TRUE(Fits(cssCorners, 4, 2, 2, 0.2));
    // 4: 3 × 2: (h − D)/2 = 0.375 ≤ w or (r − D)/1 = 0.25 ≤ w
    EXPECT_FALSE(Fits(cssArea, 6, 3, 2, 0.25));
    EXPECT_TRUE(Fits(cssArea, 6, 3, 2, 0.2));
    EXPECT_FALSE(Fits(cssArea, 3, 3, 1, 0.375));
    EXPECT_TRUE(Fits(cssArea, 3, 3, 1, 0.3)); // one row: no test across
    EXPECT_TRUE(Fits(cssArea, 1, 1, 1, 10));
    // 5: n = 2: t − D = 0.25; n = 6: 0.25 · sin 30° = 0.125; n = 1: no test
    EXPECT_FALSE(Fits(cssCircumference, 2, 2, 1, 0.25));
    EXPECT_TRUE(Fits(cssCircumference, 2, 2, 1, 0.2));
    EXPECT_FALSE(Fits(cssCircumference, 6, 6, 1, 0.125));
    EXPECT_TRUE(Fits(cssCircumference, 6, 6, 1, 0.12));
    EXPECT_TRUE(Fits(cssCircumference, 1, 1, 1, 10));
    // 6: n = 2 or 3: 0.25 · 0.5 = 0.125; n = 7: 0.25 · sin 30° = 0.125; n = 1: no test
    EXPECT_FALSE(Fits(cssCircularArea, 3, 3, 1, 0.125));
    EXPECT_TRUE(Fits(cssCircularArea, 2, 2, 1, 0.12));
    EXPECT_FALSE(Fits(cssCircularArea, 7, 7, 1, 0.125));
    EXPECT_TRUE(Fits(cssCircularArea, 7, 7, 1, 0.12));
    EXPECT_TRUE(Fits(cssCircularArea, 1, 1, 1, 10));
    // 7: n = 3: (h − D)/2 = 0.375; 8: n = 3: (r − D)/2 = 0.125; one cup: no test
    EXPECT_FALSE(Fits(cssLinearX, 3, 3, 1, 0.375));
    EXPECT_TRUE(Fits(cssLinearX, 3, 3, 1, 0.37));
    EXPECT_TRUE(Fits(cssLinearX, 1, 1, 1, 10));
    EXPECT_FALSE(Fits(cssLinearY, 3, 1, 3, 0.125));
    EXPECT_TRUE(Fits(cssLinearY, 3, 1, 3, 0.12));
}

} // namespace
