// The compressed-air group of the vacuum generator page and the verdict of the load page in
// the main window on the bundled catalogue, driven as a user would: typed cycle figures
// change the air a year in proportion, the required safety typed on the load page turns
// the verdict, and the status bar says on every page when the design does not hold.
#include "app/frame/form_main.h"
#include "app/frame/main_status_bar.h"
#include "app/frame/page_navigator.h"
#include "app/pages/cup_load/suction_cup_load_page.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/venturi/air_group.h"
#include "app/pages/venturi/venturi_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/main_window_harness.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {

// The first number of a label's text ("308 m³ · 33.9 kWh · 6.16 €" gives 308).
double FirstNumber(const QString& text) {
    return QLocale().toDouble(text.section(' ', 0, 0));
}

} // namespace

class AirAndVerdictPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TAirGroup* Air() const { return dynamic_cast<TVenturiPage*>(frame->Page(cmpVenturi))->AirGroup(); }
    TSuctionCupLoadPage* Loads() const {
        return dynamic_cast<TSuctionCupLoadPage*>(frame->Page(cmpSuctionCupLoad));
    }
    void Open(const QString& file, int page) { OpenOnPage(file, page); }
    // The text typed and the field left with the tab key.
    void Type(TFMU2SpinEdit* field, const QString& text) {
        TMainWindowHarness::Type(field, text);
        QTest::keyClick(field->Edit(), Qt::Key_Tab);
    }
    QLabel* StatusVerdict() const { return frame->Status()->VerdictPanel(); }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void typedCycleFiguresScaleTheAirAYear() {
        Open(ExampleProject("glass_plate_rotary.vac"), cmpVenturi);
        // The air is the third tab, after the operating conditions and the site.
        auto* page = dynamic_cast<TVenturiPage*>(frame->Page(cmpVenturi));
        QVERIFY(!Air()->isVisible());
        QTabBar* bar = page->ConditionTabs()->tabBar();
        QCOMPARE(page->ConditionTabs()->indexOf(Air()), 2);
        QCOMPARE(bar->tabText(2), QString("Compressed air and cost"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QVERIFY(Air()->isVisible());
        QCOMPARE(Air()->CycleRateField()->Edit()->text(), QString("180"));
        QCOMPARE(Air()->OperatingTimeField()->Edit()->text(), QString("4000"));
        const double perYear = FirstNumber(Air()->PerYearLabel()->text());
        QVERIFY(perYear > 0.0);
        QVERIFY(Air()->PerYearLabel()->text().endsWith(QString::fromUtf8("€")));
        // The price is in the currency the costs are given in, which stands in its unit room.
        QVERIFY(Air()->PriceField()->UnitButton()->isVisible());
        QCOMPARE(Air()->PriceField()->UnitButton()->text(), QString::fromUtf8("€"));
        // Twice the cycles, twice the air a year (three digits shown).
        Type(Air()->CycleRateField(), "360");
        QCOMPARE(app->Document.Air.CycleRate, 0.1);
        QVERIFY(std::abs(FirstNumber(Air()->PerYearLabel()->text()) / perYear - 2.0) < 0.01);
        // Half the operating hours, back to the first figure.
        Type(Air()->OperatingTimeField(), "2000");
        QCOMPARE(app->Document.Air.OperatingTime, 2000.0 * 3600.0);
        QVERIFY(std::abs(FirstNumber(Air()->PerYearLabel()->text()) / perYear - 1.0) < 0.01);
        // A price typed shows in the cost: 0.5 a cubic metre of the air a year.
        Type(Air()->PriceField(), "0.5");
        QCOMPARE(app->Document.Air.Price, 0.5);
        const double cost = QLocale().toDouble(Air()->PerYearLabel()->text().section(QString::fromUtf8(" · "), 2, 2).section(' ', 0, 0));
        QVERIFY(std::abs(cost / (0.5 * FirstNumber(Air()->PerYearLabel()->text())) - 1.0) < 0.01);
        // The V1 series offers no air-saving generator.
        QCOMPARE(Air()->SavingLabel()->text(), QString("none in this series"));
        // A value no field takes locks the navigator.
        Type(Air()->HoldingTimeField(), "5000");
        Next();
        QCOMPARE(Current(), int(cmpVenturi));
    }

    void theAirTabFitsTheWindowInEnglishAndRussian() {
        Open(ExampleProject("glass_plate_rotary.vac"), cmpVenturi);
        auto* page = dynamic_cast<TVenturiPage*>(frame->Page(cmpVenturi));
        page->ConditionTabs()->setCurrentWidget(Air());
        InEachLanguageAndSize({"en", "ru"}, {QSize(1024, 768), QSize(1280, 1024)},
                              [&](const char* language, QSize size) {
            CheckInsideAndWhole(Air(), page, language);
            QVERIFY(page->Grid()->height() > 150);
            SavePicture("VACUUM_SHOT_DIR", frame.get(),
                        QString("air_tab_%1_%2").arg(language).arg(size.width()));
        });
    }

    // A project just opened says nothing of its design until its pages have been walked:
    // the glass plate holds, though the status bar said otherwise before the motion was
    // worked out. The steel sheet's verdict, once found, stands on the earlier pages.
    void aProjectOpenedIsJudgedOnceItsPagesAreWalked() {
        Open(ExampleProject("glass_plate_rotary.vac"), cmpWorkpiece);
        QVERIFY(StatusVerdict()->isHidden());
        WalkTo(cmpPartsList);
        QVERIFY(StatusVerdict()->isHidden());
        Open(ExampleProject("steel_sheet_linear.vac"), cmpWorkpiece);
        QVERIFY(StatusVerdict()->isHidden());
        WalkTo(cmpForcesAndMoments);
        QVERIFY(StatusVerdict()->isHidden());
        Next();
        QVERIFY(!StatusVerdict()->isHidden());
        QVERIFY(StatusVerdict()->text().startsWith("The design does not hold: smallest safety 1.12"));
        QVERIFY(StatusVerdict()->toolTip().contains("Suction cup 1"));
        QTest::mouseClick(frame->Navigator()->Entry(cmpWorkpiece), Qt::LeftButton);
        QCOMPARE(Current(), int(cmpWorkpiece));
        QVERIFY(!StatusVerdict()->isHidden());
    }

    void theRequiredSafetyTurnsTheVerdictShownOnEveryPage() {
        Open(ExampleProject("steel_sheet_linear.vac"), cmpSuctionCupLoad);
        // One 30 mm cup keeps a safety of about 1.12 at the start of the lift.
        QVERIFY2(Loads()->VerdictLabel()->text().startsWith("The design does not hold: smallest safety 1.12"),
                 qPrintable(Loads()->VerdictLabel()->text()));
        QVERIFY(Loads()->VerdictLabel()->text().contains("Suction cup 1"));
        QVERIFY(!StatusVerdict()->isHidden());
        // Every page that leads to it says so.
        Previous();
        QCOMPARE(Current(), int(cmpForcesAndMoments));
        QVERIFY(StatusVerdict()->text().startsWith("The design does not hold"));
        Next();
        Type(Loads()->RequiredSafetyField(), "1.1");
        QCOMPARE(app->Document.RequiredSafety, 1.1);
        QVERIFY2(Loads()->VerdictLabel()->text().startsWith("The design holds"),
                 qPrintable(Loads()->VerdictLabel()->text()));
        QVERIFY(StatusVerdict()->isHidden());
        // Below 1 is no safety: the field refuses it and the page cannot be left forward.
        Type(Loads()->RequiredSafetyField(), "0.5");
        QCOMPARE(app->Document.RequiredSafety, 1.1);
    }
};

QTEST_MAIN(AirAndVerdictPageTest)
#include "air_and_verdict_page_test.moc"
