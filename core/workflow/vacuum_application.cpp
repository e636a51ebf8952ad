#include "core/workflow/vacuum_application.h"

#include "core/workflow/parts_list_build.h"
#include "core/workflow/product_filters.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>
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

// Equal down to the bit, so that a NaN result that stays NaN is no change.
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](double x, double y) {
               return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y);
           });
}

} // namespace

TVacuumApplication::TVacuumApplication(const std::string& productFile, const std::string& languageFile)
    : Workpiece(Document, DensityQuery), Cups(Document), Motion(Document),
      Drive(Document, Motion, &CylinderForce, &ShockAbsorbers, &RotaryQuery),
      Forces(Document, &Motion), Tube(Document), Venturi(Document), Air(Document, Venturi), Hooks(*this),
      Workflow(Document, Hooks) {
    Connection.Loaded();
    Connection.SetDataFile(productFile);
    LanguageConnection.Loaded();
    LanguageConnection.SetDataFile(languageFile.empty()
                                       ? std::filesystem::path(productFile).replace_filename("Vacuum.bin").string()
                                       : languageFile);
    Languages.SetTable("Translations");
    Languages.SetConnection(&LanguageConnection);
    chain_.push_back(Language.OnChange.Connect([this](TCustomLanguageDB&) {
        TInputScope scope(*this);
        Mark(caLanguage);
        LanguageChanged();
    }));
    Language.Loaded();
    Cups.Translate = Translator();
    Tube.Translate = Translator();
    Venturi.Translate = Translator();
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
    Bind(RotaryShockAbsorbers, Connection, "ShockAbsorber Rot");
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

    cupsLink_.App = this;
    Cups.SetView(&cupsLink_);
    Cups.SetCupTables(&SuctionCups, &SuctionCupQuery);
    Cups.SetMotionSource(&Motion);
    Tube.SetTubeTables(&Tubes, &TubeQuery, &Connectors);
    tubeLink_.App = this;
    Tube.SetView(&tubeLink_);
    venturiLink_.App = this;
    Venturi.SetView(&venturiLink_);
    Venturi.SetVenturiTables(&Venturis, &VenturiQuery);
    Venturi.SetCurves({&CurveVacuum, &CurveAirConsumption, &CurveSuctionCapacity, &CurveSound});
    Venturi.SetEvacuationTables(&EvacuationTimes, &BufferSize);
    Venturi.SetSwitchTable(&VenturiSwitch);
    Venturi.SetTubeModel(&Tube);
    Air.SetVenturiTable(&Venturis);
    // The leak lets the vacuum fall while an air-saving switch has the air off; the chosen
    // generators bring it back with their suction flow at the site.
    Air.SetLeakFlow([this](double v) {
        return LeakFlowAtVacuum(Document.Site.Leak, -v, Document.Site.AmbientPressure());
    });
    Air.SetSuctionFlow([this](double v) { return Venturi.SiteSuctionFlow(v); });

    documentLink_.App = this;
    Document.SetView(&documentLink_);

    // The recalculation chain. Each link names what it recomputes; a link reached outside
    // any input scope is a user action of its own.
    chain_.push_back(Workpiece.OnChange.Connect([this](TWorkpieceModel&) { Mark(caWorkpiece); }));
    chain_.push_back(Workpiece.OnSizeChange.Connect([this](TWorkpieceModel&) {
        TInputScope scope(*this);
        Mark(caWorkpiece | caArrangement);
        Cups.Relayout();
    }));
    // A new mass or inertia moves the moving mass and the swivel inertia, hence the drive.
    chain_.push_back(Workpiece.OnMassChange.Connect([this](TWorkpieceModel&) {
        TInputScope scope(*this);
        Mark(caWorkpiece | caMotion);
        Motion.UpdateInertia();
        Drive.Calculate();
    }));
    chain_.push_back(Workpiece.OnMomentOfInertiaChange.Connect([this](TWorkpieceModel&) {
        TInputScope scope(*this);
        Mark(caWorkpiece | caMotion);
        Motion.UpdateInertia();
        Drive.Calculate();
    }));
    chain_.push_back(Motion.OnDriveChange.Connect([this](TMotionModel&) {
        TInputScope scope(*this);
        Mark(caMotion);
        Drive.MotionChange();
    }));
    chain_.push_back(Motion.OnKraftChange.Connect([this](TMotionModel&) {
        TInputScope scope(*this);
        Mark(caMotion);
        Forces.KraftChange();
    }));
    chain_.push_back(Drive.OnKraftChange.Connect([this](TDriveModel&) {
        TInputScope scope(*this);
        Mark(caDrive);
        Forces.KraftChange();
    }));
    chain_.push_back(Forces.OnKraftChange.Connect([this](TForcesModel&) {
        TInputScope scope(*this);
        Mark(caForces | caCupLoads);
        Cups.RefreshMaxValues(Forces.Extremes().Fz);
    }));
    // A changed filter result of a product query: the record labels of its page, and for
    // the tube and the generator their page handlers (which reset the reach unless a
    // project is being read). The cup page's label is counted when it is asked for.
    chain_.push_back(SuctionCupQuery.OnChange.Connect([this](TCustomTable&) { Mark(caSuctionCup); }));
    // Filtering thousands of cups takes a moment: the gauge shows how far it is.
    SuctionCupQuery.OnUpdateProgressBar = [this](TCustomTable&, int percent) { LoadProgress.Emit(percent); };
    chain_.push_back(TubeQuery.OnChange.Connect([this](TCustomTable&) {
        TInputScope scope(*this);
        Mark(caTube);
        Tube.StrQueryTubeChange();
    }));
    chain_.push_back(VenturiQuery.OnChange.Connect([this](TCustomTable&) {
        TInputScope scope(*this);
        Mark(caVacuumGenerator);
        Venturi.StrQueryVenturiChange();
    }));
}

TVacuumApplication::TInputScope::TInputScope(TVacuumApplication& app)
    : FApp(app), FExceptions(std::uncaught_exceptions()) {
    if (FApp.inputDepth_++ == 0) FApp.before_ = FApp.State();
}

TVacuumApplication::TInputScope::~TInputScope() {
    if (--FApp.inputDepth_ > 0) return;
    // A handler that throws has not finished its chain; its changes wait for the next notice.
    if (std::uncaught_exceptions() > FExceptions) return;
    FApp.EndInput();
}

void TVacuumApplication::Mark(TAspects aspects) {
    if (inputDepth_ > 0) {
        pending_ |= aspects;
        return;
    }
    TInputScope scope(*this);
    pending_ |= aspects;
}

void TVacuumApplication::EndInput() {
    const TState after = State();
    for (int i = 0; i < cAspectCount; ++i)
        if (!SameBits(after.Numbers[i], before_.Numbers[i]) || after.Texts[i] != before_.Texts[i])
            pending_ |= TAspects::FromBits(1u << i);
    const TAspects changed = pending_;
    pending_ = {};
    if (!(changed & TAspects::FromBits(~(caCupLoads | caNavigator | caLanguage).Bits())).Empty())
        peaksValid_ = false;
    // The slots run with no scope open, so that one may start a user action of its own.
    if (!changed.Empty()) Changed.Emit(changed);
}

TVacuumApplication::TState TVacuumApplication::State() {
    TState s;
    auto slot = [&s](TAspect a) -> std::vector<double>& {
        int i = 0;
        while ((1u << i) != a) ++i;
        return s.Numbers[static_cast<size_t>(i)];
    };
    auto text = [&s](TAspect a) -> std::string& {
        int i = 0;
        while ((1u << i) != a) ++i;
        return s.Texts[static_cast<size_t>(i)];
    };

    const TSaugerList& list = Cups.Cups();
    std::vector<double>& cups = slot(caArrangement);
    cups = {static_cast<double>(list.Count()), static_cast<double>(list.StrategyType()),
            static_cast<double>(list.CountX()), static_cast<double>(list.CountY()), list.StrategyAngle(),
            list.EdgeDistance(), list.Spacing(), static_cast<double>(list.GridType()), list.GridLength(),
            list.GridAngle(), static_cast<double>(list.Focused())};
    std::vector<double>& loads = slot(caCupLoads);
    for (int i = 0; i < list.Count(); ++i) {
        const TSauger& c = *list.Sauger(i);
        cups.insert(cups.end(), {c.Pos.X, c.Pos.Y, c.Pos.Z, c.Axial().X, c.Axial().Y, c.Axial().Z,
                                 c.Radial1().X, c.Radial1().Y, c.Radial1().Z, c.Selected ? 1.0 : 0.0,
                                 c.Misplaced ? 1.0 : 0.0});
        loads.insert(loads.end(), {c.Force.X, c.Force.Y, c.Force.Z, c.Fn, c.Fq, c.NormalRatio, c.TransverseRatio});
    }
    const TMaxValues& max = Cups.MaxValues();
    loads.insert(loads.end(), {list.Solvable() ? 1.0 : 0.0, max.Normal.Force, max.Normal.Ratio,
                               max.Transverse.Force, max.Transverse.Ratio,
                               static_cast<double>(Cups.SliderPosition())});

    slot(caSuctionCup) = {static_cast<double>(Cups.SelectedRow()), Cups.SelectedSuitable() ? 1.0 : 0.0};
    text(caSuctionCup) = Document.SuctionCupsOrderCode + '\n' + list.CupType.OrderCode;

    const TTubeLengths lengths = Tube.Lengths();
    slot(caTube) = {static_cast<double>(Tube.SelectedRow()), Tube.SelectedValid() ? 1.0 : 0.0,
                    Document.Tube.Length, Document.Tube.TotalLength ? 1.0 : 0.0, Document.TubeVolume,
                    lengths.Single, lengths.Total, Tube.TubeDiameter()};
    text(caTube) = Document.Tube.OrderCode + '\n' + Tube.LabelTubeCount();

    const TMyProject::TVenturi& v = Document.Venturi;
    slot(caVacuumGenerator) = {static_cast<double>(Venturi.SelectedRow()), Venturi.SelectedValid() ? 1.0 : 0.0,
                               static_cast<double>(v.Count), v.Pressure, v.Vacuum, v.TimeMax,
                               Document.EvacuatedVolume};
    text(caVacuumGenerator) = v.OrderCode + '\n' + Venturi.LabelVenturiCount();
    // The production cycle and the price of air belong to the generator page, the
    // required safety to the load page.
    slot(caVacuumGenerator).insert(slot(caVacuumGenerator).end(),
                                   {Document.Air.CycleRate, Document.Air.HoldingTime, Document.Air.OperatingTime,
                                    Document.Air.Price, Document.Air.Energy});
    slot(caCupLoads).push_back(Document.RequiredSafety);
    // The site and the leak, and what the chosen generator does with them.
    const TSiteConditions& site = Document.Site;
    slot(caVacuumGenerator).insert(slot(caVacuumGenerator).end(),
                                   {site.Altitude, static_cast<double>(site.Leak.Kind), site.Leak.Diameter,
                                    site.Leak.Flow, site.Leak.Vacuum, Venturi.SiteResult().Time,
                                    Venturi.SiteResult().ReachableVacuum});

    // Before the first project the store holds no items, and asking for its state would
    // register them early.
    if (!Document.DisclaimerPending) slot(caDocument) = {Document.Project().Modified() ? 1.0 : 0.0};
    text(caDocument) = Document.ProjectDisplayName();
    std::vector<double>& navigator = slot(caNavigator);
    navigator = {static_cast<double>(Workflow.CurrentPage()), static_cast<double>(Workflow.HighestReached()),
                 Workflow.NavigatorEnabled() ? 1.0 : 0.0, Workflow.DisclaimerPending() ? 1.0 : 0.0};
    for (int page = cmpStartPage; page <= cLastNavigatorPage; ++page)
        navigator.push_back(Workflow.PageEnabled(page) ? 1.0 : 0.0);
    text(caLanguage) = Language.Language();
    return s;
}

THoldingVerdict TVacuumApplication::HoldingVerdict() {
    if (Document.DisclaimerPending || Document.Project().Busy() || !designWalked_) {
        TCupLoadPeaks none;
        none.Solvable = false;
        return JudgeHolding(none, Document.RequiredSafety);
    }
    if (peaksValid_) return JudgeHolding(peaks_, Document.RequiredSafety);
    // Both sides of each phase boundary: a pneumatic drive brakes hardest just before
    // its motion ends, which the slider steps alone can miss.
    const double end = Motion.EndTime();
    const double step = (std::isfinite(end) && end > 0.0 ? end : 0.0) * 1e-9;
    std::vector<double> times;
    for (const double b : Motion.PhaseBoundaries()) times.insert(times.end(), {b - step, b, b + step});
    const TCupLoadPeaks p = Cups.LoadPeaks(times);
    // Kept only outside a user action, whose end may yet change what the loads rest on.
    if (inputDepth_ == 0) {
        peaks_ = p;
        peaksValid_ = true;
    }
    return JudgeHolding(p, Document.RequiredSafety);
}

void TVacuumApplication::InvalidateLaterPages() {
    TInputScope scope(*this);
    Mark(caNavigator);
    Workflow.ResetReach();
}

void TVacuumApplication::TTubeLink::VolumeChanged() {
    TInputScope scope(*App);
    App->Venturi.PanelVakVolGesChange();
}

void TVacuumApplication::TDocumentLink::ShowSection(TMyProject& doc, const std::string& section) {
    TInputScope scope(*App);
    // A shown section holds values the project brought.
    if (section == "Workpiece" || section == "Friction") App->Mark(caWorkpiece);
    else if (section.starts_with("SuctionCups")) App->Mark(caArrangement | caSuctionCup);
    else if (section.starts_with("Tube")) App->Mark(caTube);
    else if (section.starts_with("Venturi")) App->Mark(caVacuumGenerator);
    else if (section.starts_with("Moving")) App->Mark(caMotion);
    else if (section.starts_with("Drive")) App->Mark(caDrive);

    if (section == "Workpiece") App->Workpiece.ShowDocument();
    // The filter lists of the product pages show the stored selections again, so the
    // stored products are found among the rows they offer.
    else if (section == "SuctionCups.Selection") {
        ApplySuctionCupFilters(doc.SuctionCupSelection, App->SuctionCupQuery);
        App->FiltersRestored.Emit(cmpSuctionCup);
    } else if (section == "Tube.Selection") {
        ApplyTubeFilters(doc.Tube, App->TubeQuery);
        App->FiltersRestored.Emit(cmpTube);
    } else if (section == "Venturi.Selection") {
        ApplyVenturiFilters(doc.Venturi, App->VenturiQuery);
        App->FiltersRestored.Emit(cmpVenturi);
    }
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
    Cups.SetView(nullptr);
    Tube.SetView(nullptr);
    Venturi.SetView(nullptr);
    // The models hold hooks on tables that go first: unhook them.
    Cups.SetCupTables(nullptr, nullptr);
    Tube.SetTubeTables(nullptr, nullptr, nullptr);
    Venturi.SetVenturiTables(nullptr, nullptr);
}

void TVacuumApplication::NewProject() {
    TInputScope scope(*this);
    Document.Project().New();
}

int TVacuumApplication::WalkTo(int page, const std::function<void()>& afterStep) {
    const int target = page < cLastNavigatorPage ? page : cLastNavigatorPage;
    while (Workflow.CurrentPage() < target) {
        const int from = Workflow.CurrentPage();
        const bool moved = Input([&] { return Workflow.Next() && Workflow.CurrentPage() != from; });
        if (afterStep) afterStep();
        if (!moved) return from;
    }
    return -1;
}

void TVacuumApplication::AssemblePartsList() {
    TInputScope scope(*this);
    Mark(caPartsList);
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
    TInputScope scope(*this);
    Language.SetLanguage(code);
    return true;
}

void TVacuumApplication::LanguageChanged() {
    yesText_ = Language.Translate("~Yes");
    noText_ = Language.Translate("~No");
    if (!Document.DisclaimerPending) AssemblePartsList();
}
