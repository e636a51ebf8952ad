#pragma once

#include "gui/chart/diagram_context.h"
#include "gui/chart/diagram_types.h"

#include <memory>

#include <QImage>
#include <QWidget>

// clang-format off
// Indexed getter and setter of a per-axis property and its X, Y and Y2 forms.
#define VACUUM_DIAGRAM_AXIS_PROPERTY(Name, Type)                                             \
    Type Name(TDiagramAxis a) const { return context_->Name(a); }                            \
    void Set##Name(TDiagramAxis a, Type v) { context_->Set##Name(a, v); }                     \
    Type X##Name() const { return context_->Name(daX); }                                     \
    void SetX##Name(Type v) { context_->Set##Name(daX, v); }                                  \
    Type Y##Name() const { return context_->Name(daY); }                                     \
    void SetY##Name(Type v) { context_->Set##Name(daY, v); }                                  \
    Type Y2##Name() const { return context_->Name(daY2); }                                   \
    void SetY2##Name(Type v) { context_->Set##Name(daY2, v); }

// Getter and setter of a chart-wide property kept by the drawing context.
#define VACUUM_DIAGRAM_PROPERTY(Name, Type)                                                  \
    Type Name() const { return context_->Name(); }                                           \
    void Set##Name(Type v) { context_->Set##Name(v); }
// clang-format on

//! The chart control. It owns no data: on every repaint it asks its owner for the value of
//! each curve and band once per pixel column of the plot area, so curves are drawn at
//! screen resolution from whatever the owner computes now. Up to three axes (X, Y and a
//! second Y axis Y2), linear or logarithmic; grid, marks, labels and unit captions; five
//! layers the owner may paint on; an optional rubber-band zoom (Shift + drag) with undo.
class TDiagramm : public QWidget {
    Q_OBJECT

public:
    explicit TDiagramm(QWidget* parent = nullptr);
    ~TDiagramm() override;

    // Events. The value events are called during painting and must not start a paint.
    TGetYEvent OnGetY;
    TGetYEvent OnGetY2;
    TGetYMinMaxEvent OnGetYMinMax;
    TGetYMinMaxEvent OnGetY2MinMax;
    TUserPaintEvent OnUserPaint;
    TDiagramMouseEvent OnMouseMove;
    TDiagramMouseEvent OnMouseDown;
    TDiagramMouseEvent OnMouseUp;

    // Per-axis properties: indexed (daX, daY, daY2) and as XMin, YMin, Y2Min ...
    VACUUM_DIAGRAM_AXIS_PROPERTY(Min, double)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Max, double)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Measurement, TNUMessurement)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Log, bool)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Step, double)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Unit, QString)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Precision, int)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Decimals, int)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Mark, double)
    VACUUM_DIAGRAM_AXIS_PROPERTY(AutoStep, bool)
    VACUUM_DIAGRAM_AXIS_PROPERTY(StepMin, int)
    VACUUM_DIAGRAM_AXIS_PROPERTY(Zoom, double)
    VACUUM_DIAGRAM_AXIS_PROPERTY(ColorValue, QColor)
    VACUUM_DIAGRAM_AXIS_PROPERTY(ColorLine, QColor)
    VACUUM_DIAGRAM_AXIS_PROPERTY(ColorCrossLine, QColor)

    // Chart-wide properties.
    VACUUM_DIAGRAM_PROPERTY(LineWidth, int)
    VACUUM_DIAGRAM_PROPERTY(Curves, int)
    VACUUM_DIAGRAM_PROPERTY(CurvesY2, int)
    VACUUM_DIAGRAM_PROPERTY(CurvesMinMax, int)
    VACUUM_DIAGRAM_PROPERTY(CurvesY2MinMax, int)
    VACUUM_DIAGRAM_PROPERTY(Lines, bool)
    VACUUM_DIAGRAM_PROPERTY(PaperColor, QColor)
    VACUUM_DIAGRAM_PROPERTY(Layout, TDiagramLayout)
    VACUUM_DIAGRAM_PROPERTY(MarginLeft, int)
    VACUUM_DIAGRAM_PROPERTY(MarginRight, int)
    VACUUM_DIAGRAM_PROPERTY(MarginTop, int)
    VACUUM_DIAGRAM_PROPERTY(MarginBottom, int)
    VACUUM_DIAGRAM_PROPERTY(ReplaceSpecialChars, bool)

    //! Whether Shift + left drag zooms.
    bool ZoomEnabled() const { return zoomEnabled_; }
    void SetZoomEnabled(bool v) { zoomEnabled_ = v; }

    //! The drawing context (layout, labels, mapping).
    TDiagramContext& Context() { return *context_; }
    const TDiagramContext& Context() const { return *context_; }

    // Mapping for owners that place markers in OnUserPaint.
    int ValueToPixelX(double x) const { return context_->ValueToPixelX(x); }
    int ValueToPixelY(double y, TDiagramAxis axis = daY) const {
        return context_->ValueToPixelY(y, axis);
    }
    double PixelToValue(TDiagramAxis axis, int pixel) const {
        return context_->PixelToValue(axis, pixel);
    }
    bool IsInside(double x, double y, QPoint& pixel, TDiagramAxis yAxis = daY) const {
        return context_->IsInside(x, y, pixel, yAxis);
    }
    QRect PlotRect() const { return context_->PlotRect(); }

    //! Opens an update: redraw requests are only remembered until the matching EndUpdate.
    void BeginUpdate() { ++updateCount_; }
    //! Closes an update; the last one redraws once if a request came in meanwhile.
    void EndUpdate();
    //! Asks for a repaint (remembered while an update is open). Owners call it when the
    //! values behind their events changed.
    void Redraw();

    void ZoomUndo() { context_->ZoomUndo(); }
    bool IsZoomed() const { return context_->IsZoomed(); }

    //! Paints the chart onto any surface within `rect` (an image, a printer page); the
    //! control itself is not touched.
    void RenderTo(QPainter& painter, const QRect& rect);
    //! The chart painted into an image of the given size.
    QImage Render(QSize size);

    QSize sizeHint() const override { return QSize(150, 100); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PaintGuarded(QPainter& painter, const QRect& rect);

    std::unique_ptr<TDiagramContext> context_;
    int updateCount_ = 0;
    bool redrawPending_ = false;
    bool zoomEnabled_ = false;
    bool dragActive_ = false;
    // The chart as last painted, shown under the rubber band while a zoom is dragged so
    // that moving the band does not ask the owner for every curve again.
    QImage dragImage_;
};

#undef VACUUM_DIAGRAM_AXIS_PROPERTY
#undef VACUUM_DIAGRAM_PROPERTY
