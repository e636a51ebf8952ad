#pragma once

// The compiled code of one expression text: written by the parser, computed on by the
// operators and run by the evaluation. Internal to the evaluator; callers use
// compiled_expression.h.

#include "core/quantities/compiled_expression.h"

#include <cstdint>
#include <vector>

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

namespace compiled_detail {

using TVal = TCompiledExpression::TProgram::TVal;
using TInstr = TCompiledExpression::TProgram::TInstr;
using TProgram = TCompiledExpression::TProgram;

} // namespace compiled_detail
