#pragma once

#include "core/algebra/basis.h"
#include "core/algebra/vektor.h"
#include "core/quantities/prj_object.h"

#include <algorithm>
#include <string>

//! One suction cup of the arrangement, in workpiece coordinates (origin at the workpiece
//! centre). Position and basis are stored with the project.
class TSauger : public TPrjObject {
public:
    TSauger() = default;

    //! Position, m.
    TVektor Pos;
    //! Radial direction 1, radial direction 2 and the axial direction (the outward normal
    //! of the gripped face).
    TBasis Basis;
    //! Where the cup is meant to be before it is placed on the surface.
    TVektor NominalPos;
    //! Force the cup transmits, N, in workpiece coordinates.
    TVektor Force;
    //! Normal force along the axial direction, N (positive pulls the workpiece off).
    double Fn = 0.0;
    //! Transverse force in the radial plane, N.
    double Fq = 0.0;
    //! Load ratios (1 = exhausted); 5 when they cannot be computed.
    double NormalRatio = 5.0;
    double TransverseRatio = 5.0;
    bool Selected = false;
    bool Misplaced = false;

    const TVektor& Radial1() const { return Basis.E1(); }
    const TVektor& Radial2() const { return Basis.E2(); }
    const TVektor& Axial() const { return Basis.E3(); }

    //! Makes d (normalised) the axial direction and rebuilds both radial directions from a
    //! helper axis, +Y when |axial·X| ≥ |axial·Y|, else +X: radial 2 := helper × axial,
    //! radial 1 := radial 2 × axial, both normalised. A direction of length 0 (or not
    //! finite) is ignored.
    void SetAxial(const TVektor& d);
    //! Makes d without its axial component, normalised, radial direction 1 and sets
    //! radial 2 := axial × radial 1; ignored when nothing of d is left.
    void SetRadial1(const TVektor& d);
    //! The larger of the two load ratios (it decides the colour of the cup).
    double LargerRatio() const { return std::max(NormalRatio, TransverseRatio); }

    //! key.Pos.x/y/z, key.eRadial1.x/y/z, key.eRadial2.x/y/z, key.eAxial.x/y/z.
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! Reads position and basis; the nominal position becomes the position.
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Equal when position and the three basis vectors are equal.
    bool Equals(const TPrjObject& other) const override;
    //! Copies position, nominal position, force, basis and both flags.
    void AssignFrom(const TPrjObject& other) override;
    //! At the origin with the axes +X, +Y, +Z, no force, not selected, not misplaced.
    void ClearItem() override;
};
