#include "core/quantities/compiled_expression.h"

#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

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
constexpr int cFunctionCount = 21;
constexpr std::string_view cFunctionNames[cFunctionCount] = {
    "",      "SIN",   "COS", "TAN",  "ATN", "ABS",    "LN",  "EXP", "SQR",   "SQRT", "SIGN",
    "ROUND", "TRUNC", "INT", "FRAC", "NOT", "STRING", "MIN", "MAX", "QUANT", "IIF"};

struct TOperatorInfo {
    std::string_view spelling;
    int priority;
};
constexpr TOperatorInfo cOperators[] = {
    {"", 0},    {"*", 3},   {"/", 3},  {"+", 2},   {"-", 2},   {"=", 1},   {"<", 1},
    {">", 1},   {"<=", 1},  {">=", 1}, {"<>", 1},  {"&", 2},   {"|", 2},   {"DIV", 3},
    {"MOD", 3}, {"AND", 3}, {"OR", 2}, {"XOR", 2}, {"SHL", 3}, {"SHR", 3}, {"^", 4},
};

// Names handed to the resolver are short 8-bit texts in the original; here at most 30
// characters of UTF-8.
constexpr int cMaxNameChars = 30;

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// "^" ends an operand like the other symbol operators; word operators do not.
bool IsDelimiter(char c) {
    switch (c) {
    case '^':
    case ' ':
    case '+':
    case '-':
    case '*':
    case '/':
    case '=':
    case '>':
    case '<':
    case '&':
    case '|':
        return true;
    default:
        return false;
    }
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// True when the upper-cased `s` begins with `word` (upper case already).
bool StartsWithUpper(std::string_view s, std::string_view word) {
    if (s.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Upper(s[i]) != word[i]) return false;
    return true;
}

// Quote and bracket state of the operand and argument scans.
struct TScanState {
    bool quote = false;
    bool square = false;
    int depth = 0;

    // Takes one character; true when it closed a quote or a bracket.
    bool Step(char c) {
        if (c == '\'') {
            quote = !quote;
            return !quote;
        }
        if (quote) return false;
        switch (c) {
        case '(':
            ++depth;
            return false;
        case ')':
            --depth;
            return depth == 0;
        case '[':
            square = true;
            return false;
        case ']':
            if (!square) return false;
            square = false;
            return true;
        default:
            return false;
        }
    }
    bool Outside() const { return !quote && depth == 0 && !square; }
};

// Length of the operand at the front of the trimmed, non-empty `s`.
size_t OperandLength(std::string_view s) {
    TScanState state;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        const bool closed = state.Step(s[i]);
        if (state.Outside() && (closed || IsDelimiter(s[i + 1]))) return i + 1;
    }
    return s.size();
}

TOpCode MatchOperator(std::string_view rest, size_t& length) {
    for (int op = cOPC_power; op > cOPC_None; --op) {
        if (StartsWithUpper(rest, cOperators[op].spelling)) {
            length = cOperators[op].spelling.size();
            return static_cast<TOpCode>(op);
        }
    }
    length = 0;
    return cOPC_None;
}

// Cuts a function's argument text at the commas outside quotes and brackets; a blank
// argument text has no arguments.
void SplitArguments(std::string_view s, std::vector<std::string_view>& pieces) {
    if (Trim(s).empty()) return;
    TScanState state;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',' && state.Outside()) {
            pieces.push_back(s.substr(start, i - start));
            start = i + 1;
        } else {
            state.Step(s[i]);
        }
    }
    pieces.push_back(s.substr(start));
}

std::string_view TruncateName(std::string_view s) {
    int count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue; // continuation byte
        if (count == cMaxNameChars) return s.substr(0, i);
        ++count;
    }
    return s;
}

std::string_view Between(std::string_view s) {
    return s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string_view();
}

// Integer operators work on round(x) as a 64-bit integer; a value outside that range is an
// invalid operation, as the conversion would trap.
bool RoundToInt64(double x, int64_t& out) {
    const double r = RoundHalfEven(x);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
    out = static_cast<int64_t>(r);
    return true;
}

bool FitsInt64(double r) {
    return r >= -9223372036854775808.0 && r < 9223372036854775808.0;
}

double Power(double l, double r) {
    if (l == 0) return 0;
    if (l > 0) return std::pow(l, r);
    if (r != std::trunc(r)) return 0;
    const double m = std::pow(-l, r);
    return std::fabs(std::fmod(r, 2.0)) == 1.0 ? -m : m;
}

// Numeric rule of a binary operator; false for a failing operation or a result that is
// not finite (overflow and invalid operations are run-time errors).
bool NumericOperator(TOpCode op, double l, double r, double& out) {
    if (std::isnan(l) || std::isnan(r)) return false;
    double v = 0;
    switch (op) {
    case cOPC_multiply:
        v = l * r;
        break;
    case cOPC_divide:
        if (r == 0) return false;
        v = l / r;
        break;
    case cOPC_add:
        v = l + r;
        break;
    case cOPC_minus:
        v = l - r;
        break;
    case cOPC_equal:
        v = l == r;
        break;
    case cOPC_less:
        v = l < r;
        break;
    case cOPC_more:
        v = l > r;
        break;
    case cOPC_less_equal:
        v = l <= r;
        break;
    case cOPC_more_equal:
        v = l >= r;
        break;
    case cOPC_not_equal:
        v = l != r;
        break;
    case cOPC_logical_and:
        v = (l != 0 && r != 0);
        break;
    case cOPC_logical_or:
        v = (l != 0 || r != 0);
        break;
    case cOPC_div:
    case cOPC_mod:
    case cOPC_and:
    case cOPC_or:
    case cOPC_xor:
    case cOPC_shl:
    case cOPC_shr: {
        int64_t a = 0;
        int64_t b = 0;
        if (!RoundToInt64(l, a) || !RoundToInt64(r, b)) return false;
        const auto ua = static_cast<uint64_t>(a);
        switch (op) {
        case cOPC_div:
            if (b == 0) return false;
            // The one quotient that does not fit: the result is a double anyway.
            v = (b == -1 && a == std::numeric_limits<int64_t>::min()) ? 9223372036854775808.0
                                                                      : static_cast<double>(a / b);
            break;
        case cOPC_mod:
            if (b == 0) return false;
            v = b == -1 ? 0.0 : static_cast<double>(a % b);
            break;
        case cOPC_and:
            v = static_cast<double>(a & b);
            break;
        case cOPC_or:
            v = static_cast<double>(a | b);
            break;
        case cOPC_xor:
            v = static_cast<double>(a ^ b);
            break;
        case cOPC_shl:
            // Shifting by 64 or more, or by a negative count, moves every bit out.
            v = (b < 0 || b > 63) ? 0.0 : static_cast<double>(static_cast<int64_t>(ua << b));
            break;
        default:
            v = (b < 0 || b > 63) ? 0.0 : static_cast<double>(static_cast<int64_t>(ua >> b));
            break;
        }
        break;
    }
    case cOPC_power:
        v = Power(l, r);
        break;
    default:
        return false;
    }
    if (!std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace

struct TCompiledExpression::TProgram {
    enum TCode : uint8_t { cCodeConst, cCodeName, cCodeNegate, cCodeBinary, cCodeCall };
    struct TInstr {
        TCode code = cCodeConst;
        uint8_t sub = 0;   // operator, function, or 1 for a negated name
        int32_t count = 0; // arguments of a call
        int32_t index = 0; // constant or name index
        int32_t depth = 0; // evaluation depth of the text holding a name
    };
    // An operand or intermediate result. Text, tag and object come from `term` (none
    // when null); `value` is authoritative because a sign may have changed it.
    struct TVal {
        const TTerm* term;
        double value;
        TTermTyp typ;
        // A number whose term was not fetched yet: the instruction that names it (see
        // TNumberFn), -1 otherwise.
        int32_t lazy = -1;
    };

    bool ok = false;
    int maxDepth = 0;
    std::vector<TInstr> code;
    std::vector<TTerm> consts;
    std::vector<TTerm> scratch; // per instruction: resolved names, texts built
    std::vector<TVal> stack;
    bool active = false;

    // Sub-expressions that depend on one name only (such as Diameter>=20 in a longer
    // condition) give the same result for every row whose cell of that name is the same;
    // with a key per cell (see TKeyFn) their results are remembered per key.
    struct TMemoRoot {
        int32_t start, end, name; // instructions start..end, name index
    };
    struct TMemoEntry {
        uint8_t state = 0; // 0 unknown, 1 result below, 2 fails
        bool hasTerm = false;
        TVal val{nullptr, 0, cTTError};
        TTerm term;
    };
    std::vector<TMemoRoot> roots;
    std::vector<int32_t> memoAt; // per instruction: the root starting there, or -1
    std::vector<std::vector<TMemoEntry>> memo;

    void FindMemoRoots();
    void ClearMemo() {
        for (auto& m : memo) m.clear();
    }
};

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

using TVal = TCompiledExpression::TProgram::TVal;
using TInstr = TCompiledExpression::TProgram::TInstr;
using TProgram = TCompiledExpression::TProgram;

std::string_view TextOf(const TVal& v) {
    return v.term ? std::string_view(v.term->Text) : std::string_view();
}

void SetAlpha(TTerm& t) {
    t.Typ = cTTAlpha;
    t.Value = 0;
    t.Tag = 0;
    t.Object = nullptr;
}

bool BinaryOperator(TOpCode op, const TVal& a, const TVal& b, TVal& out, TTerm& scratch) {
    if (a.typ == cTTNum && b.typ == cTTNum) {
        double v = 0;
        if (!NumericOperator(op, a.value, b.value, v)) return false;
        out = {nullptr, v, cTTNum};
        return true;
    }
    const std::string_view ta = TextOf(a);
    const std::string_view tb = TextOf(b);
    double v = 0;
    switch (op) {
    case cOPC_add:
        SetAlpha(scratch);
        scratch.Text.assign(ta);
        scratch.Text.append(tb);
        out = {&scratch, 0, cTTAlpha};
        return true;
    case cOPC_equal:
        v = ta == tb;
        break;
    case cOPC_less:
        v = ta < tb;
        break;
    case cOPC_more:
        v = ta > tb;
        break;
    case cOPC_less_equal:
        v = ta <= tb;
        break;
    case cOPC_more_equal:
        v = ta >= tb;
        break;
    case cOPC_not_equal:
        v = ta != tb;
        break;
    default:
        break;
    }
    out = {nullptr, v, cTTNum};
    return true;
}

bool CallFunction(int fn, const TVal* args, int count, TVal& out, TTerm& scratch) {
    int least = 1;
    int most = 1;
    if (fn == cFn_MIN || fn == cFn_MAX) {
        least = 2;
        most = 99;
    } else if (fn == cFn_QUANT) {
        least = most = 2;
    } else if (fn == cFn_IIF) {
        least = most = 3;
    }
    if (count < least || count > most || args[0].typ != cTTNum) {
        out = {nullptr, 0, cTTError};
        return true;
    }
    const double x = args[0].value;
    double v = 0;
    switch (fn) {
    case cFn_MIN:
    case cFn_MAX:
        for (int i = 0; i < count; ++i)
            if (std::isnan(args[i].value)) return false;
        v = x;
        for (int i = 1; i < count; ++i)
            if (fn == cFn_MIN ? args[i].value < v : args[i].value > v) v = args[i].value;
        break;
    case cFn_QUANT: {
        if (args[1].typ != cTTNum) {
            out = {nullptr, 0, cTTError};
            return true;
        }
        const double q = args[1].value;
        if (std::isnan(x) || std::isnan(q)) return false;
        if (!(q > 0)) {
            out = {nullptr, 0, cTTError};
            return true;
        }
        const double d = x / q;
        v = (d - std::trunc(d) > 0) ? (std::trunc(d) + 1) * q : d * q;
        break;
    }
    case cFn_IIF:
        if (std::isnan(x)) return false;
        out = x != 0 ? args[1] : args[2];
        return true;
    default:
        if (std::isnan(x)) return false;
        switch (fn) {
        case cFn_STRING:
            SetAlpha(scratch);
            scratch.Text = ShortDecimal(x);
            out = {&scratch, 0, cTTAlpha};
            return true;
        case cFn_SIN:
            v = std::sin(x);
            break;
        case cFn_COS:
            v = std::cos(x);
            break;
        case cFn_TAN: {
            const double c = std::cos(x);
            if (c == 0) return false;
            v = std::sin(x) / c;
            break;
        }
        case cFn_ATN:
            v = std::atan(x);
            break;
        case cFn_ABS:
            v = std::fabs(x);
            break;
        case cFn_LN:
            if (x <= 0) return false;
            v = std::log(x);
            break;
        case cFn_EXP:
            v = std::exp(x);
            break;
        case cFn_SQR:
            v = x * x;
            break;
        case cFn_SQRT:
            if (x < 0) return false;
            v = std::sqrt(x);
            break;
        case cFn_SIGN:
            v = x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
            break;
        case cFn_ROUND:
            // ROUND and TRUNC yield 64-bit integers; INT and FRAC stay floating point.
            v = RoundHalfEven(x);
            if (!FitsInt64(v)) return false;
            break;
        case cFn_TRUNC:
            v = std::trunc(x);
            if (!FitsInt64(v)) return false;
            break;
        case cFn_INT:
            v = std::trunc(x);
            break;
        case cFn_FRAC:
            v = x - std::trunc(x);
            break;
        case cFn_NOT:
            v = x == 0 ? 1.0 : 0.0;
            break;
        default:
            return false;
        }
    }
    if (!std::isfinite(v)) return false;
    out = {nullptr, v, cTTNum};
    return true;
}

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

// Turns a text into postfix code. The operand and operator scan is the evaluator's
// tokenising; precedence is resolved with an operator stack, which groups exactly as the
// reduction by priority levels (all operators associate to the left).
class TExpressionParser {
public:
    TExpressionParser(std::string_view klammer, TProgram& program,
                      std::function<int(std::string_view)> intern)
        : hasOpen_(!klammer.empty()), open_(klammer.empty() ? '\0' : klammer[0]), program_(program),
          intern_(std::move(intern)) {}

    bool Parse(std::string_view text, int depth) {
        if (depth > cMaxExprDepth) return false;
        program_.maxDepth = std::max(program_.maxDepth, depth);
        std::vector<TOpCode> pending;
        std::string_view rest = text;
        for (;;) {
            rest = Trim(rest);
            if (rest.empty()) return false; // missing operand
            const size_t n = OperandLength(rest);
            std::string_view operand = Trim(rest.substr(0, n));
            rest.remove_prefix(n);
            bool negative = false;
            if (!operand.empty() && operand.front() == '-') {
                negative = true;
                operand.remove_prefix(1);
            }
            if (operand.empty() || !Operand(operand, negative, depth)) return false;
            if (rest.empty()) break;
            size_t length = 0;
            const TOpCode op = MatchOperator(rest, length);
            if (op == cOPC_None) return false; // never reduced
            rest.remove_prefix(length);
            if (rest.empty()) return false; // operator without right operand
            while (!pending.empty() &&
                   cOperators[pending.back()].priority >= cOperators[op].priority) {
                EmitBinary(pending.back());
                pending.pop_back();
            }
            pending.push_back(op);
        }
        while (!pending.empty()) {
            EmitBinary(pending.back());
            pending.pop_back();
        }
        return true;
    }

    int MaxStack() const { return maxHeight_; }

private:
    bool Operand(std::string_view operand, bool negative, int depth) {
        const char first = operand.front();
        if (hasOpen_ && first == open_) {
            if (!Parse(Between(operand), depth + 1)) return false;
            if (negative) Emit({TProgram::cCodeNegate}, 0);
            return true;
        }
        if (first == '\'') {
            TTerm t;
            TermFromText(t, Between(operand));
            program_.consts.push_back(std::move(t));
            TInstr in{TProgram::cCodeConst};
            in.index = static_cast<int32_t>(program_.consts.size() - 1);
            Emit(in, 1);
            return true;
        }
        if (first >= '0' && first <= '9') {
            // A literal keeps its text as written (without the sign) for text operations.
            const double v = ReadNumber(operand);
            if (!std::isfinite(v)) return false; // does not fit a double
            TTerm t;
            t.Typ = cTTNum;
            t.Value = negative ? -v : v;
            t.Text.assign(operand);
            program_.consts.push_back(std::move(t));
            TInstr in{TProgram::cCodeConst};
            in.index = static_cast<int32_t>(program_.consts.size() - 1);
            Emit(in, 1);
            return true;
        }
        std::string_view name = operand;
        if (first == '[' && open_ != '[') {
            name = Between(operand);
        } else if (hasOpen_) {
            for (int fn = cFunctionCount - 1; fn > 0; --fn) {
                const std::string_view fname = cFunctionNames[fn];
                if (operand.size() <= fname.size() || !StartsWithUpper(operand, fname) ||
                    Upper(operand[fname.size()]) != open_)
                    continue;
                std::string_view args = operand.substr(fname.size() + 1);
                if (!args.empty()) args.remove_suffix(1);
                std::vector<std::string_view> pieces;
                SplitArguments(args, pieces);
                for (std::string_view piece : pieces)
                    if (!Parse(piece, depth + 1)) return false;
                TInstr in{TProgram::cCodeCall};
                in.sub = static_cast<uint8_t>(fn);
                in.count = static_cast<int32_t>(pieces.size());
                Emit(in, 1 - in.count);
                if (negative) Emit({TProgram::cCodeNegate}, 0);
                return true;
            }
        }
        TInstr in{TProgram::cCodeName};
        in.sub = negative ? 1 : 0;
        in.index = intern_(TruncateName(name));
        in.depth = depth;
        Emit(in, 1);
        return true;
    }

    void EmitBinary(TOpCode op) {
        TInstr in{TProgram::cCodeBinary};
        in.sub = op;
        Emit(in, -1);
    }

    void Emit(const TInstr& in, int delta) {
        program_.code.push_back(in);
        height_ += delta;
        maxHeight_ = std::max(maxHeight_, height_);
    }

    bool hasOpen_;
    char open_;
    TProgram& program_;
    std::function<int(std::string_view)> intern_;
    int height_ = 0;
    int maxHeight_ = 0;
};

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
