// The desktop program from start to end, as a user meets it: the start-up window, the
// first run with an empty settings folder, the settings it writes, the end of the program
// after accepting or declining, and the unattended switches.

#include "app/designer/designer.h"
#include "app/designer/splash_form.h"
#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/ini_file.h"
#include "core/shell/platform.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/app_test_support.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

class DesignerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TIsolatedSettings> settings;
    TPosixEnvironment env;
    TScriptedMessages messages;
    TScriptedFiles files;
    TScriptedLanguages languages;
    TManualTimers timers;
    THelpRecorder help;
    std::unique_ptr<TDesigner> designer;
    //! Follows the designer's end from before it starts.
    std::unique_ptr<QSignalSpy> finished;

    TDesigner& Start(const std::vector<std::string>& arguments = {}) {
        TDesignerPlatform platform{env, messages, files, languages, timers, &help, {}};
        designer =
            std::make_unique<TDesigner>(platform, arguments, TOrsikConnection::ProgramFolder());
        finished = std::make_unique<QSignalSpy>(designer.get(), &TDesigner::Finished);
        const bool started = designer->Start();
        if (!started) qWarning("%s", designer->LastError().c_str());
        // The main window's first showing, and what follows it.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return *designer;
    }

    std::string Ini(const char* key) {
        TIniFile ini;
        LoadIniFile(settings->SettingsFile().toStdString(), ini);
        return ini.ReadString("KELM", key, "<missing>");
    }

    // The splash timer is the first timer made.
    TManualTimers::TManualTimer& SplashTimer() { return *timers.Made.at(0); }
    // The start-up window's six seconds, after which the main window takes input.
    void LetTheStartUpWindowClose() {
        for (int tick = 0; tick < 6; ++tick) SplashTimer().Fire();
    }

private slots:
    void init() {
        settings = std::make_unique<TIsolatedSettings>();
        messages = {};
        files = {};
        languages = {};
        help = {};
        timers.Made.clear();
    }
    void cleanup() {
        finished.reset();
        finished.reset();
        designer.reset();
        settings.reset();
    }

    void firstRunForcesTheLanguageChoiceAndWritesTheSettings() {
        languages.Choices = {"de"};
        TDesigner& d = Start();
        QVERIFY(d.Frame());
        // The language dialog came up once, with Cancel disabled, and German took effect
        // in every window.
        QCOMPARE(languages.Calls, 1);
        QCOMPARE(languages.CancelEnabled, std::vector<bool>{false});
        QVERIFY(d.LanguageDialog().AllowCancel);
        QVERIFY(!d.Settings().FirstRun());
        QVERIFY(d.Frame()->windowTitle().startsWith("Vakuumgreifer-Auslegung - Version "));
        QCOMPARE(d.Splash()->VersionLabel()->text(),
                 "Version " + QString::fromStdString(d.Settings().Version()));
        QCOMPARE(d.Frame()->Navigator()->Entry(1)->text(), QString("Werkstück"));

        // The folder and file were created with the keys of a first run.
        QVERIFY(QFile::exists(settings->SettingsFile()));
        QCOMPARE(QString::fromStdString(Ini("EXEDir")),
                 QCoreApplication::applicationDirPath() + "/");
        QCOMPARE(QString::fromStdString(Ini("EXEName")),
                 QFileInfo(QCoreApplication::applicationFilePath()).fileName());
        QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+$")
                    .match(QString::fromStdString(Ini("Version")))
                    .hasMatch());
        QCOMPARE(QString::fromStdString(Ini("DataDir")), settings->Path() + "/Documents");
        QVERIFY(QFileInfo(settings->Path() + "/Documents").isDir());
        QCOMPARE(Ini("Measure"), std::string("0"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(Ini(("File" + std::to_string(i)).c_str()), std::string());
        QCOMPARE(Ini("Language"), std::string("de"));

        // The next run is no first run: no dialog, and it starts in German.
        d.Finish();
        finished.reset();
        designer.reset();
        languages = {};
        timers.Made.clear();
        TDesigner& again = Start();
        QCOMPARE(languages.Calls, 0);
        QCOMPARE(again.Frame()->Language().LanguageDB().Language(), std::string("de"));
    }

    void theStartUpWindowClosesAtTheSixthTickAndNotBeforeTheSecond() {
        languages.Choices = {"en"};
        TDesigner& d = Start();
        TSplashForm* splash = d.Splash();
        QVERIFY(splash->isVisible());
        QCOMPARE(SplashTimer().Interval, 1000);
        // The main window waits for it.
        QVERIFY(!d.Frame()->isEnabled());
        QCOMPARE(splash->VersionLabel()->text(),
                 "Version " + QString::fromStdString(d.Settings().Version()));
        SplashTimer().Fire();
        QTest::mouseClick(splash->CloseButton(), Qt::LeftButton);
        QVERIFY2(splash->isVisible(), "closed after one tick");
        SplashTimer().Fire();
        QTest::mouseClick(splash->Picture(), Qt::LeftButton);
        QVERIFY(!splash->isVisible());
        QVERIFY(d.Frame()->isEnabled());
        QVERIFY(!SplashTimer().Active());

        // Left alone, it closes by itself at the sixth tick.
        finished.reset();
        designer.reset();
        timers.Made.clear();
        TDesigner& second = Start();
        for (int tick = 1; tick <= 5; ++tick) {
            SplashTimer().Fire();
            QVERIFY2(second.Splash()->isVisible(),
                     qPrintable(QString("closed at tick %1").arg(tick)));
        }
        SplashTimer().Fire();
        QVERIFY(!second.Splash()->isVisible());
        QVERIFY(second.Frame()->isEnabled());

        // "~Info" shows it again, modal, and it closes at once; F1 there asks for topic 14.
        second.Frame()->Action("ActionInfo")->trigger();
        QVERIFY(second.Splash()->isVisible());
        QVERIFY(second.Splash()->isModal());
        QTest::keyClick(second.Splash(), Qt::Key_F1);
        QCOMPARE(help.Topics, std::vector<int>{14});
        QTest::mouseClick(second.Splash()->CloseButton(), Qt::LeftButton);
        QVERIFY(!second.Splash()->isVisible());
    }

    void theEndStoresTheRecentFilesOnlyAfterAccepting() {
        languages.Choices = {"en"};
        TDesigner& d = Start();
        LetTheStartUpWindowClose();
        const QByteArray before = settings->SettingsBytes();
        QVERIFY(!before.isEmpty());
        // Decline: the window closes and nothing is stored.
        auto* page = dynamic_cast<TDisclaimerPage*>(d.Frame()->Page(cmpDisclaimer));
        QVERIFY(page);
        QTest::mouseClick(page->DeclineButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!d.Frame()->isVisible());
        QCOMPARE(finished->count(), 1);
        d.Finish();
        QCOMPARE(settings->SettingsBytes(), before);

        // Accept and open a project: it is the first recent file at the end.
        finished.reset();
        designer.reset();
        timers.Made.clear();
        TDesigner& again = Start();
        LetTheStartUpWindowClose();
        auto* accept = dynamic_cast<TDisclaimerPage*>(again.Frame()->Page(cmpDisclaimer));
        QTest::mouseClick(accept->AcceptButton(), Qt::LeftButton);
        QVERIFY(again.Frame()->OpenProjectFile(ExampleProject("glass_plate_rotary.vac")));
        again.Frame()->close();
        again.Finish();
        QCOMPARE(QString::fromStdString(Ini("File0")), ExampleProject("glass_plate_rotary.vac"));
        QCOMPARE(Ini("File1"), std::string());
    }

    void theScreenshotRunWritesOneImagePerLanguageAndEnds() {
        QTemporaryDir out;
        const std::string bitmap = (out.path() + "/page_%s.png").toStdString();
        TDesigner& d = Start({"/ACCEPT", "/SCREENSHOT",
                              "/PROJECT=" + ExampleProject("steel_sheet_linear.vac").toStdString(),
                              "/BITMAP=" + bitmap, "/PAGE=9"});
        // The accepted disclaimer starts the run once the accept has finished.
        QTRY_COMPARE(finished->count(), 1);
        QCOMPARE(finished->at(0).at(0).toInt(), 0);
        QCOMPARE(languages.Calls, 0); // an unattended run forces no language choice
        QCOMPARE(d.App()->Workflow.CurrentPage(), int(cmpSuctionCupLoad));
        const QSize window = d.Frame()->size();
        for (const char* code : {"en", "de", "fr", "ru"}) {
            const QImage image(out.path() + "/page_" + code + ".png");
            QVERIFY2(!image.isNull(), code);
            QCOMPARE(image.size(), window);
        }
        // The start-up language is current again.
        QCOMPARE(d.Frame()->Language().LanguageDB().Language(), std::string("en"));
        QVERIFY(messages.Shown.empty());
    }

    void aScreenshotRunWithoutPlaceholderWritesOneBitmap() {
        QTemporaryDir out;
        const QString bitmap = out.path() + "/single.bmp";
        TDesigner& d = Start({"/ACCEPT", "/SCREENSHOT",
                              "/PROJECT=" + ExampleProject("glass_plate_rotary.vac").toStdString(),
                              "/BITMAP=" + bitmap.toStdString(), "/PAGE=3"});
        QTRY_COMPARE(finished->count(), 1);
        QCOMPARE(finished->at(0).at(0).toInt(), 0);
        QCOMPARE(d.App()->Workflow.CurrentPage(), int(cmpSuctionCup));
        QFile f(bitmap);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(2), QByteArray("BM"));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 1);
    }

    void aScreenshotRunThatCannotGoOnEndsWithAMessage() {
        QTemporaryDir out;
        // A project that cannot be read.
        {
            Start({"/ACCEPT", "/SCREENSHOT", "/PROJECT=" + (out.path() + "/none.vac").toStdString(),
                   "/BITMAP=" + (out.path() + "/a.png").toStdString(), "/PAGE=4"});
            QTRY_COMPARE(finished->count(), 1);
            QCOMPARE(finished->at(0).at(0).toInt(), 1);
            QCOMPARE(messages.Shown.size(), size_t(1));
            QVERIFY2(messages.Shown[0].Text.contains("none.vac"),
                     qPrintable(messages.Shown[0].Text));
            QVERIFY(!QFile::exists(out.path() + "/a.png"));
        }
        // A workpiece without height stops the walk on the workpiece page.
        QFile source(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text = source.readAll();
        const int at = text.indexOf("Workpiece.Length.z=");
        QVERIFY(at >= 0);
        text.replace(at, text.indexOf('\n', at) - at, "Workpiece.Length.z=0\r");
        QFile flat(out.path() + "/flat.vac");
        QVERIFY(flat.open(QIODevice::WriteOnly));
        flat.write(text);
        flat.close();
        messages = {};
        finished.reset();
        designer.reset();
        timers.Made.clear();
        Start({"/ACCEPT", "/SCREENSHOT", "/PROJECT=" + flat.fileName().toStdString(),
               "/BITMAP=" + (out.path() + "/b.png").toStdString(), "/PAGE=6"});
        QTRY_COMPARE(finished->count(), 1);
        QCOMPARE(finished->at(0).at(0).toInt(), 2);
        QCOMPARE(messages.Shown.size(), size_t(1));
        QVERIFY2(messages.Shown[0].Text.contains("page 1"), qPrintable(messages.Shown[0].Text));
        QVERIFY2(messages.Shown[0].Text.contains("Height (Z)"), qPrintable(messages.Shown[0].Text));
        QVERIFY(!QFile::exists(out.path() + "/b.png"));
        // An image that cannot be written.
        messages = {};
        finished.reset();
        designer.reset();
        timers.Made.clear();
        TDesigner& e =
            Start({"/ACCEPT", "/SCREENSHOT",
                   "/PROJECT=" + ExampleProject("glass_plate_rotary.vac").toStdString(),
                   "/BITMAP=" + (out.path() + "/no/such/folder/c.png").toStdString(), "/PAGE=2"});
        QVERIFY(e.Frame());
        QTRY_COMPARE(finished->count(), 1);
        QCOMPARE(finished->at(0).at(0).toInt(), 1);
        QCOMPARE(messages.Shown.size(), size_t(1));
        QVERIFY(messages.Shown[0].Text.contains("c.png"));
    }

    void aProjectNamedOnTheCommandLineOpensWhenTheDisclaimerIsAccepted() {
        languages.Choices = {"en"};
        const QString example = ExampleProject("glass_plate_rotary.vac");
        TDesigner& d = Start({example.toStdString()});
        LetTheStartUpWindowClose();
        // The run starts on the disclaimer, with nothing opened yet.
        QVERIFY(d.App()->Workflow.DisclaimerPending());
        QCOMPARE(d.Frame()->Files().FileName(), std::string());
        auto* page = dynamic_cast<TDisclaimerPage*>(d.Frame()->Page(cmpDisclaimer));
        QVERIFY(page);
        QTest::mouseClick(page->AcceptButton(), Qt::LeftButton);
        QTRY_COMPARE(QString::fromStdString(d.Frame()->Files().FileName()), example);
        // The workpiece of the file (0.5 m by 0.4 m in its text), on the workpiece page.
        QCOMPARE(d.App()->Document.Workpiece.LengthX, 0.5);
        QCOMPARE(d.App()->Document.Workpiece.LengthY, 0.4);
        QCOMPARE(d.App()->Workflow.CurrentPage(), int(cmpWorkpiece));
        QVERIFY(!d.Frame()->Files().Modified());
        QVERIFY(messages.Shown.empty());
        QCOMPARE(finished->count(), 0);

        // A relative name is taken from the working folder, and the switches keep their
        // meaning beside it: /ACCEPT accepts at once.
        finished.reset();
        designer.reset();
        timers.Made.clear();
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString(VACUUM_SOURCE_DIR) + "/examples");
        TDesigner& accepted = Start({"/ACCEPT", "steel_sheet_linear.vac"});
        QDir::setCurrent(before);
        QTRY_COMPARE(QString::fromStdString(accepted.Frame()->Files().FileName()),
                     ExampleProject("steel_sheet_linear.vac"));
        QCOMPARE(finished->count(), 0);
    }

    void aProjectOnTheCommandLineThatCannotBeReadIsTheUsualMessage() {
        languages.Choices = {"en"};
        QTemporaryDir folder;
        const QString missing = folder.path() + "/gone.vac";
        TDesigner& d = Start({"/ACCEPT", missing.toStdString()});
        QTRY_VERIFY(!d.App()->Workflow.DisclaimerPending());
        QTRY_COMPARE(messages.Shown.size(), size_t(1));
        QVERIFY2(messages.Shown[0].Text.contains("gone.vac"), qPrintable(messages.Shown[0].Text));
        // The new project of the accept stays, and the program goes on.
        QCOMPARE(d.Frame()->Files().FileName(), std::string());
        QVERIFY(d.Frame()->Files().HasProject());
        QCOMPARE(finished->count(), 0);
        QVERIFY(d.Frame()->isVisible());
    }

    void acceptAloneStartsTheWorkflowAndTheProgramGoesOn() {
        TDesigner& d = Start({"/ACCEPT"});
        QTRY_VERIFY(!d.App()->Workflow.DisclaimerPending());
        QCOMPARE(d.App()->Workflow.CurrentPage(), int(cmpStartPage));
        QCoreApplication::processEvents();
        QCOMPARE(finished->count(), 0);
        QVERIFY(d.Frame()->isVisible());
    }

    void quitAfterPaintEndsOnceTheMainWindowIsPainted() {
        languages.Choices = {"en"};
        TDesignerPlatform platform{env, messages, files, languages, timers, &help, {}};
        designer =
            std::make_unique<TDesigner>(platform, std::vector<std::string>{"/QUITAFTERPAINT"},
                                        TOrsikConnection::ProgramFolder());
        finished = std::make_unique<QSignalSpy>(designer.get(), &TDesigner::Finished);
        QVERIFY(designer->Start());
        QTRY_COMPARE(finished->count(), 1);
        QCOMPARE(finished->at(0).at(0).toInt(), 0);
        // Without the switch the window stays.
        finished.reset();
        designer.reset();
        timers.Made.clear();
        TDesigner& d = Start();
        d.Frame()->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(finished->count(), 0);
    }
};

QTEST_MAIN(DesignerTest)
#include "designer_test.moc"
