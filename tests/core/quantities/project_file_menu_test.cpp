#include "core/quantities/file_menu.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using TNames = std::vector<std::string>;

TFileMenu MenuWith(const TNames& mostRecentFirst, int maxFiles = 4) {
    TFileMenu m;
    m.SetMaxFiles(maxFiles);
    for (auto it = mostRecentFirst.rbegin(); it != mostRecentFirst.rend(); ++it) m.Add(*it);
    return m;
}

TEST(FileMenu, AddMovesAKnownNameToTheTop) {
    TFileMenu m = MenuWith({"A", "B", "C", "D"});
    ASSERT_EQ(m.Files(), (TNames{"A", "B", "C", "D"}));
    m.Add("B");
    EXPECT_EQ(m.Files(), (TNames{"B", "A", "C", "D"}));
    m.Add("B");
    EXPECT_EQ(m.Files(), (TNames{"B", "A", "C", "D"}));
}

TEST(FileMenu, AddToAFullListDropsTheOldest) {
    TFileMenu m = MenuWith({"A", "B", "C", "D"});
    m.Add("E");
    EXPECT_EQ(m.Files(), (TNames{"E", "A", "B", "C"}));
    TFileMenu growing;
    growing.Add("x");
    growing.Add("y");
    EXPECT_EQ(growing.Files(), (TNames{"y", "x"}));
}

TEST(FileMenu, NamesAreComparedExactly) {
    TFileMenu m = MenuWith({"/p/a.vac"});
    m.Add("/p/A.vac");
    EXPECT_EQ(m.Files(), (TNames{"/p/A.vac", "/p/a.vac"}));
}

TEST(FileMenu, FileNameOutOfRangeIsEmpty) {
    const TFileMenu m = MenuWith({"A", "B"});
    EXPECT_EQ(m.FileName(0), "A");
    EXPECT_EQ(m.FileName(1), "B");
    EXPECT_EQ(m.FileName(2), "");
    EXPECT_EQ(m.FileName(-1), "");
    EXPECT_EQ(m.Count(), 2);
}

TEST(FileMenu, LoweringMaxFilesDropsFromTheEnd) {
    TFileMenu m = MenuWith({"A", "B", "C", "D"});
    m.SetMaxFiles(-1);
    EXPECT_EQ(m.MaxFiles(), 4);
    m.SetMaxFiles(2);
    EXPECT_EQ(m.Files(), (TNames{"A", "B"}));
    m.SetMaxFiles(8);
    m.Add("C");
    EXPECT_EQ(m.Files(), (TNames{"C", "A", "B"}));
    m.SetMaxFiles(0);
    m.Add("D");
    EXPECT_EQ(m.Count(), 0);
}

TEST(FileMenu, DisabledHistoryStaysEmptyAndIgnoresClicks) {
    TFileMenu m;
    m.Enabled = false;
    int clicks = 0;
    m.OnClick = [&](TFileMenu&, int, const std::string&) { ++clicks; };
    m.Add("A");
    EXPECT_EQ(m.Count(), 0);
    m.Enabled = true;
    m.Add("A");
    m.Enabled = false;
    m.Click(0);
    EXPECT_EQ(clicks, 0);
}

TEST(FileMenu, ClickReportsIndexAndName) {
    TFileMenu m = MenuWith({"/p/one.vac", "/p/two.vac"});
    std::vector<std::pair<int, std::string>> clicks;
    m.OnClick = [&](TFileMenu& sender, int index, const std::string& name) {
        EXPECT_EQ(&sender, &m);
        clicks.emplace_back(index, name);
    };
    m.Click(1);
    m.Click(2);
    m.Click(-1);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, std::string>>{{1, "/p/two.vac"}}));
}

TEST(FileMenu, CaptionsNumberTheEntries) {
    TFileMenu m = MenuWith(
        {"/home/u/a&b.vac", "C:\\Data\\b.vac", "c.vac", "4", "5", "6", "7", "8", "9", "10"}, 10);
    EXPECT_EQ(m.Caption(0), "&1 /home/u/a&&b.vac");
    EXPECT_EQ(m.Caption(1), "&2 C:\\Data\\b.vac");
    EXPECT_EQ(m.Caption(8), "&9 9");
    EXPECT_EQ(m.Caption(9), "10 10");
    EXPECT_EQ(m.Caption(10), "");
    m.ShowPath = false;
    m.NumShortcut = false;
    EXPECT_EQ(m.Caption(0), "1 a&&b.vac");
    EXPECT_EQ(m.Caption(1), "2 b.vac");
    EXPECT_EQ(m.Caption(2), "3 c.vac");
    m.MenuName = "History";
    EXPECT_EQ(m.EntryName(3), "History3");
}

TEST(FileMenu, ChangesAreAnnounced) {
    TFileMenu m;
    int changes = 0;
    m.OnChange = [&](TFileMenu&) { ++changes; };
    m.Add("A");
    m.Add("B");
    m.SetMaxFiles(1);
    m.SetMaxFiles(5); // nothing dropped, nothing to announce
    EXPECT_EQ(changes, 3);
}

TEST(FileMenu, HistoryKeepsItsStoredOrder) {
    std::map<std::string, std::string> settings = {{"File0", "/p/newest.vac"},
                                                   {"File1", "/p/middle.vac"},
                                                   {"File2", "/p/oldest.vac"},
                                                   {"File4", "/p/after-gap.vac"}};
    TFileMenu m;
    m.SetMaxFiles(8);
    m.ReadHistory([&](const std::string& name) { return settings[name]; });
    EXPECT_EQ(m.Files(), (TNames{"/p/newest.vac", "/p/middle.vac", "/p/oldest.vac"}));

    m.Add("/p/current.vac");
    std::map<std::string, std::string> written;
    m.WriteHistory(
        [&](const std::string& name, const std::string& value) { written[name] = value; });
    EXPECT_EQ(written, (std::map<std::string, std::string>{{"File0", "/p/current.vac"},
                                                           {"File1", "/p/newest.vac"},
                                                           {"File2", "/p/middle.vac"},
                                                           {"File3", "/p/oldest.vac"},
                                                           {"File4", ""},
                                                           {"File5", ""},
                                                           {"File6", ""},
                                                           {"File7", ""}}));

    TFileMenu again;
    again.SetMaxFiles(8);
    again.ReadHistory([&](const std::string& name) { return written[name]; });
    EXPECT_EQ(again.Files(), m.Files());
}

TEST(FileMenu, ReadingMoreThanFitsKeepsTheMostRecent) {
    std::map<std::string, std::string> settings;
    for (int n = 0; n < 12; ++n) settings["File" + std::to_string(n)] = "f" + std::to_string(n);
    settings["File3"] = "f0"; // a repeated name counts where it is most recent
    TFileMenu m;
    m.SetMaxFiles(4);
    m.ReadHistory([&](const std::string& name) { return settings[name]; });
    EXPECT_EQ(m.Files(), (TNames{"f0", "f1", "f2", "f4"}));
}

TEST(FileMenu, DisabledHistoryWritesEmptyValues) {
    TFileMenu m;
    m.Enabled = false;
    m.ReadHistory([](const std::string&) { return std::string("/p/x.vac"); });
    int empty = 0;
    m.WriteHistory([&](const std::string&, const std::string& value) { empty += value.empty(); });
    EXPECT_EQ(empty, 8);
}

} // namespace
