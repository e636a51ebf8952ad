#pragma once

#include <memory>
#include <string>

#include "core/data/db_interpol.h"
#include "core/data/orsik_connection.h"
#include "core/data/parts_list.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/document/project_view.h"
#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "core/workflow/drive_model.h"
#include "core/workflow/forces_model.h"
#include "core/workflow/motion_model.h"
#include "core/workflow/suction_cup_model.h"
#include "core/workflow/tube_model.h"
#include "core/workflow/venturi_model.h"
#include "core/workflow/workpiece_model.h"

//! The application without windows: the product container with its tables, queries and
//! curve families, the vacuum document, and every page model wired into the recalculation
//! chain (workpiece -> cups -> motion -> drive -> forces -> cup loads; tube -> generator).
//! The GUI's main window and the command line both drive this one object.
class TVacuumApplication {
public:
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

    //! Starts a new project with its defaults, as accepting the disclaimer does.
    void NewProject();

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

    TOrsikConnection Connection;
    TStrTableDB32Bit SuctionCups, Tubes, Connectors, Venturis, EvacuationTimes, BufferSize,
        VenturiSwitch, Density, CylinderForce, ShockAbsorbers, RotaryCylinders, Order;
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

private:
    // Every language change: the cached yes/no texts, and the parts list once the
    // disclaimer is accepted.
    void LanguageChanged();
    std::string yesText_ = "~Yes", noText_ = "~No";

    // Without windows, showing a loaded project means running the recalculations that
    // showing its sections runs.
    struct TDocumentLink : TProjectView {
        TVacuumApplication* App = nullptr;
        void ShowProjectName(TMyProject&, const std::string&) override {}
        void ShowSection(TMyProject&, const std::string& section) override;
        void ShowDerivedInertia(TMyProject&) override {}
        void ShowProgress(TMyProject&, int) override {}
    } documentLink_;
    // The tube page tells the generator page when the evacuated volume changes.
    struct TTubeLink : TTubeView {
        TVacuumApplication* App = nullptr;
        void VolumeChanged() override { App->Venturi.PanelVakVolGesChange(); }
    } tubeLink_;
};
