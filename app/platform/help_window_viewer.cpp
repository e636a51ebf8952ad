#include "app/platform/help_window_viewer.h"

#include "app/help/help_window.h"
#include "core/workflow/vacuum_application.h"

#include <utility>

THelpWindowViewer::THelpWindowViewer(std::function<TVacuumApplication*()> app) : app_(std::move(app)) {}

THelpWindowViewer::~THelpWindowViewer() = default;

void THelpWindowViewer::ShowTopic(int topic) {
    if (!window_) {
        TVacuumApplication* app = app_ ? app_() : nullptr;
        if (!app) return;
        window_ = std::make_unique<THelpWindow>(*app);
        window_->SetStayOnTop(stayOnTop_);
    }
    window_->ShowTopic(topic);
}

void THelpWindowViewer::SetStayOnTop(bool onTop) {
    stayOnTop_ = onTop;
    if (window_) window_->SetStayOnTop(onTop);
}

void THelpWindowViewer::Release() {
    window_.reset();
}
