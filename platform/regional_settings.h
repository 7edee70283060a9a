// The user's regional settings as the C library's locale data gives them.
#pragma once

#include "checks/value_checks.h"

namespace ov {

// Reads the decimal separator, the date separator and the date order of the
// user's locale (LC_ALL, then LC_NUMERIC or LC_TIME, then LANG) without
// changing the process's global locale. Falls back to ".", "/" and
// month-day-year where the locale offers none or cannot be loaded.
RegionalSettings ReadRegionalSettings();

} // namespace ov
