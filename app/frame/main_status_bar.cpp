#include "app/frame/main_status_bar.h"

#include <QLabel>
#include <QProgressBar>

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    setSizeGripEnabled(true);
    auto panel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText);
        label->setContentsMargins(4, 0, 4, 0);
        return label;
    };
    page_ = panel("StatusPage");
    page_->setMinimumWidth(90);
    file_ = panel("StatusFile");
    file_->setMinimumWidth(160);
    hint_ = panel("StatusHint");
    verdict_ = panel("StatusVerdict");
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
    addPermanentWidget(file_, 2);
    addPermanentWidget(hint_, 3);
    addPermanentWidget(verdict_, 3);
    addPermanentWidget(gauge_, 0);
}

void TMainStatusBar::SetPageText(const QString& text) {
    page_->setText(text);
}

void TMainStatusBar::SetFileText(const QString& text) {
    file_->setText(text);
    file_->setToolTip(QString());
}

void TMainStatusBar::SetHint(const QString& text) {
    hint_->setText(text);
}

void TMainStatusBar::SetProgress(int percent) {
    gauge_->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    gauge_->setVisible(percent < 100);
}

void TMainStatusBar::SetVerdict(const QString& text, bool holds) {
    verdict_->setText(holds ? QString() : text);
    verdict_->setToolTip(holds ? QString() : text);
    verdict_->setVisible(!holds && !text.isEmpty());
}
