#include <gtest/gtest.h>

#include <limits>

#include "platform/Text.h"

using platform::Hex;
using platform::Str;
using platform::TextEquals;
using platform::ToInt32;
using platform::Val;

TEST(Val, ReadsTheLeadingNumberOfAText) {
    EXPECT_EQ(Val("42"), 42);
    EXPECT_EQ(Val("-2"), -2);
    EXPECT_EQ(Val("  17abc"), 17);
    EXPECT_EQ(Val("19.5"), 19.5);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("3e"), 3);
    EXPECT_EQ(Val("+8"), 8);
}

TEST(Val, GivesZeroWithoutANumber) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("&"), 0);
    EXPECT_EQ(Val("&q12"), 0);
}

TEST(Val, ReadsPrefixedHexadecimalOctalAndBinary) {
    EXPECT_EQ(Val("&h1F4"), 500);
    EXPECT_EQ(Val("&Hff"), 255);
    EXPECT_EQ(Val("&hFFFFFFFF"), 4294967295.0);
    EXPECT_EQ(Val("&h"), 0);
    EXPECT_EQ(Val("&o17"), 15);
    EXPECT_EQ(Val("&b101"), 5);
    EXPECT_EQ(Val("&h12xyz"), 18);
}

TEST(Val, StaysFiniteOnHugeNumbers) {
    EXPECT_EQ(Val(std::string(400, '9')), std::numeric_limits<double>::max());
    EXPECT_EQ(Val("-" + std::string(400, '9')), std::numeric_limits<double>::lowest());
    EXPECT_EQ(Val("&h" + std::string(300, 'F')), std::numeric_limits<double>::max());
}

TEST(ToInt32, TruncatesAndSaturates) {
    EXPECT_EQ(ToInt32(70000), 70000);
    EXPECT_EQ(ToInt32(-2.9), -2);
    EXPECT_EQ(ToInt32(2.9), 2);
    EXPECT_EQ(ToInt32(5e9), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32(-5e9), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(StrAndHex, PrintNumbersAsTheMapEditorShowsThem) {
    EXPECT_EQ(Str(-32768), "-32768");
    EXPECT_EQ(Str(0), "0");
    EXPECT_EQ(Hex(0), "0");
    EXPECT_EQ(Hex(500), "1F4");
    EXPECT_EQ(Hex(-1), "FFFFFFFF");
}

TEST(TextEquals, IgnoresTheCaseOfLettersOnly) {
    EXPECT_TRUE(TextEquals("daeh", "DAEH"));
    EXPECT_TRUE(TextEquals("Scripts", "scripts"));
    EXPECT_FALSE(TextEquals("a10", "a10 "));
    EXPECT_FALSE(TextEquals("\xC4", "\xE4"));
    EXPECT_FALSE(TextEquals("[", "{"));
}
