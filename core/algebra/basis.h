#pragma once

#include "core/algebra/vektor.h"

//! Coordinate basis of three axes e1, e2, e3; a new basis is +X, +Y, +Z. A suction cup's
//! basis holds radial direction 1, radial direction 2 and the axial direction in this order.
class TBasis {
public:
    //! The axes +X, +Y, +Z.
    TBasis() = default;
    //! The axes e1, e2, e3.
    TBasis(const TVektor& e1, const TVektor& e2, const TVektor& e3) : FE{e1, e2, e3} {}

    //! Axis i for i = 0, 1, 2; null for any other index.
    const TVektor* Axis(int i) const { return i >= 0 && i < 3 ? &FE[i] : nullptr; }
    //! Sets axis i from v; any other index than 0, 1, 2 is ignored.
    void SetAxis(int i, const TVektor& v) {
        if (i >= 0 && i < 3) FE[i] = v;
    }
    const TVektor& E1() const { return FE[0]; }
    const TVektor& E2() const { return FE[1]; }
    const TVektor& E3() const { return FE[2]; }
    TVektor& E1() { return FE[0]; }
    TVektor& E2() { return FE[1]; }
    TVektor& E3() { return FE[2]; }

    //! Resets the axes to +X, +Y, +Z.
    void Reset();
    //! Copies the three axes of b.
    void Assign(const TBasis& b) { *this = b; }
    //! True when all three axes are exactly equal.
    bool Equals(const TBasis& b) const {
        return FE[0] == b.FE[0] && FE[1] == b.FE[1] && FE[2] == b.FE[2];
    }
    bool operator==(const TBasis& b) const { return Equals(b); }

    //! Local components of w in this basis, (w·e1, w·e2, w·e3), written into r
    //! (r may be w).
    void ToLocal(const TVektor& w, TVektor& r) const;
    //! Replaces w by its local components in this basis.
    void ToLocal(TVektor& w) const { ToLocal(w, w); }

    //! Makes this basis the inverse of b: its axes are the local components of +X, +Y
    //! and +Z in b. b may be this basis.
    void InverseOf(const TBasis& b);
    //! Resets the axes to +X, +Y, +Z and rotates each about `axis` by phi (see
    //! TVektor::Rotate).
    void Rotate(const TVektor& axis, double phi);

private:
    TVektor FE[3] = {VektorPlusX, VektorPlusY, VektorPlusZ};
};
