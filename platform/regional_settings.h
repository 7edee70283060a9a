// The user's regional settings as the C library's locale data gives them.
#pragma once

#include "checks/value_checks.h"

#include <string>
#include <string_view>

namespace ov {

// Reads the decimal separator, the date separator and the date order of the
// user's locale (LC_ALL, then LC_NUMERIC or LC_TIME, then LANG) without
// changing the process's global locale. Falls back to ".", "/" and
// month-day-year where the locale offers none or cannot be loaded.
RegionalSettings ReadRegionalSettings();

// The locale name the C library takes for one category: lcAll when set and
// not empty, else the category's own variable, else lang, else "C". Null
// pointers count as unset.
std::string ResolveLocaleName(const char* lcAll, const char* category, const char* lang);

// The settings of the named locales: the decimal separator from the numeric
// one, the date separator and order from the time one's short date format.
// A name that cannot be loaded gives the defaults for its part.
RegionalSettings ReadRegionalSettingsFor(const std::string& numericLocale, const std::string& timeLocale);

// A strftime short date format ("%d.%m.%Y") as a date pattern of letters
// ("d.M.y"): %d and %e give "d"; %m, %b, %B and %h give "M"; %y, %Y, %C, %G
// and %g give "y"; %D and %F stand for "%m/%d/%y" and "%Y-%m-%d". Weekday and
// other conversions and literal letters are dropped; other literal characters
// are kept.
std::string DatePatternFromStrftime(std::string_view format);

// The date separator of a date pattern: the first character after the first
// date letter and any blanks, when it is printable ASCII punctuation;
// otherwise (a letter, a blank-only gap, a byte of a multi-byte character, no
// second part) "/".
char DateSeparatorFromPattern(std::string_view pattern);

} // namespace ov
