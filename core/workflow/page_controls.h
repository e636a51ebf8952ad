#pragma once

#include <span>
#include <string_view>

//! Names of the controls a failed page check moves the focus to (TPageCheckFailure::
//! FocusControl). They are stable: the window gives the widget of each the name as its
//! object name and finds it by that name, and the batch design prints the name after a
//! refused page ("page 1 refused: Length (X) (SpinEditLaenge)"), which scripts may read.
//! Add a name here, to its page's list below, when a check starts to focus a new control;
//! never rename one.
//!
//! Page 1, workpiece: sizes, volume, density, mass, friction, and the centre-of-gravity
//! dialog's fields.
inline constexpr std::string_view cpcLengthX = "SpinEditLaenge";
inline constexpr std::string_view cpcLengthY = "SpinEditBreite";
inline constexpr std::string_view cpcLengthZ = "SpinEditHoehe";
inline constexpr std::string_view cpcOuterDiameter = "SpinEditDAussen";
inline constexpr std::string_view cpcInnerDiameter = "SpinEditDInnen";
inline constexpr std::string_view cpcVolume = "SpinEditWerkStkVolumen";
inline constexpr std::string_view cpcDensity = "SpinEditWerkStkDichte";
inline constexpr std::string_view cpcMass = "SpinEditWerkStkMasse";
inline constexpr std::string_view cpcFriction = "SpinEditFriction";
inline constexpr std::string_view cpcMassCenterX = "SpinEditSchwerpunktX";
inline constexpr std::string_view cpcMassCenterY = "SpinEditSchwerpunktY";
inline constexpr std::string_view cpcMassCenterZ = "SpinEditSchwerpunktZ";
inline constexpr std::string_view cpcMomentOfInertiaZ = "SpinEditTrMomentZ";
//! Page 2, positioning: the strategy's two counts and angle, the grid lock lengths.
inline constexpr std::string_view cpcCount1 = "SpinEditAnzahl1";
inline constexpr std::string_view cpcCount2 = "SpinEditAnzahl2";
inline constexpr std::string_view cpcStrategyAngle = "SpinEditWinkel1";
inline constexpr std::string_view cpcGridLength = "SpinEditRasten_mm";
inline constexpr std::string_view cpcGridAngle = "SpinEditRasten_deg";
//! Pages 3 to 5: the product grids, the tube lengths, the generator's inputs.
inline constexpr std::string_view cpcSuctionCupGrid = "StringGridSuctionCups";
inline constexpr std::string_view cpcTubeGrid = "StringGridTube";
inline constexpr std::string_view cpcSingleTubeLength = "SpinEditSchlauchLaengeEinzeln";
inline constexpr std::string_view cpcTotalTubeLength = "SpinEditSchlauchLaenge";
inline constexpr std::string_view cpcVenturiGrid = "StringGridVenturi";
inline constexpr std::string_view cpcVenturiCount = "SpinEditAnzahlVenturi";
inline constexpr std::string_view cpcVenturiPressure = "SpinEditBetriebsdruck";
inline constexpr std::string_view cpcRequiredVacuum = "SpinEditVakuumSoll";
// The production cycle and the price of compressed air (vacuum generator page), the
// required safety of the cups (load page).
inline constexpr std::string_view cpcCycleRate = "SpinEditCycleRate";
inline constexpr std::string_view cpcHoldingTime = "SpinEditHoldingTime";
inline constexpr std::string_view cpcOperatingTime = "SpinEditOperatingTime";
inline constexpr std::string_view cpcAirPrice = "SpinEditAirPrice";
inline constexpr std::string_view cpcAirEnergy = "SpinEditAirEnergy";
inline constexpr std::string_view cpcRequiredSafety = "SpinEditRequiredSafety";
//! Page 5, the site and the workpiece's leak.
inline constexpr std::string_view cpcSiteAltitude = "SpinEditAltitude";
inline constexpr std::string_view cpcAmbientPressure = "SpinEditAmbientPressure";
inline constexpr std::string_view cpcLeakDiameter = "SpinEditLeakDiameter";
inline constexpr std::string_view cpcLeakFlow = "SpinEditLeakFlow";
inline constexpr std::string_view cpcLeakVacuum = "SpinEditLeakVacuum";
//! Page 6, motion: rotary angle, lever and holder inertia; linear travel and holder mass.
inline constexpr std::string_view cpcRotationAngle = "SpinEditDrehwinkel";
inline constexpr std::string_view cpcLever = "SpinEditHebelarmWerkStk";
inline constexpr std::string_view cpcHolderInertia = "SpinEditTraegheitHalterung";
inline constexpr std::string_view cpcTravel = "SpinEditLinWeg";
inline constexpr std::string_view cpcHolderMass = "SpinEditMasseHalterung";
//! Page 7, drive: the pneumatic times and top speeds, pressures, shock absorber counts and
//! lever, safety factors.
inline constexpr std::string_view cpcLinearTime = "SpinEditZeitLin";
inline constexpr std::string_view cpcLinearSpeed = "SpinEditVMaxLin";
inline constexpr std::string_view cpcRotaryTime = "SpinEditZeitRot";
inline constexpr std::string_view cpcRotarySpeed = "SpinEditWMaxRot";
inline constexpr std::string_view cpcLinearPressure = "SpinEditBetrDruckLin";
inline constexpr std::string_view cpcLinearAbsorberCount = "SpinEditQdrLinAnzahl";
inline constexpr std::string_view cpcLinearSafetyFactor = "SpinEditFaktorPnLin";
inline constexpr std::string_view cpcRotaryPressure = "SpinEditBetrDruckRot";
inline constexpr std::string_view cpcRotaryAbsorberCount = "SpinEditQdrRotAnzahl";
inline constexpr std::string_view cpcAbsorberLever = "SpinEditQdrRadius";
inline constexpr std::string_view cpcRotarySafetyFactor = "SpinEditFaktorPnRot";

//! The names above that the checks of leaving `page` may focus; empty for a page without
//! checks or for an index that is no page.
std::span<const std::string_view> PageControls(int page);
