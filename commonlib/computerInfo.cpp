#include "harlix/computerInfo.h"

#include "harlix/ComError.h"
#include "harlix/modResources.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cups/cups.h>
#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace harlix {
namespace {

[[noreturn]] void raise(int code, const char* source) {
    throw ComError(code, source, modResources::GetErrorText(code));
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string computerInfo::GetCompName() const {
    char buf[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        raise(errno, "GetCompName");
    return buf;
}

std::string computerInfo::GetCurUserName() const {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd pw{};
    passwd* found = nullptr;
    int rc = ::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found);
    if (found)
        return pw.pw_name;
    // A user missing from the password database (containers) still has a login name.
    for (const char* var : {"LOGNAME", "USER"})
        if (const char* v = std::getenv(var); v && *v)
            return v;
    raise(rc ? rc : ENOENT, "GetCurUserName");
}

std::string computerInfo::GetSysDir() const {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&::getpid), &info) && info.dli_fname) {
        char resolved[PATH_MAX];
        if (::realpath(info.dli_fname, resolved)) {
            std::string path = resolved;
            return path.substr(0, path.rfind('/'));
        }
    }
    for (const char* dir : {"/usr/lib64", "/usr/lib", "/lib"})
        if (isDirectory(dir))
            return dir;
    raise(ENOENT, "GetSysDir");
}

std::string computerInfo::GetWinDir() const {
    if (!isDirectory("/etc"))
        raise(errno ? errno : ENOENT, "GetWinDir");
    return "/etc";
}

std::string computerInfo::GetTempDir() const {
    std::string dir = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t && *t == '/')
        dir = t;
    if (!isDirectory(dir))
        raise(errno ? errno : ENOTDIR, "GetTempDir");
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::string computerInfo::GetDefaultPrinter() const {
    // The user's choice ($LPDEST, $PRINTER, lpoptions) or the print server's default.
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

} // namespace harlix
