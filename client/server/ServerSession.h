#pragma once
// What every request of the server exchange shares: whether the computer is online, the
// service's address, port and time-out from the settings, the firewall applied to a connection,
// the "Download" folder and unpacking an archive. Also the two things only the windows can do
// (the hourglass, the logon dialog and the server settings), which they install here; headless
// callers leave them empty or install their own.
#include "platform/ui/Ui.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace brevant::wirelet {
class Wirelet;
}

namespace brevant::server {

// True when the computer has an Internet connection (Harlix CWinInetConnection: connected or
// through a proxy). A loopback service address is always reachable.
bool IsOnline();

// SERVERADDR (default 127.0.0.1), SERVERPORT (default 555).
QString ServerAddress();
int ServerPort();
// SERVERTIMEOUT: seconds without a byte from the server before a request is given up
// (default 120; a value that is not a positive number gives the default).
int ServerTimeoutSeconds();

// With proxy on: firewall type 3 and the SOCKS 5 server, port, user and password from the
// settings (PROXYSOCKS, PROXYSOCKSPORT default 1080, PROXYSOCKSUSER, PROXYSOCKSPASS), the type
// set before the port. Off: type 0 and nothing else.
void ApplyFirewall(wirelet::Wirelet& control, bool proxyOn);

// The program folder's "Download" folder (an existing one is found without regard to case),
// created when missing. Empty when it cannot be created.
QString DownloadFolder();

// The largest listing or update document unpacked: a document of a few thousand projects is a
// few megabytes, so this only bounds what a hostile archive can put on the disk.
constexpr std::uint64_t MaxUnpackedDocumentBytes = 256ull << 20;

// Extracts entry 0 of the archive into destinationFolder and deletes the archive; true on
// success. writtenPath receives the file written. The folder must be empty (a folder made for
// this unpacking): the entry's name is the server's, so it must never meet a file of ours. A
// missing or empty archive, a folder that holds anything, a refused entry name, an entry over
// MaxUnpackedDocumentBytes or the free space, or a write failure is false, and the archive
// stays.
bool UnpackArchive(const QString& archivePath, const QString& destinationFolder,
                   QString* writtenPath = nullptr);

// What the windows install for the exchange.
struct ExchangeEnvironment {
    std::function<void(bool)> hourglass; // set (true) or restore (false) the pointer
    std::function<void()> showLogon;     // the logon dialog, modal
    // Preferences at the service's address, modal: offered with a failure to reach the server.
    std::function<void()> showServerSettings;
};
ExchangeEnvironment& exchangeEnvironment();

// The hourglass on or off (idempotent: several "off"s after one "on" are fine).
void Hourglass(bool on);
// Shows the logon dialog; with none installed the logon counts as cancelled.
void ShowLogon();

// The caption of the button that opens the server settings from a connection error.
QString ServerSettingsCaption();
// A failure to reach the server: the message as it stands (Ok) with, where the window can
// show them, a button for the server settings. True when that button was pressed; the caller
// opens them (ShowServerSettings) once it has cleaned up.
bool ShowConnectionProblem(const QString& text, ui::Icon icon, const QString& title);
// Preferences at the service's address, where the window installed them.
void ShowServerSettings();

} // namespace brevant::server
