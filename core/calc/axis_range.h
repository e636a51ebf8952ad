#pragma once

//! Range of a chart axis, in base units.
struct TAxisRange {
    double Min = 0.0;
    double Max = 0.0;

    bool operator==(const TAxisRange&) const = default;
};
