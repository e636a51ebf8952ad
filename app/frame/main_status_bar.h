#pragma once

#include "app/frame/elided_label.h"

#include <QStatusBar>

class QLabel;
class QProgressBar;

//! The main window's status bar: the page number, the project's file name, the hint text
//! and the progress gauge, which shows only while something is under way. A text longer than
//! its panel is shortened with "…" and shown whole as the panel's tooltip.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    void SetPageText(const QString& text);
    void SetFileText(const QString& text);
    void SetHint(const QString& text);
    //! The verdict of the design: shown, in red, only while the design does not hold;
    //! `detail` (the cup and the instant that limit it) is its tooltip.
    void SetVerdict(const QString& text, bool holds, const QString& detail = QString());
    //! Percent done: the gauge hides at 100 and shows below.
    void SetProgress(int percent);

    TElidedLabel* PagePanel() const { return page_; }
    TElidedLabel* FilePanel() const { return file_; }
    TElidedLabel* HintPanel() const { return hint_; }
    TElidedLabel* VerdictPanel() const { return verdict_; }
    QProgressBar* Gauge() const { return gauge_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TElidedLabel* verdict_ = nullptr;
    TElidedLabel* page_;
    TElidedLabel* file_;
    TElidedLabel* hint_;
    QProgressBar* gauge_;
};
