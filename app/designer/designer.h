#pragma once

#include "core/data/orsik_connection.h"
#include "core/lang/language_dialog.h"
#include "core/lang/language_table.h"
#include "core/shell/command_line.h"
#include "core/shell/user_settings.h"
#include "core/util/signal.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QSize>
#include <QString>

class IFileDialogs;
class IHelpViewer;
class ILanguageChooser;
class IMessageBoxes;
class ITimerFactory;
class IUrlOpener;
class QWidget;
class TFormBrowser;
class TFormMain;
class TPlatformEnvironment;
class TSplashForm;
class TVacuumApplication;

//! What the program reaches the system through; the program's main hands in the Qt and
//! POSIX ones, the tests doubles. Everything outlives the designer.
struct TDesignerPlatform {
    TPlatformEnvironment& Env;
    IMessageBoxes& Messages;
    IFileDialogs& Files;
    ILanguageChooser& Languages;
    ITimerFactory& Timers;
    //! Null while the program has no help window.
    IHelpViewer* Help = nullptr;
    //! The screen size the window sizes are judged by; unset: the window's screen.
    std::function<QSize()> ScreenSize;
    //! Opens addresses (the shop's basket form) in the browser; null: through the desktop.
    IUrlOpener* Urls = nullptr;
};

//! The desktop program from start to end, in its order: the language container, the
//! language list and the settings (read with the command line), the start-up window in the
//! start-up language, the application with the product catalogue, the main window, the
//! first-run language choice; at the end the recent files. It owns everything the windows
//! share (the settings, the language dialog's list) and runs the unattended switches.
class TDesigner : public QObject {
    Q_OBJECT

public:
    //! `arguments` exclude the program path; the containers are read from `dataFolder`.
    TDesigner(TDesignerPlatform platform, std::vector<std::string> arguments,
              std::string dataFolder);
    ~TDesigner() override;

    //! Starts the program: false (LastError) when the product catalogue cannot be read.
    bool Start();
    const std::string& LastError() const { return lastError_; }
    //! The end of the program: the recent files are written once the disclaimer was
    //! accepted (a decline stores nothing).
    void Finish();

    TTavUserSettings& Settings() { return settings_; }
    TLanguageDialog32Bit& LanguageDialog() { return languageDialog_; }
    TSplashForm* Splash() const { return splash_.get(); }
    TFormMain* Frame() const { return frame_.get(); }
    //! The online shop window, made with the main window and kept for the whole run.
    TFormBrowser* Shop() const { return shop_.get(); }
    TVacuumApplication* App() const { return app_.get(); }
    const TScreenshotSwitches& Screenshot() const { return screenshot_; }
    const TDesignerSwitches& Switches() const { return switches_; }

    //! The screenshot run: page 1, the project, forward to the page, then one image (or one
    //! per language). 0 when every image was written; 1 when the project could not be read
    //! or an image not written; 2 when a page refused a step. Every failure is reported.
    int RunScreenshot();
    //! Makes this an unattended report run: after accepting, the project is read, walked to
    //! the parts list and its report written as a PDF file (in the run's language, if it
    //! names one); then the program ends with RunReportPdf's status. Set before Start.
    void SetReportPdfRun(TReportPdfRun run) { reportRun_ = std::move(run); }
    //! 0 when the PDF was written; 1 when the project could not be read or the file not
    //! written; 2 when a page refused a step or the language is unknown. Every failure is
    //! reported.
    int RunReportPdf();
    //! Saves the main window's own picture: PNG when the name ends in ".png", else BMP.
    static bool SaveWindowImage(QWidget& window, const QString& fileName);

signals:
    //! The program is done (the main window closed, or an unattended run ended); the
    //! event loop ends with this status.
    void Finished(int status);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LanguageChanged();
    void FirstShown();
    void Accepted();
    int Fail(int status, const QString& message);
    //! Page 1, the project read, then forward to `page`; 0, or the failure's status.
    int OpenAndWalk(const std::string& project, int page, const QString& run);

    TDesignerPlatform platform_;
    std::vector<std::string> arguments_;
    std::string dataFolder_;
    TScreenshotSwitches screenshot_;
    TDesignerSwitches switches_;
    TReportPdfRun reportRun_;
    std::string lastError_;

    TOrsikConnection languageConnection_;
    TLanguageTable32Bit languageTable_;
    TLanguageDialog32Bit languageDialog_;
    TTavUserSettings settings_;
    std::unique_ptr<TSplashForm> splash_;
    std::unique_ptr<TVacuumApplication> app_;
    std::unique_ptr<IUrlOpener> ownUrls_;
    std::unique_ptr<TFormBrowser> shop_;
    std::unique_ptr<TFormMain> frame_;
    std::vector<TConnection> follow_;
    bool painted_ = false;
    bool finished_ = false;
};
