#include "core/quantities/expression.h"

namespace {

TCompiledExpression::TBinder MakeBinder(std::vector<TExprConst>& names, bool withResolver) {
    return [&names, withResolver](std::string_view name) {
        if (!withResolver) return cSlotUnresolved;
        names.emplace_back(name);
        return static_cast<int>(names.size()) - 1;
    };
}

} // namespace

void TExpression::SetKlammer(std::string_view klammer) {
    klammer_.assign(klammer.substr(0, 2));
    upToDate_ = false;
}

bool TExpression::Run(TCompiledExpression& compiled, std::vector<TExprConst>& names,
                      TTerm& result) {
    auto resolve = [this, &names](int slot, TTerm& term) { OnExprConst(*this, names[slot], term); };
    return compiled.Evaluate(resolve, result);
}

bool TExpression::Evaluate(std::string_view text, TTerm& result) {
    const bool withResolver = static_cast<bool>(OnExprConst);
    try {
        if (busy_) {
            // Called again from inside OnExprConst: the running program must stay intact.
            TCompiledExpression nested(klammer_);
            std::vector<TExprConst> names;
            nested.Compile(text, MakeBinder(names, withResolver));
            return Run(nested, names, result);
        }
        busy_ = true;
        struct TReset {
            bool& flag;
            ~TReset() { flag = false; }
        } reset{busy_};
        if (!upToDate_ || withResolver != compiledWithResolver_ || text != compiled_.Text()) {
            upToDate_ = false;
            names_.clear();
            compiled_.SetKlammer(klammer_);
            compiled_.Compile(text, MakeBinder(names_, withResolver));
            compiledWithResolver_ = withResolver;
            upToDate_ = true;
        }
        return Run(compiled_, names_, result);
    } catch (...) {
        result = TTerm();
        return false;
    }
}
