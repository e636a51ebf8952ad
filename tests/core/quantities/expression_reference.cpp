#include "tests/core/quantities/expression_reference.h"

#include "core/quantities/number_format.h"

#include <cmath>
#include <cstdint>

namespace {

const char* const cSpellings[21] = {"",    "*",   "/",  "+",   "-",   "=",   "<",
                                    ">",   "<=",  ">=", "<>",  "&",   "|",   "DIV",
                                    "MOD", "AND", "OR", "XOR", "SHL", "SHR", "^"};
const int cPriorities[21] = {0, 3, 3, 2, 2, 1, 1, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 2, 3, 3, 4};

const char* const cFunctions[21] = {"",     "SIN", "COS",    "TAN",  "ATN",   "ABS",   "LN",
                                    "EXP",  "SQR", "SQRT",   "SIGN", "ROUND", "TRUNC", "INT",
                                    "FRAC", "NOT", "STRING", "MIN",  "MAX",   "QUANT", "IIF"};

const std::string cDelimiters = " +-*/=><&|^";

const double cTwo63 = 9223372036854775808.0;

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string UpperCase(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

bool BeginsWith(const std::string& s, const std::string& head) {
    return s.rfind(head, 0) == 0;
}

// Text between the first and the last character.
std::string Inner(const std::string& s) {
    return s.size() < 2 ? "" : s.substr(1, s.size() - 2);
}

std::string FirstChars(const std::string& s, int count) {
    std::string out;
    int seen = 0;
    for (char c : s) {
        const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (starts && ++seen > count) break;
        out.push_back(c);
    }
    return out;
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    if (Trim(text).empty()) return parts;
    bool quoted = false;
    bool square = false;
    int round = 0;
    std::string current;
    for (char c : text) {
        if (c == ',' && !quoted && round == 0 && !square) {
            parts.push_back(current);
            current.clear();
            continue;
        }
        if (c == '\'') {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == '(') ++round;
            if (c == ')') --round;
            if (c == '[') square = true;
            if (c == ']') square = false;
        }
        current.push_back(c);
    }
    parts.push_back(current);
    return parts;
}

bool ToInteger(double x, int64_t& n) {
    const double r = RoundHalfEven(x);
    if (std::isnan(r) || r < -cTwo63 || r >= cTwo63) return false;
    n = static_cast<int64_t>(r);
    return true;
}

TTerm Number(double v) {
    TTerm t;
    t.Typ = cTTNum;
    t.Value = v;
    return t;
}

} // namespace

bool TReferenceExpression::Evaluate(std::string_view text, TTerm& result) {
    bool ok = false;
    try {
        ok = Eval(std::string(text), 0, result);
    } catch (...) {
        ok = false;
    }
    if (!ok) result = TTerm();
    return ok;
}

bool TReferenceExpression::Eval(const std::string& text, int depth, TTerm& result) {
    if (depth > cMaxExprDepth) return false;
    std::vector<TTerm> terms;
    std::vector<TOpCode> ops;
    std::string rest = text;
    for (;;) {
        // Split off the next operand.
        rest = Trim(rest);
        bool quoted = false;
        bool square = false;
        int round = 0;
        size_t length = rest.size();
        for (size_t i = 0; i < rest.size(); ++i) {
            const char c = rest[i];
            bool closed = false;
            if (c == '\'') {
                quoted = !quoted;
                closed = !quoted;
            } else if (!quoted) {
                if (c == '(') {
                    ++round;
                } else if (c == ')') {
                    --round;
                    closed = round == 0;
                } else if (c == '[') {
                    square = true;
                } else if (c == ']') {
                    closed = square;
                    square = false;
                }
            }
            if (quoted || round != 0 || square) continue;
            const bool delimiterNext =
                i + 1 < rest.size() && cDelimiters.find(rest[i + 1]) != std::string::npos;
            if (closed || delimiterNext) {
                length = i + 1;
                break;
            }
        }
        std::string operand = Trim(rest.substr(0, length));
        rest = rest.substr(length);

        double sign = 1;
        if (!operand.empty() && operand[0] == '-') {
            sign = -1;
            operand = operand.substr(1);
        }
        if (operand.empty()) return false;
        TTerm term;
        if (!Interpret(operand, depth, term)) return false;
        if (term.Typ == cTTNum) term.Value = term.Value * sign;
        terms.push_back(term);

        if (rest.empty()) break;
        TOpCode op = cOPC_None;
        const std::string upper = UpperCase(rest);
        for (int k = 20; k >= 1; --k) {
            if (BeginsWith(upper, cSpellings[k])) {
                op = static_cast<TOpCode>(k);
                rest = rest.substr(std::string(cSpellings[k]).size());
                break;
            }
        }
        ops.push_back(op);
        if (rest.empty()) break;
    }

    for (int priority = 4; priority >= 1; --priority) {
        size_t i = 0;
        while (i < ops.size()) {
            if (ops[i] == cOPC_None || cPriorities[ops[i]] != priority || i + 1 >= terms.size()) {
                ++i;
                continue;
            }
            TTerm combined;
            if (!Apply(ops[i], terms[i], terms[i + 1], combined)) return false;
            terms[i] = combined;
            terms.erase(terms.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            ops.erase(ops.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    if (terms.size() != 1 || !ops.empty()) return false;
    result = terms[0];
    return true;
}

bool TReferenceExpression::Interpret(const std::string& operand, int depth, TTerm& term) {
    const char first = operand[0];
    const bool haveBracket = !Klammer.empty();
    if (haveBracket && first == Klammer[0]) return Eval(Inner(operand), depth + 1, term);
    if (first == '\'') {
        term = TTerm();
        term.Typ = cTTAlpha;
        term.Text = Inner(operand);
        return true;
    }
    if (first >= '0' && first <= '9') {
        term = Number(ReadNumber(operand));
        term.Text = operand;
        return std::isfinite(term.Value);
    }
    std::string name = operand;
    if (first == '[' && !(haveBracket && Klammer[0] == '[')) {
        name = Inner(operand);
    } else if (haveBracket) {
        const std::string upper = UpperCase(operand);
        for (int f = 20; f >= 1; --f) {
            const std::string head = std::string(cFunctions[f]) + Klammer[0];
            if (!BeginsWith(upper, head)) continue;
            std::string argText = operand.substr(head.size());
            if (!argText.empty()) argText.pop_back();
            std::vector<TTerm> args;
            for (const std::string& piece : SplitAtCommas(argText)) {
                TTerm arg;
                if (!Eval(piece, depth + 1, arg)) return false;
                args.push_back(arg);
            }
            return CallFunction(f, args, term);
        }
    }
    term = TTerm();
    if (!OnExprConst) return true;
    term.Typ = cTTAlpha;
    OnExprConst(FirstChars(name, 30), term);
    if (term.Typ == cTTNum || term.Typ == cTTAlpha) return true;
    if (term.Typ == cTTExpr) {
        const std::string text = term.Text;
        return Eval(text, depth + 1, term);
    }
    return false;
}

bool TReferenceExpression::CallFunction(int f, const std::vector<TTerm>& args, TTerm& result) {
    const int n = static_cast<int>(args.size());
    bool countOk = n == 1;
    if (f == 17 || f == 18) countOk = n >= 2 && n <= 99;
    if (f == 19) countOk = n == 2;
    if (f == 20) countOk = n == 3;
    result = TTerm();
    if (!countOk || args[0].Typ != cTTNum) return true;
    const double x = args[0].Value;

    if (f == 17 || f == 18) {
        double best = x;
        for (const TTerm& a : args) {
            if (std::isnan(a.Value)) return false;
            if (f == 17 && a.Value < best) best = a.Value;
            if (f == 18 && a.Value > best) best = a.Value;
        }
        result = Number(best);
        return std::isfinite(best);
    }
    if (f == 19) {
        if (args[1].Typ != cTTNum) return true;
        const double q = args[1].Value;
        if (std::isnan(x) || std::isnan(q)) return false;
        if (q <= 0) return true;
        const double ratio = x / q;
        const double fraction = ratio - std::trunc(ratio);
        const double v = fraction > 0 ? (std::trunc(ratio) + 1) * q : ratio * q;
        result = Number(v);
        return std::isfinite(v);
    }
    if (std::isnan(x)) return false;
    if (f == 20) {
        result = x != 0 ? args[1] : args[2];
        return true;
    }
    if (f == 16) {
        TermFromText(result, ShortDecimal(x));
        return true;
    }
    double v = 0;
    switch (f) {
    case 1:
        v = std::sin(x);
        break;
    case 2:
        v = std::cos(x);
        break;
    case 3:
        if (std::cos(x) == 0) return false;
        v = std::sin(x) / std::cos(x);
        break;
    case 4:
        v = std::atan(x);
        break;
    case 5:
        v = std::fabs(x);
        break;
    case 6:
        if (x <= 0) return false;
        v = std::log(x);
        break;
    case 7:
        v = std::exp(x);
        break;
    case 8:
        v = x * x;
        break;
    case 9:
        if (x < 0) return false;
        v = std::sqrt(x);
        break;
    case 10:
        v = x > 0 ? 1 : x < 0 ? -1 : 0;
        break;
    case 11:
        v = RoundHalfEven(x);
        if (v < -cTwo63 || v >= cTwo63) return false;
        break;
    case 12:
        v = std::trunc(x);
        if (v < -cTwo63 || v >= cTwo63) return false;
        break;
    case 13:
        v = std::trunc(x);
        break;
    case 14:
        v = x - std::trunc(x);
        break;
    case 15:
        v = x == 0 ? 1 : 0;
        break;
    }
    result = Number(v);
    return std::isfinite(v);
}

bool TReferenceExpression::Apply(TOpCode op, const TTerm& left, const TTerm& right, TTerm& result) {
    if (left.Typ != cTTNum || right.Typ != cTTNum) {
        const std::string& a = left.Text;
        const std::string& b = right.Text;
        const int c = a.compare(b);
        switch (op) {
        case cOPC_add:
            TermFromText(result, a + b);
            return true;
        case cOPC_equal:
            result = Number(c == 0);
            return true;
        case cOPC_less:
            result = Number(c < 0);
            return true;
        case cOPC_more:
            result = Number(c > 0);
            return true;
        case cOPC_less_equal:
            result = Number(c <= 0);
            return true;
        case cOPC_more_equal:
            result = Number(c >= 0);
            return true;
        case cOPC_not_equal:
            result = Number(c != 0);
            return true;
        default:
            result = Number(0);
            return true;
        }
    }

    const double l = left.Value;
    const double r = right.Value;
    if (std::isnan(l) || std::isnan(r)) return false;
    double v = 0;
    if (op >= cOPC_div && op <= cOPC_shr) {
        int64_t a = 0;
        int64_t b = 0;
        if (!ToInteger(l, a) || !ToInteger(r, b)) return false;
        const uint64_t bits = static_cast<uint64_t>(a);
        switch (op) {
        case cOPC_div:
            if (b == 0) return false;
            if (b == -1 && a == INT64_MIN)
                v = cTwo63; // the quotient is exact as a double
            else
                v = static_cast<double>(a / b);
            break;
        case cOPC_mod:
            if (b == 0) return false;
            v = b == -1 ? 0 : static_cast<double>(a % b);
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
            v = (b >= 0 && b < 64) ? static_cast<double>(static_cast<int64_t>(bits << b)) : 0;
            break;
        default:
            v = (b >= 0 && b < 64) ? static_cast<double>(static_cast<int64_t>(bits >> b)) : 0;
            break;
        }
    } else {
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
            v = l != 0 && r != 0;
            break;
        case cOPC_logical_or:
            v = l != 0 || r != 0;
            break;
        case cOPC_power:
            if (l == 0) {
                v = 0;
            } else if (l > 0) {
                v = std::pow(l, r);
            } else if (std::trunc(r) != r) {
                v = 0;
            } else {
                v = std::pow(-l, r);
                if (std::fabs(std::fmod(r, 2.0)) == 1.0) v = -v;
            }
            break;
        default:
            return false;
        }
    }
    result = Number(v);
    return std::isfinite(v);
}
