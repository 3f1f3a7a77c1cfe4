#include "platform/richtext/TextMarking.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace brevant::richtext {

int markText(QTextDocument& document, const QString& word, const QColor& color, bool bold) {
    if (word.isEmpty())
        return 0;
    QTextCharFormat format;
    format.setForeground(color);
    if (bold)
        format.setFontWeight(QFont::Bold);
    int count = 0;
    QTextCursor found = document.find(word, 0);
    while (!found.isNull()) {
        found.mergeCharFormat(format);
        ++count;
        // The search goes on after the selection just marked, so it always moves forward.
        found = document.find(word, found);
    }
    return count;
}

} // namespace brevant::richtext
