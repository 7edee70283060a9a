// Reading an extract line by line. One splitter serves files and texts held in
// memory: lines end at CR LF, a lone LF or a lone CR; LF followed by CR is two
// line ends; a line end at the very end adds no empty line; a NUL byte ends
// the text. Memory stays at one buffer plus the longest line asked for whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "extract/raw_bytes.h"

namespace ov {

// A failed read; reason() is the system's wording.
class ReadFailure : public std::runtime_error {
public:
    explicit ReadFailure(const std::string& reason) : std::runtime_error(reason) {}
};

// The source changed while it was read: what was read may mix two versions.
class SourceChanged : public ReadFailure {
public:
    SourceChanged() : ReadFailure("changed while it was read") {}
};

// Where the bytes of an extract come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `capacity` bytes into `buffer`; returns how many, 0 at the
    // end. Throws ReadFailure.
    virtual std::size_t Read(char* buffer, std::size_t capacity) = 0;
    // Starts again from the first byte. Throws ReadFailure.
    virtual void Rewind() = 0;
    // Throws SourceChanged when the bytes may have changed since the source
    // was opened. By default a source never changes.
    virtual void CheckUnchanged() const {}
};

// The bytes of a file, read in large pieces.
class FileByteSource : public ByteSource {
public:
    // Opens `path` for reading. Throws ReadFailure with the system's reason.
    explicit FileByteSource(const std::string& path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    std::size_t Read(char* buffer, std::size_t capacity) override;
    void Rewind() override;
    // Compares the file's size and change times with those seen at opening:
    // another program may rewrite an extract while a long run reads it.
    void CheckUnchanged() const override;

private:
    struct Stamp {
        long long size = 0, mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp TakeStamp() const;

    std::FILE* file_ = nullptr;
    Stamp opened_;
};

// The bytes of a text held in memory.
class TextByteSource : public ByteSource {
public:
    explicit TextByteSource(std::string text) : text_(std::move(text)) {}
    std::size_t Read(char* buffer, std::size_t capacity) override;
    void Rewind() override { offset_ = 0; }

private:
    std::string text_;
    std::size_t offset_ = 0;
};

class LineReader {
public:
    static constexpr std::size_t kDefaultChunk = std::size_t(1) << 20;
    // Bytes kept of a line read by NextPrefix that outgrows the buffer.
    static constexpr std::size_t kPrefixLength = 1024;

    // Reads `source` in pieces of `chunkSize` bytes (at least 1).
    explicit LineReader(ByteSource& source, std::size_t chunkSize = kDefaultChunk);

    // The next line, whole, without its line end; false once the text has
    // ended. The view stays valid until the next call. Throws ReadFailure.
    bool Next(std::string_view& line);
    // Like Next, but a line that outgrows the buffer is given by its first
    // kPrefixLength bytes only, so memory stays bounded; `length` is always
    // the line's full length.
    bool NextPrefix(std::string_view& line, std::uint64_t& length);
    // The start of the next line with what is known of the whole: enough for
    // a line that only its first bytes and its trimmed length decide.
    struct LineHead {
        std::string start;          // the whole line, or its first bytes when it outgrew the buffer
        std::uint64_t length = 0;   // the line's full length
        std::uint64_t visibleEnd = 0; // just past its last character above code 32; 0 when none
    };
    bool NextHead(LineHead& head);
    // The number (from 1) of the line returned last; 0 before the first.
    std::uint64_t LineNumber() const { return lineNumber_; }
    // Starts again at line 1. Throws ReadFailure.
    void Rewind();

    // The bytes read ahead but not yet given as lines, from the start of the
    // next line on, for a caller that goes on reading the source itself.
    // The reader gives no more lines afterwards (until Rewind).
    struct Remainder {
        std::string_view bytes; // valid until the next call
        bool sourceDone = false; // the source has no more bytes
        bool textEnded = false;  // the text has ended (a NUL or the end): no bytes follow
    };
    Remainder TakeRemainder();

private:
    bool NextLine(std::string_view& line, std::uint64_t& length, std::uint64_t& visibleEnd, bool whole);
    void Fill();

    ByteSource& source_;
    std::size_t chunk_;
    std::size_t capacity_;
    RawBytes data_;
    std::size_t pos_ = 0;     // first unread byte
    std::size_t end_ = 0;     // end of the bytes read
    std::size_t scanned_ = 0; // bytes behind pos_ known to hold no line end
    bool eof_ = false;        // the source has no more bytes
    bool ended_ = false;      // the text has ended
    bool skipLf_ = false;     // the last line ended with CR: a following LF belongs to it
    std::uint64_t lineNumber_ = 0;
    char prefix_[kPrefixLength] = {};
};

// The lines of a text held in memory, by the same rules.
std::vector<std::string> SplitExtractLines(std::string_view text);

} // namespace ov
