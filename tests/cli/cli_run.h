// Running ovdm in-process, with a fixed current year and the registry value
// caught instead of written.
#pragma once

#include "cli/cli.h"

#include <sstream>
#include <string>
#include <vector>

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

struct CliRunner {
    std::vector<std::string> recordedFolders;

    ov::CliEnvironment Environment()
    {
        ov::CliEnvironment env;
        env.settings.currentYear = 2022;
        env.recordImportFolder = [this](const std::string& folder) { recordedFolders.push_back(folder); };
        return env;
    }

    CliResult Run(const std::vector<std::string>& args) { return Run(args, Environment()); }

    CliResult Run(const std::vector<std::string>& args, const ov::CliEnvironment& env)
    {
        std::vector<const char*> argv{"ovdm"};
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        std::ostringstream out, err;
        CliResult r;
        r.status = ov::RunCli(static_cast<int>(argv.size()), argv.data(), out, err, env);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
};

inline std::string Joined(const std::vector<std::string>& args)
{
    std::string s = "ovdm";
    for (const std::string& a : args)
        s += " [" + a + "]";
    return s;
}
