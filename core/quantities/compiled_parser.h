#pragma once

// Turns an expression text into the postfix code of a program. Internal to the evaluator.

#include "core/quantities/compiled_program.h"

#include <functional>
#include <string_view>
#include <utility>

namespace compiled_detail {

// Turns a text into postfix code. The operand and operator scan is the evaluator's
// tokenising; precedence is resolved with an operator stack, which groups exactly as the
// reduction by priority levels (all operators associate to the left).
class TExpressionParser {
public:
    TExpressionParser(std::string_view klammer, TProgram& program,
                      std::function<int(std::string_view)> intern)
        : hasOpen_(!klammer.empty()), open_(klammer.empty() ? '\0' : klammer[0]), program_(program),
          intern_(std::move(intern)) {}

    // Appends the code of `text`, nested `depth` levels deep; false when the text is
    // malformed or nested deeper than cMaxExprDepth.
    bool Parse(std::string_view text, int depth);

    int MaxStack() const { return maxHeight_; }

private:
    bool Operand(std::string_view operand, bool negative, int depth);
    void EmitBinary(TOpCode op);
    void Emit(const TInstr& in, int delta);

    bool hasOpen_;
    char open_;
    TProgram& program_;
    std::function<int(std::string_view)> intern_;
    int height_ = 0;
    int maxHeight_ = 0;
};

} // namespace compiled_detail
