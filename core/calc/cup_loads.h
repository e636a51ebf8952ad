#pragma once

#include "core/algebra/basis.h"
#include "core/algebra/matrix.h"
#include "core/algebra/vektor.h"
#include "core/calc/motion_source.h"

#include <array>
#include <cstdint>
#include <span>

// How the load on the workpiece is shared among the cups: the workpiece is a rigid body
// on elastic cups of unit stiffness; a translation δ and a rotation ω of the workpiece
// stretch the cup at p by δ + ω × p. Weak springs on all six degrees of freedom keep the
// system solvable for any arrangement (one cup, cups in a line).

//! What the cups carry at one instant.
struct TCupLoadCase {
    //! Workpiece mass, kg.
    double Mass = 0.0;
    //! Acceleration of the workpiece, m/s².
    TVektor Acceleration;
    //! Axes of the workpiece (turned about Z by the swivel angle).
    TBasis WorkpieceBasis;
    //! Working vacuum, Pa, as gauge pressure (below 0).
    double Vacuum = -70000.0;
    //! Friction coefficient between workpiece and cup.
    double Friction = 0.5;
    //! Centre of gravity relative to the workpiece centre, in the workpiece basis, m.
    TVektor MassCenter;

    //! F = m·((0, 0, g) + a) in the workpiece basis, N.
    TVektor Load() const;
    //! Moment of the load about the workpiece centre: it acts at the centre of gravity,
    //! so c × F, N·m (0 for a centred mass).
    TVektor LoadMoment() const;
};

//! The 6×6 stiffness matrix: diag(k0, k0, k0, k0·L², k0·L², k0·L²), L the mean distance of
//! the cups from the origin (0.1 m when that is 0), plus for every cup at p the block
//! [[I, −[p]×], [[p]×, −[p]×[p]×]] that maps (δ, ω) to the cup force and its moment.
void BuildStiffnessMatrix(std::span<const TVektor> positions, double k0, TMatrix& c);

//! Solves c·u = b by the Cholesky decomposition c = RᵀR. Every intermediate value is
//! inspected: one that is not a number counts as 0, one that is not a number or infinite
//! goes to the diagnostic trace with its name ("C.Summe(i,j)", "R[i,j]", "z[i]",
//! "delta[i]"). False (u unspecified) when the arithmetic would fail: a square root of a
//! value not above 0 (what follows would divide by 0) or an infinite value.
bool SolveCholesky(const TMatrix& c, const std::array<long double, 6>& b,
                   std::array<long double, 6>& u);

//! Forces on one cup and how far they exhaust it.
struct TCupForce {
    //! Force the cup transmits, N, in workpiece coordinates.
    TVektor Force;
    //! Normal (axial) and transverse force, N.
    double Fn = 0.0;
    double Fq = 0.0;
    //! Fn / Fs and Fq / ((Fs − Fn)·μ); 5 when they cannot be computed.
    double NormalRatio = 5.0;
    double TransverseRatio = 5.0;
};

//! The force of the cup at p with basis `basis` for the displacement (δ, ω), with Fs the
//! holding force of one cup and μ the friction. False when a result is not finite.
bool EvaluateCupForce(const TVektor& delta, const TVektor& omega, const TVektor& p,
                      const TBasis& basis, double fs, double friction, TCupForce& out);

//! Colour band of a load ratio on the load page and in the workpiece views.
enum TCupLoadBand : uint8_t {
    clbNegative,  //!< below 0: the workpiece is pressed onto the cup (olive)
    clbOptimal,   //!< 0 to below 0.6 (lime)
    clbHigh,      //!< 0.6 to 0.75 (green)
    clbTooHigh,   //!< above 0.75 (red)
    clbMisplaced, //!< the cup is misplaced (grey)
};

//! Band of a ratio (never clbMisplaced).
TCupLoadBand LoadBand(double ratio);

//! Acceleration of the workpiece and its basis from one motion sample: for a linear
//! drive a·direction and the unit basis; for a swivel with lever arm R the sum of ω²·R
//! along φ − π and α·R along φ − π/2 in the XY plane, and the unit basis turned about Z
//! by φ.
void MotionLoad(const TMotionSample& sample, bool rotary, const TVektor& direction, double lever,
                TVektor& acceleration, TBasis& basis);
