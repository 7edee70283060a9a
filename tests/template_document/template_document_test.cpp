#include "extract/template_document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// 19 rows as the 1098-E list has them, rows 1, 12 and 15 ticked.
std::vector<ov::TemplateRow> Rows1098E()
{
    std::vector<ov::TemplateRow> rows(19);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].label = "Field " + std::to_string(i + 1);
    rows[0] = {"Name line 1", true};
    rows[11] = {"Taxpayer id", true};
    rows[14] = {"Box 1 - Student loan interest received", true};
    return rows;
}

TEST(TemplateDocument, WorkedExampleMatchesGoldenFileLineForLine)
{
    const auto expected = ReadLines(OV_TEMPLATE_DATA_DIR "/1098-E_TEMPLATE.txt");
    const auto doc = ov::MakeTemplateDocument("1098-E", Rows1098E(), "OV2021DM");
    ASSERT_EQ(doc.size(), expected.size());
    for (size_t i = 0; i < doc.size(); ++i)
        EXPECT_EQ(doc[i], expected[i]) << "line " << i + 1;
}

TEST(TemplateDocument, KeyCountsEveryRowAndFlagsTicks)
{
    struct Case {
        size_t rows;
        std::vector<size_t> ticked;
        const char* key;
    };
    const Case cases[] = {
        {6, {}, "006000000"},
        {6, {0, 5}, "006100001"},
        {19, {0, 11, 14}, "0191000000000010010000"},
        {0, {}, "000"},
    };
    for (const Case& c : cases) {
        std::vector<ov::TemplateRow> rows(c.rows);
        for (size_t t : c.ticked)
            rows[t].ticked = true;
        EXPECT_EQ(ov::MakeTemplateKey(rows), c.key) << "rows " << c.rows;
    }
}

TEST(TemplateDocument, LineCountIs37PlusTickedRows)
{
    std::vector<ov::TemplateRow> rows(72);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = {"L" + std::to_string(i), true};
    auto doc = ov::MakeTemplateDocument("1094", rows, "OV2021DM");
    EXPECT_EQ(doc.size(), 109u);
    EXPECT_EQ(doc[1], "KEY 072" + std::string(72, '1'));

    for (auto& r : rows)
        r.ticked = false;
    doc = ov::MakeTemplateDocument("1094", rows, "OV2021DM");
    EXPECT_EQ(doc.size(), 37u);
    EXPECT_EQ(doc[3], "{END DATA}");
}

TEST(TemplateDocument, FormTextAndProgramNameAreTakenAsGiven)
{
    const auto doc = ov::MakeTemplateDocument("1095-B CI", {{"X", true}}, "my prog.exe");
    EXPECT_EQ(doc.front(), "FORM 1095-B CI");
    EXPECT_EQ(doc[9], "   Name this file as you like (1095-B CI_EXTRACT.txt is suggested).");
    EXPECT_EQ(doc[doc.size() - 6], "   my prog.exe \"File specification\"");
}

} // namespace
