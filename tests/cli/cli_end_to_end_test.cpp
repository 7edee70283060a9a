// Runs of the built ovdm: paths that need care, a full disk, and files and
// folders without permission. As root the runs that need a missing
// permission are made as the user nobody.
#include "../platform/test_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs argv with XDG_CONFIG_HOME set to `config`; stdout and stderr caught.
RunResult Spawn(std::vector<std::string> argv, const std::string& config, const TestFolder& scratch)
{
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("XDG_CONFIG_HOME=", 0) != 0)
            envStrings.emplace_back(*e);
    envStrings.push_back("XDG_CONFIG_HOME=" + config);
    std::vector<char*> env, args;
    for (std::string& s : envStrings)
        env.push_back(s.data());
    env.push_back(nullptr);
    for (std::string& s : argv)
        args.push_back(s.data());
    args.push_back(nullptr);

    const std::string outFile = scratch / "stdout", errFile = scratch / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    RunResult run;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadFile(outFile);
    run.err = ReadFile(errFile);
    return run;
}

// As root, the command runs as nobody so that permissions count.
std::vector<std::string> WithoutPrivileges(std::vector<std::string> argv)
{
    if (geteuid() != 0)
        return argv;
    std::vector<std::string> wrapped{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    return wrapped;
}

std::string NecExtract(int records)
{
    std::string text = "FORM 1099-NEC\r\nKEY 028" "1000000100000000100000000000" "\r\n{BEGIN DATA}\r\n";
    for (int i = 0; i < records; ++i)
        text += "PAYEE " + std::to_string(i) + "\r\n7\r\n$950.50\r\n";
    return text + "{END DATA}\r\n";
}

// Folders that nobody may use, with the test's scratch files outside them.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ::chmod(root.path().c_str(), 0755); }

    std::string Folder(const std::string& name, mode_t mode)
    {
        const std::string path = root / name;
        std::filesystem::create_directories(path);
        ::chmod(path.c_str(), mode);
        return path;
    }

    TestFolder root;
    TestFolder scratch;
};

TEST_F(EndToEnd, PathsWithBlanksQuotesAndALeadingDash)
{
    const std::string folder = Folder("odd 'folder' \"x\"", 0755);
    const std::string config = Folder("config", 0755);
    const std::string extract = folder + "/-W2 \"Jan\" 'x'.txt";
    WriteFile(extract, NecExtract(2));
    const RunResult run = Spawn({OVDM_PROGRAM, "convert", "--", extract}, config, scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("FILE:  2021DM_-W2 \"Jan\" 'x'.txt\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(folder + "/2021DM_-W2 \"Jan\" 'x'.txt").substr(0, 10), "\"PAYEE 0\",");
    EXPECT_EQ(ReadFile(config + "/ORVANE/registry.ini"), "[Import\\OV2021]\nTextDirectory=" + folder + "/\n");
}

TEST_F(EndToEnd, AFullDiskKeepsTheEarlierImportFile)
{
    const std::string folder = Folder("data", 0755);
    const std::string config = Folder("config", 0755);
    WriteFile(folder + "/nec.txt", NecExtract(2000));
    WriteFile(folder + "/2021DM_nec.txt", "earlier import\r\n");
    // ulimit -f counts blocks of 1024 bytes: 8 KB, far less than the import file.
    const RunResult run = Spawn({"/bin/sh", "-c", "ulimit -f 8; exec \"$0\" convert \"$1\"", OVDM_PROGRAM,
                           folder + "/nec.txt"},
                          config, scratch);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Stream write error.\n");
    EXPECT_EQ(ReadFile(folder + "/2021DM_nec.txt"), "earlier import\r\n");
    EXPECT_EQ(FolderListing(folder), "2021DM_nec.txt nec.txt");
    EXPECT_FALSE(std::filesystem::exists(config + "/ORVANE/registry.ini"));
}

TEST_F(EndToEnd, AnUnreadableExtract)
{
    const std::string folder = Folder("data", 0777);
    const std::string config = Folder("config", 0777);
    WriteFile(folder + "/nec.txt", NecExtract(1));
    ::chmod((folder + "/nec.txt").c_str(), 0);
    const RunResult run = Spawn(WithoutPrivileges({OVDM_PROGRAM, "convert", folder + "/nec.txt"}), config, scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot open file \"" + folder + "/nec.txt\". Permission denied.\n");
    EXPECT_EQ(FolderListing(folder), "nec.txt");
}

TEST_F(EndToEnd, AFolderThatCannotTakeTheImportFile)
{
    const std::string folder = Folder("data", 0755); // owned by the test, not writable for nobody
    const std::string config = Folder("config", 0777);
    WriteFile(folder + "/nec.txt", NecExtract(1));
    ::chmod((folder + "/nec.txt").c_str(), 0644);
    const RunResult run = Spawn(WithoutPrivileges({OVDM_PROGRAM, "convert", folder + "/nec.txt"}), config, scratch);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot create file \"" + folder + "/2021DM_nec.txt\". Permission denied.\n");
    EXPECT_EQ(FolderListing(folder), "nec.txt");
}

TEST_F(EndToEnd, ARegistryFileThatCannotBeWritten)
{
    const std::string folder = Folder("data", 0777);
    const std::string config = Folder("config", 0777);
    Folder("config/ORVANE", 0777);
    const std::string ini = config + "/ORVANE/registry.ini";
    WriteFile(ini, "[Import\\OV2021]\nTextDirectory=/earlier/\n");
    ::chmod(ini.c_str(), 0444);
    WriteFile(folder + "/nec.txt", NecExtract(1));
    ::chmod((folder + "/nec.txt").c_str(), 0644);
    const RunResult run = Spawn(WithoutPrivileges({OVDM_PROGRAM, "convert", folder + "/nec.txt"}), config, scratch);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Failed to set data for 'TextDirectory'\n");
    // The import file was saved before the registry failed, and stays.
    EXPECT_EQ(ReadFile(folder + "/2021DM_nec.txt").substr(0, 10), "\"PAYEE 0\",");
    EXPECT_EQ(ReadFile(ini), "[Import\\OV2021]\nTextDirectory=/earlier/\n");
}

} // namespace
