#include "core/shell/command_line.h"

#include <charconv>
#include <filesystem>

namespace {

std::string ValueOfFirst(const std::vector<std::string>& arguments, std::string_view prefix) {
    for (const std::string& arg : arguments)
        if (std::string_view(arg).substr(0, prefix.size()) == prefix)
            return arg.substr(prefix.size());
    return {};
}

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = text.find(what, pos)) != std::string_view::npos; pos = at + what.size())
        out.append(text.substr(pos, at - pos)).append(with);
    out.append(text.substr(pos));
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

} // namespace

bool IsProgramSwitch(std::string_view argument) {
    for (std::string_view exact : {"/ACCEPT", "/QUITAFTERPAINT", "/SAP"})
        if (EqualsNoCase(argument, exact)) return true;
    for (std::string_view prefix : {"/WERK=", "/PFAD=", "/FILE="})
        if (EqualsNoCase(argument.substr(0, prefix.size()), prefix)) return true;
    if (argument == "/SCREENSHOT") return true;
    for (std::string_view prefix : {"/PROJECT=", "/BITMAP=", "/PAGE="})
        if (argument.substr(0, prefix.size()) == prefix) return true;
    return false;
}

TDesignerSwitches ReadDesignerSwitches(const std::vector<std::string>& arguments,
                                       const TFileExists& exists) {
    TDesignerSwitches s;
    for (const std::string& arg : arguments) {
        if (EqualsNoCase(arg, "/ACCEPT")) s.Accept = true;
        if (EqualsNoCase(arg, "/QUITAFTERPAINT")) s.QuitAfterPaint = true;
        if (!s.ProjectFile.empty() || arg.empty() || IsProgramSwitch(arg)) continue;
        const bool projectName = arg.size() > 4 && EqualsNoCase(std::string_view(arg).substr(arg.size() - 4), ".vac");
        if (projectName || (exists && exists(arg))) s.ProjectFile = arg;
    }
    return s;
}

TDesignerSwitches ReadDesignerSwitches(const std::vector<std::string>& arguments) {
    return ReadDesignerSwitches(arguments, [](const std::string& path) {
        std::error_code ec;
        return std::filesystem::is_regular_file(path, ec);
    });
}

TReportPdfRun ReadReportPdfRun(const std::vector<std::string>& arguments) {
    TReportPdfRun run;
    if (arguments.empty() || arguments[0] != "--report-pdf") return run;
    run.Requested = true;
    std::vector<std::string> plain;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--lang") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                run.Error = "--lang takes a language code";
                return run;
            }
            run.Language = arguments[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            run.Error = "unknown option " + arg;
            return run;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() != 2 || plain[0].empty() || plain[1].empty()) {
        run.Error = "--report-pdf takes an output file and a project file";
        return run;
    }
    run.Output = plain[0];
    run.Project = plain[1];
    return run;
}

TScreenshotSwitches ReadScreenshotSwitches(const std::vector<std::string>& arguments) {
    TScreenshotSwitches s;
    for (size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "/SCREENSHOT") s.Screenshot = true;
    s.Project = ValueOfFirst(arguments, "/PROJECT=");
    s.Bitmap = ValueOfFirst(arguments, "/BITMAP=");
    s.Page = StrToIntDef(ValueOfFirst(arguments, "/PAGE="), 0);
    return s;
}

std::vector<TScreenshotImage> ScreenshotImages(std::string_view bitmap,
                                               const std::vector<std::string>& languages) {
    if (bitmap.find("%s") == std::string_view::npos) return {{std::string(), std::string(bitmap)}};
    std::vector<TScreenshotImage> images;
    for (const std::string& code : languages)
        images.push_back({code, ReplaceAll(bitmap, "%s", code)});
    return images;
}

int StrToIntDef(std::string_view text, int fallback) {
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-')) return fallback;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}
