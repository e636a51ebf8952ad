#include "core/data/parts_list.h"
#include "core/data/shop_page.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::string Bracket(std::string_view key) {
    return "[" + std::string(key) + "]";
}

TShopPageOptions TestOptions() {
    TShopPageOptions o;
    o.ShopServer = "https://shop.test";
    o.Title = "Maker";
    o.Translate = Bracket;
    return o;
}

size_t CountLines(const std::vector<std::string>& lines, std::string_view part) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(part) != std::string::npos;
    }));
}

} // namespace

TEST(ShopPage, EmptyListGivesHeaderCallerAndSubmit) {
    TShopPage page;
    page.Build(TPartsList(), TestOptions());
    const std::vector<std::string> expected = {
        "  <html>",
        "    <head>",
        "    <meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\">",
        "    <title>Maker</title>",
        "    <style>td {font-family: Arial; font-size: 8pt}</style>",
        "    </head>",
        "    <body>",
        "      <form name=\"Export\" method=\"post\" "
        "action=\"https://shop.test/addtobasket/wrap\">",
        "        <table border=\"0\">",
        "          <tbody>",
        "            <tr bgcolor=\"#cccccc\">",
        "            <td>[~PosNr]</td>",
        "            <td>[~ArtNo]</td>",
        "            <td>[~OrderCode]</td>",
        "            <td>[~Description]</td>",
        "            <td>[~Quantity]</td>",
        "            <td>[~PackagingUnit]</td>",
        "            </tr>",
        "          </tbody>",
        "        </table>",
        "      <input name=\"callerid\" value=\"vacuum\" type=\"hidden\">",
        "      <input type=\"submit\" value=\"[~Send]\">",
        "      </form>",
        "    </body>",
        "  </html>",
    };
    EXPECT_EQ(page.Lines(), expected);
    std::string joined;
    for (const auto& l : expected) joined += l + "\r\n";
    EXPECT_EQ(page.Text(), joined);
}

TEST(ShopPage, RowsCarryHiddenFieldsAndAlternateColours) {
    TPartsList list;
    list.Add("44000001", "SA-QA-M6-4", 1, 2, "ST", "", 0, "~DescShockAbsorber");
    list.Add("22000004", "TU-PU-04x2.5-BL", 1, 3, "M", "", 0, "~DescVacuumTube");
    list.Add("55000001", "RAIL-20", 5, 10, "ST", "mm", 500, "~Rail");
    TShopPage page;
    page.Build(list, TestOptions());
    const auto& l = page.Lines();

    const auto first = std::find(l.begin(), l.end(), "            <tr bgcolor=\"#dcebf6\">");
    ASSERT_NE(first, l.end());
    const std::vector<std::string> row1(first, first + 13);
    const std::vector<std::string> expected1 = {
        "            <tr bgcolor=\"#dcebf6\">",
        "              <td>",
        "              1",
        "              <input name=\"m_1\" value=\"44000001\" type=\"hidden\">",
        "              <input name=\"ic1_1\" value=\"SA-QA-M6-4\" type=\"hidden\">",
        "              <input name=\"q_1\" value=\"2\" type=\"hidden\">",
        "              </td>",
        "            <td>44000001</td>",
        "            <td>SA-QA-M6-4</td>",
        "            <td>[~DescShockAbsorber]</td>",
        "            <td>2 ST</td>",
        "            <td>1 ST</td>",
        "            </tr>",
    };
    EXPECT_EQ(row1, expected1);
    // The second row is plain, the third coloured again.
    EXPECT_EQ(*(first + 13), "            <tr>");
    EXPECT_EQ(CountLines(l, "<tr bgcolor=\"#dcebf6\">"), 2u);
    EXPECT_EQ(CountLines(l, "<td>3 M</td>"), 1u);
    EXPECT_EQ(CountLines(l, "<td>10 ST</td>"), 1u);
    EXPECT_EQ(CountLines(l, "<td>5 ST</td>"), 1u);
    // Only the part with a length has the length field.
    EXPECT_EQ(CountLines(l, "name=\"xm_"), 1u);
    EXPECT_EQ(CountLines(l, "<input name=\"xm_3\" value=\"500\" type=\"hidden\">"), 1u);
    // Indentation comes back to zero at the end.
    EXPECT_EQ(l.back(), "  </html>");
    EXPECT_EQ(*(l.end() - 6), "        </table>");
}

TEST(ShopPage, TextsCannotBreakThePage) {
    TPartsList list;
    list.Add("1<2", "A\"B'&C", 1, 1, "ST", "", 0, "~Evil");
    TShopPageOptions o = TestOptions();
    o.Title = "<b>Maker & Co</b>";
    o.ShopServer = "https://shop.test/\"x";
    o.Translate = [](std::string_view key) -> std::string {
        if (key == "~Evil") return "<script>alert(1)</script>";
        if (key == "~Send") return "Send\">";
        return std::string(key);
    };
    TShopPage page;
    page.Build(list, o);
    const std::string text = page.Text();
    EXPECT_EQ(text.find("<script>"), std::string::npos);
    EXPECT_NE(text.find("<td>&lt;script&gt;alert(1)&lt;/script&gt;</td>"), std::string::npos);
    EXPECT_NE(text.find("<input name=\"m_1\" value=\"1&lt;2\" type=\"hidden\">"),
              std::string::npos);
    EXPECT_NE(text.find("<input name=\"ic1_1\" value=\"A&quot;B&#39;&amp;C\" type=\"hidden\">"),
              std::string::npos);
    EXPECT_NE(text.find("<td>A&quot;B&#39;&amp;C</td>"), std::string::npos);
    EXPECT_NE(text.find("<title>&lt;b&gt;Maker &amp; Co&lt;/b&gt;</title>"), std::string::npos);
    EXPECT_NE(text.find("action=\"https://shop.test/&quot;x/addtobasket/wrap\""),
              std::string::npos);
    EXPECT_NE(text.find("<input type=\"submit\" value=\"Send&quot;&gt;\">"), std::string::npos);

    // The quantity unit word stands in two cells.
    TPartsList units;
    units.Add("7", "X", 2, 3, "<i>ST", "", 0, "~Cup");
    page.Build(units, TestOptions());
    EXPECT_EQ(page.Text().find("<i>"), std::string::npos);
    EXPECT_NE(page.Text().find("<td>3 &lt;i&gt;ST</td>"), std::string::npos);
    EXPECT_NE(page.Text().find("<td>2 &lt;i&gt;ST</td>"), std::string::npos);
}

TEST(ShopPage, NonAsciiTextsStayUtf8) {
    TPartsList list;
    list.Add("1", "GR\xC3\x9CN", 1, 1, "ST", "", 0, "~Cup");
    TShopPageOptions o = TestOptions();
    o.Translate = [](std::string_view key) -> std::string {
        return key == "~Cup" ? "Saugnapf \xC3\xB8 \xD0\x96" : std::string(key);
    };
    TShopPage page;
    page.Build(list, o);
    const std::string text = page.Text();
    EXPECT_NE(text.find("<td>Saugnapf \xC3\xB8 \xD0\x96</td>"), std::string::npos);
    EXPECT_NE(text.find("value=\"GR\xC3\x9CN\""), std::string::npos);
}

TEST(ShopPage, RebuildStartsFromEmpty) {
    TPartsList list;
    list.Add("1", "A", 1, 1, "ST", "", 0, "~Cup");
    TShopPage page;
    page.Build(list, TestOptions());
    const auto once = page.Lines();
    page.Build(list, TestOptions());
    EXPECT_EQ(page.Lines(), once);
    list.Clear();
    page.Build(list, TestOptions());
    EXPECT_EQ(page.Lines().size(), 25u);
}

TEST(ShopPage, HtmlEscapeAndCaption) {
    EXPECT_EQ(HtmlEscape("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
    EXPECT_EQ(HtmlEscape("plain \xC3\xA4"), "plain \xC3\xA4");
    EXPECT_EQ(ShopWindowCaption(Bracket), "[~Sorvane] - [~PartsList]");
}

TEST(ShopPage, ServerAddressFromTheSettings) {
    EXPECT_EQ(TShopPageOptions().ShopServer, cDefaultShopServer);
    EXPECT_EQ(ShopServerFromSetting("https://shop.test"), "https://shop.test");
    // A trailing "/" would double the one of the form's path; blanks around are dropped.
    EXPECT_EQ(ShopServerFromSetting("  HTTPS://shop.test:8443/eu/  "), "HTTPS://shop.test:8443/eu");
    EXPECT_EQ(ShopServerFromSetting("https://shop.test///"), "https://shop.test");
    // Not an absolute https address with a host: the built-in server.
    for (const char* bad : {"", "/", "https://", "https:///path", "http://shop.test", "shop.test",
                            "https://shop test", "https://shop.test\r\nX: y", "javascript:alert(1)",
                            "ftp://127.0.0.1", "https:/shop.test", "file:///tmp/basket"})
        EXPECT_EQ(ShopServerFromSetting(bad), cDefaultShopServer) << bad;

    TPartsList list;
    TShopPageOptions o = TestOptions();
    o.ShopServer = ShopServerFromSetting("https://basket.test/");
    TShopPage page;
    page.Build(list, o);
    EXPECT_EQ(CountLines(page.Lines(), "action=\"https://basket.test/addtobasket/wrap\""), 1u);
}

TEST(ShopPage, PlainHttpOnlyToThisMachine) {
    // A shop server on this machine's loopback interface may be plain http: what is posted
    // there never crosses a network. Host and scheme in any letter case, with a port or a
    // path, a trailing "/" dropped as for https.
    EXPECT_EQ(ShopServerFromSetting("http://127.0.0.1"), "http://127.0.0.1");
    EXPECT_EQ(ShopServerFromSetting("http://127.0.0.1:8080/"), "http://127.0.0.1:8080");
    EXPECT_EQ(ShopServerFromSetting("http://localhost:1/eu/"), "http://localhost:1/eu");
    EXPECT_EQ(ShopServerFromSetting("HTTP://LocalHost:65535"), "HTTP://LocalHost:65535");
    EXPECT_EQ(ShopServerFromSetting("http://[::1]"), "http://[::1]");
    EXPECT_EQ(ShopServerFromSetting(" http://[::1]:43210/shop "), "http://[::1]:43210/shop");

    // Any other host over plain http is refused, and so are hosts that only begin or end
    // like a loopback name, a user part that hides the real host, and ports that are no
    // port numbers.
    for (const char* bad :
         {"http://", "http:///addtobasket", "http://shop.test", "http://192.168.1.20:8080",
          "http://127.0.0.2", "http://127.0.0.1.shop.test", "http://localhost.shop.test",
          "http://shop.test/127.0.0.1", "http://localhost@shop.test",
          "http://127.0.0.1@shop.test:80", "http://evil.test#@localhost", "http://[::2]",
          "http://::1", "http://[::1]x", "http://localhost:", "http://localhost:0",
          "http://localhost:65536", "http://localhost:123456", "http://localhost:8o80",
          "http://localhost:-1", "http://127.0.0.1:80:80", "http://localhost?x=1",
          "http://local host", "http://localhost\t:80"})
        EXPECT_EQ(ShopServerFromSetting(bad), cDefaultShopServer) << bad;

    // The form posts to the loopback server's basket path.
    TShopPageOptions o = TestOptions();
    o.ShopServer = ShopServerFromSetting("http://127.0.0.1:5000/");
    TShopPage page;
    page.Build(TPartsList(), o);
    EXPECT_EQ(CountLines(page.Lines(), "action=\"http://127.0.0.1:5000/addtobasket/wrap\""), 1u);
}
