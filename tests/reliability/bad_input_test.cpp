// Input no customer program should write, fed to the built ovdm: garbage,
// stray NUL and high bytes, odd line ends, an overlong KEY, values of a
// megabyte, lines of a gigabyte, ten million empty lines, paths that need care
// and a link where the import file goes. Each run ends with an answer: a
// whole import file, or a message naming the extract and nothing written.
#include "reliability_fixture.h"

#include "platform/registry_store.h"

#include <unistd.h>

namespace reliability {
namespace {

std::string Fixture(const std::string& name)
{
    return ReadFile(std::string(OV_RELIABILITY_DATA) + "/" + name);
}

// One 1099-NEC import line with fields 1, 8 and 17 as given and every other
// field at its default.
std::string NecImportLine(const std::string& name, const std::string& deliveryPoint, const std::string& amount)
{
    std::vector<std::string> values(28);
    values[0] = name;
    values[7] = deliveryPoint;
    values[10] = "N/A";
    values[16] = amount;
    for (int p : {19, 21, 22, 24, 25})
        values[static_cast<std::size_t>(p - 1)] = "0.00";
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i)
        line += (i ? "," : "") + values[i];
    return line + "\r\n";
}

// The message's first line, up to the terminal's line end.
std::string FirstLine(const std::string& err)
{
    return err.substr(0, err.find('\n'));
}

class BadExtracts : public ReliabilityTest {
protected:
    // A run that must fail a check: its message begins with `firstLine` and
    // names the extract, and nothing is written.
    void ExpectRejected(const std::string& extract, const std::string& firstLine, int exitCode = 1)
    {
        const std::string registry = SeedRegistry();
        const std::string before = TreeListing(fs::path(extract).parent_path());
        const OvdmResult r = Run(Convert(extract));
        EXPECT_EQ(r.exitCode, exitCode) << Describe(r);
        EXPECT_EQ(FirstLine(r.err).substr(0, firstLine.size()), firstLine) << Describe(r);
        EXPECT_NE(r.err.find("EXTRACT = " + extract), std::string::npos) << "the message names the extract";
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(TreeListing(fs::path(extract).parent_path()), before) << "something was written";
        EXPECT_EQ(ReadFile(RegistryFile()), registry);
    }

    // A run that must succeed; returns the import file.
    std::string ExpectConverted(const std::string& extract, std::optional<rlim_t> memoryLimit = std::nullopt)
    {
        OvdmRun run = Convert(extract);
        run.memoryLimit = memoryLimit;
        const OvdmResult r = Run(run);
        EXPECT_EQ(r.exitCode, 0) << Describe(r);
        EXPECT_EQ(r.err, "");
        const std::string folder = fs::path(extract).parent_path().string() + "/";
        EXPECT_EQ(ov::ReadIniString(RegistryFile(), ov::kImportKeyPath, ov::kTextDirectoryValue), folder);
        return ReadFile(folder + "2021DM_" + fs::path(extract).filename().string());
    }
};

TEST_F(BadExtracts, GarbageAndStrayBytesAreRejectedByTheFirstCheckTheyBreak)
{
    std::string random(1 << 20, '\0');
    std::uint32_t seed = 7;
    for (char& c : random) {
        seed = seed * 1664525u + 1013904223u;
        // No byte that could start a marker or end the text early.
        c = static_cast<char>(((seed >> 24) % 200) + 40);
        if (c == '{' || c == '}')
            c = '#';
    }
    struct Case {
        const char* name;
        std::string bytes;
        const char* firstLine;
    } cases[] = {
        {"binary_garbage.bin", Fixture("binary_garbage.bin"), "FORM segment not found."},
        {"nul_in_data_block.txt", Fixture("nec_nul_in_data_block.txt"), "{END DATA} not found."},
        {"only_nul_bytes.txt", std::string(1 << 20, '\0'), "FORM segment not found."},
        {"nul_first.txt", std::string(1, '\0') + Fixture("nec_crlf.txt"), "FORM segment not found."},
        {"garbage_after_the_key.txt", kNecHead + random, "{BEGIN DATA} not found."},
        {"garbage_as_the_data_block.txt", kNecHead + "{BEGIN DATA}\r\n" + random, "{END DATA} not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(data + "/" + c.name, c.bytes);
        ExpectRejected(data + "/" + c.name, c.firstLine);
    }
}

TEST_F(BadExtracts, HighBytesPassIntoTheImportFileAsTheyStand)
{
    WriteFile(data + "/high.txt", Fixture("nec_high_bytes.txt"));
    EXPECT_EQ(ExpectConverted(data + "/high.txt"),
              NecImportLine("\xC9MILE\xFF\x80", "07", "950.50") + NecImportLine("\"\xE9t\xE9 caf\xE9\"", "", "1"));
}

TEST_F(BadExtracts, EveryKindOfLineEndGivesTheSameImportFile)
{
    WriteFile(data + "/crlf.txt", Fixture("nec_crlf.txt"));
    const std::string expected = ExpectConverted(data + "/crlf.txt");
    EXPECT_EQ(expected, NecImportLine("\"PAYEE ONE\"", "07", "950.50") + NecImportLine("\"PAYEE TWO\"", "", "75") +
                            NecImportLine("\"SUITE 5, FLOOR 2\"", "07", "1000.00") +
                            NecImportLine("\"\"\"QUOTED\"\"\"", "00", "0"));
    std::string lf = Fixture("nec_crlf.txt");
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"cr_only.txt", Fixture("nec_cr_only.txt")},
             {"mixed.txt", Fixture("nec_mixed_line_ends.txt")},
             {"lf_only.txt", lf},
         }) {
        SCOPED_TRACE(name);
        WriteFile(data + "/" + name, bytes);
        EXPECT_EQ(ExpectConverted(data + "/" + name), expected);
    }
}

TEST_F(BadExtracts, AKeyOfAThousandFlagsFailsItsChecksums)
{
    struct Case {
        const char* what;
        std::string key;
        const char* firstLine;
    } cases[] = {
        {"count 000 before 1000 flags", "KEY 000" + std::string(1000, '1'), "KEY segment checksum error."},
        {"count 999 before 999 flags", "KEY 999" + std::string(999, '1'),
         "1099-NEC (2021) checksum error in KEY segment."},
        {"count 1000 before 1000 flags", "KEY 1000" + std::string(1000, '0'), "KEY segment checksum error."},
        {"count 028 before 1000 flags", "KEY 028" + std::string(1000, '1'), "KEY segment checksum error."},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string extract = data + "/key" + std::to_string(++n) + ".txt";
        WriteFile(extract, "FORM 1099-NEC\r\n" + c.key + "\r\n{BEGIN DATA}\r\nX\r\n{END DATA}\r\n");
        ExpectRejected(extract, c.firstLine);
    }
}

TEST_F(BadExtracts, ValuesOfAMegabyte)
{
    const std::size_t mb = 1 << 20;
    std::string withCommasAndQuotes;
    while (withCommasAndQuotes.size() < mb)
        withCommasAndQuotes += "A, \"B\" ";
    const std::string digits(mb, '9');
    const std::string zerosThenOne = std::string(mb, '0') + "1";
    const auto extract = [](const std::string& name, const std::string& dp, const std::string& amount) {
        return kNecHead + "{BEGIN DATA}\r\n" + name + "\r\n" + dp + "\r\n" + amount + "\r\n{END DATA}\r\n";
    };
    std::string quoted = "\"";
    for (char c : withCommasAndQuotes)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    quoted.pop_back(); // the trailing blank goes with the trimming
    quoted += "\"";

    WriteFile(data + "/name.txt", extract(withCommasAndQuotes, "7", "1"));
    EXPECT_EQ(ExpectConverted(data + "/name.txt"), NecImportLine(quoted, "07", "1"));
    WriteFile(data + "/zeros.txt", extract("X", "", zerosThenOne));
    EXPECT_EQ(ExpectConverted(data + "/zeros.txt"), NecImportLine("X", "", zerosThenOne));
    WriteFile(data + "/blanks.txt", extract("X", std::string(mb, ' ') + "5" + std::string(mb, '\t'), "1"));
    EXPECT_EQ(ExpectConverted(data + "/blanks.txt"), NecImportLine("X", "05", "1"));

    WriteFile(data + "/amount.txt", extract("X", "7", digits));
    ExpectRejected(data + "/amount.txt", "EXTRACT = " + data + "/amount.txt");
    WriteFile(data + "/dp.txt", extract("X", digits, "1"));
    ExpectRejected(data + "/dp.txt", "EXTRACT = " + data + "/dp.txt");
    WriteFile(data + "/title.txt", "FORM 1099-NEC" + std::string(mb, 'X') + "\r\n");
    ExpectRejected(data + "/title.txt", "FORM 1099-NEC" + std::string(100, 'X'));
}

TEST_F(BadExtracts, LinesOfAGigabyte)
{
    if (kSanitized)
        GTEST_SKIP() << "1 GB inputs take minutes under AddressSanitizer; the plain build runs them";
    constexpr std::uint64_t kGigabyte = std::uint64_t(1) << 30;
    constexpr std::uint64_t kPiece = 1 << 24;
    const std::string record = "PAYEE ONE\r\n7\r\n950.50\r\n";
    const std::string expected = NecImportLine("\"PAYEE ONE\"", "07", "950.50");
    // head, then a gigabyte of `fill`, then tail.
    const auto write = [&](const std::string& path, const std::string& head, char fill, const std::string& tail) {
        WriteLarge(path, [&](std::uint64_t i, std::string& bytes) {
            if (i == 0)
                bytes = head;
            else if (i <= kGigabyte / kPiece)
                bytes.assign(kPiece, fill);
            else if (i == kGigabyte / kPiece + 1)
                bytes = tail;
            else
                return false;
            return true;
        });
    };

    write(data + "/free.txt", kNecHead, 'x', "\r\n{BEGIN DATA}\r\n" + record + "{END DATA}\r\n");
    // A line that is not looked at is not held: 512 MB of address space is plenty.
    EXPECT_EQ(ExpectConverted(data + "/free.txt", rlim_t(512) << 20), expected);
    fs::remove(data + "/free.txt");

    write(data + "/after.txt", kNecHead + "{BEGIN DATA}\r\n" + record + "{END DATA}\r\n", 'x', "\r\n");
    EXPECT_EQ(ExpectConverted(data + "/after.txt", rlim_t(512) << 20), expected);
    fs::remove(data + "/after.txt");

    write(data + "/value.txt", kNecHead + "{BEGIN DATA}\r\n", 'A', "\r\n7\r\n950.50\r\n{END DATA}\r\n");
    const std::string tail = NecImportLine("", "07", "950.50");
    {
        const OvdmResult r = Run(Convert(data + "/value.txt"));
        EXPECT_EQ(r.exitCode, 0) << Describe(r);
    }
    fs::remove(data + "/value.txt");
    const std::string import = data + "/2021DM_value.txt";
    ASSERT_EQ(fs::file_size(import), kGigabyte + tail.size());
    std::ifstream in(import, std::ios::binary);
    std::string piece(kPiece, '\0');
    for (std::uint64_t i = 0; i < kGigabyte / kPiece; ++i) {
        in.read(piece.data(), static_cast<std::streamsize>(kPiece));
        ASSERT_EQ(piece.find_first_not_of('A'), std::string::npos) << "piece " << i;
    }
    std::string rest(tail.size(), '\0');
    in.read(rest.data(), static_cast<std::streamsize>(rest.size()));
    EXPECT_EQ(rest, tail);
}

TEST_F(BadExtracts, TenMillionEmptyLines)
{
    constexpr std::uint64_t kLines = 10000000;
    const std::string record = "PAYEE ONE\r\n7\r\n950.50\r\n";
    const std::string expected = NecImportLine("\"PAYEE ONE\"", "07", "950.50");
    const std::string empties(kLines, '\n');

    WriteFile(data + "/free.txt", kNecHead + empties + "{BEGIN DATA}\r\n" + record + "{END DATA}\r\n" + empties);
    EXPECT_EQ(ExpectConverted(data + "/free.txt"), expected);

    // Three fields per record: 9,999,999 empty lines are 3,333,333 empty records.
    WriteFile(data + "/block.txt", kNecHead + "{BEGIN DATA}\r\n" + std::string(kLines - 1, '\r') + "{END DATA}\r\n");
    const std::string import = ExpectConverted(data + "/block.txt");
    const std::string emptyRecord = NecImportLine("", "", "0");
    ASSERT_EQ(import.size(), emptyRecord.size() * ((kLines - 1) / 3));
    for (std::size_t at = 0; at < import.size(); at += emptyRecord.size())
        ASSERT_EQ(import.compare(at, emptyRecord.size(), emptyRecord), 0) << "record " << at / emptyRecord.size() + 1;

    WriteFile(data + "/uneven.txt", kNecHead + "{BEGIN DATA}\r\n" + empties + "{END DATA}\r\n");
    ExpectRejected(data + "/uneven.txt", "Field allocation error.");
    const OvdmResult r = Run(Convert(data + "/uneven.txt"));
    EXPECT_NE(r.err.find("Total fields recorded in this extract = 10000000\n"), std::string::npos) << r.err;
}

TEST_F(BadExtracts, PathsWithBlanksQuotesNewlinesAndLeadingDashes)
{
    const std::string extractBytes = Fixture("nec_crlf.txt");
    const std::string expected = ReferenceImport(extractBytes);
    struct Case {
        const char* folder;
        const char* name;
    } cases[] = {
        {"plain", "with blanks .txt"},
        {"plain", "\"double\" and 'single' quotes.txt"},
        {"plain", "new\nline.txt"},
        {"plain", "-leading dash.txt"},
        {"plain", "--.txt"},
        {"plain", "tab\tand \xE9 high byte.txt"},
        {"plain", "*?[glob] $HOME `x`.txt"},
        {" blank folder ", "a.txt"},
        {"-dash folder", "a.txt"},
        {"\"quoted\" folder", "a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + "/" + c.name);
        const std::string folder = Folder(c.folder, 0755);
        const std::string extract = folder + "/" + c.name;
        WriteFile(extract, extractBytes);
        EXPECT_EQ(ExpectConverted(extract), expected);
    }

    // The registry cannot hold a folder with a line break: the import file is
    // saved, and the failure to record its folder is reported.
    const std::string registry = SeedRegistry();
    const std::string folder = Folder("new\nline folder", 0755);
    WriteFile(folder + "/a.txt", extractBytes);
    const OvdmResult r = Run(Convert(folder + "/a.txt"));
    EXPECT_EQ(r.exitCode, 3) << Describe(r);
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(ReadFile(folder + "/2021DM_a.txt"), expected);
    EXPECT_EQ(ReadFile(RegistryFile()), registry);

    // A leading dash without "--" is an option, not a path: nothing is written.
    const std::string plain = root / "plain";
    const std::string before = TreeListing(plain);
    OvdmRun dash = Convert("");
    dash.args = {"convert", "-leading dash.txt"};
    dash.workDir = plain;
    const OvdmResult usage = Run(dash);
    EXPECT_EQ(usage.exitCode, 2) << Describe(usage);
    EXPECT_EQ(TreeListing(plain), before);
}

TEST_F(BadExtracts, ANameTooLongForTheImportFileLeavesNothingBehind)
{
    const std::string name = std::string(250, 'n') + ".txt"; // 254 bytes; the import file's would be 261
    WriteFile(data + "/" + name, Fixture("nec_crlf.txt"));
    const std::string registry = SeedRegistry();
    const OvdmResult r = Run(Convert(data + "/" + name));
    EXPECT_EQ(r.exitCode, 3) << Describe(r);
    EXPECT_EQ(r.err, "Cannot create file \"" + data + "/2021DM_" + name + "\". File name too long.\n");
    EXPECT_EQ(FolderListing(data), name);
    EXPECT_EQ(ReadFile(RegistryFile()), registry);
}

TEST_F(BadExtracts, ALinkWhereTheImportFileGoesIsReplacedNotFollowed)
{
    const std::string extractBytes = Fixture("nec_crlf.txt");
    const std::string expected = ReferenceImport(extractBytes, "nec.txt");
    const std::string elsewhere = Folder("elsewhere", 0755);
    WriteFile(elsewhere + "/precious.txt", "precious\r\n");
    struct Case {
        const char* what;
        std::string target;
    } cases[] = {
        {"a link to a file in another folder", elsewhere + "/precious.txt"},
        {"a link to a folder", elsewhere},
        {"a link to nothing", elsewhere + "/missing.txt"},
        {"a link to the extract itself", "nec.txt"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = Folder("case" + std::to_string(++n), 0755);
        WriteFile(folder + "/nec.txt", extractBytes);
        const std::string import = folder + "/2021DM_nec.txt";
        fs::create_symlink(c.target, import);
        const std::string elsewhereBefore = TreeListing(elsewhere);
        EXPECT_EQ(ExpectConverted(folder + "/nec.txt"), expected);
        EXPECT_FALSE(fs::is_symlink(import)) << "the link is still there";
        EXPECT_EQ(ReadFile(folder + "/nec.txt"), extractBytes);
        EXPECT_EQ(TreeListing(elsewhere), elsewhereBefore);
        EXPECT_EQ(ReadFile(elsewhere + "/precious.txt"), "precious\r\n");
    }
}

} // namespace
} // namespace reliability
