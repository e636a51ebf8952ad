#pragma once

#include "app/platform/help_viewer.h"

#include <functional>
#include <memory>

class THelpWindow;
class TVacuumApplication;

//! The program's help: the help window, made at the first topic asked for, over the
//! application that `app` hands out (null until the application exists; a topic asked
//! for before then is not shown). Release it before the application goes.
class THelpWindowViewer : public IHelpViewer {
public:
    explicit THelpWindowViewer(std::function<TVacuumApplication*()> app);
    ~THelpWindowViewer() override;

    void ShowTopic(int topic) override;
    void SetStayOnTop(bool onTop) override;

    //! The window once made; null before.
    THelpWindow* Window() const { return window_.get(); }
    //! Closes and destroys the window.
    void Release();

private:
    std::function<TVacuumApplication*()> app_;
    std::unique_ptr<THelpWindow> window_;
    bool stayOnTop_ = false;
};
