#pragma once

#include "core/quantities/my_project_types.h"

//! Effective limits of a servo motion profile after its reduction: A' (> 0), D' (< 0)
//! and V', in m/s², m/s or rad/s², rad/s.
struct TMotionLimits {
    double AccPos = 0.0;
    double AccNeg = 0.0;
    double Vmax = 0.0;
};

//! What the force and moment calculations read from the motion: the curves over time of
//! the pneumatic and servo motions and the effective limits of the two servo profiles.
//! The motion calculation implements it; times are in s from the start of the motion.
class TMotionCurves {
public:
    virtual ~TMotionCurves() = default;

    //! Schematic acceleration of the pneumatic stroke, m/s².
    virtual double PneumaticLinearAcceleration(double t) const = 0;
    //! Schematic angular acceleration of the pneumatic swivel, rad/s².
    virtual double PneumaticRotaryAcceleration(double t) const = 0;
    //! Schematic angular speed of the pneumatic swivel, rad/s.
    virtual double PneumaticRotarySpeed(double t) const = 0;

    //! Acceleration of the linear servo profile, m/s².
    virtual double NCLinearAcceleration(double t) const = 0;
    //! Velocity of the linear servo profile, m/s.
    virtual double NCLinearVelocity(double t) const = 0;
    //! Angular acceleration of the rotary servo profile, rad/s².
    virtual double NCRotaryAcceleration(double t) const = 0;
    //! Angular velocity of the rotary servo profile, rad/s.
    virtual double NCRotaryVelocity(double t) const = 0;

    //! A', D', V' of the linear servo profile.
    virtual TMotionLimits NCLinearLimits() const = 0;
    //! A', D', V' of the rotary servo profile.
    virtual TMotionLimits NCRotaryLimits() const = 0;

    //! End of the time axis of the position chart of a drive type, s: the travel or
    //! swivel time of a pneumatic drive, the total time of a servo profile.
    virtual double PositionTimeEnd(TDriveType type) const = 0;
};
