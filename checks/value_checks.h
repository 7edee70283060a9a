// Value checks: the readings of numbers and dates and the normalisers that
// rewrite a supplied value by its type code. Normalisers never fail; a
// reading yields std::nullopt when the text does not qualify.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ov {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The user's regional settings that the readings depend on. The defaults are
// what applies when the system offers none.
struct RegionalSettings {
    char decimalSeparator = '.';
    char dateSeparator = '/';
    DateOrder dateOrder = DateOrder::MonthDayYear;
};

// Date order from a short date format: the first of D, M, Y, E (either case);
// month-day-year when none.
DateOrder DateOrderFromFormat(std::string_view shortDateFormat);

struct CalendarDate {
    int year;
    int month;
    int day;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// --- Amounts and numbers ---------------------------------------------------
// Removes "$", "+", "," (and "-" when typeCode is 'c'); a value left blank becomes "0".
void NormalizeCurrency(std::string& value, char typeCode);
// Removes "+", ","; blank becomes "0"; a whole number within 32 bits is rewritten plainly.
void NormalizeWholeNumber(std::string& value, const RegionalSettings& settings);
// Removes "$", "+", ","; blank becomes "0".
void NormalizeFloat(std::string& value);
// Signed 32-bit integer, decimal or hexadecimal ("$", "x", "0x" prefixes).
std::optional<std::int32_t> ReadInteger(std::string_view text);
// Decimal number formed in extended precision; fails on overflow.
std::optional<long double> ReadDecimal(std::string_view text, const RegionalSettings& settings);
// Amount in ten-thousandths, rounded half to even from the exact decimal value.
std::optional<std::int64_t> ReadCurrency(std::string_view text, const RegionalSettings& settings);

// --- Taxpayer identifiers -------------------------------------------------
// Rewrites an 11-character value with non-digits at positions 4 and 7 into 9 characters.
void NormalizeSsn(std::string& value);
// Rewrites 10/11-character EIN/SSN forms into 9 characters and sets tinType
// ("EIN", "SSN", "N/A" for an empty value, or empty when undetermined).
void NormalizeTin(std::string& value, std::string& tinType);
// "" -> "N/A", "1" -> "EIN", "2" -> "SSN"; anything else unchanged.
void NormalizeTinType(std::string& value);
// True when every character is a digit 0-9; true for the empty text.
bool IsAllDigits(std::string_view text);

// --- Years and dates -------------------------------------------------------
// Rewrites a 2- or 4-character year as a full year, or empties the value.
void NormalizeYear(std::string& value);
// Rewrites a date as MMDDYYYY, or empties it when unreadable.
void NormalizeDate(std::string& value, const RegionalSettings& settings, int currentYear);
// Reads a short date by the regional settings; 1-2 digit years are windowed
// around currentYear.
std::optional<CalendarDate> ReadShortDate(std::string_view text, const RegionalSettings& settings,
                                          int currentYear);

// --- Indicators -------------------------------------------------------------
// Maps the accepted words onto "X" or empty; anything else is left upper-cased.
void NormalizeIndicator(std::string& value);

} // namespace ov
