#include "core/workflow/air_model.h"

#include <gtest/gtest.h>

#include <cmath>

// Sums of a cent and more: three significant digits, never fewer than two decimals.
TEST(MoneyText, SumsOfACentAndMoreShowThreeDigitsAndTwoDecimals) {
    EXPECT_EQ(MoneyText(6.1572996, '.'), "6.16");
    EXPECT_EQ(MoneyText(0.02, '.'), "0.0200");
    EXPECT_EQ(MoneyText(0.01, ','), "0,0100");
    EXPECT_EQ(MoneyText(123.456, '.'), "123.46");
    EXPECT_EQ(MoneyText(12345.678, ','), "12345,68");
    EXPECT_EQ(MoneyText(0.0, '.'), "0.00");
    EXPECT_EQ(MoneyText(NAN, '.'), "-");
    EXPECT_EQ(MoneyText(INFINITY, '.'), "-");
}

// Below a cent, a row of zeros would hide the digits: a power of ten instead.
TEST(MoneyText, SmallerSumsShowAPowerOfTen) {
    EXPECT_EQ(MoneyText(8.551805e-06, '.'), "8.55·10⁻⁶");
    EXPECT_EQ(MoneyText(8.551805e-06, ','), "8,55·10⁻⁶");
    EXPECT_EQ(MoneyText(0.00999, '.'), "9.99·10⁻³");
    // Rounding the mantissa carries into the exponent.
    EXPECT_EQ(MoneyText(9.996e-5, '.'), "1.00·10⁻⁴");
    EXPECT_EQ(MoneyText(3e-12, '.'), "3.00·10⁻¹²");
    EXPECT_EQ(MoneyText(-2.5e-3, '.'), "-2.50·10⁻³");
}
