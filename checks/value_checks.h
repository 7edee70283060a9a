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

// Date order from a short date format such as "M/d/yyyy": the first of the
// letters D, M, Y, E (either case) decides; month-day-year when none occurs.
DateOrder DateOrderFromFormat(std::string_view shortDateFormat);

struct CalendarDate {
    int year;
    int month;
    int day;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// --- Amounts and numbers ---------------------------------------------------
// Removes every "$", "+", "," (and "-" when typeCode is exactly 'c'); a value
// left with nothing but codes 0-32 becomes "0". Otherwise not trimmed; never fails.
void NormalizeCurrency(std::string& value, char typeCode);
// Removes every "+" and ","; a blank value becomes "0". When ReadDecimal reads
// it as a whole number from -2147483648 to 2147483647 it is rewritten in plain
// decimal ("12.00" -> "12"); any other value is kept. Never fails.
void NormalizeWholeNumber(std::string& value, const RegionalSettings& settings);
// Removes every "$", "+" and ","; a blank value becomes "0". Never fails.
void NormalizeFloat(std::string& value);
// Reads leading blanks, an optional sign, then decimal digits or a hex prefix
// ("$", "x", "X", "0x", "0X") and hex digits, and nothing after. Decimal must
// fit 32 bits signed; hex may use 32 bits, taken as signed ("$FFFFFFFF" = -1).
// nullopt for anything else, blanks, a sign or a prefix alone included.
std::optional<std::int32_t> ReadInteger(std::string_view text);
// Reads blanks, sign, digits, the regional decimal separator and digits (a lone
// separator reads as zero), an optional exponent ("E"/"e", sign, digits taken
// while below 500), blanks. The exact decimal value is rounded to nearest in
// long double; nullopt on bad grammar or overflow; too small reads as zero.
std::optional<long double> ReadDecimal(std::string_view text, const RegionalSettings& settings);
// The common amount in ten-thousandths, read in one pass: 1 to 14 digits, then
// perhaps `separator` and up to four digits, and nothing else. Such an amount
// is exact: no rounding, no overflow. nullopt for any other text, which
// ReadCurrency then reads by its full grammar.
std::optional<std::int64_t> ReadPlainAmount(std::string_view text, char separator);
// The ReadDecimal grammar, read as an amount in ten-thousandths: the exact
// decimal value times 10000, rounded half to even ("0.00005" -> 0, "0.00015"
// -> 2). nullopt on bad grammar or outside -922337203685477.5808 to
// 922337203685477.5807.
std::optional<std::int64_t> ReadCurrency(std::string_view text, const RegionalSettings& settings);

// --- Taxpayer identifiers -------------------------------------------------
// Drops characters 4 and 7 of an 11-character value when neither is a digit
// ("123-45-6789" -> "123456789"); leaves every other value as it is.
void NormalizeSsn(std::string& value);
// Rewrites the EIN form (10 characters, a non-digit at 3: "12-3456789") or
// the SSN form (as NormalizeSsn) into 9 characters and sets tinType to "EIN"
// or "SSN"; an empty value gives "N/A"; any other value is left as it is and
// tinType is empty. Never fails.
void NormalizeTin(std::string& value, std::string& tinType);
// "" -> "N/A", "1" -> "EIN", "2" -> "SSN"; anything else unchanged.
void NormalizeTinType(std::string& value);
// True when every character is a digit 0-9; true for the empty text.
bool IsAllDigits(std::string_view text);

// --- Years and dates -------------------------------------------------------
// A 2- or 4-character value that ReadInteger reads as 0 or more becomes a
// year: below 50 adds 2000, then below 100 adds 1900. A negative one is kept;
// any other value (other length, unreadable) is emptied. Never fails.
void NormalizeYear(std::string& value);
// A value without "/" is cut as MMDDYY or MMDDYYYY into MM/DD/YY(YY); then it
// is read by ReadShortDate and rewritten as MMDDYYYY, or emptied when that
// fails. An empty value stays empty. Never fails.
void NormalizeDate(std::string& value, const RegionalSettings& settings, int currentYear);
// Reads two or three numbers joined by the regional date separator, in the
// regional date order (blanks around them, one trailing separator allowed).
// A year of 1 or 2 digits falls in the 100 years from currentYear - 50; no
// year means currentYear. nullopt when the text or the date is not valid.
std::optional<CalendarDate> ReadShortDate(std::string_view text, const RegionalSettings& settings,
                                          int currentYear);

// --- Indicators -------------------------------------------------------------
// Upper-cases a-z, then "X", "1", "Y", "T", "TRUE", "YES" become "X" and
// "NULL", "0", "N", "F", "FALSE", "NO" become empty; any other value stays in
// its upper-case form (for the caller to reject). Never fails.
void NormalizeIndicator(std::string& value);

} // namespace ov
