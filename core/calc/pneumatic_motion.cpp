#include "core/calc/pneumatic_motion.h"

#include <cmath>

namespace {

constexpr double kUnits = 7.0;

double Finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// Unit position u = 7x/T and its integer part n; false outside the motion.
bool Units(double x, double duration, double& u, int& n) {
    if (!(duration > 0.0) || !(x >= 0.0) || !std::isfinite(duration)) return false;
    u = kUnits * x / duration;
    if (!std::isfinite(u) || u >= kUnits + 1.0) return false;
    n = static_cast<int>(u);
    return n <= 6;
}

} // namespace

double PneumaticProfileFactor(double stroke) {
    if (stroke <= 0.05) return 2.0;
    if (stroke <= 0.1) return 1.5;
    return 1.25;
}

double PneumaticLinearSpeed(double stroke, double time) {
    return time > 0.0 ? Finite(PneumaticProfileFactor(stroke) * stroke / time) : 0.0;
}

double PneumaticLinearTime(double stroke, double speed) {
    return speed > 0.0 ? Finite(PneumaticProfileFactor(stroke) * stroke / speed) : 0.0;
}

double PneumaticRotarySpeed(double angle, double time) {
    return time > 0.0 ? Finite(2.0 * angle / time) : 0.0;
}

double PneumaticRotaryTime(double angle, double speed) {
    return speed > 0.0 ? Finite(2.0 * angle / speed) : 0.0;
}

TAxisRange PneumaticLinearTimeLimits(double stroke, const TAxisRange& speedLimits) {
    return {PneumaticLinearTime(stroke, speedLimits.Max),
            PneumaticLinearTime(stroke, speedLimits.Min)};
}

TAxisRange PneumaticRotaryTimeLimits(double angle, const TAxisRange& speedLimits) {
    return {PneumaticRotaryTime(angle, speedLimits.Max),
            PneumaticRotaryTime(angle, speedLimits.Min)};
}

double PneumaticCurveValue(TPneumaticCurve curve, double x, double duration, double yMax,
                           double yMin) {
    double u = 0.0;
    int n = 0;
    if (!Units(x, duration, u, n)) return 0.0;
    const double h = u / 2.0 - 1.0; // runs from −1 to 0 over the first two units
    double y = 0.0;
    switch (curve) {
    case cpcLinearAcceleration:
    case cpcRotaryAcceleration: {
        const bool rotary = curve == cpcRotaryAcceleration;
        if (n <= 1)
            y = yMax / 1.2 * (rotary ? 0.3 : 1.0) * h * h;
        else if (n == 6)
            y = yMin / 1.2 * (rotary ? 0.8 : 1.0) * (u - 6.0) * (u - 6.0);
        break;
    }
    case cpcVelocity:
        if (n <= 1)
            y = yMax / 1.2 * (1.0 - h * h);
        else if (n <= 5)
            y = yMax / 1.2;
        else
            y = yMax / 1.2 * (u - 7.0) * (u - 7.0);
        break;
    case cpcPosition:
        if (n <= 1)
            y = yMax * 0.2 * (u / 2.0) * (u / 2.0);
        else if (n <= 5)
            y = yMax * (0.2 + 0.5 * (u - 2.0) / 4.0);
        else
            y = yMax * (0.8 - 0.1 * (u - 7.0) * (u - 7.0));
        break;
    }
    return Finite(y);
}

TPneumaticBand PneumaticCurveBand(TPneumaticCurve curve, double x, double duration, double yMax,
                                  double yMin) {
    double u = 0.0;
    int n = 0;
    if (curve == cpcPosition || !Units(x, duration, u, n) || (n >= 2 && n <= 5)) return {};
    const double h = u / 2.0 - 1.0;
    double from = 0.0;
    double to = 0.0;
    if (n <= 1) {
        const double c = std::cos(1.57 * (u - 1.0));
        if (curve == cpcVelocity) {
            const double mid = 0.8 - 0.8 * h * h;
            from = yMax * (mid - 0.2 * c);
            to = yMax * (mid + 0.3 * c);
        } else {
            const double mid = (curve == cpcRotaryAcceleration ? 0.3 : 1.0) * h * h;
            from = yMax * (mid - 0.4 * c);
            to = yMax * (mid + 0.4 * c);
        }
    } else if (curve == cpcVelocity) {
        const double c = std::cos(3.14 * (u - 6.5));
        const double mid = 0.8 * (u - 7.0) * (u - 7.0);
        from = yMax * (mid - 0.2 * c);
        to = yMax * (mid + 0.2 * c);
    } else {
        const double c = std::cos(1.57 * (u - 6.5) / 0.5);
        const double mid = 0.8 * (u - 6.0) * (u - 6.0);
        from = yMin * (mid - 0.4 * c);
        to = yMin * (mid + 0.4 * c);
    }
    return {true, Finite(from), Finite(to)};
}
