#pragma once

#include "core/util/translate_func.h"
#include "core/workflow/report_layout.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

class TPartsList;

//! The texts every page of the report carries: the maker's name in the header's first
//! column, the program line and the print date beside it, and the footer's page format
//! (translated, with one "%d").
struct TReportPageTexts {
    std::string Maker;
    std::string Title;
    std::string DateTime;
    std::string PageFormat;
};

//! Lays out the report's framed blocks one below the other: the page geometry, the header
//! and footer of every page, the body frame, the column sets of the blocks, their texts
//! and separators, and the page breaks, which fall only between blocks. Knows nothing of
//! what the blocks say.
class TReportWriter {
public:
    //! Margins of the printable area, in printer pixels.
    static constexpr int cLeftEdge = 200;
    static constexpr int cRightMargin = 100;
    static constexpr int cTopEdge = 100;
    static constexpr int cBottomMargin = 300;
    //! Heights of the bands, in lines.
    static constexpr int cHeaderLines = 4;
    static constexpr int cFooterLines = 2;
    //! A block has at most this many columns.
    static constexpr size_t cMaxColumns = 10;

    //! Starts the first page: its header and the body frame.
    TReportWriter(const TReportSetup& setup, TReportPageTexts texts);

    int Left() const { return left_; }
    int Right() const { return right_; }
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    int LineHeight() const { return h_; }
    //! Top of the next block.
    int Y() const { return y_; }
    //! The number of the current page, from 1.
    int Page() const { return page_; }
    //! Left end of column `i` of the current column set (the right edge beyond it).
    int Column(size_t i) const;

    //! Begins a block of `lines` lines with the column set `fractions` (of the printable
    //! width, left to right, at most cMaxColumns). A block that would reach into the footer
    //! starts a new page, unless it already stands at the top of the body, where a new page
    //! would not make it fit; any other block is set off from the one above by a line.
    void BeginBlock(int lines, std::span<const double> fractions);
    //! Puts `text` into column `col` and row `row` of the current block; each line of a
    //! text broken by CR LF goes to the next row.
    void Text(size_t col, int row, std::string_view text, int fontScale = 1);
    //! Closes the block with a vertical separator at each of the column indices and moves
    //! below it.
    void EndBlock(std::span<const size_t> separators);
    //! Closes the block with the usual separator at column 1.
    void EndBlock();

    //! The footer of the last page, and the commands of every page.
    TReportLayout Finish();

private:
    void Header();
    void Footer();
    void SetColumns(std::span<const double> fractions);
    void Line(int x, int y, int x2, int y2);
    void Rect(int x, int y, int x2, int y2);

    TReportPageTexts texts_;
    int left_, right_, top_, bottom_, h_;
    int y_ = 0;
    int blockTop_ = 0;
    int blockHeight_ = 0;
    int page_ = 1;
    // The body of the current page is still empty.
    bool atTop_ = true;
    std::vector<int> columns_;
    TReportLayout layout_;
};

//! The lines a parts-list cell is printed on: at most 25 characters each, 35 in column 2
//! (the description). Column 1 (the order code) is cut before the last "-" within the
//! limit, column 2 after the last blank within it; where there is none beyond the first
//! character, and in the other columns, the cut is at the limit. Characters are counted
//! as Unicode code points of the UTF-8 text. An empty text is one empty line.
std::vector<std::string> WrapReportCell(std::string_view text, size_t column);

//! The parts-list block: the title, the translated column titles in row 2 and from row 3
//! every part with its cells cut into lines (WrapReportCell; the description translated),
//! each part as many rows high as its longest cell; closed without separators. Nothing
//! for an empty list.
void WritePartsListBlock(TReportWriter& w, const TPartsList& list, const TTranslateFunc& tr);
