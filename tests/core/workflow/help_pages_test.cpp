// The help pages on small tables made here and two made-up languages: every topic is one
// well-formed document whose links lead to pages that exist, the tables show every row of
// their source, and a change of language changes every text.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "core/calc/drive.h"
#include "core/calc/forces.h"
#include "core/data/str_table_db.h"
#include "core/quantities/number_format.h"
#include "core/workflow/help_pages.h"
#include "core/workflow/page_workflow.h"
#include "tests/html_check.h"

namespace {

// A made-up language: the text of "~Key" is the mark followed by "Key".
TTranslateFunc Language(const std::string& mark) {
    return [mark](std::string_view key) { return mark + std::string(key.substr(1)); };
}

struct TFrictionRow {
    std::string Material, Surface;
    double Min, Max, Typical;
};

void FillFriction(TStrTableDB32Bit& t, const std::vector<TFrictionRow>& rows) {
    t.Loaded();
    auto& material = t.AddColumn("~SuctionCup", csfString);
    auto& surface = t.AddColumn("~Workpiece", csfString);
    auto& min = t.AddColumn("min", csfFloat);
    auto& max = t.AddColumn("max", csfFloat);
    auto& typical = t.AddColumn("typical", csfFloat);
    for (const auto& r : rows) {
        material.AppendText(r.Material);
        surface.AppendText(r.Surface);
        min.AppendFloat(r.Min);
        max.AppendFloat(r.Max);
        typical.AppendFloat(r.Typical);
    }
    t.SetRows(static_cast<int>(rows.size()));
}

struct TDurabilityRow {
    std::string Medium, Material, Rating;
};

void FillDurability(TStrTableDB32Bit& t, const std::vector<TDurabilityRow>& rows) {
    t.Loaded();
    auto& medium = t.AddColumn("~Chemical", csfString);
    auto& material = t.AddColumn("~SuctionCup", csfString);
    auto& rating = t.AddColumn("~Durability", csfString);
    for (const auto& r : rows) {
        medium.AppendText(r.Medium);
        material.AppendText(r.Material);
        rating.AppendText(r.Rating);
    }
    t.SetRows(static_cast<int>(rows.size()));
}

// The material of the second group is shown again when it comes back after another one.
const std::vector<TFrictionRow> kFriction = {
    {"~Rubber", "~Steel", 0.5, 0.8, 0.6},
    {"~Rubber", "~Glass", 0.1, 0.25, 0.15},
    {"~Silicone", "~Steel", 0.05, 1, 0.7},
    {"~Rubber", "~Wood", 0.4, 0.7, 0.5},
};

// Oil has no rating for Silicone.
const std::vector<TDurabilityRow> kDurability = {
    {"~Acid", "~Rubber", "~Good"},
    {"~Acid", "~Silicone", "~Limited"},
    {"~Oil", "~Rubber", "~VeryGood"},
};

class HelpPages : public ::testing::Test {
protected:
    TStrTableDB32Bit friction, durability;
    THelpSources sources;
    void SetUp() override {
        FillFriction(friction, kFriction);
        FillDurability(durability, kDurability);
        sources = {&friction, &durability};
    }
    std::string Page(int topic, const std::string& mark = "EN:") const {
        return HelpPageHtml(topic, sources, Language(mark));
    }
};

// The topics the main window opens: the menus, the context menus, the friction button and
// F1 on the pages 0 to 8.
const std::set<int> kPageTopics = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 16};

} // namespace

TEST_F(HelpPages, EveryTopicIsOneWellFormedDocumentTitledAfterItsPage) {
    for (int topic = -3; topic < cHelpTopicCount + 3; ++topic) {
        const std::string html = Page(topic);
        EXPECT_EQ(html_check::Problem(html), "") << "topic " << topic;
        const auto h1 = html_check::Elements(html, "h1");
        ASSERT_EQ(h1.size(), 1u) << "topic " << topic;
        EXPECT_EQ(html_check::Text(h1[0]), html_check::Title(html)) << "topic " << topic;
    }
    // Titles: the menu entries, the friction button's hint and the navigator captions.
    const std::vector<std::pair<int, std::string>> titles = {
        {0, "EN:Contents"},        {1, "EN:OperatingInstructions"}, {2, "EN:Workpiece"},
        {3, "EN:Tube"},            {4, "EN:VacuumSuctionNozzle"},   {5, "EN:Motion"},
        {6, "EN:Positioning"},     {8, "EN:SuctionCup"},            {9, "EN:Drive"},
        {10, "EN:ForcesAndMoments"}, {11, "EN:FrictionValuesTable"}, {12, "EN:ChemicalDurability"},
        {13, "EN:Formulae"},       {16, "EN:Index"}};
    for (const auto& [topic, title] : titles) {
        EXPECT_EQ(html_check::Title(Page(topic)), title) << "topic " << topic;
        EXPECT_EQ(HelpPageTitle(topic, Language("EN:")), title) << "topic " << topic;
    }
}

TEST_F(HelpPages, TopicsWithoutAPageOfTheirOwnShowTheContents) {
    const std::string contents = Page(cHelpContents);
    for (const int topic : {7, 14, 15, -1, cHelpTopicCount, 1000}) {
        EXPECT_EQ(Page(topic), contents) << "topic " << topic;
        EXPECT_EQ(HelpPageTopic(topic), cHelpContents) << "topic " << topic;
    }
    const auto pages = HelpPageTopics();
    EXPECT_EQ(std::set<int>(pages.begin(), pages.end()), kPageTopics);
    for (const int topic : kPageTopics) EXPECT_EQ(HelpPageTopic(topic), topic);
    // F1 on every page of the main window opens a topic that has a page.
    for (int page = 0; page < cMainPageCount; ++page)
        EXPECT_TRUE(kPageTopics.count(MainPageInfo(page).HelpTopic)) << "page " << page;
}

TEST_F(HelpPages, LinksLeadToExistingPagesAndTheContentsReachEveryPage) {
    for (int topic = 0; topic < cHelpTopicCount; ++topic) {
        const std::string html = Page(topic);
        const auto links = html_check::Links(html);
        const auto texts = html_check::LinkTexts(html);
        ASSERT_EQ(links.size(), texts.size());
        for (size_t i = 0; i < links.size(); ++i) {
            const auto target = HelpLinkTopic(links[i]);
            ASSERT_TRUE(target.has_value()) << links[i] << " on topic " << topic;
            EXPECT_TRUE(kPageTopics.count(*target)) << links[i] << " on topic " << topic;
            EXPECT_FALSE(texts[i].empty()) << links[i] << " on topic " << topic;
        }
        // Every page but the contents leads back to the contents and on to the index.
        if (HelpPageTopic(topic) != cHelpContents) {
            EXPECT_NE(std::find(links.begin(), links.end(), "topic:0"), links.end()) << "topic " << topic;
            EXPECT_NE(std::find(links.begin(), links.end(), "topic:16"), links.end()) << "topic " << topic;
        }
    }
    // The contents link every other page, each under its title.
    const std::string contents = Page(cHelpContents);
    std::set<int> reached;
    const auto links = html_check::Links(contents);
    const auto texts = html_check::LinkTexts(contents);
    for (size_t i = 0; i < links.size(); ++i) {
        const int t = *HelpLinkTopic(links[i]);
        reached.insert(t);
        EXPECT_EQ(texts[i], HelpPageTitle(t, Language("EN:")));
    }
    std::set<int> others = kPageTopics;
    others.erase(cHelpContents);
    EXPECT_EQ(reached, others);
}

TEST(HelpLinks, OnlyTopicLinksOfValidTopicsAreRecognised) {
    EXPECT_EQ(HelpTopicLink(13), "topic:13");
    for (int topic = 0; topic < cHelpTopicCount; ++topic) EXPECT_EQ(HelpLinkTopic(HelpTopicLink(topic)), topic);
    for (const char* bad : {"topic:17", "topic:-1", "topic:", "topic:1x", "topic: 1", "Topic:1", "http://x/topic:1",
                            "topic:99999999999", ""})
        EXPECT_FALSE(HelpLinkTopic(bad).has_value()) << bad;
}

TEST_F(HelpPages, FrictionPageListsEveryRowGroupedByCupMaterial) {
    const auto rows = html_check::TableRows(Page(cHelpFrictionValues));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], (std::vector<std::string>{"EN:HelpSurface", "EN:HelpTypical", "EN:HelpLowest", "EN:HelpHighest"}));
    // Rubber (2 rows), Silicone (1), Rubber again (1): three group rows and four value rows.
    const std::vector<std::vector<std::string>> expected = {
        {"EN:Rubber"}, {"EN:Steel", "0.6", "0.5", "0.8"}, {"EN:Glass", "0.15", "0.1", "0.25"},
        {"EN:Silicone"}, {"EN:Steel", "0.7", "0.05", "1"},
        {"EN:Rubber"}, {"EN:Wood", "0.5", "0.4", "0.7"}};
    EXPECT_EQ(std::vector<std::vector<std::string>>(rows.begin() + 1, rows.end()), expected);

    // Display numbers take the locale's decimal separator.
    const char separator = DecimalSeparator();
    SetDecimalSeparator(',');
    const auto comma = html_check::TableRows(Page(cHelpFrictionValues));
    SetDecimalSeparator(separator);
    ASSERT_EQ(comma.size(), rows.size());
    EXPECT_EQ(comma[3], (std::vector<std::string>{"EN:Glass", "0,15", "0,1", "0,25"}));
}

TEST_F(HelpPages, DurabilityPageTurnsTheTableIntoAMediumByMaterialMatrix) {
    const std::string html = Page(cHelpChemicalDurability);
    const auto rows = html_check::TableRows(html);
    const std::vector<std::vector<std::string>> expected = {
        {"EN:Chemical", "Rubber", "Silicone"},
        {"EN:Acid", "EN:Good", "EN:Limited"},
        {"EN:Oil", "EN:VeryGood", ""}};
    EXPECT_EQ(rows, expected);
    // The material codes of the header are spelled out below the table.
    const auto items = html_check::Elements(html, "li");
    std::vector<std::string> legend;
    for (const auto& li : items) legend.push_back(html_check::Text(li));
    EXPECT_NE(std::find(legend.begin(), legend.end(), "Rubber: EN:Rubber"), legend.end());
    EXPECT_NE(std::find(legend.begin(), legend.end(), "Silicone: EN:Silicone"), legend.end());
}

TEST(HelpPagesWithoutTables, TablePagesSayThatTheTableIsMissing) {
    TStrTableDB32Bit empty;
    empty.Loaded();
    for (const THelpSources& sources : {THelpSources{}, THelpSources{&empty, &empty}}) {
        for (const int topic : {cHelpFrictionValues, cHelpChemicalDurability}) {
            const std::string html = HelpPageHtml(topic, sources, Language("EN:"));
            EXPECT_EQ(html_check::Problem(html), "");
            EXPECT_TRUE(html_check::TableRows(html).empty()) << topic;
            EXPECT_NE(html_check::Text(html).find("EN:HelpNoTable"), std::string::npos) << topic;
        }
    }
}

TEST_F(HelpPages, ALanguageChangeChangesEveryText) {
    for (const int topic : kPageTopics) {
        const std::string en = html_check::Text(Page(topic, "EN:"));
        const std::string de = html_check::Text(Page(topic, "DE:"));
        EXPECT_EQ(de.find("EN:"), std::string::npos) << "topic " << topic;
        EXPECT_EQ(en.find("DE:"), std::string::npos) << "topic " << topic;
        EXPECT_NE(de.find("DE:"), std::string::npos) << "topic " << topic;
        for (const auto& para : html_check::Elements(Page(topic, "DE:"), "p")) {
            const std::string text = html_check::Trim(html_check::Text(para));
            if (!text.empty()) {
                EXPECT_EQ(text.rfind("DE:", 0), 0u) << text << " on topic " << topic;
            }
        }
    }
}

TEST_F(HelpPages, TextsAreEscapedSoThatTheyCannotBreakThePage) {
    const TTranslateFunc markup = [](std::string_view key) { return "<b>" + std::string(key.substr(1)) + " & \"x\""; };
    for (int topic = 0; topic < cHelpTopicCount; ++topic) {
        const std::string html = HelpPageHtml(topic, sources, markup);
        EXPECT_EQ(html_check::Problem(html), "") << "topic " << topic;
        EXPECT_EQ(html_check::Title(html), "<b>" + std::string(HelpTitleKey(topic).substr(1)) + " & \"x\"");
    }
}

TEST_F(HelpPages, IndexListsItsKeyWordsAlphabeticallyUnderTheirLetters) {
    // Texts that sort differently from their keys: the text reverses the key's name, and a
    // few start with a lower-case or an accented letter.
    const TTranslateFunc reversed = [](std::string_view key) {
        std::string s(key.substr(1));
        std::reverse(s.begin(), s.end());
        if (s[0] == 'e') s = "\xC3\xA9" + s.substr(1); // é
        return s;
    };
    const std::string html = HelpPageHtml(cHelpIndex, sources, reversed);
    EXPECT_EQ(html_check::Problem(html), "");
    const auto texts = html_check::LinkTexts(html);
    ASSERT_GT(texts.size(), 20u);
    // Page links at the foot: the contents and the index.
    const std::vector<std::string> entries(texts.begin(), texts.end() - 2);
    auto fold = [](const std::string& s) {
        std::string f;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s.compare(i, 2, "\xC3\xA9") == 0) {
                f += 'e';
                ++i;
            } else {
                f += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
            }
        }
        return f;
    };
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_LE(fold(entries[i - 1]), fold(entries[i])) << entries[i - 1] << " before " << entries[i];
    // Each letter heading names the folded first letter of the entries under it.
    const auto letters = html_check::Elements(html, "h3");
    std::set<char> expected;
    for (const auto& e : entries) expected.insert(static_cast<char>(std::toupper(fold(e)[0])));
    std::set<char> shown;
    for (const auto& l : letters) {
        ASSERT_EQ(l.size(), 1u) << l;
        shown.insert(l[0]);
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(letters.size(), expected.size());
}

TEST_F(HelpPages, FormulaePageStatesTheConstantsOfTheCalculations) {
    const std::string text = html_check::Text(Page(cHelpFormulae));
    // Gravity (9.80655 m/s² in this program, not the standard 9.80665) and the 6 bar at
    // which the product tables rate forces and torques, as the calculations use them.
    EXPECT_EQ(ShortDecimal(cGravity), "9.80655");
    EXPECT_NE(text.find("g = 9.80655 m/s2"), std::string::npos);
    EXPECT_EQ(cRatedPressure, 6e5);
    EXPECT_NE(text.find("F = F6 bar·p / 6 bar"), std::string::npos);
    // The reference vacuum of the catalogue's holding forces.
    EXPECT_NE(text.find("A = Fs0.7 / 70000 Pa"), std::string::npos);
    EXPECT_EQ(text.find('{'), std::string::npos) << "a constant left unfilled";
    // One table row per formula, each with a description and the formula.
    for (const auto& row : html_check::TableRows(Page(cHelpFormulae))) {
        ASSERT_EQ(row.size(), 2u);
        EXPECT_EQ(row[0].rfind("EN:HelpF", 0), 0u) << row[0];
        EXPECT_FALSE(row[1].empty());
    }
}

TEST_F(HelpPages, LanguageKeysCoverEveryTextThePagesShow) {
    const auto keys = HelpLanguageKeys();
    const std::set<std::string> known(keys.begin(), keys.end());
    // Translate every key to a marker that names it, and collect what the pages ask for.
    std::set<std::string> asked;
    const TTranslateFunc recording = [&](std::string_view key) {
        asked.emplace(key);
        return std::string("T");
    };
    for (int topic = 0; topic < cHelpTopicCount; ++topic) HelpPageHtml(topic, sources, recording);
    // Table cells are keys of the product data, not of the help.
    for (const auto& r : kFriction) asked.erase(r.Material), asked.erase(r.Surface);
    for (const auto& r : kDurability) asked.erase(r.Medium), asked.erase(r.Material), asked.erase(r.Rating);
    for (const auto& key : asked) EXPECT_TRUE(known.count(key)) << key;
    for (const auto& key : known) EXPECT_EQ(key.rfind("~", 0), 0u) << key;
}
