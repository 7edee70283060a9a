#include "extract/extract_messages.h"

#include "extract/import_file.h"
#include "schema/schema.h"

namespace ov {

namespace {

constexpr std::string_view kExtractIs = "EXTRACT = ";

std::string Join(std::initializer_list<std::string_view> lines)
{
    std::string text;
    bool first = true;
    for (std::string_view line : lines) {
        if (!first)
            text += kCrLf;
        text += line;
        first = false;
    }
    return text;
}

// The three-line layout of M1 to M10: the fault, a blank line, the extract.
std::string LayoutMessage(std::string_view firstLine, std::string_view extractFile)
{
    return Join({firstLine, "", std::string(kExtractIs) + std::string(extractFile)});
}

std::string Cat(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

} // namespace

std::string QuoteExcerpt(std::string_view text)
{
    if (text.size() <= kLongestQuote)
        return std::string(text);
    return std::string(text.substr(0, kLongestQuote)) + "...";
}

std::string JoinLines(const std::vector<std::string>& lines, std::string_view separator)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i != 0)
            text += separator;
        text += lines[i];
    }
    return text;
}

std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

std::string CannotOpenFileMessage(std::string_view path, std::string_view reason)
{
    return Cat({"Cannot open file \"", path, "\". ", reason});
}

std::string StreamReadErrorMessage()
{
    return "Stream read error";
}

std::string ExtractChangedMessage(std::string_view extractFile)
{
    return LayoutMessage("The extract was changed while it was being read.", extractFile);
}

std::string FormSegmentNotFoundMessage(std::string_view extractFile)
{
    return LayoutMessage("FORM segment not found.", extractFile);
}

std::string FormNotFoundMessage(std::string_view titleAsRead, std::string_view extractFile)
{
    return LayoutMessage(Cat({"FORM ", QuoteExcerpt(titleAsRead), " not found."}), extractFile);
}

std::string KeySegmentNotFoundMessage(std::string_view extractFile)
{
    return LayoutMessage("KEY segment not found.", extractFile);
}

std::string BadKeySegmentMessage(std::string_view extractFile)
{
    return LayoutMessage("Bad KEY segment.", extractFile);
}

std::string KeyChecksumMessage(std::string_view extractFile)
{
    return LayoutMessage("KEY segment checksum error.", extractFile);
}

std::string FormKeyChecksumMessage(std::string_view formName, std::string_view extractFile)
{
    return LayoutMessage(Cat({formName, " (", kReportingYear, ") checksum error in KEY segment."}),
                         extractFile);
}

std::string BeginDataNotFoundMessage(std::string_view extractFile)
{
    return LayoutMessage("{BEGIN DATA} not found.", extractFile);
}

std::string EndDataNotFoundMessage(std::string_view extractFile)
{
    return LayoutMessage("{END DATA} not found.", extractFile);
}

std::string EndPrecedesBeginMessage(std::string_view extractFile)
{
    return LayoutMessage("{END DATA} precedes {BEGIN DATA}.", extractFile);
}

std::string NoFieldsSelectedMessage(std::string_view extractFile)
{
    return LayoutMessage("No fields selected?", extractFile);
}

std::string FieldAllocationMessage(std::uint64_t fieldsPerRecord, std::uint64_t linesInBlock,
                                   std::string_view extractFile)
{
    const std::string required = "Total fields required per record = " + std::to_string(fieldsPerRecord);
    const std::string recorded = "Total fields recorded in this extract = " + std::to_string(linesInBlock);
    return Join({"Field allocation error.", "", required, "", "is not an integral factor of", "",
                 recorded, "", std::string(kExtractIs) + std::string(extractFile)});
}

std::string BadValueMessage(std::string_view extractFile, std::uint64_t record, int field,
                            std::string_view label, std::string_view fragment,
                            std::string_view valueLine)
{
    const std::string where = "Record # " + std::to_string(record) + ", Field # " + std::to_string(field);
    return Join({Cat({kExtractIs, extractFile}), "", where,
                 Cat({"Destination field \"", label, "\" maps ", fragment, "\"", QuoteExcerpt(valueLine), "\""})});
}

std::vector<std::string> MissingFileMessageLines(std::string_view extractFile,
                                                 std::string_view programFileName)
{
    return {
        "Failed to open data extract:",
        "",
        std::string(extractFile),
        "",
        Cat({"Usage: ", programFileName, " \"File specification\""}),
        "",
        "\"File specification\" = fully qualified file name of your data extract!",
    };
}

std::vector<std::string> SummaryMessageLines(std::string_view extractFile, std::string_view formName,
                                             std::uint64_t records)
{
    return {
        Cat({"EXTRACT: ", extractFile}),
        "",
        Cat({"RETURNS: ", formName}),
        "RECORDS: " + std::to_string(records),
        "",
        Cat({"REPORTING YEAR: ", kReportingYear}),
        "",
        "Do you want to save the output for merging with Orvane?",
    };
}

std::vector<std::string> InstructionsMessageLines(std::string_view extractFile,
                                                  std::string_view importFile,
                                                  std::string_view formName)
{
    return {
        Cat({"Data Extract \"", FileNamePart(extractFile), "\" has been saved as"}),
        "",
        Cat({"FILE:  ", FileNamePart(importFile)}),
        Cat({"FOLDER:  ", FolderPart(importFile)}),
        "",
        "This file is now ready for importing!",
        "",
        "In order to import this file",
        "",
        "- Start ORVANE.",
        "- Open \"Client (Filer, Entity) Management\" from the \"Module\" menu.",
        "- Double click the Client (Filer) to be used.",
        Cat({"- Select Form \"", formName, "\" from the \"Forms\" menu."}),
        "- Select \"Import ASCII Text File\" from the \"File\" menu.",
        "- Browse to the FILE in the FOLDER shown above.",
        "- Click the \"Open\" button.",
    };
}

} // namespace ov
