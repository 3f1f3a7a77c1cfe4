#include "service/exchange/DocumentSelection.h"

#include <QSet>

namespace brevant::service {

std::optional<DocumentSelection> parseDocumentSelection(const QString& text) {
    DocumentSelection s;
    const qsizetype at = text.indexOf('@');
    bool ok = false;
    s.jobId = text.left(at < 0 ? text.size() : at).trimmed().toInt(&ok);
    if (!ok || s.jobId <= 0)
        return std::nullopt;
    if (at < 0)
        return s;
    QSet<QString> seen;
    for (const QString& entry : text.mid(at + 1).split(':')) {
        if (entry.isEmpty())
            continue; // a stray separator asks for nothing
        const QString kind = entry.left(4);
        const QString key = entry.mid(4);
        if (key.isEmpty())
            return std::nullopt;
        QStringList* list = kind == "PLN~"   ? &s.plans
                            : kind == "SPC~" ? &s.sections
                            : kind == "ADD~" ? &s.addenda
                                             : nullptr;
        if (!list)
            return std::nullopt;
        // Keys are matched without regard to case, so "plan001" after "PLAN001" is the same
        // document; asked for twice, it is packed once (an archive cannot hold a name twice).
        if (!seen.contains(kind + key.toCaseFolded())) {
            seen.insert(kind + key.toCaseFolded());
            *list << key;
        }
    }
    return s;
}

} // namespace brevant::service
