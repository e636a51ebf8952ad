#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/custom_table.h"
#include "core/quantities/units.h"
#include "core/util/translate_func.h"

//! Unit conversion of one grid column: numbers are converted from the data unit to the
//! scale unit (cUM_Scale: no conversion) and, with ShowUnit, followed by its symbol.
struct TStrTableGridColumn {
    TNUMessurement DataUnit = cUM_Scale;
    TNUMessurement ScaleUnit = cUM_Scale;
    bool ShowUnit = false;
};

//! What a grid cell shows.
struct TGridCellText {
    std::string Text;
    //! Numbers are right-aligned, texts left-aligned.
    bool RightAligned = false;
    //! The bytes of a bitmap stored in a "<BLOB>" cell after its 8-byte mark (the counted
    //! string 7, "TBitmap"); empty
    //! for every other cell.
    std::span<const uint8_t> Bitmap;
};

//! The data side of a grid over a table or query: which table column each grid column
//! shows, titles, cell texts with unit conversion and translation, the row numbers, and
//! the refresh on change flags. Grid column 0 holds the 1-based row numbers and grid row 0
//! the titles; data column i is grid column i + 1, data row r is grid row r + 1.
class TStringTableGridModel : public TTableDependent {
public:
    using TTranslateFunc = ::TTranslateFunc;
    using TNotifyEvent = std::function<void(TStringTableGridModel& sender)>;

    //! Created in loading state, as a component being loaded: a table assigned before
    //! Loaded() is bound then.
    TStringTableGridModel();
    ~TStringTableGridModel() override;

    void Loaded();
    bool Loading() const { return loading_; }

    TCustomTable* Table() const { return loading_ ? pendingTable_ : table_; }
    void SetTable(TCustomTable* table);
    //! Own column selection, names joined by "|"; empty: every column of the table.
    const std::string& ColNames() const { return colNames_; }
    void SetColNames(std::string_view names);
    //! Column titles, language keys allowed; with titles there are at most as many data
    //! columns as titles.
    const std::vector<std::string>& Titles() const { return titles_; }
    void SetTitles(std::vector<std::string> titles);
    //! Whether the view sizes its columns to their texts on every refresh.
    bool AutoColSize = false;
    //! Translation of titles and "~" cells, handed in by the grid's owner (unset: the keys
    //! as they are).
    TTranslateFunc Translate;
    //! After every refresh: the view re-counts, re-sizes, repaints and raises its
    //! select-cell event for the current cell.
    TNotifyEvent OnRefresh;

    int DataCols() const { return static_cast<int>(map_.size()); }
    int DataRows() const { return table_ ? table_->Rows() : 0; }
    int ColCount() const { return DataCols() + 1; }
    int RowCount() const { return DataRows() + 1; }
    //! The title row is fixed while there is a data row.
    int FixedRows() const { return DataRows() > 0 ? 1 : 0; }
    //! Table column shown by data column i; −1 for none.
    int TableCol(int dataCol) const;
    //! Unit settings of data column i (created on demand).
    TStrTableGridColumn& GridColumn(int dataCol);

    std::string Title(int dataCol) const;
    TGridCellText Cell(int dataCol, int dataRow) const;
    static std::string RowNumberText(int dataRow) { return std::to_string(dataRow + 1); }
    //! The distinct texts of a data column and its title, which automatic widths measure.
    std::vector<std::string> ColumnTexts(int dataCol) const;

    //! While the update counter is above 0, refreshes are only marked; the last EndUpdate
    //! runs a marked one.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void Refresh();
    int Refreshes() const { return refreshes_; }

    void SourceChanged(TCustomTable& source, unsigned flags) override;
    void SourceDestroyed(TCustomTable& source) override;

private:
    std::string Translated(std::string_view key) const;
    void RebuildMap();

    bool loading_ = true;
    TCustomTable* table_ = nullptr;
    TCustomTable* pendingTable_ = nullptr;
    std::string colNames_;
    std::vector<std::string> titles_;
    std::vector<int> map_;
    std::vector<TStrTableGridColumn> columns_;
    int updateCount_ = 0;
    bool refreshPending_ = false;
    int refreshes_ = 0;
};
