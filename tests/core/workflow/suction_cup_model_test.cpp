// The handlers of the positioning, suction cup and load pages: strategy and grid input,
// choosing a cup row, the computed "~ok" column and the record label, the time slider and
// player, the maximum values, the data of the first selected cup, and the mouse in the
// workpiece views.

#include "core/calc/forces.h"
#include "core/calc/holding_verdict.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/suction_cup_model.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double g = 9.80655;
constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

class TRecordingView : public TSuctionCupView {
public:
    int Invalidated = 0;
    int Changed = 0;
    void InvalidateLaterPages() override { ++Invalidated; }
    void ArrangementChanged() override { ++Changed; }
};

class TRecordingDependent : public TTableDependent {
public:
    std::vector<unsigned> Flags;
    void SourceChanged(TCustomTable&, unsigned flags) override { Flags.push_back(flags); }
};

class TFakeMotion : public TMotionSource {
public:
    double End = 2.0;
    TMotionSample Next;
    mutable std::vector<double> Asked;
    double EndTime() const override { return End; }
    TMotionSample Sample(double t) const override {
        Asked.push_back(t);
        return Next;
    }
};

struct TCupRow {
    const char* OrderCode;
    double Diameter, Length, Holder, Dmax, Volume, Fs07, Mass;
    const char* HolderSize;
    const char* Thread;
};

// Four cups of the shape of the catalogue's rows (millimetres, N, kg).
const TCupRow kRows[] = {
    {"CUP-20", 20, 35, 17, 20, 519, 20, 0.01, "M10x1", "G1/8"},
    {"CUP-50", 50, 41, 17, 50, 5440, 110, 0.0158, "M14x1.5", "G1/4"},
    {"CUP-10", 10, 40, 14, 10, 152, 4.4, 0.00884, "M8", "M5"},
    {"CUP-WEAK", 6, 27, 12, 6, 83.9, 1.0, 0.00333, "M8", "M5"},
};

// A 1 kg bar of 0.2 × 0.1 × 0.02 m, a cup table of kRows and the query over it.
class SuctionCupModelTest : public ::testing::Test {
protected:
    TMyProject Doc;
    TSuctionCupModel Model{Doc};
    TStrTableDB32Bit Table;
    TStringQuery Query;
    TRecordingView View;
    TFakeMotion Motion;

    void SetUp() override {
        Doc.Project().New();
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.2;
        Doc.Workpiece.LengthY = 0.1;
        Doc.Workpiece.LengthZ = 0.02;
        Doc.Workpiece.Mass = 1;
        Table.Loaded();
        auto& code = Table.AddColumn("OrderCode", csfString);
        auto& holderSize = Table.AddColumn("HolderSize", csfString);
        auto& thread = Table.AddColumn("Thread", csfString);
        auto& dl = Table.AddColumn("DiameterLong", csfFloat);
        auto& ds = Table.AddColumn("DiameterShort", csfFloat);
        auto& length = Table.AddColumn("Length", csfFloat);
        auto& volume = Table.AddColumn("Volume", csfFloat);
        auto& fs07 = Table.AddColumn("Fs07", csfFloat);
        auto& mass = Table.AddColumn("Mass_kg", csfFloat);
        auto& dmax = Table.AddColumn("DmaxSuctionCup", csfFloat);
        auto& ok = Table.AddColumn("~ok", csfString, 0, 0, 1);
        auto& holder = Table.AddColumn("HolderDiameter", csfFloat);
        for (const TCupRow& r : kRows) {
            code.AppendText(r.OrderCode);
            holderSize.AppendText(r.HolderSize);
            thread.AppendText(r.Thread);
            dl.AppendFloat(r.Diameter);
            ds.AppendFloat(r.Diameter);
            length.AppendFloat(r.Length);
            volume.AppendFloat(r.Volume);
            fs07.AppendFloat(r.Fs07);
            mass.AppendFloat(r.Mass);
            dmax.AppendFloat(r.Dmax);
            ok.AppendText("");
            holder.AppendFloat(r.Holder);
        }
        Table.SetRows(4);
        Query.Loaded();
        Query.SetTable(&Table);
        Model.SetCupTables(&Table, &Query);
        Model.SetView(&View);
        Model.Translate = [](std::string_view key) -> std::string {
            if (key == "~LabelRecords") return "%d of %d records";
            if (key == "~SuitableForWorkpiece") return "suitable";
            return std::string(key);
        };
    }

    void Strategy(int strategy, int count1 = 1, int count2 = 1, double angle = 0) {
        Model.StrategieChange({strategy, count1, count2, angle, 0.001, 0.001});
    }
    std::string Ok(int row) { return Query.AsText(row, "~ok"); }
    TSaugerList& Cups() { return Doc.SuctionCups; }
};

// ---- positioning page ---------------------------------------------------------------------

TEST_F(SuctionCupModelTest, StrategyChangeStoresNormalisesAndLaysOut) {
    Strategy(cssArea, 3, 4);
    EXPECT_EQ(Cups().Count(), 12);
    EXPECT_FALSE(Cups().AnyMisplaced());
    EXPECT_EQ(View.Invalidated, 1);
    EXPECT_GE(View.Changed, 1);
    // From the area of 3 × 4 to manual: count 2 goes to 1, the list to count 1.
    Strategy(cssManual, 3, 4);
    const TStrategySettings s = Model.StrategySettings();
    EXPECT_EQ(s.Strategy, cssManual);
    EXPECT_EQ(s.Count1, 3);
    EXPECT_EQ(s.Count2, 1);
    EXPECT_EQ(Cups().Count(), 3);
    // The cups' moment of inertia about the swivel axis and the vacuum volume follow.
    Doc.Moving.CircularLever = 0.5;
    Strategy(cssAtBothEnds);
    EXPECT_NEAR(Doc.EvacuatedVolume, 2 * Cups().CupType.Volume, tol);
    // 0.25 · 2 · 0.05 + 0.05 · 2 · A², A = 0.1 − 0.005 − 0.001
    EXPECT_NEAR(Doc.SuctionCupsMomentOfInertia, 0.025 + 0.1 * 0.094 * 0.094, tol);
}

TEST_F(SuctionCupModelTest, StrategiesOtherThanManualUnlockTheGrid) {
    Strategy(cssManual, 2);
    Model.GridChange(csgPolar, 0.01, pi / 36);
    EXPECT_TRUE(Model.GridLengthVisible());
    EXPECT_TRUE(Model.GridAngleVisible());
    Strategy(cssManual, 3);
    EXPECT_EQ(Cups().GridType(), csgPolar);
    Strategy(cssOneInCentre);
    EXPECT_EQ(Cups().GridType(), csgNone);
    EXPECT_EQ(Cups().GridLength(), 0.01);
    EXPECT_FALSE(Model.GridLengthVisible());
}

TEST_F(SuctionCupModelTest, FieldsAndPagesPerStrategy) {
    const TStrategyFields manual = TSuctionCupModel::StrategyFields(cssManual);
    EXPECT_EQ(manual.Count1, "~Count");
    EXPECT_TRUE(manual.Count2.empty());
    EXPECT_TRUE(manual.GridPageVisible);
    EXPECT_FALSE(manual.DistancePageVisible);
    const TStrategyFields centre = TSuctionCupModel::StrategyFields(cssOneInCentre);
    EXPECT_TRUE(centre.Count1.empty());
    EXPECT_FALSE(centre.SpacingVisible);
    EXPECT_TRUE(centre.DistancePageVisible);
    const TStrategyFields area = TSuctionCupModel::StrategyFields(cssArea);
    EXPECT_EQ(area.Count1, "~QuantityX");
    EXPECT_EQ(area.Count2, "~QuantityY");
    EXPECT_TRUE(area.Angle.empty());
    EXPECT_EQ(TSuctionCupModel::StrategyFields(cssCircularArea).Angle, "~Angle");
    const TStrategyFields lineY = TSuctionCupModel::StrategyFields(cssLinearY);
    EXPECT_TRUE(lineY.Count1.empty());
    EXPECT_EQ(lineY.Count2, "~QuantityY");
}

TEST_F(SuctionCupModelTest, HandlersAreInertWhileTheDisclaimerIsPending) {
    Doc.DisclaimerPending = true;
    Strategy(cssArea, 3, 4);
    Model.SaugerSelect(0);
    Model.RxSliderVCRChange(500);
    EXPECT_EQ(Cups().Count(), 1);
    EXPECT_EQ(Cups().StrategyType(), cssCircumference);
    EXPECT_EQ(Model.SelectedRow(), -1);
    EXPECT_EQ(Model.SliderPosition(), 0);
    EXPECT_EQ(View.Invalidated + View.Changed, 0);
}

TEST_F(SuctionCupModelTest, RefreshKeepsLoadedPositionsAndRecomputesFlagsAndLoads) {
    // As a project file leaves them: two cups 5 mm apart, no forces, no flags.
    Cups().Resize(2);
    Cups().Sauger(0)->Pos = TVektor(0.01, 0, 0.01);
    Cups().Sauger(1)->Pos = TVektor(0.015, 0, 0.01);
    Model.Refresh();
    EXPECT_TRUE(Near(Cups().Sauger(1)->Pos, TVektor(0.015, 0, 0.01)));
    EXPECT_TRUE(Model.CollisionShown()); // clearance 10 mm of the default cup
    EXPECT_NEAR(Cups().Sauger(0)->Fn + Cups().Sauger(1)->Fn, g, 0.05 * g);
    EXPECT_FALSE(Model.EquationsNotSolvable());
    EXPECT_GE(View.Changed, 1);
    // Both cups on one side of the centre of gravity, with levers 0.02 and 0.06 m:
    // F0 + F1 = g and 0.02·F0 + 0.06·F1 = 0 give F0 = 1.5g and F1 = −0.5g (the cup
    // further out presses), less the little the springs take.
    Cups().Sauger(0)->Pos.X = 0.02;
    Cups().Sauger(1)->Pos.X = 0.06;
    Model.Refresh();
    EXPECT_FALSE(Model.CollisionShown());
    EXPECT_NEAR(Cups().Sauger(0)->Fn, 1.5 * g, 0.01 * g);
    EXPECT_NEAR(Cups().Sauger(1)->Fn, -0.5 * g, 0.01 * g);
}

TEST_F(SuctionCupModelTest, TheCentreOfGravityOfTheDocumentMovesTheLoad) {
    // The centre of gravity of the mass dialog reaches the loads: two cups at both ends
    // share the weight by the lever rule about it.
    Doc.Workpiece.MassCenter = TVektor(0.04, 0, 0);
    Strategy(cssAtBothEnds);
    ASSERT_EQ(Cups().Count(), 2);
    const double xl = Cups().Sauger(0)->Pos.X;
    const double xr = Cups().Sauger(1)->Pos.X;
    ASSERT_LT(xl, 0.0);
    ASSERT_GT(xr, 0.04);
    EXPECT_NEAR(Cups().Sauger(0)->Fn, g * (xr - 0.04) / (xr - xl), 2e-3 * g);
    EXPECT_NEAR(Cups().Sauger(1)->Fn, g * (0.04 - xl) / (xr - xl), 2e-3 * g);
    // Back at the centre, both carry half.
    Doc.Workpiece.MassCenter = TVektor(0, 0, 0);
    Model.Refresh();
    EXPECT_NEAR(Cups().Sauger(0)->Fn, g / 2.001, 1e-9);
    EXPECT_NEAR(Cups().Sauger(1)->Fn, g / 2.001, 1e-9);
}

// ---- suction cup page ---------------------------------------------------------------------

TEST_F(SuctionCupModelTest, ChoosingARowLoadsTheCupAndLaysOutAgain) {
    Strategy(cssCorners);
    Model.SaugerSelect(0);
    EXPECT_EQ(Model.SelectedRow(), 0);
    EXPECT_EQ(Doc.SuctionCupsOrderCode, "CUP-20");
    EXPECT_EQ(Model.LabelSelectedSuctionCup(), "CUP-20");
    EXPECT_EQ(Model.SelectedHolderSize(), "M10x1");
    EXPECT_EQ(Model.SelectedThread(), "G1/8");
    EXPECT_TRUE(Model.SelectedSuitable());
    EXPECT_NEAR(Cups().CupType.RadiusLong, 0.01, tol);
    EXPECT_NEAR(Model.TotalCupVolume(), 4 * 519e-9, 1e-18);
    EXPECT_EQ(Model.ChartXRange(), 4);
    // A = 0.1 − 0.01 − 0.001, B = 0.05 − 0.01 − 0.001
    EXPECT_TRUE(Near(Cups().Sauger(2)->Pos, TVektor(0.089, 0.039, 0.01)));
    Model.SaugerSelect(1);
    EXPECT_FALSE(Model.SelectedSuitable()); // 50 mm is wider than the corners admit
    Model.SaugerSelect(7);                  // no such row
    EXPECT_EQ(Model.SelectedRow(), 1);
    // Changing the strategy re-reads the chosen row: in the centre the 50 mm cup fits.
    Strategy(cssOneInCentre);
    EXPECT_TRUE(Model.SelectedSuitable());
}

TEST_F(SuctionCupModelTest, OkColumnFollowsTheArrangementAndTheWorkpiece) {
    // Corners: admitted (0.098 − 0.001)/2 = 0.0485 m; weight 9.81 N against 4 × Fs07.
    Strategy(cssCorners);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.0485, tol);
    EXPECT_EQ(Ok(0), "~Yes");
    EXPECT_EQ(Ok(1), "~No");  // 50 mm > 48.5 mm
    EXPECT_EQ(Ok(2), "~Yes"); // 9.81 N ≤ 4 × 4.4 N
    EXPECT_EQ(Ok(3), "~No");  // 9.81 N > 4 × 1 N
    // One in the centre: admits t = 0.098, below the grip size 0.1; one cup holds alone.
    Strategy(cssOneInCentre);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.098, tol);
    EXPECT_EQ(Ok(0), "~Yes");
    EXPECT_EQ(Ok(1), "~Yes");
    EXPECT_EQ(Ok(2), "~No"); // 9.81 N > 4.4 N
    // Manual positioning admits 1 m; the grip size of the bar (0.1 m) bounds it.
    Strategy(cssManual, 2);
    EXPECT_NEAR(Model.MaxCupDiameter(), 0.1, tol);
    // A heavier workpiece: only the strong cups stay.
    Doc.Workpiece.Mass = 5; // 49 N: 2 × 20 N is too little
    EXPECT_EQ(Ok(0), "~No");
    EXPECT_EQ(Ok(1), "~Yes");
    // The other columns read as stored.
    EXPECT_EQ(Query.AsText(1, "OrderCode"), "CUP-50");
}

TEST_F(SuctionCupModelTest, RefreshTellsTheTableOnlyWhenTheInputsChanged) {
    TRecordingDependent grid;
    Table.AddDependent(&grid);
    Strategy(cssCorners);
    const size_t after = grid.Flags.size();
    ASSERT_GE(after, 1u);
    EXPECT_EQ(grid.Flags.back() & cChangeContents, cChangeContents);
    Model.RefreshSuitability();
    EXPECT_EQ(grid.Flags.size(), after);
    Doc.Workpiece.Mass = 3;
    Model.RefreshSuitability();
    EXPECT_EQ(grid.Flags.size(), after + 1);
    Table.RemoveDependent(&grid);
}

TEST_F(SuctionCupModelTest, RecordLabelCountsQueryTableAndSuitableRows) {
    Strategy(cssCorners);
    EXPECT_EQ(Model.LabelSaugerCount(), "4 of 4 records - 2 suitable");
    Query.AddCondition("Fs07>=10");
    EXPECT_EQ(Model.LabelSaugerCount(), "2 of 4 records - 1 suitable");
}

TEST_F(SuctionCupModelTest, HelpLabelsFollowTheStoredFilterValues) {
    EXPECT_TRUE(Model.HighlightedHelpLabels().empty());
    // The shape list shows its translated names with their "~"; the connector list its
    // plain texts; a set option names its column.
    Doc.SuctionCupSelection.Shape = 3;        // "bellows 1.5"
    Doc.SuctionCupSelection.AirConnector = 2; // "female"
    Doc.SuctionCupSelection.Filter = true;
    Model.SaugerSelectionChange();
    EXPECT_EQ(View.Invalidated, 1);
    EXPECT_EQ(Model.HighlightedHelpLabels(),
              (std::vector<std::string>{"female", "~bellows 1.5", "~Filter"}));
    // Back to no preference: nothing is highlighted.
    Doc.SuctionCupSelection = {};
    EXPECT_TRUE(Model.HighlightedHelpLabels().empty());
}

TEST_F(SuctionCupModelTest, RefreshTakesTheCupTheProjectNamesWithoutMovingACup) {
    Strategy(cssManual, 2);
    Cups().Sauger(0)->Pos = TVektor(-0.05, 0, 0.01);
    Cups().Sauger(1)->Pos = TVektor(0.05, 0, 0.01);
    for (int i = 0; i < 2; ++i) Cups().Sauger(i)->SetAxial(VektorPlusZ);
    // As read from a file: the cup named, its data not yet taken.
    Doc.SuctionCupsOrderCode = "CUP-50";
    Model.Refresh();
    EXPECT_EQ(Cups().CupType.OrderCode, "CUP-50");
    EXPECT_NEAR(Cups().CupType.RadiusLong, 0.025, tol);
    EXPECT_NEAR(Cups().CupType.Fs07, 110, tol);
    EXPECT_NEAR(Cups().Sauger(0)->Pos.X, -0.05, tol);
    EXPECT_NEAR(Cups().Sauger(1)->Pos.X, 0.05, tol);
    // 100 mm apart with a clearance of 50 mm: no collision. Each carries half the weight
    // but for what the regularising springs (0.001 of a cup) take: g / (2 + 0.001).
    EXPECT_FALSE(Model.CollisionShown());
    EXPECT_NEAR(Cups().Sauger(0)->Fn, g / 2.001, 1e-9);
    // A code the table lacks keeps the cup data as they are.
    Doc.SuctionCupsOrderCode = "NO-SUCH-CUP";
    Model.Refresh();
    EXPECT_EQ(Cups().CupType.OrderCode, "CUP-50");
}

TEST_F(SuctionCupModelTest, EnteringThePageTakesTheChangedWorkpiece) {
    Strategy(cssOneInCentre);
    Model.EnterSuctionCupPage(1);
    EXPECT_EQ(Ok(1), "~Yes");
    Doc.Workpiece.LengthY = 0.04; // t = 0.038: the 50 mm cup no longer fits
    Model.EnterSuctionCupPage(1);
    EXPECT_EQ(Ok(1), "~No");
    EXPECT_FALSE(Model.SelectedSuitable());
    EXPECT_TRUE(Near(Cups().Sauger(0)->Pos, TVektor(0, 0, 0.01)));
}

// ---- load page ----------------------------------------------------------------------------

TEST_F(SuctionCupModelTest, SliderEvaluatesALinearMotion) {
    Model.SetMotionSource(&Motion);
    Strategy(cssOneInCentre);
    Model.SaugerSelect(0);
    Motion.Next.Acceleration = 5;
    Model.RxSliderVCRChange(500);
    ASSERT_EQ(Motion.Asked.size(), 1u);
    EXPECT_EQ(Motion.Asked[0], 1.0); // 500/1000 of 2 s
    EXPECT_EQ(Model.SliderTime(), 1.0);
    // vertical up: a = (0, 0, 5); one cup in the centre: (g + 5)/1.001
    EXPECT_TRUE(Near(Cups().LoadCase.Acceleration, TVektor(0, 0, 5)));
    EXPECT_NEAR(Cups().Sauger(0)->Fn, (g + 5) / 1.001, 1e-12);
    Model.RxSliderVCRChange(2000);
    EXPECT_EQ(Model.SliderPosition(), 1000);
    EXPECT_EQ(Motion.Asked.back(), 2.0);
}

TEST_F(SuctionCupModelTest, SliderEvaluatesASwivelAndTurnsTheWorkpiece) {
    Model.SetMotionSource(&Motion);
    Doc.Drive.Type = cdtNCCircular;
    Doc.Moving.CircularLever = 0.5;
    Strategy(cssOneInCentre);
    Motion.Next = TMotionSample{0, pi / 2, 2, 3};
    Model.RxSliderVCRChange(250);
    EXPECT_EQ(Motion.Asked.back(), 0.5);
    // ω²R = 2 along −90°, αR = 1.5 along 0°; the workpiece turned by 90°
    EXPECT_TRUE(Near(Cups().LoadCase.Acceleration, TVektor(1.5, -2, 0)));
    EXPECT_TRUE(Near(Cups().LoadCase.WorkpieceBasis.E1(), VektorPlusY));
    EXPECT_NEAR(Cups().Sauger(0)->Fn, g / 1.001, 1e-9);
    EXPECT_GT(Cups().Sauger(0)->Fq, 0.0);
}

TEST_F(SuctionCupModelTest, AnUnsolvableInstantShowsThePanelAndKeepsTheForces) {
    Model.SetMotionSource(&Motion);
    Strategy(cssCorners);
    const double fn = Cups().Sauger(0)->Fn;
    EXPECT_FALSE(Model.EquationsNotSolvable());
    Motion.Next.Acceleration = std::numeric_limits<double>::infinity();
    Model.RxSliderVCRChange(100);
    EXPECT_TRUE(Model.EquationsNotSolvable());
    EXPECT_EQ(Cups().Sauger(0)->Fn, fn);
    Motion.Next.Acceleration = 0;
    Model.RxSliderVCRChange(200);
    EXPECT_FALSE(Model.EquationsNotSolvable());
}

TEST_F(SuctionCupModelTest, PlayerRunsTheSliderToTheEnd) {
    Model.SetMotionSource(&Motion);
    Model.PlayerPlay();
    EXPECT_TRUE(Model.Playing());
    EXPECT_FALSE(Model.SliderEnabled());
    for (int i = 0; i < 24; ++i) Model.PlayerTick();
    EXPECT_EQ(Model.SliderPosition(), 960);
    EXPECT_TRUE(Model.Playing());
    Model.PlayerPause();
    EXPECT_FALSE(Model.Playing());
    EXPECT_TRUE(Model.SliderEnabled());
    Model.PlayerTick(); // no timer, no step
    EXPECT_EQ(Model.SliderPosition(), 960);
    Model.PlayerPause();
    Model.PlayerTick();
    EXPECT_EQ(Model.SliderPosition(), 1000);
    EXPECT_FALSE(Model.Playing());
    EXPECT_TRUE(Model.SliderEnabled());
    Model.PlayerRewind();
    EXPECT_EQ(Model.SliderPosition(), 0);
    Model.PlayerForward();
    EXPECT_EQ(Model.SliderPosition(), 1000);
    Model.PlayerPlay();
    Model.PlayerStop();
    EXPECT_FALSE(Model.Playing());
    EXPECT_TRUE(Model.SliderEnabled());
}

TEST_F(SuctionCupModelTest, RewindAndForwardStopThePlayerAndPlayNeedsRoomToRun) {
    Model.SetMotionSource(&Motion);
    EXPECT_TRUE(Model.PlayEnabled());
    Model.PlayerPlay();
    EXPECT_FALSE(Model.PlayEnabled()); // already running
    Model.PlayerTick();
    EXPECT_EQ(Model.SliderPosition(), 40);
    // Rewind while playing: the player stands at the start, the slider free again.
    Model.PlayerRewind();
    EXPECT_FALSE(Model.Playing());
    EXPECT_TRUE(Model.SliderEnabled());
    EXPECT_EQ(Model.SliderPosition(), 0);
    Model.PlayerTick();
    EXPECT_EQ(Model.SliderPosition(), 0);
    EXPECT_TRUE(Model.PlayEnabled());
    // Forward while playing: at the end, stopped, and Play has nothing left to run.
    Model.PlayerPlay();
    Model.PlayerForward();
    EXPECT_FALSE(Model.Playing());
    EXPECT_TRUE(Model.SliderEnabled());
    EXPECT_EQ(Model.SliderPosition(), 1000);
    EXPECT_FALSE(Model.PlayEnabled());
    // One step below the end, Play can run again.
    Model.RxSliderVCRChange(999);
    EXPECT_TRUE(Model.PlayEnabled());
}

TEST_F(SuctionCupModelTest, TimeCurveTabNeedsAVacuum) {
    EXPECT_TRUE(TSuctionCupModel::TimeCurveTabEnabled(-60000, -70000));
    // The larger of the two: an unknown achieved vacuum of 0 wins over the target.
    EXPECT_FALSE(TSuctionCupModel::TimeCurveTabEnabled(0, -70000));
    EXPECT_FALSE(TSuctionCupModel::TimeCurveTabEnabled(0, 0));
}

TEST_F(SuctionCupModelTest, LoadBarsOneForEachCup) {
    Strategy(cssAtBothEnds);
    Model.SaugerSelect(0);
    Cups().Select(1, false);
    const std::vector<TLoadBar> bars = Model.LoadBars(false);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_DOUBLE_EQ(bars[1].X0, 1.1);
    EXPECT_DOUBLE_EQ(bars[1].X1, 1.9);
    // g/2.001 of Fs = 20 N each: 24.5 %
    EXPECT_NEAR(bars[0].Height, g / 2.001 / 20 * 100, 1e-9);
    EXPECT_EQ(bars[0].Band, clbOptimal);
    EXPECT_FALSE(bars[0].Selected);
    EXPECT_TRUE(bars[1].Selected);
    EXPECT_NEAR(Model.LoadBars(true)[0].Height, 0.0, 1e-9);
}

TEST_F(SuctionCupModelTest, MaximumValuesForAVerticalLift) {
    Strategy(cssAtBothEnds);
    Model.SaugerSelect(0); // Fs = 20 N at −0.7 bar
    struct TCase {
        double Fz;
        TCupLoadBand Band;
        double Fill1, Fill2;
        const char* Text;
    } const cases[] = {
        {30, clbOptimal, 75, 0, "75%"},       // 15 N per cup
        {25, clbOptimal, 62.5, 0, "62%"},     // 62.5 % rounds to the even 62
        {50, clbTooHigh, 100, 25, "125%"},    // 1.25
        {90, clbTooHigh, 100, 100, "> 200%"}, // 2.25
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "Fz " << c.Fz);
        Model.RefreshMaxValues(c.Fz);
        const TMaxValueBar& n = Model.MaxValues().Normal;
        EXPECT_EQ(n.Force, c.Fz / 2);
        EXPECT_EQ(n.Band, c.Band) << c.Fz;
        EXPECT_NEAR(n.Fill1, c.Fill1, 1e-9) << c.Fz;
        EXPECT_NEAR(n.Fill2, c.Fill2, 1e-9) << c.Fz;
        EXPECT_EQ(n.Text, c.Text) << c.Fz;
        EXPECT_EQ(Model.MaxValues().Transverse.Text, "0%");
    }
    for (TLinearDirection across : {cldHorizontalX, cldHorizontalY}) {
        Doc.Moving.LinearDirection = across;
        Model.RefreshMaxValues(50);
        EXPECT_EQ(Model.MaxValues().Normal.Force, 0) << across;
    }
    Doc.Moving.LinearDirection = cldVerticalDown;
    Doc.Drive.Type = cdtPneumaticCircular;
    Model.RefreshMaxValues(50);
    EXPECT_EQ(Model.MaxValues().Normal.Force, 0);
    Doc.Drive.Type = cdtNCLinear;
    Doc.Venturi.Vacuum = 0; // no holding force: the ratio counts as 2
    Model.RefreshMaxValues(50);
    EXPECT_EQ(Model.MaxValues().Normal.Ratio, 2);
    EXPECT_EQ(Model.MaxValues().Normal.Text, "> 200%");
}

TEST_F(SuctionCupModelTest, ForcesAndPositionOfTheFirstSelectedCup) {
    Strategy(cssAtBothEnds);
    Model.SaugerSelect(0);
    EXPECT_FALSE(Model.ForcesAndPosition().Visible);
    Cups().Select(1, false);
    TCupForcesAndPosition f = Model.ForcesAndPosition();
    ASSERT_TRUE(f.Visible);
    EXPECT_EQ(f.Number, 2);
    EXPECT_TRUE(Near(f.Pos, TVektor(0.089, 0, 0.01)));
    EXPECT_NEAR(f.NormalForce, g / 2.001, 1e-12);
    EXPECT_NEAR(f.TransverseForce, 0, 1e-9);
    EXPECT_EQ(f.NormalRatio, "25 %"); // 24.5 %
    EXPECT_EQ(f.TransverseRatio, "0 %");
    Cups().Select(0, false);
    EXPECT_EQ(Model.ForcesAndPosition().Number, 1);
    // A weak vacuum: Fs = 20/70 N, ratio far above 3
    Doc.Venturi.Vacuum = -1000;
    Model.RxSliderVCRChange(0);
    EXPECT_EQ(Model.ForcesAndPosition().NormalRatio, "> 300 %");
}

// ---- workpiece views ----------------------------------------------------------------------

// Two 20 mm cups on the top face, manual positioning; clearance 20 mm, height 20 mm.
class CupViewTest : public SuctionCupModelTest {
protected:
    void SetUp() override {
        SuctionCupModelTest::SetUp();
        Strategy(cssManual, 2);
        Model.SaugerSelect(0);
        Cups().Sauger(0)->NominalPos = TVektor(-0.05, 0, 1);
        Cups().Sauger(1)->NominalPos = TVektor(0.05, 0, 1);
        Cups().Sauger(0)->SetAxial(VektorPlusZ);
        Model.Relayout();
    }
};

TEST_F(CupViewTest, HitTestLooksAtTheCupAsTheViewShowsIt) {
    EXPECT_EQ(Model.HitTest(cvpXY, -0.045, 0.005), 0);
    EXPECT_EQ(Model.HitTest(cvpXY, 0.05, 0), 1);
    EXPECT_EQ(Model.HitTest(cvpXY, -0.05, 0.0101), -1);
    // From the side the cup on the top face is a band 20 mm wide from the face upwards.
    EXPECT_EQ(Model.HitTest(cvpXZ, -0.045, 0.02), 0);
    EXPECT_EQ(Model.HitTest(cvpXZ, -0.045, 0.0), -1);   // below the face
    EXPECT_EQ(Model.HitTest(cvpXZ, -0.045, 0.035), -1); // above the cup
    EXPECT_EQ(Model.HitTest(cvpXZ, -0.039, 0.02), -1);  // beside it
    EXPECT_EQ(Model.HitTest(cvpYZ, 0.009, 0.025), 1);   // both line up; the last one wins
}

TEST_F(CupViewTest, ATiltedCupIsAnEllipseDrawnOutByItsProjectedHeight) {
    // Axial (0.6, 0, 0.8) seen from above: across the axis the lip keeps ρ = 0.01, along
    // it shrinks to 0.8·ρ = 0.008 and is drawn out towards +X by 0.6·0.02 = 0.012.
    Cups().Sauger(0)->SetAxial(TVektor(0.6, 0, 0.8));
    const double x = -0.05;
    EXPECT_EQ(Model.HitTest(cvpXY, x + 0.0195, 0), 0); // 0.012 + 0.008 − 0.0005
    EXPECT_EQ(Model.HitTest(cvpXY, x + 0.021, 0), -1);
    EXPECT_EQ(Model.HitTest(cvpXY, x + 0.006, 0.0099), 0);
    EXPECT_EQ(Model.HitTest(cvpXY, x - 0.0075, 0), 0);
    EXPECT_EQ(Model.HitTest(cvpXY, x - 0.0085, 0), -1);
}

TEST_F(CupViewTest, PressingSelectsAndDraggingMovesTheSelectedCups) {
    Model.MouseDown(cvpXY, -0.045, 0, ckNone);
    EXPECT_TRUE(Model.Dragging());
    EXPECT_EQ(Cups().Focused(), 0);
    EXPECT_TRUE(Cups().Sauger(0)->Selected);
    EXPECT_FALSE(Cups().Sauger(1)->Selected);
    Model.MouseMove(cvpXY, -0.025, 0.002, ckNone);
    Model.MouseMove(cvpXY, -0.015, 0.004, ckNone);
    Model.MouseUp();
    EXPECT_FALSE(Model.Dragging());
    EXPECT_TRUE(Near(Cups().Sauger(0)->Pos, TVektor(-0.02, 0.004, 0.01)));
    EXPECT_TRUE(Near(Cups().Sauger(1)->Pos, TVektor(0.05, 0, 0.01)));
    // Shift adds a cup and takes it off again; a press beside the cups deselects all.
    Model.MouseDown(cvpXY, 0.05, 0, ckShift);
    EXPECT_TRUE(Cups().Sauger(0)->Selected);
    EXPECT_TRUE(Cups().Sauger(1)->Selected);
    Model.MouseDown(cvpXY, 0.05, 0, ckShift);
    EXPECT_FALSE(Cups().Sauger(1)->Selected);
    Model.MouseDown(cvpXY, 0, 0.04, ckShift);
    EXPECT_TRUE(Cups().Sauger(0)->Selected);
    Model.MouseDown(cvpXY, 0, 0.04, ckNone);
    EXPECT_EQ(Cups().FirstSelected(), -1);
    EXPECT_FALSE(Model.Dragging());
}

TEST_F(CupViewTest, DraggedCupsCollideAndSnapToTheGrid) {
    Model.GridChange(csgCartesian, 0.01, pi / 36);
    Model.MouseDown(cvpXY, -0.05, 0, ckNone);
    Model.MouseMove(cvpXY, 0.037, 0.002, ckNone); // nominal (0.037, 0.002): snapped to (0.04, 0)
    EXPECT_TRUE(Near(Cups().Sauger(0)->Pos, TVektor(0.04, 0, 0.01)));
    EXPECT_TRUE(Cups().Sauger(0)->Misplaced); // 10 mm from cup 1
    EXPECT_TRUE(Cups().Sauger(1)->Misplaced);
    EXPECT_TRUE(Model.CollisionShown());
    EXPECT_EQ(Model.CupBand(1), clbMisplaced);
}

TEST_F(CupViewTest, CtrlTurnsTheFocusedCupAboutItsAxis) {
    // radial 1 of a cup set to +Z is −Y; the mouse goes from east to north of the cup.
    Model.MouseDown(cvpXY, -0.045, 0, ckCtrl);
    Model.MouseMove(cvpXY, -0.05, 0.005, ckCtrl);
    EXPECT_TRUE(Near(Cups().Sauger(0)->Radial1(), VektorPlusX));
    EXPECT_TRUE(Near(Cups().Sauger(0)->Radial2(), VektorPlusY));
    EXPECT_TRUE(Near(Cups().Sauger(0)->Pos, TVektor(-0.05, 0, 0.01)));
}

TEST_F(CupViewTest, AltTiltsOnlyOnWorkpiecesWithoutGeometry) {
    EXPECT_EQ(Model.CursorAt(cvpXZ, -0.045, 0.015, ckAlt), ccrNoMove);
    Model.MouseDown(cvpXZ, -0.045, 0.015, ckAlt);
    Model.MouseMove(cvpXZ, -0.055, 0.015, ckAlt);
    EXPECT_TRUE(Near(Cups().Sauger(0)->Axial(), VektorPlusZ));

    Doc.Workpiece.Shape = cwsMassKnown;
    EXPECT_EQ(Model.CursorAt(cvpXZ, -0.045, 0.015, ckAlt), ccrTilt);
    // Seen from the front, the mouse turns by 90° counter-clockwise about the cup
    // (from 45° to 135°): the axis turns from up to the left.
    Model.MouseDown(cvpXZ, -0.045, 0.015, ckAlt);
    Model.MouseMove(cvpXZ, -0.055, 0.015, ckAlt);
    EXPECT_TRUE(Near(Cups().Sauger(0)->Axial(), VektorMinusX));
}

TEST_F(CupViewTest, CursorAndMouseFollowTheStrategy) {
    EXPECT_EQ(Model.CursorAt(cvpXY, 0, 0.04, ckNone), ccrDefault);
    EXPECT_EQ(Model.CursorAt(cvpXY, -0.05, 0, ckNone), ccrMove);
    EXPECT_EQ(Model.CursorAt(cvpXY, -0.05, 0, ckCtrl), ccrRotate);
    Strategy(cssAtBothEnds);
    EXPECT_EQ(Model.CursorAt(cvpXY, -0.089, 0, ckNone), ccrNoMove);
    Model.MouseDown(cvpXY, -0.089, 0, ckNone);
    EXPECT_FALSE(Model.Dragging());
    EXPECT_EQ(Cups().FirstSelected(), -1);
}

// Extent of an outline along the view's horizontal (u) or vertical axis.
std::pair<double, double> Extent(const std::vector<TViewPoint>& outline, bool vertical) {
    double lo = 1e9, hi = -1e9;
    for (const TViewPoint& p : outline) {
        lo = std::min(lo, vertical ? p.V : p.U);
        hi = std::max(hi, vertical ? p.V : p.U);
    }
    return {lo, hi};
}

TEST_F(CupViewTest, ACupFigureIsItsLipNarrowingToTheHolderAlongItsAxis) {
    TSaugerType& type = Cups().CupType;
    type.RadiusLong = 0.015;
    type.RadiusShort = 0.015;
    type.Height = 0.012;
    type.HolderDiameter = 0.01;
    const TSauger& cup = *Cups().Sauger(0);
    const double x = cup.Pos.X, z = cup.Pos.Z; // on the top face, facing up
    ASSERT_NEAR(z, 0.01, 1e-12);

    // From above the lip is a circle of twelve corners that hides the rest of the body;
    // the holder points at the viewer.
    const TCupFigure top = Model.CupFigure(cvpXY, 0);
    ASSERT_EQ(top.Lip.size(), 12u);
    for (const TViewPoint& p : top.Lip) EXPECT_NEAR(std::hypot(p.U - x, p.V), 0.015, 1e-12);
    EXPECT_EQ(top.Body.size(), 12u);
    EXPECT_NEAR(Extent(top.Body, false).first, x - 0.015, 1e-12);
    EXPECT_NEAR(Extent(top.Body, false).second, x + 0.015, 1e-12);
    EXPECT_TRUE(top.HolderInFront);
    EXPECT_NEAR(Extent(top.Holder, false).second - Extent(top.Holder, false).first, 0.01, 1e-12);

    // From the front the cup stands on the face, as wide as the lip at its foot, and with
    // its holder (as wide as its diameter) reaches the cup's height, no more.
    const TCupFigure front = Model.CupFigure(cvpXZ, 0);
    const double neck = z + TCupFigure::cBodyShare * 0.012;
    EXPECT_NEAR(Extent(front.Body, true).first, z, 1e-12);
    EXPECT_NEAR(Extent(front.Body, true).second, neck, 1e-12);
    EXPECT_NEAR(Extent(front.Body, false).second - Extent(front.Body, false).first, 0.03, 1e-12);
    EXPECT_NEAR(Extent(front.Holder, true).first, neck, 1e-12);
    EXPECT_NEAR(Extent(front.Holder, true).second, z + 0.012, 1e-12);
    EXPECT_NEAR(Extent(front.Holder, false).second - Extent(front.Holder, false).first, 0.01, 1e-12);
    EXPECT_FALSE(front.HolderInFront);

    // A cup under the workpiece, seen from above, turns its holder away.
    Cups().Sauger(1)->SetAxial(VektorMinusZ);
    EXPECT_FALSE(Model.CupFigure(cvpXY, 1).HolderInFront);
    EXPECT_TRUE(Model.CupFigure(cvpXY, 2).Body.empty());
}

TEST_F(CupViewTest, AnOvalCupShowsItsLongRadiusAlongItsFirstRadialDirection) {
    Cups().CupType.RadiusLong = 0.02;
    Cups().CupType.RadiusShort = 0.008;
    TSauger& cup = *Cups().Sauger(0);
    const double x = cup.Pos.X;
    auto extents = [&] {
        const TCupFigure f = Model.CupFigure(cvpXY, 0);
        const auto u = Extent(f.Lip, false), v = Extent(f.Lip, true);
        return std::pair{u.second - u.first, v.second - v.first};
    };
    cup.SetRadial1(VektorPlusX);
    EXPECT_NEAR(extents().first, 0.04, 1e-12);
    EXPECT_NEAR(extents().second, 0.016, 1e-12);
    EXPECT_NEAR(Extent(Model.CupFigure(cvpXY, 0).Lip, false).first, x - 0.02, 1e-12);
    cup.SetRadial1(VektorPlusY);
    EXPECT_NEAR(extents().first, 0.016, 1e-12);
    EXPECT_NEAR(extents().second, 0.04, 1e-12);
}

} // namespace

// ---- the verdict over a whole motion ------------------------------------------------------

namespace {

// Accelerates upwards by 5 m/s² from 1.0 s to 1.2 s of a 2 s motion, at rest otherwise.
class TPulseMotion : public TMotionSource {
public:
    double EndTime() const override { return 2.0; }
    TMotionSample Sample(double t) const override {
        TMotionSample s;
        s.Acceleration = t >= 1.0 && t <= 1.2 ? 5.0 : 0.0;
        return s;
    }
};

} // namespace

TEST_F(SuctionCupModelTest, LoadPeaksNameTheirInstantAndTheVerdictTheWeakestCup) {
    TPulseMotion pulse;
    Model.SetMotionSource(&pulse);
    Strategy(cssOneInCentre);
    Model.SaugerSelect(0); // CUP-20: 20 N at 0.7 bar, the document's required vacuum
    ASSERT_EQ(Doc.Venturi.Vacuum, -70000.0);
    Model.RxSliderVCRChange(100);
    const TCupLoadPeaks p = Model.LoadPeaks({});
    ASSERT_EQ(p.Normal.size(), 1u);
    // The first instant of the pulse is slider step 500: Fn = (g + 5)/1.001.
    EXPECT_NEAR(p.Normal[0], (g + 5) / 1.001 / 20.0, 1e-12);
    EXPECT_DOUBLE_EQ(p.NormalTime[0], 1.0);
    EXPECT_EQ(p.Transverse[0], 0.0);
    // The slider's own instant is computed again: at rest.
    EXPECT_NEAR(Cups().Sauger(0)->Fn, g / 1.001, 1e-9);

    const THoldingVerdict v =
        JudgeHolding({p.Normal, p.NormalTime, p.Transverse, p.TransverseTime, p.Solvable}, 2.0);
    // Holding force over load: 20 · 1.001 / (g + 5) ≈ 1.352 < 2.
    EXPECT_NEAR(v.Safety, 20.0 * 1.001 / (g + 5), 1e-12);
    EXPECT_EQ(v.Cup, 0);
    EXPECT_FALSE(v.Transverse);
    EXPECT_DOUBLE_EQ(v.Time, 1.0);
    EXPECT_FALSE(v.Holds());
    // Without the pulse the weight alone leaves 20 · 1.001 / g ≈ 2.04: it holds at 2.
    Model.SetMotionSource(nullptr);
    const TCupLoadPeaks rest = Model.LoadPeaks({});
    const THoldingVerdict r =
        JudgeHolding({rest.Normal, rest.NormalTime, rest.Transverse, rest.TransverseTime, rest.Solvable}, 2.0);
    EXPECT_NEAR(r.Safety, 20.0 * 1.001 / g, 1e-12);
    EXPECT_TRUE(r.Holds());
    EXPECT_FALSE(JudgeHolding({rest.Normal, rest.NormalTime, rest.Transverse, rest.TransverseTime, true}, 2.1).Holds());
}
