#pragma once

#include "core/algebra/vektor.h"
#include "core/calc/sauger.h"
#include "core/calc/workpiece.h"
#include "core/quantities/my_project_types.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Where suction cups can sit on the workpiece: placing a cup onto the nearest face, the
// grids that manually placed cups snap to, and the check for cups that collide.

//! Grid that manually placed cups snap to.
enum TSaugerGrid : uint8_t { csgNone = 0, csgCartesian = 1, csgPolar = 2 };

//! Stored names of the grid types, by ordinal.
inline constexpr std::array<std::string_view, 3> cSaugerGridNames = {"none", "cartesian", "polar"};

//! The grid settings of the arrangement.
struct TCupGrid {
    TSaugerGrid Type = csgNone;
    //! Grid length, m; 0 or less leaves lengths as they are.
    double Length = 0.005;
    //! Grid angle, rad; 0 or less leaves angles as they are.
    double Angle = 0.0;
};

//! The workpiece as the arrangement sees it: shape and full dimensions (m).
struct TCupWorkpiece {
    TWorkpieceShape Shape = cwsBar;
    TWorkpieceSize Size;

    //! Full extents WX, WY, WZ: the outer diameter across a round shape's axis, else the
    //! length along the axis.
    TVektor Extents() const;
    bool operator==(const TCupWorkpiece& o) const {
        return Shape == o.Shape && Size.X == o.Size.X && Size.Y == o.Size.Y && Size.Z == o.Size.Z &&
               Size.D == o.Size.D && Size.Di == o.Size.Di;
    }
};

//! x rounded to the nearest multiple of step (an exact half to the even multiple); a step
//! of 0 or less leaves x.
double SnapToMultiple(double x, double step);
//! Snaps the plane point (a, b) as on a polar grid: its radius to a multiple of `length`,
//! its angle (PlaneAngle) to a multiple of `angle`. Returns the snapped angle, which gives
//! the direction of the point even when its radius rounds to 0.
double SnapPolar(double& a, double& b, double length, double angle);
//! Snaps two in-plane coordinates by the grid type; "none" leaves them.
void SnapPlane(const TCupGrid& grid, double& a, double& b);

//! Puts the cup at its nominal position + v and then onto the workpiece surface: onto a
//! flat face (with the grid), a cylinder mantle or the sphere. Sets Pos, the axial
//! direction (the radial directions are rebuilt only when the axial direction changes)
//! and Misplaced; returns false when no face takes the cup (it then stays at nominal + v).
//! rl and rs are the long and short cup radii, m.
bool PlaceCup(TSauger& cup, const TVektor& v, const TCupWorkpiece& workpiece, const TCupGrid& grid,
              double rl, double rs);

//! Rotates v about the unit vector k by phi (right-handed), exactly for any axis.
void RotateAboutUnitAxis(TVektor& v, const TVektor& k, double phi);

//! Finds the cups that collide: two cups whose axial directions have a scalar product
//! above 0.1 (roughly the same side) and whose positions lie at most the clearance
//! diameter apart. Uses a uniform grid of cells at least one clearance wide, so a cup is
//! compared only with the cups of its own and the 26 neighbouring cells. Keeps its
//! buffers between calls.
class TCupCollisionGrid {
public:
    //! Marks both cups of every colliding pair misplaced (never clears the flag). A
    //! clearance below 0 (or not a number) finds nothing; cups at positions that are not
    //! finite collide with nothing.
    void Mark(std::span<TSauger* const> cups, double clearance);

private:
    struct TEntry {
        uint64_t Key;
        uint32_t Cup;
    };
    struct TSlot {
        uint64_t Key;
        uint32_t Begin;
        uint32_t End;
    };
    const TSlot* Find(uint64_t key) const;

    std::vector<TEntry> FEntries;
    std::vector<TSlot> FSlots;
    int FShift = 64;
};
