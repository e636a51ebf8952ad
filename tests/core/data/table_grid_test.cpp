#include <gtest/gtest.h>

#include <cstring>

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/string_query.h"
#include "core/data/table_grid.h"

namespace {

class Grid : public ::testing::Test {
protected:
    void SetUp() override {
        table.Loaded();
        auto& code = table.AddColumn("OrderCode", csfString);
        auto& d = table.AddColumn("Diameter", csfFloat, 6, 2);
        auto& shape = table.AddColumn("~Shape", csfString);
        auto& note = table.AddColumn("Note", csfString);
        auto& pic = table.AddColumn("Picture", csfBLOB);
        auto& extra = table.AddColumn("Extra", csfString);
        const unsigned char bmp[] = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 'B', 'M', 1, 2};
        const unsigned char other[] = {'T', 'B', 'i', 't', 'm', 'a', 'p', 0, 'B', 'M'}; // not counted
        for (int i = 0; i < 3; ++i) {
            code.AppendText("C" + std::to_string(i));
            d.AppendFloat(0.0125 * (i + 1));
            shape.AppendText(i == 2 ? "round" : "~flat");
            note.AppendText("~flat");
            if (i == 0) pic.AppendBlob(bmp);
            else pic.AppendBlob(other);
            extra.AppendText("x");
        }
        table.SetRows(3);
        grid.Translate = [](std::string_view key) { return "<" + std::string(key) + ">"; };
    }
    TStrTableDB32Bit table;
    TStringTableGridModel grid;
};

} // namespace

TEST_F(Grid, MapsColumnsTitlesAndCounts) {
    int refreshes = 0;
    grid.OnRefresh = [&](TStringTableGridModel&) { ++refreshes; };
    grid.SetTable(&table);
    EXPECT_EQ(grid.DataCols(), 0) << "a table set while loading waits for Loaded";
    grid.Loaded();
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(grid.DataCols(), 6);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.Title(1), table.ColTitle(1));

    grid.SetColNames("diameter|ORDERCODE|Missing|~Shape|Note");
    EXPECT_EQ(grid.TableCol(0), 1) << "names are found regardless of case";
    EXPECT_EQ(grid.TableCol(2), -1);
    EXPECT_EQ(grid.Cell(2, 0).Text, "");
    // Three titles: three data columns, titles translated.
    grid.SetTitles({"~Dia", "~Code", "~None"});
    EXPECT_EQ(grid.DataCols(), 3);
    EXPECT_EQ(grid.Title(0), "<~Dia>");
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(TStringTableGridModel::RowNumberText(0), "1");

    // Changes are marked while updating and run once at the end.
    const int before = refreshes;
    grid.BeginUpdate();
    table.Changed(cChangeContents);
    grid.SetColNames("OrderCode");
    EXPECT_EQ(refreshes, before);
    grid.EndUpdate();
    EXPECT_EQ(refreshes, before + 1);
    EXPECT_EQ(grid.DataCols(), 1);
}

TEST_F(Grid, CellsConvertUnitsTranslateKeysAndShowBitmaps) {
    grid.Loaded();
    grid.SetTable(&table);
    // Diameter: plain text without a scale unit, right-aligned.
    EXPECT_EQ(grid.Cell(1, 0).Text, table.AsText(0, "Diameter"));
    EXPECT_TRUE(grid.Cell(1, 0).RightAligned);
    EXPECT_FALSE(grid.Cell(0, 0).RightAligned);
    TStrTableGridColumn& u = grid.GridColumn(1);
    u.DataUnit = cUM_m;
    u.ScaleUnit = cUM_mm;
    EXPECT_EQ(grid.Cell(1, 0).Text, "12.50") << "the column's Prec 6 and Dec 2";
    u.ShowUnit = true;
    EXPECT_EQ(grid.Cell(1, 1).Text, "25.00 mm");

    // "~" texts are translated only in "~" columns.
    EXPECT_EQ(grid.Cell(2, 0).Text, "<~flat>");
    EXPECT_EQ(grid.Cell(2, 2).Text, "round");
    EXPECT_EQ(grid.Cell(3, 0).Text, "~flat");

    // A BLOB cell marked as bitmap shows the bytes after the mark.
    const TGridCellText pic = grid.Cell(4, 0);
    ASSERT_EQ(pic.Bitmap.size(), 4u);
    EXPECT_EQ(std::memcmp(pic.Bitmap.data(), "BM\x01\x02", 4), 0);
    EXPECT_TRUE(grid.Cell(4, 1).Bitmap.empty());

    // Widths measure the title and each distinct text once.
    EXPECT_EQ(grid.ColumnTexts(5), (std::vector<std::string>{table.ColTitle(5), "x"}));
}

TEST_F(Grid, FollowsAQueryAndSurvivesItsEnd) {
    grid.Loaded();
    {
        TStringQuery query;
        query.Loaded();
        query.SetTable(&table);
        grid.SetTable(&query);
        query.AddCondition("Diameter>0.02");
        EXPECT_EQ(grid.DataRows(), 2);
        EXPECT_EQ(grid.Cell(0, 0).Text, "C1");
    }
    EXPECT_EQ(grid.Table(), nullptr);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
}
