#include "platform/db/DataPath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace brevant::db {

QString dataSourcePath(const QString& text) {
    static const QRegularExpression source(QStringLiteral(R"((?:^|;)\s*Data Source\s*=\s*([^;]*))"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString path = text;
    if (const auto m = source.match(text); m.hasMatch()) {
        path = m.captured(1).trimmed();
        if (path.size() >= 2 &&
            (path.front() == QLatin1Char('"') || path.front() == QLatin1Char('\'')) &&
            path.back() == path.front())
            path = path.mid(1, path.size() - 2);
    }
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "folder" + "\Desktop.mdb" with a folder ending in '\' gives a doubled separator.
    static const QRegularExpression doubled(QStringLiteral("/{2,}"));
    path.replace(doubled, QStringLiteral("/"));
    return path;
}

QString resolveCaseInsensitive(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    bool resolving = true;
    for (const QString& part : parts) {
        QString name = part;
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        if (resolving && part != QLatin1String(".") && part != QLatin1String("..")) {
            if (!QFileInfo::exists(QDir(base).filePath(part))) {
                const QStringList entries = QDir(base).entryList(
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
                auto it = std::find_if(entries.begin(), entries.end(), [&](const QString& e) {
                    return e.compare(part, Qt::CaseInsensitive) == 0;
                });
                if (it != entries.end())
                    name = *it;
                else
                    resolving = false; // nothing below a missing folder can exist
            }
        }
        if (current.isEmpty())
            current = name;
        else if (current.endsWith(QLatin1Char('/')))
            current += name;
        else
            current += QLatin1Char('/') + name;
    }
    return current;
}

} // namespace brevant::db
