#include "platform/regional_settings.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace ov {

namespace {

bool IsSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Printable ASCII other than blank, letters and digits.
bool IsAsciiPunctuation(char c)
{
    return c > ' ' && c < 127 && !IsAsciiLetter(c) && !IsAsciiDigit(c);
}

bool IsDateLetter(char c)
{
    return c == 'd' || c == 'M' || c == 'y';
}

// One loaded locale object, freed when it goes out of scope.
class LocaleObject {
public:
    LocaleObject(int categoryMask, const std::string& name)
        : locale_(newlocale(categoryMask, name.c_str(), static_cast<locale_t>(0)))
    {
    }
    ~LocaleObject()
    {
        if (loaded())
            freelocale(locale_);
    }
    LocaleObject(const LocaleObject&) = delete;
    LocaleObject& operator=(const LocaleObject&) = delete;

    bool loaded() const { return locale_ != static_cast<locale_t>(0); }
    // The item copied, so it outlives the locale object.
    std::string Item(nl_item item) const
    {
        const char* text = nl_langinfo_l(item, locale_);
        return text != nullptr ? std::string(text) : std::string();
    }

private:
    locale_t locale_;
};

} // namespace

std::string ResolveLocaleName(const char* lcAll, const char* category, const char* lang)
{
    if (IsSet(lcAll))
        return lcAll;
    if (IsSet(category))
        return category;
    if (IsSet(lang))
        return lang;
    return "C";
}

std::string DatePatternFromStrftime(std::string_view format)
{
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            if (!IsAsciiLetter(c))
                pattern += c;
            continue;
        }
        // Flags, a field width and the E or O modifier may stand between the
        // "%" and the conversion ("%-d", "%Ey").
        ++i;
        while (i < format.size() && (format[i] == '_' || format[i] == '-' || format[i] == '0' ||
                                     format[i] == '^' || format[i] == '#'))
            ++i;
        while (i < format.size() && IsAsciiDigit(format[i]))
            ++i;
        if (i < format.size() && (format[i] == 'E' || format[i] == 'O'))
            ++i;
        if (i >= format.size())
            break;
        switch (format[i]) {
        case 'd':
        case 'e':
            pattern += 'd';
            break;
        case 'm':
        case 'b':
        case 'B':
        case 'h':
            pattern += 'M';
            break;
        case 'y':
        case 'Y':
        case 'C':
        case 'G':
        case 'g':
            pattern += 'y';
            break;
        case 'D':
            pattern += "M/d/y";
            break;
        case 'F':
            pattern += "y-M-d";
            break;
        case '%':
            pattern += '%';
            break;
        default:
            break;
        }
    }
    return pattern;
}

char DateSeparatorFromPattern(std::string_view pattern)
{
    std::size_t i = 0;
    while (i < pattern.size() && !IsDateLetter(pattern[i]))
        ++i;
    while (i < pattern.size() && IsDateLetter(pattern[i]))
        ++i;
    while (i < pattern.size() && pattern[i] == ' ')
        ++i;
    // The readings take a single byte; a separator that is a blank, a letter or
    // part of a multi-byte character ("%Y年%m月") cannot serve, and "/" is the
    // one that dates are most often written with.
    if (i < pattern.size() && IsAsciiPunctuation(pattern[i]))
        return pattern[i];
    return '/';
}

RegionalSettings ReadRegionalSettingsFor(const std::string& numericLocale, const std::string& timeLocale)
{
    RegionalSettings settings;
    const LocaleObject numeric(LC_NUMERIC_MASK, numericLocale);
    if (numeric.loaded()) {
        // A radix of more than one byte cannot be matched byte by byte; "."
        // stays then.
        const std::string radix = numeric.Item(RADIXCHAR);
        if (radix.size() == 1 && IsAsciiPunctuation(radix[0]))
            settings.decimalSeparator = radix[0];
    }
    const LocaleObject time(LC_TIME_MASK, timeLocale);
    if (time.loaded()) {
        const std::string format = time.Item(D_FMT);
        const std::string pattern = DatePatternFromStrftime(format);
        if (!pattern.empty()) {
            settings.dateSeparator = DateSeparatorFromPattern(pattern);
            settings.dateOrder = DateOrderFromFormat(pattern);
        }
    }
    return settings;
}

RegionalSettings ReadRegionalSettings()
{
    const char* lcAll = std::getenv("LC_ALL");
    const char* lang = std::getenv("LANG");
    return ReadRegionalSettingsFor(ResolveLocaleName(lcAll, std::getenv("LC_NUMERIC"), lang),
                                   ResolveLocaleName(lcAll, std::getenv("LC_TIME"), lang));
}

} // namespace ov
