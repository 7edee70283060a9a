#include "checks/text_primitives.h"

#include <cstddef>

namespace ov {

namespace {

bool IsControlOrBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string RepeatChar(char ch, std::int32_t n)
{
    if (n <= 0)
        return {};
    return std::string(static_cast<std::size_t>(n), ch);
}

std::string LeftPart(std::string_view s, std::int32_t n)
{
    if (n <= 0)
        return {};
    return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string RightPart(std::string_view s, std::int32_t n)
{
    if (n <= 0)
        return {};
    const auto count = static_cast<std::size_t>(n);
    if (count >= s.size())
        return std::string(s);
    return std::string(s.substr(s.size() - count));
}

std::string MidPart(std::string_view s, std::int32_t p, std::int32_t n)
{
    // A stretch that runs past the end yields blanks, never a clipped piece.
    // 64-bit sums keep p + n - 1 from overflowing.
    const std::int64_t last = static_cast<std::int64_t>(p) + n - 1;
    if (static_cast<std::int64_t>(s.size()) < last)
        return RepeatChar(' ', n);
    if (n <= 0)
        return {};
    const std::size_t start = p < 1 ? 0 : static_cast<std::size_t>(p) - 1;
    if (start >= s.size())
        return {};
    return std::string(s.substr(start, static_cast<std::size_t>(n)));
}

std::string ZeroPad(std::int32_t w, std::string_view s)
{
    if (w <= 0)
        return {};
    const auto width = static_cast<std::size_t>(w);
    if (s.size() >= width)
        return std::string(s.substr(s.size() - width));
    std::string result(width - s.size(), '0');
    result.append(s);
    return result;
}

std::string_view TrimControls(std::string_view s)
{
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsControlOrBlank(s[begin]))
        ++begin;
    while (end > begin && IsControlOrBlank(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

std::string UpperCaseAscii(std::string_view s)
{
    std::string result(s);
    for (char& c : result)
        c = UpperAscii(c);
    return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace ov
