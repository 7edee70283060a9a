// The streaming run, whatever the piece size and the number of workers, gives
// what the plain algorithm gives on the whole extract held as a list of
// lines: the same message, or the same import lines.
#include "checks/text_primitives.h"
#include "extract/extract_messages.h"
#include "extract/line_reader.h"
#include "extract/record_builder.h"
#include "extract/verification.h"
#include "schema/schema.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::string kPath = "/in/memory/extract.txt";

ov::VerifySettings Settings(int workers)
{
    ov::VerifySettings settings;
    settings.currentYear = 2022;
    settings.workerThreads = workers;
    return settings;
}

struct Outcome {
    bool failed = false;
    std::string text; // the message, or the import lines each followed by CR LF
    bool operator==(const Outcome&) const = default;
};

// The algorithm as written: every line in memory, markers searched from line 1.
Outcome Reference(const std::string& text)
{
    const auto fail = [](std::string message) { return Outcome{true, std::move(message)}; };
    const std::vector<std::string> lines = ov::SplitExtractLines(text);
    const std::string upper1 = lines.empty() ? "" : ov::UpperCaseAscii(lines[0]);
    if (lines.empty() || ov::LeftPart(upper1, 5) != "FORM ")
        return fail(ov::FormSegmentNotFoundMessage(kPath));
    const std::string trimmed1(ov::TrimControls(upper1));
    const std::string title = trimmed1.size() > 5 ? trimmed1.substr(5) : "";
    const int form = ov::FindFormIndex(title);
    if (form < 0)
        return fail(ov::FormNotFoundMessage(title, kPath));
    std::vector<std::string> fields;
    ov::GetFormFields(static_cast<unsigned char>(form), fields);

    const std::string upper2 = lines.size() < 2 ? "" : ov::UpperCaseAscii(lines[1]);
    if (lines.size() < 2 || ov::LeftPart(upper2, 4) != "KEY ")
        return fail(ov::KeySegmentNotFoundMessage(kPath));
    const std::string trimmed2(ov::TrimControls(upper2));
    if (trimmed2.size() < 7)
        return fail(ov::BadKeySegmentMessage(kPath));
    const std::string flags = trimmed2.substr(7);
    const auto count = ov::ReadInteger(trimmed2.substr(4, 3));
    if (!count || *count != static_cast<std::int64_t>(flags.size()))
        return fail(ov::KeyChecksumMessage(kPath));
    if (flags.size() != fields.size())
        return fail(ov::FormKeyChecksumMessage(title, kPath));

    std::size_t b = lines.size(), e = lines.size();
    for (std::size_t i = 0; i < lines.size() && b == lines.size(); ++i)
        if (ov::EqualsIgnoringCase(lines[i], "{BEGIN DATA}"))
            b = i;
    for (std::size_t i = 0; i < lines.size() && e == lines.size(); ++i)
        if (ov::EqualsIgnoringCase(lines[i], "{END DATA}"))
            e = i;
    if (b == lines.size())
        return fail(ov::BeginDataNotFoundMessage(kPath));
    if (e == lines.size())
        return fail(ov::EndDataNotFoundMessage(kPath));
    if (e < b)
        return fail(ov::EndPrecedesBeginMessage(kPath));
    ov::RecordBuilder record(fields, flags, ov::RegionalSettings{}, 2022);
    const std::size_t k = record.SuppliedCount();
    if (k == 0)
        return fail(ov::NoFieldsSelectedMessage(kPath));
    const std::size_t n = e - b - 1;
    if (n % k != 0)
        return fail(ov::FieldAllocationMessage(k, n, kPath));
    Outcome out;
    for (std::size_t r = 1; r <= n / k; ++r) {
        record.PrepareRecord();
        for (std::size_t j = 1; j <= k; ++j) {
            const std::string& line = lines[b + (r - 1) * k + j];
            if (!record.StoreValue(j - 1, line))
                return fail(ov::BadValueMessage(kPath, r, static_cast<int>(j), record.Label(j - 1),
                                                record.Fragment(j - 1), line)
                            + " at line " + std::to_string(b + (r - 1) * k + j + 1));
        }
        out.text += std::string(record.ImportLine()) + "\r\n";
    }
    return out;
}

Outcome Streamed(const std::string& text, std::size_t chunk, int workers)
{
    Outcome out;
    try {
        ov::VerificationRun run = ov::VerificationRun::LoadText(kPath, text, chunk);
        run.ReadFormSegment();
        run.ReadKeySegment();
        ov::ImportLineList lines;
        run.VerifyDataBlock(Settings(workers), lines);
        for (const std::string& line : lines.lines)
            out.text += line + "\r\n";
    } catch (const ov::ExtractError& e) {
        out = {true, e.what()};
        if (e.valueFault())
            out.text += " at line " + std::to_string(e.valueFault()->lineNumber);
    }
    return out;
}

// Random extracts for 1099-NEC that mostly pass their segments, with markers,
// free lines, good and bad values, odd line ends, NULs and long lines.
class ExtractGenerator {
public:
    explicit ExtractGenerator(unsigned seed) : random_(seed) {}

    std::string Next()
    {
        std::string text;
        const auto add = [&](const std::string& line) { text += line + LineEnd(); };
        add(Pick({"FORM 1099-NEC", "form 1099-nec ", "FORM 1099-NEC", "FORM 1099-NEC", " FORM 1099-NEC", "FORM W-2G"}));
        std::string flags(28, '0');
        std::vector<int> supplied;
        for (const int p : {1, 8, 11, 12, 17})
            if (Chance(50)) {
                flags[static_cast<std::size_t>(p - 1)] = '1';
                supplied.push_back(p);
            }
        if (Chance(5)) {
            flags.assign(28, '0');
            supplied.clear();
        }
        add(Chance(94) ? "KEY 028" + flags : Pick({"KEY 027" + flags.substr(1), "KEY 02", "KEY  28" + flags}));
        for (int i = Below(3); i > 0; --i)
            add(Chance(10) ? "{END DATA}" : Pick({"free", " {BEGIN DATA}", ""}));
        if (Chance(95))
            add(Pick({"{BEGIN DATA}", "{begin data}"}));
        // Mostly whole records of mostly good values.
        for (int r = Below(12); r > 0; --r)
            for (const int p : supplied)
                add(Chance(2) ? Pick({"{BEGIN DATA}", "{END DATA}"}) : Chance(97) ? GoodValue(p) : Value());
        if (Chance(10))
            add(Value());
        if (Chance(90))
            add(Pick({"{END DATA}", "{End Data}"}));
        for (int i = Below(4); i > 0; --i)
            add(Pick({"after", "{BEGIN DATA}", "x"}));
        if (Chance(5))
            text.insert(static_cast<std::size_t>(Below(static_cast<int>(text.size()) + 1)), 1, '\0');
        return text;
    }

private:
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }
    std::string Pick(std::initializer_list<std::string> options)
    {
        return *(options.begin() + Below(static_cast<int>(options.size())));
    }
    std::string LineEnd() { return Chance(1) ? "\n\r" : Pick({"\r\n", "\r\n", "\n", "\r"}); }
    std::string GoodValue(int position)
    {
        switch (position) {
        case 8: return Pick({"7", " 5 ", "", "99", "00"});
        case 11: return Pick({"", "1", "2", "EIN"});
        case 12: return Pick({"", "12-3456789", "123-45-6789", "123456789"});
        case 17: return Pick({"$950.50", "+75", "", "-12.50", "1,000", "1e3"});
        default: return Pick({"PAYEE ONE", "x,y", "\"q\"", "\xE9\xFF", "\t", ""});
        }
    }
    std::string Value()
    {
        if (Chance(3))
            return std::string(static_cast<std::size_t>(50 + Below(200)), static_cast<char>('a' + Below(26)));
        return Pick({"PAYEE ONE", "7", "  5 ", "100", "A", "", "$950.50", "+75", "abc", "12-3456789", "123-45-6789",
                     "123456789", "1", "2", "SSN", "x,y", "\"q\"", "\xE9\xFF", "-12.50", "1e3", "\t"});
    }

    std::mt19937 random_;
};

TEST(StreamingEquivalence, RandomExtractsMatchThePlainAlgorithm)
{
    ExtractGenerator generator(2021);
    int failures = 0, successes = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string text = generator.Next();
        const Outcome expected = Reference(text);
        (expected.failed ? failures : successes)++;
        for (const auto& [chunk, workers] :
             {std::pair<std::size_t, int>{1, 0}, {2, 2}, {7, 1}, {16, 3}, {64, 2}, {1 << 20, 0}, {1 << 20, 2}}) {
            SCOPED_TRACE("extract #" + std::to_string(i) + ", pieces of " + std::to_string(chunk) + ", "
                         + std::to_string(workers) + " workers");
            const Outcome got = Streamed(text, chunk, workers);
            EXPECT_EQ(got.failed, expected.failed);
            EXPECT_EQ(got.text, expected.text);
        }
        if (HasFailure())
            return;
    }
    // The generator must reach both outcomes often enough to mean something.
    EXPECT_GT(failures, 100);
    EXPECT_GT(successes, 80);
}

// With every rejected value reported, the values are those that the plain
// algorithm rejects record by record, in order.
TEST(StreamingEquivalence, GoingOnPastBadValuesReportsEachInOrder)
{
    const std::string text = "FORM 1099-NEC\r\nKEY 028" "1000000100000000100000000000" "\r\n{BEGIN DATA}\r\n"
                             "ONE\r\n100\r\n1\r\n"   // record 1: bad USPS
                             "TWO\r\nA\r\nabc\r\n"   // record 2: two bad values
                             "THREE\r\n7\r\n2\r\n"   // record 3: good
                             "{END DATA}\r\n";
    for (const auto& [chunk, workers] : {std::pair<std::size_t, int>{1, 0}, {5, 2}, {1 << 20, 2}}) {
        SCOPED_TRACE("pieces of " + std::to_string(chunk) + ", " + std::to_string(workers) + " workers");
        ov::VerificationRun run = ov::VerificationRun::LoadText(kPath, text, chunk);
        run.ReadFormSegment();
        run.ReadKeySegment();
        std::vector<ov::ValueFault> faults;
        ov::ImportLineList lines;
        const auto records = run.VerifyDataBlock(Settings(workers), lines, [&](const ov::ExtractError& e) {
            ASSERT_TRUE(e.valueFault());
            faults.push_back(*e.valueFault());
        });
        EXPECT_EQ(records, 3u);
        ASSERT_EQ(faults.size(), 3u);
        EXPECT_EQ(faults[0].record, 1u);
        EXPECT_EQ(faults[0].field, 2);
        EXPECT_EQ(faults[0].position, 8);
        EXPECT_EQ(faults[0].value, "100");
        EXPECT_EQ(faults[0].lineNumber, 5u);
        EXPECT_EQ(faults[0].typeCode, 'u');
        EXPECT_EQ(faults[0].label, "USPS Delivery Point");
        EXPECT_EQ(faults[1].record, 2u);
        EXPECT_EQ(faults[1].field, 2);
        EXPECT_EQ(faults[2].record, 2u);
        EXPECT_EQ(faults[2].field, 3);
        EXPECT_EQ(faults[2].lineNumber, 9u);
        // Only the good record reaches the import lines.
        ASSERT_EQ(lines.lines.size(), 1u);
        EXPECT_EQ(lines.lines[0].substr(0, 8), "THREE,,,");
    }
}

TEST(StreamingEquivalence, GoingOnPastBadValuesStillStopsAtALayoutFault)
{
    const std::string text = "FORM 1099-NEC\r\nKEY 028" "1000000100000000100000000000" "\r\n{BEGIN DATA}\r\n"
                             "ONE\r\n100\r\n1\r\nTWO\r\n{END DATA}\r\n";
    ov::VerificationRun run = ov::VerificationRun::LoadText(kPath, text);
    run.ReadFormSegment();
    run.ReadKeySegment();
    int reported = 0;
    ov::DiscardImportLines sink;
    try {
        run.VerifyDataBlock(Settings(0), sink, [&](const ov::ExtractError&) { ++reported; });
        FAIL() << "an incomplete record passed";
    } catch (const ov::ExtractError& e) {
        EXPECT_EQ(e.fault(), ov::ExtractFault::FieldAllocation);
    }
    EXPECT_EQ(reported, 0);
}

TEST(StreamingEquivalence, StagesRunInOrderOnly)
{
    ov::VerificationRun run = ov::VerificationRun::LoadText(kPath, "FORM 1099-NEC\r\n");
    ov::DiscardImportLines sink;
    EXPECT_THROW(run.ReadKeySegment(), std::logic_error);
    run.ReadFormSegment();
    EXPECT_EQ(run.FormName(), "1099-NEC");
    EXPECT_EQ(run.FormFields().size(), 28u);
    EXPECT_THROW(run.VerifyDataBlock(Settings(0), sink), std::logic_error);
}

} // namespace
