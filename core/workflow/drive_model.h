#pragma once

#include "core/calc/drive.h"

#include <array>
#include <functional>

#include "core/util/signal.h"
#include <optional>
#include <string>
#include <string_view>

class TCustomTable;
class TMotionModel;
class TMyProject;
class TStringQuery;

//! Whether the chosen actuator can set the load in motion and stop it at the end of the
//! motion.
struct TDriveCheck {
    //! An actuator is chosen and delivers a force or torque; a cylinder lifting the load
    //! straight up needs more than its weight.
    bool CanMove = true;
    //! The shock absorbers in use stay below every rating; without absorbers the cylinder
    //! is rated for the moving mass ("Mass") or the actuator for the moment of inertia
    //! ("MomentOfInertiaMax") and has a braking distance.
    bool CanStop = true;
    bool operator==(const TDriveCheck&) const = default;
};

//! The drive page without widgets: sizing of the pneumatic cylinder or rotary actuator of
//! the project document with its shock absorbers, the rating bars, the filter of the
//! rotary actuator query, and the chart scaling it hands to the motion model. Tables are
//! not owned; a missing table reads as empty. Every handler does nothing while the
//! disclaimer is pending or a project is loading and ends with Calculate.
class TDriveModel {
public:
    //! Any number of followers; the application connects its recalculation chain first.
    using TNotifyEvent = TSignal<TDriveModel&>;

    //! Longest stored absorber or actuator order code.
    static constexpr size_t cOrderCodeLength = 30;

    //! `cylinders` "tbl CylinderForce", `absorbers` "ShockAbsorber", `rotary` the query
    //! over "qry RotaryCylinders".
    TDriveModel(TMyProject& document, TMotionModel& motion, const TCustomTable* cylinders,
                const TCustomTable* absorbers, TStringQuery* rotary);

    TMyProject& Document() const { return FDocument; }

    //! The linear calculation for "pneumatic <linear>" and "NC <linear>", the rotary one
    //! otherwise; hands the triple and chart axes on, then OnKraftChange.
    void Calculate();
    void CalculateLinear();
    void CalculateRotary();

    //! After a change of the motion: refilters the rotary query for the swivel drives,
    //! then Calculate.
    void MotionChange();

    // --- handlers ---
    //! A diameter of the cylinder list, m.
    void CoBoxDZylLinChange(double diameter);
    void SpinEditBetrDruckLinChange(double pressure);
    void CoBoxZylRotChange(std::string_view orderCode);
    void SpinEditBetrDruckRotChange(double pressure);
    void ChkBox20to30Percent_Click(bool checked);
    void ChkBoxQdrLin_Click(bool checked);
    void CoBoxQdrLinChange(std::string_view orderCode);
    void SpinEditQdrLinAnzahlChange(int count);
    void SpinEditFaktorPnLinChange(double factor);
    void SpinEditFaktorPnRotChange(double factor);
    //! The rotary absorber settings; the radius rA (m) is not stored in the project.
    void Qdr_Change(bool use, std::string_view orderCode, int count, double radius);
    //! Refilters the rotary query by the swivel angle and, without absorbers, by the total
    //! moment of inertia; then StrQueryDrehachseChange.
    void FilterRotaryQuery();
    //! Keeps the chosen actuator while the query offers it, else takes its first row, else
    //! none.
    void StrQueryDrehachseChange();
    //! Refilters the rotary query when the swivel angle, the total moment of inertia or the
    //! use of absorbers differ from those of the last filter, whatever changed them (a
    //! loaded project, a new workpiece mass, the motion page). Calculate runs it first.
    void UpdateRotaryFilter();
    //! The stored actuator that StrQueryDrehachseChange first gave up since the last
    //! ForgetReplacedActuator (a project being read calls it); empty while none was.
    const std::string& ReplacedActuator() const { return FReplacedActuator; }
    void ForgetReplacedActuator() { FReplacedActuator.clear(); }

    // --- results ---
    const TLinearDriveResult& Linear() const { return FLinear; }
    const TRotaryDriveResult& Rotary() const { return FRotary; }
    //! Row of the cylinder table in use; −1 for none.
    int CylinderRow() const { return FCylinderRow; }
    //! Its "Diameter", m (shown while the automatic selection is on).
    double CylinderDiameter() const;
    double AbsorberRadius() const { return FAbsorberRadius; }
    //! Energy per stroke, per hour and end force of the absorbers.
    std::array<TRatingBar, 3> LinearRatingBars() const;
    std::array<TRatingBar, 3> RotaryRatingBars() const;
    //! The linear bars show while "~ShockAbsorber" is on; the rotary ones while the
    //! absorber is used with n > 0, rA > 0 and an order code.
    bool LinearRatingBarsVisible() const;
    bool RotaryRatingBarsVisible() const;

    //! The check of the last sizing; a servo drive always passes (it follows its profile).
    TDriveCheck LinearCheck() const;
    TDriveCheck RotaryCheck() const;
    TDriveCheck Check() const;

    //! Runs the forces after a sizing.
    TNotifyEvent OnKraftChange;

private:
    bool Inert() const;
    std::optional<TShockAbsorberData> Absorber(std::string_view orderCode) const;

    TMyProject& FDocument;
    TMotionModel& FMotion;
    const TCustomTable* FCylinders;
    const TCustomTable* FAbsorbers;
    TStringQuery* FRotaryQuery;
    double FAbsorberRadius = 0.0;
    // Inputs of the last rotary filter; unset until the first one.
    struct TRotaryFilterKey {
        double Angle = 0.0;
        double MomentOfInertia = 0.0;
        bool UseQdr = false;
        bool operator==(const TRotaryFilterKey&) const = default;
    };
    TRotaryFilterKey RotaryFilterKey() const;
    std::optional<TRotaryFilterKey> FFilteredFor;
    std::string FReplacedActuator;
    int FCylinderRow = -1;
    TLinearDriveResult FLinear;
    TRotaryDriveResult FRotary;
};
