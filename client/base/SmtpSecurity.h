#pragma once
// How the e-mail window secures its connection to the SMTP server (the mail control's
// Security: 0 none, 1 STARTTLS required, 2 STARTTLS when offered, 3 TLS), and how long it waits.
// A login is never sent in clear by default: with an account name set, "None" counts only when
// the user chose it knowingly (SMTPPLAINLOGIN "1", stored after the dialog warned him); an
// older "0" that was merely the default becomes "STARTTLS, required".
#include <QString>

namespace brevant {

int SmtpSecurityFor(const QString& storedSecurity, const QString& user, bool plainLoginChosen);

// SMTPSECURITY, SMTPUSER and SMTPPLAINLOGIN from the settings, through SmtpSecurityFor.
int SmtpSecuritySetting();

// SMTPTIMEOUT in seconds (default 60; 0 or a non-number gives 60, so a silent server never
// holds the window for ever), at most 32767, the control's limit.
int SmtpTimeoutSetting();

} // namespace brevant
