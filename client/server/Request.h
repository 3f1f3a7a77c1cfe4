#pragma once
// The request text: kind character, user name, "|", password, "|", the program's version, the
// kind character again, the argument. No length prefix and no line end.
#include "server/RequestKind.h"

#include <QString>

namespace brevant::server {

// "major.minor.revision" of this program, decimal without leading zeros.
QString ClientVersion();

QString BuildRequest(RequestKind kind, const QString& user, const QString& password,
                     const QString& argument);

// True when the text can travel as a user name or password: a "|" would shift the fields.
bool IsValidCredential(const QString& text);

} // namespace brevant::server
