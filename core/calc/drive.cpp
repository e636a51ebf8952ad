#include "core/calc/drive.h"

#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kSecondsPerHour = 3600.0;

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

double Ratio(double value, double rating) {
    return rating > 0.0 ? Finite(value / rating) : 0.0;
}

// Energy per stroke: the kinetic part, plus the drive force pushing through the stroke
// unless the elastomer takes it.
TAbsorberLoad AbsorberLoad(const TShockAbsorberData& a, double mass, double speed, double force,
                           double cycleTime) {
    TAbsorberLoad r;
    r.Energy = 0.5 * mass * speed * speed;
    if (!a.Elastomer) r.Energy += force * a.Stroke;
    r.Energy = Finite(r.Energy);
    r.EnergyPerHour = cycleTime > 0.0 ? Finite(kSecondsPerHour * r.Energy / cycleTime) : 0.0;
    r.Force = Finite(force);
    r.EnergyRatio = Ratio(r.Energy, a.EnergyMax);
    r.EnergyPerHourRatio = Ratio(r.EnergyPerHour, a.EnergyHMax);
    r.ForceRatio = Ratio(r.Force, a.ForceMax);
    return r;
}

} // namespace

double ScaleToPressure(double rated, double pressure) {
    return Finite(rated * pressure / cRatedPressure);
}

int AutomaticCylinderRow(const std::vector<double>& massLimits, double movingMass) {
    for (size_t i = 0; i < massLimits.size(); ++i)
        if (massLimits[i] >= movingMass) return static_cast<int>(i);
    return static_cast<int>(massLimits.size()) - 1;
}

TLinearDriveResult SizeLinearDrive(const TLinearDriveInput& in) {
    TLinearDriveResult r;
    const double m = in.MovingMass;
    const double v = in.Speed;
    r.PistonForce = ScaleToPressure(in.RatedForce, in.Pressure);
    if (m > 0.0) r.Acceleration = Finite(r.PistonForce / m);

    if (in.Absorber) {
        const int n = std::max(in.AbsorberCount, 1);
        r.AbsorberUsed = true;
        r.BrakingDistance = in.Absorber->Stroke;
        const double cycle = v > 0.0 ? Finite(in.Stroke / v) : 0.0;
        r.Absorber = AbsorberLoad(*in.Absorber, m / n, v, r.PistonForce / n, cycle);
    } else {
        r.BrakingDistance = in.VKDmin;
        r.AdjustableCushioning = in.VKDmin > 0.0;
    }
    // A cylinder without (or with a zero-length) cushioning stops on its fixed end buffer.
    if (!(r.BrakingDistance > 0.0)) r.BrakingDistance = cFixedCushioning;

    r.BrakingAcceleration = Finite(v * v / (2.0 * r.BrakingDistance) * in.SafetyFactor);
    r.InertiaForce = Finite(r.BrakingAcceleration * in.WorkpieceMass);

    r.Axes.Time = {0.0, in.Time};
    r.Axes.Acceleration = {-1.2 * r.BrakingAcceleration, m > 0.0 ? 1.2 * r.Acceleration : 0.0};
    r.Axes.Velocity = {0.0, Finite(1.2 * v)};
    r.Axes.Position = {0.0, in.Stroke};
    r.Accelerations = {r.Acceleration, r.BrakingAcceleration, 0.0};
    return r;
}

double AbsorberEquivalentMass(double momentOfInertia, int count, double radius) {
    if (count <= 0 || !(radius > 0.0)) return 0.0;
    return Finite(momentOfInertia / count / (radius * radius));
}

TRotaryDriveResult SizeRotaryDrive(const TRotaryDriveInput& in) {
    TRotaryDriveResult r;
    const double J = in.MomentOfInertia;
    const double R = in.Lever;
    const double w = in.AngularSpeed;
    r.Torque = in.HasRow ? ScaleToPressure(in.RatedTorque, in.Pressure) : 0.0;
    if (J > 0.0) r.Acceleration = Finite(r.Torque / J * R);

    const double rA = in.AbsorberRadius;
    const int n = in.AbsorberCount;
    if (in.Absorber && rA > 0.0 && n > 0) {
        r.AbsorberUsed = true;
        r.BrakingAngle = Finite(in.Absorber->Stroke / rA);
        r.EquivalentMass = AbsorberEquivalentMass(J, n, rA);
        const double force = r.Torque / rA / n;
        r.Absorber = AbsorberLoad(*in.Absorber, r.EquivalentMass, w * rA, force, in.Time);
    } else {
        r.BrakingAngle = in.HasRow ? in.CushAngleMin : 0.0;
    }

    if (r.BrakingAngle > 0.0) {
        r.BrakingAcceleration = Finite(w * w / (2.0 * r.BrakingAngle) * in.SafetyFactor * R);
        r.InertiaForce = Finite(r.BrakingAcceleration * in.WorkpieceMass);
    }
    r.CentripetalAcceleration = Finite(w * w * R);

    r.Axes.Time = {0.0, in.Time};
    r.Axes.Acceleration = {-1.2 * r.BrakingAcceleration,
                           J > 0.0 ? Finite(1.2 * r.Torque / J) : 0.0};
    r.Axes.Velocity = {0.0, Finite(1.2 * w)};
    r.Axes.Position = {0.0, in.Angle};
    r.Accelerations = {r.Acceleration, r.BrakingAcceleration, r.CentripetalAcceleration};
    return r;
}

std::string RotaryAngleCondition(double angle) {
    const std::string a = ShortDecimal(Finite(angle * 180.0 / std::numbers::pi));
    return "((AngleMin<=" + a + ")" + "AND(" + a + "<=" + "AngleMax" + "))" + "OR(" + "Angle1" +
           "=" + a + ")" + "OR(" + "Angle2" + "=" + a + ")" + "OR(" + "Angle3" + "=" + a + ")";
}

std::string RotaryInertiaCondition(double momentOfInertia) {
    return "MomentOfInertiaMax>=" + ShortDecimal(Finite(momentOfInertia));
}

TRatingBar RatingBar(double ratio) {
    TRatingBar b;
    ratio = Finite(ratio);
    if (ratio < 1.0) {
        b.FirstPercent = std::max(ratio, 0.0) * 100.0;
    } else {
        b.Overloaded = true;
        b.FirstPercent = 100.0;
        b.SecondPercent = std::min(1.0, ratio - 1.0) * 100.0;
    }
    if (ratio >= 2.0)
        b.SecondText = "> 200%";
    else
        b.SecondText = ShortDecimal(std::nearbyint(ratio * 100.0)) + "%";
    return b;
}
