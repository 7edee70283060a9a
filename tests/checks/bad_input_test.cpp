// Every value check over texts no extract should hold: high bytes, NULs and
// texts of 10 MB. Each must finish, stay inside its text and keep its rule.
#include "checks/text_primitives.h"
#include "checks/value_checks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

constexpr std::size_t kBig = 10 * 1024 * 1024;
constexpr int kCurrentYear = 2022;
const ov::RegionalSettings kUs{};

std::string Fill(std::string_view unit, std::size_t size)
{
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size)
        text.append(unit);
    return text;
}

// Every byte value, in a fixed pseudo-random order.
std::string RandomBytes(std::size_t size)
{
    std::string text(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : text) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    return text;
}

const std::vector<std::string>& NastyTexts()
{
    static const std::vector<std::string> texts = {
        ""s,
        "\0"s,
        "\xFF"s,
        "\x80\x81\xFE"s,
        "-\xB9"s,
        "1\0" "2"s,
        "\0" "12/31/2021"s,
        "12/31/2021\0"s,
        "$\xFF\xFF"s,
        "\xE9" "e5"s,
        Fill("9", kBig),
        Fill("0", kBig),
        Fill(" ", kBig),
        Fill("\xFF\x80\0"s, kBig),
        Fill("$+,-", kBig),
        Fill("1/", kBig),
        Fill("12-45-6789,", kBig),
        RandomBytes(kBig),
    };
    return texts;
}

bool IsDigitsOnly(const std::string& text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

TEST(BadInput, NormalisersKeepTheirRulesOnAnyBytes)
{
    for (const auto& text : NastyTexts()) {
        SCOPED_TRACE(testing::Message() << "text of " << text.size() << " bytes");
        for (char type : {'C', 'c'}) {
            std::string value = text;
            ov::NormalizeCurrency(value, type);
            EXPECT_EQ(value.find_first_of(type == 'c' ? "$+,-" : "$+,"), std::string::npos);
            EXPECT_FALSE(ov::TrimControls(value).empty());
        }
        std::string value = text;
        ov::NormalizeFloat(value);
        EXPECT_EQ(value.find_first_of("$+,"), std::string::npos);

        value = text;
        ov::NormalizeWholeNumber(value, kUs);
        EXPECT_EQ(value.find_first_of("+,"), std::string::npos);

        value = text;
        ov::NormalizeSsn(value);
        EXPECT_TRUE(value == text || value.size() == 9);

        value = text;
        std::string tinType;
        ov::NormalizeTin(value, tinType);
        EXPECT_TRUE(tinType.empty() || tinType == "EIN" || tinType == "SSN" || tinType == "N/A") << tinType;
        EXPECT_EQ(tinType.empty(), value == text && !text.empty());

        value = text;
        ov::NormalizeTinType(value);
        EXPECT_TRUE(value == text || value == "N/A" || value == "EIN" || value == "SSN");

        value = text;
        ov::NormalizeYear(value);
        EXPECT_TRUE(value.empty() || ov::ReadInteger(value).has_value()) << value;

        value = text;
        ov::NormalizeDate(value, kUs, kCurrentYear);
        EXPECT_TRUE(value.empty() || (value.size() == 8 && IsDigitsOnly(value))) << value;

        value = text;
        ov::NormalizeIndicator(value);
        EXPECT_TRUE(value.empty() || value == "X" || value == ov::UpperCaseAscii(text));

        EXPECT_EQ(ov::IsAllDigits(text), IsDigitsOnly(text));
    }
}

TEST(BadInput, ReadingsRejectOrReadAnyBytes)
{
    for (const auto& text : NastyTexts()) {
        SCOPED_TRACE(testing::Message() << "text of " << text.size() << " bytes");
        const auto integer = ov::ReadInteger(text);
        const auto decimal = ov::ReadDecimal(text, kUs);
        const auto amount = ov::ReadCurrency(text, kUs);
        // Every text read as an integer or an amount is a decimal number too,
        // and here none of them is anything but zero.
        if (integer) {
            EXPECT_EQ(*integer, 0);
        }
        if (amount) {
            EXPECT_EQ(*amount, 0);
            EXPECT_TRUE(decimal.has_value());
        }
        if (decimal) {
            EXPECT_EQ(*decimal, 0.0L);
        }
        const auto date = ov::ReadShortDate(text, kUs, kCurrentYear);
        if (date) {
            EXPECT_GE(date->month, 1);
            EXPECT_LE(date->month, 12);
        }
    }
}

TEST(BadInput, HugeNumbersAreReadWithoutOverflow)
{
    const std::string zeros(kBig, '0');
    const std::string nines(kBig, '9');
    struct Case {
        std::string text;
        std::optional<std::int32_t> integer;
        std::optional<long double> decimal;
        std::optional<std::int64_t> amount;
    } cases[] = {
        {nines, std::nullopt, std::nullopt, std::nullopt},
        {"-" + nines, std::nullopt, std::nullopt, std::nullopt},
        {zeros, 0, 0.0L, 0},
        {zeros + "7", 7, 7.0L, 70000},
        {"$" + zeros + "1F", 31, std::nullopt, std::nullopt},
        {"1" + zeros, std::nullopt, std::nullopt, std::nullopt},
        {"0." + zeros + "1", std::nullopt, 0.0L, 0},
        {"1." + zeros, std::nullopt, 1.0L, 10000},
        {"0.00015" + zeros, std::nullopt, 0.00015L, 2},
        {"1e" + zeros + "5", std::nullopt, 100000.0L, 1000000000},
        {"." + nines + "e" + nines, std::nullopt, std::nullopt, std::nullopt},
        {"2" + std::string(kBig, ' '), std::nullopt, 2.0L, 20000},
        {std::string(kBig, ' ') + "-3", -3, -3.0L, -30000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text.substr(0, 12) << "...\" of " << c.text.size() << " bytes");
        EXPECT_EQ(ov::ReadInteger(c.text), c.integer);
        EXPECT_EQ(ov::ReadDecimal(c.text, kUs), c.decimal);
        EXPECT_EQ(ov::ReadCurrency(c.text, kUs), c.amount);
    }
}

TEST(BadInput, HugeDatesAndYears)
{
    const std::string zeros(kBig, '0');
    // Digits are taken while the number is below 1000, so zeros never end a
    // number, and the width of a year counts every digit written.
    EXPECT_EQ(ov::ReadShortDate("1/2/" + zeros + "5", kUs, kCurrentYear), (ov::CalendarDate{5, 1, 2}));
    EXPECT_EQ(ov::ReadShortDate(zeros + "1/2/3", kUs, kCurrentYear), (ov::CalendarDate{2003, 1, 2}));
    EXPECT_EQ(ov::ReadShortDate("1/2/" + zeros, kUs, kCurrentYear), std::nullopt);

    std::string value = zeros + "12312021";
    ov::NormalizeDate(value, kUs, kCurrentYear);
    EXPECT_EQ(value, "12312021");
    value = zeros;
    ov::NormalizeYear(value);
    EXPECT_EQ(value, "");
}

TEST(BadInput, TextPrimitivesOnHugeTextsAndExtremeCounts)
{
    const std::string big = RandomBytes(kBig);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const auto size = static_cast<std::int32_t>(big.size());

    EXPECT_EQ(ov::LeftPart(big, kMax), big);
    EXPECT_EQ(ov::RightPart(big, kMax), big);
    EXPECT_EQ(ov::LeftPart(big, kMin), "");
    EXPECT_EQ(ov::RightPart(big, 3), big.substr(big.size() - 3));
    EXPECT_EQ(ov::MidPart(big, size, 1), big.substr(big.size() - 1));
    EXPECT_EQ(ov::MidPart(big, size, 2), "  ");
    EXPECT_EQ(ov::MidPart(big, kMax, 3), "   ");
    EXPECT_EQ(ov::MidPart(big, kMin, 4), big.substr(0, 4));
    EXPECT_EQ(ov::ZeroPad(8, big), big.substr(big.size() - 8));
    EXPECT_EQ(ov::ZeroPad(size + 2, big), "00" + big);
    EXPECT_EQ(ov::TrimControls(std::string(kBig, '\0')), "");
    EXPECT_TRUE(ov::EqualsIgnoringCase(big, big));
}

} // namespace
