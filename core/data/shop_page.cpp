#include "core/data/shop_page.h"

#include "core/data/parts_list.h"

#include <array>
#include <cctype>

namespace {

std::string Tr(const TTranslateFunc& translate, std::string_view key) {
    return TranslateOrKey(translate, key);
}

std::string Cell(std::string_view text) {
    return "<td>" + HtmlEscape(text) + "</td>";
}

std::string Hidden(std::string_view prefix, int n, std::string_view value) {
    return "<input name=\"" + HtmlEscape(prefix) + "_" + std::to_string(n) + "\" value=\"" +
           HtmlEscape(value) + "\" type=\"hidden\">";
}

constexpr std::array<std::string_view, 6> cHeaderKeys = {
    "~PosNr", "~ArtNo", "~OrderCode", "~Description", "~Quantity", "~PackagingUnit"};

} // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
            break;
        }
    }
    return out;
}

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// "HOST" or "HOST:PORT" where HOST names this machine's loopback interface and PORT is a
// port number: the only places a plain http form may go (a shop test server on the same
// machine), since nothing sent there crosses a network.
bool LoopbackAuthority(std::string_view authority) {
    std::string_view host = authority, port;
    const size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return false;
        int number = 0;
        for (const char c : port) {
            if (c < '0' || c > '9') return false;
            number = number * 10 + (c - '0');
        }
        if (number < 1 || number > 65535) return false;
    }
    return host == "127.0.0.1" || EqualsNoCase(host, "localhost") || host == "[::1]";
}

} // namespace

std::string ShopServerFromSetting(std::string_view value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!value.empty() && blank(value.front())) value.remove_prefix(1);
    while (!value.empty() && (blank(value.back()) || value.back() == '/')) value.remove_suffix(1);
    // The basket form is posted there: no blank or control character may split the address.
    for (const char c : value)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return std::string(cDefaultShopServer);
    constexpr std::string_view https = "https://", http = "http://";
    if (StartsWithNoCase(value, https)) {
        // A host is needed.
        if (value.size() == https.size() || value[https.size()] == '/')
            return std::string(cDefaultShopServer);
        return std::string(value);
    }
    if (StartsWithNoCase(value, http)) {
        const std::string_view rest = value.substr(http.size());
        if (!LoopbackAuthority(rest.substr(0, rest.find('/')))) return std::string(cDefaultShopServer);
        return std::string(value);
    }
    return std::string(cDefaultShopServer);
}

std::string ShopWindowCaption(const TTranslateFunc& translate) {
    return Tr(translate, "~Sorvane") + " - " + Tr(translate, "~PartsList");
}

void TShopPage::Write(std::string_view text, int d) {
    if (d > 0) indent_ += d;
    std::string line(static_cast<size_t>(indent_ > 0 ? indent_ : 0), ' ');
    line += text;
    lines_.push_back(std::move(line));
    if (d < 0) indent_ += d;
}

void TShopPage::Build(const TPartsList& list, const TShopPageOptions& options) {
    const TTranslateFunc& tr = options.Translate;
    lines_.clear();
    indent_ = 0;

    const std::string title = options.Title.empty() ? Tr(tr, "~Sorvane") : options.Title;
    Write("<html>", 2);
    Write("<head>", 2);
    Write("<meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\">");
    Write("<title>" + HtmlEscape(title) + "</title>");
    Write("<style>td {font-family: Arial; font-size: 8pt}</style>");
    Write("</head>", -2);
    Write("<body>", 2);
    Write("<form name=\"Export\" method=\"post\" action=\"" +
              HtmlEscape(options.ShopServer + "/addtobasket/wrap") + "\">",
          2);
    Write("<table border=\"0\">", 2);
    Write("<tbody>", 2);
    Write("<tr bgcolor=\"#cccccc\">", 2);
    for (std::string_view key : cHeaderKeys) Write(Cell(Tr(tr, key)));
    Write("</tr>", -2);

    for (int i = 0; i < list.Rows(); ++i) {
        const TPart& p = list.Part(i);
        const int n = i + 1;
        Write(i % 2 == 0 ? "<tr bgcolor=\"#dcebf6\">" : "<tr>", 2);
        Write("<td>", 2);
        Write(std::to_string(n));
        Write(Hidden("m", n, p.PartNo));
        Write(Hidden("ic1", n, p.OrderCode));
        Write(Hidden("q", n, std::to_string(p.Quantity)));
        if (p.Length != 0) Write(Hidden("xm", n, std::to_string(p.Length)));
        Write("</td>", -2);
        Write(Cell(p.PartNo));
        Write(Cell(p.OrderCode));
        Write(Cell(Tr(tr, p.Description)));
        Write(Cell(std::to_string(p.Quantity) + " " + p.QuantityUnit));
        Write(Cell(std::to_string(p.Package) + " " + p.QuantityUnit));
        Write("</tr>", -2);
    }

    Write("</tbody>", -2);
    Write("</table>", -2);
    Write("<input name=\"callerid\" value=\"vacuum\" type=\"hidden\">");
    Write("<input type=\"submit\" value=\"" + HtmlEscape(Tr(tr, "~Send")) + "\">");
    Write("</form>", -2);
    Write("</body>", -2);
    Write("</html>", -2);
}

std::string TShopPage::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}
