#include "takeoff/Snapshot.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "takeoff/TakeoffStore.h"

#include <cmath>

namespace brevant::takeoff {

namespace {

double number(const QVariant& v) {
    const double d = v.toDouble();
    return std::isfinite(d) ? d : 0.0;
}

} // namespace

Snapshot takeSnapshot(const TakeoffData& data, const Totals& totals, const QString& note,
                      const QDateTime& taken) {
    Snapshot s;
    s.taken = taken;
    s.note = note;
    for (const auto& [id, item] : data.items)
        s.lines << SnapshotLine{
            id, item.name, item.kind, item.unit, totals.forProject(id).quantity, item.wastePercent};
    return s;
}

int saveSnapshot(db::Connection& c, qint64 jobId, Snapshot& snapshot) {
    const QString job = QString::number(jobId);
    db::Transaction t(c);
    t.lockProject(jobId);
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT MAX(Snapshot_ID) FROM Takeoff_Snapshots WHERE JobID = ") + job,
            c);
    const int id = (rs.eof() ? 0 : rs.field(0).toInt()) + 1;
    rs.close();
    const QString sid = QString::number(id);
    c.execute(QStringLiteral("INSERT INTO Takeoff_Snapshots (JobID, Snapshot_ID, Taken, Note) "
                             "VALUES (") +
              job + QLatin1Char(',') + sid + QLatin1Char(',') +
              sqlText(snapshot.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) +
              QLatin1Char(',') + sqlText(snapshot.note) + QLatin1Char(')'));
    for (const SnapshotLine& l : snapshot.lines)
        c.execute(QStringLiteral("INSERT INTO Takeoff_Snapshot_Lines (JobID, Snapshot_ID, "
                                 "Item_ID, Name, Kind, Unit, Quantity, Waste) VALUES (") +
                  job + QLatin1Char(',') + sid + QLatin1Char(',') + QString::number(l.itemId) +
                  QLatin1Char(',') + sqlText(l.name) + QLatin1Char(',') + sqlText(kindKey(l.kind)) +
                  QLatin1Char(',') + sqlText(unitKey(l.unit)) + QLatin1Char(',') +
                  sqlNumber(l.quantity) + QLatin1Char(',') + sqlNumber(l.wastePercent) +
                  QLatin1Char(')'));
    t.commit();
    snapshot.id = id;
    return id;
}

QList<Snapshot> loadSnapshots(db::Connection& c, qint64 jobId) {
    const QString where = QStringLiteral(" WHERE JobID = ") + QString::number(jobId);
    std::map<int, Snapshot> byId;
    db::Recordset rs;
    rs.open(QStringLiteral("SELECT Snapshot_ID, Taken, Note FROM Takeoff_Snapshots") + where, c);
    for (; !rs.eof(); rs.moveNext()) {
        Snapshot& s = byId[rs.field(0).toInt()];
        s.id = rs.field(0).toInt();
        s.taken = rs.field(1).toDateTime();
        s.note = rs.field(2).toString();
    }
    rs.close();
    rs.open(QStringLiteral("SELECT Snapshot_ID, Item_ID, Name, Kind, Unit, Quantity, Waste FROM "
                           "Takeoff_Snapshot_Lines") +
                where + QStringLiteral(" ORDER BY Snapshot_ID, Item_ID"),
            c);
    for (; !rs.eof(); rs.moveNext()) {
        const auto s = byId.find(rs.field(0).toInt());
        const auto kind = kindFromKey(rs.field(3).toString());
        const auto unit = unitFromKey(rs.field(4).toString());
        if (s == byId.end() || !kind || !unit)
            continue;
        s->second.lines << SnapshotLine{rs.field(1).toInt(), rs.field(2).toString(), *kind, *unit,
                                        number(rs.field(5)), number(rs.field(6))};
    }
    QList<Snapshot> out;
    for (auto& [id, s] : byId)
        out << std::move(s);
    return out;
}

QList<SnapshotChange> compareWithSnapshot(const Snapshot& snapshot, const TakeoffData& data,
                                          const Totals& totals) {
    std::map<int, SnapshotChange> byItem;
    for (const SnapshotLine& l : snapshot.lines) {
        SnapshotChange& c = byItem[l.itemId];
        c.itemId = l.itemId;
        c.name = l.name;
        c.kind = l.kind;
        c.unit = l.unit;
        c.then = l.total();
    }
    for (const auto& [id, item] : data.items) {
        SnapshotChange& c = byItem[id];
        c.itemId = id;
        c.name = item.name;
        c.kind = item.kind;
        c.unit = item.unit;
        c.now = withWaste(totals.forProject(id).quantity, item.wastePercent);
    }
    QList<SnapshotChange> out;
    for (auto& [id, c] : byItem)
        out << c;
    return out;
}

} // namespace brevant::takeoff
