// The program's help as the main window reaches it: the help window is made at the first
// topic asked for, over the program's application, and follows its language.

#include "app/designer/designer.h"
#include "app/frame/form_main.h"
#include "app/help/help_window.h"
#include "app/platform/help_window_viewer.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/app_test_support.h"

#include <QTextBrowser>
#include <QtTest>

#include <memory>

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void nothingIsShownBeforeTheApplicationExists() {
        THelpWindowViewer help([] { return static_cast<TVacuumApplication*>(nullptr); });
        help.SetStayOnTop(true);
        help.ShowTopic(cHelpFormulae);
        QVERIFY(!help.Window());
    }

    void theMainWindowOpensTheHelpAtThePagesTopic() {
        TIsolatedSettings settings;
        TPosixEnvironment env;
        TScriptedMessages messages;
        TScriptedFiles files;
        TScriptedLanguages languages;
        languages.Choices = {"en"};
        TManualTimers timers;
        TDesigner* running = nullptr;
        THelpWindowViewer help([&running] { return running ? running->App() : nullptr; });
        // Asked for before the window exists, kept for it.
        help.SetStayOnTop(true);
        {
            TDesignerPlatform platform{env, messages, files, languages, timers, &help, {}};
            TDesigner designer(platform, {"/ACCEPT"}, TOrsikConnection::ProgramFolder());
            running = &designer;
            QVERIFY(designer.Start());
            QCoreApplication::processEvents();
            TFormMain* frame = designer.Frame();
            QVERIFY(frame);
            QCOMPARE(designer.App()->Workflow.CurrentPage(), int(cmpStartPage));

            QTest::keyClick(frame, Qt::Key_F1);
            QVERIFY(help.Window());
            QCOMPARE(help.Window()->CurrentTopic(), MainPageInfo(cmpStartPage).HelpTopic);
            QVERIFY(help.Window()->StayOnTop());
            const QString english = help.Window()->Browser()->documentTitle();
            QVERIFY(!english.isEmpty());
            QVERIFY(!english.contains('~'));

            // The same window follows the program's language.
            THelpWindow* window = help.Window();
            designer.App()->Input([&] { designer.App()->SetLanguage("ru"); });
            QCOMPARE(help.Window(), window);
            QVERIFY(window->Browser()->documentTitle() != english);

            help.Release();
            QVERIFY(!help.Window());
            designer.Finish();
        }
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
