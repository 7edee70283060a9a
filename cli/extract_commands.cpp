#include "cli/extract_commands.h"

#include "extract/extract_messages.h"
#include "extract/import_file.h"
#include "platform/platform_error.h"
#include "platform/registry_store.h"
#include "platform/safe_file.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <ostream>

namespace ov {

namespace {

using Json = nlohmann::ordered_json;

// A message as the terminal shows it: the error box's text, lines ended by "\n".
std::string TerminalText(std::string_view message)
{
    std::string text;
    text.reserve(message.size());
    for (std::size_t at; (at = message.find("\r\n")) != std::string_view::npos; message.remove_prefix(at + 2))
        text.append(message.substr(0, at)) += '\n';
    text.append(message);
    return text;
}

const char* FaultName(ExtractFault fault)
{
    switch (fault) {
    case ExtractFault::CannotOpen: return "CannotOpen";
    case ExtractFault::ReadError: return "ReadError";
    case ExtractFault::FormNotFound: return "FormNotFound";
    case ExtractFault::FormUnknown: return "FormUnknown";
    case ExtractFault::KeyNotFound: return "KeyNotFound";
    case ExtractFault::BadKey: return "BadKey";
    case ExtractFault::KeyChecksum: return "KeyChecksum";
    case ExtractFault::KeyFormChecksum: return "KeyFormChecksum";
    case ExtractFault::BeginNotFound: return "BeginNotFound";
    case ExtractFault::EndNotFound: return "EndNotFound";
    case ExtractFault::EndBeforeBegin: return "EndBeforeBegin";
    case ExtractFault::NoFieldsSelected: return "NoFieldsSelected";
    case ExtractFault::FieldAllocation: return "FieldAllocation";
    case ExtractFault::BadValue: return "BadValue";
    }
    return "Unknown";
}

const char* FaultName(PlatformFault fault)
{
    switch (fault) {
    case PlatformFault::CannotCreateFile: return "CannotCreateFile";
    case PlatformFault::StreamWrite: return "StreamWrite";
    case PlatformFault::CreateKey: return "CreateKey";
    case PlatformFault::SetData: return "SetData";
    }
    return "Unknown";
}

// One entry of the JSON "errors" list; the message as the error box shows it.
Json ErrorEntry(const char* fault, std::string_view message, const ValueFault* value = nullptr)
{
    Json e;
    e["fault"] = fault;
    e["record"] = value ? Json(value->record) : Json();
    e["field"] = value ? Json(value->field) : Json();
    e["position"] = value ? Json(value->position) : Json();
    e["label"] = value ? Json(JsonText(value->label)) : Json();
    e["typeCode"] = value ? Json(JsonText(std::string(1, value->typeCode))) : Json();
    e["value"] = value ? Json(JsonText(value->value)) : Json();
    e["line"] = value ? Json(value->lineNumber) : Json();
    e["message"] = JsonText(ErrorBoxText(message));
    return e;
}

// Streams import lines to the temporary import file. A failure to create or
// write it is kept and raised only once verification has passed, so that a
// check failure is always reported before an output failure.
class ImportFileSink : public ImportLineSink {
public:
    explicit ImportFileSink(const std::string& path)
    {
        try {
            writer_ = std::make_unique<SafeFileWriter>(path);
        } catch (const PlatformError& e) {
            failure_.emplace(e);
        }
    }

    void AddImportLine(std::string_view line) override
    {
        Write(line);
        Write(kCrLf);
    }

    void AddImportLines(std::string_view linesWithCrLf) override { Write(linesWithCrLf); }

    // Puts the import file in place. Throws PlatformError.
    void Commit()
    {
        if (failure_)
            throw *failure_;
        writer_->Commit();
    }

private:
    void Write(std::string_view bytes)
    {
        if (failure_)
            return;
        try {
            writer_->Write(bytes);
        } catch (const PlatformError& e) {
            failure_.emplace(e);
            writer_.reset();
        }
    }

    std::unique_ptr<SafeFileWriter> writer_;
    std::optional<PlatformError> failure_;
};

struct Outcome {
    int status = 0;
    const char* statusName = "ok";
};

class ExtractCommand {
public:
    ExtractCommand(const ExtractCommandOptions& options, std::ostream& out, std::ostream& err,
                   const CliEnvironment& env)
        : options_(options), out_(out), err_(err), env_(env)
    {
        report_["command"] = options.convert ? "convert" : "check";
        report_["status"] = "ok";
        report_["extract"] = JsonText(options.extractFile);
        report_["form"] = nullptr;
        report_["records"] = nullptr;
        report_["importFile"] = nullptr;
        report_["errors"] = Json::array();
    }

    int Run()
    {
        const int status = Execute();
        if (options_.json)
            out_ << report_.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
        out_.flush();
        if (!out_ && status == 0) {
            err_ << TerminalText(ErrorBoxText(StreamWriteErrorMessage())) << '\n';
            return 3;
        }
        return status;
    }

private:
    // The terminal gets the message's own bytes; the JSON entry its JSON text.
    int FailWith(int status, const char* statusName, const char* fault, const std::string& message,
                 const ValueFault* value = nullptr)
    {
        report_["status"] = statusName;
        if (!options_.json)
            err_ << TerminalText(ErrorBoxText(message)) << '\n';
        report_["errors"].push_back(ErrorEntry(fault, message, value));
        return status;
    }

    int Execute()
    {
        const std::string& file = options_.extractFile;
        std::error_code ec;
        const auto kind = std::filesystem::status(file, ec);
        if (!std::filesystem::exists(kind) || std::filesystem::is_directory(kind)) {
            const std::string program = options_.convert ? "ovdm convert" : "ovdm check";
            const auto lines = MissingFileMessageLines(file, program);
            report_["status"] = "missing";
            if (!options_.json)
                err_ << JoinLines(lines, "\n") << '\n';
            report_["errors"].push_back(ErrorEntry("MissingFile", JoinLines(lines, kCrLf)));
            return 2;
        }
        try {
            VerificationRun run = VerificationRun::LoadFile(file);
            run.ReadFormSegment();
            report_["form"] = JsonText(run.FormName());
            run.ReadKeySegment();
            return options_.convert ? Convert(run) : Check(run);
        } catch (const ExtractError& e) {
            const bool unreadable = e.fault() == ExtractFault::CannotOpen || e.fault() == ExtractFault::ReadError;
            const ValueFault* value = e.valueFault() ? &*e.valueFault() : nullptr;
            return FailWith(unreadable ? 2 : 1, unreadable ? "unreadable" : "invalid", FaultName(e.fault()),
                            e.what(), value);
        } catch (const PlatformError& e) {
            return FailWith(3, "output-failed", FaultName(e.fault()), e.what());
        } catch (const std::bad_alloc&) {
            return FailWith(3, "output-failed", "OutOfMemory", "Out of memory");
        }
    }

    int Convert(VerificationRun& run)
    {
        const std::string importFile = ImportFilePath(run.ExtractFile());
        std::uint64_t records = 0;
        {
            ImportFileSink sink(importFile);
            records = run.VerifyDataBlock(env_.settings, sink);
            report_["records"] = records;
            sink.Commit();
        }
        report_["importFile"] = JsonText(importFile);
        const std::string folder(FolderPart(importFile));
        if (env_.recordImportFolder)
            env_.recordImportFolder(folder);
        else
            WriteUserRegistryString(kImportKeyPath, kTextDirectoryValue, folder);
        if (!options_.json)
            out_ << JoinLines(InstructionsMessageLines(run.ExtractFile(), importFile, run.FormName()), "\n")
                 << '\n';
        return 0;
    }

    int Check(VerificationRun& run)
    {
        DiscardImportLines sink;
        std::uint64_t faults = 0;
        ValueFaultHandler onFault;
        if (options_.allFaults)
            onFault = [&](const ExtractError& e) {
                if (!options_.json)
                    err_ << (faults == 0 ? "" : "\n") << TerminalText(ErrorBoxText(e.what())) << '\n';
                report_["errors"].push_back(ErrorEntry(FaultName(e.fault()), e.what(), &*e.valueFault()));
                ++faults;
            };
        const std::uint64_t records = run.VerifyDataBlock(env_.settings, sink, onFault);
        report_["records"] = records;
        if (faults != 0) {
            report_["status"] = "invalid";
            if (!options_.json)
                err_ << "\nBAD VALUES: " << faults << '\n';
            return 1;
        }
        if (!options_.json) {
            auto lines = SummaryMessageLines(run.ExtractFile(), run.FormName(), records);
            lines.resize(6);
            out_ << JoinLines(lines, "\n") << '\n';
        }
        return 0;
    }

    const ExtractCommandOptions& options_;
    std::ostream& out_;
    std::ostream& err_;
    const CliEnvironment& env_;
    Json report_;
};

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t more;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            if (i + k >= s.size())
                return false;
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

} // namespace

std::string JsonText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            text += ch;
        } else {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

int RunExtractCommand(const ExtractCommandOptions& options, std::ostream& out, std::ostream& err,
                      const CliEnvironment& env)
{
    return ExtractCommand(options, out, err, env).Run();
}

} // namespace ov
