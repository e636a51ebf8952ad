#include <gtest/gtest.h>

#include "core/data/str_field_db.h"
#include "core/data/str_table_db.h"
#include "core/data/table_controls.h"

namespace {

// Tubes: Group PU/PA/PE, Diameter in metres, a translated colour, a calibration mark.
//   row  Group  Diameter  ~Color    Cal  ~Food
//   0    PU     0.004     ~blue     X    ~Yes
//   1    PU     0.006     ~nature   -    ~No
//   2    PA     0.004     ~nature   X    ~No
//   3    PA     0.008     ~black    -    ~No
//   4    PE     0.006     ~nature   -    ~No
class TableControls : public ::testing::Test {
protected:
    void SetUp() override {
        source.Loaded();
        auto& g = source.AddColumn("Group", csfString);
        auto& d = source.AddColumn("Diameter", csfFloat);
        auto& c = source.AddColumn("~Color", csfString);
        auto& cal = source.AddColumn("Cal", csfString);
        auto& food = source.AddColumn("~Food", csfString);
        food.Transl8 = 1;
        const char* rows[][5] = {{"PU", "0.004", "~blue", "X", "~Yes"},
                                 {"PU", "0.006", "~nature", "-", "~No"},
                                 {"PA", "0.004", "~nature", "X", "~No"},
                                 {"PA", "0.008", "~black", "-", "~No"},
                                 {"PE", "0.006", "~nature", "-", "~No"}};
        for (const auto& r : rows) {
            g.AppendText(r[0]);
            d.AppendFloat(std::stod(r[1]));
            c.AppendText(r[2]);
            cal.AppendText(r[3]);
            food.AppendText(r[4]);
        }
        source.SetRows(5);
        query.Loaded();
        query.SetTable(&source);
    }

    static std::vector<std::string> Items(const TStrTableCoBoxModel& box) { return box.Items(); }

    TStrTableDB32Bit source;
    TStringQuery query;
};

using V = std::vector<std::string>;

} // namespace

TEST_F(TableControls, ComboListsTheValuesTheOtherFiltersLeaveAndFiltersByItsChoice) {
    TStrTableCoBoxModel group, color;
    group.SetUnselected("~NoPreference");
    group.SetSort(cSortASCII);
    group.SetFieldName("Group");
    group.SetTable(&query);
    color.SetSort(cSortASCII);
    color.SetFieldName("~Color");
    color.SetTable(&query);
    EXPECT_EQ(Items(group), (V{"~NoPreference", "PA", "PE", "PU"}));
    EXPECT_TRUE(group.Enabled());

    group.Select(3); // PU
    EXPECT_EQ(query.Rows(), 2);
    // Its own choice never hides the other groups; the colour list narrows to PU's colours.
    EXPECT_EQ(Items(group), (V{"~NoPreference", "PA", "PE", "PU"}));
    EXPECT_EQ(group.ItemIndex(), 3);
    EXPECT_EQ(Items(color), (V{"", "~blue", "~nature"}));

    color.SelectByText("~nature");
    EXPECT_EQ(query.Rows(), 1);
    EXPECT_EQ(Items(group), (V{"~NoPreference", "PA", "PE", "PU"})) << "all groups have nature tubes";
    group.Select(0);
    EXPECT_EQ(query.Rows(), 3) << "entry 0 removes the group filter, the colour stays";
    color.SelectByText("~purple");
    EXPECT_EQ(color.ItemIndex(), 0) << "an absent text chooses entry 0";
    EXPECT_EQ(query.Rows(), 5);

    // Unbound or unknown field: only entry 0, disabled.
    TStrTableCoBoxModel loose;
    EXPECT_EQ(loose.Items().size(), 1u);
    EXPECT_FALSE(loose.Enabled());
    loose.SetFieldName("Nope");
    loose.SetTable(&query);
    EXPECT_FALSE(loose.Enabled());
}

TEST_F(TableControls, ComboWithOneValueLeftChoosesItAndComesBackWhenTheOthersWiden) {
    TStrTableCoBoxModel group, diameter;
    group.SetFieldName("Group");
    group.SetTable(&query);
    diameter.SetFieldName("Diameter");
    diameter.SetFieldTyp(cTTNum);
    diameter.SetNoChoiseDisabled(true);
    diameter.SetTable(&query);
    ASSERT_EQ(diameter.Items().size(), 4u);

    group.SelectByText("PE"); // one diameter left
    EXPECT_EQ(diameter.Items().size(), 2u);
    EXPECT_EQ(diameter.ItemIndex(), 1);
    EXPECT_FALSE(diameter.Enabled());
    EXPECT_TRUE(diameter.AutoSelected());
    EXPECT_EQ(query.Rows(), 1) << "the automatic choice sets no filter";

    group.Select(0);
    EXPECT_EQ(diameter.Items().size(), 4u);
    EXPECT_EQ(diameter.ItemIndex(), 0);
    EXPECT_TRUE(diameter.Enabled());
    EXPECT_FALSE(diameter.AutoSelected());

    // A user's choice that later becomes the only value stays the user's.
    diameter.SelectByText(diameter.Items()[2]);
    group.SelectByText("PE");
    EXPECT_TRUE(diameter.Enabled());
    EXPECT_FALSE(diameter.AutoSelected());
}

TEST_F(TableControls, NumericComboShowsScaledValuesAndFiltersByTheStoredNumber) {
    TStrTableCoBoxModel diameter;
    diameter.SetFieldName("Diameter");
    diameter.SetFieldTyp(cTTNum);
    diameter.SetSort(cSortASCII);
    diameter.SetDataUnit(cUM_m);
    diameter.SetScaleUnit(cUM_mm);
    diameter.SetTable(&query);
    EXPECT_EQ(Items(diameter), (V{"", "4 mm", "6 mm", "8 mm"}));
    EXPECT_EQ(diameter.Numbers()[1], 0.004);
    diameter.Select(2);
    EXPECT_EQ(query.Rows(), 2);
    for (int r = 0; r < query.Rows(); ++r) EXPECT_EQ(query.AsFloat(r, "Diameter"), 0.006);
    // Another scale unit relabels the entries and keeps the choice.
    diameter.SetScaleUnit(cUM_in);
    EXPECT_EQ(diameter.ItemIndex(), 2);
    EXPECT_EQ(diameter.Items()[2].substr(0, 5), "0.236");
    EXPECT_EQ(diameter.SetFieldTyp(cTTExpr), false);

    // Greater-or-equal filters keep every row from the chosen number on.
    diameter.SetComparator(cCompGreaterOrEqual);
    diameter.Select(2);
    EXPECT_EQ(query.Rows(), 3);
}

TEST_F(TableControls, CheckBoxesFilterTheirYesNoColumnInBothModes) {
    TStrTableCheckBoxModel cal, food;
    cal.SetFieldName("Cal");
    cal.SetTable(&query);
    EXPECT_TRUE(cal.Enabled()) << "both true and false occur";
    cal.Click(false);
    EXPECT_EQ(query.Rows(), 3) << "equal mode unchecked shows the rows reading false";
    cal.Click(true);
    EXPECT_EQ(query.Rows(), 2);

    food.SetSelectMode(csmOption);
    food.SetFieldName("~Food");
    food.SetTable(&query);
    EXPECT_EQ(food.FilterValue(true).Text, "~Yes") << "a translated column compares with the key";
    EXPECT_TRUE(food.Enabled()) << "one of the two calibrated tubes is for food";
    food.Click(true);
    EXPECT_EQ(query.Rows(), 1);
    food.Click(false);
    EXPECT_EQ(query.Rows(), 2) << "option mode unchecked does not filter";

    // With only uncalibrated rows left, the equal-mode box has nothing to choose.
    cal.Click(false);
    EXPECT_FALSE(food.Enabled()) << "no food tube among the uncalibrated ones";
}

TEST_F(TableControls, QueryResetPutsEveryControlBack) {
    TStrTableCoBoxModel group;
    TStrTableCheckBoxModel cal;
    group.SetFieldName("Group");
    group.SetTable(&query);
    cal.SetFieldName("Cal");
    cal.SetTable(&query);
    group.SelectByText("PA");
    cal.Click(true);
    ASSERT_EQ(query.Rows(), 1);
    query.Reset();
    EXPECT_EQ(query.Rows(), 5);
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_FALSE(cal.Checked());

    // A control outlives its table without harm.
    {
        TStringQuery temporary;
        temporary.Loaded();
        temporary.SetTable(&source);
        group.SetTable(&temporary);
        EXPECT_EQ(group.Items().size(), 4u);
    }
    EXPECT_EQ(group.Table(), nullptr);
    EXPECT_FALSE(group.Enabled());
}

TEST_F(TableControls, ChoicesAndClicksReachTheOwnerAndEveryFollowerBeforeTheFilter) {
    TStrTableCoBoxModel group;
    group.SetSort(cSortASCII);
    group.SetFieldName("Group");
    group.SetTable(&query);
    ASSERT_EQ(Items(group), (V{"", "PA", "PE", "PU"}));
    std::vector<std::string> calls;
    auto note = [&](const char* who, const TStrTableCoBoxModel& box) {
        // Every listener hears the choice while the query still shows all five rows.
        calls.push_back(std::string(who) + ":" + box.Items()[box.ItemIndex()] + ":" +
                        std::to_string(query.Rows()));
    };
    group.OnChange = [&](TStrTableCoBoxModel& box) { note("owner", box); };
    TConnection chart = group.Changed.Connect([&](TStrTableCoBoxModel& box) { note("chart", box); });
    TConnection report = group.Changed.Connect([&](TStrTableCoBoxModel& box) { note("report", box); });
    group.Select(3);
    EXPECT_EQ(calls, (V{"owner:PU:5", "chart:PU:5", "report:PU:5"}));
    EXPECT_EQ(query.Rows(), 2) << "then the filter is set";

    calls.clear();
    chart.Disconnect();
    group.SelectByText("PA");
    EXPECT_EQ(calls, (V{"owner:PA:2", "report:PA:2"}));
    EXPECT_EQ(query.Rows(), 2);

    TStrTableCheckBoxModel cal;
    cal.SetFieldName("Cal");
    cal.SetTable(&query);
    std::vector<std::string> clicks;
    cal.OnClick = [&](TStrTableCheckBoxModel& box) {
        clicks.push_back(std::string("owner:") + (box.Checked() ? "on" : "off"));
    };
    TConnection follower = cal.Clicked.Connect([&](TStrTableCheckBoxModel& box) {
        clicks.push_back(std::string("follower:") + (box.Checked() ? "on" : "off") + ":" +
                         std::to_string(query.Rows()));
    });
    cal.Click(true);
    EXPECT_EQ(clicks, (V{"owner:on", "follower:on:2"}));
    EXPECT_EQ(query.Rows(), 1) << "of the two PA tubes one is calibrated";
}
