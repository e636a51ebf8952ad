#pragma once

#include "core/quantities/project.h"
#include "core/util/signal.h"
#include "core/workflow/page_validation.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TMyProject;

//! The pages of the main window, in their order.
enum TMainPage : uint8_t {
    cmpStartPage = 0,
    cmpWorkpiece = 1,
    cmpPositioning = 2,
    cmpSuctionCup = 3,
    cmpTube = 4,
    cmpVenturi = 5,
    cmpMotion = 6,
    cmpDrive = 7,
    cmpForcesAndMoments = 8,
    cmpSuctionCupLoad = 9,
    cmpPartsList = 10,
    cmpDisclaimer = 11,
};

//! Number of pages, the disclaimer included.
inline constexpr int cMainPageCount = 12;
//! Pages 0 to this one are listed in the navigator.
inline constexpr int cLastNavigatorPage = cmpPartsList;

//! What the main window shows of one page.
struct TMainPageInfo {
    //! Caption in the navigator; empty for a page it does not list.
    std::string_view NavigatorCaption;
    std::string_view PageCaption;
    //! Topic that F1 opens on the page.
    int HelpTopic;
};

//! Help topics opened by the menus, the context menus and the friction button.
inline constexpr int cHelpContents = 0;
inline constexpr int cHelpOperatingInstructions = 1;
inline constexpr int cHelpFrictionValues = 11;
inline constexpr int cHelpChemicalDurability = 12;
inline constexpr int cHelpFormulae = 13;
inline constexpr int cHelpIndex = 16;

//! Key of the page number shown in the status bar, formatted with the page index + 1.
inline constexpr std::string_view cPageNumberKey = "~Page%d";
//! Hints of the navigator's step buttons.
inline constexpr std::string_view cPreviousPageHint = "~PreviousPage";
inline constexpr std::string_view cNextPageHint = "~NextPage";

//! Commands of the menus and the top button bar.
enum TMainCommand : uint8_t {
    cmcUnits,
    cmcUndo,
    cmcCut,
    cmcCopy,
    cmcPaste,
    cmcPrint,
    cmcRecentFile,
    cmcNew,
    cmcOpen,
    cmcSave,
    cmcSaveAs,
    cmcProject,
    cmcCustomer,
    cmcRemarks,
    cmcLanguage,
    cmcHelp,
    cmcInfo,
    cmcWindowSize,
    cmcExit,
};

//! The page data; `page` must be a page index.
const TMainPageInfo& MainPageInfo(int page);
//! True for 0 .. cMainPageCount - 1.
bool ValidMainPage(int page);

//! What the page workflow needs of the page models. The application implements it over
//! its models; the workflow decides when each is called.
class TPageHooks {
public:
    virtual ~TPageHooks() = default;
    //! The checks of `page` that need a page model (the product choice of the suction cup,
    //! tube and vacuum generator pages); they run before the document checks of the page.
    virtual TPageCheckResult Validate(int page) = 0;
    //! The lever of the rotary shock absorbers, m, as the drive page holds it.
    virtual double ShockAbsorberLever() const = 0;
    //! The work of entering `page`, after it became current (refresh, recompute, choose the
    //! current grid row again).
    virtual void Enter(int page) = 0;
};

//! The main window's page workflow without widgets: the navigator state (current page,
//! highest page reached, which pages may be selected), the disclaimer, the guard of the
//! input handlers, the checks on leaving a page and the work on entering one. A run starts
//! on the disclaimer page with the navigator disabled.
class TPageWorkflow {
public:
    //! Sets the document's disclaimer flag; neither argument is owned.
    TPageWorkflow(TMyProject& document, TPageHooks& hooks);

    TMyProject& Document() const { return FDocument; }

    // --- guards ---
    //! The disclaimer has not been accepted yet.
    bool DisclaimerPending() const;
    //! The guard of every input handler: the disclaimer is pending or a project is being
    //! created or read.
    bool InputBlocked() const;
    //! Whether a command acts now: the units, the edit commands, printing, the recent
    //! files, the project file commands (new, open, save, save as) and the project,
    //! customer and remarks dialog (there is no project to describe before it) wait for
    //! the disclaimer; the others work at any time.
    bool CommandEnabled(TMainCommand command) const;

    // --- disclaimer ---
    //! "~Accept": enables the navigator, selects page 0 and starts a new project, then
    //! OnAccepted. Nothing once accepted.
    void ButtonAcceptClick();
    //! "~Decline": OnDecline (the window closes, nothing is stored).
    void ButtonDeclineClick();

    // --- navigator ---
    int CurrentPage() const { return FCurrent; }
    //! Highest page reached since the last reset.
    int HighestReached() const { return FReached; }
    //! The disclaimer is accepted and the current page's entry fields are valid.
    bool NavigatorEnabled() const;
    //! The navigator entry of a listed page; all are enabled at first.
    void SetPageEnabled(int page, bool enabled);
    bool PageEnabled(int page) const;
    //! A listed page at most one above the highest reached, whose entry is enabled, while
    //! the navigator is enabled.
    bool Selectable(int page) const;
    //! The user picked a page in the navigator: refused while inputs are blocked or the page
    //! is not selectable, else Select.
    bool Navigate(int page);
    //! Selects a page: a forward move must pass the current page's checks (the first
    //! failure goes to OnInvalidValue); then the page becomes current, raises the reach and
    //! is entered. False when refused.
    bool Select(int page);
    //! OrsikNavigate1_Select: the checks before a move to `newPage`; backward moves always
    //! pass. Reports the first failure.
    bool OrsikNavigate1_Select(int newPage);
    //! The first failing check of leaving `page`: its entry fields (CheckPageFields), then
    //! the checks in the page's order.
    TPageCheckResult ValidatePage(int page) const;
    //! Makes the highest page reached the current page: later pages must be walked again.
    void ResetReach();
    //! The nearest selectable page below or above the current one; −1 for none.
    int PreviousPage() const;
    int NextPage() const;
    //! The navigator's step buttons.
    bool Previous();
    bool Next();

    // --- validity of entry fields ---
    //! WorkpieceSizeChangeValid, VenturiChangeValid, MotionChangeValid: whether all entry
    //! fields of the workpiece, vacuum generator or motion page hold valid values. While
    //! some do not and the page is current, the navigator is disabled.
    void WorkpieceSizeChangeValid(bool allValid);
    void VenturiChangeValid(bool allValid);
    void MotionChangeValid(bool allValid);
    //! The motion-type tabs follow the validity of the motion fields.
    bool MotionTabsEnabled() const { return FFieldsValid[cmpMotion]; }

    // --- product query changes ---
    //! The vacuum generator query changed: reach is reset unless a project is loading.
    void StrQueryVenturiChange();
    //! The tube query changed: reach is reset.
    void StrQueryTubeChange();
    //! A row was chosen in one of the three product grids: reach is reset.
    void ProductRowChosen() { ResetReach(); }

    //! Opening a recent file: page 1 with reach reset, then the file is read. Empty while
    //! the disclaimer is pending, when nothing happens.
    std::optional<TPrjResult> OpenRecentFile(const std::string& fileName);

    // --- what the window shows of the current page ---
    //! Number shown in the status bar (index + 1); 0 for pages 10 and 11, which show none.
    int PageNumber() const;
    //! Topic F1 opens: the page's own topic, the contents where the page has none.
    int HelpTopic() const { return MainPageInfo(FCurrent).HelpTopic; }
    bool MotionAnimationRuns() const { return FCurrent == cmpMotion; }
    bool StartAnimationRuns() const { return FCurrent == cmpStartPage; }
    //! The X and Y directions of the motion page need more than two suction cups.
    static bool HorizontalDirectionsEnabled(int suctionCupCount) { return suctionCupCount > 2; }
    //! The total force is shown only for a linear motion up or down.
    static bool TotalForceVisible(const TMyProject& document);

    //! A check failed on leaving a page: the view shows the message (caption
    //! cInvalidValueCaption) and focuses the control.
    TSignal<TPageWorkflow&, const TPageCheckFailure&> OnInvalidValue;
    //! OrsikNavigate1_PageChanged: a page was entered, after the hooks' work.
    TSignal<TPageWorkflow&> OnPageChanged;
    //! The disclaimer was accepted and the new project made.
    TSignal<TPageWorkflow&> OnAccepted;
    //! The disclaimer was declined.
    TSignal<TPageWorkflow&> OnDecline;

private:
    void SetFieldsValid(int page, bool allValid);
    void EnterPage();

    TMyProject& FDocument;
    TPageHooks& FHooks;
    int FCurrent = cmpDisclaimer;
    int FReached = cmpStartPage;
    std::array<bool, cMainPageCount> FPageEnabled;
    std::array<bool, cMainPageCount> FFieldsValid;
};
