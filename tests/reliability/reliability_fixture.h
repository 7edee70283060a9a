// The frame of every end-to-end reliability test: a data folder for extracts,
// a configuration folder that stands for the user's registry, a scratch folder
// for the runs' output, and the checks that say nothing was lost.
#pragma once

#include "../platform/test_folder.h"
#include "ovdm_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace reliability {

namespace fs = std::filesystem;

// True in a build with AddressSanitizer, where gigabyte inputs take minutes.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// The 1099-NEC KEY with fields 1 (Name line 1, "$"), 8 (USPS Delivery Point,
// "u") and 17 (Nonemployee compensation, "c") supplied.
inline const std::string kNecHead = "FORM 1099-NEC\r\nKEY 028" "1000000100000000100000000000" "\r\n";

// A 1099-NEC extract of `records` records named by `name` and their number.
inline std::string NecExtract(std::uint64_t records, const std::string& name = "PAYEE",
                              const std::string& lineEnd = "\r\n")
{
    std::string text = "FORM 1099-NEC" + lineEnd + "KEY 028" "1000000100000000100000000000" + lineEnd +
                       "{BEGIN DATA}" + lineEnd;
    for (std::uint64_t i = 0; i < records; ++i)
        text += name + " " + std::to_string(i) + lineEnd + "7" + lineEnd + "$950.50" + lineEnd;
    return text + "{END DATA}" + lineEnd;
}

// Writes a large file piece by piece: `piece(i)` for i from 0 until it returns false.
inline void WriteLarge(const std::string& path, const std::function<bool(std::uint64_t, std::string&)>& piece)
{
    std::ofstream out(path, std::ios::binary);
    std::string bytes;
    for (std::uint64_t i = 0;; ++i) {
        bytes.clear();
        if (!piece(i, bytes))
            break;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    ASSERT_TRUE(out) << "cannot write " << path;
}

// Every name below `folder` with its size and, for links, its target, sorted:
// two equal listings mean nothing was added, removed, resized or relinked.
inline std::string TreeListing(const fs::path& folder)
{
    std::set<std::string> entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path& p = it->path();
        std::string entry = fs::relative(p, folder, ec).string();
        if (it->is_symlink(ec))
            entry += " -> " + fs::read_symlink(p, ec).string();
        else if (it->is_regular_file(ec))
            entry += " " + std::to_string(it->file_size(ec));
        else if (it->is_directory(ec))
            entry += "/";
        entries.insert(entry);
    }
    std::string listing;
    for (const std::string& e : entries)
        listing += e + "\n";
    return listing;
}

class ReliabilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The user nobody must reach the folders that a test opens to it.
        ::chmod(root.path().c_str(), 0755);
        data = Folder("data", 0755);
        config = Folder("config", 0755);
    }

    std::string Folder(const std::string& name, mode_t mode)
    {
        const std::string path = root / name;
        fs::create_directories(path);
        ::chmod(path.c_str(), mode);
        return path;
    }

    std::string RegistryFile() const { return config + "/ORVANE/registry.ini"; }

    // A registry file that holds other keys besides the module's value.
    std::string SeedRegistry(const std::string& text = kOtherSections)
    {
        fs::create_directories(config + "/ORVANE");
        WriteFile(RegistryFile(), text);
        return text;
    }

    OvdmRun Convert(const std::string& extract) const
    {
        OvdmRun run;
        run.args = {"convert", "--", extract};
        run.configHome = config;
        return run;
    }

    // A run of its own, with its output files under the scratch folder.
    OvdmResult Run(const OvdmRun& run, std::chrono::seconds limit = std::chrono::seconds(300))
    {
        return RunOvdm(run, scratch / ("run" + std::to_string(++runs_)), limit);
    }
    std::string NextOutputStem() { return scratch / ("run" + std::to_string(++runs_)); }

    // The import file that a clean run makes of `extractBytes`.
    std::string ReferenceImport(const std::string& extractBytes, const std::string& name = "extract.txt")
    {
        const std::string folder = Folder("reference" + std::to_string(++references_), 0755);
        WriteFile(folder + "/" + name, extractBytes);
        OvdmRun run;
        run.args = {"convert", "--", folder + "/" + name};
        run.configHome = Folder("reference-config" + std::to_string(references_), 0755);
        const OvdmResult r = Run(run);
        EXPECT_EQ(r.exitCode, 0) << Describe(r);
        const std::string import = ReadFile(folder + "/2021DM_" + name);
        fs::remove_all(folder);
        return import;
    }

    static inline const std::string kOtherSections =
        "[Keep]\nKept=1\n\n[Import\\OV2021]\nTextDirectory=/earlier/\nOther=x\n\n[Import\\OV2020]\n"
        "TextDirectory=/last year/\n";

    TestFolder root;
    TestFolder scratch;
    std::string data;
    std::string config;

private:
    int runs_ = 0;
    int references_ = 0;
};

} // namespace reliability
