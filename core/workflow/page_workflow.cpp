#include "core/workflow/page_workflow.h"

#include "core/document/my_project.h"
#include "core/workflow/page_fields.h"

namespace {

constexpr std::array<TMainPageInfo, cMainPageCount> cPages{{
    {"~StartPage", "~StartPage", 0},
    {"~Workpiece", "~Workpiece", 2},
    {"~Positioning", "~Positioning", 6},
    {"~SuctionCup", "~SuctionCup", 8},
    {"~Tube", "~Tube", 3},
    {"~VacuumSuctionNozzle", "~VenturiNozzle", 4},
    {"~Motion", "~Motion", 5},
    {"~Drive", "~Drive", 9},
    {"~ForcesAndMoments", "~ForcesAndMoments", 10},
    // The load page, the parts list and the disclaimer have no topic of their own.
    {"~SuctionCupLoad", "~SuctionCupLoad", cHelpContents},
    {"~PartsList", "~PartsList", cHelpContents},
    {"", "~Disclaimer", cHelpContents},
}};

// The pages whose entry chooses the current grid row again, which starts the walk anew.
bool EntryResetsReach(int page) {
    return page == cmpSuctionCup || page == cmpTube || page == cmpVenturi;
}

} // namespace

bool ValidMainPage(int page) {
    return page >= 0 && page < cMainPageCount;
}

const TMainPageInfo& MainPageInfo(int page) {
    return cPages.at(static_cast<size_t>(page));
}

TPageWorkflow::TPageWorkflow(TMyProject& document, TPageHooks& hooks)
    : FDocument(document), FHooks(hooks) {
    FPageEnabled.fill(true);
    FFieldsValid.fill(true);
    FDocument.DisclaimerPending = true;
}

bool TPageWorkflow::DisclaimerPending() const {
    return FDocument.DisclaimerPending;
}

bool TPageWorkflow::InputBlocked() const {
    return FDocument.DisclaimerPending || FDocument.Project().Busy();
}

bool TPageWorkflow::CommandEnabled(TMainCommand command) const {
    switch (command) {
    case cmcUnits:
    case cmcUndo:
    case cmcCut:
    case cmcCopy:
    case cmcPaste:
    case cmcPrint:
    case cmcRecentFile:
    case cmcNew:
    case cmcOpen:
    case cmcSave:
    case cmcSaveAs:
    case cmcProject:
    case cmcCustomer:
    case cmcRemarks:
        return !DisclaimerPending();
    default:
        return true;
    }
}

void TPageWorkflow::ButtonAcceptClick() {
    if (!DisclaimerPending()) return;
    FDocument.DisclaimerPending = false;
    FReached = cmpStartPage;
    Select(cmpStartPage);
    FDocument.Project().New();
    OnAccepted.Emit(*this);
}

void TPageWorkflow::ButtonDeclineClick() {
    OnDecline.Emit(*this);
}

bool TPageWorkflow::NavigatorEnabled() const {
    return !DisclaimerPending() && FFieldsValid[static_cast<size_t>(FCurrent)];
}

void TPageWorkflow::SetPageEnabled(int page, bool enabled) {
    if (ValidMainPage(page)) FPageEnabled[static_cast<size_t>(page)] = enabled;
}

bool TPageWorkflow::PageEnabled(int page) const {
    return ValidMainPage(page) && FPageEnabled[static_cast<size_t>(page)];
}

bool TPageWorkflow::Selectable(int page) const {
    return NavigatorEnabled() && page >= 0 && page <= cLastNavigatorPage && page <= FReached + 1 &&
           PageEnabled(page);
}

bool TPageWorkflow::Navigate(int page) {
    if (InputBlocked() || !Selectable(page)) return false;
    return Select(page);
}

bool TPageWorkflow::Select(int page) {
    if (!ValidMainPage(page)) return false;
    if (page == FCurrent) return true;
    if (!OrsikNavigate1_Select(page)) return false;
    FCurrent = page;
    if (page <= cLastNavigatorPage && page > FReached) FReached = page;
    EnterPage();
    return true;
}

bool TPageWorkflow::OrsikNavigate1_Select(int newPage) {
    if (newPage <= FCurrent) return true;
    const TPageCheckResult failure = ValidatePage(FCurrent);
    if (!failure) return true;
    OnInvalidValue.Emit(*this, *failure);
    return false;
}

TPageCheckResult TPageWorkflow::ValidatePage(int page) const {
    // An entry field whose value is not valid blocks the page before any other check, as
    // it would while the user was typing; a loaded project is judged the same way.
    if (TPageCheckResult failure = CheckPageFields(FDocument, page, FHooks.ShockAbsorberLever()))
        return failure;
    switch (page) {
    case cmpWorkpiece:
        return TPageValidation::CheckWorkpiece(FDocument);
    case cmpSuctionCup:
    case cmpTube:
        return FHooks.Validate(page);
    case cmpVenturi:
        if (TPageCheckResult failure = FHooks.Validate(page)) return failure;
        return TPageValidation::CheckRequiredVacuum(FDocument);
    case cmpMotion:
        return TPageValidation::CheckMotion(FDocument);
    case cmpDrive:
        return TPageValidation::CheckDrive(FDocument, FHooks.ShockAbsorberLever());
    default:
        return std::nullopt;
    }
}

void TPageWorkflow::ResetReach() {
    if (FCurrent <= cLastNavigatorPage) FReached = FCurrent;
}

int TPageWorkflow::PreviousPage() const {
    for (int page = FCurrent - 1; page >= 0; --page)
        if (Selectable(page)) return page;
    return -1;
}

int TPageWorkflow::NextPage() const {
    for (int page = FCurrent + 1; page <= cLastNavigatorPage; ++page)
        if (Selectable(page)) return page;
    return -1;
}

bool TPageWorkflow::Previous() {
    const int page = PreviousPage();
    return page >= 0 && Navigate(page);
}

bool TPageWorkflow::Next() {
    const int page = NextPage();
    return page >= 0 && Navigate(page);
}

// Validity is kept per page rather than applied only while the page is current, so that a
// page entered by a program (a project being opened) finds the navigator in the right state.
void TPageWorkflow::SetFieldsValid(int page, bool allValid) {
    FFieldsValid[static_cast<size_t>(page)] = allValid;
}

void TPageWorkflow::WorkpieceSizeChangeValid(bool allValid) {
    SetFieldsValid(cmpWorkpiece, allValid);
}

void TPageWorkflow::VenturiChangeValid(bool allValid) {
    SetFieldsValid(cmpVenturi, allValid);
}

void TPageWorkflow::MotionChangeValid(bool allValid) {
    SetFieldsValid(cmpMotion, allValid);
}

void TPageWorkflow::StrQueryVenturiChange() {
    // A project being read sets the filters one by one; its pages are walked afterwards.
    if (!FDocument.Project().Busy()) ResetReach();
}

void TPageWorkflow::StrQueryTubeChange() {
    ResetReach();
}

std::optional<TPrjResult> TPageWorkflow::OpenRecentFile(const std::string& fileName) {
    if (DisclaimerPending()) return std::nullopt;
    Select(cmpWorkpiece);
    ResetReach();
    return FDocument.Project().LoadFromFile(fileName);
}

int TPageWorkflow::PageNumber() const {
    return FCurrent < cmpPartsList ? FCurrent + 1 : 0;
}

bool TPageWorkflow::TotalForceVisible(const TMyProject& document) {
    const TDriveType type = document.Drive.Type;
    const TLinearDirection direction = document.Moving.LinearDirection;
    return (type == cdtPneumaticLinear || type == cdtNCLinear) &&
           (direction == cldVerticalUp || direction == cldVerticalDown);
}

void TPageWorkflow::EnterPage() {
    FHooks.Enter(FCurrent);
    if (EntryResetsReach(FCurrent)) ResetReach();
    OnPageChanged.Emit(*this);
}
