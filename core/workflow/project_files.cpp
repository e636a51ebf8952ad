#include "core/workflow/project_files.h"

#include "core/document/my_project.h"
#include "core/shell/user_settings.h"
#include "core/workflow/vacuum_application.h"

#include <filesystem>

namespace {

// The recent files and the caption keep whole paths, so that a name given relative to the
// working folder still opens after the folder changed.
std::string Absolute(const std::string& name) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(name, ec);
    return ec || name.empty() ? name : p.lexically_normal().string();
}

} // namespace

TProjectFiles::TProjectFiles(TVacuumApplication& app) : FApp(app) {
    FRecent.SetMaxFiles(cMaxRecentFiles);
    // Accepting the disclaimer makes the first project.
    FAccepted = FApp.Workflow.OnAccepted.Connect([this](TPageWorkflow&) { Baseline(); });
}

void TProjectFiles::Baseline() {
    FApp.Document.Project().Snapshot();
}

bool TProjectFiles::HasProject() const {
    return !FApp.Workflow.DisclaimerPending();
}

std::string TProjectFiles::FileName() const {
    return HasProject() ? FApp.Document.Project().FileName() : std::string();
}

bool TProjectFiles::Modified() const {
    // Before the first project the store holds no items; asking would register them early.
    return HasProject() && FApp.Document.Project().Modified();
}

bool TProjectFiles::New() {
    if (!HasProject()) return false;
    FApp.Input([&] {
        FApp.Workflow.Select(cmpWorkpiece);
        FApp.Workflow.ResetReach();
        FApp.Document.Project().New();
        Baseline();
        FApp.Mark(caNavigator);
    });
    return true;
}

std::optional<TPrjResult> TProjectFiles::Open(const std::string& name) {
    if (!HasProject()) return std::nullopt;
    const std::string fileName = Absolute(name);
    // Read into a document of its own first, so that a file that cannot be read leaves the
    // page and the project as they are.
    {
        TMyProject probe;
        if (TPrjResult r = probe.Project().LoadFromFile(fileName); !r) return r;
    }
    const std::optional<TPrjResult> r = FApp.Input([&] {
        FApp.Mark(caNavigator);
        std::optional<TPrjResult> loaded = FApp.Workflow.OpenRecentFile(fileName);
        if (loaded && loaded->Ok()) Baseline();
        return loaded;
    });
    if (r && r->Ok()) FRecent.Add(fileName);
    return r;
}

std::optional<TPrjResult> TProjectFiles::SaveAs(const std::string& name) {
    if (!HasProject()) return std::nullopt;
    const std::string fileName = Absolute(name);
    const TPrjResult r = FApp.Input([&] {
        FApp.Mark(caDocument);
        return FApp.Document.Project().SaveToFile(fileName);
    });
    if (r) FRecent.Add(fileName);
    return r;
}

std::optional<TPrjResult> TProjectFiles::Save() {
    const std::string name = FileName();
    if (name.empty()) return std::nullopt;
    return SaveAs(name);
}

void TProjectFiles::ReadRecent(TTavUserSettings& settings) {
    settings.ReadRecentFiles(FRecent);
}

bool TProjectFiles::WriteRecentAtEnd(TTavUserSettings& settings) {
    if (!HasProject()) return false;
    if (const std::string name = FileName(); !name.empty()) FRecent.Add(name);
    settings.WriteRecentFiles(FRecent);
    return true;
}
