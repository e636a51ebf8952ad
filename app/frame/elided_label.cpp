#include "app/frame/elided_label.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

TElidedLabel::TElidedLabel(Qt::TextElideMode mode, QWidget* parent)
    : QLabel(parent), mode_(mode) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void TElidedLabel::SetFullText(const QString& text, const QString& tip) {
    tip_ = tip;
    setText(text);
    UpdateTip();
}

QString TElidedLabel::ShownText() const {
    return fontMetrics().elidedText(text(), mode_, contentsRect().width());
}

QSize TElidedLabel::minimumSizeHint() const {
    // As narrow as the ellipsis with the margins: the layout may give the room away.
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + m.left() + m.right(),
            QLabel::minimumSizeHint().height()};
}

void TElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(),
                          isEnabled(), ShownText(), foregroundRole());
}

void TElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    UpdateTip();
}

void TElidedLabel::UpdateTip() {
    setToolTip(!tip_.isEmpty() ? tip_ : ShownText() == text() ? QString() : text());
}
