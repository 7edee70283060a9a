#include "checks/value_checks.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

const ov::RegionalSettings kDot{};
const ov::RegionalSettings kComma{',', '.', ov::DateOrder::DayMonthYear};

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxAmount = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinAmount = std::numeric_limits<std::int64_t>::min();

// The normaliser of a type code, then the reading that must accept its result.
bool NormalizeAndRead(char type, std::string& value, const ov::RegionalSettings& settings)
{
    switch (type) {
    case 'C':
    case 'c':
        ov::NormalizeCurrency(value, type);
        return ov::ReadCurrency(value, settings).has_value();
    case 'w':
        ov::NormalizeWholeNumber(value, settings);
        return ov::ReadInteger(value).has_value();
    case '#':
        ov::NormalizeFloat(value);
        return ov::ReadDecimal(value, settings).has_value();
    }
    ADD_FAILURE() << "no such type " << type;
    return false;
}

struct AmountCase {
    char type;
    std::string supplied;
    std::string normalised;
    bool accepted;
};

void ExpectNormalisedAndRead(const std::vector<AmountCase>& cases, const ov::RegionalSettings& settings)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " \"" << c.supplied << "\" separator "
                                        << settings.decimalSeparator);
        std::string value = c.supplied;
        EXPECT_EQ(NormalizeAndRead(c.type, value, settings), c.accepted);
        EXPECT_EQ(value, c.normalised);
    }
}

TEST(Amounts, NormalisersAndTheirReadings)
{
    ExpectNormalisedAndRead({
        {'C', "$1,234.50", "1234.50", true},
        {'C', "-$1,234.50", "-1234.50", true},
        {'C', "(100.00)", "(100.00)", false},
        {'C', "5-", "5-", false},
        {'C', "", "0", true},
        {'C', "$", "0", true},
        {'C', "$ 100", " 100", true},
        {'C', "12.34567", "12.34567", true},
        {'C', "1e3", "1e3", true},
        {'C', "+$+1,,2+", "12", true},
        {'C', "$ 1 2", " 1 2", false},
        {'C', "$,+\t", "0", true},
        {'c', "-100.00", "100.00", true},
        {'c', "5-", "5", true},
        {'c', "-", "0", true},
        {'c', "1e-3", "1e3", true},
        {'w', "1,000", "1000", true},
        {'w', "12.00", "12", true},
        {'w', "1e3", "1000", true},
        {'w', "-7", "-7", true},
        {'w', ".", "0", true},
        {'w', "12.5", "12.5", false},
        {'w', "3000000000", "3000000000", false},
        {'w', "$1F", "$1F", true},
        {'w', "", "0", true},
        {'w', "+42", "42", true},
        {'w', "-0", "0", true},
        {'w', "-0.0e5", "0", true},
        {'w', "007", "7", true},
        {'w', " 5 ", "5", true},
        {'w', "2147483647", "2147483647", true},
        {'w', "2147483647.0", "2147483647", true},
        {'w', "-2147483648", "-2147483648", true},
        {'w', "2147483648", "2147483648", false},
        {'w', "-2.147483648e9", "-2147483648", true},
        {'w', "1,2.5", "12.5", false},
        {'#', "$1,234.5", "1234.5", true},
        {'#', "1.5e-3", "1.5e-3", true},
        {'#', ".", ".", true},
        {'#', "1 000", "1 000", false},
        {'#', "abc", "abc", false},
        {'#', "-$5", "-5", true},
        {'#', "", "0", true},
        {'#', "1e4933", "1e4933", false},
    }, kDot);
}

TEST(Amounts, CommaAsDecimalSeparatorStillLosesCommasToTheNormaliser)
{
    ExpectNormalisedAndRead({
        {'C', "1234,56", "123456", true},
        {'C', "1234.56", "1234.56", false},
        {'#', "1234,56", "123456", true},
        {'#', "1.5", "1.5", false},
        {'w', "12,0", "120", true},
        {'w', "1.5", "1.5", false},
    }, kComma);
}

TEST(ReadInteger, DecimalHexadecimalSignsLimitsAndBlanks)
{
    struct Case {
        std::string text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"0", 0},
        {"123", 123},
        {"   42", 42},
        {"+7", 7},
        {"-7", -7},
        {"000000000000000000000123", 123},
        {"2147483647", kMaxInt},
        {"-2147483648", kMinInt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"$FF", 255},
        {"$ff", 255},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"+x10", 16},
        {"$7FFFFFFF", kMaxInt},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"$80000000", kMinInt},
        {"-$80000000", kMinInt},
        {"$00000000000000FF", 255},
        {"$100000000", std::nullopt},
        {"$FFFFFFFFFFFFFFFFF", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"-x", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"\t5", std::nullopt},
        {"1.0", std::nullopt},
        {"1e3", std::nullopt},
        {"$G", std::nullopt},
        {"$-5", std::nullopt},
        {"0x0x1", std::nullopt},
        {"12a", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\"");
        EXPECT_EQ(ov::ReadInteger(c.text), c.expected);
    }
}

std::string Repeat(char ch, std::size_t n)
{
    return std::string(n, ch);
}

TEST(ReadDecimal, GrammarRoundingOverflowAndUnderflow)
{
    // 2^64 + 1 lies exactly halfway between two neighbours of the 64-bit
    // mantissa; the tie goes to the even one, anything above it goes up.
    const long double twoTo64 = 18446744073709551616.0L;
    struct Case {
        std::string text;
        std::optional<long double> expected;
    } cases[] = {
        {"1.5", 1.5L},
        {"-2.25", -2.25L},
        {".5", 0.5L},
        {"5.", 5.0L},
        {".", 0.0L},
        {"-.", 0.0L},
        {"+3", 3.0L},
        {"  1.5  ", 1.5L},
        {"1e3", 1000.0L},
        {"1E+3", 1000.0L},
        {"1.5e-3", 1.5e-3L},
        {"0.1", 0.1L},
        {"3.14159265358979323846264338327950288", 3.14159265358979323846264338327950288L},
        {"123456789012345678901234567890", 123456789012345678901234567890.0L},
        {"18446744073709551617", twoTo64},
        {"18446744073709551617.000000000000000000001", twoTo64 + 2},
        {"18446744073709551617." + Repeat('0', 13000) + "1", twoTo64 + 2},
        {"18446744073709551617." + Repeat('0', 13000), twoTo64},
        {"1e", 1.0L},
        {"1e+", 1.0L},
        {"2E-", 2.0L},
        {"1e00000000003", 1000.0L},
        {"1e499", 1e499L},
        {"1e500", 1e500L},
        {"1e4932", 1e4932L},
        {"1.18973149535723176502e4932", LDBL_MAX},
        {"-1e4932", -1e4932L},
        {"0.0001e4936", 1e4932L},
        {"1e4933", std::nullopt},
        {"-1e4933", std::nullopt},
        {"1.2e4932", std::nullopt},
        {"1e4999", std::nullopt},
        {"1e5000", std::nullopt},
        {"1e-4951", 0.0L},
        {"3.6452e-4951", LDBL_TRUE_MIN},
        {"3.3621031431120935063e-4932", LDBL_MIN},
        {"1e-4999", 0.0L},
        {"1e-5000", std::nullopt},
        {"0." + Repeat('0', 5000) + "1", 0.0L},
        {"1 e3", std::nullopt},
        {"1e 3", std::nullopt},
        {"1 000", std::nullopt},
        {"1,000", std::nullopt},
        {"1.2.3", std::nullopt},
        {"0x10", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"e5", std::nullopt},
        {".e5", 0.0L},
        {"- 1", std::nullopt},
        {"1\t", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text.substr(0, 60) << "\"");
        const auto read = ov::ReadDecimal(c.text, kDot);
        ASSERT_EQ(read.has_value(), c.expected.has_value());
        if (read) {
            EXPECT_EQ(*read, *c.expected);
        }
    }
}

TEST(ReadDecimal, NegativeZeroKeepsItsSign)
{
    const auto read = ov::ReadDecimal("-0.0", kDot);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(std::signbit(*read));
}

TEST(ReadDecimal, FollowsTheRegionalSeparator)
{
    struct Case {
        std::string text;
        std::optional<long double> expected;
    } cases[] = {
        {"1,5", 1.5L},
        {",5", 0.5L},
        {",", 0.0L},
        {"-1,25e2", -125.0L},
        {"1.5", std::nullopt},
        {"1,000,0", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\"");
        EXPECT_EQ(ov::ReadDecimal(c.text, kComma), c.expected);
    }
}

TEST(ReadCurrency, RoundsTheExactDecimalValueHalfToEven)
{
    struct Case {
        std::string text;
        std::optional<std::int64_t> expected;
    } cases[] = {
        {"0.00005", 0},
        {"0.00015", 2},
        {"0.00025", 2},
        {"0.00035", 4},
        {"-0.00005", 0},
        {"-0.00015", -2},
        {"0.000050001", 1},
        {"0.00004999999999", 0},
        {"0.00005" + Repeat('0', 20000) + "1", 1},
        {"0.00001", 0},
        {"0.000001", 0},
        {"1", 10000},
        {"1.5", 15000},
        {"-1.5", -15000},
        {"12.34567", 123457},
        {"12.34565", 123456},
        {"1234.50", 12345000},
        {" 100", 1000000},
        {"100 ", 1000000},
        {".", 0},
        {"-0", 0},
        {"00000000000000000000000000001", 10000},
        {"1.00000000000000000000000000000000000000001", 10000},
        {"0.1e1", 10000},
        {"1e3", 10000000},
        {"1E-4", 1},
        {"5e-5", 0},
        {"15e-5", 2},
        {"1e", 10000},
        {"1e14", 1000000000000000000},
        {"1e15", std::nullopt},
        {"9.3e14", std::nullopt},
        {"1e499", std::nullopt},
        {"1e-499", 0},
        {"922337203685477.5807", kMaxAmount},
        {"922337203685477.58074999", kMaxAmount},
        {"922337203685477.58075", std::nullopt},
        {"922337203685477.5808", std::nullopt},
        {"-922337203685477.5808", kMinAmount},
        {"-922337203685477.58085", kMinAmount},
        {"-922337203685477.580850001", std::nullopt},
        {"-922337203685477.5809", std::nullopt},
        {"9223372036854775807e-4", kMaxAmount},
        // 14 integer digits and a fifth fraction digit: past the one-pass reading.
        {"99999999999999.99999", 1000000000000000000},
        {"92233730268547.92233", 922337302685479223},
        {"99999999999999999999", std::nullopt},
        {"1,5", std::nullopt},
        {"$5", std::nullopt},
        {"(100.00)", std::nullopt},
        {"5-", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1 000", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text.substr(0, 60) << "\"");
        EXPECT_EQ(ov::ReadCurrency(c.text, kDot), c.expected);
    }
}

TEST(ReadCurrency, FollowsTheRegionalSeparator)
{
    EXPECT_EQ(ov::ReadCurrency("1,5", kComma), 15000);
    EXPECT_EQ(ov::ReadCurrency(",00015", kComma), 2);
    EXPECT_EQ(ov::ReadCurrency("1.5", kComma), std::nullopt);
}

} // namespace
