// Where the programs find Vacuum.dat and Vacuum.bin: beside the executable first, then the
// folder the environment names, then the installed data folder.

#include "core/data/orsik_connection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

//! A fresh folder under the system's temporary folder with sub-folders on demand.
class TScratch {
public:
    TScratch() {
        std::string tmpl = (fs::temp_directory_path() / "data-folder-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        root_ = tmpl;
    }
    ~TScratch() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;

    std::string Folder(const std::string& name) const {
        fs::create_directories(root_ / name);
        return (root_ / name).string();
    }
    static void Put(const std::string& folder, const std::string& file) {
        std::ofstream(fs::path(folder) / file) << "x";
    }

private:
    fs::path root_;
};

//! Sets or removes an environment variable for the scope and puts the old value back.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~TScopedEnv() {
        if (had_) ::setenv(name_, old_.c_str(), 1);
        else ::unsetenv(name_);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

//! Makes a folder the program folder for the scope.
struct TProgramFolder {
    explicit TProgramFolder(const std::string& folder) { TOrsikConnection::SetProgramFolder(folder); }
    ~TProgramFolder() { TOrsikConnection::SetProgramFolder(""); }
};

} // namespace

TEST(DataFolder, TheContainersBesideTheProgramWinOverEveryOtherFolder) {
    TScratch s;
    const std::string program = s.Folder("bin"), env = s.Folder("env"), installed = s.Folder("share");
    for (const std::string& f : {program, env, installed}) TScratch::Put(f, "Vacuum.dat");
    EXPECT_EQ(ChooseDataFolder(program, env, installed), program);
    EXPECT_EQ(ChooseDataFolder(program, "", installed), program);
    // The product container decides; a language container alone beside the program does not.
    const std::string onlyLanguages = s.Folder("bin2");
    TScratch::Put(onlyLanguages, "Vacuum.bin");
    EXPECT_EQ(ChooseDataFolder(onlyLanguages, "", installed), installed);
    // Nor does a folder that happens to be called Vacuum.dat.
    const std::string folderNamed = s.Folder("bin3");
    fs::create_directory(fs::path(folderNamed) / "Vacuum.dat");
    EXPECT_EQ(ChooseDataFolder(folderNamed, "", installed), installed);
}

TEST(DataFolder, WithoutContainersBesideTheProgramTheEnvironmentThenTheInstalledFolderIsUsed) {
    TScratch s;
    const std::string program = s.Folder("usr/bin");
    const std::string installed = s.Folder("usr/share/vacuum-designer");
    const std::string relocated = s.Folder("elsewhere/usr/share/vacuum-designer");
    TScratch::Put(installed, "Vacuum.dat");
    TScratch::Put(relocated, "Vacuum.dat");
    // The environment's folder is taken as named, so that a wrong one is what a missing
    // container is reported against.
    EXPECT_EQ(ChooseDataFolder(program, relocated, installed), relocated);
    const std::string empty = s.Folder("empty");
    EXPECT_EQ(ChooseDataFolder(program, empty, installed), empty);
    // Unset (or empty), the installed folder when it holds the product container.
    EXPECT_EQ(ChooseDataFolder(program, "", installed), installed);
    // Nothing anywhere: the program folder, where a missing container is reported.
    EXPECT_EQ(ChooseDataFolder(program, "", empty), program);
    EXPECT_EQ(ChooseDataFolder(program, "", ""), program);
    EXPECT_EQ(ChooseDataFolder(program, "", s.Folder("none") + "/missing"), program);
}

TEST(DataFolder, TheProgramsFollowTheProgramFolderAndTheEnvironment) {
    TScratch s;
    const std::string program = s.Folder("bin"), relocated = s.Folder("root/share");
    TProgramFolder folder(program);
    {
        TScopedEnv env("VACUUM_DATA_DIR", relocated.c_str());
        EXPECT_EQ(TOrsikConnection::DataFolder(), relocated);
        TScratch::Put(program, "Vacuum.dat");
        EXPECT_EQ(TOrsikConnection::DataFolder(), program);
    }
    {
        TScopedEnv env("VACUUM_DATA_DIR", nullptr);
        EXPECT_EQ(TOrsikConnection::DataFolder(), program);
    }
}

TEST(DataFolder, TheInstalledFolderIsTheSharedDataFolderOfTheInstallPrefix) {
    const fs::path installed = InstalledDataFolder();
    EXPECT_TRUE(installed.is_absolute()) << installed;
    EXPECT_EQ(installed.filename(), "vacuum-designer");
    EXPECT_EQ(installed.parent_path().filename(), "share");
}
