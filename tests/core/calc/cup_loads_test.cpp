// The load system of the cups: the stiffness matrix against the forces it stands for, the
// Cholesky solution and its failure paths, the per-cup forces and ratios, the colour
// bands and the load case of a motion.

#include "core/calc/cup_loads.h"
#include "core/calc/forces.h"
#include "core/util/trace.h"

#include <cmath>
#include <gtest/gtest.h>

#include "tests/core/algebra/vektor_near.h"
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double pi = std::numbers::pi;
constexpr double tol = 1e-12;

// Collects the diagnostic trace while alive.
struct TTraceCapture {
    std::vector<std::string> Lines;
    TTraceCapture() {
        SetTraceSink([this](const std::string& line) { Lines.push_back(line); });
    }
    ~TTraceCapture() { SetTraceSink(nullptr); }
    bool Has(const std::string& text) const {
        for (const auto& l : Lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST(CupStiffness, OneCupGivesTheBlockOfItsPosition) {
    const std::vector<TVektor> p = {TVektor(1, 2, 3)};
    TMatrix c;
    BuildStiffnessMatrix(p, 0.001, c);
    ASSERT_EQ(c.Lines(), 6);
    ASSERT_EQ(c.Columns(), 6);
    // L = |p| = √14, so the rotational springs are 0.001·14 = 0.014.
    // [I, −[p]×] in the force lines, [[p]×, −[p]×[p]×] in the moment lines.
    const long double expected[6][6] = {{1.001, 0, 0, 0, 3, -2},    {0, 1.001, 0, -3, 0, 1},
                                        {0, 0, 1.001, 2, -1, 0},    {0, -3, 2, 13.014, -2, -3},
                                        {3, 0, -1, -2, 10.014, -6}, {-2, 1, 0, -3, -6, 5.014}};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            EXPECT_NEAR(static_cast<double>(c(i, j)), static_cast<double>(expected[i][j]), tol)
                << i << "," << j;
    // Without cups only the springs remain, the rotational ones with L = 0.1 m.
    BuildStiffnessMatrix({}, 0.001, c);
    EXPECT_NEAR(static_cast<double>(c(0, 0)), 0.001, tol);
    EXPECT_NEAR(static_cast<double>(c(5, 5)), 1e-5, tol);
    EXPECT_EQ(c(0, 4), 0.0L);
}

TEST(CupStiffness, MapsAMotionToTheSumOfCupForcesAndTheirMoments) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> d(-0.3, 0.3);
    std::vector<TVektor> p;
    for (int i = 0; i < 7; ++i) p.emplace_back(d(rng), d(rng), d(rng));
    const TVektor delta(d(rng), d(rng), d(rng));
    const TVektor omega(d(rng), d(rng), d(rng));
    TMatrix c;
    BuildStiffnessMatrix(p, 0.0, c); // no springs: the cups alone
    TVektor force, moment;
    for (const TVektor& q : p) {
        TVektor f;
        f.CrossProduct(omega, q);
        f.Add(delta); // f = δ + ω × p
        force.Add(f);
        TVektor m;
        m.CrossProduct(q, f);
        moment.Add(m);
    }
    const double u[6] = {delta.X, delta.Y, delta.Z, omega.X, omega.Y, omega.Z};
    const double want[6] = {force.X, force.Y, force.Z, moment.X, moment.Y, moment.Z};
    for (int i = 0; i < 6; ++i) {
        long double sum = 0;
        for (int j = 0; j < 6; ++j) sum += c(i, j) * u[j];
        EXPECT_NEAR(static_cast<double>(sum), want[i], 1e-12) << i;
        for (int j = 0; j < 6; ++j) EXPECT_EQ(c(i, j), c(j, i));
    }
}

TMatrix SampleSystem() {
    // diag(4, 9, 1, 1, 1, 1) with 2 at (0, 1) and (1, 0)
    TMatrix c(6, 6);
    const long double diag[6] = {4, 9, 1, 1, 1, 1};
    for (int i = 0; i < 6; ++i) c.SetElement(i, i, diag[i]);
    c.SetElement(0, 1, 2);
    c.SetElement(1, 0, 2);
    return c;
}

TEST(CupCholesky, SolvesAPositiveDefiniteSystem) {
    // 4u0 + 2u1 = 8, 2u0 + 9u1 = 13: u1 = 9/8, u0 = 2 − u1/2 = 1.4375
    std::array<long double, 6> u{};
    ASSERT_TRUE(SolveCholesky(SampleSystem(), {8, 13, 1, 2, 3, 4}, u));
    const double want[6] = {1.4375, 1.125, 1, 2, 3, 4};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(static_cast<double>(u[i]), want[i], tol) << i;
}

TEST(CupCholesky, SolvesAFullyCoupledSystemAgainstItsProduct) {
    // C = MᵀM + I with a dense M is symmetric positive definite and couples every unknown
    // with every other. b = C·u* for a chosen u*, so the solution must give u* back and
    // C·u must reproduce b.
    const long double m[6][6] = {
        {2, -1, 0.5, 3, 1, -2}, {1, 4, -1, 0.25, 2, 1}, {-3, 1, 5, 1, -1, 0.5},
        {0.5, 2, 1, 6, -2, 1},  {1, -0.5, 2, -1, 3, 4}, {2, 1, -1, 0.5, 1, 7},
    };
    TMatrix c(6, 6);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            long double sum = i == j ? 1.0L : 0.0L;
            for (int k = 0; k < 6; ++k) sum += m[k][i] * m[k][j];
            c.SetElement(i, j, sum);
        }
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) ASSERT_NE(c.Element(i, j), 0.0L) << i << "," << j;
    const std::array<long double, 6> want = {1, -2, 3, -4, 5, -6};
    std::array<long double, 6> b{};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) b[i] += c.Element(i, j) * want[j];
    std::array<long double, 6> u{};
    ASSERT_TRUE(SolveCholesky(c, b, u));
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(static_cast<double>(u[i]), static_cast<double>(want[i]), 1e-9) << i;
        long double product = 0;
        for (int j = 0; j < 6; ++j) product += c.Element(i, j) * u[j];
        EXPECT_NEAR(static_cast<double>(product), static_cast<double>(b[i]),
                    1e-9 * std::fabs(static_cast<double>(b[i])) + 1e-9)
            << i;
    }
}

TEST(CupCholesky, FailsWhereTheArithmeticWouldTrap) {
    std::array<long double, 6> u{};
    TMatrix c = SampleSystem();
    c.SetElement(5, 5, -1); // √ of a negative value
    EXPECT_FALSE(SolveCholesky(c, {1, 1, 1, 1, 1, 1}, u));
    c.SetElement(5, 5, 0); // a zero pivot would be divided by
    EXPECT_FALSE(SolveCholesky(c, {1, 1, 1, 1, 1, 1}, u));
    c = SampleSystem();
    c.SetElement(2, 2, std::numeric_limits<long double>::infinity());
    EXPECT_FALSE(SolveCholesky(c, {1, 1, 1, 1, 1, 1}, u));
    EXPECT_FALSE(SolveCholesky(TMatrix(3, 3), {1, 1, 1, 1, 1, 1}, u));
}

TEST(CupCholesky, NotANumberCountsAsZeroAndEveryBadValueIsTraced) {
    TTraceCapture trace;
    std::array<long double, 6> u{};
    TMatrix c = SampleSystem();
    c.SetElement(0, 1, NAN); // only the upper triangle is read
    ASSERT_TRUE(SolveCholesky(c, {8, 13, 1, 2, 3, 4}, u));
    // as if the coupling were 0: u0 = 8/4, u1 = 13/9
    EXPECT_NEAR(static_cast<double>(u[0]), 2.0, tol);
    EXPECT_NEAR(static_cast<double>(u[1]), 13.0 / 9.0, tol);
    EXPECT_TRUE(trace.Has("C.Summe(0,1) = NAN"));
    EXPECT_FALSE(SolveCholesky(SampleSystem(), {INFINITY, 0, 0, 0, 0, 0}, u));
    EXPECT_TRUE(trace.Has("z[0] = INF"));
}

TEST(CupForce, NormalAndTransverseRatios) {
    TCupForce f;
    // Fn = 10 of Fs = 20; nothing across
    ASSERT_TRUE(EvaluateCupForce(TVektor(0, 0, 10), VektorZero, VektorZero, TBasis(), 20, 0.5, f));
    EXPECT_EQ(f.Fn, 10);
    EXPECT_EQ(f.Fq, 0);
    EXPECT_EQ(f.NormalRatio, 0.5);
    EXPECT_EQ(f.TransverseRatio, 0);
    // Pressed on with 10 N: Fn = −10, Fq = 5; friction holds (20 + 10)·0.5 = 15
    ASSERT_TRUE(EvaluateCupForce(TVektor(3, 4, -10), VektorZero, VektorZero, TBasis(), 20, 0.5, f));
    EXPECT_EQ(f.NormalRatio, -0.5);
    EXPECT_NEAR(f.TransverseRatio, 5.0 / 15.0, tol);
    // Pulled off harder than it holds: no friction left, the transverse ratio stays 5
    ASSERT_TRUE(EvaluateCupForce(TVektor(3, 4, 25), VektorZero, VektorZero, TBasis(), 20, 0.5, f));
    EXPECT_EQ(f.NormalRatio, 1.25);
    EXPECT_EQ(f.TransverseRatio, 5.0);
    // Without vacuum nothing can be computed
    ASSERT_TRUE(EvaluateCupForce(TVektor(0, 0, 1), VektorZero, VektorZero, TBasis(), 0, 0.5, f));
    EXPECT_EQ(f.NormalRatio, 5.0);
    EXPECT_EQ(f.TransverseRatio, 5.0);
}

TEST(CupForce, RotationAddsTheLeverAndTheCupBasisGivesTheComponents) {
    // ω = (0, 0, 1) at p = (1, 0, 0): ω × p = (0, 1, 0); the cup sits on an X face.
    const TBasis side(VektorPlusY, VektorPlusZ, VektorPlusX);
    TCupForce f;
    ASSERT_TRUE(
        EvaluateCupForce(TVektor(2, 0, 0), TVektor(0, 0, 1), TVektor(1, 0, 0), side, 10, 1, f));
    EXPECT_TRUE(Near(f.Force, TVektor(2, 1, 0)));
    EXPECT_EQ(f.Fn, 2);
    EXPECT_EQ(f.Fq, 1);
    EXPECT_FALSE(EvaluateCupForce(TVektor(NAN, 0, 0), VektorZero, VektorZero, TBasis(), 10, 1, f));
}

TEST(CupForce, BandsOfTheRatios) {
    EXPECT_EQ(LoadBand(-0.01), clbNegative);
    EXPECT_EQ(LoadBand(0.0), clbOptimal);
    EXPECT_EQ(LoadBand(0.5999), clbOptimal);
    EXPECT_EQ(LoadBand(0.6), clbHigh);
    EXPECT_EQ(LoadBand(0.75), clbHigh);
    EXPECT_EQ(LoadBand(0.7501), clbTooHigh);
    EXPECT_EQ(LoadBand(5.0), clbTooHigh);
}

TEST(CupLoadCase, LoadIsMassTimesAccelerationAndGravityInTheWorkpieceBasis) {
    TCupLoadCase lc;
    lc.Mass = 2;
    lc.Acceleration = TVektor(1, 0, 0);
    lc.WorkpieceBasis.Rotate(VektorPlusZ, pi / 2); // e1 = +Y, e2 = −X
    // world: 2·(1, 0, 9.80655); local: (F·Y, F·(−X), F·Z)
    EXPECT_TRUE(Near(lc.Load(), TVektor(0, -2, 19.6131)));
}

TEST(CupLoadCase, MotionSamples) {
    TVektor a;
    TBasis b;
    b.Rotate(VektorPlusZ, 1);
    TMotionSample s;
    s.Acceleration = 2;
    MotionLoad(s, false, TVektor(0, 0, -1), 0.5, a, b);
    EXPECT_TRUE(Near(a, TVektor(0, 0, -2)));
    EXPECT_EQ(b, TBasis());
    // φ = 90°, ω = 2, α = 3, R = 0.5: ω²R = 2 along φ − π = −90°, αR = 1.5 along φ − π/2 = 0°
    s = TMotionSample{0, pi / 2, 2, 3};
    MotionLoad(s, true, VektorPlusZ, 0.5, a, b);
    EXPECT_TRUE(Near(a, TVektor(1.5, -2, 0)));
    EXPECT_TRUE(Near(b.E1(), VektorPlusY));
    EXPECT_TRUE(Near(b.E2(), VektorMinusX));
}

TEST(CupLoadCase, SwivelDirectionsOfTheForcesPageAreThoseOfTheLoads) {
    // Whatever the angle, the workpiece sees the swivel's centripetal and tangential
    // accelerations along the same axes of its own, which the forces page uses.
    for (const double phi : {0.0, 0.7, pi / 2, 2.5, -1.0}) {
        TVektor a;
        TBasis b;
        MotionLoad(TMotionSample{0, phi, 2, 0}, true, VektorPlusZ, 0.5, a, b);
        TVektor local;
        b.ToLocal(a, local);
        TVektor want = SwivelCentripetalDirection();
        want.Scale(2 * 2 * 0.5);
        EXPECT_TRUE(Near(local, want)) << phi;
        MotionLoad(TMotionSample{0, phi, 0, 3}, true, VektorPlusZ, 0.5, a, b);
        b.ToLocal(a, local);
        want = SwivelTangentialDirection();
        want.Scale(3 * 0.5);
        EXPECT_TRUE(Near(local, want)) << phi;
    }
}

TEST(CupLoadCase, AnOffCentreLoadActsAtTheCentreOfGravity) {
    TCupLoadCase lc;
    lc.Mass = 2;
    lc.Acceleration = TVektor(1, 0, 0);
    EXPECT_TRUE(Near(lc.LoadMoment(), VektorZero));
    // 2·(1, 0, g) at c = (0, 0.1, 0.05): c × F = (0.1·2g, 0.05·2, −0.1·2).
    lc.MassCenter = TVektor(0, 0.1, 0.05);
    EXPECT_TRUE(Near(lc.LoadMoment(), TVektor(0.1 * 2 * 9.80655, 0.1, -0.2)));
}

} // namespace
