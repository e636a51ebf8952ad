#pragma once

//! The help window as the program addresses it: by topic number (0 … 16).
class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    //! Shows the help window at `topic`.
    virtual void ShowTopic(int topic) = 0;
    //! Keeps the help window above the main window.
    virtual void SetStayOnTop(bool onTop) = 0;
};
