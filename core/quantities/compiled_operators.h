#pragma once

// Operators and functions of the expression language: their spellings, priorities and what
// they compute on operand values. Internal to the evaluator.

#include "core/quantities/compiled_program.h"

#include <cstdint>
#include <string_view>

namespace compiled_detail {

// Functions by ordinal; 0 is unused.
enum TFunction : uint8_t {
    cFn_None,
    cFn_SIN,
    cFn_COS,
    cFn_TAN,
    cFn_ATN,
    cFn_ABS,
    cFn_LN,
    cFn_EXP,
    cFn_SQR,
    cFn_SQRT,
    cFn_SIGN,
    cFn_ROUND,
    cFn_TRUNC,
    cFn_INT,
    cFn_FRAC,
    cFn_NOT,
    cFn_STRING,
    cFn_MIN,
    cFn_MAX,
    cFn_QUANT,
    cFn_IIF,
};
inline constexpr int cFunctionCount = 21;
inline constexpr std::string_view cFunctionNames[cFunctionCount] = {
    "",      "SIN",   "COS", "TAN",  "ATN", "ABS",    "LN",  "EXP", "SQR",   "SQRT", "SIGN",
    "ROUND", "TRUNC", "INT", "FRAC", "NOT", "STRING", "MIN", "MAX", "QUANT", "IIF"};

// Binary operators by TOpCode: spelling and priority (higher binds tighter).
struct TOperatorInfo {
    std::string_view spelling;
    int priority;
};
inline constexpr TOperatorInfo cOperators[] = {
    {"", 0},    {"*", 3},   {"/", 3},  {"+", 2},   {"-", 2},   {"=", 1},   {"<", 1},
    {">", 1},   {"<=", 1},  {">=", 1}, {"<>", 1},  {"&", 2},   {"|", 2},   {"DIV", 3},
    {"MOD", 3}, {"AND", 3}, {"OR", 2}, {"XOR", 2}, {"SHL", 3}, {"SHR", 3}, {"^", 4},
};

// Makes `t` a cTTAlpha term without tag or object; the caller sets its text.
inline void SetAlpha(TTerm& t) {
    t.Typ = cTTAlpha;
    t.Value = 0;
    t.Tag = 0;
    t.Object = nullptr;
}

// Applies a binary operator. Two numbers follow the numeric rule; otherwise the texts are
// joined (+) or compared, and any other operator gives 0. False for a run-time error
// (division by zero, overflow, NaN). `scratch` holds a text result.
bool BinaryOperator(TOpCode op, const TVal& a, const TVal& b, TVal& out, TTerm& scratch);
// Calls function `fn` on `count` arguments. A wrong argument count or type gives a
// cTTError value (true); false for a run-time error. `scratch` holds a text result.
bool CallFunction(int fn, const TVal* args, int count, TVal& out, TTerm& scratch);

} // namespace compiled_detail
