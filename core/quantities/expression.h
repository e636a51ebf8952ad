#pragma once

#include "core/quantities/compiled_expression.h"
#include "core/quantities/term.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TExpression;

//! A name inside an expression, as handed to the resolver (at most 30 characters).
using TExprConst = std::string;

//! Name resolver: fills `result` (preset to an empty cTTAlpha term) for `name`. cTTError
//! fails the evaluation; cTTExpr has its text evaluated as an expression.
using TExprConstEvent =
    std::function<void(TExpression& sender, const TExprConst& name, TTerm& result)>;

//! Evaluates one-line arithmetic, logical and text expressions to a typed result. Names are
//! resolved by the owner through OnExprConst.
class TExpression {
public:
    TExpression() = default;
    TExpression(const TExpression&) = delete;
    TExpression& operator=(const TExpression&) = delete;

    //! Opening and closing grouping bracket; default "[]". Longer texts are cut to 2.
    const TKlammer& Klammer() const { return klammer_; }
    void SetKlammer(std::string_view klammer);

    //! Name resolver; while unassigned every name is a cTTError operand.
    TExprConstEvent OnExprConst;

    //! Evaluates `text`. Returns false when it cannot be evaluated; `result` is then a
    //! cTTError term with value 0 and empty text. Never throws.
    bool Evaluate(std::string_view text, TTerm& result);

private:
    bool Run(TCompiledExpression& compiled, std::vector<TExprConst>& names, TTerm& result);

    TKlammer klammer_ = "[]";
    // The last text stays compiled, so evaluating one text row after row parses it once.
    TCompiledExpression compiled_;
    std::vector<TExprConst> names_;
    bool upToDate_ = false;
    bool compiledWithResolver_ = false;
    bool busy_ = false;
};
