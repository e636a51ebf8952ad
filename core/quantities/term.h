#pragma once

#include <cstdint>
#include <string>
#include <vector>

//! Kind of a typed value.
enum TTermTyp : int { cTTError = 0, cTTNum = 1, cTTAlpha = 2, cTTExpr = 3 };

//! Typed value of the expression evaluator and of every table cell read.
//! Text is UTF-8. `Object` carries the row's string list of a "<Memo>" cell or the
//! row's byte stream of a "<BLOB>" cell (see TStrFieldDB); it is null otherwise.
struct TTerm {
    TTermTyp Typ = cTTError;
    double Value = 0.0;
    std::string Text;
    int32_t Tag = 0;
    const void* Object = nullptr;

    void Clear() { *this = TTerm(); }
    bool operator==(const TTerm&) const = default;
};

using TTerms = std::vector<TTerm>;

//! cTTAlpha term with the given text, value 0.
void TermFromText(TTerm& term, std::string_view text);
//! cTTNum term with value and tag n; text is n left-padded with blanks to `width`
//! characters (a width above 20000 counts as 10).
void TermFromInt(TTerm& term, int32_t n, int width);
//! As TermFromInt, with `suffix` appended to the number before the padding.
void TermFromIntSuffix(TTerm& term, int32_t n, std::string_view suffix, int width);
//! cTTNum term with value x and the float text of x (FloatText).
void TermFromFloat(TTerm& term, int precision, int decimals, double x);
