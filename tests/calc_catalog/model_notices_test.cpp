#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/calc/cup_layout.h"
#include "core/workflow/model_aspects.h"
#include "core/workflow/product_filters.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"

namespace {

// A view that follows the application model and keeps every notice it was given.
struct TRecordingView {
    explicit TRecordingView(TVacuumApplication& app)
        : Connection(app.Changed.Connect([this](TAspects a) { Notices.push_back(a); })) {}
    std::vector<TAspects> Notices;
    TConnection Connection;
};

::testing::AssertionResult OneNotice(const TRecordingView& view, TAspects expected) {
    if (view.Notices.size() != 1) {
        auto failure = ::testing::AssertionFailure() << view.Notices.size() << " notices:";
        for (const TAspects a : view.Notices) failure << " [" << AspectNames(a) << "]";
        return failure;
    }
    if (view.Notices[0] != expected)
        return ::testing::AssertionFailure() << "named [" << AspectNames(view.Notices[0]) << "], expected ["
                                             << AspectNames(expected) << "]";
    return ::testing::AssertionSuccess();
}

const std::string kExample = std::string(VACUUM_SOURCE_DIR) + "/examples/steel_sheet_linear.vac";

// The application after "~Accept" with the steel sheet loaded: a bar whose mass follows
// from its density, moved by a pneumatic linear drive.
struct NoticesTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(App.Active()) << App.LastError();
        Flow.ButtonAcceptClick();
        ASSERT_FALSE(App.Document.DisclaimerPending);
        const auto loaded = Flow.OpenRecentFile(kExample);
        ASSERT_TRUE(loaded && loaded->Ok());
        ASSERT_EQ(App.Document.Workpiece.Shape, cwsBar);
        ASSERT_FALSE(App.Document.Workpiece.MassKnown);
        ASSERT_GT(App.Document.Workpiece.LengthX, 0.0);
        // Walked to the parts list, as a user would, every derived value is current.
        for (int page = cmpPositioning; page <= cmpPartsList; ++page) ASSERT_TRUE(Flow.Select(page)) << page;
        // The first change marks the project modified; the notices below come after it.
        ASSERT_TRUE(App.Workpiece.SetFriction(0.4));
        ASSERT_TRUE(App.Document.Project().Modified());
    }
    TVacuumApplication App{CatalogueFile()};
    TPageWorkflow& Flow = App.Workflow;
};

} // namespace

TEST(ModelAspects, SetsCombineAndNameTheirMembers) {
    const TAspects s = caWorkpiece | caCupLoads;
    EXPECT_TRUE(s.Has(caWorkpiece));
    EXPECT_TRUE(s.Has(caCupLoads));
    EXPECT_FALSE(s.Has(caArrangement));
    EXPECT_TRUE(s.Intersects({caArrangement, caCupLoads}));
    EXPECT_FALSE(s.Intersects(caLanguage));
    EXPECT_EQ(s & TAspects(caCupLoads), TAspects(caCupLoads));
    EXPECT_TRUE(TAspects().Empty());
    EXPECT_EQ(AspectNames(s), "workpiece,cup loads");
    // Thirteen aspects, every one of them named once.
    EXPECT_EQ(TAspects::All().Bits(), (1u << 13) - 1u);
    EXPECT_EQ(AspectNames(TAspects::All()),
              "workpiece,arrangement,suction cup,tube,vacuum generator,motion,drive,forces,cup loads,parts "
              "list,document,language,navigator");
}

// Typing a length runs the whole chain: the workpiece (volume, mass, inertia), the
// arrangement laid out again on the new surface, the moving mass, the drive sizing, the
// forces and the cup loads, and the suction cup page, whose column of cups suitable for the
// workpiece follows its size. Nothing of the tube and generator, the parts list, the
// document's name or modified state, the language or the navigator changes.
TEST_F(NoticesTest, TypingALengthGivesOneNoticeNamingTheWholeChain) {
    TRecordingView view(App);
    const double mass = App.Document.Workpiece.Mass;
    ASSERT_TRUE(App.Input([&] { return App.Workpiece.SetLengthX(2.0 * App.Document.Workpiece.LengthX); }));
    ASSERT_NE(App.Document.Workpiece.Mass, mass) << "the mass follows the volume";
    const TAspects chain = {caWorkpiece, caArrangement, caSuctionCup, caMotion, caDrive, caForces, caCupLoads};
    EXPECT_TRUE(OneNotice(view, chain));

    view.Notices.clear();
    App.Input([&] { App.Workpiece.SetLengthY(1.5 * App.Document.Workpiece.LengthY); });
    EXPECT_TRUE(OneNotice(view, chain));
}

// Opening another project names the document (its name), what the project brought and the
// navigator (page 1, reach reset), in one notice.
TEST_F(NoticesTest, OpeningAProjectNamesTheDocumentAndTheNavigator) {
    TRecordingView view(App);
    const auto loaded =
        App.Input([&] { return Flow.OpenRecentFile(std::string(VACUUM_SOURCE_DIR) + "/examples/glass_plate_rotary.vac"); });
    ASSERT_TRUE(loaded && loaded->Ok());
    ASSERT_EQ(view.Notices.size(), 1u);
    for (const TAspect a : {caDocument, caWorkpiece, caArrangement, caTube, caVacuumGenerator, caMotion, caDrive,
                            caNavigator})
        EXPECT_TRUE(view.Notices[0].Has(a)) << AspectNames(a);
    EXPECT_FALSE(view.Notices[0].Has(caLanguage));
}

TEST_F(NoticesTest, ARefusedInputGivesNoNotice) {
    TRecordingView view(App);
    EXPECT_FALSE(App.Input([&] { return App.Workpiece.SetLengthX(-1.0); }));
    // An equal value is taken and changes nothing.
    EXPECT_TRUE(App.Input([&] { return App.Workpiece.SetLengthX(App.Document.Workpiece.LengthX); }));
    EXPECT_TRUE(view.Notices.empty()) << AspectNames(view.Notices.front());
}

// A heavier holder is more moving mass: the drive is sized again, then the forces and the
// cup loads; the workpiece and the cups' places stay.
TEST_F(NoticesTest, AHolderMassGoesFromTheMotionToTheCupLoads) {
    TRecordingView view(App);
    App.Input([&] { App.Motion.SpinEditMasseHalterungChange(App.Document.Moving.LinearHolderMass + 1.0); });
    EXPECT_TRUE(OneNotice(view, {caMotion, caDrive, caForces, caCupLoads}));
}

// A language change names the language, and the parts list once the disclaimer is
// accepted (it is assembled again in the new language); before that the language only.
TEST(Notices, ALanguageChangeNamesTheLanguageAndThePartsList) {
    TVacuumApplication app(CatalogueFile());
    ASSERT_TRUE(app.Active());
    TPageWorkflow& flow = app.Workflow;
    ASSERT_TRUE(app.SetLanguage("en"));
    TRecordingView before(app);
    ASSERT_TRUE(app.SetLanguage("de"));
    EXPECT_TRUE(OneNotice(before, caLanguage));

    flow.ButtonAcceptClick();
    TRecordingView after(app);
    ASSERT_TRUE(app.SetLanguage("fr"));
    EXPECT_TRUE(OneNotice(after, caLanguage | caPartsList));
    // An unknown language changes nothing.
    after.Notices.clear();
    EXPECT_FALSE(app.SetLanguage("xx"));
    EXPECT_TRUE(after.Notices.empty());
}

// Entering the workpiece page refreshes that page: the navigator and the workpiece, and
// nothing is recomputed further down the chain.
TEST_F(NoticesTest, EnteringTheWorkpiecePageNamesTheNavigatorAndTheWorkpiece) {
    ASSERT_TRUE(Flow.Select(cmpStartPage));
    TRecordingView view(App);
    ASSERT_TRUE(App.Input([&] { return Flow.Select(cmpWorkpiece); }));
    EXPECT_TRUE(OneNotice(view, caNavigator | caWorkpiece));
    // Without a scope of its own the move is still one notice: entering is one.
    view.Notices.clear();
    ASSERT_TRUE(Flow.Select(cmpStartPage));
    ASSERT_TRUE(Flow.Select(cmpWorkpiece));
    ASSERT_EQ(view.Notices.size(), 2u);
    EXPECT_TRUE(view.Notices[1].Has(caNavigator));
}

// Choosing a tube of another inner diameter: the tube, the generator page (the evacuated
// volume grows or shrinks with the tube's cross-section) and the navigator, whose later
// pages must be walked again.
TEST_F(NoticesTest, ChoosingATubeNamesTheTubeTheGeneratorAndTheNavigator) {
    const TStringQuery& q = App.TubeQuery;
    const int col = q.ColByName("Diameter");
    ASSERT_GE(col, 0);
    const double current = App.Tube.TubeDiameter();
    int other = -1;
    for (int r = 0; r < q.Rows() && other < 0; ++r)
        if (q.AsFloat(r, col) > 0.0 && q.AsFloat(r, col) != current) other = r;
    ASSERT_GE(other, 0) << "the catalogue offers one tube diameter only";
    TRecordingView view(App);
    App.Input([&] { App.Tube.TubeSelect(other); });
    EXPECT_TRUE(OneNotice(view, {caTube, caVacuumGenerator, caNavigator}));
}

TEST_F(NoticesTest, TwoViewsFollowAtOnce) {
    TRecordingView page(App), chart(App);
    App.Input([&] { App.Workpiece.SetLengthZ(2.0 * App.Document.Workpiece.LengthZ); });
    ASSERT_EQ(page.Notices.size(), 1u);
    ASSERT_EQ(chart.Notices.size(), 1u);
    EXPECT_EQ(page.Notices[0], chart.Notices[0]);
    EXPECT_TRUE(page.Notices[0].Has(caWorkpiece));
}

// Nested scopes and marks add to the notice of the outermost one.
TEST_F(NoticesTest, NestedActionsMakeOneNotice) {
    TRecordingView view(App);
    {
        TVacuumApplication::TInputScope outer(App);
        App.Input([&] { App.Workpiece.SetLengthX(2.0 * App.Document.Workpiece.LengthX); });
        App.Mark(caNavigator);
        App.Input([&] { App.Motion.SpinEditMasseHalterungChange(App.Document.Moving.LinearHolderMass + 1.0); });
        EXPECT_TRUE(view.Notices.empty()) << "told before the action ended";
    }
    EXPECT_TRUE(OneNotice(
        view, {caWorkpiece, caArrangement, caSuctionCup, caMotion, caDrive, caForces, caCupLoads, caNavigator}));
    // A mark outside any action is a notice of its own.
    view.Notices.clear();
    App.Mark(caNavigator);
    EXPECT_TRUE(OneNotice(view, caNavigator));
}

TEST_F(NoticesTest, AViewDestroyedDuringANoticeIsNeverCalled) {
    auto first = std::make_unique<TRecordingView>(App);
    // The closer shuts the view connected after it while the notice is going round.
    std::unique_ptr<TConnection> second;
    int closerCalls = 0, secondCalls = 0;
    TConnection closer = App.Changed.Connect([&](TAspects) {
        ++closerCalls;
        second.reset();
    });
    second = std::make_unique<TConnection>(App.Changed.Connect([&](TAspects) { ++secondCalls; }));
    TRecordingView third(App);
    App.Mark(caNavigator);
    EXPECT_EQ(closerCalls, 1);
    EXPECT_EQ(secondCalls, 0);
    EXPECT_EQ(first->Notices.size(), 1u);
    EXPECT_EQ(third.Notices.size(), 1u) << "the views after the closed one are still told";

    // A view that went away before the action is not called either; the others are.
    first.reset();
    closer.Disconnect();
    App.Input([&] { App.Workpiece.SetLengthX(2.0 * App.Document.Workpiece.LengthX); });
    EXPECT_EQ(closerCalls, 1);
    EXPECT_EQ(third.Notices.size(), 2u);
    EXPECT_EQ(App.Changed.Count(), 1u);
}

// A slot that starts an action of its own is told of it afterwards, in a notice of its own.
TEST_F(NoticesTest, AnActionStartedByASlotNotifiesOnItsOwn) {
    std::vector<TAspects> seen;
    TConnection c = App.Changed.Connect([&](TAspects a) {
        seen.push_back(a);
        if (a.Has(caNavigator) && !a.Has(caWorkpiece))
            App.Input([&] { App.Workpiece.SetLengthX(2.0 * App.Document.Workpiece.LengthX); });
    });
    App.Mark(caNavigator);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], TAspects(caNavigator));
    EXPECT_TRUE(seen[1].Has(caWorkpiece));
    EXPECT_FALSE(seen[1].Has(caNavigator));
}

// A window that follows a model event of its own does not take it from the chain: the chain
// is connected first, so the follower sees the results it started already recomputed.
TEST_F(NoticesTest, AFollowerOfAModelEventLeavesTheChainWhole) {
    const double fzBefore = App.Forces.Extremes().Fz;
    double fzSeen = 0.0;
    int sizeCalls = 0;
    TConnection mass = App.Workpiece.OnMassChange.Connect([&](TWorkpieceModel&) { fzSeen = App.Forces.Extremes().Fz; });
    TConnection size = App.Workpiece.OnSizeChange.Connect([&](TWorkpieceModel&) { ++sizeCalls; });
    TRecordingView view(App);
    // A thicker sheet is heavier, so the gripper carries more weight.
    App.Input([&] { App.Workpiece.SetLengthZ(2.0 * App.Document.Workpiece.LengthZ); });
    EXPECT_EQ(sizeCalls, 1);
    EXPECT_GT(App.Forces.Extremes().Fz, fzBefore);
    EXPECT_EQ(fzSeen, App.Forces.Extremes().Fz) << "told before the chain had run";
    EXPECT_TRUE(OneNotice(view, {caWorkpiece, caArrangement, caMotion, caDrive, caForces, caCupLoads}));
}

// The application owns the page workflow: a product filter changed while an earlier page is
// shown makes the later pages be walked again, with no window in between.
TEST_F(NoticesTest, AProductFilterChangeResetsTheReachWithoutAWindow) {
    ASSERT_EQ(Flow.HighestReached(), cmpPartsList);
    ASSERT_TRUE(App.Input([&] { return Flow.Select(cmpWorkpiece); }));
    ASSERT_EQ(Flow.HighestReached(), cmpPartsList) << "a backward move keeps the reach";
    ASSERT_TRUE(Flow.Selectable(cmpPartsList));
    const int allTubes = App.TubeQuery.Rows();
    TRecordingView view(App);
    App.Input([&] {
        App.Document.Tube.SelectionColor = 3; // blue tubes only
        ApplyTubeFilters(App.Document.Tube, App.TubeQuery);
    });
    ASSERT_LT(App.TubeQuery.Rows(), allTubes) << "the filter took";
    EXPECT_EQ(Flow.HighestReached(), cmpWorkpiece);
    EXPECT_TRUE(Flow.Selectable(cmpPositioning));
    EXPECT_FALSE(Flow.Selectable(cmpSuctionCup));
    ASSERT_EQ(view.Notices.size(), 1u);
    EXPECT_TRUE(view.Notices[0].Has(caTube));
    EXPECT_TRUE(view.Notices[0].Has(caNavigator));
}

// A new strategy on the positioning page lays the cups out again; the pages after it must
// be walked again, and the navigator is part of the same notice.
TEST_F(NoticesTest, AStrategyChangeResetsTheReachInTheSameNotice) {
    ASSERT_TRUE(App.Input([&] { return Flow.Select(cmpPositioning); }));
    ASSERT_EQ(Flow.HighestReached(), cmpPartsList);
    TStrategySettings s = App.Cups.StrategySettings();
    s.Strategy = cssCorners;
    s.Count1 = s.Count2 = 2;
    TRecordingView view(App);
    App.Input([&] { App.Cups.StrategieChange(s); });
    EXPECT_EQ(App.Cups.Cups().Count(), 4);
    EXPECT_EQ(Flow.HighestReached(), cmpPositioning);
    EXPECT_FALSE(Flow.Selectable(cmpTube));
    ASSERT_EQ(view.Notices.size(), 1u);
    EXPECT_TRUE(view.Notices[0].Has(caArrangement));
    EXPECT_TRUE(view.Notices[0].Has(caNavigator));
}
