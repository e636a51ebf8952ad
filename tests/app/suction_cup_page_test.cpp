// The suction cup page in the main window on the bundled catalogue, driven as a user would:
// filter lists chosen with the mouse and the keyboard narrow the grid and are stored, a row
// clicked in the grid becomes the cup whose data the page shows, a forward move without a
// suitable cup is refused, the example projects bring their filters and cup back, the tick
// column draws ticks and crosses, and the page fits the window. Expected rows are counted
// in the catalogue's source file itself.

#include "app/frame/form_main.h"
#include "app/frame/main_status_bar.h"
#include "app/frame/page_navigator.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/page_registry.h"
#include "app/pages/suction_cup/suction_cup_page.h"
#include "core/data/orsik_connection.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/workflow/page_controls.h"
#include "core/workflow/vacuum_application.h"
#include "gui/fields/fmu2_panel.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"
#include "tests/app/catalog_source_rows.h"
#include "tests/app/main_window_harness.h"

#include <functional>
#include <map>

#include <QAbstractItemView>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextStream>
#include <QToolButton>
#include <QtTest>

namespace {

const TSourceRows& Cups() {
    static const TSourceRows rows(QString(VACUUM_SOURCE_DIR) + "/catalog/product/suction_cups.tsv");
    return rows;
}

// Data columns of the grid: the tick column, the picture, the order code, the series.
constexpr int kOkCol = 0;
constexpr int kCodeCol = 2;
constexpr int kSeriesCol = 3;

} // namespace

class SuctionCupPageTest : public QObject, protected TMainWindowHarness {
    Q_OBJECT

    TSuctionCupPage* Page() const {
        return dynamic_cast<TSuctionCupPage*>(frame->Page(cmpSuctionCup));
    }
    TStringTableGrid* Grid() const { return Page()->Grid(); }
    QString Cell(int row, int col) const { return GridCell(Grid(), row, col); }
    int GridRows() const { return GridRowCount(Grid()); }

    // An example opened and walked to the suction cup page.
    void OpenOnPage(const QString& file) { TMainWindowHarness::OpenOnPage(file, cmpSuctionCup); }
    // The popup opened with the mouse and the entry clicked in it.
    void ChooseWithMouse(QComboBox* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        const int row = box->findText(text);
        QVERIFY2(row >= 0, qPrintable(text));
        const QRect at = view->visualRect(view->model()->index(row, 0));
        // A release right after the popup opened is taken for the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseMove(view->viewport(), at.center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(box->currentText(), text);
    }
    void ClickRow(int row) { ClickCell(Grid(), row, kCodeCol); }
    int RowReading(int col, const QString& text, bool unselected = false) const {
        return TMainWindowHarness::RowReading(Grid(), col, text, unselected);
    }
    QString Label(const QString& stored) const {
        return QString::fromStdString(app->Language.TranslateDisplay(stored.toStdString()));
    }

private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void filterChoicesNarrowTheGridAndAreStored() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        const int all = static_cast<int>(Cups().Rows.size());
        QCOMPARE(GridRows(), all);
        QVERIFY(Page()->RecordLabel()->text().startsWith(QString("%1 of %1 records - ").arg(all)));
        QVERIFY(Page()->RecordLabel()->text().endsWith(" suitable for the workpiece"));

        QProgressBar* gauge = frame->Status()->Gauge();
        QList<int> progress;
        connect(gauge, &QProgressBar::valueChanged, this, [&](int v) { progress << v; });

        // The series with the keyboard: the entries are sorted, S1 first, then S2.
        TStrTableCoBox* series = Page()->List("Group");
        series->setFocus();
        QTest::keyClick(series, Qt::Key_Down);
        QTest::keyClick(series, Qt::Key_Down);
        QCOMPARE(series->currentText(), QString("S2"));
        const int s2 =
            Cups().Count([](const QStringList& r) { return Cups().At(r, "Group") == "S2"; });
        QVERIFY(s2 > 0 && s2 < all);
        QCOMPARE(GridRows(), s2);
        for (int r = 0; r < GridRows(); ++r) QCOMPARE(Cell(r, kSeriesCol), QString("S2"));
        QVERIFY(Page()->RecordLabel()->text().startsWith(
            QString("%1 of %2 records - ").arg(s2).arg(all)));
        QCOMPARE(int(app->Document.SuctionCupSelection.Group), 2); // "*", "S1", "S2"
        // The gauge ran while the cups were filtered and went away at the end.
        QVERIFY(!progress.isEmpty());
        QVERIFY(std::any_of(progress.begin(), progress.end(), [](int v) { return v < 100; }));
        QCOMPARE(progress.last(), 100);
        QVERIFY(!gauge->isVisible());
        // A new filter walks the later pages again.
        QVERIFY(EntryEnabled(cmpTube));
        QVERIFY(!EntryEnabled(cmpVenturi));

        // The shape with the mouse; its help label lights up, no other.
        TStrTableCoBox* shape = Page()->List("~ShapeKey");
        ChooseWithMouse(shape, "Bellows, 1.5 folds");
        const int bellows = Cups().Count([](const QStringList& r) {
            return Cups().At(r, "Group") == "S2" && Cups().At(r, "~ShapeKey") == "~bellows 1.5";
        });
        QVERIFY(bellows > 0);
        QCOMPARE(GridRows(), bellows);
        QCOMPARE(int(app->Document.SuctionCupSelection.Shape), 3);
        QVERIFY(Page()->HelpHighlighted("~bellows 1.5"));
        for (const char* other : {"~standart", "~extra deep", "~bellows 3.5", "~oval"})
            QVERIFY2(!Page()->HelpHighlighted(other), other);
        QCOMPARE(Page()->HelpLabel("~bellows 1.5")->backgroundRole(), QPalette::Highlight);

        // The filter option, clicked: only cups with a filter are left.
        TStrTableCheckBox* filter = Page()->Option("~Filter");
        const int withFilter = Cups().Count([](const QStringList& r) {
            return Cups().At(r, "Group") == "S2" && Cups().At(r, "~ShapeKey") == "~bellows 1.5" &&
                   Cups().At(r, "~Filter") == "X";
        });
        if (filter->isEnabled()) {
            QTest::mouseClick(filter, Qt::LeftButton, {}, QPoint(6, filter->height() / 2));
            QVERIFY(filter->isChecked());
            QCOMPARE(GridRows(), withFilter);
            QVERIFY(app->Document.SuctionCupSelection.Filter);
            QTest::mouseClick(filter, Qt::LeftButton, {}, QPoint(6, filter->height() / 2));
            QVERIFY(!app->Document.SuctionCupSelection.Filter);
        } else {
            // Disabled only when no cup of the others has a filter, or every one has.
            QVERIFY(withFilter == 0 || withFilter == bellows);
        }

        // Back to no preference on the series: the bellows cups of every series.
        series->setFocus();
        QTest::keyClick(series, Qt::Key_Home);
        QCOMPARE(series->currentIndex(), 0);
        QCOMPARE(int(app->Document.SuctionCupSelection.Group), 0);
        QCOMPARE(GridRows(), Cups().Count([](const QStringList& r) {
            return Cups().At(r, "~ShapeKey") == "~bellows 1.5";
        }));
    }

    void aRowChosenShowsItsCupsData() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        // The stored cup is the current row when the page is entered.
        QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), QString("SC-S2-FL050-NB-H1G14"));
        const int row = RowReading(kCodeCol, "SC-S1-FL020-SI-H3G18");
        QVERIFY(row >= 0);
        ClickRow(row);
        QCOMPARE(app->Cups.SelectedRow(), row);
        QCOMPARE(Page()->SelectedLabel()->text(), QString("SC-S1-FL020-SI-H3G18"));
        // The catalogue's row: diameter 20 mm, 17.6 N, 519 mm³, 8.63 g; four cups.
        const QStringList& r = *Cups().Find("OrderCode", "SC-S1-FL020-SI-H3G18");
        QCOMPARE(Page()->DiameterPanel()->DisplayText(), Cups().At(r, "DiameterLong"));
        QCOMPARE(Page()->ForcePanel()->DisplayText(), Cups().At(r, "Fs07"));
        QCOMPARE(Page()->VolumePanel()->DisplayText(), QString("0.519"));      // cm³
        QCOMPARE(Page()->TotalVolumePanel()->DisplayText(), QString("2.076")); // 4 x 0.519 cm³
        QCOMPARE(Page()->MassPanel()->DisplayText(), QString("8.63"));         // g
        QCOMPARE(app->Document.SuctionCupsOrderCode, std::string("SC-S1-FL020-SI-H3G18"));

        // One cup in the centre of a 300 x 200 x 10 mm plate, 1 mm from the edges: the
        // arrangement admits min(298, 198) mm, the plate its middle size 200 mm.
        app->Input([&] {
            app->Workpiece.SetShape(cwsBar);
            app->Workpiece.SetLengthX(0.3);
            app->Workpiece.SetLengthY(0.2);
            app->Workpiece.SetLengthZ(0.01);
            app->Cups.StrategieChange({cssOneInCentre, 1, 1, 0.0, 0.001, 0.001});
        });
        QCOMPARE(Page()->MaxDiameterPanel()->DisplayText(), QString("198"));
        app->Input([&] { app->Cups.StrategieChange({cssOneInCentre, 1, 1, 0.0, 0.05, 0.001}); });
        QCOMPARE(Page()->MaxDiameterPanel()->DisplayText(), QString("100")); // 200 - 2 x 50
    }

    void aForwardMoveWithoutASuitableCupIsRefused() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        const int unsuitable = RowReading(kOkCol, app->NoText().c_str());
        QVERIFY(unsuitable >= 0);
        ClickRow(unsuitable);
        QVERIFY(!app->Cups.SelectedSuitable());
        frame->Navigator()->NextButton()->setFocus();
        Next();
        QCOMPARE(Current(), int(cmpSuctionCup));
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Caption, QString("Invalid value"));
        QCOMPARE(messages.Shown[0].Text, QString("suitable for the workpiece"));
        QCOMPARE(Grid()->objectName(), QString::fromUtf8(cpcSuctionCupGrid.data()));
        QTRY_VERIFY(Grid()->hasFocus());
        // A suitable cup lets the user on.
        ClickRow(RowReading(kOkCol, app->YesText().c_str()));
        Next();
        QCOMPARE(Current(), int(cmpTube));
        QCOMPARE(messages.Shown.size(), size_t(1));
    }

    void examplesBringTheirFiltersAndCupBack() {
        // A copy of an example with three filters set, written as the project file holds them.
        QFile source(ExampleProject("glass_plate_rotary.vac"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text = source.readAll();
        text.replace("SuctionCups.Selection.Group=*", "SuctionCups.Selection.Group=S2");
        text.replace("SuctionCups.Selection.Shape=*", "SuctionCups.Selection.Shape=standart");
        text.replace("SuctionCups.Selection.Material=*", "SuctionCups.Selection.Material=NBR");
        const QString filtered = isolated->File("filtered.vac");
        QFile out(filtered);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(text);
        out.close();

        OpenOnPage(filtered);
        QCOMPARE(Page()->List("Group")->currentText(), QString("S2"));
        QCOMPARE(Page()->List("~ShapeKey")->currentText(), Label("~standart"));
        QCOMPARE(Page()->List("~MaterialKey")->currentText(), Label("~NBR"));
        QCOMPARE(GridRows(), Cups().Count([](const QStringList& r) {
            return Cups().At(r, "Group") == "S2" && Cups().At(r, "~ShapeKey") == "~standart" &&
                   Cups().At(r, "~MaterialKey") == "~NBR";
        }));
        QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), QString("SC-S2-FL050-NB-H1G14"));

        // Every example has no filter at all: each one opened over the filters above clears
        // every list and option and finds its stored cup as the current row.
        for (const char* example : kExampleProjects) {
            QFile f(ExampleProject(example));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString file = QString::fromUtf8(f.readAll());
            const QString code =
                file.section("SuctionCups.OrderCode=", 1).section('\n', 0, 0).trimmed();
            QVERIFY(!code.isEmpty());
            // A filter of the user's before the next project comes.
            Page()->List("~ShapeKey")->setFocus();
            QTest::keyClick(Page()->List("~ShapeKey"), Qt::Key_End);
            OpenOnPage(ExampleProject(example));
            for (const char* column : {"StrokeCompensation", "Connector", "HolderType",
                                       "~MaterialKey", "~ShapeKey", "Size", "Group"})
                QVERIFY2(Page()->List(column)->currentIndex() == 0 ||
                             Page()->List(column)->Model().AutoSelected(),
                         qPrintable(QString(example) + " " + column));
            for (const char* column : {"~Filter", "~AngleCompensator"})
                QVERIFY2(!Page()->Option(column)->isChecked(), column);
            QCOMPARE(GridRows(), static_cast<int>(Cups().Rows.size()));
            QCOMPARE(Cell(Grid()->Row() - 1, kCodeCol), code);
            QCOMPARE(Page()->SelectedLabel()->text(), code);
        }
    }

    void theTickColumnDrawsTicksAndCrosses() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        frame->resize(1280, 1024);
        QCoreApplication::processEvents();
        const int yes = RowReading(kOkCol, app->YesText().c_str(), true);
        const int no = RowReading(kOkCol, app->NoText().c_str(), true);
        QVERIFY(yes >= 0 && no >= 0);
        // Dark pixels in the cell: where they lie and the cell's picture.
        auto mark = [&](int row) {
            const QModelIndex index = Grid()->model()->index(row, kOkCol);
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
            return std::tuple{dark, left, right, cell, shot.copy(cell)};
        };
        const auto [tickDark, tickLeft, tickRight, tickCell, tick] = mark(yes);
        const auto [crossDark, crossLeft, crossRight, crossCell, cross] = mark(no);
        // A tick or a cross: a mark about as wide as the row is high, in the cell's middle,
        // unlike a word; the two marks differ.
        QVERIFY(tickDark > 10 && crossDark > 10);
        QVERIFY(tickRight - tickLeft <= tickCell.height() + 4);
        QVERIFY(crossRight - crossLeft <= crossCell.height() + 4);
        QVERIFY(std::abs((tickLeft + tickRight) / 2 - tickCell.center().x()) <= 3);
        QVERIFY(std::abs((crossLeft + crossRight) / 2 - crossCell.center().x()) <= 3);
        QVERIFY(tick != cross);
        // The tick column's cells read the words the grid draws as marks.
        QCOMPARE(Cell(yes, kOkCol), QString("Yes"));
        QCOMPARE(Cell(no, kOkCol), QString("No"));
    }

    void thePageFitsTheWindowInEnglishAndRussian() {
        OpenOnPage(ExampleProject("glass_plate_rotary.vac"));
        for (const QSize size : {QSize(1024, 768), QSize(1280, 1024)}) {
            frame->resize(size);
            for (const char* code : {"en", "ru"}) {
                frame->SetLanguage(code);
                QCoreApplication::processEvents();
                const QString shot =
                    QString("suction_cup_%1x%2_%3").arg(size.width()).arg(size.height()).arg(code);
                CheckTextsWhole(Page(), Page(), shot);
                // The grid takes the room that is left.
                QVERIFY(Grid()->height() >= Page()->height() / 3);
                QVERIFY(Page()->RecordLabel()->text().contains(
                    code == std::string("ru") ? "записей" : "records"));
                SavePicture("VACUUM_LOOK_DIR", frame.get(), shot);
            }
        }
    }
};

QTEST_MAIN(SuctionCupPageTest)
#include "suction_cup_page_test.moc"
