#include "reports/FilterMarking.h"

#include "platform/richtext/TextMarking.h"

#include <QTextDocument>

namespace brevant::reports {

QStringList FilterWords(const QString& searchText, bool multiWord) {
    if (searchText.isEmpty())
        return {};
    QStringList words = searchText.split(multiWord ? QStringLiteral("||") : QStringLiteral("|"));
    words.removeAll(QString());
    return words;
}

int MarkFilterWords(QTextDocument& summary, const QStringList& words) {
    int marked = 0;
    for (const QString& word : words)
        marked += richtext::markText(summary, word, QColor(0, 0, 255), true);
    return marked;
}

} // namespace brevant::reports
