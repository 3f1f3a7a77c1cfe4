#include "takeoff/Totals.h"

#include "takeoff/Geometry.h"

namespace brevant::takeoff {

std::optional<double> markQuantity(const Mark& mark, Kind kind, const Scale& scale) {
    switch (kind) {
    case Kind::Count:
        return double(mark.points.size());
    case Kind::Length:
        if (!scale.isSet())
            return std::nullopt;
        return realLength(polylineLength(mark.points), scale.ratio);
    case Kind::Area:
        if (!scale.isSet())
            return std::nullopt;
        return realArea(polygonArea(mark.points), scale.ratio);
    }
    return std::nullopt;
}

ItemTotal Totals::onSheet(const SheetKey& sheet, int itemId) const {
    const auto found = sheets.find(sheet);
    return found == sheets.end() ? ItemTotal{} : found->second.value(itemId);
}

Totals computeTotals(const TakeoffData& data) {
    Totals t;
    t.project.reserve(qsizetype(data.items.size()));
    // Marks come in id order, mostly sheet after sheet: look the sheet up once per run.
    const SheetKey* lastSheet = nullptr;
    QHash<int, ItemTotal>* sheetTotals = nullptr;
    Scale scale;
    for (const auto& [id, mark] : data.marks) {
        const auto item = data.items.find(mark.itemId);
        if (item == data.items.end())
            continue;
        if (!lastSheet || !(*lastSheet == mark.sheet)) {
            lastSheet = &mark.sheet;
            sheetTotals = &t.sheets[mark.sheet];
            scale = data.scales.value(mark.sheet);
        }
        ItemTotal& onSheet = (*sheetTotals)[mark.itemId];
        ItemTotal& all = t.project[mark.itemId];
        ++onSheet.marks;
        ++all.marks;
        const std::optional<double> q = markQuantity(mark, item->second.kind, scale);
        if (!q) {
            ++onSheet.unscaled;
            ++all.unscaled;
            continue;
        }
        onSheet.quantity += *q;
        all.quantity += *q;
    }
    return t;
}

} // namespace brevant::takeoff
