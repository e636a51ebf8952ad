#include "core/workflow/tube_model.h"

#include "core/workflow/model_text.h"

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr std::string_view kYes = "~Yes";
constexpr std::string_view kNo = "~No";

} // namespace

void TTubeModel::TTableWatch::SourceChanged(TCustomTable& source, unsigned flags) {
    if (FModel.FNotifyingTable) return;
    if (flags & (cChangeStructure | cChangeContents)) FModel.FFitsValid = false;
}

void TTubeModel::TTableWatch::SourceDestroyed(TCustomTable& source) {
    if (&source != FModel.FTable) return;
    FModel.FTable = nullptr;
    FModel.FQuery = nullptr;
    FModel.FFitsValid = false;
}

TTubeModel::TTubeModel(TMyProject& doc) : FDoc(doc) {}

TTubeModel::~TTubeModel() {
    if (FTable) FTable->OnChangeField = nullptr;
}

void TTubeModel::SetTubeTables(TCustomStrTableDB* table, TStringQuery* query,
                               const TCustomTable* connectors) {
    if (FTable && FTable != table) {
        FTable->OnChangeField = nullptr;
        FTable->RemoveDependent(&FWatch);
    }
    FTable = table;
    FQuery = query;
    FConnectors = connectors;
    FFitsValid = false;
    FSelectedRow = -1;
    if (!FTable) return;
    FTable->AddDependent(&FWatch);
    FTable->OnChangeField = [this](const TCustomTable& sender, int row, int col, TTerm& field) {
        TableTubeChangeField(sender, row, col, field);
    };
}

bool TTubeModel::Inert() const {
    return FDoc.DisclaimerPending || FDoc.Project().Busy();
}

const std::string& TTubeModel::LabelSelectedTube() const {
    return FDoc.Tube.OrderCode;
}

// ---- computed column ----------------------------------------------------------------------

void TTubeModel::EnsureFits() {
    const std::string& connector = FDoc.SuctionCups.CupType.ConnectorName;
    const int rows = FTable ? FTable->Rows() : 0;
    if (FFitsValid && connector == FFitsConnector && static_cast<int>(FFits.size()) == rows) return;
    FFitsConnector = connector;
    FFits.assign(static_cast<size_t>(rows), 0);
    FFitsValid = true;
    FOkCol = FTable ? FTable->ColByName("~ok") : -1;
    if (rows == 0 || !FConnectors) return;
    const std::unordered_set<std::string> connections =
        ConnectorConnections(*FConnectors, connector);
    // Straight from the columns: reading through the table would run this handler again.
    const auto column = [this](std::string_view name) {
        const int col = FTable->ColByName(name);
        return col < 0 ? nullptr : FTable->Column(col);
    };
    const TStrFieldDB* dw = column("DW-x");
    const TStrFieldDB* tx = column("TX-x");
    for (int r = 0; r < rows; ++r)
        FFits[static_cast<size_t>(r)] = TubeFits(connections, dw ? dw->GetText(r) : std::string(),
                                                 tx ? tx->GetText(r) : std::string())
                                            ? 1
                                            : 0;
}

void TTubeModel::RefreshFits() {
    if (!FTable) return;
    if (FFitsValid && FDoc.SuctionCups.CupType.ConnectorName == FFitsConnector &&
        static_cast<int>(FFits.size()) == FTable->Rows())
        return;
    EnsureFits();
    FNotifyingTable = true;
    FTable->Changed(cChangeContents);
    FNotifyingTable = false;
}

bool TTubeModel::RowFits(int row) {
    EnsureFits();
    return row >= 0 && static_cast<size_t>(row) < FFits.size() && FFits[static_cast<size_t>(row)];
}

void TTubeModel::TableTubeChangeField(const TCustomTable& sender, int row, int col, TTerm& field) {
    if (&sender != FTable || col < 0 || FDoc.DisclaimerPending) return;
    EnsureFits();
    if (col == FOkCol) TermFromText(field, RowFits(row) ? kYes : kNo);
}

// ---- selection ----------------------------------------------------------------------------

double TTubeModel::TubeVolume() {
    FDoc.TubeVolume = ::TubeVolume(FDoc.Tube.Length, FDiameter);
    return FDoc.TubeVolume;
}

void TTubeModel::VolumeChanged() {
    TubeVolume();
    FDoc.UpdateDerivedInertia();
    if (FView) FView->VolumeChanged();
}

void TTubeModel::SelectTube(int row) {
    if (!FQuery || row < 0 || row >= FQuery->Rows()) return;
    const TCustomTable& q = *FQuery;
    FSelectedRow = row;
    FDoc.Tube.OrderCode = CellText(q, row, "OrderCode").substr(0, 30);
    const int col = q.ColByName("Diameter");
    const double d = col < 0 ? 0.0 : q.AsFloat(row, col);
    FDiameter = std::isfinite(d) && d > 0.0 ? d : 0.0;
    FSelectedValid = CellText(q, row, "~ok") == kYes;
    VolumeChanged();
}

// ---- lengths ------------------------------------------------------------------------------

TTubeLengths TTubeModel::Lengths() const {
    const int n = FDoc.SuctionCups.Count();
    if (!FDoc.Tube.TotalLength && FSingle >= 0.0) return TubeLengths(false, FSingle, 0.0, n);
    return TubeLengths(true, 0.0, FDoc.Tube.Length, n);
}

void TTubeModel::ProjectLoaded() {
    const double single = FDoc.SingleTubeLength();
    FSingle = std::isfinite(single) && single >= 0.0 ? single : -1.0;
}

void TTubeModel::VakuumVolumenChange(double single, double total, bool fromField) {
    if (fromField && FView) FView->InvalidateLaterPages();
    const TTubeLengths l =
        TubeLengths(FDoc.Tube.TotalLength, single, total, FDoc.SuctionCups.Count());
    FDoc.Tube.Length = l.Total;
    FSingle = l.Single;
    VolumeChanged();
}

void TTubeModel::TubeLenClick(bool totalMode) {
    FDoc.Tube.TotalLength = totalMode;
}

bool TTubeModel::SingleLengthReadOnly() const {
    return FDoc.Tube.TotalLength;
}

// ---- page ---------------------------------------------------------------------------------

void TTubeModel::TubeSelect(int row) {
    if (Inert()) return;
    if (FView) FView->InvalidateLaterPages();
    SelectTube(row);
}

void TTubeModel::RefreshLabel() {
    const int tableRows = FTable ? FTable->Rows() : 0;
    int queryRows = 0;
    int fitting = 0;
    if (FQuery) {
        queryRows = FQuery->Rows();
        if (FTable && FQuery->Table() == FTable) {
            EnsureFits();
            fitting = CountMarkedRows(*FQuery, FFits);
        }
    }
    FLabel = FormatCounts(TranslateOrKey(Translate, "~LabelRecords") + " - %d " + TranslateOrKey(Translate, "~FittingToSuctionCup"),
                          {queryRows, tableRows, fitting});
}

void TTubeModel::StrQueryTubeChange() {
    RefreshLabel();
    if (Inert()) return;
    if (FView) FView->InvalidateLaterPages();
}

void TTubeModel::EnterTubePage(int currentRow) {
    RefreshFits();
    TubeSelect(currentRow);
    const TTubeLengths l = Lengths();
    VakuumVolumenChange(l.Single, l.Total, false);
    RefreshLabel();
}
