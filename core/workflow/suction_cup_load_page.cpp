// The load page: the time slider and its player, the load charts, the maximum-value view
// and the group of the selected cup.

#include "core/workflow/suction_cup_model.h"

#include "core/calc/forces.h"
#include "core/document/my_project.h"
#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>

namespace {

std::string Percent(double ratio, const char* suffix) {
    return std::to_string(static_cast<long long>(RoundHalfEven(ratio * 100.0))) + suffix;
}

} // namespace

int TSuctionCupModel::ChartXRange() const {
    return Cups().Count();
}


// ---- load page ----------------------------------------------------------------------------

double TSuctionCupModel::SliderTime() const {
    const double end = FMotion ? FMotion->EndTime() : 0.0;
    if (!(end > 0.0) || !std::isfinite(end)) return 0.0;
    return FSliderPosition / static_cast<double>(cSliderMax) * end;
}

void TSuctionCupModel::EvaluateAt(double t) {
    const TMotionSample sample = FMotion ? FMotion->Sample(t) : TMotionSample{};
    TSaugerList& list = Cups();
    MotionLoad(sample, IsRotaryDrive(FDoc.Drive.Type), FDoc.LinearDirectionVector,
               FDoc.Moving.CircularLever, list.LoadCase.Acceleration, list.LoadCase.WorkpieceBasis);
    SyncInputs();
    list.CalcForces();
}

void TSuctionCupModel::EvaluateTime() {
    EvaluateAt(SliderTime());
    Notify();
}

TCupLoadPeaks TSuctionCupModel::LoadPeaks(const std::vector<double>& extraTimes) {
    TCupLoadPeaks peaks;
    if (Inert()) return peaks;
    const TSaugerList& list = Cups();
    const auto n = static_cast<size_t>(list.Count());
    peaks.Normal.assign(n, -std::numeric_limits<double>::infinity());
    peaks.Transverse.assign(n, -std::numeric_limits<double>::infinity());
    peaks.NormalTime.assign(n, 0.0);
    peaks.TransverseTime.assign(n, 0.0);
    const double end = FMotion ? FMotion->EndTime() : 0.0;
    std::vector<double> times{0.0};
    if (end > 0.0 && std::isfinite(end)) {
        for (int i = 1; i <= cSliderMax; ++i) times.push_back(i / static_cast<double>(cSliderMax) * end);
        for (const double t : extraTimes)
            if (t >= 0.0 && t <= end) times.push_back(t);
    }
    for (const double t : times) {
        EvaluateAt(t);
        peaks.Solvable = peaks.Solvable && list.Solvable();
        for (size_t i = 0; i < n; ++i) {
            const TSauger& cup = *list.Sauger(static_cast<int>(i));
            if (cup.NormalRatio > peaks.Normal[i]) {
                peaks.Normal[i] = cup.NormalRatio;
                peaks.NormalTime[i] = t;
            }
            if (cup.TransverseRatio > peaks.Transverse[i]) {
                peaks.Transverse[i] = cup.TransverseRatio;
                peaks.TransverseTime[i] = t;
            }
        }
    }
    EvaluateTime();
    return peaks;
}

void TSuctionCupModel::RxSliderVCRChange(int position) {
    if (Inert()) return;
    FSliderPosition = std::clamp(position, 0, cSliderMax);
    EvaluateTime();
}

void TSuctionCupModel::PlayerPlay() {
    FSliderEnabled = false;
    FPlaying = true;
}

void TSuctionCupModel::PlayerPause() {
    FPlaying = !FPlaying;
    FSliderEnabled = !FSliderEnabled;
}

void TSuctionCupModel::PlayerStop() {
    FPlaying = false;
    FSliderEnabled = true;
}

void TSuctionCupModel::PlayerRewind() {
    PlayerStop();
    RxSliderVCRChange(0);
}

void TSuctionCupModel::PlayerForward() {
    PlayerStop();
    RxSliderVCRChange(cSliderMax);
}

void TSuctionCupModel::PlayerTick() {
    if (!FPlaying) return;
    RxSliderVCRChange(std::min(FSliderPosition + cPlayerStep, cSliderMax));
    if (FSliderPosition >= cSliderMax) PlayerStop();
}

bool TSuctionCupModel::TimeCurveTabEnabled(double achievedVacuum, double targetVacuum) {
    return std::max(achievedVacuum, targetVacuum) != 0.0;
}

std::vector<TLoadBar> TSuctionCupModel::LoadBars(bool transverse) const {
    const TSaugerList& list = Cups();
    std::vector<TLoadBar> bars;
    bars.reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        const TSauger& cup = *list.Sauger(i);
        const double ratio = transverse ? cup.TransverseRatio : cup.NormalRatio;
        bars.push_back({i + 0.1, i + 0.9, ratio * 100.0, LoadBand(ratio), cup.Selected});
    }
    return bars;
}

void TSuctionCupModel::RefreshMaxValues(double fz) {
    SyncInputs();
    const TSaugerList& list = Cups();
    const TDriveType drive = FDoc.Drive.Type;
    const TLinearDirection dir = FDoc.Moving.LinearDirection;
    const bool vertical = (drive == cdtPneumaticLinear || drive == cdtNCLinear) &&
                          (dir == cldVerticalUp || dir == cldVerticalDown);
    const double fs = list.HoldingForce();
    auto bar = [fs](double force) {
        TMaxValueBar b;
        b.Force = force;
        b.Ratio = fs > 0.0 ? force / fs : 2.0;
        if (b.Ratio < 1.0) {
            b.Band = clbOptimal;
            b.Fill1 = b.Ratio * 100.0;
            b.Fill2 = 0.0;
        } else {
            b.Band = clbTooHigh;
            b.Fill1 = 100.0;
            b.Fill2 = std::min(1.0, b.Ratio - 1.0) * 100.0;
        }
        b.Text = b.Ratio >= 2.0 ? std::string("> 200%") : Percent(b.Ratio, "%");
        return b;
    };
    const int n = list.Count();
    FMaxValues.Normal = bar(vertical && n > 0 ? fz / n : 0.0);
    FMaxValues.Transverse = bar(0.0);
    Notify();
}

TCupForcesAndPosition TSuctionCupModel::ForcesAndPosition() const {
    TCupForcesAndPosition r;
    const TSaugerList& list = Cups();
    const int i = list.FirstSelected();
    if (i < 0) return r;
    const TSauger& cup = *list.Sauger(i);
    auto text = [](double ratio) {
        return ratio > 3.0 ? std::string("> 300 %") : Percent(ratio, " %");
    };
    r.Visible = true;
    r.Number = i + 1;
    r.Pos = cup.Pos;
    r.NormalForce = cup.Force.DotProduct(cup.Axial());
    r.TransverseForce = cup.Force.TransverseLength(cup.Axial());
    r.NormalRatio = text(cup.NormalRatio);
    r.TransverseRatio = text(cup.TransverseRatio);
    return r;
}

