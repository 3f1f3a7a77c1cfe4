// The accessors of the security properties: how the connection is secured and whether the
// server's certificate is checked.
#include "mailvane/Mailvane.h"

#include "control/ControlErrors.h"
#include "control/MailvaneInternal.h"
#include "control/PropertyTable.h"

namespace mailvane {

using namespace detail;

std::int32_t Mailvane::get_Security() const {
    checkRead(kSecurity);
    return state_->security;
}

void Mailvane::put_Security(std::int32_t value) {
    checkWrite(kSecurity);
    if (value < secNone || value > secImplicitTls)
        throw ComError(kOutOfRangeNumber, kProgId, kOutOfRangeText, help(kSecurity));
    state_->security = value;
}

bool Mailvane::get_VerifyCertificate() const {
    checkRead(kVerifyCertificate);
    return state_->verifyCertificate;
}

void Mailvane::put_VerifyCertificate(bool value) {
    checkWrite(kVerifyCertificate);
    state_->verifyCertificate = value;
}

} // namespace mailvane
