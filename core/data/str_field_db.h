#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/string_pool.h"
#include "core/data/value_array.h"
#include "core/quantities/term.h"
#include "core/util/byte_reader.h"
#include "core/util/byte_writer.h"

//! Column types of stored tables, by their stored code.
enum TStrFieldType : uint8_t {
    csfPBool = 0,
    csfBool = 1,
    csfByte = 2,
    csfWord = 3,
    csfDWord = 4,
    csfFloat = 5,
    csfStringLen = 6,
    csfString = 7,
    csfMemo = 8,
    csfBLOB = 9,
    csfWideStringLen = 10,
    csfWideString = 11,
};
inline constexpr int kFieldTypeCount = 12;

//! Stored name of a column type ("csfFloat").
const char* FieldTypeName(TStrFieldType type);
//! Type by stored name; unknown names give csfPBool and known = false.
TStrFieldType FieldTypeFromName(std::string_view name, bool* known = nullptr);
//! Types that take the dictionary form in an indexed table.
inline bool FieldTypeIndexable(TStrFieldType t) { return t >= csfByte && t <= csfString; }
inline bool FieldTypeIsBool(TStrFieldType t) { return t == csfPBool || t == csfBool; }
inline bool FieldTypeIsInt(TStrFieldType t) { return t >= csfByte && t <= csfDWord; }
inline bool FieldTypeIsText(TStrFieldType t) {
    return t == csfStringLen || t == csfString || t == csfWideStringLen || t == csfWideString;
}

//! One column of a stored table: a typed value store, and in dictionary form a row index
//! into it (the value of row r is store[index[r]]). A column loaded from a table blob reads
//! its values and texts where they lie in the blob, which it keeps alive, and decodes a text
//! on its first read; the first change copies what it changes.
class TStrFieldDB {
public:
    explicit TStrFieldDB(TStrFieldType type, uint16_t prec = 0, uint16_t dec = 0,
                         uint8_t transl8 = 0);

    //! Reads one column stream for a table of `rows` rows. Throws EFormatError on
    //! truncated or inconsistent data. With `blob` (the owner of the bytes `r` reads) the
    //! column reads its values where they lie and keeps the blob alive; without, it copies
    //! them.
    static std::unique_ptr<TStrFieldDB> CreateFromStream(TByteReader& r, int rows,
                                                         std::shared_ptr<const void> blob = {});
    //! Writes the column stream in the same layout.
    void WriteToStream(TByteWriter& w) const;

    TStrFieldType DataType() const { return type_; }
    uint16_t Prec = 0;
    uint16_t Dec = 0;
    uint8_t Transl8 = 0;

    int Rows() const { return rows_; }
    bool Indexed() const { return indexed_; }
    const TValueArray<int32_t>& RowIndex() const { return index_; }
    //! Number of values in the store (in dictionary form: distinct values).
    size_t ValueCount() const;
    //! Store slot of a row, -1 when the row has none.
    int Slot(int row) const;

    //! The cell of a row as a term (see the cell rules of the stored tables).
    void ReadCell(int row, TTerm& term) const;
    //! The value-store entry `slot` as a term; for per-row types the row's cell.
    void ReadSlot(int slot, TTerm& term) const;

    bool GetBool(int row) const;
    int32_t GetInt(int row) const;
    double GetFloat(int row) const;
    std::string GetText(int row) const;
    //! The stored text of a text column's row, valid until the column changes; empty for a
    //! row without a value and for other types.
    std::string_view TextView(int row) const;
    //! Row form, number and text columns: one id per row, equal for equal stored values,
    //! numbered in order of first appearance; `firstRows` gets the first row of each id.
    //! Null for other columns. Valid until the column changes.
    const std::vector<int32_t>* RowValueIds(const std::vector<int32_t>*& firstRows) const;
    std::vector<std::string> Memo(int row) const;
    std::span<const uint8_t> Blob(int row) const;

    //! Resizes the column to `rows` rows; new rows are false, 0 or empty.
    void SetRows(int rows);
    //! Converts to dictionary form (values in order of first appearance) or back to one
    //! value per row. Only types csfByte..csfString take the dictionary form.
    void SetIndexed(bool indexed);

    //! Appending a row's value to a column in row form (authoring). The text of 8-bit
    //! columns must be representable in code page 1252.
    void AppendBool(bool v);
    void AppendInt(int32_t v);
    void AppendFloat(double v);
    void AppendText(std::string_view utf8);
    void AppendMemo(const std::vector<std::string>& lines);
    void AppendBlob(std::span<const uint8_t> bytes);

    //! Heap bytes held by the column, without the blob it reads in place.
    size_t MemoryBytes() const;
    //! True while some values are read in the table blob.
    bool ViewsBlob() const;
    //! "Values = a .. b" for the trace, empty when there are no values.
    std::string ValueRangeText() const;

private:
    void BeginAppend();
    void ReadValues(TByteReader& r);
    void OwnValues();
    void ReleaseUnusedBlob();
    bool SlotBool(int slot) const;
    int32_t SlotInt(int slot) const;
    std::string_view SlotText(int slot) const;
    // Display texts of a dictionary float column, made once per value: formatting a float
    // costs far more than the comparisons a query makes with it.
    const std::string& CachedFloatText(int slot) const;
    void InvalidateTextCache();

    TStrFieldType type_;
    int rows_ = 0;
    bool indexed_ = false;
    std::shared_ptr<const void> blob_; // keeps the blob alive that values are read in
    TValueArray<int32_t> index_;
    TValueArray<uint8_t> bytes_;     // csfPBool (packed), csfBool, csfByte
    size_t boolCount_ = 0;           // values of csfPBool
    TValueArray<int16_t> words_;     // csfWord
    TValueArray<int32_t> dwords_;    // csfDWord
    TValueArray<double> floats_;     // csfFloat
    TStringPool texts_;              // csfStringLen, csfString, csfWideString; csfMemo lines
    std::vector<uint32_t> rowStart_; // csfMemo: first line of each row; csfBLOB: first byte
    std::vector<uint8_t> blobData_;  // csfBLOB
    mutable std::vector<std::string> textCache_;
    mutable std::vector<uint8_t> textCached_;
    mutable char cacheSep_ = 0;
    mutable uint16_t cachePrec_ = 0;
    mutable uint16_t cacheDec_ = 0;
    // Row form: an id per row, equal ids for equal stored values (in order of first
    // appearance), and the first row of each id; made on first use, dropped on any change.
    mutable std::vector<int32_t> valueIds_;
    mutable std::vector<int32_t> idFirstRow_;
    mutable bool valueIdsValid_ = false;
};

//! The string list of a "<Memo>" cell term, empty for other terms.
std::vector<std::string> MemoOf(const TTerm& term);
//! The byte stream of a "<BLOB>" cell term, empty for other terms.
std::span<const uint8_t> BlobOf(const TTerm& term);

class TDistinctBuilder;

//! Offers the distinct values of a number or text column over its rows `rows` to `builder`,
//! grouped by stored value first so that each value's cell is read once, with the number of
//! rows holding it. False (nothing offered) for the other column types.
bool AddDistinctByValue(const TStrFieldDB& field, std::span<const int32_t> rows, TDistinctBuilder& builder);
