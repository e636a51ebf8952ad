#include "core/quantities/compiled_expression.h"
#include "core/quantities/expression.h"
#include "tests/core/quantities/term_builders.h"
#include "tests/core/quantities/expression_reference.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const double cNaN = std::numeric_limits<double>::quiet_NaN();
const double cInf = std::numeric_limits<double>::infinity();
const double cTwo63 = 9223372036854775808.0;


bool SameTerm(const TTerm& a, const TTerm& b) {
    const bool sameValue = std::bit_cast<uint64_t>(a.Value) == std::bit_cast<uint64_t>(b.Value) ||
                           (std::isnan(a.Value) && std::isnan(b.Value));
    return a.Typ == b.Typ && sameValue && a.Text == b.Text && a.Tag == b.Tag;
}

struct TOutcome {
    bool ok = false;
    TTerm term;
};

// Evaluates through TExpression and checks that the reference evaluator agrees.
class ExpressionTest : public ::testing::Test {
protected:
    std::map<std::string, TTerm> vars;
    std::vector<std::string> asked;
    bool withResolver = true;
    bool rejectUnknown = false;
    std::string klammer = "[]";

    void Lookup(const std::string& name, TTerm& term) {
        asked.push_back(name);
        if (auto it = vars.find(name); it != vars.end())
            term = it->second;
        else if (rejectUnknown)
            term.Typ = cTTError;
    }

    TOutcome Run(std::string_view text) {
        TExpression expression;
        expression.SetKlammer(klammer);
        if (withResolver)
            expression.OnExprConst = [this](TExpression&, const TExprConst& name, TTerm& term) {
                Lookup(name, term);
            };
        TOutcome out;
        out.ok = expression.Evaluate(text, out.term);

        const std::vector<std::string> askedByProduction = asked;
        TReferenceExpression reference;
        reference.Klammer = klammer;
        if (withResolver)
            reference.OnExprConst = [this](const std::string& name, TTerm& term) {
                Lookup(name, term);
            };
        TTerm expected;
        const bool expectedOk = reference.Evaluate(text, expected);
        asked = askedByProduction;
        EXPECT_EQ(expectedOk, out.ok) << "reference disagrees on [" << text << "]";
        if (expectedOk && out.ok) {
            EXPECT_TRUE(SameTerm(expected, out.term)) << "reference disagrees on [" << text << "]";
        }
        return out;
    }

    double Number(std::string_view text) {
        const TOutcome r = Run(text);
        EXPECT_TRUE(r.ok) << text;
        EXPECT_EQ(r.term.Typ, cTTNum) << text;
        return r.term.Value;
    }

    std::string Text(std::string_view text) {
        const TOutcome r = Run(text);
        EXPECT_TRUE(r.ok) << text;
        EXPECT_EQ(r.term.Typ, cTTAlpha) << text;
        return r.term.Text;
    }

    bool Fails(std::string_view text) { return !Run(text).ok; }

    bool IsErrorTerm(std::string_view text) {
        const TOutcome r = Run(text);
        return r.ok && r.term.Typ == cTTError;
    }
};

} // namespace

TEST_F(ExpressionTest, PrecedenceAndLeftAssociativity) {
    EXPECT_EQ(Number("2+3*4"), 14);
    EXPECT_EQ(Number("2^3^2"), 64);
    EXPECT_EQ(Number("7-2-1"), 4);
    EXPECT_EQ(Number("8/2/2"), 2);
    EXPECT_EQ(Number("2*3^2"), 18);
    EXPECT_EQ(Number("1+2=3"), 1);
    // "&" and "|" bind like "+", tighter than the comparisons.
    EXPECT_EQ(Number("0=1&0"), 1);
    EXPECT_EQ(Number("1<2|0"), 0);
    klammer = "()";
    // AND binds like "*", OR like "+".
    EXPECT_EQ(Number("(4)OR(2)AND(1)"), 4);
}

TEST_F(ExpressionTest, SignBindsToTheOperand) {
    EXPECT_EQ(Number("3--2"), 5);
    EXPECT_EQ(Number("-2^2"), 4);
    EXPECT_EQ(Number("2*-3"), -6);
    EXPECT_EQ(Number("2^-1"), 0.5);
    EXPECT_EQ(Number("-[2+3]*2"), -10);
    EXPECT_EQ(Number("-SQRT[16]"), -4);
    EXPECT_EQ(Text("-'abc'"), "abc");
    EXPECT_TRUE(std::signbit(Number("-0")));
    EXPECT_TRUE(Fails("-"));
    EXPECT_TRUE(Fails("3+-"));
    EXPECT_TRUE(Fails("--2"));
}

TEST_F(ExpressionTest, OperatorMustFollowItsLeftOperandDirectly) {
    EXPECT_EQ(Number(" 1+2 "), 3);
    EXPECT_EQ(Number("3+ 2"), 5);
    EXPECT_EQ(Number("3+   2"), 5);
    rejectUnknown = true;
    EXPECT_TRUE(Fails("3 +2"));
    EXPECT_TRUE(Fails("1 + 2"));
    // After a blank the operator character starts a name.
    vars["+2"] = Num(5);
    EXPECT_EQ(Number("+2"), 5);
    EXPECT_EQ(asked.back(), "+2");
    EXPECT_TRUE(Fails("3 +2")); // the name resolves, but no operator joins the two operands
}

TEST_F(ExpressionTest, IncompleteTextsFail) {
    EXPECT_TRUE(Fails(""));
    EXPECT_TRUE(Fails("   "));
    EXPECT_TRUE(Fails("1+"));
    EXPECT_TRUE(Fails("1+  "));
    EXPECT_TRUE(Fails("1 2"));
    EXPECT_TRUE(Fails("[1][2]"));
    EXPECT_TRUE(Fails("[]"));
    EXPECT_TRUE(Fails("1/0"));
}

TEST_F(ExpressionTest, FailureClearsTheResult) {
    TExpression e;
    TTerm t = Alpha("stale", 5);
    t.Tag = 3;
    EXPECT_FALSE(e.Evaluate("1/0", t));
    EXPECT_EQ(t.Typ, cTTError);
    EXPECT_EQ(t.Value, 0);
    EXPECT_EQ(t.Text, "");
    EXPECT_EQ(t.Tag, 0);
}

TEST_F(ExpressionTest, WordOperatorsOnlyAfterAClosingQuoteOrBracket) {
    klammer = "()";
    EXPECT_EQ(Number("(7)DIV(2)"), 3);
    EXPECT_EQ(Number("(7)div(2)"), 3);
    EXPECT_TRUE(Fails("7 DIV 2"));
    EXPECT_TRUE(Fails("(7) DIV (2)"));
    // Without a delimiter the whole text is one unreadable number.
    EXPECT_EQ(Number("7DIV2"), 0);
    EXPECT_EQ(Number("'a'AND'b'"), 0);
    klammer = "[]";
    EXPECT_EQ(Number("[7]MOD[4]"), 3);
}

TEST_F(ExpressionTest, IntegerOperatorsRoundHalfToEven) {
    klammer = "()";
    EXPECT_EQ(Number("(-7)DIV(2)"), -3);
    EXPECT_EQ(Number("(7)MOD(-2)"), 1);
    EXPECT_EQ(Number("(-7)MOD(2)"), -1);
    EXPECT_EQ(Number("(2.5)DIV(1)"), 2);
    EXPECT_EQ(Number("(3.5)DIV(1)"), 4);
    EXPECT_EQ(Number("(5)DIV(0.6)"), 5);
    EXPECT_TRUE(Fails("(5)DIV(0)"));
    EXPECT_TRUE(Fails("(5)MOD(0.4)"));
    EXPECT_EQ(Number("(6)AND(3)"), 2);
    EXPECT_EQ(Number("(6)OR(3)"), 7);
    EXPECT_EQ(Number("(6)XOR(3)"), 5);
    EXPECT_EQ(Number("(1)SHL(4)"), 16);
    EXPECT_EQ(Number("(256)SHR(4)"), 16);
    EXPECT_EQ(Number("(-1)SHR(60)"), 15); // zero-filled
}

TEST_F(ExpressionTest, IntegerEdgesHaveDefinedResults) {
    klammer = "()";
    EXPECT_EQ(Number("(1)SHL(63)"), -cTwo63);
    EXPECT_EQ(Number("(1)SHL(64)"), 0);
    EXPECT_EQ(Number("(1)SHL(-1)"), 0);
    EXPECT_EQ(Number("(-1)SHR(64)"), 0);
    EXPECT_EQ(Number("(-1)SHR(-3)"), 0);
    EXPECT_EQ(Number("(-1)SHR(0)"), -1);
    EXPECT_EQ(Number("(-1)SHR(1)"), cTwo63); // 2^63-1 as the nearest double
    EXPECT_EQ(Number("(-9223372036854775808)DIV(-1)"), cTwo63);
    EXPECT_EQ(Number("(-9223372036854775808)MOD(-1)"), 0);
    EXPECT_FALSE(std::signbit(Number("(0)DIV(-1)")));
    EXPECT_EQ(Number("(9223372036854774784)AND(-1)"), 9223372036854774784.0);
    // Rounding a value outside the 64-bit range is an invalid operation.
    EXPECT_TRUE(Fails("(9223372036854775808)DIV(1)"));
    EXPECT_TRUE(Fails("(1)SHL(1e19)"));
    EXPECT_TRUE(Fails("(1e300)AND(1)"));
    vars["N"] = Num(cNaN);
    EXPECT_TRUE(Fails("(N)DIV(1)"));
    EXPECT_TRUE(Fails("(1)SHR(N)"));
}

TEST_F(ExpressionTest, PowerRules) {
    EXPECT_EQ(Number("0^0"), 0);
    EXPECT_EQ(Number("0^-1"), 0);
    EXPECT_EQ(Number("[-8]^0.5"), 0);
    EXPECT_EQ(Number("[-2]^3"), -8);
    EXPECT_EQ(Number("[-2]^2"), 4);
    EXPECT_EQ(Number("[-2]^-1"), -0.5);
    EXPECT_EQ(Number("4^0.5"), 2);
    EXPECT_NEAR(Number("2^0.5"), 1.41421356237, 1e-10);
    EXPECT_TRUE(Fails("10^400"));
}

TEST_F(ExpressionTest, OverflowAndNaNAreRunTimeErrors) {
    EXPECT_TRUE(Fails("1e308*10"));
    EXPECT_TRUE(Fails("1e308+1e308"));
    EXPECT_TRUE(Fails("EXP[1000]"));
    EXPECT_TRUE(Fails("SQR[1e200]"));
    EXPECT_TRUE(Fails("1e400"));           // does not fit a double
    EXPECT_EQ(Number("1/1e300/1e300"), 0); // underflow is not an error

    vars["N"] = Num(cNaN);
    vars["I"] = Num(cInf);
    EXPECT_TRUE(std::isnan(Number("N"))); // an operand alone is no operation
    EXPECT_TRUE(Fails("N+1"));
    EXPECT_TRUE(Fails("N=N"));
    EXPECT_TRUE(Fails("N<>1"));
    EXPECT_TRUE(Fails("SIGN[N]"));
    EXPECT_TRUE(Fails("MAX[1,N]"));
    EXPECT_TRUE(Fails("IIF[N,1,2]"));
    EXPECT_TRUE(Fails("STRING[N]"));
    EXPECT_EQ(Text("'a'+N"), "a"); // text rule, no arithmetic
    EXPECT_EQ(Number("I>1"), 1);
    EXPECT_EQ(Number("SIGN[I]"), 1);
    EXPECT_EQ(Number("MIN[I,1]"), 1);
    EXPECT_TRUE(Fails("I+1"));
    EXPECT_TRUE(Fails("I-I"));
    EXPECT_TRUE(Fails("MAX[I,1]"));
    EXPECT_TRUE(Fails("SIN[I]"));
}

TEST_F(ExpressionTest, OneArgumentFunctions) {
    EXPECT_EQ(Number("SQRT[16]"), 4);
    EXPECT_EQ(Number("sqrt[16]"), 4);
    EXPECT_EQ(Number("SIN[0]"), 0);
    EXPECT_EQ(Number("COS[0]"), 1);
    EXPECT_EQ(Number("TAN[0]"), 0);
    EXPECT_NEAR(Number("TAN[1]"), 1.5574077246549, 1e-12);
    EXPECT_NEAR(Number("ATN[1]"), 0.78539816339745, 1e-12);
    EXPECT_EQ(Number("ABS[-3]"), 3);
    EXPECT_FALSE(std::signbit(Number("ABS[-0]")));
    EXPECT_EQ(Number("LN[1]"), 0);
    EXPECT_EQ(Number("EXP[0]"), 1);
    EXPECT_EQ(Number("SQR[-3]"), 9);
    EXPECT_EQ(Number("SQRT[0]"), 0);
    EXPECT_EQ(Number("SIGN[-2]"), -1);
    EXPECT_EQ(Number("SIGN[0]"), 0);
    EXPECT_EQ(Number("SIGN[3]"), 1);
    EXPECT_EQ(Number("ROUND[2.5]"), 2);
    EXPECT_EQ(Number("ROUND[3.5]"), 4);
    EXPECT_EQ(Number("ROUND[-2.5]"), -2);
    EXPECT_EQ(Number("TRUNC[-2.7]"), -2);
    EXPECT_EQ(Number("INT[2.7]"), 2);
    EXPECT_EQ(Number("FRAC[2.75]"), 0.75);
    EXPECT_EQ(Number("FRAC[-2.75]"), -0.75);
    EXPECT_EQ(Number("NOT[0]"), 1);
    EXPECT_EQ(Number("NOT[5]"), 0);
    EXPECT_EQ(Text("STRING[2.5]"), "2.5");
    EXPECT_EQ(Text("STRING[3]"), "3");
    EXPECT_EQ(Text("STRING[-0.125]"), "-0.125");
}

TEST_F(ExpressionTest, FunctionDomainsAndRanges) {
    EXPECT_TRUE(Fails("LN[0]"));
    EXPECT_TRUE(Fails("LN[-1]"));
    EXPECT_TRUE(Fails("SQRT[-1]"));
    // ROUND and TRUNC give 64-bit integers; INT and FRAC stay floating point.
    EXPECT_TRUE(Fails("ROUND[1e300]"));
    EXPECT_TRUE(Fails("TRUNC[-1e19]"));
    EXPECT_EQ(Number("INT[1e300]"), 1e300);
    EXPECT_EQ(Number("FRAC[1e300]"), 0);
}

TEST_F(ExpressionTest, FunctionArgumentRules) {
    EXPECT_EQ(Number("MAX[1,5,3]"), 5);
    EXPECT_EQ(Number("MIN[4,-2,7]"), -2);
    EXPECT_EQ(Number("Max[1,2]"), 2);
    // A wrong argument count or a first argument that is not a number gives an error
    // term, not a failure.
    EXPECT_TRUE(IsErrorTerm("MAX[1]"));
    EXPECT_TRUE(IsErrorTerm("SIN[1,2]"));
    EXPECT_TRUE(IsErrorTerm("SIN[]"));
    EXPECT_TRUE(IsErrorTerm("IIF[1,2]"));
    EXPECT_TRUE(IsErrorTerm("QUANT[1]"));
    EXPECT_TRUE(IsErrorTerm("SIN['a']"));
    EXPECT_TRUE(IsErrorTerm("MAX['a',1]"));
    std::string args99 = "1";
    for (int i = 2; i <= 99; ++i) args99 += "," + std::to_string(i);
    EXPECT_EQ(Number("MAX[" + args99 + "]"), 99);
    EXPECT_TRUE(IsErrorTerm("MAX[" + args99 + ",100]"));
    // Later arguments count by their value, whatever their kind.
    EXPECT_EQ(Number("MAX[1,'a']"), 1);
    EXPECT_EQ(Number("MIN[1,'a']"), 0);
    vars["U"] = Alpha("u", 4);
    EXPECT_EQ(Number("MAX[1,U]"), 4);
    // Every argument is evaluated before the function applies.
    EXPECT_TRUE(Fails("MAX[1,1/0]"));
    EXPECT_TRUE(Fails("SIN[1,1/0]"));
    EXPECT_TRUE(Fails("MAX[1,]"));
    // The bracket must follow the function name directly.
    EXPECT_TRUE(Fails("SQRT [16]"));
    // An error term is not a number: "+" joins the texts.
    EXPECT_EQ(Text("MAX[1]+1"), "1");
}

TEST_F(ExpressionTest, QuantAndIifWithQueryBrackets) {
    klammer = "()";
    EXPECT_EQ(Number("QUANT(7,2)"), 8);
    EXPECT_EQ(Number("QUANT(6,2)"), 6);
    EXPECT_EQ(Number("QUANT(-7,2)"), -7);
    EXPECT_EQ(Number("QUANT(0.3,0.25)"), 0.5);
    EXPECT_TRUE(IsErrorTerm("QUANT(7,0)"));
    EXPECT_TRUE(IsErrorTerm("QUANT(7,-2)"));
    EXPECT_TRUE(IsErrorTerm("QUANT(7,'a')"));
    EXPECT_EQ(Text("IIF(0,'x','y')"), "y");
    EXPECT_EQ(Text("IIF(1,'x','y')"), "x");
    EXPECT_EQ(Text("IIF(1,'a,b','c')"), "a,b");
    EXPECT_EQ(Number("MAX(1,MIN(5,3))"), 3);
    EXPECT_EQ(Number("SQRT(SQRT(16))"), 2);
    // IIF passes the whole term on, display text and tag included.
    TermFromInt(vars["K"], 42, 5);
    const TOutcome r = Run("IIF(1,K,0)");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.term.Text, "   42");
    EXPECT_EQ(r.term.Tag, 42);
}

TEST_F(ExpressionTest, SquareBracketsDoNotNest) {
    // The scan tracks only whether it is inside square brackets, so with the default
    // brackets a nested group ends at the first "]".
    EXPECT_TRUE(Fails("SQRT[SQRT[16]]"));
    EXPECT_TRUE(Fails("[[1]]"));
    EXPECT_EQ(Number("[1]+[2]"), 3);
    EXPECT_TRUE(Fails("[1+[2]")); // the inner group is "[2", whose inside is empty
}

TEST_F(ExpressionTest, Texts) {
    EXPECT_EQ(Text("'abc'+'def'"), "abcdef");
    EXPECT_EQ(Number("'a'<'b'"), 1);
    EXPECT_EQ(Number("'a'*2"), 0);
    EXPECT_EQ(Number("'x'-'y'"), 0);
    EXPECT_EQ(Number("'B'<'a'"), 1); // ordinal, case-sensitive
    EXPECT_EQ(Number("'abc'='abc'"), 1);
    EXPECT_EQ(Number("'abc'<>'abd'"), 1);
    EXPECT_EQ(Number("'ä'>'z'"), 1);
    EXPECT_EQ(Text("'a b'"), "a b");
    EXPECT_EQ(Text("'ab"), "a"); // unterminated: the last character is dropped all the same
    EXPECT_TRUE(Fails("'it''s'"));
    // A number literal keeps its text as written; computed numbers have none.
    EXPECT_EQ(Text("'x'+10"), "x10");
    EXPECT_EQ(Number("'1'=1"), 1);
    EXPECT_EQ(Text("'x'+[2+3]"), "x");
    TermFromFloat(vars["D"], 0, 0, 2.5);
    EXPECT_EQ(Text("'d='+D"), "d=2.5");
}

TEST_F(ExpressionTest, NumberLiterals) {
    EXPECT_EQ(Number("1e3"), 1000);
    EXPECT_EQ(Number("2.5"), 2.5);
    const TOutcome r = Run("12abc");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.term.Value, 0);
    EXPECT_EQ(r.term.Text, "12abc");
    // The minus of an exponent is an operator: 1e minus 3.
    EXPECT_EQ(Number("1e-3"), -3);
}

TEST_F(ExpressionTest, NamesGoToTheResolver) {
    vars["Diameter"] = Num(12);
    EXPECT_EQ(Number("Diameter*2"), 24);
    EXPECT_EQ(Number("-Diameter"), -12);
    EXPECT_EQ(Text("T"), ""); // unknown name, term left as preset
    EXPECT_EQ(asked.back(), "T");
    // An unknown column compared with a number compares texts.
    EXPECT_EQ(Number("Unknown>=10"), 0);
    EXPECT_EQ(Number("Unknown<=10"), 1);
    rejectUnknown = true;
    EXPECT_TRUE(Fails("Unknown+1"));

    TermFromInt(vars["K"], 7, 3);
    const TOutcome r = Run("K");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.term.Text, "  7");
    EXPECT_EQ(r.term.Tag, 7);
    vars["Odd"].Typ = static_cast<TTermTyp>(7);
    EXPECT_TRUE(Fails("Odd"));
}

TEST_F(ExpressionTest, ResolverReceivesAnEmptyTextTerm) {
    TExpression e;
    TTerm seen;
    e.OnExprConst = [&](TExpression& sender, const TExprConst&, TTerm& term) {
        EXPECT_EQ(&sender, &e);
        seen = term;
        term = Num(1);
    };
    TTerm result;
    ASSERT_TRUE(e.Evaluate("X", result));
    EXPECT_EQ(seen.Typ, cTTAlpha);
    EXPECT_EQ(seen.Value, 0);
    EXPECT_EQ(seen.Text, "");
}

TEST_F(ExpressionTest, SquareBracketNamesAndTruncation) {
    klammer = "()";
    vars["Min Diameter"] = Num(3);
    EXPECT_EQ(Number("[Min Diameter]*2"), 6);
    klammer = "[]";
    EXPECT_TRUE(Fails("[Min Diameter]")); // a group holding "Min Diameter"

    Run("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_EQ(asked.back(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    Run(std::string(29, 'a') + "äöü");
    EXPECT_EQ(asked.back(), std::string(29, 'a') + "ä");
}

TEST_F(ExpressionTest, WithoutResolverNamesAreErrorTerms) {
    withResolver = false;
    EXPECT_TRUE(IsErrorTerm("Diameter"));
    EXPECT_TRUE(IsErrorTerm("-Diameter"));
    EXPECT_EQ(Number("Diameter>=10"), 0);
}

TEST_F(ExpressionTest, ResolvedExpressionTexts) {
    vars["X"] = Expr("2*3");
    vars["Y"] = Expr("X*2");
    vars["Z"] = Expr("1/0");
    vars["S"] = Expr("S");
    vars["P"] = Expr("Q+1");
    vars["Q"] = Expr("P");
    EXPECT_EQ(Number("X+1"), 7);
    EXPECT_EQ(Number("-X"), -6);
    EXPECT_EQ(Number("Y"), 12);
    EXPECT_TRUE(Fails("Z"));
    // Texts that refer to themselves fail instead of recursing without end.
    EXPECT_TRUE(Fails("S"));
    EXPECT_TRUE(Fails("S+1"));
    EXPECT_TRUE(Fails("P"));
    klammer = "()";
    vars["R"] = Expr("SQRT(16)");
    EXPECT_EQ(Number("R"), 4);
}

TEST_F(ExpressionTest, NestingDepthLimit) {
    klammer = "()";
    const auto nested = [](int levels) {
        return std::string(levels, '(') + "1" + std::string(levels, ')');
    };
    EXPECT_EQ(Number(nested(cMaxExprDepth)), 1);
    EXPECT_TRUE(Fails(nested(cMaxExprDepth + 1)));
    EXPECT_TRUE(Fails(nested(100000)));
    // Chains of resolved texts count the same way: L0 -> L1 -> ... -> Ln = 1.
    const auto chain = [this](int length) {
        vars.clear();
        for (int k = 0; k < length; ++k)
            vars["L" + std::to_string(k)] = Expr("L" + std::to_string(k + 1));
        vars["L" + std::to_string(length)] = Num(1);
    };
    chain(cMaxExprDepth);
    EXPECT_EQ(Number("L0"), 1);
    chain(cMaxExprDepth + 1);
    EXPECT_TRUE(Fails("L0"));
}

TEST(ExpressionComponent, KlammerProperty) {
    TExpression e;
    EXPECT_EQ(e.Klammer(), "[]");
    TTerm t;
    ASSERT_TRUE(e.Evaluate("SQRT[4]", t));
    EXPECT_EQ(t.Value, 2);
    e.SetKlammer("(((");
    EXPECT_EQ(e.Klammer(), "((");
    e.SetKlammer("()");
    // Same text, new brackets: "SQRT[4]" is now a name.
    ASSERT_TRUE(e.Evaluate("SQRT[4]", t));
    EXPECT_EQ(t.Typ, cTTError);
    ASSERT_TRUE(e.Evaluate("SQRT(4)", t));
    EXPECT_EQ(t.Value, 2);
    // Without brackets there are neither groups nor functions.
    e.SetKlammer("");
    std::vector<std::string> names;
    e.OnExprConst = [&](TExpression&, const TExprConst& name, TTerm& term) {
        names.push_back(name);
        term = Num(1);
    };
    ASSERT_TRUE(e.Evaluate("SQRT(4)+[x]", t));
    EXPECT_EQ(names, (std::vector<std::string>{"SQRT(4)", "x"}));
}

TEST(ExpressionComponent, SameTextFollowsTheResolver) {
    TExpression e;
    double value = 1;
    e.OnExprConst = [&](TExpression&, const TExprConst&, TTerm& term) { term = Num(value); };
    TTerm t;
    for (value = 1; value <= 3; ++value) {
        ASSERT_TRUE(e.Evaluate("X*10", t));
        EXPECT_EQ(t.Value, value * 10);
    }
    e.OnExprConst = nullptr;
    ASSERT_TRUE(e.Evaluate("X", t));
    EXPECT_EQ(t.Typ, cTTError);
}

TEST(ExpressionComponent, ResolverMayEvaluateAgain) {
    TExpression e;
    e.OnExprConst = [](TExpression& sender, const TExprConst& name, TTerm& term) {
        if (name == "Inner")
            sender.Evaluate("2*3", term);
        else
            term = Num(1);
    };
    TTerm t;
    ASSERT_TRUE(e.Evaluate("Inner+Other", t));
    EXPECT_EQ(t.Value, 7);
    ASSERT_TRUE(e.Evaluate("Inner+Other", t)); // the outer text stayed compiled
    EXPECT_EQ(t.Value, 7);
}

TEST(ExpressionComponent, ResolverExceptionIsAFailure) {
    TExpression e;
    e.OnExprConst = [](TExpression&, const TExprConst&, TTerm&) {
        throw std::runtime_error("no such column");
    };
    TTerm t;
    EXPECT_FALSE(e.Evaluate("X+1", t));
    EXPECT_EQ(t.Typ, cTTError);
}

namespace {

struct TRowResolver {
    const std::vector<TTerm>* row = nullptr;
    int calls = 0;
    void operator()(int slot, TTerm& term) {
        ++calls;
        term = (*row)[static_cast<size_t>(slot)];
    }
};

} // namespace

TEST(CompiledExpression, BindsEachDistinctNameOnce) {
    TCompiledExpression c;
    std::vector<std::string> bound;
    ASSERT_TRUE(c.Compile("A+B*A+[A]+MAX[B,C]", [&](std::string_view name) {
        bound.emplace_back(name);
        return static_cast<int>(bound.size()) - 1;
    }));
    EXPECT_EQ(bound, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(c.Names(), bound);
    EXPECT_EQ(c.Slot(2), 2);
}

TEST(CompiledExpression, EvaluatesRowsThroughSlots) {
    TCompiledExpression c("()");
    ASSERT_TRUE(c.Compile("((Lo<=a)AND(a<=Hi))OR(Alt=a)", [](std::string_view name) {
        if (name == "Lo") return 0;
        if (name == "Hi") return 1;
        if (name == "Alt") return 2;
        return 3;
    }));
    const std::vector<std::vector<TTerm>> rows = {
        {Num(0), Num(10), Num(99), Num(5)},  // inside the range
        {Num(0), Num(10), Num(99), Num(50)}, // outside
        {Num(0), Num(10), Num(50), Num(50)}, // the alternative matches
    };
    TRowResolver resolve;
    std::vector<bool> pass;
    for (const auto& row : rows) {
        resolve.row = &row;
        pass.push_back(c.Test(resolve));
    }
    EXPECT_EQ(pass, (std::vector<bool>{true, false, true}));

    // Rebinding swaps the meaning of the slots without parsing again.
    c.Bind([](std::string_view name) {
        if (name == "Lo") return 0;
        if (name == "Hi") return 1;
        if (name == "Alt") return 3;
        return 2;
    });
    resolve.row = &rows[0];
    TTerm t;
    ASSERT_TRUE(c.Evaluate(resolve, t));
    EXPECT_EQ(t.Value, 0); // a = 99 now, Alt = 5
}

TEST(CompiledExpression, ReservedSlotsSkipTheResolver) {
    TCompiledExpression c;
    ASSERT_TRUE(c.Compile(
        "E+U", [](std::string_view name) { return name == "E" ? cSlotEmpty : cSlotUnresolved; }));
    TRowResolver resolve;
    TTerm t;
    ASSERT_TRUE(c.Evaluate(resolve, t));
    EXPECT_EQ(resolve.calls, 0);
    EXPECT_EQ(t.Typ, cTTAlpha); // an empty text joined with an error term's empty text
    EXPECT_EQ(t.Text, "");
    ASSERT_TRUE(c.Compile("U", [](std::string_view) { return cSlotUnresolved; }));
    ASSERT_TRUE(c.Evaluate(resolve, t));
    EXPECT_EQ(t.Typ, cTTError);
}

TEST(CompiledExpression, TextsThatCanNeverEvaluate) {
    TCompiledExpression c("()");
    int binds = 0;
    const auto binder = [&](std::string_view) { return binds++; };
    for (const char* text : {"", "1 +2", "A 2", "(5)DIV", "A+", "1e400", "((1)"}) {
        EXPECT_FALSE(c.Compile(text, binder)) << text;
        EXPECT_FALSE(c.Valid());
        TRowResolver resolve;
        TTerm t;
        EXPECT_FALSE(c.Evaluate(resolve, t)) << text;
        EXPECT_EQ(resolve.calls, 0);
    }
    // A division by zero depends on the row and is found only when evaluating.
    EXPECT_TRUE(c.Compile("1/A", binder));
    EXPECT_TRUE(c.Valid());
}

TEST(CompiledExpression, ResolvedTextsAreCompiledOnce) {
    TCompiledExpression c;
    std::vector<std::string> bound;
    ASSERT_TRUE(c.Compile("A*2", [&](std::string_view name) {
        bound.emplace_back(name);
        return static_cast<int>(bound.size()) - 1;
    }));
    double b = 0;
    auto resolve = [&](int slot, TTerm& term) {
        if (bound[static_cast<size_t>(slot)] == "A")
            term = Expr("B+1");
        else
            term = Num(b);
    };
    TTerm t;
    for (b = 1; b <= 3; ++b) {
        ASSERT_TRUE(c.Evaluate(resolve, t));
        EXPECT_EQ(t.Value, (b + 1) * 2);
    }
    EXPECT_EQ(bound, (std::vector<std::string>{"A", "B"}));
}

TEST(CompiledExpression, ReentrantEvaluation) {
    TCompiledExpression c;
    ASSERT_TRUE(c.Compile("A+1", [](std::string_view) { return 0; }));
    int depth = 0;
    std::function<void(int, TTerm&)> resolve = [&](int, TTerm& term) {
        if (depth++ == 0) {
            // Evaluating the same expression from inside its own resolver.
            TTerm inner;
            ASSERT_TRUE(c.Evaluate(resolve, inner));
            term = inner;
        } else {
            term = Num(10);
        }
    };
    TTerm t;
    ASSERT_TRUE(c.Evaluate(resolve, t));
    EXPECT_EQ(t.Value, 12);

    // Recompiling from inside the resolver is refused; the evaluation fails cleanly.
    auto recompile = [&](int, TTerm& term) {
        c.Compile("2", [](std::string_view) { return 0; });
        term = Num(1);
    };
    EXPECT_FALSE(c.Evaluate(recompile, t));
    TRowResolver plain;
    const std::vector<TTerm> row = {Num(4)};
    plain.row = &row;
    ASSERT_TRUE(c.Evaluate(plain, t));
    EXPECT_EQ(t.Value, 5);
}

TEST(CompiledExpression, TestPassesOnlyNonZeroNumbers) {
    TCompiledExpression c;
    ASSERT_TRUE(c.Compile("A", [](std::string_view) { return 0; }));
    TRowResolver resolve;
    const auto pass = [&](const TTerm& value) {
        const std::vector<TTerm> row = {value};
        resolve.row = &row;
        return c.Test(resolve);
    };
    EXPECT_TRUE(pass(Num(2)));
    EXPECT_TRUE(pass(Num(-0.5)));
    EXPECT_TRUE(pass(Num(cNaN)));
    EXPECT_FALSE(pass(Num(0)));
    EXPECT_FALSE(pass(Alpha("1", 1)));
    EXPECT_FALSE(pass(Expr("1/0")));
    EXPECT_TRUE(pass(Expr("3")));
}

TEST(CompiledExpression, MovedExpressionKeepsItsProgram) {
    TCompiledExpression a;
    ASSERT_TRUE(a.Compile("[2+3]*4", nullptr));
    TCompiledExpression b = std::move(a);
    TRowResolver resolve;
    TTerm t;
    ASSERT_TRUE(b.Evaluate(resolve, t));
    EXPECT_EQ(t.Value, 20);
    EXPECT_EQ(b.Text(), "[2+3]*4");
}
