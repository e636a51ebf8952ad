#pragma once

#include "core/algebra/matrix.h"
#include "core/algebra/vektor.h"
#include "core/calc/cup_geometry.h"
#include "core/calc/cup_layout.h"
#include "core/calc/cup_loads.h"
#include "core/calc/sauger.h"
#include "core/quantities/prj_list.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TCustomTable;

//! Data of the chosen suction cup type, shared by all cups of the arrangement.
struct TSaugerType {
    //! Order code, at most 30 characters.
    std::string OrderCode;
    //! Theoretical holding force at 0.7 bar vacuum, N.
    double Fs07 = 0.001;
    double RadiusLong = 0.005;
    double RadiusShort = 0.005;
    //! Cup height, m.
    double Height = 0.01;
    int ShapeCode = 1;
    double HolderDiameter = 0.005;
    //! Diameter kept free around a cup, m.
    double ClearanceDiameter = 0.01;
    //! Internal volume per cup, m³.
    double Volume = 0.001;
    //! Mass per cup, kg.
    double Mass = 0.05;
    //! Connector name, at most 10 characters.
    std::string ConnectorName;

    //! Effective area Fs07 / 70000 Pa, m².
    double EffectiveArea() const { return Fs07 / 70000.0; }
    bool Oval() const { return RadiusLong != RadiusShort; }

    //! The cup data of a row of the suction cup table (millimetres and cubic millimetres
    //! there): "OrderCode", "Fs07", "DiameterLong", "DiameterShort", "Length", "FormKLW",
    //! "HolderDiameter", "DmaxSuctionCup", "Volume", "Mass_kg", "ConnectorName". The
    //! height is the smaller of the long diameter and the length, the clearance diameter
    //! the larger of "DmaxSuctionCup" and the holder diameter.
    static TSaugerType FromRow(const TCustomTable& table, int row);
};

//! The suction cup arrangement: the cups (TSauger elements), the strategy that lays them
//! out, the grid they snap to, and the loads they carry. Stored with the project under
//! its key.
//!
//! The strategy setters (strategy, counts, start angle, edge distance, spacing) store a
//! value only when it differs and then normalise the counts (resizing the list) and
//! recompute the admitted cup diameter. Layout, moves and load calculations run when
//! asked for.
class TSaugerList : public TPrjList {
public:
    //! One cup, strategy 5, counts 1, grid none, grid 5 mm and 5°.
    TSaugerList();

    //! Data of the chosen cup type.
    TSaugerType CupType;
    //! What the cups carry; the load calculation reads it.
    TCupLoadCase LoadCase;
    //! Anchor of a drag with the mouse, in workpiece coordinates.
    TVektor Anchor;

    //! Cup i; null outside 0..Count-1.
    TSauger* Sauger(int i) const { return static_cast<TSauger*>(Item(i)); }
    //! Frees surplus cups from the end; a new cup copies the last one (a default cup
    //! when there is none). A negative n counts as 0. A focused cup that goes is
    //! unfocused.
    void Resize(int n);

    int StrategyType() const { return FStrategyType; }
    void SetStrategyType(int value);
    int CountX() const { return FCountX; }
    //! Count 1; kept within 1 to 30.
    void SetCountX(int value);
    int CountY() const { return FCountY; }
    //! Count 2; kept within 1 to 30.
    void SetCountY(int value);
    //! Start angle of the circular strategies, rad.
    double StrategyAngle() const { return FStrategyAngle; }
    void SetStrategyAngle(double value);
    //! Distance of the cups from the workpiece edge, m (not stored).
    double EdgeDistance() const { return FEdgeDistance; }
    void SetEdgeDistance(double value);
    //! Distance between the cups, m (not stored).
    double Spacing() const { return FSpacing; }
    void SetSpacing(double value);

    TSaugerGrid GridType() const { return FGrid.Type; }
    void SetGridType(TSaugerGrid value) { FGrid.Type = value; }
    //! Grid length, m.
    double GridLength() const { return FGrid.Length; }
    void SetGridLength(double value) { FGrid.Length = value; }
    //! Grid angle, rad.
    double GridAngle() const { return FGrid.Angle; }
    void SetGridAngle(double value) { FGrid.Angle = value; }
    const TCupGrid& Grid() const { return FGrid; }
    //! Index of the focused cup; −1 for none.
    int Focused() const { return FFocused; }
    void SetFocused(int value) { FFocused = value; }

    //! The workpiece the cups sit on.
    const TCupWorkpiece& Workpiece() const { return FWorkpiece; }
    //! Takes a changed workpiece and recomputes the admitted diameter; the cups stay
    //! where they are until the next layout.
    void SetWorkpiece(const TCupWorkpiece& workpiece);

    //! Stiffness of every cup along radial 1, radial 2 and the axial direction.
    std::array<double, 3> Stiffness() const { return {1.0, 1.0, 1.0}; }

    //! Sets the counts the strategy fixes and resizes the list to count 1 × count 2.
    void NormalizeCounts();
    //! Recomputes the largest cup diameter the strategy admits.
    void CalcMaxDiameter();
    //! Largest cup diameter the strategy admits, m (1 m for manual positioning).
    double MaxDiameter() const { return FMaxDiameter; }
    //! h = WX − 2e and r = WY − 2e, the edge distance subtracted only when asked.
    TCupRoom Room(bool withEdge) const;

    //! Lays the cups out by the strategy (manual positioning keeps the nominal
    //! positions), snaps them all onto the surface, checks for collisions, deselects all
    //! and recomputes the loads. Returns the solvable flag.
    bool Layout();
    //! Puts every selected cup at its nominal position + v and onto the surface; every
    //! other cup loses its misplaced flag. Then checks for collisions.
    void MoveSelected(const TVektor& v);
    //! Marks misplaced both cups of every colliding pair.
    void CheckCollisions();
    //! True when any cup is misplaced.
    bool AnyMisplaced() const;

    //! Shares the load of LoadCase among the cups. When the system cannot be solved the
    //! cups keep their forces and the solvable flag turns false. Returns the flag.
    bool CalcForces();
    //! Outcome of the last load calculation.
    bool Solvable() const { return FSolvable; }
    //! Holding force of one cup at the working vacuum, −(effective area) × vacuum, N.
    double HoldingForce() const { return -CupType.EffectiveArea() * LoadCase.Vacuum; }

    //! Selects cup i, or toggles its selection; ignored outside the list.
    void Select(int i, bool toggle);
    void SelectAll();
    void DeselectAll();
    //! Lowest index of a selected cup; −1 when none is selected.
    int FirstSelected() const;

    //! The inputs of the suitability of a cup row: this arrangement with the given largest
    //! cup diameter (m) and workpiece mass (kg).
    TCupSuitability Suitability(double maxDiameter, double mass) const;

    //! Internal volume of all cups, m³.
    double TotalVolume() const { return Count() * CupType.Volume; }
    //! Mass of all cups, kg.
    double TotalMass() const { return Count() * CupType.Mass; }
    //! Moment of inertia of the cups about the Z axis, Σ mass per cup × (x² + y²), kg m².
    double MomentOfInertiaZ() const;

    //! The settings (grid, strategy), then key.Count and the cups, then key.Focused.
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! An unknown strategy name reads as 5, an unknown grid name as none, a focused index
    //! that names no cup as −1. The counts are taken as they stand.
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Equal stored settings and equal cups.
    bool Equals(const TPrjObject& other) const override;
    //! Copies settings, cups, cup type, workpiece and load case.
    void AssignFrom(const TPrjObject& other) override;
    //! A new project's arrangement: the settings above with one default cup.
    void ClearItem() override;

private:
    void StrategyChanged();
    const std::vector<TSauger*>& Cups();

    int FStrategyType = cSaugerDefaultStrategy;
    int FCountX = 1;
    int FCountY = 1;
    double FStrategyAngle = 0.0;
    TCupGrid FGrid;
    int FFocused = -1;
    double FEdgeDistance = 0.001;
    double FSpacing = 0.001;
    TCupWorkpiece FWorkpiece;
    double FMaxDiameter = cSaugerManualDiameter;
    bool FSolvable = true;

    // Buffers of the calculations, kept to spare allocations on every drag step.
    std::vector<TSauger*> FCupPtrs;
    std::vector<TVektor> FPositions;
    std::vector<TCupForce> FForces;
    std::vector<TCupPlacement> FPlacements;
    TCupCollisionGrid FCollisions;
    TMatrix FStiffnessMatrix{6, 6};
};
