#include "core/algebra/vektor.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

TEST(VektorConstants, AreZeroAndTheSixAxisUnitVectors) {
    EXPECT_EQ(VektorZero, TVektor(0, 0, 0));
    EXPECT_EQ(VektorPlusX, TVektor(1, 0, 0));
    EXPECT_EQ(VektorPlusY, TVektor(0, 1, 0));
    EXPECT_EQ(VektorPlusZ, TVektor(0, 0, 1));
    EXPECT_EQ(VektorMinusX, TVektor(-1, 0, 0));
    EXPECT_EQ(VektorMinusY, TVektor(0, -1, 0));
    EXPECT_EQ(VektorMinusZ, TVektor(0, 0, -1));
    // The axes form a right-handed system.
    TVektor z;
    z.CrossProduct(VektorPlusX, VektorPlusY);
    EXPECT_EQ(z, VektorPlusZ);
}

TEST(Vektor, NewVectorIsZeroAndSettersWriteEachComponent) {
    TVektor v;
    EXPECT_EQ(v, VektorZero);
    v.SetXYZ(1.5, -2.5, 3.25);
    EXPECT_EQ(v.X, 1.5);
    EXPECT_EQ(v.Y, -2.5);
    EXPECT_EQ(v.Z, 3.25);
    TVektor u;
    u.Assign(v);
    EXPECT_EQ(u, v);
    u.Clear();
    EXPECT_EQ(u, VektorZero);
    EXPECT_EQ(v, TVektor(1.5, -2.5, 3.25)); // Assign copied, not shared
}

TEST(Vektor, EqualityNeedsAllThreeComponentsExactlyEqual) {
    const TVektor v(1, 2, 3);
    EXPECT_TRUE(v.Equals(TVektor(1, 2, 3)));
    EXPECT_FALSE(v.Equals(TVektor(1 + 1e-15, 2, 3)));
    EXPECT_FALSE(v.Equals(TVektor(1, 2 + 1e-15, 3)));
    EXPECT_FALSE(v.Equals(TVektor(1, 2, 3 + 1e-15)));
    EXPECT_FALSE(v == TVektor(3, 2, 1));
    EXPECT_TRUE(TVektor(0.0, 0, 0) == TVektor(-0.0, 0, 0));
}

TEST(Vektor, ArithmeticWorksAlsoWithItselfAsArgument) {
    TVektor v(1, 2, 3);
    v.Add(TVektor(10, 20, 30));
    EXPECT_EQ(v, TVektor(11, 22, 33));
    v.Subtract(TVektor(1, 2, 3));
    EXPECT_EQ(v, TVektor(10, 20, 30));
    v.AddScaled(-0.5, TVektor(2, 4, 6));
    EXPECT_EQ(v, TVektor(9, 18, 27));
    v.Scale(1.0 / 9.0);
    EXPECT_TRUE(Near(v, TVektor(1, 2, 3)));

    TVektor w(1, 2, 3);
    w.Add(w);
    EXPECT_EQ(w, TVektor(2, 4, 6));
    w.AddScaled(2, w);
    EXPECT_EQ(w, TVektor(6, 12, 18));
    w.Subtract(w);
    EXPECT_EQ(w, VektorZero);
}

TEST(Vektor, LengthsAndDistance) {
    const TVektor v(3, 4, 12);
    EXPECT_DOUBLE_EQ(v.Length(), 13.0);
    EXPECT_DOUBLE_EQ(v.LengthXY(), 5.0);
    EXPECT_DOUBLE_EQ(TVektor(-3, -4, -12).Length(), 13.0);
    EXPECT_DOUBLE_EQ(v.Distance(TVektor(1, 1, 0)), std::sqrt(4.0 + 9.0 + 144.0));
    EXPECT_DOUBLE_EQ(v.Distance(TVektor(1, 1, 0)), TVektor(1, 1, 0).Distance(v));
    EXPECT_EQ(v.Distance(v), 0.0);
    EXPECT_EQ(VektorZero.Length(), 0.0);
}

TEST(Vektor, DotProductAndTransverseLength) {
    const TVektor v(3, 4, 5);
    EXPECT_DOUBLE_EQ(v.DotProduct(TVektor(1, -2, 0.5)), 3 - 8 + 2.5);
    EXPECT_DOUBLE_EQ(v.DotProduct(v), 50.0);
    EXPECT_DOUBLE_EQ(v.TransverseLength(VektorPlusZ), 5.0);
    EXPECT_DOUBLE_EQ(v.TransverseLength(VektorMinusZ), 5.0);
    EXPECT_DOUBLE_EQ(v.TransverseLength(VektorPlusX), std::sqrt(41.0));
    EXPECT_EQ(TVektor(0, 0, 7).TransverseLength(VektorPlusZ), 0.0);
}

TEST(Vektor, TransverseLengthIsZeroNotNaNWhenTheRadicandRoundsNegative) {
    // A direction slightly longer than 1 makes |v|² − (v·u)² negative.
    const TVektor u(1.0 + 1e-9, 0, 0);
    const double t = TVektor(2, 0, 0).TransverseLength(u);
    EXPECT_FALSE(std::isnan(t));
    EXPECT_EQ(t, 0.0);
}

TEST(Vektor, CrossProduct) {
    TVektor v;
    v.CrossProduct(TVektor(1, 2, 3), TVektor(4, 5, 6));
    EXPECT_EQ(v, TVektor(-3, 6, -3));
    v.CrossProduct(TVektor(4, 5, 6), TVektor(1, 2, 3));
    EXPECT_EQ(v, TVektor(3, -6, 3));
    v.CrossProduct(VektorPlusY, VektorPlusZ);
    EXPECT_EQ(v, VektorPlusX);
    v.CrossProduct(VektorPlusZ, VektorPlusX);
    EXPECT_EQ(v, VektorPlusY);
    v.CrossProduct(TVektor(2, 2, 2), TVektor(-1, -1, -1));
    EXPECT_EQ(v, VektorZero);
}

TEST(Vektor, CrossProductWithItselfAsOperand) {
    TVektor a(1, 2, 3);
    a.CrossProduct(a, TVektor(4, 5, 6));
    EXPECT_EQ(a, TVektor(-3, 6, -3));
    TVektor b(4, 5, 6);
    b.CrossProduct(TVektor(1, 2, 3), b);
    EXPECT_EQ(b, TVektor(-3, 6, -3));
    TVektor c(1, 2, 3);
    c.CrossProduct(c, c);
    EXPECT_EQ(c, VektorZero);
}

TEST(Vektor, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
    TVektor v(3, 0, -4);
    v.Normalize();
    EXPECT_TRUE(Near(v, TVektor(0.6, 0, -0.8)));
    EXPECT_DOUBLE_EQ(v.Length(), 1.0);

    TVektor zero;
    zero.Normalize();
    EXPECT_EQ(zero, VektorZero);
    EXPECT_FALSE(std::isnan(zero.X));

    TVektor tiny(1e-150, 0, 0);
    tiny.Normalize();
    EXPECT_DOUBLE_EQ(tiny.X, 1.0);
}

TEST(Vektor, RemoveComponentLeavesThePerpendicularPart) {
    TVektor v(1, 2, 3);
    v.RemoveComponent(VektorPlusZ);
    EXPECT_EQ(v, TVektor(1, 2, 0));

    const double s = std::sqrt(0.5);
    TVektor w(2, 0, 5);
    w.RemoveComponent(TVektor(s, s, 0));
    EXPECT_TRUE(Near(w, TVektor(1, -1, 5)));
    EXPECT_NEAR(w.DotProduct(TVektor(s, s, 0)), 0.0, tol);

    TVektor u(0.6, 0.8, 0);
    u.RemoveComponent(u);
    EXPECT_TRUE(Near(u, VektorZero));
}

TEST(Vektor, MinWithAndMaxWithBuildAnEnvelope) {
    const TVektor points[] = {{1, -2, 3}, {-4, 5, 0}, {2, 1, -6}};
    TVektor lo = points[0];
    TVektor hi = points[0];
    for (const TVektor& p : points) {
        lo.MinWith(p);
        hi.MaxWith(p);
    }
    EXPECT_EQ(lo, TVektor(-4, -2, -6));
    EXPECT_EQ(hi, TVektor(2, 5, 3));
}

TEST(Vektor, SphericalCoordinates) {
    TVektor v;
    v.SetSpherical(0, 0, 2);
    EXPECT_TRUE(Near(v, TVektor(2, 0, 0)));
    v.SetSpherical(pi / 2, 0, 2); // elevation: straight up
    EXPECT_TRUE(Near(v, TVektor(0, 0, 2)));
    v.SetSpherical(0, pi / 2, 3); // azimuth: towards +Y
    EXPECT_TRUE(Near(v, TVektor(0, 3, 0)));
    v.SetSpherical(pi / 6, pi / 3, 4);
    EXPECT_TRUE(Near(v, TVektor(4 * std::cos(pi / 6) * std::cos(pi / 3),
                                4 * std::cos(pi / 6) * std::sin(pi / 3), 2)));
    EXPECT_NEAR(v.Length(), 4.0, tol);

    TVektor w(1, 1, 1);
    w.AddSpherical(0, pi, 1);
    EXPECT_TRUE(Near(w, TVektor(0, 1, 1)));
    w.AddSpherical(-pi / 2, 0, 0.5);
    EXPECT_TRUE(Near(w, TVektor(0, 1, 0.5)));
}

TEST(VektorPerpendiculars, OfTheDiagonalHaveHalfRootTwoLength) {
    const double s = std::sqrt(0.5);
    const TVektor d(s, s, 0);
    TVektor p;
    TVektor q;
    d.Perpendiculars(p, q);
    EXPECT_NEAR(p.Length(), s, tol);
    EXPECT_NEAR(q.Length(), s, tol);
    EXPECT_NEAR(p.DotProduct(d), 0.0, tol);
    EXPECT_NEAR(q.DotProduct(d), 0.0, tol);
    EXPECT_NEAR(p.DotProduct(q), 0.0, tol);
    // |d·X| = |d·Y| picks +Y as the helper axis.
    EXPECT_TRUE(Near(p, TVektor(0, 0, -s)));
    EXPECT_TRUE(Near(q, TVektor(0.5, -0.5, 0)));
}

TEST(VektorPerpendiculars, HelperAxisFollowsTheLargerOfXAndY) {
    TVektor p;
    TVektor q;
    TVektor(0.5, 1, 0).Perpendiculars(p, q); // |x| < |y|: helper +X
    EXPECT_EQ(p, TVektor(0, 0, 1));
    EXPECT_EQ(q, TVektor(-1, 0.5, 0));
    TVektor(-1, 0.5, 0).Perpendiculars(p, q); // |x| > |y|: helper +Y
    EXPECT_EQ(p, TVektor(0, 0, 1));
    EXPECT_EQ(q, TVektor(-0.5, -1, 0));
    // The coordinate axes give unit vectors.
    VektorPlusZ.Perpendiculars(p, q);
    EXPECT_EQ(p, VektorPlusX);
    EXPECT_EQ(q, VektorMinusY);
    VektorPlusX.Perpendiculars(p, q);
    EXPECT_EQ(p, VektorMinusZ);
    EXPECT_EQ(q, VektorMinusY);
    VektorPlusY.Perpendiculars(p, q);
    EXPECT_EQ(p, VektorPlusZ);
    EXPECT_EQ(q, VektorMinusX);
}

TEST(VektorPerpendiculars, OutputMayBeTheDirectionItself) {
    TVektor d(0.5, 1, 0);
    TVektor q;
    d.Perpendiculars(d, q);
    EXPECT_EQ(d, TVektor(0, 0, 1));
    EXPECT_EQ(q, TVektor(-1, 0.5, 0));
    TVektor e(0.5, 1, 0);
    TVektor p;
    e.Perpendiculars(p, e);
    EXPECT_EQ(p, TVektor(0, 0, 1));
    EXPECT_EQ(e, TVektor(-1, 0.5, 0));
}

TEST(VektorRotate, FollowsTheRightHandRuleAboutEachAxis) {
    TVektor v = VektorPlusX;
    v.Rotate(VektorPlusZ, pi / 2);
    EXPECT_TRUE(Near(v, VektorPlusY));
    v = VektorPlusY;
    v.Rotate(VektorPlusX, pi / 2);
    EXPECT_TRUE(Near(v, VektorPlusZ));
    v = VektorPlusZ;
    v.Rotate(VektorPlusY, pi / 2);
    EXPECT_TRUE(Near(v, VektorPlusX));
    v = VektorPlusX;
    v.Rotate(VektorMinusZ, pi / 2);
    EXPECT_TRUE(Near(v, VektorMinusY));
    v = VektorPlusX;
    v.Rotate(VektorPlusZ, pi);
    EXPECT_TRUE(Near(v, VektorMinusX));
}

TEST(VektorRotate, KeepsTheAxialPartAndTheLengthForCoordinateAxes) {
    for (const TVektor& axis : {VektorPlusX, VektorPlusY, VektorPlusZ, VektorMinusY}) {
        for (double phi : {0.3, -1.1, 2.0, 4.0}) {
            TVektor v(1, -2, 3);
            v.Rotate(axis, phi);
            EXPECT_NEAR(v.Length(), TVektor(1, -2, 3).Length(), tol);
            EXPECT_NEAR(v.DotProduct(axis), TVektor(1, -2, 3).DotProduct(axis), tol);
            v.Rotate(axis, -phi);
            EXPECT_TRUE(Near(v, TVektor(1, -2, 3)));
        }
    }
    TVektor v(1, 0, 0);
    v.Rotate(VektorPlusZ, pi / 6);
    EXPECT_TRUE(Near(v, TVektor(std::cos(pi / 6), std::sin(pi / 6), 0)));
}

TEST(VektorRotate, NormalisesTheAxisAndIgnoresAZeroAxis) {
    TVektor v = VektorPlusX;
    v.Rotate(TVektor(0, 0, 5), pi / 2);
    EXPECT_TRUE(Near(v, VektorPlusY));
    TVektor w(1, 2, 3);
    w.Rotate(VektorZero, 1.0);
    EXPECT_EQ(w, TVektor(1, 2, 3));
}

TEST(VektorRotate, AboutItselfLeavesTheVector) {
    TVektor v(0, 0, 2);
    v.Rotate(v, 1.0);
    EXPECT_TRUE(Near(v, TVektor(0, 0, 2)));
}

TEST(VektorRotate, AboutAnObliqueAxisScalesThePerpendicularPart) {
    // The perpendicular pair of (1, 1, 0)/√2 has length √2/2, so the part of v
    // perpendicular to the axis comes back with half its length.
    TVektor v = VektorPlusZ;
    v.Rotate(TVektor(1, 1, 0), 0.0);
    EXPECT_TRUE(Near(v, TVektor(0, 0, 0.5)));
    TVektor along(2, 2, 0);
    along.Rotate(TVektor(1, 1, 0), 0.7);
    EXPECT_TRUE(Near(along, TVektor(2, 2, 0)));
}

TEST(VektorPlaneAngle, CoversAFullTurnFromThePositiveFirstAxis) {
    EXPECT_EQ(TVektor::PlaneAngle(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(2, 0), 0.0);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(0, 1), pi / 2);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(-1, 0), pi);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(0, -1), 3 * pi / 2);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(1, 1), pi / 4);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(1, -1), 7 * pi / 4);
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(-1, -1), 5 * pi / 4);
}

TEST(VektorPlaneAngle, StaysInsideTheHalfOpenRange) {
    const double justBelow = TVektor::PlaneAngle(1, -1e-300);
    EXPECT_GE(justBelow, 0.0);
    EXPECT_LT(justBelow, 2 * pi);
    const double negZero = TVektor::PlaneAngle(1, -0.0);
    EXPECT_EQ(negZero, 0.0);
    EXPECT_FALSE(std::signbit(negZero));
    EXPECT_DOUBLE_EQ(TVektor::PlaneAngle(-1, -0.0), pi);
    EXPECT_EQ(TVektor::PlaneAngle(-0.0, -0.0), 0.0);
}

} // namespace
