#pragma once

#include "core/calc/site_conditions.h"
#include "core/calc/venturi.h"

#include <string_view>
#include <vector>

class TCustomDBInterpol;
class TEvacuationTable;

//! The suction flow of one generator over the vacuum at one operating pressure, derived from
//! its evacuation table at standard pressure. The table gives the time τ(u) to evacuate one
//! litre to the vacuum u; isothermally the standard flow is q = V/p_n · du/dτ, so every
//! segment between two points of the table (and from ambient to the first one) has the flow
//! of its differences. The flow curve runs linearly through these flows at the segments'
//! middles and from the last one to zero at the reachable vacuum.
class TSuctionCurve {
public:
    //! Builds the curve of a generator (its time curve and vacuum curve) at operating
    //! pressure `pressure` (Pa). False when the table gives no time for it (the curve is
    //! missing or does not cover the pressure, or the generator reaches no vacuum).
    bool Build(TEvacuationTable& table, const TCustomDBInterpol* vacuum, std::string_view curve,
               std::string_view vacuumCurve, double pressure);

    //! Vacuum the generator reaches at standard pressure without a leak, Pa (positive).
    double Reach() const { return FReach; }
    //! The largest vacuum of the table's points, Pa; beyond it the table holds its time.
    double LastPoint() const { return FNodes.empty() ? 0.0 : FNodes.back().Vacuum; }
    //! Standard flow (m³/s) of one generator at the vacuum u (Pa, positive, at standard
    //! pressure); 0 from the reachable vacuum on.
    double Flow(double u) const;
    //! Time per litre and per generator (s) to the vacuum u as the table gives it at its
    //! points and linear between them.
    double TableTime(double u) const;

    //! One point of the time curve: vacuum (Pa) and time per litre (s).
    struct TNode {
        double Vacuum;
        double Time;
    };
    const std::vector<TNode>& Nodes() const { return FNodes; }

    //! Slope of the table's time curve at u, s/Pa (0 beyond the last point).
    double TimeSlope(double u) const;

private:
    double FReach = 0.0;
    std::vector<TNode> FNodes;
    // Flow of every segment at its middle: Vacuum and the flow (m³/s) in Time.
    std::vector<TNode> FFlows;
};

//! Evacuation of the gripper's volume at the site with the workpiece's leak.
struct TSiteEvacuation {
    //! Time (s) to the required vacuum; 0 for a required vacuum of 0; −1 when it is not
    //! reached (or the generator's curves give no time).
    double Time = -1.0;
    //! Vacuum reachable at the site with the leak, Pa, gauge (≤ 0).
    double ReachableVacuum = 0.0;
};

//! The time of the generators (conditions c: count, operating pressure, required vacuum
//! at the site as gauge pressure, volume) at the site of ambient pressure c.Ambient with the
//! leak c.Leak.
//!
//! An ejector keeps its vacuum as a fraction of ambient: at the site every vacuum of its
//! curves stands for k = ambient / 101325 times its value, so without a leak the time to the
//! required vacuum v is the table's time to v / k (the same algorithm as EvacuationTime).
//! With a leak the evacuation runs with the net flow: in the standard-pressure vacuum u = v/k
//! the leak of the site counts as L / (n·k) per generator, and
//!     t = V / (1 l · n) · ∫₀^u τ'(x) · q(x) / (q(x) − L(x) / (n·k)) dx
//! (below the table's last point; beyond it τ' = 1 l / (p_n · q)), which is the table's time
//! for a tight workpiece. The reachable vacuum is where q equals the leak.
TSiteEvacuation SiteEvacuation(TEvacuationTable& table, const TCustomDBInterpol* vacuum,
                               std::string_view curve, std::string_view vacuumCurve,
                               const TVenturiConditions& c);

//! The same on a built curve (for tests and for the chosen generator).
TSiteEvacuation SiteEvacuation(const TSuctionCurve& curve, const TVenturiConditions& c);
