#include "core/algebra/vektor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double TVektor::Length() const {
    return std::sqrt(X * X + Y * Y + Z * Z);
}

double TVektor::LengthXY() const {
    return std::sqrt(X * X + Y * Y);
}

double TVektor::Distance(const TVektor& u) const {
    const double dx = X - u.X;
    const double dy = Y - u.Y;
    const double dz = Z - u.Z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double TVektor::TransverseLength(const TVektor& u) const {
    const double along = DotProduct(u);
    const double radicand = DotProduct(*this) - along * along;
    return radicand < 0.0 ? 0.0 : std::sqrt(radicand);
}

void TVektor::CrossProduct(const TVektor& a, const TVektor& b) {
    // Computed into locals first: a or b may be this vector.
    const double x = a.Y * b.Z - a.Z * b.Y;
    const double y = a.Z * b.X - a.X * b.Z;
    const double z = a.X * b.Y - a.Y * b.X;
    SetXYZ(x, y, z);
}

void TVektor::Normalize() {
    const double len = Length();
    if (len > 0.0) {
        X /= len;
        Y /= len;
        Z /= len;
    }
}

void TVektor::RemoveComponent(const TVektor& u) {
    AddScaled(-DotProduct(u), u);
}

void TVektor::MinWith(const TVektor& u) {
    X = std::min(X, u.X);
    Y = std::min(Y, u.Y);
    Z = std::min(Z, u.Z);
}

void TVektor::MaxWith(const TVektor& u) {
    X = std::max(X, u.X);
    Y = std::max(Y, u.Y);
    Z = std::max(Z, u.Z);
}

void TVektor::SetSpherical(double a, double b, double r) {
    const double rc = r * std::cos(a);
    SetXYZ(rc * std::cos(b), rc * std::sin(b), r * std::sin(a));
}

void TVektor::AddSpherical(double a, double b, double r) {
    TVektor s;
    s.SetSpherical(a, b, r);
    Add(s);
}

void TVektor::Perpendiculars(TVektor& p, TVektor& q) const {
    const TVektor& helper = std::fabs(X) >= std::fabs(Y) ? VektorPlusY : VektorPlusX;
    // p is written last: p or q may be this vector.
    TVektor pp;
    pp.CrossProduct(helper, *this);
    q.CrossProduct(pp, *this);
    p = pp;
}

void TVektor::Rotate(const TVektor& axis, double phi) {
    TVektor u = axis;
    if (u.Length() == 0.0) return;
    u.Normalize();
    TVektor p;
    TVektor q;
    u.Perpendiculars(p, q);
    const double c1 = DotProduct(u);
    const double c2 = DotProduct(p);
    const double c3 = DotProduct(q);
    const double cs = std::cos(phi);
    const double sn = std::sin(phi);
    Clear();
    AddScaled(c1, u);
    AddScaled(c2 * cs + c3 * sn, p);
    AddScaled(c3 * cs - c2 * sn, q);
}

double TVektor::PlaneAngle(double a, double b) {
    if (a == 0.0 && b == 0.0) return 0.0;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    double angle = std::atan2(b, a);
    if (angle < 0.0) angle += twoPi;
    // A tiny negative angle rounds up to 2π, which belongs to 0; -0 becomes +0.
    if (angle >= twoPi) angle = 0.0;
    return angle + 0.0;
}
