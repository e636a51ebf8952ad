// The tube page in the main window on the bundled catalogue, driven as a user would: the
// filter lists narrow the grid and the stored ones are kept in the document, the tick column
// marks the tubes that fit the chosen cup's connector (worked out from the catalogue's source
// files), a row clicked becomes the tube, the lengths per cup and in total follow each other
// with the tube volume, a forward move with a tube that does not fit is refused, a filter
// change walks the later pages again, the examples bring their filters and tube back, and the
// page fits the window.

#include "app/frame/form_main.h"
#include "app/frame/main_status_bar.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/tube/tube_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/catalog_source_rows.h"
#include "tests/app/main_window_harness.h"

#include <cmath>
#include <functional>
#include <map>
#include <set>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

QString Source(const char* file) {
    return QString(VACUUM_SOURCE_DIR) + "/catalog/product/" + file;
}
const TSourceRows& Tubes() {
    static const TSourceRows rows(Source("tube.tsv"));
    return rows;
}
const TSourceRows& Cups() {
    static const TSourceRows rows(Source("suction_cups.tsv"));
    return rows;
}
const TSourceRows& Connectors() {
    static const TSourceRows rows(Source("connector.tsv"));
    return rows;
}

// Whether a tube fits a cup: a connector row of the cup's connector name lists one of the
// tube's two fitting codes.
bool Fits(const QStringList& tube, const QString& cupCode) {
    const QString connector = Cups().At(*Cups().Find("OrderCode", cupCode), "ConnectorName");
    std::set<QString> connections;
    for (const QStringList& c : Connectors().Rows)
        if (Connectors().At(c, "Name") == connector)
            connections.insert(Connectors().At(c, "Connection"));
    return connections.count(Tubes().At(tube, "DW-x")) ||
           connections.count(Tubes().At(tube, "TX-x"));
}

constexpr int kOkCol = 0;
constexpr int kCodeCol = 1;
constexpr int kColourCol = 4;

} // namespace

class TubePageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TTubePage* Page() const { return dynamic_cast<TTubePage*>(frame->Page(cmpTube)); }
    TStringTableGrid* Grid() const { return Page()->Grid(); }
    QString Cell(int row, int col) const { return GridCell(Grid(), row, col); }
    int GridRows() const { return GridRowCount(Grid()); }

    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpTube); }
    void ClickRow(int row) { ClickCell(Grid(), row, kCodeCol); }
    int RowReading(int col, const QString& text, bool unselected = false) const {
        return TMainWindowHarness::RowReading(Grid(), col, text, unselected);
    }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void filtersNarrowTheGridAndTheTicksFollowTheCup() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const QString cup = "SC-S2-FL050-NB-H1G14";
        const int all = static_cast<int>(Tubes().Rows.size());
        QCOMPARE(GridRows(), all);
        const int fitting = Tubes().Count([&](const QStringList& t) { return Fits(t, cup); });
        QVERIFY(fitting > 0 && fitting < all);
        QCOMPARE(Page()->RecordLabel()->text(),
                 QString("%1 of %1 records - %2 Fits suction cup").arg(all).arg(fitting));
        for (int r = 0; r < GridRows(); ++r) {
            const QStringList& t = *Tubes().Find("OrderCode", Cell(r, kCodeCol));
            QCOMPARE(Cell(r, kOkCol), Fits(t, cup) ? QString("Yes") : QString("No"));
        }

        // The colour with the keyboard: entries sorted as text, "Black" first.
        TStrTableCoBox* colour = Page()->List("~Color");
        colour->setFocus();
        QTest::keyClick(colour, Qt::Key_Down);
        QCOMPARE(colour->currentText(), QString("Black"));
        const int black =
            Tubes().Count([](const QStringList& t) { return Tubes().At(t, "~Color") == "~black"; });
        QCOMPARE(GridRows(), black);
        for (int r = 0; r < GridRows(); ++r) QCOMPARE(Cell(r, kColourCol), QString("Black"));
        QCOMPARE(int(app->Document.Tube.SelectionColor), 4); // "*", nature, silver, blue, black
        const int blackFitting = Tubes().Count([&](const QStringList& t) {
            return Tubes().At(t, "~Color") == "~black" && Fits(t, cup);
        });
        QCOMPARE(Page()->RecordLabel()->text(), QString("%1 of %2 records - %3 Fits suction cup")
                                                    .arg(black)
                                                    .arg(all)
                                                    .arg(blackFitting));

        // Food-safe tubes: the choice is stored as the project keeps it.
        TStrTableCoBox* food = Page()->List("~Food");
        if (food->isEnabled()) {
            food->setFocus();
            QTest::keyClick(food, Qt::Key_End);
            QCOMPARE(food->currentText(), QString("Yes"));
            QVERIFY(app->Document.Tube.SelectionFood);
            QCOMPARE(GridRows(), Tubes().Count([](const QStringList& t) {
                return Tubes().At(t, "~Color") == "~black" && Tubes().At(t, "~Food") == "~Yes";
            }));
            QTest::keyClick(food, Qt::Key_Home);
            QVERIFY(!app->Document.Tube.SelectionFood);
        }
        // The inside diameter (not kept by the project) narrows too.
        TStrTableCoBox* diameter = Page()->List("Diameter");
        diameter->setFocus();
        QTest::keyClick(diameter, Qt::Key_Down);
        const QString first = diameter->currentText();
        QVERIFY(first.endsWith(" mm"));
        const double metres = first.section(' ', 0, 0).toDouble() / 1000.0;
        QCOMPARE(GridRows(), Tubes().Count([&](const QStringList& t) {
            return Tubes().At(t, "~Color") == "~black" &&
                   std::abs(Tubes().At(t, "Diameter").toDouble() - metres) < 1e-9;
        }));
        QCOMPARE(int(app->Document.Tube.SelectionColor), 4);
    }

    void aRowChosenAndTheLengthsGiveTheVolume() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), QString("TU-PU-06x4-NT"));
        // Four cups, 0.25 m stored in total: 62.5 mm each.
        QVERIFY(Page()->PerCupButton()->isChecked());
        QCOMPARE(ShownValue(Page()->SingleLengthField()), 62.5);
        QCOMPARE(ShownValue(Page()->TotalLengthField()), 250.0);
        QVERIFY(Page()->TotalLengthField()->ReadOnly());

        // A 4 mm tube: the first row of that diameter, clicked.
        const int row = RowReading(kCodeCol, "TU-PU-06x4-BL");
        QVERIFY(row >= 0);
        ClickRow(row);
        QCOMPARE(app->Tube.SelectedRow(), row);
        QCOMPARE(Page()->SelectedLabel()->text(), QString("TU-PU-06x4-BL"));
        const QStringList& tube = *Tubes().Find("OrderCode", "TU-PU-06x4-BL");
        QCOMPARE(ShownValue(Page()->DiameterPanel()),
                 Tubes().At(tube, "Diameter").toDouble() * 1000.0); // 4 mm

        // 250 mm per cup: 1 m in all, and pi x (2 mm)^2 x 1 m = 12.566 cm³ of tube.
        Type(Page()->SingleLengthField(), "250");
        QCOMPARE(ShownValue(Page()->TotalLengthField()), 1000.0);
        QCOMPARE(app->Document.Tube.Length, 1.0);
        QCOMPARE(Page()->TubeVolumePanel()->DisplayText(), QString("12.566"));
        // The evacuated volume takes the tube and the four cups (5.44 cm³ each).
        const double cupVolume =
            Cups().At(*Cups().Find("OrderCode", "SC-S2-FL050-NB-H1G14"), "Volume").toDouble();
        QCOMPARE(ShownValue(Page()->EvacuatedVolumePanel()),
                 std::round((12.566371 + 4 * cupVolume / 1000.0) * 1000) / 1000);

        // The total entered instead: 2 m in all is 0.5 m per cup.
        QTest::mouseClick(Page()->TotalButton(), Qt::LeftButton, {},
                          QPoint(6, Page()->TotalButton()->height() / 2));
        QVERIFY(app->Document.Tube.TotalLength);
        QVERIFY(Page()->SingleLengthField()->ReadOnly());
        QVERIFY(!Page()->TotalLengthField()->ReadOnly());
        Type(Page()->TotalLengthField(), "2000");
        QCOMPARE(ShownValue(Page()->SingleLengthField()), 500.0);
        QCOMPARE(Page()->TubeVolumePanel()->DisplayText(), QString("25.133"));
    }

    // Tab visits each way to give the length before its field, and passes through the
    // grid, whose rows the arrow keys choose, to the page navigator.
    void theKeyboardWalksTheLengthsInTheirOrderAndLeavesTheGrid() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const auto tab = [](Qt::Key key = Qt::Key_Tab) {
            QTest::keyClick(QApplication::focusWidget(), key);
            return QApplication::focusWidget();
        };
        Page()->PerCupButton()->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(Page()->PerCupButton()->hasFocus());
        QCOMPARE(tab(), Page()->SingleLengthField()->Edit());
        QCOMPARE(tab(Qt::Key_Backtab), Page()->PerCupButton());
        tab();
        // The other way is a radio button of the same group, reached with the arrow keys;
        // the total's field, read-only while the length per cup is given, comes next.
        QCOMPARE(tab(), Page()->TotalLengthField()->Edit());
        QCOMPARE(tab(), static_cast<QWidget*>(Grid()));
        const int row = Grid()->Row();
        QTest::keyClick(Grid(), Qt::Key_Down);
        QCOMPARE(Grid()->Row(), row + 1);
        QCOMPARE(app->Tube.SelectedRow(), row);
        QWidget* after = tab();
        QVERIFY(after != Grid());
        QVERIFY(!Page()->isAncestorOf(after));
        // From a field, Alt+Right moves on as the arrow button does.
        Page()->SingleLengthField()->Edit()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(Current(), int(cmpVenturi));
    }

    void aTubeThatDoesNotFitIsRefused() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        const int unfit = RowReading(kOkCol, "No");
        QVERIFY(unfit >= 0);
        ClickRow(unfit);
        QVERIFY(!app->Tube.SelectedValid());
        frame->Navigator()->NextButton()->setFocus();
        Next();
        QCOMPARE(Current(), int(cmpTube));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QString("Fits suction cup"));
        QCOMPARE(Grid()->objectName(), QString::fromUtf8(cpcTubeGrid.data()));
        QTRY_VERIFY(Grid()->hasFocus());
        ClickRow(RowReading(kOkCol, "Yes"));
        Next();
        QCOMPARE(Current(), int(cmpVenturi));
        QCOMPARE(messages.Shown.size(), size_t(1));
    }

    void aFilterChangeWalksTheLaterPagesAgain() {
        Open(ExampleProject("glass_plate_rotary.vac"));
        while (Current() < cmpPartsList) {
            const int from = Current();
            Next();
            QVERIFY2(Current() > from, qPrintable(QString("refused on page %1").arg(from)));
        }
        for (int page = cmpMotion; page <= cmpPartsList; ++page) QVERIFY(EntryEnabled(page));
        QTest::mouseClick(frame->Navigator()->Entry(cmpTube), Qt::LeftButton);
        QCOMPARE(Current(), int(cmpTube));
        TStrTableCoBox* series = Page()->List("Group");
        series->setFocus();
        QTest::keyClick(series, Qt::Key_Down);
        QVERIFY(series->currentIndex() > 0);
        // (Entering the page has walked the later pages again already; the filter keeps it so.)
        QVERIFY(EntryEnabled(cmpVenturi));
        // The grid's current row after the filter is the tube now.
        QCOMPARE(QString::fromStdString(app->Tube.LabelSelectedTube()),
                 Cell(Grid()->Row() - 1, kCodeCol));
        QCOMPARE(Cell(Grid()->Row() - 1, 2), series->currentText());
        for (int page = cmpMotion; page <= cmpPartsList; ++page)
            QVERIFY2(!EntryEnabled(page), qPrintable(QString("page %1 still reachable").arg(page)));
    }

    void examplesBringTheirFiltersAndTubeBack() {
        QFile source(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text = source.readAll();
        text.replace("Tube.Selection.Color=*", "Tube.Selection.Color=nature");
        const QString filtered = isolated->File("filtered.vac");
        QFile out(filtered);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text);
        out.close();
        OpenOnPage(filtered);
        QCOMPARE(Page()->List("~Color")->currentText(), QString("Natural"));
        QCOMPARE(GridRows(), Tubes().Count([](const QStringList& t) {
            return Tubes().At(t, "~Color") == "~nature";
        }));
        QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), QString("TU-PU-06x4-NT"));

        for (const char* example : kExampleProjects) {
            QFile f(ExampleProject(example));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString file = QString::fromUtf8(f.readAll());
            const QString code = file.section("Tube.OrderCode=", 1).section('\n', 0, 0).trimmed();
            const double length =
                file.section("Tube.Length=", 1).section('\n', 0, 0).trimmed().toDouble();
            const int cups =
                file.section("SuctionCups.Count=", 1).section('\n', 0, 0).trimmed().toInt();
            OpenOnPage(ExampleProject(example));
            QVERIFY2(Page()->List("~Color")->currentIndex() == 0, example);
            QVERIFY2(Page()->List("~Food")->currentIndex() == 0 ||
                         Page()->List("~Food")->Model().AutoSelected(),
                     example);
            QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), code);
            QCOMPARE(Page()->SelectedLabel()->text(), code);
            QCOMPARE(ShownValue(Page()->TotalLengthField()), length * 1000.0);
            QCOMPARE(ShownValue(Page()->SingleLengthField()), length * 1000.0 / cups);
        }
    }

    void theTickColumnDrawsAndTheOtherYesNoColumnsRead() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        frame->resize(1280, 1024);
        QCoreApplication::processEvents();
        const int yes = RowReading(kOkCol, "Yes", true);
        const int no = RowReading(kOkCol, "No", true);
        QVERIFY(yes >= 0 && no >= 0);
        auto marks = [&](int row, int col) {
            const QModelIndex index = Grid()->model()->index(row, col);
            Grid()->scrollTo(index);
            const QRect cell = Grid()->visualRect(index);
            const QImage shot = Grid()->viewport()->grab().toImage();
            int dark = 0, left = cell.right(), right = cell.left();
            for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
                for (int x = cell.left() + 1; x < cell.right(); ++x)
                    if (qGray(shot.pixel(x, y)) < 100) {
                        ++dark;
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            return std::tuple{dark, left, right, cell};
        };
        for (int row : {yes, no}) {
            const auto [dark, left, right, cell] = marks(row, kOkCol);
            QVERIFY2(dark > 10, qPrintable(QString("row %1: %2 dark pixels in %3,%4 %5x%6")
                                               .arg(row)
                                               .arg(dark)
                                               .arg(cell.x())
                                               .arg(cell.y())
                                               .arg(cell.width())
                                               .arg(cell.height())));
            QVERIFY(right - left <= cell.height() + 4);
            QVERIFY(std::abs((left + right) / 2 - cell.center().x()) <= 3);
        }
        // The food column reads its words: they start at the left of the cell.
        const auto [dark, left, right, cell] = marks(no, 6);
        SavePicture("VACUUM_LOOK_DIR", Grid()->viewport(), "tube_grid");
        QVERIFY2(dark > 10, qPrintable(QString("%1 dark pixels in %2,%3 %4x%5")
                                           .arg(dark)
                                           .arg(cell.x())
                                           .arg(cell.y())
                                           .arg(cell.width())
                                           .arg(cell.height())));
        QVERIFY(left - cell.left() < 8);
        QCOMPARE(Cell(no, 6), QString("No"));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
            frame->resize(size);
            for (const char* code : {"en", "ru"}) {
                frame->SetLanguage(code);
                QCoreApplication::processEvents();
                const QString shot =
                    QString("tube_%1x%2_%3").arg(size.width()).arg(size.height()).arg(code);
                CheckTextsWhole(Page(), Page(), shot);
                QVERIFY(Grid()->height() >= Page()->height() / 3);
                // The record label follows the language.
                QVERIFY(Page()->RecordLabel()->text().contains(
                    code == std::string("ru") ? "записей" : "records"));
                SavePicture("VACUUM_LOOK_DIR", frame.get(), shot);
            }
        }
    }
};

QTEST_MAIN(TubePageTest)
#include "tube_page_test.moc"
