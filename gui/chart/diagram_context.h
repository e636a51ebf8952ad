#pragma once

#include "core/chart/chart_axis.h"
#include "gui/chart/custom_context.h"
#include "gui/chart/diagram_types.h"

#include <array>
#include <vector>

#include <QColor>
#include <QPoint>
#include <QString>

class QFontMetrics;

//! One label of an axis as the chart draws it.
struct TDiagramLabel {
    double Value = 0.0;
    QString Text;
    QRect Rect; //!< where the text stands, in the drawing surface's coordinates
};

//! The chart's drawing context: the state of the three axes and of the paper, the layout
//! of plot area, labels and captions, and the painting of a chart onto any surface.
class TDiagramContext : public TCustomContextTAV {
public:
    explicit TDiagramContext(TDiagramm* chart);

    // Per-axis state (index daX, daY, daY2). A setter redraws when the value changes;
    // minimum, maximum, log flag, step minimum and auto-step recompute the automatic step.
    const TChartAxis& Axis(TDiagramAxis a) const { return axes_[a].Numbers; }
    double Min(TDiagramAxis a) const { return axes_[a].Numbers.Min; }
    double Max(TDiagramAxis a) const { return axes_[a].Numbers.Max; }
    TNUMessurement Measurement(TDiagramAxis a) const { return axes_[a].Numbers.Measurement; }
    bool Log(TDiagramAxis a) const { return axes_[a].Numbers.Log; }
    double Step(TDiagramAxis a) const { return axes_[a].Numbers.Step; }
    QString Unit(TDiagramAxis a) const { return axes_[a].Unit; }
    int Precision(TDiagramAxis a) const { return axes_[a].Numbers.Precision; }
    int Decimals(TDiagramAxis a) const { return axes_[a].Numbers.Decimals; }
    double Mark(TDiagramAxis a) const { return axes_[a].Numbers.Mark; }
    bool AutoStep(TDiagramAxis a) const { return axes_[a].Numbers.AutoStep; }
    int StepMin(TDiagramAxis a) const { return axes_[a].Numbers.StepMin; }
    double Zoom(TDiagramAxis a) const { return axes_[a].Numbers.Zoom; }
    QColor ColorValue(TDiagramAxis a) const { return axes_[a].ColorValue; }
    QColor ColorLine(TDiagramAxis a) const { return axes_[a].ColorLine; }
    QColor ColorCrossLine(TDiagramAxis a) const { return axes_[a].ColorCrossLine; }

    void SetMin(TDiagramAxis a, double v);
    void SetMax(TDiagramAxis a, double v);
    void SetMeasurement(TDiagramAxis a, TNUMessurement v);
    void SetLog(TDiagramAxis a, bool v);
    void SetStep(TDiagramAxis a, double v);
    void SetUnit(TDiagramAxis a, QString v);
    void SetPrecision(TDiagramAxis a, int v);
    void SetDecimals(TDiagramAxis a, int v);
    void SetMark(TDiagramAxis a, double v);
    void SetAutoStep(TDiagramAxis a, bool v);
    void SetStepMin(TDiagramAxis a, int v);
    void SetZoom(TDiagramAxis a, double v);
    void SetColorValue(TDiagramAxis a, QColor v);
    void SetColorLine(TDiagramAxis a, QColor v);
    void SetColorCrossLine(TDiagramAxis a, QColor v);

    // Chart-wide state.
    int LineWidth() const { return lineWidth_; }
    void SetLineWidth(int v);
    int Curves() const { return curves_[daY]; }
    void SetCurves(int v);
    int CurvesY2() const { return curves_[daY2]; }
    void SetCurvesY2(int v);
    int CurvesMinMax() const { return bands_[daY]; }
    void SetCurvesMinMax(int v);
    int CurvesY2MinMax() const { return bands_[daY2]; }
    void SetCurvesY2MinMax(int v);
    bool Lines() const { return lines_; }
    void SetLines(bool v);
    QColor PaperColor() const { return paperColor_; }
    void SetPaperColor(QColor v);
    TDiagramLayout Layout() const { return layout_; }
    void SetLayout(TDiagramLayout v);
    int MarginLeft() const { return margins_[0]; }
    void SetMarginLeft(int v);
    int MarginTop() const { return margins_[1]; }
    void SetMarginTop(int v);
    int MarginRight() const { return margins_[2]; }
    void SetMarginRight(int v);
    int MarginBottom() const { return margins_[3]; }
    void SetMarginBottom(int v);
    bool ReplaceSpecialChars() const { return replaceSpecialChars_; }
    void SetReplaceSpecialChars(bool v);

    //! Axes drawn: 3 in cdlVelmarYY, else 2.
    int AxesDrawn() const { return layout_ == cdlVelmarYY ? 3 : 2; }

    //! Paints the chart onto Canvas() within Rect().
    void Paint() override;

    // Geometry: during a paint that of the rectangle painted into, otherwise that of the
    // owning control (measured with its font).
    //! The plot area: the rectangle less margins, labels and captions.
    QRect PlotRect() const;
    //! Whether the chart draws more than paper: plot area of 4 × 4 pixels or more and
    //! mappable ranges on every drawn axis.
    bool PlotValid() const;
    //! Mapping of an axis: X over the plot width, Y and Y2 upwards over its height.
    const TChartScale& Scale(TDiagramAxis a) const;
    int ValueToPixelX(double x) const;
    int ValueToPixelY(double y, TDiagramAxis axis = daY) const;
    double PixelToValue(TDiagramAxis axis, int pixel) const;
    //! Pixel of (x, y) on the Y (or Y2) axis and whether it lies inside the plot area.
    bool IsInside(double x, double y, QPoint& pixel, TDiagramAxis yAxis = daY) const;
    //! The labels the chart draws on an axis (none on an axis that is not drawn).
    const std::vector<TDiagramLabel>& Labels(TDiagramAxis a) const;
    //! The axis caption with the unit symbol filled in.
    QString Caption(TDiagramAxis a) const;

    // Zoom.
    //! Zooms every axis to the rectangle spanned by two pixels; false (and nothing
    //! changed) when it has no width or height or the chart has no plot area.
    bool ZoomTo(QPoint from, QPoint to);
    //! Back to the ranges saved at the first zoom.
    void ZoomUndo();
    bool IsZoomed() const { return zoomed_; }

    // Rubber band of a zoom drag, in the control's coordinates.
    bool RubberBandVisible() const { return bandVisible_; }
    //! Anchors a band at the point where the drag started; it shows from the first move.
    void StartRubberBand(QPoint anchor);
    //! Draws the band to `current` from now on.
    void MoveRubberBand(QPoint current);
    QPoint RubberBandAnchor() const { return anchor_; }
    void HideRubberBand() { bandVisible_ = false; }
    //! The band's rectangle; its corners are the anchor and the current point.
    QRect RubberBand() const;
    //! Draws the band as a dash-dot rectangle that inverts the pixels under it.
    void DrawRubberBand(QPainter& painter) const;

    //! Drops the layout, as after a change of the owner's font.
    void InvalidateLayout() { layoutDirty_ = true; }

protected:
    void Changed() override;
    void RectChanged() override { layoutDirty_ = true; }

private:
    struct TAxisState {
        TChartAxis Numbers;
        QString Unit;
        QColor ColorValue;
        QColor ColorLine;
        QColor ColorCrossLine;
    };

    struct TLayoutCache {
        QRect Source; // the rectangle it was computed for
        QRect Area;   // rectangle less margins
        QRect Plot;
        bool Valid = false;
        std::array<TChartScale, cDiagramAxisCount> Scales;
        std::array<std::vector<TDiagramLabel>, cDiagramAxisCount> Labels;
        std::array<QString, cDiagramAxisCount> Captions;
        std::array<QRect, cDiagramAxisCount> CaptionRects;
    };

    bool AxisDrawn(TDiagramAxis a) const { return a != daY2 || layout_ == cdlVelmarYY; }
    template <class T> void SetAxisValue(TDiagramAxis a, T TAxisState::*field, const T& v);
    template <class T>
    void SetNumber(TDiagramAxis a, T TChartAxis::*field, const T& v, bool recomputesStep);
    template <class T> void SetChartValue(T& field, const T& v);

    const TLayoutCache& Geometry(const QFontMetrics* metrics = nullptr) const;
    void ComputeLayout(const QRect& rect, const QFontMetrics& fm) const;

    void UserPaint(TPaintLayer layer);
    void DrawGrid();
    void DrawBands();
    void DrawMarks();
    void DrawCaptions();
    void DrawCurves();

    TDiagramm& chart_;
    std::array<TAxisState, cDiagramAxisCount> axes_;
    int lineWidth_ = 1;
    std::array<int, cDiagramAxisCount> curves_{0, 1, 0};
    std::array<int, cDiagramAxisCount> bands_{0, 0, 0};
    bool lines_ = true;
    QColor paperColor_ = Qt::white;
    TDiagramLayout layout_ = cdlClassic;
    std::array<int, 4> margins_{0, 0, 0, 0};
    bool replaceSpecialChars_ = false;

    bool zoomed_ = false;
    bool bandVisible_ = false;
    QPoint anchor_;
    QPoint current_;

    mutable bool layoutDirty_ = true;
    mutable TLayoutCache layoutCache_;
};
