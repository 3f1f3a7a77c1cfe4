// The transport step of Send. Until the SMTP session is built in, the first step that needs a
// connection fails as it does when no socket library is loaded.
#include "control/MailvaneInternal.h"
#include "net/SocketErrors.h"

namespace mailvane {

int Mailvane::transmit(const ComposedMessage& message) {
    (void)message;
    return net::kNotInitialised;
}

void Mailvane::closeConnection() {
    state_->socketHandle = -1;
}

} // namespace mailvane
