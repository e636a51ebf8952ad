#include "core/shell/ini_file.h"
#include "tests/core/shell/shell_test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using TNames = std::vector<std::string>;

// A file as another program or a person might leave it, with lines joined by `eol`.
std::string HandWritten(const std::string& eol) {
    const TNames lines = {
        "; written by hand",
        "Orphan=outside any section",
        "",
        "  [ kelm ]  ",
        "  Language =  dede  ",
        "# Measure=2",
        "; Measure=3",
        "language=enus",
        "Measure=\"1\"",
        "Empty=",
        "no equals sign here",
        "=no key",
        "Path = /home/a b/x ; not a comment # nor this",
        "[OTHER]",
        "EXEName=zeb",
        "[KELM]",
        "Measure=0",
        "Later=only in the second KELM",
    };
    std::string text;
    for (const auto& l : lines) text += l + eol;
    return text;
}

} // namespace

TEST(IniFile, HandWrittenFileReadsByTheUsualRules) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(eol == "\r\n" ? "CRLF" : eol == "\n" ? "LF" : "CR");
        const TIniFile ini = TIniFile::Parse("\xEF\xBB\xBF" + HandWritten(eol));
        EXPECT_EQ(ini.Encoding(), cieUtf8Bom);
        EXPECT_EQ(ini.Sections(), (TNames{"kelm", "OTHER", "KELM"}));
        EXPECT_TRUE(ini.SectionExists("KELM"));
        EXPECT_TRUE(ini.SectionExists("Other"));
        EXPECT_FALSE(ini.SectionExists("KEL"));

        // Names in any letter case, blanks trimmed, the first key of a name wins.
        EXPECT_EQ(ini.Read("KELM", "LANGUAGE"), "dede");
        // Comment lines are no keys; one pair of quotes goes.
        EXPECT_EQ(ini.Read("kelm", "measure"), "1");
        // A present empty value is not a missing one.
        EXPECT_EQ(ini.ReadString("KELM", "Empty", "default"), "");
        EXPECT_EQ(ini.ReadString("KELM", "Missing", "default"), "default");
        // ";" and "#" inside a value are part of it.
        EXPECT_EQ(ini.Read("KELM", "Path"), "/home/a b/x ; not a comment # nor this");
        EXPECT_EQ(ini.Read("other", "exename"), "zeb");
        // Keys of a repeated section and keys outside sections are not read.
        EXPECT_FALSE(ini.Read("KELM", "Later"));
        EXPECT_FALSE(ini.Read("KELM", "Orphan"));
        EXPECT_FALSE(ini.Read("", "Orphan"));
        EXPECT_FALSE(ini.Read("KELM", "no equals sign here"));
        EXPECT_FALSE(ini.Read("KELM", ""));
        EXPECT_FALSE(ini.ValueExists("OTHER", "Measure"));
        EXPECT_FALSE(ini.Modified());
    }
}

TEST(IniFile, WritingChangesOnlyTheLineOfTheKey) {
    const std::string original = "\xEF\xBB\xBF" + HandWritten("\r\n");
    TIniFile ini = TIniFile::Parse(original);

    // Writing what is there already changes nothing.
    ini.WriteString("KELM", "Language", "dede");
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.Bytes(), original);

    ini.WriteString("kelm", "LANGUAGE", "frfr");
    EXPECT_TRUE(ini.Modified());
    std::string expected = original;
    expected.replace(expected.find("  Language =  dede  "), 20, "  Language =  frfr");
    EXPECT_EQ(ini.Bytes(), expected);
    EXPECT_EQ(TIniFile::Parse(ini.Bytes()).Read("KELM", "Language"), "frfr");
}

TEST(IniFile, NewKeysAndSectionsAreAddedWhereTheyBelong) {
    TIniFile ini = TIniFile::Parse("[A]\nx=1\n\n; about B\n[B]\ny=2\n");
    ini.WriteString("a", "z", "3");
    EXPECT_EQ(ini.Bytes(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n");
    ini.WriteString("C", "k", "v");
    EXPECT_EQ(ini.Bytes(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n\n[C]\nk=v\n");
    ini.WriteString("C", "l", "w");
    EXPECT_EQ(ini.Bytes(), "[A]\nx=1\nz=3\n\n; about B\n[B]\ny=2\n\n[C]\nk=v\nl=w\n");

    TIniFile headerOnly = TIniFile::Parse("[A]\r\n[B]\r\nk=1\r\n");
    headerOnly.WriteString("A", "k", "0");
    EXPECT_EQ(headerOnly.Bytes(), "[A]\r\nk=0\r\n[B]\r\nk=1\r\n");
    EXPECT_EQ(headerOnly.Read("B", "k"), "1");

    TIniFile noFinalLineEnd = TIniFile::Parse("[A]\nx=1");
    noFinalLineEnd.WriteString("A", "y", "2");
    EXPECT_EQ(noFinalLineEnd.Bytes(), "[A]\nx=1\ny=2\n");

    // Into a repeated section: the first one, which is also the one read.
    TIniFile twice = TIniFile::Parse("[A]\nx=1\n[a]\ny=2\n");
    twice.WriteString("A", "y", "3");
    EXPECT_EQ(twice.Bytes(), "[A]\nx=1\ny=3\n[a]\ny=2\n");

    TIniFile empty;
    empty.WriteString("KELM", "Language", "de");
    EXPECT_EQ(empty.Bytes(), "[KELM]\nLanguage=de\n");
    EXPECT_EQ(empty.Encoding(), cieUtf8);
}

TEST(IniFile, EveryValueReadsBackAsWritten) {
    const TNames values = {"",     " leading", "trailing\t",   "\"quoted\"",   "'single'", "\"",
                           "'a\"", "a=b=c",    "; no comment", "# no comment", "[x]",      "äöü €",
                           "\"\"", " ",        "C:\\dir\\"};
    TIniFile ini;
    for (size_t i = 0; i < values.size(); ++i)
        ini.WriteString("S", "k" + std::to_string(i), values[i]);
    const TIniFile back = TIniFile::Parse(ini.Bytes());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.Read("S", "k" + std::to_string(i)), values[i]) << "value " << i;
    EXPECT_EQ(back.Sections(), TNames{"S"});
}

TEST(IniFile, LineBreaksInAValueCannotInjectLines) {
    TIniFile ini;
    ini.WriteString("S", "k", "a\r\n[Evil]\nk=1");
    const TIniFile back = TIniFile::Parse(ini.Bytes());
    EXPECT_EQ(back.Sections(), TNames{"S"});
    EXPECT_EQ(back.Read("S", "k"), "a  [Evil] k=1");
}

TEST(IniFile, InvalidNamesAreRejected) {
    TIniFile ini;
    for (const auto& [section, key] :
         std::vector<std::pair<std::string, std::string>>{{"", "k"},
                                                          {"A]", "k"},
                                                          {"A\nB", "k"},
                                                          {" A", "k"},
                                                          {"A", ""},
                                                          {"A", "k=1"},
                                                          {"A", "k\r"},
                                                          {"A", "k "}}) {
        EXPECT_THROW(ini.WriteString(section, key, "v"), std::invalid_argument)
            << section << "/" << key;
    }
    EXPECT_TRUE(ini.Sections().empty());
}

// Key names that the reader would take for a section header or a comment cannot be written.
TEST(IniFile, KeyNamesThatWouldReadAsHeaderOrCommentAreRejected) {
    TIniFile ini = TIniFile::Parse("[A]\nk=1\n");
    for (const char* key : {"[x", "[x]", ";x", "#x"})
        EXPECT_THROW(ini.WriteString("A", key, "v"), std::invalid_argument) << key;
    EXPECT_FALSE(ini.Modified());
    // Inside a name the same characters are harmless.
    ini.WriteString("A", "x[1];#", "v");
    const TIniFile back = TIniFile::Parse(ini.Bytes());
    EXPECT_EQ(back.Read("A", "x[1];#"), "v");
    EXPECT_EQ(back.Read("A", "k"), "1");
    EXPECT_EQ(back.Sections(), TNames{"A"});
}

// An 8-bit file whose code page bytes, after a change, happen to form valid UTF-8 would be
// read as UTF-8 the next time: "\xC3\xA9" is "Ã©" in code page 1252 but "é" in UTF-8.
TEST(IniFile, EightBitFileThatWouldReadAsUtf8IsWrittenAsUtf8) {
    TIniFile ansi = TIniFile::Parse("[A]\nk=\xC3\xA9\nbad=\xFF\n");
    ASSERT_EQ(ansi.Encoding(), cieAnsi);
    ASSERT_EQ(ansi.Read("A", "k"), "\u00C3\u00A9");
    ansi.WriteString("A", "bad", "x"); // the only byte that was not UTF-8 goes away
    const TIniFile back = TIniFile::Parse(ansi.Bytes());
    EXPECT_EQ(back.Read("A", "k"), "\u00C3\u00A9");
    EXPECT_EQ(back.Read("A", "bad"), "x");
    // Pure ASCII stays as it is, and a file that stays invalid UTF-8 keeps its code page.
    TIniFile plain = TIniFile::Parse("[A]\nk=\xFF\n");
    plain.WriteString("A", "k", "ascii");
    EXPECT_EQ(plain.Bytes(), "[A]\nk=ascii\n");
    TIniFile kept = TIniFile::Parse("[A]\nk=\xFF\nj=1\n");
    kept.WriteString("A", "j", "\u00E4");
    EXPECT_EQ(kept.Bytes(), "[A]\nk=\xFF\nj=\xE4\n");
}

TEST(IniFile, EightBitAndUtf16FilesAreReadAndWrittenBackInTheirEncoding) {
    TIniFile ansi = TIniFile::Parse("[A]\r\nName=M\xFCller \x80\r\n");
    EXPECT_EQ(ansi.Encoding(), cieAnsi);
    EXPECT_EQ(ansi.Read("A", "Name"), "Müller €");
    ansi.WriteString("A", "Other", "Jäger");
    EXPECT_EQ(ansi.Bytes(), "[A]\r\nName=M\xFCller \x80\r\nOther=J\xE4ger\r\n");
    // A character code page 1252 cannot hold turns the file into UTF-8, which reads back.
    ansi.WriteString("A", "Other", "日本");
    const TIniFile utf8 = TIniFile::Parse(ansi.Bytes());
    EXPECT_EQ(utf8.Encoding(), cieUtf8);
    EXPECT_EQ(utf8.Read("A", "Name"), "Müller €");
    EXPECT_EQ(utf8.Read("A", "Other"), "日本");

    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("[\0A\0]\0\r\0\n\0k\0=\0"
                                                                       "\xE4\0\r\0\n\0",
                                                                       20);
    TIniFile wide = TIniFile::Parse(utf16);
    EXPECT_EQ(wide.Encoding(), cieUtf16Le);
    EXPECT_EQ(wide.Read("A", "k"), "ä");
    EXPECT_EQ(wide.Bytes(), utf16);
    wide.WriteString("A", "k", "b");
    EXPECT_EQ(wide.Bytes(), std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0b\0\r\0\n\0", 22));
}

TEST(IniFileStorage, MissingFileIsEmptyAndAFolderIsAnError) {
    TTempFolder tmp;
    TIniFile ini = TIniFile::Parse("[X]\nk=1\n");
    ASSERT_TRUE(LoadIniFile(tmp / "none.ini", ini));
    EXPECT_TRUE(ini.Sections().empty());

    std::filesystem::create_directory(tmp / "folder.ini");
    const TIniResult r = LoadIniFile(tmp / "folder.ini", ini);
    EXPECT_FALSE(r);
    EXPECT_NE(r.Message.find(tmp / "folder.ini"), std::string::npos) << r.Message;
}

TEST(IniFileStorage, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
    TTempFolder tmp;
    const std::string file = tmp / "UserSettings.ini";
    TIniFile ini;
    ini.WriteString("KELM", "Language", "de");
    ASSERT_TRUE(SaveIniFile(file, ini));
    EXPECT_EQ(ReadBytes(file), "[KELM]\nLanguage=de\n");
    EXPECT_EQ(FolderEntries(tmp.Path()), TNames{"UserSettings.ini"});
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    // The permissions of an existing file are kept.
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    TIniFile again;
    ASSERT_TRUE(LoadIniFile(file, again));
    again.WriteString("KELM", "Language", "en");
    ASSERT_TRUE(SaveIniFile(file, again));
    EXPECT_EQ(ReadBytes(file), "[KELM]\nLanguage=en\n");
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(FolderEntries(tmp.Path()), TNames{"UserSettings.ini"});
}

TEST(IniFileStorage, SaveThroughALinkReplacesTheLinkedFile) {
    TTempFolder tmp;
    std::filesystem::create_directory(tmp / "real");
    WriteBytes(tmp / "real/settings.ini", "[A]\nk=1\n");
    std::filesystem::create_directory(tmp / "conf");
    std::filesystem::create_symlink("../real/settings.ini", tmp / "conf/UserSettings.ini");

    TIniFile ini;
    ASSERT_TRUE(LoadIniFile(tmp / "conf/UserSettings.ini", ini));
    ini.WriteString("A", "k", "2");
    ASSERT_TRUE(SaveIniFile(tmp / "conf/UserSettings.ini", ini));
    EXPECT_TRUE(std::filesystem::is_symlink(tmp / "conf/UserSettings.ini"));
    EXPECT_EQ(ReadBytes(tmp / "real/settings.ini"), "[A]\nk=2\n");
    EXPECT_EQ(FolderEntries(tmp / "real"), TNames{"settings.ini"});
}

TEST(IniFileStorage, FailedWriteLeavesTheOldFileIntact) {
    TTempFolder tmp;
    const std::string file = tmp / "UserSettings.ini";
    const std::string old = "[KELM]\r\nLanguage=de\r\n";
    WriteBytes(file, old);

    TIniFile ini;
    ASSERT_TRUE(LoadIniFile(file, ini));
    ini.WriteString("KELM", "Big", std::string(100000, 'x'));

    // A file size limit makes the write stop part way, as a full disk would; this holds
    // for root too, unlike file permissions.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const TIniResult r = SaveIniFile(file, ini);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(r);
    EXPECT_NE(r.Message.find(file), std::string::npos) << r.Message;
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(FolderEntries(tmp.Path()), TNames{"UserSettings.ini"});
}

TEST(IniFileStorage, UnwritableFolderIsReportedWithTheFileName) {
    TTempFolder tmp;
    WriteBytes(tmp / "plain", "a regular file, not a folder");
    TIniFile ini;
    ini.WriteString("A", "k", "v");
    const TIniResult r = SaveIniFile(tmp / "plain/UserSettings.ini", ini);
    EXPECT_FALSE(r);
    EXPECT_NE(r.Message.find(tmp / "plain/UserSettings.ini"), std::string::npos) << r.Message;
    EXPECT_EQ(ReadBytes(tmp / "plain"), "a regular file, not a folder");
}
