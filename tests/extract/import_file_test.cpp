#include "extract/extract_messages.h"
#include "extract/import_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ImportFile, CommaTextQuotesOnlyWhatNeedsIt)
{
    struct Case {
        std::vector<std::string> values;
        std::string line;
    };
    const Case cases[] = {
        {{"PAYEE ONE", "07", "", "950.50"}, "\"PAYEE ONE\",07,,950.50"},
        {{"SUITE 5, FLOOR 2"}, "\"SUITE 5, FLOOR 2\""},
        {{"SAY \"HI\""}, "\"SAY \"\"HI\"\"\""},
        {{"\"\"\"\""}, "\"\"\"\"\"\"\"\"\"\""},
        {{"A\tB"}, "\"A\tB\""},
        {{std::string("A\0B", 3)}, std::string("\"A\0B\"", 5)},
        {{"\x01"}, "\"\x01\""},
        {{"!"}, "!"}, // code 33 needs no quotes
        {{"M\xFCLLER", "\xA0\xFF"}, "M\xFCLLER,\xA0\xFF"},
        {{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"}, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"},
        {{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,"}, "\"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,\""},
        {{"", "", ""}, ",,"},
        {{"X", ""}, "X,"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("expected line: " + c.line);
        EXPECT_EQ(ov::CommaText(c.values), c.line);
        std::string appended = "KEEP";
        ov::AppendCommaText(appended, c.values);
        EXPECT_EQ(appended, "KEEP" + c.line);
    }
}

TEST(ImportFile, NameIsPrefixedInTheExtractsFolder)
{
    struct Case {
        const char* extract;
        const char* folder;
        const char* importFile;
    };
    const Case cases[] = {
        {"/data/nec.txt", "/data/", "/data/2021DM_nec.txt"},
        {"/Exports/W2 Jan.TXT", "/Exports/", "/Exports/2021DM_W2 Jan.TXT"},
        {"nec.txt", "", "2021DM_nec.txt"},
        {"rel/dir/x", "rel/dir/", "rel/dir/2021DM_x"},
        {"/a.b/c", "/a.b/", "/a.b/2021DM_c"},
        {"/", "/", "/2021DM_"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extract);
        EXPECT_EQ(ov::FolderPart(c.extract), c.folder);
        EXPECT_EQ(ov::ImportFilePath(c.extract), c.importFile);
        EXPECT_EQ(ov::FolderPart(c.importFile), c.folder);
    }
}

TEST(ErrorBox, AddsAFullStopBehindCharactersAboveIt)
{
    struct Case {
        std::string message;
        std::string shown;
    };
    const Case cases[] = {
        {"EXTRACT = /x/nec", "EXTRACT = /x/nec."},
        {"EXTRACT = /x/nec.txt1", "EXTRACT = /x/nec.txt1."},
        {"Usage:", "Usage:."},
        {"Really?", "Really?."},
        {"C:\\", "C:\\."},
        {"Done.", "Done."},
        {"blank ", "blank "},
        {"line\r\n", "line\r\n"},
        {"\"quoted\"", "\"quoted\""},
        {"comma,", "comma,"},
        {"dash-", "dash-"},
        {"(paren)", "(paren)"},
        {"/", "/."},
        {"\xE9", "\xE9."},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(ov::ErrorBoxText(c.message), c.shown);
    }
}

TEST(Messages, InstructionsNameTheFilesAndTheForm)
{
    const auto lines = ov::InstructionsMessageLines("/data/nec.txt", "/data/2021DM_nec.txt", "1099-NEC");
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "Data Extract \"nec.txt\" has been saved as");
    EXPECT_EQ(lines[2], "FILE:  2021DM_nec.txt");
    EXPECT_EQ(lines[3], "FOLDER:  /data/");
    EXPECT_EQ(lines[12], "- Select Form \"1099-NEC\" from the \"Forms\" menu.");
    EXPECT_EQ(lines[15], "- Click the \"Open\" button.");
}

} // namespace
