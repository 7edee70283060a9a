// Every normaliser over any bytes, under the default regional settings and
// under comma / point / day-month-year ones. Each result must stay within what
// its rule allows: only the named characters removed, a bounded length, a
// fixed set of words, and a date or number that reads back the same.
#include "checks/text_primitives.h"
#include "checks/value_checks.h"
#include "fuzz/fuzz_util.h"

#include <algorithm>
#include <cstdio>
#include <string>

using ov::fuzz::Require;

namespace {

constexpr int kCurrentYear = 2022;

bool IsBlankText(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

std::string Without(std::string_view s, std::string_view unwanted)
{
    std::string out;
    for (char c : s) {
        if (unwanted.find(c) == std::string_view::npos)
            out += c;
    }
    return out;
}

bool IsAllDigitsOfLength(std::string_view s, std::size_t length)
{
    return s.size() == length && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Currency "C" and "c" and the floating-point normaliser: the named characters
// go, a blank result becomes "0", nothing else changes; once is enough.
void CheckRemovingNormaliser(std::string_view input, std::string_view unwanted, void (*normalise)(std::string&),
                             const char* name)
{
    std::string value(input);
    normalise(value);
    std::string expected = Without(input, unwanted);
    if (IsBlankText(expected))
        expected = "0";
    Require(value == expected, name, input, "gave \"" + ov::fuzz::Printable(value) + "\"");
    std::string again = value;
    normalise(again);
    Require(again == value, name, input, "a second pass changed the value");
}

void CheckWholeNumber(std::string_view input, const ov::RegionalSettings& settings)
{
    std::string value(input);
    ov::NormalizeWholeNumber(value, settings);
    std::string stripped = Without(input, "+,");
    if (IsBlankText(stripped))
        stripped = "0";
    if (value != stripped) {
        // Rewritten: only ever as the plain decimal integer that the text reads as.
        const auto integer = ov::ReadInteger(value);
        const auto number = ov::ReadDecimal(stripped, settings);
        Require(integer && value == std::to_string(*integer) && number &&
                    static_cast<double>(*number) == static_cast<double>(*integer),
                "NormalizeWholeNumber rewrites only a whole number, as that number", input,
                "gave \"" + ov::fuzz::Printable(value) + "\"");
    }
    Require(value.size() <= std::max<std::size_t>(stripped.size(), 11),
            "NormalizeWholeNumber grows a value to 11 characters at most", input);
    std::string again = value;
    ov::NormalizeWholeNumber(again, settings);
    Require(again == value, "NormalizeWholeNumber: a second pass changes nothing", input);
}

void CheckIdentifiers(std::string_view input)
{
    std::string ssn(input);
    ov::NormalizeSsn(ssn);
    Require(ssn == input || (input.size() == 11 && ssn.size() == 9 &&
                             ssn == std::string(input.substr(0, 3)) + std::string(input.substr(4, 2)) +
                                        std::string(input.substr(7, 4))),
            "NormalizeSsn only drops characters 4 and 7 of 11", input);

    std::string tin(input);
    std::string tinType = "stale";
    ov::NormalizeTin(tin, tinType);
    if (tinType == "N/A")
        Require(input.empty() && tin.empty(), "NormalizeTin: N/A only for an empty TIN", input);
    else if (tinType == "EIN")
        Require(input.size() == 10 && tin == std::string(input.substr(0, 2)) + std::string(input.substr(3)),
                "NormalizeTin: EIN only for 10 characters, the third dropped", input);
    else if (tinType == "SSN")
        Require(input.size() == 11 && tin.size() == 9, "NormalizeTin: SSN only for 11 characters made 9", input);
    else
        Require(tinType.empty() && tin == input && !input.empty(),
                "NormalizeTin: any other value is kept and its type left empty", input, "type " + tinType);

    std::string tinTypeValue(input);
    ov::NormalizeTinType(tinTypeValue);
    Require(tinTypeValue == input || tinTypeValue == "N/A" || tinTypeValue == "EIN" || tinTypeValue == "SSN",
            "NormalizeTinType gives a word or keeps the value", input);
}

void CheckYear(std::string_view input)
{
    std::string value(input);
    ov::NormalizeYear(value);
    if (value.empty())
        return;
    Require(input.size() == 2 || input.size() == 4, "NormalizeYear keeps only 2- or 4-character values", input);
    const auto read = ov::ReadInteger(input);
    Require(read.has_value(), "NormalizeYear keeps only values ReadInteger reads", input);
    if (*read < 0) {
        Require(value == input, "NormalizeYear keeps a negative year as written", input);
        return;
    }
    const auto year = ov::ReadInteger(value);
    Require(year && value == std::to_string(*year) && *year >= 100 && *year <= 9999 &&
                (*year == *read || *year == *read + 2000 || *year == *read + 1900),
            "NormalizeYear writes a year of 100 to 9999 in plain decimal", input,
            "gave \"" + ov::fuzz::Printable(value) + "\"");
}

void CheckDate(std::string_view input, const ov::RegionalSettings& settings)
{
    std::string value(input);
    ov::NormalizeDate(value, settings, kCurrentYear);
    if (value.empty())
        return;
    Require(IsAllDigitsOfLength(value, 8), "NormalizeDate gives 8 digits or nothing", input,
            "gave \"" + ov::fuzz::Printable(value) + "\"");
    const std::string mm = value.substr(0, 2);
    const std::string dd = value.substr(2, 2);
    const std::string yyyy = value.substr(4, 4);
    const char s = settings.dateSeparator;
    std::string written;
    switch (settings.dateOrder) {
    case ov::DateOrder::MonthDayYear:
        written = mm + s + dd + s + yyyy;
        break;
    case ov::DateOrder::DayMonthYear:
        written = dd + s + mm + s + yyyy;
        break;
    case ov::DateOrder::YearMonthDay:
        written = yyyy + s + mm + s + dd;
        break;
    }
    const auto date = ov::ReadShortDate(written, settings, kCurrentYear);
    Require(date && date->month == std::stoi(mm) && date->day == std::stoi(dd) && date->year == std::stoi(yyyy),
            "the 8 digits of NormalizeDate read back as the same date", input, written);
    if (s == '/' && settings.dateOrder == ov::DateOrder::MonthDayYear) {
        std::string again = value;
        ov::NormalizeDate(again, settings, kCurrentYear);
        Require(again == value, "NormalizeDate: a second pass changes nothing", input);
    }
}

void CheckIndicator(std::string_view input)
{
    std::string value(input);
    ov::NormalizeIndicator(value);
    if (value.empty() || value == "X")
        return;
    Require(value == ov::UpperCaseAscii(input) && value.size() == input.size(),
            "NormalizeIndicator gives X, nothing, or the value upper-cased", input);
    for (const char* word : {"NULL", "0", "N", "F", "FALSE", "NO", "1", "Y", "T", "TRUE", "YES"})
        Require(value != word, "NormalizeIndicator maps every word it knows", input);
}

void NormaliseCurrencyC(std::string& value)
{
    ov::NormalizeCurrency(value, 'C');
}

void NormaliseCurrencyLowerC(std::string& value)
{
    ov::NormalizeCurrency(value, 'c');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = ov::fuzz::AsText(data, size);
    CheckRemovingNormaliser(input, "$+,", NormaliseCurrencyC, "NormalizeCurrency C removes $ + , only");
    CheckRemovingNormaliser(input, "$+,-", NormaliseCurrencyLowerC, "NormalizeCurrency c removes $ + , - only");
    CheckRemovingNormaliser(input, "$+,", ov::NormalizeFloat, "NormalizeFloat removes $ + , only");
    CheckIdentifiers(input);
    CheckYear(input);
    CheckIndicator(input);
    const ov::RegionalSettings us{};
    const ov::RegionalSettings german{',', '.', ov::DateOrder::DayMonthYear};
    const ov::RegionalSettings iso{'.', '-', ov::DateOrder::YearMonthDay};
    for (const auto* settings : {&us, &german, &iso}) {
        CheckWholeNumber(input, *settings);
        CheckDate(input, *settings);
    }
    return 0;
}
