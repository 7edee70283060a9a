// The import file: its name beside the extract and the comma text of its lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ov {

// The folder part of a path: everything up to and including its last folder
// separator ("/"; on Windows "\", ":" or "/"); empty when it has none.
std::string_view FolderPart(std::string_view path);
// The rest of the path behind its folder part.
std::string_view FileNamePart(std::string_view path);
// The import file of an extract: its folder part, "2021", "DM_" and its file
// name part. Never fails.
std::string ImportFilePath(std::string_view extractFile);

// Appends one value as comma text: written bare, or between double quotes with
// inner double quotes doubled when it holds a character of code 0 to 32, a
// double quote or a comma.
void AppendCommaValue(std::string& line, std::string_view value);
// Appends the values joined by commas (no line end). Never fails.
void AppendCommaText(std::string& line, const std::vector<std::string>& values);
void AppendCommaText(std::string& line, const std::vector<std::string_view>& values);
std::string CommaText(const std::vector<std::string>& values);
// The most bytes the comma text of `values` can take.
std::size_t CommaTextBound(const std::vector<std::string>& values);
std::size_t CommaTextBound(const std::vector<std::string_view>& values);
// Writes the comma text of `values` at `out`, which has room for
// CommaTextBound(values) bytes; returns the end of what was written.
char* WriteCommaText(char* out, const std::vector<std::string>& values);
char* WriteCommaText(char* out, const std::vector<std::string_view>& values);

} // namespace ov
