#pragma once

#include "core/calc/forces.h"

#include <functional>

#include "core/util/signal.h"

class TMyProject;

//! The forces-and-moments page without widgets: the extreme forces, the moments and the
//! chart ranges of the current drive, and the values of the force and moment charts over
//! time. Reads the workpiece, the motion direction and lever and the drive's acceleration
//! triple from the project document and the curves from the motion calculation.
class TForcesModel {
public:
    //! Any number of followers; the application connects its recalculation chain first.
    using TNotifyEvent = TSignal<TForcesModel&>;

    //! Series of the force charts (legend colours navy, green, maroon, red).
    enum TForceSeries { cfsX = 0, cfsY = 1, cfsZ = 2, cfsTotal = 3 };
    //! Series of the moment chart: YZ, XZ and XY plane (maroon, green, navy); only the
    //! first carries points.
    enum TMomentSeries { cmsYZ = 0, cmsXZ = 1, cmsXY = 2 };

    //! `motion` (not owned) may be null until the motion calculation exists; the curves
    //! then have no points and the time axis ends at 0.
    explicit TForcesModel(TMyProject& document, const TMotionCurves* motion = nullptr);

    TMyProject& Document() const { return FDocument; }
    const TMotionCurves* Motion() const { return FMotion; }
    void SetMotion(const TMotionCurves* motion) { FMotion = motion; }

    //! Recomputes extremes, chart ranges and moments, then OnKraftChange. Run after every
    //! motion or drive change, a change of the drive type and a click on the force chart;
    //! does nothing while the disclaimer is pending or a project is loading.
    void KraftChange();
    //! The same without that guard, for entering the page and after a load.
    void Recalculate();

    const TForceExtremes& Extremes() const { return FExtremes; }
    //! A linear drive's moments come only from an off-centre centre of gravity: all three
    //! are 0 for a centred mass.
    const TGripperMoments& Moments() const { return FMoments; }
    const TForceChartRanges& ChartRanges() const { return FRanges; }
    //! The total force is shown for a linear motion up or down only.
    bool TotalForceVisible() const;

    //! Force chart callback: series `curve` (TForceSeries) at time x, N. `valid` arrives
    //! true and is set false where the series has no point.
    void DiagrammKraefteGetY(double x, int curve, double& y, bool& valid) const;
    //! Moment chart callback: Jz·α(x) of the rotary servo profile in series 0, N·m; no
    //! points otherwise.
    void DiagrammMomenteGetY(double x, int curve, double& y, bool& valid) const;

    //! Raised at the end of a recalculation: the load page refreshes its maximum values.
    TNotifyEvent OnKraftChange;

private:
    TDriveAccelerations Accelerations() const;

    TMyProject& FDocument;
    const TMotionCurves* FMotion;
    TForceExtremes FExtremes;
    TGripperMoments FMoments;
    TForceChartRanges FRanges;
};
