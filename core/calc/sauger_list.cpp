#include "core/calc/sauger_list.h"

#include "core/calc/forces.h"
#include "core/data/custom_table.h"
#include "core/quantities/prj_strings.h"
#include "core/quantities/units.h"

#include <algorithm>
#include <cmath>

namespace {

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

int ClampCount(int n) {
    return std::clamp(n, cSaugerCountMin, cSaugerCountMax);
}

// The first maxChars characters of a UTF-8 text.
std::string CutToChars(std::string s, size_t maxChars) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (n == maxChars) {
            s.resize(i);
            break;
        }
        ++n;
    }
    return s;
}

// Number in a named column; `fallback` when the table has no such column.
double Number(const TCustomTable& table, int row, std::string_view name, double fallback) {
    const int col = table.ColByName(name);
    return col < 0 ? fallback : table.AsFloat(row, col);
}

std::string Text(const TCustomTable& table, int row, std::string_view name) {
    const int col = table.ColByName(name);
    return col < 0 ? std::string() : table.AsText(row, col);
}

} // namespace

TSaugerType TSaugerType::FromRow(const TCustomTable& table, int row) {
    TSaugerType t;
    constexpr double mm = 0.001;
    t.OrderCode = CutToChars(Text(table, row, "OrderCode"), 30);
    t.Fs07 = Number(table, row, "Fs07", t.Fs07);
    const double dLong = Number(table, row, "DiameterLong", 2 * t.RadiusLong / mm);
    t.RadiusLong = dLong / 2 * mm;
    t.RadiusShort = Number(table, row, "DiameterShort", 2 * t.RadiusShort / mm) / 2 * mm;
    t.Height = std::min(dLong, Number(table, row, "Length", t.Height / mm)) * mm;
    const int shape = table.ColByName("FormKLW");
    if (shape >= 0) t.ShapeCode = table.AsRoundInt(row, shape);
    t.HolderDiameter = Number(table, row, "HolderDiameter", t.HolderDiameter / mm) * mm;
    t.ClearanceDiameter = std::max(
        Number(table, row, "DmaxSuctionCup", t.ClearanceDiameter / mm) * mm, t.HolderDiameter);
    t.Volume = Number(table, row, "Volume", t.Volume / (mm * mm * mm)) * (mm * mm * mm);
    t.Mass = Number(table, row, "Mass_kg", t.Mass);
    t.ConnectorName = CutToChars(Text(table, row, "ConnectorName"), 10);
    return t;
}

TSaugerList::TSaugerList() : TPrjList(PrjClass<TSauger>) {
    FGrid.Angle = DefaultGridAngle();
    Resize(1);
    CalcMaxDiameter();
}

void TSaugerList::Resize(int n) {
    if (n < 0) n = 0;
    if (n < Count()) FItems.resize(static_cast<size_t>(n));
    while (Count() < n) {
        std::unique_ptr<TPrjObject> cup = FItemClass();
        if (Count() > 0) cup->AssignFrom(*Item(Count() - 1));
        FItems.push_back(std::move(cup));
    }
    if (FFocused >= Count()) FFocused = -1;
}

void TSaugerList::StrategyChanged() {
    NormalizeCounts();
    CalcMaxDiameter();
}

void TSaugerList::SetStrategyType(int value) {
    if (value == FStrategyType) return;
    FStrategyType = value;
    StrategyChanged();
}

void TSaugerList::SetCountX(int value) {
    value = ClampCount(value);
    if (value == FCountX) return;
    FCountX = value;
    StrategyChanged();
}

void TSaugerList::SetCountY(int value) {
    value = ClampCount(value);
    if (value == FCountY) return;
    FCountY = value;
    StrategyChanged();
}

void TSaugerList::SetStrategyAngle(double value) {
    if (value == FStrategyAngle) return;
    FStrategyAngle = value;
    StrategyChanged();
}

void TSaugerList::SetEdgeDistance(double value) {
    if (value == FEdgeDistance) return;
    FEdgeDistance = value;
    StrategyChanged();
}

void TSaugerList::SetSpacing(double value) {
    if (value == FSpacing) return;
    FSpacing = value;
    StrategyChanged();
}

void TSaugerList::SetWorkpiece(const TCupWorkpiece& workpiece) {
    if (workpiece == FWorkpiece) return;
    FWorkpiece = workpiece;
    CalcMaxDiameter();
}

void TSaugerList::NormalizeCounts() {
    NormalizeStrategyCounts(FStrategyType, FCountX, FCountY);
    // Counts read from a file are not clamped; the list never grows beyond what a list
    // may read.
    const long long n = static_cast<long long>(FCountX) * FCountY;
    Resize(static_cast<int>(std::clamp<long long>(n, 0, cPrjMaxListCount)));
}

TCupRoom TSaugerList::Room(bool withEdge) const {
    const TVektor w = FWorkpiece.Extents();
    const double e = withEdge ? FEdgeDistance : 0.0;
    return TCupRoom{w.X - 2.0 * e, w.Y - 2.0 * e};
}

void TSaugerList::CalcMaxDiameter() {
    FMaxDiameter =
        AdmittedCupDiameter(FStrategyType, Room(true), FSpacing, Count(), FCountX, FCountY);
}

const std::vector<TSauger*>& TSaugerList::Cups() {
    FCupPtrs.clear();
    for (const auto& item : FItems) FCupPtrs.push_back(static_cast<TSauger*>(item.get()));
    return FCupPtrs;
}

bool TSaugerList::Layout() {
    TCupLayoutInput in;
    in.Strategy = FStrategyType;
    in.Extents = FWorkpiece.Extents();
    in.RadiusLong = CupType.RadiusLong;
    in.RadiusShort = CupType.RadiusShort;
    in.Edge = FEdgeDistance;
    in.Angle = FStrategyAngle;
    in.CountX = FCountX;
    in.CountY = FCountY;
    in.Count = Count();
    if (LayoutCups(in, FPlacements)) {
        // Counts read from a file may not match the list; lay out the cups there are.
        const int n = std::min(Count(), static_cast<int>(FPlacements.size()));
        for (int i = 0; i < n; ++i) {
            TSauger& cup = *Sauger(i);
            cup.NominalPos = FPlacements[static_cast<size_t>(i)].Pos;
            cup.SetAxial(VektorPlusZ);
            cup.SetRadial1(FPlacements[static_cast<size_t>(i)].Radial1);
        }
    }
    SelectAll();
    MoveSelected(VektorZero);
    DeselectAll();
    return CalcForces();
}

void TSaugerList::MoveSelected(const TVektor& v) {
    for (TSauger* cup : Cups()) {
        cup->Misplaced = false;
        if (cup->Selected)
            PlaceCup(*cup, v, FWorkpiece, FGrid, CupType.RadiusLong, CupType.RadiusShort);
    }
    CheckCollisions();
}

void TSaugerList::CheckCollisions() {
    FCollisions.Mark(Cups(), CupType.ClearanceDiameter);
}

bool TSaugerList::AnyMisplaced() const {
    for (int i = 0; i < Count(); ++i)
        if (Sauger(i)->Misplaced) return true;
    return false;
}

bool TSaugerList::CalcForces() {
    const std::vector<TSauger*>& cups = Cups();
    FPositions.clear();
    for (const TSauger* cup : cups) FPositions.push_back(cup->Pos);
    const std::array<double, 3> k = Stiffness();
    BuildStiffnessMatrix(FPositions, std::min({k[0], k[1], k[2]}) / 1000.0, FStiffnessMatrix);
    const TVektor load = LoadCase.Load();
    const TVektor moment = LoadCase.LoadMoment();
    // Computing a load that is not finite would already have trapped.
    if (!std::isfinite(load.X) || !std::isfinite(load.Y) || !std::isfinite(load.Z) ||
        !std::isfinite(moment.X) || !std::isfinite(moment.Y) || !std::isfinite(moment.Z)) {
        FSolvable = false;
        return false;
    }
    // The cups carry the load and, for an off-centre mass, its moment about the origin.
    const std::array<long double, 6> b = {load.X, load.Y, load.Z, moment.X, moment.Y, moment.Z};
    std::array<long double, 6> u{};
    FSolvable = SolveCholesky(FStiffnessMatrix, b, u);
    if (!FSolvable) return false;
    const TVektor delta(static_cast<double>(u[0]), static_cast<double>(u[1]),
                        static_cast<double>(u[2]));
    const TVektor omega(static_cast<double>(u[3]), static_cast<double>(u[4]),
                        static_cast<double>(u[5]));
    const double fs = HoldingForce();
    FForces.resize(cups.size());
    for (size_t i = 0; i < cups.size(); ++i)
        if (!EvaluateCupForce(delta, omega, cups[i]->Pos, cups[i]->Basis, fs, LoadCase.Friction,
                              FForces[i])) {
            FSolvable = false;
            return false;
        }
    for (size_t i = 0; i < cups.size(); ++i) {
        TSauger& cup = *cups[i];
        const TCupForce& f = FForces[i];
        cup.Force = f.Force;
        cup.Fn = f.Fn;
        cup.Fq = f.Fq;
        cup.NormalRatio = f.NormalRatio;
        cup.TransverseRatio = f.TransverseRatio;
    }
    return true;
}

void TSaugerList::Select(int i, bool toggle) {
    TSauger* cup = Sauger(i);
    if (!cup) return;
    cup->Selected = toggle ? !cup->Selected : true;
}

void TSaugerList::SelectAll() {
    for (int i = 0; i < Count(); ++i) Sauger(i)->Selected = true;
}

void TSaugerList::DeselectAll() {
    for (int i = 0; i < Count(); ++i) Sauger(i)->Selected = false;
}

int TSaugerList::FirstSelected() const {
    for (int i = 0; i < Count(); ++i)
        if (Sauger(i)->Selected) return i;
    return -1;
}

TCupSuitability TSaugerList::Suitability(double maxDiameter, double mass) const {
    TCupSuitability s;
    s.Strategy = FStrategyType;
    s.Count = Count();
    s.CountX = FCountX;
    s.CountY = FCountY;
    s.Room = Room(FStrategyType != cssManual);
    s.MaxDiameter = maxDiameter;
    s.Weight = mass * cGravity;
    return s;
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
    WriteName(strings, key + ".Grid.Type", cSaugerGridNames, FGrid.Type);
    strings.WriteFloat(key + ".Grid.Length", FGrid.Length);
    strings.WriteFloat(key + ".Grid.Angle", FGrid.Angle);
    WriteName(strings, key + ".Strategy.Type", cSaugerStrategyNames, FStrategyType);
    strings.WriteInteger(key + ".Strategy.CountX", FCountX);
    strings.WriteInteger(key + ".Strategy.CountY", FCountY);
    strings.WriteFloat(key + ".Strategy.Angle", FStrategyAngle);
    TPrjList::WriteTo(strings, key);
    strings.WriteInteger(key + ".Focused", FFocused);
}

void TSaugerList::ReadFrom(const TPrjStrings& strings, const std::string& key) {
    FGrid.Type = static_cast<TSaugerGrid>(
        NameIndex(cSaugerGridNames, strings.Value(key + ".Grid.Type"), csgNone));
    FGrid.Length = strings.ReadFloat(key + ".Grid.Length");
    FGrid.Angle = strings.ReadFloat(key + ".Grid.Angle");
    FStrategyType = NameIndex(cSaugerStrategyNames, strings.Value(key + ".Strategy.Type"),
                              cSaugerDefaultStrategy);
    FCountX = strings.ReadInteger(key + ".Strategy.CountX");
    FCountY = strings.ReadInteger(key + ".Strategy.CountY");
    FStrategyAngle = strings.ReadFloat(key + ".Strategy.Angle");
    TPrjList::ReadFrom(strings, key);
    FFocused = strings.ReadInteger(key + ".Focused");
    if (FFocused < -1 || FFocused >= Count()) FFocused = -1;
    CalcMaxDiameter();
}

bool TSaugerList::Equals(const TPrjObject& other) const {
    const auto* o = dynamic_cast<const TSaugerList*>(&other);
    return o && FStrategyType == o->FStrategyType && FCountX == o->FCountX &&
           FCountY == o->FCountY && FStrategyAngle == o->FStrategyAngle &&
           FGrid.Type == o->FGrid.Type && FGrid.Length == o->FGrid.Length &&
           FGrid.Angle == o->FGrid.Angle && FFocused == o->FFocused && TPrjList::Equals(other);
}

void TSaugerList::AssignFrom(const TPrjObject& other) {
    const auto* o = dynamic_cast<const TSaugerList*>(&other);
    if (!o || o == this) return;
    TPrjList::AssignFrom(other);
    CupType = o->CupType;
    LoadCase = o->LoadCase;
    Anchor = o->Anchor;
    FStrategyType = o->FStrategyType;
    FCountX = o->FCountX;
    FCountY = o->FCountY;
    FStrategyAngle = o->FStrategyAngle;
    FGrid = o->FGrid;
    FFocused = o->FFocused;
    FEdgeDistance = o->FEdgeDistance;
    FSpacing = o->FSpacing;
    FWorkpiece = o->FWorkpiece;
    FMaxDiameter = o->FMaxDiameter;
    FSolvable = o->FSolvable;
}

void TSaugerList::ClearItem() {
    Clear();
    Resize(1);
    FStrategyType = cSaugerDefaultStrategy;
    FCountX = FCountY = 1;
    FStrategyAngle = 0.0;
    FGrid = TCupGrid{csgNone, 0.005, DefaultGridAngle()};
    FFocused = -1;
    FEdgeDistance = 0.001;
    FSpacing = 0.001;
    FSolvable = true;
    Anchor.Clear();
    CalcMaxDiameter();
}
