// Every extract in data/ goes through the three stages; NAME.import holds the
// import file's bytes it must give, NAME.message the message it must fail
// with ("{EXTRACT}" standing for the extract's path).
#include "extract/verification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// The import file's bytes, or the message of the error that ended the run.
std::string Convert(const std::string& path, std::size_t chunk, int workers, bool& failed)
{
    ov::VerifySettings settings;
    settings.currentYear = 2022;
    settings.workerThreads = workers;
    ov::ImportLineList lines;
    failed = false;
    try {
        ov::VerificationRun run = ov::VerificationRun::LoadFile(path, chunk);
        run.ReadFormSegment();
        run.ReadKeySegment();
        run.VerifyDataBlock(settings, lines);
    } catch (const ov::ExtractError& e) {
        failed = true;
        return e.what();
    }
    std::string bytes;
    for (const std::string& line : lines.lines)
        bytes += line + "\r\n";
    return bytes;
}

TEST(GoldenExtracts, GiveTheirImportFileOrMessage)
{
    std::vector<fs::path> extracts;
    for (const auto& entry : fs::directory_iterator(OV_EXTRACT_DATA_DIR))
        if (entry.path().extension() == ".txt")
            extracts.push_back(entry.path());
    std::sort(extracts.begin(), extracts.end());
    ASSERT_GE(extracts.size(), 40u);

    for (const fs::path& extract : extracts) {
        fs::path importFile = extract, messageFile = extract;
        importFile.replace_extension(".import");
        messageFile.replace_extension(".message");
        const bool expectFailure = fs::exists(messageFile);
        ASSERT_NE(expectFailure, fs::exists(importFile)) << extract << " needs exactly one expectation";
        const std::string expected =
            expectFailure ? ReplaceAll(ReadBytes(messageFile), "{EXTRACT}", extract.string()) : ReadBytes(importFile);

        // Whole pieces and tiny ones, on the caller's thread and on workers.
        for (const auto& [chunk, workers] : {std::pair<std::size_t, int>{1 << 20, 0}, {1 << 20, 2}, {3, 0}, {5, 3}}) {
            SCOPED_TRACE(extract.filename().string() + " read in pieces of " + std::to_string(chunk) + ", "
                         + std::to_string(workers) + " workers");
            bool failed = false;
            const std::string got = Convert(extract.string(), chunk, workers, failed);
            EXPECT_EQ(failed, expectFailure);
            EXPECT_EQ(got, expected);
        }
    }
}

} // namespace
