#pragma once
// The events the control fires, as an interface the host implements and attaches with
// Mailvane::Advise. Arguments are passed by reference, as form designers' handlers expect; a
// handler may call back into the control (Interrupt, or a refused second Send).
#include <cstdint>
#include <string>

namespace mailvane {

class IMailvaneEvents {
public:
    virtual ~IMailvaneEvents() = default;

    // After a block of message data has been sent.
    virtual void EndTransfer() {}
    // A failure that does not end the current call by itself.
    virtual void Error(std::int16_t& ErrorCode, std::string& Description) {
        (void)ErrorCode;
        (void)Description;
    }
    // Direction 0: a command line sent; 1: a reply line received; 2: a note of the control.
    virtual void PITrail(std::int16_t& Direction, std::string& Message) {
        (void)Direction;
        (void)Message;
    }
    // Before a block of message data is sent.
    virtual void StartTransfer() {}
    // While a block is sent, with the running byte count of that block.
    virtual void Transfer(std::int32_t& BytesTransferred) { (void)BytesTransferred; }
};

} // namespace mailvane
