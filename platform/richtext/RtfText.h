#pragma once
// Text for RTF writers: a value put into an RTF document must not open or close groups or start
// control words, and characters outside ASCII are written as escapes so the file is 7-bit.
#include <QByteArray>
#include <QString>

namespace brevant::richtext {

// The value as RTF text: "\", "{" and "}" escaped; other characters as by toRtfBytes.
QString rtfEscape(const QString& value);

// RTF text as file bytes: ASCII as it is; characters of code page 1252 as \'hh; the rest as
// \uN? (UTF-16 units, signed).
QByteArray toRtfBytes(const QString& rtf);

} // namespace brevant::richtext
