#include "core/chart/chart_axis.h"

#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixels far enough outside any plot area to keep the direction of a clipped line, small
// enough that sums of them stay well inside int.
constexpr double cFarPixels = 1.0e6;

// Relative slack for "within the range" tests so that 0.1 * 7 still counts as 0.7.
constexpr double cRangeSlack = 1.0e-9;

double Pow10(int e) {
    return std::pow(10.0, e);
}

// The multiples k * step inside min..max, every f-th one with f growing through 1, 2, 5,
// 10, 20, ... until no more than maxCount remain.
std::vector<double> LinearMultiples(double min, double max, double step, int maxCount) {
    std::vector<double> out;
    if (!(step > 0.0) || !std::isfinite(step) || !(max >= min) || !std::isfinite(min) ||
        !std::isfinite(max) || maxCount <= 0)
        return out;
    const double span = max - min;
    // Start thinning near the final factor so that a tiny step over a wide range does not
    // walk through every factor.
    double factor = 1.0;
    const double wanted = span / step / maxCount;
    if (wanted > 10.0) factor = Pow10(static_cast<int>(std::floor(std::log10(wanted))));
    static constexpr double cSteps[] = {1.0, 2.0, 5.0};
    for (int round = 0; round < 2000; ++round) {
        const double s = step * factor * cSteps[round % 3] * Pow10(round / 3);
        const double eps = s * cRangeSlack;
        const double k0 = std::ceil((min - eps) / s) + 0.0; // no -0 for the first multiple
        const double k1 = std::floor((max + eps) / s);
        // Beyond 2^53 consecutive multiples are no longer distinct doubles.
        if (!(std::fabs(k0) < 1e15) || !(std::fabs(k1) < 1e15)) return out;
        const double count = k1 - k0 + 1.0;
        if (count > maxCount) continue;
        for (int i = 0; i < static_cast<int>(count); ++i) out.push_back((k0 + i) * s);
        return out;
    }
    return out;
}

// k * 10^n inside min..max for the given factors k, min > 0.
std::vector<double> DecadeMultiples(double min, double max, std::initializer_list<int> ks,
                                    int every) {
    std::vector<double> out;
    const int n0 = static_cast<int>(std::floor(std::log10(min)));
    const int n1 = static_cast<int>(std::floor(std::log10(max)));
    for (int n = n0; n <= n1; ++n) {
        // Decade thinning keeps the decades that are multiples of `every`, so 10^0 stays.
        if (((n % every) + every) % every != 0) continue;
        const double decade = Pow10(n);
        for (int k : ks) {
            const double v = k * decade;
            if (v >= min * (1.0 - cRangeSlack) && v <= max * (1.0 + cRangeSlack)) out.push_back(v);
        }
    }
    return out;
}

std::vector<double> LogValues(const TChartAxis& axis, int maxCount, bool withSubdivisions) {
    if (!axis.Drawable() || maxCount <= 0) return {};
    if (withSubdivisions) {
        auto all = DecadeMultiples(axis.Min, axis.Max, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1);
        if (static_cast<int>(all.size()) <= maxCount) return all;
    }
    // Every decade, then every 2nd, 5th, 10th, 20th ... one.
    for (int every : {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}) {
        auto decades = DecadeMultiples(axis.Min, axis.Max, {1}, every);
        if (static_cast<int>(decades.size()) <= maxCount) return decades;
    }
    return {};
}

} // namespace

double ChartLog10(double x) {
    return x > 0.0 ? std::log10(x) : 0.0;
}

double ChartAutoStep(double min, double max, int stepMin) {
    const double span = max - min;
    if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
    const double m = std::max(stepMin, 3);
    // Powers of ten come from the exponent, not from repeated division, so that a step of
    // 0.1 is the double nearest 0.1 and not 1/10/10/10 of a larger one.
    int e = static_cast<int>(std::trunc(std::log10(span)));
    double step = Pow10(e);
    while (span / step < m && e > -320) step = Pow10(--e);
    if (span / step > 5.0 * m) step *= 5.0;
    if (span / step > 2.0 * m) step *= 2.0;
    return step;
}

void ChartLabelFormat(bool log, double min, double max, double step, int& precision,
                      int& decimals) {
    if (!log) {
        decimals = step < 1.0 ? static_cast<int>(std::trunc(0.9 - ChartLog10(step))) : 0;
        const double largest = std::max(std::fabs(min), std::fabs(max));
        precision = static_cast<int>(std::trunc(ChartLog10(largest))) + decimals + 1;
    } else {
        decimals = min < 1.0 ? -static_cast<int>(RoundHalfEven(ChartLog10(min))) : 0;
        // Integer digits of the top decade label: 100 needs three.
        const int digits = max > 1.0 ? static_cast<int>(RoundHalfEven(ChartLog10(max))) + 1 : 1;
        precision = decimals + digits;
    }
    if (decimals > 0) ++precision;
    // A computed precision of 0 would read as "format fixed by hand" next time.
    precision = std::max(precision, 1);
}

bool TChartAxis::Drawable() const {
    return std::isfinite(Min) && std::isfinite(Max) && Max > Min && (!Log || Min > 0.0);
}

void TChartAxis::UpdateAutoStep() {
    if (!AutoStep) return;
    Step = ChartAutoStep(Min, Max, StepMin);
    Mark = Step;
    if (Precision != 0) ChartLabelFormat(Log, Min, Max, Step, Precision, Decimals);
}

TChartScale::TChartScale(bool log, double min, double max, int origin, int extent, int direction)
    : log_(log), min_(min), origin_(origin), direction_(direction < 0 ? -1 : 1) {
    TChartAxis a;
    a.Log = log;
    a.Min = min;
    a.Max = max;
    if (extent <= 0 || !a.Drawable()) return;
    scale_ = (log ? std::log10(max / min) : (max - min)) / extent;
    if (!(scale_ > 0.0) || !std::isfinite(scale_)) scale_ = 0.0;
}

int TChartScale::ToPixel(double v) const {
    if (!Valid()) return origin_;
    double steps = log_ ? ChartLog10(v / min_) / scale_ : (v - min_) / scale_;
    if (std::isnan(steps)) steps = 0.0;
    steps = std::clamp(RoundHalfEven(steps), -cFarPixels, cFarPixels);
    return origin_ + static_cast<int>(steps) * direction_;
}

double TChartScale::ToValue(int pixel) const {
    const double d = static_cast<double>(pixel - origin_) * direction_ * scale_;
    return log_ ? min_ * std::pow(10.0, d) : min_ + d;
}

std::vector<double> ChartGridValues(const TChartAxis& axis, int maxCount) {
    if (axis.Log) return LogValues(axis, maxCount, true);
    if (!axis.Drawable()) return {};
    return LinearMultiples(axis.Min, axis.Max, axis.Step, maxCount);
}

std::vector<double> ChartMarkValues(const TChartAxis& axis, int maxCount) {
    if (axis.Log) return LogValues(axis, maxCount, false);
    if (!axis.Drawable()) return {};
    return LinearMultiples(axis.Min, axis.Max, axis.Mark, maxCount);
}

std::string ChartLabelText(const TChartAxis& axis, double value) {
    return FloatText(value, axis.Precision, axis.Decimals);
}

std::string ChartAxisCaption(std::string_view format, TNUMessurement unit, bool plain) {
    const std::string& symbol = UnitSymbol(unit, false);
    std::string out;
    out.reserve(format.size() + symbol.size());
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            out += symbol;
            ++i;
        } else {
            out.push_back(format[i]);
        }
    }
    return plain ? PlainSymbol(out) : out;
}

std::optional<TAxisRange> ChartZoomRange(bool log, double from, double to, const TAxisRange& saved,
                                         double zoomSpan) {
    double lo = std::min(from, to);
    double hi = std::max(from, to);
    lo = std::max(lo, saved.Min);
    hi = std::min(hi, saved.Max);
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return std::nullopt;
    if (log && lo <= 0.0) return std::nullopt;

    if (log && zoomSpan > 1.0 && hi / lo < zoomSpan) {
        const double centre = std::sqrt(lo * hi);
        const double half = std::sqrt(zoomSpan);
        lo = centre / half;
        hi = centre * half;
        // Move the widened range back inside rather than cut it, so it keeps its ratio
        // wherever the saved range allows.
        if (lo < saved.Min) {
            hi *= saved.Min / lo;
            lo = saved.Min;
        } else if (hi > saved.Max) {
            lo /= hi / saved.Max;
            hi = saved.Max;
        }
    } else if (!log && zoomSpan > 0.0 && hi - lo < zoomSpan) {
        const double centre = 0.5 * (lo + hi);
        lo = centre - 0.5 * zoomSpan;
        hi = centre + 0.5 * zoomSpan;
        if (lo < saved.Min) {
            hi += saved.Min - lo;
            lo = saved.Min;
        } else if (hi > saved.Max) {
            lo -= hi - saved.Max;
            hi = saved.Max;
        }
    }
    lo = std::max(lo, saved.Min);
    hi = std::min(hi, saved.Max);
    if (!(hi > lo)) return std::nullopt;
    return TAxisRange{lo, hi};
}

std::vector<bool> ChartKeepLabels(const std::vector<TChartLabelSpan>& spans, int lo, int hi,
                                  int gap) {
    std::vector<bool> keep(spans.size(), false);
    const TChartLabelSpan* last = nullptr;
    for (size_t i = 0; i < spans.size(); ++i) {
        const TChartLabelSpan& s = spans[i];
        if (s.From < lo || s.To > hi) continue;
        if (last) {
            const int distance = std::max(s.From - last->To, last->From - s.To);
            if (distance < gap) continue;
        }
        keep[i] = true;
        last = &s;
    }
    return keep;
}
