#pragma once

#include <functional>

#include <QColor>

class QMouseEvent;
class QPainter;
class TDiagramm;

//! Axis index of the chart's indexed properties.
enum TDiagramAxis : int {
    daX = 0,
    daY = 1,
    daY2 = 2,
};

//! Number of axes a chart keeps.
inline constexpr int cDiagramAxisCount = 3;

//! Arrangement of axes and captions: cdlClassic and cdlVelmar draw X and Y, cdlVelmarYY
//! adds the second Y axis on the right.
enum TDiagramLayout : int {
    cdlClassic = 0,
    cdlVelmar = 1,
    cdlVelmarYY = 2,
};

//! Moments of a repaint at which the owner may paint on the chart, in paint order.
enum TPaintLayer : int {
    plPaper = 0,     //!< after the paper, before grid and bands
    plGetMinMax = 1, //!< after the min-max bands
    plCross = 2,     //!< after the grid drawn over the bands
    plUnits = 3,     //!< after marks, labels and unit captions
    plGetY = 4,      //!< after the curves
};

//! Value of curve `curve` at x: `valid` arrives true and is set false where the curve has
//! no value; `color` arrives as the axis' value colour.
using TGetYEvent = std::function<void(TDiagramm* sender, double x, int curve, double& y,
                                      QColor& color, bool& valid)>;

//! Vertical band from minY to maxY at x; `valid` arrives false and is set true for a band.
using TGetYMinMaxEvent = std::function<void(TDiagramm* sender, double x, int curve, double& minY,
                                            double& maxY, QColor& color, bool& valid)>;

//! The owner's own drawing at one layer of a repaint.
using TUserPaintEvent = std::function<void(TDiagramm* sender, TPaintLayer layer, QPainter& canvas)>;

//! Mouse events passed on to the owner after the chart's own handling.
using TDiagramMouseEvent = std::function<void(TDiagramm* sender, QMouseEvent* event)>;
