#pragma once

//! The motion of the current drive at one instant, in base units.
struct TMotionSample {
    //! Linear drives: acceleration along the motion direction, m/s².
    double Acceleration = 0.0;
    //! Swivel drives: angle φ (rad), angular speed ω (rad/s) and angular acceleration
    //! α (rad/s²) of the swivel.
    double Angle = 0.0;
    double AngularSpeed = 0.0;
    double AngularAcceleration = 0.0;
};

//! The motion curves of the current drive ("Drive.Type") as the suction cup load page
//! replays them. The motion calculation implements it; the load page reads whether the
//! drive swivels, its direction and its lever arm from the project document.
class TMotionSource {
public:
    virtual ~TMotionSource() = default;

    //! End of the time axis of the current drive's motion, s.
    virtual double EndTime() const = 0;
    //! The curves at time t, 0 ≤ t ≤ EndTime(): for a linear drive the acceleration, for a
    //! swivel drive angle, angular speed and angular acceleration (the other members 0).
    virtual TMotionSample Sample(double t) const = 0;
};
