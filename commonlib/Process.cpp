#include "Process.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace harlix::detail {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

int statusToCode(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

std::string findOnPath(const std::string& program) {
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return isExecutableFile(program) ? program : std::string();
    const char* env = std::getenv("PATH");
    std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        size_t end = path.find(':', start);
        std::string dir = path.substr(start, end == std::string::npos ? end : end - start);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workDir,
                         int timeoutMs, bool captureOutput, const std::function<void()>& pump) {
    ProcessResult result;
    if (argv.empty()) {
        result.error = EINVAL;
        return result;
    }
    std::string program = findOnPath(argv[0]);
    if (program.empty()) {
        result.error = ENOENT;
        return result;
    }
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // The child reports a failed chdir or exec through this pipe; it closes on a good exec.
    int status[2];
    int out[2] = {-1, -1};
    if (::pipe2(status, O_CLOEXEC) != 0) {
        result.error = errno;
        return result;
    }
    if (captureOutput && ::pipe2(out, O_CLOEXEC) != 0) {
        result.error = errno;
        ::close(status[0]);
        ::close(status[1]);
        return result;
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        result.error = errno;
        ::close(status[0]);
        ::close(status[1]);
        if (captureOutput) {
            ::close(out[0]);
            ::close(out[1]);
        }
        return result;
    }
    if (pid == 0) {
        // Otherwise the program inherits the caller's standard handles.
        if (captureOutput) {
            ::dup2(out[1], 1);
            ::dup2(out[1], 2);
        }
        int err = 0;
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0)
            err = errno;
        else {
            ::execv(program.c_str(), args.data());
            err = errno;
        }
        [[maybe_unused]] auto n = ::write(status[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(status[1]);
    if (captureOutput)
        ::close(out[1]);
    int childErr = 0;
    ssize_t got;
    while ((got = ::read(status[0], &childErr, sizeof childErr)) < 0 && errno == EINTR) {
    }
    ::close(status[0]);
    if (got == static_cast<ssize_t>(sizeof childErr)) {
        if (captureOutput)
            ::close(out[0]);
        ::waitpid(pid, nullptr, 0);
        result.error = childErr;
        return result;
    }
    result.started = true;

    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool outputOpen = captureOutput;
    for (;;) {
        int st = 0;
        pid_t done = ::waitpid(pid, &st, WNOHANG);
        if (done == pid && !outputOpen) {
            result.finished = true;
            result.exitCode = statusToCode(st);
            break;
        }
        if (done == pid) {
            // Collect what is left in the pipe, then report.
            char buf[4096];
            ssize_t n;
            ::fcntl(out[0], F_SETFL, O_NONBLOCK);
            while ((n = ::read(out[0], buf, sizeof buf)) > 0)
                result.output.append(buf, static_cast<size_t>(n));
            result.finished = true;
            result.exitCode = statusToCode(st);
            break;
        }
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline)
            break;
        if (pump)
            pump();
        if (outputOpen) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buf[4096];
                ssize_t n = ::read(out[0], buf, sizeof buf);
                if (n > 0)
                    result.output.append(buf, static_cast<size_t>(n));
                else if (n == 0)
                    outputOpen = false;
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (captureOutput)
        ::close(out[0]);
    if (!result.finished)
        std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return result;
}

} // namespace harlix::detail
