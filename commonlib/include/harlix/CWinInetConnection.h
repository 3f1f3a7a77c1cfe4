#pragma once
// The machine's Internet connection state and the operations that change it. Refresh reads
// the kernel's route table, the network interfaces and the proxy environment; going online
// or offline, dialling and hanging up use NetworkManager's nmcli when it is installed.
#include "harlix/WindowHandle.h"

#include <cstdint>
#include <string>

namespace harlix {

enum AutoDialsFlags { ADF_FORCE_ONLINE = 1, ADF_FORCE_UNATTENDED = 2 };
enum DialsFlags {
    DF_FORCE_ONLINE = 1,
    DF_FORCE_UNATTENDED = 2,
    DF_DIAL_FORCE_PROMPT = 0x2000,
    DF_DIAL_UNATTENDED = 0x8000
};

// Failures throw ComError with number = system code + 0x800403E8, source
// "CWinInetConnection.<operation>" and description "Win32API Error: <code> <text>".
class CWinInetConnection {
public:
    bool SetGlobalOnline();
    bool SetGlobalOffline();
    // Goes online when networking is switched off; true when the machine is online after.
    bool GoOnline(const std::string& strURL, WindowHandle hwndParentWindow);
    // Takes down the connection Dial brought up; false when there is none.
    bool HangUp();
    // Brings up the named connection.
    bool Dial(WindowHandle hwndParentWindow, const std::string& strConnectionName,
              DialsFlags lOption, bool bShowOfflineButton);
    // Takes down a point-to-point connection that carries the default route; false when none.
    bool AutodialHangup();
    // Makes sure the machine is online, switching networking on when needed.
    bool Autodial(WindowHandle hwndParentWindow, AutoDialsFlags lOption, bool bFailIfSecurityCheck);
    // Reads the current state into the properties below.
    void Refresh();

    bool get_IsConnected() const { return isConnected_; }
    std::string get_ConnectionName() const { return connectionName_; }
    bool get_IsConnectionConfigured() const { return isConfigured_; }
    bool get_IsOffline() const { return isOffline_; }
    bool get_IsRasInstalled() const { return isRasInstalled_; }
    bool get_UseProxy() const { return useProxy_; }
    bool get_UseLAN() const { return useLAN_; }
    bool get_UseModem() const { return useModem_; }

    // The system's message text for an error number.
    std::string GetWinApiDesc(std::int32_t lErrNumber) const;

private:
    bool isConnected_ = false;
    std::string connectionName_;
    bool isConfigured_ = false;
    bool isOffline_ = false;
    bool isRasInstalled_ = false;
    bool useProxy_ = false;
    bool useLAN_ = false;
    bool useModem_ = false;
    std::string dialled_;
};

} // namespace harlix
