#include <gtest/gtest.h>

#include "core/data/str_table_db.h"
#include "core/quantities/number_format.h"
#include "core/util/trace.h"
#include "tests/core/data/test_containers.h"

namespace {

class AllTypes : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        TStrTableDB32Bit src;
        src.Loaded();
        FillAllTypesTable(src);
        if (GetParam()) src.SetIndexed(true);
        t.Loaded();
        t.LoadFromStream(src.SaveToBytes());
    }
    TStrTableDB32Bit t;
};

std::vector<std::vector<TTerm>> Terms(const TCustomTable& t) {
    std::vector<std::vector<TTerm>> out;
    for (int r = 0; r < t.Rows(); ++r) {
        out.emplace_back();
        for (int c = 0; c < t.Cols(); ++c) {
            TTerm term = t.Field(r, c);
            term.Object = nullptr; // memo/blob carriers point at different columns
            out.back().push_back(term);
        }
    }
    return out;
}

} // namespace

TEST_P(AllTypes, CellsReadAsTermsByColumnType) {
    EXPECT_EQ(t.Indexed(), GetParam());
    EXPECT_EQ(t.Rows(), 5);
    EXPECT_EQ(t.ColNames(), "PBool|Bool|Byte|Word|DWord|Float|StrLen|String|Memo|Blob|WideLen|Wide");

    TTerm x = t.Field(0, 0);
    EXPECT_EQ(x.Typ, cTTAlpha);
    EXPECT_EQ(x.Text, "X");
    EXPECT_EQ(t.Field(1, 0).Text, "-");
    EXPECT_EQ(t.Field(1, 1).Text, "X");

    x = t.Field(1, 2); // unsigned byte
    EXPECT_EQ(x.Typ, cTTNum);
    EXPECT_EQ(x.Value, 200);
    EXPECT_EQ(x.Tag, 200);
    EXPECT_EQ(x.Text, "200");
    EXPECT_EQ(t.AsInteger(4, "Byte"), 255);

    x = t.Field(0, 3); // signed word, Prec 4 pads to four characters
    EXPECT_EQ(x.Value, -1);
    EXPECT_EQ(x.Text, "  -1");
    EXPECT_EQ(t.AsText(3, 3), "-32768");

    EXPECT_EQ(t.AsInteger(4, "DWord"), 2147483647);

    x = t.Field(0, 5); // Prec 0 float: short decimal form
    EXPECT_EQ(x.Typ, cTTNum);
    EXPECT_EQ(x.Text, "0.1");
    EXPECT_EQ(t.AsText(1, "Float"), "100");
    EXPECT_EQ(t.AsText(4, "Float"), "-0.125");
    EXPECT_EQ(x.Tag, 0);

    EXPECT_EQ(t.AsText(0, "StrLen"), "abc");
    EXPECT_EQ(t.AsText(2, "StrLen"), "sixsix");
    EXPECT_EQ(t.AsText(4, "StrLen"), "Ä");
    EXPECT_EQ(t.AsText(1, "String"), "Grün");
    EXPECT_EQ(t.AsText(4, "String"), "x\ty");

    x = t.Field(1, 8);
    EXPECT_EQ(x.Text, "<Memo>");
    EXPECT_EQ(MemoOf(x), (std::vector<std::string>{"line 1", "line 2"}));
    EXPECT_TRUE(MemoOf(t.Field(0, 8)).empty());

    x = t.Field(3, 9);
    EXPECT_EQ(x.Text, "<BLOB>");
    ASSERT_EQ(BlobOf(x).size(), 3u);
    EXPECT_EQ(BlobOf(x)[0], 0xA3);

    x = t.Field(0, 10); // no value store: empty text term
    EXPECT_EQ(x.Typ, cTTAlpha);
    EXPECT_EQ(x.Text, "");

    EXPECT_EQ(t.AsText(0, "Wide"), "日本");
    EXPECT_EQ(t.AsText(1, "Wide"), "Ελλάδα");
}

TEST_P(AllTypes, ReadsOutsideTheTableAreEmpty) {
    for (auto [r, c] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 12}}) {
        SCOPED_TRACE(testing::Message() << "row " << r << " col " << c);
        const TTerm x = t.Field(r, c);
        EXPECT_EQ(x.Typ, cTTError);
        EXPECT_EQ(x.Value, 0);
        EXPECT_EQ(x.Text, "");
    }
    EXPECT_EQ(t.AsFloat(0, "NoSuchColumn"), 0);
    EXPECT_EQ(t.AsText(0, "nosuchcolumn"), "");
    EXPECT_FALSE(t.AsBoolean(0, "NoSuchColumn"));
}

TEST_P(AllTypes, IndexedFormEqualsRowForm) {
    const auto before = Terms(t);
    t.SetIndexed(!GetParam());
    EXPECT_EQ(Terms(t), before);
    t.SetIndexed(GetParam());
    EXPECT_EQ(Terms(t), before);
}

INSTANTIATE_TEST_SUITE_P(RowAndDictionaryForm, AllTypes, ::testing::Bool());

TEST(StrTable, DictionaryFormStoresDistinctValuesInFirstAppearanceOrder) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& c = t.AddColumn("S", csfString);
    for (const char* s : {"b", "a", "b", "c", "a"}) c.AppendText(s);
    t.SetRows(5);
    t.SetIndexed(true);
    const TStrFieldDB* f = t.Column(0);
    EXPECT_EQ(f->ValueCount(), 3u);
    EXPECT_EQ(f->RowIndex().ToVector(), (std::vector<int32_t>{0, 1, 0, 2, 1}));
    EXPECT_EQ(t.AsText(3, 0), "c");
}

TEST(StrTable, IndexedTableIsReadOnlyAndStaysSo) {
    TStrTableDB32Bit src;
    src.Loaded();
    FillAllTypesTable(src);
    src.SetIndexed(true);
    const auto blob = src.SaveToBytes();

    TStrTableDB32Bit t;
    t.Loaded();
    t.SetReadOnly(false);
    t.LoadFromStream(blob);
    EXPECT_TRUE(t.Indexed());
    EXPECT_TRUE(t.ReadOnly());
    t.SetReadOnly(false);
    EXPECT_TRUE(t.ReadOnly());
    t.SetIndexed(false);
    t.SetReadOnly(false);
    EXPECT_FALSE(t.ReadOnly());
}

TEST(StrTable, SaveLoadRoundTripIsByteIdentical) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(testing::Message() << "indexed " << indexed);
        TStrTableDB32Bit src;
        src.Loaded();
        FillAllTypesTable(src);
        if (indexed) src.SetIndexed(true);
        const auto blob = src.SaveToBytes();
        TStrTableDB32Bit t;
        t.Loaded();
        t.LoadFromStream(blob);
        EXPECT_EQ(t.SaveToBytes(), blob);
    }
}

TEST(StrTable, UnknownColumnTypeReadsAsPackedBool) {
    TByteWriter w;
    WriteAnsiString(w, "Table");
    w.WriteI32(3);
    WriteAnsiStringList(w, {"Odd"});
    WriteAnsiString(w, "csfSomethingNew");
    w.WriteU16(0);
    w.WriteU16(0);
    w.WriteU8(0);
    w.WriteU8(0);
    w.WriteI32(3);
    w.WriteU8(0b101);
    TStrTableDB32Bit t;
    t.Loaded();
    t.LoadFromStream(w.Buffer());
    EXPECT_EQ(t.Column(0)->DataType(), csfPBool);
    EXPECT_EQ(t.AsText(0, 0), "X");
    EXPECT_EQ(t.AsText(1, 0), "-");
    EXPECT_EQ(t.AsText(2, 0), "X");
}

TEST(StrTable, PrecAndDecAreUnsigned) {
    TStrTableDB32Bit src;
    src.Loaded();
    src.AddColumn("F", csfFloat, 0xFFFF, 0xFFFE).AppendFloat(1.5);
    src.SetRows(1);
    TStrTableDB32Bit t;
    t.Loaded();
    t.LoadFromStream(src.SaveToBytes());
    EXPECT_EQ(t.Column(0)->Prec, 65535);
    EXPECT_EQ(t.Column(0)->Dec, 65534);
    EXPECT_FALSE(t.AsText(0, 0).empty());
}

TEST(StrTable, OtherKindsLoadEmptyAndNoStreamClears) {
    TStrTableDB32Bit t;
    t.Loaded();
    FillAllTypesTable(t);
    TByteWriter w;
    WriteAnsiString(w, "Language");
    t.LoadFromStream(w.Buffer());
    EXPECT_EQ(t.Rows(), 0);
    FillAllTypesTable(t);
    t.LoadFromStream(std::nullopt);
    EXPECT_EQ(t.Cols(), 0);
}

TEST(StrTable, ColumnLookupAndRecordAccessErrors) {
    TStrTableDB32Bit t;
    t.Loaded();
    FillAllTypesTable(t);
    EXPECT_EQ(t.Column("string"), t.Column(7));
    EXPECT_EQ(t.Column(12), nullptr);
    try {
        t.Column("Nope");
        FAIL();
    } catch (const EStrQueryError& e) {
        EXPECT_STREQ(e.what(), "invalid column name: Nope");
    }
    t.First();
    EXPECT_EQ(t.FieldAsText("String"), "Sauger");
    t.MoveBy(2);
    EXPECT_EQ(t.FieldAsInteger("DWord"), 100000);
    t.Next();
    t.Next();
    t.Next();
    EXPECT_TRUE(t.Eof());
    try {
        t.FieldAsFloat("Float");
        FAIL();
    } catch (const EStrQueryError& e) {
        EXPECT_STREQ(e.what(), "no dataset selected");
    }
    t.GoTo(99); // ignored
    EXPECT_EQ(t.RecNo(), 5);
    t.GoTo(1);
    EXPECT_DOUBLE_EQ(t.FieldAsFloat("Float"), 100);
}

TEST(StrTable, LocateComparesPerColumnType) {
    TStrTableDB32Bit t;
    t.Loaded();
    FillAllTypesTable(t);
    t.GoTo(4);
    // bool, bool, byte, word, dword, float, stringlen, string
    EXPECT_TRUE(t.Locate({true, false, int64_t{200}, int64_t{12}, int64_t{100000}, 2.5,
                          std::string("sixsix"), std::string("")}));
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_TRUE(t.Locate({true, false, int64_t{0}}));
    EXPECT_EQ(t.RecNo(), 0);
    EXPECT_TRUE(t.Locate({false}));
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_FALSE(t.Locate({true, false, int64_t{201}}));
    EXPECT_EQ(t.RecNo(), 1); // unchanged on failure
    // A memo column never matches.
    std::vector<TLocateValue> withMemo(9, TLocateValue{std::string()});
    EXPECT_FALSE(t.Locate(withMemo));
    // Values beyond the columns are ignored.
    std::vector<TLocateValue> tooMany(20, TLocateValue{true});
    tooMany.resize(1);
    EXPECT_TRUE(t.Locate(tooMany));
}

TEST(StrTable, RowsSetterResizesEveryColumn) {
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(testing::Message() << "indexed " << indexed);
        TStrTableDB32Bit t;
        t.Loaded();
        FillAllTypesTable(t);
        if (indexed) t.SetIndexed(true);
        t.SetRows(7);
        EXPECT_EQ(t.Rows(), 7);
        EXPECT_EQ(t.AsText(6, "String"), "");
        EXPECT_EQ(t.AsFloat(6, "Float"), 0);
        EXPECT_EQ(t.AsText(6, "PBool"), "-");
        EXPECT_TRUE(MemoOf(t.Field(6, 8)).empty());
        EXPECT_EQ(t.AsText(4, "String"), "x\ty");
        t.SetRows(2);
        EXPECT_EQ(t.Rows(), 2);
        EXPECT_EQ(t.AsText(1, "String"), "Grün");
        EXPECT_EQ(t.AsText(2, "String"), "");
    }
}

TEST(StrTable, DeleteColumnRebuildsNamesAndNotifies) {
    TStrTableDB32Bit t;
    t.Loaded();
    FillAllTypesTable(t);
    int changes = 0;
    TConnection follow1 = t.OnChange.Connect([&](TCustomTable&) { ++changes; });
    t.DeleteColumn(0);
    EXPECT_EQ(t.Cols(), 11);
    EXPECT_EQ(t.ColName(0), "Bool");
    EXPECT_EQ(changes, 1);
    t.SetColNames("ignored|names"); // stored tables follow their data
    EXPECT_EQ(t.ColName(0), "Bool");
}

TEST(StrTable, DistinctValuesOfADictionaryColumnComeFromTheStore) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& s = t.AddColumn("S", csfString);
    auto& n = t.AddColumn("N", csfWord);
    for (const char* v : {"b", "", "a", "b"}) s.AppendText(v);
    for (int v : {3, 1, 3, 2}) n.AppendInt(v);
    t.SetRows(4);
    t.SetIndexed(true);
    TDistinctList list;
    std::vector<double> nums;
    t.DistinctValues(0, list, nullptr, 0, cSortNone, nullptr);
    ASSERT_EQ(list.Count(), 3u); // the empty value is part of the store
    EXPECT_EQ(list[0], "b");
    EXPECT_EQ(list[1], "");
    EXPECT_EQ(list[2], "a");
    t.DistinctValues(0, list, nullptr, 0, cSortASCII, nullptr);
    EXPECT_EQ(list[0], "");
    EXPECT_EQ(list[1], "a");
    EXPECT_EQ(list[2], "b");
    EXPECT_TRUE(list.Sorted);
    t.DistinctValues(1, list, nullptr, 0, cSortIndex, &nums); // other sort modes are not applied
    EXPECT_EQ(nums, (std::vector<double>{3, 1, 2}));
    // Counting goes through the rows: empty texts are skipped, tags count occurrences.
    t.DistinctValues(0, list, nullptr, 2, cSortNone, nullptr);
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Items[0].Tag, 2);
    EXPECT_EQ(list.Items[1].Tag, 1);
}

TEST(StrTable, TraceWritesLoadLines) {
    TStrTableDB32Bit src;
    src.Loaded();
    auto& c = src.AddColumn("Name", csfString);
    c.AppendText("first");
    c.AppendText("last");
    auto& f = src.AddColumn("V", csfFloat, 8, 2);
    f.AppendFloat(1.5);
    f.AppendFloat(2.25);
    src.SetRows(2);
    const auto blob = src.SaveToBytes();

    std::vector<std::string> lines;
    SetTraceSink([&](const std::string& l) { lines.push_back(l); });
    TStrTableDB32Bit t;
    t.Loaded();
    t.LoadFromStream(blob);
    SetTraceSink(nullptr);
    const std::vector<std::string> expected = {
        "TStrTableDB32Bit.LoadFromStream()",
        "Format = Table,  Rows = 2",
        "Col[0].name = \"Name\"",
        "TStrFieldDB.CreateFromStream() DT=csfString Prec=0 Dec=0 Transl8=0",
        "Values = first .. last",
        "Col[1].name = \"V\"",
        "TStrFieldDB.CreateFromStream() DT=csfFloat Prec=8 Dec=2 Transl8=0",
        "Values = 1.500000 .. 2.250000"};
    EXPECT_EQ(lines, expected);
    lines.clear();
    t.LoadFromStream(blob); // no sink: nothing written
    EXPECT_TRUE(lines.empty());
}

TEST(StrTable, FloatColumnWithPrecisionFollowsTheFloatTextRule) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& f = t.AddColumn("F", csfFloat, 8, 3);
    f.AppendFloat(1.5);
    f.AppendFloat(2);
    t.SetRows(2);
    for (bool indexed : {false, true}) {
        SCOPED_TRACE(testing::Message() << "indexed " << indexed);
        t.SetIndexed(indexed);
        EXPECT_EQ(t.AsText(1, 0), "2.000");
        SetDecimalSeparator(',');
        EXPECT_EQ(t.AsText(0, 0), "1,500");
        SetDecimalSeparator('.');
        EXPECT_EQ(t.AsText(0, 0), "1.500"); // texts made once per value follow the locale
        t.MutableColumn(0)->Dec = 1;
        EXPECT_EQ(t.AsText(0, 0), "1.5");
        t.MutableColumn(0)->Dec = 3;
    }
}

TEST(StrTable, WriterRefusesRowsItsReaderWouldRefuse) {
    TStrTableDB32Bit t;
    t.Loaded();
    t.AddColumn("W", csfWideStringLen);
    t.SetRows(100000); // no column stores anything per row
    EXPECT_THROW(t.SaveToBytes(), std::length_error);
    t.SetRows(10);
    TStrTableDB32Bit back;
    back.Loaded();
    back.LoadFromStream(t.SaveToBytes());
    EXPECT_EQ(back.Rows(), 10);
}
