// ReadCurrency over any bytes. Byte 1 picks the regional decimal separator
// ("," gives a comma, anything else a point); the rest is the text. An amount
// read must agree with ReadDecimal within rounding, read the same when written
// back as digits with four decimals or in ten-thousandths with an exponent,
// and turn into its negative behind a minus sign. The plain-amount fast path
// must agree with the full reading wherever it reads.
#include "checks/value_checks.h"
#include "fuzz/fuzz_util.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

using ov::fuzz::Require;

namespace {

std::string Show(std::optional<std::int64_t> v)
{
    return v ? std::to_string(*v) : std::string("failure");
}

// The amount as [-]digits<separator>dddd.
std::string WithFourDecimals(std::int64_t amount, char separator)
{
    const std::uint64_t magnitude =
        amount < 0 ? 0u - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    char text[64];
    std::snprintf(text, sizeof text, "%s%" PRIu64 "%c%04" PRIu64, amount < 0 ? "-" : "", magnitude / 10000,
                  separator, magnitude % 10000);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const ov::RegionalSettings settings{data[0] == ',' ? ',' : '.', '/', ov::DateOrder::MonthDayYear};
    const std::string_view text = ov::fuzz::AsText(data + 1, size - 1);
    const auto amount = ov::ReadCurrency(text, settings);
    const auto number = ov::ReadDecimal(text, settings);
    if (const auto plain = ov::ReadPlainAmount(text, settings.decimalSeparator)) {
        Require(plain == amount, "the plain-amount reading agrees with ReadCurrency", text,
                "plain " + Show(plain) + ", amount " + Show(amount));
    }
    if (!amount) {
        if (number) {
            Require(std::fabs(*number * 10000.0L) >= 0x1p63L * (1 - 0x1p-60L),
                    "a number ReadDecimal reads is an amount unless it is beyond 64 bits", text);
        }
        return 0;
    }

    Require(number.has_value(), "an amount is also a number", text, "amount " + Show(amount));
    const long double scaled = *number * 10000.0L;
    Require(std::fabs(scaled - static_cast<long double>(*amount)) <= 0.5L + std::fabs(scaled) * 0x1p-60L,
            "the amount is the number times 10000, rounded", text, "amount " + Show(amount));

    const std::string fixed = WithFourDecimals(*amount, settings.decimalSeparator);
    Require(ov::ReadCurrency(fixed, settings) == amount, "the amount with four decimals reads the same", text, fixed);
    const std::string exponent = std::to_string(*amount) + "e-4";
    Require(ov::ReadCurrency(exponent, settings) == amount, "the amount in ten-thousandths times 1e-4 reads the same",
            text, exponent);

    const std::size_t start = text.find_first_not_of(' ');
    if (start != std::string_view::npos && text[start] != '+' && text[start] != '-' &&
        *amount != std::numeric_limits<std::int64_t>::min()) {
        const std::string negated = "-" + std::string(text.substr(start));
        Require(ov::ReadCurrency(negated, settings) == -*amount, "a minus in front negates the amount", text,
                "amount " + Show(amount) + ", negated " + Show(ov::ReadCurrency(negated, settings)));
    }
    return 0;
}
