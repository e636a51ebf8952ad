#pragma once

#include "core/calc/cup_loads.h"
#include "core/calc/workpiece.h"
#include "core/workflow/suction_cup_model.h"

#include <array>
#include <optional>

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QWidget>

class TVacuumApplication;

//! The three workpiece views with the suction cups in them: XY seen from above, XZ from the
//! front below it, YZ from the right beside XZ. All three share one scale, so that a length
//! is as long in each of them. Each view shows the workpiece outline about the workpiece
//! centre (the origin of the cups' positions), its centre of gravity (a red circle where the
//! load acts) and every cup as the model draws it, filled in the colour
//! of its load band (grey when misplaced), outlined black, and red when selected (white
//! when its fill is red).
//!
//! The mouse goes to the model: pressing on a cup selects it, dragging moves the selected
//! cups (Ctrl turns the focused cup about its axis, Alt tilts it), and the cursor shows what
//! a drag would do. The model decides whether anything happens (only manual positioning
//! moves cups). The views repaint when their owner calls Reload().
class TCupViews : public QWidget {
    Q_OBJECT

public:
    //! Colours of the load bands and of the drawing.
    static inline const QColor cNegative{128, 128, 0};  //!< pressed onto the cup (olive)
    static inline const QColor cOptimal{0, 255, 0};     //!< below 60 % (lime)
    static inline const QColor cHigh{0, 128, 0};        //!< 60 to 75 % (green)
    static inline const QColor cTooHigh{255, 0, 0};     //!< above 75 % (red)
    static inline const QColor cMisplaced{128, 128, 128};
    static inline const QColor cWorkpiece{255, 255, 0};
    static inline const QColor cBore{255, 255, 255};
    static inline const QColor cCentre{255, 0, 0};
    static inline const QColor cHolder{192, 192, 192};
    static inline const QColor cPaper{255, 255, 255};
    //! Radius of the centre-of-gravity circle, pixels.
    static constexpr int cCentreRadius = 5;
    //! Room between the views and around them, pixels.
    static constexpr int cGap = 12;
    static constexpr int cBorder = 4;
    //! Cups of a smaller radius (pixels) are drawn without smoothed edges.
    static constexpr double cSmoothRadius = 6.0;

    static QColor BandColor(TCupLoadBand band);

    explicit TCupViews(TVacuumApplication& app, QWidget* parent = nullptr);

    //! The workpiece or the cups changed: lays the views out again and repaints.
    void Reload();

    //! The rectangle of a view in the widget.
    QRect ViewRect(TCupViewPlane plane) const { return Pane(plane).Rect; }
    //! Pixels per metre, the same in every view (0 while the widget has no room).
    double Scale() const { return scale_; }
    //! Where a point of a view (workpiece coordinates along its axes, m) lies in the widget.
    QPointF ToPixel(TCupViewPlane plane, double u, double v) const;
    //! The point of a view under a widget pixel.
    TViewPoint FromPixel(TCupViewPlane plane, QPointF pixel) const;
    //! The view under a widget pixel.
    std::optional<TCupViewPlane> PlaneAt(QPoint pixel) const;
    //! The height the three views fill at a width (their common scale then bound by the
    //! width): more height leaves room below them.
    int HeightFor(int width) const;
    //! The cursor shown now.
    TCupCursor ShownCursor() const { return cursor_; }

    QSize sizeHint() const override { return {520, 420}; }
    QSize minimumSizeHint() const override { return {240, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct TPane {
        TCupViewPlane Plane = cvpXY;
        QRect Rect;
        TAxisRange Horizontal;
        TAxisRange Vertical;
        TWorkpieceOutline Outline;
    };

    const TPane& Pane(TCupViewPlane plane) const { return panes_[static_cast<size_t>(plane)]; }
    void Layout();
    void PaintPane(class QPainter& painter, const TPane& pane) const;
    void PaintCups(QPainter& painter, const TPane& pane) const;
    void ShowCursor(TCupCursor cursor);
    void HoverAt(QPoint pixel, Qt::KeyboardModifiers modifiers);

    TVacuumApplication& app_;
    std::array<TPane, 3> panes_;
    double scale_ = 0.0;
    bool dragging_ = false;
    TCupViewPlane dragPlane_ = cvpXY;
    TCupCursor cursor_ = ccrDefault;
};
