#pragma once
// Helpers shared by the composition tests: a private temporary folder named by TMPDIR, file
// reading and writing, running the Python checker, and a message assembled as the session
// sends it.
#include "../support/TempFolder.h"
#include "mailvane/ComposedMessage.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace mimetest {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

using mailvanetest::TempFolder;

// Runs the checker script; returns its exit status and leaves its output in output.
inline int runChecker(const std::string& arguments, std::string& output) {
    const std::string command = "/usr/bin/python3 " BREVANT_SOURCE_DIR
                                "/tests/mailcontrol/mime/mime_check.py " +
                                arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    output.clear();
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The message as the session puts it on the wire after DATA (without dot-stuffing): the
// generated header lines, the header text with exactly one CRLF, the empty line, the body text
// and the body file.
inline std::string assemble(const mailvane::ComposedMessage& m, const std::string& headerLines) {
    std::string header = m.headerText;
    while (header.size() >= 2 && header.compare(header.size() - 2, 2, "\r\n") == 0)
        header.resize(header.size() - 2);
    std::string out = headerLines + "\r\n";
    if (!header.empty())
        out += header + "\r\n";
    out += "\r\n" + m.bodyText;
    if (m.hasBodyFile())
        out += readFile(m.bodyFile);
    return out;
}

} // namespace mimetest
