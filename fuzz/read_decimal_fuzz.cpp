// ReadDecimal over any bytes. Byte 1 picks the regional decimal separator
// ("," gives a comma, anything else a point); the rest is the text. Checked
// against strtold where the grammars meet, against ReadCurrency, and a number
// read must read the same when written back with 21 significant digits.
#include "checks/value_checks.h"
#include "fuzz/fuzz_util.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

using ov::fuzz::Require;

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Show(std::optional<long double> v)
{
    if (!v)
        return "failure";
    char text[64];
    std::snprintf(text, sizeof text, "%.21Lg", *v);
    return text;
}

// The text rebuilt for strtold ("." as the point, no blanks) when it follows
// the reading's grammar and every exponent digit is taken (the reading stops
// taking digits once the exponent reaches 500; strtold does not). nullopt otherwise.
std::optional<std::string> ForStrtold(std::string_view text, char separator)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string out;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        out += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        out += text[i++], ++digits;
    if (i < text.size() && text[i] == separator) {
        out += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            out += text[i++], ++digits;
    }
    if (digits == 0)
        return std::nullopt; // a lone separator: strtold reads nothing
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        std::string exponent = "e";
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            exponent += text[i++];
        int value = 0;
        std::size_t taken = 0;
        while (i < text.size() && IsDigit(text[i])) {
            if (value >= 500)
                return std::nullopt;
            value = value * 10 + (text[i] - '0');
            exponent += text[i++];
            ++taken;
        }
        if (taken > 0)
            out += exponent;
    }
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i != text.size())
        return std::nullopt;
    return out;
}

bool SameNumber(std::optional<long double> a, std::optional<long double> b)
{
    if (!a || !b)
        return !a && !b;
    return *a == *b && std::signbit(*a) == std::signbit(*b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const ov::RegionalSettings settings{data[0] == ',' ? ',' : '.', '/', ov::DateOrder::MonthDayYear};
    const char separator = settings.decimalSeparator;
    const std::string_view text = ov::fuzz::AsText(data + 1, size - 1);
    const auto number = ov::ReadDecimal(text, settings);

    if (const auto plain = ForStrtold(text, separator)) {
        const long double reference = std::strtold(plain->c_str(), nullptr);
        const std::optional<long double> expected =
            std::isinf(reference) ? std::nullopt : std::optional<long double>(reference);
        Require(SameNumber(number, expected), "ReadDecimal agrees with strtold", text,
                "read " + Show(number) + ", strtold " + Show(expected) + " of " + *plain);
    }

    std::string padded = " " + std::string(text) + " ";
    Require(SameNumber(ov::ReadDecimal(padded, settings), number), "blanks around the text change nothing", text);
    if (text.find_first_of(".,") == std::string_view::npos) {
        const ov::RegionalSettings other{separator == ',' ? '.' : ',', '/', ov::DateOrder::MonthDayYear};
        Require(SameNumber(ov::ReadDecimal(text, other), number),
                "without a separator the regional separator changes nothing", text);
    }

    const auto amount = ov::ReadCurrency(text, settings);
    if (!number) {
        Require(!amount, "a text ReadDecimal rejects is no amount either", text);
        return 0;
    }

    Require(std::isfinite(*number), "a number read is finite", text, Show(number));
    const std::size_t signAt = text.find_first_not_of(' ');
    const bool minus = signAt != std::string_view::npos && text[signAt] == '-';
    Require(std::signbit(*number) == minus, "the sign of the result is the sign written", text, Show(number));

    char written[80];
    std::snprintf(written, sizeof written, "%.20Le", *number);
    std::string rewritten = written;
    if (const auto point = rewritten.find('.'); point != std::string::npos)
        rewritten[point] = separator;
    Require(SameNumber(ov::ReadDecimal(rewritten, settings), number),
            "the number written with 21 significant digits reads the same", text, rewritten);

    const long double scaled = *number * 10000.0L;
    if (amount) {
        const long double tolerance = 0.5L + std::fabs(scaled) * 0x1p-60L;
        Require(std::fabs(scaled - static_cast<long double>(*amount)) <= tolerance,
                "ReadCurrency is the number times 10000, rounded", text,
                "number " + Show(number) + ", amount " + std::to_string(*amount));
    } else {
        Require(std::fabs(scaled) >= 0x1p63L * (1 - 0x1p-60L), "ReadCurrency fails only beyond 64 bits", text,
                "number " + Show(number));
    }
    return 0;
}
