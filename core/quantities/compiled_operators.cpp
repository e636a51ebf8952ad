#include "core/quantities/compiled_operators.h"

#include "core/quantities/number_format.h"

#include <cmath>
#include <limits>

namespace compiled_detail {

namespace {

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


std::string_view TextOf(const TVal& v) {
    return v.term ? std::string_view(v.term->Text) : std::string_view();
}

} // namespace

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

} // namespace compiled_detail
