// The help pages on the bundled catalogue in every bundled language: no key is left
// untranslated, and the friction and durability pages show exactly what the catalogue's
// text sources say (read here on their own, not through the program).

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/workflow/help_pages.h"
#include "core/workflow/vacuum_application.h"
#include "tests/calc_catalog/bundled_catalogue.h"
#include "tests/file_text.h"
#include "tests/html_check.h"

namespace {

const std::vector<std::string> kLanguages = {"en", "de", "fr", "ru"};

// Lines of a catalogue source file split at tabs; comment lines left out.
std::vector<std::vector<std::string>> SourceRows(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(ReadAll(std::string(VACUUM_SOURCE_DIR) + "/catalog/src/" + name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells;
        std::istringstream cols(line);
        for (std::string c; std::getline(cols, c, '\t');) cells.push_back(c);
        rows.push_back(cells);
    }
    return rows;
}

// The texts of every key in one language column of texts.tsv.
std::map<std::string, std::string> Texts(const std::string& code) {
    const auto rows = SourceRows("texts.tsv");
    const auto& header = rows.at(0);
    const auto column = std::find(header.begin(), header.end(), code) - header.begin();
    std::map<std::string, std::string> texts;
    for (size_t r = 1; r < rows.size(); ++r) texts[rows[r][0]] = rows[r].at(static_cast<size_t>(column));
    return texts;
}

struct THelpCatalogue {
    TVacuumApplication App{CatalogueFile(), LanguageFile()};
    THelpTables Tables{App.Connection};
    std::string Page(int topic) { return HelpPageHtml(topic, Tables.Sources(), App.Translator()); }
    void Use(const std::string& code) { ASSERT_TRUE(App.Input([&] { return App.SetLanguage(code); })) << code; }
};

// Language databases follow one another process-wide, so each test has its own
// application and leaves none behind.
class HelpCatalogue : public ::testing::Test {
protected:
    THelpCatalogue c;
};

} // namespace

TEST_F(HelpCatalogue, EveryTopicIsTranslatedInEveryBundledLanguage) {
    ASSERT_TRUE(c.App.Active()) << c.App.LastError();
    const std::regex key("~[A-Za-z]");
    for (const auto& code : kLanguages) {
        c.Use(code);
        for (int topic = 0; topic < cHelpTopicCount; ++topic) {
            const std::string html = c.Page(topic);
            EXPECT_EQ(html_check::Problem(html), "") << code << " topic " << topic;
            std::smatch m;
            const std::string text = html_check::Text(html);
            EXPECT_FALSE(std::regex_search(text, m, key))
                << code << " topic " << topic << ": " << text.substr(static_cast<size_t>(m.position()), 40);
        }
        for (const std::string& k : HelpLanguageKeys()) {
            std::string text;
            EXPECT_TRUE(c.App.Language.Translate(k, text)) << code << " " << k;
        }
    }
}

TEST_F(HelpCatalogue, TitlesAndTextsFollowTheLanguage) {
    std::map<std::string, std::string> formulae;
    for (const auto& code : kLanguages) {
        c.Use(code);
        const auto texts = Texts(code);
        EXPECT_EQ(html_check::Title(c.Page(cHelpFormulae)), texts.at("~Formulae")) << code;
        EXPECT_EQ(html_check::Title(c.Page(cHelpContents)), texts.at("~Contents")) << code;
        EXPECT_EQ(html_check::Title(c.Page(cHelpFrictionValues)), texts.at("~FrictionValuesTable")) << code;
        const std::string page = html_check::Text(c.Page(cHelpOperatingInstructions));
        EXPECT_NE(page.find(texts.at("~HelpOpIntro")), std::string::npos) << code;
        formulae[code] = c.Page(cHelpFormulae);
    }
    c.Use("en");
    for (const auto& a : kLanguages)
        for (const auto& b : kLanguages)
            if (a < b) {
                EXPECT_NE(formulae[a], formulae[b]) << a << " " << b;
            }
}

TEST_F(HelpCatalogue, FrictionPageListsEveryRowOfTheCatalogueWithItsCoefficients) {
    c.Use("en");
    const auto en = Texts("en");
    // The source: cup material key, surface key, lowest, highest, typical.
    const auto source = SourceRows("friction.tsv");
    ASSERT_GT(source.size(), 40u);
    const auto rows = html_check::TableRows(c.Page(cHelpFrictionValues));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].size(), 4u);
    // Value rows under the group row of their material.
    std::string material;
    size_t next = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].size() == 1) {
            material = rows[r][0];
            continue;
        }
        ASSERT_EQ(rows[r].size(), 4u);
        ASSERT_LT(next, source.size()) << "more rows than the catalogue has";
        const auto& s = source[next++];
        EXPECT_EQ(material, en.at(s[0])) << "row " << next;
        EXPECT_EQ(rows[r][0], en.at(s[1])) << "row " << next;
        EXPECT_NEAR(std::stod(rows[r][1]), std::stod(s[4]), 1e-12) << "typical, row " << next;
        EXPECT_NEAR(std::stod(rows[r][2]), std::stod(s[2]), 1e-12) << "lowest, row " << next;
        EXPECT_NEAR(std::stod(rows[r][3]), std::stod(s[3]), 1e-12) << "highest, row " << next;
    }
    EXPECT_EQ(next, source.size()) << "rows of the catalogue missing from the page";
}

TEST_F(HelpCatalogue, DurabilityPageShowsTheCatalogueMatrix) {
    c.Use("en");
    const auto en = Texts("en");
    // The source is the matrix itself: a header of material keys, then medium and ratings.
    const auto source = SourceRows("durability.tsv");
    const auto rows = html_check::TableRows(c.Page(cHelpChemicalDurability));
    ASSERT_EQ(rows.size(), source.size());
    std::vector<std::string> header = {en.at("~Chemical")};
    for (size_t i = 1; i < source[0].size(); ++i) header.push_back(source[0][i].substr(1));
    EXPECT_EQ(rows[0], header);
    for (size_t r = 1; r < source.size(); ++r) {
        std::vector<std::string> expected;
        for (const auto& key : source[r]) expected.push_back(en.at(key));
        EXPECT_EQ(rows[r], expected) << source[r][0];
    }
}

TEST_F(HelpCatalogue, IndexIsAlphabeticalInEveryLanguage) {
    // Sort order of a word: lower case, accents of the Latin letters the texts use dropped,
    // Cyrillic in the order of its code points (the alphabet, with yo as e).
    auto fold = [](const std::string& s) {
        static const std::vector<std::pair<std::string, char32_t>> accents = {
            {"à", U'a'}, {"â", U'a'}, {"ä", U'a'}, {"ç", U'c'}, {"é", U'e'}, {"è", U'e'}, {"ê", U'e'},
            {"î", U'i'}, {"ô", U'o'}, {"ö", U'o'}, {"ü", U'u'}, {"û", U'u'}, {"É", U'e'}, {"Ä", U'a'},
            {"Ö", U'o'}, {"Ü", U'u'}, {"ё", U'е'}, {"Ё", U'е'}};
        std::u32string out;
        for (size_t i = 0; i < s.size();) {
            bool done = false;
            for (const auto& [from, to] : accents)
                if (s.compare(i, from.size(), from) == 0) {
                    out += to;
                    i += from.size();
                    done = true;
                    break;
                }
            if (done) continue;
            const auto b = static_cast<unsigned char>(s[i]);
            if (b < 0x80) {
                out += static_cast<char32_t>(std::tolower(b));
                ++i;
            } else if ((b & 0xE0) == 0xC0 && i + 1 < s.size()) {
                char32_t cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
                if (cp >= 0x410 && cp <= 0x42F) cp += 0x20; // upper-case Cyrillic
                out += cp;
                i += 2;
            } else {
                out += b;
                ++i;
            }
        }
        return out;
    };
    for (const auto& code : kLanguages) {
        c.Use(code);
        const auto texts = html_check::LinkTexts(c.Page(cHelpIndex));
        ASSERT_GT(texts.size(), 22u);
        const std::vector<std::string> entries(texts.begin(), texts.end() - 2); // the foot links
        for (size_t i = 1; i < entries.size(); ++i)
            EXPECT_LE(fold(entries[i - 1]), fold(entries[i])) << code << ": " << entries[i - 1] << " before " << entries[i];
    }
}
