#include "core/quantities/prj_strings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

TPrjStrings FromText(const std::string& text) {
    TPrjStrings s;
    s.SetText(text);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Lines and key lookup

TEST(PrjStrings, LineEndsOfEveryKindSplitTheText) {
    const TPrjStrings s = FromText("a=1\r\nb=2\nc=3\rd=4\r\n\r\ne=5");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"a=1", "b=2", "c=3", "d=4", "", "e=5"}));
    EXPECT_EQ(FromText("").Count(), 0);
    EXPECT_EQ(FromText("x=1\r\n").Count(), 1);
}

TEST(PrjStrings, KeysMatchWithoutCaseAndTheFirstLineWins) {
    const TPrjStrings s = FromText("Workpiece.Mass=1\nworkpiece.mass=2\nWORKPIECE.MASS=3\n");
    EXPECT_EQ(s.Value("Workpiece.Mass"), "1");
    EXPECT_EQ(s.Value("wORKPIECE.mASS"), "1");
    EXPECT_EQ(s.IndexOfName("workpiece.MASS"), 0);
}

TEST(PrjStrings, BlanksBelongToKeyAndValue) {
    const TPrjStrings s = FromText("Workpiece.Mass = 5\nFriction= 0.5 \n");
    EXPECT_EQ(s.Value("Workpiece.Mass"), "");
    EXPECT_EQ(s.Value("Workpiece.Mass "), " 5");
    EXPECT_EQ(s.Value("Friction"), " 0.5 ");
}

TEST(PrjStrings, ValueIsEverythingAfterTheFirstEqualsSign) {
    const TPrjStrings s = FromText("Remarks.Strings[0]=a=b==c\nEmpty=\n");
    EXPECT_EQ(s.Value("Remarks.Strings[0]"), "a=b==c");
    EXPECT_EQ(s.IndexOfName("Empty"), 1);
    EXPECT_EQ(s.Value("Empty"), "");
}

TEST(PrjStrings, LinesWithoutEqualsSignAndUnknownKeysMatchNothing) {
    const TPrjStrings s = FromText("Friction\n[Section]\nFriction=0.3\n");
    EXPECT_EQ(s.IndexOfName("Friction"), 2);
    EXPECT_EQ(s.IndexOfName("[Section]"), -1);
    EXPECT_EQ(s.Value("Missing"), "");
}

TEST(PrjStrings, SetValueReplacesInPlaceAppendsNewAndRemovesOnEmpty) {
    TPrjStrings s;
    s.SetValue("a", "1");
    s.SetValue("b", "2");
    s.SetValue("c", "3");
    s.SetValue("A", "10"); // same key, other case: replaced where it stands
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"A=10", "b=2", "c=3"}));
    s.SetValue("b", "");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"A=10", "c=3"}));
    EXPECT_EQ(s.Value("c"), "3"); // the lookup follows the removal
    s.SetValue("never", "");
    EXPECT_EQ(s.Count(), 2);
    s.Add("d=4");
    EXPECT_EQ(s.Value("D"), "4");
    EXPECT_FALSE(s.Failed());
}

TEST(PrjStrings, WhatALineCannotHoldIsAnErrorAndTheFirstErrorIsKept) {
    TPrjStrings s;
    s.SetValue("Remarks", "two\r\nlines");
    s.SetValue("a=b", "x");
    s.SetValue("ok", "1");
    EXPECT_TRUE(s.Failed());
    EXPECT_NE(s.Error().find("\"Remarks\""), std::string::npos);
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"ok=1"}));
    s.WriteFloat("x", std::numeric_limits<double>::quiet_NaN());
    EXPECT_NE(s.Error().find("\"Remarks\""), std::string::npos);

    TPrjStrings t;
    t.WriteFloat("Workpiece.Mass", std::numeric_limits<double>::infinity());
    EXPECT_NE(t.Error().find("\"Workpiece.Mass\""), std::string::npos);
    EXPECT_EQ(t.Count(), 0);
}

TEST(PrjStrings, TextEndsEveryLineWithCrLf) {
    TPrjStrings s;
    s.SetValue("a", "1");
    s.SetValue("b", "x=y");
    EXPECT_EQ(s.Text(), "a=1\r\nb=x=y\r\n");
    EXPECT_EQ(FromText(s.Text()).Lines(), s.Lines());
}

TEST(PrjStrings, EncodesToCodePage1252OrNamesTheEntryThatCannot) {
    TPrjStrings s;
    s.SetValue("Customer.No", "Müller €5");
    std::string bytes, error;
    ASSERT_TRUE(s.EncodeCp1252(bytes, error)) << error;
    EXPECT_EQ(bytes, "Customer.No=M\xFCller \x80"
                     "5\r\n");

    s.SetValue("Project.Author", "Ω");
    EXPECT_FALSE(s.EncodeCp1252(bytes, error));
    EXPECT_NE(error.find("\"Project.Author\""), std::string::npos);
    EXPECT_NE(error.find("1252"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// Value encodings

TEST(PrjValueText, FractionTolerantNumbers) {
    EXPECT_DOUBLE_EQ(ReadFractionNumber("1/4", 0.0), 0.25);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("-3/8", 0.0), -0.375);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("2.5", 0.0), 2.5);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("1e-3", 0.0), 0.001);
    // A divisor that is not a number or is 0 counts as 1.
    EXPECT_DOUBLE_EQ(ReadFractionNumber("3/0", 0.0), 3.0);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("3/x", 0.0), 3.0);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("3/", 0.0), 3.0);
    EXPECT_DOUBLE_EQ(ReadFractionNumber("1/4/2", 0.0), 1.0);
    // A number part that does not read gives the fallback.
    EXPECT_EQ(ReadFractionNumber("abc", 0.0), 0.0);
    EXPECT_EQ(ReadFractionNumber("abc", 1.0), 1.0);
    EXPECT_EQ(ReadFractionNumber("", 7.0), 7.0);
    EXPECT_EQ(ReadFractionNumber("/4", 7.0), 7.0);
    EXPECT_EQ(ReadFractionNumber("2,5", 7.0), 7.0);
}

// A number beyond the largest double (about 1.8e308) reads no better than one that does not
// parse; the largest ones that fit still read as they stand.
TEST(PrjValueText, OverflowingNumbersTakeTheFallback) {
    EXPECT_EQ(ReadFractionNumber("1e400", 7.0), 7.0);
    EXPECT_EQ(ReadFractionNumber("-1e400", 7.0), 7.0);
    EXPECT_EQ(ReadFractionNumber("1e300", 7.0), 1e300);
    EXPECT_EQ(ReadFractionNumber("-1.7e308", 7.0), -1.7e308);
    // A quotient that overflows is no number either; an overflowing divisor is no divisor.
    EXPECT_EQ(ReadFractionNumber("1e300/1e-300", 7.0), 7.0);
    EXPECT_EQ(ReadFractionNumber("3/1e400", 7.0), 3.0);
    // Underflow is a number, and it is 0.
    EXPECT_EQ(ReadFractionNumber("1e-400", 7.0), 0.0);

    TPrjStrings s;
    s.SetValue("Workpiece.Length.x", "1e400");
    EXPECT_EQ(s.ReadFloat("Workpiece.Length.x"), 0.0);
    EXPECT_EQ(s.ReadFloat("Workpiece.Length.x", 1.0), 1.0);
}

TEST(PrjValueText, Integers) {
    EXPECT_EQ(ReadIntegerText("42"), 42);
    EXPECT_EQ(ReadIntegerText("-7"), -7);
    EXPECT_EQ(ReadIntegerText("+7"), 7);
    EXPECT_EQ(ReadIntegerText("  12"), 12);
    EXPECT_EQ(ReadIntegerText("$1F"), 31);
    EXPECT_EQ(ReadIntegerText("$ff"), 255);
    EXPECT_EQ(ReadIntegerText("-$10"), -16);
    EXPECT_EQ(ReadIntegerText("$FFFFFFFF"), -1);
    EXPECT_EQ(ReadIntegerText("2147483647"), 2147483647);
    EXPECT_EQ(ReadIntegerText("-2147483648"), std::numeric_limits<int32_t>::min());
    for (const char* bad : {"", "-", "$", "2147483648", "-2147483649", "$100000000", "12a", "1.5",
                            "5 ", "1e3", "0x10", "abc"})
        EXPECT_EQ(ReadIntegerText(bad), 0) << bad;
}

TEST(PrjValueText, BooleansAreTrueOnlyForTheExactText) {
    EXPECT_TRUE(FromText("b=True").ReadBoolean("b"));
    for (const char* other : {"b=true", "b=TRUE", "b=1", "b=True ", "b=", "x=True"})
        EXPECT_FALSE(FromText(other).ReadBoolean("b")) << other;
}

TEST(PrjValueText, NumbersUseTheShortFormWhenItIsExact) {
    std::string t;
    ASSERT_TRUE(ProjectNumberText(2.5, t));
    EXPECT_EQ(t, "2.5");
    ASSERT_TRUE(ProjectNumberText(3.0, t));
    EXPECT_EQ(t, "3");
    ASSERT_TRUE(ProjectNumberText(-0.125, t));
    EXPECT_EQ(t, "-0.125");
    ASSERT_TRUE(ProjectNumberText(-70000.0, t));
    EXPECT_EQ(t, "-70000");
    ASSERT_TRUE(ProjectNumberText(0.0, t));
    EXPECT_EQ(t, "0");
}

TEST(PrjValueText, EveryFiniteNumberReadsBackExactly) {
    const double values[] = {1.0 / 3.0,
                             -2.0 / 3.0,
                             0.5235987755982988,
                             1e-15,
                             -1.2345e-8,
                             6.02214076e23,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             -std::numeric_limits<double>::max(),
                             0.1 + 0.2};
    for (double v : values) {
        std::string t;
        ASSERT_TRUE(ProjectNumberText(v, t)) << v;
        EXPECT_EQ(ReadFractionNumber(t, -1.0), v) << t;
        EXPECT_EQ(t.find(','), std::string::npos) << t;
    }
    std::string t;
    EXPECT_FALSE(ProjectNumberText(std::numeric_limits<double>::quiet_NaN(), t));
    EXPECT_FALSE(ProjectNumberText(-std::numeric_limits<double>::infinity(), t));
}

TEST(PrjValueText, TypedWritesAndReadsAgree) {
    TPrjStrings s;
    s.WriteInteger("i", -123);
    s.WriteBoolean("t", true);
    s.WriteBoolean("f", false);
    s.WriteFloat("x", -0.75);
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"i=-123", "t=True", "f=False", "x=-0.75"}));
    EXPECT_EQ(s.ReadInteger("I"), -123);
    EXPECT_TRUE(s.ReadBoolean("t"));
    EXPECT_FALSE(s.ReadBoolean("f"));
    EXPECT_EQ(s.ReadFloat("x"), -0.75);
    EXPECT_EQ(s.ReadFloat("missing", 1.0), 1.0);
}

} // namespace
