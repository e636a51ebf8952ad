// The arrangement as a whole: its setters, layout with snapping and collisions, the load
// cases the cups share, the unsolvable path, and the cup data of a table row.

#include "core/calc/forces.h"
#include "core/calc/sauger_list.h"
#include "core/data/str_table_db.h"
#include "core/quantities/prj_strings.h"
#include "core/util/trace.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <limits>
#include <numbers>
#include <random>
#include <string>

namespace {

constexpr double g = 9.80655;
constexpr double tol = 1e-12;

// A 1 kg bar of 0.2 × 0.1 × 0.02 m held by round cups of 20 mm (Fs07 = 20 N) at −0.7 bar.
class SaugerListTest : public ::testing::Test {
protected:
    TSaugerList L;
    void SetUp() override {
        TCupWorkpiece w;
        w.Shape = cwsBar;
        w.Size = {0.2, 0.1, 0.02, 0, 0};
        L.SetWorkpiece(w);
        L.CupType.RadiusLong = L.CupType.RadiusShort = 0.01;
        L.CupType.ClearanceDiameter = 0.02;
        L.CupType.Fs07 = 20;
        L.LoadCase.Mass = 1;
        L.LoadCase.Vacuum = -70000;
        L.LoadCase.Friction = 0.5;
    }
};

TEST_F(SaugerListTest, SettersNormaliseTheCountsAndResizeOnlyOnAChange) {
    L.SetStrategyType(cssArea);
    L.SetCountX(3);
    L.SetCountY(4);
    EXPECT_EQ(L.Count(), 12);
    // Switching the area of 3 × 4 to manual keeps count 1 and sets count 2 to 1.
    L.SetStrategyType(cssManual);
    EXPECT_EQ(L.CountX(), 3);
    EXPECT_EQ(L.CountY(), 1);
    EXPECT_EQ(L.Count(), 3);
    L.SetCountY(4); // manual has one row whatever count 2 says
    EXPECT_EQ(L.CountY(), 1);
    L.Resize(5);
    L.SetCountX(3); // unchanged: no normalisation
    EXPECT_EQ(L.Count(), 5);
    L.SetSpacing(0.002); // changed: normalised
    EXPECT_EQ(L.Count(), 3);
    L.SetCountX(0);
    EXPECT_EQ(L.CountX(), 1);
    L.SetCountX(99);
    EXPECT_EQ(L.CountX(), 30);
    L.SetStrategyType(cssCorners);
    EXPECT_EQ(L.Count(), 4);
    L.SetFocused(3);
    L.SetStrategyType(cssAtBothEnds);
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Focused(), -1);
}

TEST_F(SaugerListTest, AdmittedDiameterFollowsEverySetterAndTheWorkpiece) {
    L.SetStrategyType(cssOneInCentre);
    EXPECT_NEAR(L.MaxDiameter(), 0.098, tol); // t = min(0.198, 0.098)
    L.SetEdgeDistance(0.005);
    EXPECT_NEAR(L.MaxDiameter(), 0.09, tol);
    L.SetStrategyType(cssCorners);
    EXPECT_NEAR(L.MaxDiameter(), (0.09 - 0.001) / 2, tol);
    L.SetSpacing(0.011);
    EXPECT_NEAR(L.MaxDiameter(), 0.0395, tol);
    TCupWorkpiece w = L.Workpiece();
    w.Size.Y = 0.2;
    L.SetWorkpiece(w);
    EXPECT_NEAR(L.MaxDiameter(), (0.19 - 0.011) / 2, tol);
    L.SetStrategyType(cssManual);
    EXPECT_EQ(L.MaxDiameter(), 1.0);
}

TEST_F(SaugerListTest, OneCupInTheCentreCarriesAllButTheRegularisingShare) {
    L.SetStrategyType(cssOneInCentre);
    ASSERT_TRUE(L.Layout());
    ASSERT_EQ(L.Count(), 1);
    const TSauger& c = *L.Sauger(0);
    EXPECT_TRUE(Near(c.Pos, TVektor(0, 0, 0.01)));
    EXPECT_TRUE(Near(c.Axial(), VektorPlusZ));
    EXPECT_FALSE(c.Misplaced);
    EXPECT_FALSE(c.Selected);
    // The springs of 1/1000 take one part in 1001: Fn = 9.80655/1.001 = 9.796753
    EXPECT_NEAR(c.Fn, g / 1.001, 1e-12);
    EXPECT_NEAR(c.Fq, 0.0, 1e-12);
    // Fs = Fs07/70000 · 70000 = 20 N: 9.796753/20 = 0.489838
    EXPECT_NEAR(c.NormalRatio, 0.4898376623, 1e-9);
    EXPECT_EQ(LoadBand(c.LargerRatio()), clbOptimal);
}

TEST_F(SaugerListTest, FourCornerCupsShareTheWeightEqually) {
    L.SetStrategyType(cssCorners);
    ASSERT_TRUE(L.Layout());
    ASSERT_EQ(L.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const TSauger& c = *L.Sauger(i);
        EXPECT_FALSE(c.Misplaced) << i;
        // 9.80655/(4 + 0.001) = 2.451025 each
        EXPECT_NEAR(c.Fn, g / 4.001, 1e-12) << i;
        EXPECT_NEAR(c.Fq, 0.0, 1e-12) << i;
    }
    EXPECT_TRUE(Near(L.Sauger(2)->Pos, TVektor(0.089, 0.039, 0.01)));
}

TEST_F(SaugerListTest, ForcesAndMomentsBalanceForAnyArrangementAndLoad) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> d(-0.08, 0.08);
    L.SetStrategyType(cssManual);
    L.SetCountX(9);
    for (int i = 0; i < L.Count(); ++i) L.Sauger(i)->NominalPos = TVektor(d(rng), d(rng) / 2, 1);
    L.CupType.ClearanceDiameter = 0.001;
    L.LoadCase.Acceleration = TVektor(3, -2, 5);
    ASSERT_TRUE(L.Layout());
    // Σf + k0·δ = F and Σ p × f + k0·L²·ω = 0; the springs are tiny, so the cups
    // carry the load and no moment to within a part in a thousand.
    TVektor force, moment;
    for (int i = 0; i < L.Count(); ++i) {
        const TSauger& c = *L.Sauger(i);
        force.Add(c.Force);
        TVektor m;
        m.CrossProduct(c.Pos, c.Force);
        moment.Add(m);
    }
    const TVektor load(3, -2, 5 + g);
    EXPECT_TRUE(Near(force, load, 2e-3 * load.Length()));
    EXPECT_LT(moment.Length(), 1e-3);
}

TEST_F(SaugerListTest, TwoCupsShareAnOffCentreWeightByTheLeverRule) {
    // Cups at both ends, x = ±(0.1 − 0.01 − 0.001) = ±0.089 m. With the centre of gravity
    // at x = c the cups carry the weight W in the inverse ratio of their distances from it:
    // F(−0.089) = W·(0.089 − c)/0.178 and F(+0.089) = W·(0.089 + c)/0.178.
    L.SetStrategyType(cssAtBothEnds);
    const double a = 0.089;
    for (const double c : {0.0445, -0.03, 0.089}) {
        SCOPED_TRACE(testing::Message() << "mass centre x " << c);
        L.LoadCase.MassCenter = TVektor(c, 0, 0);
        ASSERT_TRUE(L.Layout()) << c;
        ASSERT_EQ(L.Count(), 2);
        const TSauger& left = *L.Sauger(0);
        const TSauger& right = *L.Sauger(1);
        ASSERT_NEAR(left.Pos.X, -a, 1e-12);
        ASSERT_NEAR(right.Pos.X, a, 1e-12);
        // The regularising springs take about a part in a thousand.
        EXPECT_NEAR(left.Fn, g * (a - c) / (2 * a), 2e-3 * g) << c;
        EXPECT_NEAR(right.Fn, g * (a + c) / (2 * a), 2e-3 * g) << c;
        EXPECT_NEAR(left.Fn + right.Fn, g, 2e-3 * g) << c;
        // Moments about the centre of gravity balance: F_left·(a + c) = F_right·(a − c).
        EXPECT_NEAR(left.Fn * (a + c), right.Fn * (a - c), 2e-3 * g * a) << c;
        // Nothing across but the trace of the springs' share of the moment.
        EXPECT_NEAR(left.Fq, 0.0, 2e-3 * g) << c;
        EXPECT_NEAR(right.Fq, 0.0, 2e-3 * g) << c;
    }
    // A quarter of the span off centre: three quarters of the weight on the near cup.
    L.LoadCase.MassCenter = TVektor(a / 2, 0, 0);
    ASSERT_TRUE(L.Layout());
    EXPECT_NEAR(L.Sauger(1)->Fn / L.Sauger(0)->Fn, 3.0, 1e-2);
}

TEST_F(SaugerListTest, ACentredMassGivesTheSameLoadsAsBefore) {
    // The centre of gravity at the origin adds no moment: the four corner cups share the
    // weight equally, as without it.
    L.SetStrategyType(cssCorners);
    L.LoadCase.MassCenter = TVektor(0, 0, 0);
    ASSERT_TRUE(L.Layout());
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(L.Sauger(i)->Fn, g / 4.001, 1e-12) << i;
}

TEST_F(SaugerListTest, TheLoadActsAtTheCentreOfGravity) {
    // Whatever the arrangement, the cups together carry F and its moment c × F about the
    // origin: a load at the centre of gravity c.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> d(-0.08, 0.08);
    L.SetStrategyType(cssManual);
    L.SetCountX(7);
    for (int i = 0; i < L.Count(); ++i) L.Sauger(i)->NominalPos = TVektor(d(rng), d(rng) / 2, 1);
    L.CupType.ClearanceDiameter = 0.001;
    L.LoadCase.Acceleration = TVektor(2, 1, -3);
    L.LoadCase.MassCenter = TVektor(0.03, -0.02, 0.005);
    ASSERT_TRUE(L.Layout());
    TVektor force, moment;
    for (int i = 0; i < L.Count(); ++i) {
        const TSauger& c = *L.Sauger(i);
        force.Add(c.Force);
        TVektor m;
        m.CrossProduct(c.Pos, c.Force);
        moment.Add(m);
    }
    const TVektor load(2, 1, -3 + g);
    TVektor want;
    want.CrossProduct(L.LoadCase.MassCenter, load);
    EXPECT_TRUE(Near(force, load, 2e-3 * load.Length()));
    EXPECT_TRUE(Near(moment, want, 2e-3 * want.Length()));
}

TEST_F(SaugerListTest, APressedCupHasANegativeRatio) {
    L.SetStrategyType(cssOneInCentre);
    L.LoadCase.Acceleration = TVektor(0, 0, -2 * g); // falling faster than free fall
    ASSERT_TRUE(L.Layout());
    EXPECT_LT(L.Sauger(0)->Fn, 0);
    EXPECT_NEAR(L.Sauger(0)->NormalRatio, -0.4898376623, 1e-9);
    EXPECT_EQ(LoadBand(L.Sauger(0)->NormalRatio), clbNegative);
}

TEST_F(SaugerListTest, AnUnsolvableSystemKeepsThePreviousForces) {
    L.SetStrategyType(cssCorners);
    ASSERT_TRUE(L.Layout());
    const TVektor before = L.Sauger(1)->Force;
    const double ratio = L.Sauger(1)->NormalRatio;
    L.LoadCase.Mass = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(L.CalcForces());
    EXPECT_FALSE(L.Solvable());
    EXPECT_EQ(L.Sauger(1)->Force, before);
    EXPECT_EQ(L.Sauger(1)->NormalRatio, ratio);

    // A position that is not a number spoils the rotational diagonal: traced, unsolvable.
    std::vector<std::string> trace;
    SetTraceSink([&](const std::string& line) { trace.push_back(line); });
    L.LoadCase.Mass = 1;
    L.Sauger(0)->Pos.X = NAN;
    EXPECT_FALSE(L.CalcForces());
    SetTraceSink(nullptr);
    EXPECT_EQ(L.Sauger(1)->Force, before);
    bool named = false;
    for (const auto& line : trace) named = named || line.rfind("C.Summe(", 0) == 0;
    EXPECT_TRUE(named);

    L.Sauger(0)->Pos.X = -0.089;
    EXPECT_TRUE(L.CalcForces());
    EXPECT_TRUE(L.Solvable());
}

TEST_F(SaugerListTest, TooNarrowAPitchMakesEveryCupCollide) {
    // 30 cups in a line: pitch (0.2 − 0.022)/29 = 6.1 mm, below the clearance of 20 mm
    L.SetStrategyType(cssLinearX);
    L.SetCountX(30);
    L.Layout();
    for (int i = 0; i < 30; ++i) EXPECT_TRUE(L.Sauger(i)->Misplaced) << i;
    EXPECT_TRUE(L.AnyMisplaced());
    L.SetCountX(3); // pitch 89 mm
    L.Layout();
    EXPECT_FALSE(L.AnyMisplaced());
}

TEST_F(SaugerListTest, ManualPositioningSnapsTheNominalPositions) {
    L.SetStrategyType(cssManual);
    L.SetCountX(2);
    L.SetGridType(csgCartesian);
    L.SetGridLength(0.01);
    L.Sauger(0)->NominalPos = TVektor(0.031, 0.012, 1);
    L.Sauger(1)->NominalPos = TVektor(-0.052, -0.004, -1);
    L.Layout();
    EXPECT_TRUE(Near(L.Sauger(0)->Pos, TVektor(0.03, 0.01, 0.01)));
    EXPECT_TRUE(Near(L.Sauger(1)->Pos, TVektor(-0.05, 0, -0.01)));
    EXPECT_TRUE(Near(L.Sauger(1)->Axial(), VektorMinusZ));
    // Upper and lower face do not collide; the list is deselected after the layout.
    EXPECT_FALSE(L.AnyMisplaced());
    EXPECT_EQ(L.FirstSelected(), -1);
}

TEST_F(SaugerListTest, MovingTouchesOnlyTheSelectedCups) {
    L.SetStrategyType(cssAtBothEnds);
    L.Layout();
    L.Sauger(0)->Misplaced = true; // a flag of earlier placement goes in any case
    L.Select(1, false);
    L.MoveSelected(TVektor(-0.02, 0.01, 0));
    EXPECT_TRUE(Near(L.Sauger(0)->Pos, TVektor(-0.089, 0, 0.01)));
    EXPECT_FALSE(L.Sauger(0)->Misplaced);
    EXPECT_TRUE(Near(L.Sauger(1)->Pos, TVektor(0.069, 0.01, 0.01)));
    L.Select(1, true);
    EXPECT_EQ(L.FirstSelected(), -1);
}

TEST_F(SaugerListTest, StrategiesBeyondTheirLimitKeepThePositions) {
    TPrjStrings s;
    s.SetText("S.Strategy.Type=Rectangular <area>\nS.Strategy.CountX=31\nS.Strategy.CountY=30\n"
              "S.Count=1\nS.Items[0].Pos.z=0.01\nS.Items[0].eAxial.z=1\n");
    L.ReadFrom(s, "S");
    L.Sauger(0)->NominalPos = TVektor(0.05, 0.02, 0.01);
    L.Layout();
    ASSERT_EQ(L.Count(), 1);
    EXPECT_TRUE(Near(L.Sauger(0)->Pos, TVektor(0.05, 0.02, 0.01)));
    // In range, the same read arrangement is laid out (as far as it has cups).
    L.SetCountX(3);
    L.SetCountY(2);
    L.Layout();
    ASSERT_EQ(L.Count(), 6);
    EXPECT_TRUE(Near(L.Sauger(0)->Pos, TVektor(-0.089, -0.039, 0.01)));
}

TEST(SaugerType, CupDataOfATableRowInBaseUnits) {
    TStrTableDB32Bit t;
    t.Loaded();
    const std::pair<const char*, double> numbers[] = {
        {"Fs07", 17.6},  {"DiameterLong", 45}, {"DiameterShort", 15},  {"Length", 11.5},
        {"Volume", 519}, {"Mass_kg", 0.00863}, {"HolderDiameter", 48}, {"DmaxSuctionCup", 46}};
    t.AddColumn("OrderCode", csfString).AppendText("SC-" + std::string(40, 'X'));
    t.AddColumn("ConnectorName", csfString).AppendText("G1/8-F-LONGER");
    t.AddColumn("FormKLW", csfByte).AppendInt(5);
    for (const auto& [name, v] : numbers) t.AddColumn(name, csfFloat).AppendFloat(v);
    t.SetRows(1);
    const TSaugerType c = TSaugerType::FromRow(t, 0);
    EXPECT_EQ(c.OrderCode, "SC-" + std::string(27, 'X'));
    EXPECT_EQ(c.ConnectorName, "G1/8-F-LON");
    EXPECT_EQ(c.ShapeCode, 5);
    EXPECT_EQ(c.Fs07, 17.6);
    EXPECT_NEAR(c.EffectiveArea(), 17.6 / 70000, 1e-18);
    EXPECT_NEAR(c.RadiusLong, 0.0225, tol);
    EXPECT_NEAR(c.RadiusShort, 0.0075, tol);
    EXPECT_TRUE(c.Oval());
    EXPECT_NEAR(c.Height, 0.0115, tol); // min(45, 11.5) mm
    EXPECT_NEAR(c.HolderDiameter, 0.048, tol);
    EXPECT_NEAR(c.ClearanceDiameter, 0.048, tol); // max(46, 48) mm
    EXPECT_NEAR(c.Volume, 519e-9, 1e-20);
    EXPECT_EQ(c.Mass, 0.00863);

    // A table without some of the columns leaves their defaults.
    TStrTableDB32Bit bare;
    bare.Loaded();
    bare.AddColumn("Fs07", csfFloat).AppendFloat(3);
    bare.SetRows(1);
    const TSaugerType d = TSaugerType::FromRow(bare, 0);
    EXPECT_EQ(d.Fs07, 3);
    EXPECT_EQ(d.Mass, TSaugerType().Mass);
    EXPECT_EQ(d.RadiusLong, TSaugerType().RadiusLong);
    EXPECT_EQ(d.ShapeCode, 1);
}

} // namespace
