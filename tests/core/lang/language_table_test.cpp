#include "core/lang/language_table.h"
#include "core/util/byte_reader.h"
#include "tests/core/lang/language_test_util.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::string kFffd = "\xEF\xBF\xBD";

std::string Lookup(const TCustomLanguageTable& t, std::string_view code, std::string_view key) {
    std::string text;
    if (!t.Lookup(code, key, text)) return "<none>";
    return text;
}

bool Contains(const std::vector<uint8_t>& bytes, std::string_view needle) {
    const std::vector<uint8_t> n(needle.begin(), needle.end());
    return std::search(bytes.begin(), bytes.end(), n.begin(), n.end()) != bytes.end();
}

} // namespace

TEST(LanguageTable, LookupRules) {
    TLanguageTable32Bit t;
    t.LoadFromStream(RawLanguageBlob({"~Workpiece", "~Empty", "~Nul"},
                                     {{"en", {"Workpiece", "", std::string("left\0right", 10)}},
                                      {"de",
                                       {"Werkst\xFC"
                                        "ck",
                                        "", "x"}}}));
    EXPECT_EQ(Lookup(t, "de", "~Workpiece"), "Werkstück"); // code page 1252 decoded
    EXPECT_EQ(Lookup(t, "DE", "~Workpiece"), "Werkstück"); // codes ignore letter case
    EXPECT_EQ(Lookup(t, "De", "~Workpiece"), "Werkstück");
    // A key with an empty text is found as empty, not shown as the key.
    EXPECT_EQ(Lookup(t, "en", "~Empty"), "");
    // A text ends at its first NUL.
    EXPECT_EQ(Lookup(t, "en", "~Nul"), "left");
    // An empty code answers every key with the key itself.
    EXPECT_EQ(Lookup(t, "", "~Unknown"), "~Unknown");
    EXPECT_EQ(Lookup(t, "fr", "~Workpiece"), "<none>");
    EXPECT_EQ(Lookup(t, "en", "~Unknown"), "<none>");
    EXPECT_EQ(Lookup(t, "en", "~workpiece"), "<none>"); // keys are compared exactly
}

TEST(LanguageTable, LanguagesAreSortedLowerCaseAndFirstDuplicateWins) {
    TCustomLanguageTable t;
    t.LoadFromStream(RawLanguageBlob({"~A", "~A", "~B"}, {{"PL", {"p1", "p2", "p3"}},
                                                          {"de", {"d1", "d2", "d3"}},
                                                          {"ZHCN", {"z1", "z2", "z3"}},
                                                          {"De", {"x1", "x2", "x3"}}}));
    EXPECT_EQ(t.LanguageCount(), 3);
    EXPECT_EQ(t.KeyCount(), 3); // a key's number is its position, repeats included
    EXPECT_EQ(t.LanguageCodes(), "de,pl,zhcn");
    EXPECT_EQ(t.IndexOfLanguage("ZhCn"), 2);
    EXPECT_EQ(t.IndexOfLanguage("zh"), -1);
    EXPECT_EQ(Lookup(t, "DE", "~A"), "d1");
    EXPECT_EQ(Lookup(t, "de", "~B"), "d3");
    EXPECT_EQ(t.IndexOfKey("~A"), 0);
}

TEST(LanguageTable, ShortTextListLacksTheLastKeys) {
    TCustomLanguageTable t;
    t.LoadFromStream(RawLanguageBlob({"~A", "~B"}, {{"en", {"a"}}, {"de", {"a", "b", "surplus"}}}));
    EXPECT_EQ(Lookup(t, "en", "~A"), "a");
    EXPECT_EQ(Lookup(t, "en", "~B"), "<none>");
    EXPECT_EQ(Lookup(t, "de", "~B"), "b");
    // Saving writes one text per key in every language.
    TCustomLanguageTable again;
    again.LoadFromStream(t.SaveToBytes());
    EXPECT_EQ(Lookup(again, "en", "~B"), "");
    EXPECT_EQ(again.KeyCount(), 2);
}

TEST(LanguageTable, LoadEdgeCases) {
    TCustomLanguageTable t;
    t.SetText("en", "~A", "a");
    // Another kind of blob loads empty.
    t.LoadFromStream(RawLanguageBlob({"~A"}, {{"en", {"a"}}}, "Table"));
    EXPECT_EQ(t.KeyCount(), 0);
    EXPECT_EQ(t.LanguageCount(), 0);
    // No blob loads empty.
    t.SetText("en", "~A", "a");
    t.LoadFromStream(std::nullopt);
    EXPECT_EQ(t.KeyCount(), 0);
    // A truncated blob is an error and leaves the table empty.
    auto blob = RawLanguageBlob({"~A", "~B"}, {{"en", {"a", "b"}}});
    blob.resize(blob.size() - 2);
    t.SetText("en", "~A", "a");
    EXPECT_THROW(t.LoadFromStream(blob), EFormatError);
    EXPECT_EQ(t.KeyCount(), 0);
    EXPECT_EQ(t.LanguageCount(), 0);
}

TEST(LanguageTable, SetTextAddsEmptySlots) {
    TCustomLanguageTable t;
    t.SetText("DE", "~A", "Hallo");
    t.SetText("fr", "~B", "Salut");
    EXPECT_EQ(t.LanguageCodes(), "de,fr");
    EXPECT_EQ(t.KeyCount(), 2);
    EXPECT_EQ(Lookup(t, "de", "~A"), "Hallo");
    EXPECT_EQ(Lookup(t, "de", "~B"), ""); // new key: an empty text in every language
    EXPECT_EQ(Lookup(t, "fr", "~A"), ""); // new language: an empty text for every key
    t.SetText("de", "~A", "Servus");
    EXPECT_EQ(Lookup(t, "de", "~A"), "Servus");
    EXPECT_EQ(t.KeyCount(), 2);
    EXPECT_THROW(t.SetText("", "~A", "x"), std::invalid_argument);
}

TEST(LanguageTable, SetTextKeepsWhatTheCodePageHolds) {
    TCustomLanguageTable t;
    t.SetText("pl", "~A", "Zażółć 日本 gęślą");
    t.SetText("ja", "~A", "日本語 ok");
    t.SetText("ja", "~B", "\xC3("); // broken UTF-8 does not swallow the next character
    EXPECT_EQ(Lookup(t, "pl", "~A"), "Zażółć ?? gęślą");
    EXPECT_EQ(Lookup(t, "ja", "~A"), "日本語 ok");
    EXPECT_EQ(Lookup(t, "ja", "~B"), "?(");
    TCustomLanguageTable again;
    again.LoadFromStream(t.SaveToBytes());
    EXPECT_EQ(Lookup(again, "pl", "~A"), "Zażółć ?? gęślą");
}

TEST(LanguageTable, TextsTravelInTheirLanguagesCodePage) {
    // Japanese in code page 932, Polish in 1250, Russian in 1251, Hebrew in 1255 (whose
    // decoder holds back the last letter), German in 1252.
    const std::string ja = "\x93\xFA\x96\x7B\x8C\xEA"; // 日本語
    const std::string pl = "\xBF\xF3\xB3\x9F";         // żółź
    const std::string ru = "\xCF\xF0\xE8\xE2\xE5\xF2"; // Привет
    const std::string he = "\xE7\xEC\xF7";             // חלק
    const std::string de = "Gr\xFC\xDF"
                           "e"; // Grüße
    TCustomLanguageTable t;
    t.LoadFromStream(RawLanguageBlob(
        {"~Hello"}, {{"ja", {ja}}, {"pl", {pl}}, {"ru", {ru}}, {"he", {he}}, {"de", {de}}}));
    EXPECT_EQ(Lookup(t, "JA", "~Hello"), "日本語");
    EXPECT_EQ(Lookup(t, "pl", "~Hello"), "żółź");
    EXPECT_EQ(Lookup(t, "ru", "~Hello"), "Привет");
    EXPECT_EQ(Lookup(t, "he", "~Hello"), "חלק");
    EXPECT_EQ(Lookup(t, "de", "~Hello"), "Grüße");

    // Writing encodes each language in its own code page again, byte for byte.
    const auto saved = t.SaveToBytes();
    const auto expected = RawLanguageBlob(
        {"~Hello"}, {{"de", {de}}, {"he", {he}}, {"ja", {ja}}, {"pl", {pl}}, {"ru", {ru}}});
    EXPECT_EQ(saved, expected);
    EXPECT_TRUE(Contains(saved, ja));
    EXPECT_FALSE(Contains(saved, "日本語"));
}

TEST(LanguageTable, UndecodableBytesBecomeReplacementCharacters) {
    // 0xAA is unassigned in Greek 1253; 0x80 is no character in 932 and a lone lead byte
    // at the end of a Japanese text has no trail byte.
    TCustomLanguageTable t;
    t.LoadFromStream(RawLanguageBlob({"~A", "~B"}, {{"el",
                                                     {"a\xAA"
                                                      "b",
                                                      "\xE1\xE2"}},
                                                    {"ja", {"x\x80y", "z\x93"}}}));
    EXPECT_EQ(Lookup(t, "el", "~A"), "a" + kFffd + "b");
    EXPECT_EQ(Lookup(t, "el", "~B"), "αβ");
    EXPECT_EQ(Lookup(t, "ja", "~A"), "x" + kFffd + "y");
    EXPECT_EQ(Lookup(t, "ja", "~B"), "z" + kFffd);
    // Such a table still saves; the lost character becomes "?".
    TCustomLanguageTable again;
    ASSERT_NO_THROW(again.LoadFromStream(t.SaveToBytes()));
    EXPECT_EQ(Lookup(again, "el", "~A"), "a?b");
    EXPECT_EQ(Lookup(again, "el", "~B"), "αβ");
}

TEST(LanguageTable, SaveLoadRoundTrip) {
    TCustomLanguageTable t;
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"de", "Werkstück"},
        {"en", "Workpiece"},
        {"ja", "ワーク"},
        {"zhcn", "工件"},
        {"zhtw", "工件"},
        {"ko", "공작물"},
        {"pl", "Przedmiot obrabiany – żółw"},
        {"ru", "Заготовка"},
        {"el", "Τεμάχιο"},
        {"tr", "İş parçası"},
        {"he", "חלק"},
        {"th", "ชิ้นงาน"},
        {"lt", "Ruošinys"}};
    for (const auto& [code, text] : texts) {
        t.SetText(code, "~Workpiece", text);
        t.SetText(code, "~Empty", "");
    }
    const auto bytes = t.SaveToBytes();
    TCustomLanguageTable loaded;
    loaded.LoadFromStream(bytes);
    EXPECT_EQ(loaded.LanguageCodes(), t.LanguageCodes());
    EXPECT_EQ(loaded.KeyCount(), 2);
    for (const auto& [code, text] : texts) {
        EXPECT_EQ(Lookup(loaded, code, "~Workpiece"), text) << code;
        EXPECT_EQ(Lookup(loaded, code, "~Empty"), "") << code;
    }
    EXPECT_EQ(loaded.SaveToBytes(), bytes);
}

TEST(LanguageTable, SpecialCRLF) {
    const std::string marks = "a\xA7\xA7"
                              "b||c";
    const std::string slashes = "x//y";
    // In 932 the byte 0xA7 is a half-width kana; "§" itself is 0x81 0x98 and stays.
    const std::string jaMarks = "p\xA7\xA7q\x81\x98\x81\x98r";
    TLanguageTable32Bit t;
    t.LoadFromStream(RawLanguageBlob(
        {"~M", "~S", "~Plain"}, {{"en", {marks, slashes, "plain"}}, {"ja", {jaMarks, "", ""}}}));
    EXPECT_FALSE(t.SpecialCRLF());
    EXPECT_EQ(Lookup(t, "en", "~M"), "a§§b||c");
    EXPECT_EQ(Lookup(t, "en", "~S"), "x//y");

    t.SetSpecialCRLF(true);
    EXPECT_EQ(Lookup(t, "en", "~M"), "a\r\nb\tc");
    EXPECT_EQ(Lookup(t, "en", "~S"), "x\r\ny");
    EXPECT_EQ(Lookup(t, "en", "~Plain"), "plain");
    EXPECT_EQ(Lookup(t, "ja", "~M"), "p\r\nq§§r");
    // The key of an empty code is never rewritten.
    EXPECT_EQ(Lookup(t, "", "~a//b"), "~a//b");

    // The base table knows no marks.
    TCustomLanguageTable plain;
    plain.LoadFromStream(RawLanguageBlob({"~M"}, {{"en", {marks}}}));
    EXPECT_EQ(Lookup(plain, "en", "~M"), "a§§b||c");
}

TEST(LanguageTable, TablesJoinAndLeaveTheProcessList) {
    const auto before = TCustomLanguageTable::LanguageTables().size();
    {
        TLanguageTable32Bit a;
        TCustomLanguageTable b;
        const auto& list = TCustomLanguageTable::LanguageTables();
        ASSERT_EQ(list.size(), before + 2);
        EXPECT_EQ(list[before], &a);
        EXPECT_EQ(list[before + 1], &b);
    }
    EXPECT_EQ(TCustomLanguageTable::LanguageTables().size(), before);
}
