#include <gtest/gtest.h>

#include "core/data/str_table_db.h"
#include "core/data/string_query.h"

namespace {

// Source: 10 rows with Diameter = 2*i, Group cycling A/B/C, Mat by parity, Flag every third.
void FillCups(TStrTableDB32Bit& t, bool indexed) {
    t.Loaded();
    auto& d = t.AddColumn("Diameter", csfFloat);
    auto& g = t.AddColumn("Group", csfString);
    auto& m = t.AddColumn("Mat", csfString);
    auto& f = t.AddColumn("Flag", csfBool);
    for (int i = 0; i < 10; ++i) {
        d.AppendFloat(2.0 * i);
        g.AppendText(std::string(1, static_cast<char>('A' + i % 3)));
        m.AppendText(i % 2 ? "NBR" : "SIL");
        f.AppendBool(i % 3 == 0);
    }
    t.SetRows(10);
    if (indexed) t.SetIndexed(true);
}

std::vector<std::string> Column(const TCustomTable& t, const char* name) {
    std::vector<std::string> out;
    for (int r = 0; r < t.Rows(); ++r) out.push_back(t.AsText(r, name));
    return out;
}

std::vector<std::string> Texts(const TDistinctList& l) {
    std::vector<std::string> out;
    for (const auto& e : l.Items) out.push_back(e.Text);
    return out;
}

// A combo-box-like test double: lists the distinct values of its field each time the
// query delivers flags, and filters its own category when a value is chosen.
struct TFakeCombo : TQueryFacetControl {
    TStringQuery& Query;
    std::string Field;
    std::vector<std::string> Items;
    std::vector<unsigned> Flags;
    int QueryRowsSeen = -1;
    TFakeCombo(TStringQuery& q, std::string field) : Query(q), Field(std::move(field)) {
        Query.AddDependent(this);
    }
    std::string FacetFieldName() const override { return Field; }
    void SourceChanged(TCustomTable& source, unsigned flags) override {
        Flags.push_back(flags);
        QueryRowsSeen = source.Rows();
        TDistinctList l;
        source.DistinctValues(source.ColByName(Field), l, nullptr, 0, cSortASCII, nullptr);
        Items = Texts(l);
    }
    void Choose(const std::string& value) {
        Query.BeginCategoryUpdate();
        Query.CategorySelectAll(Field);
        if (!value.empty()) {
            TTerm v;
            TermFromText(v, value);
            Query.FilterCategory(Field, v, cCompEqual);
        }
        Query.EndCategoryUpdate();
        Query.Changed(cChangeFilter);
    }
};

class Query : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        FillCups(source, GetParam());
        q.Loaded();
        q.SetTable(&source);
    }
    TStrTableDB32Bit source;
    TStringQuery q;
};

} // namespace

TEST_P(Query, ConditionsNarrowAndResetWidens) {
    EXPECT_EQ(q.Rows(), 10);
    EXPECT_EQ(q.Cols(), 4);
    EXPECT_EQ(q.ColNames(), "Diameter|Group|Mat|Flag");
    q.AddCondition("Diameter>=10");
    q.AddCondition("Diameter<=14");
    EXPECT_EQ(Column(q, "Diameter"), (std::vector<std::string>{"10", "12", "14"}));
    q.Reset();
    EXPECT_EQ(q.Rows(), 10);
    std::vector<int32_t> identity(10);
    for (int i = 0; i < 10; ++i) identity[i] = i;
    EXPECT_EQ(q.RowMap(), identity);
}

TEST_P(Query, ConditionsUseTheQueryBrackets) {
    q.AddCondition("((Diameter<=4)OR(Diameter>=16))AND(Mat='SIL')");
    EXPECT_EQ(Column(q, "Diameter"), (std::vector<std::string>{"0", "4", "16"}));
    q.Reset();
    q.AddCondition("(Diameter)DIV(4)=2"); // word operators after a bracket
    EXPECT_EQ(Column(q, "Diameter"), (std::vector<std::string>{"8", "10"}));
}

TEST_P(Query, UnknownNamesRemoveEveryRowUnlessResolved) {
    q.AddCondition("Nonexistent>1");
    EXPECT_EQ(q.Rows(), 0);
    EXPECT_EQ(q.AsText(0, "Diameter"), "");
    q.Reset();
    std::vector<std::string> asked;
    q.OnExprConst = [&](TStringQuery&, const std::string& id, TTerm& r) {
        asked.push_back(id);
        TermFromFloat(r, 0, 0, 6);
    };
    q.AddCondition("Diameter<Limit");
    EXPECT_EQ(q.Rows(), 3);
    EXPECT_EQ(asked.size(), 10u); // asked on every evaluated row
    EXPECT_EQ(asked.front(), "Limit");
}

TEST_P(Query, ResultKeepsSourceOrder) {
    q.AddCondition("(Diameter=14)|(Diameter=4)|(Diameter=18)");
    EXPECT_EQ(q.RowMap(), (std::vector<int32_t>{2, 7, 9}));
    EXPECT_EQ(q.SourceRow(1), 7);
    EXPECT_EQ(q.SourceRow(3), -1);
}

TEST_P(Query, ComparisonFiltersByKind) {
    TTerm num;
    TermFromFloat(num, 0, 0, 6);
    q.FilterCategory("Diameter", num, cCompLessOrEqual);
    EXPECT_EQ(q.Rows(), 4);
    TTerm text;
    TermFromText(text, "B");
    q.FilterCategory("Group", text, cCompGreaterOrEqual);
    EXPECT_EQ(Column(q, "Diameter"), (std::vector<std::string>{"2", "4"}));
    // A number against a text column never matches.
    q.FilterCategory("Mat", num, cCompEqual);
    EXPECT_EQ(q.Rows(), 0);
    q.EnableCategory("Mat", false);
    EXPECT_EQ(q.Rows(), 2);
    q.CategorySelectAll("Diameter");
    EXPECT_EQ(q.Rows(), 6);
}

TEST_P(Query, ComboBoxListsValuesPossibleUnderTheOtherFilters) {
    TFakeCombo group(q, "Group"), mat(q, "Mat");
    q.Changed(cChangeContents);
    EXPECT_EQ(group.Items, (std::vector<std::string>{"A", "B", "C"}));
    mat.Choose("NBR"); // rows 1,3,5,7,9: groups B, A, C, B, A
    EXPECT_EQ(q.Rows(), 5);
    EXPECT_EQ(group.Items, (std::vector<std::string>{"A", "B", "C"}));
    group.Choose("B"); // rows 1 and 7
    EXPECT_EQ(Column(q, "Diameter"), (std::vector<std::string>{"2", "14"}));
    // Its own choice never hides the combo's other entries...
    EXPECT_EQ(group.Items, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(group.QueryRowsSeen, 5);
    // ...while the other box shows only what the group allows (rows 1,4,7: NBR, SIL, NBR).
    EXPECT_EQ(mat.Items, (std::vector<std::string>{"NBR", "SIL"}));
    q.AddCondition("Diameter<10"); // with B and NBR only row 1 remains
    EXPECT_EQ(q.Rows(), 1);
    EXPECT_EQ(group.Items, (std::vector<std::string>{"A", "B"})); // NBR below 10: rows 1 (B), 3 (A)
    // The map is put back after every facet delivery.
    EXPECT_EQ(q.RowMap(), (std::vector<int32_t>{1}));
    group.Choose("");
    EXPECT_EQ(q.RowMap(), (std::vector<int32_t>{1, 3}));
}

TEST_P(Query, ResetDropsControlCategoriesAndSendsFourteen) {
    TFakeCombo group(q, "Group");
    group.Choose("A");
    EXPECT_EQ(q.Categories().Items.size(), 2u);
    group.Flags.clear();
    q.Reset();
    EXPECT_EQ(q.Rows(), 10);
    EXPECT_EQ(group.Flags, (std::vector<unsigned>{14}));
    // The notification brings the control's category back, unfiltered.
    ASSERT_EQ(q.Categories().Items.size(), 2u);
    EXPECT_EQ(q.Categories().Items[1]->Bits.Count(), 10u);
}

TEST_P(Query, StructureChangeOfTheSourceDropsControlCategories) {
    TFakeCombo group(q, "Group");
    group.Choose("A");
    q.AddCondition("Diameter>0");
    source.SetRows(12); // more rows than the selections
    EXPECT_EQ(q.Rows(), 12);
    for (const auto& c : q.Categories().Items) EXPECT_EQ(c->Bits.Count(), 12u) << c->Name;
}

TEST_P(Query, DistinctValuesOverTheResultCountOccurrences) {
    q.AddCondition("Diameter>=6");
    TDistinctList l;
    q.DistinctValues(q.ColByName("Mat"), l, nullptr, 2, cSortNone, nullptr);
    ASSERT_EQ(Texts(l), (std::vector<std::string>{"NBR", "SIL"}));
    EXPECT_EQ(l.Items[0].Tag, 4); // rows 3,5,7,9
    EXPECT_EQ(l.Items[1].Tag, 3); // rows 4,6,8
    std::vector<double> nums;
    q.DistinctValues(q.ColByName("Diameter"), l, nullptr, 0, cSortNone, &nums);
    EXPECT_EQ(nums.front(), 6);
    EXPECT_EQ(nums.size(), 7u);
}

TEST_P(Query, ProgressReportsDuringAFilterPass) {
    TStrTableDB32Bit big;
    big.Loaded();
    auto& c = big.AddColumn("N", csfDWord);
    for (int i = 0; i < 100; ++i) c.AppendInt(i);
    big.SetRows(100);
    TStringQuery bq;
    bq.Loaded();
    bq.SetTable(&big);
    TFakeCombo dep(bq, "N"); // one dependent: weight 5
    std::vector<int> progress;
    bq.OnUpdateProgressBar = [&](TCustomTable&, int p) { progress.push_back(p); };
    bq.AddCondition("N<50");
    // 0, then rows 0, 32, 64, 96, then 100 - w, then the notification pass.
    ASSERT_GE(progress.size(), 6u);
    EXPECT_EQ(std::vector<int>(progress.begin(), progress.begin() + 6),
              (std::vector<int>{0, 1, 31, 62, 92, 95}));
    EXPECT_EQ(progress.back(), 100);
}

TEST_P(Query, ChainsOfQueriesAndSourceLoss) {
    TStringQuery second;
    second.Loaded();
    second.SetTable(&q);
    q.AddCondition("Mat='SIL'");
    EXPECT_EQ(second.Rows(), 5);
    second.AddCondition("Diameter>4");
    EXPECT_EQ(Column(second, "Diameter"), (std::vector<std::string>{"8", "12", "16"}));
    q.SetTable(&second); // would close a loop: refused
    EXPECT_EQ(q.Table(), &source);
    {
        TStringQuery third;
        third.Loaded();
        third.SetTable(&second);
        EXPECT_EQ(third.Rows(), 3);
    }
    EXPECT_EQ(second.Dependents().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(RowAndDictionaryForm, Query, ::testing::Bool());

TEST(QueryLifetime, SourceDestroyedLeavesTheQueryEmpty) {
    TStringQuery q;
    q.Loaded();
    {
        TStrTableDB32Bit t;
        FillCups(t, false);
        q.SetTable(&t);
        EXPECT_EQ(q.Rows(), 10);
    }
    EXPECT_EQ(q.Table(), nullptr);
    EXPECT_EQ(q.Rows(), 0);
    EXPECT_EQ(q.Cols(), 0);
    EXPECT_EQ(q.AsText(0, 0), "");
}

TEST(QueryLifetime, OnChangeFieldOfTheSourceApplies) {
    TStrTableDB32Bit t;
    FillCups(t, true);
    t.OnChangeField = [](const TCustomTable&, int, int col, TTerm& f) {
        if (col == 2) TermFromText(f, f.Text == "SIL" ? "~Silicone" : "~Nitrile");
    };
    TStringQuery q;
    q.Loaded();
    q.SetTable(&t);
    q.AddCondition("Mat='~Silicone'");
    EXPECT_EQ(q.Rows(), 5);
    EXPECT_EQ(q.AsText(0, "Mat"), "~Silicone");
    TDistinctList l;
    q.DistinctValues(2, l, nullptr, 0, cSortNone, nullptr);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"~Silicone"}));
}

// Row form: distinct values grouped by stored value agree with reading every row's cell
// (forced by a cell hook), for every sort mode and counting option, also where different
// numbers share one text and where rows are empty.
TEST(QueryDistinct, GroupedByValueAgreesWithReadingEveryRow) {
    TStrTableDB32Bit t;
    t.Loaded();
    auto& num = t.AddColumn("Num", csfFloat, 2, 1); // 0.11 and 0.12 both read "0.1"
    auto& word = t.AddColumn("Word", csfString);
    auto& small = t.AddColumn("Small", csfByte);
    uint32_t seed = 7;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int i = 0; i < 2000; ++i) {
        num.AppendFloat(0.01 * (next() % 40));
        const uint32_t w = next() % 9;
        word.AppendText(w == 0 ? "" : std::string(1, static_cast<char>('a' + w)) + (w % 2 ? "x" : ""));
        small.AppendInt(static_cast<int32_t>(next() % 7));
    }
    t.SetRows(2000);
    TStringQuery q;
    q.Loaded();
    q.SetTable(&t);
    q.AddCondition("Small<>3");
    ASSERT_LT(q.Rows(), 2000);
    TStringQuery hooked;
    hooked.Loaded();
    hooked.SetTable(&t);
    hooked.AddCondition("Small<>3");
    hooked.OnChangeField = [](const TCustomTable&, int, int, TTerm&) {};
    const TTavCustomIndexEvent custom = [](const std::string& s, int& i) { i = -static_cast<int>(s.size()); };
    for (const char* col : {"Num", "Word", "Small"})
        for (TStrSort sort : {cSortNone, cSortASCII, cSortIndex, cSortCustom})
            for (int counting : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message() << "counting " << counting);
                // Sorted by occurrence counts, the order follows the full counts (as in the
                // dictionary form) rather than the counts seen while walking the rows.
                if (sort == cSortIndex && counting == 2) continue;
                TDistinctList a, b;
                std::vector<double> na, nb;
                q.DistinctValues(q.ColByName(col), a, custom, counting, sort, &na);
                hooked.DistinctValues(hooked.ColByName(col), b, custom, counting, sort, &nb);
                ASSERT_EQ(a.Count(), b.Count()) << col << " " << sort << " " << counting;
                for (size_t i = 0; i < a.Count(); ++i) {
                    EXPECT_EQ(a.Items[i].Text, b.Items[i].Text) << col << " " << sort << " " << counting;
                    EXPECT_EQ(a.Items[i].Tag, b.Items[i].Tag) << col << " " << sort << " " << counting;
                }
                EXPECT_EQ(na, nb);
                // The whole table (no filter) takes the stored table's own path.
                TDistinctList whole, wholeByRows;
                t.DistinctValues(t.ColByName(col), whole, custom, counting, sort, nullptr);
                hooked.Reset();
                hooked.DistinctValues(hooked.ColByName(col), wholeByRows, custom, counting, sort, nullptr);
                hooked.AddCondition("Small<>3");
                ASSERT_EQ(whole.Count(), wholeByRows.Count()) << col;
            }

    // A changed column is grouped anew.
    TDistinctList before, after;
    t.DistinctValues(t.ColByName("Word"), before, nullptr, 0, cSortNone, nullptr);
    word.AppendText("brand-new");
    num.AppendFloat(99.0);
    small.AppendInt(1);
    t.SetRows(2001);
    t.DistinctValues(t.ColByName("Word"), after, nullptr, 0, cSortNone, nullptr);
    EXPECT_EQ(after.Count(), before.Count() + 1);
    EXPECT_EQ(after.Items.back().Text, "brand-new");
}
