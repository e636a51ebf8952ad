#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TCustomTable;
class TMyProject;
class TPartsList;

//! What the document says about the amounts of the parts list.
struct TPartsAmounts {
    //! Order code of the chosen shock absorber (the text of its list); empty for none.
    std::string ShockAbsorber;
    int32_t ShockAbsorberCount = 0;
    //! Total tube length, m.
    double TubeLength = 0.0;
    int32_t SuctionCupCount = 0;
    int32_t VenturiCount = 0;
};

//! The tables the parts list is built from and the rows chosen in them (−1: none). The
//! order table ("Order": ShortCut, PartNo, OrderCode, Package, ~Description) is required;
//! a missing table or row drops its item.
struct TPartsSources {
    const TCustomTable* Order = nullptr;
    const TCustomTable* TubeQuery = nullptr;
    int TubeRow = -1;
    //! The stored tube table the chosen tube must exist in.
    const TCustomTable* Tube = nullptr;
    const TCustomTable* SuctionCupQuery = nullptr;
    int SuctionCupRow = -1;
    const TCustomTable* VenturiQuery = nullptr;
    int VenturiRow = -1;
    //! The stored vacuum generator table the chosen generator must exist in.
    const TCustomTable* Venturi = nullptr;
};

//! The amounts of the current document: the shock absorbers of the motion type's drive
//! when its shock absorber option is checked, the total tube length, the number of
//! suction cups of the arrangement and of vacuum generators.
TPartsAmounts PartsAmountsFromProject(const TMyProject& project);

//! Rebuilds the list: shock absorbers, tube (whole metres, "M"), suction cups and vacuum
//! generators, each through the order table.
void BuildPartsList(TPartsList& list, const TPartsAmounts& amounts, const TPartsSources& sources);

//! Adds one item through the order table: nothing for a count of 0, an unknown key or a
//! part number of 0; the quantity is the count rounded up to whole packages. The order
//! code is filled with `templateArg` ("%s") when one is given. True when a part was added.
//! A negative count, a packaging unit out of range or a quantity beyond
//! TPartsList::cQuantityMax, alone or added to the same part already listed, is not added
//! but noted as refused in the list.
bool AddOrderItem(TPartsList& list, const TCustomTable& order, std::string_view key, int32_t count,
                  std::string_view unit, const std::string* templateArg = nullptr);

//! Tube length in whole metres: rounded, and one more when that falls short by over 1 mm.
//! Nothing for a length that is negative, not finite or more metres than a quantity holds.
std::optional<int32_t> TubeMetres(double length);
//! The part of a suction cup order code that fills the order table's template: the text
//! after its second "-" (empty when there is none).
std::string CupTemplateArgument(std::string_view orderCode);
//! Fills "%s" of an order code template with `arg`; "%%" stands for "%".
std::string FillOrderTemplate(std::string_view tmpl, std::string_view arg);
