#include "core/data/interpol.h"

#include "core/quantities/number_format.h"

#include <utility>

EInterpolSyntaxError::EInterpolSyntaxError(int line, std::string field)
    : std::runtime_error("Syntax error in line " + std::to_string(line) + ": " + field),
      line_(line), field_(std::move(field)) {}

void TInterpol::SetInterpolMethod(TInterpolMethod method) {
    method_ = method;
    PrepareSpline();
    y_ = ValueAt(x_);
}

void TInterpol::SetYIndex(int index) {
    if (index < 0 || index >= kSeries || index == yIndex_) return;
    yIndex_ = index;
    PrepareSpline();
    y_ = ValueAt(x_);
}

void TInterpol::SetPoints(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Parse();
}

void TInterpol::SetPointsText(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    SetPoints(std::move(lines));
}

void TInterpol::SetX(float x) {
    x_ = x;
    y_ = ValueAt(x_);
}

void TInterpol::Parse() {
    points_.clear();
    points_.reserve(lines_.size());
    try {
        for (size_t n = 0; n < lines_.size(); ++n) {
            const std::string& line = lines_[n];
            TInterpolPoint p;
            size_t start = 0;
            // Up to eleven fields: x, then y0..y9; anything after the eleventh is ignored.
            for (int field = 0; field <= kSeries && start <= line.size(); ++field) {
                size_t end = line.find(';', start);
                if (end == std::string::npos) end = line.size();
                std::string text;
                for (size_t i = start; i < end; ++i)
                    if (line[i] != ' ' && line[i] != '\t') text.push_back(line[i]);
                start = end + 1;
                double v = 0;
                if (!text.empty() && !TryReadNumber(text, v))
                    throw EInterpolSyntaxError(static_cast<int>(n) + 1, text);
                const float f = static_cast<float>(v);
                if (field == 0)
                    p.X = f;
                else
                    p.Y[static_cast<size_t>(field - 1)] = f;
            }
            points_.push_back(p);
        }
    } catch (const EInterpolSyntaxError&) {
        // The lines read so far stay; Y follows them before the caller hears of the error.
        PrepareSpline();
        y_ = ValueAt(x_);
        throw;
    }
    PrepareSpline();
    y_ = ValueAt(x_);
}

// Natural end conditions (second derivative 0 at both ends): nothing else is known about
// the curve's ends. The system in the slopes k[i] is
//   k[i-1]/h[i-1] + 2 (1/h[i-1] + 1/h[i]) k[i] + k[i+1]/h[i] = 3 (d[i-1]/h[i-1]^2 + d[i]/h[i]^2)
// with h[i] = x[i+1] - x[i] and d[i] = y[i+1] - y[i]; the end rows drop the missing side.
// The spline needs strictly increasing x and at most kMaxSplinePoints points; otherwise
// (steps, unsorted points, longer lists) the linear rule applies.
void TInterpol::PrepareSpline() {
    splineSlopes_.clear();
    const size_t n = points_.size();
    if (method_ != imSpline || n <= 2 || n > static_cast<size_t>(kMaxSplinePoints)) return;
    for (size_t i = 1; i < n; ++i)
        if (!(points_[i].X > points_[i - 1].X)) return;

    const size_t s = static_cast<size_t>(yIndex_);
    std::vector<double> sub(n), diag(n), sup(n), rhs(n);
    for (size_t i = 0; i < n; ++i) {
        double a = 0, b = 0, c = 0, r = 0;
        if (i > 0) {
            const double h = double(points_[i].X) - double(points_[i - 1].X);
            const double d = double(points_[i].Y[s]) - double(points_[i - 1].Y[s]);
            a = 1 / h;
            b += 2 / h;
            r += 3 * d / (h * h);
        }
        if (i + 1 < n) {
            const double h = double(points_[i + 1].X) - double(points_[i].X);
            const double d = double(points_[i + 1].Y[s]) - double(points_[i].Y[s]);
            c = 1 / h;
            b += 2 / h;
            r += 3 * d / (h * h);
        }
        sub[i] = a;
        diag[i] = b;
        sup[i] = c;
        rhs[i] = r;
    }
    // Thomas algorithm; the system is strictly diagonally dominant, so no pivoting.
    for (size_t i = 1; i < n; ++i) {
        const double m = sub[i] / diag[i - 1];
        diag[i] -= m * sup[i - 1];
        rhs[i] -= m * rhs[i - 1];
    }
    splineSlopes_.assign(n, 0.0);
    splineSlopes_[n - 1] = rhs[n - 1] / diag[n - 1];
    for (size_t i = n - 1; i-- > 0;)
        splineSlopes_[i] = (rhs[i] - sup[i] * splineSlopes_[i + 1]) / diag[i];
}

float TInterpol::ValueAt(float x) const {
    const size_t n = points_.size();
    if (n == 0) return 0;
    if (n == 1) return points_[0].Y[static_cast<size_t>(yIndex_)];
    return static_cast<float>(UseSpline() ? Spline(x) : Linear(x));
}

double TInterpol::Linear(double x) const {
    const size_t s = static_cast<size_t>(yIndex_);
    const size_t n = points_.size();
    size_t j = 1;
    while (j < n && !(points_[j].X > x)) ++j;
    if (j == n) return points_[n - 1].Y[s];
    const double x0 = points_[j - 1].X, x1 = points_[j].X;
    const double y0 = points_[j - 1].Y[s], y1 = points_[j].Y[s];
    // Left of a leading vertical step the first segment has no direction: hold its start.
    // A flat segment stays flat even for an infinite x.
    if (x1 == x0 || y1 == y0) return y0;
    return y0 + (y1 - y0) / (x1 - x0) * (x - x0);
}

// Beyond the ends the spline goes on as a straight line with its end slope, which keeps
// the natural end's zero curvature.
double TInterpol::Spline(double x) const {
    const size_t s = static_cast<size_t>(yIndex_);
    const size_t n = points_.size();
    const TInterpolPoint& first = points_.front();
    const TInterpolPoint& last = points_.back();
    if (x < first.X) return first.Y[s] + splineSlopes_.front() * (x - first.X);
    if (!(x < last.X)) {
        if (x == last.X) return last.Y[s];
        if (x > last.X) return last.Y[s] + splineSlopes_.back() * (x - last.X);
        return last.Y[s]; // NaN
    }
    size_t j = 1;
    while (j < n && !(points_[j].X > x)) ++j;
    const double x0 = points_[j - 1].X, x1 = points_[j].X;
    const double y0 = points_[j - 1].Y[s], y1 = points_[j].Y[s];
    const double h = x1 - x0;
    const double t = (x - x0) / h;
    const double d = y1 - y0;
    const double a = splineSlopes_[j - 1] * h - d;
    const double b = -splineSlopes_[j] * h + d;
    return (1 - t) * y0 + t * y1 + t * (1 - t) * ((1 - t) * a + t * b);
}
