#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

//! Reads a number that may be written as a fraction: with a "/" the text after the first
//! "/" is the divisor (1 when it is not a number or is 0) and the text before it the
//! number. Returns `fallback` when the number part is not a number or the number (or the
//! quotient) is too large for a double.
double ReadFractionNumber(std::string_view text, double fallback);
//! Reads a 32-bit integer: optional blanks and sign, then decimal digits or "$" and
//! hexadecimal digits. Anything else, also an empty text or an out-of-range number, is 0.
int32_t ReadIntegerText(std::string_view text);
//! Number text of the project file: the short decimal form when it reads back to the
//! same double, otherwise the shortest text that does (which may carry an exponent).
//! Only finite numbers have one; false for NaN and infinities.
bool ProjectNumberText(double value, std::string& text);

//! The lines of a project file as `key=value` entries. Keys are matched without regard to
//! ASCII letter case and the first matching line wins; lines without "=" match nothing.
//! Writing collects the first error (a value the file cannot hold) instead of throwing, so
//! that objects can write themselves without an error channel of their own.
class TPrjStrings {
public:
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& Line(int i) const { return FLines.at(static_cast<size_t>(i)); }
    const std::vector<std::string>& Lines() const { return FLines; }
    //! Appends a raw line.
    void Add(std::string line);
    void Clear();

    //! Splits UTF-8 text into lines; CR LF, LF and a lone CR each end a line.
    void SetText(std::string_view text);
    //! The lines, each followed by CR LF.
    std::string Text() const;
    //! The text in code page 1252. False, with a message naming the entry, when a
    //! character cannot be held by that code page.
    bool EncodeCp1252(std::string& bytes, std::string& error) const;

    //! Index of the first line whose key equals `key` (ASCII case ignored); -1 if none.
    int IndexOfName(std::string_view key) const;
    //! Everything after the first "=" of the first line of `key`; empty when there is none.
    std::string Value(std::string_view key) const;
    //! Replaces the value of the first line of `key` or appends a new line. An empty value
    //! removes the line instead, so an empty text is never present in a file. A line
    //! break in key or value, or "=" in the key, cannot be stored and is an error.
    void SetValue(std::string_view key, std::string_view value);

    //! Typed reads with the encodings of the project file.
    double ReadFloat(std::string_view key, double fallback = 0.0) const {
        return ReadFractionNumber(Value(key), fallback);
    }
    int32_t ReadInteger(std::string_view key) const { return ReadIntegerText(Value(key)); }
    //! Only the exact text "True" is true.
    bool ReadBoolean(std::string_view key) const { return Value(key) == "True"; }

    //! Typed writes; a number that has no text (NaN, infinity) is an error.
    void WriteFloat(std::string_view key, double value);
    void WriteInteger(std::string_view key, int64_t value);
    void WriteBoolean(std::string_view key, bool value);

    //! Records a write error; only the first one is kept.
    void Fail(std::string message);
    bool Failed() const { return !FError.empty(); }
    const std::string& Error() const { return FError; }

private:
    void BuildIndex() const;

    std::vector<std::string> FLines;
    std::string FError;
    // Folded key -> first line; rebuilt lazily after a line is removed.
    mutable std::unordered_map<std::string, int> FIndex;
    mutable bool FIndexValid = false;
};
