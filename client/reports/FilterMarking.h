#pragma once
// Marks the words of the project list's filter in the shown summary, blue and bold.
#include <QString>
#include <QStringList>

class QTextDocument;

namespace brevant::reports {

// The words of a filter's search text: split at "||" in multi-word mode, else at "|"; empty
// pieces are dropped (they would match everywhere).
QStringList FilterWords(const QString& searchText, bool multiWord);

// Marks every occurrence of each word in the summary (without regard to case); returns how
// many were marked. The document's text is not changed.
int MarkFilterWords(QTextDocument& summary, const QStringList& words);

} // namespace brevant::reports
