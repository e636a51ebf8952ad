#include "core/quantities/compiled_expression.h"

#include "core/quantities/compiled_operators.h"
#include "core/quantities/compiled_parser.h"
#include "core/quantities/compiled_program.h"

#include <algorithm>
#include <stdexcept>

void TCompiledExpression::TProgram::FindMemoRoots() {
    roots.clear();
    memoAt.assign(code.size(), -1);
    struct TDep {
        int32_t start;
        int32_t dep; // -2 no name, -1 several names, else the one name index
    };
    auto merge = [](int32_t a, int32_t b) { return a == -2 ? b : b == -2 ? a : a == b ? a : -1; };
    auto close = [&](const TDep& d, int32_t end) {
        if (d.dep >= 0 && end > d.start) roots.push_back({d.start, end, d.dep});
    };
    std::vector<TDep> st;
    for (int32_t i = 0; i < static_cast<int32_t>(code.size()); ++i) {
        const TInstr& in = code[i];
        switch (in.code) {
        case cCodeConst: st.push_back({i, -2}); break;
        case cCodeName: st.push_back({i, in.index}); break;
        case cCodeNegate: break;
        case cCodeBinary:
        case cCodeCall: {
            const int32_t count = in.code == cCodeBinary ? 2 : in.count;
            if (count == 0) {
                st.push_back({i, -2});
                break;
            }
            if (static_cast<int32_t>(st.size()) < count) return; // malformed: no memo
            const size_t first = st.size() - static_cast<size_t>(count);
            int32_t dep = -2;
            for (size_t k = first; k < st.size(); ++k) dep = merge(dep, st[k].dep);
            if (dep == -1)
                for (size_t k = first; k < st.size(); ++k)
                    close(st[k], k + 1 < st.size() ? st[k + 1].start - 1 : i - 1);
            const TDep merged{st[first].start, dep};
            st.resize(first);
            st.push_back(merged);
            break;
        }
        }
    }
    if (st.size() == 1) close(st[0], static_cast<int32_t>(code.size()) - 1);
    for (size_t r = 0; r < roots.size(); ++r) memoAt[roots[r].start] = static_cast<int32_t>(r);
    memo.assign(roots.size(), {});
}

namespace {

using compiled_detail::BinaryOperator;
using compiled_detail::CallFunction;
using compiled_detail::SetAlpha;
using compiled_detail::TExpressionParser;
using compiled_detail::TInstr;
using compiled_detail::TVal;

void Materialise(const TVal& v, TTerm& dest) {
    if (v.term == &dest) {
        dest.Typ = v.typ;
        dest.Value = v.value;
        return;
    }
    dest.Typ = v.typ;
    dest.Value = v.value;
    if (v.term) {
        dest.Text = v.term->Text;
        dest.Tag = v.term->Tag;
        dest.Object = v.term->Object;
    } else {
        dest.Text.clear();
        dest.Tag = 0;
        dest.Object = nullptr;
    }
}

void ClearResult(TTerm& t) {
    t.Typ = cTTError;
    t.Value = 0;
    t.Text.clear();
    t.Tag = 0;
    t.Object = nullptr;
}

} // namespace

// One evaluation: the resolver and the recursion into resolved expression texts.
struct TCompiledExpression::TRun {
    TCompiledExpression& owner;
    TResolveFn resolve;
    void* context;
    TNumberFn number = nullptr;
    TKeyFn key = nullptr;

    // Fetches the whole term of a name that was taken as a bare number, for its text.
    void Ensure(TProgram& p, TVal& v) {
        if (v.lazy < 0) return;
        TTerm& t = p.scratch[v.lazy];
        SetAlpha(t);
        t.Text.clear();
        resolve(context, owner.slots_[p.code[v.lazy].index], t);
        v.term = &t;
        v.lazy = -1;
    }

    // Runs `p` at evaluation depth `base`; on success `out` may refer to storage of `p`,
    // valid until `p` runs again.
    bool Exec(TProgram& p, int base, TVal& out) {
        if (!p.ok || base + p.maxDepth > cMaxExprDepth) return false;
        p.active = true;
        struct TReset {
            bool& flag;
            ~TReset() { flag = false; }
        } reset{p.active};
        TVal* sp = p.stack.data();
        const TInstr* code = p.code.data();
        const size_t n = p.code.size();
        int32_t pendingRoot = -1, pendingKey = -1;
        auto fail = [&] {
            if (pendingRoot >= 0) p.memo[pendingRoot][pendingKey].state = 2;
            return false;
        };
        for (size_t i = 0; i < n; ++i) {
            if (key && pendingRoot < 0 && p.memoAt[i] >= 0) {
                const int32_t r = p.memoAt[i];
                const int slot = owner.slots_[p.roots[r].name];
                const int32_t k = slot >= 0 ? key(context, slot) : -1;
                if (k >= 0) {
                    auto& table = p.memo[r];
                    if (table.size() <= static_cast<size_t>(k)) table.resize(static_cast<size_t>(k) + 1);
                    TProgram::TMemoEntry& e = table[k];
                    if (e.state == 2) return false;
                    if (e.state == 1) {
                        TVal v = e.val;
                        if (e.hasTerm) v.term = &e.term;
                        *sp++ = v;
                        i = static_cast<size_t>(p.roots[r].end);
                        continue;
                    }
                    pendingRoot = r;
                    pendingKey = k;
                }
            }
            const TInstr& in = code[i];
            switch (in.code) {
            case TProgram::cCodeConst: {
                const TTerm& t = p.consts[in.index];
                *sp++ = {&t, t.Value, t.Typ};
                break;
            }
            case TProgram::cCodeName: {
                const int slot = owner.slots_[in.index];
                if (slot < 0) {
                    *sp++ = {nullptr, 0, slot == cSlotEmpty ? cTTAlpha : cTTError};
                    break;
                }
                double value;
                if (number && number(context, slot, value)) {
                    *sp++ = {nullptr, in.sub ? -value : value, cTTNum, static_cast<int32_t>(i)};
                    break;
                }
                TTerm& t = p.scratch[i];
                SetAlpha(t);
                t.Text.clear();
                resolve(context, slot, t);
                if (t.Typ == cTTExpr) {
                    if (!Sub(t, base + in.depth + 1)) return fail();
                } else if (t.Typ != cTTNum && t.Typ != cTTAlpha) {
                    return fail();
                }
                TVal v{&t, t.Value, t.Typ};
                if (in.sub && v.typ == cTTNum) v.value = -v.value;
                *sp++ = v;
                break;
            }
            case TProgram::cCodeNegate:
                if (sp[-1].typ == cTTNum) sp[-1].value = -sp[-1].value;
                break;
            case TProgram::cCodeBinary: {
                if (sp[-2].typ != cTTNum || sp[-1].typ != cTTNum) {
                    Ensure(p, sp[-2]);
                    Ensure(p, sp[-1]);
                }
                TVal r;
                if (!BinaryOperator(static_cast<TOpCode>(in.sub), sp[-2], sp[-1], r, p.scratch[i]))
                    return fail();
                --sp;
                sp[-1] = r;
                break;
            }
            case TProgram::cCodeCall: {
                TVal* args = sp - in.count;
                TVal r;
                if (!CallFunction(in.sub, args, in.count, r, p.scratch[i])) return fail();
                sp = args;
                *sp++ = r;
                break;
            }
            }
            if (pendingRoot >= 0 && static_cast<int32_t>(i) == p.roots[pendingRoot].end) {
                TProgram::TMemoEntry& e = p.memo[pendingRoot][pendingKey];
                e.val = sp[-1];
                e.hasTerm = e.val.term != nullptr;
                if (e.hasTerm) e.term = *e.val.term;
                e.val.term = nullptr;
                e.state = 1;
                pendingRoot = -1;
            }
        }
        out = p.stack[0];
        return true;
    }

    // Runs `p` and copies the result into `dest`. A program that is running already (a
    // name that resolves to its own text) runs as a copy so the outer run keeps its state.
    bool ExecInto(TProgram& p, int base, TTerm& dest) {
        if (p.active) {
            TProgram copy = p;
            copy.active = false;
            return ExecInto(copy, base, dest);
        }
        TVal v;
        if (!Exec(p, base, v)) return false;
        Ensure(p, v);
        Materialise(v, dest);
        return true;
    }

    // Evaluates the text of a cTTExpr term in place.
    bool Sub(TTerm& t, int depth) {
        if (depth > cMaxExprDepth) return false;
        TProgram* p = owner.SubProgram(t.Text);
        return ExecInto(*p, depth, t);
    }
};

TCompiledExpression::TCompiledExpression(std::string_view klammer) {
    SetKlammer(klammer);
}
TCompiledExpression::~TCompiledExpression() = default;
TCompiledExpression::TCompiledExpression(TCompiledExpression&&) noexcept = default;
TCompiledExpression& TCompiledExpression::operator=(TCompiledExpression&&) noexcept = default;

void TCompiledExpression::SetKlammer(std::string_view klammer) {
    klammer_.assign(klammer.substr(0, 2));
}

bool TCompiledExpression::Valid() const {
    return program_ && program_->ok;
}

int TCompiledExpression::Intern(std::string_view name) {
    if (auto it = nameIndex_.find(name); it != nameIndex_.end()) return it->second;
    const int index = static_cast<int>(names_.size());
    names_.emplace_back(name);
    slots_.push_back(cSlotUnresolved);
    nameIndex_.emplace(names_.back(), index);
    if (binder_) slots_[index] = binder_(names_[index]);
    return index;
}

std::unique_ptr<TCompiledExpression::TProgram>
TCompiledExpression::CompileProgram(std::string_view text) {
    auto p = std::make_unique<TProgram>();
    TExpressionParser parser(compiledKlammer_, *p,
                             [this](std::string_view name) { return Intern(name); });
    p->ok = parser.Parse(text, 0);
    if (!p->ok) {
        p->code.clear();
        p->consts.clear();
    }
    p->scratch.resize(p->code.size());
    if (p->ok) p->FindMemoRoots();
    p->stack.resize(std::max(1, parser.MaxStack()));
    return p;
}

TCompiledExpression::TProgram* TCompiledExpression::SubProgram(const std::string& text) {
    if (auto it = subPrograms_.find(std::string_view(text)); it != subPrograms_.end())
        return it->second.get();
    auto p = CompileProgram(text);
    TProgram* raw = p.get();
    subPrograms_.emplace(text, std::move(p));
    return raw;
}

bool TCompiledExpression::Compile(std::string_view text, TBinder binder) {
    if (evaluating_ > 0)
        throw std::logic_error("TCompiledExpression::Compile called during its own evaluation");
    text_.assign(text);
    binder_ = std::move(binder);
    compiledKlammer_ = klammer_;
    names_.clear();
    slots_.clear();
    nameIndex_.clear();
    subPrograms_.clear();
    program_.reset();
    program_ = CompileProgram(text_);
    return program_->ok;
}

void TCompiledExpression::Bind(TBinder binder) {
    if (evaluating_ > 0)
        throw std::logic_error("TCompiledExpression::Bind called during its own evaluation");
    binder_ = std::move(binder);
    for (size_t i = 0; i < names_.size(); ++i)
        slots_[i] = binder_ ? binder_(names_[i]) : cSlotUnresolved;
    ResetMemo();
}

bool TCompiledExpression::Evaluate(TResolveFn resolve, void* context, TTerm& result) {
    return Evaluate(resolve, nullptr, context, result);
}

bool TCompiledExpression::Test(TResolveFn resolve, void* context) {
    return Test(resolve, nullptr, context);
}

bool TCompiledExpression::Evaluate(TResolveFn resolve, TNumberFn number, void* context, TTerm& result) {
    return Evaluate(resolve, number, nullptr, context, result);
}

bool TCompiledExpression::Test(TResolveFn resolve, TNumberFn number, void* context) {
    return Test(resolve, number, nullptr, context);
}

void TCompiledExpression::ResetMemo() {
    if (program_) program_->ClearMemo();
    for (auto& [text, p] : subPrograms_) p->ClearMemo();
}

bool TCompiledExpression::Evaluate(TResolveFn resolve, TNumberFn number, TKeyFn key, void* context,
                                   TTerm& result) {
    bool ok = false;
    ++evaluating_;
    try {
        TRun run{*this, resolve, context, number, key};
        ok = program_ && run.ExecInto(*program_, 0, result);
    } catch (...) {
        ok = false;
    }
    --evaluating_;
    if (!ok) ClearResult(result);
    return ok;
}

bool TCompiledExpression::Test(TResolveFn resolve, TNumberFn number, TKeyFn key, void* context) {
    bool pass = false;
    ++evaluating_;
    try {
        TRun run{*this, resolve, context, number, key};
        if (program_ && !program_->active) {
            TVal v;
            pass = run.Exec(*program_, 0, v) && v.typ == cTTNum && v.value != 0;
        } else if (program_) {
            TTerm t;
            pass = run.ExecInto(*program_, 0, t) && t.Typ == cTTNum && t.Value != 0;
        }
    } catch (...) {
        pass = false;
    }
    --evaluating_;
    return pass;
}
