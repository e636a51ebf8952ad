#include "cli/report.h"

#include <cmath>
#include <cstdio>

namespace {

std::string NumberText(double v, bool json) {
    if (!std::isfinite(v)) return json ? "null" : "-";
    if (v == 0.0) return "0"; // no "-0"
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

bool AllNumbers(const std::vector<TReportNode>& nodes, auto isNumber) {
    for (const auto& n : nodes)
        if (!isNumber(n)) return false;
    return true;
}

} // namespace

TReportNode& TReportNode::Add(std::string_view key, TKind kind) {
    children_.emplace_back(kind);
    children_.back().key_.assign(key);
    return children_.back();
}

TReportNode& TReportNode::Object(std::string_view key) { return Add(key, crkObject); }
TReportNode& TReportNode::Array(std::string_view key) { return Add(key, crkArray); }

TReportNode& TReportNode::Number(std::string_view key, double value) {
    TReportNode& n = Add(key, crkNumber);
    n.number_ = value;
    return n;
}

TReportNode& TReportNode::Text(std::string_view key, std::string_view value) {
    TReportNode& n = Add(key, crkText);
    n.text_.assign(value);
    return n;
}

TReportNode& TReportNode::Bool(std::string_view key, bool value) {
    TReportNode& n = Add(key, crkBool);
    n.number_ = value ? 1.0 : 0.0;
    return n;
}

TReportNode& TReportNode::Numbers(std::string_view key, std::initializer_list<double> values) {
    TReportNode& a = Array(key);
    for (double v : values) a.Number({}, v);
    return a;
}

std::string TReportNode::ValueText() const {
    switch (kind_) {
    case crkNumber: return NumberText(number_, false);
    case crkBool: return number_ != 0.0 ? "true" : "false";
    default: return text_;
    }
}

std::string TReportNode::Lines() const {
    std::string out;
    WriteLines({}, out);
    return out;
}

void TReportNode::WriteLines(const std::string& path, std::string& out) const {
    const bool numberArray = kind_ == crkArray && !children_.empty() &&
                             AllNumbers(children_, [](const TReportNode& n) { return n.kind_ == crkNumber; });
    if (numberArray) {
        out += path + "\t";
        for (size_t i = 0; i < children_.size(); ++i) out += (i ? " " : "") + children_[i].ValueText();
        out += "\n";
        return;
    }
    if (kind_ != crkObject && kind_ != crkArray) {
        out += path + "\t" + ValueText() + "\n";
        return;
    }
    for (size_t i = 0; i < children_.size(); ++i) {
        const std::string name = kind_ == crkArray ? std::to_string(i) : children_[i].key_;
        children_[i].WriteLines(path.empty() ? name : path + "." + name, out);
    }
}

std::string TReportNode::Json() const {
    std::string out;
    WriteJson(out, 0);
    out += "\n";
    return out;
}

void TReportNode::WriteJson(std::string& out, int indent) const {
    switch (kind_) {
    case crkNumber: out += NumberText(number_, true); return;
    case crkBool: out += number_ != 0.0 ? "true" : "false"; return;
    case crkText: out += JsonString(text_); return;
    default: break;
    }
    const bool object = kind_ == crkObject;
    if (children_.empty()) {
        out += object ? "{}" : "[]";
        return;
    }
    // Arrays of numbers stay on one line.
    if (!object && AllNumbers(children_, [](const TReportNode& n) { return n.kind_ == crkNumber; })) {
        out += "[";
        for (size_t i = 0; i < children_.size(); ++i) {
            if (i) out += ", ";
            children_[i].WriteJson(out, indent);
        }
        out += "]";
        return;
    }
    const std::string pad(static_cast<size_t>(indent + 2), ' ');
    out += object ? "{\n" : "[\n";
    for (size_t i = 0; i < children_.size(); ++i) {
        out += pad;
        if (object) out += JsonString(children_[i].key_) + ": ";
        children_[i].WriteJson(out, indent + 2);
        out += i + 1 < children_.size() ? ",\n" : "\n";
    }
    out += std::string(static_cast<size_t>(indent), ' ') + (object ? "}" : "]");
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}
