#include "core/calc/cup_geometry.h"

#include "core/calc/workpiece.h"

#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double& Coord(TVektor& v, int k) {
    return k == 0 ? v.X : (k == 1 ? v.Y : v.Z);
}

TVektor AxisVektor(int k, double sign) {
    TVektor v;
    Coord(v, k) = sign;
    return v;
}

// The two coordinates other than k, in ascending order.
void OtherAxes(int k, int& i, int& j) {
    i = k == 0 ? 1 : 0;
    j = k == 2 ? 1 : 2;
}

// A placed cup keeps its radial directions (set by a strategy or turned by the user) as
// long as it stays on a face of the same orientation.
void SetAxialDirection(TSauger& cup, const TVektor& axial) {
    if (!(cup.Axial() == axial)) cup.SetAxial(axial);
}

void PlaceOnFlatFace(TSauger& cup, TVektor p, int k, double half, const TCupGrid& grid) {
    const bool negative = Coord(p, k) <= 0.0;
    Coord(p, k) = negative ? -half : half;
    int i = 0;
    int j = 0;
    OtherAxes(k, i, j);
    SnapPlane(grid, Coord(p, i), Coord(p, j));
    cup.Pos = p;
    SetAxialDirection(cup, AxisVektor(k, negative ? -1.0 : 1.0));
    cup.Misplaced = false;
}

void PlaceOnMantle(TSauger& cup, TVektor p, int k, double radius, const TCupGrid& grid) {
    int i = 0;
    int j = 0;
    OtherAxes(k, i, j);
    double a = Coord(p, i);
    double b = Coord(p, j);
    const double rho = std::sqrt(a * a + b * b);
    if (rho > 0.0) {
        a *= radius / rho;
        b *= radius / rho;
    } else if (k == 2) { // on the axis: the mantle point towards +X, else towards +Z
        a = radius;
    } else {
        b = radius;
    }
    const double angle = SnapPolar(a, b, grid.Length, grid.Angle);
    Coord(p, i) = a;
    Coord(p, j) = b;
    Coord(p, k) = SnapToMultiple(Coord(p, k), grid.Length);
    cup.Pos = p;
    TVektor axial;
    Coord(axial, i) = std::cos(angle);
    Coord(axial, j) = std::sin(angle);
    SetAxialDirection(cup, axial);
    cup.Misplaced = false;
}

void PlaceOnSphere(TSauger& cup, const TVektor& p, double radius, const TCupGrid& grid) {
    const double azimuth = SnapToMultiple(TVektor::PlaneAngle(p.X, p.Y), grid.Angle);
    const double polar = SnapToMultiple(std::atan2(p.LengthXY(), p.Z), grid.Angle);
    const TVektor axial(std::sin(polar) * std::cos(azimuth), std::sin(polar) * std::sin(azimuth),
                        std::cos(polar));
    cup.Pos = axial;
    cup.Pos.Scale(radius);
    SetAxialDirection(cup, axial);
    cup.Misplaced = false;
}


bool IsPipe(TWorkpieceShape shape) {
    return shape == cwsPipeX || shape == cwsPipeY || shape == cwsPipeZ;
}

} // namespace

TVektor TCupWorkpiece::Extents() const {
    TVektor e = WorkpieceHalfExtents(Shape, Size);
    e.Scale(2.0);
    return e;
}

double SnapToMultiple(double x, double step) {
    if (!(step > 0.0)) return x;
    return RoundHalfEven(x / step) * step;
}

double SnapPolar(double& a, double& b, double length, double angle) {
    const double r = SnapToMultiple(std::sqrt(a * a + b * b), length);
    const double phi = SnapToMultiple(TVektor::PlaneAngle(a, b), angle);
    a = r * std::cos(phi);
    b = r * std::sin(phi);
    return phi;
}

void SnapPlane(const TCupGrid& grid, double& a, double& b) {
    switch (grid.Type) {
    case csgCartesian:
        a = SnapToMultiple(a, grid.Length);
        b = SnapToMultiple(b, grid.Length);
        break;
    case csgPolar:
        SnapPolar(a, b, grid.Length, grid.Angle);
        break;
    default:
        break;
    }
}

bool PlaceCup(TSauger& cup, const TVektor& v, const TCupWorkpiece& workpiece, const TCupGrid& grid,
              double rl, double rs) {
    cup.Misplaced = true;
    TVektor p = cup.NominalPos;
    p.Add(v);
    cup.Pos = p;
    const TWorkpieceSize& s = workpiece.Size;
    if (workpiece.Shape == cwsBar) {
        const double hx = s.X / 2.0;
        const double hy = s.Y / 2.0;
        const double hz = s.Z / 2.0;
        const double ax = std::fabs(p.X);
        const double ay = std::fabs(p.Y);
        const double az = std::fabs(p.Z);
        // Every test looks at the unplaced position; a later one overrides an earlier one.
        int face = -1;
        if (ay < hy - rs && az < hz - rs) face = 0;
        if (ax < hx - rs && az < hz - rs) face = 1;
        if (ax < hx - rs && ay < hy - rs) face = 2;
        if (face < 0) return false;
        PlaceOnFlatFace(cup, p, face, face == 0 ? hx : (face == 1 ? hy : hz), grid);
        return true;
    }
    if (workpiece.Shape == cwsGlobe) {
        PlaceOnSphere(cup, p, s.D / 2.0, grid);
        return true;
    }
    const int k = WorkpieceRoundAxis(workpiece.Shape);
    if (k < 0) return false; // no geometry to place the cup on
    const double half = (k == 0 ? s.X : (k == 1 ? s.Y : s.Z)) / 2.0;
    const double radius = s.D / 2.0;
    if (std::fabs(Coord(p, k)) < half - rl) {
        PlaceOnMantle(cup, p, k, radius, grid);
        return true;
    }
    int i = 0;
    int j = 0;
    OtherAxes(k, i, j);
    const double rho = std::hypot(Coord(p, i), Coord(p, j));
    if (rho < radius - rl && (!IsPipe(workpiece.Shape) || rho > s.Di / 2.0 + rl)) {
        PlaceOnFlatFace(cup, p, k, half, grid);
        return true;
    }
    return false;
}

void RotateAboutUnitAxis(TVektor& v, const TVektor& k, double phi) {
    const double c = std::cos(phi);
    const double s = std::sin(phi);
    TVektor kv;
    kv.CrossProduct(k, v);
    const double along = k.DotProduct(v) * (1.0 - c);
    TVektor r = v;
    r.Scale(c);
    r.AddScaled(s, kv);
    r.AddScaled(along, k);
    v = r;
}

// ---- collision grid ---------------------------------------------------------------------

namespace {

constexpr int cCellBits = 21;
constexpr uint64_t cCellMask = (uint64_t{1} << cCellBits) - 1;
// Cells per axis stay below 2^20, so that a neighbour's coordinate still fits its field.
constexpr double cMaxCellsPerAxis = 0x1p19;
constexpr uint64_t cEmptyKey = ~uint64_t{0};

uint64_t CellKey(uint64_t x, uint64_t y, uint64_t z) {
    return x | (y << cCellBits) | (z << (2 * cCellBits));
}

uint64_t HashKey(uint64_t key) {
    return key * 0x9E3779B97F4A7C15ull;
}

} // namespace

const TCupCollisionGrid::TSlot* TCupCollisionGrid::Find(uint64_t key) const {
    const size_t mask = FSlots.size() - 1;
    for (size_t s = static_cast<size_t>(HashKey(key) >> FShift);; s = (s + 1) & mask) {
        const TSlot& slot = FSlots[s];
        if (slot.Key == key) return &slot;
        if (slot.Key == cEmptyKey) return nullptr;
    }
}

void TCupCollisionGrid::Mark(std::span<TSauger* const> cups, double clearance) {
    if (!(clearance >= 0.0) || cups.size() < 2) return;
    TVektor lo(std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
               std::numeric_limits<double>::max());
    TVektor hi(-lo.X, -lo.Y, -lo.Z);
    size_t finite = 0;
    for (const TSauger* cup : cups) {
        const TVektor& p = cup->Pos;
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) continue;
        lo.MinWith(p);
        hi.MaxWith(p);
        ++finite;
    }
    if (finite < 2) return;
    const double extent = std::max({hi.X - lo.X, hi.Y - lo.Y, hi.Z - lo.Z});
    // A cell at least one clearance wide holds every partner of a cup in the 27 cells
    // around it; the lower bound keeps the cell count per axis in range.
    double cell = std::max(clearance, extent / cMaxCellsPerAxis);
    if (!(cell > 0.0) || !std::isfinite(cell)) cell = 1.0;
    const double inv = 1.0 / cell;

    FEntries.clear();
    for (size_t i = 0; i < cups.size(); ++i) {
        const TVektor& p = cups[i]->Pos;
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z)) continue;
        const auto cx = static_cast<uint64_t>((p.X - lo.X) * inv);
        const auto cy = static_cast<uint64_t>((p.Y - lo.Y) * inv);
        const auto cz = static_cast<uint64_t>((p.Z - lo.Z) * inv);
        FEntries.push_back({CellKey(cx, cy, cz), static_cast<uint32_t>(i)});
    }
    std::sort(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) {
        return a.Key < b.Key || (a.Key == b.Key && a.Cup < b.Cup);
    });

    size_t cells = 0;
    for (size_t e = 0; e < FEntries.size(); ++e)
        if (e == 0 || FEntries[e].Key != FEntries[e - 1].Key) ++cells;
    int bits = 1;
    while ((size_t{1} << bits) < 2 * cells) ++bits;
    FShift = 64 - bits;
    FSlots.assign(size_t{1} << bits, TSlot{cEmptyKey, 0, 0});
    const size_t mask = FSlots.size() - 1;
    for (size_t e = 0; e < FEntries.size();) {
        size_t end = e + 1;
        while (end < FEntries.size() && FEntries[end].Key == FEntries[e].Key) ++end;
        size_t s = static_cast<size_t>(HashKey(FEntries[e].Key) >> FShift);
        while (FSlots[s].Key != cEmptyKey) s = (s + 1) & mask;
        FSlots[s] = {FEntries[e].Key, static_cast<uint32_t>(e), static_cast<uint32_t>(end)};
        e = end;
    }

    for (const TEntry& entry : FEntries) {
        TSauger& a = *cups[entry.Cup];
        const uint64_t x = entry.Key & cCellMask;
        const uint64_t y = (entry.Key >> cCellBits) & cCellMask;
        const uint64_t z = entry.Key >> (2 * cCellBits);
        for (int dz = -1; dz <= 1; ++dz) {
            if (z == 0 && dz < 0) continue;
            for (int dy = -1; dy <= 1; ++dy) {
                if (y == 0 && dy < 0) continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    if (x == 0 && dx < 0) continue;
                    const TSlot* slot = Find(CellKey(x + dx, y + dy, z + dz));
                    if (!slot) continue;
                    for (uint32_t f = slot->Begin; f < slot->End; ++f) {
                        // Each pair once: from the cup with the lower index.
                        if (FEntries[f].Cup <= entry.Cup) continue;
                        TSauger& b = *cups[FEntries[f].Cup];
                        if (a.Axial().DotProduct(b.Axial()) > 0.1 &&
                            a.Pos.Distance(b.Pos) <= clearance) {
                            a.Misplaced = true;
                            b.Misplaced = true;
                        }
                    }
                }
            }
        }
    }
}
