#include "core/workflow/main_window_rules.h"

namespace {

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = text.find(what, pos)) != std::string_view::npos; pos = at + what.size())
        out.append(text.substr(pos, at - pos)).append(with);
    out.append(text.substr(pos));
    return out;
}

} // namespace

std::string MainWindowCaption(std::string_view title, bool hasProject, std::string_view fileName,
                              bool modified, std::string_view untitled) {
    if (!hasProject) return std::string(title);
    const size_t slash = fileName.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
    if (name.empty()) name = untitled;
    if (modified) name += '*';
    return name + " - " + std::string(title);
}

std::string PageNumberText(std::string_view pattern, int pageNumber) {
    if (pageNumber == 0) return {};
    return ReplaceAll(pattern, "%d", std::to_string(pageNumber));
}

bool IsPngFileName(std::string_view fileName) {
    if (fileName.size() < 4) return false;
    std::string end(fileName.substr(fileName.size() - 4));
    for (char& c : end)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return end == ".png";
}
