#include "core/workflow/suction_cup_model.h"

#include "core/workflow/model_text.h"

#include "core/calc/forces.h"
#include "core/calc/workpiece.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr std::string_view kYes = "~Yes";
constexpr std::string_view kNo = "~No";

double& Coord(TVektor& v, int k) {
    return k == 0 ? v.X : (k == 1 ? v.Y : v.Z);
}

double Coord(const TVektor& v, int k) {
    return k == 0 ? v.X : (k == 1 ? v.Y : v.Z);
}

// Workpiece axes along the horizontal and vertical axis of a view, and the view's normal
// (horizontal × vertical), about which a turn in the view is a right-handed turn.
struct TViewAxes {
    int U;
    int V;
    TVektor Normal;
};

TViewAxes Axes(TCupViewPlane view) {
    switch (view) {
    case cvpXZ:
        return {0, 2, VektorMinusY};
    case cvpYZ:
        return {1, 2, VektorPlusX};
    default:
        return {0, 1, VektorPlusZ};
    }
}

TVektor ViewPoint(TCupViewPlane view, double u, double v) {
    const TViewAxes a = Axes(view);
    TVektor p;
    Coord(p, a.U) = u;
    Coord(p, a.V) = v;
    return p;
}

// An angle difference brought into (−π, π].
double Wrap(double d) {
    while (d > pi) d -= 2.0 * pi;
    while (d <= -pi) d += 2.0 * pi;
    return d;
}

std::string Percent(double ratio, const char* suffix) {
    return std::to_string(static_cast<long long>(RoundHalfEven(ratio * 100.0))) + suffix;
}

TCupWorkpiece DocWorkpiece(const TMyProject& doc) {
    TCupWorkpiece w;
    w.Shape = doc.Workpiece.Shape;
    w.Size = {doc.Workpiece.LengthX, doc.Workpiece.LengthY, doc.Workpiece.LengthZ,
              doc.Workpiece.OuterDiameter, doc.Workpiece.InnerDiameter};
    return w;
}

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
    list.SetWorkpiece(DocWorkpiece(FDoc));
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

double TSuctionCupModel::MaxCupDiameter() const {
    const TCupWorkpiece w = DocWorkpiece(FDoc);
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
    const TVektor ext = DocWorkpiece(FDoc).Extents();
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

int TSuctionCupModel::ChartXRange() const {
    return Cups().Count();
}

// ---- load page ----------------------------------------------------------------------------

double TSuctionCupModel::SliderTime() const {
    const double end = FMotion ? FMotion->EndTime() : 0.0;
    if (!(end > 0.0) || !std::isfinite(end)) return 0.0;
    return FSliderPosition / static_cast<double>(cSliderMax) * end;
}

void TSuctionCupModel::EvaluateAt(double t) {
    const TMotionSample sample = FMotion ? FMotion->Sample(t) : TMotionSample{};
    TSaugerList& list = Cups();
    MotionLoad(sample, IsRotaryDrive(FDoc.Drive.Type), FDoc.LinearDirectionVector,
               FDoc.Moving.CircularLever, list.LoadCase.Acceleration, list.LoadCase.WorkpieceBasis);
    SyncInputs();
    list.CalcForces();
}

void TSuctionCupModel::EvaluateTime() {
    EvaluateAt(SliderTime());
    Notify();
}

TCupLoadPeaks TSuctionCupModel::LoadPeaks(const std::vector<double>& extraTimes) {
    TCupLoadPeaks peaks;
    if (Inert()) return peaks;
    const TSaugerList& list = Cups();
    const auto n = static_cast<size_t>(list.Count());
    peaks.Normal.assign(n, -std::numeric_limits<double>::infinity());
    peaks.Transverse.assign(n, -std::numeric_limits<double>::infinity());
    const double end = FMotion ? FMotion->EndTime() : 0.0;
    std::vector<double> times{0.0};
    if (end > 0.0 && std::isfinite(end)) {
        for (int i = 1; i <= cSliderMax; ++i) times.push_back(i / static_cast<double>(cSliderMax) * end);
        for (const double t : extraTimes)
            if (t >= 0.0 && t <= end) times.push_back(t);
    }
    for (const double t : times) {
        EvaluateAt(t);
        peaks.Solvable = peaks.Solvable && list.Solvable();
        for (size_t i = 0; i < n; ++i) {
            const TSauger& cup = *list.Sauger(static_cast<int>(i));
            peaks.Normal[i] = std::max(peaks.Normal[i], cup.NormalRatio);
            peaks.Transverse[i] = std::max(peaks.Transverse[i], cup.TransverseRatio);
        }
    }
    EvaluateTime();
    return peaks;
}

void TSuctionCupModel::RxSliderVCRChange(int position) {
    if (Inert()) return;
    FSliderPosition = std::clamp(position, 0, cSliderMax);
    EvaluateTime();
}

void TSuctionCupModel::PlayerPlay() {
    FSliderEnabled = false;
    FPlaying = true;
}

void TSuctionCupModel::PlayerPause() {
    FPlaying = !FPlaying;
    FSliderEnabled = !FSliderEnabled;
}

void TSuctionCupModel::PlayerStop() {
    FPlaying = false;
    FSliderEnabled = true;
}

void TSuctionCupModel::PlayerRewind() {
    RxSliderVCRChange(0);
}

void TSuctionCupModel::PlayerForward() {
    RxSliderVCRChange(cSliderMax);
}

void TSuctionCupModel::PlayerTick() {
    if (!FPlaying) return;
    RxSliderVCRChange(std::min(FSliderPosition + cPlayerStep, cSliderMax));
    if (FSliderPosition >= cSliderMax) PlayerStop();
}

bool TSuctionCupModel::TimeCurveTabEnabled(double achievedVacuum, double targetVacuum) {
    return std::max(achievedVacuum, targetVacuum) != 0.0;
}

std::vector<TLoadBar> TSuctionCupModel::LoadBars(bool transverse) const {
    const TSaugerList& list = Cups();
    std::vector<TLoadBar> bars;
    bars.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        const TSauger& cup = *list.Sauger(i);
        const double ratio = transverse ? cup.TransverseRatio : cup.NormalRatio;
        bars.push_back({i + 0.1, i + 0.9, ratio * 100.0, LoadBand(ratio), cup.Selected});
    }
    return bars;
}

void TSuctionCupModel::RefreshMaxValues(double fz) {
    SyncInputs();
    const TSaugerList& list = Cups();
    const TDriveType drive = FDoc.Drive.Type;
    const TLinearDirection dir = FDoc.Moving.LinearDirection;
    const bool vertical = (drive == cdtPneumaticLinear || drive == cdtNCLinear) &&
                          (dir == cldVerticalUp || dir == cldVerticalDown);
    const double fs = list.HoldingForce();
    auto bar = [fs](double force) {
        TMaxValueBar b;
        b.Force = force;
        b.Ratio = fs > 0.0 ? force / fs : 2.0;
        if (b.Ratio < 1.0) {
            b.Band = clbOptimal;
            b.Fill1 = b.Ratio * 100.0;
            b.Fill2 = 0.0;
        } else {
            b.Band = clbTooHigh;
            b.Fill1 = 100.0;
            b.Fill2 = std::min(1.0, b.Ratio - 1.0) * 100.0;
        }
        b.Text = b.Ratio >= 2.0 ? std::string("> 200%") : Percent(b.Ratio, "%");
        return b;
    };
    const int n = list.Count();
    FMaxValues.Normal = bar(vertical && n > 0 ? fz / n : 0.0);
    FMaxValues.Transverse = bar(0.0);
    Notify();
}

TCupForcesAndPosition TSuctionCupModel::ForcesAndPosition() const {
    TCupForcesAndPosition r;
    const TSaugerList& list = Cups();
    const int i = list.FirstSelected();
    if (i < 0) return r;
    const TSauger& cup = *list.Sauger(i);
    auto text = [](double ratio) {
        return ratio > 3.0 ? std::string("> 300 %") : Percent(ratio, " %");
    };
    r.Visible = true;
    r.Number = i + 1;
    r.Pos = cup.Pos;
    r.NormalForce = cup.Force.DotProduct(cup.Axial());
    r.TransverseForce = cup.Force.TransverseLength(cup.Axial());
    r.NormalRatio = text(cup.NormalRatio);
    r.TransverseRatio = text(cup.TransverseRatio);
    return r;
}

// ---- workpiece views ----------------------------------------------------------------------

int TSuctionCupModel::HitTest(TCupViewPlane view, double u, double v) const {
    const TSaugerList& list = Cups();
    const TViewAxes axes = Axes(view);
    const double rho = list.CupType.ClearanceDiameter / 2.0;
    const double height = list.CupType.Height;
    for (int i = list.Count() - 1; i >= 0; --i) {
        const TSauger& cup = *list.Sauger(i);
        const double du = u - Coord(cup.Pos, axes.U);
        const double dv = v - Coord(cup.Pos, axes.V);
        const double au = Coord(cup.Axial(), axes.U);
        const double av = Coord(cup.Axial(), axes.V);
        const double inPlane = std::sqrt(au * au + av * av);
        if (!(inPlane > 1e-12)) { // facing the viewer: the lip circle
            if (du * du + dv * dv <= rho * rho) return i;
            continue;
        }
        // Along the projected axis the lip circle shrinks to an ellipse of half axis ρ·k
        // and is drawn out by the projected cup height.
        const double k = std::fabs(cup.Axial().DotProduct(axes.Normal));
        const double along = (du * au + dv * av) / inPlane;
        const double across = (dv * au - du * av) / inPlane;
        const double beyond = along - std::clamp(along, 0.0, height * inPlane);
        if (across * across <= rho * rho &&
            across * across * k * k + beyond * beyond <= rho * rho * k * k)
            return i;
    }
    return -1;
}

TCupCursor TSuctionCupModel::CursorAt(TCupViewPlane view, double u, double v, unsigned keys) const {
    if (HitTest(view, u, v) < 0) return ccrDefault;
    if (Cups().StrategyType() != cssManual) return ccrNoMove;
    if (keys & ckCtrl) return ccrRotate;
    if (keys & ckAlt) return FDoc.Workpiece.Shape <= cwsVolumeKnown ? ccrTilt : ccrNoMove;
    return ccrMove;
}

double TSuctionCupModel::MouseAngle(TCupViewPlane view, double u, double v, int cup) const {
    const TSauger* c = Cups().Sauger(cup);
    if (!c) return 0.0;
    const TViewAxes axes = Axes(view);
    return TVektor::PlaneAngle(u - Coord(c->Pos, axes.U), v - Coord(c->Pos, axes.V));
}

void TSuctionCupModel::MouseDown(TCupViewPlane view, double u, double v, unsigned keys) {
    FDragging = false;
    if (Inert()) return;
    TSaugerList& list = Cups();
    if (list.StrategyType() != cssManual) return;
    const int hit = HitTest(view, u, v);
    if (hit >= 0) {
        list.SetFocused(hit);
        if (keys & ckShift) {
            list.Select(hit, true);
        } else {
            list.DeselectAll();
            list.Select(hit, false);
        }
        list.Anchor = ViewPoint(view, u, v);
        FLastAngle = MouseAngle(view, u, v, hit);
        FDragView = view;
        FDragging = true;
    } else if (!(keys & ckShift)) {
        list.DeselectAll();
    }
    Notify();
}

void TSuctionCupModel::MouseMove(TCupViewPlane view, double u, double v, unsigned keys) {
    if (!FDragging || view != FDragView || Inert()) return;
    TSaugerList& list = Cups();
    const TViewAxes axes = Axes(view);
    if (keys & (ckCtrl | ckAlt)) {
        TSauger* cup = list.Sauger(list.Focused());
        if (!cup) return;
        const double angle = MouseAngle(view, u, v, list.Focused());
        const double turn = Wrap(angle - FLastAngle);
        FLastAngle = angle;
        if (keys & ckCtrl) {
            // Seen from behind, a turn about the axis runs the other way round.
            const double phi = cup->Axial().DotProduct(axes.Normal) < 0.0 ? -turn : turn;
            RotateAboutUnitAxis(cup->Basis.E1(), cup->Axial(), phi);
            RotateAboutUnitAxis(cup->Basis.E2(), cup->Axial(), phi);
        } else {
            if (FDoc.Workpiece.Shape > cwsVolumeKnown) return;
            for (int a = 0; a < 3; ++a) {
                TVektor axis = *cup->Basis.Axis(a);
                RotateAboutUnitAxis(axis, axes.Normal, turn);
                cup->Basis.SetAxis(a, axis);
            }
        }
    } else {
        const TVektor point = ViewPoint(view, u, v);
        TVektor offset = point;
        offset.Subtract(list.Anchor);
        list.MoveSelected(offset);
        // The nominal positions follow the mouse, so that the next step starts from here.
        for (int i = 0; i < list.Count(); ++i)
            if (list.Sauger(i)->Selected) list.Sauger(i)->NominalPos.Add(offset);
        list.Anchor = point;
    }
    SyncInputs();
    list.CalcForces();
    Notify();
}
