// ReadShortDate over any bytes. Byte 1 is the regional date separator (a digit
// or a blank gives "/"), byte 2 the short date format letter that sets the
// date order; the rest is the text, read for the current years 2022, 1 and
// 9999. A date read must exist, and read the same when written back with a
// four-digit year in the regional order.
#include "checks/value_checks.h"
#include "fuzz/fuzz_util.h"

#include <chrono>
#include <cstdio>
#include <string>

using ov::fuzz::Require;

namespace {

std::string Number(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Built by pieces: the separator may be any byte, NUL included.
std::string Written(const ov::CalendarDate& date, const ov::RegionalSettings& settings)
{
    const char s = settings.dateSeparator;
    switch (settings.dateOrder) {
    case ov::DateOrder::DayMonthYear:
        return Number(date.day, 2) + s + Number(date.month, 2) + s + Number(date.year, 4);
    case ov::DateOrder::YearMonthDay:
        return Number(date.year, 4) + s + Number(date.month, 2) + s + Number(date.day, 2);
    case ov::DateOrder::MonthDayYear:
        break;
    }
    return Number(date.month, 2) + s + Number(date.day, 2) + s + Number(date.year, 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const char separator = static_cast<char>(data[0]);
    ov::RegionalSettings settings;
    settings.dateSeparator = (separator >= '0' && separator <= '9') || separator == ' ' ? '/' : separator;
    settings.dateOrder = ov::DateOrderFromFormat(ov::fuzz::AsText(data + 1, 1));
    const std::string_view text = ov::fuzz::AsText(data + 2, size - 2);

    for (const int currentYear : {2022, 1, 9999}) {
        const auto date = ov::ReadShortDate(text, settings, currentYear);
        if (!date)
            continue;
        namespace chr = std::chrono;
        const chr::year_month_day calendar{chr::year{date->year}, chr::month{static_cast<unsigned>(date->month)},
                                           chr::day{static_cast<unsigned>(date->day)}};
        Require(date->year >= 1 && date->year <= 9999 && calendar.ok(), "a date read exists", text,
                Written(*date, settings));
        const std::string again = Written(*date, settings);
        Require(ov::ReadShortDate(again, settings, currentYear) == date, "the date written back reads the same", text,
                again);
    }
    return 0;
}
