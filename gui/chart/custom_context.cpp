#include "gui/chart/custom_context.h"

#include <QPainter>
#include <QWidget>

TCustomContextTAV::TCustomContextTAV(QWidget* owner) : owner_(owner) {}

TCustomContextTAV::~TCustomContextTAV() = default;

void TCustomContextTAV::SetRect(const QRect& rect) {
    if (rect == rect_) return;
    rect_ = rect;
    // No redraw request: the rectangle follows the control's size or a print target, and
    // either is painted right after.
    RectChanged();
}

void TCustomContextTAV::Paint() {
    if (!canvas_) return;
    canvas_->fillRect(rect_, Qt::white);
    canvas_->setPen(Qt::black);
    canvas_->drawText(rect_, Qt::AlignCenter, QStringLiteral("Rozovo-D"));
}

void TCustomContextTAV::Changed() {
    if (OnInvalidate) {
        OnInvalidate();
    } else if (owner_) {
        owner_->update();
    }
}
