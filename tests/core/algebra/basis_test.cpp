#include "core/algebra/basis.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

::testing::AssertionResult Near(const TBasis& a, const TBasis& b) {
    for (int i = 0; i < 3; ++i) {
        auto r = Near(*a.Axis(i), *b.Axis(i));
        if (!r) return r << " in axis " << i;
    }
    return ::testing::AssertionSuccess();
}

// An orthonormal basis that is no rotation about a single coordinate axis.
TBasis Skewed() {
    TVektor e1(1, 2, 2);
    e1.Normalize();
    TVektor e2(2, 1, -2);
    e2.Normalize();
    TVektor e3;
    e3.CrossProduct(e1, e2);
    return TBasis(e1, e2, e3);
}

TEST(Basis, NewBasisIsTheCoordinateAxes) {
    const TBasis b;
    EXPECT_EQ(b.E1(), VektorPlusX);
    EXPECT_EQ(b.E2(), VektorPlusY);
    EXPECT_EQ(b.E3(), VektorPlusZ);
}

TEST(Basis, AxisByIndexExistsOnlyForZeroToTwo) {
    TBasis b;
    ASSERT_NE(b.Axis(0), nullptr);
    ASSERT_NE(b.Axis(2), nullptr);
    EXPECT_EQ(b.Axis(0), &b.E1());
    EXPECT_EQ(b.Axis(1), &b.E2());
    EXPECT_EQ(b.Axis(2), &b.E3());
    EXPECT_EQ(b.Axis(3), nullptr);
    EXPECT_EQ(b.Axis(-1), nullptr);

    b.SetAxis(1, TVektor(4, 5, 6));
    EXPECT_EQ(b.E2(), TVektor(4, 5, 6));
    b.SetAxis(3, TVektor(7, 8, 9));
    b.SetAxis(-1, TVektor(7, 8, 9));
    EXPECT_EQ(b, TBasis(VektorPlusX, TVektor(4, 5, 6), VektorPlusZ));
}

TEST(Basis, AssignResetAndEquality) {
    TBasis a = Skewed();
    TBasis b;
    EXPECT_FALSE(a == b);
    b.Assign(a);
    EXPECT_TRUE(b.Equals(a));
    b.E3().Scale(2);
    EXPECT_FALSE(b == a);
    b.Reset();
    EXPECT_EQ(b, TBasis());
}

TEST(Basis, LocalComponentsAreTheDotProductsWithTheAxes) {
    TBasis b;
    b.Rotate(VektorPlusZ, pi / 2); // e1 = +Y, e2 = −X, e3 = +Z
    TVektor r;
    b.ToLocal(TVektor(1, 2, 3), r);
    EXPECT_TRUE(Near(r, TVektor(2, -1, 3)));

    TVektor w(1, 2, 3);
    b.ToLocal(w);
    EXPECT_TRUE(Near(w, TVektor(2, -1, 3)));
    TVektor u(1, 2, 3);
    b.ToLocal(u, u);
    EXPECT_TRUE(Near(u, TVektor(2, -1, 3)));

    const TBasis s = Skewed();
    s.ToLocal(TVektor(3, -1, 2), r);
    EXPECT_NEAR(r.X, TVektor(3, -1, 2).DotProduct(s.E1()), tol);
    EXPECT_NEAR(r.Y, TVektor(3, -1, 2).DotProduct(s.E2()), tol);
    EXPECT_NEAR(r.Z, TVektor(3, -1, 2).DotProduct(s.E3()), tol);
}

TEST(Basis, InverseOfARotationIsTheOppositeRotation) {
    for (double phi : {0.4, pi / 2, -2.5}) {
        TBasis rotated;
        rotated.Rotate(VektorPlusZ, phi);
        TBasis inverse;
        inverse.InverseOf(rotated);
        TBasis back;
        back.Rotate(VektorPlusZ, -phi);
        EXPECT_TRUE(Near(inverse, back)) << "phi " << phi;
    }
}

TEST(Basis, InverseUndoesTheLocalComponents) {
    const TBasis b = Skewed();
    TBasis inv;
    inv.InverseOf(b);
    const TVektor w(0.3, -1.7, 2.9);
    TVektor local;
    b.ToLocal(w, local);
    inv.ToLocal(local);
    EXPECT_TRUE(Near(local, w));

    TBasis twice;
    twice.InverseOf(inv);
    EXPECT_TRUE(Near(twice, b));
}

TEST(Basis, InverseOfItself) {
    TBasis b = Skewed();
    TBasis expected;
    expected.InverseOf(b);
    b.InverseOf(b);
    EXPECT_TRUE(Near(b, expected));
    EXPECT_FALSE(Near(b, Skewed()));
}

TEST(Basis, RotateStartsFromTheCoordinateAxes) {
    TBasis b = Skewed();
    b.Rotate(VektorPlusX, pi / 2);
    EXPECT_TRUE(Near(b, TBasis(VektorPlusX, VektorPlusZ, VektorMinusY)));

    b = Skewed();
    b.Rotate(TVektor(0, 3, 0), pi / 2); // axis is normalised
    EXPECT_TRUE(Near(b, TBasis(VektorMinusZ, VektorPlusY, VektorPlusX)));

    b = Skewed();
    b.Rotate(VektorZero, 1.0);
    EXPECT_EQ(b, TBasis());
}

TEST(Basis, RotateAboutOneOfItsOwnAxesUsesTheAxisBeforeTheReset) {
    TBasis b(VektorPlusZ, VektorPlusX, VektorPlusY);
    b.Rotate(b.E1(), pi / 2); // about +Z, not about the reset +X
    EXPECT_TRUE(Near(b, TBasis(VektorPlusY, VektorMinusX, VektorPlusZ)));
}

} // namespace
