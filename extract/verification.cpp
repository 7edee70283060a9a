#include "extract/verification.h"

#include "checks/text_primitives.h"
#include "extract/extract_messages.h"
#include "extract/record_builder.h"
#include "schema/schema.h"

#include <stdexcept>

namespace ov {

namespace {

constexpr std::string_view kBeginData = "{BEGIN DATA}";
constexpr std::string_view kEndData = "{END DATA}";

// A marker is a whole line equal to it, letter case ignored; `length` is the
// line's full length, `line` may be only its first bytes.
bool IsMarker(std::string_view line, std::uint64_t length, std::string_view marker)
{
    return length == marker.size() && line.size() == marker.size() && EqualsIgnoringCase(line, marker);
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
    : extractFile_(std::move(extractFile)), source_(std::move(source)),
      reader_(std::make_unique<LineReader>(*source_, chunkSize))
{
    std::string_view line;
    if (reader_->Next(line)) {
        line1_.emplace(line);
        if (reader_->Next(line))
            line2_.emplace(line);
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
    const std::string upper = line1_ ? UpperCaseAscii(*line1_) : std::string();
    if (!line1_ || LeftPart(upper, 5) != "FORM ")
        throw ExtractError(ExtractFault::FormNotFound, FormSegmentNotFoundMessage(extractFile_));
    const std::string_view trimmed = TrimControls(upper);
    const std::string_view title = trimmed.size() > 5 ? trimmed.substr(5) : std::string_view();
    const int index = FindFormIndex(title);
    if (index < 0)
        throw ExtractError(ExtractFault::FormUnknown, FormNotFoundMessage(title, extractFile_));
    formName_ = title;
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
    const std::string upper = line2_ ? UpperCaseAscii(*line2_) : std::string();
    if (!line2_ || LeftPart(upper, 4) != "KEY ")
        throw ExtractError(ExtractFault::KeyNotFound, KeySegmentNotFoundMessage(extractFile_));
    const std::string_view trimmed = TrimControls(upper);
    if (trimmed.size() < 7)
        throw ExtractError(ExtractFault::BadKey, BadKeySegmentMessage(extractFile_));
    const std::string_view rest = trimmed.substr(4);
    const auto count = ReadInteger(LeftPart(rest, 3));
    const std::string_view flags = rest.substr(3);
    if (!count || *count < 0 || static_cast<std::size_t>(*count) != flags.size())
        throw ExtractError(ExtractFault::KeyChecksum, KeyChecksumMessage(extractFile_));
    if (flags.size() != fields_.size())
        throw ExtractError(ExtractFault::KeyFormChecksum, FormKeyChecksumMessage(formName_, extractFile_));
    keyFlags_ = flags;
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

    RecordBuilder record(fields_, keyFlags_, settings.regional, settings.currentYear);
    const std::uint64_t k = record.SuppliedCount();
    std::optional<ExtractError> firstFault;
    std::uint64_t dataLines = 0;

    // Checks one value line of the block; a rejected value becomes an error
    // that is raised only once the layout has passed.
    std::uint64_t recordNumber = 0;
    bool recordBad = false;
    const auto takeValue = [&](std::string_view line) {
        const std::uint64_t j = dataLines % k;
        if (j == 0) {
            ++recordNumber;
            recordBad = false;
            record.PrepareRecord();
        }
        ++dataLines;
        if (!recordBad && !record.StoreValue(j, line)) {
            recordBad = true;
            ValueFault fault;
            fault.record = recordNumber;
            fault.field = static_cast<int>(j + 1);
            fault.position = static_cast<int>(record.SuppliedPosition(j) + 1);
            fault.label = record.Label(j);
            fault.typeCode = record.TypeCode(j);
            fault.value = line;
            fault.lineNumber = reader_->LineNumber();
            ExtractError error(ExtractFault::BadValue,
                               BadValueMessage(extractFile_, recordNumber, fault.field, fault.label,
                                               record.Fragment(j), line),
                               std::move(fault));
            if (onFault)
                onFault(error);
            else
                firstFault.emplace(std::move(error));
        }
        if (j + 1 == k && !recordBad)
            sink.AddImportLine(record.ImportLine());
    };

    Markers markers;
    try {
        // Lines 1 and 2 were read at load; they cannot be markers once the
        // segments passed, but the search starts at line 1 all the same.
        if (line1_)
            markers.See(*line1_, line1_->size(), 1);
        if (line2_)
            markers.See(*line2_, line2_->size(), 2);
        std::string_view line;
        std::uint64_t length = 0;
        if (onFault) {
            // Layout first, so that every reported value belongs to a valid block.
            reader_->Rewind();
            while (reader_->NextPrefix(line, length) && !markers.See(line, length, reader_->LineNumber())) {
            }
        } else {
            while (markers.end == 0 || markers.begin == 0) {
                if (markers.begin != 0) {
                    // Inside the data block: values are needed whole.
                    if (!reader_->Next(line))
                        break;
                    length = line.size();
                    if (IsMarker(line, length, kEndData)) {
                        markers.end = reader_->LineNumber();
                        break;
                    }
                    if (k != 0 && !firstFault)
                        takeValue(line);
                    else
                        ++dataLines;
                } else {
                    if (!reader_->NextPrefix(line, length))
                        break;
                    markers.See(line, length, reader_->LineNumber());
                }
            }
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
            while (dataLines < n && reader_->Next(line))
                takeValue(line);
        }
        return n / k;
    } catch (const ReadFailure&) {
        throw ExtractError(ExtractFault::ReadError, StreamReadErrorMessage());
    }
}

} // namespace ov
