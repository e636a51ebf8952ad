#pragma once

// A fake environment and a temporary folder, so that no test reads the real locale or
// touches the real configuration folder.

#include "core/shell/platform.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

class TFakeEnvironment : public TPlatformEnvironment {
public:
    std::map<std::string, std::string> Vars;
    //! Files only this environment can read (user-dirs.dirs and the like).
    std::map<std::string, std::string> Files;
    std::string Program = "/opt/orsik/bin/vacuum-gripper";
    bool StartSucceeds = true;
    std::vector<std::string> Started;

    std::optional<std::string> GetEnv(const std::string& name) const override {
        const auto it = Vars.find(name);
        if (it == Vars.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> ReadTextFile(const std::string& path) const override {
        const auto it = Files.find(path);
        if (it == Files.end()) return std::nullopt;
        return it->second;
    }
    std::string ProgramFile() const override { return Program; }
    bool StartProcess(const std::string& path) override {
        Started.push_back(path);
        return StartSucceeds;
    }
};

//! A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "shell-test-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        FPath = tmpl;
    }
    ~TTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

inline std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteBytes(const std::string& file, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

//! Names of the entries of a folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
