#pragma once

#include <string>
#include <string_view>

#include "core/workflow/page_workflow.h"

class TCustomTable;
class TVacuumApplication;

//! The page work of the application, which owns it beside its page workflow: the product checks of the cup, tube and generator
//! pages and what entering each page recomputes. Product rows are found again by the order
//! codes the document stores (the first row when a code is no longer offered). A page whose
//! entry fields hold values they refuse is entered without its work.
class TVacuumPageHooks : public TPageHooks {
public:
    explicit TVacuumPageHooks(TVacuumApplication& app) : app_(app) {}

    TPageCheckResult Validate(int page) override;
    double ShockAbsorberLever() const override;
    void Enter(int page) override;

private:
    static int RowOf(const TCustomTable& query, std::string_view orderCode);
    TVacuumApplication& app_;
};
