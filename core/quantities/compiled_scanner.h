#pragma once

// Tokens of an expression text: operands, operators and function arguments, found by the
// quote and bracket rules of the language. Internal to the evaluator.

#include "core/quantities/compiled_expression.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace compiled_detail {

char Upper(char c);
// `s` without blanks (control characters included) at either end.
std::string_view Trim(std::string_view s);
// True when the upper-cased `s` begins with `word` (upper case already).
bool StartsWithUpper(std::string_view s, std::string_view word);
// Length of the operand at the front of the trimmed, non-empty `s`.
size_t OperandLength(std::string_view s);
// The operator at the front of `rest` and its `length`; cOPC_None (length 0) when none.
TOpCode MatchOperator(std::string_view rest, size_t& length);
// Cuts a function's argument text at the commas outside quotes and brackets; a blank
// argument text has no arguments.
void SplitArguments(std::string_view s, std::vector<std::string_view>& pieces);
// The name as handed to the resolver: its first characters (UTF-8) up to the limit.
std::string_view TruncateName(std::string_view s);
// `s` without its first and last character (quotes or brackets).
std::string_view Between(std::string_view s);

} // namespace compiled_detail
