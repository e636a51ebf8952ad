#include "core/quantities/compiled_parser.h"

#include "core/quantities/compiled_operators.h"
#include "core/quantities/compiled_scanner.h"
#include "core/quantities/number_format.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace compiled_detail {

bool TExpressionParser::Parse(std::string_view text, int depth) {
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

bool TExpressionParser::Operand(std::string_view operand, bool negative, int depth) {
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

void TExpressionParser::EmitBinary(TOpCode op) {
    TInstr in{TProgram::cCodeBinary};
    in.sub = op;
    Emit(in, -1);
}

void TExpressionParser::Emit(const TInstr& in, int delta) {
    program_.code.push_back(in);
    height_ += delta;
    maxHeight_ = std::max(maxHeight_, height_);
}

} // namespace compiled_detail
