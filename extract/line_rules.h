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

} // namespace ov
