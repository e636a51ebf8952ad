#include <gtest/gtest.h>

#include <cmath>

#include "core/quantities/number_format.h"
#include "core/quantities/term.h"

TEST(ShortDecimal, TrimsZerosAndPoint) {
    EXPECT_EQ(ShortDecimal(2.5), "2.5");
    EXPECT_EQ(ShortDecimal(3), "3");
    EXPECT_EQ(ShortDecimal(-0.125), "-0.125");
    EXPECT_EQ(ShortDecimal(0.1), "0.1");
    EXPECT_EQ(ShortDecimal(100), "100");
    EXPECT_EQ(ShortDecimal(1e-13), "0"); // beyond twelve decimals
    EXPECT_EQ(ShortDecimal(-1e-13), "0");
    EXPECT_EQ(ShortDecimal(1234567.000000000001), "1234567");
    EXPECT_EQ(ShortDecimal(1e20), "100000000000000000000");
}

TEST(FloatText, PrecisionAndNegativeDecimals) {
    EXPECT_EQ(FloatText(1.5, 8, -3), "1.5");
    EXPECT_EQ(FloatText(2, 8, -3), "2");
    EXPECT_EQ(FloatText(2, 8, 3), "2.000");
    EXPECT_EQ(FloatText(2.5, 15, -3), "2.5");
    EXPECT_EQ(FloatText(100, 8, -2), "100"); // zeros before the separator stay
    EXPECT_EQ(FloatText(0.1, 0, 5), "0.1");
    EXPECT_EQ(FloatText(1.23456, 15, 2), "1.23");
    EXPECT_EQ(FloatText(0.125, 15, 2), "0.13"); // half away from zero
    EXPECT_EQ(FloatText(-0.125, 15, 2), "-0.13");
    EXPECT_EQ(FloatText(-0.001, 15, 2), "0.00");
    EXPECT_EQ(FloatText(9.999, 15, 2), "10.00");
    EXPECT_EQ(FloatText(123456.789, 3, 2), "1.23E5"); // too many integer digits
    EXPECT_EQ(FloatText(1e20, 15, -2), "1E20");       // exponent form is never trimmed
    EXPECT_EQ(FloatText(1234.5678, 6, 3), "1234.570"); // six significant digits
}

TEST(FloatText, UsesTheLocaleSeparator) {
    SetDecimalSeparator(',');
    EXPECT_EQ(FloatText(1.5, 8, 2), "1,50");
    EXPECT_EQ(FloatText(1.5, 8, -2), "1,5");
    EXPECT_EQ(FloatText(1.5, 0, 2), "1.5"); // short form always uses "."
    SetDecimalSeparator('.');
}

TEST(FloatText, NonFiniteValues) {
    EXPECT_EQ(FloatText(std::nan(""), 8, 2), "NAN");
    EXPECT_EQ(FloatText(-HUGE_VAL, 8, 2), "-INF");
    EXPECT_EQ(ShortDecimal(HUGE_VAL), "INF");
}

TEST(ReadNumber, WholeTextOrZero) {
    EXPECT_EQ(ReadNumber("1e3"), 1000);
    EXPECT_EQ(ReadNumber("12abc"), 0);
    EXPECT_EQ(ReadNumber("-2.5"), -2.5);
    EXPECT_EQ(ReadNumber(".5"), 0.5);
    EXPECT_EQ(ReadNumber(""), 0);
    EXPECT_EQ(ReadNumber("inf"), 0);
    EXPECT_EQ(ReadNumber("0x10"), 0);
    EXPECT_EQ(ReadNumber("1,5"), 0);
    double v;
    EXPECT_TRUE(TryReadNumber("1e999", v));
    EXPECT_TRUE(std::isinf(v));
    EXPECT_FALSE(TryReadNumber("1e", v));
}

TEST(TermConstructors, IntPaddingAndSuffix) {
    TTerm t;
    TermFromInt(t, 7, 3);
    EXPECT_EQ(t.Text, "  7");
    EXPECT_EQ(t.Typ, cTTNum);
    EXPECT_EQ(t.Tag, 7);
    TermFromInt(t, 123456, 3);
    EXPECT_EQ(t.Text, "123456");
    TermFromInt(t, 5, 20001); // widths above 20000 count as 10
    EXPECT_EQ(t.Text, "         5");
    TermFromIntSuffix(t, 12, " ms", 6);
    EXPECT_EQ(t.Text, " 12 ms");
    EXPECT_EQ(t.Value, 12);
}

TEST(TermConstructors, FloatAndText) {
    TTerm t;
    TermFromFloat(t, 15, -3, 2.5);
    EXPECT_EQ(t.Text, "2.5");
    EXPECT_EQ(t.Value, 2.5);
    EXPECT_EQ(t.Tag, 0);
    TermFromText(t, "abc");
    EXPECT_EQ(t.Typ, cTTAlpha);
    EXPECT_EQ(t.Value, 0);
    const TTerm empty;
    EXPECT_EQ(empty.Typ, cTTError);
    EXPECT_EQ(empty.Text, "");
}

TEST(RoundHalfEven, Ties) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}
