#pragma once
// "Freeze quantities": the project's totals at a moment (at bid), with a note, kept in the
// project store; later totals are shown against a snapshot.
#include "takeoff/TakeoffData.h"
#include "takeoff/Totals.h"

#include <QDateTime>

namespace brevant::db {
class Connection;
}

namespace brevant::takeoff {

struct SnapshotLine {
    int itemId = 0;
    QString name;
    Kind kind = Kind::Length;
    Unit unit = Unit::FeetInches;
    double quantity = 0; // base units, without waste
    double wastePercent = 0;

    double total() const { return withWaste(quantity, wastePercent); }
    bool operator==(const SnapshotLine&) const = default;
};

struct Snapshot {
    int id = 0; // given when saved; per project, rising
    QDateTime taken;
    QString note;
    QList<SnapshotLine> lines; // by item id

    bool operator==(const Snapshot&) const = default;
};

// The totals of every item (items without marks at 0), at the time, with the note.
Snapshot takeSnapshot(const TakeoffData& data, const Totals& totals, const QString& note,
                      const QDateTime& taken);

// Stores the snapshot whole or not at all and sets its id; returns the id. Times are kept to
// the second.
int saveSnapshot(db::Connection& connection, qint64 jobId, Snapshot& snapshot);
// The project's snapshots, oldest first.
QList<Snapshot> loadSnapshots(db::Connection& connection, qint64 jobId);

// One item then and now, totals with waste, in base units. An item added since has no
// "then", an item removed since no "now".
struct SnapshotChange {
    int itemId = 0;
    QString name;
    Kind kind = Kind::Length;
    Unit unit = Unit::FeetInches;
    std::optional<double> then;
    std::optional<double> now;

    double difference() const { return now.value_or(0) - then.value_or(0); }
    bool changed() const { return then != now; }
};

// Every item of the snapshot and of now, by item id.
QList<SnapshotChange> compareWithSnapshot(const Snapshot& snapshot, const TakeoffData& data,
                                          const Totals& totals);

} // namespace brevant::takeoff
