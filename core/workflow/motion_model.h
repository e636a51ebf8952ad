#pragma once

#include <numbers>

#include "core/calc/axis_range.h"
#include "core/calc/drive.h"
#include "core/calc/motion_curves.h"
#include "core/calc/motion_source.h"
#include "core/calc/pneumatic_motion.h"
#include "core/quantities/my_project_types.h"

#include <functional>

#include "core/util/signal.h"
#include <string>
#include <vector>

class TMyProject;
class TMovement;

//! Chart axes of a servo profile: ±1.2 × the entered jerk, 1.2 × the entered deceleration
//! and acceleration, up to the entered speed and the travel; time up to tE.
struct TNCChartAxes {
    TAxisRange Time;
    TAxisRange Jerk;
    TAxisRange Acceleration;
    TAxisRange Velocity;
    TAxisRange Position;
};

//! The motion page without widgets: motion inputs, moving mass and moments of inertia
//! about the swivel axis, the pneumatic speed–time relations and the two servo profiles
//! of the project document; the curves over time that the forces and load pages read.
//! Every handler does nothing while the disclaimer is pending or a project is loading.
class TMotionModel : public TMotionCurves, public TMotionSource {
public:
    //! Any number of followers; the application connects its recalculation chain first.
    using TNotifyEvent = TSignal<TMotionModel&>;

    //! Binds the change callbacks of the document's two servo profiles.
    explicit TMotionModel(TMyProject& document);
    ~TMotionModel() override;
    TMotionModel(const TMotionModel&) = delete;
    TMotionModel& operator=(const TMotionModel&) = delete;

    TMyProject& Document() const { return FDocument; }

    // --- derived values ---
    //! Suction cups + holder + workpiece, kg.
    double MovingMass() const;
    //! Workpiece about the swivel axis: own part J0, lever part R²·m, and their sum.
    double WorkpieceOwnInertia() const;
    double WorkpieceLeverInertia() const;
    double WorkpieceAxisInertia() const;
    //! Recomputes the cups' and the total moment of inertia about the swivel axis into the
    //! document.
    void UpdateInertia();

    // --- handlers of the motion page ---
    //! Drive type from the drive tab (0 pneumatic, 1 servo) and the motion tab (0 linear,
    //! 1 rotary).
    void TabNotebookBewegungChange(int motionTab);
    void TabSetAntriebChange(int driveTab);
    void SpinEditMasseHalterungChange(double mass);
    //! Stores the stroke and sets it as the travel of the linear servo profile.
    void SpinEditLinWegChange(double travel);
    void RBtnRichtungClick(TLinearDirection direction);
    void SpinEditHebelarmWerkStkChange(double lever);
    void SpinEditDrehwinkelChange(double angle);
    void SpinEditTraegheitHalterungChange(double inertia);

    // --- pneumatic speed and time ---
    //! True: the time is entered and the speed computed.
    void RBtnVMaxAusrechnenClick(bool calculateSpeed);
    void SpinEditZeitLinChange(double time);
    void SpinEditVMaxLinChange(double speed);
    //! The stroke changed: new time limits (an entered time outside them is brought to
    //! their nearer end), then the relation of the current mode. SpinEditLinWegChange does
    //! the same.
    void PanelVerfahrweg2Change();
    void RBtnRotAusrechnenClick(bool calculateSpeed);
    void SpinEditZeitRotChange(double time);
    void SpinEditWMaxRotChange(double speed);
    void PanelPnRotWinkelMaxChange();
    //! Limits of the speed fields (m/s, rad/s; the rotary ones 90 to 2160 degrees per second
    //! unless the view sets others) and the time limits that follow from them (0 for a
    //! missing limit).
    TAxisRange LinearSpeedLimits() const { return FLinearSpeedLimits; }
    TAxisRange RotarySpeedLimits() const { return FRotarySpeedLimits; }
    void SetRotarySpeedLimits(const TAxisRange& limits) { FRotarySpeedLimits = limits; }
    TAxisRange LinearTimeLimits() const;
    TAxisRange RotaryTimeLimits() const;

    // --- servo axes ---
    void ChkBoxRuckBegrenzt_Click(bool checked);
    //! Checked: separate deceleration; unchecked: it mirrors the acceleration.
    void ChkBoxAPlusMinus_Click(bool checked);
    bool LinearSeparateDeceleration() const { return FLinearSeparateDec; }
    void SpinEditNCAchseRuckMaxChange(double jerk);
    void SpinEditNCAchseAPlusChange(double acc);
    void SpinEditNCAchseAMinusChange(double dec);
    void SpinEditNCAchseVMaxxxChange(double speed);
    void ChkBoxRotRuck_Click(bool checked);
    void ChkBoxRotAPlusMinus_Click(bool checked);
    bool RotarySeparateDeceleration() const { return FRotarySeparateDec; }
    void SpinEditRotRuckChange(double jerk);
    void SpinEditNCAchseRotAPlusChange(double acc);
    void SpinEditNCAchseRotAMinusChange(double dec);
    void SpinEditWinkelgeschwindigkeitChange(double speed);
    void PanelDrehwinkelNCChange(double angle);
    //! Change callbacks of the two profiles: publish the acceleration triples, then the
    //! forces.
    void MoveLinChange(TMovement& sender);
    void MoveRotChange(TMovement& sender);
    TNCChartAxes NCLinearAxes() const;
    TNCChartAxes NCRotaryAxes() const;

    // --- chart callbacks: the value of series `series` at time x; `valid` arrives true and
    // --- is set false where the series has no point ---
    //! Jerk of the linear profile (series 0).
    void DiagrammNcLinRGetY(double x, int series, double& y, bool& valid) const;
    //! 0 the entered deceleration, 1 the entered acceleration, 2 acceleration(x).
    void DiagrammNcLinAGetY(double x, int series, double& y, bool& valid) const;
    //! 0 the entered speed, 1 velocity(x).
    void DiagrammNcLinVGetY(double x, int series, double& y, bool& valid) const;
    //! 0 the stroke, 1 position(x).
    void DiagrammNcLinSGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammNcRotRGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammNcRotAGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammNcRotVGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammNcRotSGetY(double x, int series, double& y, bool& valid) const;
    //! Schematic pneumatic curves on the axes the drive sizing set (series 0).
    void DiagrammPnLinAGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammPnLinVGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammPnLinSGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammPnRotAGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammPnRotVGetY(double x, int series, double& y, bool& valid) const;
    void DiagrammPnRotSGetY(double x, int series, double& y, bool& valid) const;
    //! Spread bands of the pneumatic acceleration and velocity charts.
    TPneumaticBand DiagrammPnLinABand(double x) const;
    TPneumaticBand DiagrammPnLinVBand(double x) const;
    TPneumaticBand DiagrammPnRotABand(double x) const;
    TPneumaticBand DiagrammPnRotVBand(double x) const;

    // --- pneumatic chart scaling, set by the drive sizing ---
    void SetPneumaticLinearAxes(const TDriveChartAxes& axes) { FPnLinearAxes = axes; }
    void SetPneumaticRotaryAxes(const TDriveChartAxes& axes) { FPnRotaryAxes = axes; }
    const TDriveChartAxes& PneumaticLinearAxes() const { return FPnLinearAxes; }
    const TDriveChartAxes& PneumaticRotaryAxes() const { return FPnRotaryAxes; }

    // --- TMotionCurves ---
    double PneumaticLinearAcceleration(double t) const override;
    //! The chart's lower end is a tangential braking acceleration; divided by the lever
    //! it becomes angular like the upper end.
    double PneumaticRotaryAcceleration(double t) const override;
    double PneumaticRotarySpeed(double t) const override;
    double NCLinearAcceleration(double t) const override;
    double NCLinearVelocity(double t) const override;
    double NCRotaryAcceleration(double t) const override;
    double NCRotaryVelocity(double t) const override;
    TMotionLimits NCLinearLimits() const override;
    TMotionLimits NCRotaryLimits() const override;
    double PositionTimeEnd(TDriveType type) const override;

    // --- TMotionSource ---
    double EndTime() const override;
    TMotionSample Sample(double t) const override;
    //! Where the phases of the current drive's motion begin and end on its time axis, in
    //! ascending order, s: the seven equal units of a pneumatic motion, the seven phases
    //! of a servo profile. Loads peak at or next to these instants (the braking of a
    //! pneumatic drive peaks at the very end of the last unit).
    std::vector<double> PhaseBoundaries() const;
    //! Empty while the current drive is pneumatic or its servo profile ends at its travel;
    //! otherwise why the profile is not usable.
    std::string ProfileDiagnostic() const;

    //! Runs the drive sizing after a change of the motion (pneumatic inputs, mass, inertia).
    TNotifyEvent OnDriveChange;
    //! Runs the forces after a change of the motion or of a servo profile.
    TNotifyEvent OnKraftChange;

private:
    bool Inert() const;
    void AfterMotionChange();
    void KeepLinearTimeInLimits();
    void KeepRotaryTimeInLimits();
    void RecalcLinearSpeed();
    void RecalcRotarySpeed();
    void NcGetY(const TMovement& m, char chart, double x, int series, double& y, bool& valid) const;
    void PnGetY(bool rotary, TPneumaticCurve curve, double x, int series, double& y,
                bool& valid) const;

    TMyProject& FDocument;
    bool FLinearSeparateDec = true;
    bool FRotarySeparateDec = true;
    TAxisRange FLinearSpeedLimits{0.005, 10.0};
    // 90 to 2160 degrees per second, as the main window limits the field.
    TAxisRange FRotarySpeedLimits{std::numbers::pi / 2.0, 12.0 * std::numbers::pi};
    TDriveChartAxes FPnLinearAxes;
    TDriveChartAxes FPnRotaryAxes;
};
