#pragma once
// The service's credentials for an unattended check (a systemd timer), read from a file that
// only its owner may read. Either the password alone on the first line, or the lines a systemd
// EnvironmentFile holds: BREVANT_USER=name and BREVANT_PASSWORD=secret ("#" starts a comment,
// a value may be quoted).
#include <QString>
#include <variant>

namespace brevant::shell {

struct Credentials {
    QString user; // empty when the file names none
    QString password;
};

// The credentials in path, or the reason they cannot be used: the file is missing or not a
// plain file, group or others may read or change it (the text names the file and the
// "chmod 600" that fixes it), or it holds no password.
std::variant<Credentials, QString> ReadCredentialsFile(const QString& path);

// The content of such a file, once it has been found private.
Credentials ParseCredentials(const QByteArray& content);

} // namespace brevant::shell
