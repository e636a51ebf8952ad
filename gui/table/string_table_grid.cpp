#include "gui/table/string_table_grid.h"

#include <algorithm>
#include <vector>

#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QHeaderView>
#include <QPaintEvent>
#include <QMetaMethod>
#include <QSet>
#include <QStyle>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

#include "core/data/container_format.h"
#include "gui/lang/language_form.h"
#include "gui/lang/qt_translators.h"

namespace {

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Every live grid, for the translator that refreshes them after a language switch.
QSet<TStringTableGrid*>& Grids() {
    static QSet<TStringTableGrid*> grids;
    return grids;
}

// The grid binds no property: titles and "~" cells are translated when they are shown, so
// after a switch the grids of the switched group refresh.
void RegisterGridTranslator() {
    static const auto translator = [] {
        auto t = std::make_unique<TQtTranslator>([](QObject* o) { return qobject_cast<TStringTableGrid*>(o) != nullptr; },
                                                 std::vector<TQtTranslator::TProperty>{});
        t->OnLanguageChanged = [](int group) {
            // A refresh raises the owner's select-cell event, which may destroy grids.
            const QList<TStringTableGrid*> all = Grids().values();
            for (TStringTableGrid* grid : all)
                if (Grids().contains(grid) && FollowsLanguageGroup(grid, group)) grid->Model().Refresh();
        };
        return t;
    }();
    (void)translator;
}

// Decoded pictures kept per refresh; a long scroll through a picture column would otherwise
// keep every picture of the table.
constexpr int kMaxCachedImages = 512;

} // namespace

// --- TStringTableItemModel ---

TStringTableItemModel::TStringTableItemModel(TStringTableGridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int TStringTableItemModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TStringTableItemModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

const TGridCellText& TStringTableItemModel::CellAt(int row, int col) const {
    if (row != cachedRow_ || col != cachedCol_) {
        cached_ = grid_.Cell(col, row);
        cachedRow_ = row;
        cachedCol_ = col;
    }
    return cached_;
}

QImage TStringTableItemModel::BitmapAt(int row, int col) const {
    const TGridCellText& cell = CellAt(row, col);
    if (cell.Bitmap.empty()) return {};
    const void* key = cell.Bitmap.data();
    if (auto it = images_.constFind(key); it != images_.constEnd()) return *it;
    if (images_.size() >= kMaxCachedImages) images_.clear();
    QImage image = QImage::fromData(cell.Bitmap.data(), static_cast<int>(cell.Bitmap.size()));
    images_.insert(key, image);
    return image;
}

QVariant TStringTableItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    switch (role) {
    case Qt::DisplayRole: {
        const TGridCellText& cell = CellAt(index.row(), index.column());
        return cell.Bitmap.empty() ? ToQ(cell.Text) : QString();
    }
    case Qt::TextAlignmentRole: {
        const TGridCellText& cell = CellAt(index.row(), index.column());
        return QVariant::fromValue(Qt::Alignment((cell.RightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    case BitmapRole: {
        QImage image = BitmapAt(index.row(), index.column());
        return image.isNull() ? QVariant() : QVariant(image);
    }
    default:
        return {};
    }
}

QVariant TStringTableItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < cols_) return ToQ(grid_.Title(section));
        return {};
    }
    if (section < 0 || section >= rows_) return {};
    if (role == Qt::DisplayRole) return QString::number(section + 1);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TStringTableItemModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TStringTableItemModel::BeginReset() { beginResetModel(); }

void TStringTableItemModel::EndReset() {
    rows_ = grid_.DataRows();
    cols_ = grid_.DataCols();
    cachedRow_ = cachedCol_ = -1;
    cached_ = {};
    images_.clear();
    endResetModel();
}

// --- drawing of the cells ---

//! Draws ticks for the yes cells and crosses for the no cells of the tick columns, pictures
//! for bitmap cells and the rest as the styled delegate does, then raises the grid's
//! OnDrawCell.
class TStringTableGridDelegate : public QStyledItemDelegate {
public:
    explicit TStringTableGridDelegate(TStringTableGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        TStringTableGrid& grid = *grid_;
        ++grid.cellsPainted_;
        const TGridCellText& cell = grid.items_.CellAt(index.row(), index.column());
        const QImage image = cell.Bitmap.empty() ? QImage() : grid.items_.BitmapAt(index.row(), index.column());
        bool yes = false;
        bool no = false;
        if (cell.Bitmap.empty() && !cell.RightAligned && !grid.tickYes_.isEmpty() && grid.IsTickColumn(index.column())) {
            const QString text = ToQ(cell.Text);
            yes = text == grid.tickYes_;
            no = !yes && text == grid.tickNo_;
        }
        if (!image.isNull() || yes || no || !cell.Bitmap.empty()) {
            // Background, selection and focus as for any cell, then our own content.
            QStyleOptionViewItem opt = option;
            initStyleOption(&opt, index);
            opt.text.clear();
            const QWidget* widget = option.widget;
            QStyle* style = widget ? widget->style() : QApplication::style();
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
            const QRect area = option.rect.adjusted(1, 1, -1, -1);
            const QColor ink = (option.state & QStyle::State_Selected) ? option.palette.highlightedText().color()
                                                                       : option.palette.text().color();
            painter->save();
            painter->setClipRect(option.rect);
            if (!image.isNull()) DrawImage(*painter, area, image);
            else if (yes) DrawTick(*painter, area, ink);
            else if (no) DrawCross(*painter, area, ink);
            painter->restore();
        } else {
            QStyledItemDelegate::paint(painter, option, index);
        }
        grid.CellDrawn(index.column() + 1, index.row() + 1, option.rect, *painter);
    }

private:
    static void DrawImage(QPainter& painter, const QRect& area, const QImage& image) {
        QSize size = image.size();
        if (size.width() > area.width() || size.height() > area.height()) size.scale(area.size(), Qt::KeepAspectRatio);
        const QRect target(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                           size.width(), size.height());
        painter.drawImage(target, image);
    }

    // The mark's square: centred in the cell, 70 % of its smaller side; none below 4 pixels.
    static bool MarkSquare(const QRect& area, double& x0, double& y0, double& side) {
        side = std::min(area.width(), area.height()) * 0.7;
        x0 = area.center().x() - side / 2;
        y0 = area.center().y() - side / 2;
        return side >= 4;
    }

    static void StrokePath(QPainter& painter, const QPainterPath& path, const QColor& color, double side) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, std::max(2.0, side / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }

    static void DrawTick(QPainter& painter, const QRect& area, const QColor& color) {
        double x0 = 0, y0 = 0, side = 0;
        if (!MarkSquare(area, x0, y0, side)) return;
        QPainterPath path;
        path.moveTo(x0 + 0.12 * side, y0 + 0.55 * side);
        path.lineTo(x0 + 0.40 * side, y0 + 0.85 * side);
        path.lineTo(x0 + 0.90 * side, y0 + 0.15 * side);
        StrokePath(painter, path, color, side);
    }

    static void DrawCross(QPainter& painter, const QRect& area, const QColor& color) {
        double x0 = 0, y0 = 0, side = 0;
        if (!MarkSquare(area, x0, y0, side)) return;
        QPainterPath path;
        path.moveTo(x0 + 0.2 * side, y0 + 0.2 * side);
        path.lineTo(x0 + 0.8 * side, y0 + 0.8 * side);
        path.moveTo(x0 + 0.8 * side, y0 + 0.2 * side);
        path.lineTo(x0 + 0.2 * side, y0 + 0.8 * side);
        StrokePath(painter, path, color, side);
    }

    TStringTableGrid* grid_;
};

//! The title row and the row-number column: drawn as Qt draws header sections, then the
//! grid's OnDrawCell for the cell.
class TStringTableGridHeader : public QHeaderView {
public:
    TStringTableGridHeader(Qt::Orientation orientation, TStringTableGrid* grid) : QHeaderView(orientation, grid), grid_(grid) {}

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        // The header's own drawing leaves a painter without clipping clipped to nothing.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        if (!rect.isValid()) return;
        if (orientation() == Qt::Horizontal)
            grid_->CellDrawn(logicalIndex + 1, 0, rect, *painter);
        else
            grid_->CellDrawn(0, logicalIndex + 1, rect, *painter);
    }

private:
    TStringTableGrid* grid_;
};

// --- TStringTableGrid ---

TStringTableGrid::TStringTableGrid(QWidget* parent) : QTableView(parent), items_(model_) {
    RegisterGridTranslator();
    Grids().insert(this);
    setHorizontalHeader(new TStringTableGridHeader(Qt::Horizontal, this));
    setVerticalHeader(new TStringTableGridHeader(Qt::Vertical, this));
    // As the view's own headers are set up.
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(true);
        header->setHighlightSections(true);
    }
    setModel(&items_);
    // The corner above the row numbers is the grid's cell (0, 0); it is drawn by a button
    // of the view, watched for its paint events.
    if (QAbstractButton* button = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        corner_ = button;
        corner_->installEventFilter(this);
    }
    setItemDelegate(new TStringTableGridDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    // Widths follow the sizing rule of the grid, not the header's own margins.
    horizontalHeader()->setTextElideMode(Qt::ElideNone);
    verticalHeader()->setTextElideMode(Qt::ElideNone);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    model_.OnRefresh = [this](TStringTableGridModel&) { ModelRefreshed(); };
    model_.Loaded();
}

TStringTableGrid::~TStringTableGrid() {
    Grids().remove(this);
    if (corner_) corner_->removeEventFilter(this);
    model_.OnRefresh = nullptr;
    setModel(nullptr);
}

void TStringTableGrid::ModelRefreshed() {
    refreshing_ = true;
    const QModelIndex old = currentIndex();
    const int oldRow = old.isValid() ? old.row() : 0;
    const int oldCol = old.isValid() ? old.column() : 0;
    // A reset gives the header default widths again; a grid that keeps its columns keeps
    // their widths.
    std::vector<int> widths;
    for (int c = 0; c < items_.columnCount(); ++c) widths.push_back(columnWidth(c));

    items_.BeginReset();
    items_.EndReset();

    const int cols = items_.columnCount();
    if (cols == static_cast<int>(widths.size()))
        for (int c = 0; c < cols; ++c) setColumnWidth(c, widths[static_cast<size_t>(c)]);
    if (!tickTextsSet_) {
        const auto tr = [this](std::string_view key) { return ToQ(TranslateOrKey(model_.Translate, key)); };
        tickYes_ = tr("~Yes");
        tickNo_ = tr("~No");
    }
    if (model_.AutoColSize) SizeColumns();
    const int rows = items_.rowCount();
    if (rows > 0 && cols > 0) {
        const QModelIndex keep = items_.index(std::clamp(oldRow, 0, rows - 1), std::clamp(oldCol, 0, cols - 1));
        selectionModel()->setCurrentIndex(keep, QItemSelectionModel::ClearAndSelect |
                                                    (rowSelect_ ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
    }
    refreshing_ = false;
    viewport()->update();
    RaiseSelectCell();
}

void TStringTableGrid::RaiseSelectCell() {
    const int aCol = Col();
    const int aRow = Row();
    if (OnSelectCell) OnSelectCell(*this, aCol, aRow);
    emit cellSelected(aCol, aRow);
}

void TStringTableGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!refreshing_ && current.isValid() && current != previous) RaiseSelectCell();
}

int TStringTableGrid::Col() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() + 1 : 0;
}

int TStringTableGrid::Row() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void TStringTableGrid::SetCurrentCell(int aCol, int aRow) {
    const QModelIndex i = items_.index(aRow - 1, aCol - 1);
    if (i.isValid()) setCurrentIndex(i);
}

void TStringTableGrid::SetRowSelect(bool value) {
    rowSelect_ = value;
    setSelectionBehavior(value ? SelectRows : SelectItems);
    // With whole rows chosen, Tab stepping through a row's cells would change nothing the
    // user sees and keep the focus in the grid: it moves on to the next control instead,
    // and the arrow keys choose the row.
    setTabKeyNavigation(!value);
}

void TStringTableGrid::SetTickColumns(std::vector<std::string> names) {
    tickColumns_ = std::move(names);
    viewport()->update();
}

bool TStringTableGrid::IsTickColumn(int dataCol) const {
    if (tickColumns_.empty()) return false;
    const TCustomTable* table = model_.Table();
    const int col = model_.TableCol(dataCol);
    if (!table || col < 0) return false;
    const std::string name = table->ColName(col);
    return std::any_of(tickColumns_.begin(), tickColumns_.end(),
                       [&](const std::string& tick) { return SameTextAscii(tick, name); });
}

void TStringTableGrid::CellDrawn(int aCol, int aRow, const QRect& rect, QPainter& painter) {
    if (OnDrawCell) OnDrawCell(*this, aCol, aRow, rect, painter);
    emit cellDrawn(aCol, aRow, rect, &painter);
}

bool TStringTableGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint && (OnDrawCell || isSignalConnected(QMetaMethod::fromSignal(&TStringTableGrid::cellDrawn)))) {
        // The button draws itself first; the owner's drawing goes on top.
        static_cast<QObject*>(corner_)->event(event);
        QPainter painter(corner_);
        CellDrawn(0, 0, corner_->rect(), painter);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TStringTableGrid::SetTickTexts(const QString& yes, const QString& no) {
    tickYes_ = yes;
    tickNo_ = no;
    tickTextsSet_ = true;
    viewport()->update();
}

void TStringTableGrid::SetAutoColSize(bool value) {
    model_.AutoColSize = value;
    if (value) SizeColumns();
}

int TStringTableGrid::TextWidth(const QString& text) const { return fontMetrics().horizontalAdvance(text); }

int TStringTableGrid::CellTextWidth(const QString& text) const {
    // The style keeps a margin on both sides of a cell's text and the grid line takes a
    // pixel; the rule's 7 pixels must cover them, or the text would be cut short.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int needed = 2 * margin + (showGrid() ? 1 : 0) + 1;
    return TextWidth(text) + std::max(0, needed - 7);
}

int TStringTableGrid::TitleWidth(const QString& text) const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    return horizontalHeader()->fontMetrics().horizontalAdvance(text) + 2 * margin;
}

void TStringTableGrid::SizeColumns() {
    // Row numbers: the widest of the row-count text written with one digit or a blank in
    // every position.
    {
        const qsizetype digits = QString::number(model_.RowCount()).size();
        int widest = 0;
        for (const QChar ch : QStringLiteral("0123456789 ")) widest = std::max(widest, TextWidth(QString(digits, ch)));
        SetColWidth(0, widest + 1 + 6);
    }
    for (int c = 1; c < model_.ColCount(); ++c) {
        int width = ColWidth(c);
        bool userDefined = false;
        if (!model_.Loading()) {
            if (OnGetColWidth) OnGetColWidth(*this, c, width, userDefined);
            emit colWidthRequested(c, width, userDefined);
        }
        if (userDefined) {
            width = std::max(width, TitleWidth(ToQ(model_.Title(c - 1))) + 6);
        } else {
            // The first text is the title, drawn in the header's font with its margins.
            const std::vector<std::string> texts = model_.ColumnTexts(c - 1);
            int widest = 0;
            for (size_t i = 0; i < texts.size(); ++i)
                widest = std::max(widest, i == 0 ? TitleWidth(ToQ(texts[i])) : CellTextWidth(ToQ(texts[i])));
            width = widest + 1 + 6;
        }
        SetColWidth(c, width);
    }
}

int TStringTableGrid::ColWidth(int aCol) const {
    if (aCol == 0) return rowNumberWidth_ >= 0 ? rowNumberWidth_ : verticalHeader()->sizeHint().width();
    return columnWidth(aCol - 1);
}

void TStringTableGrid::SetColWidth(int aCol, int width) {
    if (aCol == 0) {
        rowNumberWidth_ = width;
        verticalHeader()->setFixedWidth(width);
        return;
    }
    setColumnWidth(aCol - 1, width);
}

void TStringTableGrid::SetDefaultRowHeight(int height) { verticalHeader()->setDefaultSectionSize(height); }

void TStringTableGrid::enterEvent(QEnterEvent* event) {
    QTableView::enterEvent(event);
    if (OnMouseEnter) OnMouseEnter(*this);
    emit mouseEntered();
}

void TStringTableGrid::leaveEvent(QEvent* event) {
    QTableView::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave(*this);
    emit mouseLeft();
}
