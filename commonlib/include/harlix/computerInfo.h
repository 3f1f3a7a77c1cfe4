#pragma once
// Names and folders of this machine. Every getter throws ComError (number = errno, source =
// the operation's name, description = the system's text) when the system call fails.
#include <string>

namespace harlix {

class computerInfo {
public:
    std::string GetCompName() const;       // the host name
    std::string GetCurUserName() const;    // the login name of the effective user
    std::string GetSysDir() const;         // the folder of the system's C library
    std::string GetWinDir() const;         // the system configuration folder, "/etc"
    std::string GetTempDir() const;        // $TMPDIR (else "/tmp"), ending in "/"
    std::string GetDefaultPrinter() const; // the default print destination's name, or ""
};

} // namespace harlix
