#include "extract/line_reader.h"
#include "extract/line_rules.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

std::string Printable(const std::string& s)
{
    std::string out;
    for (const char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

Lines ReadAll(const std::string& text, std::size_t chunk)
{
    ov::TextByteSource source(text);
    ov::LineReader reader(source, chunk);
    Lines lines;
    for (std::string_view line; reader.Next(line);) {
        lines.emplace_back(line);
        EXPECT_EQ(reader.LineNumber(), lines.size());
    }
    return lines;
}

struct SplitCase {
    std::string text;
    Lines lines;
};

const SplitCase kSplitCases[] = {
    {"", {}},
    {"A", {"A"}},
    {"A\r\nB\r\n", {"A", "B"}},
    {"A\r\nB", {"A", "B"}},
    {"A\nB\n", {"A", "B"}},
    {"A\rB\r", {"A", "B"}},
    {"A\n\rB", {"A", "", "B"}},           // LF CR: two line ends
    {"A\r\r\nB", {"A", "", "B"}},         // CR, then CR LF
    {"\r\n", {""}},                       // a line end at the end adds no empty line
    {"\n\n", {"", ""}},
    {"\r", {""}},
    {"A\r\n\r\n", {"A", ""}},
    {std::string("A\0B\nC", 5), {"A"}}, // NUL ends the text
    {std::string("A\n\0B", 4), {"A"}},
    {std::string("\0A\nB", 4), {}},
    {std::string("A\r\0\nB", 5), {"A"}},
    {"  A \t\n", {"  A \t"}},             // lines are not trimmed
    {"\xEF\xBB\xBF" "FORM\n", {"\xEF\xBB\xBF" "FORM"}}, // no byte-order mark is recognised
    {"\x80\xFF\n\x01", {"\x80\xFF", "\x01"}},
};

TEST(LineReader, SplitsByTheLineRulesWhateverTheChunkSize)
{
    for (const SplitCase& c : kSplitCases) {
        for (const std::size_t chunk : {1u, 2u, 3u, 5u, 16u, 1024u}) {
            SCOPED_TRACE("text \"" + Printable(c.text) + "\", chunk " + std::to_string(chunk));
            EXPECT_EQ(ReadAll(c.text, chunk), c.lines);
        }
    }
}

TEST(LineReader, InMemorySplitAgreesWithTheReader)
{
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE("text \"" + Printable(c.text) + "\"");
        EXPECT_EQ(ov::SplitExtractLines(c.text), c.lines);
    }
}

// Counting line ends in bulk, and walking back over lines, agree with the
// splitter on every stretch of whole lines.
TEST(LineRules, BulkCountsAgreeWithTheSplitter)
{
    std::mt19937 random(46);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int size = std::uniform_int_distribution<int>(0, 80)(random);
        for (int c = 0; c < size; ++c)
            text += "ab\r\n"[std::uniform_int_distribution<int>(0, 3)(random)];
        // Whole lines only: the stretch ends with a line end, not with a CR
        // that an LF might follow.
        text += "\n";
        SCOPED_TRACE("text \"" + Printable(text) + "\"");
        const Lines lines = ov::SplitExtractLines(text);
        ASSERT_EQ(ov::CountLineEnds(text.data(), text.data() + text.size()), lines.size());
        for (std::size_t last = 0; last <= lines.size(); ++last) {
            const char* start = ov::StartOfLastLines(text.data(), text.data() + text.size(), last);
            EXPECT_EQ(ov::SplitExtractLines(std::string(start, text.c_str() + text.size())),
                      Lines(lines.end() - static_cast<std::ptrdiff_t>(last), lines.end()));
        }
    }
}

TEST(LineReader, LongLinesComeWholeFromNextAndAsAPrefixFromNextPrefix)
{
    const std::string longLine(100000, 'x');
    const std::string text = "A\r\n" + longLine + "\r\nB";
    ov::TextByteSource source(text);
    ov::LineReader reader(source, 64);
    std::string_view line;
    std::uint64_t length = 0;
    ASSERT_TRUE(reader.NextPrefix(line, length));
    EXPECT_EQ(line, "A");
    EXPECT_EQ(length, 1u);
    ASSERT_TRUE(reader.NextPrefix(line, length));
    EXPECT_EQ(length, longLine.size());
    EXPECT_EQ(line, longLine.substr(0, ov::LineReader::kPrefixLength));
    ASSERT_TRUE(reader.NextPrefix(line, length));
    EXPECT_EQ(line, "B");
    EXPECT_EQ(reader.LineNumber(), 3u);
    EXPECT_FALSE(reader.NextPrefix(line, length));

    reader.Rewind();
    ASSERT_TRUE(reader.Next(line));
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, longLine);
}

// The start and the trimmed length of a line, however long, in bounded memory.
TEST(LineReader, HeadsKeepTheStartAndTheTrimmedLength)
{
    struct Case {
        std::string line;
        std::uint64_t visibleEnd;
    };
    const Case cases[] = {
        {"FORM W-2", 8},
        {"FORM W-2 \t\x01", 8},
        {"FORM W-2" + std::string(5000, ' '), 8},
        {std::string(5000, 'x') + "  ", 5000},
        {std::string(3000, 'x') + std::string(3000, ' ') + "y" + std::string(4000, '\t'), 6001},
        {" \t ", 0},
        {"", 0},
        {"\xA0", 1}, // high characters are not trimmed
    };
    for (const Case& c : cases) {
        for (const std::size_t chunk : {3u, 64u, 1u << 20}) {
            SCOPED_TRACE("line of " + std::to_string(c.line.size()) + " bytes, chunk " + std::to_string(chunk));
            ov::TextByteSource source(c.line + "\r\nnext");
            ov::LineReader reader(source, chunk);
            ov::LineReader::LineHead head;
            ASSERT_TRUE(reader.NextHead(head));
            EXPECT_EQ(head.length, c.line.size());
            EXPECT_EQ(head.visibleEnd, c.visibleEnd);
            EXPECT_EQ(head.start, c.line.substr(0, head.start.size()));
            EXPECT_GE(head.start.size(), std::min<std::size_t>(c.line.size(), ov::LineReader::kPrefixLength));
            ASSERT_TRUE(reader.NextHead(head));
            EXPECT_EQ(head.start, "next");
        }
    }
}

TEST(LineReader, RemainderStartsAtTheNextLineAndResolvesASplitCrLf)
{
    struct Case {
        std::string text;
        std::size_t chunk;
        std::string rest; // what the remainder and the source give after line 1
    };
    const Case cases[] = {
        {"A\r\nB\r\nC", 1024, "B\r\nC"},
        {"A\r\nB", 2, "B"}, // the CR ends the first read; its LF is not a line of its own
        {"A\n\rB", 2, "\rB"},
        {std::string("A\n\0B", 4), 1024, std::string("\0B", 2)}, // the NUL is for the caller to find
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + Printable(c.text) + "\", chunk " + std::to_string(c.chunk));
        ov::TextByteSource source(c.text);
        ov::LineReader reader(source, c.chunk);
        std::string_view line;
        ASSERT_TRUE(reader.Next(line));
        const ov::LineReader::Remainder rest = reader.TakeRemainder();
        std::string bytes(rest.bytes);
        if (!rest.textEnded) {
            char buffer[64];
            for (std::size_t n; (n = source.Read(buffer, sizeof buffer)) != 0;)
                bytes.append(buffer, n);
        }
        EXPECT_EQ(Printable(bytes), Printable(c.rest));
        EXPECT_FALSE(reader.Next(line));
    }
}

TEST(LineReader, MissingFileGivesTheSystemsReason)
{
    try {
        ov::FileByteSource source("/nonexistent-folder/extract.txt");
        FAIL() << "opened a missing file";
    } catch (const ov::ReadFailure& e) {
        EXPECT_STREQ(e.what(), "No such file or directory");
    }
}

} // namespace
