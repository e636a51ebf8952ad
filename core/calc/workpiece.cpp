#include "core/calc/workpiece.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

double Finite(double x) {
    return std::isfinite(x) ? x : 0.0;
}

// Length of a cylinder or pipe: the extent along its axis.
double AxisLength(TWorkpieceShape shape, const TWorkpieceSize& s) {
    switch (shape) {
    case cwsCylinderX:
    case cwsPipeX:
        return s.X;
    case cwsCylinderY:
    case cwsPipeY:
        return s.Y;
    default:
        return s.Z;
    }
}

bool IsPipe(TWorkpieceShape shape) {
    return shape == cwsPipeX || shape == cwsPipeY || shape == cwsPipeZ;
}


double Component(const TWorkpieceSize& s, int axis) {
    return axis == 0 ? s.X : axis == 1 ? s.Y : s.Z;
}

double Component(const TVektor& v, int axis) {
    return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z;
}

// Pixels of a view side: the scaled extent rounded half to even, plus 10.
int ViewPixels(double scale, double extent) {
    const double pixels = std::nearbyint(scale * extent);
    constexpr double most = std::numeric_limits<int>::max() - 10;
    return static_cast<int>(pixels < most ? pixels : most) + 10;
}

// Outline in the view spanned by the axes h (across) and v (up).
TWorkpieceOutline Outline(TWorkpieceShape shape, const TWorkpieceSize& s, const TVektor& center,
                          int h, int v) {
    TWorkpieceOutline o;
    o.CenterH = Finite(Component(center, h));
    o.CenterV = Finite(Component(center, v));
    const int axis = WorkpieceRoundAxis(shape);
    if (shape == cwsGlobe || (axis >= 0 && axis != h && axis != v)) {
        o.Kind = cwoCircle;
        o.Width = o.Height = s.D;
        if (IsPipe(shape)) o.Bore = s.Di;
    } else if (axis >= 0) {
        o.Kind = cwoRectangle;
        o.Width = axis == h ? AxisLength(shape, s) : s.D;
        o.Height = axis == v ? AxisLength(shape, s) : s.D;
    } else {
        o.Kind = shape == cwsBar ? cwoRectangle : cwoEnvelope;
        o.Width = Component(s, h);
        o.Height = Component(s, v);
    }
    o.Width = Finite(o.Width);
    o.Height = Finite(o.Height);
    o.Bore = Finite(o.Bore);
    return o;
}

} // namespace

bool ValidWorkpieceShape(int shape) {
    return shape >= cwsMassKnown && shape <= cwsPipeZ;
}

double WorkpieceVolume(TWorkpieceShape shape, const TWorkpieceSize& s, double current) {
    const double r = s.D / 2.0;
    const double ri = s.Di / 2.0;
    double v = current;
    switch (shape) {
    case cwsMassKnown:
    case cwsVolumeKnown:
        break;
    case cwsBar:
        v = s.X * s.Y * s.Z;
        break;
    case cwsCylinderX:
    case cwsCylinderY:
    case cwsCylinderZ:
        v = AxisLength(shape, s) * std::numbers::pi * r * r;
        break;
    case cwsGlobe:
        v = 4.0 * std::numbers::pi * r * r * r / 3.0;
        break;
    case cwsPipeX:
    case cwsPipeY:
    case cwsPipeZ:
        v = AxisLength(shape, s) * std::numbers::pi * (r * r - ri * ri);
        break;
    }
    return Finite(v);
}

double WorstCaseMomentOfInertia(const TWorkpieceSize& s, double mass, int axis) {
    double j = 0.0;
    switch (axis) {
    case 0:
        j = mass * (s.Y * s.Y + s.Z * s.Z);
        break;
    case 1:
        j = mass * (s.X * s.X + s.Z * s.Z);
        break;
    case 2:
        j = mass * (s.X * s.X + s.Y * s.Y);
        break;
    default:
        break;
    }
    return Finite(j);
}

double WorkpieceMomentOfInertia(TWorkpieceShape shape, const TWorkpieceSize& s, double mass,
                                int axis) {
    if (axis < 0 || axis > 2) return 0.0;
    if (shape == cwsMassKnown || shape == cwsVolumeKnown)
        return WorstCaseMomentOfInertia(s, mass, axis);
    const double r = s.D / 2.0;
    const double ri = IsPipe(shape) ? s.Di / 2.0 : 0.0;
    // A pipe's wall lies between ri and r, so its moments take the sum of the squared
    // radii (the volume takes their difference); ri = 0 gives the full cylinder.
    const double e = r * r + ri * ri;
    double j = 0.0;
    if (shape == cwsBar) {
        const double a = Component(s, (axis + 1) % 3);
        const double b = Component(s, (axis + 2) % 3);
        j = mass * (a * a + b * b) / 12.0;
    } else if (shape == cwsGlobe) {
        j = 2.0 * mass * r * r / 5.0;
    } else {
        const int roundAxis = WorkpieceRoundAxis(shape);
        const double length = AxisLength(shape, s);
        j = axis == roundAxis ? mass * e / 2.0 : mass * (3.0 * e + length * length) / 12.0;
    }
    return Finite(j);
}

double WorkpieceGripSize(TWorkpieceShape shape, const TWorkpieceSize& s) {
    if (shape == cwsMassKnown || shape == cwsVolumeKnown || shape == cwsBar) {
        // The middle one of the three: the largest of the pairwise minima.
        return Finite(std::max({std::min(s.X, s.Y), std::min(s.X, s.Z), std::min(s.Y, s.Z)}));
    }
    return Finite(s.D);
}

TVektor WorkpieceHalfExtents(TWorkpieceShape shape, const TWorkpieceSize& s) {
    const double r = s.D / 2.0;
    const bool roundX = shape == cwsCylinderY || shape == cwsCylinderZ || shape == cwsGlobe ||
                        shape == cwsPipeY || shape == cwsPipeZ;
    const bool roundY = shape == cwsCylinderX || shape == cwsCylinderZ || shape == cwsGlobe ||
                        shape == cwsPipeX || shape == cwsPipeZ;
    const bool roundZ = shape == cwsCylinderX || shape == cwsCylinderY || shape == cwsGlobe ||
                        shape == cwsPipeX || shape == cwsPipeY;
    return TVektor(Finite(roundX ? r : s.X / 2.0), Finite(roundY ? r : s.Y / 2.0),
                   Finite(roundZ ? r : s.Z / 2.0));
}

TWorkpieceViews WorkpieceViews(TWorkpieceShape shape, const TWorkpieceSize& size,
                               const TVektor& massCenter, double cupHeight, double groupWidth,
                               double groupHeight) {
    TWorkpieceViews w;
    const TVektor half = WorkpieceHalfExtents(shape, size);
    // std::max with the minimum first also turns a NaN extent into the minimum.
    const double wx = std::max(cWorkpieceViewMinExtent, 2.0 * half.X);
    const double wy = std::max(cWorkpieceViewMinExtent, 2.0 * half.Y);
    const double wz = std::max(cWorkpieceViewMinExtent, 2.0 * half.Z);
    w.Extent = TVektor(wx, wy, wz);
    const double d = Finite(cupHeight);
    w.MarginH = Finite(std::max(0.1 * wx, 0.1 * wy) + 1.2 * d);
    w.MarginV = Finite(std::max(0.1 * wz, 0.1 * wy) + 1.2 * d);

    const TAxisRange x{-wx / 2.0 - w.MarginH, wx / 2.0 + w.MarginH};
    const TAxisRange yAcross{-wy / 2.0 - w.MarginH, wy / 2.0 + w.MarginH};
    const TAxisRange yUp{-wy / 2.0 - w.MarginV, wy / 2.0 + w.MarginV};
    const TAxisRange z{-wz / 2.0 - w.MarginV, wz / 2.0 + w.MarginV};
    w.XY.Horizontal = x;
    w.XY.Vertical = yUp;
    w.XZ.Horizontal = x;
    w.XZ.Vertical = z;
    w.YZ.Horizontal = yAcross;
    w.YZ.Vertical = z;

    // XY above XZ, YZ beside XZ: the heights add up as wY + wZ, the widths as wX + wY.
    const double scale =
        std::min((groupHeight - 60.0) / (wy + wz), (groupWidth - 44.0) / (wy + wx));
    w.Scale = std::isfinite(scale) && scale > 0.0 ? scale : 0.0;
    w.XY.Width = ViewPixels(w.Scale, wx);
    w.XY.Height = ViewPixels(w.Scale, wy);
    w.XZ.Width = ViewPixels(w.Scale, wx);
    w.XZ.Height = ViewPixels(w.Scale, wz);
    w.YZ.Width = ViewPixels(w.Scale, wy);
    w.YZ.Height = ViewPixels(w.Scale, wz);

    w.XY.Outline = Outline(shape, size, massCenter, 0, 1);
    w.XZ.Outline = Outline(shape, size, massCenter, 0, 2);
    w.YZ.Outline = Outline(shape, size, massCenter, 1, 2);
    return w;
}

int WorkpieceRoundAxis(TWorkpieceShape shape) {
    switch (shape) {
    case cwsCylinderX:
    case cwsPipeX:
        return 0;
    case cwsCylinderY:
    case cwsPipeY:
        return 1;
    case cwsCylinderZ:
    case cwsPipeZ:
        return 2;
    default:
        return -1;
    }
}
