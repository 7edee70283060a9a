#include "platform/safe_file.h"

#include "platform/platform_error.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ov {

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
int OpenNew(const std::string& p, int) { return _open(p.c_str(), kCreateFlags, _S_IREAD | _S_IWRITE); }
long WriteSome(int fd, const char* p, std::size_t n) { return _write(fd, p, static_cast<unsigned>(n)); }
int SyncFile(int fd) { return _commit(fd); }
int CloseFile(int fd) { return _close(fd); }
int ProcessId() { return _getpid(); }
bool ReplaceFile(const std::string& from, const std::string& to, std::string& reason)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0,
                   text, sizeof text, nullptr);
    reason = text;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
        reason.pop_back();
    return false;
}
bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }
#else
int OpenNew(const std::string& p, int mode)
{
    return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
}
long WriteSome(int fd, const char* p, std::size_t n) { return ::write(fd, p, n); }
int SyncFile(int fd) { return ::fdatasync(fd); }
int CloseFile(int fd) { return ::close(fd); }
int ProcessId() { return static_cast<int>(::getpid()); }
bool ReplaceFile(const std::string& from, const std::string& to, std::string& reason)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}
bool IsSeparator(char c) { return c == '/'; }
#endif

#ifdef __linux__
// Starts writing the last `count` bytes written to disk without waiting, so
// that the sync in Commit has little left to do for a large file. A failure
// here shows in that sync, which is what decides.
void StartWriteBack(int fd, std::size_t count)
{
    if (count == 0)
        return;
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= static_cast<off_t>(count))
        ::sync_file_range(fd, end - static_cast<off_t>(count), static_cast<off_t>(count), SYNC_FILE_RANGE_WRITE);
}
#else
void StartWriteBack(int, std::size_t) {}
#endif

// The temporary file's name stays well below the file system's name limit
// even when the target's own name is near it.
constexpr std::size_t kTempStemLength = 100;

} // namespace

SafeFileWriter::SafeFileWriter(std::string path, std::size_t bufferSize, int mode)
    : path_(std::move(path)), bufferSize_(bufferSize == 0 ? 1 : bufferSize)
{
#ifndef _WIN32
    // Past the file size limit a write should fail with EFBIG, not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::size_t cut = path_.size();
    while (cut > 0 && !IsSeparator(path_[cut - 1]))
        --cut;
    const std::string folder = path_.substr(0, cut);
    const std::string stem = path_.substr(cut, kTempStemLength);
    int error = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        tempPath_ = folder + "." + stem + "." + std::to_string(ProcessId()) + "." + std::to_string(attempt) + ".tmp";
        fd_ = OpenNew(tempPath_, mode);
        error = errno;
        if (fd_ < 0 && error != EEXIST)
            break;
    }
    if (fd_ < 0) {
        tempPath_.clear();
        throw PlatformError(PlatformFault::CannotCreateFile, CannotCreateFileMessage(path_, std::strerror(error)));
    }
    buffer_.reserve(bufferSize_);
}

SafeFileWriter::~SafeFileWriter()
{
    Discard();
}

void SafeFileWriter::Discard() noexcept
{
    if (fd_ >= 0) {
        CloseFile(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        std::remove(tempPath_.c_str());
        tempPath_.clear();
    }
    buffer_.clear();
}

void SafeFileWriter::Flush()
{
    WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void SafeFileWriter::WriteAll(const char* p, std::size_t count)
{
    std::size_t left = count;
    while (left > 0) {
        const long n = WriteSome(fd_, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Discard();
            throw PlatformError(PlatformFault::StreamWrite, StreamWriteErrorMessage());
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    StartWriteBack(fd_, count);
}

void SafeFileWriter::Write(std::string_view bytes)
{
    if (fd_ < 0)
        throw PlatformError(PlatformFault::StreamWrite, StreamWriteErrorMessage());
    if (buffer_.size() + bytes.size() > bufferSize_)
        Flush();
    if (bytes.size() >= bufferSize_) {
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    buffer_.append(bytes);
}

void SafeFileWriter::Commit()
{
    if (fd_ < 0)
        throw PlatformError(PlatformFault::StreamWrite, StreamWriteErrorMessage());
    Flush();
    const int synced = SyncFile(fd_);
    const int closed = CloseFile(fd_);
    fd_ = -1;
    if (synced != 0 || closed != 0) {
        Discard();
        throw PlatformError(PlatformFault::StreamWrite, StreamWriteErrorMessage());
    }
    std::string reason;
    if (!ReplaceFile(tempPath_, path_, reason)) {
        Discard();
        throw PlatformError(PlatformFault::CannotCreateFile, CannotCreateFileMessage(path_, reason));
    }
    tempPath_.clear();
}

} // namespace ov
