#pragma once

#include "core/calc/basis.h"
#include "core/calc/vektor.h"
#include "core/quantities/prj_list.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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
    //! Force the cup transmits, N.
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

//! Grid that manually placed cups snap to.
enum TSaugerGrid : uint8_t { csgNone = 0, csgCartesian = 1, csgPolar = 2 };

//! Stored names of the grid types, by ordinal.
inline constexpr std::array<std::string_view, 3> cSaugerGridNames = {"none", "cartesian", "polar"};
//! Stored names of the arrangement strategies, by code.
inline constexpr std::array<std::string_view, 9> cSaugerStrategyNames = {"Manual",
                                                                         "One in centre",
                                                                         "At both ends",
                                                                         "Rectangular <corners>",
                                                                         "Rectangular <area>",
                                                                         "Circular <circumference>",
                                                                         "Circular <area>",
                                                                         "Linear <x>",
                                                                         "linear <y>"};
//! Strategy of a new arrangement and of an unknown stored name.
inline constexpr int cSaugerDefaultStrategy = 5;

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
};

//! The suction cup arrangement: the cups (TSauger elements), the strategy that lays them
//! out and the grid they snap to. Stored with the project under its key.
class TSaugerList : public TPrjList {
public:
    //! One cup, strategy 5, counts 1, grid none, grid 5 mm and 5°.
    TSaugerList();

    //! Data of the chosen cup type.
    TSaugerType CupType;

    //! Cup i; null outside 0..Count-1.
    TSauger* Sauger(int i) const { return static_cast<TSauger*>(Item(i)); }
    //! Frees surplus cups from the end; a new cup copies the last one (a default cup
    //! when there is none). A negative n counts as 0.
    void Resize(int n);

    int StrategyType() const { return FStrategyType; }
    void SetStrategyType(int value) { FStrategyType = value; }
    int CountX() const { return FCountX; }
    void SetCountX(int value) { FCountX = value; }
    int CountY() const { return FCountY; }
    void SetCountY(int value) { FCountY = value; }
    //! Start angle of the circular strategies, rad.
    double StrategyAngle() const { return FStrategyAngle; }
    void SetStrategyAngle(double value) { FStrategyAngle = value; }
    TSaugerGrid GridType() const { return FGridType; }
    void SetGridType(TSaugerGrid value) { FGridType = value; }
    //! Grid length, m.
    double GridLength() const { return FGridLength; }
    void SetGridLength(double value) { FGridLength = value; }
    //! Grid angle, rad.
    double GridAngle() const { return FGridAngle; }
    void SetGridAngle(double value) { FGridAngle = value; }
    //! Index of the focused cup; −1 for none.
    int Focused() const { return FFocused; }
    void SetFocused(int value) { FFocused = value; }
    //! Distance of the cups from the workpiece edge, m (not stored).
    double EdgeDistance() const { return FEdgeDistance; }
    void SetEdgeDistance(double value) { FEdgeDistance = value; }
    //! Distance between the cups, m (not stored).
    double Spacing() const { return FSpacing; }
    void SetSpacing(double value) { FSpacing = value; }

    //! Internal volume of all cups, m³.
    double TotalVolume() const { return Count() * CupType.Volume; }
    //! Mass of all cups, kg.
    double TotalMass() const { return Count() * CupType.Mass; }
    //! Moment of inertia of the cups about the Z axis, Σ mass per cup × (x² + y²), kg m².
    double MomentOfInertiaZ() const;

    //! The settings (grid, strategy), then key.Count and the cups, then key.Focused.
    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    //! An unknown strategy name reads as 5, an unknown grid name as none, a focused index
    //! that names no cup as −1.
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    //! Equal stored settings and equal cups.
    bool Equals(const TPrjObject& other) const override;
    //! Copies settings, cups and cup type.
    void AssignFrom(const TPrjObject& other) override;
    //! A new project's arrangement: the settings above with one default cup.
    void ClearItem() override;

private:
    int FStrategyType = cSaugerDefaultStrategy;
    int FCountX = 1;
    int FCountY = 1;
    double FStrategyAngle = 0.0;
    TSaugerGrid FGridType = csgNone;
    double FGridLength = 0.005;
    double FGridAngle;
    int FFocused = -1;
    double FEdgeDistance = 0.001;
    double FSpacing = 0.001;
};
