// miscStuff: starting programs, opening and printing files, processes and the default
// printer.
#include "harlix/ComError.h"
#include "harlix/miscStuff.h"
#include "harlix/modResources.h"

#include "LpOptions.h"
#include "Process.h"

#include <cerrno>
#include <cups/cups.h>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <strings.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace harlix {
namespace {

namespace fs = std::filesystem;

const std::map<int, std::string>& shellErrorTexts() {
    static const std::map<int, std::string> texts = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .exe file is invalid (non-Win32\xC2\xAE .exe or error in .exe image)."},
        {26, "A sharing violation occurred."},
        {27, "The file name association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not be completed because other DDE transactions were "
             "being processed."},
        {31, "There is no application associated with the given file name extension. This "
             "error will also be returned if you attempt to print a file that is not "
             "printable."},
        {32, "The specified dynamic-link library was not found."},
    };
    return texts;
}

[[noreturn]] void raiseShell(int code) {
    auto it = shellErrorTexts().find(code);
    throw ComError(code, "ShellExecute",
                   it != shellErrorTexts().end() ? it->second : modResources::GetErrorText(code));
}

// "scheme:" at the start, as in http://host or mailto:someone.
bool looksLikeUrl(const std::string& s) {
    size_t colon = s.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(s[0])))
        return false;
    for (size_t i = 1; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(s[i])) && s[i] != '+' && s[i] != '-' &&
            s[i] != '.')
            return false;
    return true;
}

// Splits program parameters as a shell would, honouring quotes (no expansion).
std::vector<std::string> splitParams(const std::string& params) {
    std::vector<std::string> out;
    std::string cur;
    bool any = false;
    char quote = 0;
    for (size_t i = 0; i < params.size(); ++i) {
        char c = params[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < params.size())
                cur += params[++i];
            else
                cur += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            any = true;
        } else if (c == ' ' || c == '\t') {
            if (any || !cur.empty())
                out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
        }
    }
    if (any || !cur.empty())
        out.push_back(cur);
    return out;
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An executable file that really is a program (files on some mounts all carry the x bits).
bool isProgram(const fs::path& file) {
    if (::access(file.c_str(), X_OK) != 0)
        return false;
    std::ifstream in(file, std::ios::binary);
    char magic[4] = {};
    in.read(magic, sizeof magic);
    return (in.gcount() >= 2 && magic[0] == '#' && magic[1] == '!') ||
           (in.gcount() == 4 && std::string(magic, 4) == "\x7f"
                                                         "ELF");
}

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && strncasecmp(s.c_str(), prefix.c_str(), prefix.size()) == 0;
}

} // namespace

void miscStuff::Execute(WindowHandle, OperationType whichOperation, const std::string& whichFile,
                        const std::string& params, const std::string& defaultDirectory,
                        ShowCmdType) {
    std::error_code ec;
    if (!defaultDirectory.empty() && !fs::is_directory(defaultDirectory, ec))
        raiseShell(3);
    if (whichFile.empty())
        raiseShell(2);

    bool url = false;
    fs::path file = whichFile;
    if (file.is_relative() && !defaultDirectory.empty())
        file = fs::path(defaultDirectory) / file;
    if (!fs::exists(file, ec)) {
        if (!looksLikeUrl(whichFile))
            raiseShell(fs::exists(file.parent_path(), ec) || file.parent_path().empty() ? 2 : 3);
        url = true;
        file = whichFile;
    }
    bool isDir = !url && fs::is_directory(file, ec);
    // Absolute, so that a name beginning with "-" is never taken for an option.
    if (!url)
        file = fs::absolute(file, ec);

    std::vector<std::string> argv;
    bool opener = true; // xdg-open or lp, whose exit code tells what went wrong
    switch (whichOperation) {
    case opPrint:
        if (url || isDir)
            raiseShell(31);
        argv = {"lp", file.string()};
        break;
    case opExplore:
    case opFind:
        argv = {"xdg-open", (url || isDir) ? file.string() : file.parent_path().string()};
        break;
    case opProperties:
        raiseShell(31);
    case opOpen:
    case opEdit:
    default:
        if (!url && !isDir && whichOperation == opOpen && isProgram(file)) {
            // A program is run rather than opened.
            argv = {file.string()};
            for (auto& p : splitParams(params))
                argv.push_back(std::move(p));
            opener = false;
        } else {
            argv = {"xdg-open", file.string()};
        }
        break;
    }
    if (opener && detail::findOnPath(argv[0]).empty())
        raiseShell(31);

    auto result = detail::runProcess(argv, defaultDirectory, opener ? 2000 : 0, false);
    if (!result.started) {
        switch (result.error) {
        case ENOENT:
            raiseShell(opener ? 31 : 2);
        case EACCES:
        case EPERM:
            raiseShell(5);
        case ENOEXEC:
            raiseShell(11);
        case ENOMEM:
            raiseShell(8);
        default:
            raiseShell(0);
        }
    }
    if (opener && result.finished && result.exitCode != 0) {
        // xdg-open: 2 the file does not exist, 3 no program for it, 4 the program failed.
        if (argv[0] == "xdg-open" && result.exitCode == 2)
            raiseShell(2);
        raiseShell(31);
    }
}

std::int32_t miscStuff::ExecAndWait(const std::string& cmdLine) {
    auto result = detail::runProcess({"/bin/sh", "-c", cmdLine}, {}, -1, false);
    if (!result.started)
        throw ComError(result.error, "ExecAndWait", modResources::GetErrorText(result.error));
    return result.exitCode;
}

bool miscStuff::IsAppRunning(const std::string& appName) {
    size_t b = appName.find_first_not_of(" \t");
    if (b == std::string::npos)
        return false;
    std::string name = appName.substr(b, appName.find_last_not_of(" \t") - b + 1);

    DIR* proc = ::opendir("/proc");
    if (!proc)
        return false;
    bool found = false;
    while (dirent* e = ::readdir(proc)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9')
            continue;
        std::string base = std::string("/proc/") + e->d_name;
        std::vector<std::string> names;
        std::error_code ec;
        auto exe = fs::read_symlink(base + "/exe", ec);
        if (!ec) {
            std::string n = baseName(exe.string());
            if (const auto del = n.find(" (deleted)"); del != std::string::npos)
                n.erase(del);
            names.push_back(n);
        }
        // argv[0] too: it is what a link to the program (vi for vim) or a script was called.
        std::ifstream cmdline(base + "/cmdline", std::ios::binary);
        std::string argv0;
        if (std::getline(cmdline, argv0, '\0') && !argv0.empty())
            names.push_back(baseName(argv0.substr(0, argv0.find(' '))));
        for (const auto& n : names)
            if (startsWithNoCase(n, name))
                found = true;
        if (found)
            break;
    }
    ::closedir(proc);
    return found;
}

void miscStuff::SetNewDefaultPrinter(const std::string& newPrinterName) {
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::string known;
    for (int i = 0; i < count; ++i) {
        std::string full = dests[i].name;
        if (dests[i].instance)
            full += std::string("/") + dests[i].instance;
        if (strcasecmp(full.c_str(), newPrinterName.c_str()) == 0)
            known = full;
    }
    cupsFreeDests(count, dests);
    if (known.empty())
        throw ComError(1801, "SetNewDefaultPrinter",
                       "The printer \"" + newPrinterName + "\" is not known to the print system.");
    try {
        detail::setUserDefaultDestination(known);
    } catch (const std::system_error& e) {
        throw ComError(e.code().value(), "SetNewDefaultPrinter", e.what());
    }
}

} // namespace harlix
