#pragma once
// Paths as the client writes them (Windows style, any case) mapped onto the Linux file system.
#include <QString>

namespace brevant::db {

// The file named by a connection string's "Data Source=" (or the text itself when it is a
// plain path), with every '\' turned into '/'.
QString dataSourcePath(const QString& connectionStringOrPath);

// The path with each existing component looked up without regard to case: an exact match
// wins, otherwise the first entry whose name differs only in case. Components that do not
// exist are kept as given, so the result is also the name to create.
QString resolveCaseInsensitive(const QString& path);

} // namespace brevant::db
