#pragma once

#include "core/quantities/compiled_expression.h"
#include "core/quantities/term.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

//! Straightforward evaluator that reads the text afresh on every call, step by step: split
//! off an operand, interpret it, find the operator, and finally reduce the term list by
//! priority levels. It is the oracle of the differential tests and the naive peer of the
//! benchmarks; production code uses TExpression / TCompiledExpression.
class TReferenceExpression {
public:
    //! Name resolver: `term` arrives as an empty cTTAlpha term.
    using TResolver = std::function<void(const std::string& name, TTerm& term)>;

    //! Only the first character (the opening bracket) is used.
    TKlammer Klammer = "[]";
    //! Unassigned: every name is a cTTError operand.
    TResolver OnExprConst;

    //! True when the text evaluates; on false `result` is a cleared cTTError term.
    bool Evaluate(std::string_view text, TTerm& result);

private:
    bool Eval(const std::string& text, int depth, TTerm& result);
    bool Interpret(const std::string& operand, int depth, TTerm& term);
    bool CallFunction(int ordinal, const std::vector<TTerm>& args, TTerm& result);
    bool Apply(TOpCode op, const TTerm& left, const TTerm& right, TTerm& result);
};
