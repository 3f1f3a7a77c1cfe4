#pragma once
// Puts RTF text into a QTextDocument, the way a rich-text box takes its RTF property: the
// document's old content is replaced.
#include <QColor>
#include <QString>

class QTextDocument;

namespace brevant::richtext {

void setRtf(QTextDocument& document, const QString& rtf);

// The same for a document shown on screen: runs in `ordinaryText` (the colour the writer gave
// its ordinary text, assuming a white page) carry no colour of their own, so they take the
// viewer's text colour from its palette, as the automatic colour does. Every other colour the
// RTF names stays. An invalid colour keeps every colour, as setRtf does.
void setRtf(QTextDocument& document, const QString& rtf, const QColor& ordinaryText);

} // namespace brevant::richtext
