#pragma once

#include "core/quantities/prj_object.h"

#include <string>

//! Motion profile of a servo ("NC") axis: its inputs as stored in the project, in base
//! units (m or rad).
class TMovement : public TPrjObject {
public:
    TMovement() = default;

    bool JerkLimited() const { return FJerkLimited; }
    void SetJerkLimited(bool value) { FJerkLimited = value; }
    //! Jerk J (m/s³ or rad/s³).
    double Jerk() const { return FJerk; }
    void SetJerk(double value) { FJerk = value; }
    //! Maximum acceleration A (> 0).
    double AccPos() const { return FAccPos; }
    void SetAccPos(double value) { FAccPos = value; }
    //! Maximum deceleration D (< 0).
    double AccNeg() const { return FAccNeg; }
    void SetAccNeg(double value) { FAccNeg = value; }
    //! Maximum speed V.
    double Vmax() const { return FVmax; }
    void SetVmax(double value) { FVmax = value; }
    //! Travel L (m or rad).
    double Length() const { return FLength; }
    void SetLength(double value) { FLength = value; }
    //! Travel time as entered; stored only.
    double Time() const { return FTime; }
    void SetTime(double value) { FTime = value; }

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
    bool FJerkLimited = false;
    double FJerk = 1.0;
    double FAccPos = 1.0;
    double FAccNeg = -1.0;
    double FVmax = 1.0;
    double FLength = 1.0;
    double FTime = 1.0;
};
