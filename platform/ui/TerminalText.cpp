#include "platform/ui/TerminalText.h"

namespace brevant::ui {

namespace {

bool isBidiControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString hex(unsigned value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
}

} // namespace

QString escapeForTerminal(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            out += QLatin1String("\\x") + hex(c, 2);
        } else if (isBidiControl(c)) {
            out += QLatin1String("\\u") + hex(c, 4);
        } else {
            out += qc;
        }
    }
    return out;
}

} // namespace brevant::ui
