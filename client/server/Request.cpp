#include "server/Request.h"

namespace brevant::server {

QString ClientVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(BREVANT_VERSION_MAJOR)
        .arg(BREVANT_VERSION_MINOR)
        .arg(BREVANT_VERSION_PATCH);
}

QString BuildRequest(RequestKind kind, const QString& user, const QString& password,
                     const QString& argument) {
    const QChar k(static_cast<char16_t>(kind));
    return k + user + QLatin1Char('|') + password + QLatin1Char('|') + ClientVersion() + k +
           argument;
}

bool IsValidCredential(const QString& text) {
    return !text.contains(QLatin1Char('|'));
}

} // namespace brevant::server
