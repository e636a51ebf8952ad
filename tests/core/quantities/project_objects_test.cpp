// Storage of the calculation objects that live in the vacuum project.

#include "core/calc/movement.h"
#include "core/calc/sauger_list.h"
#include "core/quantities/prj_strings.h"

#include <gtest/gtest.h>
#include <numbers>
#include <set>
#include <string>
#include <vector>

namespace {

TPrjStrings Reread(const TPrjStrings& written) {
    TPrjStrings s;
    s.SetText(written.Text());
    return s;
}

std::set<std::string> KeysOf(const TPrjStrings& s) {
    std::set<std::string> keys;
    for (const std::string& l : s.Lines()) keys.insert(l.substr(0, l.find('=')));
    return keys;
}

// ---------------------------------------------------------------------------------------------
// TMovement

TEST(PrjMovement, ResetValues) {
    TMovement m;
    m.SetJerkLimited(true);
    m.SetJerk(5);
    m.SetAccNeg(-3);
    m.ClearItem();
    EXPECT_FALSE(m.JerkLimited());
    EXPECT_EQ(m.Jerk(), 1.0);
    EXPECT_EQ(m.AccPos(), 1.0);
    EXPECT_EQ(m.AccNeg(), -1.0);
    EXPECT_EQ(m.Vmax(), 1.0);
    EXPECT_EQ(m.Length(), 1.0);
    EXPECT_EQ(m.Time(), 1.0);
    EXPECT_TRUE(m.Equals(TMovement()));
}

TEST(PrjMovement, WritesItsSevenInputs) {
    TMovement m;
    m.SetJerkLimited(true);
    m.SetJerk(0.17453292519943295);
    m.SetAccNeg(-2.5);
    TPrjStrings s;
    m.WriteTo(s, "Drive.NC.Circular.Move");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{
                             "Drive.NC.Circular.Move.JerkLimited=True",
                             "Drive.NC.Circular.Move.Jerk=0.17453292519943295",
                             "Drive.NC.Circular.Move.AccPos=1",
                             "Drive.NC.Circular.Move.AccNeg=-2.5", "Drive.NC.Circular.Move.Vmax=1",
                             "Drive.NC.Circular.Move.Length=1", "Drive.NC.Circular.Move.Time=1"}));
}

TEST(PrjMovement, RoundTrip) {
    TMovement m;
    m.SetJerkLimited(true);
    m.SetJerk(1.0 / 7.0);
    m.SetAccPos(0.25);
    m.SetAccNeg(-1e-6);
    m.SetVmax(0.5235987755982988);
    m.SetLength(12.5);
    m.SetTime(0.001);
    TPrjStrings s;
    m.WriteTo(s, "M");
    TMovement back;
    back.ReadFrom(Reread(s), "M");
    EXPECT_TRUE(back.Equals(m));
    EXPECT_EQ(back.AccNeg(), -1e-6);
}

TEST(PrjMovement, UnreadableOrMissingNumbersReadAsOne) {
    TPrjStrings s;
    s.SetText("M.JerkLimited=true\nM.Jerk=fast\nM.AccPos=1/4\nM.Vmax=\nM.Time=2\n");
    TMovement m;
    m.SetAccNeg(-5);
    m.ReadFrom(s, "M");
    EXPECT_FALSE(m.JerkLimited());
    EXPECT_EQ(m.Jerk(), 1.0);
    EXPECT_EQ(m.AccPos(), 0.25);
    EXPECT_EQ(m.AccNeg(), 1.0); // missing: 1, not the reset value −1
    EXPECT_EQ(m.Vmax(), 1.0);
    EXPECT_EQ(m.Length(), 1.0);
    EXPECT_EQ(m.Time(), 2.0);
}

TEST(PrjMovement, EqualityAndCopyCoverEveryInput) {
    using TSet = void (*)(TMovement&);
    const TSet changes[] = {[](TMovement& m) { m.SetJerkLimited(true); },
                            [](TMovement& m) { m.SetJerk(2); },
                            [](TMovement& m) { m.SetAccPos(2); },
                            [](TMovement& m) { m.SetAccNeg(-2); },
                            [](TMovement& m) { m.SetVmax(2); },
                            [](TMovement& m) { m.SetLength(2); },
                            [](TMovement& m) { m.SetTime(2); }};
    for (TSet change : changes) {
        TMovement a;
        change(a);
        EXPECT_FALSE(a.Equals(TMovement()));
        TMovement b;
        b.AssignFrom(a);
        EXPECT_TRUE(b.Equals(a));
    }
    EXPECT_FALSE(TMovement().Equals(TPrjObject()));
}

// ---------------------------------------------------------------------------------------------
// TSaugerList

// Three cups with counts that agree with them, so that a strategy setter keeps the cups.
void SetThreeCups(TSaugerList& list) {
    list.SetCountX(3);
    list.Resize(3);
    list.Sauger(0)->Pos = TVektor(0.1, -0.05, 0.02);
    list.Sauger(1)->Pos = TVektor(-1.0 / 3.0, 0, 0.02);
    list.Sauger(1)->Basis = TBasis(VektorPlusY, VektorMinusX, VektorPlusZ);
    list.Sauger(2)->Pos = TVektor(0, 0.2, -0.02);
    list.Sauger(2)->Basis = TBasis(TVektor(0.6, 0.8, 0), TVektor(-0.8, 0.6, 0), TVektor(0, 0, -1));
}

TEST(PrjSaugerList, ANewArrangementHoldsOneCup) {
    const TSaugerList list;
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Sauger(0)->Pos, VektorZero);
    EXPECT_EQ(list.Sauger(0)->Basis, TBasis());
    EXPECT_EQ(list.Sauger(1), nullptr);
    EXPECT_EQ(list.StrategyType(), 5);
    EXPECT_EQ(list.CountX(), 1);
    EXPECT_EQ(list.CountY(), 1);
    EXPECT_EQ(list.StrategyAngle(), 0.0);
    EXPECT_EQ(list.GridType(), csgNone);
    EXPECT_EQ(list.GridLength(), 0.005);
    EXPECT_DOUBLE_EQ(list.GridAngle(), 5 * std::numbers::pi / 180);
    EXPECT_EQ(list.Focused(), -1);
    EXPECT_EQ(list.EdgeDistance(), 0.001);
    EXPECT_EQ(list.Spacing(), 0.001);
    EXPECT_EQ(list.CupType.Fs07, 0.001);
    EXPECT_EQ(list.CupType.Volume, 0.001);
    EXPECT_EQ(list.CupType.Mass, 0.05);
    EXPECT_FALSE(list.CupType.Oval());
}

TEST(PrjSaugerList, ClearItemRestoresTheNewArrangement) {
    TSaugerList list;
    SetThreeCups(list);
    list.SetStrategyType(4);
    list.SetCountX(3);
    list.SetCountY(4);
    list.SetGridType(csgPolar);
    list.SetGridLength(0.01);
    list.SetFocused(2);
    list.ClearItem();
    EXPECT_TRUE(list.Equals(TSaugerList()));
    EXPECT_EQ(list.Sauger(0)->Pos, VektorZero);
}

TEST(PrjSaugerList, WritesEveryDocumentedKey) {
    TSaugerList list;
    SetThreeCups(list);
    TPrjStrings s;
    list.WriteTo(s, "SuctionCups");
    std::set<std::string> expected = {
        "SuctionCups.Count",           "SuctionCups.Grid.Type",      "SuctionCups.Grid.Length",
        "SuctionCups.Grid.Angle",      "SuctionCups.Strategy.Type",  "SuctionCups.Strategy.CountX",
        "SuctionCups.Strategy.CountY", "SuctionCups.Strategy.Angle", "SuctionCups.Focused"};
    for (int i = 0; i < 3; ++i)
        for (const char* member : {".Pos", ".eRadial1", ".eRadial2", ".eAxial"})
            for (const char* axis : {".x", ".y", ".z"})
                expected.insert("SuctionCups.Items[" + std::to_string(i) + "]" + member + axis);
    EXPECT_EQ(KeysOf(s), expected);
    EXPECT_EQ(s.Value("SuctionCups.Grid.Type"), "none");
    EXPECT_EQ(s.Value("SuctionCups.Strategy.Type"), "Circular <circumference>");
    EXPECT_EQ(s.Value("SuctionCups.Focused"), "-1");
    EXPECT_EQ(s.Value("SuctionCups.Items[2].eRadial1.y"), "0.8");
}

TEST(PrjSaugerList, RoundTripOfSettingsAndCups) {
    for (int strategy = 0; strategy < 9; ++strategy) {
        SCOPED_TRACE(testing::Message() << "strategy " << strategy);
        TSaugerList list;
        list.SetStrategyType(strategy);
        list.SetCountY(-2);
        list.SetStrategyAngle(-std::numbers::pi / 7);
        SetThreeCups(list);
        list.SetGridType(static_cast<TSaugerGrid>(strategy % 3));
        list.SetGridLength(0.0025);
        list.SetGridAngle(1.0 / 3.0);
        list.SetFocused(strategy % 3);
        TPrjStrings s;
        list.WriteTo(s, "SuctionCups");
        ASSERT_FALSE(s.Failed()) << s.Error();
        TSaugerList back;
        back.ReadFrom(Reread(s), "SuctionCups");
        EXPECT_TRUE(back.Equals(list)) << strategy;
        EXPECT_EQ(back.StrategyType(), strategy);
        EXPECT_EQ(back.Sauger(1)->Pos, TVektor(-1.0 / 3.0, 0, 0.02));
        EXPECT_EQ(back.Sauger(2)->Basis.E1(), TVektor(0.6, 0.8, 0));
        EXPECT_EQ(back.Sauger(1)->NominalPos, back.Sauger(1)->Pos);
    }
}

TEST(PrjSaugerList, UnknownNamesAndImpossibleFocusReadAsDefaults) {
    TPrjStrings s;
    s.SetText("S.Strategy.Type=manual\nS.Grid.Type=Polar\nS.Count=2\nS.Focused=2\n");
    TSaugerList list;
    list.ReadFrom(s, "S");
    EXPECT_EQ(list.StrategyType(), cSaugerDefaultStrategy);
    EXPECT_EQ(list.GridType(), csgNone);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Focused(), -1);
    s.SetText("S.Strategy.Type=linear <y>\nS.Grid.Type=polar\nS.Count=2\nS.Focused=1\n");
    list.ReadFrom(s, "S");
    EXPECT_EQ(list.StrategyType(), 8);
    EXPECT_EQ(list.GridType(), csgPolar);
    EXPECT_EQ(list.Focused(), 1);
}

TEST(PrjSaugerList, SettingsWithoutANameCannotBeWritten) {
    TSaugerList list;
    list.SetStrategyType(9);
    TPrjStrings s;
    list.WriteTo(s, "SuctionCups");
    EXPECT_TRUE(s.Failed());
    EXPECT_NE(s.Error().find("SuctionCups.Strategy.Type"), std::string::npos);
}

TEST(PrjSaugerList, EqualityLooksAtStoredValuesOnly) {
    TSaugerList a;
    SetThreeCups(a);
    TSaugerList b;
    b.AssignFrom(a);
    EXPECT_TRUE(b.Equals(a));
    b.Sauger(0)->Force = TVektor(1, 2, 3);
    b.Sauger(0)->Selected = true;
    b.CupType.Mass = 2;
    b.SetSpacing(0.5);
    EXPECT_TRUE(b.Equals(a));
    b.SetGridAngle(0.1);
    EXPECT_FALSE(b.Equals(a));
    b.AssignFrom(a);
    b.Sauger(2)->Basis.E3() = VektorPlusZ;
    EXPECT_FALSE(b.Equals(a));
    b.AssignFrom(a);
    b.Resize(2);
    EXPECT_FALSE(b.Equals(a));
}

TEST(PrjSaugerList, AssignFromCopiesCupsSettingsAndCupType) {
    TSaugerList a;
    SetThreeCups(a);
    a.CupType.OrderCode = "SC-20";
    a.CupType.Mass = 0.125;
    a.SetEdgeDistance(0.004);
    a.Sauger(1)->Selected = true;
    a.Sauger(1)->NominalPos = TVektor(9, 9, 9);
    TSaugerList b;
    b.AssignFrom(a);
    EXPECT_EQ(b.CupType.OrderCode, "SC-20");
    EXPECT_EQ(b.CupType.Mass, 0.125);
    EXPECT_EQ(b.EdgeDistance(), 0.004);
    EXPECT_TRUE(b.Sauger(1)->Selected);
    EXPECT_EQ(b.Sauger(1)->NominalPos, TVektor(9, 9, 9));
    a.Sauger(1)->Pos.X = 5;
    EXPECT_EQ(b.Sauger(1)->Pos.X, -1.0 / 3.0);
}

TEST(PrjSaugerList, ResizeCopiesTheLastCupAndFreesFromTheEnd) {
    TSaugerList list;
    SetThreeCups(list);
    list.Resize(5);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_TRUE(list.Sauger(3)->Equals(*list.Sauger(2)));
    EXPECT_TRUE(list.Sauger(4)->Equals(*list.Sauger(2)));
    EXPECT_NE(list.Sauger(4), list.Sauger(2));
    list.Resize(1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Sauger(0)->Pos, TVektor(0.1, -0.05, 0.02));
    list.Resize(-3);
    EXPECT_EQ(list.Count(), 0);
    list.Resize(1);
    EXPECT_EQ(list.Sauger(0)->Pos, VektorZero);
}

TEST(PrjSaugerList, TotalsOverTheCups) {
    TSaugerList list;
    SetThreeCups(list);
    list.CupType.Mass = 0.2;
    list.CupType.Volume = 2e-6;
    EXPECT_DOUBLE_EQ(list.TotalMass(), 0.6);
    EXPECT_DOUBLE_EQ(list.TotalVolume(), 6e-6);
    // Σ m (x² + y²) = 0.2 (0.0125 + 1/9 + 0.04)
    EXPECT_DOUBLE_EQ(list.MomentOfInertiaZ(), 0.2 * (0.0125 + 1.0 / 9.0 + 0.04));
    list.CupType.Fs07 = 14;
    EXPECT_DOUBLE_EQ(list.CupType.EffectiveArea(), 0.0002);
}

} // namespace
