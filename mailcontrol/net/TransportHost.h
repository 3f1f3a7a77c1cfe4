#pragma once
// What the transport and the SMTP session need from whoever hosts them: a way to let the
// host's own events run while they wait, and the two event channels that do not end a call.
// The control implements it over its event sink; tests implement it directly.
#include <string>

namespace mailvane::net {

class TransportHost {
public:
    virtual ~TransportHost() = default;

    // Handles the host's pending events without blocking (the control's message pump). Event
    // handlers run from here and may call Interrupt or start another operation.
    virtual void pumpEvents() = 0;

    // False once the owning object is being torn down; a wait then ends with "Interrupted".
    virtual bool alive() const { return true; }

    // A protocol line or note: 0 = command sent, 1 = reply received, 2 = the control's note.
    virtual void trail(int direction, const std::string& text) = 0;

    // A failure reported without ending the call (a refused blind copy, a lost connection).
    virtual void error(int code, const std::string& text) = 0;
};

} // namespace mailvane::net
