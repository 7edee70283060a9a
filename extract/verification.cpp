#include "extract/verification.h"

#include "checks/text_primitives.h"
#include "extract/extract_messages.h"
#include "extract/line_rules.h"
#include "extract/record_batches.h"
#include "schema/schema.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace ov {

namespace {

constexpr std::string_view kBeginData = "{BEGIN DATA}";
constexpr std::string_view kEndData = "{END DATA}";

// Lines 1 and 2 are kept by their start: it must hold a title as far as it
// is quoted, and "KEY ", the count and up to 999 flags.
static_assert(LineReader::kPrefixLength >= 5 + kLongestQuote + 1 && LineReader::kPrefixLength >= 7 + 999);

// A marker is a whole line equal to it, letter case ignored; `length` is the
// line's full length, `line` may be only its first bytes.
bool IsMarker(std::string_view line, std::uint64_t length, std::string_view marker)
{
    return length == marker.size() && line.size() == marker.size() && EqualsIgnoringCase(line, marker);
}

// The first end marker line among the whole lines of [from, complete), each
// followed by its line end, or nullptr.
const char* FindEndMarker(const char* from, const char* complete)
{
    for (const char* p = from; p != complete; ++p) {
        p = static_cast<const char*>(std::memchr(p, '{', static_cast<std::size_t>(complete - p)));
        if (!p)
            return nullptr;
        if ((p == from || p[-1] == '\n' || p[-1] == '\r') && complete - p > 10 && (p[10] == '\n' || p[10] == '\r')
            && EqualsIgnoringCase(std::string_view(p, 10), kEndData))
            return p;
    }
    return nullptr;
}

// Line numbers (from 1) of the first start and end markers; 0 when not found.
struct Markers {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;

    // Notes line `number`; true once both markers are known.
    bool See(std::string_view line, std::uint64_t length, std::uint64_t number)
    {
        if (begin == 0 && IsMarker(line, length, kBeginData))
            begin = number;
        else if (end == 0 && IsMarker(line, length, kEndData))
            end = number;
        return begin != 0 && end != 0;
    }
};

} // namespace

VerificationRun::VerificationRun(std::string extractFile, std::unique_ptr<ByteSource> source,
                                 std::size_t chunkSize)
    : extractFile_(std::move(extractFile)), chunkSize_(chunkSize), source_(std::move(source)),
      reader_(std::make_unique<LineReader>(*source_, chunkSize))
{
    LineReader::LineHead head;
    if (reader_->NextHead(head)) {
        line1_ = head;
        if (reader_->NextHead(head))
            line2_ = head;
    }
}

VerificationRun::VerificationRun(VerificationRun&&) noexcept = default;
VerificationRun& VerificationRun::operator=(VerificationRun&&) noexcept = default;
VerificationRun::~VerificationRun() = default;

VerificationRun VerificationRun::LoadFile(const std::string& extractFile, std::size_t chunkSize)
{
    try {
        return VerificationRun(extractFile, std::make_unique<FileByteSource>(extractFile), chunkSize);
    } catch (const ReadFailure& failure) {
        throw ExtractError(ExtractFault::CannotOpen, CannotOpenFileMessage(extractFile, failure.what()));
    }
}

VerificationRun VerificationRun::LoadText(const std::string& extractFile, std::string text,
                                          std::size_t chunkSize)
{
    return VerificationRun(extractFile, std::make_unique<TextByteSource>(std::move(text)), chunkSize);
}

void VerificationRun::ReadFormSegment()
{
    // A line that begins with "FORM " trims only at its end. Only the parts
    // that matter are upper-cased: a line may be very long.
    if (!line1_ || UpperCaseAscii(LeftPart(line1_->start, 5)) != "FORM ")
        throw ExtractError(ExtractFault::FormNotFound, FormSegmentNotFoundMessage(extractFile_));
    const std::string_view start = line1_->start;
    const std::size_t trimmedEnd = static_cast<std::size_t>(std::min<std::uint64_t>(line1_->visibleEnd, start.size()));
    // A title longer than any form's is looked up, and quoted, by its start.
    const std::string_view title = trimmedEnd > 5 ? start.substr(5, trimmedEnd - 5) : std::string_view();
    const std::string titleAsRead = UpperCaseAscii(title.substr(0, kLongestQuote + 1));
    const int index = FindFormIndex(titleAsRead);
    if (index < 0)
        throw ExtractError(ExtractFault::FormUnknown, FormNotFoundMessage(titleAsRead, extractFile_));
    formName_ = titleAsRead;
    formIndex_ = index;
    fields_.clear();
    GetFormFields(static_cast<unsigned char>(index), fields_);
    keyFlags_.clear();
    keyRead_ = false;
}

void VerificationRun::ReadKeySegment()
{
    if (formIndex_ < 0)
        throw std::logic_error("ReadKeySegment before ReadFormSegment");
    if (!line2_ || UpperCaseAscii(LeftPart(line2_->start, 4)) != "KEY ")
        throw ExtractError(ExtractFault::KeyNotFound, KeySegmentNotFoundMessage(extractFile_));
    // Trimmed, the line is "KEY ", three characters of count and the flags.
    const std::uint64_t trimmedLength = line2_->visibleEnd;
    if (trimmedLength < 7)
        throw ExtractError(ExtractFault::BadKey, BadKeySegmentMessage(extractFile_));
    const std::uint64_t flagCount = trimmedLength - 7;
    // Letter case changes neither how the count reads (hexadecimal digits
    // read in either case) nor which flags are "1".
    const auto count = ReadInteger(line2_->start.substr(4, 3));
    if (!count || *count < 0 || static_cast<std::uint64_t>(*count) != flagCount)
        throw ExtractError(ExtractFault::KeyChecksum, KeyChecksumMessage(extractFile_));
    if (flagCount != fields_.size())
        throw ExtractError(ExtractFault::KeyFormChecksum, FormKeyChecksumMessage(formName_, extractFile_));
    // At most 999 flags: all of them are within the start of the line.
    keyFlags_ = UpperCaseAscii(std::string_view(line2_->start).substr(7, flagCount));
    keyRead_ = true;
}

std::uint64_t VerificationRun::VerifyDataBlock(const VerifySettings& settings, ImportLineSink& sink,
                                               const ValueFaultHandler& onFault)
{
    if (!keyRead_)
        throw std::logic_error("VerifyDataBlock before ReadKeySegment");
    if (dataRead_)
        throw std::logic_error("VerifyDataBlock called twice on one load");
    dataRead_ = true;

    std::uint64_t k = 0;
    for (const char flag : keyFlags_)
        k += flag == '1' ? 1 : 0;

    BatchContext context;
    context.fields = &fields_;
    context.keyFlags = keyFlags_;
    context.regional = settings.regional;
    context.currentYear = settings.currentYear;
    context.extractFile = extractFile_;
    context.stopAtFirstFault = !onFault;

    // A rejected value is raised only once the layout has passed.
    std::optional<ExtractError> firstFault;
    const auto deliver = [&](RecordBatch& batch) {
        if (batch.failure)
            std::rethrow_exception(batch.failure);
        if (firstFault)
            return;
        if (!batch.output.Empty())
            sink.AddImportLines(batch.output.View());
        for (const ExtractError& fault : batch.faults) {
            if (onFault)
                onFault(fault);
            else
                firstFault.emplace(fault);
        }
    };
    int workers = settings.workerThreads;
    if (workers < 0) {
        const unsigned processors = std::thread::hardware_concurrency();
        workers = processors > 1 ? static_cast<int>(processors) : 0;
    }
    BatchPipeline pipeline(context, static_cast<unsigned>(workers), chunkSize_, deliver);

    Markers markers;
    // Reads the data block from the line behind the start marker up to the
    // end marker or the end of the text, handing whole records to the
    // pipeline; counts the block's lines.
    std::uint64_t dataLines = 0;
    const auto scanBlock = [&]() -> bool {
        const LineReader::Remainder rest = reader_->TakeRemainder();
        bool sourceDone = rest.sourceDone || rest.textEnded;
        RecordBatch* batch = &pipeline.Current();
        batch->Reserve(rest.bytes.size());
        std::copy(rest.bytes.begin(), rest.bytes.end(), batch->bytes.get());
        batch->used = rest.bytes.size();
        batch->firstLine = markers.begin + 1;
        batch->firstRecord = 1;
        std::size_t pos = 0;   // start of the next line in the batch
        std::size_t cut = 0;   // end of the last whole record in the batch
        std::uint64_t j = 0;   // place of the next line in its record
        const auto handOn = [&](std::size_t length) {
            const std::uint64_t records = k == 0 ? 0 : (dataLines - j) / k;
            // With nothing (more) to verify the bytes are let go.
            pipeline.Submit(length, k != 0 && !firstFault, records + 1, markers.begin + 1 + dataLines - j);
            batch = &pipeline.Current();
            pos -= cut;
            cut = 0;
        };
        const auto verifying = [&] { return k != 0 && !firstFault; };
        for (;;) {
            const char* const base = batch->bytes.get();
            const char* const from = base + pos;
            const char* const stop = base + batch->used;
            // The text ends at a NUL, or where the source ends.
            const char* const nul = static_cast<const char*>(std::memchr(from, '\0', static_cast<std::size_t>(stop - from)));
            const char* const limit = nul ? nul : stop;
            const bool textEnds = nul || sourceDone;
            // The whole lines read: up to the last line end that is decided
            // (a CR at the end of what was read may yet be followed by LF).
            const char* complete = limit;
            while (complete != from && complete[-1] != '\n' && complete[-1] != '\r')
                --complete;
            if (!textEnds && complete == stop && complete != from && complete[-1] == '\r') {
                --complete;
                while (complete != from && complete[-1] != '\n' && complete[-1] != '\r')
                    --complete;
            }
            if (const char* marker = FindEndMarker(from, complete)) {
                dataLines += CountLineEnds(from, marker);
                markers.end = markers.begin + 1 + dataLines;
                pipeline.Finish(static_cast<std::size_t>(marker - base), verifying());
                return true;
            }
            const std::size_t lines = CountLineEnds(from, complete);
            dataLines += lines;
            pos = static_cast<std::size_t>(complete - base);
            if (!verifying()) {
                cut = pos;
            } else if (j + lines >= k) {
                // Records were completed: the batch may be cut behind the last.
                j = (j + lines) % k;
                cut = static_cast<std::size_t>(StartOfLastLines(from, complete, j) - base);
            } else {
                j += lines;
            }
            if (textEnds) {
                // What is left up to the end of the text is the last line.
                const std::string_view last(complete, static_cast<std::size_t>(limit - complete));
                if (IsMarker(last, last.size(), kEndData)) {
                    markers.end = markers.begin + 1 + dataLines;
                    pipeline.Finish(pos, verifying());
                    return true;
                }
                if (!last.empty())
                    ++dataLines;
                pipeline.Finish(static_cast<std::size_t>(limit - base), verifying());
                return false;
            }
            // The line goes on behind what has been read.
            if (batch->used == batch->capacity && cut > 0)
                handOn(cut);
            if (batch->used == batch->capacity)
                batch->Reserve(batch->capacity * 2); // a record larger than the batch
            const std::size_t n = source_->Read(batch->bytes.get() + batch->used, batch->capacity - batch->used);
            batch->used += n;
            sourceDone = n == 0;
        }
    };

    try {
        // Lines 1 and 2 were read at load; they cannot be markers once the
        // segments passed, but the search starts at line 1 all the same.
        if (line1_)
            markers.See(line1_->start, line1_->length, 1);
        if (line2_)
            markers.See(line2_->start, line2_->length, 2);
        std::string_view line;
        std::uint64_t length = 0;
        if (onFault) {
            // Layout first, so that every reported value belongs to a valid block.
            reader_->Rewind();
            while (reader_->NextPrefix(line, length) && !markers.See(line, length, reader_->LineNumber())) {
            }
        } else {
            // Up to the first marker, then the data block if that was the start
            // marker, else on to the start marker (an end marker before it).
            while (markers.begin == 0 && reader_->NextPrefix(line, length))
                if (markers.See(line, length, reader_->LineNumber()))
                    break;
            if (markers.begin != 0 && markers.end == 0)
                scanBlock();
        }

        if (markers.begin == 0)
            throw ExtractError(ExtractFault::BeginNotFound, BeginDataNotFoundMessage(extractFile_));
        if (markers.end == 0)
            throw ExtractError(ExtractFault::EndNotFound, EndDataNotFoundMessage(extractFile_));
        if (markers.end < markers.begin)
            throw ExtractError(ExtractFault::EndBeforeBegin, EndPrecedesBeginMessage(extractFile_));
        if (k == 0)
            throw ExtractError(ExtractFault::NoFieldsSelected, NoFieldsSelectedMessage(extractFile_));
        const std::uint64_t n = markers.end - markers.begin - 1;
        if (n % k != 0)
            throw ExtractError(ExtractFault::FieldAllocation, FieldAllocationMessage(k, n, extractFile_));
        if (firstFault)
            throw *firstFault;

        if (onFault) {
            reader_->Rewind();
            while (reader_->LineNumber() < markers.begin && reader_->NextPrefix(line, length)) {
            }
            scanBlock();
        }
        source_->CheckUnchanged();
        return n / k;
    } catch (const SourceChanged&) {
        throw ExtractError(ExtractFault::ReadError, ExtractChangedMessage(extractFile_));
    } catch (const ReadFailure&) {
        throw ExtractError(ExtractFault::ReadError, StreamReadErrorMessage());
    }
}

void ImportLineSink::AddImportLines(std::string_view linesWithCrLf)
{
    while (!linesWithCrLf.empty()) {
        const std::size_t end = linesWithCrLf.find(kCrLf);
        AddImportLine(linesWithCrLf.substr(0, end));
        linesWithCrLf.remove_prefix(end == std::string_view::npos ? linesWithCrLf.size() : end + kCrLf.size());
    }
}

} // namespace ov
