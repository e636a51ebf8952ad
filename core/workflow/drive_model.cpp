#include "core/workflow/drive_model.h"

#include "core/calc/forces.h"
#include "core/data/custom_table.h"
#include "core/data/string_query.h"
#include "core/document/my_project.h"
#include "core/workflow/motion_model.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr std::string_view kElastomer = "~Elastomer";

bool HasColumn(const TCustomTable* t, std::string_view name) {
    return t && t->ColByName(name) >= 0;
}

int FindOrderCode(const TCustomTable* t, std::string_view code) {
    if (code.empty() || !HasColumn(t, "OrderCode")) return -1;
    return t->FindRow("OrderCode", code);
}

bool BelowRatings(const TAbsorberLoad& load) {
    return load.EnergyRatio < 1.0 && load.EnergyPerHourRatio < 1.0 && load.ForceRatio < 1.0;
}

std::array<TRatingBar, 3> Bars(const TAbsorberLoad& load) {
    return {RatingBar(load.EnergyRatio), RatingBar(load.EnergyPerHourRatio),
            RatingBar(load.ForceRatio)};
}

} // namespace

TDriveModel::TDriveModel(TMyProject& document, TMotionModel& motion, const TCustomTable* cylinders,
                         const TCustomTable* absorbers, TStringQuery* rotary)
    : FDocument(document), FMotion(motion), FCylinders(cylinders), FAbsorbers(absorbers),
      FRotaryQuery(rotary) {}

bool TDriveModel::Inert() const {
    return FDocument.DisclaimerPending || FDocument.Project().Busy();
}

std::optional<TShockAbsorberData> TDriveModel::Absorber(std::string_view orderCode) const {
    const int row = FindOrderCode(FAbsorbers, orderCode);
    if (row < 0) return std::nullopt;
    TShockAbsorberData a;
    a.Stroke = FAbsorbers->AsFloat(row, "Stroke");
    a.EnergyMax = FAbsorbers->AsFloat(row, "W_tot");
    a.EnergyHMax = FAbsorbers->AsFloat(row, "W_tot_h");
    a.ForceMax = FAbsorbers->AsFloat(row, "F_max");
    a.Elastomer =
        HasColumn(FAbsorbers, "~Medium") && FAbsorbers->AsText(row, "~Medium") == kElastomer;
    return a;
}

void TDriveModel::Calculate() {
    UpdateRotaryFilter();
    const TDriveType type = FDocument.Drive.Type;
    if (type == cdtPneumaticLinear || type == cdtNCLinear)
        CalculateLinear();
    else
        CalculateRotary();
    OnKraftChange.Emit(*this);
}

void TDriveModel::CalculateLinear() {
    const auto& p = FDocument.Drive.PneumaticLinear;
    const double m = FMotion.MovingMass();
    const int rows = FCylinders ? FCylinders->Rows() : 0;

    FCylinderRow = -1;
    if (rows > 0 && HasColumn(FCylinders, "Diameter")) {
        if (p.AutomaticCylinderSelection && HasColumn(FCylinders, "Mass")) {
            std::vector<double> limits(static_cast<size_t>(rows));
            for (int r = 0; r < rows; ++r)
                limits[static_cast<size_t>(r)] = FCylinders->AsFloat(r, "Mass");
            FCylinderRow = AutomaticCylinderRow(limits, m);
        } else {
            // The list offers the catalogue's diameters; compare with a tolerance since the
            // stored value went through a text.
            for (int r = 0; r < rows && FCylinderRow < 0; ++r)
                if (std::abs(FCylinders->AsFloat(r, "Diameter") - p.CylinderDiameter) < 1e-9)
                    FCylinderRow = r;
        }
    }

    TLinearDriveInput in;
    if (FCylinderRow >= 0) {
        if (HasColumn(FCylinders, "Force"))
            in.RatedForce = FCylinders->AsFloat(FCylinderRow, "Force");
        if (HasColumn(FCylinders, "VKDmin"))
            in.VKDmin = FCylinders->AsFloat(FCylinderRow, "VKDmin");
    }
    in.Pressure = p.Pressure;
    in.MovingMass = m;
    in.WorkpieceMass = FDocument.Workpiece.Mass;
    in.Speed = p.Speed;
    in.Stroke = FDocument.Moving.LinearTravel;
    in.Time = p.Time;
    in.SafetyFactor = p.SafetyFactor;
    if (p.UseQdr) in.Absorber = Absorber(p.QdrOrderCode);
    in.AbsorberCount = p.QdrCount;
    FLinear = SizeLinearDrive(in);

    FDocument.MotionResults[cdtPneumaticLinear] = FLinear.Accelerations;
    FMotion.SetPneumaticLinearAxes(FLinear.Axes);
}

void TDriveModel::CalculateRotary() {
    const auto& p = FDocument.Drive.PneumaticCircular;
    TRotaryDriveInput in;
    const int row = FindOrderCode(FRotaryQuery, p.OrderCode);
    in.HasRow = row >= 0;
    if (in.HasRow) {
        in.RatedTorque = FRotaryQuery->AsFloat(row, "Torque");
        in.CushAngleMin = FRotaryQuery->AsFloat(row, "CushAngleMin") * std::numbers::pi / 180.0;
    }
    in.Pressure = p.Pressure;
    in.MomentOfInertia = FDocument.TotalMomentOfInertia;
    in.Lever = FDocument.Moving.CircularLever;
    in.AngularSpeed = p.AngularSpeed;
    in.Angle = FDocument.Moving.CircularAngle;
    in.Time = p.Time;
    in.SafetyFactor = p.SafetyFactor;
    in.WorkpieceMass = FDocument.Workpiece.Mass;
    if (p.UseQdr) in.Absorber = Absorber(p.QdrOrderCode);
    in.AbsorberCount = p.QdrCount;
    in.AbsorberRadius = FAbsorberRadius;
    FRotary = SizeRotaryDrive(in);

    FDocument.MotionResults[cdtPneumaticCircular] = FRotary.Accelerations;
    FMotion.SetPneumaticRotaryAxes(FRotary.Axes);
}

double TDriveModel::CylinderDiameter() const {
    return FCylinderRow >= 0 ? FCylinders->AsFloat(FCylinderRow, "Diameter") : 0.0;
}

void TDriveModel::MotionChange() {
    if (Inert()) return;
    const TDriveType type = FDocument.Drive.Type;
    if (type == cdtPneumaticCircular || type == cdtNCCircular) FilterRotaryQuery();
    Calculate();
}

// --- handlers ---

void TDriveModel::CoBoxDZylLinChange(double diameter) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.CylinderDiameter = diameter;
    Calculate();
}

void TDriveModel::SpinEditBetrDruckLinChange(double pressure) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.Pressure = pressure;
    Calculate();
}

void TDriveModel::CoBoxZylRotChange(std::string_view orderCode) {
    if (Inert()) return;
    FDocument.Drive.PneumaticCircular.OrderCode =
        std::string(orderCode.substr(0, cOrderCodeLength));
    Calculate();
}

void TDriveModel::SpinEditBetrDruckRotChange(double pressure) {
    if (Inert()) return;
    FDocument.Drive.PneumaticCircular.Pressure = pressure;
    Calculate();
}

void TDriveModel::ChkBox20to30Percent_Click(bool checked) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.AutomaticCylinderSelection = checked;
    Calculate();
}

void TDriveModel::ChkBoxQdrLin_Click(bool checked) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.UseQdr = checked;
    Calculate();
}

void TDriveModel::CoBoxQdrLinChange(std::string_view orderCode) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.QdrOrderCode =
        std::string(orderCode.substr(0, cOrderCodeLength));
    Calculate();
}

void TDriveModel::SpinEditQdrLinAnzahlChange(int count) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.QdrCount = count;
    Calculate();
}

void TDriveModel::SpinEditFaktorPnLinChange(double factor) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.SafetyFactor = factor;
    Calculate();
}

void TDriveModel::SpinEditFaktorPnRotChange(double factor) {
    if (Inert()) return;
    FDocument.Drive.PneumaticCircular.SafetyFactor = factor;
    Calculate();
}

void TDriveModel::Qdr_Change(bool use, std::string_view orderCode, int count, double radius) {
    if (Inert()) return;
    auto& p = FDocument.Drive.PneumaticCircular;
    p.UseQdr = use;
    p.QdrOrderCode = std::string(orderCode.substr(0, cOrderCodeLength));
    p.QdrCount = count;
    FAbsorberRadius = std::isfinite(radius) ? radius : 0.0;
    FMotion.UpdateInertia();
    FilterRotaryQuery();
    Calculate();
}

TDriveModel::TRotaryFilterKey TDriveModel::RotaryFilterKey() const {
    return {FDocument.Moving.CircularAngle, FDocument.TotalMomentOfInertia,
            FDocument.Drive.PneumaticCircular.UseQdr};
}

void TDriveModel::UpdateRotaryFilter() {
    if (!FRotaryQuery || FFilteredFor == RotaryFilterKey()) return;
    FilterRotaryQuery();
}

void TDriveModel::FilterRotaryQuery() {
    if (!FRotaryQuery) return;
    FFilteredFor = RotaryFilterKey();
    FRotaryQuery->Reset();
    FRotaryQuery->AddCondition(RotaryAngleCondition(FDocument.Moving.CircularAngle));
    // With absorbers the actuator's own cushioning need not take the inertia.
    if (!FDocument.Drive.PneumaticCircular.UseQdr)
        FRotaryQuery->AddCondition(RotaryInertiaCondition(FDocument.TotalMomentOfInertia));
    StrQueryDrehachseChange();
}

void TDriveModel::StrQueryDrehachseChange() {
    std::string& code = FDocument.Drive.PneumaticCircular.OrderCode;
    if (FindOrderCode(FRotaryQuery, code) >= 0) return;
    if (FReplacedActuator.empty()) FReplacedActuator = code;
    if (FRotaryQuery && FRotaryQuery->Rows() > 0 && HasColumn(FRotaryQuery, "OrderCode"))
        code = FRotaryQuery->AsText(0, "OrderCode").substr(0, cOrderCodeLength);
    else
        code.clear();
}

// --- rating bars ---

std::array<TRatingBar, 3> TDriveModel::LinearRatingBars() const {
    return Bars(FLinear.Absorber);
}

std::array<TRatingBar, 3> TDriveModel::RotaryRatingBars() const {
    return Bars(FRotary.Absorber);
}

bool TDriveModel::LinearRatingBarsVisible() const {
    return FDocument.Drive.PneumaticLinear.UseQdr;
}

bool TDriveModel::RotaryRatingBarsVisible() const {
    const auto& p = FDocument.Drive.PneumaticCircular;
    return p.UseQdr && p.QdrCount > 0 && FAbsorberRadius > 0.0 && !p.QdrOrderCode.empty();
}

// --- check ---

TDriveCheck TDriveModel::LinearCheck() const {
    TDriveCheck c;
    const double m = FMotion.MovingMass();
    const double f = FLinear.PistonForce;
    const bool up = FDocument.Moving.LinearDirection == cldVerticalUp;
    c.CanMove = FCylinderRow >= 0 && f > 0.0 && (!up || f > m * cGravity);
    if (FLinear.AbsorberUsed)
        c.CanStop = BelowRatings(FLinear.Absorber);
    else
        c.CanStop = FCylinderRow >= 0 && HasColumn(FCylinders, "Mass") &&
                    m <= FCylinders->AsFloat(FCylinderRow, "Mass");
    return c;
}

TDriveCheck TDriveModel::RotaryCheck() const {
    TDriveCheck c;
    const int row = FindOrderCode(FRotaryQuery, FDocument.Drive.PneumaticCircular.OrderCode);
    c.CanMove = row >= 0 && FRotary.Torque > 0.0;
    if (FRotary.AbsorberUsed)
        c.CanStop = BelowRatings(FRotary.Absorber);
    else
        c.CanStop =
            row >= 0 && FRotary.BrakingAngle > 0.0 &&
            HasColumn(FRotaryQuery, "MomentOfInertiaMax") &&
            FDocument.TotalMomentOfInertia <= FRotaryQuery->AsFloat(row, "MomentOfInertiaMax");
    return c;
}

TDriveCheck TDriveModel::Check() const {
    switch (FDocument.Drive.Type) {
    case cdtPneumaticLinear:
        return LinearCheck();
    case cdtPneumaticCircular:
        return RotaryCheck();
    default:
        return {};
    }
}
