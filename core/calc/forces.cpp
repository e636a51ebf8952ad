#include "core/calc/forces.h"

#include <algorithm>
#include <cmath>

namespace {

bool Finite(const TVektor& v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

bool Finite(const TMotionLimits& l) {
    return std::isfinite(l.AccPos) && std::isfinite(l.AccNeg) && std::isfinite(l.Vmax);
}

bool Finite(const TGripperForce& f) {
    return std::isfinite(f.X) && std::isfinite(f.Y) && std::isfinite(f.Z) && std::isfinite(f.Total);
}

// Widens the envelope [lower, upper] by the point c.
void Widen(TVektor& lower, TVektor& upper, const TVektor& c) {
    lower.MinWith(c);
    upper.MaxWith(c);
}

TVektor Scaled(const TVektor& v, double k) {
    TVektor r = v;
    r.Scale(k);
    return r;
}

TForceExtremes InvalidExtremes() {
    TForceExtremes e;
    e.Valid = false;
    return e;
}

} // namespace

bool IsRotaryDrive(TDriveType type) {
    return type == cdtPneumaticCircular || type == cdtNCCircular;
}

TForceExtremes ForceExtremes(TDriveType type, const TDriveAccelerations& p,
                             const TVektor& direction, double mass) {
    const bool rotary = IsRotaryDrive(type);
    // Only the inputs the drive type uses are checked: a swivel has no direction and a
    // linear motion no centripetal part.
    if (!std::isfinite(mass) || !std::isfinite(p[0]) || !std::isfinite(p[1]) ||
        (rotary ? !std::isfinite(p[2]) : !Finite(direction)))
        return InvalidExtremes();
    TVektor lower;
    TVektor upper;
    if (rotary) {
        // Tangential along X, centripetal along Y.
        Widen(lower, upper, Scaled(VektorPlusX, p[0]));
        Widen(lower, upper, Scaled(VektorPlusX, -p[1]));
        Widen(lower, upper, Scaled(VektorPlusY, p[2]));
    } else {
        Widen(lower, upper, Scaled(direction, p[0]));
        Widen(lower, upper, Scaled(direction, -p[1]));
    }
    lower.Z += cGravity;
    upper.Z += cGravity;
    Widen(lower, upper, VektorZero);

    TForceExtremes e;
    e.Lower = lower;
    e.Upper = upper;
    e.Lowest = std::min({lower.X, lower.Y, lower.Z});
    e.Largest = std::max(upper.Length(), lower.Length());
    e.Fx = mass * std::max(-lower.X, upper.X);
    e.Fy = mass * std::max(-lower.Y, upper.Y);
    e.Fz = mass * upper.Z;
    e.F = mass * e.Largest;
    if (!std::isfinite(e.Lowest) || !std::isfinite(e.Largest) || !std::isfinite(e.Fx) ||
        !std::isfinite(e.Fy) || !std::isfinite(e.Fz) || !std::isfinite(e.F) || !Finite(lower) ||
        !Finite(upper))
        return InvalidExtremes();
    return e;
}

TVektor SwivelTangentialDirection() {
    return VektorMinusY;
}

TVektor SwivelCentripetalDirection() {
    return VektorMinusX;
}

TGripperMoments GripperMoments(TDriveType type, const TDriveAccelerations& p, double lever,
                               double jz, const TMotionLimits& rotary, double mass,
                               const TVektor& massCenter, const TVektor& direction) {
    // One instant of the motion: the acceleration of the workpiece centre and the angular
    // acceleration of the swivel.
    struct TInstant {
        TVektor Acceleration;
        double Alpha = 0.0;
    };
    std::array<TInstant, 4> instants{};
    size_t count = 1; // rest
    const bool swivel = IsRotaryDrive(type);
    if (swivel) {
        double speedUp = 0.0;
        double braking = 0.0;
        if (type == cdtPneumaticCircular) {
            if (lever != 0.0) {
                speedUp = p[0] / lever;
                braking = -p[1] / lever;
            }
        } else {
            speedUp = rotary.AccPos;
            braking = rotary.AccNeg;
        }
        instants[count++] = {Scaled(SwivelTangentialDirection(), p[0]), speedUp};
        instants[count++] = {Scaled(SwivelTangentialDirection(), -p[1]), braking};
        instants[count++] = {Scaled(SwivelCentripetalDirection(), p[2]), 0.0};
    } else {
        instants[count++] = {Scaled(direction, p[0]), 0.0};
        instants[count++] = {Scaled(direction, -p[1]), 0.0};
    }
    // The workpiece turns about Z in the sense that makes the centre move along the
    // tangential direction when it speeds up.
    TVektor spin;
    spin.CrossProduct(SwivelTangentialDirection(), SwivelCentripetalDirection());
    // c × F is 0 for a centred mass whatever the force; only an off-centre one needs it.
    const bool offCentre = !(massCenter == VektorZero);

    std::array<double, 3> largest{};
    std::array<bool, 3> finite{true, true, true};
    for (size_t i = 0; i < count; ++i) {
        TVektor m;
        if (offCentre) {
            TVektor f = instants[i].Acceleration;
            f.Z += cGravity;
            f.Scale(mass);
            m.CrossProduct(massCenter, f);
        }
        if (swivel && instants[i].Alpha != 0.0) m.AddScaled(jz * instants[i].Alpha, spin);
        const double c[3] = {m.X, m.Y, m.Z};
        for (int k = 0; k < 3; ++k) {
            if (!std::isfinite(c[k]))
                finite[k] = false;
            else
                largest[k] = std::max(largest[k], std::fabs(c[k]));
        }
    }
    // Catches inputs that are not finite and an overflow.
    TGripperMoments result;
    result.YZ = finite[0] ? largest[0] : 0.0;
    result.XZ = finite[1] ? largest[1] : 0.0;
    result.XY = finite[2] ? largest[2] : 0.0;
    return result;
}

TForceChartRanges ForceChartRanges(const TForceExtremes& extremes, double mass, double timeEnd,
                                   double jz, const TMotionLimits& rotary) {
    TForceChartRanges r;
    if (std::isfinite(timeEnd)) r.Time = {0.0, timeEnd};
    if (extremes.Valid && std::isfinite(mass)) {
        const TAxisRange force{1.2 * mass * extremes.Lowest, 1.2 * mass * extremes.Largest};
        if (std::isfinite(force.Min) && std::isfinite(force.Max)) r.Force = force;
    }
    if (std::isfinite(jz) && Finite(rotary)) {
        const TAxisRange moment{1.2 * jz * rotary.AccNeg, 1.2 * jz * rotary.AccPos};
        if (std::isfinite(moment.Min) && std::isfinite(moment.Max)) r.Moment = moment;
    }
    return r;
}

std::optional<TGripperForce> LinearGripperForce(double mass, const TVektor& direction, double a) {
    TGripperForce f;
    f.X = mass * direction.X * a;
    f.Y = mass * direction.Y * a;
    f.Z = mass * (direction.Z * a + cGravity);
    f.Total = TVektor(f.X, f.Y, f.Z).Length();
    if (!Finite(f)) return std::nullopt;
    return f;
}

std::optional<TGripperForce> SwivelGripperForce(double mass, double lever, double alpha,
                                                double omega) {
    const double tangential = lever * alpha;
    const double centripetal = lever * omega * omega;
    TGripperForce f;
    f.X = mass * tangential;
    f.Y = mass * centripetal;
    f.Z = mass * cGravity;
    f.Total =
        mass * std::sqrt(tangential * tangential + centripetal * centripetal + cGravity * cGravity);
    if (!Finite(f)) return std::nullopt;
    return f;
}

std::optional<TGripperForce> GripperForceAt(TDriveType type, double t, double mass,
                                            const TVektor& direction, double lever,
                                            const TMotionCurves& motion) {
    if (!std::isfinite(t)) return std::nullopt;
    switch (type) {
    case cdtPneumaticLinear:
        return LinearGripperForce(mass, direction, motion.PneumaticLinearAcceleration(t));
    case cdtNCLinear:
        return LinearGripperForce(mass, direction, motion.NCLinearAcceleration(t));
    case cdtPneumaticCircular:
        return SwivelGripperForce(mass, lever, motion.PneumaticRotaryAcceleration(t),
                                  motion.PneumaticRotarySpeed(t));
    case cdtNCCircular:
        return SwivelGripperForce(mass, lever, motion.NCRotaryAcceleration(t),
                                  motion.NCRotaryVelocity(t));
    }
    return std::nullopt;
}

std::optional<double> GripperMomentAt(TDriveType type, double t, double jz,
                                      const TMotionCurves& motion) {
    if (type != cdtNCCircular || !std::isfinite(t)) return std::nullopt;
    const double m = jz * motion.NCRotaryAcceleration(t);
    if (!std::isfinite(m)) return std::nullopt;
    return m;
}
