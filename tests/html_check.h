#pragma once

// A small reader of the HTML the help pages are made of, written for the tests: it checks
// that a document is well formed and takes out its links, title and table rows.

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace html_check {

// The elements a help page may use; br and hr are empty elements.
inline const std::set<std::string>& KnownTags() {
    static const std::set<std::string> tags = {"html", "head", "title", "body", "h1", "h2", "h3", "p",  "ul",
                                               "li",   "a",    "table", "tr",   "th", "td", "b",  "i",  "br",
                                               "hr",   "sub",  "sup"};
    return tags;
}

inline bool EmptyTag(const std::string& name) {
    return name == "br" || name == "hr";
}

struct TTag {
    std::string Name;
    bool Closing = false;
    bool SelfClosing = false;
    std::vector<std::pair<std::string, std::string>> Attributes;
};

// Parses the inside of <...>; returns an error text or "".
inline std::string ParseTag(const std::string& inside, TTag& tag) {
    size_t i = 0;
    if (i < inside.size() && inside[i] == '/') {
        tag.Closing = true;
        ++i;
    }
    while (i < inside.size() && std::isalnum(static_cast<unsigned char>(inside[i]))) tag.Name += inside[i++];
    if (tag.Name.empty()) return "tag without a name: <" + inside + ">";
    for (;;) {
        while (i < inside.size() && inside[i] == ' ') ++i;
        if (i == inside.size()) break;
        if (inside[i] == '/' && i + 1 == inside.size()) {
            tag.SelfClosing = true;
            break;
        }
        if (tag.Closing) return "attributes on a closing tag: <" + inside + ">";
        std::string name;
        while (i < inside.size() && (std::isalnum(static_cast<unsigned char>(inside[i])) || inside[i] == '-'))
            name += inside[i++];
        if (name.empty() || i + 1 >= inside.size() || inside[i] != '=' || inside[i + 1] != '"')
            return "malformed attribute in <" + inside + ">";
        i += 2;
        const size_t end = inside.find('"', i);
        if (end == std::string::npos) return "unterminated attribute value in <" + inside + ">";
        tag.Attributes.emplace_back(name, inside.substr(i, end - i));
        i = end + 1;
    }
    return {};
}

// A character reference at text[i] ('&'): its length, or 0 when it is not one we write.
inline size_t EntityLength(const std::string& text, size_t i) {
    for (const char* e : {"&amp;", "&lt;", "&gt;", "&quot;"}) {
        const std::string s(e);
        if (text.compare(i, s.size(), s) == 0) return s.size();
    }
    return 0;
}

//! Empty when `html` is one well-formed document <html><head><title>..</title></head>
//! <body>..</body></html> of known elements with balanced tags, quoted attributes and
//! escaped text; else what is wrong.
inline std::string Problem(const std::string& html) {
    std::vector<std::string> open;
    std::vector<std::string> order; // top-level structure: the tags opened at depth 0 and 1
    for (size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string::npos) return "unterminated tag at " + std::to_string(i);
            TTag tag;
            const std::string error = ParseTag(html.substr(i + 1, end - i - 1), tag);
            if (!error.empty()) return error;
            if (!KnownTags().count(tag.Name)) return "unknown element " + tag.Name;
            if (tag.Closing) {
                if (open.empty() || open.back() != tag.Name)
                    return "</" + tag.Name + "> closes " + (open.empty() ? std::string("nothing") : "<" + open.back() + ">");
                open.pop_back();
            } else {
                if (open.size() < 2) order.push_back(tag.Name);
                if (EmptyTag(tag.Name)) {
                    // <br/> or <br>: nothing to close
                } else if (tag.SelfClosing) {
                    return "<" + tag.Name + "/> must have content";
                } else {
                    open.push_back(tag.Name);
                }
            }
            i = end + 1;
            continue;
        }
        if (c == '>') return "unescaped '>' in text at " + std::to_string(i);
        if (c == '&') {
            const size_t n = EntityLength(html, i);
            if (n == 0) return "unescaped '&' at " + std::to_string(i);
            i += n;
            continue;
        }
        if (open.empty() && !std::isspace(static_cast<unsigned char>(c))) return "text outside <html>";
        ++i;
    }
    if (!open.empty()) return "<" + open.back() + "> is not closed";
    if (order != std::vector<std::string>{"html", "head", "body"}) {
        std::string got;
        for (const auto& t : order) got += "<" + t + ">";
        return "document structure is " + got;
    }
    return {};
}

//! Text with the tags removed and the character references decoded.
inline std::string Text(const std::string& html) {
    std::string out;
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            i = end == std::string::npos ? html.size() : end + 1;
            continue;
        }
        if (html[i] == '&') {
            static const std::pair<const char*, char> refs[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}};
            bool done = false;
            for (const auto& [ref, ch] : refs) {
                const std::string r(ref);
                if (html.compare(i, r.size(), r) == 0) {
                    out += ch;
                    i += r.size();
                    done = true;
                    break;
                }
            }
            if (done) continue;
        }
        out += html[i++];
    }
    return out;
}

inline std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \n\t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \n\t") - b + 1);
}

//! The inner HTML of every element `name` in document order (not nested in one another).
inline std::vector<std::string> Elements(const std::string& html, const std::string& name) {
    std::vector<std::string> out;
    const std::string close = "</" + name + ">";
    for (size_t i = 0; (i = html.find("<" + name, i)) != std::string::npos;) {
        const size_t after = i + name.size() + 1;
        if (after < html.size() && html[after] != '>' && html[after] != ' ') {
            i = after;
            continue;
        }
        const size_t start = html.find('>', i) + 1;
        const size_t end = html.find(close, start);
        if (end == std::string::npos) break;
        out.push_back(html.substr(start, end - start));
        i = end + close.size();
    }
    return out;
}

//! The href of every link, in document order.
inline std::vector<std::string> Links(const std::string& html) {
    std::vector<std::string> out;
    for (size_t i = 0; (i = html.find("<a href=\"", i)) != std::string::npos;) {
        i += 9;
        out.push_back(html.substr(i, html.find('"', i) - i));
    }
    return out;
}

//! The link texts, in document order.
inline std::vector<std::string> LinkTexts(const std::string& html) {
    std::vector<std::string> out;
    for (const std::string& a : Elements(html, "a")) out.push_back(Trim(Text(a)));
    return out;
}

inline std::string Title(const std::string& html) {
    const auto t = Elements(html, "title");
    return t.empty() ? std::string() : Text(t[0]);
}

//! Every table row as its cells' texts (th and td alike).
inline std::vector<std::vector<std::string>> TableRows(const std::string& html) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& tr : Elements(html, "tr")) {
        std::vector<std::string> cells;
        for (size_t i = 0; i < tr.size();) {
            const size_t th = tr.find("<th", i), td = tr.find("<td", i);
            const size_t start = std::min(th, td);
            if (start == std::string::npos) break;
            const std::string close = start == th ? "</th>" : "</td>";
            const size_t inner = tr.find('>', start) + 1;
            const size_t end = tr.find(close, inner);
            cells.push_back(Trim(Text(tr.substr(inner, end - inner))));
            i = end + close.size();
        }
        rows.push_back(cells);
    }
    return rows;
}

} // namespace html_check
