#include "platform/registry_store.h"

#include "platform/platform_error.h"

#ifdef _WIN32

#include <windows.h>

namespace ov {

namespace {

// Closes a key also when the operation that holds it fails.
struct KeyHolder {
    HKEY key = nullptr;
    ~KeyHolder()
    {
        if (key)
            RegCloseKey(key);
    }
};

const std::string kRootKey = "ORVANE";

} // namespace

void WriteUserRegistryString(std::string_view keyPath, std::string_view name, std::string_view value)
{
    const std::string path(keyPath), valueName(name), data(value);
    KeyHolder root, key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRootKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &root.key, nullptr) != ERROR_SUCCESS
        || RegCreateKeyExA(root.key, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.key,
                           nullptr) != ERROR_SUCCESS)
        throw PlatformError(PlatformFault::CreateKey, FailedToCreateKeyMessage(keyPath));
    if (RegSetValueExA(key.key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
        throw PlatformError(PlatformFault::SetData, FailedToSetDataMessage(name));
}

std::optional<std::string> ReadUserRegistryString(std::string_view keyPath, std::string_view name)
{
    const std::string path = kRootKey + "\\" + std::string(keyPath), valueName(name);
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, data.data(),
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size > 0 ? size - 1 : 0);
    return data;
}

} // namespace ov

#else

#include "checks/text_primitives.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ov {

namespace {

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string> SplitIniLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        lines.emplace_back(text.substr(0, lf));
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    }
    return lines;
}

// The section name of a "[...]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    const std::string_view t = TrimBlanks(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']')
        return t.substr(1, t.size() - 2);
    return std::nullopt;
}

// The value of a "name=value" line whose name matches, letter case ignored.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view name)
{
    const std::string_view t = TrimBlanks(line);
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos || !EqualsIgnoringCase(TrimBlanks(t.substr(0, eq)), name))
        return std::nullopt;
    return t.substr(eq + 1);
}

// The INI text with `name` set in section `section`; every other line kept.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view name,
                        std::string_view value)
{
    std::vector<std::string> lines = SplitIniLines(text);
    const std::string entry = std::string(name) + "=" + std::string(value);
    enum { Before, Inside, After } state = Before;
    std::size_t lastInSection = 0;
    bool done = false;
    for (std::size_t i = 0; i < lines.size() && !done && state != After; ++i) {
        if (const auto header = SectionName(lines[i])) {
            if (state == Inside)
                state = After;
            else if (EqualsIgnoringCase(*header, section)) {
                state = Inside;
                lastInSection = i;
            }
            continue;
        }
        if (state != Inside)
            continue;
        if (!TrimBlanks(lines[i]).empty())
            lastInSection = i;
        if (ValueOf(lines[i], name)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done && state != Before) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastInSection + 1), entry);
    } else if (!done) {
        if (!lines.empty() && !TrimBlanks(lines.back()).empty())
            lines.emplace_back();
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    }
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

std::optional<std::string> GetIniValue(std::string_view text, std::string_view section, std::string_view name)
{
    bool inside = false;
    for (const std::string& line : SplitIniLines(text)) {
        if (const auto header = SectionName(line)) {
            if (inside)
                return std::nullopt;
            inside = EqualsIgnoringCase(*header, section);
            continue;
        }
        if (inside)
            if (const auto v = ValueOf(line, name))
                return std::string(*v);
    }
    return std::nullopt;
}

// Creates `folder` and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& folder)
{
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i != folder.size() && folder[i] != '/')
            continue;
        const std::string part = folder.substr(0, i);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The whole file; an absent file reads as empty. False when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text, bool& exists)
{
    text.clear();
    exists = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    exists = true;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

// Holds an exclusive lock on a lock file for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0)
            return;
        int rc;
        while ((rc = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (rc != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

bool HoldsLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

std::string UserRegistryFile()
{
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : nullptr;
        }
        if (!home || !*home)
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/ORVANE/registry.ini";
}

void WriteIniString(const std::string& iniFile, std::string_view keyPath, std::string_view name,
                    std::string_view value)
{
    const auto createKeyFailed = [&] {
        return PlatformError(PlatformFault::CreateKey, FailedToCreateKeyMessage(keyPath));
    };
    const auto setDataFailed = [&] {
        return PlatformError(PlatformFault::SetData, FailedToSetDataMessage(name));
    };
    const std::size_t slash = iniFile.rfind('/');
    if (iniFile.empty() || (slash != std::string::npos && slash > 0 && !MakeFolders(iniFile.substr(0, slash))))
        throw createKeyFailed();
    const FileLock lock(iniFile + ".lock");
    if (!lock.Held())
        throw createKeyFailed();

    // A symbolic link stays in place; the file it points to is replaced.
    std::string target = iniFile;
    struct stat st {};
    if (::lstat(iniFile.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(iniFile.c_str(), resolved))
            throw setDataFailed();
        target = resolved;
    }
    std::string text;
    bool exists = false;
    if (!ReadWholeFile(target, text, exists))
        throw createKeyFailed();
    if (HoldsLineBreakOrNul(value) || HoldsLineBreakOrNul(keyPath) || HoldsLineBreakOrNul(name))
        throw setDataFailed();
    int mode = 0600;
    if (exists) {
        if (::access(target.c_str(), W_OK) != 0 || ::stat(target.c_str(), &st) != 0)
            throw setDataFailed();
        mode = static_cast<int>(st.st_mode & 07777);
    }
    try {
        SafeFileWriter writer(target, 65536, mode);
        writer.Write(SetIniValue(text, keyPath, name, value));
        writer.Commit();
    } catch (const PlatformError&) {
        throw setDataFailed();
    }
}

std::optional<std::string> ReadIniString(const std::string& iniFile, std::string_view keyPath,
                                         std::string_view name)
{
    std::string text;
    bool exists = false;
    if (!ReadWholeFile(iniFile, text, exists) || !exists)
        return std::nullopt;
    return GetIniValue(text, keyPath, name);
}

void WriteUserRegistryString(std::string_view keyPath, std::string_view name, std::string_view value)
{
    const std::string file = UserRegistryFile();
    if (file.empty())
        throw PlatformError(PlatformFault::CreateKey, FailedToCreateKeyMessage(keyPath));
    WriteIniString(file, keyPath, name, value);
}

std::optional<std::string> ReadUserRegistryString(std::string_view keyPath, std::string_view name)
{
    const std::string file = UserRegistryFile();
    if (file.empty())
        return std::nullopt;
    return ReadIniString(file, keyPath, name);
}

} // namespace ov

#endif
