#include "core/workflow/page_controls.h"

#include "core/workflow/page_workflow.h"

#include <array>

namespace {

constexpr std::array kWorkpiece{cpcLengthX,     cpcLengthY,     cpcLengthZ,     cpcOuterDiameter,
                                cpcInnerDiameter, cpcVolume,    cpcDensity,     cpcMass,
                                cpcFriction,    cpcMassCenterX, cpcMassCenterY, cpcMassCenterZ,
                                cpcMomentOfInertiaZ};
constexpr std::array kPositioning{cpcCount1, cpcCount2, cpcStrategyAngle, cpcGridLength, cpcGridAngle};
constexpr std::array kSuctionCup{cpcSuctionCupGrid};
constexpr std::array kTube{cpcTubeGrid, cpcSingleTubeLength, cpcTotalTubeLength};
constexpr std::array kVenturi{cpcVenturiGrid,  cpcVenturiCount,    cpcVenturiPressure, cpcRequiredVacuum,
                               cpcCycleRate,    cpcHoldingTime,     cpcOperatingTime,   cpcAirPrice,
                               cpcAirEnergy,    cpcSiteAltitude,    cpcAmbientPressure, cpcLeakDiameter,
                               cpcLeakFlow,     cpcLeakVacuum};
constexpr std::array kSuctionCupLoad{cpcRequiredSafety};
constexpr std::array kMotion{cpcRotationAngle, cpcLever, cpcHolderInertia, cpcTravel, cpcHolderMass};
constexpr std::array kDrive{cpcLinearPressure, cpcLinearTime,          cpcLinearSpeed,
                            cpcLinearAbsorberCount, cpcLinearSafetyFactor, cpcRotaryPressure,
                            cpcRotaryTime,     cpcRotarySpeed,         cpcRotaryAbsorberCount,
                            cpcAbsorberLever,  cpcRotarySafetyFactor};

} // namespace

std::span<const std::string_view> PageControls(int page) {
    switch (page) {
    case cmpWorkpiece: return kWorkpiece;
    case cmpPositioning: return kPositioning;
    case cmpSuctionCup: return kSuctionCup;
    case cmpTube: return kTube;
    case cmpVenturi: return kVenturi;
    case cmpMotion: return kMotion;
    case cmpDrive: return kDrive;
    case cmpSuctionCupLoad: return kSuctionCupLoad;
    default: return {};
    }
}
