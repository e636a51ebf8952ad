#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;

//! The main window's status bar: the page number, the project's file name, the hint text
//! and the progress gauge, which shows only while something is under way.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    void SetPageText(const QString& text);
    void SetFileText(const QString& text);
    void SetHint(const QString& text);
    //! The verdict of the design: shown, in red, only while the design does not hold.
    void SetVerdict(const QString& text, bool holds);
    //! Percent done: the gauge hides at 100 and shows below.
    void SetProgress(int percent);

    QLabel* PagePanel() const { return page_; }
    QLabel* FilePanel() const { return file_; }
    QLabel* HintPanel() const { return hint_; }
    QLabel* VerdictPanel() const { return verdict_; }
    QProgressBar* Gauge() const { return gauge_; }

private:
    QLabel* verdict_ = nullptr;
    QLabel* page_;
    QLabel* file_;
    QLabel* hint_;
    QProgressBar* gauge_;
};
