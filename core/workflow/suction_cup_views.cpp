// The workpiece views: which cup lies under the mouse, the cursor, and moving, turning and
// tilting cups by dragging them.

#include "core/workflow/suction_cup_model.h"

#include "core/document/my_project.h"

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

} // namespace

// ---- workpiece views ----------------------------------------------------------------------

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

