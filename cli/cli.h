// The command-line tool ovdm, as a library that main() and the tests call.
#pragma once

#include "extract/verification.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace ov {

// What a run takes from the system, passed in so tests can fix it.
struct CliEnvironment {
    VerifySettings settings;
    // Records the folder of a written import file for Orvane; when empty, the
    // current user's registry value "TextDirectory" is written. Throws
    // PlatformError when it cannot be recorded.
    std::function<void(const std::string& folder)> recordImportFolder;
};

// The user's regional settings and the local clock's year; the registry.
CliEnvironment SystemCliEnvironment();

// Runs ovdm with `argv` (argv[0] is the program). Writes results to `out`,
// messages to `err`; returns the exit status: 0 success, 1 a failed check,
// 2 a usage error or an extract that cannot be read, 3 output not written.
int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err,
           const CliEnvironment& env);

} // namespace ov
