#pragma once

#include <string>

class TMyProject;

//! What the vacuum project document asks of the window that shows it. The document fills
//! in its own derived values before each call; the view reads what it shows from the
//! document and runs the page recalculations that belong to showing a section.
class TProjectView {
public:
    virtual ~TProjectView() = default;

    //! Shows the project's display name (TMyProject::ProjectDisplayName).
    virtual void ShowProjectName(TMyProject& document, const std::string& displayName) = 0;
    //! Fills the controls of one section ("Workpiece", "Moving.Linear", …) from the
    //! document. Called in the fixed section order while the project store is busy.
    virtual void ShowSection(TMyProject& document, const std::string& section) = 0;
    //! Shows the suction cups' moment of inertia and the total evacuated volume.
    virtual void ShowDerivedInertia(TMyProject& document) = 0;
    //! Progress of a project load in percent.
    virtual void ShowProgress(TMyProject& document, int percent) = 0;
};
