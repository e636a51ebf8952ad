#pragma once

#include "core/calc/axis_range.h"

// Speed–time relations and schematic curves of a pneumatic stroke or swivel. A pneumatic
// drive has no exact motion law: its curves show the typical shape, scaled by the chart's
// Y range, which the drive sizing sets.

//! Ratio of the maximum to the mean speed of a pneumatic stroke s (m): 2.0 up to 0.05 m,
//! 1.5 up to 0.1 m, 1.25 above.
double PneumaticProfileFactor(double stroke);
//! Maximum speed of a stroke s travelled in t, k·s/t, m/s; 0 for t ≤ 0.
double PneumaticLinearSpeed(double stroke, double time);
//! Travel time of a stroke s at maximum speed v, k·s/v, s; 0 for v ≤ 0.
double PneumaticLinearTime(double stroke, double speed);
//! Maximum angular speed of a swivel φ (rad) in t, 2·φ/t, rad/s; 0 for t ≤ 0.
double PneumaticRotarySpeed(double angle, double time);
//! Swivel time of φ at maximum angular speed ω, 2·φ/ω, s; 0 for ω ≤ 0.
double PneumaticRotaryTime(double angle, double speed);
//! Limits of the time field for a speed field with limits `speedLimits`: the times at the
//! upper and at the lower speed limit.
TAxisRange PneumaticLinearTimeLimits(double stroke, const TAxisRange& speedLimits);
TAxisRange PneumaticRotaryTimeLimits(double angle, const TAxisRange& speedLimits);

//! Curve of a schematic pneumatic chart.
enum TPneumaticCurve {
    cpcLinearAcceleration,
    cpcRotaryAcceleration,
    cpcVelocity,
    cpcPosition,
};

//! Value of a schematic curve at time x of a motion of duration `duration` on a chart
//! whose Y axis runs from yMin to yMax; 0 outside 0..duration and for duration ≤ 0.
double PneumaticCurveValue(TPneumaticCurve curve, double x, double duration, double yMax,
                           double yMin);

//! Band around a schematic curve showing the spread of a pneumatic drive.
struct TPneumaticBand {
    //! False where no band is drawn (position charts, the middle units, outside the time).
    bool Valid = false;
    double From = 0.0;
    double To = 0.0;
};

//! Band of an acceleration or velocity curve at time x (first two and last of the seven
//! time units only).
TPneumaticBand PneumaticCurveBand(TPneumaticCurve curve, double x, double duration, double yMax,
                                  double yMin);
