#include "core/calc/sauger.h"

#include "core/quantities/prj_strings.h"

#include <cmath>

namespace {

void WriteVektor(TPrjStrings& strings, const std::string& key, const TVektor& v) {
    strings.WriteFloat(key + ".x", v.X);
    strings.WriteFloat(key + ".y", v.Y);
    strings.WriteFloat(key + ".z", v.Z);
}

TVektor ReadVektor(const TPrjStrings& strings, const std::string& key) {
    return TVektor(strings.ReadFloat(key + ".x"), strings.ReadFloat(key + ".y"),
                   strings.ReadFloat(key + ".z"));
}

bool UsableDirection(double length) {
    return length > 0.0 && std::isfinite(length);
}

} // namespace

void TSauger::SetAxial(const TVektor& d) {
    const double len = d.Length();
    if (!UsableDirection(len)) return;
    TVektor axial = d;
    axial.Scale(1.0 / len);
    const TVektor& helper = std::fabs(axial.X) >= std::fabs(axial.Y) ? VektorPlusY : VektorPlusX;
    TVektor r2;
    r2.CrossProduct(helper, axial);
    TVektor r1;
    r1.CrossProduct(r2, axial);
    // The plain cross products are shorter than 1 for an axis off the coordinate axes;
    // normalised, the local force components are true components.
    r1.Normalize();
    r2.Normalize();
    Basis = TBasis(r1, r2, axial);
}

void TSauger::SetRadial1(const TVektor& d) {
    TVektor r1 = d;
    r1.RemoveComponent(Axial());
    const double len = r1.Length();
    if (!UsableDirection(len)) return;
    r1.Scale(1.0 / len);
    TVektor r2;
    r2.CrossProduct(Axial(), r1);
    Basis.E1() = r1;
    Basis.E2() = r2;
}

void TSauger::WriteTo(TPrjStrings& strings, const std::string& key) const {
    WriteVektor(strings, key + ".Pos", Pos);
    WriteVektor(strings, key + ".eRadial1", Basis.E1());
    WriteVektor(strings, key + ".eRadial2", Basis.E2());
    WriteVektor(strings, key + ".eAxial", Basis.E3());
}

void TSauger::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    Pos = ReadVektor(strings, key + ".Pos");
    Basis = TBasis(ReadVektor(strings, key + ".eRadial1"), ReadVektor(strings, key + ".eRadial2"),
                   ReadVektor(strings, key + ".eAxial"));
    NominalPos = Pos;
}

bool TSauger::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TSauger*>(&other);
    return o && Pos == o->Pos && Basis == o->Basis;
}

void TSauger::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TSauger*>(&other);
    if (!o) return;
    Pos = o->Pos;
    NominalPos = o->NominalPos;
    Force = o->Force;
    Basis = o->Basis;
    Selected = o->Selected;
    Misplaced = o->Misplaced;
}

void TSauger::ClearItem() {
    Pos.Clear();
    Basis.Reset();
    NominalPos.Clear();
    Force.Clear();
    Fn = Fq = 0.0;
    NormalRatio = TransverseRatio = 5.0;
    Selected = Misplaced = false;
}
