#pragma once

#include "core/quantities/file_menu.h"
#include "core/quantities/project.h"
#include "core/util/signal.h"

#include <optional>
#include <string>

class TTavUserSettings;
class TVacuumApplication;

//! The project file commands of the main window over the application: new, open, save and
//! save as, the recent-files list (most recent first, at most eight) and what the window
//! caption and the closing question need to know. Every command waits for the disclaimer
//! and is one user action of the application.
class TProjectFiles {
public:
    static constexpr int cMaxRecentFiles = 8;

    explicit TProjectFiles(TVacuumApplication& app);
    TProjectFiles(const TProjectFiles&) = delete;
    TProjectFiles& operator=(const TProjectFiles&) = delete;

    //! The recent-files list; its OnChange tells the menu to rebuild its entries.
    TFileMenu& Recent() { return FRecent; }
    const TFileMenu& Recent() const { return FRecent; }

    //! A project exists: the disclaimer was accepted.
    bool HasProject() const;
    //! The project's file; empty for a new project and before the disclaimer is accepted.
    std::string FileName() const;
    //! The project was changed since it was made, opened or saved. What showing a project
    //! recomputes at once (its derived values, the products chosen again) is part of
    //! making or opening it, not a change.
    bool Modified() const;
    //! Closing or replacing the project must ask the user first: it has changes.
    bool AskBeforeClosing() const { return Modified(); }

    //! A new project with its defaults on the workpiece page (reach reset). False while
    //! the disclaimer is pending.
    bool New();
    //! Reads a project file onto the workpiece page (reach reset) and puts it at the top of
    //! the recent files. A file that cannot be read changes nothing (the project, its page
    //! and the list stay as they were) and returns the error naming the file. Nothing while
    //! the disclaimer is pending.
    std::optional<TPrjResult> Open(const std::string& fileName);
    //! Writes the project to `fileName` (the whole file replaced, or nothing on failure),
    //! which becomes its file and the top of the recent files. Nothing while the disclaimer
    //! is pending.
    std::optional<TPrjResult> SaveAs(const std::string& fileName);
    //! SaveAs to the project's own file; nothing when it has none (the window asks for one).
    std::optional<TPrjResult> Save();

    //! Fills the list from the settings (File0 … up to the first empty value).
    void ReadRecent(TTavUserSettings& settings);
    //! At program end, once the disclaimer was accepted: the project's file goes to the
    //! top of the list and File0 … File7 are written. False (nothing written) while the
    //! disclaimer is pending.
    bool WriteRecentAtEnd(TTavUserSettings& settings);

private:
    // What the project is compared with from now on.
    void Baseline();

    TVacuumApplication& FApp;
    TFileMenu FRecent;
    TConnection FAccepted;
};
