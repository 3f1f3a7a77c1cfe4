#pragma once
// Find and format on a shown document: every occurrence of a word, found without regard to
// case, is given a format (the report boxes mark the filter words blue and bold this way).
#include <QColor>
#include <QString>

class QTextDocument;

namespace brevant::richtext {

// Merges colour and boldness into every occurrence of word; returns how many were marked.
// An empty word marks nothing.
int markText(QTextDocument& document, const QString& word, const QColor& color, bool bold);

} // namespace brevant::richtext
