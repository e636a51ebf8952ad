#include "core/algebra/basis.h"

void TBasis::Reset() {
    FE[0] = VektorPlusX;
    FE[1] = VektorPlusY;
    FE[2] = VektorPlusZ;
}

void TBasis::ToLocal(const TVektor& w, TVektor& r) const {
    const double c1 = w.DotProduct(FE[0]);
    const double c2 = w.DotProduct(FE[1]);
    const double c3 = w.DotProduct(FE[2]);
    r.SetXYZ(c1, c2, c3);
}

void TBasis::InverseOf(const TBasis& b) {
    TVektor e[3];
    b.ToLocal(VektorPlusX, e[0]);
    b.ToLocal(VektorPlusY, e[1]);
    b.ToLocal(VektorPlusZ, e[2]);
    for (int i = 0; i < 3; ++i) FE[i] = e[i];
}

void TBasis::Rotate(const TVektor& axis, double phi) {
    // The axis may be one of our own axes, which Reset overwrites.
    const TVektor a = axis;
    Reset();
    for (TVektor& e : FE) e.Rotate(a, phi);
}
