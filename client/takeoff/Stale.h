#pragma once
// Marks measured on an earlier version of their document: when a revised sheet arrives, its
// document's revision rises and every item measured on it says so, keeping the quantity of
// the old marks beside that of the marks measured again, until the estimator re-measures
// (removes the old marks) or accepts them (TakeoffModel::acceptDocument).
#include "takeoff/TakeoffData.h"

namespace brevant::takeoff {

struct StaleItem {
    int itemId = 0;
    QString document;
    int measuredRevision = 0; // the earliest revision of the old marks
    int currentRevision = 0;
    double oldQuantity = 0; // base units, the marks measured on earlier revisions
    double newQuantity = 0; // the marks measured on the current revision
    int oldMarks = 0;
    int newMarks = 0;
    int unscaled = 0; // marks of either kind that cannot be measured (no scale)
};

// The stale items of one document (all its pages), by item id; of every document when
// document is empty (by document, then item id).
QList<StaleItem> staleItems(const TakeoffData& data, const QString& document = {});
// Whether the item has a mark measured on an earlier revision than its document's.
bool isStale(const TakeoffData& data, int itemId);
// The words the viewer puts beside a stale item.
QString staleNote();

} // namespace brevant::takeoff
