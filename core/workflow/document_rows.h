#pragma once

#include <string_view>

class TCustomTable;
class TMyProject;

// Where the document's choices stand in the product tables. Kept beside the page models so
// that the document itself knows no tables.

//! Row of the density table whose "ProjectKey" is the workpiece material; −1 if none.
int MaterialRow(const TMyProject& document, const TCustomTable& densityTable);
//! Row of the shock-absorber table whose "Bez" is `orderCode`: 0 for an empty code, −1 when
//! there is none.
int ShockAbsorberRow(const TCustomTable& table, std::string_view orderCode);
