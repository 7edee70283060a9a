// The line rules of a data extract, shared by everything that splits one:
// a line ends at CR LF, at a lone LF or at a lone CR (LF followed by CR is
// two line ends); a NUL byte ends the text; a last line without a line end is
// a line, but a line end at the very end adds no empty line.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace ov {

// The first NUL, LF or CR in [p, end), or end.
inline const char* FindLineEnd(const char* p, const char* end)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i nul = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, nul));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c <= '\r' && (c == '\n' || c == '\r' || c == '\0'))
            return p;
    }
    return end;
}

// True when the CR or LF at `p` is a CR whose line end may go on with an LF
// that is not yet in [p, end).
inline bool LineEndUndecided(const char* p, const char* end)
{
    return *p == '\r' && p + 1 == end;
}

// The length of the line end at `p`, a CR or LF before `end`: 2 for CR LF,
// otherwise 1.
inline std::size_t LineEndLength(const char* p, const char* end)
{
    return *p == '\r' && p + 1 != end && p[1] == '\n' ? 2 : 1;
}

// The number of bits set in a 64-bit mask (without relying on a processor
// instruction the build does not assume).
inline unsigned CountBits64(std::uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<unsigned>((x * 0x0101010101010101ull) >> 56);
}

#ifdef __SSE2__
// One bit per byte of the 64 bytes at `p`: set where the byte equals `c`.
inline std::uint64_t ByteMask64(const char* p, __m128i c)
{
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        mask |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c))))
                << (16 * i);
    }
    return mask;
}
#endif

// The number of line ends in [p, end), a stretch without NUL that does not
// end with a CR whose LF may still follow: every LF and every CR counts,
// except an LF right after a CR (CR LF is one line end). Sixty-four bytes
// are counted at a time.
inline std::size_t CountLineEnds(const char* p, const char* end)
{
    std::size_t count = 0;
    bool afterCr = false;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - p >= 64; p += 64) {
        const std::uint64_t lfs = ByteMask64(p, lf);
        const std::uint64_t crs = ByteMask64(p, cr);
        const std::uint64_t lfAfterCr = lfs & ((crs << 1) | (afterCr ? 1u : 0u));
        count += CountBits64((lfs | crs) & ~lfAfterCr);
        afterCr = (crs >> 63) != 0;
    }
#endif
    for (; p != end; ++p) {
        if (*p == '\r')
            ++count;
        else if (*p == '\n' && !afterCr)
            ++count;
        afterCr = *p == '\r';
    }
    return count;
}

// The start of the last `lines` lines of [begin, end), a stretch of whole
// lines each followed by its line end (lines at most their number).
inline const char* StartOfLastLines(const char* begin, const char* end, std::size_t lines)
{
    const char* p = end;
    for (; lines > 0; --lines) {
        p -= (p - begin >= 2 && p[-1] == '\n' && p[-2] == '\r') ? 2 : 1;
        while (p != begin && p[-1] != '\n' && p[-1] != '\r')
            --p;
    }
    return p;
}

} // namespace ov
