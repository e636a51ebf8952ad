#pragma once

#include "core/quantities/prj_object.h"

#include <array>
#include <functional>
#include <string>

//! Motion profile of a servo ("NC") axis in seven phases (jerk up, constant acceleration,
//! jerk down, constant speed, jerk down, constant deceleration, jerk up): its inputs as
//! stored in the project and the profile computed from them, in base units (m or rad).
//! Every setter stores a changed value only and then recomputes.
class TMovement : public TPrjObject {
public:
    using TNotifyEvent = std::function<void(TMovement& sender)>;

    //! Number of phases.
    static constexpr int cPhaseCount = 7;
    //! Upper bound of the speed reductions of a jerk-limited profile whose ramps exceed the
    //! travel (0.95^1000 ≈ 5e-23 of the entered speed); at the bound the last ramps stand.
    static constexpr int cMaxReductions = 1000;

    //! Computes the profile of the reset inputs.
    TMovement();

    bool JerkLimited() const { return FJerkLimited; }
    void SetJerkLimited(bool value);
    //! Jerk J (m/s³ or rad/s³).
    double Jerk() const { return FJerk; }
    void SetJerk(double value);
    //! Maximum acceleration A (> 0).
    double AccPos() const { return FAccPos; }
    void SetAccPos(double value);
    //! Maximum deceleration D (< 0).
    double AccNeg() const { return FAccNeg; }
    void SetAccNeg(double value);
    //! Maximum speed V.
    double Vmax() const { return FVmax; }
    void SetVmax(double value);
    //! Travel L (m or rad).
    double Length() const { return FLength; }
    void SetLength(double value);
    //! Travel time as entered; stored only.
    double Time() const { return FTime; }
    void SetTime(double value);

    //! Recomputes the profile when J ≠ 0 (or jerk limitation off), V > 0, L > 0, A > 0
    //! and D < 0; otherwise, or when the result would not be finite, the previous profile
    //! stands. Then OnChange.
    void Recalculate();

    //! Duration of phase `phase` (1..7), s; 0 outside.
    double PhaseTime(int phase) const;
    //! Jerk of phase `phase` (1..7); 0 outside.
    double PhaseJerk(int phase) const;
    //! Time, acceleration, velocity and position at the start of phase `i` + 1 (i = 0..7;
    //! i = 7 is the end); 0 outside.
    double StartTime(int i) const;
    double StartAcceleration(int i) const;
    double StartVelocity(int i) const;
    double StartPosition(int i) const;
    //! Effective maximum acceleration A', deceleration D' and speed V' after reduction.
    double EffAccPos() const { return FEffAccPos; }
    double EffAccNeg() const { return FEffAccNeg; }
    double EffVmax() const { return FEffVmax; }
    //! Total time tE and end position sE.
    double EndTime() const { return FTimes[7]; }
    double EndPosition() const { return FPos[7]; }
    //! Number of speed reductions of the last recomputation.
    int Reductions() const { return FReductions; }
    //! False when a jerk-limited profile still overran the travel at the last of its
    //! cMaxReductions speed reductions: its phases then do not end at the travel and must
    //! not be used.
    bool ProfileReached() const { return FProfileReached; }

    //! Jerk at time t; 0 beyond the end.
    double JerkAt(double t) const;
    //! Acceleration at time t; 0 beyond the end.
    double AccelerationAt(double t) const;
    //! Velocity at time t; 0 beyond the end.
    double VelocityAt(double t) const;
    //! Position at time t; sE beyond the end.
    double PositionAt(double t) const;

    //! Raised after every recomputation.
    TNotifyEvent OnChange;

    //! key.JerkLimited, key.Jerk, key.AccPos, key.AccNeg, key.Vmax, key.Length, key.Time.
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! A number that does not read (also a missing one) reads as 1.
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Equal when all seven inputs are equal.
    bool Equals(const TPrjObject& other) const override;
    void AssignFrom(const TPrjObject& other) override;
    //! Jerk limitation off, J = A = V = L = time = 1, D = −1.
    void ClearItem() override;

private:
    //! Phase index of time t: the first i in 0..6 with t ≤ t(i+1), 7 beyond the end.
    int PhaseIndex(double t) const;

    bool FJerkLimited = false;
    double FJerk = 1.0;
    double FAccPos = 1.0;
    double FAccNeg = -1.0;
    double FVmax = 1.0;
    double FLength = 1.0;
    double FTime = 1.0;

    std::array<double, 7> FDurations{};
    std::array<double, 7> FJerks{};
    std::array<double, 8> FTimes{};
    std::array<double, 8> FAcc{};
    std::array<double, 8> FVel{};
    std::array<double, 8> FPos{};
    double FEffAccPos = 0.0;
    double FEffAccNeg = 0.0;
    double FEffVmax = 0.0;
    int FReductions = 0;
    bool FProfileReached = true;
};
