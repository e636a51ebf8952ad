#include "app/frame/main_status_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>

#include <algorithm>

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    setSizeGripEnabled(true);
    auto* messages = new QWidget(this);
    messages->setObjectName("StatusMessages");
    auto panel = [](const char* name, Qt::TextElideMode mode, QWidget* owner) {
        auto* label = new TElidedLabel(mode, owner);
        label->setObjectName(name);
        label->setContentsMargins(4, 0, 4, 0);
        return label;
    };
    page_ = panel("StatusPage", Qt::ElideRight, this);
    page_->setMinimumWidth(90);
    // A long path gives up its folders first, so the file name stays in view.
    file_ = panel("StatusFile", Qt::ElideLeft, this);
    file_->setMinimumWidth(160);
    hint_ = panel("StatusHint", Qt::ElideRight, messages);
    verdict_ = panel("StatusVerdict", Qt::ElideRight, messages);
    verdict_->setStyleSheet("color: #c00000;");
    verdict_->hide();
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName("StatusGauge");
    gauge_->setRange(0, 100);
    gauge_->setFixedWidth(140);
    gauge_->setMaximumHeight(16);
    gauge_->setTextVisible(false);
    gauge_->hide();
    // All panels are permanent, so that a menu's status tip never hides them.
    addPermanentWidget(page_, 0);
    addPermanentWidget(file_, 0);
    // The file name takes the room it needs up to two fifths of the bar. The hint and the
    // verdict share the rest: the verdict as much as its text needs, the hint what is left.
    auto* row = new QHBoxLayout(messages);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(hint_, 1);
    row->addWidget(verdict_, 0);
    addPermanentWidget(messages, 1);
    addPermanentWidget(gauge_, 0);
}

void TMainStatusBar::resizeEvent(QResizeEvent* event) {
    file_->setMaximumWidth(std::max(file_->minimumWidth(), width() * 2 / 5));
    QStatusBar::resizeEvent(event);
}

void TMainStatusBar::SetPageText(const QString& text) {
    page_->SetFullText(text);
}

void TMainStatusBar::SetFileText(const QString& text) {
    file_->SetFullText(text);
}

void TMainStatusBar::SetHint(const QString& text) {
    hint_->SetFullText(text);
}

void TMainStatusBar::SetProgress(int percent) {
    gauge_->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    gauge_->setVisible(percent < 100);
}

void TMainStatusBar::SetVerdict(const QString& text, bool holds, const QString& detail) {
    verdict_->SetFullText(holds ? QString() : text, holds ? QString() : detail);
    verdict_->setVisible(!holds && !text.isEmpty());
}
