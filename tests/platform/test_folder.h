// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <stdlib.h>

class TestFolder {
public:
    TestFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ovdm-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TestFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names in a folder, sorted, joined by blanks.
inline std::string FolderListing(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    std::string listing;
    for (const std::string& name : names)
        listing += (listing.empty() ? "" : " ") + name;
    return listing;
}
