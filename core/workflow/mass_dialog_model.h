#pragma once

#include "core/algebra/vektor.h"

#include <array>

class TWorkpieceModel;

//! The centre-of-gravity and moment-of-inertia dialog without widgets, reached for the
//! shapes without geometry. It edits a copy of the values; Ok stores them through the
//! workpiece model, and cancelling is dropping the object.
class TMassDialogModel {
public:
    //! Opens on the workpiece's current values.
    explicit TMassDialogModel(TWorkpieceModel& workpiece);

    //! Takes the values from the document again, as on opening.
    void Open();

    //! The "~WorstCase" check box is shown for the shapes without geometry only.
    bool WorstCaseVisible() const;
    bool WorstCase() const { return FWorstCase; }
    //! The check box: checking it recomputes the three moments by the worst-case rule.
    void ChkBoxTrMoWorstCaseClick(bool checked);
    //! All six fields are locked while the worst case is checked or the shape has a
    //! geometry of its own.
    bool ReadOnly() const;
    //! Only the moment about Z is shown.
    static bool MomentOfInertiaVisible(int axis) { return axis == 2; }

    //! Centre of gravity relative to the workpiece centre, m.
    const TVektor& MassCenter() const { return FMassCenter; }
    //! Coordinate 0, 1 or 2 of the centre of gravity; refused (false) while locked, for
    //! another axis or outside ±5 m.
    bool SetMassCenter(int axis, double value);
    //! Moment of inertia about axis 0, 1 or 2, kg m².
    double MomentOfInertia(int axis) const;
    //! Refused (false) while locked, for another axis, or when not finite or below 0.
    bool SetMomentOfInertia(int axis, double value);

    //! OK: stores the check box, the centre of gravity and the moments; with the worst
    //! case on, the moments are recomputed.
    void Ok();

private:
    TWorkpieceModel& FWorkpiece;
    bool FWorstCase = false;
    TVektor FMassCenter;
    std::array<double, 3> FMoments{};
};
