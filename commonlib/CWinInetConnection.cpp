#include "harlix/CWinInetConnection.h"

#include "harlix/ComError.h"
#include "harlix/modResources.h"

#include "NetworkState.h"
#include "Process.h"

#include <cerrno>
#include <system_error>
#include <vector>

namespace harlix {
namespace {

// The custom-error base 0x80040000 plus 1000.
constexpr std::uint32_t kErrorBase = 0x800403E8u;
constexpr int kFirstInternetError = 12001;

// Raises the error of `code` for the operation; a code of 0 raises nothing.
void raiseError(int code, const char* operation, const std::string& detail = {}) {
    if (code == 0)
        return;
    std::string description =
        (code < kFirstInternetError ? "Win32API Error: " : "WinInet API Error: ") +
        std::to_string(code) + " " + modResources::GetErrorText(code);
    if (!detail.empty())
        description += " (" + detail + ")";
    throw ComError(static_cast<std::int32_t>(static_cast<std::uint32_t>(code) + kErrorBase),
                   std::string("CWinInetConnection.") + operation, description);
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

// nmcli's exit codes as system codes.
int nmcliError(int exitCode) {
    switch (exitCode) {
    case 2:
        return EINVAL;
    case 3:
        return ETIMEDOUT;
    case 8:
        return ENETDOWN;
    case 10:
        return ENOENT;
    default:
        return EIO;
    }
}

// Runs nmcli with the arguments; raises the operation's error when it is missing or fails.
std::string nmcli(const std::vector<std::string>& args, const char* operation) {
    if (detail::findOnPath("nmcli").empty())
        raiseError(ENOTSUP, operation, "this needs NetworkManager's nmcli, which is not installed");
    std::vector<std::string> argv = {"nmcli"};
    argv.insert(argv.end(), args.begin(), args.end());
    auto result = detail::runProcess(argv, {}, -1, true);
    if (!result.started)
        raiseError(result.error, operation, "nmcli could not be started");
    if (result.exitCode != 0)
        raiseError(nmcliError(result.exitCode), operation, "nmcli: " + trimmed(result.output));
    return result.output;
}

bool networkingDisabled() {
    if (detail::findOnPath("nmcli").empty())
        return false;
    auto result = detail::runProcess({"nmcli", "networking"}, {}, 5000, true);
    return result.finished && result.exitCode == 0 && trimmed(result.output) == "disabled";
}

bool rasInstalled() {
    return !detail::findOnPath("pppd").empty() || !detail::findOnPath("/usr/sbin/pppd").empty() ||
           !detail::findOnPath("/sbin/pppd").empty();
}

} // namespace

bool CWinInetConnection::SetGlobalOnline() {
    nmcli({"networking", "on"}, "SetGlobalOnline");
    return true;
}

bool CWinInetConnection::SetGlobalOffline() {
    nmcli({"networking", "off"}, "SetGlobalOffline");
    return true;
}

bool CWinInetConnection::GoOnline(const std::string&, WindowHandle) {
    Refresh();
    if (isOffline_) {
        nmcli({"networking", "on"}, "GoOnline");
        Refresh();
    }
    return isConnected_ || useProxy_;
}

bool CWinInetConnection::HangUp() {
    if (dialled_.empty())
        return false;
    nmcli({"connection", "down", "id", dialled_}, "HangUp");
    dialled_.clear();
    return true;
}

bool CWinInetConnection::Dial(WindowHandle, const std::string& strConnectionName, DialsFlags,
                              bool) {
    if (strConnectionName.empty())
        raiseError(EINVAL, "Dial", "no connection name given");
    nmcli({"connection", "up", "id", strConnectionName}, "Dial");
    dialled_ = strConnectionName;
    return true;
}

bool CWinInetConnection::AutodialHangup() {
    Refresh();
    if (!useModem_)
        return false;
    nmcli({"device", "disconnect", connectionName_}, "AutodialHangup");
    return true;
}

bool CWinInetConnection::Autodial(WindowHandle, AutoDialsFlags, bool) {
    Refresh();
    if (isConnected_)
        return true;
    nmcli({"networking", "on"}, "Autodial");
    Refresh();
    return isConnected_;
}

void CWinInetConnection::Refresh() {
    detail::NetworkState state;
    try {
        state = detail::readNetworkState();
    } catch (const std::system_error& e) {
        raiseError(e.code().value(), "Refresh", e.what());
    }
    // Each refresh reports the state as it is now, so a lost connection reads as lost.
    isConnected_ = state.connected;
    connectionName_ = state.name;
    isConfigured_ = state.configured;
    useLAN_ = state.lan;
    useModem_ = state.modem;
    useProxy_ = state.proxy;
    isOffline_ = networkingDisabled();
    isRasInstalled_ = rasInstalled();
}

std::string CWinInetConnection::GetWinApiDesc(std::int32_t lErrNumber) const {
    return modResources::GetErrorText(lErrNumber);
}

} // namespace harlix
