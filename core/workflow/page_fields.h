#pragma once

#include "core/quantities/units.h"
#include "core/workflow/page_validation.h"

#include <string_view>
#include <vector>

class TMyProject;

//! One entry field of a page with the document value it holds: the language key of its
//! label, the control that gets the focus, its quantity and its range in base units (an
//! open upper end is infinity; Min equal to Max means no range).
struct TPageField {
    std::string_view Caption;
    std::string_view Control;
    TNormUnit Quantity = cNU_NoUnit;
    double Min = 0.0;
    double Max = 0.0;
    double Value = 0.0;
};

//! The entry fields `page` shows for the document's current shape, strategy and drive, in
//! the page's order. `absorberLever` is the drive page's lever of the rotary shock
//! absorbers, which the document does not keep.
std::vector<TPageField> PageFields(const TMyProject& document, int page, double absorberLever);

//! Whether the value field of `field` would show its value as valid (finite, within the
//! range, whole for a count), as when the user had typed it.
bool PageFieldValid(const TPageField& field);

//! The first entry field of `page` whose value is not valid, named by its label and
//! focusing it; a project can hold values no one could type. Also refuses an arrangement
//! with more cups than its count fields allow.
TPageCheckResult CheckPageFields(const TMyProject& document, int page, double absorberLever);
