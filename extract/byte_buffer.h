// A growable byte buffer that, unlike std::string, leaves room it hands out
// uninitialised: import lines are written straight into it.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "extract/raw_bytes.h"

namespace ov {

class ByteBuffer {
public:
    // Room for at least `n` more bytes at the end; write them, then Commit.
    char* Reserve(std::size_t n)
    {
        if (capacity_ - size_ < n) {
            std::size_t grown = capacity_ * 2;
            if (grown < size_ + n)
                grown = size_ + n;
            GrowRawBytes(data_, grown);
            capacity_ = grown;
        }
        return data_.get() + size_;
    }
    // Takes the bytes written up to `end` (within the last Reserve).
    void Commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void Append(std::string_view bytes)
    {
        char* out = Reserve(bytes.size());
        if (!bytes.empty())
            std::memcpy(out, bytes.data(), bytes.size());
        size_ += bytes.size();
    }
    void Clear() { size_ = 0; }
    bool Empty() const { return size_ == 0; }
    std::string_view View() const { return {data_.get(), size_}; }

private:
    RawBytes data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace ov
