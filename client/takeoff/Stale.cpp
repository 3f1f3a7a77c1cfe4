#include "takeoff/Stale.h"

#include <QCoreApplication>

namespace brevant::takeoff {

QList<StaleItem> staleItems(const TakeoffData& data, const QString& document) {
    // By case-folded document, then item.
    std::map<std::pair<QString, int>, StaleItem> found;
    std::map<std::pair<QString, int>, StaleItem> current;
    for (const auto& [id, m] : data.marks) {
        if (!document.isEmpty() && m.sheet.document.compare(document, Qt::CaseInsensitive) != 0)
            continue;
        const auto item = data.items.find(m.itemId);
        if (item == data.items.end())
            continue;
        const int now = data.revisionOf(m.sheet.document);
        const std::pair<QString, int> key{m.sheet.document.toCaseFolded(), m.itemId};
        const bool old = m.revision < now;
        StaleItem& s = old ? found[key] : current[key];
        if (s.oldMarks + s.newMarks == 0) {
            s.itemId = m.itemId;
            s.document = m.sheet.document;
            s.currentRevision = now;
            s.measuredRevision = m.revision;
        }
        s.measuredRevision = std::min(s.measuredRevision, m.revision);
        const std::optional<double> q =
            markQuantity(m, item->second.kind, data.scales.value(m.sheet));
        if (!q)
            ++s.unscaled;
        (old ? s.oldQuantity : s.newQuantity) += q.value_or(0);
        ++(old ? s.oldMarks : s.newMarks);
    }
    QList<StaleItem> out;
    for (auto& [key, s] : found) {
        const auto again = current.find(key);
        if (again != current.end()) {
            s.newQuantity = again->second.newQuantity;
            s.newMarks = again->second.newMarks;
            s.unscaled += again->second.unscaled;
        }
        out << s;
    }
    return out;
}

bool isStale(const TakeoffData& data, int itemId) {
    for (const auto& [id, m] : data.marks)
        if (m.itemId == itemId && m.revision < data.revisionOf(m.sheet.document))
            return true;
    return false;
}

QString staleNote() {
    return QCoreApplication::translate("brevant::takeoff::Stale", "measured on an earlier version");
}

} // namespace brevant::takeoff
