// Input: one options byte, the bytes of a settings file, and optionally "\0\0" followed by
// writes (records "section \x01 key \x01 value" separated by \x02).
//
// Parsing never fails; the file written back reads back to the same sections and values
// and is a fixed point of reading and writing. Values written read back as given (line
// breaks as blanks), and every value not written stays as it was. With bit 0 of the
// options the bytes are also the user settings file of the program's section, which the
// start-up step loads and saves: it adds its own values and changes nothing else.

#include "core/quantities/file_menu.h"
#include "core/shell/ini_file.h"
#include "core/shell/platform.h"
#include "core/shell/user_settings.h"
#include "core/util/codepage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Broken(const char* what, std::string_view a = {}, std::string_view b = {}) {
    std::fprintf(stderr, "invariant broken: %s\n [%.*s]\n [%.*s]\n", what,
                 static_cast<int>(a.size()), a.data(), static_cast<int>(b.size()), b.data());
    std::abort();
}

std::string Fold(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

using TName = std::pair<std::string, std::string>; // section, key

// Section and key names that the lines of a decoded text may hold, found independently of
// the reader: what stands between "[" and "]" and what stands before "=".
std::vector<TName> Candidates(std::string_view text) {
    std::vector<TName> names;
    std::string section;
    size_t pos = 0;
    while (pos < text.size() && names.size() < 64) {
        size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string_view::npos) eol = text.size();
        const std::string_view line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (!line.empty() && line.front() == '[') {
            section = Trim(line.substr(1, line.find(']') - 1));
        } else if (const size_t eq = line.find('='); eq != std::string_view::npos) {
            names.emplace_back(section, Trim(line.substr(0, eq)));
        }
    }
    return names;
}

std::string Decoded(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16LeToUtf8(bytes.substr(2));
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

// What the settings API takes: UTF-8.
std::string AsUtf8(std::string_view s) {
    return IsValidUtf8(s) ? std::string(s) : Cp1252ToUtf8(s);
}

std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return s;
}

struct TWrite {
    std::string Section, Key, Value;
};

std::vector<TWrite> Writes(std::string_view script) {
    std::vector<TWrite> writes;
    size_t pos = 0;
    while (pos <= script.size() && writes.size() < 16) {
        size_t end = script.find('\x02', pos);
        if (end == std::string_view::npos) end = script.size();
        const std::string_view record = script.substr(pos, end - pos);
        pos = end + 1;
        const size_t a = record.find('\x01');
        const size_t b = a == std::string_view::npos ? a : record.find('\x01', a + 1);
        if (b == std::string_view::npos) continue;
        writes.push_back({AsUtf8(record.substr(0, a)), AsUtf8(record.substr(a + 1, b - a - 1)),
                          AsUtf8(record.substr(b + 1))});
    }
    return writes;
}

void SameValues(const TIniFile& a, const TIniFile& b, const std::vector<TName>& names,
                const char* what) {
    if (a.Sections() != b.Sections()) Broken(what, "sections differ");
    for (const auto& [s, k] : names)
        if (a.Read(s, k) != b.Read(s, k)) Broken(what, s, k);
}

void CheckFile(std::string_view bytes, std::string_view script) {
    const std::vector<TName> names = Candidates(Decoded(bytes));
    const TIniFile original = TIniFile::Parse(bytes);
    const std::string written = original.Bytes();
    const TIniFile again = TIniFile::Parse(written);
    SameValues(original, again, names, "written file reads back to other values");
    if (again.Bytes() != written) Broken("writing is not a fixed point", written, again.Bytes());

    const std::vector<TWrite> writes = Writes(script);
    if (writes.empty()) return;
    TIniFile changed = TIniFile::Parse(bytes);
    std::map<TName, std::string> expected;
    for (const TWrite& w : writes) {
        try {
            changed.WriteString(w.Section, w.Key, w.Value);
        } catch (const std::invalid_argument&) {
            continue; // a name the file cannot hold
        }
        expected[{Fold(w.Section), Fold(w.Key)}] = OneLine(w.Value);
        // Kept in the table of names so that it is compared after the other writes too.
    }
    const TIniFile reread = TIniFile::Parse(changed.Bytes());
    for (const auto& [name, value] : expected) {
        const std::optional<std::string> got = reread.Read(name.first, name.second);
        if (got != value)
            Broken("written value does not read back", name.second, got.value_or("<none>"));
    }
    for (const auto& [s, k] : names)
        if (!expected.count({Fold(s), Fold(k)}) && original.Read(s, k) != reread.Read(s, k))
            Broken("a value that was not written changed", s, k);
    for (const std::string& s : original.Sections())
        if (!reread.SectionExists(s)) Broken("a section went missing", s);
}

class TFakeEnvironment : public TPlatformEnvironment {
public:
    explicit TFakeEnvironment(std::string root) : FRoot(std::move(root)) {}
    std::optional<std::string> GetEnv(const std::string& name) const override {
        if (name == "XDG_CONFIG_HOME") return FRoot + "/config";
        if (name == "HOME") return FRoot + "/home";
        if (name == "LANG") return std::string("de_DE.UTF-8");
        return std::nullopt;
    }
    std::optional<std::string> ReadTextFile(const std::string&) const override {
        return std::nullopt;
    }
    std::string ProgramFile() const override { return "/opt/vacuum/bin/vacuum"; }
    bool StartProcess(const std::string&) override { return false; }

private:
    std::string FRoot;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CheckUserSettings(std::string_view bytes) {
    // Under TMPDIR, which the fuzz script points at a folder it removes afterwards.
    static const std::string root =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
        "/vacuum_settings_fuzz_" + std::to_string(::getpid());
    static TFakeEnvironment env(root);
    const std::string section = "Vacuum";
    const std::string file = root + "/config/Orsik/" + section + "/UserSettings.ini";
    fs::create_directories(fs::path(file).parent_path());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const TIniFile before = TIniFile::Parse(bytes);
    const std::vector<TName> names = Candidates(Decoded(bytes));

    TTavUserSettings settings(env);
    settings.SetSection(section);
    settings.Loaded({});
    if (!settings.LastError().empty()) Broken("start-up failed", settings.LastError());
    if (settings.FirstRun() == before.SectionExists(section)) Broken("first run");

    const TIniFile after = TIniFile::Parse(ReadAll(file));
    if (after.Read(section, "EXEDir") != "/opt/vacuum/bin/") Broken("EXEDir");
    if (after.Read(section, "EXEName") != "vacuum") Broken("EXEName");
    if (after.Read(section, "Version") != settings.Version()) Broken("Version");
    if (after.Read(section, "Measure") != settings.Measure() &&
        !(!settings.FirstRun() && !before.ValueExists(section, "Measure") &&
          settings.Measure() == settings.SystemMeasure()))
        Broken("Measure", settings.Measure());
    const std::string language =
        before.ReadString(section, "Language", settings.DefaultLanguageCode());
    if (language.compare(0, settings.Language().size(), settings.Language()) != 0)
        Broken("Language", language, settings.Language());
    static const char* const own[] = {"exedir", "exename", "version", "datadir", "measure"};
    for (const auto& [s, k] : names) {
        bool written = false;
        for (const char* key : own)
            written = written || (Fold(s) == Fold(section) && Fold(k) == key);
        if (!written && before.Read(s, k) != after.Read(s, k))
            Broken("start-up changed a value it does not own", s, k);
    }

    // The recent files read from the file are written back and read again unchanged (a
    // zero byte, which a value cannot keep, as a blank).
    TFileMenu menu;
    menu.SetMaxFiles(cRecentFileCount);
    settings.ReadRecentFiles(menu);
    settings.WriteRecentFiles(menu);
    if (!settings.LastError().empty())
        Broken("saving the recent files failed", settings.LastError());
    TFileMenu again;
    again.SetMaxFiles(cRecentFileCount);
    settings.ReadRecentFiles(again);
    std::vector<std::string> expected;
    for (const std::string& f : menu.Files()) expected.push_back(OneLine(f));
    if (again.Files() != expected) Broken("recent files do not read back");
    const TIniFile saved = TIniFile::Parse(ReadAll(file));
    for (int i = 0; i < cRecentFileCount; ++i)
        if (saved.ReadString(section, "File" + std::to_string(i), "<none>") !=
            (i < again.Count() ? again.FileName(i) : std::string()))
            Broken("recent file entry", std::to_string(i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string_view script;
    if (const size_t cut = body.find(std::string_view("\0\0", 2)); cut != std::string_view::npos) {
        script = body.substr(cut + 2);
        body = body.substr(0, cut);
    }
    CheckFile(body, script);
    if (options & 1) CheckUserSettings(body);
    return 0;
}
