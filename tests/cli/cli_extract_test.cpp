// ovdm convert and ovdm check in-process: output, files written or not,
// exit statuses, --all and --json.
#include "../platform/test_folder.h"
#include "cli_run.h"

#include "platform/platform_error.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

const std::string kNecKey = "KEY 028" "1000000100000000100000000000";

std::string NecExtract(const std::string& data)
{
    return "FORM 1099-NEC\r\n" + kNecKey + "\r\n{BEGIN DATA}\r\n" + data + "{END DATA}\r\n";
}

const std::string kWorkedImport =
    "\"PAYEE ONE\",,,,,,,07,,,N/A,,,,,,950.50,,0.00,,0.00,0.00,,0.00,0.00,,,\r\n"
    "\"PAYEE TWO\",,,,,,,,,,N/A,,,,,,75,,0.00,,0.00,0.00,,0.00,0.00,,,\r\n";

TEST(CliConvert, WorkedExampleWritesTheImportFileAndPrintsTheInstructions)
{
    TestFolder folder;
    const std::string extract = folder / "1099-NEC_EXTRACT.txt";
    std::filesystem::copy_file(OV_EXAMPLES_DIR "/1099-NEC_EXTRACT.txt", extract);
    CliRunner cli;
    const CliResult r = cli.Run({"convert", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string folderPart = folder.path().string() + "/";
    EXPECT_EQ(r.out, "Data Extract \"1099-NEC_EXTRACT.txt\" has been saved as\n"
                     "\n"
                     "FILE:  2021DM_1099-NEC_EXTRACT.txt\n"
                     "FOLDER:  " + folderPart + "\n"
                     "\n"
                     "This file is now ready for importing!\n"
                     "\n"
                     "In order to import this file\n"
                     "\n"
                     "- Start ORVANE.\n"
                     "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.\n"
                     "- Double click the Client (Filer) to be used.\n"
                     "- Select Form \"1099-NEC\" from the \"Forms\" menu.\n"
                     "- Select \"Import ASCII Text File\" from the \"File\" menu.\n"
                     "- Browse to the FILE in the FOLDER shown above.\n"
                     "- Click the \"Open\" button.\n");
    EXPECT_EQ(ReadFile(folder / "2021DM_1099-NEC_EXTRACT.txt"), kWorkedImport);
    EXPECT_EQ(cli.recordedFolders, std::vector<std::string>{folderPart});
    EXPECT_EQ(FolderListing(folder.path()), "1099-NEC_EXTRACT.txt 2021DM_1099-NEC_EXTRACT.txt");

    // A second run replaces the file with the same content.
    EXPECT_EQ(cli.Run({"convert", extract}).status, 0);
    EXPECT_EQ(ReadFile(folder / "2021DM_1099-NEC_EXTRACT.txt"), kWorkedImport);
}

TEST(CliConvert, EmptyDataBlockWritesAnEmptyFile)
{
    TestFolder folder;
    const std::string extract = folder / "empty.txt";
    WriteFile(extract, NecExtract(""));
    CliRunner cli;
    EXPECT_EQ(cli.Run({"convert", extract}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "2021DM_empty.txt"));
    EXPECT_EQ(ReadFile(folder / "2021DM_empty.txt"), "");
}

// A failed check shows the message as the error box does and writes nothing,
// not even over an earlier import file.
TEST(CliConvert, AFailedCheckWritesNothing)
{
    struct Case {
        const char* name;
        std::string extract;
        std::string err; // "{EXTRACT}" stands for the path
    };
    const Case cases[] = {
        {"bad value", NecExtract("ONE\r\n  100 \r\n1\r\n"),
         "EXTRACT = {EXTRACT}\n\nRecord # 1, Field # 2\n"
         "Destination field \"USPS Delivery Point\" maps to an invalid USPS Delivery Point \"  100 \"\n"},
        {"layout fault after a bad value", NecExtract("ONE\r\n100\r\n1\r\nTWO\r\n"),
         "Field allocation error.\n\nTotal fields required per record = 3\n\nis not an integral factor of\n\n"
         "Total fields recorded in this extract = 4\n\nEXTRACT = {EXTRACT}.\n"},
        {"no FORM", "", "FORM segment not found.\n\nEXTRACT = {EXTRACT}.\n"},
        {"no end marker", "FORM 1099-NEC\r\n" + kNecKey + "\r\n{BEGIN DATA}\r\n",
         "{END DATA} not found.\n\nEXTRACT = {EXTRACT}.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const std::string extract = folder / "nec.txt";
        WriteFile(extract, c.extract);
        WriteFile(folder / "2021DM_nec.txt", "earlier import\r\n");
        CliRunner cli;
        const CliResult r = cli.Run({"convert", extract});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        std::string expected = c.err;
        expected.replace(expected.find("{EXTRACT}"), 9, extract);
        EXPECT_EQ(r.err, expected);
        EXPECT_EQ(ReadFile(folder / "2021DM_nec.txt"), "earlier import\r\n");
        EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt nec.txt");
        EXPECT_TRUE(cli.recordedFolders.empty());
    }
}

TEST(CliConvert, APathNamingNoFileGivesTheMissingFileMessage)
{
    TestFolder folder;
    for (const std::string command : {"convert", "check"}) {
        for (const std::string& path : {folder / "missing.txt", folder.path().string()}) {
            SCOPED_TRACE(command + " " + path);
            CliRunner cli;
            const CliResult r = cli.Run({command, path});
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, "Failed to open data extract:\n\n" + path + "\n\nUsage: ovdm " + command
                                 + " \"File specification\"\n\n"
                                   "\"File specification\" = fully qualified file name of your data extract!\n");
        }
    }
}

// Output failures come only after the checks passed, with status 3.
TEST(CliConvert, OutputThatCannotBeWrittenGivesStatusThree)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    WriteFile(extract, NecExtract("ONE\r\n7\r\n1\r\n"));
    std::filesystem::create_directory(folder / "2021DM_nec.txt"); // the import file cannot take its place
    CliRunner cli;
    CliResult r = cli.Run({"convert", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Cannot create file \"" + (folder / "2021DM_nec.txt") + "\". Is a directory.\n");
    EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt nec.txt");
    EXPECT_TRUE(cli.recordedFolders.empty());

    // A check failure is still reported first.
    WriteFile(extract, NecExtract("ONE\r\nA\r\n1\r\n"));
    r = cli.Run({"convert", extract});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Record # 1, Field # 2"), std::string::npos);
}

TEST(CliConvert, ARegistryFailureKeepsTheImportFile)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    WriteFile(extract, NecExtract("ONE\r\n7\r\n1\r\n"));
    CliRunner cli;
    ov::CliEnvironment env = cli.Environment();
    env.recordImportFolder = [](const std::string&) {
        throw ov::PlatformError(ov::PlatformFault::SetData, ov::FailedToSetDataMessage("TextDirectory"));
    };
    const CliResult r = cli.Run({"convert", extract}, env);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(ReadFile(folder / "2021DM_nec.txt"),
              "ONE,,,,,,,07,,,N/A,,,,,,1,,0.00,,0.00,0.00,,0.00,0.00,,,\r\n");
}

TEST(CliCheck, PrintsTheSummaryAndWritesNothing)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    WriteFile(extract, NecExtract("ONE\r\n7\r\n1\r\nTWO\r\n\r\n2\r\n"));
    CliRunner cli;
    const CliResult r = cli.Run({"check", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "EXTRACT: " + extract + "\n\nRETURNS: 1099-NEC\nRECORDS: 2\n\nREPORTING YEAR: 2021\n");
    EXPECT_EQ(FolderListing(folder.path()), "nec.txt");
    EXPECT_TRUE(cli.recordedFolders.empty());
}

TEST(CliCheck, AllReportsEveryBadValueThenTheirCount)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    WriteFile(extract, NecExtract("ONE\r\n100\r\n1\r\nTWO\r\n7\r\nabc\r\nTHREE\r\n7\r\n1\r\n"));
    CliRunner cli;
    const CliResult r = cli.Run({"check", "--all", extract});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "EXTRACT = " + extract + "\n\nRecord # 1, Field # 2\n"
                     "Destination field \"USPS Delivery Point\" maps to an invalid USPS Delivery Point \"100\"\n"
                     "\n"
                     "EXTRACT = " + extract + "\n\nRecord # 2, Field # 3\n"
                     "Destination field \"Nonemployee compensation\" maps to an invalid currency value \"abc\"\n"
                     "\n"
                     "BAD VALUES: 2\n");

    // Without bad values --all gives the summary.
    WriteFile(extract, NecExtract("ONE\r\n7\r\n1\r\n"));
    const CliResult ok = cli.Run({"check", "--all", extract});
    EXPECT_EQ(ok.status, 0);
    EXPECT_NE(ok.out.find("RECORDS: 1\n"), std::string::npos);
}

TEST(CliJson, ConvertReportsOneObjectOnly)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    std::filesystem::copy_file(OV_EXAMPLES_DIR "/1099-NEC_EXTRACT.txt", extract);
    CliRunner cli;
    const CliResult r = cli.Run({"convert", "--json", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["command"], "convert");
    EXPECT_EQ(json["status"], "ok");
    EXPECT_EQ(json["extract"], extract);
    EXPECT_EQ(json["form"], "1099-NEC");
    EXPECT_EQ(json["records"], 2);
    EXPECT_EQ(json["importFile"], folder / "2021DM_nec.txt");
    EXPECT_TRUE(json["errors"].empty());
    EXPECT_EQ(ReadFile(folder / "2021DM_nec.txt"), kWorkedImport);
}

TEST(CliJson, CheckReportsWhereEachBadValueIs)
{
    TestFolder folder;
    const std::string extract = folder / "nec.txt";
    // The second value holds bytes that are not UTF-8.
    WriteFile(extract, NecExtract("ONE\r\n\xE9\xFF\r\n1\r\n"));
    CliRunner cli;
    const CliResult r = cli.Run({"check", "--json", "--all", extract});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["status"], "invalid");
    EXPECT_EQ(json["records"], 1);
    EXPECT_TRUE(json["importFile"].is_null());
    ASSERT_EQ(json["errors"].size(), 1u);
    const auto& e = json["errors"][0];
    EXPECT_EQ(e["fault"], "BadValue");
    EXPECT_EQ(e["record"], 1);
    EXPECT_EQ(e["field"], 2);
    EXPECT_EQ(e["position"], 8);
    EXPECT_EQ(e["label"], "USPS Delivery Point");
    EXPECT_EQ(e["typeCode"], "u");
    EXPECT_EQ(e["value"], "\xC3\xA9\xC3\xBF"); // each byte as its ISO 8859-1 character
    EXPECT_EQ(e["line"], 5);
    EXPECT_EQ(e["message"], "EXTRACT = " + extract + "\r\n\r\nRecord # 1, Field # 2\r\n"
                            "Destination field \"USPS Delivery Point\" maps to an invalid USPS Delivery Point \"\xC3\xA9\xC3\xBF\"");
}

TEST(CliJson, FailuresBeforeTheValuesCarryOnlyTheMessage)
{
    TestFolder folder;
    struct Case {
        std::string path;
        int status;
        const char* statusName;
        const char* fault;
    };
    const std::string extract = folder / "nec.txt";
    WriteFile(extract, "FORM 1099-XYZ\r\n");
    const Case cases[] = {
        {extract, 1, "invalid", "FormUnknown"},
        {folder / "missing.txt", 2, "missing", "MissingFile"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CliRunner cli;
        const CliResult r = cli.Run({"convert", "--json", c.path});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, "");
        const auto json = nlohmann::json::parse(r.out);
        EXPECT_EQ(json["status"], c.statusName);
        ASSERT_EQ(json["errors"].size(), 1u);
        EXPECT_EQ(json["errors"][0]["fault"], c.fault);
        EXPECT_TRUE(json["errors"][0]["record"].is_null());
        EXPECT_FALSE(json["errors"][0]["message"].get<std::string>().empty());
    }
}

TEST(CliConvert, MillionsOfEmptyValuesStreamThrough)
{
    TestFolder folder;
    const std::string extract = folder / "empty_values.txt";
    {
        std::ofstream out(extract, std::ios::binary);
        out << "FORM 1099-NEC\nKEY 028" << std::string(27, '0') << "1\n{BEGIN DATA}\n";
        out << std::string(2000000, '\n') << "{END DATA}\n";
    }
    CliRunner cli;
    const CliResult r = cli.Run({"check", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("RECORDS: 2000000\n"), std::string::npos);
}

} // namespace
