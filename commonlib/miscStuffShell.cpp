// miscStuff: starting programs, opening and printing files, processes and the default
// printer.
#include "harlix/ComError.h"
#include "harlix/miscStuff.h"
#include "harlix/modResources.h"

#include "LpOptions.h"
#include "Process.h"

#include <QCoreApplication>
#include <QThread>
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

// What a shell verb is applied to: an existing file or folder (absolute, so that a name
// beginning with "-" is never taken for an option), or a URL.
struct ShellTarget {
    fs::path file;
    bool url = false;
    bool isDir = false;
};

ShellTarget resolveTarget(const std::string& whichFile, const std::string& defaultDirectory) {
    std::error_code ec;
    if (!defaultDirectory.empty() && !fs::is_directory(defaultDirectory, ec))
        raiseShell(3);
    if (whichFile.empty())
        raiseShell(2);
    ShellTarget target;
    target.file = whichFile;
    if (target.file.is_relative() && !defaultDirectory.empty())
        target.file = fs::path(defaultDirectory) / target.file;
    if (!fs::exists(target.file, ec)) {
        if (!looksLikeUrl(whichFile))
            raiseShell(
                fs::exists(target.file.parent_path(), ec) || target.file.parent_path().empty() ? 2
                                                                                               : 3);
        target.url = true;
        target.file = whichFile;
        return target;
    }
    target.isDir = fs::is_directory(target.file, ec);
    target.file = fs::absolute(target.file, ec);
    return target;
}

[[noreturn]] void raiseStartFailure(int error, bool opener) {
    switch (error) {
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

// The host's events while an opener runs: its windows are drawn and its timers and sockets
// served (only on the thread of a running Qt application).
void serveHostEvents() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// xdg-open or lp, whose exit status tells whether the file found a program. It is waited for
// to the end: xdg-open answers once it has handed the file over, but only after it has looked
// for a program, which can take longer than any fixed wait (and a failure would then pass
// unseen).
void runOpener(const std::vector<std::string>& argv, const std::string& workDir) {
    if (detail::findOnPath(argv[0]).empty())
        raiseShell(31);
    const auto result = detail::runProcess(argv, workDir, -1, false, serveHostEvents);
    if (!result.started)
        raiseStartFailure(result.error, true);
    if (result.exitCode != 0) {
        // xdg-open: 2 the file does not exist, 3 no program for it, 4 the program failed.
        if (argv[0] == "xdg-open" && result.exitCode == 2)
            raiseShell(2);
        raiseShell(31);
    }
}

// A program the caller asked to run: started, not waited for.
void runProgram(const std::vector<std::string>& argv, const std::string& workDir) {
    const auto result = detail::runProcess(argv, workDir, 0, false);
    if (!result.started)
        raiseStartFailure(result.error, false);
}

} // namespace

void miscStuff::Execute(WindowHandle, OperationType whichOperation, const std::string& whichFile,
                        const std::string& params, const std::string& defaultDirectory,
                        ShowCmdType) {
    const ShellTarget target = resolveTarget(whichFile, defaultDirectory);
    switch (whichOperation) {
    case opPrint:
        if (target.url || target.isDir)
            raiseShell(31);
        runOpener({"lp", target.file.string()}, defaultDirectory);
        return;
    case opExplore:
    case opFind:
        runOpener({"xdg-open", (target.url || target.isDir) ? target.file.string()
                                                            : target.file.parent_path().string()},
                  defaultDirectory);
        return;
    case opProperties:
        raiseShell(31);
    case opOpen:
    case opEdit:
    default:
        if (!target.url && !target.isDir && whichOperation == opOpen && isProgram(target.file)) {
            // A program is run rather than opened.
            std::vector<std::string> argv = {target.file.string()};
            for (auto& p : splitParams(params))
                argv.push_back(std::move(p));
            runProgram(argv, defaultDirectory);
            return;
        }
        runOpener({"xdg-open", target.file.string()}, defaultDirectory);
        return;
    }
}

void miscStuff::OpenDocument(WindowHandle, const std::string& whichFile,
                             const std::string& defaultDirectory) {
    const ShellTarget target = resolveTarget(whichFile, defaultDirectory);
    runOpener({"xdg-open", target.file.string()}, defaultDirectory);
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
