#pragma once

#include "core/calc/site_conditions.h"

#include <string>
#include <string_view>

class TCustomDBInterpol;
class TEvacuationTable;

//! The inputs every "Time" of the generator table depends on.
struct TVenturiConditions {
    //! Generators working in parallel.
    int Count = 1;
    //! Operating pressure, Pa.
    double Pressure = 6.0e5;
    //! Required vacuum as gauge pressure, Pa (below 0).
    double Vacuum = -0.7e5;
    //! Volume to evacuate, m³.
    double Volume = 0.0;
    //! Ambient pressure of the site, Pa, and the leak of the workpiece.
    double Ambient = cStandardPressure;
    TLeak Leak;

    bool operator==(const TVenturiConditions&) const = default;
};

//! The four curve families of the generators (not owned; null reads as an empty family).
struct TVenturiCurves {
    const TCustomDBInterpol* Vacuum = nullptr;
    const TCustomDBInterpol* AirConsumption = nullptr;
    const TCustomDBInterpol* SuctionCapacity = nullptr;
    const TCustomDBInterpol* SoundPressureLevel = nullptr;
};

//! Curve names of one generator row.
struct TVenturiCurveNames {
    std::string Vacuum;
    std::string AirConsumption;
    std::string SuctionCapacity;
    std::string SoundPressureLevel;
};

//! The operating point of the chosen generators.
struct TOperatingValues {
    //! Reached vacuum as gauge pressure, Pa (≤ 0).
    double Vacuum = 0.0;
    //! Air consumption and suction capacity of all generators, l/min.
    double AirConsumption = 0.0;
    double SuctionCapacity = 0.0;
    //! Sound pressure level of all generators, dB(A).
    double SoundPressureLevel = 0.0;
};

//! Value of a named curve at x, 0 for an unknown name or a missing family, never NaN/inf.
double CurveValue(const TCustomDBInterpol* family, std::string_view curve, double x);

//! Vacuum (Pa, positive) the generator reaches at operating pressure p (Pa).
double VacuumAt(const TCustomDBInterpol* vacuum, std::string_view curve, double p);

//! Time (s) the generators need to evacuate the volume to the required vacuum: 0 for a
//! required vacuum of 0; −1 when the curve is missing or rejected, does not cover the
//! pressure or the generator cannot reach the vacuum.
double EvacuationTime(TEvacuationTable& table, const TCustomDBInterpol* vacuum,
                      std::string_view curve, std::string_view vacuumCurve,
                      const TVenturiConditions& c);

//! Operating values of n generators at pressure p (Pa).
TOperatingValues OperatingValues(const TVenturiCurves& curves, const TVenturiCurveNames& names,
                                 double p, int n);

//! Text of a "Time" cell: "-" below 0, "%0.3g s" from 1 s on, else whole milliseconds
//! (rounded to the nearest, ties to even).
std::string EvacuationTimeText(double seconds);
//! Text of a "Vacuum" cell (bar reachable): "%0.3g bar" of the value with its sign reversed.
std::string VacuumText(double bar);
//! A nozzle fits the tube when three nozzle diameters do not exceed the tube's inner one.
bool NozzleFitsTube(double nozzleDiameter, double tubeDiameter);
