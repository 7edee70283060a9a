// Every text that the extract road shows the user, in one place. Multi-line
// messages are joined by CR LF unless a function returns its lines apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

inline constexpr std::string_view kCrLf = "\r\n";

// Customer text quoted in a message (a title as read, a value line) is cut to
// its first kLongestQuote bytes, followed by "...", when it is longer: a line
// of gigabytes makes no message.
inline constexpr std::size_t kLongestQuote = 1000;
std::string QuoteExcerpt(std::string_view text);

// Joins lines with `separator` between each two; no separator at the end.
std::string JoinLines(const std::vector<std::string>& lines, std::string_view separator);

// The text the error box shows for a message: one full stop is added when the
// message is not empty and its last character's code is above 46 (".").
std::string ErrorBoxText(std::string_view message);

// --- Loading -----------------------------------------------------------------
// "Cannot open file "PATH". REASON"
std::string CannotOpenFileMessage(std::string_view path, std::string_view reason);
// Reading failed after the start of the file had been read.
std::string StreamReadErrorMessage();
// Another program changed the extract while the run read it.
std::string ExtractChangedMessage(std::string_view extractFile);

// --- FORM and KEY segments (M1 to M6) ---------------------------------------
std::string FormSegmentNotFoundMessage(std::string_view extractFile);
std::string FormNotFoundMessage(std::string_view titleAsRead, std::string_view extractFile);
std::string KeySegmentNotFoundMessage(std::string_view extractFile);
std::string BadKeySegmentMessage(std::string_view extractFile);
std::string KeyChecksumMessage(std::string_view extractFile);
std::string FormKeyChecksumMessage(std::string_view formName, std::string_view extractFile);

// --- Data block (M7 to M12) ---------------------------------------------------
std::string BeginDataNotFoundMessage(std::string_view extractFile);
std::string EndDataNotFoundMessage(std::string_view extractFile);
std::string EndPrecedesBeginMessage(std::string_view extractFile);
std::string NoFieldsSelectedMessage(std::string_view extractFile);
std::string FieldAllocationMessage(std::uint64_t fieldsPerRecord, std::uint64_t linesInBlock,
                                   std::string_view extractFile);
// `fragment` names what is wrong ("to an invalid TIN "); `valueLine` is the
// extract's line exactly as it stands.
std::string BadValueMessage(std::string_view extractFile, std::uint64_t record, int field,
                            std::string_view label, std::string_view fragment,
                            std::string_view valueLine);

// --- Runs ---------------------------------------------------------------------
// The 7 lines shown when the named extract does not exist.
std::vector<std::string> MissingFileMessageLines(std::string_view extractFile,
                                                 std::string_view programFileName);
// The 8 lines of the button run's summary; the command line shows lines 1 to 6.
std::vector<std::string> SummaryMessageLines(std::string_view extractFile, std::string_view formName,
                                             std::uint64_t records);
inline constexpr std::string_view kSummaryCaption = "Successful Verification";

// The 16 lines of the instructions shown once the import file is saved.
std::vector<std::string> InstructionsMessageLines(std::string_view extractFile,
                                                  std::string_view importFile,
                                                  std::string_view formName);
inline constexpr std::string_view kInstructionsCaption = "Data Extract Import Instructions";

} // namespace ov
