#pragma once

// The main window as the window tests drive it: a settings folder of the test's own, the
// application on the bundled catalogue in English, the frame on the scripted services of
// app_test_support.h, shown and (unless told otherwise) with the disclaimer accepted; and
// the moves a user makes in it — open a project, walk the pages, type into a field, read a
// grid — with the checks that a page's texts are whole and lie inside the page.
//
// A test class derives from it beside QObject, calls Start() in init() (or in the test,
// when the test needs other settings) and Stop() in cleanup().

#include "app/frame/form_main.h"
#include "app/frame/page.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_custom.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/app_test_support.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

//! How the window is started; the defaults are what most tests want.
struct TWindowStart {
    //! The program's command line, as the settings read it.
    std::vector<std::string> Arguments{};
    //! The size of the screen the window is told it is on; unset: the window's screen.
    std::function<QSize()> ScreenSize = [] { return QSize(1280, 1024); };
    //! The window's size before it is shown; invalid: the size it takes itself.
    QSize WindowSize{};
    //! Whether the disclaimer is accepted once the window is shown.
    bool Accept = true;
    //! Makes the pages; unset: the program's own pages.
    TPageFactory Pages{};
    //! The optional services; null: none (or the frame's own).
    IHelpViewer* Help = nullptr;
    IProgramStarter* Programs = nullptr;
    IUrlOpener* Urls = nullptr;
    IPrintDialogs* Printing = nullptr;
    const IClock* Clock = nullptr;
};

//! What the text check looks at.
struct TFitRules {
    //! A widget whose own children are not looked at (a grid draws its cells itself).
    QWidget* Skip = nullptr;
    //! How a label shows its text whole.
    enum TLabels {
        //! As wide as its text, or a wrapping one as high as its lines.
        flWidthOrWrappedHeight,
        //! As wide as its text, wrapping or not.
        flWidth,
        //! As high as its lines at its width.
        flHeight,
    } Labels = flWidthOrWrappedHeight;
    //! Lists as wide as their texts.
    bool Lists = false;
    //! Push buttons as wide as they ask to be.
    bool Buttons = false;
};

class TMainWindowHarness {
protected:
    std::unique_ptr<TIsolatedSettings> isolated;
    TPosixEnvironment env;
    std::unique_ptr<TTavUserSettings> settings;
    TLanguageDialog32Bit languageDialog;
    TScriptedMessages messages;
    TScriptedFiles files;
    TScriptedLanguages languages;
    TManualTimers timers;
    std::unique_ptr<TVacuumApplication> app;
    std::unique_ptr<TFormMain> frame;

    //! A fresh settings folder, and the scripts and records of the services emptied.
    void Isolate() {
        isolated = std::make_unique<TIsolatedSettings>();
        messages = {};
        files = {};
        languages = {};
        // The timers of the last test's windows are gone with them.
        timers.Made.clear();
    }

    //! The main window as the program builds it (a window already there closed first). The
    //! settings folder and the scripts stay as they are; without a folder a fresh one.
    void Start(const TWindowStart& options = {}) {
        if (!isolated) Isolate();
        frame.reset();
        app.reset();
        settings = std::make_unique<TTavUserSettings>(env);
        settings->SetSection("KELM");
        settings->Loaded(options.Arguments);
        app =
            std::make_unique<TVacuumApplication>(TOrsikConnection::ProgramFolder() + "/Vacuum.dat");
        QVERIFY2(app->Active(), app->LastError().c_str());
        app->SetLanguage("en");
        languageDialog.SetConnection(&app->LanguageConnection);
        languageDialog.SetTable("Dialog");
        TFrameServices services{*settings, languageDialog, messages,       files,
                                languages, timers,         options.Help, options.ScreenSize};
        services.Programs = options.Programs;
        services.Urls = options.Urls;
        services.Printing = options.Printing;
        services.Clock = options.Clock;
        frame = std::make_unique<TFormMain>(*app, services,
                                            options.Pages ? options.Pages : TPageFactory(CreatePages));
        if (options.WindowSize.isValid()) frame->resize(options.WindowSize);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        if (options.Accept) Accept();
    }

    //! The window, the application, the settings and their folder gone.
    void Stop() {
        frame.reset();
        app.reset();
        settings.reset();
        isolated.reset();
    }

    void Accept() {
        auto* disclaimer = dynamic_cast<TDisclaimerPage*>(frame->Page(cmpDisclaimer));
        QTest::mouseClick(disclaimer->AcceptButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    //! A project opened through the menu; a changed project is closed without saving.
    void Open(const QString& file) {
        files.Names.push_back(file);
        messages.Answers = {TAnswer::No};
        frame->Action("ActionOpen")->trigger();
        QCoreApplication::processEvents();
    }

    int Current() const { return app->Workflow.CurrentPage(); }
    void Next() { QTest::mouseClick(frame->Navigator()->NextButton(), Qt::LeftButton); }
    void Previous() { QTest::mouseClick(frame->Navigator()->PreviousButton(), Qt::LeftButton); }
    bool EntryEnabled(int page) const { return frame->Navigator()->Entry(page)->isEnabled(); }

    //! The next button pressed until `page`: each press goes one page on, and the stack
    //! shows the page at the end.
    void WalkTo(int page) {
        while (Current() < page) {
            const int before = Current();
            Next();
            QVERIFY2(Current() == before + 1,
                     qPrintable(Current() == before
                                    ? QString("refused on page %1").arg(before)
                                    : QString("page %1 led to page %2").arg(before).arg(Current())));
        }
        QCOMPARE(Current(), page);
        QCOMPARE(frame->Stack()->currentWidget(), frame->Page(page)->Widget());
    }
    //! A project opened, on the workpiece page, and walked to `page`.
    void OpenOnPage(const QString& file, int page) {
        Open(file);
        QCOMPARE(Current(), int(cmpWorkpiece));
        WalkTo(page);
    }

    //! Replaces the text of a value field as typed: all of it selected, deleted, the new
    //! text keyed in.
    static void Type(TFMU2SpinEdit* field, const QString& text) {
        field->Edit()->setFocus();
        field->Edit()->selectAll();
        QTest::keyClick(field->Edit(), Qt::Key_Backspace);
        QTest::keyClicks(field->Edit(), text);
    }
    //! The number a field shows, read back from its text.
    static double ShownValue(const TFMU2Custom* field) { return field->DisplayText().toDouble(); }
    //! A click on a check box's indicator.
    static void Tick(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    //! Chooses the entry of a list that reads `text` with the keyboard.
    static void Choose(QComboBox* list, const QString& text) {
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < list->count() && list->currentText() != text; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentText(), text);
    }

    //! The text of a grid's data cell.
    static QString GridCell(const TStringTableGrid* grid, int row, int col) {
        return grid->model()->index(row, col).data().toString();
    }
    static int GridRowCount(const TStringTableGrid* grid) { return grid->model()->rowCount(); }
    //! A click in the middle of a data cell, scrolled into view first.
    static void ClickCell(TStringTableGrid* grid, int row, int col) {
        const QModelIndex target = grid->model()->index(row, col);
        grid->scrollTo(target);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(target).center());
    }
    //! The first row that reads `text` in data column `col` and, with `unselected`, is not
    //! the grid's current row (drawn in the selection's colours); -1 when there is none.
    static int RowReading(const TStringTableGrid* grid, int col, const QString& text,
                          bool unselected = false) {
        for (int r = 0; r < GridRowCount(grid); ++r)
            if (GridCell(grid, r, col) == text && !(unselected && r == grid->Row() - 1)) return r;
        return -1;
    }

    //! Every visible label, button and list of `root` that keeps its text on one line is as
    //! wide as its text, and, with a `page`, lies inside it. A value field sizes its unit
    //! button itself, so what stands in one is passed over unless `fields` says otherwise;
    //! lists are looked at only with `lists`. `shot` names the case in the messages.
    static void CheckTextsWhole(QWidget* root, QWidget* page, const QString& shot,
                                bool lists = true, bool fields = false) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            const auto* label = qobject_cast<QLabel*>(w);
            const bool text = label || qobject_cast<QAbstractButton*>(w) ||
                              (lists && qobject_cast<QComboBox*>(w));
            if (!text || (label && label->wordWrap())) continue;
            bool inField = false;
            for (QWidget* p = w->parentWidget(); p && !inField && !fields; p = p->parentWidget())
                inField = qobject_cast<TFMU2Custom*>(p) != nullptr;
            if (inField) continue;
            QVERIFY2(w->width() >= w->minimumSizeHint().width(),
                     qPrintable(shot + ": " + w->objectName() + " \"" +
                                w->property("text").toString() + "\" clipped"));
            if (page)
                QVERIFY2(page->rect().contains(QRect(w->mapTo(page, QPoint(0, 0)), w->size())),
                         qPrintable(shot + ": " + w->objectName() + " outside the page"));
        }
    }

    //! Every visible widget of `root` lies inside `page`, and its labels (and, as the rules
    //! say, lists and push buttons) show their texts whole. `what` names the case in the
    //! messages.
    static void CheckInsideAndWhole(QWidget* root, QWidget* page, const QString& what,
                                    const TFitRules& rules = {}) {
        const QRect area = page->rect();
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            if (rules.Skip && (w == rules.Skip || rules.Skip->isAncestorOf(w))) continue;
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            QVERIFY2(area.contains(r), qPrintable(w->objectName() + " " + what));
            if (auto* label = qobject_cast<QLabel*>(w)) {
                const bool wide = label->width() >= label->minimumSizeHint().width();
                const bool high = label->height() >= label->heightForWidth(label->width());
                const bool whole = rules.Labels == TFitRules::flWidth    ? wide
                                   : rules.Labels == TFitRules::flHeight ? high
                                   : label->wordWrap()                   ? high
                                                                         : wide;
                QVERIFY2(whole, qPrintable(label->text() + " " + what));
            }
            if (auto* list = qobject_cast<QComboBox*>(w); list && rules.Lists)
                QVERIFY2(list->width() >= list->minimumSizeHint().width(), qPrintable(what));
            if (auto* button = qobject_cast<QPushButton*>(w); button && rules.Buttons)
                QVERIFY2(button->width() >= button->sizeHint().width(),
                         qPrintable(button->text()));
        }
    }

    //! The window resized to each size in each language (the languages outermost), the
    //! events handled, then `check`; it stops at the first failure.
    void InEachLanguageAndSize(std::initializer_list<const char*> codes,
                               std::initializer_list<QSize> sizes,
                               const std::function<void(const char* code, QSize size)>& check) {
        for (const char* code : codes) {
            frame->SetLanguage(code);
            for (const QSize size : sizes) {
                frame->resize(size);
                QCoreApplication::processEvents();
                check(code, size);
                if (QTest::currentTestFailed()) return;
            }
        }
    }

    //! With the environment variable `variable` naming a folder, a picture of `widget`
    //! saved there as `name`.png, to look at.
    static void SavePicture(const char* variable, QWidget* widget, const QString& name) {
        const QString dir = qEnvironmentVariable(variable);
        if (!dir.isEmpty()) widget->grab().save(dir + "/" + name + ".png");
    }
};
