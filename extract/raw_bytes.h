// Byte buffers that grow in place: realloc moves large blocks by remapping
// pages instead of copying them, which matters for lines of gigabytes.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace ov {

struct FreeBytes {
    void operator()(char* p) const { std::free(p); }
};
using RawBytes = std::unique_ptr<char[], FreeBytes>;

// Grows (or first allocates) `bytes` to `n` bytes, keeping what they hold.
// Throws std::bad_alloc.
inline void GrowRawBytes(RawBytes& bytes, std::size_t n)
{
    char* grown = static_cast<char*>(std::realloc(bytes.get(), n == 0 ? 1 : n));
    if (!grown)
        throw std::bad_alloc();
    (void)bytes.release();
    bytes.reset(grown);
}

} // namespace ov
