// The controls a failed page check focuses are named from one list per page, so the window
// can map every name it may be handed to a widget, and no name is listed that no check uses.

#include "core/calc/cup_layout.h"
#include "core/document/my_project.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/page_fields.h"
#include "core/workflow/page_validation.h"
#include "core/workflow/page_workflow.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace {

bool Listed(int page, std::string_view control) {
    const auto names = PageControls(page);
    return std::find(names.begin(), names.end(), control) != names.end();
}

// Every control any check of a page may focus, over the shapes, strategies and drives a
// document can hold, with values the checks refuse.
std::map<int, std::set<std::string>> FocusedControls() {
    std::map<int, std::set<std::string>> seen;
    auto note = [&](int page, const TPageCheckResult& r) {
        if (r && !r->FocusControl.empty()) seen[page].insert(r->FocusControl);
    };
    for (int shape = cwsMassKnown; shape <= cwsPipeZ; ++shape)
        for (int flags = 0; flags < 4; ++flags)
            for (int strategy = 0; strategy < int(cSaugerStrategyNames.size()); ++strategy)
                for (int drive = cdtPneumaticLinear; drive <= cdtNCCircular; ++drive) {
                    TMyProject doc;
                    doc.Project().New();
                    doc.Workpiece.Shape = static_cast<TWorkpieceShape>(shape);
                    doc.Workpiece.MassKnown = flags & 1;
                    doc.Workpiece.WorstCase = flags & 2;
                    doc.SuctionCups.SetStrategyType(strategy);
                    doc.Drive.Type = static_cast<TDriveType>(drive);
                    doc.Drive.PneumaticLinear.UseQdr = flags & 1;
                    doc.Drive.PneumaticCircular.UseQdr = flags & 2;
                    for (int page = cmpStartPage; page < cMainPageCount; ++page)
                        for (const TPageField& f : PageFields(doc, page, 0.0))
                            seen[page].insert(std::string(f.Control));
                    // Sizes, angles and levers of 0 and a vacuum at ambient are refused.
                    doc.Workpiece.LengthX = doc.Workpiece.LengthY = doc.Workpiece.LengthZ = 0.0;
                    doc.Workpiece.OuterDiameter = doc.Workpiece.InnerDiameter = 0.0;
                    doc.Moving.CircularAngle = doc.Moving.LinearTravel = 0.0;
                    doc.Venturi.Vacuum = 0.0;
                    note(cmpWorkpiece, TPageValidation::CheckWorkpiece(doc));
                    note(cmpVenturi, TPageValidation::CheckRequiredVacuum(doc));
                    note(cmpMotion, TPageValidation::CheckMotion(doc));
                    note(cmpDrive, TPageValidation::CheckDrive(doc, 0.0));
                    doc.Moving.CircularAngle = 1.0;
                    doc.Moving.CircularLever = 0.0;
                    note(cmpMotion, TPageValidation::CheckMotion(doc));
                }
    // The leak's fields follow its kind.
    for (int kind = clkNone; kind <= clkMeasured; ++kind) {
        TMyProject doc;
        doc.Project().New();
        doc.Site.Leak.Kind = static_cast<TLeakKind>(kind);
        for (const TPageField& f : PageFields(doc, cmpVenturi, 0.0)) seen[cmpVenturi].insert(std::string(f.Control));
    }
    return seen;
}

TEST(PageControls, EveryFocusedControlIsListedForItsPageAndEveryListedOneIsUsed) {
    std::map<int, std::set<std::string>> seen = FocusedControls();
    // The product pages focus their grid when no valid row is chosen.
    for (const auto& [page, grid] : {std::pair{int(cmpSuctionCup), cpcSuctionCupGrid},
                                     std::pair{int(cmpTube), cpcTubeGrid},
                                     std::pair{int(cmpVenturi), cpcVenturiGrid}}) {
        const TPageCheckResult r = TPageValidation::CheckSelection(false, "~ok", grid);
        ASSERT_TRUE(r);
        seen[page].insert(r->FocusControl);
    }
    for (int page = cmpStartPage; page < cMainPageCount; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        for (const std::string& control : seen[page]) EXPECT_TRUE(Listed(page, control)) << control;
        for (std::string_view control : PageControls(page))
            EXPECT_TRUE(seen[page].count(std::string(control))) << control << " is listed but never focused";
    }
}

TEST(PageControls, NamesAreUniqueAcrossPagesAndPagesWithoutChecksListNone) {
    std::set<std::string_view> all;
    size_t listed = 0;
    for (int page = -1; page <= cMainPageCount; ++page) {
        for (std::string_view control : PageControls(page)) all.insert(control);
        listed += PageControls(page).size();
    }
    EXPECT_EQ(all.size(), listed);
    for (int page : {-1, int(cmpStartPage), int(cmpForcesAndMoments), int(cmpPartsList), int(cmpDisclaimer),
                     cMainPageCount})
        EXPECT_TRUE(PageControls(page).empty()) << page;
    // The load page checks its one entry field, the required safety.
    ASSERT_EQ(PageControls(cmpSuctionCupLoad).size(), 1u);
    EXPECT_EQ(PageControls(cmpSuctionCupLoad)[0], cpcRequiredSafety);
}

} // namespace
