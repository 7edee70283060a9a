#include "checks/value_checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using ov::CalendarDate;
using ov::DateOrder;

const ov::RegionalSettings kUs{};
const ov::RegionalSettings kGerman{',', '.', DateOrder::DayMonthYear};
const ov::RegionalSettings kIso{'.', '-', DateOrder::YearMonthDay};

constexpr int kCurrentYear = 2022;

TEST(Dates, NormalizeYear)
{
    struct Case {
        std::string supplied;
        std::string result;
    } cases[] = {
        {"21", "2021"},   {"49", "2049"},   {"50", "1950"},   {"00", "2000"},  {"2021", "2021"},
        {"0021", "2021"}, {"0100", "100"},  {"+5", "2005"},   {"$A", "2010"},  {"-1", "-1"},
        {"5", ""},        {"202", ""},      {"20210", ""},    {"AB", ""},      {"", ""},
        {"99", "1999"},   {"0049", "2049"}, {"0099", "1999"}, {"0999", "999"}, {"1000", "1000"},
        {"9999", "9999"}, {"-0", "2000"},   {"0000", "2000"}, {"-123", "-123"}, {" 5", "2005"},
        {"5 ", ""},       {"x7FF", "2047"}, {"1e3", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        ov::NormalizeYear(value);
        EXPECT_EQ(value, c.result);
    }
}

TEST(Dates, NormalizeDateWithMonthDayYearSlashIn2022)
{
    struct Case {
        std::string supplied;
        std::string result;
    } cases[] = {
        {"12312021", "12312021"},
        {"1312021", "01312021"},
        {"123121", "12312021"},
        {"12321", "01232021"},
        {"010270", "01022070"},
        {"010272", "01021972"},
        {"1/2/2021", "01022021"},
        {"1/2/3", "01022003"},
        {"12/31", "12312022"},
        {"12/31/2021/", "12312021"},
        {"1 / 2 / 2021", "01022021"},
        {"02/29/2021", ""},
        {"13/01/2021", ""},
        {"2021-12-31", ""},
        {"123456789", ""},
        {"0", ""},
        {"", ""},
        {"02292020", "02292020"},
        {"1/2/0099", "01020099"},
        {"AB/CD/EF", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\"");
        std::string value = c.supplied;
        ov::NormalizeDate(value, kUs, kCurrentYear);
        EXPECT_EQ(value, c.result);
    }
}

TEST(Dates, NormalizeDateReadsByTheRegionalSettings)
{
    // A value without "/" is cut at fixed places and gets "/" separators;
    // the reading then follows the regional separator and order.
    const ov::RegionalSettings french{',', '/', DateOrder::DayMonthYear};
    struct Case {
        std::string supplied;
        ov::RegionalSettings settings;
        std::string result;
    } cases[] = {
        {"31122021", french, "12312021"},
        {"31/12/2021", french, "12312021"},
        {"12312021", french, ""},
        {"31.12.2021", kGerman, ""},
        {"31122021", kGerman, ""},
        {"2021-12-31", kIso, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.supplied << "\" separator " << c.settings.dateSeparator);
        std::string value = c.supplied;
        ov::NormalizeDate(value, c.settings, kCurrentYear);
        EXPECT_EQ(value, c.result);
    }
}

TEST(Dates, ReadShortDate)
{
    struct Case {
        std::string text;
        ov::RegionalSettings settings;
        int currentYear;
        std::optional<CalendarDate> date;
    } cases[] = {
        {"12/31/2021", kUs, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"1/2/3", kUs, kCurrentYear, CalendarDate{2003, 1, 2}},
        {"12/31", kUs, kCurrentYear, CalendarDate{2022, 12, 31}},
        {" 1 / 2 / 2021 ", kUs, kCurrentYear, CalendarDate{2021, 1, 2}},
        {"12/31/2021/", kUs, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"12/31/2021 / ", kUs, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"00012/31/2021", kUs, kCurrentYear, CalendarDate{2021, 12, 31}},
        // Window of 2022: 1972 to 2071; three or more digits are taken as written.
        {"1/1/71", kUs, kCurrentYear, CalendarDate{2071, 1, 1}},
        {"1/1/72", kUs, kCurrentYear, CalendarDate{1972, 1, 1}},
        {"1/1/0", kUs, kCurrentYear, CalendarDate{2000, 1, 1}},
        {"1/1/00", kUs, kCurrentYear, CalendarDate{2000, 1, 1}},
        {"1/1/099", kUs, kCurrentYear, CalendarDate{99, 1, 1}},
        {"1/1/0072", kUs, kCurrentYear, CalendarDate{72, 1, 1}},
        {"1/1/9999", kUs, kCurrentYear, CalendarDate{9999, 1, 1}},
        {"1/1/49", kUs, 2000, CalendarDate{2049, 1, 1}},
        {"1/1/50", kUs, 2000, CalendarDate{1950, 1, 1}},
        {"1/1/20", kUs, 2071, CalendarDate{2120, 1, 1}},
        {"1/1/21", kUs, 2071, CalendarDate{2021, 1, 1}},
        {"1/1/5", kUs, 30, CalendarDate{5, 1, 1}},
        // Leap years.
        {"2/29/2020", kUs, kCurrentYear, CalendarDate{2020, 2, 29}},
        {"2/29/2000", kUs, kCurrentYear, CalendarDate{2000, 2, 29}},
        {"2/29/1900", kUs, kCurrentYear, std::nullopt},
        {"2/29/2100", kUs, kCurrentYear, std::nullopt},
        {"2/29/2021", kUs, kCurrentYear, std::nullopt},
        {"2/29", kUs, 2024, CalendarDate{2024, 2, 29}},
        {"2/29", kUs, kCurrentYear, std::nullopt},
        {"2/28/2021", kUs, kCurrentYear, CalendarDate{2021, 2, 28}},
        {"4/31/2021", kUs, kCurrentYear, std::nullopt},
        // Ranges.
        {"0/1/2021", kUs, kCurrentYear, std::nullopt},
        {"1/0/2021", kUs, kCurrentYear, std::nullopt},
        {"13/1/2021", kUs, kCurrentYear, std::nullopt},
        {"1/32/2021", kUs, kCurrentYear, std::nullopt},
        {"1/1/0000", kUs, kCurrentYear, std::nullopt},
        {"1/1/10000", kUs, kCurrentYear, std::nullopt},
        {"12/31", kUs, 0, std::nullopt},
        {"12/31", kUs, 10000, std::nullopt},
        // Separators and blanks.
        {"12/31/", kUs, kCurrentYear, std::nullopt},
        {"12/31/2021//", kUs, kCurrentYear, std::nullopt},
        {"1-2-2021", kUs, kCurrentYear, std::nullopt},
        {"1/2/2021x", kUs, kCurrentYear, std::nullopt},
        {"1//2/2021", kUs, kCurrentYear, std::nullopt},
        {"\t1/2/2021", kUs, kCurrentYear, std::nullopt},
        {"", kUs, kCurrentYear, std::nullopt},
        {"   ", kUs, kCurrentYear, std::nullopt},
        {"/", kUs, kCurrentYear, std::nullopt},
        {"1", kUs, kCurrentYear, std::nullopt},
        {"1/", kUs, kCurrentYear, std::nullopt},
        {"+1/2/2021", kUs, kCurrentYear, std::nullopt},
        // Day-month-year with ".".
        {"31.12.2021", kGerman, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"31.12.", kGerman, kCurrentYear, std::nullopt},
        {"31.12", kGerman, kCurrentYear, CalendarDate{2022, 12, 31}},
        {"1.2.3", kGerman, kCurrentYear, CalendarDate{2003, 2, 1}},
        {"12.31.2021", kGerman, kCurrentYear, std::nullopt},
        {"31/12/2021", kGerman, kCurrentYear, std::nullopt},
        // Year-month-day with "-"; without a year the first number is the month.
        {"2021-12-31", kIso, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"21-12-31", kIso, kCurrentYear, CalendarDate{2021, 12, 31}},
        {"80-1-2", kIso, kCurrentYear, CalendarDate{1980, 1, 2}},
        {"12-31", kIso, kCurrentYear, CalendarDate{2022, 12, 31}},
        {"2020-2-29", kIso, kCurrentYear, CalendarDate{2020, 2, 29}},
        {"2021-2-29", kIso, kCurrentYear, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.text << "\" separator " << c.settings.dateSeparator
                                        << " current year " << c.currentYear);
        EXPECT_EQ(ov::ReadShortDate(c.text, c.settings, c.currentYear), c.date);
    }
}

TEST(Dates, DateOrderFromFormat)
{
    struct Case {
        std::string format;
        DateOrder order;
    } cases[] = {
        {"M/d/yyyy", DateOrder::MonthDayYear},
        {"m/d/yy", DateOrder::MonthDayYear},
        {"dd.MM.yyyy", DateOrder::DayMonthYear},
        {"yyyy-MM-dd", DateOrder::YearMonthDay},
        {"ee/MM/dd", DateOrder::YearMonthDay},
        {"E.M.d", DateOrder::YearMonthDay},
        {"", DateOrder::MonthDayYear},
        {"/.-", DateOrder::MonthDayYear},
        {"gg d", DateOrder::DayMonthYear},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << c.format << "\"");
        EXPECT_EQ(ov::DateOrderFromFormat(c.format), c.order);
    }
}

} // namespace
