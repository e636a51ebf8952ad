#pragma once

#include "core/calc/axis_range.h"
#include "core/quantities/units.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The arithmetic of a chart axis, free of any drawing: steps, label formats, the mapping
// between values and pixels, the values of grid lines and marks, zoom ranges and the
// thinning of labels. The chart control draws with it; owners place markers with it.

//! log10 with log10 of 0 (and of anything not positive) taken as 0.
double ChartLog10(double x);

//! Grid step of a range min..max for at least max(stepMin, 3) steps: a power of ten,
//! possibly times 5 and then times 2 so that the range holds m to 2m steps at most 5m
//! when possible. 1 for an empty, reversed or non-finite range.
double ChartAutoStep(double min, double max, int stepMin);

//! Label format that shows the step: fixed-point precision and decimals for a linear
//! or a logarithmic axis over min..max with grid step `step`.
void ChartLabelFormat(bool log, double min, double max, double step, int& precision, int& decimals);

//! Numeric state of one chart axis. Values are in the unit the owner draws in; the
//! measurement unit only names the symbol of the axis caption.
struct TChartAxis {
    bool Log = false;
    double Min = 0.0;
    double Max = 1.0;
    double Step = 0.1; //!< grid spacing
    double Mark = 0.2; //!< labelled tick spacing
    int Precision = 5; //!< significant digits of a label; 0 keeps the format fixed
    int Decimals = 2;  //!< decimals of a label
    int StepMin = 5;   //!< fewest steps the automatic step aims for
    bool AutoStep = false;
    double Zoom = 0.0; //!< smallest span (linear) or ratio (log) a zoom may produce
    TNUMessurement Measurement = cUM_NoUnit;
    std::string Unit;           //!< caption format; "%s" stands for the unit symbol
    TAxisRange Saved{0.0, 1.0}; //!< range before the first zoom

    //! Whether the range can be mapped: finite, Max > Min and, on a log axis, Min > 0.
    bool Drawable() const;
    //! With AutoStep on: step and mark from ChartAutoStep and, when Precision is not 0,
    //! the label format from ChartLabelFormat. Does nothing with AutoStep off.
    void UpdateAutoStep();
};

//! Mapping of an axis onto a pixel extent: `origin` is the pixel of Min, Max lies
//! `extent` pixels away in `direction` (+1 right, -1 up).
class TChartScale {
public:
    TChartScale() = default;
    TChartScale(bool log, double min, double max, int origin, int extent, int direction);

    //! Pixel of value v. Values far outside the range are held a long way off the
    //! extent so that lines towards them keep their direction and integers cannot overflow.
    int ToPixel(double v) const;
    //! Value at a pixel.
    double ToValue(int pixel) const;
    //! Value per pixel (linear) or log10 per pixel (logarithmic); 0 when not mapped.
    double Scale() const { return scale_; }
    bool Valid() const { return scale_ > 0.0; }

private:
    bool log_ = false;
    double min_ = 0.0;
    double scale_ = 0.0;
    int origin_ = 0;
    int direction_ = 1;
};

//! Values of the grid lines: the multiples of the step within the range (linear) or
//! k·10^n for k = 1..9 within the range (logarithmic). When there would be more than
//! `maxCount`, fewer are returned (every 2nd, 5th, 10th ... multiple; decades only).
std::vector<double> ChartGridValues(const TChartAxis& axis, int maxCount);

//! Values of the labelled ticks: the multiples of the mark within the range (linear) or
//! the whole decades within it (logarithmic), thinned like ChartGridValues.
std::vector<double> ChartMarkValues(const TChartAxis& axis, int maxCount);

//! Text of a label: fixed-point with the axis' precision and decimals and the display
//! decimal separator.
std::string ChartLabelText(const TChartAxis& axis, double value);

//! The axis caption: `format` with "%s" replaced by the symbol of `unit`, in plain
//! characters throughout when `plain` is set.
std::string ChartAxisCaption(std::string_view format, TNUMessurement unit, bool plain);

//! New range of a zoom to the values from..to (either order): clipped to `saved`; when
//! `zoomSpan` asks for it (a ratio > 1 on a log axis, a span > 0 on a linear one) widened
//! about its centre to that size, moved back inside `saved` and clipped again. Empty when
//! nothing of positive size is left, in which case the axis keeps its range.
std::optional<TAxisRange> ChartZoomRange(bool log, double from, double to, const TAxisRange& saved,
                                         double zoomSpan);

//! Pixel extent of a label along its axis.
struct TChartLabelSpan {
    int From = 0;
    int To = 0;
};

//! Which labels to draw, taken in the given order: a label is left out when it lies
//! outside lo..hi or comes closer than `gap` pixels to the last label kept.
std::vector<bool> ChartKeepLabels(const std::vector<TChartLabelSpan>& spans, int lo, int hi,
                                  int gap = 5);
