#include "core/chart/chart_axis.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

TChartAxis AutoAxis(double min, double max, bool log = false) {
    TChartAxis a;
    a.Log = log;
    a.Min = min;
    a.Max = max;
    a.AutoStep = true;
    a.UpdateAutoStep();
    return a;
}

std::vector<std::string> MarkTexts(const TChartAxis& a) {
    std::vector<std::string> out;
    for (double v : ChartMarkValues(a, 1000)) out.push_back(ChartLabelText(a, v));
    return out;
}

TEST(ChartAutoStep, StepsForTypicalRanges) {
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 7, 5), 1.0);     // 7 steps: neither ×5 nor ×2
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 100, 5), 10.0);  // 100/100 < 5: one decade down
    EXPECT_DOUBLE_EQ(ChartAutoStep(3, 7, 5), 0.5);     // 40 tenths > 25: ×5
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 20, 5), 2.0);    // 20 > 10: ×2
    EXPECT_DOUBLE_EQ(ChartAutoStep(-50, 50, 5), 10.0); // the span counts, not the ends
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 0.07, 5), 0.01); // below 1 the decade walks down
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 4e-6, 5), 5e-7);
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 3e6, 5), 5e5);
}

TEST(ChartAutoStep, StepMinimumBelowThreeCountsAsThree) {
    // m = 3: 10 steps of 1 are more than 2m, so ×2.
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 10, 0), 2.0);
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 10, 3), 2.0);
    // A larger minimum asks for more steps.
    EXPECT_DOUBLE_EQ(ChartAutoStep(0, 10, 10), 1.0);
}

TEST(ChartAutoStep, EmptyReversedOrBrokenRangesGiveOne) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ChartAutoStep(5, 5, 5), 1.0);
    EXPECT_EQ(ChartAutoStep(7, 3, 5), 1.0);
    EXPECT_EQ(ChartAutoStep(0, inf, 5), 1.0);
    EXPECT_EQ(ChartAutoStep(std::nan(""), 1, 5), 1.0);
    // A huge step minimum ends instead of walking the exponent forever.
    EXPECT_GT(ChartAutoStep(0, 1, INT_MAX), 0.0);
}

TEST(ChartLabelFormat, LinearAxesShowTheirStep) {
    EXPECT_EQ(MarkTexts(AutoAxis(0, 7)),
              (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(
        MarkTexts(AutoAxis(3, 7)),
        (std::vector<std::string>{"3.0", "3.5", "4.0", "4.5", "5.0", "5.5", "6.0", "6.5", "7.0"}));
    EXPECT_EQ(MarkTexts(AutoAxis(0, 0.05)),
              (std::vector<std::string>{"0.00", "0.01", "0.02", "0.03", "0.04", "0.05"}));
    EXPECT_EQ(
        MarkTexts(AutoAxis(-120, 40)),
        (std::vector<std::string>{"-120", "-100", "-80", "-60", "-40", "-20", "0", "20", "40"}));
    int precision = 0, decimals = 0;
    ChartLabelFormat(false, 0, 0.07, 0.01, precision, decimals);
    EXPECT_EQ(decimals, 2);
    EXPECT_EQ(precision, 3); // trunc(log10 0.07) = -1, + 2 decimals + 1 + 1 for the point
}

TEST(ChartLabelFormat, LogAxesLabelDecadesWithoutExponents) {
    EXPECT_EQ(MarkTexts(AutoAxis(1, 1000, true)),
              (std::vector<std::string>{"1", "10", "100", "1000"}));
    EXPECT_EQ(MarkTexts(AutoAxis(0.01, 100, true)),
              (std::vector<std::string>{"0.01", "0.10", "1.00", "10.00", "100.00"}));
    int precision = 0, decimals = 0;
    ChartLabelFormat(true, 0.001, 0.5, 0.1, precision, decimals);
    EXPECT_EQ(decimals, 3);
    EXPECT_EQ(precision, 5); // 3 decimals + one integer digit + 1 for the point
}

TEST(ChartAxisAutoStep, FollowsTheRangeOnlyWhenSwitchedOn) {
    TChartAxis a;
    a.Min = 0;
    a.Max = 100;
    a.UpdateAutoStep();
    EXPECT_EQ(a.Step, 0.1);
    EXPECT_EQ(a.Mark, 0.2);

    a.AutoStep = true;
    a.UpdateAutoStep();
    EXPECT_EQ(a.Step, 10.0);
    EXPECT_EQ(a.Mark, 10.0);
    EXPECT_EQ(a.Decimals, 0);
    EXPECT_EQ(a.Precision, 3);

    // Precision 0 keeps the label format as the owner set it.
    a.Precision = 0;
    a.Decimals = 4;
    a.Max = 7;
    a.UpdateAutoStep();
    EXPECT_EQ(a.Step, 1.0);
    EXPECT_EQ(a.Precision, 0);
    EXPECT_EQ(a.Decimals, 4);
}

TEST(ChartScale, LinearMapsEndsToFirstAndLastPixel) {
    const TChartScale x(false, 0.0, 1.0, 10, 100, 1);
    EXPECT_EQ(x.ToPixel(0.0), 10);
    EXPECT_EQ(x.ToPixel(1.0), 110);
    EXPECT_EQ(x.ToPixel(0.5), 60);
    EXPECT_DOUBLE_EQ(x.ToValue(35), 0.25);

    // Upwards: the minimum sits on the origin row, larger values above it.
    const TChartScale y(false, -2.0, 2.0, 200, 40, -1);
    EXPECT_EQ(y.ToPixel(-2.0), 200);
    EXPECT_EQ(y.ToPixel(2.0), 160);
    EXPECT_EQ(y.ToPixel(0.0), 180);
    EXPECT_DOUBLE_EQ(y.ToValue(170), 1.0);
    EXPECT_DOUBLE_EQ(y.ToValue(210), -3.0); // below the area: beyond the minimum
}

TEST(ChartScale, RoundsHalfPixelsToEven) {
    const TChartScale x(false, 0.0, 4.0, 0, 4, 1); // one unit per pixel
    EXPECT_EQ(x.ToPixel(0.5), 0);
    EXPECT_EQ(x.ToPixel(1.5), 2);
    EXPECT_EQ(x.ToPixel(2.5), 2);
    EXPECT_EQ(x.ToPixel(2.5000001), 3);
}

TEST(ChartScale, LogMapsDecadesEvenly) {
    const TChartScale x(true, 1.0, 1000.0, 0, 300, 1);
    EXPECT_EQ(x.ToPixel(1.0), 0);
    EXPECT_EQ(x.ToPixel(10.0), 100);
    EXPECT_EQ(x.ToPixel(100.0), 200);
    EXPECT_EQ(x.ToPixel(1000.0), 300);
    EXPECT_NEAR(x.ToValue(150), std::sqrt(10.0) * 10.0, 1e-9);
    // log10 of 0 counts as 0: zero and negative values sit on the minimum.
    EXPECT_EQ(x.ToPixel(0.0), 0);
    EXPECT_EQ(x.ToPixel(-5.0), 0);

    const TChartScale y(true, 0.01, 1.0, 100, 50, -1);
    EXPECT_EQ(y.ToPixel(0.1), 75);
    EXPECT_NEAR(y.ToValue(50), 1.0, 1e-12);
}

TEST(ChartScale, FarAndUnmappableValues) {
    const TChartScale x(false, 0.0, 1.0, 0, 100, 1);
    const int far = x.ToPixel(1e300);
    EXPECT_GT(far, 100000);
    EXPECT_LT(far, INT_MAX / 4); // room left for offsets without overflow
    EXPECT_LT(x.ToPixel(-1e300), -100000);

    EXPECT_FALSE(TChartScale(false, 1.0, 1.0, 0, 100, 1).Valid());
    EXPECT_FALSE(TChartScale(false, 0.0, 1.0, 0, 0, 1).Valid());
    EXPECT_FALSE(TChartScale(true, 0.0, 1.0, 0, 100, 1).Valid()); // log needs min > 0
    EXPECT_TRUE(TChartScale(true, 0.5, 1.0, 0, 100, 1).Valid());
}

TEST(ChartGridValues, MultiplesOfTheStepInsideTheRange) {
    TChartAxis a;
    a.Min = 0;
    a.Max = 1;
    a.Step = 0.1;
    const auto v = ChartGridValues(a, 1000);
    ASSERT_EQ(v.size(), 11u); // 0.7 / 0.1 rounding must not lose an end
    EXPECT_EQ(v.front(), 0.0);
    EXPECT_NEAR(v.back(), 1.0, 1e-12);
    EXPECT_NEAR(v[7], 0.7, 1e-12);

    a.Min = 0.05;
    a.Max = 0.95;
    const auto inner = ChartGridValues(a, 1000);
    ASSERT_EQ(inner.size(), 9u);
    EXPECT_NEAR(inner.front(), 0.1, 1e-12);
    EXPECT_NEAR(inner.back(), 0.9, 1e-12);

    a.Min = -1;
    a.Max = 1;
    a.Step = 0.5;
    const auto sym = ChartGridValues(a, 1000);
    ASSERT_EQ(sym.size(), 5u);
    EXPECT_EQ(sym[2], 0.0); // exactly zero, not -0.0000000001

    a.Step = 0;
    EXPECT_TRUE(ChartGridValues(a, 1000).empty());
    a.Step = -1;
    EXPECT_TRUE(ChartGridValues(a, 1000).empty());
}

TEST(ChartGridValues, TooDenseGridsAreThinnedToWholeMultiples) {
    TChartAxis a;
    a.Min = 0;
    a.Max = 1000;
    a.Step = 1;
    const auto v = ChartGridValues(a, 100);
    ASSERT_FALSE(v.empty());
    EXPECT_LE(v.size(), 100u);
    EXPECT_EQ(v.front(), 0.0);
    const double spacing = v[1] - v[0];
    EXPECT_GT(spacing, 1.0);
    for (size_t i = 1; i < v.size(); ++i) EXPECT_DOUBLE_EQ(v[i] - v[i - 1], spacing);
    EXPECT_EQ(std::fmod(spacing, 1.0), 0.0);

    // A step absurdly small for the range neither hangs nor floods.
    a.Max = 1e9;
    a.Step = 1e-9;
    const auto thin = ChartGridValues(a, 500);
    EXPECT_LE(thin.size(), 500u);
    EXPECT_GE(thin.size(), 2u);
}

TEST(ChartGridValues, LogAxesGridEachDecadeAndMarkWholeDecades) {
    TChartAxis a;
    a.Log = true;
    a.Min = 0.5;
    a.Max = 200;
    const auto grid = ChartGridValues(a, 1000);
    // 0.5 … 0.9, 1 … 9, 10 … 90, 100, 200
    ASSERT_EQ(grid.size(), 25u);
    EXPECT_DOUBLE_EQ(grid.front(), 0.5);
    EXPECT_DOUBLE_EQ(grid.back(), 200.0);
    const auto marks = ChartMarkValues(a, 1000);
    ASSERT_EQ(marks.size(), 3u);
    EXPECT_DOUBLE_EQ(marks[0], 1.0);
    EXPECT_DOUBLE_EQ(marks[1], 10.0);
    EXPECT_DOUBLE_EQ(marks[2], 100.0);

    // Not room for the subdivisions: decades only.
    EXPECT_EQ(ChartGridValues(a, 10), marks);

    a.Min = 0; // a log axis needs a positive minimum
    EXPECT_TRUE(ChartGridValues(a, 1000).empty());
    EXPECT_TRUE(ChartMarkValues(a, 1000).empty());
}

TEST(ChartZoomRange, ClipsToTheRangeBeforeZooming) {
    const TAxisRange saved{0, 10};
    EXPECT_EQ(ChartZoomRange(false, -2, 5, saved, 0), (TAxisRange{0, 5}));
    EXPECT_EQ(ChartZoomRange(false, 8, 3, saved, 0), (TAxisRange{3, 8}));
    EXPECT_EQ(ChartZoomRange(false, -5, 50, saved, 0), saved);
    // Nothing left inside: the axis keeps its range.
    EXPECT_FALSE(ChartZoomRange(false, 12, 15, saved, 0).has_value());
    EXPECT_FALSE(ChartZoomRange(false, 4, 4, saved, 0).has_value());
}

TEST(ChartZoomRange, LogSpanWidensAboutTheGeometricCentre) {
    const TAxisRange saved{1, 1000};
    const auto mid = ChartZoomRange(true, 20, 40, saved, 10);
    ASSERT_TRUE(mid.has_value());
    EXPECT_NEAR(mid->Max / mid->Min, 10.0, 1e-9);
    EXPECT_NEAR(std::sqrt(mid->Min * mid->Max), std::sqrt(800.0), 1e-9);

    // At the edge the widened range moves inside and keeps its ratio.
    const auto edge = ChartZoomRange(true, 2, 4, saved, 10);
    ASSERT_TRUE(edge.has_value());
    EXPECT_DOUBLE_EQ(edge->Min, 1.0);
    EXPECT_NEAR(edge->Max, 10.0, 1e-9);

    // A wide enough range stays as it is; a saved range narrower than the span is the limit.
    EXPECT_EQ(ChartZoomRange(true, 2, 300, saved, 10), (TAxisRange{2, 300}));
    EXPECT_EQ(ChartZoomRange(true, 2, 3, TAxisRange{1, 5}, 10), (TAxisRange{1, 5}));
    // A ratio of 1 or less asks for nothing.
    EXPECT_EQ(ChartZoomRange(true, 2, 3, saved, 1), (TAxisRange{2, 3}));
}

TEST(ChartZoomRange, LinearSpanWidensAboutTheCentre) {
    const TAxisRange saved{0, 10};
    EXPECT_EQ(ChartZoomRange(false, 4.5, 5.5, saved, 2), (TAxisRange{4, 6}));
    EXPECT_EQ(ChartZoomRange(false, 9.5, 10, saved, 2), (TAxisRange{8, 10}));
    EXPECT_EQ(ChartZoomRange(false, 0, 0.5, saved, 2), (TAxisRange{0, 2}));
    EXPECT_EQ(ChartZoomRange(false, 1, 9, saved, 2), (TAxisRange{1, 9}));
}

TEST(ChartKeepLabels, CrowdedAndProtrudingLabelsAreLeftOut) {
    // Left to right: the second starts 4 px after the first (dropped), the third 5 px
    // after it (kept); the comparison is with the last label kept, not the last seen.
    const std::vector<TChartLabelSpan> spans{{0, 10}, {14, 24}, {15, 25}, {27, 37}, {40, 50}};
    EXPECT_EQ(ChartKeepLabels(spans, 0, 45), (std::vector<bool>{true, false, true, false, false}));
    // Upwards (Y axis): the same rule in decreasing pixels.
    const std::vector<TChartLabelSpan> up{{90, 100}, {82, 92}, {70, 80}, {-5, 5}};
    EXPECT_EQ(ChartKeepLabels(up, 0, 100), (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(ChartKeepLabels({}, 0, 10).empty());
}

TEST(ChartAxisCaption, FillsInTheUnitSymbol) {
    EXPECT_EQ(ChartAxisCaption("p [%s]", cUM_bar, false), "p [bar]");
    EXPECT_EQ(ChartAxisCaption("x", cUM_bar, false), "x");
    EXPECT_EQ(ChartAxisCaption("A [%s]", cUM_m2, false), "A [m\xC2\xB2]");
    EXPECT_EQ(ChartAxisCaption("A [%s]", cUM_m2, true), "A [m^2]");
    // Special characters of the caption text itself are replaced too.
    EXPECT_EQ(ChartAxisCaption("\xC2\xB5 in %s", cUM_micrometer, true), "y in ym");
    EXPECT_EQ(ChartAxisCaption("100%", cUM_bar, false), "100%");
}

} // namespace
