#include "core/workflow/report_writer.h"

#include "core/data/parts_list.h"
#include "core/quantities/number_format.h"
#include "core/workflow/model_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace {

// The header shares the column set of most blocks.
constexpr std::array kHeaderColumns{0.0, 0.25, 0.3, 0.5, 1.0};
constexpr size_t kSeparatorAtOne[] = {1};

// Byte offsets of the code points of a UTF-8 text, and its length as the last entry. A
// stray continuation byte counts as a character of its own, so that every byte belongs
// to one.
std::vector<size_t> CodePointStarts(std::string_view s) {
    std::vector<size_t> starts;
    starts.reserve(s.size() + 1);
    for (size_t i = 0; i < s.size();) {
        starts.push_back(i);
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80           ? 1
                   : (c >> 5) == 0x6  ? 2
                   : (c >> 4) == 0xE  ? 3
                   : (c >> 3) == 0x1E ? 4
                                      : 1;
        // Only as far as the continuation bytes go.
        size_t k = 1;
        while (k < n && i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80)
            ++k;
        i += k;
    }
    starts.push_back(s.size());
    return starts;
}

} // namespace

TReportWriter::TReportWriter(const TReportSetup& setup, TReportPageTexts texts)
    : texts_(std::move(texts)), left_(cLeftEdge), right_(setup.PageWidth - cRightMargin),
      top_(cTopEdge), bottom_(setup.PageHeight - cBottomMargin), h_(setup.LineHeight) {
    if (h_ <= 0) throw std::invalid_argument("report line height must be positive");
    Header();
    Rect(left_, top_ + cHeaderLines * h_, right_, bottom_ - cFooterLines * h_);
}

int TReportWriter::Column(size_t i) const {
    return i < columns_.size() ? columns_[i] : right_;
}

void TReportWriter::SetColumns(std::span<const double> fractions) {
    columns_.clear();
    const double width = right_ - left_;
    // Halves round to the even neighbour, as everywhere in the program.
    for (size_t i = 0; i < fractions.size() && i < cMaxColumns; ++i)
        columns_.push_back(left_ + static_cast<int>(RoundHalfEven(width * fractions[i])));
}

void TReportWriter::Line(int x, int y, int x2, int y2) {
    layout_.Commands.push_back({TReportCommand::crLine, x, y, x2, y2, 1, {}});
}

void TReportWriter::Rect(int x, int y, int x2, int y2) {
    layout_.Commands.push_back({TReportCommand::crRect, x, y, x2, y2, 1, {}});
}

void TReportWriter::Header() {
    Rect(left_, top_, right_, top_ + cHeaderLines * h_);
    SetColumns(kHeaderColumns);
    blockTop_ = top_;
    blockHeight_ = cHeaderLines * h_;
    Text(0, 0, texts_.Maker, 2);
    Text(1, 0, texts_.Title);
    Text(1, 1, texts_.DateTime);
    y_ = top_ + cHeaderLines * h_;
    atTop_ = true;
}

void TReportWriter::Footer() {
    const int footerTop = bottom_ - cFooterLines * h_;
    Rect(left_, footerTop, right_, bottom_);
    SetColumns(kHeaderColumns);
    blockTop_ = footerTop;
    blockHeight_ = cFooterLines * h_;
    Text(0, 0, FormatCounts(texts_.PageFormat, {page_}));
}

void TReportWriter::BeginBlock(int lines, std::span<const double> fractions) {
    const int height = std::max(lines, 0) * h_;
    if (!atTop_ && y_ + height > bottom_ - cFooterLines * h_) {
        Footer();
        layout_.Commands.push_back({TReportCommand::crNewPage, 0, 0, 0, 0, 1, {}});
        ++page_;
        Header();
        Rect(left_, top_ + cHeaderLines * h_, right_, bottom_ - cFooterLines * h_);
    } else if (!atTop_) {
        Line(left_, y_, right_, y_);
    }
    atTop_ = false;
    blockTop_ = y_;
    blockHeight_ = height;
    SetColumns(fractions);
}

void TReportWriter::Text(size_t col, int row, std::string_view text, int fontScale) {
    const int x = Column(col) + h_ / 2;
    for (;;) {
        const size_t br = text.find("\r\n");
        const std::string_view line = text.substr(0, br);
        layout_.Commands.push_back({TReportCommand::crText, x, blockTop_ + row * h_ + h_ / 2, 0, 0,
                                    fontScale, std::string(line)});
        if (br == std::string_view::npos) break;
        text.remove_prefix(br + 2);
        ++row;
    }
}

void TReportWriter::EndBlock(std::span<const size_t> separators) {
    for (const size_t i : separators) {
        const int x = Column(i);
        Line(x, blockTop_, x, blockTop_ + blockHeight_);
    }
    y_ = blockTop_ + blockHeight_;
}

void TReportWriter::EndBlock() {
    EndBlock(kSeparatorAtOne);
}

TReportLayout TReportWriter::Finish() {
    Footer();
    layout_.Pages = page_;
    return std::move(layout_);
}

std::vector<std::string> WrapReportCell(std::string_view text, size_t column) {
    const size_t limit = column == 2 ? 35 : 25;
    const char breakChar = column == 1 ? '-' : column == 2 ? ' ' : '\0';
    std::vector<std::string> lines;
    const std::vector<size_t> starts = CodePointStarts(text);
    size_t first = 0; // code point where the current line begins
    const size_t count = starts.size() - 1;
    while (count - first > limit) {
        size_t cut = first + limit;
        if (breakChar != '\0') {
            // The last break character among the limit's characters, not the first one.
            for (size_t i = first + limit - 1; i > first; --i)
                if (text[starts[i]] == breakChar) {
                    // Before a "-", which starts the next line; after a blank.
                    cut = breakChar == '-' ? i : i + 1;
                    break;
                }
        }
        lines.emplace_back(text.substr(starts[first], starts[cut] - starts[first]));
        first = cut;
    }
    lines.emplace_back(text.substr(starts[first]));
    return lines;
}

void WritePartsListBlock(TReportWriter& w, const TPartsList& list, const TTranslateFunc& tr) {
    if (list.Rows() == 0) return;
    static constexpr std::array kColumns{0.0, 0.1, 0.35, 0.6, 0.7, 0.8, 1.0};
    static constexpr std::array<std::string_view, 6> kTitles{
        "~ArtNo", "~OrderCode", "~Description", "~xLength", "~Quantity", "~PackagingUnit"};
    constexpr size_t kCols = kTitles.size();
    auto translate = [&tr](std::string_view key) { return TranslateOrKey(tr, key); };
    // Every cell is cut into its lines first: the block's height is made of them.
    std::vector<std::array<std::vector<std::string>, kCols>> cells(
        static_cast<size_t>(list.Rows()));
    std::vector<int> heights;
    int lines = 0;
    for (int r = 0; r < list.Rows(); ++r) {
        size_t tallest = 1;
        for (size_t c = 0; c < kCols; ++c) {
            const int col = static_cast<int>(c);
            std::string text = list.AsText(r, col);
            if (list.ColName(col).starts_with('~')) text = translate(text);
            auto& cell = cells[static_cast<size_t>(r)][c];
            cell = WrapReportCell(text, c);
            tallest = std::max(tallest, cell.size());
        }
        heights.push_back(static_cast<int>(tallest));
        lines += static_cast<int>(tallest);
    }
    w.BeginBlock(lines + 4, kColumns);
    w.Text(0, 0, translate("~PartsList"));
    for (size_t c = 0; c < kCols; ++c) w.Text(c, 2, translate(kTitles[c]));
    int row = 3;
    for (size_t r = 0; r < cells.size(); ++r) {
        for (size_t c = 0; c < kCols; ++c)
            for (size_t i = 0; i < cells[r][c].size(); ++i)
                w.Text(c, row + static_cast<int>(i), cells[r][c][i]);
        row += heights[r];
    }
    w.EndBlock({});
}
