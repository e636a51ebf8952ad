#include "core/workflow/motion_model.h"

#include <algorithm>

#include "core/calc/movement.h"
#include "core/calc/pneumatic_motion.h"
#include "core/document/my_project.h"

#include <cmath>

namespace {

// Replaces a swivel time of exactly 0 when the relation is switched on, so ω stays finite.
constexpr double kMinSwivelTime = 0.01;

TNCChartAxes AxesOf(const TMovement& m) {
    TNCChartAxes a;
    a.Time = {0.0, m.EndTime()};
    a.Jerk = {-1.2 * m.Jerk(), 1.2 * m.Jerk()};
    a.Acceleration = {1.2 * m.AccNeg(), 1.2 * m.AccPos()};
    a.Velocity = {0.0, m.Vmax()};
    a.Position = {0.0, m.Length()};
    return a;
}

} // namespace

TMotionModel::TMotionModel(TMyProject& document) : FDocument(document) {
    FDocument.Drive.NCLinearMove.OnChange = [this](TMovement& m) { MoveLinChange(m); };
    FDocument.Drive.NCCircularMove.OnChange = [this](TMovement& m) { MoveRotChange(m); };
}

TMotionModel::~TMotionModel() {
    FDocument.Drive.NCLinearMove.OnChange = nullptr;
    FDocument.Drive.NCCircularMove.OnChange = nullptr;
}

bool TMotionModel::Inert() const {
    return FDocument.DisclaimerPending || FDocument.Project().Busy();
}

void TMotionModel::AfterMotionChange() {
    OnDriveChange.Emit(*this);
    OnKraftChange.Emit(*this);
}

// --- derived values ---

double TMotionModel::MovingMass() const {
    return FDocument.SuctionCups.TotalMass() + FDocument.Moving.LinearHolderMass +
           FDocument.Workpiece.Mass;
}

double TMotionModel::WorkpieceOwnInertia() const {
    return FDocument.Workpiece.MomentOfInertiaZ;
}

double TMotionModel::WorkpieceLeverInertia() const {
    const double r = FDocument.Moving.CircularLever;
    return r * r * FDocument.Workpiece.Mass;
}

double TMotionModel::WorkpieceAxisInertia() const {
    return WorkpieceOwnInertia() + WorkpieceLeverInertia();
}

void TMotionModel::UpdateInertia() {
    const double lever = FDocument.Moving.CircularLever;
    FDocument.SuctionCupsMomentOfInertia = lever * lever * FDocument.SuctionCups.TotalMass() +
                                           FDocument.SuctionCups.MomentOfInertiaZ();
    FDocument.WorkpieceAxisMomentOfInertia = WorkpieceAxisInertia();
    FDocument.TotalMomentOfInertia = FDocument.Moving.CircularHolderMomentOfInertia +
                                     FDocument.SuctionCupsMomentOfInertia +
                                     FDocument.WorkpieceAxisMomentOfInertia;
}

// --- motion page ---

void TMotionModel::TabNotebookBewegungChange(int motionTab) {
    if (Inert()) return;
    const int servo = FDocument.DriveTabIndex();
    FDocument.Drive.Type = static_cast<TDriveType>(2 * servo + (motionTab == 1 ? 1 : 0));
    AfterMotionChange();
}

void TMotionModel::TabSetAntriebChange(int driveTab) {
    if (Inert()) return;
    const int rotary = FDocument.MotionTabIndex();
    FDocument.Drive.Type = static_cast<TDriveType>(2 * (driveTab == 1 ? 1 : 0) + rotary);
    AfterMotionChange();
}

void TMotionModel::SpinEditMasseHalterungChange(double mass) {
    if (Inert()) return;
    FDocument.Moving.LinearHolderMass = mass;
    AfterMotionChange();
}

void TMotionModel::SpinEditLinWegChange(double travel) {
    if (Inert()) return;
    FDocument.Moving.LinearTravel = travel;
    KeepLinearTimeInLimits();
    RecalcLinearSpeed();
    // The profile's callback runs the forces when the travel changed.
    FDocument.Drive.NCLinearMove.SetLength(travel);
    AfterMotionChange();
}

void TMotionModel::RBtnRichtungClick(TLinearDirection direction) {
    if (Inert()) return;
    FDocument.Moving.LinearDirection = direction;
    FDocument.LinearDirectionVector = TMyProject::DirectionVector(direction);
    AfterMotionChange();
}

void TMotionModel::SpinEditHebelarmWerkStkChange(double lever) {
    if (Inert()) return;
    FDocument.Moving.CircularLever = lever;
    UpdateInertia();
    // The servo triple scales with the lever.
    MoveRotChange(FDocument.Drive.NCCircularMove);
    AfterMotionChange();
}

void TMotionModel::SpinEditDrehwinkelChange(double angle) {
    if (Inert()) return;
    FDocument.Moving.CircularAngle = angle;
    KeepRotaryTimeInLimits();
    RecalcRotarySpeed();
    AfterMotionChange();
}

void TMotionModel::SpinEditTraegheitHalterungChange(double inertia) {
    if (Inert()) return;
    FDocument.Moving.CircularHolderMomentOfInertia = inertia;
    UpdateInertia();
    AfterMotionChange();
}

// --- pneumatic speed and time ---

namespace {

// The time field's range follows the stroke or the swivel angle; an entered time outside it
// is brought to its nearer end, as the field does with a value beyond a new range. A time
// that follows an entered speed is left to it.
void KeepTimeInLimits(bool timeEntered, double& time, const TAxisRange& limits) {
    if (timeEntered && time > 0.0 && limits.Min > 0.0 && limits.Max >= limits.Min)
        time = std::clamp(time, limits.Min, limits.Max);
}

} // namespace

void TMotionModel::KeepLinearTimeInLimits() {
    auto& p = FDocument.Drive.PneumaticLinear;
    KeepTimeInLimits(p.CalculateSpeed, p.Time, LinearTimeLimits());
}

void TMotionModel::KeepRotaryTimeInLimits() {
    auto& p = FDocument.Drive.PneumaticCircular;
    KeepTimeInLimits(p.CalculateSpeed, p.Time, RotaryTimeLimits());
}

void TMotionModel::RecalcLinearSpeed() {
    auto& p = FDocument.Drive.PneumaticLinear;
    const double s = FDocument.Moving.LinearTravel;
    if (p.CalculateSpeed) {
        if (p.Time > 0.0) p.Speed = PneumaticLinearSpeed(s, p.Time);
    } else if (p.Speed > 0.0) {
        p.Time = PneumaticLinearTime(s, p.Speed);
    }
}

void TMotionModel::RecalcRotarySpeed() {
    auto& p = FDocument.Drive.PneumaticCircular;
    const double phi = FDocument.Moving.CircularAngle;
    if (p.CalculateSpeed) {
        if (p.Time > 0.0) p.AngularSpeed = ::PneumaticRotarySpeed(phi, p.Time);
    } else if (p.AngularSpeed > 0.0) {
        p.Time = PneumaticRotaryTime(phi, p.AngularSpeed);
    }
}

void TMotionModel::RBtnVMaxAusrechnenClick(bool calculateSpeed) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.CalculateSpeed = calculateSpeed;
    RecalcLinearSpeed();
    AfterMotionChange();
}

void TMotionModel::SpinEditZeitLinChange(double time) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.Time = time;
    RecalcLinearSpeed();
    AfterMotionChange();
}

void TMotionModel::SpinEditVMaxLinChange(double speed) {
    if (Inert()) return;
    FDocument.Drive.PneumaticLinear.Speed = speed;
    RecalcLinearSpeed();
    AfterMotionChange();
}

void TMotionModel::PanelVerfahrweg2Change() {
    if (Inert()) return;
    KeepLinearTimeInLimits();
    RecalcLinearSpeed();
    AfterMotionChange();
}

void TMotionModel::RBtnRotAusrechnenClick(bool calculateSpeed) {
    if (Inert()) return;
    auto& p = FDocument.Drive.PneumaticCircular;
    p.CalculateSpeed = calculateSpeed;
    if (p.Time == 0.0) p.Time = kMinSwivelTime;
    p.AngularSpeed = ::PneumaticRotarySpeed(FDocument.Moving.CircularAngle, p.Time);
    AfterMotionChange();
}

void TMotionModel::SpinEditZeitRotChange(double time) {
    if (Inert()) return;
    FDocument.Drive.PneumaticCircular.Time = time;
    RecalcRotarySpeed();
    AfterMotionChange();
}

void TMotionModel::SpinEditWMaxRotChange(double speed) {
    if (Inert()) return;
    FDocument.Drive.PneumaticCircular.AngularSpeed = speed;
    RecalcRotarySpeed();
    AfterMotionChange();
}

void TMotionModel::PanelPnRotWinkelMaxChange() {
    if (Inert()) return;
    KeepRotaryTimeInLimits();
    RecalcRotarySpeed();
    AfterMotionChange();
}

TAxisRange TMotionModel::LinearTimeLimits() const {
    return PneumaticLinearTimeLimits(FDocument.Moving.LinearTravel, FLinearSpeedLimits);
}

TAxisRange TMotionModel::RotaryTimeLimits() const {
    return PneumaticRotaryTimeLimits(FDocument.Moving.CircularAngle, FRotarySpeedLimits);
}

// --- servo axes ---

void TMotionModel::ChkBoxRuckBegrenzt_Click(bool checked) {
    if (Inert()) return;
    FDocument.Drive.NCLinearMove.SetJerkLimited(checked);
}

void TMotionModel::ChkBoxAPlusMinus_Click(bool checked) {
    if (Inert()) return;
    FLinearSeparateDec = checked;
    TMovement& m = FDocument.Drive.NCLinearMove;
    if (!checked) m.SetAccNeg(-m.AccPos());
}

void TMotionModel::SpinEditNCAchseRuckMaxChange(double jerk) {
    if (Inert()) return;
    FDocument.Drive.NCLinearMove.SetJerk(jerk);
}

void TMotionModel::SpinEditNCAchseAPlusChange(double acc) {
    if (Inert()) return;
    TMovement& m = FDocument.Drive.NCLinearMove;
    if (!FLinearSeparateDec) m.SetAccNeg(-acc);
    m.SetAccPos(acc);
}

void TMotionModel::SpinEditNCAchseAMinusChange(double dec) {
    if (Inert() || !FLinearSeparateDec) return;
    FDocument.Drive.NCLinearMove.SetAccNeg(dec);
}

void TMotionModel::SpinEditNCAchseVMaxxxChange(double speed) {
    if (Inert()) return;
    FDocument.Drive.NCLinearMove.SetVmax(speed);
}

void TMotionModel::ChkBoxRotRuck_Click(bool checked) {
    if (Inert()) return;
    FDocument.Drive.NCCircularMove.SetJerkLimited(checked);
}

void TMotionModel::ChkBoxRotAPlusMinus_Click(bool checked) {
    if (Inert()) return;
    FRotarySeparateDec = checked;
    TMovement& m = FDocument.Drive.NCCircularMove;
    if (!checked) m.SetAccNeg(-m.AccPos());
}

void TMotionModel::SpinEditRotRuckChange(double jerk) {
    if (Inert()) return;
    FDocument.Drive.NCCircularMove.SetJerk(jerk);
}

void TMotionModel::SpinEditNCAchseRotAPlusChange(double acc) {
    if (Inert()) return;
    TMovement& m = FDocument.Drive.NCCircularMove;
    if (!FRotarySeparateDec) m.SetAccNeg(-acc);
    m.SetAccPos(acc);
}

void TMotionModel::SpinEditNCAchseRotAMinusChange(double dec) {
    if (Inert() || !FRotarySeparateDec) return;
    FDocument.Drive.NCCircularMove.SetAccNeg(dec);
}

void TMotionModel::SpinEditWinkelgeschwindigkeitChange(double speed) {
    if (Inert()) return;
    FDocument.Drive.NCCircularMove.SetVmax(speed);
}

void TMotionModel::PanelDrehwinkelNCChange(double angle) {
    if (Inert()) return;
    FDocument.Drive.NCCircularMove.SetLength(angle);
}

void TMotionModel::MoveLinChange(TMovement& sender) {
    FDocument.MotionResults[cdtNCLinear] = {sender.EffAccPos(), -sender.EffAccNeg(), 0.0};
    if (!Inert()) OnKraftChange.Emit(*this);
}

void TMotionModel::MoveRotChange(TMovement& sender) {
    const double r = FDocument.Moving.CircularLever;
    const double v = sender.EffVmax();
    FDocument.MotionResults[cdtNCCircular] = {r * sender.EffAccPos(), -r * sender.EffAccNeg(),
                                              r * v * v};
    if (!Inert()) OnKraftChange.Emit(*this);
}

TNCChartAxes TMotionModel::NCLinearAxes() const {
    return AxesOf(FDocument.Drive.NCLinearMove);
}

TNCChartAxes TMotionModel::NCRotaryAxes() const {
    return AxesOf(FDocument.Drive.NCCircularMove);
}

// --- chart callbacks ---

void TMotionModel::NcGetY(const TMovement& m, char chart, double x, int series, double& y,
                          bool& valid) const {
    switch (chart) {
    case 'R':
        valid = series == 0;
        y = valid ? m.JerkAt(x) : 0.0;
        return;
    case 'A':
        valid = series >= 0 && series <= 2;
        y = series == 0 ? m.AccNeg() : series == 1 ? m.AccPos() : valid ? m.AccelerationAt(x) : 0.0;
        return;
    case 'V':
        valid = series == 0 || series == 1;
        y = series == 0 ? m.Vmax() : valid ? m.VelocityAt(x) : 0.0;
        return;
    default:
        valid = series == 0 || series == 1;
        y = series == 0 ? m.Length() : valid ? m.PositionAt(x) : 0.0;
        return;
    }
}

void TMotionModel::DiagrammNcLinRGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCLinearMove, 'R', x, series, y, valid);
}
void TMotionModel::DiagrammNcLinAGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCLinearMove, 'A', x, series, y, valid);
}
void TMotionModel::DiagrammNcLinVGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCLinearMove, 'V', x, series, y, valid);
}
void TMotionModel::DiagrammNcLinSGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCLinearMove, 'S', x, series, y, valid);
}
void TMotionModel::DiagrammNcRotRGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCCircularMove, 'R', x, series, y, valid);
}
void TMotionModel::DiagrammNcRotAGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCCircularMove, 'A', x, series, y, valid);
}
void TMotionModel::DiagrammNcRotVGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCCircularMove, 'V', x, series, y, valid);
}
void TMotionModel::DiagrammNcRotSGetY(double x, int series, double& y, bool& valid) const {
    NcGetY(FDocument.Drive.NCCircularMove, 'S', x, series, y, valid);
}

// The pneumatic charts draw on the axes of the sizing as they stand (the swivel's lower
// acceleration end is tangential there, unlike the angular curve the forces read).
void TMotionModel::PnGetY(bool rotary, TPneumaticCurve curve, double x, int series, double& y,
                          bool& valid) const {
    const TDriveChartAxes& a = rotary ? FPnRotaryAxes : FPnLinearAxes;
    const double T =
        rotary ? FDocument.Drive.PneumaticCircular.Time : FDocument.Drive.PneumaticLinear.Time;
    const TAxisRange& r = curve == cpcVelocity   ? a.Velocity
                          : curve == cpcPosition ? a.Position
                                                 : a.Acceleration;
    valid = series == 0;
    y = valid ? PneumaticCurveValue(curve, x, T, r.Max, r.Min) : 0.0;
}

void TMotionModel::DiagrammPnLinAGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(false, cpcLinearAcceleration, x, series, y, valid);
}
void TMotionModel::DiagrammPnLinVGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(false, cpcVelocity, x, series, y, valid);
}
void TMotionModel::DiagrammPnLinSGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(false, cpcPosition, x, series, y, valid);
}
void TMotionModel::DiagrammPnRotAGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(true, cpcRotaryAcceleration, x, series, y, valid);
}
void TMotionModel::DiagrammPnRotVGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(true, cpcVelocity, x, series, y, valid);
}
void TMotionModel::DiagrammPnRotSGetY(double x, int series, double& y, bool& valid) const {
    PnGetY(true, cpcPosition, x, series, y, valid);
}

TPneumaticBand TMotionModel::DiagrammPnLinABand(double x) const {
    const TAxisRange& r = FPnLinearAxes.Acceleration;
    return PneumaticCurveBand(cpcLinearAcceleration, x, FDocument.Drive.PneumaticLinear.Time, r.Max,
                              r.Min);
}
TPneumaticBand TMotionModel::DiagrammPnLinVBand(double x) const {
    const TAxisRange& r = FPnLinearAxes.Velocity;
    return PneumaticCurveBand(cpcVelocity, x, FDocument.Drive.PneumaticLinear.Time, r.Max, r.Min);
}
TPneumaticBand TMotionModel::DiagrammPnRotABand(double x) const {
    const TAxisRange& r = FPnRotaryAxes.Acceleration;
    return PneumaticCurveBand(cpcRotaryAcceleration, x, FDocument.Drive.PneumaticCircular.Time,
                              r.Max, r.Min);
}
TPneumaticBand TMotionModel::DiagrammPnRotVBand(double x) const {
    const TAxisRange& r = FPnRotaryAxes.Velocity;
    return PneumaticCurveBand(cpcVelocity, x, FDocument.Drive.PneumaticCircular.Time, r.Max, r.Min);
}

// --- curves ---

double TMotionModel::PneumaticLinearAcceleration(double t) const {
    const TDriveChartAxes& a = FPnLinearAxes;
    return PneumaticCurveValue(cpcLinearAcceleration, t, FDocument.Drive.PneumaticLinear.Time,
                               a.Acceleration.Max, a.Acceleration.Min);
}

double TMotionModel::PneumaticRotaryAcceleration(double t) const {
    const TDriveChartAxes& a = FPnRotaryAxes;
    const double r = FDocument.Moving.CircularLever;
    const double yMin = r > 0.0 ? a.Acceleration.Min / r : 0.0;
    return PneumaticCurveValue(cpcRotaryAcceleration, t, FDocument.Drive.PneumaticCircular.Time,
                               a.Acceleration.Max, yMin);
}

double TMotionModel::PneumaticRotarySpeed(double t) const {
    return PneumaticCurveValue(cpcVelocity, t, FDocument.Drive.PneumaticCircular.Time,
                               FPnRotaryAxes.Velocity.Max, 0.0);
}

double TMotionModel::NCLinearAcceleration(double t) const {
    return FDocument.Drive.NCLinearMove.AccelerationAt(t);
}

double TMotionModel::NCLinearVelocity(double t) const {
    return FDocument.Drive.NCLinearMove.VelocityAt(t);
}

double TMotionModel::NCRotaryAcceleration(double t) const {
    return FDocument.Drive.NCCircularMove.AccelerationAt(t);
}

double TMotionModel::NCRotaryVelocity(double t) const {
    return FDocument.Drive.NCCircularMove.VelocityAt(t);
}

TMotionLimits TMotionModel::NCLinearLimits() const {
    const TMovement& m = FDocument.Drive.NCLinearMove;
    return {m.EffAccPos(), m.EffAccNeg(), m.EffVmax()};
}

TMotionLimits TMotionModel::NCRotaryLimits() const {
    const TMovement& m = FDocument.Drive.NCCircularMove;
    return {m.EffAccPos(), m.EffAccNeg(), m.EffVmax()};
}

double TMotionModel::PositionTimeEnd(TDriveType type) const {
    switch (type) {
    case cdtPneumaticLinear:
        return FDocument.Drive.PneumaticLinear.Time;
    case cdtPneumaticCircular:
        return FDocument.Drive.PneumaticCircular.Time;
    case cdtNCLinear:
        return FDocument.Drive.NCLinearMove.EndTime();
    case cdtNCCircular:
        return FDocument.Drive.NCCircularMove.EndTime();
    }
    return 0.0;
}

double TMotionModel::EndTime() const {
    return PositionTimeEnd(FDocument.Drive.Type);
}

TMotionSample TMotionModel::Sample(double t) const {
    TMotionSample s;
    switch (FDocument.Drive.Type) {
    case cdtPneumaticLinear:
        s.Acceleration = PneumaticLinearAcceleration(t);
        break;
    case cdtNCLinear:
        s.Acceleration = NCLinearAcceleration(t);
        break;
    case cdtPneumaticCircular:
        s.Angle = PneumaticCurveValue(cpcPosition, t, FDocument.Drive.PneumaticCircular.Time,
                                      FDocument.Moving.CircularAngle, 0.0);
        s.AngularSpeed = PneumaticRotarySpeed(t);
        s.AngularAcceleration = PneumaticRotaryAcceleration(t);
        break;
    case cdtNCCircular: {
        const TMovement& m = FDocument.Drive.NCCircularMove;
        s.Angle = m.PositionAt(t);
        s.AngularSpeed = m.VelocityAt(t);
        s.AngularAcceleration = m.AccelerationAt(t);
        break;
    }
    }
    return s;
}

std::vector<double> TMotionModel::PhaseBoundaries() const {
    std::vector<double> times;
    const TDriveType type = FDocument.Drive.Type;
    if (type == cdtNCLinear || type == cdtNCCircular) {
        const TMovement& m =
            type == cdtNCLinear ? FDocument.Drive.NCLinearMove : FDocument.Drive.NCCircularMove;
        for (int i = 0; i <= TMovement::cPhaseCount; ++i) times.push_back(m.StartTime(i));
        return times;
    }
    const double end = PositionTimeEnd(type);
    if (!(end > 0.0) || !std::isfinite(end)) return times;
    for (int k = 0; k <= 7; ++k) times.push_back(end * k / 7.0);
    return times;
}

std::string TMotionModel::ProfileDiagnostic() const {
    const TDriveType type = FDocument.Drive.Type;
    if (type != cdtNCLinear && type != cdtNCCircular) return {};
    const TMovement& m =
        type == cdtNCLinear ? FDocument.Drive.NCLinearMove : FDocument.Drive.NCCircularMove;
    if (m.ProfileReached()) return {};
    return "the servo profile does not reach its travel: " +
           std::to_string(TMovement::cMaxReductions) +
           " speed reductions still overrun it (the jerk is too small for the travel)";
}
