#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "platform/Text.h"

using platform::Hex;
using platform::TextEquals;
using platform::ToInt32;
using platform::Val;

TEST(Val, ReadsTheLeadingNumberOfATextInItsBaseOrGivesZero) {
    const std::pair<const char*, double> cases[] = {
        {"42", 42},    {"-2", -2},   {"  17abc", 17}, {"19.5", 19.5},  {"1e3", 1000},
        {"3e", 3},     {"+8", 8},    {"", 0},         {"abc", 0},      {"-", 0},
        {".", 0},      {"&", 0},     {"&q12", 0},     {"&h", 0},       {"&h1F4", 500},
        {"&Hff", 255}, {"&o17", 15}, {"&b101", 5},    {"&h12xyz", 18}, {"&hFFFFFFFF", 4294967295.0},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(Val(text), value) << text;
    }
    // Huge numbers stay finite.
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

TEST(Hex, PrintsThe32BitsInUpperCaseWithoutLeadingZeros) {
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
