#include "app/designer/designer.h"

#include "app/designer/splash_form.h"
#include "app/dialogs/shop/form_browser.h"
#include "app/frame/form_main.h"
#include "app/pages/page_registry.h"
#include "app/report/report_commands.h"
#include "app/platform/language_chooser.h"
#include "app/platform/message_boxes.h"
#include "app/platform/url_opener.h"
#include "core/shell/platform.h"
#include "core/shell/startup.h"
#include "core/workflow/main_window_rules.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "gui/lang/language_form.h"

#include <QApplication>

#include <algorithm>
#include <QEvent>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>

namespace {

// Lets the windows catch up (layouts, paints) between the steps of an unattended run.
void LetEventsRun() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

TDesigner::TDesigner(TDesignerPlatform platform, std::vector<std::string> arguments,
                     std::string dataFolder)
    : platform_(std::move(platform)), arguments_(std::move(arguments)),
      dataFolder_(std::move(dataFolder)), settings_(platform_.Env) {}

TDesigner::~TDesigner() {
    follow_.clear();
    frame_.reset();
    // The shop window takes its private folder with the basket form along.
    shop_.reset();
    app_.reset();
    splash_.reset();
}

bool TDesigner::Start() {
    screenshot_ = ReadScreenshotSwitches(arguments_);
    switches_ = ReadDesignerSwitches(arguments_);
    // A relative project name means the working folder of the start.
    if (!switches_.ProjectFile.empty())
        switches_.ProjectFile =
            QFileInfo(QString::fromStdString(switches_.ProjectFile)).absoluteFilePath().toStdString();

    // The start-up window's parts: the language container with its texts and language
    // list, the timer, the settings.
    languageConnection_.Loaded();
    languageConnection_.SetDataFile(dataFolder_ + "/Vacuum.bin");
    languageTable_.SetTable("Translations");
    languageTable_.SetConnection(&languageConnection_);
    languageDialog_.SetConnection(&languageConnection_);
    languageDialog_.SetTable("Dialog");
    languageDialog_.Title = "~SelectYourLanguage";
    splash_ = std::make_unique<TSplashForm>(platform_.Timers, platform_.Help);
    settings_.SetSection("KELM");
    AttachSplashHandlers(settings_, splash_->Language().LanguageDB());
    settings_.OnShowMessage = [this](TTavUserSettings&, const std::string& caption,
                                     const std::string& text) {
        platform_.Messages.Inform(splash_.get(), QString::fromStdString(caption),
                                  QString::fromStdString(text));
    };
    settings_.Loaded(arguments_);
    splash_->SetVersion(settings_.Version());

    // The start-up language; every later change of it is stored and shown.
    const std::string code = settings_.StartLanguage(languageDialog_.Codes());
    languageDialog_.SetCode(code);
    follow_.push_back(splash_->Language().LanguageDB().OnChange.Connect(
        [this](TCustomLanguageDB&) { LanguageChanged(); }));
    splash_->Language().Loaded();
    splash_->Language().LanguageDB().SetLanguage(code);
    splash_->ShowAtStart();
    QCoreApplication::processEvents();

    // The main window with the product catalogue.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    app_ = std::make_unique<TVacuumApplication>(dataFolder_ + "/Vacuum.dat",
                                                dataFolder_ + "/Vacuum.bin");
    if (!app_->Active()) {
        QApplication::restoreOverrideCursor();
        lastError_ = app_->LastError();
        splash_->CloseNow();
        return false;
    }
    if (!platform_.Urls) {
        ownUrls_ = std::make_unique<TDesktopUrlOpener>();
        platform_.Urls = ownUrls_.get();
    }
    shop_ = std::make_unique<TFormBrowser>(platform_.Messages, *platform_.Urls, &settings_,
                                           app_->Translator());
    TFrameServices services{settings_,       languageDialog_,     platform_.Messages,
                            platform_.Files, platform_.Languages, platform_.Timers,
                            platform_.Help,  platform_.ScreenSize};
    services.Urls = platform_.Urls;
    services.Shop = shop_.get();
    frame_ = std::make_unique<TFormMain>(*app_, services, CreatePages);
    QApplication::restoreOverrideCursor();
    connect(frame_.get(), &TFormMain::FirstShown, this, &TDesigner::FirstShown);
    connect(frame_.get(), &TFormMain::Accepted, this, &TDesigner::Accepted);
    connect(frame_.get(), &TFormMain::InfoRequested, this, [this] { splash_->ShowAbout(); });
    connect(frame_.get(), &TFormMain::Closed, this, [this] {
        if (!finished_) {
            finished_ = true;
            emit Finished(0);
        }
    });
    // The main window waits for the start-up window, unless nobody is there to close it.
    connect(splash_.get(), &TSplashForm::Closed, this, [this] {
        if (frame_) frame_->setEnabled(true);
    });
    if (switches_.QuitAfterPaint) frame_->installEventFilter(this);
    if (splash_->isVisible() && !switches_.Accept) frame_->setEnabled(false);
    frame_->show();
    return true;
}

void TDesigner::LanguageChanged() {
    const std::string& code = splash_->Language().LanguageDB().Language();
    settings_.SetLanguage(code);
    splash_->UpdateVersionLabel();
}

void TDesigner::FirstShown() {
    if (switches_.Accept) {
        splash_->CloseNow();
        app_->Input([&] { app_->Workflow.ButtonAcceptClick(); });
        return;
    }
    if (!settings_.FirstRun()) return;
    // The first run: a language must be chosen before anything else.
    languageDialog_.AllowCancel = false;
    languageDialog_.SetCode(frame_->Language().LanguageDB().Language());
    QWidget* parent = splash_->isVisible() ? static_cast<QWidget*>(splash_.get()) : frame_.get();
    if (platform_.Languages.Choose(languageDialog_, parent))
        frame_->SetLanguage(languageDialog_.Code());
    languageDialog_.AllowCancel = true;
    settings_.SetFirstRun(false);
}

int TDesigner::RunReportPdf() {
    const std::vector<std::string>& codes = languageDialog_.Codes();
    if (!reportRun_.Language.empty() &&
        std::find(codes.begin(), codes.end(), reportRun_.Language) == codes.end())
        return Fail(2, QString::fromStdString("report: unknown language " + reportRun_.Language));
    if (const int failed = OpenAndWalk(reportRun_.Project, cLastNavigatorPage, "report"))
        return failed;
    if (!reportRun_.Language.empty()) frame_->SetLanguage(reportRun_.Language);
    LetEventsRun();
    return frame_->Report().WritePdf(QString::fromStdString(reportRun_.Output)) ? 0 : 1;
}

void TDesigner::Accepted() {
    if (reportRun_.Requested) {
        const int status = RunReportPdf();
        if (!finished_) {
            finished_ = true;
            emit Finished(status);
        }
        return;
    }
    if (!screenshot_.Screenshot) {
        // A project named on the command line (a file manager's "open with") opens once the
        // disclaimer is accepted; a file that cannot be read is the usual message.
        if (!switches_.ProjectFile.empty() && frame_)
            frame_->OpenProjectFile(QString::fromStdString(switches_.ProjectFile));
        return;
    }
    const int status = RunScreenshot();
    if (switches_.Accept && !finished_) {
        finished_ = true;
        emit Finished(status);
    }
}

int TDesigner::Fail(int status, const QString& message) {
    platform_.Messages.Inform(frame_.get(), frame_->Tr("~Error"), message);
    return status;
}

int TDesigner::OpenAndWalk(const std::string& project, int page, const QString& run) {
    TPageWorkflow& flow = app_->Workflow;
    LetEventsRun();
    app_->Input([&] {
        flow.Select(cmpWorkpiece);
        flow.ResetReach();
    });
    LetEventsRun();
    const std::optional<TPrjResult> loaded =
        app_->Input([&] { return flow.OpenRecentFile(project); });
    if (!loaded || !loaded->Ok())
        return Fail(1, run + ": " + QString::fromStdString(
                                      loaded ? loaded->Message : project + ": not read"));
    LetEventsRun();
    std::string refusal;
    const TConnection refusals =
        flow.OnInvalidValue.Connect([&](TPageWorkflow&, const TPageCheckFailure& f) {
            refusal = app_->Language.TranslateDisplay(f.Message);
        });
    const int refused = app_->WalkTo(page, LetEventsRun);
    if (refused >= 0)
        return Fail(2, QString("%1: page %2 (%3) refused the next step: %4")
                           .arg(run)
                           .arg(refused)
                           .arg(frame_->Tr(MainPageInfo(refused).PageCaption))
                           .arg(QString::fromStdString(refusal)));
    return 0;
}

int TDesigner::RunScreenshot() {
    if (const int failed = OpenAndWalk(screenshot_.Project, screenshot_.Page, "screenshot run"))
        return failed;

    const std::string remembered = frame_->Language().LanguageDB().Language();
    int status = 0;
    for (const TScreenshotImage& image :
         ScreenshotImages(screenshot_.Bitmap, languageDialog_.Codes())) {
        if (!image.Language.empty()) frame_->SetLanguage(image.Language);
        LetEventsRun();
        if (!SaveWindowImage(*frame_, QString::fromStdString(image.FileName))) {
            status = Fail(1, "screenshot run: cannot write the image " +
                                 QString::fromStdString(image.FileName));
            break;
        }
    }
    frame_->SetLanguage(remembered);
    LetEventsRun();
    return status;
}

bool TDesigner::SaveWindowImage(QWidget& window, const QString& fileName) {
    if (fileName.isEmpty()) return false;
    const QPixmap picture = window.grab();
    return picture.save(fileName, IsPngFileName(fileName.toStdString()) ? "PNG" : "BMP");
}

void TDesigner::Finish() {
    // A batch report leaves the user's recent files as they were.
    if (reportRun_.Requested) return;
    if (app_ && frame_) frame_->Files().WriteRecentAtEnd(settings_);
}

bool TDesigner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frame_.get() && event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        // After the paint is done.
        QTimer::singleShot(0, this, [this] {
            if (!finished_) {
                finished_ = true;
                emit Finished(0);
            }
        });
    }
    return QObject::eventFilter(watched, event);
}
