// Runs the production evaluator (TCompiledExpression and TExpression) and the naive
// re-tokenising reference on many generated expressions and rows; they must agree on
// success, kind, value (bit for bit, or both NaN), text and tag.
#include "core/quantities/compiled_expression.h"
#include "core/quantities/expression.h"
#include "tests/core/quantities/term_builders.h"
#include "tests/core/quantities/expression_reference.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

class TRandom {
public:
    explicit TRandom(uint64_t seed) : engine_(seed) {}
    int Below(int n) { return static_cast<int>(engine_() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T> const T& Pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    std::mt19937_64 engine_;
};

const std::string cLongName = "VeryLongColumnNameThatExceedsThirtyCharacters";

// How names that a row does not hold are treated.
enum TUnknownPolicy {
    cNoResolver,       // no resolver at all: every name is a cTTError operand
    cUnknownUntouched, // the resolver leaves the empty cTTAlpha term as it is
    cUnknownRejected,  // the resolver answers cTTError
};

struct TCase {
    std::string klammer;
    TUnknownPolicy policy = cUnknownUntouched;
    bool unknownAsEmptySlot = false; // bind unknown names to cSlotEmpty instead of asking
    std::string text;
};

class TGenerator {
public:
    explicit TGenerator(uint64_t seed) : rnd_(seed) {}

    TCase Next() {
        TCase c;
        const int k = rnd_.Below(10);
        c.klammer = k < 5 ? "[]" : (k < 9 ? "()" : (rnd_.Chance(50) ? "" : "{}"));
        open_ = c.klammer.empty() ? "[" : c.klammer.substr(0, 1);
        close_ = c.klammer.size() < 2 ? "]" : c.klammer.substr(1, 1);
        const int p = rnd_.Below(10);
        c.policy = p == 0 ? cNoResolver : (p < 7 ? cUnknownUntouched : cUnknownRejected);
        c.unknownAsEmptySlot = c.policy == cUnknownUntouched && rnd_.Chance(50);
        c.text = Expression(0);
        if (rnd_.Chance(20)) c.text = " " + c.text;
        if (rnd_.Chance(20)) c.text += "  ";
        if (rnd_.Chance(20)) Mutate(c.text);
        return c;
    }

    const std::string& Open() const { return open_; }
    const std::string& Close() const { return close_; }

private:
    std::string Expression(int depth) {
        const int count = 1 + rnd_.Below(depth > 2 ? 2 : 4);
        std::string text = Operand(depth);
        for (int i = 1; i < count; ++i) {
            std::string op = rnd_.Pick(Operators());
            const bool word = op[0] >= 'A' && op[0] <= 'Z';
            if (word) {
                if (rnd_.Chance(30)) {
                    for (char& ch : op) ch = static_cast<char>(ch - 'A' + 'a');
                }
                // Word operators need a closing quote or bracket right before them.
                const char last = text.empty() ? ' ' : text.back();
                if (rnd_.Chance(90) && last != '\'' && last != ')' && last != ']')
                    text = Group(text);
            }
            if (rnd_.Chance(3)) text += " "; // makes the operator a name
            text += op;
            if (rnd_.Chance(25)) text += rnd_.Chance(50) ? " " : "   ";
            text += Operand(depth);
        }
        return text;
    }

    std::string Group(const std::string& inner) {
        // The scan knows only round and square brackets.
        return open_ + inner + close_;
    }

    std::string Operand(int depth) {
        std::string sign = rnd_.Chance(12) ? "-" : "";
        const int kind = rnd_.Below(depth >= 4 ? 5 : 9);
        switch (kind) {
        case 0:
        case 1:
            return sign + rnd_.Pick(Numbers());
        case 2:
            return sign + rnd_.Pick(Texts());
        case 3:
        case 4:
            return sign + rnd_.Pick(Names());
        case 5:
            return sign + "[" + rnd_.Pick(Names()) + "]";
        case 6:
            return sign + Group(Expression(depth + 1));
        default:
            return sign + Function(depth);
        }
    }

    std::string Function(int depth) {
        static const std::vector<std::pair<std::string, int>> functions = {
            {"SIN", 1},    {"COS", 1},   {"TAN", 1}, {"ATN", 1},   {"ABS", 1},
            {"LN", 1},     {"EXP", 1},   {"SQR", 1}, {"SQRT", 1},  {"SIGN", 1},
            {"ROUND", 1},  {"TRUNC", 1}, {"INT", 1}, {"FRAC", 1},  {"NOT", 1},
            {"STRING", 1}, {"MIN", 2},   {"MAX", 3}, {"QUANT", 2}, {"IIF", 3}};
        const auto& [name, arity] = rnd_.Pick(functions);
        std::string text = name;
        if (rnd_.Chance(30)) {
            for (size_t i = 1; i < text.size(); ++i)
                text[i] = static_cast<char>(text[i] - 'A' + 'a');
        }
        int count = arity;
        if (rnd_.Chance(20)) count = rnd_.Below(5);
        text += open_;
        for (int i = 0; i < count; ++i) {
            if (i > 0) text += rnd_.Chance(20) ? ", " : ",";
            text += Expression(depth + 1);
        }
        text += close_;
        return text;
    }

    void Mutate(std::string& text) {
        static const std::string alphabet = " +-*/=<>&|^'()[],.e0123456789ABETNQ";
        const int edits = 1 + rnd_.Below(3);
        for (int i = 0; i < edits; ++i) {
            const size_t at =
                text.empty() ? 0
                             : static_cast<size_t>(rnd_.Below(static_cast<int>(text.size()) + 1));
            const char c =
                alphabet[static_cast<size_t>(rnd_.Below(static_cast<int>(alphabet.size())))];
            switch (rnd_.Below(3)) {
            case 0:
                text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c);
                break;
            case 1:
                if (at < text.size()) text.erase(at, 1);
                break;
            default:
                if (at < text.size()) text[at] = c;
                break;
            }
        }
    }

    static const std::vector<std::string>& Operators() {
        static const std::vector<std::string> ops = {
            "*", "/", "+", "-", "=",   "<",   ">",   "<=", ">=",  "<>",  "&",  "|",
            "^", "+", "-", "*", "DIV", "MOD", "AND", "OR", "XOR", "SHL", "SHR"};
        return ops;
    }
    static const std::vector<std::string>& Numbers() {
        static const std::vector<std::string> numbers = {"0",
                                                         "1",
                                                         "2",
                                                         "3",
                                                         "7",
                                                         "10",
                                                         "2.5",
                                                         "0.5",
                                                         "1e3",
                                                         "1e",
                                                         "12abc",
                                                         "1e400",
                                                         "64",
                                                         "63",
                                                         "1.5e-3",
                                                         "3.",
                                                         "0.1",
                                                         "100000",
                                                         "1e308",
                                                         "9223372036854775808",
                                                         "9223372036854775807",
                                                         "4.5",
                                                         "1e-320"};
        return numbers;
    }
    static const std::vector<std::string>& Texts() {
        static const std::vector<std::string> texts = {"'abc'", "'a'",  "'b'",   "''",
                                                       "'a,b'", "'(x'", "'[y]'", "'10'",
                                                       "'ä'",   "'ab",  "'A'",   "'x y'"};
        return texts;
    }
    static const std::vector<std::string>& Names() {
        static const std::vector<std::string> names = {
            "A", "B", "T", "U", "N", "E", "R", "F", "K", "Q", "a", "x1", cLongName, "Min Diameter"};
        return names;
    }

    TRandom rnd_;
    std::string open_;
    std::string close_;
};

using TRow = std::map<std::string, TTerm>;


TRow MakeRow(TRandom& rnd, const std::string& open, const std::string& close) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TRow row;
    row["A"] = Num(rnd.Pick(std::vector<double>{-5, -2, -1, 0, 1, 2, 3, 0.5, 2.5, 7}));
    row["B"] =
        Num(rnd.Pick(std::vector<double>{0, -0.0, 1, -1, 2.5, 1e300, -1e300, 9.3e18, 1e-300, nan,
                                         inf, -inf, 3, 64, 63, -9223372036854775808.0}));
    row["T"] = Alpha(rnd.Pick(std::vector<std::string>{"", "a", "b", "abc", "10", "ä", "A", "x y"}));
    row["U"] = Alpha(rnd.Pick(std::vector<std::string>{"u", "", "2"}),
                    rnd.Pick(std::vector<double>{0, 4, -3, nan}));
    TTerm n;
    if (rnd.Chance(50))
        TermFromFloat(n, rnd.Chance(50) ? 0 : 6, -3,
                      rnd.Pick(std::vector<double>{2.5, -0.125, 12}));
    else
        TermFromInt(n, rnd.Pick(std::vector<int>{0, 7, -3, 42}), rnd.Below(6));
    row["N"] = n;
    row["K"] = n;
    static const int marker = 0;
    row["K"].Object = &marker; // an opaque cell object must travel with the term
    // A resolved text nested up to the depth limit: one more group around the name fails.
    const int levels = cMaxExprDepth - 1 - rnd.Below(2);
    std::string deep;
    for (int i = 0; i < levels; ++i) deep += open;
    deep += "A";
    for (int i = 0; i < levels; ++i) deep += close;
    row["E"] = Expr(rnd.Pick(std::vector<std::string>{
        "A+1", open + "B" + close + "*2", "T+'x'", "E", "1/0", "A*A", "SQRT" + open + "A" + close,
        "-A", "", " 3 ", "R", deep, "N", "F"}));
    row["R"] = Expr(rnd.Pick(std::vector<std::string>{"E+1", "R", "A*2", "'r'", "E"}));
    TTerm f;
    f.Typ = cTTError;
    row["F"] = f;
    row["x1"] = Num(rnd.Pick(std::vector<double>{1, 0}));
    row["Min Diameter"] = Num(12);
    row[cLongName.substr(0, 30)] = Num(30);
    return row;
}

bool SameTerm(const TTerm& a, const TTerm& b) {
    const bool sameValue = std::bit_cast<uint64_t>(a.Value) == std::bit_cast<uint64_t>(b.Value) ||
                           (std::isnan(a.Value) && std::isnan(b.Value));
    return a.Typ == b.Typ && sameValue && a.Text == b.Text && a.Tag == b.Tag &&
           a.Object == b.Object;
}

std::string Describe(bool ok, const TTerm& t) {
    if (!ok) return "failure";
    return "kind " + std::to_string(t.Typ) + " value " + std::to_string(t.Value) + " text '" +
           t.Text + "' tag " + std::to_string(t.Tag);
}

} // namespace

TEST(ExpressionDifferential, CompiledAndPublicEvaluatorAgreeWithReference) {
    TGenerator gen(20240611);
    TRandom rnd(77);
    constexpr int cases = 30000;
    constexpr int rowsPerCase = 3;
    std::map<std::string, std::vector<TRow>> pools; // rows by bracket pair
    int mismatches = 0;
    int failures = 0, numbers = 0, texts = 0, errors = 0, passed = 0;

    for (int n = 0; n < cases && mismatches < 20; ++n) {
        const TCase c = gen.Next();
        const TRow* current = nullptr;
        const auto lookup = [&](const std::string& name, TTerm& term) {
            auto it = current->find(name);
            if (it != current->end())
                term = it->second;
            else if (c.policy == cUnknownRejected)
                term.Typ = cTTError;
        };

        TReferenceExpression reference;
        reference.Klammer = c.klammer;
        if (c.policy != cNoResolver) reference.OnExprConst = lookup;

        TExpression expression;
        expression.SetKlammer(c.klammer);
        if (c.policy != cNoResolver)
            expression.OnExprConst = [&](TExpression&, const TExprConst& name, TTerm& term) {
                lookup(name, term);
            };

        std::vector<std::string> slotNames;
        std::vector<TRow>& pool = pools[gen.Open() + gen.Close()];
        while (pool.size() < 64) pool.push_back(MakeRow(rnd, gen.Open(), gen.Close()));
        const TRow& probe = pool.front(); // every row has the same names
        TCompiledExpression compiled(c.klammer);
        compiled.Compile(c.text, [&](std::string_view name) {
            if (c.policy == cNoResolver) return cSlotUnresolved;
            if (c.unknownAsEmptySlot && !probe.count(std::string(name))) return cSlotEmpty;
            slotNames.emplace_back(name);
            return static_cast<int>(slotNames.size()) - 1;
        });
        auto resolve = [&](int slot, TTerm& term) { lookup(slotNames[slot], term); };
        // The number fast path a query uses: names that resolve to numbers are taken by
        // value and fetched whole only when their text, tag or object is needed.
        struct TPeek {
            decltype(resolve)* Resolve;
            static void Full(void* ctx, int slot, TTerm& term) { (*static_cast<TPeek*>(ctx)->Resolve)(slot, term); }
            static bool Number(void* ctx, int slot, double& value) {
                TTerm t;
                t.Typ = cTTAlpha;
                (*static_cast<TPeek*>(ctx)->Resolve)(slot, t);
                value = t.Value;
                return t.Typ == cTTNum;
            }
            // Equal keys for equal cells: the first pool row holding the same term.
            const std::vector<TRow>* Pool;
            const std::vector<std::string>* SlotNames;
            const TRow** Current;
            static int32_t Key(void* ctx, int slot) {
                auto* self = static_cast<TPeek*>(ctx);
                const std::string& name = (*self->SlotNames)[slot];
                auto it = (**self->Current).find(name);
                if (it == (**self->Current).end() || it->second.Typ == cTTExpr) return -1;
                for (size_t j = 0; j < self->Pool->size(); ++j) {
                    auto other = (*self->Pool)[j].find(name);
                    if (other != (*self->Pool)[j].end() && other->second == it->second)
                        return static_cast<int32_t>(j);
                }
                return -1;
            }
        } peek{&resolve, &pool, &slotNames, &current};

        for (int r = 0; r < rowsPerCase; ++r) {
            const TRow& row = pool[static_cast<size_t>(rnd.Below(64))];
            current = &row;
            TTerm want, got, viaPublic;
            want.Text = "stale";
            got.Text = "stale";
            viaPublic.Text = "stale";
            const bool wantOk = reference.Evaluate(c.text, want);
            const bool gotOk = compiled.Evaluate(resolve, got);
            const bool publicOk = expression.Evaluate(c.text, viaPublic);
            const bool test = compiled.Test(resolve);
            TTerm viaPeek;
            viaPeek.Text = "stale";
            const bool peekOk = compiled.Evaluate(&TPeek::Full, &TPeek::Number, &peek, viaPeek);
            const bool peekTest = compiled.Test(&TPeek::Full, &TPeek::Number, &peek);
            // Remembered sub-results per key: the second round answers from the memo.
            bool memoAgree = true;
            for (int round = 0; round < 2; ++round) {
                TTerm viaMemo;
                viaMemo.Text = "stale";
                const bool memoOk =
                    compiled.Evaluate(&TPeek::Full, &TPeek::Number, &TPeek::Key, &peek, viaMemo);
                const bool memoTest = compiled.Test(&TPeek::Full, &TPeek::Number, &TPeek::Key, &peek);
                memoAgree = memoAgree && memoOk == wantOk && SameTerm(want, viaMemo) && memoTest == test;
            }

            const bool agree = wantOk == gotOk && wantOk == publicOk && SameTerm(want, got) &&
                               SameTerm(want, viaPublic) && wantOk == peekOk &&
                               SameTerm(want, viaPeek) &&
                               test == (wantOk && want.Typ == cTTNum && want.Value != 0) &&
                               peekTest == test && memoAgree;
            if (!agree) {
                ++mismatches;
                ADD_FAILURE() << "text [" << c.text << "] brackets \"" << c.klammer << "\" policy "
                              << c.policy << " emptySlot " << c.unknownAsEmptySlot
                              << "\n reference: " << Describe(wantOk, want)
                              << "\n compiled:  " << Describe(gotOk, got)
                              << "\n public:    " << Describe(publicOk, viaPublic)
                              << "\n peek:      " << Describe(peekOk, viaPeek)
                              << "\n test:      " << test << "\n memo agrees: " << memoAgree;
            }
            if (!wantOk) {
                ++failures;
                // A failed evaluation leaves a cleared term.
                EXPECT_TRUE(got.Text.empty() && got.Value == 0 && got.Typ == cTTError);
            } else if (want.Typ == cTTNum) {
                ++numbers;
            } else if (want.Typ == cTTAlpha) {
                ++texts;
            } else {
                ++errors;
            }
            passed += test;
        }
    }
    EXPECT_EQ(mismatches, 0);
    // The generator must reach every outcome often enough for the comparison to mean much.
    const int total = cases * rowsPerCase;
    EXPECT_GT(failures, total / 10);
    EXPECT_GT(numbers, total / 5);
    EXPECT_GT(texts, total / 50);
    EXPECT_GT(errors, total / 500);
    EXPECT_GT(passed, total / 20);
}
