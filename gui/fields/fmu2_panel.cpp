#include "gui/fields/fmu2_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

TFMU2Panel::TFMU2Panel(QWidget* parent) : TFMU2Custom(parent) {
    panel_ = new QLabel(this);
    panel_->setObjectName(QStringLiteral("panel"));
    panel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
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

void TFMU2Panel::ShowText(const std::string& text) {
    if (panel_) panel_->setText(QString::fromStdString(text));
}

void TFMU2Panel::HintChanged() {
    panel_->setToolTip(Hint());
}
