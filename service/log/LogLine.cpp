#include "service/log/LogLine.h"

#include <QDateTime>
#include <cstdio>

namespace brevant::service {

QString logEscaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\\':
            out += QLatin1String("\\\\");
            continue;
        case u'"':
            out += QLatin1String("\\\"");
            continue;
        case u'\n':
            out += QLatin1String("\\n");
            continue;
        case u'\r':
            out += QLatin1String("\\r");
            continue;
        case u'\t':
            out += QLatin1String("\\t");
            continue;
        default:
            break;
        }
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f))
            out += QString("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else if (u == 0x2028 || u == 0x2029)
            out += QString("\\u{%1}").arg(uint(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void writeLogLine(const QString& text) {
    const QByteArray line = (QDateTime::currentDateTime().toString(Qt::ISODate) +
                             QLatin1String(" brevant-service: ") + text + QLatin1Char('\n'))
                                .toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace brevant::service
