#include "core/calc/workpiece.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TWorkpieceSize Size(double x, double y, double z, double d = 0.0, double di = 0.0) {
    return TWorkpieceSize{x, y, z, d, di};
}

std::array<double, 3> Moments(TWorkpieceShape shape, const TWorkpieceSize& s, double mass) {
    return {WorkpieceMomentOfInertia(shape, s, mass, 0),
            WorkpieceMomentOfInertia(shape, s, mass, 1),
            WorkpieceMomentOfInertia(shape, s, mass, 2)};
}

TEST(WorkpieceVolume, ShapesWithGeometry) {
    // Bar 0.3 × 0.1 × 0.02 = 6e-4 m³.
    EXPECT_NEAR(WorkpieceVolume(cwsBar, Size(0.3, 0.1, 0.02), 0.0), 6e-4, 1e-18);
    // Sphere D = 0.1: 4π·0.05³/3 = 5.235988e-4 m³.
    EXPECT_NEAR(WorkpieceVolume(cwsGlobe, Size(0, 0, 0, 0.1), 0.0), 5.235988e-4, 1e-10);
    // Cylinders of length 0.2 and D = 0.05 along each axis: 0.2·π·0.025² = 3.926991e-4 m³;
    // only the extent along the axis counts as the length.
    const double cylinder = 3.926991e-4;
    EXPECT_NEAR(WorkpieceVolume(cwsCylinderX, Size(0.2, 9, 9, 0.05), 0.0), cylinder, 1e-10);
    EXPECT_NEAR(WorkpieceVolume(cwsCylinderY, Size(9, 0.2, 9, 0.05), 0.0), cylinder, 1e-10);
    EXPECT_NEAR(WorkpieceVolume(cwsCylinderZ, Size(9, 9, 0.2, 0.05), 0.0), cylinder, 1e-10);
    // Pipe of length 0.5, D = 0.1, Di = 0.08: 0.5·π·(0.05² − 0.04²) = 1.413717e-3 m³.
    const double pipe = 1.413717e-3;
    EXPECT_NEAR(WorkpieceVolume(cwsPipeX, Size(0.5, 9, 9, 0.1, 0.08), 0.0), pipe, 1e-9);
    EXPECT_NEAR(WorkpieceVolume(cwsPipeY, Size(9, 0.5, 9, 0.1, 0.08), 0.0), pipe, 1e-9);
    EXPECT_NEAR(WorkpieceVolume(cwsPipeZ, Size(9, 9, 0.5, 0.1, 0.08), 0.0), pipe, 1e-9);
}

TEST(WorkpieceVolume, ShapesWithoutGeometryKeepTheGivenVolume) {
    EXPECT_EQ(WorkpieceVolume(cwsMassKnown, Size(1, 1, 1), 0.25), 0.25);
    EXPECT_EQ(WorkpieceVolume(cwsVolumeKnown, Size(1, 1, 1), 0.75), 0.75);
}

TEST(WorkpieceVolume, InnerDiameterAboveOuterGivesNegativeVolume) {
    // 1·π·(0.05² − 0.1²) = −0.0235619 m³: not rejected.
    EXPECT_NEAR(WorkpieceVolume(cwsPipeZ, Size(0, 0, 1, 0.1, 0.2), 0.0), -0.0235619, 1e-7);
}

TEST(WorkpieceMomentOfInertia, SphereOfSteel) {
    // m = 7800·5.235988e-4 = 4.084070 kg; J = 2/5·m·0.05² = 4.084070e-3 kg m².
    const TWorkpieceSize s = Size(0, 0, 0, 0.1);
    const double m = 7800.0 * WorkpieceVolume(cwsGlobe, s, 0.0);
    EXPECT_NEAR(m, 4.084070, 1e-6);
    for (double j : Moments(cwsGlobe, s, m)) EXPECT_NEAR(j, 4.084070e-3, 1e-9);
}

TEST(WorkpieceMomentOfInertia, Bar) {
    // m = 4.68 kg: Jx = 4.68·(0.1² + 0.02²)/12 = 4.056e-3, Jy = 4.68·(0.3² + 0.02²)/12 =
    // 0.035256, Jz = 4.68·(0.3² + 0.1²)/12 = 0.039.
    const auto j = Moments(cwsBar, Size(0.3, 0.1, 0.02), 4.68);
    EXPECT_NEAR(j[0], 4.056e-3, 1e-12);
    EXPECT_NEAR(j[1], 0.035256, 1e-12);
    EXPECT_NEAR(j[2], 0.039, 1e-12);
}

TEST(WorkpieceMomentOfInertia, CylindersAboutAndAcrossTheirAxis) {
    // m = 2 kg, length 0.4, r = 0.05: about the axis m·r²/2 = 2.5e-3; across
    // m·(3r² + L²)/12 = 2·(0.0075 + 0.16)/12 = 0.0279166667.
    const double about = 2.5e-3;
    const double across = 0.0279166667;
    const auto x = Moments(cwsCylinderX, Size(0.4, 7, 7, 0.1), 2.0);
    EXPECT_NEAR(x[0], about, 1e-12);
    EXPECT_NEAR(x[1], across, 1e-10);
    EXPECT_NEAR(x[2], across, 1e-10);
    const auto y = Moments(cwsCylinderY, Size(7, 0.4, 7, 0.1), 2.0);
    EXPECT_NEAR(y[0], across, 1e-10);
    EXPECT_NEAR(y[1], about, 1e-12);
    EXPECT_NEAR(y[2], across, 1e-10);
    const auto z = Moments(cwsCylinderZ, Size(7, 7, 0.4, 0.1), 2.0);
    EXPECT_NEAR(z[0], across, 1e-10);
    EXPECT_NEAR(z[1], across, 1e-10);
    EXPECT_NEAR(z[2], about, 1e-12);
}

TEST(WorkpieceMomentOfInertia, PipesAreHollowCylinders) {
    // m = 3 kg, length 0.5, r = 0.05, ri = 0.04, r² + ri² = 0.0041: about the axis
    // m·(r² + ri²)/2 = 6.15e-3; across m·(3(r² + ri²) + L²)/12 = 3·0.2623/12 = 0.065575.
    const auto z = Moments(cwsPipeZ, Size(7, 7, 0.5, 0.1, 0.08), 3.0);
    EXPECT_NEAR(z[0], 0.065575, 1e-12);
    EXPECT_NEAR(z[1], 0.065575, 1e-12);
    EXPECT_NEAR(z[2], 6.15e-3, 1e-12);
    const auto x = Moments(cwsPipeX, Size(0.5, 7, 7, 0.1, 0.08), 3.0);
    EXPECT_NEAR(x[0], 6.15e-3, 1e-12);
    EXPECT_NEAR(x[1], 0.065575, 1e-12);
    EXPECT_NEAR(x[2], 0.065575, 1e-12);
    const auto y = Moments(cwsPipeY, Size(7, 0.5, 7, 0.1, 0.08), 3.0);
    EXPECT_NEAR(y[0], 0.065575, 1e-12);
    EXPECT_NEAR(y[1], 6.15e-3, 1e-12);
    EXPECT_NEAR(y[2], 0.065575, 1e-12);
    // A cylinder ignores a stray inner diameter: 3·0.05²/2 = 3.75e-3.
    EXPECT_NEAR(WorkpieceMomentOfInertia(cwsCylinderZ, Size(7, 7, 0.5, 0.1, 0.08), 3.0, 2), 3.75e-3,
                1e-12);
}

TEST(WorkpieceMomentOfInertia, ThinPipeCarriesItsMassAtTheRadius) {
    // A wall of 1 mm on r = 50 mm: nearly all the mass sits at the radius, so about the
    // axis J → m·r² (thin ring); exactly m·(r² + ri²)/2 = 2·(0.0025 + 0.002401)/2.
    const auto j = Moments(cwsPipeZ, Size(7, 7, 1.0, 0.1, 0.098), 2.0);
    EXPECT_NEAR(j[2], 0.004901, 1e-12);
    EXPECT_NEAR(j[2], 2.0 * 0.05 * 0.05, 0.02 * 2.0 * 0.05 * 0.05);
    // Across the axis, a thin tube is half a ring plus a rod: m·r²/2 + m·L²/12.
    EXPECT_NEAR(j[0], 2.0 * 0.05 * 0.05 / 2 + 2.0 / 12, 0.002 * j[0]);
}

TEST(WorkpieceMomentOfInertia, PipeIsTheOuterCylinderLessTheBore) {
    // Cutting the bore out of a full cylinder removes its moments: with ρ = 1000 kg/m³ the
    // outer cylinder of r = 0.06 and the bore of ri = 0.035, both 0.3 long, weigh
    // ρ·π·r²·L and ρ·π·ri²·L, and the pipe weighs the difference.
    const double rho = 1000, length = 0.3, r = 0.06, ri = 0.035;
    const double mOuter = rho * pi * r * r * length;
    const double mBore = rho * pi * ri * ri * length;
    for (TWorkpieceShape pipe : {cwsPipeX, cwsPipeY, cwsPipeZ}) {
        const int axis = WorkpieceRoundAxis(pipe);
        TWorkpieceSize s = Size(7, 7, 7, 2 * r, 2 * ri);
        (axis == 0 ? s.X : axis == 1 ? s.Y : s.Z) = length;
        TWorkpieceSize bore = s;
        bore.D = 2 * ri;
        bore.Di = 0;
        const TWorkpieceShape full = static_cast<TWorkpieceShape>(pipe - cwsPipeX + cwsCylinderX);
        const auto p = Moments(pipe, s, mOuter - mBore);
        const auto outer = Moments(full, s, mOuter);
        const auto inner = Moments(full, bore, mBore);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], outer[i] - inner[i], 1e-12) << pipe << i;
    }
}

TEST(WorkpieceMomentOfInertia, PipeWithoutBoreIsTheFullCylinder) {
    for (TWorkpieceShape pipe : {cwsPipeX, cwsPipeY, cwsPipeZ}) {
        const TWorkpieceShape full = static_cast<TWorkpieceShape>(pipe - cwsPipeX + cwsCylinderX);
        const TWorkpieceSize s = Size(0.4, 0.3, 0.2, 0.1, 0.0);
        const auto p = Moments(pipe, s, 2.5);
        const auto c = Moments(full, s, 2.5);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(p[i], c[i]) << pipe << i;
    }
}

TEST(WorkpieceMomentOfInertia, WorstCaseTakesTheFullEnvelopeWithoutDivisor) {
    // m = 2 kg, envelope 0.4 × 0.3 × 0.2: Jx = 2·(0.09 + 0.04) = 0.26, Jy = 2·(0.16 + 0.04)
    // = 0.4, Jz = 2·(0.16 + 0.09) = 0.5.
    const TWorkpieceSize s = Size(0.4, 0.3, 0.2);
    for (TWorkpieceShape shape : {cwsMassKnown, cwsVolumeKnown}) {
        SCOPED_TRACE(testing::Message() << "shape " << shape);
        const auto j = Moments(shape, s, 2.0);
        EXPECT_NEAR(j[0], 0.26, 1e-12);
        EXPECT_NEAR(j[1], 0.40, 1e-12);
        EXPECT_NEAR(j[2], 0.50, 1e-12);
    }
    EXPECT_NEAR(WorstCaseMomentOfInertia(s, 2.0, 2), 0.5, 1e-12);
    // The bar of the same envelope is twelve times smaller.
    EXPECT_NEAR(WorkpieceMomentOfInertia(cwsBar, s, 2.0, 2), 0.5 / 12.0, 1e-12);
}

TEST(WorkpieceMomentOfInertia, AnAxisOtherThanZeroToTwoGivesZero) {
    const TWorkpieceSize s = Size(0.4, 0.3, 0.2, 0.1, 0.05);
    for (int shape = cwsMassKnown; shape <= cwsPipeZ; ++shape) {
        SCOPED_TRACE(testing::Message() << "shape " << shape);
        EXPECT_EQ(WorkpieceMomentOfInertia(TWorkpieceShape(shape), s, 2.0, -1), 0.0);
        EXPECT_EQ(WorkpieceMomentOfInertia(TWorkpieceShape(shape), s, 2.0, 3), 0.0);
    }
    EXPECT_EQ(WorstCaseMomentOfInertia(s, 2.0, 3), 0.0);
}

TEST(WorkpieceGripSize, MiddleExtentOrOuterDiameter) {
    EXPECT_DOUBLE_EQ(WorkpieceGripSize(cwsBar, Size(0.3, 0.1, 0.02)), 0.1);
    // The order of the extents does not matter.
    EXPECT_DOUBLE_EQ(WorkpieceGripSize(cwsMassKnown, Size(0.02, 0.3, 0.1)), 0.1);
    EXPECT_DOUBLE_EQ(WorkpieceGripSize(cwsVolumeKnown, Size(0.1, 0.02, 0.3)), 0.1);
    EXPECT_DOUBLE_EQ(WorkpieceGripSize(cwsBar, Size(0.2, 0.2, 0.05)), 0.2);
    for (TWorkpieceShape shape : {cwsCylinderX, cwsGlobe, cwsPipeY, cwsPipeZ})
        EXPECT_DOUBLE_EQ(WorkpieceGripSize(shape, Size(0.3, 0.2, 0.1, 0.07, 0.05)), 0.07) << "shape " << shape;
}

TEST(WorkpieceHalfExtents, RadiusAcrossTheAxisHalfLengthAlongIt) {
    const TWorkpieceSize s = Size(0.4, 0.3, 0.2, 0.1, 0.05);
    auto expect = [&](TWorkpieceShape shape, double x, double y, double z) {
        const TVektor h = WorkpieceHalfExtents(shape, s);
        EXPECT_DOUBLE_EQ(h.X, x) << "shape " << int(shape);
        EXPECT_DOUBLE_EQ(h.Y, y) << "shape " << int(shape);
        EXPECT_DOUBLE_EQ(h.Z, z) << "shape " << int(shape);
    };
    expect(cwsMassKnown, 0.2, 0.15, 0.1);
    expect(cwsBar, 0.2, 0.15, 0.1);
    expect(cwsCylinderX, 0.2, 0.05, 0.05);
    expect(cwsCylinderY, 0.05, 0.15, 0.05);
    expect(cwsCylinderZ, 0.05, 0.05, 0.1);
    expect(cwsGlobe, 0.05, 0.05, 0.05);
    expect(cwsPipeX, 0.2, 0.05, 0.05);
    expect(cwsPipeY, 0.05, 0.15, 0.05);
    expect(cwsPipeZ, 0.05, 0.05, 0.1);
}

TEST(WorkpieceViews, RangesMarginsAndCommonScale) {
    // Bar 0.4 × 0.2 × 0.1, cup height 0.02: margins max(0.04, 0.02) + 0.024 = 0.064 and
    // max(0.01, 0.02) + 0.024 = 0.044.
    const TWorkpieceViews v =
        WorkpieceViews(cwsBar, Size(0.4, 0.2, 0.1), VektorZero, 0.02, 644.0, 360.0);
    EXPECT_DOUBLE_EQ(v.Extent.X, 0.4);
    EXPECT_DOUBLE_EQ(v.Extent.Y, 0.2);
    EXPECT_DOUBLE_EQ(v.Extent.Z, 0.1);
    EXPECT_NEAR(v.MarginH, 0.064, 1e-15);
    EXPECT_NEAR(v.MarginV, 0.044, 1e-15);
    EXPECT_NEAR(v.XY.Horizontal.Min, -0.264, 1e-15);
    EXPECT_NEAR(v.XY.Horizontal.Max, 0.264, 1e-15);
    EXPECT_NEAR(v.XY.Vertical.Max, 0.144, 1e-15);
    EXPECT_EQ(v.XZ.Horizontal, v.XY.Horizontal);
    EXPECT_NEAR(v.XZ.Vertical.Max, 0.094, 1e-15);
    EXPECT_NEAR(v.YZ.Horizontal.Max, 0.164, 1e-15);
    EXPECT_EQ(v.YZ.Vertical, v.XZ.Vertical);
    // Scale min((360 − 60)/(0.2 + 0.1), (644 − 44)/(0.2 + 0.4)) = min(1000, 1000) px/m.
    EXPECT_DOUBLE_EQ(v.Scale, 1000.0);
    EXPECT_EQ(v.XY.Width, 410);
    EXPECT_EQ(v.XY.Height, 210);
    EXPECT_EQ(v.XZ.Width, 410);
    EXPECT_EQ(v.XZ.Height, 110);
    EXPECT_EQ(v.YZ.Width, 210);
    EXPECT_EQ(v.YZ.Height, 110);
    // A narrower group limits the scale: (344 − 44)/0.6 = 500 px/m.
    EXPECT_DOUBLE_EQ(
        WorkpieceViews(cwsBar, Size(0.4, 0.2, 0.1), VektorZero, 0.02, 344.0, 360.0).Scale, 500.0);
}

TEST(WorkpieceViews, TinyExtentsAreWidenedAndNoRoomGivesScaleZero) {
    const TWorkpieceViews v = WorkpieceViews(cwsBar, Size(0, 0.001, 0), VektorZero, 0.0, 30, 30);
    EXPECT_DOUBLE_EQ(v.Extent.X, 0.01);
    EXPECT_DOUBLE_EQ(v.Extent.Y, 0.01);
    EXPECT_DOUBLE_EQ(v.Extent.Z, 0.01);
    EXPECT_EQ(v.Scale, 0.0);
    EXPECT_EQ(v.XY.Width, 10);
    EXPECT_EQ(v.YZ.Height, 10);
    const TWorkpieceViews n =
        WorkpieceViews(cwsBar, Size(0.1, 0.1, 0.1), VektorZero, nan, inf, nan);
    EXPECT_EQ(n.Scale, 0.0);
    EXPECT_TRUE(std::isfinite(n.MarginH));
    EXPECT_TRUE(std::isfinite(n.MarginV));
}

TEST(WorkpieceViews, OutlinesPerShapeOffsetByTheCentreOfGravity) {
    const TVektor cog(0.01, -0.02, 0.03);
    const TWorkpieceSize s = Size(0.4, 0.3, 0.2, 0.1, 0.06);
    const TWorkpieceViews env = WorkpieceViews(cwsMassKnown, s, cog, 0.01, 600, 400);
    EXPECT_EQ(env.XY.Outline.Kind, cwoEnvelope);
    EXPECT_DOUBLE_EQ(env.XY.Outline.Width, 0.4);
    EXPECT_DOUBLE_EQ(env.XY.Outline.Height, 0.3);
    EXPECT_DOUBLE_EQ(env.XY.Outline.CenterH, 0.01);
    EXPECT_DOUBLE_EQ(env.XY.Outline.CenterV, -0.02);
    EXPECT_DOUBLE_EQ(env.XZ.Outline.CenterV, 0.03);
    EXPECT_DOUBLE_EQ(env.YZ.Outline.CenterH, -0.02);
    EXPECT_DOUBLE_EQ(env.YZ.Outline.Width, 0.3);
    EXPECT_DOUBLE_EQ(env.YZ.Outline.Height, 0.2);

    const TWorkpieceViews bar = WorkpieceViews(cwsBar, s, cog, 0.01, 600, 400);
    EXPECT_EQ(bar.XZ.Outline.Kind, cwoRectangle);
    EXPECT_DOUBLE_EQ(bar.XZ.Outline.Height, 0.2);

    // A pipe along Y: rectangles (length × D) in XY and YZ, a ring in XZ.
    const TWorkpieceViews pipe = WorkpieceViews(cwsPipeY, s, cog, 0.01, 600, 400);
    EXPECT_EQ(pipe.XY.Outline.Kind, cwoRectangle);
    EXPECT_DOUBLE_EQ(pipe.XY.Outline.Width, 0.1);
    EXPECT_DOUBLE_EQ(pipe.XY.Outline.Height, 0.3);
    EXPECT_EQ(pipe.YZ.Outline.Kind, cwoRectangle);
    EXPECT_DOUBLE_EQ(pipe.YZ.Outline.Width, 0.3);
    EXPECT_DOUBLE_EQ(pipe.YZ.Outline.Height, 0.1);
    EXPECT_EQ(pipe.XZ.Outline.Kind, cwoCircle);
    EXPECT_DOUBLE_EQ(pipe.XZ.Outline.Width, 0.1);
    EXPECT_DOUBLE_EQ(pipe.XZ.Outline.Bore, 0.06);
    EXPECT_DOUBLE_EQ(pipe.XY.Outline.Bore, 0.0);

    // A cylinder along X shows no bore; a sphere is a circle everywhere.
    const TWorkpieceViews cyl = WorkpieceViews(cwsCylinderX, s, cog, 0.01, 600, 400);
    EXPECT_EQ(cyl.YZ.Outline.Kind, cwoCircle);
    EXPECT_DOUBLE_EQ(cyl.YZ.Outline.Bore, 0.0);
    EXPECT_DOUBLE_EQ(cyl.XZ.Outline.Width, 0.4);
    const TWorkpieceViews ball = WorkpieceViews(cwsGlobe, s, cog, 0.01, 600, 400);
    for (const TWorkpieceView* view : {&ball.XY, &ball.XZ, &ball.YZ}) {
        EXPECT_EQ(view->Outline.Kind, cwoCircle);
        EXPECT_DOUBLE_EQ(view->Outline.Width, 0.1);
    }
}

TEST(Workpiece, ResultsThatWouldNotBeFiniteAreZero) {
    EXPECT_EQ(WorkpieceVolume(cwsBar, Size(nan, 1, 1), 0.0), 0.0);
    EXPECT_EQ(WorkpieceVolume(cwsGlobe, Size(0, 0, 0, inf), 0.0), 0.0);
    EXPECT_EQ(WorkpieceMomentOfInertia(cwsBar, Size(1, 1, 1), nan, 0), 0.0);
    EXPECT_EQ(WorkpieceMomentOfInertia(cwsPipeX, Size(1e200, 1, 1, 1e200), 1e200, 1), 0.0);
    EXPECT_EQ(WorkpieceGripSize(cwsGlobe, Size(0, 0, 0, nan)), 0.0);
    EXPECT_TRUE(ValidWorkpieceShape(9));
    EXPECT_FALSE(ValidWorkpieceShape(10));
    EXPECT_FALSE(ValidWorkpieceShape(-1));
}

} // namespace
