// The project/customer dialog driven from the main window's menu as a user would: the tab
// each command opens and the caption, typing into the fields and the memos, OK and Cancel,
// the project's changed state in the caption and the question before it is replaced, its
// texts in two languages, help, and that it waits for the disclaimer.

#include "app/dialogs/project/dlg_kund_proj.h"
#include "app/frame/form_main.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/project_files.h"
#include "core/workflow/vacuum_application.h"
#include "tests/app/main_window_harness.h"

#include <QAbstractButton>
#include <QAction>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

using TLines = std::vector<std::string>;

// The label a form shows beside a field.
QString LabelOf(QWidget* field) {
    auto* form = qobject_cast<QFormLayout*>(field->parentWidget()->layout());
    if (!form) return "(no form)";
    auto* label = qobject_cast<QLabel*>(form->labelForField(field));
    return label ? label->text() : QString();
}

// Labels, buttons and the tab row that are narrower than their texts in `window`.
QStringList Clipped(QWidget* window) {
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* bar = qobject_cast<QTabBar*>(w)) {
            // A tab row too narrow for its tabs scrolls them.
            if (bar->width() < bar->sizeHint().width()) clipped << "tab row";
            continue;
        }
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w)) continue;
        if (w->width() < w->minimumSizeHint().width() ||
            w->height() < w->minimumSizeHint().height())
            clipped << w->objectName() + " \"" + w->property("text").toString() + "\"";
    }
    if (window->width() < window->minimumSizeHint().width()) clipped << window->objectName();
    return clipped;
}

} // namespace

class ProjectDialogTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    THelpRecorder help;

    TMyProject& Doc() { return app->Document; }
    bool CaptionMarksChanges() const { return frame->windowTitle().contains("*"); }

    // A menu command of the options menu; the dialog it shows.
    TDlg_Kund_Proj* OpenBy(const char* action) {
        frame->Action(action)->trigger();
        TDlg_Kund_Proj* d = frame->ProjectDialog();
        if (d && !QTest::qWaitForWindowExposed(d)) return nullptr;
        return d;
    }
    // Types over a field's text, as a user selecting it and typing.
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static void ClickTab(TDlg_Kund_Proj* d, int tab) {
        QTabBar* bar = d->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }

private slots:
    void init() {
        Isolate();
        help = {};
        Start({.Accept = false, .Help = &help});
    }
    void cleanup() { Stop(); }

    void theCommandsWaitForTheDisclaimer() {
        for (const char* name : {"ActionProject", "ActionCustomer", "ActionRemarks"}) {
            QVERIFY2(!frame->Action(name)->isEnabled(), name);
            frame->Action(name)->trigger();
        }
        frame->OpenProjectDialog(1);
        QCOMPARE(frame->ProjectDialog(), nullptr);
        Accept();
        for (const char* name : {"ActionProject", "ActionCustomer", "ActionRemarks"})
            QVERIFY2(frame->Action(name)->isEnabled(), name);
        QVERIFY(OpenBy("ActionCustomer"));
        QVERIFY(frame->ProjectDialog()->isModal());
    }

    void eachCommandOpensItsTabAndTheCaptionIsTheTabsText() {
        Accept();
        TDlg_Kund_Proj* d = OpenBy("ActionRemarks");
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->Tabs()->currentIndex(), 2);
        QVERIFY(d->Tabs()->currentWidget()->isAncestorOf(d->Memo(cpmRemarks)));
        QVERIFY(d->Memo(cpmRemarks)->isVisible());
        QVERIFY(!d->Edit(cpeAuthor)->isVisible());
        QCOMPARE(d->windowTitle(), QString("Remarks"));
        QCOMPARE(d->Tabs()->tabText(2), QString("Remarks"));
        QCOMPARE(d->Memo(cpmRemarks)->hasFocus(), true);

        ClickTab(d, 0);
        QCOMPARE(d->Tabs()->currentIndex(), 0);
        QCOMPARE(d->windowTitle(), QString("Project data"));
        QVERIFY(d->Edit(cpeAuthor)->isVisible());
        ClickTab(d, 1);
        QCOMPARE(d->windowTitle(), QString("Customer data"));
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        QVERIFY(!d->isVisible());

        QCOMPARE(OpenBy("ActionProject")->Tabs()->currentIndex(), 0);
        QCOMPARE(d->windowTitle(), QString("Project data"));
        QVERIFY(d->Edit(cpeAuthor)->hasFocus());
        QTest::keyClick(d, Qt::Key_Escape);
        QCOMPARE(OpenBy("ActionCustomer")->Tabs()->currentIndex(), 1);
        QCOMPARE(d->windowTitle(), QString("Customer data"));
        QVERIFY(d->Edit(cpeCustomerNo)->hasFocus());
    }

    void controlsCarryTheirNamesAndLabels() {
        Accept();
        TDlg_Kund_Proj* d = OpenBy("ActionProject");
        const std::pair<const char*, QString> edits[] = {{"Edit_Bearbeiter", "Editor"},
                                                         {"Edit_Projektbez1", "Project name"},
                                                         {"Edit_Projektbez2", ""},
                                                         {"Edit_ProjektNr", "Project no."},
                                                         {"Edit_KundenNr", "Customer no."},
                                                         {"Edit_Telefon", "Phone"},
                                                         {"Edit_Fax", "Fax"}};
        for (const auto& [name, label] : edits) {
            auto* edit = d->findChild<QLineEdit*>(name);
            QVERIFY2(edit, name);
            QCOMPARE(LabelOf(edit), label);
        }
        QCOMPARE(LabelOf(d->findChild<QPlainTextEdit*>("MemoAddress")), QString("Address"));
        QCOMPARE(LabelOf(d->findChild<QPlainTextEdit*>("MemoRemarks")), QString("Remarks"));
        // The fields stand on the pages of their tabs.
        QVERIFY(d->Tabs()->widget(0)->isAncestorOf(d->findChild<QLineEdit*>("Edit_ProjektNr")));
        QVERIFY(d->Tabs()->widget(1)->isAncestorOf(d->findChild<QLineEdit*>("Edit_Fax")));
        QVERIFY(d->Tabs()->widget(1)->isAncestorOf(d->findChild<QPlainTextEdit*>("MemoAddress")));
        QCOMPARE(d->OkButton()->text(), QString("OK"));
        QCOMPARE(d->CancelButton()->text(), QString("Cancel"));
        QCOMPARE(d->HelpButton()->text(), QString("Help"));
        QTest::mouseClick(d->HelpButton(), Qt::LeftButton);
        QCOMPARE(help.Topics, std::vector<int>{0});
    }

    void editsAppearAfterOkAndMarkTheProjectChanged() {
        Accept();
        QVERIFY(frame->OpenProjectFile(ExampleProject("glass_plate_rotary.vac")));
        QVERIFY(!CaptionMarksChanges());
        TDlg_Kund_Proj* d = OpenBy("ActionProject");
        Type(d->Edit(cpeAuthor), QString(300, 'w'));
        Type(d->Edit(cpeDescription1), "Glass plate");
        Type(d->Edit(cpeDescription2), "for the oven line");
        ClickTab(d, 1);
        Type(d->Edit(cpeFax), "0113 496 0001");
        d->Memo(cpmAddress)->setFocus();
        QTest::keyClicks(d->Memo(cpmAddress), "Works Ltd");
        QTest::keyClick(d->Memo(cpmAddress), Qt::Key_Return);
        QTest::keyClicks(d->Memo(cpmAddress), "Leeds");
        ClickTab(d, 2);
        d->Memo(cpmRemarks)->setFocus();
        QTest::keyClicks(d->Memo(cpmRemarks), "Handle with gloves");
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        QVERIFY(!d->isVisible());

        QCOMPARE(Doc().ProjectInfo.Author, std::string(255, 'w'));
        QCOMPARE(Doc().ProjectInfo.Description[0], std::string("Glass plate"));
        QCOMPARE(Doc().ProjectInfo.Description[1], std::string("for the oven line"));
        QCOMPARE(Doc().Customer.Fax, std::string("0113 496 0001"));
        QCOMPARE(Doc().Customer.Address, (TLines{"Works Ltd", "Leeds"}));
        QCOMPARE(Doc().Remarks, TLines{"Handle with gloves"});
        QVERIFY(CaptionMarksChanges());

        // Opening again shows what was stored.
        d = OpenBy("ActionRemarks");
        QCOMPARE(d->Edit(cpeAuthor)->text(), QString(255, 'w'));
        QCOMPARE(d->Edit(cpeDescription2)->text(), QString("for the oven line"));
        QCOMPARE(d->Memo(cpmAddress)->toPlainText(), QString("Works Ltd\nLeeds"));
        QCOMPARE(d->Memo(cpmRemarks)->toPlainText(), QString("Handle with gloves"));
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);

        // A changed project is not replaced without asking.
        messages.Answers = {TAnswer::Cancel};
        QVERIFY(!frame->NewProject());
        QCOMPARE(messages.Asked.size(), size_t(1));
        QCOMPARE(Doc().Customer.Fax, std::string("0113 496 0001"));
    }

    void cancelAndAnOkWithoutChangesLeaveTheProjectAlone() {
        Accept();
        QVERIFY(frame->OpenProjectFile(ExampleProject("glass_plate_rotary.vac")));
        app->Input([&] {
            Doc().ProjectInfo.No = "P-17";
            Doc().Remarks = {"keep", "", "dry"};
            Doc().Project().Snapshot();
        });
        QVERIFY(!CaptionMarksChanges());

        TDlg_Kund_Proj* d = OpenBy("ActionProject");
        QCOMPARE(d->Edit(cpeProjectNo)->text(), QString("P-17"));
        Type(d->Edit(cpeProjectNo), "P-99");
        ClickTab(d, 2);
        QCOMPARE(d->Memo(cpmRemarks)->toPlainText(), QString("keep\n\ndry"));
        d->Memo(cpmRemarks)->setFocus();
        QTest::keyClicks(d->Memo(cpmRemarks), "more");
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        QCOMPARE(Doc().ProjectInfo.No, std::string("P-17"));
        QCOMPARE(Doc().Remarks, (TLines{"keep", "", "dry"}));
        QVERIFY(!CaptionMarksChanges());

        // The cancelled edits are gone on the next opening; OK writes nothing new.
        d = OpenBy("ActionProject");
        QCOMPARE(d->Edit(cpeProjectNo)->text(), QString("P-17"));
        QCOMPARE(d->Memo(cpmRemarks)->toPlainText(), QString("keep\n\ndry"));
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        QVERIFY(!CaptionMarksChanges());
        QVERIFY(!frame->Files().Modified());
        // An edit typed and taken back is no change either.
        d = OpenBy("ActionCustomer");
        Type(d->Edit(cpePhone), "1");
        QTest::keyClick(d->Edit(cpePhone), Qt::Key_Backspace);
        QTest::keyClick(d, Qt::Key_Return);
        QVERIFY(!d->isVisible());
        QVERIFY(!frame->Files().Modified());
    }

    void textsFitInEveryLanguage() {
        // VACUUM_LOOK_DIR: where to put a picture of each tab in each language.
        const QString look = qEnvironmentVariable("VACUUM_LOOK_DIR");
        Accept();
        app->Input([&] {
            Doc().ProjectInfo.Author = "A. Miller";
            Doc().ProjectInfo.Description = {"Glass plate 500 x 400 x 4 mm", "rotary handling"};
            Doc().ProjectInfo.No = "P-2024-017";
            Doc().Customer.No = "C-4711";
            Doc().Customer.Phone = "+44 113 496 0000";
            Doc().Customer.Fax = "+44 113 496 0001";
            Doc().Customer.Address = {"Works Ltd", "1 Mill Lane", "Leeds LS1 4AB"};
            Doc().Remarks = {"Glass with a coated face: cups on the clean side only."};
        });
        TDlg_Kund_Proj* d = OpenBy("ActionProject");
        for (const char* code : {"en", "de", "fr", "ru"}) {
            frame->SetLanguage(code);
            for (int tab = 0; tab < cProjectDialogTabCount; ++tab) {
                ClickTab(d, tab);
                QCoreApplication::processEvents();
                const QStringList clipped = Clipped(d);
                QVERIFY2(clipped.isEmpty(), qPrintable(QString("%1 tab %2: ").arg(code).arg(tab) +
                                                       clipped.join(", ")));
                if (!look.isEmpty())
                    d->grab().save(
                        QString("%1/project_dialog_%2_%3.png").arg(look).arg(tab).arg(code));
            }
            // The fields of all three pages start at one left edge.
            for (int e = 0; e < cProjectDialogEditCount; ++e)
                QCOMPARE(d->Edit(e)->x(), d->Memo(cpmRemarks)->x());
            QCOMPARE(d->Memo(cpmAddress)->x(), d->Memo(cpmRemarks)->x());
        }
    }

    void textsFollowTheLanguageButTheUsersTextsStay() {
        Accept();
        app->Input([&] {
            Doc().Remarks = {"~Remarks", "second"};
            Doc().ProjectInfo.Author = "~Editor";
            Doc().Project().Snapshot();
        });
        TDlg_Kund_Proj* d = OpenBy("ActionRemarks");
        QCOMPARE(d->windowTitle(), QString("Remarks"));
        frame->SetLanguage("ru");
        QCOMPARE(d->windowTitle(), QString("Примечания"));
        QCOMPARE(d->Tabs()->tabText(0), QString("Данные проекта"));
        QCOMPARE(d->Tabs()->tabText(1), QString("Данные заказчика"));
        QCOMPARE(LabelOf(d->Edit(cpeAuthor)), QString("Исполнитель"));
        QCOMPARE(d->CancelButton()->text(), QString("Отмена"));
        // The user's texts are no language keys.
        QCOMPARE(d->Memo(cpmRemarks)->toPlainText(), QString("~Remarks\nsecond"));
        QCOMPARE(d->Edit(cpeAuthor)->text(), QString("~Editor"));
        ClickTab(d, 1);
        QCOMPARE(d->windowTitle(), QString("Данные заказчика"));
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        QCOMPARE(Doc().Remarks, (TLines{"~Remarks", "second"}));
        QVERIFY(!frame->Files().Modified());
        frame->SetLanguage("de");
        d = OpenBy("ActionProject");
        QCOMPARE(d->windowTitle(), QString("Projektdaten"));
        QCOMPARE(LabelOf(d->Edit(cpeAuthor)), QString("Bearbeiter"));
        QCOMPARE(d->Memo(cpmRemarks)->toPlainText(), QString("~Remarks\nsecond"));
    }
};

QTEST_MAIN(ProjectDialogTest)
#include "project_dialog_test.moc"
