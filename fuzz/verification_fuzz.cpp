// A whole verification from bytes: FORM, KEY, data block and the comma text of
// every import line. Byte 1 sets the regional settings and the reading chunk
// (bit 0: decimal comma; bits 1-2: date order; bit 3: date separator ".";
// bits 4-5: chunk of 1, 7, 64 or 4096 bytes); the rest is the extract.
//
// Each input is verified three ways: in one piece on the caller's thread, in
// small chunks on worker threads, and going on past bad values. All three must
// agree, and the outcome must agree with a plain reading of the layout: a
// successful run yields one import line per record, each with one value per
// field of the form, each value within its type's rule.
#include "checks/text_primitives.h"
#include "checks/value_checks.h"
#include "extract/extract_error.h"
#include "extract/verification.h"
#include "fuzz/fuzz_util.h"
#include "schema/schema.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using ov::fuzz::Require;

namespace {

constexpr const char* kExtractName = "fuzz extract.txt";

struct Outcome {
    bool ok = false;
    std::uint64_t records = 0;
    std::vector<std::string> lines;
    std::optional<ov::ExtractFault> fault;
    std::string message;
    bool keyRead = false;
    std::string formName;
    std::vector<std::string> fields;
    std::string flags;

    bool SameAs(const Outcome& o) const
    {
        return ok == o.ok && records == o.records && lines == o.lines && fault == o.fault && message == o.message;
    }
};

Outcome Verify(const std::string& text, const ov::VerifySettings& settings, std::size_t chunk,
               const ov::ValueFaultHandler& onFault = {})
{
    Outcome outcome;
    ov::ImportLineList sink;
    try {
        ov::VerificationRun run = ov::VerificationRun::LoadText(kExtractName, text, chunk);
        run.ReadFormSegment();
        outcome.formName = run.FormName();
        outcome.fields = run.FormFields();
        run.ReadKeySegment();
        outcome.keyRead = true;
        outcome.flags = run.KeyFlags();
        outcome.records = run.VerifyDataBlock(settings, sink, onFault);
        outcome.ok = true;
        outcome.lines = std::move(sink.lines);
    } catch (const ov::ExtractError& e) {
        outcome.fault = e.fault();
        outcome.message = e.what();
    }
    return outcome;
}

// The extract's lines by the line rules, written out plainly.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// One import line taken apart; nullopt when it breaks the comma text rule (a
// bare value that needed quotes, quotes around one that did not, a stray quote).
std::optional<std::vector<std::string>> ParseCommaText(std::string_view line)
{
    const auto needsQuotes = [](std::string_view v) {
        return std::any_of(v.begin(), v.end(), [](char c) {
            return static_cast<unsigned char>(c) <= 32 || c == '"' || c == ',';
        });
    };
    std::vector<std::string> values;
    std::size_t i = 0;
    for (;;) {
        std::string value;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i++];
            }
            if (!needsQuotes(value))
                return std::nullopt;
        } else {
            const std::size_t comma = std::min(line.find(',', i), line.size());
            value = std::string(line.substr(i, comma - i));
            i = comma;
            if (needsQuotes(value))
                return std::nullopt;
        }
        values.push_back(std::move(value));
        if (i == line.size())
            return values;
        if (line[i] != ',')
            return std::nullopt;
        ++i;
    }
}

bool IsDigits(std::string_view v, std::size_t length)
{
    return v.size() == length && ov::IsAllDigits(v);
}

// Whether a stored value keeps its type's rule; `line` is the value's data line
// (nullopt for a field the extract does not supply).
bool WithinRule(const ov::TypeCodeInfo& type, const std::string& v, std::optional<std::string_view> line,
                const ov::VerifySettings& settings)
{
    using R = ov::TypeRule;
    if (!line) {
        if (type.rule == R::TinType)
            return v == type.defaultValue || v == "EIN" || v == "SSN";
        return v == type.defaultValue;
    }
    const std::string_view trimmed = ov::TrimControls(*line);
    switch (type.rule) {
    case R::Keep:
    case R::EventCode:
        return v == trimmed;
    case R::UpperCase:
        return v == ov::UpperCaseAscii(trimmed);
    case R::Currency:
        return ov::ReadCurrency(v, settings.regional).has_value();
    case R::WholeNumber:
        return ov::ReadInteger(v).has_value();
    case R::Float:
        return ov::ReadDecimal(v, settings.regional).has_value();
    case R::Indicator:
        return v.empty() || v == "X";
    case R::RequiredDate:
        return IsDigits(v, 8);
    case R::OptionalDate:
        return v.empty() || IsDigits(v, 8);
    case R::RequiredYear:
        return !v.empty() && v.size() <= 4;
    case R::OptionalYear:
        return v.size() <= 4;
    case R::Ssn:
    case R::Tin:
        return v.empty() || IsDigits(v, 9);
    case R::TinType:
        return !v.empty();
    case R::DeliveryPoint:
        return v.empty() || IsDigits(v, 2);
    case R::WagerCode:
        return v.size() == 1 && v[0] >= '1' && v[0] <= '9';
    }
    return false;
}

std::string Describe(const Outcome& o)
{
    if (o.ok)
        return std::to_string(o.records) + " records, " + std::to_string(o.lines.size()) + " lines";
    return "fault " + std::to_string(static_cast<int>(*o.fault)) + ": " + ov::fuzz::Printable(o.message);
}

// The layout as a plain reading of the lines sees it, for a run that got past
// the KEY: the fault it must end with, or the record count.
void CheckLayout(const Outcome& run, std::string_view text, const ov::VerifySettings& settings)
{
    const auto lines = SplitLines(text);
    std::size_t begin = 0, end = 0; // line numbers from 1; 0 when absent
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (begin == 0 && ov::EqualsIgnoringCase(lines[i], "{BEGIN DATA}"))
            begin = i + 1;
        if (end == 0 && ov::EqualsIgnoringCase(lines[i], "{END DATA}"))
            end = i + 1;
    }
    std::vector<std::size_t> supplied;
    for (std::size_t p = 0; p < run.flags.size(); ++p)
        if (run.flags[p] == '1')
            supplied.push_back(p);
    const std::size_t k = supplied.size();
    using F = ov::ExtractFault;
    std::optional<F> expected;
    if (begin == 0)
        expected = F::BeginNotFound;
    else if (end == 0)
        expected = F::EndNotFound;
    else if (end < begin)
        expected = F::EndBeforeBegin;
    else if (k == 0)
        expected = F::NoFieldsSelected;
    else if ((end - begin - 1) % k != 0)
        expected = F::FieldAllocation;
    if (expected) {
        Require(!run.ok && run.fault == expected, "the layout fault is the first one a plain reading finds", text,
                Describe(run));
        return;
    }
    if (!run.ok) {
        Require(run.fault == F::BadValue, "a run with a sound layout fails only on a value", text, Describe(run));
        return;
    }
    const std::size_t records = (end - begin - 1) / k;
    Require(run.records == records && run.lines.size() == records, "one import line per record", text,
            Describe(run) + ", expected " + std::to_string(records));

    std::vector<const ov::TypeCodeInfo*> types;
    for (const std::string& descriptor : run.fields)
        types.push_back(ov::FindTypeCode(ov::SplitDescriptor(descriptor).typeCode));
    for (std::size_t r = 0; r < records; ++r) {
        const auto values = ParseCommaText(run.lines[r]);
        Require(values.has_value(), "every import line is valid comma text", text, run.lines[r]);
        Require(values->size() == run.fields.size(), "every import line has one value per field of the form", text,
                std::to_string(values->size()) + " values in \"" + ov::fuzz::Printable(run.lines[r]) + "\"");
        for (std::size_t p = 0; p < run.fields.size(); ++p) {
            const auto at = std::find(supplied.begin(), supplied.end(), p);
            std::optional<std::string_view> line;
            if (at != supplied.end())
                line = lines[begin + r * k + static_cast<std::size_t>(at - supplied.begin())];
            Require(types[p] != nullptr && WithinRule(*types[p], (*values)[p], line, settings),
                    "every value keeps its type's rule", text,
                    "record " + std::to_string(r + 1) + ", field " + run.fields[p] + ": \"" +
                        ov::fuzz::Printable((*values)[p]) + "\"");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t options = data[0];
    ov::VerifySettings settings;
    settings.regional.decimalSeparator = (options & 1) ? ',' : '.';
    settings.regional.dateOrder = static_cast<ov::DateOrder>(std::min((options >> 1) & 3, 2));
    settings.regional.dateSeparator = (options & 8) ? '.' : '/';
    settings.currentYear = 2022;
    static constexpr std::size_t kChunks[] = {1, 7, 64, 4096};
    const std::size_t chunk = kChunks[(options >> 4) & 3];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    settings.workerThreads = 0;
    // One chunk that holds the whole text: read in one piece, one batch.
    const Outcome whole = Verify(text, settings, text.size() + 1);
    if (!whole.ok) {
        Require(!whole.message.empty(), "every failure carries a message", text);
        Require(whole.message.find(std::string("EXTRACT = ") + kExtractName) != std::string::npos,
                "every failure names the extract", text, whole.message);
    }
    if (whole.keyRead)
        CheckLayout(whole, text, settings);

    ov::VerifySettings threaded = settings;
    threaded.workerThreads = 2;
    const Outcome pieces = Verify(text, threaded, chunk);
    Require(pieces.SameAs(whole), "small chunks and worker threads give the same outcome", text,
            Describe(pieces) + " against " + Describe(whole));

    std::vector<std::string> faults;
    std::vector<std::uint64_t> badRecords;
    const Outcome goingOn = Verify(text, settings, chunk, [&](const ov::ExtractError& e) {
        faults.push_back(e.what());
        Require(e.valueFault().has_value(), "a value fault says where it stands", text, e.what());
        if (badRecords.empty() || badRecords.back() != e.valueFault()->record)
            badRecords.push_back(e.valueFault()->record);
    });
    if (whole.ok) {
        Require(goingOn.SameAs(whole) && faults.empty(), "going on past bad values changes nothing without any",
                text, Describe(goingOn));
    } else if (whole.fault == ov::ExtractFault::BadValue) {
        Require(goingOn.ok && !faults.empty() && faults.front() == whole.message,
                "going on past bad values reports the same first one", text, Describe(goingOn));
        Require(std::is_sorted(badRecords.begin(), badRecords.end()) &&
                    goingOn.lines.size() + badRecords.size() == goingOn.records,
                "going on past bad values leaves out exactly the bad records", text,
                Describe(goingOn) + ", " + std::to_string(badRecords.size()) + " bad records");
    } else {
        Require(goingOn.SameAs(whole), "going on past bad values stops at the same fault", text, Describe(goingOn));
    }
    return 0;
}
