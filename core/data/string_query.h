#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/bit_array.h"
#include "core/data/custom_table.h"

//! Relation of a comparison filter.
enum TComparator { cCompEqual, cCompLessOrEqual, cCompGreaterOrEqual };

//! A named filter of a query: one selection bit per source row.
struct TCategory {
    std::string Name;
    TBitArray Bits;
    bool Enabled = true;
};

//! Ordered categories, "Main" always first, with their combined selection.
class TCategoryList {
public:
    std::vector<std::unique_ptr<TCategory>> Items;
    TBitArray Combined;
    int UpdateCount = 0;

    TCategory* Find(std::string_view name) const;
};

//! Table-bound controls that take faceted delivery from a query (combo boxes, check boxes):
//! while such a control refreshes, its own category is disabled, so the query shows the
//! rows that pass every other filter.
class TQueryFacetControl : public TTableDependent {
public:
    //! Name of the column, and of the control's category in the query.
    virtual std::string FacetFieldName() const = 0;
};

//! Live, filtered view of a source table. Rows pass when every enabled category accepts
//! them; the result keeps the source's row order and is a map into the source's rows.
class TStringQuery : public TCustomTable {
public:
    using TQueryExprConstEvent =
        std::function<void(TStringQuery& sender, const std::string& identifier, TTerm& result)>;

    TStringQuery();
    ~TStringQuery() override;

    TCustomTable* Table() const { return source_; }
    //! Binds to a source; ignored for the current source, the query itself, or a table
    //! that already depends on this query.
    void SetTable(TCustomTable* source);
    void SetColNames(std::string_view) override {} // mirrors the source

    //! Asked for identifiers of conditions that are not column names.
    TQueryExprConstEvent OnExprConst;

    // Columns are those of the source.
    std::string ColName(int col) const override;
    std::string ColTitle(int col) const override;
    int ColByName(std::string_view name) const override;
    const TStrFieldDB* Column(int col) const override;
    const TStrFieldDB* Column(std::string_view name) const override;
    int Rows() const override { return rows_; }
    bool HasSource(const TCustomTable* table) const override;
    void ReadCell(int row, int col, TTerm& term) const override;
    void DistinctValues(int col, TDistinctList& target, const TTavCustomIndexEvent& custom,
                        int counting, TStrSort sort, std::vector<double>* numbers) const override;
    bool DirectCell(int row, int col, const TStrFieldDB*& field, int& fieldRow) const override;
    bool DirectRows(std::vector<int32_t>& rows) const override;
    int ProgressWeight() const override;
    void RebuildStructure() override;
    void DeliverFlags(TTableDependent& dependent, unsigned flags) override;
    void SourceChanged(TCustomTable& source, unsigned flags) override;
    void SourceDestroyed(TCustomTable& source) override;

    //! Drops every control category, selects all rows and sends change flags 14.
    void Reset();
    //! Narrows the result by a condition (an expression over column names); sends flags 4.
    void AddCondition(std::string_view condition);

    //! The category of that name, created (all rows selected, enabled) when missing.
    TCategory& Category(std::string_view name);
    const TCategoryList& Categories() const { return categories_; }
    //! Keeps, in the named category, the rows whose cell in the column of the same name
    //! compares with `value` as asked.
    void FilterCategory(std::string_view name, const TTerm& value, TComparator comparator);
    //! Keeps, in the named category, the rows for which the expression gives a non-zero number.
    void FilterCategoryByExpression(std::string_view name, std::string_view condition);
    //! Selects every row in a category.
    void CategorySelectAll(std::string_view name);
    void EnableCategory(std::string_view name, bool enabled);
    void BeginCategoryUpdate();
    void EndCategoryUpdate();

    //! Result row -> source row.
    const std::vector<int32_t>& RowMap() const { return rowMap_; }
    //! Source row of a result row, -1 outside the result.
    int SourceRow(int row) const {
        return row >= 0 && static_cast<size_t>(row) < rowMap_.size() ? rowMap_[row] : -1;
    }

private:
    int SourceRows() const;
    void Recombine();
    void RebuildRowMap();
    void DropControlCategories();
    void ReportFilterProgress(int row, int rows, int weight);

    TCustomTable* source_ = nullptr;
    TCategoryList categories_;
    std::vector<int32_t> rowMap_;
    int rows_ = 0;
    bool rowMapStale_ = false;
};
