#include "app/pages/page_registry.h"

#include "app/pages/cup_load/suction_cup_load_page.h"
#include "app/pages/disclaimer/disclaimer_page.h"
#include "app/pages/forces/forces_page.h"
#include "app/pages/parts_list/parts_list_page.h"
#include "app/pages/drive/drive_page.h"
#include "app/pages/motion/motion_page.h"
#include "app/pages/placeholder/placeholder_page.h"
#include "app/pages/positioning/positioning_page.h"
#include "app/pages/start/start_page.h"
#include "app/pages/suction_cup/suction_cup_page.h"
#include "app/pages/tube/tube_page.h"
#include "app/pages/workpiece/workpiece_page.h"
#include "app/pages/venturi/venturi_page.h"

namespace {

// The page of one working slot (1 to 10); a slot whose page is not built yet shows its
// caption and says so.
std::unique_ptr<TPage> CreateWorkingPage(TPageContext& context, int page) {
    switch (page) {
    case cmpWorkpiece: return std::make_unique<TWorkpiecePage>(context);
    case cmpPositioning: return std::make_unique<TPositioningPage>(context);
    case cmpSuctionCup: return std::make_unique<TSuctionCupPage>(context);
    case cmpTube: return std::make_unique<TTubePage>(context);
    case cmpVenturi: return std::make_unique<TVenturiPage>(context);
    case cmpForcesAndMoments: return std::make_unique<TForcesPage>(context);
    case cmpSuctionCupLoad: return std::make_unique<TSuctionCupLoadPage>(context);
    case cmpPartsList: return std::make_unique<TPartsListPage>(context);
    case cmpMotion: return std::make_unique<TMotionPage>(context);
    case cmpDrive: return std::make_unique<TDrivePage>(context);
    default: return std::make_unique<TPlaceholderPage>(context, page);
    }
}

} // namespace

std::vector<std::unique_ptr<TPage>> CreatePages(TPageContext& context) {
    std::vector<std::unique_ptr<TPage>> pages;
    pages.push_back(std::make_unique<TStartPage>(context));
    for (int page = cmpWorkpiece; page <= cmpPartsList; ++page)
        pages.push_back(CreateWorkingPage(context, page));
    pages.push_back(std::make_unique<TDisclaimerPage>(context));
    return pages;
}
