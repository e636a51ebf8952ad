#include "core/workflow/vacuum_page_hooks.h"

#include "core/workflow/page_fields.h"
#include "core/workflow/page_validation.h"
#include "core/workflow/vacuum_application.h"

int TVacuumPageHooks::RowOf(const TCustomTable& query, std::string_view orderCode) {
    if (query.Rows() == 0) return -1;
    const int row = orderCode.empty() ? -1 : query.FindRow("OrderCode", orderCode);
    return row >= 0 ? row : 0;
}

TPageCheckResult TVacuumPageHooks::Validate(int page) {
    switch (page) {
    case cmpSuctionCup:
        return TPageValidation::CheckSelection(app_.Cups.SelectedSuitable(),
                                               std::string(cSuctionCupGridFirstTitle), cpcSuctionCupGrid);
    case cmpTube:
        return TPageValidation::CheckSelection(app_.Tube.SelectedValid(), std::string(cTubeGridFirstTitle),
                                               cpcTubeGrid);
    case cmpVenturi:
        return TPageValidation::CheckSelection(app_.Venturi.SelectedValid(),
                                               std::string(cVenturiGridFirstTitle), cpcVenturiGrid);
    default: return {};
    }
}

double TVacuumPageHooks::ShockAbsorberLever() const {
    return app_.Drive.AbsorberRadius();
}

void TVacuumPageHooks::Enter(int page) {
    // A new current page, and what entering it recomputes, make one notice.
    TVacuumApplication::TInputScope scope(app_);
    app_.Mark(caNavigator);
    TMyProject& doc = app_.Document;
    // Values the page's fields refuse (a project can hold them) are not computed with: the
    // page is shown as it stands and refuses to be left. A list of thousands of cups would
    // otherwise keep the arrangement busy for minutes.
    if (CheckPageFields(doc, page, ShockAbsorberLever())) return;
    switch (page) {
    case cmpWorkpiece: app_.Workpiece.Refresh(); break;
    case cmpPositioning: app_.Cups.Refresh(); break;
    case cmpSuctionCup:
        app_.Cups.EnterSuctionCupPage(RowOf(app_.SuctionCupQuery, doc.SuctionCupsOrderCode));
        break;
    case cmpTube: app_.Tube.EnterTubePage(RowOf(app_.TubeQuery, doc.Tube.OrderCode)); break;
    case cmpVenturi:
        app_.Venturi.SelectVacuumGenerator(RowOf(app_.VenturiQuery, doc.Venturi.OrderCode));
        app_.Venturi.RefreshGeneratorPage();
        break;
    case cmpMotion:
        app_.Motion.UpdateInertia();
        // A pneumatic motion is drawn on the scale of the drive's sizing.
        app_.Drive.Calculate();
        break;
    case cmpDrive: app_.Drive.Calculate(); break;
    case cmpForcesAndMoments: app_.Forces.KraftChange(); break;
    case cmpSuctionCupLoad:
        // The loads shown belong to the slider's instant of the motion as it is now.
        app_.Cups.RxSliderVCRChange(app_.Cups.SliderPosition());
        app_.Cups.RefreshMaxValues(app_.Forces.Extremes().Fz);
        app_.DesignWalked();
        break;
    case cmpPartsList: app_.AssemblePartsList(); break;
    default: break;
    }
}
