// Shared by the fuzz targets: failing an invariant, and the input as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace ov::fuzz {

// The input shown with every byte outside printable ASCII as \xNN, cut after
// 200 bytes; libFuzzer saves the whole input as a crash file anyway.
inline std::string Printable(std::string_view text)
{
    std::string out;
    const std::size_t shown = text.size() < 200 ? text.size() : 200;
    for (std::size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (shown < text.size())
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

// Aborts, so libFuzzer records the input, when `holds` is false.
inline void Require(bool holds, const char* invariant, std::string_view input, const std::string& detail = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "\nINVARIANT BROKEN: %s\n  input: \"%s\"\n", invariant, Printable(input).c_str());
    if (!detail.empty())
        std::fprintf(stderr, "  %s\n", detail.c_str());
    std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace ov::fuzz
