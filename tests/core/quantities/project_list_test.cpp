#include "core/quantities/prj_list.h"
#include "core/quantities/prj_strings.h"
#include "project_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A list of TTestPoint elements made from (X, Name) pairs.
class TPointList : public TPrjList {
public:
    TPointList(std::initializer_list<std::pair<double, std::string>> points)
        : TPrjList(PrjClass<TTestPoint>) {
        for (const auto& [x, name] : points) Add(std::make_unique<TTestPoint>(x, name));
    }
};

const TTestPoint& PointAt(const TPrjList& list, int i) {
    return dynamic_cast<const TTestPoint&>(*list.Item(i));
}

// ---------------------------------------------------------------------------------------------
// TPrjList

TEST(PrjList, WritesCountThenEachElementUnderItsIndex) {
    const TPointList list{{1.5, "a"}, {-2, "b=c"}, {0, ""}};
    TPrjStrings s;
    list.WriteTo(s, "Pts");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"Pts.Count=3", "Pts.Items[0].X=1.5",
                                                   "Pts.Items[0].Name=a", "Pts.Items[1].X=-2",
                                                   "Pts.Items[1].Name=b=c", "Pts.Items[2].X=0"}));
}

TEST(PrjList, ReadCreatesElementsOfItsClassAndReplacesTheOldOnes) {
    TPrjStrings s;
    s.SetText("pts.count=2\nPts.Items[0].X=1/4\nPts.Items[1].Name=second\n");
    TPointList list{{9, "old"}, {9, "old"}, {9, "old"}};
    list.ReadFrom(s, "Pts");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(PointAt(list, 0).X, 0.25);
    EXPECT_EQ(PointAt(list, 0).Name, "");
    EXPECT_EQ(PointAt(list, 1).X, 0.0);
    EXPECT_EQ(PointAt(list, 1).Name, "second");
    EXPECT_EQ(list.Item(2), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
}

TEST(PrjList, ACountItCannotHaveWrittenReadsAsAnEmptyList) {
    for (const char* count : {"-1", "65537", "2147483647", "x", ""}) {
        TPrjStrings s;
        s.SetText(std::string("L.Count=") + count + "\nL.Items[0].X=1\n");
        TPointList list{{1, "keep?"}};
        list.ReadFrom(s, "L");
        EXPECT_EQ(list.Count(), 0) << count;
    }
    TPrjStrings s;
    s.SetText("L.Count=65536\n");
    TPrjList list(PrjClass<TTestPoint>);
    list.ReadFrom(s, "L");
    EXPECT_EQ(list.Count(), cPrjMaxListCount);
}

TEST(PrjList, RoundTripThroughTheFileText) {
    const TPointList list{{1.0 / 3.0, "x"}, {-1e-12, "Grüße"}, {7, ""}};
    TPrjStrings written;
    list.WriteTo(written, "SuctionCups");
    TPrjStrings read;
    read.SetText(written.Text());
    TPrjList back(PrjClass<TTestPoint>);
    back.ReadFrom(read, "SuctionCups");
    EXPECT_TRUE(back.Equals(list));
    EXPECT_TRUE(list.Equals(back));
}

TEST(PrjList, EqualsComparesCountAndEveryElement) {
    const TPointList a{{1, "a"}, {2, "b"}};
    EXPECT_TRUE(a.Equals(TPointList{{1, "a"}, {2, "b"}}));
    EXPECT_FALSE(a.Equals(TPointList{{1, "a"}}));
    EXPECT_FALSE(a.Equals(TPointList{{1, "a"}, {2, "B"}}));
    EXPECT_FALSE(a.Equals(TPrjObject()));
    EXPECT_TRUE(TPointList{}.Equals(TPointList{}));
}

TEST(PrjList, AssignFromMakesIndependentCopies) {
    TPointList source{{1, "a"}, {2, "b"}};
    TPointList copy{{5, "gone"}};
    copy.AssignFrom(source);
    ASSERT_TRUE(copy.Equals(source));
    dynamic_cast<TTestPoint&>(*source.Item(0)).X = 100;
    EXPECT_EQ(PointAt(copy, 0).X, 1.0);
    EXPECT_NE(copy.Item(0), source.Item(0));
    copy.AssignFrom(copy); // self-assignment keeps the elements
    EXPECT_EQ(copy.Count(), 2);

    // A list of the base class takes the element class of what it copies.
    TPrjList plain;
    plain.AssignFrom(copy);
    EXPECT_TRUE(plain.Equals(copy));
    EXPECT_EQ(plain.ItemClass(), PrjClass<TTestPoint>);
}

TEST(PrjList, ClearItemAndDeleteFreeElements) {
    TPointList list{{1, "a"}, {2, "b"}, {3, "c"}};
    list.Delete(1);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(PointAt(list, 1).Name, "c");
    list.Delete(5);
    list.Add(nullptr);
    EXPECT_EQ(list.Count(), 2);
    list.ClearItem();
    EXPECT_EQ(list.Count(), 0);
}

TEST(PrjList, ElementsOfTheBaseClassStoreOnlyTheCount) {
    TPrjList list;
    list.Add(std::make_unique<TPrjObject>());
    list.Add(std::make_unique<TPrjObject>());
    TPrjStrings s;
    list.WriteTo(s, "L");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"L.Count=2"}));
    TPrjList back;
    back.ReadFrom(s, "L");
    EXPECT_EQ(back.Count(), 2);
}

// ---------------------------------------------------------------------------------------------
// TPrjStringList

TEST(PrjStringList, WritesEveryLineWithItsElement) {
    TPrjStringList list(PrjClass<TTestPoint>);
    list.Add("first", std::make_unique<TTestPoint>(2, "p"));
    list.Add("second");
    TPrjStrings s;
    list.WriteTo(s, "Notes");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"Notes.Count=2", "Notes.Lines[0]=first",
                                                   "Notes.Items[0].X=2", "Notes.Items[0].Name=p",
                                                   "Notes.Lines[1]=second", "Notes.Items[1].X=0"}));
}

TEST(PrjStringList, ReadGivesEveryLineANewElement) {
    TPrjStrings s;
    s.SetText("Notes.Count=3\nNotes.Lines[0]=a=1\nNotes.Items[0].X=4\nNotes.Lines[2]=c\n");
    TPrjStringList list(PrjClass<TTestPoint>);
    list.Add("old");
    list.ReadFrom(s, "Notes");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Line(0), "a=1");
    EXPECT_EQ(list.Line(1), "");
    EXPECT_EQ(list.Line(2), "c");
    ASSERT_NE(list.Object(0), nullptr);
    EXPECT_EQ(dynamic_cast<const TTestPoint&>(*list.Object(0)).X, 4.0);
    ASSERT_NE(list.Object(1), nullptr);
    EXPECT_EQ(list.Object(3), nullptr);
}

TEST(PrjStringList, RoundTripWithElements) {
    TPrjStringList list(PrjClass<TTestPoint>);
    list.Add("x = y", std::make_unique<TTestPoint>(-0.5, "n"));
    list.Add("  indented", std::make_unique<TTestPoint>(1e-9, ""));
    list.Add("");
    list.Add("no element given");
    TPrjStrings written;
    list.WriteTo(written, "K");
    TPrjStrings read;
    read.SetText(written.Text());
    TPrjStringList back(PrjClass<TTestPoint>);
    back.ReadFrom(read, "K");
    EXPECT_TRUE(back.Equals(list));
}

TEST(PrjStringList, EqualsLooksAtLinesAndElements) {
    TPrjStringList a(PrjClass<TTestPoint>);
    a.Add("l", std::make_unique<TTestPoint>(1, "a"));
    TPrjStringList b(PrjClass<TTestPoint>);
    b.Add("l", std::make_unique<TTestPoint>(1, "a"));
    EXPECT_TRUE(a.Equals(b));
    TPrjStringList otherLine(PrjClass<TTestPoint>);
    otherLine.Add("L", std::make_unique<TTestPoint>(1, "a"));
    EXPECT_FALSE(a.Equals(otherLine));
    TPrjStringList otherElement(PrjClass<TTestPoint>);
    otherElement.Add("l", std::make_unique<TTestPoint>(2, "a"));
    EXPECT_FALSE(a.Equals(otherElement));
    TPrjStringList newElement(PrjClass<TTestPoint>);
    newElement.Add("l");
    EXPECT_FALSE(a.Equals(newElement));
    EXPECT_FALSE(newElement.Equals(a));
}

TEST(PrjStringList, AssignCopiesLinesAndElementsOrGivesPlainStringsNewOnes) {
    TPrjStringList source(PrjClass<TTestPoint>);
    source.Add("a", std::make_unique<TTestPoint>(1, "p"));
    source.Add("b");
    TPrjStringList copy(PrjClass<TTestPoint>);
    copy.AssignFrom(source);
    ASSERT_TRUE(copy.Equals(source));
    EXPECT_NE(copy.Object(0), source.Object(0));
    ASSERT_NE(copy.Object(1), nullptr);
    EXPECT_TRUE(copy.Object(1)->Equals(TTestPoint()));

    copy.Assign({"x", "y", "z"});
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Line(2), "z");
    ASSERT_NE(copy.Object(0), nullptr);
    EXPECT_TRUE(copy.Object(0)->Equals(TTestPoint()));
    copy.ClearItem();
    EXPECT_EQ(copy.Count(), 0);
}

} // namespace
