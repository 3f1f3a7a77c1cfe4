#include "service/exchange/DocumentSelection.h"

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
    for (const QString& entry : text.mid(at + 1).split(':')) {
        if (entry.isEmpty())
            continue; // a stray separator asks for nothing
        const QString kind = entry.left(4);
        const QString key = entry.mid(4);
        if (key.isEmpty())
            return std::nullopt;
        if (kind == "PLN~")
            s.plans << key;
        else if (kind == "SPC~")
            s.sections << key;
        else if (kind == "ADD~")
            s.addenda << key;
        else
            return std::nullopt;
    }
    return s;
}

} // namespace brevant::service
