#include "extract/import_file.h"

#include "schema/schema.h"

#include <algorithm>

namespace ov {

namespace {

bool IsFolderSeparator(char c)
{
#ifdef _WIN32
    return c == '\\' || c == ':' || c == '/';
#else
    return c == '/';
#endif
}

bool NeedsQuotes(std::string_view value)
{
    for (char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 32 || c == '"' || c == ',')
            return true;
    }
    return false;
}

} // namespace

std::string_view FolderPart(std::string_view path)
{
    const auto it = std::find_if(path.rbegin(), path.rend(), IsFolderSeparator);
    return path.substr(0, static_cast<size_t>(path.rend() - it));
}

std::string_view FileNamePart(std::string_view path)
{
    return path.substr(FolderPart(path).size());
}

std::string ImportFilePath(std::string_view extractFile)
{
    std::string path(FolderPart(extractFile));
    path += kReportingYear;
    path += "DM_";
    path += FileNamePart(extractFile);
    return path;
}

void AppendCommaValue(std::string& line, std::string_view value)
{
    if (!NeedsQuotes(value)) {
        line += value;
        return;
    }
    line += '"';
    for (char c : value) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void AppendCommaText(std::string& line, const std::vector<std::string>& values)
{
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0)
            line += ',';
        AppendCommaValue(line, values[i]);
    }
}

std::string CommaText(const std::vector<std::string>& values)
{
    std::string line;
    AppendCommaText(line, values);
    return line;
}

} // namespace ov
