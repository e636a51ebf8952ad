// Input: one options byte, then a condition text. The compiled evaluator, the public one and
// the compiled one on its number and memo fast paths must all give what the re-tokenising
// reference gives (success, kind, value bit for bit or both NaN, text, tag, object), on two
// rows of names, and a failure must leave a cleared term.
//
// Options byte: bits 0-1 bracket pair ("[]", "()", "", "{}"), bits 2-3 how names a row does
// not hold are treated (no resolver, left untouched twice, rejected), bit 4 unknown names
// bound to empty slots instead of asked, bits 5-7 the first row.

#include "core/quantities/compiled_expression.h"
#include "core/quantities/expression.h"
#include "tests/core/quantities/expression_reference.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

enum TUnknownPolicy { cNoResolver, cUnknownUntouched, cUnknownRejected };

using TRow = std::map<std::string, TTerm>;

constexpr int cRowCount = 8;

TTerm Num(double v) {
    TTerm t;
    t.Typ = cTTNum;
    t.Value = v;
    return t;
}

TTerm Alpha(const std::string& s, double value = 0) {
    TTerm t;
    TermFromText(t, s);
    t.Value = value;
    return t;
}

TTerm Expr(const std::string& s) {
    TTerm t;
    t.Typ = cTTExpr;
    t.Text = s;
    return t;
}

// Rows with every kind of cell: numbers at the edges of the integer operators, texts,
// terms with tags and objects, nested and self-referring expression texts, an error cell.
std::vector<TRow> MakeRows(const std::string& open, const std::string& close) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double as[cRowCount] = {-5, 0, 1, 2.5, 7, -1, 3, 0.5};
    const double bs[cRowCount] = {0, -0.0, 1e300, nan, inf, -9223372036854775808.0, 63, 9.3e18};
    const char* ts[cRowCount] = {"", "a", "abc", "10", "\xC3\xA4", "A", "x y", "b"};
    const double us[cRowCount] = {0, 4, -3, nan, 0, 4, -3, nan};
    std::string deep;
    for (int i = 0; i < cMaxExprDepth - 1; ++i) deep += open;
    deep += "A";
    for (int i = 0; i < cMaxExprDepth - 1; ++i) deep += close;
    const std::string es[cRowCount] = {"A+1", open + "B" + close + "*2",  "T+'x'", "E", "1/0", deep,
                                       "R",   "SQRT" + open + "A" + close};
    const std::string rs[cRowCount] = {"E+1", "R", "A*2", "'r'", "E", "E+1", "A*2", "R"};
    static const int marker = 0;
    std::vector<TRow> rows(cRowCount);
    for (int i = 0; i < cRowCount; ++i) {
        TRow& row = rows[static_cast<size_t>(i)];
        row["A"] = Num(as[i]);
        row["B"] = Num(bs[i]);
        row["T"] = Alpha(ts[i]);
        row["U"] = Alpha(i % 3 ? "u" : "2", us[i]);
        TTerm n;
        if (i % 2)
            TermFromFloat(n, i % 4 == 1 ? 0 : 6, -3, i * -0.125 + 2.5);
        else
            TermFromInt(n, i * 7 - 3, i);
        row["N"] = n;
        row["K"] = n;
        row["K"].Object = &marker;
        row["E"] = Expr(es[i]);
        row["R"] = Expr(rs[i]);
        TTerm f;
        f.Typ = cTTError;
        row["F"] = f;
        row["x1"] = Num(i % 2);
        row["Min Diameter"] = Num(12);
    }
    return rows;
}

bool SameTerm(const TTerm& a, const TTerm& b) {
    const bool sameValue = std::bit_cast<uint64_t>(a.Value) == std::bit_cast<uint64_t>(b.Value) ||
                           (std::isnan(a.Value) && std::isnan(b.Value));
    return a.Typ == b.Typ && sameValue && a.Text == b.Text && a.Tag == b.Tag &&
           a.Object == b.Object;
}

bool Cleared(const TTerm& t) {
    return t.Typ == cTTError && t.Value == 0 && t.Text.empty() && t.Tag == 0 && !t.Object;
}

void Report(const char* what, const std::string& text, const std::string& klammer, int policy,
            bool ok, const TTerm& got, bool wantOk, const TTerm& want) {
    std::fprintf(stderr,
                 "invariant broken: %s\n text [%s] brackets \"%s\" policy %d\n"
                 " reference: %d kind %d value %.17g text '%s' tag %d\n"
                 " got:       %d kind %d value %.17g text '%s' tag %d\n",
                 what, text.c_str(), klammer.c_str(), policy, wantOk, want.Typ, want.Value,
                 want.Text.c_str(), want.Tag, ok, got.Typ, got.Value, got.Text.c_str(), got.Tag);
    std::abort();
}

struct TContext {
    const std::vector<TRow>* Rows = nullptr;
    int Row = 0;
    TUnknownPolicy Policy = cUnknownUntouched;
    std::vector<std::string> SlotNames;

    void Lookup(const std::string& name, TTerm& term) const {
        const TRow& row = (*Rows)[static_cast<size_t>(Row)];
        auto it = row.find(name);
        if (it != row.end())
            term = it->second;
        else if (Policy == cUnknownRejected)
            term.Typ = cTTError;
    }
    static void Full(void* ctx, int slot, TTerm& term) {
        auto* self = static_cast<TContext*>(ctx);
        self->Lookup(self->SlotNames[static_cast<size_t>(slot)], term);
    }
    static bool Number(void* ctx, int slot, double& value) {
        TTerm t;
        t.Typ = cTTAlpha;
        Full(ctx, slot, t);
        value = t.Value;
        return t.Typ == cTTNum;
    }
    // Equal keys for equal cells: the row number, for names the row holds as plain terms.
    static int32_t Key(void* ctx, int slot) {
        auto* self = static_cast<TContext*>(ctx);
        const TRow& row = (*self->Rows)[static_cast<size_t>(self->Row)];
        auto it = row.find(self->SlotNames[static_cast<size_t>(slot)]);
        if (it == row.end() || it->second.Typ == cTTExpr) return -1;
        return self->Row;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const char* const brackets[4] = {"[]", "()", "", "{}"};
    static const TUnknownPolicy policies[4] = {cNoResolver, cUnknownUntouched, cUnknownRejected,
                                               cUnknownUntouched};
    const uint8_t options = data[0];
    const std::string klammer = brackets[options & 3];
    const TUnknownPolicy policy = policies[(options >> 2) & 3];
    const bool emptySlots = (options & 0x10) != 0 && policy == cUnknownUntouched;
    const int firstRow = options >> 5;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::string open = klammer.empty() ? "[" : klammer.substr(0, 1);
    const std::string close = klammer.size() < 2 ? "]" : klammer.substr(1, 1);
    static std::map<std::string, std::vector<TRow>> pools;
    auto pool = pools.find(open + close);
    if (pool == pools.end()) pool = pools.emplace(open + close, MakeRows(open, close)).first;

    TContext ctx;
    ctx.Rows = &pool->second;
    ctx.Policy = policy;

    TReferenceExpression reference;
    reference.Klammer = klammer;
    if (policy != cNoResolver)
        reference.OnExprConst = [&](const std::string& name, TTerm& term) {
            ctx.Lookup(name, term);
        };
    TExpression expression;
    expression.SetKlammer(klammer);
    if (policy != cNoResolver)
        expression.OnExprConst = [&](TExpression&, const TExprConst& name, TTerm& term) {
            ctx.Lookup(name, term);
        };
    TCompiledExpression compiled(klammer);
    const TRow& probe = pool->second.front(); // every row holds the same names
    compiled.Compile(text, [&](std::string_view name) {
        if (policy == cNoResolver) return cSlotUnresolved;
        if (emptySlots && !probe.count(std::string(name))) return cSlotEmpty;
        ctx.SlotNames.emplace_back(name);
        return static_cast<int>(ctx.SlotNames.size()) - 1;
    });

    for (int pass = 0; pass < 2; ++pass) {
        ctx.Row = (firstRow + 3 * pass) % cRowCount;
        TTerm want, got, viaPublic, viaNumber;
        want.Text = got.Text = viaPublic.Text = viaNumber.Text = "stale";
        const bool wantOk = reference.Evaluate(text, want);
        const auto check = [&](const char* what, bool ok, const TTerm& t) {
            if (ok != wantOk || (ok ? !SameTerm(want, t) : !Cleared(t)))
                Report(what, text, klammer, policy, ok, t, wantOk, want);
        };
        if (!wantOk && !Cleared(want))
            Report("reference failure not cleared", text, klammer, policy, wantOk, want, wantOk,
                   want);
        check("compiled", compiled.Evaluate(&TContext::Full, &ctx, got), got);
        check("public", expression.Evaluate(text, viaPublic), viaPublic);
        check("number path", compiled.Evaluate(&TContext::Full, &TContext::Number, &ctx, viaNumber),
              viaNumber);
        const bool passes = wantOk && want.Typ == cTTNum && want.Value != 0;
        if (compiled.Test(&TContext::Full, &ctx) != passes ||
            compiled.Test(&TContext::Full, &TContext::Number, &ctx) != passes)
            Report("test", text, klammer, policy, !passes, want, wantOk, want);
        // The second round answers from the remembered results.
        for (int round = 0; round < 2; ++round) {
            TTerm viaMemo;
            viaMemo.Text = "stale";
            check("memo path",
                  compiled.Evaluate(&TContext::Full, &TContext::Number, &TContext::Key, &ctx,
                                    viaMemo),
                  viaMemo);
            if (compiled.Test(&TContext::Full, &TContext::Number, &TContext::Key, &ctx) != passes)
                Report("memo test", text, klammer, policy, !passes, want, wantOk, want);
        }
    }
    return 0;
}
