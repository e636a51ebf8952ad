#include "core/data/shop_page.h"
#include "core/quantities/file_menu.h"
#include "core/shell/ini_file.h"
#include "core/shell/user_settings.h"
#include "core/shell/version.h"
#include "tests/core/shell/shell_test_support.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using TArgs = std::vector<std::string>;
using TNames = std::vector<std::string>;

class UserSettings : public ::testing::Test {
protected:
    UserSettings() {
        env.Vars["HOME"] = tmp / "home";
        env.Vars["LANG"] = "de_DE.UTF-8";
    }

    std::string IniPath() const { return tmp / "home/.config/Orsik/KELM/UserSettings.ini"; }

    TIniFile IniOnDisk() const { return TIniFile::Parse(ReadBytes(IniPath())); }

    std::unique_ptr<TTavUserSettings> Load(const TArgs& args = {}) {
        auto s = std::make_unique<TTavUserSettings>(env);
        s->SetSection("KELM");
        s->OnCreateSection = [this](TTavUserSettings& sender) {
            ++createSectionCalls;
            // The handler's values are saved with those of the load step, in one write.
            EXPECT_GT(sender.AccessCount(), 0);
            fileExistedInHandler = fs::exists(IniPath());
            sender.WriteRecentFiles(TFileMenu());
        };
        s->Loaded(args);
        EXPECT_EQ(s->AccessCount(), 0);
        return s;
    }

    TTempFolder tmp;
    TFakeEnvironment env;
    int createSectionCalls = 0;
    bool fileExistedInHandler = false;
};

} // namespace

TEST_F(UserSettings, FirstRunCreatesTheFolderTheSectionAndEveryKey) {
    const auto s = Load();
    EXPECT_TRUE(s->FirstRun());
    EXPECT_EQ(createSectionCalls, 1);
    EXPECT_FALSE(fileExistedInHandler);
    EXPECT_EQ(s->FileName(), IniPath());
    EXPECT_EQ(s->LastError(), "");

    const TIniFile ini = IniOnDisk();
    EXPECT_EQ(ini.Sections(), TNames{"KELM"});
    EXPECT_EQ(ini.Read("KELM", "EXEDir"), "/opt/orsik/bin/");
    EXPECT_EQ(ini.Read("KELM", "EXEName"), "vacuum-gripper");
    EXPECT_EQ(ini.Read("KELM", "Version"), s->Version());
    EXPECT_EQ(ini.Read("KELM", "DataDir"), tmp / "home/Documents");
    EXPECT_EQ(ini.Read("KELM", "Measure"), "0");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ini.Read("KELM", "File" + std::to_string(i)), "") << i;
    EXPECT_FALSE(ini.ValueExists("KELM", "File8"));
    // The language is written when it is chosen, not at load.
    EXPECT_FALSE(ini.ValueExists("KELM", "Language"));
    EXPECT_TRUE(fs::is_directory(tmp / "home/Documents"));

    EXPECT_EQ(s->Language(), "dede");
    EXPECT_EQ(s->Measure(), "0");
    EXPECT_EQ(FolderEntries(tmp / "home/.config/Orsik/KELM"), TNames{"UserSettings.ini"});
}

TEST_F(UserSettings, LaterRunReadsTheSectionAndRewritesOnlyTheProgramKeys) {
    Load();
    TIniFile ini = IniOnDisk();
    ini.WriteString("KELM", "DataDir", "/elsewhere");
    ini.WriteString("KELM", "Measure", "1");
    ini.WriteString("KELM", "Language", "enus");
    ini.WriteString("KELM", "EXEDir", "/old/");
    ini.WriteString("KELM", "Version", "0.0.0.1");
    ini.WriteString("KELM", "File0", "/p/a.vac");
    ini.WriteString("ZEB", "EXEName", "zeb");
    WriteBytes(IniPath(), ini.Bytes());

    env.Program = "/usr/local/bin/vacuum";
    const auto s = Load();
    EXPECT_FALSE(s->FirstRun());
    EXPECT_EQ(createSectionCalls, 1);
    EXPECT_EQ(s->Language(), "enus");
    EXPECT_EQ(s->Measure(), "1");

    const TIniFile after = IniOnDisk();
    EXPECT_EQ(after.Read("KELM", "EXEDir"), "/usr/local/bin/");
    EXPECT_EQ(after.Read("KELM", "EXEName"), "vacuum");
    EXPECT_EQ(after.Read("KELM", "Version"), s->Version());
    EXPECT_EQ(after.Read("KELM", "DataDir"), "/elsewhere");
    EXPECT_EQ(after.Read("KELM", "File0"), "/p/a.vac");
    EXPECT_EQ(after.Read("ZEB", "EXEName"), "zeb");
}

TEST_F(UserSettings, HandWrittenSettingsFileIsReadAndKeptAsItIs) {
    const std::string text = "\xEF\xBB\xBF; my settings\r\n"
                             "[kelm]\r\n"
                             "  Language = enus  \r\n"
                             "measure=1\r\n"
                             "\r\n"
                             "# the moment-of-inertia tool\r\n"
                             "[Zeb]\r\n"
                             "EXEName=zeb\r\n";
    WriteBytes(IniPath(), text);
    const auto s = Load();
    EXPECT_FALSE(s->FirstRun());
    EXPECT_EQ(createSectionCalls, 0);
    EXPECT_EQ(s->Language(), "enus");
    EXPECT_EQ(s->Measure(), "1");
    EXPECT_EQ(ReadBytes(IniPath()), "\xEF\xBB\xBF; my settings\r\n"
                                    "[kelm]\r\n"
                                    "  Language = enus  \r\n"
                                    "measure=1\r\n"
                                    "EXEDir=/opt/orsik/bin/\r\n"
                                    "EXEName=vacuum-gripper\r\n"
                                    "Version=" +
                                        s->Version() +
                                        "\r\n"
                                        "\r\n"
                                        "# the moment-of-inertia tool\r\n"
                                        "[Zeb]\r\n"
                                        "EXEName=zeb\r\n");
}

TEST_F(UserSettings, EveryKeyIsWrittenAndReadBack) {
    auto s = Load();
    s->SetLanguage("ptbr-x");
    EXPECT_EQ(s->Language(), "ptbr");
    s->SetMeasure("1");
    EXPECT_EQ(s->Measure(), "1");
    s->WriteValue("Custom", "a value");

    TFileMenu menu;
    menu.SetMaxFiles(8);
    for (const char* f : {"/p/c.vac", "/p/b.vac", "/p/a.vac"}) menu.Add(f);
    s->WriteRecentFiles(menu);

    const TIniFile ini = IniOnDisk();
    EXPECT_EQ(ini.Read("KELM", "Language"), "ptbr");
    EXPECT_EQ(ini.Read("KELM", "Measure"), "1");
    EXPECT_EQ(ini.Read("KELM", "File0"), "/p/a.vac");
    EXPECT_EQ(ini.Read("KELM", "File2"), "/p/c.vac");
    EXPECT_EQ(ini.Read("KELM", "File3"), "");
    EXPECT_EQ(ini.Read("KELM", "File7"), "");

    s = Load();
    EXPECT_EQ(s->Language(), "ptbr");
    EXPECT_EQ(s->Measure(), "1");
    EXPECT_EQ(s->ReadValue("Custom", "default"), "a value");
    EXPECT_EQ(s->ReadValue("custom", "default"), "a value");
    EXPECT_EQ(s->ReadValue("Missing", "default"), "default");
    TFileMenu back;
    back.SetMaxFiles(8);
    s->ReadRecentFiles(back);
    EXPECT_EQ(back.Files(), (TNames{"/p/a.vac", "/p/b.vac", "/p/c.vac"}));

    // Reading stops at the first empty entry.
    s->WriteValue("File1", "");
    TFileMenu gap;
    gap.SetMaxFiles(8);
    s->ReadRecentFiles(gap);
    EXPECT_EQ(gap.Files(), TNames{"/p/a.vac"});
}

TEST_F(UserSettings, NestedAccessSharesOneFileAndSavesAtTheOutermostEnd) {
    auto s = Load();
    const std::string before = ReadBytes(IniPath());

    s->BeginAccess();
    s->BeginAccess();
    EXPECT_EQ(s->AccessCount(), 2);
    s->WriteValue("A", "1");
    s->SetLanguage("en");
    EXPECT_TRUE(s->EndAccess());
    EXPECT_EQ(s->AccessCount(), 1);
    EXPECT_EQ(ReadBytes(IniPath()), before);
    // The open file already holds the new values.
    EXPECT_EQ(s->ReadValue("A", ""), "1");
    EXPECT_TRUE(s->EndAccess());
    EXPECT_EQ(s->AccessCount(), 0);
    EXPECT_EQ(IniOnDisk().Read("KELM", "A"), "1");
    EXPECT_EQ(IniOnDisk().Read("KELM", "Language"), "en");

    // The counter never goes below 0.
    EXPECT_TRUE(s->EndAccess());
    EXPECT_EQ(s->AccessCount(), 0);
    s->BeginAccess();
    EXPECT_EQ(s->AccessCount(), 1);
    s->EndAccess();

    // Each outermost access reads the file again, so changes of other programs are seen
    // and kept.
    TIniFile other = IniOnDisk();
    other.WriteString("KELM", "A", "2");
    other.WriteString("OTHER", "k", "v");
    WriteBytes(IniPath(), other.Bytes());
    EXPECT_EQ(s->ReadValue("A", ""), "2");
    s->WriteValue("B", "3");
    EXPECT_EQ(IniOnDisk().Read("OTHER", "k"), "v");
    EXPECT_EQ(IniOnDisk().Read("KELM", "B"), "3");
}

TEST_F(UserSettings, SectionExistsIgnoresLetterCase) {
    const auto s = Load();
    EXPECT_TRUE(s->SectionExists("KELM"));
    EXPECT_TRUE(s->SectionExists("kelm"));
    EXPECT_FALSE(s->SectionExists("ZEB"));
    EXPECT_EQ(s->AccessCount(), 0);
}

TEST_F(UserSettings, StartUpLanguagePrefersTheStoredOneThenTheLocale) {
    const TNames deEn = {"de", "en"};
    // Nothing stored: the locale code, matched.
    {
        const auto s = Load();
        EXPECT_EQ(s->DefaultLanguageCode(), "dede");
        EXPECT_EQ(s->StartLanguage(deEn), "de");
        EXPECT_EQ(s->StartLanguage({"en", "dede"}), "dede");
        EXPECT_EQ(s->StartLanguage({"en"}), "dede");
    }
    const auto stored = [&](const std::string& code) {
        TTavUserSettings s(env);
        s.SetSection("KELM");
        s.SetLanguage(code);
        return Load();
    };
    EXPECT_EQ(stored("dede")->StartLanguage(deEn), "de");
    EXPECT_EQ(stored("pt")->StartLanguage({"en", "ptbr"}), "ptbr");
    EXPECT_EQ(stored("enus")->StartLanguage({"de", "en", "enus"}), "enus");
    EXPECT_EQ(stored("en")->StartLanguage({"de", "engb", "enus"}), "engb");
    // Nothing matches: the locale code, even when it is not available.
    EXPECT_EQ(stored("xx")->StartLanguage({"fr", "it"}), "dede");
    EXPECT_EQ(stored("xxyy")->StartLanguage(deEn), "dede");

    // Without a usable locale the default is English.
    env.Vars["LANG"] = "C";
    env.Vars["HOME"] = tmp / "other-home";
    const auto c = Load();
    EXPECT_EQ(c->LocaleLanguage(), "en");
    EXPECT_EQ(c->LocaleCountry(), "");
    EXPECT_EQ(c->DefaultLanguageCode(), "en");
    EXPECT_EQ(c->Language(), "en");
    EXPECT_EQ(c->StartLanguage({"de", "enus"}), "enus");
}

TEST_F(UserSettings, LocaleCodeComesFromTheMessagesLocale) {
    env.Vars["LC_MESSAGES"] = "PT_br.UTF-8";
    env.Vars["LC_MEASUREMENT"] = "en_US.UTF-8";
    const TTavUserSettings s(env);
    EXPECT_EQ(s.LocaleLanguage(), "pt");
    EXPECT_EQ(s.LocaleCountry(), "BR");
    EXPECT_EQ(s.DefaultLanguageCode(), "ptbr");
    EXPECT_EQ(s.SystemMeasure(), "1");
}

TEST_F(UserSettings, MeasureComesFromTheLocaleOnTheFirstRunOnly) {
    env.Vars["LC_MEASUREMENT"] = "en_US.UTF-8";
    auto s = Load();
    EXPECT_EQ(s->SystemMeasure(), "1");
    EXPECT_EQ(s->Measure(), "1");
    EXPECT_EQ(IniOnDisk().Read("KELM", "Measure"), "1");

    env.Vars["LC_MEASUREMENT"] = "de_DE.UTF-8";
    s = Load();
    EXPECT_EQ(s->SystemMeasure(), "0");
    EXPECT_EQ(s->Measure(), "1");

    // A section without the key reads the locale's value but does not store it.
    WriteBytes(IniPath(), "[KELM]\nLanguage=de\n");
    s = Load();
    EXPECT_EQ(s->Measure(), "0");
    EXPECT_FALSE(IniOnDisk().ValueExists("KELM", "Measure"));
}

TEST_F(UserSettings, MessageTextsAreBuiltInOrFromTheHandler) {
    TTavUserSettings s(env);
    EXPECT_EQ(s.GetString(csxError), "Error");
    EXPECT_EQ(s.GetString(csxProgramCouldNotBeStarted), "Program could not be started.");
    std::vector<std::string> seen;
    s.OnGetString = [&](TTavUserSettings&, TOrsikIniGetStringIndex index, std::string& text) {
        seen.push_back(text);
        text = index == csxError ? "Fehler" : "Programm konnte nicht gestartet werden.";
    };
    EXPECT_EQ(s.GetString(csxError), "Fehler");
    EXPECT_EQ(s.GetString(csxProgramCouldNotBeStarted), "Programm konnte nicht gestartet werden.");
    EXPECT_EQ(seen, (TNames{"Error", "Program could not be started."}));
}

TEST_F(UserSettings, StartProgramRunsTheProgramASectionDescribes) {
    auto s = Load();
    std::vector<std::pair<std::string, std::string>> messages;
    s->OnShowMessage = [&](TTavUserSettings&, const std::string& caption, const std::string& text) {
        messages.emplace_back(caption, text);
    };
    const std::string tools = tmp / "tools";
    for (const char* f : {"tool.EXE", "tool.exe.EXE", "TOOL.EXE"}) WriteBytes(tools + "/" + f, "");

    const auto describe = [&](const std::string& dir, const std::string& name) {
        TIniFile ini = IniOnDisk();
        ini.WriteString("ZEB", "EXEDir", dir);
        ini.WriteString("ZEB", "EXEName", name);
        WriteBytes(IniPath(), ini.Bytes());
    };

    // The ".EXE" ending is tested case-sensitively; one trailing separator is dropped.
    describe(tools + "/", "tool");
    EXPECT_TRUE(s->StartProgram("ZEB"));
    describe(tools, "tool.exe");
    EXPECT_TRUE(s->StartProgram("zeb"));
    describe(tools + "\\", "TOOL.EXE");
    EXPECT_TRUE(s->StartProgram("ZEB"));
    EXPECT_EQ(env.Started,
              (TNames{tools + "/tool.EXE", tools + "/tool.exe.EXE", tools + "/TOOL.EXE"}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(s->AccessCount(), 0);
}

TEST_F(UserSettings, StartProgramReportsEveryFailureWithOneMessage) {
    auto s = Load();
    int shown = 0;
    s->OnGetString = [](TTavUserSettings&, TOrsikIniGetStringIndex index, std::string& text) {
        text = index == csxError ? "Fehler" : "Programm konnte nicht gestartet werden.";
    };
    s->OnShowMessage = [&](TTavUserSettings& sender, const std::string& caption,
                           const std::string& text) {
        ++shown;
        EXPECT_EQ(caption, "Fehler");
        EXPECT_EQ(text, "Programm konnte nicht gestartet werden.");
        // The file is closed before the message is shown.
        EXPECT_EQ(sender.AccessCount(), 0);
    };
    const std::string tools = tmp / "tools";
    WriteBytes(tools + "/tool.EXE", "");
    const auto describe = [&](const std::string& name) {
        TIniFile ini = IniOnDisk();
        ini.WriteString("ZEB", "EXEDir", tools + "/");
        ini.WriteString("ZEB", "EXEName", name);
        WriteBytes(IniPath(), ini.Bytes());
    };

    // Not described.
    EXPECT_FALSE(s->StartProgram("ZEB"));
    EXPECT_EQ(shown, 1);
    // Described, but no such file (tool.exe becomes tool.exe.EXE).
    describe("tool.exe");
    EXPECT_FALSE(s->StartProgram("ZEB"));
    EXPECT_EQ(shown, 2);
    // "###" stands for "not described".
    describe("###");
    EXPECT_FALSE(s->StartProgram("ZEB"));
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(env.Started.empty());
    // The process cannot be started.
    describe("tool");
    env.StartSucceeds = false;
    EXPECT_FALSE(s->StartProgram("ZEB"));
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(env.Started, TNames{tools + "/tool.EXE"});
}

TEST_F(UserSettings, UnwritableConfigurationFolderDoesNotStopStartUp) {
    WriteBytes(tmp / "home/.config", "a file where the folder should be");
    const auto s = Load();
    EXPECT_TRUE(s->FirstRun());
    EXPECT_EQ(createSectionCalls, 1);
    EXPECT_EQ(s->Language(), "dede");
    EXPECT_EQ(s->Measure(), "0");
    EXPECT_NE(s->LastError().find(IniPath()), std::string::npos) << s->LastError();
    EXPECT_EQ(ReadBytes(tmp / "home/.config"), "a file where the folder should be");
}

TEST_F(UserSettings, FileThatCannotBeReadIsNotOverwritten) {
    WriteBytes(IniPath(), "[KELM]\nLanguage=en\n");
    // Larger than any settings file is allowed to be (sparse, so the test stays fast).
    fs::resize_file(IniPath(), cIniMaxFileSize + 1);
    const auto s = Load();
    EXPECT_NE(s->LastError().find(IniPath()), std::string::npos) << s->LastError();
    EXPECT_NE(s->LastError().find("left unchanged"), std::string::npos) << s->LastError();
    EXPECT_EQ(fs::file_size(IniPath()), cIniMaxFileSize + 1);
    EXPECT_EQ(ReadBytes(IniPath()).substr(0, 20), std::string("[KELM]\nLanguage=en\n") + '\0');
}

TEST_F(UserSettings, WithoutAnyConfigurationFolderNothingIsKept) {
    env.Vars.erase("HOME");
    const auto s = Load();
    EXPECT_EQ(s->FileName(), "");
    EXPECT_TRUE(s->FirstRun());
    EXPECT_EQ(s->Language(), "dede");
    EXPECT_NE(s->LastError(), "");
    EXPECT_EQ(s->DocumentsFolder(), "");
}

TEST_F(UserSettings, ConfigurationFolderAndSectionNameMakeThePath) {
    env.Vars["XDG_CONFIG_HOME"] = tmp / "xdg";
    TTavUserSettings s(env);
    s.SetSection(std::string(50, 'S'));
    EXPECT_EQ(s.Section(), std::string(40, 'S'));
    EXPECT_EQ(s.FileName(), tmp / "xdg/Orsik/" + std::string(40, 'S') + "/UserSettings.ini");
    s.SetSection("Ä" + std::string(45, 'x'));
    EXPECT_EQ(s.Section(), "Ä" + std::string(39, 'x'));

    TTavUserSettings none(env);
    EXPECT_THROW(none.Loaded({}), std::logic_error);
}

TEST_F(UserSettings, LoadReadsTheCommandLine) {
    const auto s = Load({"/SAP", "/WERK=1000", "/PFAD=/srv/out", "/FILE=order.txt"});
    EXPECT_TRUE(s->SapExportEnabled());
    EXPECT_EQ(s->PlantCode(), "1000");
    EXPECT_EQ(s->ExportFolder(), "/srv/out");
    EXPECT_EQ(s->ExportFileName(), "order.txt");
}

TEST_F(UserSettings, VersionIsTheProgramVersionInFourParts) {
    const TTavUserSettings s(env);
    EXPECT_EQ(s.Version(), ProgramVersion());
    EXPECT_EQ(s.Version(), FourPartVersion(s.Version()));
    EXPECT_NE(s.Version(), "-1");
}

TEST_F(UserSettings, CurrencyIsASettingWithTheEuroAsDefault) {
    // Not written on the first run.
    auto s = Load();
    EXPECT_EQ(s->Currency(), "€");
    EXPECT_EQ(IniOnDisk().ReadString("KELM", "Currency", "(none)"), "(none)");
    s->WriteValue("Currency", "CHF");
    s = Load();
    EXPECT_EQ(s->Currency(), "CHF");
    // Written and read through the file's code page.
    s->WriteValue("Currency", "£");
    s = Load();
    EXPECT_EQ(s->Currency(), "£");
    // An empty symbol, or a text no currency sign is, falls back.
    s->WriteValue("Currency", "");
    EXPECT_EQ(Load()->Currency(), "€");
    s->WriteValue("Currency", std::string(17, 'x'));
    EXPECT_EQ(Load()->Currency(), "€");
}

TEST_F(UserSettings, ShopServerIsASettingWithTheBuiltInDefault) {
    // Not written on the first run: a missing key keeps following the built-in address.
    auto s = Load();
    EXPECT_EQ(s->ShopUrl(), cDefaultShopServer);
    EXPECT_EQ(IniOnDisk().ReadString("KELM", "ShopUrl", "(none)"), "(none)");

    s->WriteValue("ShopUrl", "https://basket.test/eu/");
    s = Load();
    EXPECT_EQ(s->ShopUrl(), "https://basket.test/eu");

    // Only an https address is posted to.
    s->WriteValue("ShopUrl", "http://basket.test");
    s = Load();
    EXPECT_EQ(s->ShopUrl(), cDefaultShopServer);
    // The value is the user's: it stays in the file as written.
    EXPECT_EQ(IniOnDisk().ReadString("KELM", "ShopUrl", ""), "http://basket.test");

    // Plain http only to a server on this machine.
    s->WriteValue("ShopUrl", "http://127.0.0.1:8080/");
    s = Load();
    EXPECT_EQ(s->ShopUrl(), "http://127.0.0.1:8080");
    s->WriteValue("ShopUrl", "http://localhost.basket.test:8080");
    s = Load();
    EXPECT_EQ(s->ShopUrl(), cDefaultShopServer);
}
