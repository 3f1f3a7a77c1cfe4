#include "shell/CredentialsFile.h"

#include <QByteArrayList>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brevant::shell {

namespace {

// A password file is small; anything larger is not one.
constexpr qint64 kMaxSize = 64 * 1024;

QString unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

Credentials ParseCredentials(const QByteArray& content) {
    const QStringList lines =
        QString::fromUtf8(content).split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    Credentials c;
    bool keyed = false;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('#')) || t.isEmpty())
            continue;
        const int eq = t.indexOf(QLatin1Char('='));
        const QString key = eq > 0 ? t.left(eq).trimmed() : QString();
        if (key == QLatin1String("BREVANT_PASSWORD")) {
            c.password = unquote(t.mid(eq + 1));
            keyed = true;
        } else if (key == QLatin1String("BREVANT_USER")) {
            c.user = unquote(t.mid(eq + 1));
            keyed = true;
        }
    }
    if (!keyed && !lines.isEmpty()) {
        // The password alone: the first line as it is, only its line end removed.
        QString first = lines.first();
        if (first.endsWith(QLatin1Char('\r')))
            first.chop(1);
        c.password = first;
    }
    return c;
}

std::variant<Credentials, QString> ReadCredentialsFile(const QString& path) {
    // The checks are made on the file that was opened, so a rename in between cannot slip
    // another file past them.
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return QStringLiteral("Cannot read the credentials file %1: %2.")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("The credentials file %1 is not a plain file.").arg(path);
    }
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::close(fd);
        return QStringLiteral("The credentials file %1 may be read or changed by other users "
                              "(mode %2); it is not used. Make it yours alone with: chmod 600 %1")
            .arg(path)
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    }
    if (st.st_size > kMaxSize) {
        ::close(fd);
        return QStringLiteral("The credentials file %1 is too large to be one.").arg(path);
    }
    QFile file;
    QByteArray content;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        content = file.read(kMaxSize);
    else
        ::close(fd);
    Credentials c = ParseCredentials(content);
    if (c.password.isEmpty())
        return QStringLiteral("The credentials file %1 holds no password (write it on the first "
                              "line, or as BREVANT_PASSWORD=...).")
            .arg(path);
    return c;
}

} // namespace brevant::shell
