#pragma once

#include <vector>

//! Safety the lifting standards ask of a vacuum gripper holding a tight workpiece.
inline constexpr double cDefaultRequiredSafety = 2.0;

//! Safety of one load ratio (load over what the cup holds): its inverse; infinite for a
//! ratio of 0 or below (the cup is pressed on or not sheared: nothing to hold), NaN for
//! a ratio that is not a number.
double SafetyOfRatio(double ratio);

//! The largest load ratios of every cup over a motion and the instants they occur at.
struct TLoadRatioPeaks {
    //! Per cup, in the order of the arrangement: the largest ratio and its instant (s).
    std::vector<double> Normal, NormalTime;
    std::vector<double> Transverse, TransverseTime;
    //! The load system could be solved at every instant.
    bool Solvable = true;
};

//! Whether the design holds: the smallest safety of any cup over the whole motion, normal
//! and transverse, against the required safety factor.
struct THoldingVerdict {
    //! There were cups and the load system could be solved at every instant.
    bool Judged = false;
    //! Smallest safety of any cup (infinite when nothing pulls or shears a cup).
    double Safety = 0.0;
    double Required = cDefaultRequiredSafety;
    //! The cup (index) and instant (s) that limit it, and whether its transverse load does
    //! (else the normal one); −1 when no cup limits.
    int Cup = -1;
    double Time = 0.0;
    bool Transverse = false;
    //! The design holds: judged, and the smallest safety reaches the required factor.
    bool Holds() const { return Judged && Safety >= Required; }
    //! Judged, and short of the required factor: the design does not hold. (Not judged is
    //! neither: nothing can be said yet.)
    bool Fails() const { return Judged && !Holds(); }
};

//! The verdict for `peaks` against `required`. The first cup wins among equal safeties,
//! its normal load before its transverse one.
THoldingVerdict JudgeHolding(const TLoadRatioPeaks& peaks, double required);
