// ovdm convert and ovdm check: a verification run from the command line.
#pragma once

#include "cli/cli.h"

#include <iosfwd>
#include <string>

namespace ov {

struct ExtractCommandOptions {
    std::string extractFile;
    bool convert = false; // write the import file (convert) or only verify (check)
    bool allFaults = false; // check --all: go on past bad values
    bool json = false;
};

// Returns the exit status as RunCli does.
int RunExtractCommand(const ExtractCommandOptions& options, std::ostream& out, std::ostream& err,
                      const CliEnvironment& env);

// A text for JSON: kept when it is valid UTF-8, otherwise each byte taken as
// the character of the same code (ISO 8859-1), so no byte is lost.
std::string JsonText(std::string_view bytes);

} // namespace ov
