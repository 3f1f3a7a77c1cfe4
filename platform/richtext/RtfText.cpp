#include "platform/richtext/RtfText.h"

#include "platform/richtext/RtfReader.h"

namespace brevant::richtext {

namespace {

// The code page 1252 byte for c, or -1.
int cp1252Byte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int b = 0x80; b <= 0x9F; ++b) {
        if (cp1252ToUnicode(static_cast<unsigned char>(b)) == c)
            return b;
    }
    return -1;
}

void appendNonAscii(QString& out, QChar c) {
    const int b = cp1252Byte(c);
    if (b >= 0) {
        out += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
    } else {
        out += QStringLiteral("\\u%1?").arg(static_cast<short>(c.unicode()));
    }
}

} // namespace

QString rtfEscape(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u < 0x80) {
            out += c;
        } else {
            appendNonAscii(out, c);
        }
    }
    return out;
}

bool endsInControlWord(QStringView rtf) {
    qsizetype i = rtf.size();
    auto isAsciiLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    while (i > 0 && rtf[i - 1].isDigit() && rtf[i - 1].unicode() < 0x80)
        --i;
    if (i > 0 && rtf[i - 1] == u'-' && i < rtf.size())
        --i;
    const qsizetype lettersEnd = i;
    while (i > 0 && isAsciiLetter(rtf[i - 1]))
        --i;
    if (i == lettersEnd || i == 0 || rtf[i - 1] != u'\\')
        return false;
    // Two backslashes and "par" are an escaped backslash and the text "par": the backslashes
    // before the letters must be odd in number to start a word.
    qsizetype slashes = 0;
    while (i > 0 && rtf[i - 1] == u'\\') {
        --i;
        ++slashes;
    }
    return slashes % 2 == 1;
}

void rtfAppend(QString& rtf, QStringView piece) {
    if (!piece.isEmpty() && endsInControlWord(rtf)) {
        const QChar c = piece.front();
        const bool continues =
            c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'-' || c == u' ');
        if (continues)
            rtf += QLatin1Char(' ');
    }
    rtf += piece;
}

QByteArray toRtfBytes(const QString& rtf) {
    QString out;
    out.reserve(rtf.size());
    for (const QChar c : rtf) {
        if (c.unicode() < 0x80)
            out += c;
        else
            appendNonAscii(out, c);
    }
    return out.toLatin1();
}

} // namespace brevant::richtext
