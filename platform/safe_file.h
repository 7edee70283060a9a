// Writing a file so that its old content survives every failure: the bytes go
// to a temporary file in the same folder, which replaces the file only once
// everything is written and on disk.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ov {

class SafeFileWriter {
public:
    // Creates the temporary file in the folder of `path` with the permission
    // bits `mode` (less the umask; ignored on Windows). Throws PlatformError
    // (CannotCreateFile) naming `path` with the system's reason.
    explicit SafeFileWriter(std::string path, std::size_t bufferSize = std::size_t(1) << 20,
                            int mode = 0666);
    // Removes the temporary file unless Commit succeeded.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Appends bytes. Throws PlatformError (StreamWrite), e.g. on a full disk.
    void Write(std::string_view bytes);
    // Writes out the buffer, forces the file to disk and renames it over
    // `path`. Throws PlatformError: StreamWrite when writing fails,
    // CannotCreateFile when the file cannot take the place of `path`. The
    // temporary file is gone afterwards in every case.
    void Commit();
    // Removes the temporary file; `path` is left as it was. Never fails.
    void Discard() noexcept;

    const std::string& Path() const { return path_; }
    const std::string& TemporaryPath() const { return tempPath_; }

private:
    void Flush();
    void WriteAll(const char* bytes, std::size_t count);

    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    std::string buffer_;
    std::size_t bufferSize_;
};

} // namespace ov
