#include "core/data/parts_list.h"
#include "core/data/shop_page.h"
#include "core/data/str_table_db.h"
#include "core/data/table_grid.h"
#include "core/lang/language_db.h"
#include "core/lang/language_table.h"
#include "tests/core/lang/language_test_util.h"

#include <gtest/gtest.h>

namespace {

// A loaded language database, as after its form finished loading.
struct LoadedDB : TLanguageDB {
    LoadedDB() { Loaded(); }
};

std::unique_ptr<TLanguageTable32Bit> Table(const std::vector<std::string>& keys,
                                           const std::vector<TRawLanguage>& languages) {
    auto t = std::make_unique<TLanguageTable32Bit>();
    t->LoadFromStream(RawLanguageBlob(keys, languages));
    return t;
}

} // namespace

TEST(LanguageDB, StartsWithoutLanguageAndShowsKeys) {
    auto t = Table({"~Hello"}, {{"en", {"Hello"}}});
    LoadedDB db;
    EXPECT_EQ(db.Language(), "");
    EXPECT_EQ(db.Charset(), 1);
    std::string text;
    // With an empty code any table answers with the key.
    EXPECT_TRUE(db.Translate("~Hello", text));
    EXPECT_EQ(text, "~Hello");
}

TEST(LanguageDB, TranslatesInTheCurrentLanguageWhateverItsCase) {
    auto t = Table({"~Hello", "~Empty"}, {{"en", {"Hello", ""}}, {"ja", {"\x82\xB1\x82\xF1", ""}}});
    LoadedDB db;
    db.SetLanguage("JA");
    EXPECT_EQ(db.Language(), "JA");
    EXPECT_EQ(db.Charset(), 128);
    EXPECT_EQ(db.Translate("~Hello"), "こん");
    EXPECT_EQ(db.TranslateW("~Hello"), "こん");
    std::string text = "stale";
    EXPECT_TRUE(db.Translate("~Empty", text));
    EXPECT_EQ(text, "");
    db.SetLanguage("en");
    EXPECT_EQ(db.Charset(), 1);
    EXPECT_EQ(db.Translate("~Hello"), "Hello");
}

TEST(LanguageDB, FirstTableThatAnswersWins) {
    auto first = Table({"~A", "~B"}, {{"de", {"erste A", "erste B"}}});
    auto second = Table({"~A", "~C"}, {{"de", {"zweite A", "zweite C"}}, {"fr", {"deux A", ""}}});
    LoadedDB db;
    db.SetLanguage("de");
    EXPECT_EQ(db.Translate("~A"), "erste A");  // both know it: the first created
    EXPECT_EQ(db.Translate("~C"), "zweite C"); // only the second knows the key
    db.SetLanguage("fr");
    EXPECT_EQ(db.Translate("~A"), "deux A"); // only the second knows the language
    first.reset();
    db.SetLanguage("de");
    EXPECT_EQ(db.Translate("~A"), "zweite A"); // a destroyed table no longer answers
}

TEST(LanguageDB, UnknownKeysAndTheMissingKeyList) {
    auto t = Table({"~Known"}, {{"en", {"Known"}}});
    LoadedDB db;
    db.SetLanguage("en");
    std::vector<std::string> missing;
    std::string text;
    EXPECT_FALSE(db.Translate("~Unknown", text));
    EXPECT_EQ(text, "~Unknown");  // the key itself, with its "~"
    EXPECT_TRUE(missing.empty()); // no list set: nothing collected

    db.SetMissingKeys(&missing);
    EXPECT_EQ(db.MissingKeys(), &missing);
    db.Translate("~Unknown");
    db.Translate("~Known");
    db.Translate("~Other");
    db.Translate("~Unknown");
    EXPECT_EQ(missing, (std::vector<std::string>{"~Unknown", "~Other"}));

    // A language no table holds: every key is missing.
    db.SetLanguage("xx");
    db.Translate("~Known");
    EXPECT_EQ(missing.back(), "~Known");
    db.SetMissingKeys(nullptr);
}

TEST(LanguageDB, OnGetStringIsTheLastChance) {
    auto t = Table({"~Known"}, {{"en", {"Known"}}});
    LoadedDB db;
    db.SetLanguage("en");
    std::vector<std::string> missing;
    db.SetMissingKeys(&missing);
    std::vector<TLanguageDBRecord> seen;
    db.OnGetString = [&](TLanguageDB& sender, TLanguageDBRecord& rec) {
        EXPECT_EQ(&sender, &db);
        seen.push_back(rec);
        if (rec.Key == "~Answered") {
            rec.Text = "answer";
            rec.Found = true;
        } else if (rec.Key == "~Ignored") {
            rec.Text = "not used without Found";
        }
    };
    EXPECT_EQ(db.Translate("~Known"), "Known");
    EXPECT_TRUE(seen.empty()); // a table answered: no event

    std::string text;
    EXPECT_TRUE(db.Translate("~Answered", text));
    EXPECT_EQ(text, "answer");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Code, "en");
    EXPECT_EQ(seen[0].Key, "~Answered");
    EXPECT_EQ(seen[0].Text, "~Answered");
    EXPECT_FALSE(seen[0].Found);

    EXPECT_FALSE(db.Translate("~Ignored", text));
    EXPECT_EQ(text, "~Ignored");
    EXPECT_EQ(missing, std::vector<std::string>{"~Ignored"});
}

TEST(LanguageDB, DisplayVariantDropsOneTrailingNul) {
    LoadedDB db;
    db.OnGetString = [](TLanguageDB&, TLanguageDBRecord& rec) {
        rec.Text = rec.Key.substr(1) + std::string(rec.Key == "~Two" ? 2 : 1, '\0');
        rec.Found = true;
    };
    EXPECT_EQ(db.Translate("~One"), std::string("One\0", 4));
    EXPECT_EQ(db.TranslateDisplay("~One"), "One");
    EXPECT_EQ(db.TranslateDisplayW("~Two"), std::string("Two\0", 4));
}

TEST(LanguageDB, GroupsSwitchTogetherAndRaiseOnChange) {
    auto t = Table({"~A"}, {{"de", {"A-de"}}, {"en", {"A-en"}}});
    LoadedDB main, other, preview;
    preview.SetGroup(-1);
    std::vector<std::string> changes;
    const std::pair<LoadedDB*, std::string> named[] = {
        {&main, "main:"}, {&other, "other:"}, {&preview, "preview:"}};
    std::vector<TConnection> follow;
    for (const auto& [db, name] : named)
        follow.push_back(db->OnChange.Connect([&changes, db = db, name = name](TCustomLanguageDB& sender) {
            EXPECT_EQ(&sender, db);
            changes.push_back(name + sender.Language());
        }));

    main.SetLanguage("de");
    EXPECT_EQ(changes, (std::vector<std::string>{"main:de", "other:de"}));
    EXPECT_EQ(other.Language(), "de");
    EXPECT_EQ(preview.Language(), "");

    // The preview switches alone.
    changes.clear();
    preview.SetLanguage("en");
    EXPECT_EQ(changes, std::vector<std::string>{"preview:en"});
    EXPECT_EQ(main.Language(), "de");

    // The same code in other letters is no switch.
    changes.clear();
    main.SetLanguage("DE");
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(main.Language(), "de");

    // Only databases whose code differs are switched and told.
    other.SetGroup(1);
    other.SetLanguage("en");
    other.SetGroup(0);
    changes.clear();
    main.SetLanguage("en");
    EXPECT_EQ(changes, std::vector<std::string>{"main:en"});

    // Codes keep at most four characters.
    main.SetLanguage("zhcnx");
    EXPECT_EQ(main.Language(), "zhcn");
    EXPECT_EQ(other.Language(), "zhcn");
}

TEST(LanguageDB, NoOnChangeWhileLoadingAndLoadedAdoptsALanguage) {
    auto t = Table({"~A"}, {{"de", {"A-de"}}});
    TLanguageDB loading; // its form is still being built
    int loadingChanges = 0;
    TConnection follow1 = loading.OnChange.Connect([&](TCustomLanguageDB&) { ++loadingChanges; });
    LoadedDB main;
    main.SetLanguage("de");
    EXPECT_EQ(loading.Language(), "de"); // switched with its group
    EXPECT_EQ(loadingChanges, 0);
    loading.Loaded();
    EXPECT_EQ(loadingChanges, 0); // it already has a language

    // A database created later adopts the first language it finds.
    TLanguageDB later;
    int laterChanges = 0;
    later.SetGroup(-1);
    TConnection follow2 = later.OnChange.Connect([&](TCustomLanguageDB& db) {
        ++laterChanges;
        EXPECT_FALSE(db.Loading());
    });
    later.Loaded();
    EXPECT_EQ(later.Language(), "de");
    EXPECT_EQ(later.Charset(), 1);
    EXPECT_EQ(laterChanges, 1);
    EXPECT_EQ(later.Translate("~A"), "A-de");
}

TEST(LanguageDB, LoadedWithoutAnyLanguageStaysEmpty) {
    TLanguageDB a;
    TLanguageDB b;
    int changes = 0;
    TConnection follow3 = b.OnChange.Connect([&](TCustomLanguageDB&) { ++changes; });
    a.Loaded();
    b.Loaded();
    EXPECT_EQ(b.Language(), "");
    EXPECT_EQ(changes, 0);
}

TEST(LanguageDB, DatabasesJoinAndLeaveTheProcessList) {
    const auto before = TCustomLanguageDB::LanguageDBs().size();
    {
        TLanguageDB a;
        TCustomLanguageDB b;
        const auto& list = TCustomLanguageDB::LanguageDBs();
        ASSERT_EQ(list.size(), before + 2);
        EXPECT_EQ(list[before], &a);
        EXPECT_EQ(list[before + 1], &b);
    }
    EXPECT_EQ(TCustomLanguageDB::LanguageDBs().size(), before);
}

TEST(LanguageDB, SwitchHandlerMayDestroyAnotherDatabase) {
    auto t = Table({"~A"}, {{"de", {"A-de"}}});
    LoadedDB main;
    auto other = std::make_unique<LoadedDB>();
    auto third = std::make_unique<LoadedDB>();
    int thirdChanges = 0;
    TConnection followThird = third->OnChange.Connect([&](TCustomLanguageDB&) { ++thirdChanges; });
    TConnection follow4 = main.OnChange.Connect([&](TCustomLanguageDB&) { third.reset(); });
    main.SetLanguage("de");
    EXPECT_EQ(thirdChanges, 0);
    EXPECT_EQ(other->Language(), "de");
}

// Texts shown by a grid or the shop page come from the language handed to them: with two
// databases alive, a control bound to the second shows the second's language, and a control
// given none shows the keys rather than the texts of some other database.
TEST(LanguageDB, ControlsTranslateWithTheDatabaseHandedToThem) {
    auto t = Table({"~A", "~Sorvane", "~PartsList"},
                   {{"de", {"A-de", "Sorvane-de", "Teile-de"}}, {"en", {"A-en", "Sorvane-en", "Parts-en"}}});
    LoadedDB first;
    LoadedDB second;
    first.SetGroup(1);
    first.SetLanguage("de");
    second.SetLanguage("en");
    const TTranslateFunc bySecond = [&](std::string_view key) { return second.TranslateDisplay(key); };

    TStrTableDB32Bit table;
    table.Loaded();
    table.AddColumn("X", csfString).AppendText("x");
    table.SetRows(1);
    TStringTableGridModel grid;
    grid.SetTitles({"~A"});
    grid.SetTable(&table);
    grid.Loaded();
    EXPECT_EQ(grid.Title(0), "~A"); // no translation handed in
    grid.Translate = bySecond;
    EXPECT_EQ(grid.Title(0), "A-en");

    EXPECT_EQ(ShopWindowCaption(), "~Sorvane - ~PartsList");
    EXPECT_EQ(ShopWindowCaption(bySecond), "Sorvane-en - Parts-en");
    TPartsList parts;
    TShopPage page;
    TShopPageOptions options;
    options.Translate = bySecond;
    page.Build(parts, options);
    EXPECT_NE(page.Text().find("<title>Sorvane-en</title>"), std::string::npos);

    // The display variant drops one trailing NUL.
    second.OnGetString = [](TLanguageDB&, TLanguageDBRecord& rec) {
        rec.Text = std::string("nul\0", 4);
        rec.Found = true;
    };
    EXPECT_EQ(bySecond("~Unknown"), "nul");
}
