#include "app/views/cup_views.h"

#include "core/document/my_project.h"
#include "core/workflow/vacuum_application.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPolygonF Polygon(const TCupViews& views, TCupViewPlane plane,
                  const std::vector<TViewPoint>& outline) {
    QPolygonF polygon;
    polygon.reserve(static_cast<int>(outline.size()));
    for (const TViewPoint& p : outline) polygon << views.ToPixel(plane, p.U, p.V);
    return polygon;
}

unsigned Keys(Qt::KeyboardModifiers modifiers) {
    unsigned keys = ckNone;
    if (modifiers & Qt::ShiftModifier) keys |= ckShift;
    if (modifiers & Qt::ControlModifier) keys |= ckCtrl;
    if (modifiers & Qt::AltModifier) keys |= ckAlt;
    return keys;
}

// A 32 x 32 cursor image with an arrow head at the end of a path, hot spot in the middle.
QCursor DrawnCursor(const QPainterPath& path, QPointF tip, double angle) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath head;
    head.moveTo(0, 0);
    head.lineTo(-7, -4);
    head.lineTo(-7, 4);
    head.closeSubpath();
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotate(angle);
    head = t.map(head);
    // White under black, so that the cursor shows on any background.
    for (const auto& [colour, width] : {std::pair{Qt::white, 4.0}, std::pair{Qt::black, 1.6}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(colour);
        p.drawPath(head);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawPoint(16, 16);
    return QCursor(pixmap, 16, 16);
}

// Turning about the cup's axis: an arc round the hot spot with an arrow head.
const QCursor& RotateCursor() {
    static const QCursor cursor = [] {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(5, 5, 22, 22), 110);
        arc.arcTo(QRectF(5, 5, 22, 22), 110, 280);
        return DrawnCursor(arc, arc.currentPosition(), 15);
    }();
    return cursor;
}

// Tilting the cup's axis: an axis through the hot spot and a bow swung from its top.
const QCursor& TiltCursor() {
    static const QCursor cursor = [] {
        QPainterPath path;
        path.moveTo(16, 29);
        path.lineTo(16, 5);
        path.moveTo(9, 6);
        path.quadTo(20, 2, 27, 12);
        return DrawnCursor(path, QPointF(27, 12), 60);
    }();
    return cursor;
}

} // namespace

QColor TCupViews::BandColor(TCupLoadBand band) {
    switch (band) {
    case clbNegative: return cNegative;
    case clbOptimal: return cOptimal;
    case clbHigh: return cHigh;
    case clbTooHigh: return cTooHigh;
    default: return cMisplaced;
    }
}

TCupViews::TCupViews(TVacuumApplication& app, QWidget* parent) : QWidget(parent), app_(app) {
    panes_[cvpXY].Plane = cvpXY;
    panes_[cvpXZ].Plane = cvpXZ;
    panes_[cvpYZ].Plane = cvpYZ;
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Layout();
}

void TCupViews::Reload() {
    Layout();
    update();
}

void TCupViews::Layout() {
    const TWorkpieceViews views = app_.Workpiece.Views(width(), height());
    panes_[cvpXY].Horizontal = views.XY.Horizontal;
    panes_[cvpXY].Vertical = views.XY.Vertical;
    panes_[cvpXY].Outline = views.XY.Outline;
    panes_[cvpXZ].Horizontal = views.XZ.Horizontal;
    panes_[cvpXZ].Vertical = views.XZ.Vertical;
    panes_[cvpXZ].Outline = views.XZ.Outline;
    panes_[cvpYZ].Horizontal = views.YZ.Horizontal;
    panes_[cvpYZ].Vertical = views.YZ.Vertical;
    panes_[cvpYZ].Outline = views.YZ.Outline;

    // One scale for all three: XY above XZ (their heights add up), YZ beside XZ (their
    // widths add up), each view showing its whole axis ranges.
    auto span = [](const TAxisRange& r) { return std::max(r.Max - r.Min, 1e-9); };
    const double across = span(views.XZ.Horizontal) + span(views.YZ.Horizontal);
    const double up = span(views.XY.Vertical) + span(views.XZ.Vertical);
    const double roomW = width() - 2.0 * cBorder - cGap;
    const double roomH = height() - 2.0 * cBorder - cGap;
    const double scale = std::min(roomW / across, roomH / up);
    scale_ = std::isfinite(scale) && scale > 0.0 ? scale : 0.0;

    const int wX = static_cast<int>(std::floor(scale_ * span(views.XZ.Horizontal)));
    const int wY = static_cast<int>(std::floor(scale_ * span(views.YZ.Horizontal)));
    const int hY = static_cast<int>(std::floor(scale_ * span(views.XY.Vertical)));
    const int hZ = static_cast<int>(std::floor(scale_ * span(views.XZ.Vertical)));
    // The three views centred across the widget, at its top (in line with the inputs
    // beside them).
    const int left = (width() - (wX + cGap + wY)) / 2;
    const int top = cBorder;
    panes_[cvpXY].Rect = QRect(left, top, wX, hY);
    panes_[cvpXZ].Rect = QRect(left, top + hY + cGap, wX, hZ);
    panes_[cvpYZ].Rect = QRect(left + wX + cGap, top + hY + cGap, wY, hZ);
}

int TCupViews::HeightFor(int width) const {
    const TWorkpieceViews views = app_.Workpiece.Views(width, height());
    auto span = [](const TAxisRange& r) { return std::max(r.Max - r.Min, 1e-9); };
    const double across = span(views.XZ.Horizontal) + span(views.YZ.Horizontal);
    const double up = span(views.XY.Vertical) + span(views.XZ.Vertical);
    const double scale = (width - 2.0 * cBorder - cGap) / across;
    if (!(scale > 0.0) || !std::isfinite(scale)) return 0;
    return static_cast<int>(std::ceil(scale * up)) + 2 * cBorder + cGap;
}

QPointF TCupViews::ToPixel(TCupViewPlane plane, double u, double v) const {
    const TPane& p = Pane(plane);
    const QRectF r(p.Rect);
    const double cu = (p.Horizontal.Min + p.Horizontal.Max) / 2.0;
    const double cv = (p.Vertical.Min + p.Vertical.Max) / 2.0;
    return {r.center().x() + (u - cu) * scale_, r.center().y() - (v - cv) * scale_};
}

TViewPoint TCupViews::FromPixel(TCupViewPlane plane, QPointF pixel) const {
    const TPane& p = Pane(plane);
    const QRectF r(p.Rect);
    if (!(scale_ > 0.0)) return {};
    const double cu = (p.Horizontal.Min + p.Horizontal.Max) / 2.0;
    const double cv = (p.Vertical.Min + p.Vertical.Max) / 2.0;
    return {cu + (pixel.x() - r.center().x()) / scale_, cv - (pixel.y() - r.center().y()) / scale_};
}

std::optional<TCupViewPlane> TCupViews::PlaneAt(QPoint pixel) const {
    for (const TPane& p : panes_)
        if (p.Rect.contains(pixel)) return p.Plane;
    return std::nullopt;
}

void TCupViews::resizeEvent(QResizeEvent*) {
    Layout();
}

void TCupViews::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!(scale_ > 0.0)) return;
    for (const TPane& pane : panes_) PaintPane(painter, pane);
}

void TCupViews::PaintPane(QPainter& painter, const TPane& pane) const {
    if (pane.Rect.isEmpty()) return;
    painter.save();
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(cPaper);
    painter.drawRect(QRectF(pane.Rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setClipRect(pane.Rect.adjusted(1, 1, -1, -1));

    // The centre lines of the workpiece.
    const QPointF origin = ToPixel(pane.Plane, 0.0, 0.0);
    painter.setPen(QPen(QColor(176, 176, 176), 1, Qt::DashDotLine));
    painter.drawLine(QPointF(pane.Rect.left(), origin.y()), QPointF(pane.Rect.right(), origin.y()));
    painter.drawLine(QPointF(origin.x(), pane.Rect.top()), QPointF(origin.x(), pane.Rect.bottom()));

    // The workpiece about its centre, the origin of the cups' positions; the centre of
    // gravity, where the load acts, where it lies relative to that centre.
    const TWorkpieceOutline& o = pane.Outline;
    const QPointF centre = origin;
    const QPointF gravity = ToPixel(pane.Plane, o.CenterH, o.CenterV);
    const QRectF body(centre.x() - o.Width * scale_ / 2.0, centre.y() - o.Height * scale_ / 2.0,
                      o.Width * scale_, o.Height * scale_);
    switch (o.Kind) {
    case cwoEnvelope:
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(body);
        break;
    case cwoRectangle:
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(cWorkpiece);
        painter.drawRect(body);
        break;
    case cwoCircle:
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(cWorkpiece);
        painter.drawEllipse(body);
        if (o.Bore > 0.0) {
            painter.setBrush(cBore);
            painter.drawEllipse(centre, o.Bore * scale_ / 2.0, o.Bore * scale_ / 2.0);
        }
        break;
    }

    // The centre of gravity, where the load acts.
    painter.setPen(QPen(cCentre, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(gravity, cCentreRadius, cCentreRadius);

    PaintCups(painter, pane);

    // The name of the view in its corner.
    static constexpr const char* kNames[] = {"X-Y", "X-Z", "Y-Z"};
    painter.setClipping(false);
    painter.setPen(palette().color(QPalette::Dark));
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    painter.setFont(small);
    painter.drawText(pane.Rect.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop,
                     kNames[pane.Plane]);
    painter.restore();
}

void TCupViews::PaintCups(QPainter& painter, const TPane& pane) const {
    const TSuctionCupModel& model = app_.Cups;
    const int n = model.Cups().Count();
    // Cups a few pixels wide look the same without smoothed edges, which would cost most of
    // the time of a view with hundreds of them.
    const double radius = model.Cups().CupType.RadiusLong * scale_;
    painter.setRenderHint(QPainter::Antialiasing, radius >= cSmoothRadius);
    for (int i = 0; i < n; ++i) {
        const TCupFigure figure = model.CupFigure(pane.Plane, i);
        const QColor fill = BandColor(model.CupBand(i));
        const bool selected = model.Cups().Sauger(i)->Selected;
        const QPen outline = selected ? QPen(fill == cTooHigh ? Qt::white : cTooHigh, 2)
                                      : QPen(Qt::black, 1);
        auto holder = [&] {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(cHolder);
            painter.drawConvexPolygon(Polygon(*this, pane.Plane, figure.Holder));
        };
        if (!figure.HolderInFront) holder();
        painter.setPen(outline);
        painter.setBrush(fill);
        painter.drawConvexPolygon(Polygon(*this, pane.Plane, figure.Body));
        if (figure.HolderInFront) {
            holder();
        } else {
            // The lip faces the viewer.
            painter.setPen(selected ? outline : QPen(Qt::black, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolygon(Polygon(*this, pane.Plane, figure.Lip));
        }
    }
}

void TCupViews::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const std::optional<TCupViewPlane> plane = PlaneAt(event->position().toPoint());
    if (!plane) return;
    const TViewPoint p = FromPixel(*plane, event->position());
    const unsigned keys = Keys(event->modifiers());
    app_.Input([&] { app_.Cups.MouseDown(*plane, p.U, p.V, keys); });
    dragging_ = app_.Cups.Dragging();
    dragPlane_ = *plane;
}

void TCupViews::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        const TViewPoint p = FromPixel(dragPlane_, event->position());
        const unsigned keys = Keys(event->modifiers());
        app_.Input([&] { app_.Cups.MouseMove(dragPlane_, p.U, p.V, keys); });
        return;
    }
    HoverAt(event->position().toPoint(), event->modifiers());
}

void TCupViews::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (dragging_) app_.Input([&] { app_.Cups.MouseUp(); });
    dragging_ = false;
    HoverAt(event->position().toPoint(), event->modifiers());
}

void TCupViews::leaveEvent(QEvent*) {
    if (!dragging_) ShowCursor(ccrDefault);
}

void TCupViews::HoverAt(QPoint pixel, Qt::KeyboardModifiers modifiers) {
    const std::optional<TCupViewPlane> plane = PlaneAt(pixel);
    if (!plane) {
        ShowCursor(ccrDefault);
        return;
    }
    const TViewPoint p = FromPixel(*plane, pixel);
    ShowCursor(app_.Cups.CursorAt(*plane, p.U, p.V, Keys(modifiers)));
}

void TCupViews::ShowCursor(TCupCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    switch (cursor) {
    case ccrMove: setCursor(Qt::SizeAllCursor); break;
    case ccrRotate: setCursor(RotateCursor()); break;
    case ccrTilt: setCursor(TiltCursor()); break;
    case ccrNoMove: setCursor(Qt::ForbiddenCursor); break;
    default: unsetCursor(); break;
    }
}
