#include "gui/chart/diagram_context.h"

#include "gui/chart/diagramm.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QLine>
#include <QPaintEngine>
#include <QPainter>

namespace {

constexpr int cGridTick = 4; // grid ticks reach this far to both sides of the axis line
constexpr int cMarkTick = 6; // mark ticks likewise
constexpr int cTextGap = 2;  // between a tick's end and its label, a caption and its axis
constexpr int cLabelGap = 5; // labels closer than this to the previous one are left out

// Restores a painter on every way out, exceptions of the owner's handlers included.
class TPainterState {
public:
    explicit TPainterState(QPainter& p) : p_(p) { p_.save(); }
    ~TPainterState() { p_.restore(); }
    TPainterState(const TPainterState&) = delete;
    TPainterState& operator=(const TPainterState&) = delete;

private:
    QPainter& p_;
};

// Lines of one colour drawn in one call; a new colour starts a new run so that the order
// of drawing stays the order of the calls.
class TLineRuns {
public:
    void Add(const QColor& color, const QLine& line) {
        if (runs_.empty() || runs_.back().Color != color) runs_.push_back({color, {}});
        runs_.back().Lines.push_back(line);
    }
    void Draw(QPainter& p) const {
        for (const auto& run : runs_) {
            p.setPen(QPen(run.Color, 1));
            p.drawLines(run.Lines.data(), static_cast<int>(run.Lines.size()));
        }
    }

private:
    struct TRun {
        QColor Color;
        std::vector<QLine> Lines;
    };
    std::vector<TRun> runs_;
};

int MaxCount(int extent) {
    return std::max(1, extent / 2);
}

} // namespace

TDiagramContext::TDiagramContext(TDiagramm* chart) : TCustomContextTAV(chart), chart_(*chart) {
    axes_[daX].Unit = QStringLiteral("x");
    axes_[daY].Unit = QStringLiteral("y");
    axes_[daY2].Unit = QStringLiteral("y2");
    const QColor silver(0xC0, 0xC0, 0xC0);
    const QColor purple(0x80, 0x00, 0x80);
    const QColor red(0xFF, 0x00, 0x00);
    axes_[daX].ColorValue = Qt::black;
    axes_[daX].ColorLine = silver;
    axes_[daX].ColorCrossLine = Qt::black;
    axes_[daY].ColorValue = Qt::black;
    axes_[daY].ColorLine = silver;
    axes_[daY].ColorCrossLine = Qt::black;
    axes_[daY2].ColorValue = red;
    axes_[daY2].ColorLine = purple;
    axes_[daY2].ColorCrossLine = red;
}

// --- properties -----------------------------------------------------------------------

template <class T>
void TDiagramContext::SetAxisValue(TDiagramAxis a, T TAxisState::*field, const T& v) {
    T& current = axes_[a].*field;
    if (current == v) return;
    current = v;
    Changed();
}

template <class T>
void TDiagramContext::SetNumber(TDiagramAxis a, T TChartAxis::*field, const T& v,
                                bool recomputesStep) {
    TChartAxis& axis = axes_[a].Numbers;
    if (axis.*field == v) return;
    axis.*field = v;
    if (recomputesStep) axis.UpdateAutoStep();
    Changed();
}

template <class T> void TDiagramContext::SetChartValue(T& field, const T& v) {
    if (field == v) return;
    field = v;
    Changed();
}

void TDiagramContext::SetMin(TDiagramAxis a, double v) {
    SetNumber(a, &TChartAxis::Min, v, true);
}
void TDiagramContext::SetMax(TDiagramAxis a, double v) {
    SetNumber(a, &TChartAxis::Max, v, true);
}
void TDiagramContext::SetMeasurement(TDiagramAxis a, TNUMessurement v) {
    SetNumber(a, &TChartAxis::Measurement, v, false);
}
void TDiagramContext::SetLog(TDiagramAxis a, bool v) {
    SetNumber(a, &TChartAxis::Log, v, true);
}
void TDiagramContext::SetStep(TDiagramAxis a, double v) {
    SetNumber(a, &TChartAxis::Step, v, false);
}
void TDiagramContext::SetUnit(TDiagramAxis a, QString v) {
    SetAxisValue(a, &TAxisState::Unit, v);
}
void TDiagramContext::SetPrecision(TDiagramAxis a, int v) {
    SetNumber(a, &TChartAxis::Precision, v, false);
}
void TDiagramContext::SetDecimals(TDiagramAxis a, int v) {
    SetNumber(a, &TChartAxis::Decimals, v, false);
}
void TDiagramContext::SetMark(TDiagramAxis a, double v) {
    SetNumber(a, &TChartAxis::Mark, v, false);
}
void TDiagramContext::SetAutoStep(TDiagramAxis a, bool v) {
    SetNumber(a, &TChartAxis::AutoStep, v, true);
}
// The step minimum feeds the automatic step as much as the range does.
void TDiagramContext::SetStepMin(TDiagramAxis a, int v) {
    SetNumber(a, &TChartAxis::StepMin, v, true);
}
void TDiagramContext::SetZoom(TDiagramAxis a, double v) {
    SetNumber(a, &TChartAxis::Zoom, v, false);
}
void TDiagramContext::SetColorValue(TDiagramAxis a, QColor v) {
    SetAxisValue(a, &TAxisState::ColorValue, v);
}
void TDiagramContext::SetColorLine(TDiagramAxis a, QColor v) {
    SetAxisValue(a, &TAxisState::ColorLine, v);
}
void TDiagramContext::SetColorCrossLine(TDiagramAxis a, QColor v) {
    SetAxisValue(a, &TAxisState::ColorCrossLine, v);
}

void TDiagramContext::SetLineWidth(int v) {
    SetChartValue(lineWidth_, std::max(1, v));
}
void TDiagramContext::SetCurves(int v) {
    SetChartValue(curves_[daY], std::max(0, v));
}
void TDiagramContext::SetCurvesY2(int v) {
    SetChartValue(curves_[daY2], std::max(0, v));
}
void TDiagramContext::SetCurvesMinMax(int v) {
    SetChartValue(bands_[daY], std::max(0, v));
}
void TDiagramContext::SetCurvesY2MinMax(int v) {
    SetChartValue(bands_[daY2], std::max(0, v));
}
void TDiagramContext::SetLines(bool v) {
    SetChartValue(lines_, v);
}
void TDiagramContext::SetPaperColor(QColor v) {
    SetChartValue(paperColor_, v);
}
void TDiagramContext::SetLayout(TDiagramLayout v) {
    SetChartValue(layout_, v);
}
void TDiagramContext::SetMarginLeft(int v) {
    SetChartValue(margins_[0], std::max(0, v));
}
void TDiagramContext::SetMarginTop(int v) {
    SetChartValue(margins_[1], std::max(0, v));
}
void TDiagramContext::SetMarginRight(int v) {
    SetChartValue(margins_[2], std::max(0, v));
}
void TDiagramContext::SetMarginBottom(int v) {
    SetChartValue(margins_[3], std::max(0, v));
}
void TDiagramContext::SetReplaceSpecialChars(bool v) {
    SetChartValue(replaceSpecialChars_, v);
}

void TDiagramContext::Changed() {
    layoutDirty_ = true;
    TCustomContextTAV::Changed();
}

QString TDiagramContext::Caption(TDiagramAxis a) const {
    const TAxisState& axis = axes_[a];
    return QString::fromStdString(
        ChartAxisCaption(axis.Unit.toStdString(), axis.Numbers.Measurement, replaceSpecialChars_));
}

// --- geometry -------------------------------------------------------------------------

const TDiagramContext::TLayoutCache& TDiagramContext::Geometry(const QFontMetrics* metrics) const {
    const QRect rect = Canvas() || !Owner() ? Rect() : Owner()->rect();
    if (layoutDirty_ || rect != layoutCache_.Source) {
        if (metrics) {
            ComputeLayout(rect, *metrics);
        } else if (Owner()) {
            ComputeLayout(rect, QFontMetrics(Owner()->font(), Owner()));
        } else {
            ComputeLayout(rect, QFontMetrics(QFont()));
        }
        layoutDirty_ = false;
    }
    return layoutCache_;
}

void TDiagramContext::ComputeLayout(const QRect& rect, const QFontMetrics& fm) const {
    TLayoutCache& g = layoutCache_;
    g = TLayoutCache{};
    g.Source = rect;
    g.Area = rect.adjusted(margins_[0], margins_[1], -margins_[2], -margins_[3]);
    const int th = fm.height();

    // Label texts first: their widths decide how much room the plot area leaves them.
    struct TPending {
        double Value;
        QString Text;
        int Width;
    };
    std::array<std::vector<TPending>, cDiagramAxisCount> pending;
    std::array<int, cDiagramAxisCount> widest{0, 0, 0};
    std::array<int, cDiagramAxisCount> captionWidth{0, 0, 0};
    for (int i = 0; i < cDiagramAxisCount; ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        if (!AxisDrawn(a)) continue;
        g.Captions[a] = Caption(a);
        captionWidth[a] = fm.horizontalAdvance(g.Captions[a]);
        const int extent = a == daX ? g.Area.width() : g.Area.height();
        for (double v : ChartMarkValues(axes_[a].Numbers, MaxCount(extent))) {
            QString text = QString::fromStdString(ChartLabelText(axes_[a].Numbers, v));
            const int w = fm.horizontalAdvance(text);
            widest[a] = std::max(widest[a], w);
            pending[a].push_back({v, std::move(text), w});
        }
    }

    // Room around the plot area: Y labels on the left, Y2 labels on the right (cdlVelmarYY),
    // half an X label at either end, a caption row on top, the X labels below and the X
    // caption below them (cdlClassic, cdlVelmarYY) or at the end of the X axis (cdlVelmar).
    const int halfX = (widest[daX] + 1) / 2;
    const int tickRoom = cMarkTick + cTextGap;
    const int left = g.Area.left() + std::max(widest[daY] + tickRoom, halfX);
    int right = g.Area.right() - halfX;
    if (layout_ == cdlVelmarYY) right = g.Area.right() - std::max(widest[daY2] + tickRoom, halfX);
    if (layout_ == cdlVelmar)
        right = g.Area.right() - std::max(halfX, captionWidth[daX] + tickRoom);
    const int top = g.Area.top() + th + cTextGap;
    int bottom = g.Area.bottom() - (tickRoom + th);
    if (layout_ != cdlVelmar) bottom -= th;
    g.Plot = QRect(QPoint(left, top), QPoint(right, bottom));

    const TChartAxis& x = axes_[daX].Numbers;
    const TChartAxis& y = axes_[daY].Numbers;
    const TChartAxis& y2 = axes_[daY2].Numbers;
    // Min maps to the first pixel of the plot area and Max to its last, so a curve reaches
    // both edges and the extent is one less than the pixel count.
    g.Scales[daX] = TChartScale(x.Log, x.Min, x.Max, g.Plot.left(), g.Plot.width() - 1, 1);
    g.Scales[daY] = TChartScale(y.Log, y.Min, y.Max, g.Plot.bottom(), g.Plot.height() - 1, -1);
    g.Scales[daY2] = TChartScale(y2.Log, y2.Min, y2.Max, g.Plot.bottom(), g.Plot.height() - 1, -1);
    g.Valid = g.Plot.width() >= 4 && g.Plot.height() >= 4 && x.Drawable() && y.Drawable() &&
              (layout_ != cdlVelmarYY || y2.Drawable());
    if (!g.Valid) return;

    const int belowAxis = g.Plot.bottom() + tickRoom;
    g.CaptionRects[daY] = QRect(g.Plot.left() + cTextGap, g.Area.top(), captionWidth[daY], th);
    if (layout_ == cdlVelmarYY)
        g.CaptionRects[daY2] = QRect(g.Plot.right() - cTextGap - captionWidth[daY2] + 1,
                                     g.Area.top(), captionWidth[daY2], th);
    if (layout_ == cdlVelmar)
        g.CaptionRects[daX] =
            QRect(g.Plot.right() + tickRoom, g.Plot.bottom() - th / 2, captionWidth[daX], th);
    else
        g.CaptionRects[daX] =
            QRect(g.Plot.right() - captionWidth[daX] + 1, belowAxis + th, captionWidth[daX], th);

    // Labels centred on their ticks; the ones that crowd the previous or stick out of the
    // rectangle are left out.
    for (int i = 0; i < cDiagramAxisCount; ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        if (!AxisDrawn(a)) continue;
        std::vector<TDiagramLabel> labels;
        std::vector<TChartLabelSpan> spans;
        for (const TPending& p : pending[a]) {
            const int pixel = g.Scales[a].ToPixel(p.Value);
            QRect r;
            if (a == daX)
                r = QRect(pixel - p.Width / 2, belowAxis, p.Width, th);
            else if (a == daY)
                r = QRect(g.Plot.left() - tickRoom - p.Width, pixel - th / 2, p.Width, th);
            else
                r = QRect(g.Plot.right() + tickRoom + 1, pixel - th / 2, p.Width, th);
            labels.push_back({p.Value, p.Text, r});
            spans.push_back(a == daX ? TChartLabelSpan{r.left(), r.left() + r.width()}
                                     : TChartLabelSpan{r.top(), r.top() + r.height()});
        }
        const bool horizontal = a == daX;
        const int lo = horizontal ? g.Area.left() : g.Area.top();
        const int hi = horizontal ? g.Area.right() + 1 : g.Area.bottom() + 1;
        const std::vector<bool> keep = ChartKeepLabels(spans, lo, hi, cLabelGap);
        for (size_t k = 0; k < labels.size(); ++k)
            if (keep[k]) g.Labels[a].push_back(std::move(labels[k]));
    }
}

QRect TDiagramContext::PlotRect() const {
    return Geometry().Plot;
}

bool TDiagramContext::PlotValid() const {
    return Geometry().Valid;
}

const TChartScale& TDiagramContext::Scale(TDiagramAxis a) const {
    return Geometry().Scales[a];
}

int TDiagramContext::ValueToPixelX(double x) const {
    return Scale(daX).ToPixel(x);
}

int TDiagramContext::ValueToPixelY(double y, TDiagramAxis axis) const {
    return Scale(axis).ToPixel(y);
}

double TDiagramContext::PixelToValue(TDiagramAxis axis, int pixel) const {
    return Scale(axis).ToValue(pixel);
}

bool TDiagramContext::IsInside(double x, double y, QPoint& pixel, TDiagramAxis yAxis) const {
    const TLayoutCache& g = Geometry();
    pixel = QPoint(g.Scales[daX].ToPixel(x), g.Scales[yAxis].ToPixel(y));
    return g.Valid && g.Plot.contains(pixel);
}

const std::vector<TDiagramLabel>& TDiagramContext::Labels(TDiagramAxis a) const {
    return Geometry().Labels[a];
}

// --- zoom -----------------------------------------------------------------------------

bool TDiagramContext::ZoomTo(QPoint from, QPoint to) {
    const TLayoutCache& g = Geometry();
    const int x0 = std::min(from.x(), to.x()), x1 = std::max(from.x(), to.x());
    const int y0 = std::min(from.y(), to.y()), y1 = std::max(from.y(), to.y());
    if (!g.Valid || x1 <= x0 || y1 <= y0) return false;

    if (!zoomed_)
        for (TAxisState& axis : axes_) axis.Numbers.Saved = {axis.Numbers.Min, axis.Numbers.Max};

    // Values first: the scales belong to the ranges before the zoom.
    const std::array<std::pair<double, double>, cDiagramAxisCount> wanted{{
        {g.Scales[daX].ToValue(x0), g.Scales[daX].ToValue(x1)},
        {g.Scales[daY].ToValue(y1), g.Scales[daY].ToValue(y0)},
        {g.Scales[daY2].ToValue(y1), g.Scales[daY2].ToValue(y0)},
    }};
    for (int i = 0; i < cDiagramAxisCount; ++i) {
        TChartAxis& axis = axes_[i].Numbers;
        if (!g.Scales[i].Valid()) continue;
        const auto range =
            ChartZoomRange(axis.Log, wanted[i].first, wanted[i].second, axis.Saved, axis.Zoom);
        if (!range) continue;
        axis.Min = range->Min;
        axis.Max = range->Max;
        axis.UpdateAutoStep();
    }
    zoomed_ = true;
    Changed();
    return true;
}

void TDiagramContext::ZoomUndo() {
    if (!zoomed_) return;
    for (TAxisState& axis : axes_) {
        axis.Numbers.Min = axis.Numbers.Saved.Min;
        axis.Numbers.Max = axis.Numbers.Saved.Max;
        axis.Numbers.UpdateAutoStep();
    }
    zoomed_ = false;
    Changed();
}

void TDiagramContext::StartRubberBand(QPoint anchor) {
    anchor_ = anchor;
    current_ = anchor;
    bandVisible_ = false;
}

void TDiagramContext::MoveRubberBand(QPoint current) {
    current_ = current;
    bandVisible_ = true;
}

QRect TDiagramContext::RubberBand() const {
    // Not QRect::normalized(): it shifts the corners of a rectangle spanned backwards.
    return QRect(QPoint(std::min(anchor_.x(), current_.x()), std::min(anchor_.y(), current_.y())),
                 QPoint(std::max(anchor_.x(), current_.x()), std::max(anchor_.y(), current_.y())));
}

void TDiagramContext::DrawRubberBand(QPainter& painter) const {
    if (!bandVisible_) return;
    TPainterState state(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
    // Inverting keeps the band visible over any colour; an engine without raster
    // operations gets the plain black band.
    if (painter.paintEngine() && painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    const QRect r = RubberBand();
    painter.drawRect(QRect(r.topLeft(), QSize(r.width() - 1, r.height() - 1)));
}

// --- painting -------------------------------------------------------------------------

void TDiagramContext::Paint() {
    QPainter* p = Canvas();
    if (!p) return;
    TPainterState state(*p);
    p->setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm = p->fontMetrics();
    layoutDirty_ = true;
    const TLayoutCache& g = Geometry(&fm);

    p->fillRect(Rect(), paperColor_);
    if (!g.Valid) return;

    UserPaint(plPaper);
    DrawGrid();
    DrawBands();
    UserPaint(plGetMinMax);
    DrawGrid();
    UserPaint(plCross);
    DrawMarks();
    DrawCaptions();
    UserPaint(plUnits);
    DrawCurves();
    UserPaint(plGetY);
}

void TDiagramContext::UserPaint(TPaintLayer layer) {
    if (!chart_.OnUserPaint) return;
    TPainterState state(*Canvas());
    chart_.OnUserPaint(&chart_, layer, *Canvas());
}

void TDiagramContext::DrawGrid() {
    QPainter& p = *Canvas();
    const TLayoutCache& g = layoutCache_;
    const QRect& plot = g.Plot;
    TLineRuns lines, axisLines, ticks;
    for (int i = 0; i < AxesDrawn(); ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        const TAxisState& axis = axes_[a];
        const int extent = a == daX ? plot.width() : plot.height();
        for (double v : ChartGridValues(axis.Numbers, MaxCount(extent))) {
            const int px = g.Scales[a].ToPixel(v);
            if (a == daX) {
                if (lines_) lines.Add(axis.ColorLine, QLine(px, plot.top(), px, plot.bottom()));
                ticks.Add(axis.ColorCrossLine,
                          QLine(px, plot.bottom() - cGridTick, px, plot.bottom() + cGridTick));
            } else {
                if (lines_) lines.Add(axis.ColorLine, QLine(plot.left(), px, plot.right(), px));
                const int at = a == daY ? plot.left() : plot.right();
                ticks.Add(axis.ColorCrossLine, QLine(at - cGridTick, px, at + cGridTick, px));
            }
        }
    }
    axisLines.Add(axes_[daX].ColorCrossLine,
                  QLine(plot.left(), plot.bottom(), plot.right(), plot.bottom()));
    axisLines.Add(axes_[daY].ColorCrossLine,
                  QLine(plot.left(), plot.top(), plot.left(), plot.bottom()));
    if (AxisDrawn(daY2))
        axisLines.Add(axes_[daY2].ColorCrossLine,
                      QLine(plot.right(), plot.top(), plot.right(), plot.bottom()));
    lines.Draw(p);
    axisLines.Draw(p);
    ticks.Draw(p);
}

void TDiagramContext::DrawBands() {
    QPainter& p = *Canvas();
    const TLayoutCache& g = layoutCache_;
    const QRect& plot = g.Plot;
    for (TDiagramAxis a : {daY2, daY}) {
        const TGetYMinMaxEvent& event = a == daY ? chart_.OnGetYMinMax : chart_.OnGetY2MinMax;
        const int count = bands_[a];
        if (!AxisDrawn(a) || !event || count <= 0) continue;
        const TChartScale& sy = g.Scales[a];
        // The owner is asked column by column; each band's lines go into their own runs.
        // Lines of different columns never overlap, so drawing band by band afterwards
        // gives the same picture as drawing column by column.
        std::vector<TLineRuns> runs(count);
        for (int px = plot.left(); px <= plot.right(); ++px) {
            const double x = g.Scales[daX].ToValue(px);
            for (int c = 0; c < count; ++c) {
                double minY = 0.0, maxY = 0.0;
                QColor color = axes_[a].ColorValue;
                bool valid = false;
                event(&chart_, x, c, minY, maxY, color, valid);
                if (!valid || !std::isfinite(minY) || !std::isfinite(maxY)) continue;
                const int r1 = sy.ToPixel(maxY);
                const int r2 = sy.ToPixel(minY);
                const int top = std::max(std::min(r1, r2), plot.top());
                const int bottom = std::min(std::max(r1, r2), plot.bottom());
                if (top <= bottom) runs[c].Add(color, QLine(px, top, px, bottom));
            }
        }
        for (const TLineRuns& r : runs) r.Draw(p);
    }
}

void TDiagramContext::DrawMarks() {
    QPainter& p = *Canvas();
    const TLayoutCache& g = layoutCache_;
    const QRect& plot = g.Plot;
    TLineRuns ticks;
    for (int i = 0; i < AxesDrawn(); ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        const TAxisState& axis = axes_[a];
        const int extent = a == daX ? plot.width() : plot.height();
        for (double v : ChartMarkValues(axis.Numbers, MaxCount(extent))) {
            const int px = g.Scales[a].ToPixel(v);
            if (a == daX) {
                ticks.Add(axis.ColorCrossLine,
                          QLine(px, plot.bottom() - cMarkTick, px, plot.bottom() + cMarkTick));
            } else {
                const int at = a == daY ? plot.left() : plot.right();
                ticks.Add(axis.ColorCrossLine, QLine(at - cMarkTick, px, at + cMarkTick, px));
            }
        }
    }
    ticks.Draw(p);
    for (int i = 0; i < AxesDrawn(); ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        p.setPen(axes_[a].ColorValue);
        const int align = a == daX ? Qt::AlignHCenter : a == daY ? Qt::AlignRight : Qt::AlignLeft;
        for (const TDiagramLabel& label : g.Labels[a])
            p.drawText(label.Rect, align | Qt::AlignVCenter, label.Text);
    }
}

void TDiagramContext::DrawCaptions() {
    QPainter& p = *Canvas();
    const TLayoutCache& g = layoutCache_;
    for (int i = 0; i < AxesDrawn(); ++i) {
        const auto a = static_cast<TDiagramAxis>(i);
        if (g.Captions[a].isEmpty()) continue;
        p.setPen(axes_[a].ColorValue);
        p.drawText(g.CaptionRects[a], Qt::AlignLeft | Qt::AlignVCenter, g.Captions[a]);
    }
}

void TDiagramContext::DrawCurves() {
    QPainter& p = *Canvas();
    const TLayoutCache& g = layoutCache_;
    const QRect& plot = g.Plot;
    TPainterState state(p);
    // Lines towards values outside the plot area are drawn up to its edge.
    p.setClipRect(plot);

    std::vector<double> xs;
    xs.reserve(plot.width());
    for (int px = plot.left(); px <= plot.right(); ++px) xs.push_back(g.Scales[daX].ToValue(px));

    const int width = lineWidth_;
    std::vector<QPoint> run;
    QColor runColor;
    auto flush = [&] {
        if (run.empty()) return;
        p.setPen(QPen(runColor, 1));
        for (int k = 0; k < width; ++k) {
            // A wider line repeats the curve on `width` rows starting width/2 above it.
            const int dy = k - width / 2;
            if (dy != 0)
                for (QPoint& pt : run) pt.ry() += dy;
            if (run.size() == 1)
                p.drawPoint(run.front());
            else
                p.drawPolyline(run.data(), static_cast<int>(run.size()));
            if (dy != 0)
                for (QPoint& pt : run) pt.ry() -= dy;
        }
        run.clear();
    };

    for (TDiagramAxis a : {daY2, daY}) {
        const TGetYEvent& event = a == daY ? chart_.OnGetY : chart_.OnGetY2;
        if (!AxisDrawn(a) || !event) continue;
        const TChartScale& sy = g.Scales[a];
        for (int c = 0; c < curves_[a]; ++c) {
            bool previousValid = false;
            QPoint previous;
            for (size_t i = 0; i < xs.size(); ++i) {
                double y = 0.0;
                QColor color = axes_[a].ColorValue;
                bool valid = true;
                event(&chart_, xs[i], c, y, color, valid);
                if (!valid || !std::isfinite(y)) {
                    flush();
                    previousValid = false;
                    continue;
                }
                const QPoint pt(plot.left() + static_cast<int>(i), sy.ToPixel(y));
                if (previousValid && color != runColor) {
                    // A new colour takes over from the previous point on.
                    flush();
                    run.push_back(previous);
                } else if (!previousValid) {
                    flush();
                }
                runColor = color;
                run.push_back(pt);
                previous = pt;
                previousValid = true;
            }
            flush();
        }
    }
}
