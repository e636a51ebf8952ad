#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/document/my_project.h"

class TStringQuery;

//! How a stored filter selection becomes a filter of a product query.
enum TProductFilterKind {
    //! An entry of a name table: ordinal 0 ("*") is no preference, any other ordinal keeps
    //! the rows whose column reads that name (with a leading "~" for a translated column).
    cpfChoice,
    //! A yes/no option: false is no preference, true keeps the rows whose column reads
    //! true ("X" for a yes/no column, "~Yes" for a translated one).
    cpfFlag,
    //! A yes/no option over a column of several kinds of "yes": true keeps every row whose
    //! column does not read "~No".
    cpfAnyButNo,
};

//! One filter list or check box of a product page: the query column it filters (also the
//! name of its category in the query) and the document value that remembers it.
struct TProductFilter {
    std::string_view Column;
    TProductFilterKind Kind;
    //! The names of a choice (the project file's name table); empty for the options.
    std::span<const std::string_view> Names;
    //! The cell text that reads true for an option ("X" or "~Yes").
    std::string_view Yes;
};

std::span<const TProductFilter> SuctionCupFilters();
std::span<const TProductFilter> TubeFilters();
std::span<const TProductFilter> VenturiFilters();

//! The stored value of filter `index` of a page as an ordinal (0 or 1 for the options).
int SuctionCupFilterValue(const TMyProject::TSuctionCupSelection& s, size_t index);
int TubeFilterValue(const TMyProject::TTube& t, size_t index);
int VenturiFilterValue(const TMyProject::TVenturi& v, size_t index);

//! Stores a user's choice: the ordinal of `value` (a cell text of the filter's column, or
//! "" for no preference) in the document. A value the name table does not list is stored
//! as no preference. False when `column` is not a filter of the page.
bool StoreSuctionCupFilter(TMyProject::TSuctionCupSelection& s, std::string_view column,
                           std::string_view value);
bool StoreTubeFilter(TMyProject::TTube& t, std::string_view column, std::string_view value);
bool StoreVenturiFilter(TMyProject::TVenturi& v, std::string_view column, std::string_view value);

//! The cell text a stored choice filters on ("" for no preference).
std::string FilterValueText(const TProductFilter& filter, int ordinal);

//! Sets the categories of a page's filters in `query` from the stored selections, as the
//! filter lists would when chosen by hand, then notifies the query's dependents once.
void ApplySuctionCupFilters(const TMyProject::TSuctionCupSelection& s, TStringQuery& query);
void ApplyTubeFilters(const TMyProject::TTube& t, TStringQuery& query);
void ApplyVenturiFilters(const TMyProject::TVenturi& v, TStringQuery& query);
