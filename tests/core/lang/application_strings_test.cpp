#include "core/lang/application_strings.h"
#include "core/lang/language_match.h"
#include "core/lang/language_table.h"
#include "tests/core/lang/language_test_util.h"

#include <gtest/gtest.h>

namespace {

const char* kHystereseDe = "Der Schaltpunkt wird aus dem Teachdruck und der Funktionsreserve "
                           "ermittelt. Vom Teachdruck wird eine Funktionsreserve (35% des "
                           "Teachdrucks) abgezogen. ";
const char* kHystereseEn = "The switching point is determined from the teach-in point and the "
                           "functional reserve. A functional reserve (35% of the teach-in "
                           "pressure) is subtracted from the teach-in pressure. ";

struct AppDB : TLanguageDB {
    AppDB() {
        OnGetString = LanguageDB1GetString;
        Loaded();
    }
};

} // namespace

TEST(ApplicationStrings, BuiltInTextsByLanguage) {
    AppDB db;
    std::vector<std::string> missing;
    db.SetMissingKeys(&missing);
    for (const char* code : {"DE", "de"}) {
        db.SetLanguage(code);
        EXPECT_EQ(db.Translate("~VacuumDisplay"), "Vakuumanzeige") << code;
        EXPECT_EQ(db.Translate("~FesteHysterese1TP"), kHystereseDe) << code;
    }
    for (const char* code : {"en", "fr", "DEU"}) {
        db.SetLanguage(code);
        EXPECT_EQ(db.Translate("~VacuumDisplay"), "Vacuum display") << code;
        EXPECT_EQ(db.Translate("~FesteHysterese1TP"), kHystereseEn) << code;
    }
    // Other keys still miss; texts without "~" are their own translation.
    std::string text;
    EXPECT_FALSE(db.Translate("~vacuumdisplay", text));
    EXPECT_TRUE(db.Translate("50 mm", text));
    EXPECT_EQ(text, "50 mm");
    EXPECT_TRUE(db.Translate("", text));
    EXPECT_EQ(missing, std::vector<std::string>{"~vacuumdisplay"});
}

TEST(ApplicationStrings, LanguageTableComesFirst) {
    TLanguageTable32Bit table;
    table.LoadFromStream(
        RawLanguageBlob({"~VacuumDisplay", "plain"}, {{"de", {"Vakuum (Tabelle)", "schlicht"}}}));
    AppDB db;
    db.SetLanguage("de");
    EXPECT_EQ(db.Translate("~VacuumDisplay"), "Vakuum (Tabelle)");
    EXPECT_EQ(db.Translate("plain"), "schlicht");
    EXPECT_EQ(db.Translate("~FesteHysterese1TP"), kHystereseDe);
}

TEST(MatchLanguageCode, Rules) {
    const std::vector<std::string> available = {"DE", "EN", "ZHCN"};
    EXPECT_EQ(MatchLanguageCode("EN", "DE", available), "EN");
    EXPECT_EQ(MatchLanguageCode("ZHCN", "DE", available), "ZHCN");
    // A four-letter wish falls back to its first two letters, a two-letter wish to the
    // first code that begins with it.
    EXPECT_EQ(MatchLanguageCode("ZHTW", "DE", available), "ZHCN");
    EXPECT_EQ(MatchLanguageCode("ZH", "DE", available), "ZHCN");
    EXPECT_EQ(MatchLanguageCode("ENUS", "DE", available), "EN");
    EXPECT_EQ(MatchLanguageCode("FR", "DE", available), "DE");
    // Codes are compared as written.
    EXPECT_EQ(MatchLanguageCode("en", "DE", available), "DE");
    // Wish and fallback keep four characters; other lengths take the fallback.
    EXPECT_EQ(MatchLanguageCode("ZHCNX", "DE", available), "ZHCN");
    EXPECT_EQ(MatchLanguageCode("ENG", "ENGLISH", available), "ENGL");
    EXPECT_EQ(MatchLanguageCode("", "EN", available), "EN");
    EXPECT_EQ(MatchLanguageCode("DE", "EN", {}), "EN");
}
