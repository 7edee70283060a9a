#include "checks/text_primitives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using namespace std::string_literals;

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(TextPrimitives, RepeatChar)
{
    struct Case {
        char ch;
        std::int32_t n;
        std::string expected;
    } cases[] = {
        {'0', 0, ""},
        {'0', -3, ""},
        {' ', 4, "    "},
        {'7', 1, "7"},
        {'\0', 2, "\0\0"s},
        {'0', kMinInt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ch " << int(c.ch) << " n " << c.n);
        EXPECT_EQ(ov::RepeatChar(c.ch, c.n), c.expected);
    }
}

TEST(TextPrimitives, LeftAndRightPart)
{
    struct Case {
        std::string s;
        std::int32_t n;
        std::string left;
        std::string right;
    } cases[] = {
        {"ABCDE", 2, "AB", "DE"},
        {"AB", 5, "AB", "AB"},
        {"AB", 0, "", ""},
        {"", 3, "", ""},
        {"123456789", 4, "1234", "6789"},
        {"12", 4, "12", "12"},
        {"12", 2, "12", "12"},
        {"12", -1, "", ""},
        {"12", kMaxInt, "12", "12"},
        {"12", kMinInt, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.s << "\" n " << c.n);
        EXPECT_EQ(ov::LeftPart(c.s, c.n), c.left);
        EXPECT_EQ(ov::RightPart(c.s, c.n), c.right);
    }
}

TEST(TextPrimitives, MidPart)
{
    struct Case {
        std::string s;
        std::int32_t p;
        std::int32_t n;
        std::string expected;
    } cases[] = {
        {"1234", 3, 2, "34"},
        {"123", 3, 2, "  "},
        {"AB", 2, 2, "  "},
        {"AB", 3, 0, ""},
        {"", 2, -1, ""},
        {"ABCDE", 2, 3, "BCD"},
        {"ABCDE", 1, 5, "ABCDE"},
        {"ABCDE", 0, 2, "AB"},
        {"ABCDE", -4, 3, "ABC"},
        {"A", 2, 0, ""},
        {"", 1, 3, "   "},
        {"AB", 3, 1, " "},
        {"AB", kMaxInt, 2, "  "},
        // The stretch ends at position -2, inside the text: everything from position 1.
        {"AB", kMinInt, kMaxInt, "AB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.s << "\" p " << c.p << " n " << c.n);
        EXPECT_EQ(ov::MidPart(c.s, c.p, c.n), c.expected);
    }
}

TEST(TextPrimitives, ZeroPad)
{
    struct Case {
        std::int32_t w;
        std::string s;
        std::string expected;
    } cases[] = {
        {3, "7", "007"},
        {3, "45", "045"},
        {3, "1234", "234"},
        {2, "", "00"},
        {6, "-5", "0000-5"},
        {8, "123456789", "23456789"},
        {3, "123", "123"},
        {0, "12", ""},
        {-2, "12", ""},
        {4, "ab", "00ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.s << "\" w " << c.w);
        EXPECT_EQ(ov::ZeroPad(c.w, c.s), c.expected);
    }
}

TEST(TextPrimitives, TrimControlsDropsCodesUpTo32AtBothEnds)
{
    struct Case {
        std::string s;
        std::string expected;
    } cases[] = {
        {"  abc  ", "abc"},
        {"\t\r\n abc\x1F", "abc"},
        {"\0\0abc\0"s, "abc"},
        {"a b", "a b"},
        {" \x7F ", "\x7F"},
        {"\xA0x\xA0", "\xA0x\xA0"},
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.s << "\"");
        EXPECT_EQ(ov::TrimControls(c.s), c.expected);
    }
}

TEST(TextPrimitives, UpperCaseAndCaseInsensitiveEquality)
{
    EXPECT_EQ(ov::UpperCaseAscii("abc-XYZ 09 z{"), "ABC-XYZ 09 Z{");
    EXPECT_EQ(ov::UpperCaseAscii("\xE9\xFF"), "\xE9\xFF");

    struct Case {
        std::string a;
        std::string b;
        bool equal;
    } cases[] = {
        {"Form", "FORM", true},
        {"key", "KeY", true},
        {"", "", true},
        {"ab", "abc", false},
        {"\xE9", "\xC9", false},
        {"[", "{", false},
        {"@", "`", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.a << "\" vs \"" << c.b << "\"");
        EXPECT_EQ(ov::EqualsIgnoringCase(c.a, c.b), c.equal);
    }
}

} // namespace
