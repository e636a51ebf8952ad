#include "core/data/parts_list.h"

#include <gtest/gtest.h>

namespace {

// Records every notification a table sends to its dependents.
class TFlagRecorder : public TTableDependent {
public:
    void SourceChanged(TCustomTable& /*source*/, unsigned flags) override {
        Flags.push_back(flags);
    }
    std::vector<unsigned> Flags;
};

} // namespace

TEST(PartsList, ColumnsAreFixed) {
    TPartsList list;
    EXPECT_EQ(list.Cols(), 6);
    EXPECT_EQ(list.ColNames(), "ArtNr|Typ|~Ben|xLen|Anzahl|VPE");
    list.SetColNames("A|B");
    EXPECT_EQ(list.ColNames(), "ArtNr|Typ|~Ben|xLen|Anzahl|VPE");
    EXPECT_EQ(list.Cols(), 6);
    EXPECT_EQ(list.ColByName("Anzahl"), 4);
    EXPECT_EQ(list.Rows(), 0);
}

TEST(PartsList, SamePartAddsUpAndVanishesAtZero) {
    TPartsList list;
    list.Add("11000002", "SC-S1-FL002-NB", 10, 2, "ST", "", 0, "~DescFlatSuctionCup");
    list.Add("11000002", "SC-S1-FL002-NB", 10, 3, "ST", "", 0, "~Other");
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 5);
    EXPECT_EQ(list.Part(0).Description, "~DescFlatSuctionCup");
    list.Add("11000002", "SC-S1-FL002-NB", 10, -5, "ST", "", 0, "");
    EXPECT_EQ(list.Rows(), 0);
}

TEST(PartsList, SumBeyondTheQuantityLimitIsRefusedAndKeepsTheRow) {
    TPartsList list;
    list.Add("11000002", "SC-S1-FL002-NB", 1, 2147483000, "ST", "", 0, "");
    list.Add("11000002", "SC-S1-FL002-NB", 1, 647, "ST", "", 0, "");
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 2147483647);
    EXPECT_TRUE(list.Refusals().empty());
    // One more would wrap round to a negative quantity.
    list.Add("11000002", "SC-S1-FL002-NB", 1, 1, "ST", "", 0, "");
    EXPECT_EQ(list.Part(0).Quantity, 2147483647);
    ASSERT_EQ(list.Refusals().size(), 1u);
    EXPECT_NE(list.Refusals()[0].find("11000002 SC-S1-FL002-NB"), std::string::npos) << list.Refusals()[0];
    // Going down stays possible, to the lowest quantity a part can hold.
    list.Add("11000002", "SC-S1-FL002-NB", 1, -2147483647, "ST", "", 0, "");
    EXPECT_EQ(list.Rows(), 0);
}

TEST(PartsList, SamePartNumberWithOtherOrderCodeIsNewRow) {
    TPartsList list;
    list.Add("11000002", "SC-S1-FL002-NB", 10, 2, "ST", "", 0, "");
    list.Add("11000002", "SC-S1-FL002-nb", 10, 3, "ST", "", 0, "");
    list.Add("11000003", "SC-S1-FL002-NB", 10, 4, "ST", "", 0, "");
    ASSERT_EQ(list.Rows(), 3);
    EXPECT_EQ(list.AsText(1, "Typ"), "SC-S1-FL002-nb");
    EXPECT_EQ(list.AsText(2, "ArtNr"), "11000003");
    EXPECT_EQ(list.Part(2).Quantity, 4);
}

TEST(PartsList, CellTextsPadQuantitiesAndLengths) {
    TPartsList list;
    list.Add("11000002", "SC-S1-FL002-NB", 10, 3, "ST", "", 0, "~DescFlatSuctionCup");
    list.Add("22000004", "TU-PU-04x2.5-BL", 1, 2, "M", "", 0, "~DescVacuumTube");
    list.Add("55000001", "RAIL", 1, 1, "ST", "mm", 500, "~Rail");

    EXPECT_EQ(list.AsText(0, 0), "11000002");
    EXPECT_EQ(list.AsText(0, 1), "SC-S1-FL002-NB");
    EXPECT_EQ(list.AsText(0, 2), "~DescFlatSuctionCup");
    const TTerm noLength = list.Field(0, 3);
    EXPECT_EQ(noLength.Typ, cTTAlpha);
    EXPECT_EQ(noLength.Text, "");

    const TTerm pieces = list.Field(0, 4);
    EXPECT_EQ(pieces.Typ, cTTNum);
    EXPECT_EQ(pieces.Text, "    3");
    EXPECT_EQ(pieces.Value, 3);
    EXPECT_EQ(list.AsText(0, 5), "   10");

    EXPECT_EQ(list.AsText(1, 4), "    2 m");
    EXPECT_EQ(list.AsText(1, 5), "    1 m");
    EXPECT_EQ(list.AsInteger(1, 4), 2);

    const TTerm length = list.Field(2, 3);
    EXPECT_EQ(length.Typ, cTTNum);
    EXPECT_EQ(length.Text, "     500mm");
    EXPECT_EQ(length.Value, 500);
}

TEST(PartsList, ReadsOutsideTheListGiveAnEmptyPart) {
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    EXPECT_EQ(list.AsText(5, 0), "");
    EXPECT_EQ(list.AsText(-1, 1), "");
    EXPECT_EQ(list.Part(7).PartNo, "");
    EXPECT_EQ(list.Part(7).Quantity, 0);
    EXPECT_EQ(list.Field(0, 6).Typ, cTTError);
}

TEST(PartsList, TextsAreCutToTheirFields) {
    TPartsList list;
    list.Add("1234567890", std::string(90, 'X'), 1, 1, "STUECKWEISE-X", "", 0, "");
    EXPECT_EQ(list.Part(0).PartNo, "12345678");
    EXPECT_EQ(list.Part(0).OrderCode, std::string(80, 'X'));
    EXPECT_EQ(list.Part(0).QuantityUnit, "STUECKWEIS");
    // The cut part number finds the stored part again.
    list.Add("1234567899", std::string(85, 'X'), 1, 2, "ST", "", 0, "");
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.Part(0).Quantity, 3);
    // A multi-byte character is never split.
    list.Add("1234567\xC3\xA4", "B", 1, 1, "ST", "", 0, "");
    EXPECT_EQ(list.Part(1).PartNo, "1234567\xC3\xA4");
}

TEST(PartsList, ColumnTitlesComeFromTheEvent) {
    TPartsList list;
    EXPECT_EQ(list.ColTitle(1), "");
    list.OnGetColTitle = [](const TPartsList& sender, int col, std::string& title) {
        title = sender.ColName(col) + "!";
    };
    EXPECT_EQ(list.ColTitle(1), "Typ!");
}

TEST(PartsList, ChangesReachDependents) {
    TPartsList list;
    TFlagRecorder grid;
    list.AddDependent(&grid);
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    list.Add("2", "B", 1, 1, "ST", "", 0, "");
    list.Add("1", "A", 1, 1, "ST", "", 0, "");
    EXPECT_EQ(grid.Flags,
              (std::vector<unsigned>{cChangeContents, cChangeContents, cChangeContents}));
    grid.Flags.clear();
    list.Delete(0);
    list.Delete(3);
    EXPECT_EQ(grid.Flags, std::vector<unsigned>{cChangeContents});
    ASSERT_EQ(list.Rows(), 1);
    EXPECT_EQ(list.AsText(0, 0), "2");
    list.Add("3", "C", 1, 1, "ST", "", 0, "");
    grid.Flags.clear();
    list.Clear();
    EXPECT_EQ(list.Rows(), 0);
    // One notification for the whole clear.
    EXPECT_EQ(grid.Flags, std::vector<unsigned>{cChangeContents});
}
