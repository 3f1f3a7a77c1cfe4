#pragma once
// Text for RTF writers: a value put into an RTF document must not open or close groups or start
// control words, and characters outside ASCII are written as escapes so the file is 7-bit.
#include <QByteArray>
#include <QString>

namespace brevant::richtext {

// The value as RTF text: "\", "{" and "}" escaped; other characters as by toRtfBytes.
QString rtfEscape(const QString& value);

// Whether rtf ends in a control word ("\\par", "\\fs16") with no delimiter after it yet.
bool endsInControlWord(QStringView rtf);

// Appends piece to rtf so that the reader shows the piece as it is written. A control word runs
// on through letters and digits and eats one blank after it: "\\par" + "12/08/2026" would be read
// as the word "\\par12" and the text "/08/2026". When rtf ends in a control word and the piece
// begins with a letter, a digit, "-" or a blank, the blank that ends the word goes between them.
void rtfAppend(QString& rtf, QStringView piece);

// RTF text as file bytes: ASCII as it is; characters of code page 1252 as \'hh; the rest as
// \uN? (UTF-16 units, signed).
QByteArray toRtfBytes(const QString& rtf);

} // namespace brevant::richtext
