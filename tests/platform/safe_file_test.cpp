#include "platform/platform_error.h"
#include "platform/safe_file.h"

#include "test_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(SafeFile, CommitReplacesTheFileAndLeavesNothingElse)
{
    TestFolder folder;
    const std::string path = folder / "2021DM_nec.txt";
    WriteFile(path, "old content\r\n");
    {
        ov::SafeFileWriter writer(path, 4); // a small buffer: several writes
        writer.Write("line one\r\n");
        writer.Write("");
        writer.Write("line two\r\n");
        EXPECT_EQ(ReadFile(path), "old content\r\n"); // untouched until Commit
        writer.Commit();
    }
    EXPECT_EQ(ReadFile(path), "line one\r\nline two\r\n");
    EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt");
}

TEST(SafeFile, WithoutCommitTheOldFileStays)
{
    TestFolder folder;
    const std::string path = folder / "2021DM_nec.txt";
    WriteFile(path, "old content\r\n");
    {
        ov::SafeFileWriter writer(path);
        writer.Write("new");
    }
    EXPECT_EQ(ReadFile(path), "old content\r\n");
    EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt");
}

TEST(SafeFile, EmptyCommitGivesAnEmptyFile)
{
    TestFolder folder;
    const std::string path = folder / "2021DM_nec.txt";
    ov::SafeFileWriter writer(path);
    writer.Commit();
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(SafeFile, AMissingFolderCannotTakeTheFile)
{
    TestFolder folder;
    const std::string path = folder / "missing/2021DM_nec.txt";
    try {
        ov::SafeFileWriter writer(path);
        FAIL() << "created a file in a missing folder";
    } catch (const ov::PlatformError& e) {
        EXPECT_EQ(e.fault(), ov::PlatformFault::CannotCreateFile);
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST(SafeFile, AFolderInThePlaceOfTheFileFailsAtCommit)
{
    TestFolder folder;
    const std::string path = folder / "2021DM_nec.txt";
    std::filesystem::create_directory(path);
    ov::SafeFileWriter writer(path);
    writer.Write("x");
    try {
        writer.Commit();
        FAIL() << "replaced a folder";
    } catch (const ov::PlatformError& e) {
        EXPECT_EQ(e.fault(), ov::PlatformFault::CannotCreateFile);
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". Is a directory");
    }
    EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt");
}

// A full disk, made by a file size limit in a child process: the write fails
// with "Stream write error" instead of ending the process, and the old file
// and the folder stay as they were.
TEST(SafeFile, AFullDiskGivesStreamWriteErrorAndKeepsTheOldFile)
{
    TestFolder folder;
    const std::string path = folder / "2021DM_nec.txt";
    WriteFile(path, "old content\r\n");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        rlimit limit{8192, 8192};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            ov::SafeFileWriter writer(path, 1024);
            for (int i = 0; i < 100; ++i)
                writer.Write(std::string(1000, 'x'));
            writer.Commit();
        } catch (const ov::PlatformError& e) {
            _exit(e.fault() == ov::PlatformFault::StreamWrite && std::string(e.what()) == "Stream write error" ? 0 : 2);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(path), "old content\r\n");
    EXPECT_EQ(FolderListing(folder.path()), "2021DM_nec.txt");
}

} // namespace
