#include "core/data/interpol.h"

#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::vector<std::pair<double, double>>& points) {
    std::vector<std::string> lines;
    for (const auto& [x, y] : points) lines.push_back(std::to_string(x) + ";" + std::to_string(y));
    return lines;
}

// Natural cubic spline in the second-derivative (moment) form, an independent way to the
// same curve as the slope form under test.
double MomentSpline(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t n = x.size();
    std::vector<double> h(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i];
    // Unknowns M[1..n-2]; M[0] = M[n-1] = 0.
    std::vector<double> a(n, 0), b(n, 1), c(n, 0), r(n, 0), m(n, 0);
    for (size_t i = 1; i + 1 < n; ++i) {
        a[i] = h[i - 1];
        b[i] = 2 * (h[i - 1] + h[i]);
        c[i] = h[i];
        r[i] = 6 * ((y[i + 1] - y[i]) / h[i] - (y[i] - y[i - 1]) / h[i - 1]);
    }
    for (size_t i = 2; i + 1 < n; ++i) {
        const double f = a[i] / b[i - 1];
        b[i] -= f * c[i - 1];
        r[i] -= f * r[i - 1];
    }
    for (size_t i = n - 2; i >= 1; --i) {
        m[i] = (r[i] - c[i] * m[i + 1]) / b[i];
        if (i == 1) break;
    }
    size_t k = 0;
    while (k + 2 < n && at > x[k + 1]) ++k;
    const double t0 = x[k + 1] - at, t1 = at - x[k];
    return m[k] * t0 * t0 * t0 / (6 * h[k]) + m[k + 1] * t1 * t1 * t1 / (6 * h[k]) +
           (y[k] / h[k] - m[k] * h[k] / 6) * t0 + (y[k + 1] / h[k] - m[k + 1] * h[k] / 6) * t1;
}

} // namespace

TEST(InterpolLinear, InterpolatesExtendsLeftAndHoldsRight) {
    TInterpol ip;
    ip.SetPoints({"0;0", "10;100"});
    ip.SetX(5);
    EXPECT_FLOAT_EQ(ip.Y(), 50);
    ip.SetX(-5);
    EXPECT_FLOAT_EQ(ip.Y(), -50); // first segment extended
    ip.SetX(20);
    EXPECT_FLOAT_EQ(ip.Y(), 100); // held at the last point
    ip.SetX(10);
    EXPECT_FLOAT_EQ(ip.Y(), 100);
    ip.SetX(0);
    EXPECT_FLOAT_EQ(ip.Y(), 0);
}

TEST(InterpolLinear, PicksTheSegmentOfX) {
    TInterpol ip;
    ip.SetPoints({"0;0", "1;10", "3;0", "4;40"});
    const std::pair<float, float> cases[] = {{0.5f, 5},   {1, 10},   {2, 5}, {3, 0},
                                             {3.25f, 10}, {-1, -10}, {9, 40}};
    for (const auto& [x, y] : cases) {
        ip.SetX(x);
        EXPECT_FLOAT_EQ(ip.Y(), y) << "x = " << x;
        EXPECT_FLOAT_EQ(ip.ValueAt(x), y) << "x = " << x;
    }
}

TEST(InterpolLinear, StepsTakeTheLaterPointAtTheirX) {
    TInterpol ip;
    ip.SetPoints({"0;0", "5;10", "5;20", "10;30"});
    ip.SetX(4);
    EXPECT_FLOAT_EQ(ip.Y(), 8);
    ip.SetX(5);
    EXPECT_FLOAT_EQ(ip.Y(), 20);
    ip.SetX(7.5f);
    EXPECT_FLOAT_EQ(ip.Y(), 25);

    // Left of a leading vertical step the first segment has no direction: its start holds
    // instead of an infinite value.
    ip.SetPoints({"2;5", "2;9", "4;9"});
    ip.SetX(1);
    EXPECT_FLOAT_EQ(ip.Y(), 5);
    EXPECT_TRUE(std::isfinite(ip.Y()));
}

TEST(InterpolLinear, NoPointsGiveZeroAndOnePointIsConstant) {
    TInterpol ip;
    EXPECT_EQ(ip.Y(), 0);
    ip.SetX(3);
    EXPECT_EQ(ip.Y(), 0);
    ip.SetPoints({"4;7;8"});
    EXPECT_EQ(ip.Y(), 7);
    ip.SetX(-100);
    EXPECT_EQ(ip.Y(), 7);
    ip.SetYIndex(1);
    EXPECT_EQ(ip.Y(), 8);
    ip.SetPoints({});
    EXPECT_EQ(ip.Y(), 0);
}

TEST(InterpolSeries, YIndexSelectsTheSeriesAndIgnoresOutOfRange) {
    TInterpol ip;
    ip.SetPoints({"0;0;0;0;0;0;0;0;0;0;0", "1;1;2;3;4;5;6;7;8;9;10"});
    ip.SetX(0.5f);
    for (int s = 0; s < 10; ++s) {
        SCOPED_TRACE(testing::Message() << "curve " << s);
        ip.SetYIndex(s);
        EXPECT_EQ(ip.YIndex(), s);
        EXPECT_FLOAT_EQ(ip.Y(), 0.5f * static_cast<float>(s + 1));
    }
    ip.SetYIndex(3);
    ip.SetYIndex(10);
    EXPECT_EQ(ip.YIndex(), 3);
    ip.SetYIndex(-1);
    EXPECT_EQ(ip.YIndex(), 3);
    EXPECT_FLOAT_EQ(ip.Y(), 2);
}

TEST(InterpolSeries, YFollowsEveryChange) {
    TInterpol ip;
    ip.SetX(2);
    ip.SetPoints({"0;0;0", "4;8;-4"});
    EXPECT_FLOAT_EQ(ip.Y(), 4); // new points, X kept
    ip.SetYIndex(1);
    EXPECT_FLOAT_EQ(ip.Y(), -2);
    ip.SetPoints({"0;0;0", "4;8;-40"});
    EXPECT_FLOAT_EQ(ip.Y(), -20);
    ip.SetX(1);
    EXPECT_FLOAT_EQ(ip.Y(), -10);
}

TEST(InterpolPoints, FieldsBlanksAndMissingValues) {
    TInterpol ip;
    ip.SetPoints({" 1 . 5 ; 2 ;; 4", "3", "", "-2e1;1;2;3;4;5;6;7;8;9;10;junk"});
    const auto& p = ip.PointRecords();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].X, 1.5f);
    EXPECT_EQ(p[0].Y[0], 2);
    EXPECT_EQ(p[0].Y[1], 0); // empty field
    EXPECT_EQ(p[0].Y[2], 4);
    EXPECT_EQ(p[0].Y[3], 0); // missing field
    EXPECT_EQ(p[1].X, 3);
    EXPECT_EQ(p[1].Y[0], 0);
    EXPECT_EQ(p[2].X, 0); // an empty line is a point at 0
    EXPECT_EQ(p[3].X, -20);
    EXPECT_EQ(p[3].Y[9], 10); // the eleventh field; a twelfth is not read
}

TEST(InterpolPoints, ValuesAreSinglePrecision) {
    TInterpol ip;
    ip.SetPoints({"0.1;0.3", "1.1;0.7"});
    EXPECT_EQ(ip.PointRecords()[0].X, 0.1f);
    EXPECT_EQ(ip.PointRecords()[0].Y[0], 0.3f);
    ip.SetX(0.1f);
    EXPECT_EQ(ip.X(), 0.1f);
    EXPECT_EQ(ip.Y(), 0.3f);
}

TEST(InterpolPoints, TextSplitsAtAnyLineBreak) {
    TInterpol ip;
    ip.SetPointsText("0;0\r\n1;10\n2;20\r3;30\n");
    EXPECT_EQ(ip.Points(), (std::vector<std::string>{"0;0", "1;10", "2;20", "3;30"}));
    ASSERT_EQ(ip.PointRecords().size(), 4u);
    EXPECT_EQ(ip.PointRecords()[3].Y[0], 30);
    ip.SetPointsText("");
    EXPECT_TRUE(ip.Points().empty());
    EXPECT_TRUE(ip.PointRecords().empty());
}

TEST(InterpolPoints, CommaDecimalIsASyntaxErrorNamingLineAndField) {
    TInterpol ip;
    try {
        ip.SetPoints({"1,5;10", "2;20"});
        FAIL() << "no error";
    } catch (const EInterpolSyntaxError& e) {
        EXPECT_STREQ(e.what(), "Syntax error in line 1: 1,5");
        EXPECT_EQ(e.Line(), 1);
        EXPECT_EQ(e.Field(), "1,5");
    }
    EXPECT_TRUE(ip.PointRecords().empty());
    // Catchable as a plain runtime error too.
    EXPECT_THROW(ip.SetPoints({"x"}), std::runtime_error);
}

TEST(InterpolPoints, ErrorKeepsTheLinesBeforeItAndYFollowsThem) {
    TInterpol ip;
    ip.SetX(5);
    try {
        ip.SetPointsText("0;0\n10;100\n20; 3 0x\n30;300");
        FAIL() << "no error";
    } catch (const EInterpolSyntaxError& e) {
        EXPECT_STREQ(e.what(), "Syntax error in line 3: 30x"); // blanks removed
        EXPECT_EQ(e.Line(), 3);
    }
    EXPECT_EQ(ip.Points().size(), 4u); // the text is kept as given
    ASSERT_EQ(ip.PointRecords().size(), 2u);
    EXPECT_EQ(ip.PointRecords()[1].Y[0], 100);
    EXPECT_FLOAT_EQ(ip.Y(), 50);

    for (const char* bad : {"1e", "--1", "1.2.3", "inf", "0x10", "."}) {
        SCOPED_TRACE(testing::Message() << "point " << bad);
        try {
            ip.SetPoints({std::string("0;") + bad});
            ADD_FAILURE() << bad << " was read as a number";
        } catch (const EInterpolSyntaxError& e) {
            EXPECT_EQ(e.Field(), bad);
        }
    }
}

TEST(InterpolSpline, TwoPointsAreLinear) {
    TInterpol ip;
    ip.SetInterpolMethod(imSpline);
    ip.SetPoints({"0;0", "10;100"});
    ip.SetX(-5);
    EXPECT_FLOAT_EQ(ip.Y(), -50);
    ip.SetX(20);
    EXPECT_FLOAT_EQ(ip.Y(), 100);
}

TEST(InterpolSpline, MatchesTheNaturalSplineAndPassesThroughThePoints) {
    const std::vector<double> x = {0, 0.5, 2, 2.5, 4, 7, 7.25};
    const std::vector<double> y = {1, 3, -2, 0, 5, 4, 4.5};
    std::vector<std::pair<double, double>> pts;
    for (size_t i = 0; i < x.size(); ++i) pts.emplace_back(x[i], y[i]);
    TInterpol ip;
    ip.SetInterpolMethod(imSpline);
    ip.SetPoints(Lines(pts));
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_NEAR(ip.ValueAt(static_cast<float>(x[i])), y[i], 1e-5);
    for (double at = 0; at <= 7.25; at += 0.0625)
        EXPECT_NEAR(ip.ValueAt(static_cast<float>(at)), MomentSpline(x, y, at), 2e-5)
            << "x = " << at;
}

TEST(InterpolSpline, StraightDataStaysStraightAndContinuesBeyondTheEnds) {
    TInterpol ip;
    ip.SetPoints({"0;1", "1;3", "3;7", "4;9"});
    ip.SetInterpolMethod(imSpline);
    for (float at : {-2.0f, 0.5f, 2.0f, 3.5f, 6.0f}) {
        ip.SetX(at);
        EXPECT_NEAR(ip.Y(), 1 + 2 * at, 1e-5) << "x = " << at;
    }
    ip.SetInterpolMethod(imLinear); // the method change recomputes Y: held right of the end
    EXPECT_FLOAT_EQ(ip.Y(), 9);
}

TEST(InterpolSpline, UsesTheChosenSeries) {
    TInterpol ip;
    ip.SetInterpolMethod(imSpline);
    ip.SetPoints({"0;0;0", "1;0;1", "2;0;0"});
    ip.SetX(0.5f);
    EXPECT_EQ(ip.Y(), 0);
    ip.SetYIndex(1);
    // Natural spline through (0,0), (1,1), (2,0): -x^3/2 + 3x/2 on [0, 1].
    EXPECT_NEAR(ip.Y(), 0.6875, 1e-6);
}

TEST(InterpolSpline, FallsBackToLinearBeyond51PointsAndOnSteps) {
    auto parabola = [](int n) {
        std::vector<std::pair<double, double>> pts;
        for (int i = 0; i < n; ++i) pts.emplace_back(i, double(i) * i);
        return pts;
    };
    TInterpol ip;
    ip.SetInterpolMethod(imSpline);
    ip.SetPoints(Lines(parabola(51)));
    ip.SetX(10.5f);
    const float chord = (100.0f + 121.0f) / 2;
    EXPECT_NEAR(ip.Y(), 10.5f * 10.5f, 0.05f); // the spline follows the parabola
    ip.SetPoints(Lines(parabola(52)));
    EXPECT_FLOAT_EQ(ip.Y(), chord);

    // Equal x cannot carry a spline; the linear rule applies.
    ip.SetPoints({"0;0", "5;10", "5;20", "10;30"});
    ip.SetX(5);
    EXPECT_FLOAT_EQ(ip.Y(), 20);
    ip.SetX(7.5f);
    EXPECT_FLOAT_EQ(ip.Y(), 25);
}
