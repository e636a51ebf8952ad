#include <gtest/gtest.h>

#include <cmath>

#include "core/data/custom_table.h"

namespace {

// A table whose cells are terms held in memory.
class TMemTable : public TCustomTable {
public:
    std::vector<std::vector<TTerm>> Data;
    int Rows() const override { return static_cast<int>(Data.size()); }
    void ReadCell(int row, int col, TTerm& term) const override {
        if (row < 0 || row >= Rows() || col < 0 || col >= static_cast<int>(Data[row].size())) {
            term = TTerm();
            return;
        }
        term = Data[row][col];
    }
    void AddTextRow(std::initializer_list<const char*> texts) {
        Data.emplace_back();
        for (const char* s : texts) {
            TTerm t;
            TermFromText(t, s);
            Data.back().push_back(t);
        }
    }
};

struct TRecorder : TTableDependent {
    std::vector<unsigned> Flags;
    std::function<void()> During;
    void SourceChanged(TCustomTable&, unsigned flags) override {
        Flags.push_back(flags);
        if (During) During();
    }
};


} // namespace

TEST(TableNotify, ProgressReportsSpreadOverDependents) {
    TMemTable t;
    t.Loaded();
    TRecorder a, b, c;
    t.AddDependent(&a);
    t.AddDependent(&b);
    t.AddDependent(&c);
    t.AddDependent(&b); // no duplicates
    std::vector<int> progress;
    t.OnUpdateProgressBar = [&](TCustomTable&, int p) { progress.push_back(p); };
    t.Changed(cChangeContents);
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 67, 100}));
    EXPECT_EQ(a.Flags, (std::vector<unsigned>{2}));
    EXPECT_EQ(c.Flags, (std::vector<unsigned>{2}));
    EXPECT_EQ(t.PendingFlags(), 0u);
}

TEST(TableNotify, ChangedDuringNotificationIsDropped) {
    TMemTable t;
    t.Loaded();
    TRecorder a;
    t.AddDependent(&a);
    int onChange = 0;
    TConnection follow1 = t.OnChange.Connect([&](TCustomTable& self) {
        ++onChange;
        self.Changed(cChangeFilter); // re-entry from a handler
    });
    a.During = [&] { t.Changed(cChangeStructure); };
    t.Changed(cChangeContents);
    EXPECT_EQ(onChange, 1);
    EXPECT_EQ(a.Flags, (std::vector<unsigned>{2}));
    EXPECT_FALSE(t.Busy());
    EXPECT_EQ(t.PendingFlags(), 0u);
}

TEST(TableNotify, UpdatesCollectFlagsAndNotifyOnceAtTheEnd) {
    TMemTable t;
    TRecorder a;
    t.AddDependent(&a);
    t.Changed(cChangeFilter); // still loading: held back
    EXPECT_TRUE(a.Flags.empty());
    t.Loaded(); // loading ends with "freshly loaded", delivered once
    EXPECT_EQ(a.Flags, (std::vector<unsigned>{3}));
    a.Flags.clear();
    t.BeginUpdate();
    t.BeginUpdate();
    t.Changed(cChangeFilter);
    t.Changed(cChangeReset);
    t.EndUpdate();
    EXPECT_TRUE(a.Flags.empty());
    t.EndUpdate();
    EXPECT_EQ(a.Flags, (std::vector<unsigned>{12}));
}

TEST(TableNotify, ChangesTravelDownChainsOfTables) {
    TMemTable source, middle;
    source.Loaded();
    middle.Loaded();
    TRecorder leaf;
    source.AddDependent(&middle);
    middle.AddDependent(&leaf);
    source.Changed(cChangeContents);
    EXPECT_EQ(leaf.Flags, (std::vector<unsigned>{2}));
}

TEST(TableNotify, DestroyedDependentLeavesTheList) {
    TMemTable t;
    t.Loaded();
    {
        TRecorder gone;
        t.AddDependent(&gone);
        EXPECT_EQ(t.Dependents().size(), 1u);
    }
    EXPECT_TRUE(t.Dependents().empty());
    t.Changed(cChangeContents); // must not touch the destroyed recorder
    TRecorder r;
    {
        TMemTable source;
        source.Loaded();
        source.AddDependent(&r);
    }
    t.AddDependent(&r); // the recorder forgot the destroyed source
    t.Changed(cChangeContents);
    EXPECT_EQ(r.Flags.size(), 1u);
}

TEST(TableNotify, DependentRemovedWhileNotifiedIsSkippedSafely) {
    TMemTable t;
    t.Loaded();
    TRecorder a, b, c;
    t.AddDependent(&a);
    t.AddDependent(&b);
    t.AddDependent(&c);
    a.During = [&] { t.RemoveDependent(&c); };
    t.Changed(cChangeContents);
    EXPECT_EQ(a.Flags.size(), 1u);
    EXPECT_TRUE(c.Flags.empty());
}

TEST(TableRead, BooleanRules) {
    TMemTable t;
    t.Loaded();
    t.SetColNames("A");
    t.AddTextRow({"x"});
    t.AddTextRow({"X"});
    t.Data.push_back({});
    TermFromFloat(t.Data.back().emplace_back(), 0, 0, 0.5);
    t.Data.push_back({});
    TermFromFloat(t.Data.back().emplace_back(), 0, 0, 0);
    t.Data.push_back({TTerm()});
    EXPECT_FALSE(t.AsBoolean(0, 0));
    EXPECT_TRUE(t.AsBoolean(1, 0));
    EXPECT_TRUE(t.AsBoolean(2, "a"));
    EXPECT_FALSE(t.AsBoolean(3, 0));
    EXPECT_FALSE(t.AsBoolean(4, 0));
}

TEST(TableRead, RoundedIntegerTiesToEvenAndRangeChecks) {
    TMemTable t;
    t.Loaded();
    t.SetColNames("N");
    for (double v : {2.5, 3.5, -2.5, 3e9, std::nan("")}) {
        t.Data.push_back({});
        TermFromFloat(t.Data.back().emplace_back(), 0, 0, v);
    }
    EXPECT_EQ(t.AsRoundInt(0, 0), 2);
    EXPECT_EQ(t.AsRoundInt(1, 0), 4);
    EXPECT_EQ(t.AsRoundInt(2, "N"), -2);
    EXPECT_THROW(t.AsRoundInt(3, 0), std::range_error);
    EXPECT_THROW(t.AsRoundInt(4, 0), std::range_error);
}

TEST(TableRead, OnChangeFieldMayReplaceCells) {
    TMemTable t;
    t.Loaded();
    t.SetColNames("A|~ok");
    t.AddTextRow({"1", ""});
    t.AddTextRow({"2", ""});
    t.OnChangeField = [](const TCustomTable&, int row, int col, TTerm& f) {
        if (col == 1) TermFromText(f, row == 0 ? "~Yes" : "~No");
    };
    EXPECT_EQ(t.AsText(0, "~OK"), "~Yes");
    EXPECT_EQ(t.AsText(1, 1), "~No");
    EXPECT_EQ(t.FindRow("~ok", "~No"), 1);
    EXPECT_EQ(t.Count("~ok", "~Yes"), 1);
    EXPECT_EQ(t.AsText(5, 1), ""); // outside: no handler call, empty term
}

TEST(TableRead, FindRowAndCountCompareExactly) {
    TMemTable t;
    t.Loaded();
    t.SetColNames("A");
    t.AddTextRow({"abc"});
    t.AddTextRow({"ABC"});
    t.AddTextRow({"abc"});
    EXPECT_EQ(t.FindRow("A", "ABC"), 1);
    EXPECT_EQ(t.FindRow("A", "ab"), -1);
    EXPECT_EQ(t.Count(0, "abc"), 2);
    EXPECT_EQ(t.FindRow("Missing", "abc"), -1);
}

TEST(TableColumns, NamesSplitAtBarAndNotifyOnlyOnChange) {
    TMemTable t;
    t.Loaded();
    int changes = 0;
    TConnection follow2 = t.OnChange.Connect([&](TCustomTable&) { ++changes; });
    t.SetColNames("One|Two||Four");
    EXPECT_EQ(t.Cols(), 4);
    EXPECT_EQ(t.ColName(2), "");
    EXPECT_EQ(t.ColName(3), "Four");
    EXPECT_EQ(t.ColName(4), "");
    EXPECT_EQ(t.ColByName("two"), 1);
    EXPECT_EQ(t.ColByName("Three"), -1);
    EXPECT_EQ(changes, 1);
    t.SetColNames("One|Two||Four");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(t.ColNames(), "One|Two||Four");
}

namespace {
TMemTable& Letters(TMemTable& t, std::initializer_list<const char*> texts) {
    t.Loaded();
    t.SetColNames("L");
    for (const char* s : texts) t.AddTextRow({s});
    return t;
}
std::vector<std::string> Texts(const TDistinctList& l) {
    std::vector<std::string> out;
    for (const auto& e : l.Items) out.push_back(e.Text);
    return out;
}
std::vector<int> Tags(const TDistinctList& l) {
    std::vector<int> out;
    for (const auto& e : l.Items) out.push_back(e.Tag);
    return out;
}
} // namespace

TEST(TableDistinct, SortModesAndCounting) {
    TMemTable t;
    Letters(t, {"b", "a", "", "b"});
    TDistinctList l;
    t.DistinctValues(0, l, nullptr, 0, cSortNone, nullptr);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(Tags(l), (std::vector<int>{1, 1}));
    EXPECT_FALSE(l.Sorted);
    t.DistinctValues(0, l, nullptr, 2, cSortNone, nullptr);
    EXPECT_EQ(Tags(l), (std::vector<int>{2, 1}));
    t.DistinctValues(0, l, nullptr, 0, cSortASCII, nullptr);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(l.Sorted);
    EXPECT_EQ(l.IndexOf("b"), 1);
}

TEST(TableDistinct, CustomAndIndexOrder) {
    TMemTable t;
    Letters(t, {"medium", "small", "large", "small"});
    const TTavCustomIndexEvent bySize = [](const std::string& s, int& i) {
        i = s == "small" ? 1 : s == "medium" ? 2 : 3;
    };
    TDistinctList l;
    t.DistinctValues(0, l, bySize, 1, cSortCustom, nullptr);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"small", "medium", "large"}));
    EXPECT_EQ(Tags(l), (std::vector<int>{1, 2, 3}));
    t.DistinctValues(0, l, nullptr, 1, cSortCustom, nullptr); // no callback: appended
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"medium", "small", "large"}));

    TMemTable n;
    n.Loaded();
    n.SetColNames("N");
    for (int v : {30, 10, 20, 10}) {
        n.Data.push_back({});
        TermFromInt(n.Data.back().emplace_back(), v, 0);
    }
    std::vector<double> nums;
    n.DistinctValues(0, l, nullptr, 1, cSortIndex, &nums);
    EXPECT_EQ(Texts(l), (std::vector<std::string>{"10", "20", "30"}));
    EXPECT_EQ(nums, (std::vector<double>{10, 20, 30}));
}
