#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

//! Interpolation rule of TInterpol.
enum TInterpolMethod { imLinear, imSpline };

//! A field of a points text that is not a number: "Syntax error in line N: FIELD".
class EInterpolSyntaxError : public std::runtime_error {
public:
    EInterpolSyntaxError(int line, std::string field);
    //! 1-based line number.
    int Line() const { return line_; }
    //! The field text with its blanks removed.
    const std::string& Field() const { return field_; }

private:
    int line_;
    std::string field_;
};

//! One point: x and ten y series, in single precision.
struct TInterpolPoint {
    float X = 0;
    std::array<float, 10> Y{};
};

//! One curve with up to ten y series, filled from text lines "x;y0;y1;...;y9" with "." as
//! decimal separator. Y follows every change of the points, X, YIndex and the method.
class TInterpol {
public:
    static constexpr int kSeries = 10;
    //! Largest point count the spline rule handles; more points are interpolated linearly.
    static constexpr int kMaxSplinePoints = 51;

    TInterpolMethod InterpolMethod() const { return method_; }
    void SetInterpolMethod(TInterpolMethod method);
    int YIndex() const { return yIndex_; }
    //! Accepts 0..9; other values are ignored.
    void SetYIndex(int index);

    const std::vector<std::string>& Points() const { return lines_; }
    //! Takes the lines and parses them. A field that is not a number throws
    //! EInterpolSyntaxError; the lines before it stay as points and Y follows them.
    void SetPoints(std::vector<std::string> lines);
    //! As SetPoints with the text split at line breaks (CR LF, LF or CR); a final line
    //! break does not start another line.
    void SetPointsText(std::string_view text);
    //! The parsed points, in line order.
    const std::vector<TInterpolPoint>& PointRecords() const { return points_; }

    float X() const { return x_; }
    void SetX(float x);
    float Y() const { return y_; }

    //! The curve's value at x by the current rule, without changing X and Y.
    float ValueAt(float x) const;

private:
    void Parse();
    void PrepareSpline();
    bool UseSpline() const { return !splineSlopes_.empty(); }
    double Linear(double x) const;
    double Spline(double x) const;

    TInterpolMethod method_ = imLinear;
    int yIndex_ = 0;
    std::vector<std::string> lines_;
    std::vector<TInterpolPoint> points_;
    // Slopes at the points for the current points and series; empty when the linear rule
    // applies.
    std::vector<double> splineSlopes_;
    float x_ = 0;
    float y_ = 0;
};
