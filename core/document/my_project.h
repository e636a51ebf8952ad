#pragma once

#include "core/algebra/vektor.h"
#include "core/calc/movement.h"
#include "core/calc/sauger_list.h"
#include "core/calc/site_conditions.h"
#include "core/quantities/my_project_types.h"
#include "core/quantities/project.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TProjectView;

//! `path` shortened to at most `maxChars` characters by replacing leading folders with
//! "..."; a file name that alone is too long keeps its end.
std::string ShortenPath(const std::string& path, size_t maxChars);

//! The vacuum project document: every input of every page, in base units, bound to the
//! project store under its dotted key, plus the derived values the pages share. Owns the
//! store and handles its events; a view (the main window) shows it.
class TMyProject {
public:
    //! Number of registered keys.
    static constexpr int cKeyCount = 86 + 6 + 1;
    //! Longest display name of the project.
    static constexpr size_t cDisplayNameLength = 50;

    //! The state of a document that has not been reset yet. The store stays busy until
    //! Project().Loaded() or the first New or load.
    TMyProject();
    TMyProject(const TMyProject&) = delete;
    TMyProject& operator=(const TMyProject&) = delete;

    //! The project store; New, LoadFromFile and SaveToFile act on this document.
    TProject& Project() { return FProject; }
    const TProject& Project() const { return FProject; }
    //! The one link to the application (not owned; null for none). TVacuumApplication
    //! sets it and passes what it is told on to any number of views as change notices;
    //! a window follows the application, never sets this.
    void SetView(TProjectView* view) { FView = view; }
    TProjectView* View() const { return FView; }

    // --- stored inputs ("Project.*", "Customer.*", "Remarks") ---
    struct TProjectInfo {
        std::string Author;
        std::array<std::string, 2> Description;
        std::string No;
    } ProjectInfo;
    struct TCustomer {
        std::string No;
        std::string Phone;
        std::string Fax;
        std::vector<std::string> Address;
    } Customer;
    std::vector<std::string> Remarks;

    // --- "Workpiece.*" (m, m³, kg/m³, kg, kg m²) ---
    struct TWorkpiece {
        TWorkpieceShape Shape = cwsMassKnown;
        double LengthX = 0.0;
        double LengthY = 0.0;
        double LengthZ = 0.0;
        double OuterDiameter = 0.0;
        double InnerDiameter = 0.0;
        double Volume = 0.0;
        //! Key of the material in the density table ("ProjectKey"), at most 80 characters.
        std::string Material;
        double Density = 0.0;
        double Mass = 0.0;
        TVektor MassCenter;
        bool WorstCase = true;
        bool MassKnown = false;
        double MomentOfInertiaX = 0.0;
        double MomentOfInertiaY = 0.0;
        double MomentOfInertiaZ = 0.0;
    } Workpiece;
    //! Friction coefficient of the cups on the workpiece.
    double Friction = 0.0;

    // --- "SuctionCups*" ---
    //! The suction cup arrangement.
    TSaugerList SuctionCups;
    //! Filter selections of the suction cup page (ordinals of their name tables).
    struct TSuctionCupSelection {
        uint8_t StrokeCompensation = 0;
        uint8_t AirConnector = 0;
        uint8_t HolderType = 0;
        uint8_t Material = 0;
        uint8_t Shape = 0;
        uint8_t Size = 0;
        uint8_t Group = 0;
        bool Filter = false;
        bool AngleCompensation = false;
    } SuctionCupSelection;
    std::string SuctionCupsOrderCode;

    // --- "Tube.*" ---
    struct TTube {
        std::string OrderCode;
        //! Total tube length, m.
        double Length = 0.0;
        //! The length is entered as a total rather than per suction cup.
        bool TotalLength = false;
        uint8_t SelectionColor = 0;
        bool SelectionFood = false;
    } Tube;

    // --- "Venturi.*" (Pa, s) ---
    struct TVenturi {
        int32_t Count = 0;
        double Pressure = 0.0;
        //! Required vacuum as gauge pressure (below 0).
        double Vacuum = 0.0;
        double TimeMax = 0.0;
        uint8_t SelectionGroup = 0;
        uint8_t SelectionGewP = 0;
        uint8_t SelectionGewV = 0;
        uint8_t SelectionSwitch = 0;
        bool SelectionSaveAir = false;
        bool SelectionSilencer = false;
        bool SelectionMagneticValve = false;
        bool SelectionEjectorPulse = false;
        bool SelectionNonReturnValve = false;
        bool SelectionFilter = false;
        std::string OrderCode;
        double Time = 0.0;
    } Venturi;

    // --- "Moving.*" (m, kg, rad, kg m²) ---
    struct TMoving {
        TLinearDirection LinearDirection = cldVerticalUp;
        double LinearTravel = 0.0;
        double LinearHolderMass = 0.0;
        //! Lever arm from the swivel axis to the workpiece centre.
        double CircularLever = 0.0;
        double CircularAngle = 0.0;
        double CircularHolderMomentOfInertia = 0.0;
    } Moving;

    // --- "Drive.*" (Pa, m, m/s, rad/s, s) ---
    struct TPneumaticLinear {
        double Pressure = 0.0;
        double CylinderDiameter = 0.0;
        //! With shock absorbers ("Qdr").
        bool UseQdr = false;
        int32_t QdrCount = 0;
        std::string QdrOrderCode;
        bool AutomaticCylinderSelection = false;
        double Speed = 0.0;
        double Time = 0.0;
        double SafetyFactor = 0.0;
        //! The time is entered and the speed computed (else the other way round).
        bool CalculateSpeed = false;
    };
    struct TPneumaticCircular {
        double Pressure = 0.0;
        std::string OrderCode;
        bool UseQdr = false;
        int32_t QdrCount = 0;
        std::string QdrOrderCode;
        double AngularSpeed = 0.0;
        double Time = 0.0;
        double SafetyFactor = 0.0;
        bool CalculateSpeed = false;
    };
    struct TDrive {
        TDriveType Type = cdtPneumaticLinear;
        TPneumaticLinear PneumaticLinear;
        TPneumaticCircular PneumaticCircular;
        //! Motion profile of the linear servo axis (m).
        TMovement NCLinearMove;
        //! Motion profile of the rotary servo axis (rad).
        TMovement NCCircularMove;
    } Drive;

    // --- "Air.*": the production cycle and the price of compressed air (1/s, s, J) ---
    struct TAir {
        //! Cycles per second (the page shows them per hour).
        double CycleRate = 0.0;
        //! How long the workpiece is held per cycle after the evacuation, s.
        double HoldingTime = 0.0;
        //! Operating time per year, s.
        double OperatingTime = 0.0;
        //! Price of one standard cubic metre (currency-neutral).
        double Price = 0.0;
        //! Energy to make one standard cubic metre, J.
        double Energy = 0.0;
    } Air;
    //! Safety the cups must keep over the whole motion ("Loads.SafetyFactor").
    double RequiredSafety = 0.0;
    // --- "Site.*": the site's altitude and the workpiece's leak ---
    TSiteConditions Site;

    // --- derived state, not stored ---
    //! Condition results of the suction cup checks.
    std::array<double, 3> SuctionCupConditions{};
    //! Result blocks of the motion calculation.
    std::array<std::array<double, 3>, 4> MotionResults{};
    //! Unit vector of the linear motion direction.
    TVektor LinearDirectionVector = VektorPlusZ;
    //! Moment of inertia of the suction cups about the swivel axis, kg m².
    double SuctionCupsMomentOfInertia = 0.0;
    //! Moment of inertia of the workpiece about the swivel axis, kg m².
    double WorkpieceAxisMomentOfInertia = 0.0;
    //! Holder + suction cups + workpiece about the swivel axis, kg m².
    double TotalMomentOfInertia = 0.0;
    //! Internal volume of the cups plus the tube volume, m³.
    double EvacuatedVolume = 0.0;
    //! Volume of the chosen tube, m³; set by the tube calculation.
    double TubeVolume = 0.0;
    //! Set by the application while the start disclaimer is shown.
    bool DisclaimerPending = false;

    // --- handlers of the store's events ---
    //! Registers the keys in their fixed order.
    void RegisterItems();
    //! Applies the defaults that are not constants, for every section that begins with
    //! `prefix` (all for an empty prefix).
    void SetSectionDefaults(const std::string& prefix);
    //! Shows the project name, then every section that begins with `prefix` in turn,
    //! updating the derived values that belong to it first.
    void ShowSection(const std::string& prefix);

    //! Recomputes the suction cups' moment of inertia about the swivel axis and the
    //! evacuated volume and shows them; nothing while the disclaimer is shown or the
    //! store is busy.
    void UpdateDerivedInertia();

    //! The file name, or "[untitled]", at most cDisplayNameLength characters.
    std::string ProjectDisplayName() const;

    // --- values the view shows ---
    //! Tube length per suction cup (the total when there are no cups).
    double SingleTubeLength() const;
    //! Page of the motion-type tab and of the drive notebooks: 1 for the rotary drives.
    int MotionTabIndex() const;
    //! Tab of the drive: 1 for the servo drives.
    int DriveTabIndex() const;
    //! Share of the workpiece mass in the inertia about the swivel axis, lever² × mass.
    double WorkpieceLeverInertia() const;
    //! Unit vector of a linear motion direction.
    static TVektor DirectionVector(TLinearDirection direction);

private:
    TProject FProject;
    TProjectView* FView = nullptr;
};
