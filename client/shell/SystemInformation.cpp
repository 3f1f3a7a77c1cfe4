#include "shell/SystemInformation.h"

#include <harlix/RegSettings.h>

#include <QFileInfo>
#include <QStandardPaths>

namespace brevant::shell {

QString SystemInformationProgram() {
    try {
        harlix::RegSettings reg;
        const QString registered =
            QString::fromStdString(reg.GetSetting("Microsoft", "Shared Tools\\MSINFO", "PATH", ""));
        if (!registered.isEmpty())
            return registered;
        const QString folder = QString::fromStdString(
            reg.GetSetting("Microsoft", "Shared Tools Location", "MSINFO", ""));
        if (!folder.isEmpty()) {
            QString candidate = folder + QStringLiteral("/MSINFO32.EXE");
            candidate.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (QFileInfo::exists(candidate))
                return candidate;
        }
    } catch (...) {
        // An unreadable settings file is the same as nothing registered.
    }
    for (const char* name : {"hardinfo", "gnome-system-monitor", "plasma-systemmonitor",
                             "ksysguard", "xfce4-taskmanager"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace brevant::shell
