#include "app/pages/page_registry.h"

#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/placeholder/placeholder_page.h"
#include "app/pages/start/start_page.h"

std::vector<std::unique_ptr<TPage>> CreatePages(TPageContext& context) {
    std::vector<std::unique_ptr<TPage>> pages;
    pages.push_back(std::make_unique<TStartPage>(context));
    // The working pages are not built yet: each slot shows its caption and says so.
    for (int page = cmpWorkpiece; page <= cmpPartsList; ++page)
        pages.push_back(std::make_unique<TPlaceholderPage>(context, page));
    pages.push_back(std::make_unique<TDisclaimerPage>(context));
    return pages;
}
