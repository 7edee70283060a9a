// ReadInteger over any bytes. The input is the text. Checked against the C
// library's own conversions, and a value read must read the same when written
// back in decimal and in hexadecimal.
#include "checks/value_checks.h"
#include "fuzz/fuzz_util.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using ov::fuzz::Require;

namespace {

bool IsDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What ReadInteger must return, worked out with strtoull: nullopt for any text
// that is not blanks, an optional sign and either decimal digits or a hex
// prefix with hex digits.
std::optional<std::int32_t> Expected(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::string_view rest = text.substr(i);
    int base = 10;
    std::string_view digits = rest;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
        base = 16;
        digits = rest.substr(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        digits = rest.substr(2);
    }
    if (digits.empty())
        return std::nullopt;
    for (char c : digits) {
        if (base == 10 ? !IsDecimalDigit(c) : !IsHexDigit(c))
            return std::nullopt;
    }
    // The run holds digits only, so strtoull sees no blank, sign or prefix.
    const std::string copy(digits);
    errno = 0;
    const unsigned long long magnitude = std::strtoull(copy.c_str(), nullptr, base);
    if (errno == ERANGE)
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (negative) {
        if (magnitude > 2147483648ull)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude > 2147483647ull)
        return std::nullopt;
    return static_cast<std::int32_t>(magnitude);
}

std::string Show(std::optional<std::int32_t> v)
{
    return v ? std::to_string(*v) : std::string("failure");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = ov::fuzz::AsText(data, size);
    const auto value = ov::ReadInteger(text);
    const auto expected = Expected(text);
    Require(value == expected, "ReadInteger agrees with strtoull", text,
            "read " + Show(value) + ", expected " + Show(expected));
    if (!value)
        return 0;

    const std::string decimal = std::to_string(*value);
    Require(ov::ReadInteger(decimal) == value, "the value written in decimal reads the same", text, decimal);
    char hex[32];
    std::snprintf(hex, sizeof hex, "$%" PRIX32, static_cast<std::uint32_t>(*value));
    Require(ov::ReadInteger(hex) == value, "the value's bit pattern in hex reads the same", text, hex);
    std::snprintf(hex, sizeof hex, "-0x%" PRIx32, 0u - static_cast<std::uint32_t>(*value));
    Require(ov::ReadInteger(hex) == value, "the negated pattern behind a minus reads the same", text, hex);

    // A decimal integer is also a decimal number and an amount.
    const std::string_view trimmed = text.substr(text.find_first_not_of(' '));
    const std::string_view unsigned_ = trimmed.substr(trimmed[0] == '+' || trimmed[0] == '-' ? 1 : 0);
    const bool hexadecimal = unsigned_[0] == '$' || unsigned_[0] == 'x' || unsigned_[0] == 'X' ||
                             (unsigned_.size() > 1 && (unsigned_[1] == 'x' || unsigned_[1] == 'X'));
    if (!hexadecimal) {
        const ov::RegionalSettings settings{};
        const auto number = ov::ReadDecimal(text, settings);
        Require(number && *number == static_cast<long double>(*value), "ReadDecimal reads the same integer",
                text);
        const auto amount = ov::ReadCurrency(text, settings);
        Require(amount && *amount == static_cast<std::int64_t>(*value) * 10000, "ReadCurrency reads it times 10000",
                text);
    }
    return 0;
}
