#include "core/workflow/venturi_model.h"

#include "core/workflow/model_text.h"
#include "core/workflow/product_filters.h"

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/tube_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <utility>

namespace {

constexpr std::string_view kYes = "~Yes";
constexpr std::string_view kNo = "~No";
constexpr double cPaPerBar = 1.0e5;

double CellFloat(const TCustomTable& table, int row, std::string_view column) {
    const int col = table.ColByName(column);
    const double v = col < 0 ? 0.0 : table.AsFloat(row, col);
    return std::isfinite(v) ? v : 0.0;
}

// Reads a column straight from the stored column: reading through the table would run the
// field handler again.
std::vector<std::string> TextColumn(const TCustomStrTableDB& t, std::string_view name) {
    std::vector<std::string> out(static_cast<size_t>(t.Rows()));
    const int col = t.ColByName(name);
    const TStrFieldDB* f = col < 0 ? nullptr : t.Column(col);
    if (f)
        for (int r = 0; r < t.Rows(); ++r) out[static_cast<size_t>(r)] = f->GetText(r);
    return out;
}

} // namespace

void TVenturiModel::TTableWatch::SourceChanged(TCustomTable& source, unsigned flags) {
    if (FModel.FNotifyingTable) return;
    if (flags & (cChangeStructure | cChangeContents)) {
        FModel.FRowsValid = false;
        FModel.FComputedValid = false;
    }
}

void TVenturiModel::TTableWatch::SourceDestroyed(TCustomTable& source) {
    if (&source != FModel.FTable) return;
    FModel.FTable = nullptr;
    FModel.FQuery = nullptr;
    FModel.FRowsValid = false;
    FModel.FComputedValid = false;
}

TVenturiModel::TVenturiModel(TMyProject& doc) : FDoc(doc) {}

TVenturiModel::~TVenturiModel() {
    if (FTable) FTable->OnChangeField = nullptr;
}

void TVenturiModel::SetVenturiTables(TCustomStrTableDB* table, TStringQuery* query) {
    if (FTable && FTable != table) {
        FTable->OnChangeField = nullptr;
        FTable->RemoveDependent(&FWatch);
    }
    FTable = table;
    FQuery = query;
    FRowsValid = false;
    FComputedValid = false;
    FSelectedRow = -1;
    if (!FTable) return;
    FTable->AddDependent(&FWatch);
    FTable->OnChangeField = [this](const TCustomTable& sender, int row, int col, TTerm& field) {
        TableVenturiChangeField(sender, row, col, field);
    };
}

void TVenturiModel::SetCurves(const TVenturiCurves& curves) {
    FCurves = curves;
    FComputedValid = false;
}

void TVenturiModel::SetEvacuationTables(const TCustomTable* times, const TCustomTable* bufferSize) {
    if (bufferSize) FEvacuation.ReadBufferSize(*bufferSize);
    FEvacuation.SetSource(times);
    FComputedValid = false;
}

void TVenturiModel::SetTubeModel(const TTubeModel* tube) {
    FTube = tube;
    FComputedValid = false;
}

bool TVenturiModel::Inert() const {
    return FDoc.DisclaimerPending || FDoc.Project().Busy();
}

const std::string& TVenturiModel::LabelSelectedVenturiNozzle() const {
    return FDoc.Venturi.OrderCode;
}

// ---- calculation --------------------------------------------------------------------------

TVenturiConditions TVenturiModel::Conditions() const {
    TVenturiConditions c;
    c.Count = FDoc.Venturi.Count;
    c.Pressure = FDoc.Venturi.Pressure;
    c.Vacuum = FDoc.Venturi.Vacuum;
    const double v = FDoc.SuctionCups.TotalVolume() + FDoc.TubeVolume;
    // A NaN would never equal itself and defeat the cache.
    c.Volume = std::isfinite(v) ? v : 0.0;
    c.Ambient = FDoc.Site.AmbientPressure();
    c.Leak = FDoc.Site.Leak;
    return c;
}

bool TVenturiModel::PressureInCurveRange(std::string_view name) {
    return FEvacuation.LoadEvacuationCurve(name) &&
           FEvacuation.PressureInRange(FDoc.Venturi.Pressure);
}

double TVenturiModel::EvacuationTime(std::string_view curve, std::string_view vacuumCurve) {
    return SiteEvacuation(FEvacuation, FCurves.Vacuum, curve, vacuumCurve, Conditions()).Time;
}

double TVenturiModel::VacuumAt(std::string_view vacuumCurve, double p) const {
    return ::VacuumAt(FCurves.Vacuum, vacuumCurve, p);
}

double TVenturiModel::TubeDiameter() const {
    return FTube ? FTube->TubeDiameter() : 0.0;
}

// ---- computed columns ---------------------------------------------------------------------

void TVenturiModel::EnsureRows() {
    if (FRowsValid) return;
    FRowsValid = true;
    FComputedValid = false;
    if (!FTable) {
        FTimeCurve.clear();
        FVacuumCurve.clear();
        FNozzle.clear();
        FOkCol = FTimeCol = FVacuumCol = -1;
        return;
    }
    const TCustomStrTableDB& t = *FTable;
    FOkCol = t.ColByName("~ok");
    FTimeCol = t.ColByName("Time");
    FVacuumCol = t.ColByName("Vacuum");
    FTimeCurve = TextColumn(t, "Kennlinie");
    FVacuumCurve = TextColumn(t, "Unterdruck");
    FNozzle.assign(static_cast<size_t>(t.Rows()), 0.0);
    const int col = t.ColByName("DLavall");
    if (const TStrFieldDB* f = col < 0 ? nullptr : t.Column(col))
        for (int r = 0; r < t.Rows(); ++r) {
            const double d = f->GetFloat(r);
            FNozzle[static_cast<size_t>(r)] = std::isfinite(d) ? d : 0.0;
        }
}

void TVenturiModel::EnsureComputed() {
    EnsureRows();
    const TVenturiConditions c = Conditions();
    const double d = TubeDiameter();
    if (FComputedValid && c == FComputedFor && d == FComputedDiameter) return;
    const size_t rows = FNozzle.size();
    FTime.assign(rows, -1.0);
    FVacuum.assign(rows, 0.0);
    FReachable.assign(rows, 0.0);
    FFits.assign(rows, 0);
    FDiagnostics.clear();
    // Generators sharing curves share their results, and grouping by curve loads each
    // time curve once.
    std::map<std::pair<std::string_view, std::string_view>, std::array<double, 3>> done;
    // The vacuum levels of the curves stand for this fraction of theirs at the site.
    const double site = c.Ambient / cStandardPressure;
    for (size_t r = 0; r < rows; ++r) {
        FFits[r] = NozzleFitsTube(FNozzle[r], d) ? 1 : 0;
        const std::pair<std::string_view, std::string_view> key{FTimeCurve[r], FVacuumCurve[r]};
        auto it = done.find(key);
        if (it == done.end()) {
            const TSiteEvacuation e = SiteEvacuation(FEvacuation, FCurves.Vacuum, key.first, key.second, c);
            double bar = ::VacuumAt(FCurves.Vacuum, key.second, c.Pressure) / cPaPerBar;
            if (c.Ambient != cStandardPressure) bar *= site;
            ++FComputations;
            if (!FEvacuation.LoadError().empty() &&
                std::find(FDiagnostics.begin(), FDiagnostics.end(), FEvacuation.LoadError()) ==
                    FDiagnostics.end())
                FDiagnostics.push_back(FEvacuation.LoadError());
            it = done.emplace(key, std::array<double, 3>{e.Time, bar, e.ReachableVacuum}).first;
        }
        FTime[r] = it->second[0];
        FVacuum[r] = it->second[1];
        FReachable[r] = it->second[2];
    }
    FComputedFor = c;
    FComputedDiameter = d;
    FComputedValid = true;
}

bool TVenturiModel::RowFits(int row) {
    EnsureComputed();
    return row >= 0 && static_cast<size_t>(row) < FFits.size() && FFits[static_cast<size_t>(row)];
}

double TVenturiModel::RowTime(int row) {
    EnsureComputed();
    return row >= 0 && static_cast<size_t>(row) < FTime.size() ? FTime[static_cast<size_t>(row)]
                                                               : -1.0;
}

double TVenturiModel::RowVacuum(int row) {
    EnsureComputed();
    return row >= 0 && static_cast<size_t>(row) < FVacuum.size() ? FVacuum[static_cast<size_t>(row)]
                                                                 : 0.0;
}

double TVenturiModel::RowReachableVacuum(int row) {
    EnsureComputed();
    return row >= 0 && static_cast<size_t>(row) < FReachable.size() ? FReachable[static_cast<size_t>(row)] : 0.0;
}

void TVenturiModel::TableVenturiChangeField(const TCustomTable& sender, int row, int col,
                                            TTerm& field) {
    if (&sender != FTable || col < 0 || FDoc.DisclaimerPending) return;
    EnsureRows();
    if (col == FOkCol) {
        TermFromText(field, RowFits(row) ? kYes : kNo);
    } else if (col == FTimeCol) {
        const double t = RowTime(row);
        field.Clear();
        field.Typ = cTTNum;
        field.Value = t;
        field.Text = EvacuationTimeText(t);
    } else if (col == FVacuumCol) {
        const double v = RowVacuum(row);
        field.Clear();
        field.Typ = cTTNum;
        field.Value = v;
        field.Text = VacuumText(v);
    }
}

// ---- selection and page -------------------------------------------------------------------

void TVenturiModel::SelectVacuumGenerator(int row) {
    if (!FQuery || row < 0 || row >= FQuery->Rows()) return;
    const TCustomTable& q = *FQuery;
    FSelectedRow = row;
    FDoc.Venturi.Count = std::max(1, FDoc.Venturi.Count);
    const int timeCol = q.ColByName("Time");
    const double time = timeCol < 0 ? -1.0 : q.AsFloat(row, timeCol);
    FDoc.Venturi.Time = std::isfinite(time) ? time : -1.0;
    // The order code is cut to the 30 characters the project stores.
    FDoc.Venturi.OrderCode = CellText(q, row, "OrderCode").substr(0, 30);
    FSelectedTimeCurve = CellText(q, row, "Kennlinie");
    FCurveNames.Vacuum = CellText(q, row, "Unterdruck");
    FCurveNames.AirConsumption = CellText(q, row, "Luftverbrauch");
    FCurveNames.SuctionCapacity = CellText(q, row, "Saugleistung");
    FCurveNames.SoundPressureLevel = CellText(q, row, "Schalldruck");
    FMaxLV = CellFloat(q, row, "MaxLV");
    FMaxSD = CellFloat(q, row, "MaxSD");
    FMaxSL = CellFloat(q, row, "MaxSL");
    FDLavall = CellFloat(q, row, "DLavall");
    FSelectedValid = CellText(q, row, "~ok") == kYes;
    FDoc.SuctionCups.CalcForces();
    FDoc.UpdateDerivedInertia();
    UpdateOperatingValues();
}

void TVenturiModel::UpdateOperatingValues() {
    FOperating = OperatingValues(FCurves, FCurveNames, FDoc.Venturi.Pressure, FDoc.Venturi.Count);
    // An ejector keeps its vacuum as a fraction of ambient.
    const double ambient = FDoc.Site.AmbientPressure();
    if (ambient != cStandardPressure) FOperating.Vacuum *= ambient / cStandardPressure;
    const TVenturiConditions c = Conditions();
    FSuctionBuilt = FSelectedRow >= 0 && c.Leak.Kind != clkNone &&
                    FSuction.Build(FEvacuation, FCurves.Vacuum, FSelectedTimeCurve, FCurveNames.Vacuum, c.Pressure);
    if (FSuctionBuilt) FSite = SiteEvacuation(FSuction, c);
    else if (FSelectedRow >= 0) FSite = SiteEvacuation(FEvacuation, FCurves.Vacuum, FSelectedTimeCurve, FCurveNames.Vacuum, c);
    else FSite = TSiteEvacuation{};
    if (FView) FView->OperatingValuesChanged();
}

double TVenturiModel::SiteSuctionFlow(double v) const {
    if (!FSuctionBuilt) return 0.0;
    const double k = FDoc.Site.AmbientPressure() / cStandardPressure;
    const int n = FDoc.Venturi.Count > 0 ? FDoc.Venturi.Count : 1;
    return k > 0.0 ? n * k * FSuction.Flow(v / k) : 0.0;
}

void TVenturiModel::RefreshGeneratorPage() {
    const int tableRows = FTable ? FTable->Rows() : 0;
    int queryRows = 0;
    int fitting = 0;
    if (FQuery) {
        queryRows = FQuery->Rows();
        if (FTable && FQuery->Table() == FTable) {
            EnsureComputed();
            fitting = CountMarkedRows(*FQuery, FFits);
        }
    }
    FLabel = FormatCounts(TranslateOrKey(Translate, "~LabelRecords") + " - %d " + TranslateOrKey(Translate, "~FittingToTube"),
                          {queryRows, tableRows, fitting});
}

// ---- handlers -----------------------------------------------------------------------------

void TVenturiModel::Notify(bool grid) {
    if (grid && FTable) {
        // The grid reads the computed columns again; the cache answers them.
        FNotifyingTable = true;
        FTable->Changed(cChangeContents);
        FNotifyingTable = false;
    }
    if (grid && FView) FView->GridChanged();
}

void TVenturiModel::ConditionsChanged() {
    RefreshGeneratorPage();
    Notify(true);
    UpdateOperatingValues();
}

void TVenturiModel::SpinEditAnzahlVenturiChange(double count) {
    if (Inert()) return;
    const double n = std::isfinite(count) ? std::round(count) : 1.0;
    FDoc.Venturi.Count = static_cast<int32_t>(std::clamp(n, 1.0, 100.0));
    ConditionsChanged();
}

void TVenturiModel::SpinEditBetriebsdruckChange(double pressure) {
    if (Inert() || !std::isfinite(pressure)) return;
    FDoc.Venturi.Pressure = pressure;
    ConditionsChanged();
}

void TVenturiModel::SpinEditVakuumSollChange(double vacuum) {
    if (Inert() || !std::isfinite(vacuum)) return;
    FDoc.Venturi.Vacuum = vacuum;
    ConditionsChanged();
}

void TVenturiModel::SpinEditZeitMaxChange(double seconds) {
    if (Inert() || !std::isfinite(seconds) || seconds < 0.0) return;
    FDoc.Venturi.TimeMax = seconds;
}

void TVenturiModel::PanelVakVolGesChange() {
    Notify(true);
    UpdateOperatingValues();
}

void TVenturiModel::SpinEditAltitudeChange(double altitude) {
    if (Inert() || !std::isfinite(altitude)) return;
    FDoc.Site.Altitude = altitude;
    ConditionsChanged();
}

void TVenturiModel::SpinEditAmbientPressureChange(double pressure) {
    if (Inert() || !std::isfinite(pressure) || !(pressure > 0.0)) return;
    FDoc.Site.Altitude = StandardAtmosphereAltitude(pressure);
    ConditionsChanged();
}

void TVenturiModel::ComboBoxLeakKindChange(int kind) {
    if (Inert() || kind < 0 || kind >= static_cast<int>(cLeakKindNames.size())) return;
    FDoc.Site.Leak.Kind = static_cast<TLeakKind>(kind);
    ConditionsChanged();
}

void TVenturiModel::SpinEditLeakDiameterChange(double diameter) {
    if (Inert() || !std::isfinite(diameter)) return;
    FDoc.Site.Leak.Diameter = diameter;
    ConditionsChanged();
}

void TVenturiModel::SpinEditLeakFlowChange(double flow) {
    if (Inert() || !std::isfinite(flow)) return;
    FDoc.Site.Leak.Flow = flow;
    ConditionsChanged();
}

void TVenturiModel::SpinEditLeakVacuumChange(double vacuum) {
    if (Inert() || !std::isfinite(vacuum)) return;
    FDoc.Site.Leak.Vacuum = vacuum;
    ConditionsChanged();
}

void TVenturiModel::VenturiSelectionChange() {
    if (Inert()) return;
    if (FView) FView->InvalidateLaterPages();
}

void TVenturiModel::StrQueryVenturiChange() {
    RefreshGeneratorPage();
    if (FDoc.Project().Busy()) return;
    if (FView) FView->InvalidateLaterPages();
}

void TVenturiModel::VenturiSelect(int row) {
    if (Inert() || !FQuery || FQuery->Rows() == 0) return;
    if (FView) FView->InvalidateLaterPages();
    SelectVacuumGenerator(row);
}

void TVenturiModel::EnterVenturiPage(int currentRow) {
    VenturiSelect(currentRow);
    RefreshGeneratorPage();
}

void TVenturiModel::BitBtn2Click() {
    UpdateOperatingValues();
    if (FView) FView->ShowChartWindow(FDoc.Venturi.OrderCode);
}

bool TVenturiModel::VenturiChangeValid() const {
    return FSelectedValid && FDoc.Venturi.Vacuum < 0.0;
}

std::string TVenturiModel::StoredFilterEntry(size_t index, std::string_view shown) const {
    const std::span<const TProductFilter> filters = VenturiFilters();
    if (index >= filters.size()) return {};
    const TProductFilter& f = filters[index];
    const int stored = VenturiFilterValue(FDoc.Venturi, index);
    if (f.Kind != cpfAnyButNo || stored == 0) return FilterValueText(f, stored);
    const auto pulse = [](std::string_view text) { return !text.empty() && text != kNo; };
    if (pulse(shown)) return std::string(shown);
    if (!FTable) return {};
    const int col = FTable->ColByName(f.Column);
    const int code = FTable->ColByName("OrderCode");
    if (col < 0) return {};
    if (code >= 0)
        for (int r = 0; r < FTable->Rows(); ++r)
            if (FTable->AsText(r, code) == FDoc.Venturi.OrderCode) {
                const std::string kind = FTable->AsText(r, col);
                if (pulse(kind)) return kind;
                break;
            }
    for (int r = 0; r < FTable->Rows(); ++r)
        if (const std::string kind = FTable->AsText(r, col); pulse(kind)) return kind;
    return {};
}

TVenturiSwitchHelp TVenturiModel::SwitchHelp(std::string_view switchText) const {
    TVenturiSwitchHelp h;
    if (!FSwitchTable) return h;
    const int row = FSwitchTable->FindRow("Switch", switchText);
    if (row < 0) return h;
    const auto on = [&](std::string_view col) {
        const int c = FSwitchTable->ColByName(col);
        return c >= 0 && FSwitchTable->AsFloat(row, c) > 0.0;
    };
    h.U = on("U");
    h.I = on("I");
    h.PNP = on("PNP");
    h.NPN = on("NPN");
    return h;
}
