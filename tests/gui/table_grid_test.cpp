// The grid over tables and queries: what it shows, how it draws yes/no and picture cells,
// how it sizes its columns, when it raises its select-cell event, and that it reads only
// the cells it draws.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include <set>

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "gui/table/string_table_grid.h"

namespace {

std::string Fake(std::string_view key) {
    if (key == "~Yes") return "Ja";
    if (key == "~No") return "Nein";
    if (key.starts_with('~')) return "<" + std::string(key.substr(1)) + ">";
    return std::string(key);
}

// A stored picture: the counted class name, then a BMP file image.
std::vector<uint8_t> StoredPicture(const QColor& color, int size) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    std::vector<uint8_t> out{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

int CountPixels(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& test) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (test(image.pixel(x, y))) ++n;
    return n;
}

bool Dark(QRgb p) { return qGray(p) < 110; }
bool Red(QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; }

struct Selected {
    int col;
    int row;
    bool operator==(const Selected&) const = default;
};

} // namespace

class TableGridTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        source = std::make_unique<TStrTableDB32Bit>();
        source->Loaded();
        code = &source->AddColumn("Code", csfString);
        diameter = &source->AddColumn("Diameter", csfFloat, 6, 2);
        food = &source->AddColumn("~Food", csfString);
        shape = &source->AddColumn("~Shape", csfString);
        picture = &source->AddColumn("Picture", csfBLOB);
        const std::vector<uint8_t> red = StoredPicture(Qt::red, 12);
        for (int i = 0; i < 5; ++i) AppendRow("C" + std::to_string(i), 0.002 * (i + 1), i % 2 == 0, red);
        source->SetRows(5);
        query = std::make_unique<TStringQuery>();
        query->Loaded();
        query->SetTable(source.get());
        grid = std::make_unique<TStringTableGrid>();
        grid->Model().Translate = Fake;
        grid->resize(700, 300);
    }

    void cleanup() {
        grid.reset();
        query.reset();
        source.reset();
    }

    void showsTitlesRowNumbersAndCellTexts() {
        grid->SetTable(query.get());
        const QAbstractItemModel& m = *grid->model();
        QCOMPARE(m.rowCount(), 5);
        QCOMPARE(m.columnCount(), 5);
        QCOMPARE(m.headerData(3, Qt::Vertical).toString(), QStringLiteral("4"));
        QCOMPARE(m.data(m.index(1, 0)).toString(), QStringLiteral("C1"));
        QCOMPARE(m.data(m.index(0, 2)).toString(), QStringLiteral("Ja")); // "~" cells of a "~" column are translated
        QCOMPARE(m.data(m.index(0, 3)).toString(), QStringLiteral("<round>"));
        const auto align = [&](int r, int c) { return m.data(m.index(r, c), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask; };
        QCOMPARE(align(0, 1), Qt::AlignRight);
        QCOMPARE(align(0, 0), Qt::AlignLeft);
        const QImage pic = m.data(m.index(0, 4), TStringTableItemModel::BitmapRole).value<QImage>();
        QCOMPARE(pic.size(), QSize(12, 12));
        QCOMPARE(pic.pixelColor(5, 5), QColor(Qt::red));

        // Own column selection and titles: three titles over five columns give three columns.
        grid->SetColNames("diameter|CODE|~Food|Picture");
        grid->SetTitles({"~Dia", "~Code", "~Food"});
        QCOMPARE(m.columnCount(), 3);
        QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("<Dia>"));
        QCOMPARE(m.data(m.index(2, 1)).toString(), QStringLiteral("C2"));

        // Unit conversion of a column shows on the next refresh.
        TStrTableGridColumn& unit = grid->Model().GridColumn(0);
        unit.DataUnit = cUM_m;
        unit.ScaleUnit = cUM_mm;
        unit.ShowUnit = true;
        grid->Model().Refresh();
        QCOMPARE(m.data(m.index(1, 0)).toString(), QStringLiteral("4.00 mm"));

        // The query narrows, then goes away.
        query->AddCondition("Diameter>0.005");
        QCOMPARE(m.rowCount(), 3);
        QCOMPARE(m.data(m.index(0, 1)).toString(), QStringLiteral("C2"));
        query.reset();
        QCOMPARE(m.rowCount(), 0);
        QCOMPARE(grid->Table(), nullptr);
    }

    void drawsTicksAndCrossesInTickColumnsAndPicturesInTheirCells() {
        grid->SetTable(source.get());
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->clearSelection();
        const QAbstractItemModel& m = *grid->model();
        // Rows 2 (yes) and 3 (no); row 0 carries the current cell's focus frame.
        const QRect yesCell = grid->visualRect(m.index(2, 2)).adjusted(2, 2, -2, -2);
        const QRect noCell = grid->visualRect(m.index(3, 2)).adjusted(2, 2, -2, -2);
        const QRect picCell = grid->visualRect(m.index(3, 4));
        // A mark stands in the middle of the cell, where a left-aligned text never reaches.
        const auto middle = [](const QRect& r) { return QRect(r.center().x() - 8, r.top(), 17, r.height()); };
        const auto left = [](const QRect& r) { return QRect(r.left(), r.top(), r.width() / 4, r.height()); };

        // Not declared as a tick column: the yes/no cells show their words.
        QImage shot = grid->viewport()->grab().toImage();
        QVERIFY2(CountPixels(shot, left(yesCell), Dark) > 10, "the word of the yes cell");
        QVERIFY2(CountPixels(shot, left(noCell), Dark) > 10, "the word of the no cell");
        QCOMPARE(CountPixels(shot, middle(yesCell), Dark), 0);
        QVERIFY2(CountPixels(shot, picCell, Red) >= 100, "the 12x12 picture in its cell");
        QCOMPARE(CountPixels(shot, grid->visualRect(m.index(3, 0)), Red), 0);

        // Declared (letter case aside): a tick for yes, a cross for no, no words.
        grid->SetTickColumns({"~FOOD"});
        QVERIFY(grid->IsTickColumn(2));
        QVERIFY(!grid->IsTickColumn(3));
        shot = grid->viewport()->grab().toImage();
        QVERIFY2(CountPixels(shot, middle(yesCell), Dark) > 10, "a tick in the yes cell");
        QCOMPARE(CountPixels(shot, yesCell, Dark), CountPixels(shot, middle(yesCell), Dark)); // no text beside it
        QVERIFY2(CountPixels(shot, middle(noCell), Dark) > 10, "a cross in the no cell");
        QCOMPARE(CountPixels(shot, noCell, Dark), CountPixels(shot, middle(noCell), Dark));
        const QImage tick = shot.copy(middle(yesCell));
        const QImage cross = shot.copy(middle(noCell));
        QVERIFY2(tick != cross, "the two marks differ");
        QVERIFY2(CountPixels(shot, picCell, Red) >= 100, "the picture stays");

        // The application's cached texts decide which cells are yes/no cells; without
        // them the cells show their texts.
        grid->SetTickTexts({}, {});
        shot = grid->viewport()->grab().toImage();
        QVERIFY2(CountPixels(shot, noCell, Dark) > 10, "the text of the no cell");
        QCOMPARE(CountPixels(shot, middle(yesCell), Dark), 0);
        // Swapped texts swap the marks.
        grid->SetTickTexts(QStringLiteral("Nein"), QStringLiteral("Ja"));
        shot = grid->viewport()->grab().toImage();
        QCOMPARE(shot.copy(middle(yesCell)), cross);
        QCOMPARE(shot.copy(middle(noCell)), tick);

        // Another column that is a tick column of no table column here: words again.
        grid->SetTickColumns({"~ok"});
        shot = grid->viewport()->grab().toImage();
        QVERIFY(CountPixels(shot, left(yesCell), Dark) > 10);
        QCOMPARE(CountPixels(shot, middle(yesCell), Dark), 0);
    }

    void drawCellEventFollowsTheDrawingOfEveryCell() {
        grid->SetColNames("Code|Diameter");
        grid->SetTitles({"~Code", "~Diameter"});
        grid->SetTable(source.get());
        std::set<std::pair<int, int>> drawn;
        const QColor mark(255, 0, 255);
        // The owner paints over every fixed cell: what shows is the owner's colour, so the
        // grid's own drawing came first.
        grid->OnDrawCell = [&](TStringTableGrid& sender, int aCol, int aRow, const QRect& rect, QPainter& painter) {
            QCOMPARE(&sender, grid.get());
            drawn.insert({aCol, aRow});
            if (aCol == 0 || aRow == 0) painter.fillRect(rect.adjusted(2, 2, -2, -2), mark);
        };
        std::set<std::pair<int, int>> followed;
        connect(grid.get(), &TStringTableGrid::cellDrawn, grid.get(),
                [&](int aCol, int aRow, const QRect&, QPainter*) { followed.insert({aCol, aRow}); });
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        drawn.clear();
        followed.clear();
        const QImage shot = grid->grab().toImage();

        std::set<std::pair<int, int>> expected{{0, 0}};
        for (int c = 0; c <= 2; ++c)
            for (int r = 0; r <= 5; ++r) expected.insert({c, r});
        QCOMPARE(drawn, expected);
        QCOMPARE(followed, expected);

        auto markedAt = [&](const QWidget* part, const QRect& rect) {
            const QPoint at = part->mapTo(grid.get(), rect.center());
            return shot.pixelColor(at) == mark;
        };
        QHeaderView* titles = grid->horizontalHeader();
        QHeaderView* numbers = grid->verticalHeader();
        for (int c = 0; c < 2; ++c) {
            const QRect section(titles->sectionViewportPosition(c), 0, titles->sectionSize(c), titles->height());
            QVERIFY2(markedAt(titles->viewport(), section), qPrintable(QString("title %1").arg(c)));
        }
        for (int r = 0; r < 5; ++r) {
            const QRect section(0, numbers->sectionViewportPosition(r), numbers->width(), numbers->sectionSize(r));
            QVERIFY2(markedAt(numbers->viewport(), section), qPrintable(QString("row number %1").arg(r)));
        }
        const auto* corner = grid->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(corner);
        QVERIFY2(markedAt(corner, corner->rect()), "the corner cell");
        QVERIFY2(!markedAt(grid->viewport(), grid->visualRect(grid->model()->index(1, 1))), "data cells keep their drawing");
    }

    void autoColSizeFollowsTheTexts() {
        grid->SetColNames("Code|Diameter|~Shape");
        grid->SetTitles({"~Code", "~Diameter", "~Shape"});
        grid->SetTable(source.get());
        grid->SetAutoColSize(true);
        const QFontMetrics fm = grid->fontMetrics();
        // Titles are measured in the header's font with its margins.
        const int margin = grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid->horizontalHeader());
        auto title = [&](const char* text) {
            return grid->horizontalHeader()->fontMetrics().horizontalAdvance(text) + 2 * margin;
        };
        // Cell texts: the rule's 7 pixels, or what the style's text margins and the grid line
        // need when that is more.
        const int textMargin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid.get()) + 1;
        auto cell = [&](const char* text) { return fm.horizontalAdvance(text) + std::max(7, 2 * textMargin + 2); };
        QCOMPARE(grid->ColWidth(1), std::max(cell("C4"), title("<Code>") + 7));
        const int numbers = grid->ColWidth(0);
        QCOMPARE(numbers, fm.horizontalAdvance(QStringLiteral("0")) + 7); // 6 rows with the title row
        const int codeWidth = grid->ColWidth(1);

        // A longer code and enough rows for two-digit row numbers widen both columns.
        const std::vector<uint8_t> none;
        for (int i = 0; i < 5; ++i) AppendRow(i == 4 ? "VERY-LONG-ORDER-CODE-4711" : "X", 0.01, false, none);
        source->SetRows(10);
        source->Changed(cChangeContents);
        QCOMPARE(grid->model()->rowCount(), 10);
        QVERIFY(grid->ColWidth(1) > codeWidth);
        QCOMPARE(grid->ColWidth(1), cell("VERY-LONG-ORDER-CODE-4711"));
        QVERIFY(grid->ColWidth(0) > numbers);

        // A handler may fix widths; a fixed width is at least the title's.
        grid->OnGetColWidth = [](TStringTableGrid&, int aCol, int& aWidth, bool& userDefined) {
            if (aCol == 2) { aWidth = 3; userDefined = true; }
            if (aCol == 3) { aWidth = 333; userDefined = true; }
        };
        grid->SizeColumns();
        QCOMPARE(grid->ColWidth(1), cell("VERY-LONG-ORDER-CODE-4711"));
        QCOMPARE(grid->ColWidth(2), title("<Diameter>") + 6);
        QCOMPARE(grid->ColWidth(3), 333);

        // Without AutoColSize a refresh keeps the widths the columns have.
        grid->SetAutoColSize(false);
        grid->SetColWidth(1, 55);
        source->Changed(cChangeContents);
        QCOMPARE(grid->ColWidth(1), 55);
    }

    void raisesSelectCellOnEveryRefreshKeepingTheRow() {
        std::vector<Selected> events;
        grid->OnSelectCell = [&](TStringTableGrid&, int aCol, int aRow) { events.push_back({aCol, aRow}); };
        grid->SetTable(query.get());
        QCOMPARE(events.size(), 1u);
        QCOMPARE(events.back(), (Selected{1, 1})); // a new table starts at the first data cell

        grid->SetCurrentCell(2, 3);
        QCOMPARE(events.back(), (Selected{2, 3}));
        events.clear();
        query->AddCondition("Diameter>0.003"); // four rows left: row 3 stays
        QCOMPARE(events.size(), 1u);
        QCOMPARE(events.back(), (Selected{2, 3}));
        QCOMPARE(grid->Row(), 3);
        query->AddCondition("Diameter>0.009"); // one row left
        QCOMPARE(events.back(), (Selected{2, 1}));
        query->AddCondition("Diameter>1");
        QCOMPARE(events.back(), (Selected{0, 0})); // no rows: no current cell
        query->Reset();
        QCOMPARE(events.back(), (Selected{1, 1}));

        // The user's click raises it once; whole-row selection selects the row.
        grid->SetRowSelect(true);
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        events.clear();
        const QModelIndex target = grid->model()->index(3, 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(target).center());
        QCOMPARE(events.size(), 1u);
        QCOMPARE(events.back(), (Selected{2, 4}));
        QVERIFY(grid->selectionModel()->isRowSelected(3, {}));
        QCOMPARE(grid->selectionModel()->selectedIndexes().size(), 5);

        // Deferred refreshes run once when the update counter returns to 0.
        events.clear();
        grid->Model().BeginUpdate();
        query->AddCondition("Diameter>0.003");
        query->AddCondition("Diameter>0.005");
        QCOMPARE(events.size(), 0u);
        QCOMPARE(grid->model()->rowCount(), 5); // the view keeps its counts until the refresh
        grid->Model().EndUpdate();
        QCOMPARE(events.size(), 1u);
        QCOMPARE(grid->model()->rowCount(), 3);
    }

    // Choosing whole rows, the keyboard user walks the rows with the arrow keys and leaves
    // the grid with Tab (and comes back with Shift+Tab) instead of being kept in its cells.
    void aRowSelectingGridPassesTabOnAndTakesTheArrowKeys() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* before = new QLineEdit(&window);
        auto* after = new QLineEdit(&window);
        grid->setParent(&window);
        // The grid belongs to the test, not to the window: it leaves the window first.
        const auto release = qScopeGuard([&] { grid->setParent(nullptr); });
        layout->addWidget(before);
        layout->addWidget(grid.get());
        layout->addWidget(after);
        QWidget::setTabOrder(before, grid.get());
        QWidget::setTabOrder(grid.get(), after);
        grid->SetTable(query.get());
        grid->SetRowSelect(true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        before->setFocus();
        QTRY_VERIFY(before->hasFocus());

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(grid->hasFocus());
        QCOMPARE(grid->Row(), 1);
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QTest::keyClick(grid.get(), Qt::Key_Down);
        QCOMPARE(grid->Row(), 3);
        QVERIFY(grid->selectionModel()->isRowSelected(2, {}));
        QTest::keyClick(grid.get(), Qt::Key_Tab);
        QTRY_VERIFY(after->hasFocus());
        QTest::keyClick(after, Qt::Key_Backtab);
        QTRY_VERIFY(grid->hasFocus());
        QCOMPARE(grid->Row(), 3);
        QTest::keyClick(grid.get(), Qt::Key_Backtab);
        QTRY_VERIFY(before->hasFocus());

        // A grid of single cells keeps Tab for its cells.
        grid->SetRowSelect(false);
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        const int column = grid->currentIndex().column();
        QTest::keyClick(grid.get(), Qt::Key_Tab);
        QVERIFY(grid->hasFocus());
        QCOMPARE(grid->currentIndex().column(), column + 1);
    }

    void readsOnlyTheCellsItDraws() {
        constexpr int kRows = 20000;
        TStrTableDB32Bit big;
        big.Loaded();
        auto& a = big.AddColumn("A", csfString);
        auto& b = big.AddColumn("B", csfFloat);
        auto& c = big.AddColumn("C", csfString);
        for (int i = 0; i < kRows; ++i) {
            a.AppendText("row " + std::to_string(i));
            b.AppendFloat(i * 0.5);
            c.AppendText(i % 3 ? "x" : "y");
        }
        big.SetRows(kRows);
        long long reads = 0;
        big.OnChangeField = [&](const TCustomTable&, int, int, TTerm&) { ++reads; };

        grid->resize(400, 300);
        grid->SetTable(&big);
        QCOMPARE(reads, 0LL); // binding reads no cell
        grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
        grid->viewport()->repaint();
        const int visibleRows = grid->viewport()->height() / grid->rowHeight(0) + 1;
        const long long visibleCells = static_cast<long long>(visibleRows) * 3;
        QVERIFY2(reads > 0 && reads <= 4 * visibleCells, qPrintable(QString::number(reads)));

        // One page down: one paint reads each visible cell once.
        reads = 0;
        QScrollBar* bar = grid->verticalScrollBar();
        bar->setValue(bar->value() + bar->pageStep());
        grid->viewport()->repaint();
        QVERIFY(grid->rowAt(0) > 0);
        QVERIFY2(reads > 0 && reads <= visibleCells, qPrintable(QString::number(reads)));

        reads = 0;
        grid->scrollToBottom();
        grid->viewport()->repaint();
        QCOMPARE(grid->rowAt(grid->viewport()->height() - 2), kRows - 1);
        QVERIFY2(reads <= visibleCells, qPrintable(QString::number(reads)));

        // A refresh recounts without reading the rows.
        reads = 0;
        big.Changed(cChangeContents);
        QCOMPARE(reads, 0LL);
        grid.reset();
    }

private:
    void AppendRow(const std::string& c, double d, bool yes, const std::vector<uint8_t>& pic) {
        code->AppendText(c);
        diameter->AppendFloat(d);
        food->AppendText(yes ? "~Yes" : "~No");
        shape->AppendText("~round");
        picture->AppendBlob(pic);
    }

    std::unique_ptr<TStrTableDB32Bit> source;
    std::unique_ptr<TStringQuery> query;
    std::unique_ptr<TStringTableGrid> grid;
    TStrFieldDB* code = nullptr;
    TStrFieldDB* diameter = nullptr;
    TStrFieldDB* food = nullptr;
    TStrFieldDB* shape = nullptr;
    TStrFieldDB* picture = nullptr;
};

QTEST_MAIN(TableGridTest)
#include "table_grid_test.moc"
