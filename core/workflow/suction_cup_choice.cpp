// The suction cup page: choosing a cup of the query, the computed "~ok" column of the cup
// table and the record label.

#include "core/workflow/suction_cup_model.h"

#include "core/workflow/model_text.h"
#include "core/workflow/product_filters.h"

#include "core/calc/forces.h"
#include "core/calc/workpiece.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::string_view kYes = "~Yes";
constexpr std::string_view kNo = "~No";

} // namespace

// ---- suction cup page ---------------------------------------------------------------------

void TSuctionCupModel::EnterSuctionCupPage(int currentRow) {
    if (Inert()) return;
    SyncInputs();
    RefreshSuitability();
    SaugerSelect(currentRow);
}

void TSuctionCupModel::ApplyCupRow(int row) {
    const TCustomTable& q = *FQuery;
    Cups().CupType = TSaugerType::FromRow(q, row);
    // The order code is cut to the 30 characters the project stores.
    FDoc.SuctionCupsOrderCode = Cups().CupType.OrderCode;
    FSelectedOrderCode = FDoc.SuctionCupsOrderCode;
    FHolderSize = CellText(q, row, "HolderSize");
    FThread = CellText(q, row, "Thread");
}

void TSuctionCupModel::SaugerSelect(int row) {
    if (Inert() || !FQuery || row < 0 || row >= FQuery->Rows()) return;
    FSelectedRow = row;
    ApplyCupRow(row);
    SyncInputs();
    Cups().Layout();
    FSelectedSuitable = CellText(*FQuery, row, "~ok") == kYes;
    FDoc.UpdateDerivedInertia();
    Notify();
}

void TSuctionCupModel::SaugerSelectionChange() {
    if (Inert()) return;
    if (FView) FView->InvalidateLaterPages();
}

std::vector<std::string> TSuctionCupModel::HighlightedHelpLabels() const {
    std::vector<std::string> labels;
    const std::span<const TProductFilter> filters = SuctionCupFilters();
    for (size_t i = 0; i < filters.size(); ++i) {
        const int value = SuctionCupFilterValue(FDoc.SuctionCupSelection, i);
        if (value == 0) continue;
        labels.push_back(filters[i].Kind == cpfChoice ? FilterValueText(filters[i], value)
                                                      : std::string(filters[i].Column));
    }
    return labels;
}

double TSuctionCupModel::MaxCupDiameter() const {
    const TCupWorkpiece w = DocumentWorkpiece();
    const TSaugerList& list = Cups();
    TCupRoom room{w.Extents().X - 2.0 * list.EdgeDistance(),
                  w.Extents().Y - 2.0 * list.EdgeDistance()};
    const double admitted = AdmittedCupDiameter(list.StrategyType(), room, list.Spacing(),
                                                list.Count(), list.CountX(), list.CountY());
    return std::min(admitted, WorkpieceGripSize(w.Shape, w.Size));
}

TCupSuitability TSuctionCupModel::CurrentSuitability() const {
    const TSaugerList& list = Cups();
    TCupSuitability s;
    s.Strategy = list.StrategyType();
    s.Count = list.Count();
    s.CountX = list.CountX();
    s.CountY = list.CountY();
    const TVektor ext = DocumentWorkpiece().Extents();
    const double e = s.Strategy != cssManual ? list.EdgeDistance() : 0.0;
    s.Room = TCupRoom{ext.X - 2.0 * e, ext.Y - 2.0 * e};
    s.MaxDiameter = MaxCupDiameter();
    s.Weight = FDoc.Workpiece.Mass * cGravity;
    return s;
}

void TSuctionCupModel::EnsureSuitability() const {
    const TCupSuitability input = CurrentSuitability();
    const int rows = FTable ? FTable->Rows() : 0;
    if (FOkValid && input == FOkInput && static_cast<int>(FOk.size()) == rows) return;
    FOkInput = input;
    FOk.assign(static_cast<size_t>(rows), 0);
    FOkValid = true;
    if (rows == 0) return;
    // Straight from the columns: reading through the table would run this handler again.
    const auto column = [this](std::string_view name) {
        const int col = FTable->ColByName(name);
        return col < 0 ? nullptr : FTable->Column(col);
    };
    const TStrFieldDB* dmax = column("DmaxSuctionCup");
    const TStrFieldDB* holder = column("HolderDiameter");
    const TStrFieldDB* fs07 = column("Fs07");
    constexpr double mm = 0.001;
    for (int r = 0; r < rows; ++r) {
        const double d = dmax ? dmax->GetFloat(r) * mm : 0.0;
        const double w = holder ? holder->GetFloat(r) * mm : 0.0;
        const double f = fs07 ? fs07->GetFloat(r) : 0.0;
        FOk[static_cast<size_t>(r)] = input.Suitable(d, w, f) ? 1 : 0;
    }
}

bool TSuctionCupModel::RowSuitable(int row) const {
    if (!FTable || row < 0 || row >= FTable->Rows()) return false;
    EnsureSuitability();
    return FOk[static_cast<size_t>(row)] != 0;
}

void TSuctionCupModel::TableSuctionCupsChangeField(const TCustomTable& sender, int row, int col,
                                                   TTerm& field) const {
    if (&sender != FTable || col != FOkCol || col < 0) return;
    TermFromText(field, RowSuitable(row) ? kYes : kNo);
}

void TSuctionCupModel::RefreshSuitability() {
    if (!FTable) return;
    if (FOkValid && CurrentSuitability() == FOkInput &&
        static_cast<int>(FOk.size()) == FTable->Rows())
        return;
    EnsureSuitability();
    FNotifyingTable = true;
    FTable->Changed(cChangeContents);
    FNotifyingTable = false;
}

std::string TSuctionCupModel::LabelSaugerCount() const {
    const int tableRows = FTable ? FTable->Rows() : 0;
    int queryRows = 0;
    int suitable = 0;
    if (FQuery) {
        queryRows = FQuery->Rows();
        if (FTable && FQuery->Table() == FTable) {
            EnsureSuitability();
            for (int r = 0; r < queryRows; ++r) {
                const int row = FQuery->SourceRow(r);
                if (row >= 0 && row < tableRows && FOk[static_cast<size_t>(row)]) ++suitable;
            }
        }
    }
    const std::string format =
        TranslateOrKey(Translate, "~LabelRecords") + " - %d " + TranslateOrKey(Translate, "~SuitableForWorkpiece");
    return FormatCounts(format, {queryRows, tableRows, suitable});
}

