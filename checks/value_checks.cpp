#include "checks/value_checks.h"

#include "checks/text_primitives.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace ov {

namespace {

// ASCII tests of our own: <cctype> depends on the locale and is undefined for
// negative char values.
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A set of characters as a table indexed by character code: one lookup per
// character instead of a search through the set.
using CharSet = std::array<bool, 256>;

constexpr CharSet MakeCharSet(std::string_view chars)
{
    CharSet set{};
    for (const char c : chars)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr CharSet kSignsAndSeparators = MakeCharSet("$+,");
constexpr CharSet kSignsSeparatorsAndMinus = MakeCharSet("$+,-");
constexpr CharSet kPlusAndSeparator = MakeCharSet("+,");

// Removes every character of `unwanted`, in one pass; a value without any is
// left untouched.
void RemoveChars(std::string& value, const CharSet& unwanted)
{
    std::erase_if(value, [&unwanted](char c) { return unwanted[static_cast<unsigned char>(c)]; });
}

// A value that holds nothing but characters of codes 0 to 32 becomes "0".
void ZeroWhenBlank(std::string& value)
{
    if (TrimControls(value).empty())
        value = "0";
}

// A text that follows the decimal number grammar, taken apart. Its value is
// the integer formed by integerDigits and fractionDigits run together, times
// ten to the power (exponent - number of fraction digits).
struct DecimalText {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::int32_t exponent = 0;
};

// Blanks, an optional sign, digits, an optional separator with digits (at
// least one character of these two), an optional exponent, blanks.
std::optional<DecimalText> ParseDecimalText(std::string_view text, char separator)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size && text[i] == ' ')
        ++i;
    DecimalText result;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        result.negative = text[i] == '-';
        ++i;
    }
    std::size_t start = i;
    while (i < size && IsDigit(text[i]))
        ++i;
    result.integerDigits = text.substr(start, i - start);
    bool taken = i > start;
    if (i < size && text[i] == separator) {
        ++i;
        taken = true;
        start = i;
        while (i < size && IsDigit(text[i]))
            ++i;
        result.fractionDigits = text.substr(start, i - start);
    }
    if (!taken)
        return std::nullopt;
    if (i < size && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < size && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        // Digits are taken only while the exponent is below 500, so it stays
        // below 5000 and a longer run of digits is left over and fails below.
        std::int32_t exponent = 0;
        while (i < size && IsDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        result.exponent = negativeExponent ? -exponent : exponent;
    }
    while (i < size && text[i] == ' ')
        ++i;
    if (i != size)
        return std::nullopt;
    return result;
}

// The integer and fraction digits of a DecimalText seen as one run of digits.
class DigitRun {
public:
    explicit DigitRun(const DecimalText& text) : head_(text.integerDigits), tail_(text.fractionDigits) {}
    std::size_t size() const { return head_.size() + tail_.size(); }
    char operator[](std::size_t i) const { return i < head_.size() ? head_[i] : tail_[i - head_.size()]; }
    std::size_t FirstNonZero() const
    {
        std::size_t i = 0;
        while (i < size() && (*this)[i] == '0')
            ++i;
        return i;
    }

private:
    std::string_view head_;
    std::string_view tail_;
};

// strtold under the fixed "C" locale: the text we hand it carries no decimal
// point, and the user's locale must not change how it is read.
long double StrToLongDouble(const std::string& text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    if (cLocale != static_cast<locale_t>(0))
        return strtold_l(text.c_str(), &end, cLocale);
    return std::strtold(text.c_str(), &end);
}

// Beyond this many significant digits only whether more non-zero digits follow
// matters: every value that rounding to 64-bit-mantissa extended precision can
// land on or halfway between has at most about 11,520 significant digits (the
// halfway points between the smallest subnormals, odd multiples of 2^-16446).
// Cutting a longer digit run there and putting a single 1 behind it keeps the
// number strictly between the same two such values, so it rounds the same.
constexpr std::size_t kSignificantDigitsKept = 12000;
static_assert(std::numeric_limits<long double>::digits <= 64,
              "kSignificantDigitsKept covers mantissas of up to 64 bits");

bool IsLeapYear(std::int64_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(std::int64_t year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays[month - 1];
}

// A number inside a short date and how many digit characters it was written with.
struct DateNumber {
    int value = 0;
    std::size_t width = 0;
};

void SkipBlanks(std::string_view text, std::size_t& i)
{
    while (i < text.size() && text[i] == ' ')
        ++i;
}

// Blanks, then digits, each taken only while the number is below 1000 (so the
// number never exceeds 9999); at least one digit.
std::optional<DateNumber> ScanDateNumber(std::string_view text, std::size_t& i)
{
    SkipBlanks(text, i);
    DateNumber number;
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]) && number.value < 1000) {
        number.value = number.value * 10 + (text[i] - '0');
        ++i;
    }
    number.width = i - start;
    if (number.width == 0)
        return std::nullopt;
    return number;
}

// Blanks, then `ch`; true (and `ch` taken) when it is there.
bool ScanDateChar(std::string_view text, std::size_t& i, char ch)
{
    SkipBlanks(text, i);
    if (i < text.size() && text[i] == ch) {
        ++i;
        return true;
    }
    return false;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

DateOrder DateOrderFromFormat(std::string_view shortDateFormat)
{
    for (char c : shortDateFormat) {
        switch (c) {
        case 'D':
        case 'd':
            return DateOrder::DayMonthYear;
        case 'M':
        case 'm':
            return DateOrder::MonthDayYear;
        case 'Y':
        case 'y':
        case 'E':
        case 'e':
            return DateOrder::YearMonthDay;
        default:
            break;
        }
    }
    return DateOrder::MonthDayYear;
}

// --- Amounts and numbers ---------------------------------------------------

void NormalizeCurrency(std::string& value, char typeCode)
{
    RemoveChars(value, typeCode == 'c' ? kSignsSeparatorsAndMinus : kSignsAndSeparators);
    ZeroWhenBlank(value);
}

void NormalizeWholeNumber(std::string& value, const RegionalSettings& settings)
{
    RemoveChars(value, kPlusAndSeparator);
    ZeroWhenBlank(value);
    const auto number = ReadDecimal(value, settings);
    if (!number)
        return;
    const double whole = static_cast<double>(*number);
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0) || whole != std::trunc(whole))
        return;
    // The cast also turns a negative zero into "0".
    value = std::to_string(static_cast<std::int64_t>(whole));
}

void NormalizeFloat(std::string& value)
{
    RemoveChars(value, kSignsAndSeparators);
    ZeroWhenBlank(value);
}

std::optional<std::int32_t> ReadInteger(std::string_view text)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hexadecimal = false;
    if (i < size && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hexadecimal = true;
        ++i;
    } else if (i + 1 < size && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hexadecimal = true;
        i += 2;
    }
    const std::size_t start = i;
    if (hexadecimal) {
        std::uint64_t bits = 0;
        for (; i < size && HexDigitValue(text[i]) >= 0; ++i) {
            bits = bits * 16 + static_cast<std::uint64_t>(HexDigitValue(text[i]));
            if (bits > 0xFFFFFFFFu)
                return std::nullopt;
        }
        if (i == start || i != size)
            return std::nullopt;
        // The 32-bit pattern is the number; a minus sign negates it modulo 2^32.
        auto pattern = static_cast<std::uint32_t>(bits);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    std::int64_t number = 0;
    for (; i < size && IsDigit(text[i]); ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > 2147483648LL)
            return std::nullopt;
    }
    if (i == start || i != size)
        return std::nullopt;
    if (negative)
        number = -number;
    if (number > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

// The significant digits (at most kSignificantDigitsKept of them, and a 1
// behind them when more were cut) and the power of ten that scales them are
// written as "<digits>e<power>" and converted by strtold, which rounds that
// exact decimal value correctly to nearest. Values far outside the format's
// range are settled before, so the text stays short whatever the input.
std::optional<long double> ReadDecimal(std::string_view text, const RegionalSettings& settings)
{
    const auto parsed = ParseDecimalText(text, settings.decimalSeparator);
    if (!parsed)
        return std::nullopt;
    const long double zero = parsed->negative ? -0.0L : 0.0L;
    const DigitRun digits(*parsed);
    const std::size_t first = digits.FirstNonZero();
    if (first == digits.size())
        return zero;
    std::size_t end = digits.size();
    while (digits[end - 1] == '0')
        --end;
    const std::size_t count = end - first;
    std::int64_t power = static_cast<std::int64_t>(parsed->exponent) -
                         static_cast<std::int64_t>(parsed->fractionDigits.size()) +
                         static_cast<std::int64_t>(digits.size() - end);
    // The value lies in [10^(magnitude - 1), 10^magnitude).
    const std::int64_t magnitude = power + static_cast<std::int64_t>(count);
    if (magnitude - 1 > std::numeric_limits<long double>::max_exponent10 + 1)
        return std::nullopt;
    if (magnitude < std::numeric_limits<long double>::min_exponent10 - 64)
        return zero;

    std::string canonical;
    const std::size_t kept = std::min(count, kSignificantDigitsKept);
    canonical.reserve(kept + 24);
    for (std::size_t k = 0; k < kept; ++k)
        canonical += digits[first + k];
    if (kept < count) {
        // The cut digits end in a non-zero one (trailing zeros were set aside).
        canonical += '1';
        power += static_cast<std::int64_t>(count - kept) - 1;
    }
    canonical += 'e';
    canonical += std::to_string(power);
    const long double magnitudeValue = StrToLongDouble(canonical);
    if (std::isinf(magnitudeValue))
        return std::nullopt;
    return parsed->negative ? -magnitudeValue : magnitudeValue;
}

std::optional<std::int64_t> ReadPlainAmount(std::string_view text, char separator)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    std::int64_t amount = 0;
    for (; i < size && i < 15 && IsDigit(text[i]); ++i)
        amount = amount * 10 + (text[i] - '0');
    if (i == 0 || i == 15)
        return std::nullopt;
    std::size_t fractionDigits = 0;
    if (i < size && text[i] == separator) {
        // A fifth fraction digit is no plain amount; taking it into the
        // amount could overflow 64 bits behind 14 integer digits.
        for (++i; i < size && IsDigit(text[i]); ++i, ++fractionDigits) {
            if (fractionDigits == 4)
                return std::nullopt;
            amount = amount * 10 + (text[i] - '0');
        }
    }
    if (i != size)
        return std::nullopt;
    for (; fractionDigits < 4; ++fractionDigits)
        amount *= 10;
    return amount;
}

// Digit arithmetic on the text: the amount in ten-thousandths is the digit run
// shifted by (exponent - fraction digits + 4) places; its integer part has at
// most 19 digits and fits an unsigned 64-bit integer, and the dropped digits
// decide the rounding (above half up, below half down, an exact half to even).
std::optional<std::int64_t> ReadCurrency(std::string_view text, const RegionalSettings& settings)
{
    if (const auto amount = ReadPlainAmount(text, settings.decimalSeparator))
        return amount;
    const auto parsed = ParseDecimalText(text, settings.decimalSeparator);
    if (!parsed)
        return std::nullopt;
    // The common amount, a few digits with at most four behind the separator
    // and no exponent, is exact in ten-thousandths: no rounding, no overflow.
    if (parsed->exponent == 0 && parsed->integerDigits.size() <= 14 && parsed->fractionDigits.size() <= 4) {
        std::int64_t amount = 0;
        for (const char c : parsed->integerDigits)
            amount = amount * 10 + (c - '0');
        for (const char c : parsed->fractionDigits)
            amount = amount * 10 + (c - '0');
        for (std::size_t k = parsed->fractionDigits.size(); k < 4; ++k)
            amount *= 10;
        return parsed->negative ? -amount : amount;
    }
    const DigitRun digits(*parsed);
    const std::size_t first = digits.FirstNonZero();
    if (first == digits.size())
        return 0;
    const auto count = static_cast<std::int64_t>(digits.size() - first);
    const std::int64_t shift = static_cast<std::int64_t>(parsed->exponent) -
                               static_cast<std::int64_t>(parsed->fractionDigits.size()) + 4;
    // Digits before the point of the scaled amount, positions past the run being zeros.
    const std::int64_t wholeDigits = count + shift;
    if (wholeDigits > 19)
        return std::nullopt;
    auto digitAt = [&](std::int64_t k) {
        return k < count ? digits[first + static_cast<std::size_t>(k)] - '0' : 0;
    };
    std::uint64_t whole = 0;
    for (std::int64_t k = 0; k < wholeDigits; ++k)
        whole = whole * 10 + static_cast<std::uint64_t>(digitAt(k));
    // With wholeDigits < 0 the amount is below 0.1 and rounds down.
    int roundingDigit = 0;
    bool moreAfter = false;
    if (wholeDigits >= 0 && wholeDigits < count) {
        roundingDigit = digitAt(wholeDigits);
        for (std::int64_t k = wholeDigits + 1; k < count && !moreAfter; ++k)
            moreAfter = digitAt(k) != 0;
    }
    if (roundingDigit > 5 || (roundingDigit == 5 && (moreAfter || whole % 2 == 1)))
        ++whole;
    constexpr std::uint64_t kMostNegative = 9223372036854775808ULL;
    if (parsed->negative) {
        if (whole > kMostNegative)
            return std::nullopt;
        if (whole == kMostNegative)
            return std::numeric_limits<std::int64_t>::min();
        return -static_cast<std::int64_t>(whole);
    }
    if (whole > kMostNegative - 1)
        return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

// --- Taxpayer identifiers -------------------------------------------------

namespace {

// XXX-XX-XXXX with non-digits at positions 4 and 7: the separators go. An
// identifier with a digit there is no such form and is kept for rejection.
bool IsSsnForm(std::string_view value)
{
    return value.size() == 11 && !IsDigit(value[3]) && !IsDigit(value[6]);
}

// XX-XXXXXXX with a non-digit at position 3.
bool IsEinForm(std::string_view value)
{
    return value.size() == 10 && !IsDigit(value[2]);
}

std::string WithoutSsnSeparators(std::string_view value)
{
    return LeftPart(value, 3) + MidPart(value, 5, 2) + RightPart(value, 4);
}

} // namespace

void NormalizeSsn(std::string& value)
{
    if (IsSsnForm(value))
        value = WithoutSsnSeparators(value);
}

void NormalizeTin(std::string& value, std::string& tinType)
{
    tinType.clear();
    if (value.empty()) {
        tinType = "N/A";
    } else if (IsEinForm(value)) {
        value = LeftPart(value, 2) + RightPart(value, 7);
        tinType = "EIN";
    } else if (IsSsnForm(value)) {
        value = WithoutSsnSeparators(value);
        tinType = "SSN";
    }
}

void NormalizeTinType(std::string& value)
{
    if (value.empty())
        value = "N/A";
    else if (value == "1")
        value = "EIN";
    else if (value == "2")
        value = "SSN";
}

bool IsAllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// --- Years and dates -------------------------------------------------------

void NormalizeYear(std::string& value)
{
    if (value.size() != 2 && value.size() != 4) {
        value.clear();
        return;
    }
    const auto number = ReadInteger(value);
    if (!number) {
        value.clear();
        return;
    }
    std::int32_t year = *number;
    if (year < 0)
        return;
    if (year < 50)
        year += 2000;
    if (year < 100)
        year += 1900;
    value = std::to_string(year);
}

void NormalizeDate(std::string& value, const RegionalSettings& settings, int currentYear)
{
    if (value.empty())
        return;
    if (value.find('/') == std::string::npos) {
        // MMDDYY or MMDDYYYY without separators: cut into MM/DD/YY(YY) unexamined.
        value = ZeroPad(value.size() > 6 ? 8 : 6, value);
        const std::string year = value.size() == 6 ? RightPart(value, 2) : RightPart(value, 4);
        value = LeftPart(value, 2) + "/" + MidPart(value, 3, 2) + "/" + year;
    }
    const auto date = ReadShortDate(value, settings, currentYear);
    if (!date) {
        value.clear();
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%04d", date->month, date->day, date->year);
    value = text;
}

std::optional<CalendarDate> ReadShortDate(std::string_view text, const RegionalSettings& settings,
                                          int currentYear)
{
    const char separator = settings.dateSeparator;
    std::size_t i = 0;
    const auto n1 = ScanDateNumber(text, i);
    if (!n1 || !ScanDateChar(text, i, separator))
        return std::nullopt;
    const auto n2 = ScanDateNumber(text, i);
    if (!n2)
        return std::nullopt;

    std::int64_t year = currentYear;
    int month = 0;
    int day = 0;
    if (ScanDateChar(text, i, separator)) {
        const auto n3 = ScanDateNumber(text, i);
        if (!n3)
            return std::nullopt;
        DateNumber yearNumber;
        switch (settings.dateOrder) {
        case DateOrder::MonthDayYear:
            month = n1->value, day = n2->value, yearNumber = *n3;
            break;
        case DateOrder::DayMonthYear:
            day = n1->value, month = n2->value, yearNumber = *n3;
            break;
        case DateOrder::YearMonthDay:
            yearNumber = *n1, month = n2->value, day = n3->value;
            break;
        }
        year = yearNumber.value;
        if (yearNumber.width <= 2) {
            // The century that puts the year within the 100 years that start
            // 50 years before the current one.
            const std::int64_t base = static_cast<std::int64_t>(currentYear) - 50;
            year += FloorDiv(base, 100) * 100;
            if (year < base)
                year += 100;
        }
    } else if (settings.dateOrder == DateOrder::DayMonthYear) {
        day = n1->value, month = n2->value;
    } else {
        month = n1->value, day = n2->value;
    }

    ScanDateChar(text, i, separator);
    SkipBlanks(text, i);
    if (i != text.size())
        return std::nullopt;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return CalendarDate{static_cast<int>(year), month, day};
}

// --- Indicators -------------------------------------------------------------

void NormalizeIndicator(std::string& value)
{
    static constexpr std::string_view kFalse[] = {"NULL", "0", "N", "F", "FALSE", "NO"};
    static constexpr std::string_view kTrue[] = {"1", "Y", "T", "TRUE", "YES"};
    for (char& c : value)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    const std::string_view upper(value);
    if (std::find(std::begin(kFalse), std::end(kFalse), upper) != std::end(kFalse))
        value.clear();
    else if (std::find(std::begin(kTrue), std::end(kTrue), upper) != std::end(kTrue))
        value = "X";
}

} // namespace ov
