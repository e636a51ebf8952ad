// The help window on the bundled catalogue (Vacuum.dat and Vacuum.bin beside the test
// program): topics, links, history, stay-on-top and the language of the application.

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <memory>

#include "app/help/help_window.h"
#include "core/data/orsik_connection.h"
#include "core/workflow/page_workflow.h"
#include "core/workflow/vacuum_application.h"

class HelpWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TVacuumApplication> app;
    std::unique_ptr<THelpWindow> window;

    QPushButton* Button(const char* name) const { return window->findChild<QPushButton*>(name); }
    QString Title() const { return window->Browser()->documentTitle(); }

    // The viewport point of the first character of the link to `href` in the page shown.
    QPoint LinkPoint(const QString& href) const {
        QTextDocument* doc = window->Browser()->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (f.charFormat().anchorHref() != href) continue;
                QTextCursor cursor(doc);
                cursor.setPosition(f.position() + 1);
                window->Browser()->ensureCursorVisible();
                return window->Browser()->cursorRect(cursor).center();
            }
        return {-1, -1};
    }

    void SetLanguage(const char* code) {
        QVERIFY(app->Input([&] { return app->SetLanguage(code); }));
    }

private slots:
    void init() {
        app = std::make_unique<TVacuumApplication>(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
        QVERIFY2(app->Active(), app->LastError().c_str());
        SetLanguage("en");
        window = std::make_unique<THelpWindow>(*app);
        window->resize(760, 600);
    }
    void cleanup() {
        window.reset();
        app.reset();
    }

    void showTopicShowsThePageOfThatTopic() {
        window->ShowTopic(cHelpFormulae);
        QVERIFY(window->isVisible());
        QCOMPARE(window->CurrentTopic(), cHelpFormulae);
        QCOMPARE(Title(), QString("Formulae"));
        QCOMPARE(window->windowTitle(), QString("Help - Formulae"));
        window->ShowTopic(cHelpFrictionValues);
        QCOMPARE(Title(), QString("Table of friction values"));
        QVERIFY(window->Browser()->toPlainText().contains("Nitrile rubber (NBR)"));
        // F1 on the workpiece page and on the vacuum generator page.
        window->ShowTopic(MainPageInfo(cmpWorkpiece).HelpTopic);
        QCOMPARE(Title(), QString("Workpiece"));
        window->ShowTopic(MainPageInfo(cmpVenturi).HelpTopic);
        QCOMPARE(Title(), QString("Vacuum generator"));
    }

    void topicsOutOfRangeOrWithoutPageShowTheContents() {
        window->ShowTopic(cHelpFormulae);
        for (const int topic : {17, -1, 1000, 7, 14}) {
            window->ShowTopic(topic);
            QCOMPARE(window->CurrentTopic(), cHelpContents);
            QCOMPARE(Title(), QString("Contents"));
        }
        // Showing the contents again and again makes one history entry.
        QVERIFY(window->CanGoBack());
        window->Back();
        QCOMPARE(window->CurrentTopic(), cHelpFormulae);
    }

    void clickingALinkMovesToItsTopicAndBackReturns() {
        window->ShowTopic(cHelpContents);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(!Button("helpBack")->isEnabled());
        QSignalSpy shown(window.get(), &THelpWindow::TopicShown);
        // A real click on the contents' link to the formulae.
        const QPoint p = LinkPoint("topic:13");
        QVERIFY(p.x() >= 0);
        QTest::mouseClick(window->Browser()->viewport(), Qt::LeftButton, {}, p);
        QCOMPARE(window->CurrentTopic(), cHelpFormulae);
        QCOMPARE(Title(), QString("Formulae"));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(shown.at(0).at(0).toInt(), cHelpFormulae);
        // A link as the browser reports it.
        emit window->Browser()->anchorClicked(QUrl("topic:11"));
        QCOMPARE(Title(), QString("Table of friction values"));
        // Links that are not topics change nothing.
        emit window->Browser()->anchorClicked(QUrl("topic:99"));
        emit window->Browser()->anchorClicked(QUrl("http://example.org/"));
        QCOMPARE(window->CurrentTopic(), cHelpFrictionValues);

        QVERIFY(Button("helpBack")->isEnabled());
        QVERIFY(!Button("helpForward")->isEnabled());
        QTest::mouseClick(Button("helpBack"), Qt::LeftButton);
        QCOMPARE(Title(), QString("Formulae"));
        QTest::mouseClick(Button("helpBack"), Qt::LeftButton);
        QCOMPARE(Title(), QString("Contents"));
        QVERIFY(!Button("helpBack")->isEnabled());
        QVERIFY(Button("helpForward")->isEnabled());
        QTest::mouseClick(Button("helpForward"), Qt::LeftButton);
        QCOMPARE(Title(), QString("Formulae"));
        // A new topic drops the forward history.
        QTest::mouseClick(Button("helpIndex"), Qt::LeftButton);
        QCOMPARE(window->CurrentTopic(), cHelpIndex);
        QVERIFY(!window->CanGoForward());
        QTest::mouseClick(Button("helpContents"), Qt::LeftButton);
        QCOMPARE(window->CurrentTopic(), cHelpContents);
        window->Back();
        QCOMPARE(window->CurrentTopic(), cHelpIndex);
        window->Back();
        QCOMPARE(window->CurrentTopic(), cHelpFormulae);
    }

    void stayOnTopSetsTheWindowFlag() {
        window->ShowTopic(cHelpContents);
        QVERIFY(!window->StayOnTop());
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        window->SetStayOnTop(true);
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window->isVisible());
        auto* box = window->findChild<QCheckBox*>("helpStayOnTop");
        QVERIFY(box->isChecked());
        // The check box does the same.
        box->click();
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window->isVisible());
        QCOMPARE(window->CurrentTopic(), cHelpContents);
        box->click();
        QVERIFY(window->StayOnTop());
    }

    void aLanguageSwitchRetranslatesThePageShown() {
        window->ShowTopic(cHelpFormulae);
        window->ShowTopic(cHelpFrictionValues);
        SetLanguage("de");
        QCOMPARE(Title(), QString::fromUtf8("Reibwerttabelle"));
        QCOMPARE(window->windowTitle(), QString::fromUtf8("Hilfe - Reibwerttabelle"));
        QCOMPARE(Button("helpBack")->text(), QString::fromUtf8("Zurück"));
        QVERIFY(window->Browser()->toPlainText().contains(QString::fromUtf8("Nitrilkautschuk (NBR)")));
        // The history stays; going back shows the earlier page in the new language.
        window->Back();
        QCOMPARE(Title(), QString::fromUtf8("Formeln"));
        SetLanguage("ru");
        QCOMPARE(Title(), QString::fromUtf8("Формулы"));
        QCOMPARE(Button("helpContents")->text(), QString::fromUtf8("Содержание"));
        QCOMPARE(window->CurrentTopic(), cHelpFormulae);
    }

    void aWindowOnGivenTablesFollowsItsTranslationOnRetranslate() {
        std::string mark = "A:";
        THelpWindow own(THelpSources{}, [&](std::string_view key) { return mark + std::string(key.substr(1)); });
        own.ShowTopic(cHelpChemicalDurability);
        QCOMPARE(own.Browser()->documentTitle(), QString("A:ChemicalDurability"));
        QVERIFY(own.Browser()->toPlainText().contains("A:HelpNoTable"));
        mark = "B:";
        own.Retranslate();
        QCOMPARE(own.Browser()->documentTitle(), QString("B:ChemicalDurability"));
        QCOMPARE(own.windowTitle(), QString("B:Help - B:ChemicalDurability"));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
