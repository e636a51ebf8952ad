#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/data/db_interpol.h"
#include "core/data/orsik_connection.h"
#include "core/data/parts_list.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/document/project_view.h"
#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "core/util/signal.h"
#include "core/workflow/air_model.h"
#include "core/workflow/drive_model.h"
#include "core/workflow/forces_model.h"
#include "core/workflow/model_aspects.h"
#include "core/workflow/motion_model.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/suction_cup_model.h"
#include "core/workflow/tube_model.h"
#include "core/workflow/vacuum_page_hooks.h"
#include "core/workflow/venturi_model.h"
#include "core/workflow/workpiece_model.h"

//! The application without windows: the product container with its tables, queries and
//! curve families, the vacuum document, and every page model wired into the recalculation
//! chain (workpiece -> cups -> motion -> drive -> forces -> cup loads; tube -> generator),
//! and the page workflow over them (navigator, disclaimer, checks on leaving a page, the
//! work on entering one). The GUI's main window and the command line both drive this one
//! object: they walk the pages through Workflow, call the page models' handlers, and
//! follow what changed through Changed.
//!
//! Views follow the model through Changed: one notice at the end of every user action,
//! after the whole chain has run, naming the aspects that changed. A view calls the page
//! models inside an input scope (Input or TInputScope), so that nested handlers and the
//! chain they start add to one notice; a call outside any scope is told piecemeal. The
//! page models' own events (OnSizeChange, OnKraftChange, ...) take any number of followers
//! too; the chain is connected to them first, so a follower sees its results. When a page
//! model says that the later pages must be walked again (a strategy, a product row or a
//! product filter changed), the workflow's reach is reset here, so no window has to.
//!
//!     TConnection c = app.Changed.Connect([&](TAspects a) {
//!         if (a.Intersects({caArrangement, caCupLoads})) RepaintCupViews();
//!         if (a.Has(caNavigator)) ShowPage(app.Workflow.CurrentPage());
//!     });
//!     app.Input([&] { app.Workpiece.SetLengthX(0.4); });  // one notice
//!     app.Input([&] { app.Workflow.Next(); });             // one notice
class TVacuumApplication {
public:
    //! Groups the handlers called while it lives into one user action: the outermost scope
    //! raises Changed when it closes (not while an exception leaves it; what changed then
    //! goes with the next notice). Scopes nest.
    class TInputScope {
    public:
        explicit TInputScope(TVacuumApplication& app);
        ~TInputScope();
        TInputScope(const TInputScope&) = delete;
        TInputScope& operator=(const TInputScope&) = delete;

    private:
        TVacuumApplication& FApp;
        int FExceptions;
    };

    //! Runs `action` (calls of the page models, the workflow, the document) as one user
    //! action and returns what it returns.
    template <class F>
    decltype(auto) Input(F&& action) {
        TInputScope scope(*this);
        return std::forward<F>(action)();
    }

    //! Names aspects for the notice of the current user action; outside any input scope
    //! the notice is raised at once. For changes the model cannot see, such as the page
    //! workflow's current page and reach.
    void Mark(TAspects aspects);

    //! Raised once at the end of the outermost input scope with every aspect that was
    //! recomputed or whose state differs from its start; not raised when none did. A slot
    //! may start a new user action, which notifies on its own.
    TSignal<TAspects> Changed;
    //! The generator page asks for its chart window, with the caption.
    TSignal<const std::string&> ChartWindowRequested;
    //! Progress of reading a project and of filtering the suction cup query, in percent
    //! (the status bar's gauge).
    TSignal<int> LoadProgress;
    //! A project brought the stored filter selections of a product page (cmpSuctionCup,
    //! cmpTube or cmpVenturi) and they were set on its query: the page's filter lists show
    //! them again. Raised while the project is read.
    TSignal<int> FiltersRestored;

    //! Opens the product container (normally Vacuum.dat beside the program) and the
    //! language container (normally Vacuum.bin beside it; empty: that one) and binds
    //! everything. Check Active() / LastError() for a missing or corrupt product file; a
    //! missing language file leaves the texts as their keys.
    explicit TVacuumApplication(const std::string& productFile, const std::string& languageFile = {});
    ~TVacuumApplication();
    TVacuumApplication(const TVacuumApplication&) = delete;
    TVacuumApplication& operator=(const TVacuumApplication&) = delete;

    bool Active() const { return Connection.Active(); }
    const std::string& LastError() const { return Connection.LastError(); }

    //! Starts a new project with its defaults, as accepting the disclaimer does. Every
    //! user action below is an input scope of its own.
    void NewProject();

    //! Steps forward with the navigator's next button until `page` (at most the last
    //! listed page) is current, each step one user action, calling `afterStep` after each
    //! (outside the action, so that views have been told). −1 when the page is reached or
    //! already passed, else the page on which a step was refused, which ends the walk.
    int WalkTo(int page, const std::function<void()>& afterStep = {});

    //! Rebuilds the parts list from the chosen products and the document's amounts.
    void AssemblePartsList();

    //! Makes a language current; false (nothing changes) when the language container
    //! does not hold it.
    bool SetLanguage(std::string_view code);
    //! The language codes of the language container, separated by ",".
    std::string LanguageCodes() const { return Languages.LanguageCodes(); }
    //! The cached texts of "~Yes" and "~No" the tick columns of the product grids compare
    //! with; refreshed on every language change.
    const std::string& YesText() const { return yesText_; }
    const std::string& NoText() const { return noText_; }
    //! Display texts in this application's language (one trailing NUL removed): what its
    //! page models translate with, and what views bound to it hand to their controls.
    TTranslateFunc Translator() {
        return [this](std::string_view key) { return Language.TranslateDisplay(key); };
    }

    TOrsikConnection Connection;
    TStrTableDB32Bit SuctionCups, Tubes, Connectors, Venturis, EvacuationTimes, BufferSize,
        VenturiSwitch, Density, CylinderForce, ShockAbsorbers, RotaryCylinders, Order;
    //! "ShockAbsorber Rot": the absorbers offered for swivels (their data are in
    //! ShockAbsorbers).
    TStrTableDB32Bit RotaryShockAbsorbers;
    TStringQuery SuctionCupQuery, TubeQuery, VenturiQuery, DensityQuery, RotaryQuery;
    TDBInterpol32Bit CurveVacuum, CurveSuctionCapacity, CurveAirConsumption, CurveSound;

    TOrsikConnection LanguageConnection;
    TLanguageTable32Bit Languages;
    TLanguageDB Language;

    TMyProject Document;
    TWorkpieceModel Workpiece;
    TSuctionCupModel Cups;
    TMotionModel Motion;
    TDriveModel Drive;
    TForcesModel Forces;
    TTubeModel Tube;
    TVenturiModel Venturi;
    TPartsList PartsList;
    //! Compressed air and its cost, and the required safety of the cups.
    TAirModel Air;

    //! Whether the design holds: the smallest safety of any cup over the whole motion (every
    //! slider step and both sides of every phase boundary) against the required safety
    //! factor. Not judged while the disclaimer is pending or a project is read, nor until
    //! the suction cup load page has been entered since the project was made or read:
    //! entering the pages runs calculations the loads rest on (the arrangement, the motion),
    //! and before that the results would judge what a project brought half worked out. The
    //! loads over the motion are kept until a user action changes more than the cup loads
    //! (a move of the slider, a new required safety), the navigator or the language.
    THoldingVerdict HoldingVerdict();
    //! The suction cup load page was entered: every page before it has been, each with its
    //! calculations, since the project was made or read (see HoldingVerdict).
    void DesignWalked() { designWalked_ = true; }

    //! What entering each page recomputes and the product checks of leaving one.
    TVacuumPageHooks Hooks;
    //! The navigator and the page checks over the models above. Its own events
    //! (OnInvalidValue: show the message and focus the named control) take any number of
    //! followers; call its actions inside an input scope like the models' handlers.
    TPageWorkflow Workflow;

private:
    // A page model says the later pages must be walked again: the navigator's reach.
    void InvalidateLaterPages();
    // What a notice compares: per aspect, the numbers and texts that make up its state.
    struct TState {
        std::array<std::vector<double>, cAspectCount> Numbers;
        std::array<std::string, cAspectCount> Texts;
    };
    TState State();
    void EndInput();
    // The recalculation chain, connected before any view.
    std::vector<TConnection> chain_;
    int inputDepth_ = 0;
    // The load peaks the verdict judges, while valid.
    TCupLoadPeaks peaks_;
    bool peaksValid_ = false;
    bool designWalked_ = false;
    TAspects pending_;
    TState before_;

    // Every language change: the cached yes/no texts, and the parts list once the
    // disclaimer is accepted.
    void LanguageChanged();
    std::string yesText_ = "~Yes", noText_ = "~No";

    // Without windows, showing a loaded project means running the recalculations that
    // showing its sections runs.
    struct TDocumentLink : TProjectView {
        TVacuumApplication* App = nullptr;
        void ShowProjectName(TMyProject& doc, const std::string&) override {
            App->Mark(caDocument);
            // A project being made or read: what the drive model gave up belongs to the last,
            // and its design is judged once its pages have been walked.
            if (doc.Project().Busy()) {
                App->Drive.ForgetReplacedActuator();
                App->designWalked_ = false;
            }
        }
        void ShowSection(TMyProject&, const std::string& section) override;
        void ShowDerivedInertia(TMyProject&) override {}
        void ShowProgress(TMyProject&, int percent) override { App->LoadProgress.Emit(percent); }
    } documentLink_;
    // The tube page tells the generator page when the evacuated volume changes.
    struct TTubeLink : TTubeView {
        TVacuumApplication* App = nullptr;
        void InvalidateLaterPages() override { App->InvalidateLaterPages(); }
        void VolumeChanged() override;
    } tubeLink_;
    // The cup and generator pages name the pages to walk again; the generator page also
    // asks for its chart window.
    struct TCupsLink : TSuctionCupView {
        TVacuumApplication* App = nullptr;
        void InvalidateLaterPages() override { App->InvalidateLaterPages(); }
    } cupsLink_;
    struct TVenturiLink : TVenturiView {
        TVacuumApplication* App = nullptr;
        void InvalidateLaterPages() override { App->InvalidateLaterPages(); }
        void GridChanged() override { App->Mark(caVacuumGenerator); }
        void OperatingValuesChanged() override { App->Mark(caVacuumGenerator); }
        void ShowChartWindow(const std::string& caption) override { App->ChartWindowRequested.Emit(caption); }
    } venturiLink_;
};
