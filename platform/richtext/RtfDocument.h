#pragma once
// Puts RTF text into a QTextDocument, the way a rich-text box takes its RTF property: the
// document's old content is replaced.
#include <QString>

class QTextDocument;

namespace brevant::richtext {

void setRtf(QTextDocument& document, const QString& rtf);

} // namespace brevant::richtext
