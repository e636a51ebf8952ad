#pragma once

#include "core/calc/standard_pressure.h"

#include <functional>

//! How a production cycle uses the gripper, and what compressed air costs. SI units.
struct TAirCostInputs {
    //! Cycles per second (the page shows them per hour).
    double CycleRate = 120.0 / 3600.0;
    //! The workpiece is held this long per cycle, s (after the evacuation).
    double HoldingTime = 2.0;
    //! Operating time per year, s (the page shows hours).
    double OperatingTime = 4000.0 * 3600.0;
    //! Price of one standard cubic metre of compressed air (a currency-neutral number).
    double PricePerCubicMetre = 0.02;
    //! Energy to make one standard cubic metre of compressed air, J (0.11 kWh).
    double EnergyPerCubicMetre = 0.11 * 3.6e6;
};

//! Switching hysteresis of the vacuum switches of air-saving generators, as a share of the
//! switch-off vacuum. The catalogue names the hysteresis fixed or adjustable but gives no
//! figure; 10 % is what such switches commonly have fixed, and an adjustable one is taken
//! as left at that setting.
inline constexpr double cAirSavingHysteresisShare = 0.1;

//! Flow of free air (standard m³/s) at a vacuum level v (Pa below ambient, ≥ 0).
using TFlowAtVacuum = std::function<double(double v)>;

//! Time (s) to change the vacuum of `volume` (m³) from `from` to `to` (Pa below ambient)
//! when the net free-air flow `flow`(v) (standard m³/s) is taken out of it: the
//! isothermal balance V/p_n·dv/dt = q(v), integrated by Simpson's rule. Infinite when the
//! flow is not positive somewhere in the interval (the level is never reached); 0 when
//! `to` ≤ `from`.
double PumpTime(double volume, double from, double to, const TFlowAtVacuum& flow);

//! The holding phase of an air-saving generator: its switch turns the air off at the
//! switch-off vacuum and on again when a leak has let the vacuum fall by the hysteresis;
//! each re-evacuation then runs until the switch-off vacuum is back.
struct TAirSavingHold {
    //! Time the generator blows during the holding time, s.
    double RunningTime = 0.0;
    //! Number of re-evacuations started during the holding time.
    int Reevacuations = 0;
    //! The generator cannot get back to the switch-off vacuum against the leak: it blows
    //! through the whole holding time.
    bool RunsThrough = false;
};

//! The holding phase of an air-saving generator for `holdingTime` (s): it starts at the
//! switch-off vacuum `offVacuum` and switches on at `offVacuum` − `hysteresis` (Pa).
//! `leak`(v) is the leak's free-air flow (null or 0: tight), `suction`(v) the suction
//! flow of all generators. With a tight workpiece nothing is re-evacuated.
TAirSavingHold AirSavingHold(double volume, double offVacuum, double hysteresis, double holdingTime,
                             const TFlowAtVacuum& suction, const TFlowAtVacuum& leak);

//! Compressed air, energy and cost of the generators per cycle and per year.
struct TAirUse {
    //! The generator blows this long per cycle, s.
    double RunningTime = 0.0;
    //! Re-evacuations per cycle (air-saving generators with a leak).
    int Reevacuations = 0;
    //! Free air, standard m³.
    double AirPerCycle = 0.0;
    double AirPerYear = 0.0;
    //! J.
    double EnergyPerCycle = 0.0;
    double EnergyPerYear = 0.0;
    //! In the currency of the price.
    double CostPerCycle = 0.0;
    double CostPerYear = 0.0;
    //! Cycles per year.
    double Cycles = 0.0;
    //! False when the generator does not reach the vacuum: no figures then (NaN).
    bool Valid = false;
};

//! Air account of generators taking `airConsumption` (standard m³/s, all of them) that
//! evacuate in `evacuationTime` (s; below 0: the vacuum is not reached) and then hold for
//! the inputs' holding time: without an air-saving function they blow through the holding
//! time; with one (`airSaving` true) they blow only for `hold`'s running time.
TAirUse AirUse(const TAirCostInputs& in, double airConsumption, double evacuationTime, bool airSaving,
               const TAirSavingHold& hold);

//! What an air-saving generator saves against one that blows through the holding time:
//! `without` − `with`, per field (NaN when either is not valid).
TAirUse AirSaving(const TAirUse& without, const TAirUse& with);
