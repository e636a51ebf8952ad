#include "core/shell/platform.h"

#include "core/util/trace.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Text files read through the environment are a few lines; anything larger is not one.
constexpr std::streamoff cMaxTextFileSize = 1 << 20;

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string EnvValue(const TPlatformEnvironment& env, const std::string& name) {
    return env.GetEnv(name).value_or(std::string());
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The value of a shell assignment as user-dirs.dirs writes it: "..." with backslash
// escapes, or a bare word.
std::string ShellValue(std::string_view v) {
    if (v.empty() || v.front() != '"') return std::string(Trim(v));
    std::string out;
    for (size_t i = 1; i < v.size(); ++i) {
        if (v[i] == '"') break;
        if (v[i] == '\\' && i + 1 < v.size()) ++i;
        out += v[i];
    }
    return out;
}

// A folder of user-dirs.dirs: "$HOME/..." relative to home or an absolute path; anything
// else is not a valid entry and is skipped, as the XDG user-dirs rules say.
std::optional<std::string> UserDirPath(const std::string& value, const std::string& home) {
    for (std::string_view var : {"$HOME", "${HOME}"}) {
        if (value.compare(0, var.size(), var) != 0) continue;
        const std::string rest = value.substr(var.size());
        if (!rest.empty() && rest.front() != '/') return std::nullopt;
        if (home.empty()) return std::nullopt;
        return WithoutTrailingSlash(home + rest);
    }
    if (!value.empty() && value.front() == '/') return WithoutTrailingSlash(value);
    return std::nullopt;
}

} // namespace

// --- the real environment ---

TPosixEnvironment::~TPosixEnvironment() {
    ReapChildren();
}

std::optional<std::string> TPosixEnvironment::GetEnv(const std::string& name) const {
    const char* v = std::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
}

std::optional<std::string> TPosixEnvironment::ReadTextFile(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<size_t>(in.gcount()));
        if (static_cast<std::streamoff>(text.size()) > cMaxTextFileSize) return std::nullopt;
    }
    if (in.bad()) return std::nullopt;
    return text;
}

std::string TPosixEnvironment::ProgramFile() const {
    std::string buf(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
    buf.resize(static_cast<size_t>(n));
    return buf;
}

bool TPosixEnvironment::StartProcess(const std::string& path) {
    ReapChildren();
    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return false;
    // The started tool lives on its own: its own process group (a terminal's Ctrl+C for this
    // program does not reach it) and no signals blocked that this program happens to block.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    std::string arg0 = path;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, path.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        TraceLine(FormatText("cannot start \"%s\": %s", path.c_str(), std::strerror(rc)));
        return false;
    }
    FChildren.push_back(pid);
    return true;
}

// Started programs are not waited for; finished ones are collected at the next start and
// when the environment goes away, so they do not linger as zombies for long.
void TPosixEnvironment::ReapChildren() {
    std::erase_if(FChildren, [](pid_t pid) {
        const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

// --- locale ---

std::optional<TLocaleNames> ParseLocaleName(std::string_view name) {
    const size_t end = name.find_first_of(".@");
    const std::string_view head = name.substr(0, end);
    const size_t sep = head.find('_');
    const std::string_view language = head.substr(0, sep);
    const std::string_view country =
        sep == std::string_view::npos ? std::string_view() : head.substr(sep + 1);
    if (language.size() < 2 || language.size() > 3 ||
        !std::all_of(language.begin(), language.end(), IsAsciiLetter))
        return std::nullopt;
    const bool letters =
        country.size() == 2 && std::all_of(country.begin(), country.end(), IsAsciiLetter);
    const bool region =
        country.size() == 3 && std::all_of(country.begin(), country.end(), IsAsciiDigit);
    if (sep != std::string_view::npos && !letters && !region) return std::nullopt;
    return TLocaleNames{Lower(language), Upper(country)};
}

std::string LocaleOfCategory(const TPlatformEnvironment& env, const std::string& category) {
    for (const std::string& var : {std::string("LC_ALL"), category}) {
        std::string v = EnvValue(env, var);
        if (!v.empty()) return v;
    }
    return EnvValue(env, "LANG");
}

std::string SystemMeasure(const TPlatformEnvironment& env) {
    const auto names = ParseLocaleName(LocaleOfCategory(env, "LC_MEASUREMENT"));
    return names && names->Country == "US" ? "1" : "0";
}

TLocaleNames UserLocaleNames(const TPlatformEnvironment& env) {
    const std::string locale = LocaleOfCategory(env, "LC_MESSAGES");
    if (auto names = ParseLocaleName(locale)) return *names;
    const std::string_view base = std::string_view(locale).substr(0, locale.find_first_of(".@"));
    if (!locale.empty() && base != "C" && base != "POSIX")
        TraceLine(FormatText("invalid locale name: %s", locale.c_str()));
    return TLocaleNames{"en", ""};
}

// --- folders ---

std::string ConfigFolder(const TPlatformEnvironment& env) {
    const std::string xdg = EnvValue(env, "XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (!xdg.empty() && xdg.front() == '/') return WithoutTrailingSlash(xdg);
    const std::string home = EnvValue(env, "HOME");
    if (home.empty()) return {};
    return WithoutTrailingSlash(home) + "/.config";
}

std::string DocumentsFolder(const TPlatformEnvironment& env) {
    const std::string home = WithoutTrailingSlash(EnvValue(env, "HOME"));
    const std::string config = ConfigFolder(env);
    std::optional<std::string> found;
    if (!config.empty()) {
        if (const auto text = env.ReadTextFile(config + "/user-dirs.dirs")) {
            constexpr std::string_view key = "XDG_DOCUMENTS_DIR=";
            size_t pos = 0;
            while (pos <= text->size()) {
                size_t eol = text->find('\n', pos);
                if (eol == std::string::npos) eol = text->size();
                const std::string_view line = Trim(std::string_view(*text).substr(pos, eol - pos));
                pos = eol + 1;
                if (line.substr(0, key.size()) != key) continue;
                // The file is sourced by shells: a later assignment wins.
                if (auto path = UserDirPath(ShellValue(line.substr(key.size())), home))
                    found = std::move(path);
            }
        }
    }
    if (found) return *found;
    if (home.empty()) return {};
    return home + "/Documents";
}
