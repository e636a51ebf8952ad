// The main window driven as a user would, on the bundled catalogue: the disclaimer and the
// commands that wait for it, walking the pages with the navigator, refused moves, the
// language, the window sizes and the status bar, the help topics and the project files.

#include "app/frame/form_main.h"
#include "app/frame/main_status_bar.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "core/data/orsik_connection.h"
#include "core/quantities/prj_strings.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/main_window_harness.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A workpiece page with the fields its checks focus, standing in for the real page.
class TFieldsPage : public QWidget, public TPage {
public:
    explicit TFieldsPage(TPageContext&) {
        auto* layout = new QVBoxLayout(this);
        for (std::string_view name : {cpcLengthX, cpcLengthZ, cpcFriction}) {
            auto* edit = new QLineEdit(this);
            edit->setObjectName(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
            layout->addWidget(edit);
            fields.push_back(edit);
        }
    }
    int Index() const override { return cmpWorkpiece; }
    QWidget* Widget() override { return this; }
    std::vector<QLineEdit*> fields;
};

std::vector<std::string> Items(TMyProject& doc) {
    TPrjStrings s;
    doc.Project().WriteItems(s);
    return s.Lines();
}

QString Title(const QString& file, bool modified, const std::string& version) {
    return file + (modified ? "*" : "") + " - Vacuum Gripper Designer - Version " +
           QString::fromStdString(version);
}

} // namespace

class FormMainTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    THelpRecorder help;
    QSize screen{1280, 1024};
    TFieldsPage* fieldsPage = nullptr;

    QAction* A(const char* name) const { return frame->Action(name); }
    QString PageText() const { return frame->Status()->PagePanel()->text(); }

    void Open(const QString& file) {
        files.Names.push_back(file);
        A("ActionOpen")->trigger();
    }
    void Click(int page) { QTest::mouseClick(frame->Navigator()->Entry(page), Qt::LeftButton); }
    std::vector<int> EnabledEntries() const {
        std::vector<int> on;
        for (int p = 0; p < frame->Navigator()->EntryCount(); ++p)
            if (frame->Navigator()->Entry(p)->isEnabled()) on.push_back(p);
        return on;
    }

private slots:
    void init() {
        Isolate();
        help = {};
        auto pages = [this](TPageContext& context) {
            auto all = CreatePages(context);
            for (auto& page : all)
                if (page->Index() == cmpWorkpiece) {
                    auto fields = std::make_unique<TFieldsPage>(context);
                    fieldsPage = fields.get();
                    page = std::move(fields);
                }
            return all;
        };
        Start({.ScreenSize = [this] { return screen; },
               .Accept = false,
               .Pages = pages,
               .Help = &help});
    }
    void cleanup() { Stop(); }

    void beforeAcceptingOnlyTheFreeCommandsAct() {
        QCOMPARE(frame->Stack()->currentWidget(), frame->Page(cmpDisclaimer)->Widget());
        QCOMPARE(frame->PageTitle()->text(), QString("Disclaimer"));
        QCOMPARE(PageText(), QString());
        QVERIFY(EnabledEntries().empty());
        QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
        QVERIFY(!frame->Navigator()->PreviousButton()->isEnabled());
        const char* waiting[] = {"ActionUnits",   "ActionUndo",     "ActionCut",
                                 "ActionCopy",    "ActionPaste",    "ActionPrint",
                                 "ActionNew",     "ActionOpen",     "ActionSave",
                                 "ActionSaveAs",  "ActionProject",  "ActionCustomer",
                                 "ActionRemarks"};
        const char* free[] = {"ActionLanguage", "ActionContents", "ActionIndex",
                              "ActionFormulae", "ActionInfo",     "ActionExit",
                              "ActionOperatingInstructions"};
        for (const char* name : waiting) QVERIFY2(!A(name)->isEnabled(), name);
        for (const char* name : free) QVERIFY2(A(name)->isEnabled(), name);
        QVERIFY(!frame->ButtonBar()->widgetForAction(A("ActionPrint"))->isEnabled());
        QVERIFY(frame->ButtonBar()->widgetForAction(A("ActionLanguage"))->isEnabled());
        QSignalSpy units(frame.get(), &TFormMain::UnitsRequested);
        QSignalSpy project(frame.get(), &TFormMain::ProjectDialogRequested);
        A("ActionUnits")->trigger();
        A("ActionPrint")->trigger();
        A("ActionRemarks")->trigger();
        QCOMPARE(units.count(), 0);
        QCOMPARE(project.count(), 0);
        QVERIFY(!frame->NewProject());
        QVERIFY(!frame->OpenProjectFile(ExampleProject("glass_plate_rotary.vac")));
        QCOMPARE(Current(), int(cmpDisclaimer));
        QCOMPARE(frame->windowTitle(), "Vacuum Gripper Designer - Version " +
                                           QString::fromStdString(settings->Version()));

        QSignalSpy accepted(frame.get(), &TFormMain::Accepted);
        Accept();
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(Current(), int(cmpStartPage));
        QCOMPARE(frame->Stack()->currentWidget(), frame->Page(cmpStartPage)->Widget());
        QCOMPARE(frame->PageTitle()->text(), QString("Start page"));
        QCOMPARE(PageText(), QString("Page 1"));
        QCOMPARE(EnabledEntries(), (std::vector<int>{0, 1}));
        QVERIFY(frame->Navigator()->Entry(0)->isChecked());
        QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        QVERIFY(!frame->Navigator()->PreviousButton()->isEnabled());
        for (const char* name : waiting) QVERIFY2(A(name)->isEnabled(), name);
        for (const char* name : free) QVERIFY2(A(name)->isEnabled(), name);
        QVERIFY(frame->ButtonBar()->widgetForAction(A("ActionPrint"))->isEnabled());
        A("ActionUnits")->trigger();
        QCOMPARE(units.count(), 1);
        QCOMPARE(frame->windowTitle(), Title("Untitled", false, settings->Version()));
        QCOMPARE(frame->Status()->FilePanel()->text(), QString("Untitled"));
    }

    void walkingFollowsTheReachRules() {
        Accept();
        Open(ExampleProject("glass_plate_rotary.vac"));
        QCOMPARE(Current(), int(cmpWorkpiece));
        QCOMPARE(EnabledEntries(), (std::vector<int>{0, 1, 2}));
        // Page 2: page 9 cannot be jumped to before 3 to 8 were reached.
        Next();
        QCOMPARE(Current(), int(cmpPositioning));
        Click(cmpSuctionCupLoad);
        QCOMPARE(Current(), int(cmpPositioning));
        for (int page = cmpSuctionCup; page <= cmpPartsList; ++page) {
            Next();
            QCOMPARE(Current(), page);
            QCOMPARE(frame->Stack()->currentIndex(), page);
            QCOMPARE(PageText(),
                     page < cmpPartsList ? QString("Page %1").arg(page + 1) : QString());
        }
        QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
        QVERIFY(messages.Shown.empty());
        // With page 10 reached, page 8 reaches 6 to 10 directly, either way.
        Click(cmpForcesAndMoments);
        QCOMPARE(Current(), int(cmpForcesAndMoments));
        QCOMPARE(EnabledEntries(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        Click(cmpPartsList);
        QCOMPARE(Current(), int(cmpPartsList));
        Click(cmpMotion);
        QCOMPARE(Current(), int(cmpMotion));
        Click(cmpForcesAndMoments);
        QCOMPARE(Current(), int(cmpForcesAndMoments));
        // Back to the tube page: only the generator page is reachable beyond it.
        Click(cmpTube);
        QCOMPARE(Current(), int(cmpTube));
        QCOMPARE(EnabledEntries(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
        Click(cmpSuctionCupLoad);
        QCOMPARE(Current(), int(cmpTube));
        // Backward moves never ask: the previous button steps down to the start page.
        for (int page = cmpSuctionCup; page >= cmpStartPage; --page) {
            QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton);
            QCOMPARE(Current(), page);
        }
        QVERIFY(messages.Shown.empty());
    }

    // Alt+Right and Alt+Left do what the arrow buttons do, wherever the focus is, and
    // nothing while a button could not be clicked.
    void altAndTheArrowKeysStepThroughThePages() {
        // Before the disclaimer is accepted the keys are as inert as the buttons.
        QTest::keyClick(frame.get(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(Current(), int(cmpDisclaimer));
        Accept();
        Open(ExampleProject("glass_plate_rotary.vac"));
        QCOMPARE(Current(), int(cmpWorkpiece));
        QWidget* field = frame->CurrentPage()->ControlNamed(cpcLengthX);
        QVERIFY(field);
        field->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(Current(), int(cmpPositioning));
        QCOMPARE(PageText(), QString("Page 3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(Current(), int(cmpStartPage));
        // The previous button is hidden or disabled on the first page: nothing happens.
        QTest::keyClick(frame.get(), Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(Current(), int(cmpStartPage));
        QVERIFY(messages.Shown.empty());
    }

    void aRefusedMoveShowsOneMessageAndFocusesItsControl() {
        Accept();
        Click(cmpWorkpiece);
        QCOMPARE(Current(), int(cmpWorkpiece));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        app->Input([&] {
            app->Workpiece.SetShape(cwsBar);
            app->Workpiece.SetLengthX(0.3);
            app->Workpiece.SetLengthY(0.2);
            app->Workpiece.SetLengthZ(0.0);
            app->Workpiece.SetFriction(0.0);
        });
        Next();
        QCOMPARE(Current(), int(cmpWorkpiece));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, QString("Invalid value"));
        QCOMPARE(messages.Shown[0].Text, QString("Height (Z)"));
        QLineEdit* height = fieldsPage->findChild<QLineEdit*>(QString::fromUtf8(cpcLengthZ.data()));
        QVERIFY(height);
        QTRY_VERIFY(height->hasFocus());
        // Clicking an entry ahead is refused the same way, once more.
        Click(cmpPositioning);
        QCOMPARE(Current(), int(cmpWorkpiece));
        QCOMPARE(messages.Shown.size(), size_t(2));
        app->Input([&] { app->Workpiece.SetLengthZ(0.01); });
        Next();
        QCOMPARE(messages.Shown.size(), size_t(3));
        QCOMPARE(messages.Shown[2].Text, QString("Coefficient of friction"));
        QTRY_VERIFY(
            fieldsPage->findChild<QLineEdit*>(QString::fromUtf8(cpcFriction.data()))->hasFocus());

        // While an entry field of the page is invalid the navigator takes no move at all.
        app->Input([&] { app->Workflow.WorkpieceSizeChangeValid(false); });
        QVERIFY(EnabledEntries().empty());
        QVERIFY(!frame->Navigator()->PreviousButton()->isEnabled());
        QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
        frame->StepPrevious();
        QCOMPARE(Current(), int(cmpWorkpiece));
        app->Input([&] { app->Workflow.WorkpieceSizeChangeValid(true); });
        QCOMPARE(EnabledEntries(), (std::vector<int>{0, 1, 2}));
        QCOMPARE(messages.Shown.size(), size_t(3));

        // The edit commands go to the focused field; cutting enables undo.
        QLineEdit* length = fieldsPage->fields[0];
        length->setFocus();
        QTRY_VERIFY(length->hasFocus());
        length->setText("0.25");
        length->selectAll();
        A("ActionCopy")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("0.25"));
        A("ActionCut")->trigger();
        QCOMPARE(length->text(), QString());
        QVERIFY(A("ActionUndo")->isEnabled());
        A("ActionUndo")->trigger();
        QCOMPARE(length->text(), QString("0.25"));
        length->setCursorPosition(4);
        A("ActionPaste")->trigger();
        QCOMPARE(length->text(), QString("0.250.25"));
    }

    void aLanguageChangeRetitlesTheWindowAndThePages() {
        Accept();
        QVERIFY(frame->HintsAsTooltips());
        languages.Choices = {"ru"};
        QTest::mouseClick(frame->ButtonBar()->widgetForAction(A("ActionLanguage")), Qt::LeftButton);
        QCOMPARE(languages.Calls, 1);
        QCOMPARE(languages.CancelEnabled, std::vector<bool>{true});
        QCOMPARE(frame->windowTitle(),
                 QString("Без названия - Проектирование вакуумных захватов - Версия ") +
                     QString::fromStdString(settings->Version()));
        QCOMPARE(frame->Navigator()->Entry(cmpWorkpiece)->text(), QString("Заготовка"));
        QCOMPARE(frame->PageTitle()->text(), QString("Начальная страница"));
        QCOMPARE(PageText(), QString("Страница 1"));
        QCOMPARE(A("ActionLanguage")->text(), QString("Язык"));
        QCOMPARE(frame->FileMenu()->title(), QString("Файл"));
        QCOMPARE(app->Language.Language(), std::string("ru"));

        // Cyrillic has a character set of its own: the hints go to the status bar.
        QVERIFY(!frame->HintsAsTooltips());
        QToolButton* next = frame->Navigator()->NextButton();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(next, &enter);
        QCOMPARE(frame->Status()->HintPanel()->text(), QString("Следующая страница"));
        QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), next->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(next, &tip);
        QVERIFY(!QToolTip::isVisible());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(next, &leave);
        QCOMPARE(frame->Status()->HintPanel()->text(), QString());

        // Cancel keeps the language; back in German the hints are tooltips again.
        languages.Choices = {""};
        frame->ChooseLanguage();
        QCOMPARE(app->Language.Language(), std::string("ru"));
        languages.Choices = {"de"};
        A("ActionLanguage")->trigger();
        QCOMPARE(frame->Navigator()->Entry(cmpWorkpiece)->text(), QString("Werkstück"));
        QCOMPARE(PageText(), QString("Seite 1"));
        QVERIFY(frame->HintsAsTooltips());
        QCoreApplication::sendEvent(next, &enter);
        QCOMPARE(frame->Status()->HintPanel()->text(), QString());
        QCOMPARE(next->toolTip(), QString("Nächste Seite"));
        // A tooltip hint stays four seconds.
        QCOMPARE(next->toolTipDuration(), -1);
        QCoreApplication::sendEvent(next, &tip);
        QCOMPARE(next->toolTipDuration(), 4000);
    }

    void windowSizesFollowTheScreenAndTheStatusBarTheHeight() {
        QCOMPARE(frame->minimumSize(), QSize(800, 565));
        emit frame->ViewMenu()->aboutToShow();
        QVERIFY(A("ActionSize1024x768")->isEnabled());
        QVERIFY(A("ActionSize1152x864")->isEnabled());
        QVERIFY(A("ActionSize1280x1024")->isEnabled());
        QVERIFY(!A("ActionSize1600x1200")->isEnabled());
        // The window moves left and up as far as the new size needs: 1280 - 1152, 1024 - 864.
        frame->move(400, 300);
        A("ActionSize1152x864")->trigger();
        QCOMPARE(frame->size(), QSize(1152, 864));
        QCOMPARE(frame->pos(), QPoint(128, 160));
        frame->move(10, 20);
        A("ActionSize1024x768")->trigger();
        QCOMPARE(frame->size(), QSize(1024, 768));
        QCOMPARE(frame->pos(), QPoint(10, 20));
        // A smaller screen offers less.
        screen = QSize(1024, 768);
        emit frame->ViewMenu()->aboutToShow();
        QVERIFY(A("ActionSize1024x768")->isEnabled());
        QVERIFY(!A("ActionSize1152x864")->isEnabled());

        frame->resize(900, 599);
        QVERIFY(!frame->Status()->isVisible());
        frame->resize(900, 600);
        QVERIFY(frame->Status()->isVisible());
        // The gauge shows only while something is under way.
        QVERIFY(!frame->Status()->Gauge()->isVisible());
        Accept();
        Open(ExampleProject("steel_sheet_linear.vac"));
        QVERIFY(!frame->Status()->Gauge()->isVisible());
        frame->Status()->SetProgress(40);
        QVERIFY(frame->Status()->Gauge()->isVisible());
        QCOMPARE(frame->Status()->Gauge()->value(), 40);
        frame->Status()->SetProgress(100);
        QVERIFY(!frame->Status()->Gauge()->isVisible());
    }

    void helpOpensTheTopicsOfPagesMenusAndContextMenus() {
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        Accept();
        Open(ExampleProject("glass_plate_rotary.vac"));
        Click(cmpStartPage);
        std::vector<int> expected{0, 2, 6, 8, 3, 4, 5, 9, 10};
        for (int page = cmpStartPage; page <= cmpForcesAndMoments; ++page) {
            if (page > cmpStartPage) Next();
            QCOMPARE(Current(), page);
            QTest::keyClick(frame.get(), Qt::Key_F1);
        }
        QCOMPARE(help.Topics, expected);
        help.Topics.clear();
        for (const char* name :
             {"ActionContents", "ActionIndex", "ActionOperatingInstructions", "ActionFormulae"})
            A(name)->trigger();
        QCOMPARE(help.Topics, (std::vector<int>{0, 16, 1, 13}));
        help.Topics.clear();
        // Every page offers the same context menu.
        for (int page = 0; page < frame->Stack()->count(); ++page)
            QCOMPARE(frame->Stack()->widget(page)->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(frame->PageContextMenu()->actions().size(), 3);
        for (QAction* a : frame->PageContextMenu()->actions()) a->trigger();
        QCOMPARE(help.Topics, (std::vector<int>{0, 13, 12}));
        QCOMPARE(frame->PageContextMenu()->actions()[2]->text(), QString("Chemical durability"));
    }

    void projectsRoundTripThroughOpenSaveAndSaveAs() {
        Accept();
        QTemporaryDir out;
        for (const char* name : kExampleProjects) {
            const QString example = ExampleProject(name);
            Open(example);
            QCOMPARE(frame->windowTitle(), Title(name, false, settings->Version()));
            QCOMPARE(files.Filters.back(), QString("Projects (*.vac);;All files (*)"));
            const std::vector<std::string> opened = Items(app->Document);
            // Save as: the dialog starts at the open file; a name without ending gets ".vac".
            files.Names.push_back(out.path() + "/copy_" + QFileInfo(name).completeBaseName());
            A("ActionSaveAs")->trigger();
            QCOMPARE(files.Starts.back(), example);
            const QString copy = out.path() + "/copy_" + name;
            QVERIFY(QFile::exists(copy));
            QCOMPARE(frame->windowTitle(),
                     Title("copy_" + QString(name), false, settings->Version()));
            QCOMPARE(frame->RecentActions().size() >= 2, true);
            QVERIFY(frame->RecentActions()[0]->text().endsWith(copy));
            QVERIFY(frame->RecentActions()[1]->text().endsWith(example));
            // The example again from the recent files, then the copy: the same document.
            frame->RecentActions()[1]->trigger();
            QCOMPARE(QString::fromStdString(frame->Files().FileName()), example);
            frame->RecentActions()[1]->trigger();
            QCOMPARE(QString::fromStdString(frame->Files().FileName()), copy);
            QCOMPARE(Items(app->Document), opened);
        }
        QVERIFY(messages.Asked.empty());
        QVERIFY(messages.Shown.empty());

        // A change marks the caption; Save writes it back without a dialog.
        const QString last = QString::fromStdString(frame->Files().FileName());
        const int dialogs = files.Captions.size();
        app->Input([&] { app->Workpiece.SetLengthX(app->Document.Workpiece.LengthX + 0.05); });
        QVERIFY(frame->windowTitle().startsWith(QFileInfo(last).fileName() + "* - "));
        A("ActionSave")->trigger();
        QCOMPARE(files.Captions.size(), dialogs);
        QVERIFY(frame->windowTitle().startsWith(QFileInfo(last).fileName() + " - "));

        // A changed project asks before it is replaced: Cancel keeps it, No drops the change.
        app->Input([&] { app->Workpiece.SetLengthX(app->Document.Workpiece.LengthX + 0.05); });
        const std::vector<std::string> changed = Items(app->Document);
        messages.Answers = {TAnswer::Cancel};
        QVERIFY(!frame->NewProject());
        QCOMPARE(messages.Asked.size(), size_t(1));
        QVERIFY(messages.Asked[0].Text.contains(QFileInfo(last).fileName()));
        QCOMPARE(Items(app->Document), changed);
        messages.Answers = {TAnswer::No};
        QVERIFY(frame->NewProject());
        QCOMPARE(frame->windowTitle(), Title("Untitled", false, settings->Version()));
        QCOMPARE(Current(), int(cmpWorkpiece));
        // Yes saves first; a new project has no file, so the save dialog comes.
        app->Input([&] { app->Workpiece.SetLengthX(app->Document.Workpiece.LengthX + 0.05); });
        messages.Answers = {TAnswer::Yes};
        files.Names.push_back(out.path() + "/fresh.vac");
        QVERIFY(frame->OpenProjectFile(last));
        QVERIFY(QFile::exists(out.path() + "/fresh.vac"));
        QCOMPARE(QString::fromStdString(frame->Files().FileName()), last);
        // Closing asks the same way.
        app->Input([&] { app->Workpiece.SetLengthX(app->Document.Workpiece.LengthX + 0.05); });
        messages.Answers = {TAnswer::Cancel};
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        messages.Answers = {TAnswer::No};
        QVERIFY(frame->close());
    }

    void aFileThatCannotBeReadOrWrittenIsReportedAndChangesNothing() {
        Accept();
        Open(ExampleProject("glass_plate_rotary.vac"));
        Next();
        const QString title = frame->windowTitle();
        const std::vector<std::string> items = Items(app->Document);
        QTemporaryDir out;
        Open(out.path() + "/missing.vac");
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, QString("Error"));
        QVERIFY(messages.Shown[0].Text.startsWith("The project could not be opened."));
        QVERIFY2(messages.Shown[0].Text.contains(out.path() + "/missing.vac"),
                 qPrintable(messages.Shown[0].Text));
        QCOMPARE(frame->windowTitle(), title);
        QCOMPARE(Current(), int(cmpPositioning));
        QCOMPARE(Items(app->Document), items);

        const QString nowhere = out.path() + "/no/such/folder/x.vac";
        files.Names.push_back(nowhere);
        A("ActionSaveAs")->trigger();
        QCOMPARE(messages.Shown.size(), size_t(2));
        QVERIFY(messages.Shown[1].Text.startsWith("The project could not be saved."));
        QVERIFY2(messages.Shown[1].Text.contains(nowhere), qPrintable(messages.Shown[1].Text));
        QVERIFY(!QFile::exists(nowhere));
        QCOMPARE(frame->windowTitle(), title);
        QCOMPARE(frame->RecentActions().size(), 1);
    }

    // In every language and every offered size the button bar, the navigator and the
    // first pages show their texts whole. With VACUUM_LOOK_DIR set the windows are also
    // saved there as images, to look at.
    void textsFitInEveryLanguageAndSize() {
        auto check = [&](const QString& shot) {
            QCoreApplication::processEvents();
            CheckTextsWhole(frame.get(), nullptr, shot, /*lists=*/false, /*fields=*/true);
            SavePicture("VACUUM_LOOK_DIR", frame.get(), shot);
        };
        for (const QSize size : {QSize(1024, 768), QSize(1280, 1024), QSize(800, 565)}) {
            frame->resize(size);
            for (const char* code : {"en", "de", "fr", "ru"}) {
                frame->SetLanguage(code);
                check(
                    QString("disclaimer_%1x%2_%3").arg(size.width()).arg(size.height()).arg(code));
            }
        }
        Accept();
        for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
            frame->resize(size);
            for (const char* code : {"en", "ru"}) {
                frame->SetLanguage(code);
                check(QString("start_%1x%2_%3").arg(size.width()).arg(size.height()).arg(code));
            }
        }
    }
};

QTEST_MAIN(FormMainTest)
#include "form_main_test.moc"
