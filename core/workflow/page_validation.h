#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/workflow/page_controls.h"

class TMyProject;

//! A check that failed on leaving a page: the message (a language key, or the title of a
//! grid column) and the control that receives the focus, empty for none; the control is
//! one of the stable names of core/workflow/page_controls.h.
struct TPageCheckFailure {
    std::string Message;
    std::string FocusControl;

    bool operator==(const TPageCheckFailure&) const = default;
};

//! The first failed check of a page; empty when every check passed.
using TPageCheckResult = std::optional<TPageCheckFailure>;

//! Caption of the message box that reports a failed check.
inline constexpr std::string_view cInvalidValueCaption = "~ErrorInvalidValue";
//! The workpiece must admit a suction cup larger than this, m.
inline constexpr double cMinGripSize = 0.0012;

//! Titles of the first columns of the three product grids (their tick columns): the
//! message of a refused product choice.
inline constexpr std::string_view cSuctionCupGridFirstTitle = "~SuitableForWorkpiece";
inline constexpr std::string_view cTubeGridFirstTitle = "~FittingToSuctionCup";
inline constexpr std::string_view cVenturiGridFirstTitle = "~FittingToTube";

//! The checks on leaving a page that read only values of the project document, each
//! returning its first failure in the order the page lists them. A value counts as
//! positive when it is above 0; a value that is not a number fails.
class TPageValidation {
public:
    //! Workpiece page: the sizes the shape shows, the inner diameter below the outer one,
    //! the friction coefficient, and a grip size above cMinGripSize (no focus).
    static TPageCheckResult CheckWorkpiece(const TMyProject& document);
    //! Vacuum generator page, after its product check: the required vacuum below 0.
    static TPageCheckResult CheckRequiredVacuum(const TMyProject& document);
    //! Motion page: angle and lever of a rotary motion, travel of a linear one.
    static TPageCheckResult CheckMotion(const TMyProject& document);
    //! Drive page: the lever of the shock absorbers of a rotary pneumatic drive that uses
    //! them. The lever is an input of the drive page that the document does not keep.
    static TPageCheckResult CheckDrive(const TMyProject& document, double absorberLever);
    //! A product page: fails with the grid's first column title, focusing the grid, unless
    //! a valid row is chosen.
    static TPageCheckResult CheckSelection(bool selectedValid, std::string firstColumnTitle,
                                           std::string_view gridName);
};
