#pragma once

#include <string>
#include <string_view>

//! Decimal separator of the user's locale, used by display texts. Defaults to '.';
//! the application sets it from the platform locale at start-up.
char DecimalSeparator();
void SetDecimalSeparator(char sep);

//! Short decimal form: fixed notation with "." and at most 12 decimals, trailing
//! zeros and a trailing "." removed ("2.5", "3", "-0.125"). Used wherever a number is
//! written into a text that is parsed again.
std::string ShortDecimal(double x);

//! Fixed notation with at most `precision` significant digits and `decimals` decimals,
//! rounded half away from zero, using `sep` as decimal separator. When the integer part
//! needs more than `precision` digits the general (exponent) form is used instead.
std::string FormatFixed(double x, int precision, int decimals, char sep);

//! The float text rule of table cells and value displays: for precision p != 0 fixed
//! notation with p significant digits and |d| decimals with the locale separator, and for
//! d < 0 trailing zeros and then a trailing separator removed; for p == 0 the short
//! decimal form.
std::string FloatText(double x, int precision, int decimals);

//! Reads the whole text as a number with "." as decimal point and an optional exponent.
//! A text that is not entirely a number reads as 0.
double ReadNumber(std::string_view text);
//! As ReadNumber, but reports whether the text was a number.
bool TryReadNumber(std::string_view text, double& value);

//! Rounds to the nearest integer, ties to even.
double RoundHalfEven(double x);
