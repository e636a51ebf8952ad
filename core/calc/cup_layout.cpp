#include "core/calc/cup_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

// Pitch of n cups spread over `length` with the long radius and the edge distance kept
// free at both ends; 0 for a single cup.
double Pitch(double length, double rl, double e, int n) {
    return n >= 2 ? (length - 2.0 * (rl + e)) / (n - 1) : 0.0;
}

// Unit vector in the XY plane at angle phi.
TVektor PlaneDirection(double phi) {
    return TVektor(std::cos(phi), std::sin(phi), 0.0);
}

} // namespace

void NormalizeStrategyCounts(int strategy, int& count1, int& count2) {
    if (strategy == cssOneInCentre || strategy == cssLinearY) count1 = 1;
    if (strategy == cssAtBothEnds || strategy == cssCorners) count1 = 2;
    switch (strategy) {
    case cssManual:
    case cssOneInCentre:
    case cssAtBothEnds:
    case cssCircumference:
    case cssCircularArea:
    case cssLinearX:
        count2 = 1;
        break;
    case cssCorners:
        count2 = 2;
        break;
    default:
        break;
    }
}

double AdmittedCupDiameter(int strategy, const TCupRoom& room, double s, int n, int nx, int ny) {
    const double h = room.H;
    const double r = room.R;
    const double t = room.T();
    switch (strategy) {
    case cssOneInCentre:
        return t;
    case cssAtBothEnds:
        return std::min(r, (h - s) / 2.0);
    case cssCorners:
        return (t - s) / 2.0;
    case cssArea:
        return std::min((r - s * (ny - 1)) / ny, (h - s * (nx - 1)) / nx);
    case cssCircumference: {
        if (n <= 1) return t;
        if (n == 2) return (t - s) / 2.0;
        const double a = std::sin(pi / n);
        return std::min((t * a - s) / (a + 1.0), (t - s) / 2.0);
    }
    case cssCircularArea: {
        if (n <= 1) return t;
        if (n <= 3) return (t - 2.0 * s) / 3.0;
        const double b = std::sin(pi / (n - 1));
        return std::min((t * b - s) / (b + 1.0), (t - 2.0 * s) / 3.0);
    }
    case cssLinearX:
        return std::min(r, (h - s * (n - 1)) / n);
    case cssLinearY:
        return std::min((r - s * (n - 1)) / n, h);
    default:
        return cSaugerManualDiameter;
    }
}

bool LayoutCups(const TCupLayoutInput& in, std::vector<TCupPlacement>& out) {
    out.clear();
    const double wx = in.Extents.X;
    const double wy = in.Extents.Y;
    const double z0 = in.Extents.Z / 2.0;
    const double rl = in.RadiusLong;
    const double e = in.Edge;
    const int n = in.Count;
    auto add = [&](double x, double y, const TVektor& radial1 = VektorPlusX) {
        out.push_back({TVektor(x, y, z0), radial1});
    };
    switch (in.Strategy) {
    case cssOneInCentre:
        add(0.0, 0.0);
        return true;
    case cssAtBothEnds: {
        const double a = wx / 2.0 - rl - e;
        add(-a, 0.0);
        add(a, 0.0);
        return true;
    }
    case cssCorners: {
        const double a = wx / 2.0 - rl - e;
        const double b = wy / 2.0 - in.RadiusShort - e;
        add(-a, -b);
        add(a, -b);
        add(a, b);
        add(-a, b);
        return true;
    }
    case cssArea: {
        const int nx = in.CountX;
        const int ny = in.CountY;
        if (nx < 1 || ny < 1 || static_cast<long long>(nx) * ny > cSaugerMaxAreaCups) return false;
        // Both pitches keep the long radius free: an oval cup may be turned either way.
        const double px = Pitch(wx, rl, e, nx);
        const double py = Pitch(wy, rl, e, ny);
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j) add(px * (i - (nx - 1) / 2.0), py * (j - (ny - 1) / 2.0));
        return true;
    }
    case cssCircumference: {
        if (n < 2) {
            add(0.0, 0.0);
            return true;
        }
        const double radius = std::min(wx, wy) / 2.0 - rl - e;
        for (int i = 0; i < n; ++i) {
            const double phi = 2.0 * pi * i / n + in.Angle;
            add(radius * std::cos(phi), radius * std::sin(phi), PlaneDirection(phi + pi / 2.0));
        }
        return true;
    }
    case cssCircularArea: {
        if (n < 1) return false;
        add(0.0, 0.0, PlaneDirection(in.Angle));
        const double radius = std::min(wx, wy) / 2.0 - rl - e;
        for (int k = 1; k < n; ++k) {
            const double phi = 2.0 * pi * (k - 2) / (n - 1) + in.Angle;
            add(radius * std::cos(phi), radius * std::sin(phi), PlaneDirection(phi + pi / 2.0));
        }
        return true;
    }
    case cssLinearX: {
        if (n < 1 || n > cSaugerMaxLinearCups) return false;
        const double p = Pitch(wx, rl, e, n);
        for (int i = 0; i < n; ++i) add(p * (i - (n - 1) / 2.0), 0.0);
        return true;
    }
    case cssLinearY: {
        if (n < 1 || n > cSaugerMaxLinearCups) return false;
        const double p = Pitch(wy, rl, e, n);
        for (int i = 0; i < n; ++i) add(0.0, p * (i - (n - 1) / 2.0), VektorPlusY);
        return true;
    }
    default:
        return false;
    }
}

bool TCupSuitability::Suitable(double dmax, double w, double fs07) const {
    if (dmax > MaxDiameter) return false;
    if (Weight > Count * fs07) return false;
    const double h = Room.H;
    const double r = Room.R;
    const double t = Room.T();
    const int n = Count;
    switch (Strategy) {
    case cssAtBothEnds:
        return !(h - dmax <= w);
    case cssCorners:
        return !(t - dmax <= w);
    case cssArea:
        return !((CountX >= 2 && (h - dmax) / (CountX - 1) <= w) ||
                 (CountY >= 2 && (r - dmax) / (CountY - 1) <= w));
    case cssCircumference:
        if (n == 2) return !(t - dmax <= w);
        if (n >= 3) return !((t - dmax) * std::sin(pi / n) <= w);
        return true;
    case cssCircularArea:
        if (n == 2 || n == 3) return !((t - dmax) * 0.5 <= w);
        if (n >= 4) return !((t - dmax) * std::sin(pi / (n - 1)) <= w);
        return true;
    case cssLinearX:
        return !(n >= 2 && (h - dmax) / (n - 1) <= w);
    case cssLinearY:
        return !(n >= 2 && (r - dmax) / (n - 1) <= w);
    default:
        return true;
    }
}
