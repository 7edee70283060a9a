// Faults around a run that must lose nothing: a full disk under the import
// file or the registry file, folders and names that cannot take the output,
// and a registry file that cannot be written or holds garbage. In every case
// the user is told what failed, and what was there before is still there.
#include "reliability_fixture.h"

#include "platform/registry_store.h"

#include <sys/stat.h>

#include <algorithm>
#include <sstream>

namespace reliability {
namespace {

const std::string kStreamWriteError = "Stream write error.\n";
const std::string kCreateKeyError = "Failed to create key Import\\OV2021.\n";
const std::string kSetDataError = "Failed to set data for 'TextDirectory'\n";

// The import file that stood there before the run.
const std::string kEarlierImport = "earlier import\r\n";

class Faults : public ReliabilityTest {};

// A configuration folder as it stands: its names and the registry file's
// bytes. A lock file beside the registry file is no change of content.
std::string Snapshot(const std::string& home)
{
    if (!fs::is_directory(home))
        return "file: " + ReadFile(home);
    std::string snapshot;
    std::istringstream listing(TreeListing(home));
    for (std::string line; std::getline(listing, line);)
        if (line.find(".lock") == std::string::npos)
            snapshot += line + "\n";
    if (fs::is_regular_file(home + "/ORVANE/registry.ini"))
        snapshot += ReadFile(home + "/ORVANE/registry.ini");
    return snapshot;
}

TEST_F(Faults, AFullDiskWhileWritingTheImportFileKeepsTheEarlierOneAndTheRegistry)
{
    // About 14 MB of import lines: several buffers of the writer.
    const std::string extract = data + "/nec.txt";
    WriteFile(extract, NecExtract(200000));
    const std::string registry = SeedRegistry();
    struct Case {
        const char* what;
        rlim_t limit;
        bool earlierImport;
    } cases[] = {
        {"room for 1 KB: not even the first buffer", 1024, true},
        {"room for 64 KB", 64 * 1024, false},
        {"room for 3 MB: some buffers written", 3 * 1024 * 1024, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string import = data + "/2021DM_nec.txt";
        fs::remove(import);
        if (c.earlierImport)
            WriteFile(import, kEarlierImport);
        const std::string before = TreeListing(data);
        OvdmRun run = Convert(extract);
        run.fileSizeLimit = c.limit;
        const OvdmResult r = Run(run);
        EXPECT_EQ(r.exitCode, 3) << Describe(r);
        EXPECT_EQ(r.err, kStreamWriteError);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(TreeListing(data), before) << "a partial or temporary file was left";
        if (c.earlierImport) {
            EXPECT_EQ(ReadFile(import), kEarlierImport);
        }
        EXPECT_EQ(ReadFile(RegistryFile()), registry);
    }
}

TEST_F(Faults, AFullDiskWhileWritingTheRegistryKeepsItsOtherSections)
{
    // Other keys of 40 KB, so that the rewritten registry file outgrows the
    // 16 KB limit while the import file of one record fits it.
    std::string others = kOtherSections;
    for (int i = 0; others.size() < 40 * 1024; ++i)
        others += "[Other\\" + std::to_string(i) + "]\nValue=" + std::string(60, 'v') + "\n";
    SeedRegistry(others);
    const std::string extractBytes = NecExtract(1);
    const std::string expectedImport = ReferenceImport(extractBytes);
    WriteFile(data + "/nec.txt", extractBytes);
    OvdmRun run = Convert(data + "/nec.txt");
    run.fileSizeLimit = 16 * 1024;
    const OvdmResult r = Run(run);
    EXPECT_EQ(r.exitCode, 3) << Describe(r);
    EXPECT_EQ(r.err, kSetDataError);
    EXPECT_EQ(r.out, "") << "no instructions after a failed registry write";
    EXPECT_EQ(ReadFile(RegistryFile()), others);
    EXPECT_EQ(FolderListing(config + "/ORVANE"), "registry.ini registry.ini.lock");
    // The import file was saved before the registry was tried, and stays.
    EXPECT_EQ(ReadFile(data + "/2021DM_nec.txt"), expectedImport);
}

TEST_F(Faults, AnImportFileThatCannotBeCreatedLeavesEverythingAsItWas)
{
    struct Case {
        const char* what;
        std::function<void(const std::string& folder, const std::string& import)> prepare;
        bool asNobody;
        const char* reason;
    } cases[] = {
        {"a folder the user may not write, with an earlier import file",
         [](const std::string& folder, const std::string& import) {
             WriteFile(import, kEarlierImport);
             ::chmod(folder.c_str(), 0555);
         },
         true, "Permission denied"},
        {"the import file's name taken by an empty folder",
         [](const std::string&, const std::string& import) { fs::create_directory(import); }, false,
         "Is a directory"},
        {"the import file's name taken by a folder with a file in it",
         [](const std::string&, const std::string& import) {
             fs::create_directory(import);
             WriteFile(import + "/inside.txt", "inside\n");
         },
         false, "Is a directory"},
    };
    const std::string registry = SeedRegistry();
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = Folder("case" + std::to_string(++n), 0777);
        const std::string extract = folder + "/nec.txt";
        const std::string import = folder + "/2021DM_nec.txt";
        WriteFile(extract, NecExtract(3));
        ::chmod(extract.c_str(), 0644);
        c.prepare(folder, import);
        const std::string before = TreeListing(folder);
        OvdmRun run = Convert(extract);
        run.asNobody = c.asNobody;
        const OvdmResult r = Run(run);
        EXPECT_EQ(r.exitCode, 3) << Describe(r);
        EXPECT_EQ(r.err, "Cannot create file \"" + import + "\". " + c.reason + ".\n");
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(TreeListing(folder), before);
        if (fs::is_regular_file(import)) {
            EXPECT_EQ(ReadFile(import), kEarlierImport);
        }
        EXPECT_EQ(ReadFile(RegistryFile()), registry);
        ::chmod(folder.c_str(), 0755);
    }
}

TEST_F(Faults, ARegistryThatCannotBeWrittenIsReportedAfterTheImportFileIsSaved)
{
    struct Case {
        const char* what;
        std::function<void(const std::string& configHome)> prepare;
        bool asNobody;
    } cases[] = {
        {"a registry file the user may not write",
         [](const std::string& home) {
             fs::create_directories(home + "/ORVANE");
             ::chmod((home + "/ORVANE").c_str(), 0777);
             WriteFile(home + "/ORVANE/registry.ini", kOtherSections);
             ::chmod((home + "/ORVANE/registry.ini").c_str(), 0444);
         },
         true},
        {"a registry folder the user may not write",
         [](const std::string& home) {
             fs::create_directories(home + "/ORVANE");
             WriteFile(home + "/ORVANE/registry.ini", kOtherSections);
             ::chmod((home + "/ORVANE/registry.ini").c_str(), 0666);
             ::chmod((home + "/ORVANE").c_str(), 0555);
         },
         true},
        {"a folder in the place of the registry file",
         [](const std::string& home) { fs::create_directories(home + "/ORVANE/registry.ini"); }, false},
        {"a file in the place of the ORVANE folder", [](const std::string& home) { WriteFile(home + "/ORVANE", "x"); },
         false},
        {"a file in the place of the configuration folder",
         [](const std::string& home) {
             fs::remove_all(home);
             WriteFile(home, "x");
         },
         false},
    };
    const std::string extractBytes = NecExtract(2);
    const std::string expectedImport = ReferenceImport(extractBytes);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string home = Folder("home" + std::to_string(++n), 0777);
        c.prepare(home);
        const std::string before = Snapshot(home);
        const std::string folder = Folder("data" + std::to_string(n), 0777);
        WriteFile(folder + "/nec.txt", extractBytes);
        ::chmod((folder + "/nec.txt").c_str(), 0644);
        OvdmRun run = Convert(folder + "/nec.txt");
        run.configHome = home;
        run.asNobody = c.asNobody;
        const OvdmResult r = Run(run);
        EXPECT_EQ(r.exitCode, 3) << Describe(r);
        EXPECT_TRUE(r.err == kCreateKeyError || r.err == kSetDataError) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadFile(folder + "/2021DM_nec.txt"), expectedImport);
        EXPECT_EQ(Snapshot(home), before);
        ::chmod((home + "/ORVANE").c_str(), 0755);
    }
}

// Bytes of every value 0 to 255 in a fixed pseudo-random order.
std::string Garbage(std::size_t size, std::uint32_t seed)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

TEST_F(Faults, AGarbledRegistryFileIsRewrittenWithoutLosingWhatItHeld)
{
    const std::string keep = "[Keep]\nKept=1\n";
    const std::string keepToo = "[Keep too]\nAlso=2\n";
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"binary garbage between two sections", keep + Garbage(4096, 1) + "\n" + keepToo},
        {"NUL bytes only", std::string(1000, '\0')},
        {"an unterminated section header", keep + "[Import\\OV2021\nTextDirectory=/x/\n" + keepToo},
        {"CR line ends only", "[Keep]\rKept=1\r[Import\\OV2021]\rTextDirectory=/old/\r"},
        {"a line of 1 MB without a line end", keep + std::string(1 << 20, 'z')},
        {"the module's section twice", keep + "[Import\\OV2021]\nTextDirectory=/a/\n[import\\ov2021]\nTextDirectory=/b/\n" +
                                           keepToo},
        {"a value line without a name", "[Import\\OV2021]\n=\n==\nTextDirectory\n" + keepToo},
        {"an empty file", ""},
        {"high bytes and a byte order mark", "\xEF\xBB\xBF" + keep + "[\xE9t\xE9]\nN\xE4me=\xFF\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = Folder("case" + std::to_string(++n), 0755);
        WriteFile(folder + "/nec.txt", NecExtract(1));
        SeedRegistry(c.bytes);
        const OvdmResult r = Run(Convert(folder + "/nec.txt"));
        EXPECT_EQ(r.exitCode, 0) << Describe(r);
        EXPECT_EQ(r.err, "");
        const std::string after = ReadFile(RegistryFile());
        EXPECT_EQ(ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue), folder + "/");
        // Every line the file held is still in it, in its order; only the
        // module's own value may have been replaced.
        const auto lines = [](const std::string& text) {
            std::vector<std::string> out;
            std::istringstream in(text);
            for (std::string line; std::getline(in, line);)
                out.push_back(line);
            return out;
        };
        const std::vector<std::string> newLines = lines(after);
        std::size_t at = 0;
        for (const std::string& line : lines(c.bytes)) {
            const auto found = std::find(newLines.begin() + static_cast<std::ptrdiff_t>(at), newLines.end(), line);
            if (found != newLines.end())
                at = static_cast<std::size_t>(found - newLines.begin()) + 1;
            else
                EXPECT_EQ(line.rfind("TextDirectory=", 0), 0u) << "lost the line \"" << line.substr(0, 80) << "\"";
        }
    }
}

} // namespace
} // namespace reliability
