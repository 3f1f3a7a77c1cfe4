#pragma once
// Starting programs for the library: PATH lookup, start in a folder, wait with or without a
// limit. Private to the library.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace harlix::detail {

// The full path of `program` as the shell would find it on $PATH ("" when not found). A name
// with a slash is returned as it is when it names an executable file.
std::string findOnPath(const std::string& program);

struct ProcessResult {
    bool started = false;
    int error = 0;         // errno when the program could not be started
    bool finished = false; // false when it was still running at the time limit
    int exitCode = -1;     // exit status, or 128 + signal when a signal ended it
    std::string output;    // what it wrote to standard output and standard error
};

// Runs argv[0] (looked up on PATH) with `argv`, in `workDir` when not empty. Waits at most
// `timeoutMs` (forever when negative); a program still running then is left to run and is
// reaped in the background. Output is collected only when `captureOutput`. While it waits,
// `pump` (when set) is called between short sleeps, so a host's window keeps being served.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& workDir,
                         int timeoutMs, bool captureOutput, const std::function<void()>& pump = {});

} // namespace harlix::detail
