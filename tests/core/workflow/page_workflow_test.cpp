// The page workflow: the disclaimer, the navigator's reach and selectable pages, the checks
// on a forward move, the work on entering a page and the guards of the input handlers.

#include "core/document/my_project.h"
#include "core/workflow/page_workflow.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

class TFakeHooks : public TPageHooks {
public:
    std::map<int, TPageCheckFailure> Failures;
    std::vector<int> Validated;
    std::vector<int> Entered;
    double Lever = 0.0;

    TPageCheckResult Validate(int page) override {
        Validated.push_back(page);
        if (auto it = Failures.find(page); it != Failures.end()) return it->second;
        return std::nullopt;
    }
    double ShockAbsorberLever() const override { return Lever; }
    void Enter(int page) override { Entered.push_back(page); }
};

const TMainCommand kWaitingCommands[] = {cmcUnits,  cmcUndo,       cmcCut,      cmcCopy,   cmcPaste,
                                         cmcPrint,  cmcRecentFile, cmcNew,      cmcOpen,   cmcSave,
                                         cmcSaveAs, cmcProject,    cmcCustomer, cmcRemarks};
const TMainCommand kFreeCommands[] = {cmcLanguage, cmcHelp, cmcInfo, cmcWindowSize, cmcExit};

struct TPageWorkflowTest : ::testing::Test {
    TMyProject Doc;
    TFakeHooks Hooks;
    TPageWorkflow Flow{Doc, Hooks};
    std::vector<TConnection> Follow;
    std::vector<TPageCheckFailure> Messages;

    TPageWorkflowTest() {
        Follow.push_back(Flow.OnInvalidValue.Connect([this](TPageWorkflow&, const TPageCheckFailure& f) {
            Messages.push_back(f);
        }));
    }

    // Accepts the disclaimer and fills in what every page needs to be left forward.
    void Start() {
        Flow.ButtonAcceptClick();
        Doc.Workpiece.Shape = cwsBar;
        Doc.Workpiece.LengthX = 0.3;
        Doc.Workpiece.LengthY = 0.2;
        Doc.Workpiece.LengthZ = 0.01;
        Doc.Friction = 0.5;
        Doc.Venturi.Vacuum = -60000.0;
        Doc.Drive.Type = cdtPneumaticLinear;
        Doc.Moving.LinearTravel = 0.2;
    }

    void WalkTo(int page) {
        while (Flow.CurrentPage() < page)
            ASSERT_TRUE(Flow.Next()) << "stuck on page " << Flow.CurrentPage();
        ASSERT_EQ(Flow.CurrentPage(), page);
    }

    std::vector<int> SelectablePages() const {
        std::vector<int> pages;
        for (int p = 0; p < cMainPageCount; ++p)
            if (Flow.Selectable(p)) pages.push_back(p);
        return pages;
    }
};

// --- disclaimer ---

TEST_F(TPageWorkflowTest, StartsOnTheDisclaimerWithEverythingInert) {
    EXPECT_EQ(Flow.CurrentPage(), cmpDisclaimer);
    EXPECT_TRUE(Flow.DisclaimerPending());
    EXPECT_TRUE(Doc.DisclaimerPending);
    EXPECT_TRUE(Flow.InputBlocked());
    for (TMainCommand c : kWaitingCommands) EXPECT_FALSE(Flow.CommandEnabled(c)) << int(c);
    for (TMainCommand c : kFreeCommands) EXPECT_TRUE(Flow.CommandEnabled(c)) << int(c);
    EXPECT_FALSE(Flow.NavigatorEnabled());
    EXPECT_TRUE(SelectablePages().empty());
    EXPECT_FALSE(Flow.Navigate(cmpStartPage));
    EXPECT_FALSE(Flow.Next());
    EXPECT_FALSE(Flow.Previous());
    EXPECT_EQ(Flow.OpenRecentFile("/nonexistent/a.vac"), std::nullopt);
    EXPECT_EQ(Flow.CurrentPage(), cmpDisclaimer);
    EXPECT_TRUE(Hooks.Entered.empty());
    // The project has not been made yet.
    EXPECT_TRUE(Doc.Project().Busy());
}

TEST_F(TPageWorkflowTest, AcceptStartsANewProjectOnTheStartPage) {
    int accepted = 0;
    bool busyWhenAccepted = true;
    Follow.push_back(Flow.OnAccepted.Connect([&](TPageWorkflow& w) {
        ++accepted;
        busyWhenAccepted = w.Document().Project().Busy();
    }));
    Flow.ButtonAcceptClick();
    EXPECT_FALSE(Flow.DisclaimerPending());
    EXPECT_FALSE(Doc.DisclaimerPending);
    for (TMainCommand c : kWaitingCommands) EXPECT_TRUE(Flow.CommandEnabled(c)) << int(c);
    for (TMainCommand c : kFreeCommands) EXPECT_TRUE(Flow.CommandEnabled(c)) << int(c);
    EXPECT_TRUE(Flow.NavigatorEnabled());
    EXPECT_FALSE(Flow.InputBlocked());
    EXPECT_EQ(Flow.CurrentPage(), cmpStartPage);
    EXPECT_EQ(Flow.HighestReached(), cmpStartPage);
    EXPECT_EQ(Hooks.Entered, std::vector<int>{cmpStartPage});
    EXPECT_EQ(accepted, 1);
    EXPECT_FALSE(busyWhenAccepted);
    // The project's defaults were applied.
    EXPECT_DOUBLE_EQ(Doc.Friction, 0.5);
    EXPECT_DOUBLE_EQ(Doc.Tube.Length, 0.25);
    EXPECT_EQ(SelectablePages(), (std::vector<int>{0, 1}));
}

TEST_F(TPageWorkflowTest, AcceptingTwiceDoesNothingMore) {
    int accepted = 0;
    Follow.push_back(Flow.OnAccepted.Connect([&](TPageWorkflow&) { ++accepted; }));
    Start();
    WalkTo(cmpSuctionCup);
    Flow.ButtonAcceptClick();
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(Flow.CurrentPage(), cmpSuctionCup);
    EXPECT_DOUBLE_EQ(Doc.Venturi.Vacuum, -60000.0);
}

TEST_F(TPageWorkflowTest, DeclineReportsAndLeavesTheDisclaimerPending) {
    int declined = 0;
    Follow.push_back(Flow.OnDecline.Connect([&](TPageWorkflow&) { ++declined; }));
    Flow.ButtonDeclineClick();
    EXPECT_EQ(declined, 1);
    EXPECT_TRUE(Flow.DisclaimerPending());
    EXPECT_TRUE(Doc.Project().Busy());
}

// --- reach and selectable pages ---

TEST_F(TPageWorkflowTest, WalkingForwardRaisesReachOnePageAtATime) {
    Start();
    WalkTo(cmpPositioning);
    EXPECT_EQ(Flow.HighestReached(), cmpPositioning);
    EXPECT_EQ(SelectablePages(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(Flow.Navigate(cmpSuctionCupLoad));
    EXPECT_EQ(Flow.CurrentPage(), cmpPositioning);
    EXPECT_TRUE(Hooks.Validated.empty());
}

TEST_F(TPageWorkflowTest, AfterReachingThePartsListLaterPagesAreDirect) {
    Start();
    WalkTo(cmpPartsList);
    EXPECT_EQ(Flow.HighestReached(), cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpForcesAndMoments));
    EXPECT_EQ(Flow.HighestReached(), cmpPartsList);
    for (int p = cmpMotion; p <= cmpPartsList; ++p) EXPECT_TRUE(Flow.Selectable(p)) << p;
    EXPECT_FALSE(Flow.Selectable(cmpDisclaimer));
    EXPECT_TRUE(Flow.Navigate(cmpPartsList));
    EXPECT_EQ(Flow.CurrentPage(), cmpPartsList);
}

TEST_F(TPageWorkflowTest, GoingBackToTheTubePageResetsReach) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpTube));
    EXPECT_EQ(Flow.HighestReached(), cmpTube);
    EXPECT_EQ(SelectablePages(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(TPageWorkflowTest, GoingBackToAPageWithoutGridKeepsReach) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpPositioning));
    EXPECT_EQ(Flow.HighestReached(), cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpMotion));
    EXPECT_EQ(Flow.CurrentPage(), cmpMotion);
}

TEST_F(TPageWorkflowTest, ResetReachMakesTheCurrentPageTheHighest) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpMotion));
    Flow.ResetReach();
    EXPECT_EQ(Flow.HighestReached(), cmpMotion);
    EXPECT_FALSE(Flow.Selectable(cmpForcesAndMoments));
    EXPECT_TRUE(Flow.Selectable(cmpDrive));
    EXPECT_TRUE(Flow.Selectable(cmpStartPage));
}

TEST_F(TPageWorkflowTest, ProductRowChoiceResetsReach) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpMotion));
    Flow.ProductRowChosen();
    EXPECT_EQ(Flow.HighestReached(), cmpMotion);
}

TEST_F(TPageWorkflowTest, DisabledEntriesAreSkipped) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpMotion));
    Flow.SetPageEnabled(cmpDrive, false);
    EXPECT_FALSE(Flow.Selectable(cmpDrive));
    EXPECT_FALSE(Flow.Navigate(cmpDrive));
    EXPECT_EQ(Flow.NextPage(), cmpForcesAndMoments);
    Flow.SetPageEnabled(cmpVenturi, false);
    EXPECT_EQ(Flow.PreviousPage(), cmpTube);
    ASSERT_TRUE(Flow.Previous());
    EXPECT_EQ(Flow.CurrentPage(), cmpTube);
    // Reach is now the tube page and the next one is disabled.
    EXPECT_EQ(Flow.NextPage(), -1);
    EXPECT_FALSE(Flow.Next());
    Flow.SetPageEnabled(cmpVenturi, true);
    EXPECT_TRUE(Flow.PageEnabled(cmpVenturi));
    EXPECT_EQ(Flow.NextPage(), cmpVenturi);
}

TEST_F(TPageWorkflowTest, StepButtonsAtTheEnds) {
    Start();
    EXPECT_EQ(Flow.PreviousPage(), -1);
    EXPECT_FALSE(Flow.Previous());
    WalkTo(cmpPartsList);
    EXPECT_EQ(Flow.NextPage(), -1);
    EXPECT_FALSE(Flow.Next());
    EXPECT_TRUE(Flow.Previous());
    EXPECT_EQ(Flow.CurrentPage(), cmpSuctionCupLoad);
}

// --- checks on leaving a page ---

TEST_F(TPageWorkflowTest, ForwardMoveFromAnInvalidWorkpieceShowsTheFirstFailureOnly) {
    Start();
    WalkTo(cmpWorkpiece);
    Doc.Workpiece.LengthZ = 0.0;
    Doc.Friction = 0.0;
    EXPECT_FALSE(Flow.Next());
    EXPECT_EQ(Flow.CurrentPage(), cmpWorkpiece);
    EXPECT_EQ(Flow.HighestReached(), cmpWorkpiece);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], (TPageCheckFailure{"~Height(Z)", "SpinEditHoehe"}));
    EXPECT_EQ(Flow.ValidatePage(cmpWorkpiece), Messages[0]);
    // Staying on the page or going back is no forward move.
    EXPECT_TRUE(Flow.OrsikNavigate1_Select(cmpWorkpiece));
    EXPECT_TRUE(Flow.OrsikNavigate1_Select(cmpStartPage));
    EXPECT_FALSE(Flow.OrsikNavigate1_Select(cmpPositioning));
    EXPECT_EQ(Messages.size(), 2u);
}

TEST_F(TPageWorkflowTest, BackwardMovesNeverValidate) {
    Start();
    WalkTo(cmpVenturi);
    Doc.Venturi.Vacuum = 0.0;
    Hooks.Failures[cmpVenturi] = {"~OrderCode", std::string(cpcVenturiGrid)};
    Hooks.Validated.clear();
    EXPECT_TRUE(Flow.Previous());
    EXPECT_EQ(Flow.CurrentPage(), cmpTube);
    EXPECT_TRUE(Hooks.Validated.empty());
    EXPECT_TRUE(Messages.empty());
}

TEST_F(TPageWorkflowTest, ProductPagesAskTheirModels) {
    Start();
    WalkTo(cmpSuctionCup);
    Hooks.Failures[cmpSuctionCup] = {"~ok", std::string(cpcSuctionCupGrid)};
    Hooks.Validated.clear();
    EXPECT_FALSE(Flow.Next());
    EXPECT_EQ(Hooks.Validated, std::vector<int>{cmpSuctionCup});
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], (TPageCheckFailure{"~ok", "StringGridSuctionCups"}));
    Hooks.Failures.clear();
    EXPECT_TRUE(Flow.Next());
    EXPECT_EQ(Flow.CurrentPage(), cmpTube);
}

TEST_F(TPageWorkflowTest, VenturiPageChecksTheChoiceBeforeTheVacuum) {
    Start();
    WalkTo(cmpVenturi);
    Doc.Venturi.Vacuum = 0.0;
    Hooks.Failures[cmpVenturi] = {"~OrderCode", std::string(cpcVenturiGrid)};
    EXPECT_FALSE(Flow.Next());
    Hooks.Failures.clear();
    EXPECT_FALSE(Flow.Next());
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[0], (TPageCheckFailure{"~OrderCode", "StringGridVenturi"}));
    EXPECT_EQ(Messages[1], (TPageCheckFailure{"~Vacuum", "SpinEditVakuumSoll"}));
    Doc.Venturi.Vacuum = -50000.0;
    EXPECT_TRUE(Flow.Next());
    EXPECT_EQ(Flow.CurrentPage(), cmpMotion);
}

TEST_F(TPageWorkflowTest, MotionAndDrivePagesUseTheirMotionType) {
    Start();
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Drive.PneumaticCircular.UseQdr = true;
    Doc.Moving.CircularAngle = 0.0;
    Doc.Moving.CircularLever = 0.25;
    WalkTo(cmpMotion);
    EXPECT_FALSE(Flow.Next());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Message, "~RotationAngle");
    Doc.Moving.CircularAngle = 3.14;
    ASSERT_TRUE(Flow.Next());
    EXPECT_FALSE(Flow.Next());
    ASSERT_EQ(Messages.size(), 2u);
    EXPECT_EQ(Messages[1], (TPageCheckFailure{"~ShockAbsorberLever", "SpinEditQdrRadius"}));
    Hooks.Lever = 0.04;
    EXPECT_TRUE(Flow.Next());
    EXPECT_EQ(Flow.CurrentPage(), cmpForcesAndMoments);
}

TEST_F(TPageWorkflowTest, JumpingAheadValidatesOnlyTheCurrentPage) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpMotion));
    // An invalid drive page does not stop a jump from the motion page.
    Doc.Drive.Type = cdtPneumaticCircular;
    Doc.Drive.PneumaticCircular.UseQdr = true;
    Doc.Moving.CircularAngle = 1.0;
    Doc.Moving.CircularLever = 0.3;
    EXPECT_TRUE(Flow.Navigate(cmpPartsList));
    EXPECT_TRUE(Messages.empty());
}

// --- entering a page ---

TEST_F(TPageWorkflowTest, EnteringRunsThePageWorkThenReports) {
    std::vector<int> changed;
    Follow.push_back(Flow.OnPageChanged.Connect([&](TPageWorkflow& w) {
        changed.push_back(w.CurrentPage());
        // The page's work has already run.
        EXPECT_EQ(Hooks.Entered.back(), w.CurrentPage());
    }));
    Start();
    WalkTo(cmpTube);
    EXPECT_EQ(Hooks.Entered, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(changed, (std::vector<int>{0, 1, 2, 3, 4}));
    // Re-selecting the current page is no move.
    EXPECT_TRUE(Flow.Navigate(cmpTube));
    EXPECT_EQ(changed.size(), 5u);
}

TEST_F(TPageWorkflowTest, PageNumberHelpAndAnimations) {
    EXPECT_EQ(Flow.PageNumber(), 0);
    Start();
    const int topics[] = {0, 2, 6, 8, 3, 4, 5, 9, 10};
    for (int p = cmpStartPage; p <= cmpPartsList; ++p) {
        WalkTo(p);
        EXPECT_EQ(Flow.PageNumber(), p < cmpPartsList ? p + 1 : 0) << p;
        // The pages after the forces have no topic of their own and open the contents.
        EXPECT_EQ(Flow.HelpTopic(), p <= cmpForcesAndMoments ? topics[p] : cHelpContents) << p;
        EXPECT_EQ(Flow.MotionAnimationRuns(), p == cmpMotion) << p;
        EXPECT_EQ(Flow.StartAnimationRuns(), p == cmpStartPage) << p;
    }
}

TEST(TMainPageInfoTest, CaptionsAndOrder) {
    EXPECT_EQ(MainPageInfo(cmpVenturi).NavigatorCaption, "~VacuumSuctionNozzle");
    EXPECT_EQ(MainPageInfo(cmpVenturi).PageCaption, "~VenturiNozzle");
    EXPECT_EQ(MainPageInfo(cmpSuctionCupLoad).PageCaption, "~SuctionCupLoad");
    EXPECT_TRUE(MainPageInfo(cmpDisclaimer).NavigatorCaption.empty());
    EXPECT_EQ(MainPageInfo(cmpDisclaimer).PageCaption, "~Disclaimer");
    for (int p = 0; p <= cLastNavigatorPage; ++p)
        EXPECT_FALSE(MainPageInfo(p).NavigatorCaption.empty()) << p;
    EXPECT_TRUE(ValidMainPage(cmpDisclaimer));
    EXPECT_FALSE(ValidMainPage(cMainPageCount));
    EXPECT_FALSE(ValidMainPage(-1));
}

TEST(TPageWorkflowRules, TotalForceOnlyForVerticalLinearMotion) {
    TMyProject doc;
    doc.Drive.Type = cdtNCLinear;
    doc.Moving.LinearDirection = cldVerticalDown;
    EXPECT_TRUE(TPageWorkflow::TotalForceVisible(doc));
    doc.Moving.LinearDirection = cldHorizontalY;
    EXPECT_FALSE(TPageWorkflow::TotalForceVisible(doc));
    doc.Moving.LinearDirection = cldVerticalUp;
    doc.Drive.Type = cdtPneumaticCircular;
    EXPECT_FALSE(TPageWorkflow::TotalForceVisible(doc));
    EXPECT_FALSE(TPageWorkflow::HorizontalDirectionsEnabled(2));
    EXPECT_TRUE(TPageWorkflow::HorizontalDirectionsEnabled(3));
}

// --- field validity ---

TEST_F(TPageWorkflowTest, InvalidFieldsDisableTheNavigatorOnTheirPage) {
    Start();
    WalkTo(cmpWorkpiece);
    Flow.WorkpieceSizeChangeValid(false);
    EXPECT_FALSE(Flow.NavigatorEnabled());
    EXPECT_TRUE(SelectablePages().empty());
    EXPECT_FALSE(Flow.Next());
    EXPECT_FALSE(Flow.Previous());
    Flow.WorkpieceSizeChangeValid(true);
    EXPECT_TRUE(Flow.Next());
    // Motion fields that are invalid count on the motion page only.
    Flow.MotionChangeValid(false);
    EXPECT_FALSE(Flow.MotionTabsEnabled());
    EXPECT_TRUE(Flow.NavigatorEnabled());
    WalkTo(cmpMotion);
    EXPECT_FALSE(Flow.NavigatorEnabled());
    Flow.MotionChangeValid(true);
    EXPECT_TRUE(Flow.MotionTabsEnabled());
    Flow.VenturiChangeValid(false);
    EXPECT_TRUE(Flow.Previous());
    EXPECT_FALSE(Flow.NavigatorEnabled());
}

// --- product query changes, recent files and the busy guard ---

TEST_F(TPageWorkflowTest, TubeQueryChangeResetsReach) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpTube));
    Flow.StrQueryTubeChange();
    for (int p = cmpMotion; p <= cmpPartsList; ++p) EXPECT_FALSE(Flow.Selectable(p)) << p;
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpForcesAndMoments));
    Flow.StrQueryTubeChange();
    EXPECT_EQ(Flow.HighestReached(), cmpForcesAndMoments);
    EXPECT_FALSE(Flow.Selectable(cmpPartsList));
}

TEST_F(TPageWorkflowTest, VenturiQueryChangeResetsReachUnlessLoading) {
    Start();
    WalkTo(cmpPartsList);
    ASSERT_TRUE(Flow.Navigate(cmpForcesAndMoments));
    // A new project shows its values while the store is busy; the query changes then.
    auto show = Doc.Project().OnUpdateScreen;
    bool wasBlocked = false, navigated = true;
    Doc.Project().OnUpdateScreen = [&](TProject& p, const std::string& names) {
        if (show) show(p, names);
        wasBlocked = Flow.InputBlocked();
        navigated = Flow.Navigate(cmpStartPage);
        Flow.StrQueryVenturiChange();
    };
    Doc.Project().New();
    EXPECT_TRUE(wasBlocked);
    EXPECT_FALSE(navigated);
    EXPECT_EQ(Flow.CurrentPage(), cmpForcesAndMoments);
    EXPECT_EQ(Flow.HighestReached(), cmpPartsList);
    Flow.StrQueryVenturiChange();
    EXPECT_EQ(Flow.HighestReached(), cmpForcesAndMoments);
}

TEST_F(TPageWorkflowTest, OpeningARecentFileReturnsToTheWorkpieceWithReachReset) {
    Start();
    WalkTo(cmpPartsList);
    const auto result = Flow.OpenRecentFile("/nonexistent/folder/project.vac");
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(result->Ok());
    EXPECT_EQ(Flow.CurrentPage(), cmpWorkpiece);
    EXPECT_EQ(Flow.HighestReached(), cmpWorkpiece);
    EXPECT_EQ(SelectablePages(), (std::vector<int>{0, 1, 2}));
}

TEST_F(TPageWorkflowTest, OpeningFromTheStartPageEntersTheWorkpiece) {
    Start();
    const auto result = Flow.OpenRecentFile("/nonexistent/folder/project.vac");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(Flow.CurrentPage(), cmpWorkpiece);
    EXPECT_EQ(Hooks.Entered, (std::vector<int>{cmpStartPage, cmpWorkpiece}));
}

} // namespace

