// The units dialog driven from the main window's menu as a user would: it opens on the
// stored measurement system, its options and buttons, what OK switches in every window and
// what it stores in the settings file, its texts in two languages, and that it waits for
// the disclaimer.

#include "app/dialogs/units/dlg_measurement.h"
#include "app/frame/form_main.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "tests/app/main_window_harness.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// What a field shows: its text and its unit button.
struct TShown {
    QString Text, Unit;
    bool operator==(const TShown&) const = default;
};

TShown Shown(const TFMU2Custom* field) {
    return {field->DisplayText(), field->UnitButton()->text()};
}

// Every value field of the main window (the windows it owns included) with what it shows.
std::vector<std::pair<const TFMU2Custom*, TShown>> AllShown(const QWidget& window) {
    std::vector<std::pair<const TFMU2Custom*, TShown>> all;
    for (const TFMU2Custom* f : window.findChildren<TFMU2Custom*>()) all.push_back({f, Shown(f)});
    return all;
}

// Labels, buttons and group titles that are narrower than their text in `window`.
QStringList Clipped(QWidget* window) {
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w) &&
            !qobject_cast<QGroupBox*>(w))
            continue;
        if (w->width() < w->minimumSizeHint().width() ||
            w->height() < w->minimumSizeHint().height())
            clipped << w->objectName();
    }
    if (window->width() < window->minimumSizeHint().width()) clipped << window->objectName();
    return clipped;
}

// Reads a shown number in the test locale (British English: "." and "," groups).
double Number(const QString& text) {
    bool ok = false;
    const double v = QLocale().toDouble(text, &ok);
    return ok ? v : std::nan("");
}

} // namespace

class UnitsDialogTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    THelpRecorder help;

    // The glass plate (0.5 m × 0.4 m × 4 mm) on the workpiece page.
    void OpenGlassPlate() {
        Accept();
        QVERIFY(frame->OpenProjectFile(ExampleProject("glass_plate_rotary.vac")));
        QCOMPARE(app->Workflow.CurrentPage(), int(cmpWorkpiece));
    }
    TFMU2SpinEdit* LengthX() const {
        return qobject_cast<TFMU2SpinEdit*>(frame->CurrentPage()->ControlNamed(cpcLengthX));
    }
    // "~Units" in the options menu; the dialog it shows.
    TDlg_Measurement* OpenUnits() {
        frame->Action("ActionUnits")->trigger();
        TDlg_Measurement* d = frame->UnitsDialog();
        if (d && !QTest::qWaitForWindowExposed(d)) return nullptr;
        return d;
    }
    // A click on an option's round mark (the button stretches beyond its text, where a
    // click does not hit it).
    static void ClickOption(QRadioButton* option) {
        QTest::mouseClick(option, Qt::LeftButton, {},
                          QPoint(option->height() / 2, option->height() / 2));
    }
    QString MeasureOnDisk() const {
        for (const QByteArray& line : isolated->SettingsBytes().split('\n'))
            if (line.trimmed().startsWith("Measure=")) return QString(line.trimmed().mid(8));
        return "(missing)";
    }

private slots:
    void init() {
        Isolate();
        help = {};
        Start({.Accept = false, .Help = &help});
    }
    void cleanup() { Stop(); }

    void inertUntilTheDisclaimerIsAccepted() {
        QVERIFY(!frame->Action("ActionUnits")->isEnabled());
        frame->Action("ActionUnits")->trigger();
        frame->OpenUnitsDialog();
        QCOMPARE(frame->UnitsDialog(), nullptr);
        Accept();
        QVERIFY(frame->Action("ActionUnits")->isEnabled());
        TDlg_Measurement* d = OpenUnits();
        QVERIFY(d);
        QVERIFY(d->isVisible());
        QVERIFY(d->isModal());
    }

    void usOpensCheckedAndCancelChangesNothing() {
        settings->SetMeasure("1");
        OpenGlassPlate();
        const auto before = AllShown(*frame);
        QVERIFY(before.size() > 20);
        QCOMPARE(Shown(LengthX()).Unit, QString("mm"));

        TDlg_Measurement* d = OpenUnits();
        QVERIFY(d);
        QVERIFY(d->USButton()->isChecked());
        QVERIFY(!d->SIButton()->isChecked());
        ClickOption(d->SIButton());
        QVERIFY(d->SIButton()->isChecked());
        QVERIFY(!d->USButton()->isChecked());
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(settings->Measure(), std::string("1"));
        QCOMPARE(MeasureOnDisk(), QString("1"));
        QVERIFY(AllShown(*frame) == before);

        // The next opening shows the stored system again, not the one cancelled.
        d = OpenUnits();
        QVERIFY(d->USButton()->isChecked());
        QVERIFY(!d->SIButton()->isChecked());
        QTest::keyClick(d, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QCOMPARE(settings->Measure(), std::string("1"));
    }

    void okSwitchesTheAutomaticFieldsOfEveryWindowAndStoresTheChoice() {
        OpenGlassPlate();
        // A window of its own with two length fields in millimetres and inches: one follows
        // the switch, the other does not.
        QWidget other;
        auto* layout = new QVBoxLayout(&other);
        auto* follows = new TFMU2SpinEdit(&other);
        auto* keeps = new TFMU2SpinEdit(&other);
        for (TFMU2SpinEdit* f : {follows, keeps}) {
            f->SetNormUnit(cNU_length);
            f->SetPreferredSIUnit(cUM_mm);
            f->SetPreferredUSUnit(cUM_in);
            f->SetValue(0.0254);
            layout->addWidget(f);
        }
        follows->SetAutoUnitChange(true);
        other.show();
        QCOMPARE(Shown(follows), (TShown{"25.4", "mm"}));
        QCOMPARE(Shown(keeps), (TShown{"25.4", "mm"}));
        QCOMPARE(Shown(LengthX()), (TShown{"500", "mm"}));
        QSignalSpy unitEvents(follows, &TFMU2Custom::unitChanged);

        // SI to US: 500 mm are 500 / 25.4 in.
        TDlg_Measurement* d = OpenUnits();
        QVERIFY(d->SIButton()->isChecked());
        ClickOption(d->USButton());
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(settings->Measure(), std::string("1"));
        QCOMPARE(MeasureOnDisk(), QString("1"));
        QCOMPARE(LengthX()->UnitButton()->text(), QString("in"));
        QVERIFY(std::fabs(Number(LengthX()->DisplayText()) - 500.0 / 25.4) < 1e-3);
        QCOMPARE(Shown(follows), (TShown{"1", "in"}));
        QCOMPARE(Shown(keeps), (TShown{"25.4", "mm"}));
        QCOMPARE(unitEvents.count(), 1);
        QCOMPARE(unitEvents.at(0).at(0).toBool(), false);
        // The value in base units never moves with the unit.
        QCOMPARE(app->Document.Workpiece.LengthX, 0.5);

        // The field that does not follow is put into inches by hand; back to SI.
        keeps->SetSIUnits(false);
        QCOMPARE(Shown(keeps), (TShown{"1", "in"}));
        d = OpenUnits();
        QVERIFY(d->USButton()->isChecked());
        ClickOption(d->SIButton());
        QTest::keyClick(d, Qt::Key_Return);
        QVERIFY(!d->isVisible());
        QCOMPARE(settings->Measure(), std::string("0"));
        QCOMPARE(MeasureOnDisk(), QString("0"));
        QCOMPARE(Shown(LengthX()), (TShown{"500", "mm"}));
        QCOMPARE(Shown(follows), (TShown{"25.4", "mm"}));
        QCOMPARE(Shown(keeps), (TShown{"1", "in"}));
        QCOMPARE(unitEvents.count(), 2);
        QCOMPARE(unitEvents.at(1).at(0).toBool(), true);
    }

    void helpAndTextsInTheWindowsLanguage() {
        Accept();
        TDlg_Measurement* d = OpenUnits();
        QCOMPARE(d->windowTitle(), QString("Unit selection"));
        QCOMPARE(d->Group()->title(), QString("Select the measurement system"));
        QCOMPARE(d->SIButton()->text(), QString("SI units"));
        QCOMPARE(d->USButton()->text(), QString("US units"));
        QCOMPARE(d->OkButton()->text(), QString("OK"));
        QCOMPARE(d->CancelButton()->text(), QString("Cancel"));
        QCOMPARE(d->HelpButton()->text(), QString("Help"));
        QCOMPARE(d->findChild<QRadioButton*>("RadioButton_SI"), d->SIButton());
        QCOMPARE(d->findChild<QRadioButton*>("RadioButton_US"), d->USButton());

        QTest::mouseClick(d->HelpButton(), Qt::LeftButton);
        QCOMPARE(help.Topics, std::vector<int>{13});
        QVERIFY(d->isVisible());

        // A language switch of the program reaches the open dialog.
        frame->SetLanguage("ru");
        QCOMPARE(d->windowTitle(), QString("Выбор единиц"));
        QCOMPARE(d->Group()->title(), QString("Выберите систему единиц"));
        QCOMPARE(d->SIButton()->text(), QString("Единицы СИ"));
        QCOMPARE(d->USButton()->text(), QString("Единицы США"));
        QCOMPARE(d->CancelButton()->text(), QString("Отмена"));
        QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        frame->SetLanguage("de");
        d = OpenUnits();
        QCOMPARE(d->windowTitle(), QString("Einheitenauswahl"));
        QCOMPARE(d->SIButton()->text(), QString("SI-Einheiten"));
    }

    void textsFitInEveryLanguage() {
        // VACUUM_LOOK_DIR: where to put a picture of the dialog in each language.
        const QString look = qEnvironmentVariable("VACUUM_LOOK_DIR");
        Accept();
        TDlg_Measurement* d = OpenUnits();
        for (const char* code : {"en", "de", "fr", "ru"}) {
            frame->SetLanguage(code);
            QCoreApplication::processEvents();
            const QStringList clipped = Clipped(d);
            QVERIFY2(clipped.isEmpty(), qPrintable(QString(code) + ": " + clipped.join(", ")));
            // The options stand one below the other, left-aligned, above the buttons.
            QCOMPARE(d->SIButton()->x(), d->USButton()->x());
            QVERIFY(d->SIButton()->geometry().bottom() < d->USButton()->y());
            QVERIFY(d->Group()->geometry().bottom() < d->OkButton()->mapTo(d, QPoint()).y());
            if (!look.isEmpty()) d->grab().save(look + "/units_dialog_" + code + ".png");
        }
    }

    void aChoiceOfUsUnitsHoldsOnTheNextStart() {
        // The last run chose US units: the window of this run starts with them, and so
        // does a dialog made later.
        settings->SetMeasure("1");
        frame.reset();
        TFrameServices services{
            *settings, languageDialog, messages, files,
            languages, timers,         &help,    [] { return QSize(1280, 1024); }};
        frame = std::make_unique<TFormMain>(*app, services, CreatePages);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        OpenGlassPlate();
        QCOMPARE(LengthX()->UnitButton()->text(), QString("in"));
        QVERIFY(std::fabs(Number(LengthX()->DisplayText()) - 500.0 / 25.4) < 1e-3);
        QCOMPARE(app->Document.Workpiece.LengthX, 0.5);
        TDlg_Measurement* d = OpenUnits();
        QVERIFY(d->USButton()->isChecked());
    }

    void aSettingOfNeitherSystemChecksNoOption() {
        settings->SetMeasure("2");
        Accept();
        TDlg_Measurement* d = OpenUnits();
        QVERIFY(!d->SIButton()->isChecked());
        QVERIFY(!d->USButton()->isChecked());
        QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        QCOMPARE(settings->Measure(), std::string("2"));
        QCOMPARE(MeasureOnDisk(), QString("2"));
    }
};

QTEST_MAIN(UnitsDialogTest)
#include "units_dialog_test.moc"
