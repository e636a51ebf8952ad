#include "core/data/orsik_connection.h"
#include "core/lang/language_table.h"
#include "tests/core/data/test_containers.h"
#include "tests/core/lang/language_test_util.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> LanguageContainer(const std::string& greeting, bool scramble = false) {
    const auto translations = RawLanguageBlob(
        {"~Hello", "~Bye"}, {{"en", {greeting, "Bye"}}, {"de", {"Hallo", "Tsch\xFC\xDF"}}});
    const auto other = RawLanguageBlob({"~Other"}, {{"en", {"other"}}});
    return MakeContainer({{"Translations", translations}, {"Other", other}}, scramble);
}

std::string Lookup(const TCustomLanguageTable& t, std::string_view code, std::string_view key) {
    std::string text;
    return t.Lookup(code, key, text) ? text : "<none>";
}

// Points the program folder at a test folder for the lifetime of the object.
struct ProgramFolder {
    explicit ProgramFolder(const std::string& folder) {
        TOrsikConnection::SetProgramFolder(folder);
    }
    ~ProgramFolder() { TOrsikConnection::SetProgramFolder(""); }
};

} // namespace

TEST(LanguageTableConnection, LoadsItsTableByNameInAnyCase) {
    for (bool scramble : {false, true}) {
        SCOPED_TRACE(testing::Message() << "scramble " << scramble);
        TTempFile file(LanguageContainer("Hello", scramble), "Vacuum.bin");
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile(file.Path());
        ASSERT_TRUE(con.Active()) << con.LastError();

        TLanguageTable32Bit t;
        t.SetTable("TRANSLATIONS");
        t.SetConnection(&con);
        EXPECT_EQ(t.Connection(), &con);
        EXPECT_EQ(t.LanguageCodes(), "de,en");
        EXPECT_EQ(Lookup(t, "DE", "~Bye"), "Tschüß");
        EXPECT_TRUE(t.LoadError().empty());

        // Another name reloads; an unknown one empties the table.
        t.SetTable("Other");
        EXPECT_EQ(Lookup(t, "en", "~Other"), "other");
        EXPECT_EQ(Lookup(t, "en", "~Hello"), "<none>");
        t.SetTable("Missing");
        EXPECT_EQ(t.KeyCount(), 0);
    }
}

TEST(LanguageTableConnection, LoadsWhenTheConnectionFinishesLoading) {
    TTempFile file(LanguageContainer("Hello"), "Vacuum.bin");
    ProgramFolder folder(file.Folder());
    // As on a form: the connection is set up while still loading; only the file name
    // counts and the container is looked for in the program folder.
    TOrsikConnection con;
    TLanguageTable32Bit t;
    t.SetTable("Translations");
    t.SetConnection(&con);
    con.SetDataFile("C:\\Somewhere\\Vacuum.bin");
    EXPECT_EQ(t.KeyCount(), 0);
    con.Loaded();
    ASSERT_TRUE(con.Active()) << con.LastError();
    EXPECT_EQ(Lookup(t, "en", "~Hello"), "Hello");
}

TEST(LanguageTableConnection, ReopeningReloadsAndLosingTheConnectionKeepsTheTexts) {
    TTempFile first(LanguageContainer("Hello"), "Vacuum.bin");
    TTempFile second(LanguageContainer("Hi"), "Vacuum.bin");
    TLanguageTable32Bit t;
    t.SetTable("Translations");
    {
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile(first.Path());
        t.SetConnection(&con);
        EXPECT_EQ(Lookup(t, "en", "~Hello"), "Hello");
        con.SetDataFile(second.Path());
        EXPECT_EQ(Lookup(t, "en", "~Hello"), "Hi");
    }
    EXPECT_EQ(t.Connection(), nullptr);
    EXPECT_EQ(Lookup(t, "en", "~Hello"), "Hi");
}

TEST(LanguageTableConnection, MissingOrCorruptContainerLeavesTheTableEmpty) {
    TLanguageTable32Bit t;
    t.SetTable("Translations");
    {
        TOrsikConnection con;
        con.Loaded();
        con.SetDataFile("/nonexistent/folder/Vacuum.bin");
        t.SetConnection(&con);
        EXPECT_FALSE(con.Active());
        EXPECT_EQ(t.KeyCount(), 0);
        EXPECT_EQ(Lookup(t, "en", "~Hello"), "<none>");
    }
    // A container whose language blob is cut short is refused as a whole.
    auto blob = RawLanguageBlob({"~Hello"}, {{"en", {"Hello"}}});
    blob.resize(blob.size() - 3);
    TTempFile bad(MakeContainer({{"Translations", blob}}, false), "Vacuum.bin");
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(bad.Path());
    t.SetConnection(&con);
    EXPECT_FALSE(con.Active());
    EXPECT_NE(con.LastError().find("Translations"), std::string::npos) << con.LastError();
    EXPECT_EQ(t.KeyCount(), 0);
}

TEST(LanguageTableConnection, StoredTableOfTheSameNameLoadsNoLanguages) {
    TStrTableDB32Bit plain;
    plain.Loaded();
    plain.AddColumn("Name", csfString).AppendText("x");
    plain.SetRows(1);
    TTempFile file(MakeContainer({{"Translations", plain.SaveToBytes()}}, false), "Vacuum.bin");
    TOrsikConnection con;
    con.Loaded();
    con.SetDataFile(file.Path());
    TLanguageTable32Bit t;
    t.SetTable("Translations");
    t.SetConnection(&con);
    EXPECT_TRUE(con.Active());
    EXPECT_EQ(t.LanguageCount(), 0);
    EXPECT_TRUE(t.LoadError().empty());
}
