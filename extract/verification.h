// A verification run: an extract taken from its file to import lines, in the
// stages the desktop program shows one at a time:
//   LoadFile (or LoadText) -> ReadFormSegment -> ReadKeySegment -> VerifyDataBlock.
// Each stage either completes or throws ExtractError carrying the complete
// message. The extract is read as a stream: memory does not grow with its size.
#pragma once

#include "checks/value_checks.h"
#include "extract/extract_error.h"
#include "extract/line_reader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

// What the value checks depend on; the caller reads them from the system.
struct VerifySettings {
    RegionalSettings regional;
    int currentYear = 0;
    // Threads that verify records besides the caller's: -1 one per processor
    // (none on a single processor), 0 none.
    int workerThreads = -1;
};

// Receives each finished import line (comma text, no line end), in record order.
class ImportLineSink {
public:
    virtual ~ImportLineSink() = default;
    virtual void AddImportLine(std::string_view line) = 0;
    // Several lines at once, each followed by CR LF. By default handed to
    // AddImportLine one by one.
    virtual void AddImportLines(std::string_view linesWithCrLf);
};

// Keeps the import lines in memory.
class ImportLineList : public ImportLineSink {
public:
    void AddImportLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// Throws the lines away (verification only).
class DiscardImportLines : public ImportLineSink {
public:
    void AddImportLine(std::string_view) override {}
    void AddImportLines(std::string_view) override {}
};

// Told of every rejected value when a run goes on past bad values.
using ValueFaultHandler = std::function<void(const ExtractError&)>;

class VerificationRun {
public:
    // Loads the extract named by `extractFile`: opens it and reads lines 1 and
    // 2. Throws ExtractError (CannotOpen) with "Cannot open file ..." and the
    // system's reason.
    static VerificationRun LoadFile(const std::string& extractFile,
                                    std::size_t chunkSize = LineReader::kDefaultChunk);
    // The same for an extract held in memory; `extractFile` is the name quoted
    // in messages. Never fails. The extract is read, and its records handed
    // to the workers, in pieces of `chunkSize` bytes.
    static VerificationRun LoadText(const std::string& extractFile, std::string text,
                                    std::size_t chunkSize = LineReader::kDefaultChunk);

    VerificationRun(VerificationRun&&) noexcept;
    VerificationRun& operator=(VerificationRun&&) noexcept;
    ~VerificationRun();

    // Reads line 1: the form it names becomes the run's form. Throws
    // ExtractError with M1 or M2.
    void ReadFormSegment();
    // Reads line 2 against itself and the form. Throws ExtractError with M3 to
    // M6; std::logic_error when ReadFormSegment has not succeeded.
    void ReadKeySegment();
    // Checks the data block's layout, then every supplied value by its field's
    // type code, and hands each record's import line to `sink`. Returns the
    // number of records. Throws ExtractError: M7 to M11 for the layout, M12
    // for the first rejected value (the layout is always decided first), or
    // ReadError; std::logic_error when ReadKeySegment has not succeeded.
    // Without `onFault` the extract is read once and a failed run may already
    // have handed lines to `sink`, which the caller then discards. With
    // `onFault` the layout is read first; then every rejected value goes to
    // `onFault` and the run goes on, leaving such records out of `sink`.
    std::uint64_t VerifyDataBlock(const VerifySettings& settings, ImportLineSink& sink,
                                  const ValueFaultHandler& onFault = {});

    const std::string& ExtractFile() const { return extractFile_; }
    // Set by ReadFormSegment: the title as read (upper-cased), its form index
    // and the form's field descriptors in field order.
    const std::string& FormName() const { return formName_; }
    int FormIndex() const { return formIndex_; }
    const std::vector<std::string>& FormFields() const { return fields_; }
    // Set by ReadKeySegment: one flag per field; "1" means supplied.
    const std::string& KeyFlags() const { return keyFlags_; }

private:
    VerificationRun(std::string extractFile, std::unique_ptr<ByteSource> source,
                    std::size_t chunkSize);

    std::string extractFile_;
    std::size_t chunkSize_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<LineReader> reader_;
    // Lines 1 and 2 as far as the segments need them.
    std::optional<LineReader::LineHead> line1_;
    std::optional<LineReader::LineHead> line2_;
    std::string formName_;
    int formIndex_ = -1;
    std::vector<std::string> fields_;
    std::string keyFlags_;
    bool keyRead_ = false;
    bool dataRead_ = false;
};

} // namespace ov
