#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/data/custom_table.h"
#include "core/data/orsik_connection.h"
#include "core/data/str_field_db.h"

//! A typed value of a Locate call, compared with the column of the same position.
using TLocateValue = std::variant<bool, int64_t, double, std::string>;

//! Base of stored tables: owns typed columns (TStrFieldDB) and a current record.
class TCustomStrTableDB : public TCustomTable {
public:
    TCustomStrTableDB() = default;

    int Rows() const override { return rows_; }
    //! Resizes every column to `rows`; new rows are empty, surplus rows are dropped.
    void SetRows(int rows);

    bool Indexed() const { return indexed_; }
    //! true: every column of types csfByte..csfString takes the dictionary form and the
    //! table becomes read-only; false: every such column is expanded back.
    void SetIndexed(bool indexed);
    bool ReadOnly() const { return readOnly_; }
    //! Cannot be cleared while the table is indexed.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly || indexed_; }

    std::string ColTitle(int col) const override { return ColName(col); }
    const TStrFieldDB* Column(int col) const override;
    //! By-name column lookup; unknown names raise EStrQueryError "invalid column name: %s".
    const TStrFieldDB* Column(std::string_view name) const override;
    TStrFieldDB* MutableColumn(int col);
    void ReadCell(int row, int col, TTerm& term) const override;
    void DistinctValues(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                        int counting, TStrSort sort, std::vector<double>* numbers) const override;

    bool DirectCell(int row, int col, const TStrFieldDB*& field, int& fieldRow) const override;
    bool DirectRows(std::vector<int32_t>& rows) const override { return !OnChangeField; }

    //! Frees a column, rebuilds the names and sends change flags 1.
    void DeleteColumn(int col);
    //! Adds a column (authoring); its row count follows the table.
    TStrFieldDB& AddColumn(const std::string& name, TStrFieldType type, uint16_t prec = 0,
                           uint16_t dec = 0, uint8_t transl8 = 0);
    //! Removes all columns and rows.
    void Clear();

    //! First row where every given value equals the cell of the same column; moves the
    //! current record there. Columns beyond Cols are ignored.
    bool Locate(const std::vector<TLocateValue>& values);

    int RecNo() const { return recNo_; }
    void First() { recNo_ = 0; }
    void Next() { ++recNo_; }
    void MoveBy(int n) { recNo_ += n; }
    //! Goes to row r; ignored outside 0..Rows-1.
    void GoTo(int row) {
        if (row >= 0 && row < rows_) recNo_ = row;
    }
    bool Eof() const { return recNo_ >= rows_; }

    //! Record-wise reads; EStrQueryError "no dataset selected" without a current record.
    int32_t FieldAsInteger(std::string_view colName) const;
    double FieldAsFloat(std::string_view colName) const;
    std::string FieldAsText(std::string_view colName) const;

    //! Writes the table blob (kind, rows, names, columns) in the container layout.
    std::vector<uint8_t> SaveToBytes() const;
    //! Heap bytes held by the columns, with the table blob they read in place.
    size_t MemoryBytes() const;

protected:
    void RebuildNames();
    const TStrFieldDB& CurrentColumn(std::string_view colName) const;

    std::vector<std::unique_ptr<TStrFieldDB>> columns_;
    int rows_ = 0;
    bool indexed_ = false;
    bool readOnly_ = false;
    int recNo_ = 0;
    size_t blobBytes_ = 0; // size of the blob the loaded columns read in
};

//! Stored table bound to one named table of a connection.
class TStrTableDB32Bit : public TCustomStrTableDB, public TConnectionClient {
public:
    TStrTableDB32Bit();
    ~TStrTableDB32Bit() override;

    TOrsikConnection* Connection() const { return ClientConnection(); }
    //! Unregisters from the old connection, clears the table, registers with the new one
    //! and has it load this table.
    void SetConnection(TOrsikConnection* connection);
    const std::string& Table() const { return table_; }
    void SetTable(const std::string& name);
    void SetColNames(std::string_view) override {} // follows the loaded table

    //! Loads from a table blob; with no blob the table stays empty. Throws EFormatError
    //! on a truncated or corrupt blob, leaving the table empty. The columns read their values
    //! in a copy of the blob.
    void LoadFromStream(std::optional<std::span<const uint8_t>> blob);
    //! As above, but the columns read their values in `blob` itself and share its ownership
    //! with `owner` (a connection's storage): nothing is copied.
    void LoadFromStream(std::optional<std::span<const uint8_t>> blob,
                        std::shared_ptr<const void> owner);
    //! Why the last load from the connection failed (empty when it did not).
    const std::string& LoadError() const { return loadError_; }

private:
    friend struct TStrTableDB32BitLoader;
    std::string table_;
    std::string loadError_;
};

//! Checks a table blob completely without building it; throws EFormatError.
void ValidateTableBlob(std::span<const uint8_t> blob);
