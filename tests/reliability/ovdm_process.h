// Running the built ovdm as its own process, the way a customer's program
// does: arguments, XDG_CONFIG_HOME pointed at the test's own folder, and on
// request a file size limit (ulimit -f), the user nobody instead of root, or
// no waiting, so that the test can act while it runs.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

struct OvdmRun {
    std::vector<std::string> args;  // behind the program's name
    std::string configHome;         // XDG_CONFIG_HOME of the run
    std::optional<rlim_t> fileSizeLimit; // bytes; RLIMIT_FSIZE of the run
    std::optional<rlim_t> memoryLimit;   // bytes; RLIMIT_AS of the run
    bool asNobody = false;          // as root, run as uid/gid 65534 so that permissions count
    std::string workDir;            // empty: the test's own
};

struct OvdmResult {
    int exitCode = -1;  // -1 when ended by a signal
    int signal = 0;     // the signal that ended it, 0 when it exited
    bool timedOut = false;
    std::string out;
    std::string err;
};

inline std::string SlurpFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class OvdmProcess {
public:
    // Starts ovdm; its stdout and stderr go to files named after `outputStem`.
    OvdmProcess(const OvdmRun& run, const std::string& outputStem)
        : outFile_(outputStem + ".out"), errFile_(outputStem + ".err")
    {
        std::vector<std::string> argv{OVDM_PROGRAM};
        argv.insert(argv.end(), run.args.begin(), run.args.end());
        std::vector<char*> args;
        for (std::string& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        std::vector<std::string> envStrings;
        for (char** e = environ; *e; ++e)
            if (std::string_view(*e).substr(0, 16) != "XDG_CONFIG_HOME=")
                envStrings.emplace_back(*e);
        envStrings.push_back("XDG_CONFIG_HOME=" + run.configHome);
        std::vector<char*> env;
        for (std::string& e : envStrings)
            env.push_back(e.data());
        env.push_back(nullptr);

        pid_ = ::fork();
        if (pid_ != 0)
            return;
        // The child: only async-signal-safe calls from here on.
        const int out = ::open(outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
            ::_exit(126);
        if (!run.workDir.empty() && ::chdir(run.workDir.c_str()) != 0)
            ::_exit(126);
        if (run.fileSizeLimit) {
            const rlimit limit{*run.fileSizeLimit, *run.fileSizeLimit};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(126);
        }
        if (run.memoryLimit) {
            const rlimit limit{*run.memoryLimit, *run.memoryLimit};
            if (::setrlimit(RLIMIT_AS, &limit) != 0)
                ::_exit(126);
        }
        if (run.asNobody && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(126);
        }
        ::execve(args[0], args.data(), env.data());
        ::_exit(127);
    }

    OvdmProcess(const OvdmProcess&) = delete;
    OvdmProcess& operator=(const OvdmProcess&) = delete;
    ~OvdmProcess()
    {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    pid_t Pid() const { return pid_; }

    // True once the process has ended (and it is reaped).
    bool Ended()
    {
        if (reaped_)
            return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_)
            return false;
        Reaped(status);
        return true;
    }

    void Kill(int signal = SIGKILL) { ::kill(pid_, signal); }

    // Waits for the end; a run that outlives `limit` is killed and marked as
    // timed out, since no input may make ovdm hang.
    OvdmResult Wait(std::chrono::seconds limit = std::chrono::seconds(300))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        bool timedOut = false;
        while (!Ended()) {
            if (std::chrono::steady_clock::now() > deadline) {
                Kill();
                timedOut = true;
                int status = 0;
                ::waitpid(pid_, &status, 0);
                Reaped(status);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        result_.timedOut = timedOut;
        result_.out = SlurpFile(outFile_);
        result_.err = SlurpFile(errFile_);
        return result_;
    }

private:
    void Reaped(int status)
    {
        reaped_ = true;
        if (WIFEXITED(status))
            result_.exitCode = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            result_.signal = WTERMSIG(status);
    }

    std::string outFile_;
    std::string errFile_;
    pid_t pid_ = -1;
    bool reaped_ = false;
    OvdmResult result_;
};

// Runs ovdm to its end.
inline OvdmResult RunOvdm(const OvdmRun& run, const std::string& outputStem,
                          std::chrono::seconds limit = std::chrono::seconds(300))
{
    OvdmProcess process(run, outputStem);
    return process.Wait(limit);
}

// What a test prints when a run did not end as expected.
inline std::string Describe(const OvdmResult& r)
{
    std::ostringstream s;
    s << "exit " << r.exitCode << ", signal " << r.signal << (r.timedOut ? ", TIMED OUT" : "") << "\nstdout: "
      << r.out.substr(0, 2000) << "\nstderr: " << r.err.substr(0, 2000);
    return s.str();
}
