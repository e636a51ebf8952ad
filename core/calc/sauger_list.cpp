#include "core/calc/sauger_list.h"

#include "core/quantities/prj_strings.h"
#include "core/quantities/units.h"

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

template <size_t N>
int NameIndex(const std::array<std::string_view, N>& names, const std::string& name, int unknown) {
    for (size_t i = 0; i < N; ++i)
        if (names[i] == name) return static_cast<int>(i);
    return unknown;
}

template <size_t N>
void WriteName(TPrjStrings& strings, const std::string& key,
               const std::array<std::string_view, N>& names, int index) {
    if (index < 0 || index >= static_cast<int>(N))
        strings.Fail("the value " + std::to_string(index) + " of \"" + key + "\" has no name");
    else
        strings.SetValue(key, names[static_cast<size_t>(index)]);
}

double DefaultGridAngle() {
    return ToBaseUnit(cUM_deg, 5.0);
}

} // namespace

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

TSaugerList::TSaugerList() : TPrjList(PrjClass<TSauger>), FGridAngle(DefaultGridAngle()) {
    Resize(1);
}

void TSaugerList::Resize(int n) {
    if (n < 0) n = 0;
    if (n < Count()) FItems.resize(static_cast<size_t>(n));
    while (Count() < n) {
        std::unique_ptr<TPrjObject> cup = FItemClass();
        if (Count() > 0) cup->AssignFrom(*Item(Count() - 1));
        FItems.push_back(std::move(cup));
    }
}

double TSaugerList::MomentOfInertiaZ() const {
    double sum = 0.0;
    for (int i = 0; i < Count(); ++i) {
        const TVektor& p = Sauger(i)->Pos;
        sum += p.X * p.X + p.Y * p.Y;
    }
    return CupType.Mass * sum;
}

void TSaugerList::WriteTo(TPrjStrings& strings, const std::string& key) const {
    WriteName(strings, key + ".Grid.Type", cSaugerGridNames, FGridType);
    strings.WriteFloat(key + ".Grid.Length", FGridLength);
    strings.WriteFloat(key + ".Grid.Angle", FGridAngle);
    WriteName(strings, key + ".Strategy.Type", cSaugerStrategyNames, FStrategyType);
    strings.WriteInteger(key + ".Strategy.CountX", FCountX);
    strings.WriteInteger(key + ".Strategy.CountY", FCountY);
    strings.WriteFloat(key + ".Strategy.Angle", FStrategyAngle);
    TPrjList::WriteTo(strings, key);
    strings.WriteInteger(key + ".Focused", FFocused);
}

void TSaugerList::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    FGridType = static_cast<TSaugerGrid>(
        NameIndex(cSaugerGridNames, strings.Value(key + ".Grid.Type"), csgNone));
    FGridLength = strings.ReadFloat(key + ".Grid.Length");
    FGridAngle = strings.ReadFloat(key + ".Grid.Angle");
    FStrategyType = NameIndex(cSaugerStrategyNames, strings.Value(key + ".Strategy.Type"),
                              cSaugerDefaultStrategy);
    FCountX = strings.ReadInteger(key + ".Strategy.CountX");
    FCountY = strings.ReadInteger(key + ".Strategy.CountY");
    FStrategyAngle = strings.ReadFloat(key + ".Strategy.Angle");
    TPrjList::ReadFrom(strings, key);
    FFocused = strings.ReadInteger(key + ".Focused");
    if (FFocused < -1 || FFocused >= Count()) FFocused = -1;
}

bool TSaugerList::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TSaugerList*>(&other);
    return o && FStrategyType == o->FStrategyType && FCountX == o->FCountX &&
           FCountY == o->FCountY && FStrategyAngle == o->FStrategyAngle &&
           FGridType == o->FGridType && FGridLength == o->FGridLength &&
           FGridAngle == o->FGridAngle && FFocused == o->FFocused && TPrjList::Equals(other);
}

void TSaugerList::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TSaugerList*>(&other);
    if (!o || o == this) return;
    TPrjList::AssignFrom(other);
    CupType = o->CupType;
    FStrategyType = o->FStrategyType;
    FCountX = o->FCountX;
    FCountY = o->FCountY;
    FStrategyAngle = o->FStrategyAngle;
    FGridType = o->FGridType;
    FGridLength = o->FGridLength;
    FGridAngle = o->FGridAngle;
    FFocused = o->FFocused;
    FEdgeDistance = o->FEdgeDistance;
    FSpacing = o->FSpacing;
}

void TSaugerList::ClearItem() {
    Clear();
    Resize(1);
    FStrategyType = cSaugerDefaultStrategy;
    FCountX = FCountY = 1;
    FStrategyAngle = 0.0;
    FGridType = csgNone;
    FGridLength = 0.005;
    FGridAngle = DefaultGridAngle();
    FFocused = -1;
    FEdgeDistance = 0.001;
    FSpacing = 0.001;
}
