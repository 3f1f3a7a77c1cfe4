#include "base/SmtpSecurity.h"

#include "base/Settings.h"

#include <algorithm>

namespace brevant {

int SmtpSecurityFor(const QString& storedSecurity, const QString& user, bool plainLoginChosen) {
    bool ok = false;
    int security = storedSecurity.trimmed().toInt(&ok);
    if (!ok || security < 0 || security > 3)
        security = 0;
    if (security == 0 && !user.trimmed().isEmpty() && !plainLoginChosen)
        return 1;
    return security;
}

int SmtpSecuritySetting() {
    return SmtpSecurityFor(
        ReadSetting(QStringLiteral("SMTPSECURITY")), ReadSetting(QStringLiteral("SMTPUSER")),
        ReadSetting(QStringLiteral("SMTPPLAINLOGIN")).trimmed() == QLatin1String("1"));
}

int SmtpTimeoutSetting() {
    constexpr int kDefault = 60;
    bool ok = false;
    const int seconds = ReadSetting(QStringLiteral("SMTPTIMEOUT")).trimmed().toInt(&ok);
    if (!ok || seconds <= 0)
        return kDefault;
    return std::min(seconds, 32767);
}

} // namespace brevant
