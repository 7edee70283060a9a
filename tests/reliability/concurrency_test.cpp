// Runs disturbed from outside: the extract deleted, cut short or rewritten
// while it is read, the process killed at any moment, and eight runs of the
// same extract at once. The import file is always either what stood there
// before or the whole new file, and the registry file is never torn.
#include "reliability_fixture.h"

#include "platform/registry_store.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>

namespace reliability {
namespace {

const std::string kEarlierImport = "earlier import\r\n";

// The records of the large extracts: about 26 MB, an import file of 74 MB.
constexpr std::uint64_t kLargeRecords = 1000000;

void WriteLargeNecExtract(const std::string& path, const std::string& name)
{
    const std::string head = NecExtract(0, name);
    const std::string begin = head.substr(0, head.find("{END DATA}"));
    WriteLarge(path, [&](std::uint64_t i, std::string& bytes) {
        constexpr std::uint64_t kPerPiece = 10000;
        if (i == 0) {
            bytes = begin;
            return true;
        }
        const std::uint64_t first = (i - 1) * kPerPiece;
        if (first >= kLargeRecords) {
            if (first >= kLargeRecords + kPerPiece)
                return false;
            bytes = "{END DATA}\r\n";
            return true;
        }
        for (std::uint64_t r = first; r < first + kPerPiece && r < kLargeRecords; ++r)
            bytes += name + " " + std::to_string(r) + "\r\n7\r\n$950.50\r\n";
        return true;
    });
}

// Waits until a name other than `known` appears in `folder` (the run's
// temporary import file) with at least `minSize` bytes, while the run lasts.
// Returns its path, or empty when the run ended first.
std::string WaitForTemporaryFile(const std::string& folder, const std::set<std::string>& known,
                                 std::uintmax_t minSize, OvdmProcess& process)
{
    while (!process.Ended()) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (known.count(entry.path().filename().string()) == 0 && entry.file_size(ec) >= minSize && !ec)
                return entry.path().string();
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return {};
}

class Disturbed : public ReliabilityTest {};

TEST_F(Disturbed, AnExtractChangedWhileItIsReadGivesAWholeImportFileOrNone)
{
    const std::string extract = data + "/big.txt";
    const std::string import = data + "/2021DM_big.txt";
    WriteLargeNecExtract(extract, "PAYEE");
    const std::string original = ReadFile(extract);
    const std::string expected = ReferenceImport(original, "big.txt");
    WriteLargeNecExtract(data + "/other.txt", "OTHER");
    const std::string other = ReadFile(data + "/other.txt");
    const std::string expectedOther = ReferenceImport(other, "big.txt");
    fs::remove(data + "/other.txt");

    struct Case {
        const char* what;
        std::function<void()> change;
        bool otherAllowed;
    } cases[] = {
        {"deleted", [&] { fs::remove(extract); }, false},
        {"cut to half its size", [&] { fs::resize_file(extract, original.size() / 2); }, false},
        {"cut to nothing", [&] { fs::resize_file(extract, 0); }, false},
        {"rewritten in place with other records of the same size",
         [&] {
             // As a program that writes its extract again does: truncate, then write.
             const int fd = ::open(extract.c_str(), O_WRONLY | O_TRUNC);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::write(fd, other.data(), other.size()), static_cast<ssize_t>(other.size()));
             ::close(fd);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(extract, original);
        WriteFile(import, kEarlierImport);
        const std::string registry = SeedRegistry();
        OvdmProcess process(Convert(extract), NextOutputStem());
        const std::string temporary = WaitForTemporaryFile(data, {"big.txt", "2021DM_big.txt"}, 0, process);
        const bool changedWhileRunning = !temporary.empty();
        c.change();
        const OvdmResult r = process.Wait();
        RecordProperty(c.what, changedWhileRunning ? "changed while running" : "run ended before the change");
        ASSERT_FALSE(r.timedOut);
        ASSERT_EQ(r.signal, 0) << Describe(r);
        if (r.exitCode == 0) {
            const std::string written = ReadFile(import);
            const bool whole = written == expected || (c.otherAllowed && written == expectedOther);
            const auto count = [&](const std::string& name) {
                std::size_t lines = 0;
                for (std::size_t at = 0; (at = written.find("\r\n\"" + name, at)) != std::string::npos; ++at)
                    ++lines;
                return lines + (written.rfind("\"" + name, 0) == 0 ? 1 : 0);
            };
            EXPECT_TRUE(whole) << "the import file is neither the old nor the new extract's: " << count("PAYEE")
                               << " records of the old and " << count("OTHER") << " of the new";
            EXPECT_EQ(ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue), data + "/");
        } else {
            EXPECT_TRUE(r.exitCode == 1 || r.exitCode == 2) << Describe(r);
            EXPECT_NE(r.err.find(extract), std::string::npos) << "the message names the extract: " << r.err;
            EXPECT_EQ(ReadFile(import), kEarlierImport);
            EXPECT_EQ(ReadFile(RegistryFile()), registry);
        }
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(data))
            names.insert(entry.path().filename().string());
        names.erase("big.txt");
        EXPECT_EQ(names, std::set<std::string>{"2021DM_big.txt"}) << "a temporary file was left";
    }
}

TEST_F(Disturbed, KilledAtAnyMomentTheImportFileIsTheEarlierOneOrTheWholeNewOne)
{
    const std::string extract = data + "/big.txt";
    const std::string import = data + "/2021DM_big.txt";
    WriteLargeNecExtract(extract, "PAYEE");
    const std::string expected = ReferenceImport(ReadFile(extract), "big.txt");

    struct Case {
        const char* what;
        std::uintmax_t writtenBeforeKill; // bytes in the temporary import file
        int delayMs;                      // after that
    } cases[] = {
        {"as soon as the temporary file appears", 0, 0},
        {"after its first megabyte", 1 << 20, 0},
        {"after 20 MB", 20 << 20, 0},
        {"after 20 MB and 30 ms more", 20 << 20, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(import, kEarlierImport);
        const std::string registry = SeedRegistry();
        OvdmProcess process(Convert(extract), NextOutputStem());
        const std::string temporary =
            WaitForTemporaryFile(data, {"big.txt", "2021DM_big.txt"}, c.writtenBeforeKill, process);
        std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
        process.Kill(SIGKILL);
        const OvdmResult r = process.Wait();
        const std::string written = ReadFile(import);
        if (r.signal == SIGKILL) {
            EXPECT_TRUE(written == kEarlierImport || written == expected)
                << "a partial import file: " << written.size() << " bytes";
            if (written == kEarlierImport) {
                EXPECT_EQ(ReadFile(RegistryFile()), registry);
            }
        } else {
            // The run was quicker than the kill.
            EXPECT_EQ(r.exitCode, 0) << Describe(r);
            EXPECT_EQ(written, expected);
        }
        // The registry file is whole whatever happened.
        const auto folder = ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue);
        EXPECT_TRUE(folder == "/earlier/" || folder == data + "/") << folder.value_or("(none)");
        EXPECT_EQ(ov::ReadIniString(RegistryFile(), "Keep", "Kept"), "1");
        // A temporary file that a killed run leaves behind is no import file,
        // and the next run is not disturbed by it.
        const OvdmResult again = Run(Convert(extract));
        EXPECT_EQ(again.exitCode, 0) << Describe(again);
        EXPECT_EQ(ReadFile(import), expected);
        if (!temporary.empty() && fs::exists(temporary)) {
            RecordProperty(std::string(c.what) + " left", temporary);
            fs::remove(temporary);
        }
    }
}

// Checks, over and over while runs go on, that the import file and the
// registry file are each always whole.
class Watcher {
public:
    Watcher(std::string import, std::vector<std::string> wholeImports, std::string registry,
            std::vector<std::string> folders)
        : import_(std::move(import)), wholeImports_(std::move(wholeImports)), registry_(std::move(registry)),
          folders_(std::move(folders)), thread_([this] { Watch(); })
    {
    }
    ~Watcher() { Stop(); }

    void Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    int looks = 0;
    std::vector<std::string> faults;

private:
    void Watch()
    {
        while (!stop_) {
            ++looks;
            if (fs::exists(import_)) {
                const std::string bytes = ReadFile(import_);
                if (std::find(wholeImports_.begin(), wholeImports_.end(), bytes) == wholeImports_.end())
                    faults.push_back("import file of " + std::to_string(bytes.size()) + " bytes");
            }
            const auto folder = ov::ReadIniString(registry_, ov::kImportKeyPath, ov::kTextDirectoryValue);
            if (!folder || std::find(folders_.begin(), folders_.end(), *folder) == folders_.end())
                faults.push_back("registry value " + folder.value_or("(none)"));
            if (ov::ReadIniString(registry_, "Keep", "Kept") != "1")
                faults.push_back("registry file without its other keys");
        }
    }

    std::string import_;
    std::vector<std::string> wholeImports_;
    std::string registry_;
    std::vector<std::string> folders_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST_F(Disturbed, EightRunsOfTheSameExtractAtOnceWriteOneWholeFile)
{
    const std::string extract = data + "/nec.txt";
    const std::string import = data + "/2021DM_nec.txt";
    const std::string extractBytes = NecExtract(60000);
    const std::string expected = ReferenceImport(extractBytes, "nec.txt");
    WriteFile(extract, extractBytes);
    SeedRegistry();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        WriteFile(import, kEarlierImport);
        Watcher watcher(import, {kEarlierImport, expected}, RegistryFile(), {"/earlier/", data + "/"});
        std::vector<std::unique_ptr<OvdmProcess>> runs;
        for (int i = 0; i < 8; ++i)
            runs.push_back(std::make_unique<OvdmProcess>(Convert(extract), NextOutputStem()));
        for (auto& run : runs) {
            const OvdmResult r = run->Wait();
            EXPECT_EQ(r.exitCode, 0) << Describe(r);
            EXPECT_EQ(r.err, "");
        }
        watcher.Stop();
        EXPECT_EQ(watcher.faults, std::vector<std::string>{}) << "after " << watcher.looks << " looks";
        EXPECT_EQ(ReadFile(import), expected);
        EXPECT_EQ(FolderListing(data), "2021DM_nec.txt nec.txt");
        EXPECT_EQ(FolderListing(config + "/ORVANE"), "registry.ini registry.ini.lock");
        EXPECT_EQ(ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue), data + "/");
    }
}

TEST_F(Disturbed, EightRunsFromEightFoldersAtOnceLeaveOneWholeRegistryFile)
{
    const std::string registry = SeedRegistry();
    std::vector<std::string> folders{"/earlier/"};
    std::vector<std::string> extracts;
    for (int i = 0; i < 8; ++i) {
        const std::string folder = Folder("folder " + std::to_string(i), 0755);
        WriteFile(folder + "/nec.txt", NecExtract(20000));
        folders.push_back(folder + "/");
        extracts.push_back(folder + "/nec.txt");
    }
    Watcher watcher("", {}, RegistryFile(), folders);
    std::vector<std::unique_ptr<OvdmProcess>> runs;
    for (const std::string& extract : extracts)
        runs.push_back(std::make_unique<OvdmProcess>(Convert(extract), NextOutputStem()));
    for (auto& run : runs) {
        const OvdmResult r = run->Wait();
        EXPECT_EQ(r.exitCode, 0) << Describe(r);
    }
    watcher.Stop();
    EXPECT_EQ(watcher.faults, std::vector<std::string>{}) << "after " << watcher.looks << " looks";
    const std::string after = ReadFile(RegistryFile());
    // The earlier text with its value replaced by one of the eight folders.
    const auto folder = ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue);
    ASSERT_TRUE(folder.has_value());
    std::string expected = registry;
    expected.replace(expected.find("/earlier/"), 9, *folder);
    EXPECT_EQ(after, expected);
}

} // namespace
} // namespace reliability
