#pragma once

#include "core/data/custom_table.h"

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

//! One row of the parts list.
struct TPart {
    //! Decimal part number ("ArtNr"), at most 8 characters.
    std::string PartNo;
    //! Order code ("Typ"), at most 80 characters.
    std::string OrderCode;
    //! Language key of the description ("~Ben").
    std::string Description;
    //! Length of a part cut to length ("xLen"); 0 for none.
    int32_t Length = 0;
    //! Quantity ("Anzahl").
    int32_t Quantity = 0;
    //! Appended to the length text, at most 10 characters.
    std::string LengthUnit;
    //! "ST" (pieces) or "M" (metres), at most 10 characters.
    std::string QuantityUnit;
    //! Units per package ("VPE").
    int32_t Package = 0;
};

//! The parts list of the designed gripper: parts in insertion order, read as a table with
//! the fixed columns "ArtNr|Typ|~Ben|xLen|Anzahl|VPE". Complete when constructed.
class TPartsList : public TCustomTable {
public:
    using TGetColTitleEvent =
        std::function<void(const TPartsList& sender, int col, std::string& colTitle)>;

    static constexpr std::string_view cColNames = "ArtNr|Typ|~Ben|xLen|Anzahl|VPE";
    static constexpr size_t cPartNoMax = 8;
    static constexpr size_t cOrderCodeMax = 80;
    static constexpr size_t cUnitMax = 10;
    //! Largest quantity (pieces or metres) a part can have: the quantities are 32-bit.
    static constexpr int32_t cQuantityMax = INT32_MAX;

    TPartsList();

    int Rows() const override { return static_cast<int>(parts_.size()); }
    //! The columns are fixed: assigning names does nothing.
    void SetColNames(std::string_view names) override;
    //! Asks OnGetColTitle; empty when it is not assigned.
    std::string ColTitle(int col) const override;
    void ReadCell(int row, int col, TTerm& term) const override;

    //! Adds to the quantity of the part with the same part number and order code (removing
    //! it when the quantity becomes 0), or appends a new part; then sends change flags 2.
    //! Texts longer than their fields allow are cut. A sum beyond the 32-bit quantity is
    //! not made: the part keeps its quantity and the addition is noted as refused. True
    //! when the part was added or merged, false when the addition was refused.
    bool Add(std::string_view partNo, std::string_view orderCode, int32_t package, int32_t quantity,
             std::string_view quantityUnit, std::string_view lengthUnit, int32_t length,
             std::string_view description);
    //! Removes a row and sends change flags 2; rows outside the list are ignored.
    void Delete(int row);
    //! Removes every row and every refusal with one notification.
    void Clear();

    //! Notes an item that could not be listed because no order file can hold it; the
    //! exports refuse a list with such a note.
    void Refuse(std::string message);
    //! Why items were left out since the last Clear, one message each.
    const std::vector<std::string>& Refusals() const { return refusals_; }

    //! The part of a row; an empty part outside the list.
    const TPart& Part(int row) const;
    const std::vector<TPart>& Parts() const { return parts_; }

    TGetColTitleEvent OnGetColTitle;

private:
    std::vector<TPart> parts_;
    std::vector<std::string> refusals_;
};
