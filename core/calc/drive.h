#pragma once

#include "core/calc/axis_range.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

// Sizing of a pneumatic cylinder or rotary actuator: can it move the load and stop it,
// with or without industrial shock absorbers at the end positions. Base units throughout.

//! Pressure at which the catalogue rates actuator forces and torques, Pa.
inline constexpr double cRatedPressure = 600000.0;
//! Braking distance of a cylinder without adjustable cushioning, m.
inline constexpr double cFixedCushioning = 0.0006;

//! A force or torque rated at 6 bar, delivered at pressure p (Pa): value × p / 6 bar.
double ScaleToPressure(double rated, double pressure);

//! Row of the cylinder table chosen automatically: the first whose largest moving mass
//! ("Mass") is at least `movingMass`, else the last; −1 for no rows.
int AutomaticCylinderRow(const std::vector<double>& massLimits, double movingMass);

//! Rating data of a shock absorber.
struct TShockAbsorberData {
    double Stroke = 0.0;     //!< "Stroke", m
    double EnergyMax = 0.0;  //!< "W_tot", permitted energy per stroke, J
    double EnergyHMax = 0.0; //!< "W_tot_h", permitted energy per hour, J/h
    double ForceMax = 0.0;   //!< "F_max", permitted end force, N
    bool Elastomer = false;  //!< damping medium "~Elastomer": takes no drive force
};

//! Load of one shock absorber and its ratios to the ratings (0 where a rating is 0).
struct TAbsorberLoad {
    double Energy = 0.0;        //!< per stroke, J
    double EnergyPerHour = 0.0; //!< J/h
    double Force = 0.0;         //!< end force, N
    double EnergyRatio = 0.0;
    double EnergyPerHourRatio = 0.0;
    double ForceRatio = 0.0;
};

//! Accelerating, braking and centripetal acceleration a drive hands to the forces, m/s².
using TDriveAccelerationTriple = std::array<double, 3>;

//! Chart axes of a pneumatic motion.
struct TDriveChartAxes {
    TAxisRange Time;
    TAxisRange Acceleration;
    TAxisRange Velocity;
    TAxisRange Position;
};

struct TLinearDriveInput {
    double RatedForce = 0.0; //!< "Force" of the cylinder row at 6 bar, N
    double VKDmin = 0.0;     //!< adjustable cushioning length of the row, m
    double Pressure = 0.0;   //!< Pa
    double MovingMass = 0.0; //!< kg
    double WorkpieceMass = 0.0;
    double Speed = 0.0;  //!< maximum speed v, m/s
    double Stroke = 0.0; //!< m
    double Time = 0.0;   //!< travel time, s
    double SafetyFactor = 1.0;
    //! The absorber when "~ShockAbsorber" is on and one is chosen.
    std::optional<TShockAbsorberData> Absorber;
    int AbsorberCount = 1;
};

struct TLinearDriveResult {
    double PistonForce = 0.0;          //!< N
    double Acceleration = 0.0;         //!< F/m, m/s²
    double BrakingDistance = 0.0;      //!< m
    bool AdjustableCushioning = false; //!< "VKDmin" > 0
    double BrakingAcceleration = 0.0;  //!< m/s²
    double InertiaForce = 0.0;         //!< on the workpiece, N
    bool AbsorberUsed = false;
    TAbsorberLoad Absorber;
    TDriveChartAxes Axes;
    TDriveAccelerationTriple Accelerations{};
};

//! Piston force, accelerations, absorber load and chart axes of a cylinder.
TLinearDriveResult SizeLinearDrive(const TLinearDriveInput& in);

struct TRotaryDriveInput {
    bool HasRow = false;          //!< an actuator row is chosen
    double RatedTorque = 0.0;     //!< "Torque" at 6 bar, N·m
    double CushAngleMin = 0.0;    //!< rad
    double Pressure = 0.0;        //!< Pa
    double MomentOfInertia = 0.0; //!< total J about the swivel axis, kg·m²
    double Lever = 0.0;           //!< R, m
    double AngularSpeed = 0.0;    //!< ω, rad/s
    double Angle = 0.0;           //!< φ, rad
    double Time = 0.0;            //!< swivel time, s
    double SafetyFactor = 1.0;
    double WorkpieceMass = 0.0;
    //! The absorber when "~ShockAbsorber" is on and one is chosen.
    std::optional<TShockAbsorberData> Absorber;
    int AbsorberCount = 1;
    double AbsorberRadius = 0.0; //!< rA, m
};

struct TRotaryDriveResult {
    double Torque = 0.0;                  //!< N·m
    double Acceleration = 0.0;            //!< tangential (M/J)·R, m/s²
    double BrakingAngle = 0.0;            //!< rad
    double EquivalentMass = 0.0;          //!< J/n/rA² at the absorber, kg
    double BrakingAcceleration = 0.0;     //!< m/s²
    double CentripetalAcceleration = 0.0; //!< ω²·R, m/s²
    double InertiaForce = 0.0;            //!< N
    bool AbsorberUsed = false;
    TAbsorberLoad Absorber;
    TDriveChartAxes Axes;
    TDriveAccelerationTriple Accelerations{};
};

//! Torque, accelerations, absorber load and chart axes of a rotary actuator.
TRotaryDriveResult SizeRotaryDrive(const TRotaryDriveInput& in);

//! Equivalent mass at the absorber, J/n/rA²; 0 unless n > 0 and rA > 0.
double AbsorberEquivalentMass(double momentOfInertia, int count, double radius);

//! Condition on the rotary actuator query offering the swivel angle φ (rad): within the
//! row's angle range or one of its fixed angles.
std::string RotaryAngleCondition(double angle);
//! Condition on the rotary actuator query for a total moment of inertia J (kg·m²).
std::string RotaryInertiaCondition(double momentOfInertia);

//! A rating bar pair: the first bar up to 100 %, the second beyond.
struct TRatingBar {
    bool Overloaded = false; //!< both bars red (else the first lime)
    double FirstPercent = 0.0;
    double SecondPercent = 0.0;
    std::string SecondText; //!< "> 200%" or the rounded percentage and "%"
};

//! The bars of a load ratio.
TRatingBar RatingBar(double ratio);
