#pragma once

#include <string>
#include <string_view>
#include <vector>

//! An ordered tree of named results that prints either as "path<TAB>value" lines or as
//! one JSON object. Numbers are written with ten significant digits; a number that is not
//! finite prints as "-" in the lines and as null in JSON.
class TReportNode {
public:
    enum TKind { crkObject, crkArray, crkNumber, crkText, crkBool };

    explicit TReportNode(TKind kind = crkObject) : kind_(kind) {}

    //! Adds a member (to an object) or an element (to an array; the key is ignored) and
    //! returns it.
    TReportNode& Object(std::string_view key);
    TReportNode& Array(std::string_view key);
    TReportNode& Number(std::string_view key, double value);
    TReportNode& Text(std::string_view key, std::string_view value);
    TReportNode& Bool(std::string_view key, bool value);
    //! An array of numbers.
    TReportNode& Numbers(std::string_view key, std::initializer_list<double> values);

    //! "a.b.0.c<TAB>value" per leaf; an array of numbers prints as one line with the
    //! numbers separated by blanks.
    std::string Lines() const;
    //! One JSON object (this node must be an object), indented by two blanks, with a
    //! trailing newline.
    std::string Json() const;

private:
    TReportNode& Add(std::string_view key, TKind kind);
    void WriteLines(const std::string& path, std::string& out) const;
    void WriteJson(std::string& out, int indent) const;
    std::string ValueText() const;

    TKind kind_;
    std::string key_;
    double number_ = 0.0;
    std::string text_;
    std::vector<TReportNode> children_;
};

//! A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text);
