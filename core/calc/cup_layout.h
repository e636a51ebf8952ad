#pragma once

#include "core/algebra/vektor.h"

#include <array>
#include <string_view>
#include <vector>

// The arrangement strategies: how many cups each one uses, the largest cup it leaves room
// for, where it puts the cups, and whether a cup of the catalogue fits it.

//! Strategy codes (the items of the strategy list).
enum TSaugerStrategy : int {
    cssManual = 0,
    cssOneInCentre = 1,
    cssAtBothEnds = 2,
    cssCorners = 3,
    cssArea = 4,
    cssCircumference = 5,
    cssCircularArea = 6,
    cssLinearX = 7,
    cssLinearY = 8,
};

//! Stored names of the arrangement strategies, by code.
inline constexpr std::array<std::string_view, 9> cSaugerStrategyNames = {"Manual",
                                                                         "One in centre",
                                                                         "At both ends",
                                                                         "Rectangular <corners>",
                                                                         "Rectangular <area>",
                                                                         "Circular <circumference>",
                                                                         "Circular <area>",
                                                                         "Linear <x>",
                                                                         "linear <y>"};
//! Caption keys of the strategy list, by code.
inline constexpr std::array<std::string_view, 9> cSaugerStrategyCaptions = {
    "~ManualPositioning",  "~OneInCentre",     "~AtBothEnds",
    "~RectangularCorners", "~RectangularArea", "~CircularCircumference",
    "~CircularArea",       "~LinearX",         "~LinearY"};
//! Strategy of a new arrangement and of an unknown stored name.
inline constexpr int cSaugerDefaultStrategy = cssCircumference;
//! Range of the two count fields.
inline constexpr int cSaugerCountMin = 1;
inline constexpr int cSaugerCountMax = 30;
//! Most cups the area and the linear strategies lay out; beyond they leave the positions.
inline constexpr int cSaugerMaxAreaCups = 900;
inline constexpr int cSaugerMaxLinearCups = 30;
//! Cup diameter admitted by manual positioning (and by an unknown strategy), m.
inline constexpr double cSaugerManualDiameter = 1.0;

//! Sets the counts a strategy fixes: 1 and 8 use one cup across (count 1 = 1), 2 and 3
//! two (count 1 = 2); 0, 1, 2, 5, 6, 7 one row (count 2 = 1), 3 two rows (count 2 = 2).
void NormalizeStrategyCounts(int strategy, int& count1, int& count2);

//! Room the strategies work in: h = WX − 2e and r = WY − 2e, t = min(h, r), m.
struct TCupRoom {
    double H = 0.0;
    double R = 0.0;
    double T() const { return H < R ? H : R; }
    bool operator==(const TCupRoom&) const = default;
};

//! Largest cup diameter (m) the strategy leaves room for, with room h and r, spacing s
//! between the cups, n cups in all and nx × ny for the area.
double AdmittedCupDiameter(int strategy, const TCupRoom& room, double s, int n, int nx, int ny);

//! Everything the layout of a strategy depends on.
struct TCupLayoutInput {
    int Strategy = cSaugerDefaultStrategy;
    //! Full workpiece extents WX, WY, WZ, m.
    TVektor Extents;
    //! Long and short cup radius, m.
    double RadiusLong = 0.0;
    double RadiusShort = 0.0;
    //! Distance of the cups from the workpiece edge, m.
    double Edge = 0.0;
    //! Start angle of the circular strategies, rad.
    double Angle = 0.0;
    int CountX = 1;
    int CountY = 1;
    //! Number of cups in the list.
    int Count = 1;
};

//! One laid-out cup: nominal position on the top face, with axial direction +Z and the
//! given radial direction 1.
struct TCupPlacement {
    TVektor Pos;
    TVektor Radial1 = VektorPlusX;
};

//! Nominal positions of the strategy's cups, in list order. False (and no positions) when
//! the strategy keeps the positions: manual positioning, an unknown strategy, more than
//! cSaugerMaxAreaCups cups of the area or more than cSaugerMaxLinearCups in a line.
bool LayoutCups(const TCupLayoutInput& in, std::vector<TCupPlacement>& out);

//! The inputs of the suitability of a cup row for the arrangement.
struct TCupSuitability {
    int Strategy = cSaugerDefaultStrategy;
    int Count = 1;
    int CountX = 1;
    int CountY = 1;
    //! h and r, with the edge distance subtracted except for manual positioning, m.
    TCupRoom Room;
    //! Largest cup diameter the project admits, m.
    double MaxDiameter = 0.0;
    //! Weight of the workpiece, N.
    double Weight = 0.0;

    //! True when a cup of outer diameter dmax (m, "DmaxSuctionCup"), holder diameter w (m)
    //! and holding force fs07 (N) suits: it is not wider than admitted, all cups together
    //! hold the weight, and the strategy leaves room for its holder.
    bool Suitable(double dmax, double w, double fs07) const;
    bool operator==(const TCupSuitability&) const = default;
};
