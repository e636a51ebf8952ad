// The vacuum generator page and its chart window in the main window on the bundled
// catalogue, driven as a user would: typed conditions change the evacuation time and the
// reachable vacuum of the grid (worked out from the catalogue's source files and the laws of
// the evacuation), filter lists narrow the grid and are kept in the document, a forward move
// with a generator that does not fit the tube or with no vacuum is refused with one message,
// invalid fields lock the navigator, the examples and a project with filters come back as
// stored, "~Diagram" opens the chart window that follows the conditions and draws the curve
// and the operating point, and the page fits the window in English and Russian.

#include "app/dialogs/venturi_chart/form_venturi.h"
#include "app/frame/form_main.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/venturi/venturi_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/chart/diagramm.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/catalog_source_rows.h"
#include "tests/app/main_window_harness.h"

#include <cmath>
#include <functional>
#include <map>

#include <QApplication>
#include <QComboBox>
#include <QTabBar>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

QString Source(const char* file) {
    return QString(VACUUM_SOURCE_DIR) + "/catalog/product/" + file;
}
const TSourceRows& Generators() {
    static const TSourceRows rows(Source("venturi.tsv"));
    return rows;
}
const TSourceRows& VacuumCurves() {
    static const TSourceRows rows(Source("curve_vacuum.tsv"));
    return rows;
}
const TSourceRows& AirCurves() {
    static const TSourceRows rows(Source("curve_air_consumption.tsv"));
    return rows;
}

// The stored value of a project key, read from the file's text.
QString StoredValue(const QString& file, const QString& key) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n'))
        if (line.startsWith(key + "=")) return line.mid(key.size() + 1).trimmed();
    return {};
}

// A text "443 ms" or "1.23 s" in seconds.
double Seconds(const QString& text) {
    if (text.endsWith(" ms")) return text.chopped(3).toDouble() / 1000.0;
    if (text.endsWith(" s")) return text.chopped(2).toDouble();
    return -1.0;
}

constexpr int kOkCol = 0;
constexpr int kCodeCol = 1;
constexpr int kTimeCol = 2;
constexpr int kVacuumCol = 3;

} // namespace

class VenturiPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TVenturiPage* Page() const { return dynamic_cast<TVenturiPage*>(frame->Page(cmpVenturi)); }
    TStringTableGrid* Grid() const { return Page()->Grid(); }
    QString Cell(int row, int col) const { return GridCell(Grid(), row, col); }
    int GridRows() const { return GridRowCount(Grid()); }
    int CurrentRow() const { return Grid()->Row() - 1; }

    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpVenturi); }
    void ClickRow(int row) { ClickCell(Grid(), row, kCodeCol); }
    int RowReading(int col, const QString& text) const {
        return TMainWindowHarness::RowReading(Grid(), col, text);
    }
    QString Entry(const char* column) const {
        const TStrTableCoBoxModel& m = Page()->List(column)->Model();
        return m.ItemIndex() > 0
                   ? QString::fromStdString(m.Items()[static_cast<size_t>(m.ItemIndex())])
                   : QString();
    }
    double TimeOfCurrentRow() const { return Seconds(Cell(CurrentRow(), kTimeCol)); }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void typedConditionsChangeTheTimeAndVacuumColumns() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const QString code =
            StoredValue(ExampleProject("glass_plate_rotary.vac"), "Venturi.OrderCode");
        QCOMPARE(Cell(CurrentRow(), kCodeCol), code);
        const QString vacuumCurve =
            Generators().At(*std::find_if(Generators().Rows.begin(), Generators().Rows.end(),
                                          [&](const QStringList& r) {
                                              return Generators().At(r, "OrderCode") == code;
                                          }),
                            "Unterdruck");
        // The reachable vacuum is the generator's curve at 6 bar, shown below ambient.
        QCOMPARE(Cell(CurrentRow(), kVacuumCol),
                 QString("-%1 bar").arg(VacuumCurves().Curve(vacuumCurve, "Vacuum_bar", 6.0)));
        const double one = TimeOfCurrentRow();
        QVERIFY(one > 0.0);

        // Two generators in parallel take half the time (to the millisecond shown).
        Type(Page()->CountField(), "2");
        QCOMPARE(app->Document.Venturi.Count, 2);
        QVERIFY2(std::abs(TimeOfCurrentRow() - one / 2.0) <= 0.0011,
                 qPrintable(Cell(CurrentRow(), kTimeCol)));
        Type(Page()->CountField(), "1");
        QVERIFY(std::abs(TimeOfCurrentRow() - one) <= 0.0005);

        // At 4 bar the curve reaches less vacuum, and the same vacuum takes longer.
        Type(Page()->PressureField(), "4");
        QCOMPARE(app->Document.Venturi.Pressure, 4e5);
        QCOMPARE(Cell(CurrentRow(), kVacuumCol),
                 QString("-%1 bar").arg(VacuumCurves().Curve(vacuumCurve, "Vacuum_bar", 4.0)));
        QVERIFY(TimeOfCurrentRow() > one);
        Type(Page()->PressureField(), "6");

        // A shallower vacuum is reached sooner; no vacuum at all takes no time on every row.
        Type(Page()->VacuumField(), "-0.3");
        QCOMPARE(app->Document.Venturi.Vacuum, -0.3e5);
        QVERIFY(TimeOfCurrentRow() < one);
        Type(Page()->VacuumField(), "0");
        for (int r = 0; r < GridRows(); ++r) QCOMPARE(Cell(r, kTimeCol), QString("0 ms"));

        // The maximum time is stored as typed.
        Type(Page()->TimeMaxField(), "2.5");
        QCOMPARE(app->Document.Venturi.TimeMax, 2.5);
    }

    void invalidFieldsLockTheNavigator() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        struct TCase {
            TFMU2SpinEdit* Field;
            QString Bad, Good;
        };
        for (const TCase& c :
             {TCase{Page()->CountField(), "0", "1"}, TCase{Page()->PressureField(), "8", "6"},
              TCase{Page()->VacuumField(), "-0.99", "-0.7"}}) {
            Type(c.Field, c.Bad);
            QVERIFY2(!c.Field->Valid(), qPrintable(c.Bad));
            QVERIFY(!frame->Navigator()->NextButton()->isEnabled());
            QVERIFY(!frame->Navigator()->PreviousButton()->isEnabled());
            Type(c.Field, c.Good);
            QVERIFY(frame->Navigator()->NextButton()->isEnabled());
        }
    }

    void filterListsNarrowTheGridAndAreStored() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const int all = static_cast<int>(Generators().Rows.size());
        QCOMPARE(GridRows(), all);
        TStrTableCoBox* group = Page()->List("Group");
        Choose(group, "V2");
        const auto inGroup = [](const QStringList& r) {
            return Generators().At(r, "Group") == "V2";
        };
        QCOMPARE(GridRows(), Generators().Count(inGroup));
        QCOMPARE(app->Document.Venturi.SelectionGroup, uint8_t(2));
        QVERIFY(Page()->RecordLabel()->text().startsWith(
            QString("%1 of %2 records").arg(GridRows()).arg(all)));

        Choose(Page()->List("~EjectorPulse"), "Electrical");
        const auto electrical = [&](const QStringList& r) {
            return inGroup(r) && Generators().At(r, "~EjectorPulse") == "~Electrical";
        };
        QCOMPARE(GridRows(), Generators().Count(electrical));
        QVERIFY(app->Document.Venturi.SelectionEjectorPulse);
        QVERIFY(TVenturiPage::Highlighted(Page()->PulseLabel(0)));
        QVERIFY(!TVenturiPage::Highlighted(Page()->PulseLabel(1)));

        Choose(Page()->List("FittingP"), "G1/8");
        QCOMPARE(Page()->PressureFitting()->Thread(), QString("G1/8"));
        QVERIFY(Page()->PressureFitting()->isVisible());
        QCOMPARE(app->Document.Venturi.SelectionGewP, uint8_t(2)); // "*", "M5", "G1/8"
        QCOMPARE(GridRows(), Generators().Count([&](const QStringList& r) {
            return electrical(r) && Generators().At(r, "FittingP") == "G1/8";
        }));

        // The switch help lights the outputs of the switch type chosen.
        Choose(Page()->List("Switch"), "PNP");
        QVERIFY(TVenturiPage::Highlighted(Page()->SwitchLabel("PNP")));
        QVERIFY(!TVenturiPage::Highlighted(Page()->SwitchLabel("NPN")));

        // Back to no preference everywhere: all rows again.
        for (const char* column : {"Switch", "FittingP", "~EjectorPulse", "Group"})
            Choose(Page()->List(column), "No preference");
        QCOMPARE(GridRows(), all);
        QCOMPARE(app->Document.Venturi.SelectionGroup, uint8_t(0));
        QVERIFY(!app->Document.Venturi.SelectionEjectorPulse);
        QVERIFY(Page()->PressureFitting()->Thread().isEmpty());
        // Without a thread the picture gives its room to the list.
        QVERIFY(!Page()->PressureFitting()->isVisible());
    }

    void focusAndLabelClicksShowTheHelp() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        // Entering the page focuses its first field, whose help shows.
        Grid()->setFocus();
        QVERIFY(Page()->HelpPanel()->isHidden());
        Page()->VacuumField()->Edit()->setFocus();
        QVERIFY(Page()->HelpPanel()->isVisible());
        QCOMPARE(Page()->HelpText()->text(), frame->Tr("~HelpVenturiVacuum"));
        Page()->List("Switch")->setFocus();
        QVERIFY(Page()->HelpPanel()->isVisible());
        QVERIFY(Page()->SwitchLabel("U")->isVisible());
        Grid()->setFocus();
        QVERIFY(Page()->HelpPanel()->isHidden());
    }

    void forwardMovesWithAnUnfitGeneratorOrNoVacuumAreRefused() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const int good = CurrentRow();
        const int unfit = RowReading(kOkCol, "No");
        QVERIFY(unfit >= 0);
        ClickRow(unfit);
        QCOMPARE(app->Venturi.SelectedRow(), unfit);
        QCOMPARE(Page()->SelectedLabel()->text(), Cell(unfit, kCodeCol));
        Next();
        QCOMPARE(Current(), int(cmpVenturi));
        QCOMPARE(int(messages.Shown.size()), 1);
        QCOMPARE(messages.Shown[0].Caption, QString("Invalid value"));
        QCOMPARE(messages.Shown[0].Text, QString("Fits tube"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Grid()));

        ClickRow(good);
        Type(Page()->VacuumField(), "0");
        Next();
        QCOMPARE(Current(), int(cmpVenturi));
        QCOMPARE(int(messages.Shown.size()), 2);
        QCOMPARE(messages.Shown[1].Text, QString("Vacuum"));
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == Page()->VacuumField() || Page()->VacuumField()->isAncestorOf(focus));
        QCOMPARE(Page()->VacuumField()->objectName(), QString::fromUtf8(cpcRequiredVacuum.data()));

        Type(Page()->VacuumField(), "-0.6");
        Next();
        QCOMPARE(Current(), int(cmpMotion));
        QCOMPARE(int(messages.Shown.size()), 2);
    }

    void examplesBringBackTheirFieldsFiltersAndGenerator() {
        for (const char* name : kExampleProjects) {
            const QString file = ExampleProject(name);
            OpenOnPage(file);
            const auto stored = [&](const char* key) { return StoredValue(file, key).toDouble(); };
            QCOMPARE(Page()->CountField()->Value(), stored("Venturi.Conditions.Count"));
            QCOMPARE(Page()->PressureField()->Value(), stored("Venturi.Conditions.Pressure"));
            QCOMPARE(Page()->PressureField()->DisplayText().toDouble(),
                     stored("Venturi.Conditions.Pressure") / 1e5);
            QCOMPARE(Page()->VacuumField()->Value(), stored("Venturi.Conditions.Vacuum"));
            QCOMPARE(Page()->TimeMaxField()->Value(), stored("Venturi.Conditions.TimeMax"));
            const QString code = StoredValue(file, "Venturi.OrderCode");
            QCOMPARE(Cell(CurrentRow(), kCodeCol), code);
            QCOMPARE(Page()->SelectedLabel()->text(), code);
            for (const std::string& column : Page()->ListColumns())
                QVERIFY2(Entry(column.c_str()).isEmpty(), column.c_str());
            QCOMPARE(GridRows(), static_cast<int>(Generators().Rows.size()));
        }
    }

    void aProjectWithFiltersShowsThemAgain() {
        // The first electrical-pulse generator with air saving of the catalogue, and a
        // project that stored its series, pressure thread and both options.
        const auto pick = std::find_if(
            Generators().Rows.begin(), Generators().Rows.end(), [](const QStringList& r) {
                return Generators().At(r, "~EjectorPulse") == "~Electrical" &&
                       Generators().At(r, "~AirSaving") == "~Yes";
            });
        QVERIFY(pick != Generators().Rows.end());
        const QString code = Generators().At(*pick, "OrderCode");
        const QString series = Generators().At(*pick, "Group");
        const QString thread = Generators().At(*pick, "FittingP");
        QFile in(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(in.readAll());
        const auto set = [&](const QString& key, const QString& value) {
            text.replace(
                QRegularExpression("(^|\n)" + QRegularExpression::escape(key) + "=[^\r\n]*"),
                "\\1" + key + "=" + value);
        };
        set("Venturi.Selection.Group", series);
        set("Venturi.Selection.GewP", thread);
        set("Venturi.Selection.SaveAir", "True");
        set("Venturi.Selection.EjectorPulse", "True");
        set("Venturi.OrderCode", code);
        const QString file = isolated->File("filters.vac");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text.toUtf8());
        out.close();

        // First a project without filters with a hysteresis chosen by hand, which no
        // project keeps.
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        Choose(Page()->List("~Hysterese"), "Fixed hysteresis");
        Open(file);
        // Showing the stored filters changes nothing of the project.
        QVERIFY2(!frame->windowTitle().contains('*'), qPrintable(frame->windowTitle()));
        for (int i = 0; i < 4; ++i) Next();
        QCOMPARE(Current(), int(cmpVenturi));
        QCOMPARE(Entry("Group"), series);
        QCOMPARE(Entry("FittingP"), thread);
        QCOMPARE(Entry("~AirSaving"), QString("~Yes"));
        QCOMPARE(Entry("~EjectorPulse"), QString("~Electrical"));
        // The hand-chosen hysteresis is gone: the list shows no choice, or the only value left.
        const TStrTableCoBoxModel& hysteresis = Page()->List("~Hysterese")->Model();
        QVERIFY(hysteresis.ItemIndex() == 0 || hysteresis.AutoSelected());
        QCOMPARE(Page()->PressureFitting()->Thread(), thread);
        QCOMPARE(GridRows(), Generators().Count([&](const QStringList& r) {
            return Generators().At(r, "Group") == series &&
                   Generators().At(r, "FittingP") == thread &&
                   Generators().At(r, "~AirSaving") == "~Yes" &&
                   Generators().At(r, "~EjectorPulse") == "~Electrical";
        }));
        QCOMPARE(Cell(CurrentRow(), kCodeCol), code);
    }

    void diagramOpensTheChartWindowThatFollowsTheConditions() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const QString code =
            StoredValue(ExampleProject("glass_plate_rotary.vac"), "Venturi.OrderCode");
        QVERIFY(!Page()->ChartWindow());
        QTest::mouseClick(Page()->DiagramButton(), Qt::LeftButton);
        TFormVenturi* chart = Page()->ChartWindow();
        QVERIFY(chart);
        QVERIFY(chart->isVisible());
        QCOMPARE(chart->windowTitle(), code);
        QCOMPARE(chart->minimumSize(), QSize(479, 219));
        QVERIFY(chart->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(chart->parentWidget(), static_cast<QWidget*>(frame.get()));
        QCOMPARE(chart->Pages()->count(), 4);
        const QStringList tabs = {"Air consumption", "Suction capacity", "Vacuum",
                                  "Sound pressure level"};
        for (int i = 0; i < 4; ++i) QCOMPARE(chart->Pages()->tabText(i), tabs[i]);

        const auto& gen = *std::find_if(
            Generators().Rows.begin(), Generators().Rows.end(),
            [&](const QStringList& r) { return Generators().At(r, "OrderCode") == code; });
        const QString vacuumCurve = Generators().At(gen, "Unterdruck");
        const QString airCurve = Generators().At(gen, "Luftverbrauch");
        TFMU2Panel* vacuum = chart->OperatingPanel(TFormVenturi::cvpVacuum);
        TFMU2Panel* air = chart->OperatingPanel(TFormVenturi::cvpAirConsumption);
        QCOMPARE(vacuum->DisplayText().toDouble(),
                 -VacuumCurves().Curve(vacuumCurve, "Vacuum_bar", 6.0));
        QCOMPARE(air->DisplayText().toDouble(),
                 AirCurves().Curve(airCurve, "AirConsumption_lpm", 6.0));

        // Live: a new pressure moves the operating point, two generators take twice the air.
        Type(Page()->PressureField(), "4");
        QCOMPARE(vacuum->DisplayText().toDouble(),
                 -VacuumCurves().Curve(vacuumCurve, "Vacuum_bar", 4.0));
        Type(Page()->CountField(), "2");
        QCOMPARE(air->DisplayText().toDouble(),
                 2 * AirCurves().Curve(airCurve, "AirConsumption_lpm", 4.0));
        double x = 0.0, y = 0.0;
        QVERIFY(chart->OperatingPoint(TFormVenturi::cvpVacuum, x, y));
        QCOMPARE(x, 4.0);

        // The vacuum chart: the curve passes through its value at 5 bar, the operating point
        // sits at 4 bar in aqua, and far from the curve there is only paper.
        chart->Pages()->setCurrentIndex(TFormVenturi::cvpVacuum);
        TDiagramm* diagram = chart->Chart(TFormVenturi::cvpVacuum);
        chart->resize(600, 400);
        QCoreApplication::processEvents();
        const QImage image = diagram->Render(diagram->size());
        const auto near = [&](QPoint at, const std::function<bool(QColor)>& test) {
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    if (image.rect().contains(at + QPoint(dx, dy)) &&
                        test(image.pixelColor(at + QPoint(dx, dy))))
                        return true;
            return false;
        };
        const auto blue = [](QColor c) {
            return c.blue() > 140 && c.red() < 60 && c.green() < 110;
        };
        const QPoint onCurve(
            diagram->ValueToPixelX(5.0),
            diagram->ValueToPixelY(VacuumCurves().Curve(vacuumCurve, "Vacuum_bar", 5.0)));
        QVERIFY(near(onCurve, blue));
        const QPoint point(diagram->ValueToPixelX(4.0), diagram->ValueToPixelY(VacuumCurves().Curve(
                                                            vacuumCurve, "Vacuum_bar", 4.0)));
        QCOMPARE(image.pixelColor(point), QColor(Qt::cyan));
        QCOMPARE(image.pixelColor(point + QPoint(TFormVenturi::cMarkerRadius + 3, 0)).rgb() ==
                     QColor(Qt::cyan).rgb(),
                 false);
        const QPoint paper(diagram->ValueToPixelX(5.0), diagram->ValueToPixelY(0.5));
        QVERIFY(!near(paper, blue));
        QVERIFY(!near(paper, [](QColor c) { return c == QColor(Qt::cyan); }));
        if (const QByteArray dir = qgetenv("VACUUM_SHOT_DIR"); !dir.isEmpty())
            chart->grab().save(QString::fromUtf8(dir) + "/venturi_chart_en.png");

        // A changed row changes the caption; "~OK" closes the window.
        const int other = RowReading(kCodeCol, Cell(CurrentRow() + 1, kCodeCol));
        ClickRow(other);
        QCOMPARE(chart->windowTitle(), Cell(other, kCodeCol));
        QTest::mouseClick(chart->OkButton(), Qt::LeftButton);
        QVERIFY(!chart->isVisible());

        // The window follows the language of the program.
        frame->SetLanguage("ru");
        QCOMPARE(chart->Pages()->tabText(TFormVenturi::cvpAirConsumption),
                 QString("Расход воздуха"));
        QCOMPARE(chart->findChild<QLabel*>("LabelOperationPoint0")->text(),
                 QString("Рабочая точка"));
        // Shown again, the window is wide enough for the longer Russian titles: every tab
        // lies whole inside the tab row.
        QTest::mouseClick(Page()->DiagramButton(), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(chart));
        QTabBar* row = chart->Pages()->tabBar();
        for (int i = 0; i < row->count(); ++i)
            QVERIFY2(row->tabRect(i).left() >= 0 && row->tabRect(i).right() < row->width(),
                     qPrintable(row->tabText(i)));
        if (const QByteArray dir = qgetenv("VACUUM_SHOT_DIR"); !dir.isEmpty())
            chart->grab().save(QString::fromUtf8(dir) + "/venturi_chart_ru.png");
    }

    void theSiteAndTheLeakChangeTheGridAndShowWhatIsReached() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const int row = CurrentRow();
        const QString seaTime = Cell(row, kTimeCol), seaVacuum = Cell(row, kVacuumCol);
        const double sea = Seconds(seaTime);
        QVERIFY(sea > 0.0);
        TVenturiPage* page = Page();
        // The site's tab, as a user picks it.
        QTabWidget* tabs = page->ConditionTabs();
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(page->AltitudeField()->isVisible());
        QVERIFY(!page->LeakDiameterField()->isVisible());
        QCOMPARE(page->SiteTimeLabel()->text(), seaTime);

        // 2000 m: 101325 Pa·(1 − 0.0451154)^5.25588 = 794.95 mbar; the generator's vacuum
        // is that fraction of the sea-level one, and the same vacuum takes longer.
        Type(page->AltitudeField(), "2000");
        QCOMPARE(app->Document.Site.Altitude, 2000.0);
        QVERIFY2(std::abs(page->AmbientPressureField()->Value() - 79495.2) < 1.0,
                 qPrintable(QString::number(page->AmbientPressureField()->Value())));
        const double k = 79495.197 / 101325.0;
        const double seaBar = seaVacuum.section(' ', 0, 0).toDouble();
        QCOMPARE(Cell(row, kVacuumCol), QString("%1 bar").arg(seaBar * k, 0, 'g', 3));
        QVERIFY(Seconds(Cell(row, kTimeCol)) > sea);
        QVERIFY(std::abs(page->ReachablePanel()->Value() - seaBar * k * 1e5) < 0.01 * 1e5);
        // The ambient pressure of sea level gives back the altitude 0 and the old times.
        Type(page->AmbientPressureField(), "1013.25");
        QVERIFY(std::abs(app->Document.Site.Altitude) < 1e-6);
        QCOMPARE(Cell(row, kTimeCol), seaTime);

        // An orifice of 0.2 mm: its field appears, the time grows, the reachable vacuum shrinks.
        QComboBox* kind = page->LeakKindList();
        kind->setFocus();
        QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(app->Document.Site.Leak.Kind, clkOrifice);
        QVERIFY(page->LeakDiameterField()->isVisible());
        QVERIFY(!page->LeakFlowField()->isVisible());
        Type(page->LeakDiameterField(), "0.2");
        QCOMPARE(app->Document.Site.Leak.Diameter, 0.0002);
        const double leaking = Seconds(Cell(row, kTimeCol));
        QVERIFY2(leaking > sea, qPrintable(Cell(row, kTimeCol)));
        QCOMPARE(page->SiteTimeLabel()->text(), Cell(row, kTimeCol));
        QVERIFY(page->ReachablePanel()->Value() > seaBar * 1e5);
        // A hole of 3 mm: the vacuum is not reached, the grid shows a dash.
        Type(page->LeakDiameterField(), "3");
        QCOMPARE(Cell(row, kTimeCol), QString("-"));
        QCOMPARE(page->SiteTimeLabel()->text(), QString("not reached"));
        // A measured leak shows its two fields instead.
        QTest::keyClick(kind, Qt::Key_Down);
        QCOMPARE(app->Document.Site.Leak.Kind, clkMeasured);
        QVERIFY(!page->LeakDiameterField()->isVisible());
        QVERIFY(page->LeakFlowField()->isVisible() && page->LeakVacuumField()->isVisible());
        // Tab walks the tab's fields in the order they stand, the hidden orifice passed by.
        page->AltitudeField()->Edit()->setFocus(Qt::TabFocusReason);
        for (QWidget* next : std::initializer_list<QWidget*>{
                 page->AmbientPressureField()->Edit(), kind, page->LeakFlowField()->Edit(),
                 page->LeakVacuumField()->Edit()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Back to a tight workpiece: the table's time again.
        QTest::keyClick(kind, Qt::Key_Home);
        QCOMPARE(app->Document.Site.Leak.Kind, clkNone);
        QCOMPARE(Cell(row, kTimeCol), seaTime);
        // An altitude beyond the field's range locks the navigator and refuses the page.
        Type(page->AltitudeField(), "6000");
        QVERIFY(!page->AltitudeField()->Valid());
        Next();
        QCOMPARE(Current(), int(cmpVenturi));
    }

    void theSiteTabFitsTheWindowInEnglishAndRussian() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        app->Input([&] {
            app->Venturi.SpinEditAltitudeChange(1500.0);
            app->Venturi.ComboBoxLeakKindChange(clkMeasured);
        });
        Page()->ConditionTabs()->setCurrentIndex(1);
        InEachLanguageAndSize({"en", "ru"}, {QSize(1024, 768), QSize(1280, 1024)},
                              [&](const char* language, QSize size) {
            CheckInsideAndWhole(Page()->SiteBox(), Page()->Widget(), language,
                                {.Labels = TFitRules::flWidth, .Lists = true});
            QVERIFY(Grid()->height() > 150);
            SavePicture("VACUUM_SHOT_DIR", frame.get(),
                        QString("venturi_site_%1_%2").arg(language).arg(size.width()));
        });
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        InEachLanguageAndSize({"en", "ru"}, {QSize(1024, 768), QSize(1280, 1024)},
                              [&](const char* language, QSize size) {
            // Nothing cut: as wide as its text, or as high as its wrapped lines.
            CheckInsideAndWhole(Page()->Widget(), Page()->Widget(), language, {.Skip = Grid()});
            QVERIFY(Grid()->height() > 150);
            SavePicture("VACUUM_SHOT_DIR", frame.get(),
                        QString("venturi_page_%1_%2").arg(language).arg(size.width()));
        });
    }
};

QTEST_MAIN(VenturiPageTest)
#include "venturi_page_test.moc"
