#include "core/data/parts_list.h"
#include "core/workflow/report_writer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

// The report's layout engine: page geometry, header, footer and body frame, column sets,
// texts in rows, separators, page breaks between blocks, and the parts-list cells cut into
// lines. Every expected position is worked out from the margins (left 200, right width −
// 100, top 100, bottom height − 300) and the line height.

namespace {

using TOp = TReportCommand::TOp;

TReportCommand Txt(int x, int y, std::string text, int scale = 1) {
    return {TReportCommand::crText, x, y, 0, 0, scale, std::move(text)};
}
TReportCommand Ln(int x, int y, int x2, int y2) {
    return {TReportCommand::crLine, x, y, x2, y2, 1, {}};
}
TReportCommand Box(int x, int y, int x2, int y2) {
    return {TReportCommand::crRect, x, y, x2, y2, 1, {}};
}
TReportCommand NewPage() {
    return {TReportCommand::crNewPage, 0, 0, 0, 0, 1, {}};
}

TReportPageTexts Texts() {
    return {"Orsik", "Designer 3.1", "2026-05-04 12:00", "Page %d"};
}

TReportSetup Page(int height) {
    TReportSetup s;
    s.PageWidth = 4961;
    s.PageHeight = height;
    s.LineHeight = 100;
    return s;
}

constexpr double kMain[] = {0.0, 0.25, 0.3, 0.5, 1.0};
constexpr double kFriction[] = {0.0, 0.25, 0.3, 0.4, 0.5, 1.0};

// The commands of a layout from index `from` on.
std::vector<TReportCommand> From(const TReportLayout& l, size_t from) {
    return {l.Commands.begin() + static_cast<std::ptrdiff_t>(from), l.Commands.end()};
}

size_t Count(const TReportLayout& l, TOp op) {
    return static_cast<size_t>(std::count_if(l.Commands.begin(), l.Commands.end(),
                                             [op](const TReportCommand& c) { return c.Op == op; }));
}

} // namespace

TEST(ReportWriter, FirstPageHasHeaderBodyFrameAndFooter) {
    // A4 at 600 dpi: printable from x 200 to 4861 (width 4661), y 100 to 6716.
    TReportWriter w(Page(7016), Texts());
    EXPECT_EQ(w.Left(), 200);
    EXPECT_EQ(w.Right(), 4861);
    EXPECT_EQ(w.Top(), 100);
    EXPECT_EQ(w.Bottom(), 6716);
    EXPECT_EQ(w.Y(), 500); // below the header of 4 lines
    const TReportLayout l = w.Finish();
    EXPECT_EQ(l.Pages, 1);
    const std::vector<TReportCommand> expected{
        Box(200, 100, 4861, 500),
        // The header's columns are those of most blocks: 0 and 0.25 of 4661 (1165.25).
        Txt(250, 150, "Orsik", 2),
        Txt(1415, 150, "Designer 3.1"),
        Txt(1415, 250, "2026-05-04 12:00"),
        Box(200, 500, 4861, 6516),
        // The footer is 2 lines high and ends at the bottom edge.
        Box(200, 6516, 4861, 6716),
        Txt(250, 6566, "Page 1"),
    };
    EXPECT_EQ(l.Commands, expected);
}

TEST(ReportWriter, ColumnsAreRoundedFractionsOfThePrintableWidth) {
    TReportWriter w(Page(7016), Texts());
    w.BeginBlock(2, kMain);
    // 4661 × 0.3 = 1398.3; × 0.5 = 2330.5, a half, which goes to the even 2330.
    EXPECT_EQ(w.Column(0), 200);
    EXPECT_EQ(w.Column(1), 1365);
    EXPECT_EQ(w.Column(2), 1598);
    EXPECT_EQ(w.Column(3), 2530);
    EXPECT_EQ(w.Column(4), 4861);
    // A column beyond the set is the right edge.
    EXPECT_EQ(w.Column(5), 4861);
    w.EndBlock();
    w.BeginBlock(2, kFriction);
    EXPECT_EQ(w.Column(3), 2064); // 4661 × 0.4 = 1864.4
    EXPECT_EQ(w.Column(4), 2530);
    EXPECT_EQ(w.Column(5), 4861);
}

TEST(ReportWriter, BlocksPlaceTextsInRowsAndCloseWithSeparators) {
    TReportWriter w(Page(7016), Texts());
    const size_t start = 5; // header rectangle, its three texts, the body frame
    w.BeginBlock(3, kMain);
    w.Text(0, 0, "Title");
    w.Text(1, 2, "third row");
    w.EndBlock();
    EXPECT_EQ(w.Y(), 800);
    w.BeginBlock(2, kFriction);
    // A text with CR LF goes on as many rows.
    w.Text(2, 0, "a\r\nb\r\nc");
    const size_t separators[] = {0, 4};
    w.EndBlock(separators);
    EXPECT_EQ(w.Y(), 1000);
    const TReportLayout l = w.Finish();
    const std::vector<TReportCommand> expected{
        // The first block stands right under the header: no line above it.
        Txt(250, 550, "Title"),
        Txt(1415, 750, "third row"),
        Ln(1365, 500, 1365, 800),
        // The second is set off by a line across the page.
        Ln(200, 800, 4861, 800),
        Txt(1648, 850, "a"),
        Txt(1648, 950, "b"),
        Txt(1648, 1050, "c"),
        Ln(200, 800, 200, 1000),
        Ln(2530, 800, 2530, 1000),
        Box(200, 6516, 4861, 6716),
        Txt(250, 6566, "Page 1"),
    };
    EXPECT_EQ(From(l, start), expected);
}

TEST(ReportWriter, ABlockThatWouldReachTheFooterStartsANewPage) {
    // Page height 2000: bottom 1700, footer from 1500, so the body holds 10 lines (500-1500).
    TReportWriter w(Page(2000), Texts());
    w.BeginBlock(6, kMain);
    w.EndBlock();
    // 1100 + 4 lines ends exactly on the footer: still on this page.
    w.BeginBlock(4, kMain);
    EXPECT_EQ(w.Page(), 1);
    w.EndBlock();
    EXPECT_EQ(w.Y(), 1500);
    const TReportLayout l = w.Finish();
    EXPECT_EQ(l.Pages, 1);
    EXPECT_EQ(Count(l, TReportCommand::crNewPage), 0u);
    // The second block is set off by a line at 1100.
    EXPECT_NE(std::find(l.Commands.begin(), l.Commands.end(), Ln(200, 1100, 4861, 1100)),
              l.Commands.end());
}

TEST(ReportWriter, PageBreakPrintsFooterNewPageHeaderAndFrame) {
    TReportWriter w(Page(2000), Texts());
    w.BeginBlock(6, kMain);
    w.EndBlock();
    w.BeginBlock(4, kMain);
    w.EndBlock();
    // One more line would cross 1500.
    w.BeginBlock(1, kMain);
    EXPECT_EQ(w.Page(), 2);
    EXPECT_EQ(w.Y(), 500);
    w.Text(0, 0, "C");
    w.EndBlock();
    const TReportLayout l = w.Finish();
    EXPECT_EQ(l.Pages, 2);
    EXPECT_EQ(Count(l, TReportCommand::crNewPage), 1u);
    const auto page = std::find(l.Commands.begin(), l.Commands.end(), NewPage());
    ASSERT_NE(page, l.Commands.end());
    // Before the break: the footer of page 1.
    const std::vector<TReportCommand> footer{Box(200, 1500, 4861, 1700), Txt(250, 1550, "Page 1")};
    EXPECT_EQ(std::vector<TReportCommand>(page - 2, page), footer);
    const std::vector<TReportCommand> next{
        Box(200, 100, 4861, 500),
        Txt(250, 150, "Orsik", 2),
        Txt(1415, 150, "Designer 3.1"),
        Txt(1415, 250, "2026-05-04 12:00"),
        Box(200, 500, 4861, 1500),
        // At the top of the new body: no line above the block.
        Txt(250, 550, "C"),
        Ln(1365, 500, 1365, 600),
        Box(200, 1500, 4861, 1700),
        Txt(250, 1550, "Page 2"),
    };
    EXPECT_EQ(std::vector<TReportCommand>(page + 1, l.Commands.end()), next);
}

TEST(ReportWriter, ABlockTallerThanAPageStaysOnOnePage) {
    {
        // First on its page: a new page would not help, so none is started.
        TReportWriter w(Page(2000), Texts());
        w.BeginBlock(25, kMain);
        EXPECT_EQ(w.Page(), 1);
        w.EndBlock();
        EXPECT_EQ(w.Y(), 3000);
        const TReportLayout l = w.Finish();
        EXPECT_EQ(l.Pages, 1);
        EXPECT_EQ(Count(l, TReportCommand::crNewPage), 0u);
    }
    {
        // After another block: one page break, and the block stays whole on the new page.
        TReportWriter w(Page(2000), Texts());
        w.BeginBlock(1, kMain);
        w.EndBlock();
        w.BeginBlock(25, kMain);
        EXPECT_EQ(w.Page(), 2);
        EXPECT_EQ(w.Y(), 500);
        w.Text(1, 24, "last row");
        w.EndBlock();
        // The next block breaks again.
        w.BeginBlock(1, kMain);
        EXPECT_EQ(w.Page(), 3);
        w.EndBlock();
        const TReportLayout l = w.Finish();
        EXPECT_EQ(l.Pages, 3);
        EXPECT_EQ(Count(l, TReportCommand::crNewPage), 2u);
        // The last row of the tall block is on page 2: between the two breaks.
        const auto first = std::find(l.Commands.begin(), l.Commands.end(), NewPage());
        const auto second = std::find(first + 1, l.Commands.end(), NewPage());
        EXPECT_NE(std::find(first, second, Txt(1415, 500 + 2400 + 50, "last row")), second);
    }
}

TEST(ReportWriter, RefusesALineHeightOfZero) {
    TReportSetup s = Page(7016);
    s.LineHeight = 0;
    EXPECT_THROW(TReportWriter(s, Texts()), std::invalid_argument);
}

// --- cells of the parts list ---

TEST(ReportCellWrap, DescriptionIsCutAfterTheLastBlankWithin35Characters) {
    // 50 characters, blanks at 9, 19, 29 and 39: the last one among the first 35 is at 29.
    const std::string text = "abcdefghi abcdefghi abcdefghi abcdefghi abcdefghij";
    ASSERT_EQ(text.size(), 50u);
    const std::vector<std::string> expected{"abcdefghi abcdefghi abcdefghi ",
                                            "abcdefghi abcdefghij"};
    EXPECT_EQ(WrapReportCell(text, 2), expected);
    // Without any blank the cut is at the limit.
    const std::string solid(40, 'x');
    EXPECT_EQ(WrapReportCell(solid, 2), (std::vector<std::string>{std::string(35, 'x'), "xxxxx"}));
    // A blank only at the first position does not count.
    const std::string leading = " " + std::string(39, 'y');
    EXPECT_EQ(WrapReportCell(leading, 2),
              (std::vector<std::string>{" " + std::string(34, 'y'), std::string(5, 'y')}));
    // Exactly the limit is one line; an empty text one empty line.
    EXPECT_EQ(WrapReportCell(std::string(35, 'z'), 2).size(), 1u);
    EXPECT_EQ(WrapReportCell("", 2), (std::vector<std::string>{""}));
}

TEST(ReportCellWrap, OrderCodeContinuesOnTheNextLineWithItsDash) {
    // 28 characters; dashes at 2, 5, 11, 14, 20 and 23, the last within 25 at 23.
    const std::string code = "SC-S2-BL150-SI-H3G38-XL-FOOD";
    ASSERT_EQ(code.size(), 28u);
    EXPECT_EQ(WrapReportCell(code, 1),
              (std::vector<std::string>{"SC-S2-BL150-SI-H3G38-XL", "-FOOD"}));
    // A continuation that is itself too long is cut at its own last dash, never before its
    // first character: 12 groups "-ABCD" make 60 characters; the first 25 hold dashes at
    // 0, 5, 10, 15 and 20, so every line ends before the one at 20.
    std::string groups;
    for (int i = 0; i < 12; ++i) groups += "-ABCD";
    const std::vector<std::string> lines = WrapReportCell(groups, 1);
    const std::vector<std::string> expected{"-ABCD-ABCD-ABCD-ABCD", "-ABCD-ABCD-ABCD-ABCD",
                                            "-ABCD-ABCD-ABCD-ABCD"};
    EXPECT_EQ(lines, expected);
    // With no dash beyond the first character the cut is at 25.
    const std::string dashFirst = "-ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    EXPECT_EQ(WrapReportCell(dashFirst, 1),
              (std::vector<std::string>{"-ABCDEFGHIJKLMNOPQRSTUVWX", "YZ"}));
}

TEST(ReportCellWrap, OtherColumnsAreCutAtTwentyFiveWhateverTheyHold) {
    // The part number and quantity columns ignore dashes and blanks.
    const std::string text = "12-45 78-0123-567 901-345678";
    ASSERT_EQ(text.size(), 28u);
    for (size_t col : {0u, 3u, 4u, 5u})
        EXPECT_EQ(WrapReportCell(text, col),
                  (std::vector<std::string>{"12-45 78-0123-567 901-345", "678"}))
            << col;
    // The order code's rule is not the description's: a blank does not cut an order code.
    EXPECT_EQ(WrapReportCell(std::string(20, 'A') + " " + std::string(10, 'B'), 1).front().size(),
              25u);
}

TEST(ReportCellWrap, CountsCharactersNotBytes) {
    // 36 Cyrillic letters of two bytes each: 35 fit, one goes on.
    std::string ru;
    for (int i = 0; i < 36; ++i) ru += "Ж";
    ASSERT_EQ(ru.size(), 72u);
    const std::vector<std::string> lines = WrapReportCell(ru, 2);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 70u);
    EXPECT_EQ(lines[1], "Ж");
    // Cut after a blank between Cyrillic words: "Вакуумный" (9 letters) and blanks.
    const std::string words = "Вакуумный Вакуумный Вакуумный Вакуумный";
    const std::vector<std::string> cut = WrapReportCell(words, 2);
    EXPECT_EQ(cut, (std::vector<std::string>{"Вакуумный Вакуумный Вакуумный ", "Вакуумный"}));
}

// --- the parts-list block ---

namespace {

void TwoParts(TPartsList& list) {
    list.Add("11000001", "SC-S2-BL150-SI-H3G38-XL-FOOD", 10, 20, "ST", "", 0, "~DescLong");
    list.Add("22000022", "TU-PU-06x4-NT", 1, 3, "M", "", 0, "~DescTube");
}

std::string Tr(std::string_view key) {
    if (key == "~DescLong") return "abcdefghi abcdefghi abcdefghi abcdefghi abcdefghij";
    if (key == "~DescTube") return "Vacuum tube";
    if (key == "~PartsList") return "Parts list";
    return std::string(key);
}

} // namespace

TEST(ReportPartsListBlock, PartsTakeAsManyRowsAsTheirLongestCell) {
    TPartsList parts;
    TwoParts(parts);
    TReportWriter w(Page(7016), Texts());
    const size_t start = 5;
    WritePartsListBlock(w, parts, Tr);
    // Two lines for the first part, one for the second, and four more: 7 lines.
    EXPECT_EQ(w.Y(), 500 + 700);
    const TReportLayout l = w.Finish();
    const std::vector<TReportCommand> cmds = From(l, start);
    // Columns 0, 0.1, 0.35, 0.6, 0.7, 0.8 of 4661: 0, 466.1, 1631.35, 2796.6, 3262.7, 3728.8.
    const int x[] = {250, 716, 1881, 3047, 3513, 3979};
    auto has = [&](const TReportCommand& c) {
        return std::find(cmds.begin(), cmds.end(), c) != cmds.end();
    };
    EXPECT_TRUE(has(Txt(250, 550, "Parts list")));
    const char* titles[] = {"~ArtNo",   "~OrderCode", "~Description",
                            "~xLength", "~Quantity",  "~PackagingUnit"};
    for (int c = 0; c < 6; ++c) EXPECT_TRUE(has(Txt(x[c], 750, titles[c]))) << c;
    // First part, rows 3 and 4.
    EXPECT_TRUE(has(Txt(x[0], 850, "11000001")));
    EXPECT_TRUE(has(Txt(x[1], 850, "SC-S2-BL150-SI-H3G38-XL")));
    EXPECT_TRUE(has(Txt(x[1], 950, "-FOOD")));
    EXPECT_TRUE(has(Txt(x[2], 850, "abcdefghi abcdefghi abcdefghi ")));
    EXPECT_TRUE(has(Txt(x[2], 950, "abcdefghi abcdefghij")));
    // The quantity of 20 pieces right-aligned in 5, the package of 10 likewise.
    EXPECT_TRUE(has(Txt(x[4], 850, "   20")));
    EXPECT_TRUE(has(Txt(x[5], 850, "   10")));
    // Second part, row 5; 3 metres read "    3 m".
    EXPECT_TRUE(has(Txt(x[1], 1050, "TU-PU-06x4-NT")));
    EXPECT_TRUE(has(Txt(x[2], 1050, "Vacuum tube")));
    EXPECT_TRUE(has(Txt(x[4], 1050, "    3 m")));
    // No separators: no vertical line at all.
    EXPECT_FALSE(std::any_of(cmds.begin(), cmds.end(), [](const TReportCommand& c) {
        return c.Op == TReportCommand::crLine && c.X == c.X2;
    }));
}

TEST(ReportPartsListBlock, ItsHeightIsMeasuredWithTheWrappedLines) {
    // A body of 10 lines (page height 2000). After 3 lines the 7 of the list fit exactly;
    // after 4 they do not. Unwrapped the list would need only 6 and fit after 4 as well.
    TPartsList parts;
    TwoParts(parts);
    for (int above : {3, 4}) {
        TReportWriter w(Page(2000), Texts());
        w.BeginBlock(above, kMain);
        w.EndBlock();
        WritePartsListBlock(w, parts, Tr);
        EXPECT_EQ(w.Page(), above == 3 ? 1 : 2) << above;
    }
    // An empty list prints nothing.
    TReportWriter w(Page(7016), Texts());
    const TPartsList empty;
    WritePartsListBlock(w, empty, Tr);
    EXPECT_EQ(w.Y(), 500);
}
