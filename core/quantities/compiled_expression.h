#pragma once

#include "core/quantities/term.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

//! Binary operators of the expression language, in ordinal order.
enum TOpCode : uint8_t {
    cOPC_None = 0,
    cOPC_multiply,
    cOPC_divide,
    cOPC_add,
    cOPC_minus,
    cOPC_equal,
    cOPC_less,
    cOPC_more,
    cOPC_less_equal,
    cOPC_more_equal,
    cOPC_not_equal,
    cOPC_logical_and,
    cOPC_logical_or,
    cOPC_div,
    cOPC_mod,
    cOPC_and,
    cOPC_or,
    cOPC_xor,
    cOPC_shl,
    cOPC_shr,
    cOPC_power,
};

//! Opening and closing grouping bracket of an expression (at most 2 characters).
using TKlammer = std::string;

//! Deepest nesting of groups, function arguments and resolved expression texts that an
//! evaluation accepts. Deeper texts, and names that resolve to themselves, fail instead of
//! exhausting the stack.
inline constexpr int cMaxExprDepth = 128;

//! Binder result: the name is a cTTError operand and the resolver is not asked (no resolver).
inline constexpr int cSlotUnresolved = -1;
//! Binder result: the name is an empty cTTAlpha operand and the resolver is not asked.
inline constexpr int cSlotEmpty = -2;

//! An expression text parsed once and evaluated many times, for instance once per table row.
//! Names are bound to integer slots by a binder when compiling; evaluation asks a resolver
//! for the term of a slot. Results equal those of TExpression::Evaluate on the same text.
class TCompiledExpression {
public:
    //! Maps a name (at most 30 characters) to a resolver slot, cSlotUnresolved or cSlotEmpty.
    using TBinder = std::function<int(std::string_view name)>;
    //! Fills `term` (preset to an empty cTTAlpha term) for a slot, as OnExprConst does.
    using TResolveFn = void (*)(void* context, int slot, TTerm& term);
    //! Optional fast path: true when the slot is a cTTNum term with that value, which the
    //! resolver would give as well. The evaluator then fetches the whole term (for its text,
    //! tag or object) only when an operation or the result needs it.
    using TNumberFn = bool (*)(void* context, int slot, double& value);
    //! Optional: a key >= 0 for the slot's term, equal keys meaning equal terms (for
    //! instance the value slot of a dictionary column), or -1. Results of sub-expressions
    //! over one name are then remembered per key until ResetMemo.
    using TKeyFn = int32_t (*)(void* context, int slot);

    //! Empty expression (evaluation fails) using the given bracket pair.
    explicit TCompiledExpression(std::string_view klammer = "[]");
    ~TCompiledExpression();
    TCompiledExpression(TCompiledExpression&&) noexcept;
    TCompiledExpression& operator=(TCompiledExpression&&) noexcept;
    TCompiledExpression(const TCompiledExpression&) = delete;
    TCompiledExpression& operator=(const TCompiledExpression&) = delete;

    //! Bracket pair used by the next Compile; longer texts are cut to 2 characters.
    void SetKlammer(std::string_view klammer);
    const TKlammer& Klammer() const { return klammer_; }

    //! Parses `text` and binds its names, calling the binder once per distinct name (an
    //! empty binder binds every name to cSlotUnresolved). Names of resolved expression texts
    //! are bound when such a text first turns up. Returns false when the text can never
    //! evaluate (evaluation then always fails without asking the resolver).
    //! Throws std::logic_error when called from inside this expression's own evaluation.
    bool Compile(std::string_view text, TBinder binder);
    //! Binds every known name again, for instance for another source table.
    void Bind(TBinder binder);

    const std::string& Text() const { return text_; }
    //! Distinct names in order of first appearance, including those of resolved
    //! expression texts compiled so far.
    const std::vector<std::string>& Names() const { return names_; }
    //! Slot bound to Names()[index].
    int Slot(int index) const { return slots_[index]; }
    //! False when the text can never evaluate.
    bool Valid() const;

    //! Evaluates with the resolver; false on failure, and `result` is then a cleared
    //! cTTError term. Never throws: an exception from the resolver is a failure. The
    //! resolver may evaluate this expression again, but not compile or bind it.
    bool Evaluate(TResolveFn resolve, void* context, TTerm& result);
    //! True when the evaluation succeeds with a cTTNum different from 0 (NaN included).
    bool Test(TResolveFn resolve, void* context);

    //! As Evaluate and Test, asking `number` first for every name (see TNumberFn).
    bool Evaluate(TResolveFn resolve, TNumberFn number, void* context, TTerm& result);
    bool Test(TResolveFn resolve, TNumberFn number, void* context);
    //! As above, with remembered results per key (see TKeyFn).
    bool Evaluate(TResolveFn resolve, TNumberFn number, TKeyFn key, void* context, TTerm& result);
    bool Test(TResolveFn resolve, TNumberFn number, TKeyFn key, void* context);
    //! Forgets remembered results; needed whenever the keys may mean other terms.
    void ResetMemo();

    //! As Evaluate, with a callable `void(int slot, TTerm& term)`.
    template <class F> bool Evaluate(F& resolve, TTerm& result) {
        return Evaluate(&Thunk<F>, &resolve, result);
    }
    //! As Test, with a callable `void(int slot, TTerm& term)`.
    template <class F> bool Test(F& resolve) { return Test(&Thunk<F>, &resolve); }

    //! Compiled code of one text (implementation detail).
    struct TProgram;

private:
    template <class F> static void Thunk(void* context, int slot, TTerm& term) {
        (*static_cast<F*>(context))(slot, term);
    }

    struct TRun;
    friend struct TRun;
    std::unique_ptr<TProgram> CompileProgram(std::string_view text);
    TProgram* SubProgram(const std::string& text);
    int Intern(std::string_view name);

    TKlammer klammer_;
    TKlammer compiledKlammer_;
    std::string text_;
    TBinder binder_;
    std::unique_ptr<TProgram> program_;
    // Compiled texts of names that resolved to cTTExpr, by text.
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::unordered_map<std::string, std::unique_ptr<TProgram>, THash, std::equal_to<>> subPrograms_;
    std::vector<std::string> names_;
    std::vector<int> slots_;
    std::unordered_map<std::string, int, THash, std::equal_to<>> nameIndex_;
    int evaluating_ = 0;
};
