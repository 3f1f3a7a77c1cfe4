#include "control/ControlErrors.h"

#include "net/SocketErrors.h"

namespace mailvane::detail {

namespace {

constexpr std::int32_t kErrorBase = static_cast<std::int32_t>(0x800A0000);
constexpr int kLastControlCode = 10000;

} // namespace

std::int32_t errorNumberForCode(int code) {
    if (code == kOutOfMemoryCode)
        return kOutOfMemoryNumber;
    return kErrorBase + code + (code <= kLastControlCode ? 20001 : 15001);
}

const char* controlCodeText(int code) {
    switch (code) {
    case kPortWhileConnected:
        return "You cannot change the RemotePort at this time. A connection is in progress.";
    case kServerWhileConnected:
        return "You cannot change the RemoteHost at this time. A connection is in progress.";
    case kNotFromCode:
        return "Please specify a sender (From).";
    case kNoRecipientCode:
        return "Please specify a recipient (To).";
    case kBusyCode:
        return "Busy performing current action.";
    case kBadAttachmentIndexCode:
        return "Invalid attachment index (out of range).";
    default:
        return "";
    }
}

std::string describeFailure(int code, const std::string& recorded) {
    if (code == kOutOfMemoryCode)
        return "Out of memory.";
    if (!recorded.empty())
        return recorded;
    if (const char* fixed = controlCodeText(code); *fixed != '\0')
        return fixed;
    if (code == kWaitEndedCode)
        return "Interrupted.";
    return net::describeSocketError(code);
}

} // namespace mailvane::detail
