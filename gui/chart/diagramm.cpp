#include "gui/chart/diagramm.h"

#include <memory>

#include "gui/lang/qt_translators.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The unit captions of the three axes may be language keys, such as "~Vacuum".
void RegisterChartTranslator() {
    static const auto translator = [] {
        auto axis = [](TDiagramAxis a, const char* name) {
            return TQtTranslator::TProperty{
                name, [a](QObject* o) { return static_cast<TDiagramm*>(o)->Unit(a); },
                [a](QObject* o, const QString& t) { static_cast<TDiagramm*>(o)->SetUnit(a, t); }};
        };
        return std::make_unique<TQtTranslator>([](QObject* o) { return qobject_cast<TDiagramm*>(o) != nullptr; },
                                               std::vector<TQtTranslator::TProperty>{
                                                   axis(daX, "XUnit"), axis(daY, "YUnit"), axis(daY2, "Y2Unit")});
    }();
    (void)translator;
}

} // namespace

TDiagramm::TDiagramm(QWidget* parent)
    : QWidget(parent), context_(std::make_unique<TDiagramContext>(this)) {
    RegisterChartTranslator();
    context_->OnInvalidate = [this] { Redraw(); };
    resize(150, 100);
}

TDiagramm::~TDiagramm() = default;

void TDiagramm::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0 && redrawPending_) {
        redrawPending_ = false;
        Redraw();
    }
}

void TDiagramm::Redraw() {
    if (updateCount_ > 0) {
        redrawPending_ = true;
        return;
    }
    dragImage_ = QImage();
    update();
}

void TDiagramm::PaintGuarded(QPainter& painter, const QRect& rect) {
    context_->SetRect(rect);
    context_->SetCanvas(&painter);
    try {
        context_->Paint();
    } catch (...) {
        // A failing owner handler ends this paint; the next repaint tries again.
    }
    context_->SetCanvas(nullptr);
}

void TDiagramm::RenderTo(QPainter& painter, const QRect& rect) {
    PaintGuarded(painter, rect);
}

QImage TDiagramm::Render(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font());
    RenderTo(painter, image.rect());
    return image;
}

void TDiagramm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (context_->RubberBandVisible()) {
        if (dragImage_.isNull()) {
            const qreal ratio = devicePixelRatioF();
            dragImage_ = QImage(size() * ratio, QImage::Format_RGB32);
            dragImage_.setDevicePixelRatio(ratio);
            QPainter imagePainter(&dragImage_);
            imagePainter.setFont(font());
            PaintGuarded(imagePainter, rect());
        }
        painter.drawImage(0, 0, dragImage_);
        context_->DrawRubberBand(painter);
        return;
    }
    PaintGuarded(painter, rect());
}

void TDiagramm::resizeEvent(QResizeEvent* event) {
    dragImage_ = QImage();
    QWidget::resizeEvent(event);
}

void TDiagramm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        context_->InvalidateLayout();
        Redraw();
    }
    QWidget::changeEvent(event);
}

void TDiagramm::mousePressEvent(QMouseEvent* event) {
    if (zoomEnabled_ && (event->modifiers() & Qt::ShiftModifier)) {
        const QPoint p = event->position().toPoint();
        dragActive_ = event->button() == Qt::LeftButton;
        if (dragActive_) context_->StartRubberBand(p);
    }
    if (OnMouseDown) OnMouseDown(this, event);
}

void TDiagramm::mouseMoveEvent(QMouseEvent* event) {
    if (dragActive_) {
        const QPoint p = event->position().toPoint();
        if (rect().contains(p))
            context_->MoveRubberBand(p);
        else
            context_->HideRubberBand();
        update();
    }
    if (OnMouseMove) OnMouseMove(this, event);
}

void TDiagramm::mouseReleaseEvent(QMouseEvent* event) {
    if (dragActive_ && event->button() == Qt::LeftButton) {
        dragActive_ = false;
        const bool erase = context_->RubberBandVisible();
        context_->HideRubberBand();
        dragImage_ = QImage();
        // The zoom redraws through the context; a band that is not zoomed to is erased.
        if (!context_->ZoomTo(context_->RubberBandAnchor(), event->position().toPoint()) && erase)
            update();
    }
    if (OnMouseUp) OnMouseUp(this, event);
}

void TDiagramm::leaveEvent(QEvent* event) {
    if (context_->RubberBandVisible()) {
        context_->HideRubberBand();
        update();
    }
    QWidget::leaveEvent(event);
}
