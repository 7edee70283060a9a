// The current user's registry, as far as the module uses it: string values
// below the key "ORVANE". On Windows that is HKEY_CURRENT_USER\ORVANE; on
// other systems an INI file, ${XDG_CONFIG_HOME:-$HOME/.config}/ORVANE/registry.ini,
// in which a key path below "ORVANE" is a section and a value a name=value line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ov {

inline constexpr std::string_view kImportKeyPath = "Import\\OV2021";
inline constexpr std::string_view kTextDirectoryValue = "TextDirectory";

// Writes the string `value` as `name` under `keyPath` below "ORVANE", creating
// the keys when missing and keeping every other key and value. Throws
// PlatformError: CreateKey ("Failed to create key KEYPATH") when the key
// cannot be opened or created, SetData ("Failed to set data for 'NAME'") when
// the value cannot be written.
void WriteUserRegistryString(std::string_view keyPath, std::string_view name, std::string_view value);
// Reads such a value; nullopt when it or its key does not exist or cannot be read.
std::optional<std::string> ReadUserRegistryString(std::string_view keyPath, std::string_view name);

#ifndef _WIN32
// The INI file that stands for the current user's "ORVANE" key; empty when
// neither XDG_CONFIG_HOME (absolute) nor HOME gives a folder.
std::string UserRegistryFile();

// The same operations on a given INI file. Writing takes an exclusive lock on
// "FILE.lock" around reading and replacing the file, and replaces it through a
// temporary file, so concurrent writers lose nothing and readers never see a
// torn file. A value holding CR, LF or NUL cannot be written (SetData).
void WriteIniString(const std::string& iniFile, std::string_view keyPath, std::string_view name,
                    std::string_view value);
std::optional<std::string> ReadIniString(const std::string& iniFile, std::string_view keyPath,
                                         std::string_view name);
#endif

} // namespace ov
