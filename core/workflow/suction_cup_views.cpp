// The workpiece views: which cup lies under the mouse, the cursor, and moving, turning and
// tilting cups by dragging them.

#include "core/workflow/suction_cup_model.h"

#include "core/document/my_project.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

double& Coord(TVektor& v, int k) {
    return k == 0 ? v.X : (k == 1 ? v.Y : v.Z);
}

double Coord(const TVektor& v, int k) {
    return k == 0 ? v.X : (k == 1 ? v.Y : v.Z);
}

// Workpiece axes along the horizontal and vertical axis of a view, and the view's normal
// (horizontal × vertical), about which a turn in the view is a right-handed turn.
struct TViewAxes {
    int U;
    int V;
    TVektor Normal;
};

TViewAxes Axes(TCupViewPlane view) {
    switch (view) {
    case cvpXZ:
        return {0, 2, VektorMinusY};
    case cvpYZ:
        return {1, 2, VektorPlusX};
    default:
        return {0, 1, VektorPlusZ};
    }
}

TVektor ViewPoint(TCupViewPlane view, double u, double v) {
    const TViewAxes a = Axes(view);
    TVektor p;
    Coord(p, a.U) = u;
    Coord(p, a.V) = v;
    return p;
}

// An angle difference brought into (−π, π].
double Wrap(double d) {
    while (d > pi) d -= 2.0 * pi;
    while (d <= -pi) d += 2.0 * pi;
    return d;
}

// A unit vector along d; a zero vector stays zero.
TVektor Unit(const TVektor& d) {
    TVektor u = d;
    if (u.Length() > 1e-12) u.Normalize();
    return u;
}

// Twelve points of the ellipse with half axes a along e1 and b along e2 about c, seen in
// the view (every 30°, starting on e1).
void Ring(const TViewAxes& axes, const TVektor& c, const TVektor& e1, const TVektor& e2, double a,
          double b, std::vector<TViewPoint>& out) {
    // Cosine and sine of k · 30°.
    static const std::array<std::pair<double, double>, 12> kCorners = [] {
        std::array<std::pair<double, double>, 12> t{};
        for (int k = 0; k < 12; ++k) t[static_cast<size_t>(k)] = {std::cos(k * pi / 6.0), std::sin(k * pi / 6.0)};
        return t;
    }();
    for (const auto& [cosine, sine] : kCorners) {
        const double ca = a * cosine, sb = b * sine;
        TVektor p = c;
        p.X += ca * e1.X + sb * e2.X;
        p.Y += ca * e1.Y + sb * e2.Y;
        p.Z += ca * e1.Z + sb * e2.Z;
        out.push_back({Coord(p, axes.U), Coord(p, axes.V)});
    }
}

double Cross(const TViewPoint& o, const TViewPoint& a, const TViewPoint& b) {
    return (a.U - o.U) * (b.V - o.V) - (a.V - o.V) * (b.U - o.U);
}

// Convex hull, counter-clockwise, without collinear points (monotone chain).
std::vector<TViewPoint> Hull(std::vector<TViewPoint> p) {
    std::sort(p.begin(), p.end(), [](const TViewPoint& a, const TViewPoint& b) {
        return a.U < b.U || (a.U == b.U && a.V < b.V);
    });
    if (p.size() < 3) return p;
    std::vector<TViewPoint> h(2 * p.size());
    size_t k = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && Cross(h[k - 2], h[k - 1], p[i]) <= 0.0) --k;
        h[k++] = p[i];
    }
    for (size_t i = p.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && Cross(h[k - 2], h[k - 1], p[i]) <= 0.0) --k;
        h[k++] = p[i];
    }
    h.resize(k - 1);
    return h;
}

} // namespace

// ---- workpiece views ----------------------------------------------------------------------

TCupFigure TSuctionCupModel::CupFigure(TCupViewPlane view, int i) const {
    TCupFigure f;
    const TSauger* cup = Cups().Sauger(i);
    if (!cup) return f;
    const TSaugerType& type = Cups().CupType;
    const TViewAxes axes = Axes(view);
    const TVektor e1 = Unit(cup->Radial1()), e2 = Unit(cup->Radial2()), a = Unit(cup->Axial());
    const double rl = std::max(type.RadiusLong, 0.0), rs = std::max(type.RadiusShort, 0.0);
    const double height = std::max(type.Height, 0.0);
    const double holder = std::max(type.HolderDiameter, 0.0) / 2.0;
    // The cup stands its height on the face: the body narrows from the lip to a neck a
    // little wider than the holder, which takes the last third.
    const double neck = std::min(std::min(rl, rs), std::max(1.2 * holder, 0.4 * std::min(rl, rs)));
    const double bodyHeight = TCupFigure::cBodyShare * height;
    auto along = [&](double d) {
        TVektor c = cup->Pos;
        c.X += d * a.X;
        c.Y += d * a.Y;
        c.Z += d * a.Z;
        return c;
    };
    Ring(axes, cup->Pos, e1, e2, rl, rs, f.Lip);
    const double facing = a.DotProduct(axes.Normal);
    f.HolderInFront = facing > 0.0;
    if (std::fabs(facing) > 1.0 - 1e-12) {
        // Seen along its axis the lip hides the narrower rest; the holder is its circle.
        f.Body = f.Lip;
        Ring(axes, along(height), e1, e2, holder, holder, f.Holder);
        return f;
    }
    std::vector<TViewPoint> points = f.Lip;
    Ring(axes, along(bodyHeight), e1, e2, neck, neck, points);
    f.Body = Hull(std::move(points));
    points.clear();
    Ring(axes, along(bodyHeight), e1, e2, holder, holder, points);
    Ring(axes, along(height), e1, e2, holder, holder, points);
    f.Holder = Hull(std::move(points));
    return f;
}

int TSuctionCupModel::HitTest(TCupViewPlane view, double u, double v) const {
    const TSaugerList& list = Cups();
    const TViewAxes axes = Axes(view);
    const double rho = list.CupType.ClearanceDiameter / 2.0;
    const double height = list.CupType.Height;
    for (int i = list.Count() - 1; i >= 0; --i) {
        const TSauger& cup = *list.Sauger(i);
        const double du = u - Coord(cup.Pos, axes.U);
        const double dv = v - Coord(cup.Pos, axes.V);
        const double au = Coord(cup.Axial(), axes.U);
        const double av = Coord(cup.Axial(), axes.V);
        const double inPlane = std::sqrt(au * au + av * av);
        if (!(inPlane > 1e-12)) { // facing the viewer: the lip circle
            if (du * du + dv * dv <= rho * rho) return i;
            continue;
        }
        // Along the projected axis the lip circle shrinks to an ellipse of half axis ρ·k
        // and is drawn out by the projected cup height.
        const double k = std::fabs(cup.Axial().DotProduct(axes.Normal));
        const double along = (du * au + dv * av) / inPlane;
        const double across = (dv * au - du * av) / inPlane;
        const double beyond = along - std::clamp(along, 0.0, height * inPlane);
        if (across * across <= rho * rho &&
            across * across * k * k + beyond * beyond <= rho * rho * k * k)
            return i;
    }
    return -1;
}

TCupCursor TSuctionCupModel::CursorAt(TCupViewPlane view, double u, double v, unsigned keys) const {
    if (HitTest(view, u, v) < 0) return ccrDefault;
    if (Cups().StrategyType() != cssManual) return ccrNoMove;
    if (keys & ckCtrl) return ccrRotate;
    if (keys & ckAlt) return FDoc.Workpiece.Shape <= cwsVolumeKnown ? ccrTilt : ccrNoMove;
    return ccrMove;
}

double TSuctionCupModel::MouseAngle(TCupViewPlane view, double u, double v, int cup) const {
    const TSauger* c = Cups().Sauger(cup);
    if (!c) return 0.0;
    const TViewAxes axes = Axes(view);
    return TVektor::PlaneAngle(u - Coord(c->Pos, axes.U), v - Coord(c->Pos, axes.V));
}

void TSuctionCupModel::MouseDown(TCupViewPlane view, double u, double v, unsigned keys) {
    FDragging = false;
    if (Inert()) return;
    TSaugerList& list = Cups();
    if (list.StrategyType() != cssManual) return;
    const int hit = HitTest(view, u, v);
    if (hit >= 0) {
        list.SetFocused(hit);
        if (keys & ckShift) {
            list.Select(hit, true);
        } else {
            list.DeselectAll();
            list.Select(hit, false);
        }
        list.Anchor = ViewPoint(view, u, v);
        FLastAngle = MouseAngle(view, u, v, hit);
        FDragView = view;
        FDragging = true;
    } else if (!(keys & ckShift)) {
        list.DeselectAll();
    }
    Notify();
}

void TSuctionCupModel::MouseMove(TCupViewPlane view, double u, double v, unsigned keys) {
    if (!FDragging || view != FDragView || Inert()) return;
    TSaugerList& list = Cups();
    const TViewAxes axes = Axes(view);
    if (keys & (ckCtrl | ckAlt)) {
        TSauger* cup = list.Sauger(list.Focused());
        if (!cup) return;
        const double angle = MouseAngle(view, u, v, list.Focused());
        const double turn = Wrap(angle - FLastAngle);
        FLastAngle = angle;
        if (keys & ckCtrl) {
            // Seen from behind, a turn about the axis runs the other way round.
            const double phi = cup->Axial().DotProduct(axes.Normal) < 0.0 ? -turn : turn;
            RotateAboutUnitAxis(cup->Basis.E1(), cup->Axial(), phi);
            RotateAboutUnitAxis(cup->Basis.E2(), cup->Axial(), phi);
        } else {
            if (FDoc.Workpiece.Shape > cwsVolumeKnown) return;
            for (int a = 0; a < 3; ++a) {
                TVektor axis = *cup->Basis.Axis(a);
                RotateAboutUnitAxis(axis, axes.Normal, turn);
                cup->Basis.SetAxis(a, axis);
            }
        }
    } else {
        const TVektor point = ViewPoint(view, u, v);
        TVektor offset = point;
        offset.Subtract(list.Anchor);
        list.MoveSelected(offset);
        // The nominal positions follow the mouse, so that the next step starts from here.
        for (int i = 0; i < list.Count(); ++i)
            if (list.Sauger(i)->Selected) list.Sauger(i)->NominalPos.Add(offset);
        list.Anchor = point;
    }
    SyncInputs();
    list.CalcForces();
    Notify();
}

