#pragma once

#include "core/algebra/vektor.h"
#include "core/calc/axis_range.h"
#include "core/quantities/my_project_types.h"

// Geometry, volume and inertia of the workpiece, over plain values in base units
// (m, m³, kg, kg m²). Results that would not be finite come out as 0.

//! Input limits of the workpiece fields, base units.
inline constexpr double cWorkpieceLengthMax = 10.0;      //!< X, Y, Z, D and Di, m (minimum 0)
inline constexpr double cWorkpieceVolumeMax = 1000.0;    //!< m³ (minimum 0)
inline constexpr double cWorkpieceDensityMax = 30000.0;  //!< kg/m³ (minimum 0)
inline constexpr double cWorkpieceFrictionMax = 2.0;     //!< minimum 0
inline constexpr double cWorkpieceMassCenterLimit = 5.0; //!< each coordinate within ±5 m
//! Smallest full extent of the workpiece in its views, m.
inline constexpr double cWorkpieceViewMinExtent = 0.01;

//! Dimensions of the workpiece, m: envelope X, Y, Z, outer diameter D, inner diameter Di.
struct TWorkpieceSize {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    double D = 0.0;
    double Di = 0.0;
};

//! True for a shape code of the table (0..9).
bool ValidWorkpieceShape(int shape);

//! Volume of the shape. The two shapes without geometry keep `current` (mass known) or
//! take it as entered (volume known). An inner diameter above the outer one is not
//! rejected and gives a pipe a volume below 0.
double WorkpieceVolume(TWorkpieceShape shape, const TWorkpieceSize& size, double current);

//! Principal moment of inertia about the axis through the centre parallel to X, Y or Z
//! (axis 0, 1, 2; any other axis gives 0). Shapes 0 and 1 use the worst-case estimate. A
//! pipe is a hollow cylinder: m·(r² + ri²)/2 about its axis, m·(3(r² + ri²) + L²)/12
//! across it.
double WorkpieceMomentOfInertia(TWorkpieceShape shape, const TWorkpieceSize& size, double mass,
                                int axis);
//! Worst-case estimate from the envelope: m·(sum of the squares of the two other full
//! extents), no divisor; 0 for an axis other than 0, 1, 2.
double WorstCaseMomentOfInertia(const TWorkpieceSize& size, double mass, int axis);

//! Largest suction cup diameter the workpiece admits: the middle one of X, Y, Z for the
//! shapes without geometry and the bar, the outer diameter for the round shapes.
double WorkpieceGripSize(TWorkpieceShape shape, const TWorkpieceSize& size);

//! Half extents along X, Y, Z: the radius across a round shape's axis, else half the
//! length.
TVektor WorkpieceHalfExtents(TWorkpieceShape shape, const TWorkpieceSize& size);

//! How a view draws the workpiece.
enum TWorkpieceOutlineKind : uint8_t {
    cwoEnvelope,  //!< dotted rectangle of the envelope (shapes without geometry)
    cwoRectangle, //!< filled rectangle (bar; cylinder or pipe seen across its axis)
    cwoCircle,    //!< filled circle (sphere; cylinder or pipe seen along its axis)
};

//! Outline of the workpiece in one view, in the view's horizontal and vertical
//! coordinates (m). Fill yellow; a pipe's bore is a white circle.
struct TWorkpieceOutline {
    TWorkpieceOutlineKind Kind = cwoRectangle;
    //! Centre, offset by the centre of gravity.
    double CenterH = 0.0;
    double CenterV = 0.0;
    //! Rectangle sides; a circle has its diameter in both.
    double Width = 0.0;
    double Height = 0.0;
    //! Diameter of the bore of a pipe seen along its axis, else 0.
    double Bore = 0.0;
};

//! One of the three workpiece views: axis ranges, size in pixels and outline.
struct TWorkpieceView {
    TAxisRange Horizontal;
    TAxisRange Vertical;
    int Width = 0;
    int Height = 0;
    TWorkpieceOutline Outline;
};

//! The three workpiece views of the positioning page, drawn at one common scale.
struct TWorkpieceViews {
    //! Full extents wX, wY, wZ, each at least cWorkpieceViewMinExtent.
    TVektor Extent;
    double MarginH = 0.0;
    double MarginV = 0.0;
    //! Pixels per metre, shared by the three views (0 when the group has no room).
    double Scale = 0.0;
    TWorkpieceView XY; //!< X across, Y up
    TWorkpieceView XZ; //!< X across, Z up
    TWorkpieceView YZ; //!< Y across, Z up
};

//! Geometry of the three views for a group box of groupWidth × groupHeight pixels, with
//! cupHeight (m) the height of the chosen suction cup and massCenter the centre of gravity
//! relative to the workpiece centre.
TWorkpieceViews WorkpieceViews(TWorkpieceShape shape, const TWorkpieceSize& size,
                               const TVektor& massCenter, double cupHeight, double groupWidth,
                               double groupHeight);

//! Axis of a cylinder or pipe (0 = X, 1 = Y, 2 = Z); -1 for the other shapes.
int WorkpieceRoundAxis(TWorkpieceShape shape);
