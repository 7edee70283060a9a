// ovdm forms, fields, template, --help, --version and usage errors.
#include "cli_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Cli, FormsListsTheOfferedFormsInComboOrder)
{
    CliRunner cli;
    const CliResult r = cli.Run({"forms"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 35u);
    EXPECT_EQ(lines.front(), "1094\t72");
    EXPECT_EQ(lines[20], "1099-NEC\t28");
    EXPECT_EQ(lines[33], "W-2C\t98");
    EXPECT_EQ(lines.back(), "W-2G\t32");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("ALE") == 0; }), 0);
}

TEST(Cli, FieldsListsAFormsFieldsInAnyLetterCase)
{
    struct Case {
        const char* form;
        std::size_t count;
        std::size_t index;
        const char* line;
    };
    const Case cases[] = {
        {"W-2", 63, 0, "1\t$\tFile (Control) number"},
        {"w-2", 63, 62, "63\t$\tClient ID"},
        {"1099-nec", 28, 16, "17\tc\tNonemployee compensation"},
        {"1095-b ci", 22, 21, "22\t$\tClient ID"},
        {"W-2G", 32, 15, "16\tg\tType of wager code (1-9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        CliRunner cli;
        const CliResult r = cli.Run({"fields", c.form});
        EXPECT_EQ(r.status, 0);
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), c.count);
        EXPECT_EQ(lines[c.index], c.line);
    }
}

TEST(Cli, TemplateIsTheDocumentTheDesktopProgramShows)
{
    std::ifstream golden(OV_TEMPLATE_GOLDEN, std::ios::binary);
    std::string expected;
    for (std::string line; std::getline(golden, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        expected += line + "\n";
    }
    ASSERT_FALSE(expected.empty());
    CliRunner cli;
    const CliResult r = cli.Run({"template", "1098-e", "15", "1", "12"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected);
}

TEST(Cli, TemplateWithoutPositionsTicksNothing)
{
    CliRunner cli;
    const CliResult r = cli.Run({"template", "W-2G"});
    EXPECT_EQ(r.status, 0);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 37u);
    EXPECT_EQ(lines[0], "FORM W-2G");
    EXPECT_EQ(lines[1], "KEY 032" + std::string(32, '0'));
    EXPECT_EQ(lines[2], "{BEGIN DATA}");
    EXPECT_EQ(lines[3], "{END DATA}");
}

TEST(Cli, UsageErrorsGiveOneLineAndStatusTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"fields"},
        {"fields", "XYZ"},
        {"fields", "ALE Group"},
        {"fields", "Clients"},
        {"template", "W-2", "0"},
        {"template", "W-2", "64"},
        {"template", "W-2", "x"},
        {"template", "NOPE", "1"},
        {"convert"},
        {"convert", "a", "b"},
        {"check", "--bogus", "x"},
        {"convert", "-x.txt"},
        {"--bogus"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(Joined(args));
        CliRunner cli;
        const CliResult r = cli.Run(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.rfind("ovdm: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.back(), '\n');
    }
}

TEST(Cli, HelpAndVersion)
{
    CliRunner cli;
    CliResult r = cli.Run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ovdm 2021.1.0\n");

    r = cli.Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* word : {"forms", "fields", "template", "convert", "check", "Exit status"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;

    r = cli.Run({"check", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--all"), std::string::npos);
}

} // namespace
