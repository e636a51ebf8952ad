#include "core/calc/movement.h"

#include "core/quantities/prj_strings.h"

#include <cmath>

namespace {

constexpr double kUnreadable = 1.0;
constexpr double kReduction = 0.95;

struct TPlan {
    std::array<double, 7> T{};
    double A = 0.0;
    double D = 0.0;
    double V = 0.0;
    double SAcc = 0.0;
    double SDec = 0.0;
    double SConst = 0.0;
};

// Durations of the acceleration and deceleration phases for the speed V (no constant
// phase), then the distances they cover.
void PlanRamps(TPlan& p, bool jerkLimited, double jerk) {
    p.T.fill(0.0);
    if (!jerkLimited) {
        p.T[1] = p.V / p.A;
        p.T[5] = -p.V / p.D;
    } else {
        p.T[0] = p.A / jerk;
        const double reachAcc = jerk * p.T[0] * p.T[0];
        if (reachAcc < p.V) {
            p.T[1] = p.V / p.A - p.T[0];
        } else if (reachAcc > p.V) {
            // The speed is reached before the full acceleration.
            p.T[0] = std::sqrt(p.V / jerk);
            p.A = jerk * p.T[0];
        }
        p.T[2] = p.T[0];
        p.T[6] = -p.D / jerk;
        const double reachDec = jerk * p.T[6] * p.T[6];
        if (reachDec < p.V) {
            p.T[5] = -p.V / p.D - p.T[6];
        } else if (reachDec > p.V) {
            p.T[6] = std::sqrt(p.V / jerk);
            p.D = -jerk * p.T[6];
        }
        p.T[4] = p.T[6];
    }
    p.SAcc = (p.T[0] * p.T[0] + 1.5 * p.T[0] * p.T[1] + 0.5 * p.T[1] * p.T[1]) * p.A;
    p.SDec = -(p.T[6] * p.T[6] + 1.5 * p.T[6] * p.T[5] + 0.5 * p.T[5] * p.T[5]) * p.D;
    p.SConst = 0.0;
}

} // namespace

TMovement::TMovement() {
    Recalculate();
}

void TMovement::SetJerkLimited(bool value) {
    if (value == FJerkLimited) return;
    FJerkLimited = value;
    Recalculate();
}

void TMovement::SetJerk(double value) {
    if (value == FJerk) return;
    FJerk = value;
    Recalculate();
}

void TMovement::SetAccPos(double value) {
    if (value == FAccPos) return;
    FAccPos = value;
    Recalculate();
}

void TMovement::SetAccNeg(double value) {
    if (value == FAccNeg) return;
    FAccNeg = value;
    Recalculate();
}

void TMovement::SetVmax(double value) {
    if (value == FVmax) return;
    FVmax = value;
    Recalculate();
}

void TMovement::SetLength(double value) {
    if (value == FLength) return;
    FLength = value;
    Recalculate();
}

void TMovement::SetTime(double value) {
    if (value == FTime) return;
    FTime = value;
    Recalculate();
}

void TMovement::Recalculate() {
    const bool usable = (FJerk != 0.0 || !FJerkLimited) && FVmax > 0.0 && FLength > 0.0 &&
                        FAccPos > 0.0 && FAccNeg < 0.0;
    if (usable) {
        TPlan p;
        p.A = FAccPos;
        p.D = FAccNeg;
        p.V = FVmax;
        const double L = FLength;
        int reductions = 0;
        bool reached = true;
        PlanRamps(p, FJerkLimited, FJerk);
        if (p.SAcc + p.SDec < L) {
            p.SConst = L - p.SAcc - p.SDec;
            p.T[3] = p.SConst / p.V;
        } else if (p.SAcc + p.SDec > L) {
            if (FJerkLimited) {
                // The speed shrinks geometrically, so the ramps shrink with it; the bound
                // only guards against inputs for which they never fit.
                while (p.SAcc + p.SConst + p.SDec > L && reductions < cMaxReductions) {
                    p.V *= kReduction;
                    ++reductions;
                    PlanRamps(p, FJerkLimited, FJerk);
                    if (p.SAcc + p.SDec < L) {
                        p.SConst = L - p.SAcc - p.SDec;
                        p.T[3] = p.SConst / p.V;
                    }
                }
                reached = !(p.SAcc + p.SConst + p.SDec > L);
            } else {
                // Triangular profile: the speed is never reached.
                p.T[1] = std::sqrt(2.0 * L / p.A / (1.0 - p.A / p.D));
                p.T[5] = -p.T[1] * p.A / p.D;
                p.V = p.A * p.T[1];
                p.T[3] = 0.0;
            }
        }

        const std::array<double, 7> jerks = {FJerk, 0.0, -FJerk, 0.0, -FJerk, 0.0, FJerk};
        const std::array<double, 8> acc = {0.0, p.A, p.A, 0.0, 0.0, p.D, p.D, 0.0};
        std::array<double, 8> times{}, vel{}, pos{};
        bool finite = std::isfinite(p.A) && std::isfinite(p.D) && std::isfinite(p.V);
        for (int i = 0; i < cPhaseCount; ++i) {
            const double T = p.T[i];
            times[i + 1] = times[i] + T;
            vel[i + 1] = vel[i] + acc[i] * T + jerks[i] * T * T / 2.0;
            pos[i + 1] = pos[i] + vel[i] * T + acc[i] * T * T / 2.0 + jerks[i] * T * T * T / 6.0;
            finite = finite && std::isfinite(T) && std::isfinite(times[i + 1]) &&
                     std::isfinite(vel[i + 1]) && std::isfinite(pos[i + 1]);
        }
        if (finite) {
            FDurations = p.T;
            FJerks = jerks;
            FTimes = times;
            FAcc = acc;
            FVel = vel;
            FPos = pos;
            FEffAccPos = p.A;
            FEffAccNeg = p.D;
            FEffVmax = p.V;
            FReductions = reductions;
            FProfileReached = reached;
        }
    }
    if (OnChange) OnChange(*this);
}

double TMovement::PhaseTime(int phase) const {
    return phase >= 1 && phase <= cPhaseCount ? FDurations[phase - 1] : 0.0;
}

double TMovement::PhaseJerk(int phase) const {
    return phase >= 1 && phase <= cPhaseCount ? FJerks[phase - 1] : 0.0;
}

double TMovement::StartTime(int i) const {
    return i >= 0 && i <= cPhaseCount ? FTimes[i] : 0.0;
}

double TMovement::StartAcceleration(int i) const {
    return i >= 0 && i <= cPhaseCount ? FAcc[i] : 0.0;
}

double TMovement::StartVelocity(int i) const {
    return i >= 0 && i <= cPhaseCount ? FVel[i] : 0.0;
}

double TMovement::StartPosition(int i) const {
    return i >= 0 && i <= cPhaseCount ? FPos[i] : 0.0;
}

int TMovement::PhaseIndex(double t) const {
    for (int i = 0; i < cPhaseCount; ++i)
        if (t <= FTimes[i + 1]) return i;
    return cPhaseCount;
}

double TMovement::JerkAt(double t) const {
    const int i = PhaseIndex(t);
    return i < cPhaseCount ? FJerks[i] : 0.0;
}

double TMovement::AccelerationAt(double t) const {
    const int i = PhaseIndex(t);
    if (i >= cPhaseCount) return 0.0;
    const double tau = t - FTimes[i];
    const double a = FAcc[i] + FJerks[i] * tau;
    return std::isfinite(a) ? a : 0.0;
}

double TMovement::VelocityAt(double t) const {
    const int i = PhaseIndex(t);
    if (i >= cPhaseCount) return 0.0;
    const double tau = t - FTimes[i];
    const double v = FVel[i] + FAcc[i] * tau + FJerks[i] * tau * tau / 2.0;
    return std::isfinite(v) ? v : 0.0;
}

double TMovement::PositionAt(double t) const {
    const int i = PhaseIndex(t);
    if (i >= cPhaseCount) return FPos[7];
    const double tau = t - FTimes[i];
    const double s =
        FPos[i] + FVel[i] * tau + FAcc[i] * tau * tau / 2.0 + FJerks[i] * tau * tau * tau / 6.0;
    return std::isfinite(s) ? s : 0.0;
}

void TMovement::WriteTo(TPrjStrings& strings, const std::string& key) const {
    strings.WriteBoolean(key + ".JerkLimited", FJerkLimited);
    strings.WriteFloat(key + ".Jerk", FJerk);
    strings.WriteFloat(key + ".AccPos", FAccPos);
    strings.WriteFloat(key + ".AccNeg", FAccNeg);
    strings.WriteFloat(key + ".Vmax", FVmax);
    strings.WriteFloat(key + ".Length", FLength);
    strings.WriteFloat(key + ".Time", FTime);
}

void TMovement::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    SetJerkLimited(strings.ReadBoolean(key + ".JerkLimited"));
    SetJerk(strings.ReadFloat(key + ".Jerk", kUnreadable));
    SetAccPos(strings.ReadFloat(key + ".AccPos", kUnreadable));
    SetAccNeg(strings.ReadFloat(key + ".AccNeg", kUnreadable));
    SetVmax(strings.ReadFloat(key + ".Vmax", kUnreadable));
    SetLength(strings.ReadFloat(key + ".Length", kUnreadable));
    SetTime(strings.ReadFloat(key + ".Time", kUnreadable));
}

bool TMovement::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TMovement*>(&other);
    return o && FJerkLimited == o->FJerkLimited && FJerk == o->FJerk && FAccPos == o->FAccPos &&
           FAccNeg == o->FAccNeg && FVmax == o->FVmax && FLength == o->FLength && FTime == o->FTime;
}

void TMovement::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TMovement*>(&other);
    if (!o) return;
    SetJerkLimited(o->FJerkLimited);
    SetJerk(o->FJerk);
    SetAccPos(o->FAccPos);
    SetAccNeg(o->FAccNeg);
    SetVmax(o->FVmax);
    SetLength(o->FLength);
    SetTime(o->FTime);
}

void TMovement::ClearItem() {
    SetJerkLimited(false);
    SetJerk(1.0);
    SetAccPos(1.0);
    SetAccNeg(-1.0);
    SetVmax(1.0);
    SetLength(1.0);
    SetTime(1.0);
}
