#include "core/lang/application_strings.h"
#include "core/lang/language_table.h"
#include "core/shell/ini_file.h"
#include "core/shell/startup.h"
#include "core/shell/user_settings.h"
#include "core/shell/version.h"
#include "tests/core/lang/language_test_util.h"
#include "tests/core/shell/shell_test_support.h"

#include <gtest/gtest.h>

TEST(SplashTimer, ClosesAtTheSixthTickAndRefusesEarlyCloseRequests) {
    TSplashTimer timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_FALSE(timer.CloseQuery());
    EXPECT_FALSE(timer.Tick());
    EXPECT_FALSE(timer.CloseQuery());
    EXPECT_FALSE(timer.Tick());
    EXPECT_TRUE(timer.CloseQuery());
    for (int tick = 3; tick <= 5; ++tick) EXPECT_FALSE(timer.Tick()) << tick;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(timer.Tick());
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Ticks(), 6);
    // Stopped: shown again later it closes on request at once and never by itself.
    EXPECT_FALSE(timer.Tick());
    EXPECT_EQ(timer.Ticks(), 6);
    EXPECT_TRUE(timer.CloseQuery());
}

TEST(SplashHandlers, MessagesAreTranslatedAndTheFirstRunWritesTheRecentFiles) {
    TLanguageTable32Bit table;
    table.LoadFromStream(RawLanguageBlob(
        {"~Error", "~PrgCouldNotBeStarted"},
        {{"de", {"Fehler", "Programm konnte nicht gestartet werden."}}, {"en", {"Error!", ""}}}));
    TLanguageDB db;
    db.OnGetString = LanguageDB1GetString;
    db.Loaded();
    db.SetLanguage("de");

    TTempFolder tmp;
    TFakeEnvironment env;
    env.Vars["XDG_CONFIG_HOME"] = tmp / "cfg";
    TTavUserSettings settings(env);
    settings.SetSection("KELM");
    AttachSplashHandlers(settings, db);
    EXPECT_EQ(settings.GetString(csxError), "Fehler");
    EXPECT_EQ(settings.GetString(csxProgramCouldNotBeStarted),
              "Programm konnte nicht gestartet werden.");
    db.SetLanguage("en");
    EXPECT_EQ(settings.GetString(csxError), "Error!");

    settings.Loaded({});
    ASSERT_TRUE(settings.FirstRun());
    const TIniFile ini = TIniFile::Parse(ReadBytes(settings.FileName()));
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ini.Read("KELM", "File" + std::to_string(i)), "") << i;
    EXPECT_FALSE(ini.ValueExists("KELM", "File8"));
}

TEST(SplashHandlers, VersionLabelReplacesThePlaceholder) {
    EXPECT_EQ(VersionLabelText("Version %s", "0.1.0.0"), "Version 0.1.0.0");
    EXPECT_EQ(VersionLabelText("%s (%s)", "1.2.3.4"), "1.2.3.4 (1.2.3.4)");
    EXPECT_EQ(VersionLabelText("~Version%s", ""), "~Version");
    EXPECT_EQ(VersionLabelText("100% %d", "1"), "100% %d");
}

TEST(Version, DottedVersionInFourParts) {
    EXPECT_EQ(FourPartVersion("0.1.0"), "0.1.0.0");
    EXPECT_EQ(FourPartVersion("2"), "2.0.0.0");
    EXPECT_EQ(FourPartVersion("1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(FourPartVersion("01.002.0.00"), "1.2.0.0");
    for (const char* bad :
         {"", "1.2.3.4.5", "1..2", "1.2.", ".1", "1.2a", "v1.2", "1.-2", "1234567890"})
        EXPECT_EQ(FourPartVersion(bad), "-1") << bad;
    const std::string v = ProgramVersion();
    EXPECT_EQ(FourPartVersion(v), v);
    EXPECT_LE(v.size(), 20u);
}
