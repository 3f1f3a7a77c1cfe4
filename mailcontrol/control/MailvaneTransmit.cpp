// The transport step of Send. Until the SMTP session is built in, it stops where the session
// would open the connection, failing as a connect does while no socket library is usable.
#include "control/MailvaneInternal.h"
#include "net/SocketErrors.h"

namespace mailvane {

int Mailvane::transmit(const ComposedMessage& message) {
    (void)message;
    detail::MailvaneState& s = *state_;
    s.firePITrail(2, "Connecting to mail server.");
    // A handler may have interrupted; a wait would have ended "Interrupted" then.
    if (s.interruptRequested)
        return s.fail(301, "Interrupted");
    const int code = net::kNotInitialised;
    s.fireError(162, "Failed to connect: " + net::describeSocketError(code));
    return code;
}

void Mailvane::closeConnection() {
    state_->socketHandle = -1;
}

} // namespace mailvane
