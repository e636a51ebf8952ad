#include "core/workflow/suction_cup_model.h"

#include "core/workflow/model_text.h"

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"

// The arrangement and its set-up. The product choice, the load page and the workpiece
// views have their own files beside this one.

namespace {

constexpr std::string_view kYes = "~Yes";

} // namespace

// ---- table watch --------------------------------------------------------------------------

void TSuctionCupModel::TTableWatch::SourceChanged(TCustomTable& source, unsigned flags) {
    if (FModel.FNotifyingTable) return;
    FModel.FOkValid = false;
    if (flags & cChangeStructure) FModel.FOkCol = source.ColByName("~ok");
}

void TSuctionCupModel::TTableWatch::SourceDestroyed(TCustomTable& source) {
    if (&source != FModel.FTable) return;
    FModel.FTable = nullptr;
    FModel.FOkValid = false;
    FModel.FOkCol = -1;
}

// ---- set-up -------------------------------------------------------------------------------

TSuctionCupModel::TSuctionCupModel(TMyProject& doc) : FDoc(doc) {}

TSuctionCupModel::~TSuctionCupModel() {
    if (FTable) FTable->OnChangeField = nullptr;
}

TSaugerList& TSuctionCupModel::Cups() const {
    return FDoc.SuctionCups;
}

void TSuctionCupModel::SetCupTables(TCustomStrTableDB* table, TStringQuery* query) {
    if (FTable && FTable != table) {
        FTable->OnChangeField = nullptr;
        FTable->RemoveDependent(&FWatch);
    }
    FTable = table;
    FQuery = query;
    FOkValid = false;
    FOkCol = -1;
    if (!FTable) return;
    FTable->AddDependent(&FWatch);
    FOkCol = FTable->ColByName("~ok");
    FTable->OnChangeField = [this](const TCustomTable& sender, int row, int col, TTerm& field) {
        TableSuctionCupsChangeField(sender, row, col, field);
    };
    RefreshSuitability();
}

bool TSuctionCupModel::Inert() const {
    return FDoc.DisclaimerPending || FDoc.Project().Busy();
}

void TSuctionCupModel::SyncInputs() {
    TSaugerList& list = Cups();
    list.SetWorkpiece(DocumentWorkpiece());
    list.LoadCase.Mass = FDoc.Workpiece.Mass;
    list.LoadCase.Vacuum = FDoc.Venturi.Vacuum;
    list.LoadCase.Friction = FDoc.Friction;
    list.LoadCase.MassCenter = FDoc.Workpiece.MassCenter;
}

void TSuctionCupModel::Notify() {
    if (FView) FView->ArrangementChanged();
}

// ---- positioning page ---------------------------------------------------------------------

void TSuctionCupModel::StrategieChange(const TStrategySettings& s) {
    if (Inert()) return;
    if (FView) FView->InvalidateLaterPages();
    SyncInputs();
    TSaugerList& list = Cups();
    list.SetStrategyType(s.Strategy);
    list.SetCountX(s.Count1);
    list.SetCountY(s.Count2);
    list.SetStrategyAngle(s.Angle);
    list.SetEdgeDistance(s.EdgeDistance);
    list.SetSpacing(s.Spacing);
    // Cups placed by a strategy do not lock to the grid.
    if (s.Strategy != cssManual) GridChange(csgNone, list.GridLength(), list.GridAngle());
    if (FQuery && FSelectedRow >= 0 && FSelectedRow < FQuery->Rows()) ApplyCupRow(FSelectedRow);
    list.Layout();
    if (FQuery && FSelectedRow >= 0 && FSelectedRow < FQuery->Rows())
        FSelectedSuitable = CellText(*FQuery, FSelectedRow, "~ok") == kYes;
    FDoc.UpdateDerivedInertia();
    RefreshSuitability();
    Notify();
}

TStrategySettings TSuctionCupModel::StrategySettings() const {
    const TSaugerList& list = Cups();
    return {list.StrategyType(),  list.CountX(),       list.CountY(),
            list.StrategyAngle(), list.EdgeDistance(), list.Spacing()};
}

TStrategyFields TSuctionCupModel::StrategyFields(int strategy) {
    TStrategyFields f;
    switch (strategy) {
    case cssManual:
        f.Count1 = "~Count";
        break;
    case cssArea:
        f.Count1 = "~QuantityX";
        f.Count2 = "~QuantityY";
        break;
    case cssCircumference:
    case cssCircularArea:
        f.Count1 = "~Count";
        f.Angle = "~Angle";
        break;
    case cssLinearX:
        f.Count1 = "~QuantityX";
        break;
    case cssLinearY:
        f.Count2 = "~QuantityY";
        break;
    default:
        break;
    }
    f.SpacingVisible = strategy != cssOneInCentre;
    f.GridPageVisible = strategy == cssManual;
    f.DistancePageVisible = strategy != cssManual;
    return f;
}

void TSuctionCupModel::GridChange(TSaugerGrid type, double length, double angle) {
    if (Inert()) return;
    TSaugerList& list = Cups();
    list.SetGridType(type);
    list.SetGridLength(length);
    list.SetGridAngle(angle);
}

void TSuctionCupModel::Relayout() {
    if (Inert()) return;
    SyncInputs();
    Cups().Layout();
    FDoc.UpdateDerivedInertia();
    RefreshSuitability();
    Notify();
}

void TSuctionCupModel::Refresh() {
    SyncInputs();
    TSaugerList& list = Cups();
    // A project read from a file names its cup; the views and the loads need that cup's
    // data before the suction cup page is first entered.
    const std::string& stored = FDoc.SuctionCupsOrderCode;
    if (FTable && !stored.empty() && list.CupType.OrderCode != stored) {
        const int row = FTable->FindRow("OrderCode", stored);
        if (row >= 0) list.CupType = TSaugerType::FromRow(*FTable, row);
    }
    for (int i = 0; i < list.Count(); ++i) list.Sauger(i)->Misplaced = false;
    list.CheckCollisions();
    list.CalcForces();
    RefreshSuitability();
    Notify();
}

TCupLoadBand TSuctionCupModel::CupBand(int i) const {
    const TSauger* cup = Cups().Sauger(i);
    if (!cup) return clbOptimal;
    return cup->Misplaced ? clbMisplaced : LoadBand(cup->LargerRatio());
}


TCupWorkpiece TSuctionCupModel::DocumentWorkpiece() const {
    TCupWorkpiece w;
    w.Shape = FDoc.Workpiece.Shape;
    w.Size = {FDoc.Workpiece.LengthX, FDoc.Workpiece.LengthY, FDoc.Workpiece.LengthZ,
              FDoc.Workpiece.OuterDiameter, FDoc.Workpiece.InnerDiameter};
    return w;
}
