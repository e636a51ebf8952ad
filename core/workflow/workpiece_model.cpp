#include "core/workflow/workpiece_model.h"

#include "core/util/flag_scope.h"

#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/quantities/term.h"
#include "core/workflow/document_rows.h"

#include <cmath>
#include <string>

namespace {

constexpr size_t kMaterialKeyLength = 80;

// The first `n` code points of a UTF-8 text.
std::string FirstCodePoints(const std::string& s, size_t n) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && count++ == n)
            return s.substr(0, i);
    }
    return s;
}

bool Within(double value, double min, double max) {
    return std::isfinite(value) && value >= min && value <= max;
}

double Finite(double x) {
    return std::isfinite(x) ? x : 0.0;
}

} // namespace

TWorkpieceFieldState WorkpieceFieldState(TWorkpieceShape shape, bool massKnown,
                                         bool materialSelected) {
    TWorkpieceFieldState s;
    const int k = shape;
    s.LengthXVisible = k <= cwsBar || k == cwsCylinderX || k == cwsPipeX;
    s.LengthYVisible = k <= cwsBar || k == cwsCylinderY || k == cwsPipeY;
    s.LengthZVisible = k <= cwsBar || k == cwsCylinderZ || k == cwsPipeZ;
    s.OuterDiameterVisible = k >= cwsCylinderX;
    s.InnerDiameterVisible = k >= cwsPipeX;
    s.VolumeVisible = k != cwsMassKnown;
    s.VolumeReadOnly = k != cwsVolumeKnown;
    s.DensityVisible = k != cwsMassKnown;
    s.DensityReadOnly = materialSelected || massKnown;
    s.MaterialVisible = !massKnown;
    s.MassReadOnly = !massKnown;
    s.MassDialogVisible = k == cwsMassKnown || k == cwsVolumeKnown;
    s.CalculateValueEnabled = k != cwsMassKnown;
    s.KnownValueEnabled = k != cwsVolumeKnown;
    s.KnownValueChecked = massKnown;
    return s;
}

class TWorkpieceModel::THandlerScope {
public:
    explicit THandlerScope(TWorkpieceModel& model) : FModel(model) { ++FModel.FDepth; }
    ~THandlerScope() { --FModel.FDepth; }
    THandlerScope(const THandlerScope&) = delete;
    THandlerScope& operator=(const THandlerScope&) = delete;
    bool Outermost() const { return FModel.FDepth == 1; }

private:
    TWorkpieceModel& FModel;
};

TWorkpieceModel::TWorkpieceModel(TMyProject& document, TStringQuery& densityQuery)
    : FDocument(document), FDensityQuery(&densityQuery), FShownMass(document.Workpiece.Mass) {
    FDensityQuery->AddDependent(this);
}

TWorkpieceModel::~TWorkpieceModel() = default;

bool TWorkpieceModel::Inert() const {
    return FDocument.DisclaimerPending || FDocument.Project().Busy();
}

// --- inputs ---

bool TWorkpieceModel::SetShape(TWorkpieceShape shape) {
    if (Inert() || !ValidWorkpieceShape(shape)) return false;
    if (shape == FDocument.Workpiece.Shape) return true;
    FDocument.Workpiece.Shape = shape;
    WerkStkFormChange();
    return true;
}

bool TWorkpieceModel::SetLength(double& field, double value) {
    if (Inert() || !Within(value, 0.0, cWorkpieceLengthMax)) return false;
    if (value == field) return true;
    field = value;
    WerkStkSizeChange();
    return true;
}

bool TWorkpieceModel::SetLengthX(double value) {
    return SetLength(FDocument.Workpiece.LengthX, value);
}
bool TWorkpieceModel::SetLengthY(double value) {
    return SetLength(FDocument.Workpiece.LengthY, value);
}
bool TWorkpieceModel::SetLengthZ(double value) {
    return SetLength(FDocument.Workpiece.LengthZ, value);
}
bool TWorkpieceModel::SetOuterDiameter(double value) {
    return SetLength(FDocument.Workpiece.OuterDiameter, value);
}
bool TWorkpieceModel::SetInnerDiameter(double value) {
    return SetLength(FDocument.Workpiece.InnerDiameter, value);
}

bool TWorkpieceModel::SetVolume(double value) {
    if (Inert() || FieldState().VolumeReadOnly || !Within(value, 0.0, cWorkpieceVolumeMax))
        return false;
    if (value == FDocument.Workpiece.Volume) return true;
    FDocument.Workpiece.Volume = value;
    WerkStkVolumenChange();
    return true;
}

bool TWorkpieceModel::SetDensity(double value) {
    if (Inert() || FieldState().DensityReadOnly || !Within(value, 0.0, cWorkpieceDensityMax))
        return false;
    if (value == FDocument.Workpiece.Density) return true;
    FDocument.Workpiece.Density = value;
    WerkStkDichteChange();
    return true;
}

bool TWorkpieceModel::SetMass(double value) {
    if (Inert() || FieldState().MassReadOnly || !std::isfinite(value) || value < 0.0) return false;
    if (value == FDocument.Workpiece.Mass) return true;
    FDocument.Workpiece.Mass = value;
    WerkStkMasseChange();
    return true;
}

bool TWorkpieceModel::SetFriction(double value) {
    if (Inert() || !Within(value, 0.0, cWorkpieceFrictionMax)) return false;
    if (value == FDocument.Friction) return true;
    FDocument.Friction = value;
    SpinEditFrictionChange();
    return true;
}

bool TWorkpieceModel::SetMassKnown(bool massKnown) {
    if (Inert()) return false;
    const TWorkpieceFieldState s = FieldState();
    if (!(massKnown ? s.KnownValueEnabled : s.CalculateValueEnabled)) return false;
    if (massKnown == FDocument.Workpiece.MassKnown) return true;
    if (massKnown)
        RadioButtonMassKnown_Click();
    else
        RadioButtonDensityKnown_Click();
    return true;
}

bool TWorkpieceModel::SelectMaterial(std::string_view projectKey) {
    if (Inert() || !FDensityQuery) return false;
    int row = -1;
    if (!projectKey.empty()) {
        const TCustomTable* table = FDensityQuery->Table();
        if (!table || table->ColByName("ProjectKey") < 0) return false;
        row = table->FindRow("ProjectKey", projectKey);
        if (row < 0) return false;
    }
    // The query tells its dependents, this model among them, which runs the density chain.
    FilterMaterial(row);
    return true;
}

void TWorkpieceModel::FilterMaterial(int sourceRow) {
    TStringQuery& q = *FDensityQuery;
    const TCustomTable* table = q.Table();
    const int col = table ? table->ColByName(cMaterialColumn) : -1;
    q.BeginCategoryUpdate();
    q.CategorySelectAll(cMaterialColumn);
    if (col >= 0 && sourceRow >= 0) {
        TTerm value;
        TermFromText(value, table->AsText(sourceRow, col));
        q.FilterCategory(cMaterialColumn, value, cCompEqual);
    }
    q.EndCategoryUpdate();
    q.Changed(cChangeFilter);
}

// --- handlers ---

void TWorkpieceModel::WerkStkFormChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    // The options follow the shape; checking one runs its handler.
    const TWorkpieceShape shape = FDocument.Workpiece.Shape;
    if (shape == cwsMassKnown && !FDocument.Workpiece.MassKnown)
        RadioButtonMassKnown_Click();
    else if (shape == cwsVolumeKnown && FDocument.Workpiece.MassKnown)
        RadioButtonDensityKnown_Click();
    WerkStkSizeChange();
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::WerkStkSizeChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    // GripSize() reads the document, so the arrangement laid out here sees the new one.
    OnSizeChange.Emit(*this);
    WerkStkVolumenChange();
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::WerkStkVolumenChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    CalcVolume();
    WerkStkMasseChange();
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::WerkStkMasseChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    CalcMass();
    if (FDocument.Workpiece.MassKnown) {
        WerkStkDichteChange();
    } else {
        CalcMomentsOfInertia();
        ResetMassCenter();
    }
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::WerkStkDichteChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    CalcDensity();
    if (!FDocument.Workpiece.MassKnown) {
        WerkStkMasseChange();
    } else {
        CalcMomentsOfInertia();
        ResetMassCenter();
    }
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::RadioButtonDensityKnown_Click() {
    if (Inert()) return;
    THandlerScope scope(*this);
    FDocument.Workpiece.MassKnown = false;
    // The density handler goes on to the mass.
    WerkStkDichteChange();
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::RadioButtonMassKnown_Click() {
    if (Inert()) return;
    THandlerScope scope(*this);
    FDocument.Workpiece.MassKnown = true;
    // The mass handler goes on to the density.
    WerkStkMasseChange();
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::SpinEditFrictionChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::PanelMasseWerkstkChange() {
    if (Inert()) return;
    THandlerScope scope(*this);
    FShownMass = FDocument.Workpiece.Mass;
    ResetMassCenter();
    CalcMomentsOfInertia();
    OnMassChange.Emit(*this);
    if (scope.Outermost()) Finish();
}

void TWorkpieceModel::ShowDocument() {
    THandlerScope scope(*this);
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    // The options follow the shape also in a file that says otherwise; the mass could not
    // be entered for the shape "mass known" else.
    if (w.Shape == cwsMassKnown) w.MassKnown = true;
    if (w.Shape == cwsVolumeKnown) w.MassKnown = false;
    if (FDensityQuery) {
        const TCustomTable* table = FDensityQuery->Table();
        int row = -1;
        if (table && !w.Material.empty()) row = MaterialRow(FDocument, *table);
        // The document is recomputed below, and the stored centre of gravity must survive.
        TFlagScope filtering(FFiltering);
        FilterMaterial(row);
    }
    CalcVolume();
    if (w.MassKnown) {
        CalcMass();
        CalcDensity();
    } else {
        CalcDensity();
        CalcMass();
    }
    CalcMomentsOfInertia();
    FShownMass = w.Mass;
    if (scope.Outermost()) OnChange.Emit(*this);
}

void TWorkpieceModel::Refresh() {
    OnChange.Emit(*this);
}

void TWorkpieceModel::StoreMassProperties(bool worstCase, const TVektor& massCenter,
                                          const std::array<double, 3>& momentsOfInertia) {
    THandlerScope scope(*this);
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    const std::array<double, 3> before = Moments();
    w.WorstCase = worstCase;
    w.MassCenter = TVektor(Finite(massCenter.X), Finite(massCenter.Y), Finite(massCenter.Z));
    w.MomentOfInertiaX = Finite(momentsOfInertia[0]);
    w.MomentOfInertiaY = Finite(momentsOfInertia[1]);
    w.MomentOfInertiaZ = Finite(momentsOfInertia[2]);
    ApplyMomentRule();
    if (Moments() != before) OnMomentOfInertiaChange.Emit(*this);
    if (scope.Outermost()) Finish();
}

// --- calculation steps ---

void TWorkpieceModel::CalcVolume() {
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    w.Volume = WorkpieceVolume(w.Shape, Size(), w.Volume);
}

void TWorkpieceModel::CalcDensity() {
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    w.Material.clear();
    const bool selected = MaterialSelected();
    if (w.MassKnown) {
        w.Density = w.Volume > 0.0 ? Finite(w.Mass / w.Volume) : 0.0;
    } else if (selected) {
        const TStringQuery& q = *FDensityQuery;
        w.Material = FirstCodePoints(q.AsText(0, q.ColByName("ProjectKey")), kMaterialKeyLength);
        // The upper density of the material's range.
        const int maxCol = q.ColByName("Max");
        w.Density = maxCol >= 0 ? Finite(q.AsFloat(0, maxCol)) : 0.0;
    }
    // Otherwise the entered density stands.
    w.Density = Finite(w.Density);
}

void TWorkpieceModel::CalcMass() {
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    if (w.Shape != cwsMassKnown && !w.MassKnown) w.Mass = w.Density * w.Volume;
    w.Mass = Finite(w.Mass);
    FMassMayHaveChanged = true;
}

std::array<double, 3> TWorkpieceModel::Moments() const {
    const TMyProject::TWorkpiece& w = FDocument.Workpiece;
    return {w.MomentOfInertiaX, w.MomentOfInertiaY, w.MomentOfInertiaZ};
}

void TWorkpieceModel::ApplyMomentRule() {
    TMyProject::TWorkpiece& w = FDocument.Workpiece;
    // Without the worst case the moments entered for the shapes without geometry stand.
    if (!w.WorstCase && w.Shape < cwsBar) return;
    w.MomentOfInertiaX = WorkpieceMomentOfInertia(0);
    w.MomentOfInertiaY = WorkpieceMomentOfInertia(1);
    w.MomentOfInertiaZ = WorkpieceMomentOfInertia(2);
}

void TWorkpieceModel::CalcMomentsOfInertia() {
    const std::array<double, 3> before = Moments();
    ApplyMomentRule();
    if (Moments() != before) OnMomentOfInertiaChange.Emit(*this);
}

void TWorkpieceModel::ResetMassCenter() {
    FDocument.Workpiece.MassCenter = VektorZero;
}

void TWorkpieceModel::Finish() {
    // The motion page shows the mass; a new value there is a change event of its own.
    if (FMassMayHaveChanged && FDocument.Workpiece.Mass != FShownMass) PanelMasseWerkstkChange();
    FMassMayHaveChanged = false;
    OnChange.Emit(*this);
}

// --- state ---

TWorkpieceFieldState TWorkpieceModel::FieldState() const {
    return WorkpieceFieldState(FDocument.Workpiece.Shape, FDocument.Workpiece.MassKnown,
                               MaterialSelected());
}

bool TWorkpieceModel::MaterialSelected() const {
    return FDensityQuery && FDensityQuery->Rows() == 1;
}

TWorkpieceSize TWorkpieceModel::Size() const {
    const TMyProject::TWorkpiece& w = FDocument.Workpiece;
    return TWorkpieceSize{w.LengthX, w.LengthY, w.LengthZ, w.OuterDiameter, w.InnerDiameter};
}

double TWorkpieceModel::GripSize() const {
    return WorkpieceGripSize(FDocument.Workpiece.Shape, Size());
}

double TWorkpieceModel::WorkpieceMomentOfInertia(int axis) const {
    const TMyProject::TWorkpiece& w = FDocument.Workpiece;
    return ::WorkpieceMomentOfInertia(w.Shape, Size(), w.Mass, axis);
}

TWorkpieceViews TWorkpieceModel::Views(double groupWidth, double groupHeight) const {
    const TMyProject::TWorkpiece& w = FDocument.Workpiece;
    return WorkpieceViews(w.Shape, Size(), w.MassCenter, FDocument.SuctionCups.CupType.Height,
                          groupWidth, groupHeight);
}

// --- density query ---

void TWorkpieceModel::SourceChanged(TCustomTable& source, unsigned flags) {
    if (!FFiltering) WerkStkDichteChange();
}

void TWorkpieceModel::SourceDestroyed(TCustomTable& source) {
    if (&source == FDensityQuery) FDensityQuery = nullptr;
}
