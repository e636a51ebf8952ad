#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <QAbstractTableModel>
#include <QHash>
#include <QImage>
#include <QTableView>

#include "core/data/table_grid.h"

class QPainter;
class TStringTableGrid;

//! Qt's view of a TStringTableGridModel: one row per data row, one column per data
//! column; the row numbers are the vertical header and the titles the horizontal header.
//! Cells are read from the grid model only when Qt asks for them; the last cell read is
//! kept, because a delegate asks for several roles of one cell in a row.
class TStringTableItemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    //! Decoded bitmap of a BLOB cell, a QImage (the grid draws it itself).
    static constexpr int BitmapRole = Qt::UserRole + 1;

    explicit TStringTableItemModel(TStringTableGridModel& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    //! The grid model's cell behind an index (cached for the last cell asked).
    const TGridCellText& CellAt(int row, int col) const;
    //! The picture of a BLOB cell, decoded once per refresh; null for other cells.
    QImage BitmapAt(int row, int col) const;

    //! The grid model was refreshed: re-count rows and columns, drop cached cells.
    void BeginReset();
    void EndReset();

private:
    TStringTableGridModel& grid_;
    int rows_ = 0;
    int cols_ = 0;
    mutable int cachedRow_ = -1;
    mutable int cachedCol_ = -1;
    mutable TGridCellText cached_;
    mutable QHash<const void*, QImage> images_;
};

//! A grid of the rows and columns of a table or query. Grid column 0 (the vertical header)
//! shows the 1-based row numbers, grid row 0 (the horizontal header) the titles. Numbers
//! are right-aligned, texts left-aligned; in the columns declared as tick columns, cells
//! that read the yes text show a tick and cells that read the no text a cross; BLOB cells
//! holding a bitmap show the picture. The grid refreshes on every change of its table and
//! after every language switch of its window's group (titles and "~" cells follow the new
//! language), keeps the current row when it is still there and then raises its select-cell
//! event, so that the owner re-reads the current row.
//!
//! Every event has the std::function member for the owner's handler and a Qt signal,
//! raised right after it, for any number of other followers.
class TStringTableGrid : public QTableView {
    Q_OBJECT
public:
    //! aCol and aRow in grid coordinates (data column i is aCol i + 1, data row r is aRow
    //! r + 1; aRow 0 when the table has no rows).
    using TSelectCellEvent = std::function<void(TStringTableGrid& sender, int aCol, int aRow)>;
    //! Asked for every data column when AutoColSize sizes the columns; a handler that sets
    //! UserDefined keeps its width (at least the title's width + 6).
    using TGetColWidthEvent = std::function<void(TStringTableGrid& sender, int aCol, int& aWidth, bool& UserDefined)>;
    //! After the grid has drawn a cell: data cells, titles (aRow 0), row numbers (aCol 0)
    //! and the corner (0, 0). `rect` and `painter` belong to the widget that shows the
    //! cell (the viewport, a header or the corner button).
    using TDrawCellEvent = std::function<void(TStringTableGrid& sender, int aCol, int aRow, const QRect& rect, QPainter& painter)>;
    using TNotifyEvent = std::function<void(TStringTableGrid& sender)>;

    explicit TStringTableGrid(QWidget* parent = nullptr);
    ~TStringTableGrid() override;

    //! The data side: table, column names, titles, unit settings of the columns, update
    //! brackets. Its OnRefresh belongs to this widget.
    TStringTableGridModel& Model() { return model_; }
    const TStringTableGridModel& Model() const { return model_; }
    TStringTableItemModel& ItemModel() { return items_; }

    TCustomTable* Table() const { return model_.Table(); }
    void SetTable(TCustomTable* table) { model_.SetTable(table); }
    void SetColNames(std::string_view names) { model_.SetColNames(names); }
    void SetTitles(std::vector<std::string> titles) { model_.SetTitles(std::move(titles)); }

    bool AutoColSize() const { return model_.AutoColSize; }
    //! Switching it on sizes the columns at once.
    void SetAutoColSize(bool value);
    //! Sizes every column to its texts now (see AutoColSize).
    void SizeColumns();

    //! Width of a grid column; column 0 is the row-number column.
    int ColWidth(int aCol) const;
    void SetColWidth(int aCol, int width);
    void SetDefaultRowHeight(int height);

    //! Whole-row selection instead of single cells. Tab then leaves the grid for the next
    //! control instead of stepping through the row's cells.
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);

    //! The tick columns: names of table columns (letter case aside) whose yes/no cells
    //! are drawn as a tick (yes) or a cross (no). Every other column shows its texts, also
    //! where they read yes or no.
    void SetTickColumns(std::vector<std::string> names);
    const std::vector<std::string>& TickColumns() const { return tickColumns_; }
    //! Whether data column i shows a tick column.
    bool IsTickColumn(int dataCol) const;

    //! Texts of the yes/no result columns as the cells read them (the translations of
    //! "~Yes" and "~No"). Until set, the grid model's translation of those keys at the
    //! last refresh is used. Empty texts switch tick drawing off.
    void SetTickTexts(const QString& yes, const QString& no);
    const QString& TickYes() const { return tickYes_; }
    const QString& TickNo() const { return tickNo_; }

    //! Current cell in grid coordinates (0 when there is none).
    int Col() const;
    int Row() const;
    //! Makes a data cell current (grid coordinates) and raises the select-cell event.
    void SetCurrentCell(int aCol, int aRow);

    TSelectCellEvent OnSelectCell;
    TGetColWidthEvent OnGetColWidth;
    TDrawCellEvent OnDrawCell;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    //! Data cells drawn by the delegate since construction (a measure of painting work).
    long long CellsPainted() const { return cellsPainted_; }

signals:
    //! Right after OnSelectCell.
    void cellSelected(int aCol, int aRow);
    //! Right after OnGetColWidth; a follower may change the width and UserDefined too.
    void colWidthRequested(int aCol, int& aWidth, bool& UserDefined);
    //! Right after OnDrawCell.
    void cellDrawn(int aCol, int aRow, const QRect& rect, QPainter* painter);
    //! Right after OnMouseEnter and OnMouseLeave.
    void mouseEntered();
    void mouseLeft();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TStringTableGridDelegate;
    friend class TStringTableGridHeader;
    //! Raises OnDrawCell and cellDrawn for a cell just drawn.
    void CellDrawn(int aCol, int aRow, const QRect& rect, QPainter& painter);
    void ModelRefreshed();
    void RaiseSelectCell();
    int TextWidth(const QString& text) const;
    int TitleWidth(const QString& text) const;
    int CellTextWidth(const QString& text) const;

    TStringTableGridModel model_;
    TStringTableItemModel items_;
    std::vector<std::string> tickColumns_;
    QString tickYes_;
    QString tickNo_;
    bool tickTextsSet_ = false;
    bool rowSelect_ = false;
    bool refreshing_ = false;
    int rowNumberWidth_ = -1;
    long long cellsPainted_ = 0;
    QWidget* corner_ = nullptr;
};
