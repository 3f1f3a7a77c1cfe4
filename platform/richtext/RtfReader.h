#pragma once
// A reader for the subset of RTF that the reports write: groups, the font and colour tables,
// character formatting (\b \i \ul \fs \f \cf \plain), \par \line \tab, \'hh in code page 1252
// and \uN. Destinations and control words it does not know are skipped. It never fails: any
// input, however malformed, yields some text, in time linear in the input's length.
#include <QColor>
#include <QString>
#include <QStringView>

namespace brevant::richtext {

// Character formatting with the font and colour tables already resolved.
struct RtfCharFormat {
    QString family;      // empty when the font index is not in the table
    int halfPoints = 24; // \fs: font size in half points
    QColor color;        // invalid for the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const RtfCharFormat&) const = default;
};

// Receives the document as it is read. Adjacent characters of equal format arrive together.
class RtfSink {
public:
    virtual ~RtfSink() = default;
    virtual void text(const QString& text, const RtfCharFormat& format) = 0;
    virtual void paragraph() = 0;
};

// Reads rtf into sink. Characters outside ASCII are taken as they are (a caller that read a file
// as Latin-1 bytes gets code page 1252 decoding only through \'hh, as RTF intends).
void readRtf(QStringView rtf, RtfSink& sink);

// The character code page 1252 gives to byte b.
QChar cp1252ToUnicode(unsigned char b);

} // namespace brevant::richtext
