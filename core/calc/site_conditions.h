#pragma once

#include "core/calc/standard_pressure.h"

#include "core/quantities/prj_object.h"

#include <array>
#include <cstdint>
#include <string_view>

// Where the gripper works: the ambient pressure of the site and the leak of a porous or
// leaking workpiece. The generators' curves are measured at standard pressure; an ejector
// keeps its vacuum as a fraction of ambient, and a leak is an orifice from ambient into the
// evacuated volume.

//! Highest site altitude the model takes, m.
inline constexpr double cMaxSiteAltitude = 5000.0;
//! Discharge coefficient of a leak orifice.
inline constexpr double cLeakDischargeCoefficient = 0.62;
//! Pressure ratio (downstream / upstream) below which an orifice is choked.
inline constexpr double cCriticalPressureRatio = 0.528;
//! Air: ratio of specific heats, gas constant (J/(kg K)), temperature of the leaking air (K)
//! and density at standard conditions (kg/m³, 20 °C and 1.01325 bar).
inline constexpr double cAirKappa = 1.4;
inline constexpr double cAirGasConstant = 287.1;
inline constexpr double cAirTemperature = 293.15;
inline constexpr double cAirStandardDensity = 1.204;

//! Ambient pressure (Pa) at `altitude` (m) by the standard atmosphere,
//! p = 101325 Pa · (1 − 2.25577e-5 · h/m)^5.25588.
double StandardAtmospherePressure(double altitude);
//! Altitude (m) whose standard-atmosphere pressure is `pressure` (Pa); the inverse of
//! StandardAtmospherePressure.
double StandardAtmosphereAltitude(double pressure);

//! How the leak of the workpiece is given.
enum TLeakKind : uint8_t {
    clkNone,     //!< a tight workpiece
    clkOrifice,  //!< an equivalent orifice diameter
    clkMeasured, //!< a leakage flow measured at a stated vacuum
};
//! Names of the leak kinds as the project file holds them.
inline constexpr std::array<std::string_view, 3> cLeakKindNames = {"none", "orifice", "measured"};

//! The leak of a porous or leaking workpiece.
struct TLeak {
    TLeakKind Kind = clkNone;
    //! Equivalent orifice diameter, m (clkOrifice).
    double Diameter = 0.0;
    //! Measured leakage flow, standard m³/s (clkMeasured).
    double Flow = 0.0;
    //! Gauge vacuum the flow was measured at, Pa, below 0 (clkMeasured).
    double Vacuum = 0.0;

    bool operator==(const TLeak&) const = default;
};

//! Standard flow (m³/s at 101325 Pa and 20 °C) through an orifice of `diameter` (m) with
//! the discharge coefficient cLeakDischargeCoefficient, from `ambient` (Pa) into the
//! absolute pressure `pressure` (Pa): choked below cCriticalPressureRatio, subsonic above
//! it; 0 when nothing drives the flow or an input is not usable.
double OrificeFlow(double diameter, double pressure, double ambient);

//! Standard flow (m³/s) of the leak into the absolute pressure `pressure` (Pa) at the
//! ambient pressure `ambient` (Pa). An orifice by OrificeFlow; a measured leak scaled from
//! its measuring point by the same orifice law (the flow ratio of one orifice at the two
//! pressures); 0 for a tight workpiece or a measured leak without a vacuum below ambient.
double LeakFlow(const TLeak& leak, double pressure, double ambient);
//! The same at the gauge vacuum `vacuum` (Pa, below 0).
double LeakFlowAtVacuum(const TLeak& leak, double vacuum, double ambient);

//! The stored conditions of the site: its altitude and the workpiece's leak. Stored under
//! its key as ".Altitude", ".Leak.Kind", ".Leak.Diameter", ".Leak.Flow", ".Leak.Vacuum";
//! an entry the file lacks keeps its default, so a project written before these values
//! existed reads a tight workpiece at sea level.
class TSiteConditions : public TPrjObject {
public:
    //! Defaults of a new project.
    static constexpr double cDefaultLeakDiameter = 0.0005;
    static constexpr double cDefaultLeakFlow = 1.0e-3 / 60.0; // 1 l/min
    static constexpr double cDefaultLeakVacuum = -0.6e5;

    TSiteConditions() { ClearItem(); }

    //! Site altitude, m (0 = sea level).
    double Altitude = 0.0;
    TLeak Leak;

    //! Ambient pressure of the site, Pa.
    double AmbientPressure() const { return StandardAtmospherePressure(Altitude); }
    //! True for a tight workpiece at sea level: every result as without these values.
    bool Standard() const { return Altitude == 0.0 && Leak.Kind == clkNone; }

    void WriteTo(TPrjStrings& strings, const std::string& key) const override;
    void ReadFrom(const TPrjStrings& strings, const std::string& key) override;
    bool Equals(const TPrjObject& other) const override;
    void AssignFrom(const TPrjObject& other) override;
    void ClearItem() override;
};
