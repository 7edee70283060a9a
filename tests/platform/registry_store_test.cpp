#include "platform/platform_error.h"
#include "platform/registry_store.h"

#include "test_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

const std::string kKey(ov::kImportKeyPath);
const std::string kName(ov::kTextDirectoryValue);

TEST(RegistryStore, FirstWriteCreatesTheFolderAndTheSection)
{
    TestFolder folder;
    const std::string ini = folder / "config/ORVANE/registry.ini";
    ov::WriteIniString(ini, kKey, kName, "/the/extract/folder/");
    EXPECT_EQ(ReadFile(ini), "[Import\\OV2021]\nTextDirectory=/the/extract/folder/\n");
    EXPECT_EQ(ov::ReadIniString(ini, kKey, kName), "/the/extract/folder/");
    EXPECT_EQ(FolderListing(folder / "config/ORVANE"), "registry.ini registry.ini.lock");
}

TEST(RegistryStore, WritingKeepsEveryOtherSectionAndValue)
{
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"value replaced in place",
         "; settings\n[Other]\nA=1\n\n[Import\\OV2021]\nBefore=x\nTextDirectory=/old/\nAfter=y\n\n[Last]\nB=2\n",
         "; settings\n[Other]\nA=1\n\n[Import\\OV2021]\nBefore=x\nTextDirectory=/new/\nAfter=y\n\n[Last]\nB=2\n"},
        {"value added to its section",
         "[Import\\OV2021]\nBefore=x\n\n[Last]\nB=2\n",
         "[Import\\OV2021]\nBefore=x\nTextDirectory=/new/\n\n[Last]\nB=2\n"},
        {"section added at the end",
         "[Other]\nA=1",
         "[Other]\nA=1\n\n[Import\\OV2021]\nTextDirectory=/new/\n"},
        {"names compared without letter case",
         "[import\\ov2021]\r\n textdirectory = /old/\r\n",
         "[import\\ov2021]\r\nTextDirectory=/new/\n"},
        {"a value of the same name in another section is left alone",
         "[Other]\nTextDirectory=/keep/\n",
         "[Other]\nTextDirectory=/keep/\n\n[Import\\OV2021]\nTextDirectory=/new/\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const std::string ini = folder / "registry.ini";
        WriteFile(ini, c.before);
        ov::WriteIniString(ini, kKey, kName, "/new/");
        EXPECT_EQ(ReadFile(ini), c.after);
        EXPECT_EQ(ov::ReadIniString(ini, kKey, kName), "/new/");
    }
}

TEST(RegistryStore, ConcurrentWritersLoseNothing)
{
    TestFolder folder;
    const std::string ini = folder / "ORVANE/registry.ini";
    constexpr int kWriters = 6, kWrites = 15;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < kWrites; ++i)
                ov::WriteIniString(ini, kKey, "V" + std::to_string(w) + "_" + std::to_string(i), std::to_string(i));
        });
    for (std::thread& t : writers)
        t.join();
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(ov::ReadIniString(ini, kKey, "V" + std::to_string(w) + "_" + std::to_string(i)),
                      std::to_string(i));
    EXPECT_EQ(FolderListing(folder / "ORVANE"), "registry.ini registry.ini.lock");
}

TEST(RegistryStore, FailuresGiveTheRegistrysMessagesAndChangeNothing)
{
    struct Case {
        const char* name;
        void (*prepare)(const TestFolder&);
        std::string value;
        ov::PlatformFault fault;
        const char* message;
    };
    const Case cases[] = {
        {"the ORVANE folder is a file",
         [](const TestFolder& f) { WriteFile(f / "ORVANE", "x"); }, "/x/", ov::PlatformFault::CreateKey,
         "Failed to create key Import\\OV2021"},
        {"the INI file is a folder",
         [](const TestFolder& f) { std::filesystem::create_directories(f / "ORVANE/registry.ini"); }, "/x/",
         ov::PlatformFault::CreateKey, "Failed to create key Import\\OV2021"},
        {"a value with a line break",
         [](const TestFolder& f) {
             std::filesystem::create_directories(f / "ORVANE");
             WriteFile(f / "ORVANE/registry.ini", "[Import\\OV2021]\nTextDirectory=/old/\n");
         },
         "/a\nb/", ov::PlatformFault::SetData, "Failed to set data for 'TextDirectory'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        c.prepare(folder);
        const std::string ini = folder / "ORVANE/registry.ini";
        const bool hadFile = std::filesystem::is_regular_file(ini);
        const std::string before = hadFile ? ReadFile(ini) : "";
        try {
            ov::WriteIniString(ini, kKey, kName, c.value);
            ADD_FAILURE() << "the write succeeded";
        } catch (const ov::PlatformError& e) {
            EXPECT_EQ(e.fault(), c.fault);
            EXPECT_STREQ(e.what(), c.message);
        }
        if (hadFile) {
            EXPECT_EQ(ReadFile(ini), before);
        }
    }
}

TEST(RegistryStore, ALinkedFileIsWrittenThroughTheLinkWithItsPermissions)
{
    TestFolder folder;
    std::filesystem::create_directories(folder / "ORVANE");
    std::filesystem::create_directories(folder / "dotfiles");
    const std::string target = folder / "dotfiles/registry.ini";
    WriteFile(target, "[Other]\nA=1\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, folder / "ORVANE/registry.ini");

    ov::WriteIniString(folder / "ORVANE/registry.ini", kKey, kName, "/new/");
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "ORVANE/registry.ini"));
    EXPECT_EQ(ReadFile(target), "[Other]\nA=1\n\n[Import\\OV2021]\nTextDirectory=/new/\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(RegistryStore, TheUsersFileFollowsXdgConfigHomeThenHome)
{
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";
    struct Case {
        const char* xdg; // nullptr: unset
        const char* home;
        const char* file;
    };
    const Case cases[] = {
        {"/cfg", "/home/u", "/cfg/ORVANE/registry.ini"},
        {nullptr, "/home/u", "/home/u/.config/ORVANE/registry.ini"},
        {"", "/home/u", "/home/u/.config/ORVANE/registry.ini"},
        {"relative/cfg", "/home/u", "/home/u/.config/ORVANE/registry.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("XDG_CONFIG_HOME=") + (c.xdg ? c.xdg : "(unset)"));
        if (c.xdg)
            setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", c.home, 1);
        EXPECT_EQ(ov::UserRegistryFile(), c.file);
    }
    if (savedXdg)
        setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (savedHome)
        setenv("HOME", home.c_str(), 1);
}

} // namespace
