#include "core/shell/platform.h"
#include "tests/core/shell/shell_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

TEST(Locale, CategoryPrecedenceFollowsPosix) {
    TFakeEnvironment env;
    EXPECT_EQ(LocaleOfCategory(env, "LC_MESSAGES"), "");
    env.Vars["LANG"] = "de_DE.UTF-8";
    EXPECT_EQ(LocaleOfCategory(env, "LC_MESSAGES"), "de_DE.UTF-8");
    env.Vars["LC_MESSAGES"] = "fr_FR";
    env.Vars["LC_MEASUREMENT"] = "en_US";
    EXPECT_EQ(LocaleOfCategory(env, "LC_MESSAGES"), "fr_FR");
    EXPECT_EQ(LocaleOfCategory(env, "LC_MEASUREMENT"), "en_US");
    EXPECT_EQ(LocaleOfCategory(env, "LC_NUMERIC"), "de_DE.UTF-8");
    env.Vars["LC_ALL"] = "it_IT";
    EXPECT_EQ(LocaleOfCategory(env, "LC_MESSAGES"), "it_IT");
    EXPECT_EQ(LocaleOfCategory(env, "LC_MEASUREMENT"), "it_IT");
    // Set but empty counts as not set.
    env.Vars["LC_ALL"] = "";
    env.Vars["LC_MESSAGES"] = "";
    EXPECT_EQ(LocaleOfCategory(env, "LC_MESSAGES"), "de_DE.UTF-8");
}

TEST(Locale, NamesOfALocale) {
    struct Case {
        const char* name;
        std::optional<TLocaleNames> names;
    };
    const std::vector<Case> cases = {
        {"de_DE.UTF-8", TLocaleNames{"de", "DE"}},
        {"pt_BR", TLocaleNames{"pt", "BR"}},
        {"sr_RS@latin", TLocaleNames{"sr", "RS"}},
        {"DE_de.ISO-8859-1@euro", TLocaleNames{"de", "DE"}},
        {"es_419.UTF-8", TLocaleNames{"es", "419"}},
        {"fil_PH", TLocaleNames{"fil", "PH"}},
        {"fr", TLocaleNames{"fr", ""}},
        {"en.UTF-8", TLocaleNames{"en", ""}},
        {"C", std::nullopt},
        {"C.UTF-8", std::nullopt},
        {"POSIX", std::nullopt},
        {"", std::nullopt},
        {"d1_DE", std::nullopt},
        {"de_", std::nullopt},
        {"de_D", std::nullopt},
        {"de_DEU", std::nullopt},
        {"deutsch_DE", std::nullopt},
        {"/usr/share/locale/de", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLocaleName(c.name), c.names) << c.name;
}

TEST(Locale, MeasurementSystemComesFromLcMeasurement) {
    TFakeEnvironment env;
    EXPECT_EQ(SystemMeasure(env), "0");
    env.Vars["LANG"] = "en_US.UTF-8";
    EXPECT_EQ(SystemMeasure(env), "1");
    env.Vars["LC_MEASUREMENT"] = "de_DE.UTF-8";
    EXPECT_EQ(SystemMeasure(env), "0");
    env.Vars["LC_MEASUREMENT"] = "es_US";
    EXPECT_EQ(SystemMeasure(env), "1");
    // The messages' locale does not decide the measurement system.
    env.Vars["LC_MEASUREMENT"] = "en_GB";
    env.Vars["LC_MESSAGES"] = "en_US";
    EXPECT_EQ(SystemMeasure(env), "0");
    env.Vars["LC_ALL"] = "en_US";
    EXPECT_EQ(SystemMeasure(env), "1");
    env.Vars["LC_ALL"] = "C";
    EXPECT_EQ(SystemMeasure(env), "0");
}

TEST(Locale, UserLanguageAndCountryComeFromLcMessages) {
    TFakeEnvironment env;
    EXPECT_EQ(UserLocaleNames(env), (TLocaleNames{"en", ""}));
    env.Vars["LANG"] = "de_AT.UTF-8";
    env.Vars["LC_MEASUREMENT"] = "en_US";
    EXPECT_EQ(UserLocaleNames(env), (TLocaleNames{"de", "AT"}));
    env.Vars["LC_MESSAGES"] = "pt_BR";
    EXPECT_EQ(UserLocaleNames(env), (TLocaleNames{"pt", "BR"}));
    env.Vars["LC_ALL"] = "POSIX";
    EXPECT_EQ(UserLocaleNames(env), (TLocaleNames{"en", ""}));
    env.Vars["LC_ALL"] = "not a locale";
    EXPECT_EQ(UserLocaleNames(env), (TLocaleNames{"en", ""}));
}

TEST(Folders, ConfigurationFolderFollowsXdg) {
    TFakeEnvironment env;
    EXPECT_EQ(ConfigFolder(env), "");
    env.Vars["HOME"] = "/home/anna/";
    EXPECT_EQ(ConfigFolder(env), "/home/anna/.config");
    env.Vars["XDG_CONFIG_HOME"] = "";
    EXPECT_EQ(ConfigFolder(env), "/home/anna/.config");
    // A relative value is invalid and ignored.
    env.Vars["XDG_CONFIG_HOME"] = "conf";
    EXPECT_EQ(ConfigFolder(env), "/home/anna/.config");
    env.Vars["XDG_CONFIG_HOME"] = "/data/conf/";
    EXPECT_EQ(ConfigFolder(env), "/data/conf");
    env.Vars.erase("HOME");
    EXPECT_EQ(ConfigFolder(env), "/data/conf");
}

TEST(Folders, DocumentsFolderFollowsXdgUserDirs) {
    TFakeEnvironment env;
    EXPECT_EQ(DocumentsFolder(env), "");
    env.Vars["HOME"] = "/home/anna";
    EXPECT_EQ(DocumentsFolder(env), "/home/anna/Documents");

    auto& dirs = env.Files["/home/anna/.config/user-dirs.dirs"];
    dirs = "# written by xdg-user-dirs-update\n"
           "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(DocumentsFolder(env), "/home/anna/Dokumente");

    // An absolute path, escapes, blanks; the last valid assignment wins and invalid ones
    // (relative, another variable) are skipped.
    dirs = "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\r\n"
           "  XDG_DOCUMENTS_DIR=\"/srv/Team \\\"A\\\"/\"  \r\n"
           "XDG_DOCUMENTS_DIR=\"Dokumente\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOMEPATH/x\"\n"
           "#XDG_DOCUMENTS_DIR=\"/commented\"\n";
    EXPECT_EQ(DocumentsFolder(env), "/srv/Team \"A\"");

    // "$HOME/" is the home folder itself.
    dirs = "XDG_DOCUMENTS_DIR=\"$HOME/\"\n";
    EXPECT_EQ(DocumentsFolder(env), "/home/anna");
    dirs = "XDG_DOCUMENTS_DIR=${HOME}/Docs\n";
    EXPECT_EQ(DocumentsFolder(env), "/home/anna/Docs");

    // The file is looked for in XDG_CONFIG_HOME.
    env.Vars["XDG_CONFIG_HOME"] = "/cfg";
    EXPECT_EQ(DocumentsFolder(env), "/home/anna/Documents");
    env.Files["/cfg/user-dirs.dirs"] = "XDG_DOCUMENTS_DIR=\"/mnt/docs\"\n";
    EXPECT_EQ(DocumentsFolder(env), "/mnt/docs");
    // Without a home only an absolute entry gives a folder.
    env.Vars.erase("HOME");
    EXPECT_EQ(DocumentsFolder(env), "/mnt/docs");
    env.Files["/cfg/user-dirs.dirs"] = "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
    EXPECT_EQ(DocumentsFolder(env), "");
}

TEST(PosixEnvironment, ReadsTheRealProcessEnvironment) {
    TPosixEnvironment env;
    ASSERT_EQ(::setenv("VACUUM_SHELL_TEST_VAR", "value 1", 1), 0);
    EXPECT_EQ(env.GetEnv("VACUUM_SHELL_TEST_VAR"), "value 1");
    ::unsetenv("VACUUM_SHELL_TEST_VAR");
    EXPECT_FALSE(env.GetEnv("VACUUM_SHELL_TEST_VAR"));

    TTempFolder tmp;
    WriteBytes(tmp / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/D\"\n");
    EXPECT_EQ(env.ReadTextFile(tmp / "user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/D\"\n");
    EXPECT_FALSE(env.ReadTextFile(tmp / "missing"));

    const std::string program = env.ProgramFile();
    EXPECT_EQ(std::filesystem::path(program).filename(), "test_core_shell") << program;
    EXPECT_TRUE(std::filesystem::path(program).is_absolute());
}

TEST(PosixEnvironment, StartsAProgramByPath) {
    TTempFolder tmp;
    const std::string tool = tmp / "tool.EXE";
    // The started program leaves a mark next to itself, named after its argv[0].
    WriteBytes(tool, "#!/bin/sh\necho started > \"$0.ran\"\n");
    ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);

    TPosixEnvironment env;
    ASSERT_TRUE(env.StartProcess(tool));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ReadBytes(tool + ".ran") != "started\n" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadBytes(tool + ".ran"), "started\n");

    WriteBytes(tmp / "plain.EXE", "not executable");
    EXPECT_FALSE(env.StartProcess(tmp / "plain.EXE"));
    EXPECT_FALSE(env.StartProcess(tmp / "missing.EXE"));
}
