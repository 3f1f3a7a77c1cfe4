#pragma once
// Totals of a takeoff per item, per sheet and for the project, in base units (Units.h).
#include "takeoff/TakeoffData.h"

#include <QHash>

namespace brevant::takeoff {

struct ItemTotal {
    double quantity = 0; // base units, without waste
    int marks = 0;
    int unscaled = 0; // marks that cannot be measured: their sheet has no scale
};

struct Totals {
    QHash<int, ItemTotal> project;                    // by item id
    std::map<SheetKey, QHash<int, ItemTotal>> sheets; // by sheet, then item id

    ItemTotal onSheet(const SheetKey& sheet, int itemId) const;
    ItemTotal forProject(int itemId) const { return project.value(itemId); }
};

// The quantity with the waste allowance added.
inline double withWaste(double quantity, double wastePercent) {
    return quantity * (1.0 + wastePercent / 100.0);
}

Totals computeTotals(const TakeoffData& data);

} // namespace brevant::takeoff
