#pragma once

#include "app/frame/page.h"

#include <memory>
#include <vector>

//! Every page of the main window, one per stack slot 0 … cMainPageCount − 1. New pages are
//! added here; the frame takes what this returns.
std::vector<std::unique_ptr<TPage>> CreatePages(TPageContext& context);
