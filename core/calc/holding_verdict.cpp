#include "core/calc/holding_verdict.h"

#include <cmath>
#include <limits>

double SafetyOfRatio(double ratio) {
    if (std::isnan(ratio)) return ratio;
    if (!(ratio > 0.0)) return std::numeric_limits<double>::infinity();
    return 1.0 / ratio;
}

THoldingVerdict JudgeHolding(const TLoadRatioPeaks& peaks, double required) {
    THoldingVerdict v;
    v.Required = required;
    v.Safety = std::numeric_limits<double>::infinity();
    const size_t n = peaks.Normal.size();
    v.Judged = peaks.Solvable && n > 0 && peaks.Transverse.size() == n && peaks.NormalTime.size() == n &&
               peaks.TransverseTime.size() == n;
    if (!v.Judged) {
        v.Safety = std::numeric_limits<double>::quiet_NaN();
        return v;
    }
    auto consider = [&](double ratio, double time, size_t cup, bool transverse) {
        const double s = SafetyOfRatio(ratio);
        if (std::isnan(s)) {
            v.Judged = false;
            return;
        }
        if (s < v.Safety) {
            v.Safety = s;
            v.Cup = static_cast<int>(cup);
            v.Time = time;
            v.Transverse = transverse;
        }
    };
    for (size_t i = 0; i < n; ++i) {
        consider(peaks.Normal[i], peaks.NormalTime[i], i, false);
        consider(peaks.Transverse[i], peaks.TransverseTime[i], i, true);
    }
    if (!v.Judged) v.Safety = std::numeric_limits<double>::quiet_NaN();
    return v;
}
