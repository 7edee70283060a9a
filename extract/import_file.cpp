#include "extract/import_file.h"

#include "schema/schema.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

// Characters that make a value go between double quotes: codes 0 to 32, the
// double quote and the comma.
constexpr auto kQuoteTriggers = [] {
    std::array<bool, 256> t{};
    for (int c = 0; c <= 32; ++c)
        t[static_cast<std::size_t>(c)] = true;
    t['"'] = true;
    t[','] = true;
    return t;
}();

// True when some byte of the word is below `n` (n at most 128).
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline std::uint64_t HasByteBelow(std::uint64_t x, std::uint64_t n)
{
    return (x - kOnes * n) & ~x & (kOnes * 0x80);
}

// Non-zero when some byte of the word makes a value go between double quotes:
// a character of code 0 to 32, a double quote or a comma; high characters
// never count.
inline std::uint64_t QuoteTriggersIn(std::uint64_t x)
{
    return HasByteBelow(x, 33) | HasByteBelow(x ^ (kOnes * '"'), 1) | HasByteBelow(x ^ (kOnes * ','), 1);
}

// A value goes between double quotes when it holds a quote trigger. Eight
// bytes are tested at a time.
bool NeedsQuotes(std::string_view value)
{
    const char* p = value.data();
    std::size_t n = value.size();
    while (n != 0) {
        std::uint64_t x = kOnes * 'A'; // filler that never needs quotes
        const std::size_t take = n < 8 ? n : 8;
        std::memcpy(&x, p, take);
        if (QuoteTriggersIn(x))
            return true;
        p += take;
        n -= take;
    }
    return false;
}

std::uint64_t LoadWord(const char* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    return x;
}

void StoreWord(char* p, std::uint64_t x)
{
    std::memcpy(p, &x, sizeof x);
}

// Copies `value` to `out` and tells whether it needs quotes. Values are
// short, so it goes without a library call: a short one byte by byte, a longer
// one by words, the last word overlapping the one before, so that nothing
// outside the value is read and nothing past out + its size is written.
inline bool CopyTestingQuotes(char* out, std::string_view value)
{
    const char* p = value.data();
    const std::size_t n = value.size();
    if (n < 8) {
        bool quote = false;
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = p[i];
            quote |= kQuoteTriggers[static_cast<unsigned char>(p[i])];
        }
        return quote;
    }
    std::uint64_t triggers = 0;
    for (std::size_t i = 0; i + 8 < n; i += 8) {
        const auto x = LoadWord(p + i);
        StoreWord(out + i, x);
        triggers |= QuoteTriggersIn(x);
    }
    const auto last = LoadWord(p + n - 8);
    StoreWord(out + n - 8, last);
    return (triggers | QuoteTriggersIn(last)) != 0;
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

namespace {

template <class Values>
std::size_t CommaTextBoundOf(const Values& values)
{
    std::size_t bound = values.size();
    for (const auto& v : values)
        bound += 2 * v.size() + 2;
    return bound;
}

template <class Values>
char* WriteCommaTextOf(char* out, const Values& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0)
            *out++ = ',';
        const std::string_view v = values[i];
        if (!CopyTestingQuotes(out, v)) {
            out += v.size();
            continue;
        }
        *out++ = '"';
        for (const char c : v) {
            if (c == '"')
                *out++ = '"';
            *out++ = c;
        }
        *out++ = '"';
    }
    return out;
}

} // namespace

std::size_t CommaTextBound(const std::vector<std::string>& values)
{
    return CommaTextBoundOf(values);
}

std::size_t CommaTextBound(const std::vector<std::string_view>& values)
{
    return CommaTextBoundOf(values);
}

char* WriteCommaText(char* out, const std::vector<std::string>& values)
{
    return WriteCommaTextOf(out, values);
}

char* WriteCommaText(char* out, const std::vector<std::string_view>& values)
{
    return WriteCommaTextOf(out, values);
}

void AppendCommaValue(std::string& line, std::string_view value)
{
    if (!NeedsQuotes(value)) {
        line += value;
        return;
    }
    line += '"';
    for (const char c : value) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void AppendCommaText(std::string& line, const std::vector<std::string>& values)
{
    const std::size_t start = line.size();
    line.resize(start + CommaTextBound(values));
    char* const end = WriteCommaText(line.data() + start, values);
    line.resize(static_cast<std::size_t>(end - line.data()));
}

void AppendCommaText(std::string& line, const std::vector<std::string_view>& values)
{
    const std::size_t start = line.size();
    line.resize(start + CommaTextBound(values));
    char* const end = WriteCommaText(line.data() + start, values);
    line.resize(static_cast<std::size_t>(end - line.data()));
}

std::string CommaText(const std::vector<std::string>& values)
{
    std::string line;
    AppendCommaText(line, values);
    return line;
}

} // namespace ov
