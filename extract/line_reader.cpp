#include "extract/line_reader.h"

#include "extract/line_rules.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace ov {

namespace {

std::string SystemReason(int error)
{
    return std::strerror(error);
}

} // namespace

FileByteSource::FileByteSource(const std::string& path)
{
    errno = 0;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_)
        throw ReadFailure(SystemReason(errno ? errno : ENOENT));
    // Reads go straight into the reader's buffer.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    opened_ = TakeStamp();
}

FileByteSource::Stamp FileByteSource::TakeStamp() const
{
    struct stat st {};
    if (::fstat(fileno(file_), &st) != 0)
        throw ReadFailure(SystemReason(errno ? errno : EIO));
    Stamp stamp;
    stamp.size = st.st_size;
#ifdef _WIN32
    stamp.mtimeSec = st.st_mtime;
    stamp.ctimeSec = st.st_ctime;
#else
    stamp.mtimeSec = st.st_mtim.tv_sec;
    stamp.mtimeNsec = st.st_mtim.tv_nsec;
    stamp.ctimeSec = st.st_ctim.tv_sec;
    stamp.ctimeNsec = st.st_ctim.tv_nsec;
#endif
    return stamp;
}

void FileByteSource::CheckUnchanged() const
{
    if (!(TakeStamp() == opened_))
        throw SourceChanged();
}

FileByteSource::~FileByteSource()
{
    if (file_)
        std::fclose(file_);
}

std::size_t FileByteSource::Read(char* buffer, std::size_t capacity)
{
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, capacity, file_);
    if (n == 0 && std::ferror(file_))
        throw ReadFailure(SystemReason(errno ? errno : EIO));
    return n;
}

void FileByteSource::Rewind()
{
    errno = 0;
    if (std::fseek(file_, 0, SEEK_SET) != 0)
        throw ReadFailure(SystemReason(errno ? errno : EIO));
    std::clearerr(file_);
}

std::size_t TextByteSource::Read(char* buffer, std::size_t capacity)
{
    const std::size_t n = std::min(capacity, text_.size() - offset_);
    std::memcpy(buffer, text_.data() + offset_, n);
    offset_ += n;
    return n;
}

LineReader::LineReader(ByteSource& source, std::size_t chunkSize)
    : source_(source), chunk_(std::max<std::size_t>(chunkSize, 1)), capacity_(chunk_)
{
    GrowRawBytes(data_, capacity_);
}

void LineReader::Rewind()
{
    source_.Rewind();
    pos_ = end_ = scanned_ = 0;
    eof_ = ended_ = skipLf_ = false;
    lineNumber_ = 0;
}

void LineReader::Fill()
{
    if (pos_ > 0) {
        std::memmove(data_.get(), data_.get() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    if (end_ == capacity_) {
        // A line longer than the buffer, asked for whole.
        GrowRawBytes(data_, capacity_ * 2);
        capacity_ *= 2;
    }
    const std::size_t n = source_.Read(data_.get() + end_, capacity_ - end_);
    if (n == 0)
        eof_ = true;
    end_ += n;
}

namespace {

// The offset just past the last character above code 32 in [p, p + n), or 0.
std::size_t VisibleEnd(const char* p, std::size_t n)
{
    while (n > 0 && static_cast<unsigned char>(p[n - 1]) <= 32)
        --n;
    return n;
}

} // namespace

bool LineReader::Next(std::string_view& line)
{
    std::uint64_t length = 0, visibleEnd = 0;
    return NextLine(line, length, visibleEnd, true);
}

bool LineReader::NextPrefix(std::string_view& line, std::uint64_t& length)
{
    std::uint64_t visibleEnd = 0;
    return NextLine(line, length, visibleEnd, false);
}

bool LineReader::NextHead(LineHead& head)
{
    std::string_view start;
    if (!NextLine(start, head.length, head.visibleEnd, false))
        return false;
    head.start.assign(start);
    return true;
}

bool LineReader::NextLine(std::string_view& line, std::uint64_t& length, std::uint64_t& visibleEnd, bool whole)
{
    if (ended_)
        return false;
    if (skipLf_) {
        if (pos_ == end_ && !eof_)
            Fill();
        if (pos_ != end_ && data_[pos_] == '\n')
            ++pos_;
        skipLf_ = false;
    }
    std::uint64_t dropped = 0; // bytes of this line let go in prefix mode
    std::size_t prefixLength = 0;
    visibleEnd = 0;
    const auto finish = [&](std::size_t lineLength) {
        ++lineNumber_;
        if (const std::size_t end = VisibleEnd(data_.get() + pos_, lineLength))
            visibleEnd = dropped + end;
        if (dropped == 0) {
            line = std::string_view(data_.get() + pos_, lineLength);
        } else {
            const std::size_t more = std::min(kPrefixLength - prefixLength, lineLength);
            std::memcpy(prefix_ + prefixLength, data_.get() + pos_, more);
            line = std::string_view(prefix_, prefixLength + more);
        }
        length = dropped + lineLength;
    };
    for (;;) {
        const char* begin = data_.get() + pos_;
        const char* stop = data_.get() + end_;
        const char* p = FindLineEnd(begin + scanned_, stop);
        if (p != stop) {
            const auto lineLength = static_cast<std::size_t>(p - begin);
            scanned_ = 0;
            if (*p == '\0') {
                ended_ = true;
                if (lineLength == 0 && dropped == 0)
                    return false;
                finish(lineLength);
                return true;
            }
            finish(lineLength);
            if (LineEndUndecided(p, stop)) {
                // The LF of a CR LF may come with the next read.
                skipLf_ = true;
                pos_ += lineLength + 1;
            } else {
                pos_ += lineLength + LineEndLength(p, stop);
            }
            return true;
        }
        scanned_ = end_ - pos_;
        if (eof_) {
            ended_ = true;
            if (scanned_ == 0 && dropped == 0)
                return false;
            finish(scanned_);
            pos_ = end_;
            scanned_ = 0;
            return true;
        }
        if (!whole && scanned_ >= chunk_) {
            // Keep only the first bytes of a line that outgrows the buffer.
            const std::size_t more = std::min(kPrefixLength - prefixLength, scanned_);
            std::memcpy(prefix_ + prefixLength, begin, more);
            prefixLength += more;
            if (const std::size_t end = VisibleEnd(begin, scanned_))
                visibleEnd = dropped + end;
            dropped += scanned_;
            pos_ = end_;
            scanned_ = 0;
        }
        Fill();
    }
}

LineReader::Remainder LineReader::TakeRemainder()
{
    if (skipLf_ && !ended_) {
        if (pos_ == end_ && !eof_)
            Fill();
        if (pos_ != end_ && data_[pos_] == '\n')
            ++pos_;
    }
    skipLf_ = false;
    Remainder rest;
    rest.textEnded = ended_;
    rest.sourceDone = eof_;
    if (!ended_)
        rest.bytes = std::string_view(data_.get() + pos_, end_ - pos_);
    pos_ = end_;
    scanned_ = 0;
    ended_ = true;
    return rest;
}

std::vector<std::string> SplitExtractLines(std::string_view text)
{
    TextByteSource source{std::string(text)};
    LineReader reader(source);
    std::vector<std::string> lines;
    for (std::string_view line; reader.Next(line);)
        lines.emplace_back(line);
    return lines;
}

} // namespace ov
