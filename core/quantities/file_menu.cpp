#include "core/quantities/file_menu.h"

#include <algorithm>

namespace {

// Settings written by hand could list any number of files; beyond this many the rest
// could never survive the list's maximum anyway.
constexpr int kHistoryReadLimit = 1000;

std::string BareFileName(const std::string& path) {
    const size_t sep = path.find_last_of("/\\:");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string EscapeAmpersands(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == '&') out.push_back('&');
        out.push_back(c);
    }
    return out;
}

} // namespace

void TFileMenu::SetMaxFiles(int maxFiles) {
    if (maxFiles < 0 || maxFiles == FMaxFiles) return;
    FMaxFiles = maxFiles;
    if (Count() > maxFiles) {
        FFiles.resize(static_cast<size_t>(maxFiles));
        Changed();
    }
}

void TFileMenu::Add(const std::string& fileName) {
    if (!Enabled || FMaxFiles == 0) return;
    const auto it = std::find(FFiles.begin(), FFiles.end(), fileName);
    if (it != FFiles.end())
        FFiles.erase(it);
    else if (Count() >= FMaxFiles)
        FFiles.resize(static_cast<size_t>(FMaxFiles - 1));
    FFiles.insert(FFiles.begin(), fileName);
    Changed();
}

std::string TFileMenu::FileName(int i) const {
    return i >= 0 && i < Count() ? FFiles[static_cast<size_t>(i)] : std::string();
}

std::string TFileMenu::EntryName(int i) const {
    return MenuName + std::to_string(i);
}

std::string TFileMenu::Caption(int i) const {
    if (i < 0 || i >= Count()) return {};
    std::string caption = (i < 9 && NumShortcut ? "&" : "") + std::to_string(i + 1) + " ";
    const std::string& path = FFiles[static_cast<size_t>(i)];
    return caption + EscapeAmpersands(ShowPath ? path : BareFileName(path));
}

void TFileMenu::Click(int index) {
    if (!Enabled || !OnClick || index < 0 || index >= Count()) return;
    OnClick(*this, index, FFiles[static_cast<size_t>(index)]);
}

void TFileMenu::ReadHistory(const std::function<std::string(const std::string& name)>& readValue) {
    std::vector<std::string> stored;
    for (int n = 0; n < kHistoryReadLimit; ++n) {
        std::string name = readValue("File" + std::to_string(n));
        if (name.empty()) break;
        stored.push_back(std::move(name));
    }
    // Each Add puts its name on top, so the oldest goes in first.
    for (auto it = stored.rbegin(); it != stored.rend(); ++it) Add(*it);
}

void TFileMenu::WriteHistory(
    const std::function<void(const std::string& name, const std::string& value)>& writeValue,
    int count) const {
    for (int n = 0; n < count; ++n) writeValue("File" + std::to_string(n), FileName(n));
}

void TFileMenu::Changed() {
    if (OnChange) OnChange(*this);
}
