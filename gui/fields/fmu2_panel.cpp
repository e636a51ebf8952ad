#include "gui/fields/fmu2_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

#include <algorithm>

TFMU2Panel::TFMU2Panel(QWidget* parent) : TFMU2Custom(parent) {
    panel_ = new QLabel(this);
    panel_->setObjectName(QStringLiteral("panel"));
    panel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The frame the style draws around a panel, closed on every side like an edit's.
    panel_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Row()->addWidget(panel_, 1);
    Row()->addWidget(UnitButton());
    // Nothing is typed here; the model refuses edits all the same.
    Model().SetReadOnly(true);
    ShowModel();
}

QString TFMU2Panel::DisplayText() const {
    return panel_->text();
}

QRect TFMU2Panel::TextRect() const {
    return panel_->geometry();
}

int TFMU2Panel::LineHeight() const {
    if (!panel_) return 0;
    // As a line edit measures itself: the font's line with a pixel above and below, at
    // least 14, then the frame the style draws around an edit.
    const QFontMetrics metrics = panel_->fontMetrics();
    const int text = std::max(metrics.height(), 14) + 2;
    QStyleOptionFrame option;
    option.initFrom(panel_);
    option.rect = panel_->rect();
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, panel_);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(100, text), panel_).height();
}

void TFMU2Panel::FitRow(int height) {
    TFMU2Custom::FitRow(height);
    if (panel_) panel_->setFixedHeight(height);
}

void TFMU2Panel::ShowText(const std::string& text) {
    if (panel_) panel_->setText(QString::fromStdString(text));
}

void TFMU2Panel::HintChanged() {
    panel_->setToolTip(Hint());
}
