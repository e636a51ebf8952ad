#pragma once

#include "core/algebra/vektor.h"
#include "core/calc/axis_range.h"
#include "core/calc/motion_curves.h"
#include "core/quantities/my_project_types.h"

#include <array>
#include <optional>

// Forces and moments the gripper transmits to the workpiece: mass × (acceleration of the
// motion + gravity), acting at the centre of gravity, and the workpiece's own inertia ×
// the angular acceleration of a swivel. Inputs that are not finite never give a NaN or infinite result: the extremes are
// then marked invalid and zero, a curve has no point.

//! Gravity, m/s², acting along −Z (so the gripper force carries +g on Z). Deliberately
//! 9.80655 and not the standard 9.80665: results, product ratings and project files made
//! with it stay comparable, and the pound-force and psi of the units rest on it, so a
//! change would shift every derived unit and figure.
inline constexpr double cGravity = 9.80655;

//! Accelerations of a drive type as the drive calculations leave them (m/s², ≥ 0):
//! accelerating, braking, centripetal.
using TDriveAccelerations = std::array<double, 3>;

//! True for the two swivel drives.
bool IsRotaryDrive(TDriveType type);

//! Extreme forces over the motion and the acceleration envelope they come from.
struct TForceExtremes {
    //! Envelope of the accelerations including gravity and the zero vector, m/s².
    TVektor Lower;
    TVektor Upper;
    //! Smallest component of Lower; the longer of Upper and Lower, m/s².
    double Lowest = 0.0;
    double Largest = 0.0;
    //! Largest force magnitude along X and Y, the largest force along Z and the largest
    //! total force, N.
    double Fx = 0.0;
    double Fy = 0.0;
    double Fz = 0.0;
    double F = 0.0;
    //! False when an input or a result was not finite; every value is 0 then.
    bool Valid = true;
};

//! Extremes for the drive's accelerations p, the unit direction of a linear motion and
//! the workpiece mass. A swivel accelerates along X (p1 forwards, p2 braking) and
//! centripetally along Y (p3).
TForceExtremes ForceExtremes(TDriveType type, const TDriveAccelerations& p,
                             const TVektor& direction, double mass);

//! Largest moments in the YZ, XZ and XY planes (about X, Y and Z of the workpiece), N·m.
struct TGripperMoments {
    double YZ = 0.0;
    double XZ = 0.0;
    double XY = 0.0;
};

//! Directions, in the workpiece axes, of a swivel's tangential acceleration while it
//! speeds up and of its centripetal acceleration, as the cup loads take them.
TVektor SwivelTangentialDirection();
TVektor SwivelCentripetalDirection();

//! Moments the gripper transmits about the workpiece centre. The workpiece's own moment
//! of inertia jz about Z turns with the swivel: a pneumatic swivel accelerates by p1/R and
//! brakes by p2/R (none for R = 0), a servo swivel by A' and D' of the rotary profile, so
//! a centred mass gives Jz·max(p1, p2)/R or Jz·max(A', −D') in the XY plane and nothing
//! else. The force m·(a + g) acts at the centre of gravity c (workpiece axes), adding
//! c × F: for a linear drive along the direction with p1 and −p2, for a swivel with p1 and
//! −p2 tangentially and p3 centripetally, each instant with its own angular acceleration;
//! every plane takes the largest magnitude over these instants and rest.
TGripperMoments GripperMoments(TDriveType type, const TDriveAccelerations& p, double lever,
                               double jz, const TMotionLimits& rotary, double mass,
                               const TVektor& massCenter, const TVektor& direction);

//! Axis ranges of the force and moment charts.
struct TForceChartRanges {
    //! 0 to the end of the position chart's time axis, s.
    TAxisRange Time;
    //! 1.2·m·lowest to 1.2·m·largest, N.
    TAxisRange Force;
    //! 1.2·Jz·D' to 1.2·Jz·A' of the rotary servo profile, N·m.
    TAxisRange Moment;
};

TForceChartRanges ForceChartRanges(const TForceExtremes& extremes, double mass, double timeEnd,
                                   double jz, const TMotionLimits& rotary);

//! Force of the gripper on the workpiece at one instant, N.
struct TGripperForce {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    double Total = 0.0;
};

//! m·(direction·a + g·Z) for a linear motion with acceleration a along the unit direction.
std::optional<TGripperForce> LinearGripperForce(double mass, const TVektor& direction, double a);
//! m·(R·α, R·ω², g) for a swivel at lever R.
std::optional<TGripperForce> SwivelGripperForce(double mass, double lever, double alpha,
                                                double omega);
//! The force at time t of the drive type, reading its acceleration (and for a swivel its
//! angular speed) from the motion curves.
std::optional<TGripperForce> GripperForceAt(TDriveType type, double t, double mass,
                                            const TVektor& direction, double lever,
                                            const TMotionCurves& motion);
//! Jz·α(t) of the rotary servo profile; no value for the other drive types.
std::optional<double> GripperMomentAt(TDriveType type, double t, double jz,
                                      const TMotionCurves& motion);
