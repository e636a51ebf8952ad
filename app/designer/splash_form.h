#pragma once

#include "core/shell/startup.h"

#include <memory>
#include <string>

#include <QWidget>

class IHelpViewer;
class ITimer;
class ITimerFactory;
class QLabel;
class QPushButton;
class TLanguageForm;

//! The start-up window, shown first while the program loads and again as the about window
//! ("~Info"): the program's name, its version, the department and rights lines, a picture
//! and "~Close". At start-up its timer closes it at the 6th tick, and the user's close
//! requests (a click on the picture, a label or "~Close") are refused before the 2nd; as
//! the about window it is modal and closes at once.
class TSplashForm : public QWidget {
    Q_OBJECT

public:
    TSplashForm(ITimerFactory& timers, IHelpViewer* help, QWidget* parent = nullptr);
    ~TSplashForm() override;

    TLanguageForm& Language() { return *language_; }
    //! The version shown, formatted into "~Version%s" in the current language.
    void SetVersion(const std::string& version);
    //! The version label follows the language (called on every language change).
    void UpdateVersionLabel();

    //! Shows the window at start-up, paints it at once and starts the timer.
    void ShowAtStart();
    //! "~Info": the window as a modal about window, when it is not shown already.
    void ShowAbout();
    //! A close request of the user.
    void RequestClose();
    //! Closes the window whatever the timer says (an unattended run).
    void CloseNow();
    bool AboutMode() const { return about_; }

    const TSplashTimer& Ticks() const { return ticks_; }
    ITimer& Timer() { return *timer_; }
    QLabel* VersionLabel() const { return version_; }
    QPushButton* CloseButton() const { return close_; }
    QWidget* Picture() const { return picture_; }

signals:
    //! The window was closed (by the timer, the user or CloseNow).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Tick();

    IHelpViewer* help_;
    std::unique_ptr<ITimer> timer_;
    TSplashTimer ticks_;
    std::string versionText_;
    bool about_ = false;
    bool force_ = false;
    QLabel* version_;
    QPushButton* close_;
    QWidget* picture_;
    std::unique_ptr<TLanguageForm> language_;
};
