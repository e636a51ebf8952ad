#include "core/workflow/vacuum_application.h"

#include "core/workflow/parts_list_build.h"
#include "core/workflow/product_filters.h"

#include <filesystem>

namespace {

void Bind(TStrTableDB32Bit& table, TOrsikConnection& connection, const char* name) {
    table.Loaded();
    table.SetTable(name);
    table.SetConnection(&connection);
}

void Bind(TStringQuery& query, TCustomTable& source) {
    query.Loaded();
    query.SetTable(&source);
}

void Bind(TDBInterpol32Bit& curves, TOrsikConnection& connection, const char* name) {
    curves.SetTable(name);
    curves.SetConnection(&connection);
}

} // namespace

TVacuumApplication::TVacuumApplication(const std::string& productFile, const std::string& languageFile)
    : Workpiece(Document, DensityQuery), Cups(Document), Motion(Document),
      Drive(Document, Motion, &CylinderForce, &ShockAbsorbers, &RotaryQuery),
      Forces(Document, &Motion), Tube(Document), Venturi(Document) {
    Connection.Loaded();
    Connection.SetDataFile(productFile);
    LanguageConnection.Loaded();
    LanguageConnection.SetDataFile(languageFile.empty()
                                       ? std::filesystem::path(productFile).replace_filename("Vacuum.bin").string()
                                       : languageFile);
    Languages.SetTable("Translations");
    Languages.SetConnection(&LanguageConnection);
    Language.OnChange = [this](TCustomLanguageDB&) { LanguageChanged(); };
    Language.Loaded();
    Bind(SuctionCups, Connection, "qry SuctionCups");
    Bind(Tubes, Connection, "qry Tube");
    Bind(Connectors, Connection, "Connector");
    Bind(Venturis, Connection, "qry Venturi");
    Bind(EvacuationTimes, Connection, "tbl Curve EvacuationTime");
    Bind(BufferSize, Connection, "tEvac BufferSize");
    Bind(VenturiSwitch, Connection, "VenturiSwitch");
    Bind(Density, Connection, "tbl Density");
    Bind(CylinderForce, Connection, "tbl CylinderForce");
    Bind(ShockAbsorbers, Connection, "ShockAbsorber");
    Bind(RotaryCylinders, Connection, "qry RotaryCylinders");
    Bind(Order, Connection, "Order");
    Bind(SuctionCupQuery, SuctionCups);
    Bind(TubeQuery, Tubes);
    Bind(VenturiQuery, Venturis);
    Bind(DensityQuery, Density);
    Bind(RotaryQuery, RotaryCylinders);
    Bind(CurveVacuum, Connection, "tbl Curve Vacuum");
    Bind(CurveSuctionCapacity, Connection, "tbl Curve SuctionCapacity");
    Bind(CurveAirConsumption, Connection, "tbl Curve AirComsumption");
    Bind(CurveSound, Connection, "tbl Curve SoundPressureLevel");

    Cups.SetCupTables(&SuctionCups, &SuctionCupQuery);
    Cups.SetMotionSource(&Motion);
    Tube.SetTubeTables(&Tubes, &TubeQuery, &Connectors);
    tubeLink_.App = this;
    Tube.SetView(&tubeLink_);
    Venturi.SetVenturiTables(&Venturis, &VenturiQuery);
    Venturi.SetCurves({&CurveVacuum, &CurveAirConsumption, &CurveSuctionCapacity, &CurveSound});
    Venturi.SetEvacuationTables(&EvacuationTimes, &BufferSize);
    Venturi.SetSwitchTable(&VenturiSwitch);
    Venturi.SetTubeModel(&Tube);

    documentLink_.App = this;
    Document.SetView(&documentLink_);

    // The recalculation chain.
    Workpiece.OnSizeChange = [this](TWorkpieceModel&) { Cups.Relayout(); };
    // A new mass or inertia moves the moving mass and the swivel inertia, hence the drive.
    Workpiece.OnMassChange = [this](TWorkpieceModel&) {
        Motion.UpdateInertia();
        Drive.Calculate();
    };
    Workpiece.OnMomentOfInertiaChange = [this](TWorkpieceModel&) {
        Motion.UpdateInertia();
        Drive.Calculate();
    };
    Motion.OnDriveChange = [this](TMotionModel&) { Drive.MotionChange(); };
    Motion.OnKraftChange = [this](TMotionModel&) { Forces.KraftChange(); };
    Drive.OnKraftChange = [this](TDriveModel&) { Forces.KraftChange(); };
    Forces.OnKraftChange = [this](TForcesModel&) { Cups.RefreshMaxValues(Forces.Extremes().Fz); };
}

void TVacuumApplication::TDocumentLink::ShowSection(TMyProject& doc, const std::string& section) {
    if (section == "Workpiece") App->Workpiece.ShowDocument();
    // The filter lists of the product pages show the stored selections again, so the
    // stored products are found among the rows they offer.
    else if (section == "SuctionCups.Selection") ApplySuctionCupFilters(doc.SuctionCupSelection, App->SuctionCupQuery);
    else if (section == "Tube.Selection") ApplyTubeFilters(doc.Tube, App->TubeQuery);
    else if (section == "Venturi.Selection") ApplyVenturiFilters(doc.Venturi, App->VenturiQuery);
    // The per-cup length of the previous project must not survive: it follows from this
    // project's total and cup count.
    else if (section == "Tube") App->Tube.ProjectLoaded();
    // A stored actuator must suit this project's swivel angle and inertia.
    else if (section == "Drive.Pneumatic.Circular") {
        App->Motion.UpdateInertia();
        App->Drive.UpdateRotaryFilter();
    }
}

TVacuumApplication::~TVacuumApplication() {
    Document.SetView(nullptr);
    // The models hold hooks on tables that go first: unhook them.
    Cups.SetCupTables(nullptr, nullptr);
    Tube.SetTubeTables(nullptr, nullptr, nullptr);
    Venturi.SetVenturiTables(nullptr, nullptr);
}

void TVacuumApplication::NewProject() { Document.Project().New(); }

void TVacuumApplication::AssemblePartsList() {
    TPartsSources sources;
    sources.Order = &Order;
    sources.TubeQuery = &TubeQuery;
    sources.TubeRow = Tube.SelectedRow();
    sources.Tube = &Tubes;
    sources.SuctionCupQuery = &SuctionCupQuery;
    sources.SuctionCupRow = Cups.SelectedRow();
    sources.VenturiQuery = &VenturiQuery;
    sources.VenturiRow = Venturi.SelectedRow();
    sources.Venturi = &Venturis;
    BuildPartsList(PartsList, PartsAmountsFromProject(Document), sources);
}

bool TVacuumApplication::SetLanguage(std::string_view code) {
    if (Languages.IndexOfLanguage(code) < 0) return false;
    Language.SetLanguage(code);
    return true;
}

void TVacuumApplication::LanguageChanged() {
    yesText_ = Language.Translate("~Yes");
    noText_ = Language.Translate("~No");
    if (!Document.DisclaimerPending) AssemblePartsList();
}
