#pragma once
// The service's log: one line per event on standard error. Values a client sent are escaped
// first, so that a line break cannot forge a line of its own and a NUL cannot cut one short.
#include <QString>
#include <QStringView>

namespace brevant::service {

// The text with "\" and '"' escaped and every control character (C0, DEL, C1, the Unicode line
// and paragraph separators) written as \n, \r, \t or \xHH / \u{HHHH}.
QString logEscaped(QStringView text);

// Writes "<local time> brevant-service: <text>" and a line end to standard error.
void writeLogLine(const QString& text);

} // namespace brevant::service
