#pragma once
// Socket error codes in the 10000 range (the numbers the control has always reported) and
// their texts. POSIX errno values and resolver failures are mapped onto them so that hosts
// see the same numbers and descriptions on every platform.
#include <string>

namespace mailvane::net {

// Codes the transport uses by name.
enum SocketError : int {
    kWouldBlock = 10035,
    kNotSocket = 10038,
    kConnectionAborted = 10053,
    kConnectionReset = 10054,
    kNoBufferSpace = 10055,
    kNotConnected = 10057,
    kConnectionRefused = 10061,
    kNotInitialised = 10093,
    kHostNotFound = 11001,
    kTryAgain = 11002,
    kNoRecovery = 11003,
    kNoData = 11004,
};

// The 10000-range code for an errno value (0 stays 0).
int socketErrorFromErrno(int err);

// The 11000-range code for a getaddrinfo() result; EAI_SYSTEM uses errnoValue.
int socketErrorFromResolver(int eaiCode, int errnoValue);

// The table text for a code, or nullptr when the code has none.
const char* socketErrorText(int code);

// "[code] text", or "[code] (no description available)" for a code outside the table.
std::string describeSocketError(int code);

} // namespace mailvane::net
