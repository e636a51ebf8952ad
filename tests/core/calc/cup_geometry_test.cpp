// Where the cups sit: their direction setters, placement onto every kind of face, the
// grids, and the collision check (against a plain all-pairs reference).

#include "core/calc/cup_geometry.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double deg = pi / 180.0;
constexpr double tol = 1e-12;

TCupWorkpiece Workpiece(TWorkpieceShape shape, double x, double y, double z, double d = 0,
                        double di = 0) {
    TCupWorkpiece w;
    w.Shape = shape;
    w.Size = {x, y, z, d, di};
    return w;
}

// ---- direction setters --------------------------------------------------------------------

TEST(SaugerDirections, AxialAlongACoordinateAxisGivesARightHandedUnitBasis) {
    TSauger c;
    c.SetAxial(TVektor(0, 0, 3));
    // helper +Y: radial 2 = Y × Z = X, radial 1 = X × Z = −Y
    EXPECT_TRUE(Near(c.Axial(), VektorPlusZ));
    EXPECT_TRUE(Near(c.Radial2(), VektorPlusX));
    EXPECT_TRUE(Near(c.Radial1(), VektorMinusY));
    c.SetAxial(TVektor(0, -2, 0));
    // |axial·X| = 0 < |axial·Y| = 1: helper +X; radial 2 = X × (−Y) = −Z, radial 1 = −Z × −Y = −X
    EXPECT_TRUE(Near(c.Radial2(), VektorMinusZ));
    EXPECT_TRUE(Near(c.Radial1(), VektorMinusX));
}

TEST(SaugerDirections, ObliqueAxialGetsNormalisedRadialDirections) {
    TSauger c;
    c.SetAxial(TVektor(1, 1, 1));
    const double s = 1 / std::sqrt(3.0);
    EXPECT_TRUE(Near(c.Axial(), TVektor(s, s, s)));
    // The plain cross products would be √(2/3) long; stored, they are unit vectors.
    EXPECT_NEAR(c.Radial1().Length(), 1.0, tol);
    EXPECT_NEAR(c.Radial2().Length(), 1.0, tol);
    EXPECT_NEAR(c.Radial1().DotProduct(c.Axial()), 0.0, tol);
    EXPECT_NEAR(c.Radial2().DotProduct(c.Axial()), 0.0, tol);
    TVektor e3;
    e3.CrossProduct(c.Radial1(), c.Radial2());
    EXPECT_TRUE(Near(e3, c.Axial()));
}

TEST(SaugerDirections, RadialOneDropsItsAxialPartAndZeroDirectionsAreIgnored) {
    TSauger c;
    c.SetAxial(VektorPlusZ);
    c.SetRadial1(TVektor(2, 0, 5));
    EXPECT_TRUE(Near(c.Radial1(), VektorPlusX));
    EXPECT_TRUE(Near(c.Radial2(), VektorPlusY)); // Z × X
    const TBasis before = c.Basis;
    c.SetRadial1(TVektor(0, 0, 4)); // nothing left beside the axis
    c.SetAxial(VektorZero);
    c.SetAxial(TVektor(NAN, 0, 0));
    EXPECT_EQ(c.Basis, before);
}

// ---- grids --------------------------------------------------------------------------------

TEST(CupGrid, CartesianSnapRoundsHalvesToTheEvenMultiple) {
    EXPECT_EQ(SnapToMultiple(0.625, 0.25), 0.5); // 2.5 steps -> 2
    EXPECT_EQ(SnapToMultiple(0.875, 0.25), 1.0); // 3.5 steps -> 4
    EXPECT_EQ(SnapToMultiple(-0.625, 0.25), -0.5);
    EXPECT_EQ(SnapToMultiple(0.3, 0.25), 0.25);
    EXPECT_EQ(SnapToMultiple(0.3, 0.0), 0.3);
    EXPECT_EQ(SnapToMultiple(0.3, -1.0), 0.3);
}

TEST(CupGrid, PlaneSnapByGridType) {
    double a = 0.3, b = 0.35;
    SnapPlane(TCupGrid{csgNone, 0.25, pi / 2}, a, b);
    EXPECT_EQ(a, 0.3);
    EXPECT_EQ(b, 0.35);
    SnapPlane(TCupGrid{csgCartesian, 0.25, pi / 2}, a, b);
    EXPECT_EQ(a, 0.25);
    EXPECT_EQ(b, 0.25); // 1.4 steps -> 1
    a = 0.3;
    b = 0.35;
    // radius 0.461 -> 2 × 0.25; angle 49.4° -> 1 × 90°
    SnapPlane(TCupGrid{csgPolar, 0.25, pi / 2}, a, b);
    EXPECT_NEAR(a, 0.0, tol);
    EXPECT_NEAR(b, 0.5, tol);
    a = -0.3;
    b = -0.01; // angle 181.9° snaps to 180° on a 90° grid; a zero grid length keeps the radius
    SnapPlane(TCupGrid{csgPolar, 0.0, pi / 2}, a, b);
    EXPECT_NEAR(a, -std::hypot(0.3, 0.01), tol);
    EXPECT_NEAR(b, 0.0, tol);
}

// ---- placement on the faces of a bar ------------------------------------------------------

class BarPlacement : public ::testing::Test {
protected:
    // 0.2 × 0.1 × 0.02 m; a round cup of radius 0.005 m
    const TCupWorkpiece Bar = Workpiece(cwsBar, 0.2, 0.1, 0.02);
    TCupGrid Grid;
    bool Place(TSauger& c, const TVektor& v = VektorZero) {
        return PlaceCup(c, v, Bar, Grid, 0.005, 0.005);
    }
};

TEST_F(BarPlacement, EachFaceTakesTheCupsOverIt) {
    TSauger top;
    top.NominalPos = TVektor(0.03, 0.02, 0.5);
    ASSERT_TRUE(Place(top));
    EXPECT_TRUE(Near(top.Pos, TVektor(0.03, 0.02, 0.01)));
    EXPECT_TRUE(Near(top.Axial(), VektorPlusZ));
    EXPECT_FALSE(top.Misplaced);

    TSauger side;
    side.NominalPos = TVektor(0.2, 0.01, 0.0); // |y| < 0.045 and |z| < 0.005: an X face
    ASSERT_TRUE(Place(side));
    EXPECT_TRUE(Near(side.Pos, TVektor(0.1, 0.01, 0.0)));
    EXPECT_TRUE(Near(side.Axial(), VektorPlusX));

    TSauger front;
    front.NominalPos = TVektor(-0.02, -0.3, 0.001);
    ASSERT_TRUE(Place(front));
    EXPECT_TRUE(Near(front.Pos, TVektor(-0.02, -0.05, 0.001)));
    EXPECT_TRUE(Near(front.Axial(), VektorMinusY));
}

TEST_F(BarPlacement, TheLastPassingTestWinsAndZeroGoesToTheLowerFace) {
    // Inside the bar all three tests pass; the Z test, being last, decides, and a
    // coordinate of 0 counts as the lower side.
    TSauger c;
    c.NominalPos = VektorZero;
    ASSERT_TRUE(Place(c));
    EXPECT_TRUE(Near(c.Pos, TVektor(0, 0, -0.01)));
    EXPECT_TRUE(Near(c.Axial(), VektorMinusZ));
}

TEST_F(BarPlacement, ACupOverAnEdgeStaysMisplacedWhereItWasMoved) {
    TSauger c;
    c.NominalPos = TVektor(0.09, 0, 0.009);
    // v moves it to x = 0.098: beyond 0.1 − 0.005 for the Y and Z faces, and
    // |z| = 0.009 is not below 0.01 − 0.005 for the X face.
    EXPECT_FALSE(Place(c, TVektor(0.008, 0, 0)));
    EXPECT_TRUE(c.Misplaced);
    EXPECT_TRUE(Near(c.Pos, TVektor(0.098, 0, 0.009)));
    // The face tests are strict: |y| = Y/2 − rs fails.
    TSauger edge;
    edge.NominalPos = TVektor(0, 0.1 / 2 - 0.005, 1);
    EXPECT_FALSE(Place(edge));
}

TEST_F(BarPlacement, FacesSnapToTheGridAndKeepTheRadialDirectionsOfTheSameFace) {
    Grid = TCupGrid{csgCartesian, 0.005, 5 * deg};
    TSauger c;
    c.NominalPos = TVektor(0.0312, -0.0174, 1);
    c.SetAxial(VektorPlusZ);
    c.SetRadial1(TVektor(1, 1, 0)); // turned by 45° on the top face
    const TVektor r1 = c.Radial1();
    ASSERT_TRUE(Place(c));
    EXPECT_TRUE(Near(c.Pos, TVektor(0.03, -0.015, 0.01)));
    EXPECT_EQ(c.Radial1(), r1);
    c.NominalPos = TVektor(0, 0, -1); // onto the lower face: the basis is rebuilt
    ASSERT_TRUE(Place(c));
    EXPECT_TRUE(Near(c.Axial(), VektorMinusZ));
    EXPECT_TRUE(Near(c.Radial1(), VektorMinusY)); // helper +Y: (Y × −Z) × −Z = −X × −Z
}

// ---- cylinders, pipes, sphere -------------------------------------------------------------

TEST(RoundPlacement, MantleOfACylinderAlongXSnapsPolarWhateverTheGrid) {
    // R = 0.05; the point (y, z) = (0.03, 0.04) lies on the mantle at 53.13°.
    const TCupWorkpiece cyl = Workpiece(cwsCylinderX, 0.4, 0, 0, 0.1);
    for (TSaugerGrid type : {csgNone, csgCartesian, csgPolar}) {
        TSauger c;
        c.NominalPos = TVektor(0.0312, 0.03, 0.04);
        ASSERT_TRUE(PlaceCup(c, VektorZero, cyl, TCupGrid{type, 0.005, 5 * deg}, 0.01, 0.01));
        // radius 0.05 = 10 × 0.005; angle 53.13° -> 55°; x 0.0312 -> 0.03
        const TVektor axial(0, std::cos(55 * deg), std::sin(55 * deg));
        EXPECT_TRUE(Near(c.Pos, TVektor(0.03, 0.05 * axial.Y, 0.05 * axial.Z))) << type;
        EXPECT_TRUE(Near(c.Axial(), axial)) << type;
    }
}

TEST(RoundPlacement, MantleScalesTheRadialPartToTheRadius) {
    // Cylinder along Z: the radial coordinates are x and y.
    const TCupWorkpiece cyl = Workpiece(cwsCylinderZ, 0, 0, 0.3, 0.1);
    TSauger c;
    c.NominalPos = TVektor(0.08, 0, 0.0212);
    ASSERT_TRUE(PlaceCup(c, VektorZero, cyl, TCupGrid{csgNone, 0.005, 5 * deg}, 0.01, 0.01));
    EXPECT_TRUE(Near(c.Pos, TVektor(0.05, 0, 0.02)));
    EXPECT_TRUE(Near(c.Axial(), VektorPlusX));
    // Along Y the radial coordinates are x and z; a point on the axis goes to +Z.
    const TCupWorkpiece cylY = Workpiece(cwsCylinderY, 0, 0.3, 0, 0.1);
    TSauger onAxis;
    onAxis.NominalPos = TVektor(0, 0.01, 0);
    ASSERT_TRUE(PlaceCup(onAxis, VektorZero, cylY, TCupGrid{}, 0.01, 0.01));
    EXPECT_TRUE(Near(onAxis.Pos, TVektor(0, 0.01, 0.05)));
    EXPECT_TRUE(Near(onAxis.Axial(), VektorPlusZ));
}

TEST(RoundPlacement, EndFacesOfCylinderAndPipe) {
    const TCupGrid none{csgNone, 0.005, 5 * deg};
    // |x| = 0.3 is beyond 0.2 − rl; ρ = 0.0224 < R − rl = 0.04: the +X end face.
    const TCupWorkpiece cyl = Workpiece(cwsCylinderX, 0.4, 0, 0, 0.1);
    TSauger c;
    c.NominalPos = TVektor(0.3, 0.01, 0.02);
    ASSERT_TRUE(PlaceCup(c, VektorZero, cyl, none, 0.01, 0.01));
    EXPECT_TRUE(Near(c.Pos, TVektor(0.2, 0.01, 0.02)));
    EXPECT_TRUE(Near(c.Axial(), VektorPlusX));
    TSauger rim;
    rim.NominalPos = TVektor(0.3, 0.04, 0); // ρ = 0.04 is not below R − rl
    EXPECT_FALSE(PlaceCup(rim, VektorZero, cyl, none, 0.01, 0.01));

    // A pipe's end face is the ring Ri + rl < ρ < R − rl = 0.03 .. 0.04.
    const TCupWorkpiece pipe = Workpiece(cwsPipeX, 0.4, 0, 0, 0.1, 0.04);
    TSauger ring;
    ring.NominalPos = TVektor(-0.25, 0.035, 0);
    ASSERT_TRUE(PlaceCup(ring, VektorZero, pipe, none, 0.01, 0.01));
    EXPECT_TRUE(Near(ring.Pos, TVektor(-0.2, 0.035, 0)));
    EXPECT_TRUE(Near(ring.Axial(), VektorMinusX));
    TSauger bore;
    bore.NominalPos = TVektor(-0.25, 0.01, 0);
    EXPECT_FALSE(PlaceCup(bore, VektorZero, pipe, none, 0.01, 0.01));
    EXPECT_TRUE(bore.Misplaced);
    // The mantle test comes first for pipes as well.
    TSauger mantle;
    mantle.NominalPos = TVektor(0, 0, 0.2);
    ASSERT_TRUE(PlaceCup(mantle, VektorZero, pipe, none, 0.01, 0.01));
    EXPECT_TRUE(Near(mantle.Pos, TVektor(0, 0, 0.05)));
}

TEST(RoundPlacement, SphereRoundsAzimuthAndPolarAngleToTheGridAngle) {
    const TCupWorkpiece ball = Workpiece(cwsGlobe, 0, 0, 0, 0.2);
    const TCupGrid grid{csgNone, 0.005, 5 * deg};
    TSauger top;
    top.NominalPos = TVektor(0, 0, 0.5);
    ASSERT_TRUE(PlaceCup(top, VektorZero, ball, grid, 0.01, 0.01));
    EXPECT_TRUE(Near(top.Pos, TVektor(0, 0, 0.1)));
    EXPECT_TRUE(Near(top.Axial(), VektorPlusZ));
    // azimuth 47° -> 45°, polar angle 88° -> 90°
    TSauger side;
    side.NominalPos = TVektor(std::cos(47 * deg) * std::sin(88 * deg),
                              std::sin(47 * deg) * std::sin(88 * deg), std::cos(88 * deg));
    ASSERT_TRUE(PlaceCup(side, VektorZero, ball, grid, 0.01, 0.01));
    const double s = std::sqrt(0.5);
    EXPECT_TRUE(Near(side.Pos, TVektor(0.1 * s, 0.1 * s, 0)));
    EXPECT_TRUE(Near(side.Axial(), TVektor(s, s, 0)));
}

TEST(RoundPlacement, ShapesWithoutGeometryLeaveTheCupMisplaced) {
    for (TWorkpieceShape shape : {cwsMassKnown, cwsVolumeKnown}) {
        SCOPED_TRACE(testing::Message() << "shape " << shape);
        TSauger c;
        c.NominalPos = TVektor(0.01, 0.02, 0.03);
        EXPECT_FALSE(PlaceCup(c, TVektor(0.001, 0, 0), Workpiece(shape, 0.2, 0.1, 0.05), TCupGrid{},
                              0.01, 0.01));
        EXPECT_TRUE(c.Misplaced);
        EXPECT_TRUE(Near(c.Pos, TVektor(0.011, 0.02, 0.03)));
    }
}

TEST(RoundPlacement, RotationAboutAnObliqueUnitAxisIsExact) {
    TVektor axis(1, 1, 1);
    axis.Normalize();
    TVektor v = VektorPlusX;
    RotateAboutUnitAxis(v, axis, 2 * pi / 3); // a third of a turn about the diagonal: X -> Y
    EXPECT_TRUE(Near(v, VektorPlusY));
}

// ---- collisions ---------------------------------------------------------------------------

using TCups = std::vector<std::unique_ptr<TSauger>>;

std::vector<TSauger*> Pointers(const TCups& cups) {
    std::vector<TSauger*> p;
    for (const auto& c : cups) p.push_back(c.get());
    return p;
}

std::unique_ptr<TSauger> Facing(const TVektor& pos, const TVektor& axial) {
    auto c = std::make_unique<TSauger>();
    c->Pos = pos;
    c->SetAxial(axial);
    return c;
}

template <class... T> TCups Cups(T&&... cups) {
    TCups v;
    (v.push_back(std::move(cups)), ...);
    return v;
}

TEST(CupCollisions, CupsCloserThanTheClearanceOnTheSameSideCollide) {
    const TCups cups = Cups(
        Facing(TVektor(0, 0, 0.01), VektorPlusZ), Facing(TVektor(0.005, 0, 0.01), VektorPlusZ),
        Facing(TVektor(0.05, 0, 0.01), VektorPlusZ), Facing(TVektor(0.06, 0, 0.01), VektorPlusZ),
        Facing(TVektor(0.2, 0, 0.01), VektorPlusZ), Facing(TVektor(0.211, 0, 0.01), VektorPlusZ));
    TCupCollisionGrid grid;
    grid.Mark(Pointers(cups), 0.01);
    // 5 mm apart: both; exactly 10 mm: both ("at most"); 11 mm: neither.
    const bool expected[] = {true, true, true, true, false, false};
    for (size_t i = 0; i < cups.size(); ++i) EXPECT_EQ(cups[i]->Misplaced, expected[i]) << i;
}

TEST(CupCollisions, CupsOnOppositeOrSteepFacesDoNotCollide) {
    TVektor tilted(std::sqrt(1 - 0.01), 0, 0.1); // axial·Z = 0.1 exactly is not above 0.1
    TCups cups =
        Cups(Facing(TVektor(0, 0, 0.001), VektorPlusZ), Facing(TVektor(0, 0, -0.001), VektorMinusZ),
             Facing(TVektor(0.001, 0, 0.001), tilted));
    cups[2]->Basis.E3() = tilted; // keep the exact product
    TCupCollisionGrid grid;
    grid.Mark(Pointers(cups), 0.01);
    EXPECT_FALSE(cups[0]->Misplaced);
    EXPECT_FALSE(cups[1]->Misplaced);
    EXPECT_FALSE(cups[2]->Misplaced);
    // A negative clearance finds nothing, not even coincident cups; a zero one finds them.
    cups[1] = Facing(TVektor(0, 0, 0.001), VektorPlusZ);
    grid.Mark(Pointers(cups), -1);
    EXPECT_FALSE(cups[0]->Misplaced);
    grid.Mark(Pointers(cups), 0);
    EXPECT_TRUE(cups[0]->Misplaced);
    EXPECT_TRUE(cups[1]->Misplaced);
}

TEST(CupCollisions, AgreesWithAllPairsOnRandomArrangements) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-0.3, 0.3);
    std::uniform_int_distribution<int> face(0, 5);
    const TVektor faces[] = {VektorPlusX,  VektorMinusX, VektorPlusY,
                             VektorMinusY, VektorPlusZ,  VektorMinusZ};
    TCupCollisionGrid grid;
    for (double clearance : {0.0, 0.004, 0.02, 0.08, 2.0}) {
        TCups cups;
        for (int i = 0; i < 900; ++i) {
            // Snapped to a coarse raster so that exact distances and coincidences occur.
            TVektor p(std::round(coord(rng) * 250) / 250, std::round(coord(rng) * 250) / 250,
                      std::round(coord(rng) * 20) / 20);
            cups.push_back(Facing(p, faces[face(rng)]));
        }
        cups[17]->Pos.X = NAN;
        std::vector<bool> expected(cups.size(), false);
        for (size_t i = 0; i < cups.size(); ++i)
            for (size_t j = i + 1; j < cups.size(); ++j)
                if (cups[i]->Axial().DotProduct(cups[j]->Axial()) > 0.1 &&
                    cups[i]->Pos.Distance(cups[j]->Pos) <= clearance)
                    expected[i] = expected[j] = true;
        grid.Mark(Pointers(cups), clearance);
        int hits = 0;
        for (size_t i = 0; i < cups.size(); ++i) {
            EXPECT_EQ(cups[i]->Misplaced, expected[i]) << clearance << " cup " << i;
            hits += expected[i];
        }
        if (clearance >= 0.02) {
            EXPECT_GT(hits, 0) << clearance;
        }
    }
}

} // namespace
