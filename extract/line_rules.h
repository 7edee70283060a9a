// The line rules of a data extract, shared by everything that splits one:
// a line ends at CR LF, at a lone LF or at a lone CR (LF followed by CR is
// two line ends); a NUL byte ends the text; a last line without a line end is
// a line, but a line end at the very end adds no empty line.
#pragma once

#include <cstddef>

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

// The number of bits set in a 16-bit mask (without relying on a processor
// instruction the build does not assume).
inline unsigned CountBits16(unsigned x)
{
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return (x + (x >> 8)) & 0x1Fu;
}

// The number of line ends in [p, end), a stretch without NUL that does not
// end with a CR whose LF may still follow: every LF and every CR counts,
// except an LF right after a CR (CR LF is one line end). Sixteen bytes are
// counted at a time.
inline std::size_t CountLineEnds(const char* p, const char* end)
{
    std::size_t count = 0;
    bool afterCr = false;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        const unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        const unsigned lfAfterCr = lfs & ((crs << 1) | (afterCr ? 1u : 0u));
        count += CountBits16(lfs) + CountBits16(crs) - CountBits16(lfAfterCr & 0xFFFFu);
        afterCr = (crs & 0x8000u) != 0;
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
