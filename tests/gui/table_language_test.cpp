// Grids and filter lists follow a language switch of their window by themselves: the grid
// refreshes (titles, "~" cells and the tick column in the new language), the lists label
// their entries again, also after a filter rebuilt them, and no binding by entry number
// relabels the wrong entries.

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/lang/language_table.h"
#include "gui/lang/language_form.h"
#include "gui/table/str_table_controls.h"
#include "gui/table/string_table_grid.h"

#include <functional>
#include <memory>

#include <QHeaderView>
#include <QImage>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Tubes:
//   row  ~ok   Code  ~Color   Group
//   0    ~Yes  PU-4  ~blue    PU
//   1    ~No   PU-6  ~nature  PU
//   2    ~Yes  PA-4  ~nature  PA
//   3    ~No   PA-8  ~black   PA
//   4    ~Yes  PE-6  ~nature  PE
void FillTubes(TStrTableDB32Bit& source) {
    source.Loaded();
    auto& ok = source.AddColumn("~ok", csfString);
    auto& code = source.AddColumn("Code", csfString);
    auto& color = source.AddColumn("~Color", csfString);
    auto& group = source.AddColumn("Group", csfString);
    const char* rows[][4] = {{"~Yes", "PU-4", "~blue", "PU"},
                             {"~No", "PU-6", "~nature", "PU"},
                             {"~Yes", "PA-4", "~nature", "PA"},
                             {"~No", "PA-8", "~black", "PA"},
                             {"~Yes", "PE-6", "~nature", "PE"}};
    for (const auto& r : rows) {
        ok.AppendText(r[0]);
        code.AppendText(r[1]);
        color.AppendText(r[2]);
        group.AppendText(r[3]);
    }
    source.SetRows(5);
}

// The tube page: a grid and two filter lists over the query, translated by the page's
// language form.
class TTubePage : public QWidget {
public:
    TTubePage(TStringQuery& query, int languageGroup) : language_(this) {
        auto* layout = new QVBoxLayout(this);
        group = new TStrTableCoBox(this);
        color = new TStrTableCoBox(this);
        grid = new TStringTableGrid(this);
        layout->addWidget(group);
        layout->addWidget(color);
        layout->addWidget(grid, 1);
        const TTranslateFunc translate = [this](std::string_view key) { return language_.Translate(key); };

        group->SetTranslate(translate);
        group->Model().SetUnselected("~Any");
        group->Model().SetSort(cSortASCII);
        group->SetFieldName("Group");
        group->SetTable(&query);
        color->SetTranslate(translate);
        color->Model().SetUnselected("~Any");
        color->Model().SetSort(cSortASCII);
        color->SetFieldName("~Color");
        color->SetTable(&query);

        grid->Model().Translate = translate;
        grid->SetColNames("~ok|Code|~Color");
        grid->SetTitles({"~FittingToTube", "Code", "~Color"});
        grid->SetTickColumns({"~ok"});
        grid->SetTable(&query);
        for (int c = 1; c <= 3; ++c) grid->SetColWidth(c, 120);

        language_.LanguageDB().SetGroup(languageGroup);
        language_.Loaded();
    }

    TLanguageDB& DB() { return language_.LanguageDB(); }

    TStrTableCoBox* group;
    TStrTableCoBox* color;
    TStringTableGrid* grid;

private:
    TLanguageForm language_;
};

QStringList ItemTexts(const QComboBox& box) {
    QStringList out;
    for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
    return out;
}

QString Title(const TStringTableGrid& grid, int dataCol) {
    return grid.model()->headerData(dataCol, Qt::Horizontal).toString();
}

QString CellText(const TStringTableGrid& grid, int row, int dataCol) {
    return grid.model()->data(grid.model()->index(row, dataCol)).toString();
}

int CountDark(const QImage& image, const QRect& rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 110) ++n;
    return n;
}

// What a cell of the grid shows: a mark in its middle and nothing else (a tick or a cross),
// or something else (a text begins at the left).
bool ShowsAMark(TStringTableGrid& grid, int row, int dataCol) {
    grid.clearSelection();
    const QImage shot = grid.viewport()->grab().toImage();
    const QRect cell = grid.visualRect(grid.model()->index(row, dataCol)).adjusted(2, 2, -2, -2);
    const QRect middle(cell.center().x() - 8, cell.top(), 17, cell.height());
    const int inMiddle = CountDark(shot, middle);
    return inMiddle > 10 && CountDark(shot, cell) == inMiddle;
}

void Choose(QComboBox& box, int index) {
    box.setCurrentIndex(index);
    emit box.activated(index);
}

} // namespace

class TableLanguageTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TCustomLanguageTable> table_;
    std::unique_ptr<TStrTableDB32Bit> source_;
    std::unique_ptr<TStringQuery> query_;

private slots:
    void init() {
        table_ = std::make_unique<TCustomLanguageTable>();
        auto both = [&](const char* key, const char* en, const char* de) {
            table_->SetText("en", key, en);
            table_->SetText("de", key, de);
        };
        both("~Yes", "Yes", "Ja");
        both("~No", "No", "Nein");
        both("~Any", "any", "alle");
        both("~blue", "blue", "blau");
        both("~nature", "natural", "natur");
        both("~black", "black", "schwarz");
        both("~FittingToTube", "Fits", "Passt");
        both("~Color", "Colour", "Farbe");
        source_ = std::make_unique<TStrTableDB32Bit>();
        FillTubes(*source_);
        query_ = std::make_unique<TStringQuery>();
        query_->Loaded();
        query_->SetTable(source_.get());
    }

    void cleanup() {
        query_.reset();
        source_.reset();
        table_.reset();
    }

    void theGridFollowsTheLanguageOfItsWindow() {
        TTubePage page(*query_, 0);
        page.resize(500, 400);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        TStringTableGrid& grid = *page.grid;

        page.DB().SetLanguage("en");
        QCOMPARE(Title(grid, 0), QString("Fits"));
        QCOMPARE(Title(grid, 2), QString("Colour"));
        QCOMPARE(CellText(grid, 0, 2), QString("blue"));
        QCOMPARE(grid.TickYes(), QString("Yes"));
        QVERIFY2(ShowsAMark(grid, 2, 0), "a tick for the yes cell");
        QVERIFY2(ShowsAMark(grid, 3, 0), "a cross for the no cell");

        const int refreshes = grid.Model().Refreshes();
        page.DB().SetLanguage("de");
        QCOMPARE(grid.Model().Refreshes(), refreshes + 1);
        QCOMPARE(Title(grid, 0), QString("Passt"));
        QCOMPARE(Title(grid, 2), QString("Farbe"));
        QCOMPARE(CellText(grid, 0, 2), QString("blau"));
        QCOMPARE(CellText(grid, 2, 0), QString("Ja"));
        QCOMPARE(grid.TickYes(), QString("Ja"));
        QCOMPARE(grid.TickNo(), QString("Nein"));
        QVERIFY2(ShowsAMark(grid, 2, 0), "still a tick, not the word");
        QVERIFY2(ShowsAMark(grid, 3, 0), "still a cross, not the word");
        QVERIFY2(!ShowsAMark(grid, 2, 1), "the code is a text");

        // A window of another group switches alone.
        TTubePage preview(*query_, -1);
        preview.DB().SetLanguage("en");
        QCOMPARE(Title(*preview.grid, 0), QString("Fits"));
        QCOMPARE(Title(grid, 0), QString("Passt"));
        QCOMPARE(grid.Model().Refreshes(), refreshes + 1);
    }

    void filterListsLabelTheirEntriesAgainAfterEverySwitch() {
        TTubePage page(*query_, 0);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        TStrTableCoBox& color = *page.color;
        page.DB().SetLanguage("en");
        QCOMPARE(ItemTexts(color), (QStringList{"any", "black", "blue", "natural"}));
        page.DB().SetLanguage("de");
        QCOMPARE(ItemTexts(color), (QStringList{"alle", "schwarz", "blau", "natur"}));
        page.DB().SetLanguage("en");

        // Another filter rebuilds the list: two colours remain among the PA tubes. The
        // switch then labels the entries the list has now.
        Choose(*page.group, 1);
        QCOMPARE(page.group->currentText(), QString("PA"));
        QCOMPARE(ItemTexts(color), (QStringList{"any", "black", "natural"}));
        Choose(color, 2);
        QCOMPARE(query_->Rows(), 1);
        page.DB().SetLanguage("de");
        QCOMPARE(ItemTexts(color), (QStringList{"alle", "schwarz", "natur"}));
        QCOMPARE(color.currentIndex(), 2);
        QCOMPARE(color.currentText(), QString("natur"));
        QCOMPARE(query_->Rows(), 1); // relabelling filters nothing

        // Back to every group: the list grows again, the next switch labels it all.
        Choose(*page.group, 0);
        QCOMPARE(ItemTexts(color), (QStringList{"alle", "schwarz", "blau", "natur"}));
        page.DB().SetLanguage("en");
        QCOMPARE(ItemTexts(color), (QStringList{"any", "black", "blue", "natural"}));
        QCOMPARE(color.currentText(), QString("natural"));
    }

    void theFormBindsNoEntryOfAFilterList() {
        // A plain list beside them, whose entries are bound by number.
        TTubePage page(*query_, 0);
        auto* plain = new QComboBox(&page);
        plain->addItems({"~Any", "~blue"});
        page.layout()->addWidget(plain);
        page.DB().SetLanguage("de");
        QCOMPARE(ItemTexts(*plain), (QStringList{"alle", "blau"}));
        auto entriesOf = [&](QObject* o) {
            QStringList names;
            for (const TLanguageDBObject& b : page.DB().Bindings())
                if (b.Component == static_cast<TLanguageComponent>(o)) names << QString::fromStdString(b.PropName);
            return names;
        };
        QCOMPARE(entriesOf(plain), (QStringList{"Items[0]", "Items[1]"}));
        QCOMPARE(entriesOf(page.color), QStringList{});
        QCOMPARE(entriesOf(page.group), QStringList{});
        QCOMPARE(ItemTexts(*page.color), (QStringList{"alle", "schwarz", "blau", "natur"}));
    }
};

QTEST_MAIN(TableLanguageTest)
#include "table_language_test.moc"
