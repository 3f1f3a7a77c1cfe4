#include "takeoff/TakeoffStore.h"

#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"

#include <QSet>
#include <cmath>

namespace brevant::takeoff {

namespace {

using db::Recordset;

QString family(ScaleFamily f) {
    switch (f) {
    case ScaleFamily::Architectural:
        return QStringLiteral("architectural");
    case ScaleFamily::Engineering:
        return QStringLiteral("engineering");
    case ScaleFamily::Metric:
        return QStringLiteral("metric");
    case ScaleFamily::Calibrated:
        break;
    }
    return QStringLiteral("calibrated");
}

ScaleFamily familyFromText(const QString& text) {
    for (ScaleFamily f :
         {ScaleFamily::Architectural, ScaleFamily::Engineering, ScaleFamily::Metric})
        if (text.compare(family(f), Qt::CaseInsensitive) == 0)
            return f;
    return ScaleFamily::Calibrated;
}

std::optional<double> finite(const QVariant& v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (v.isNull() || !ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString job(qint64 jobId) {
    return QString::number(jobId);
}

// The items of the projects (one project, or all with jobId < 0) with a mark below its
// document's revision. The marks are read first: a store without a takeoff (or without the
// tables yet) needs no second query.
std::map<qint64, int> staleCounts(db::Connection& c, qint64 jobId) {
    const QString where = jobId < 0 ? QString() : QStringLiteral(" WHERE JobID = ") + job(jobId);
    struct Measured {
        qint64 job;
        qint64 item;
        QString document;
        int revision;
    };
    std::vector<Measured> measured;
    Recordset marks;
    marks.open(
        QStringLiteral("SELECT JobID, Item_ID, Document, Revision FROM Takeoff_Marks") + where, c);
    for (; !marks.eof(); marks.moveNext())
        measured.push_back({marks.field(0).toLongLong(), marks.field(1).toLongLong(),
                            marks.field(2).toString().toCaseFolded(), marks.field(3).toInt()});
    marks.close();
    std::map<qint64, int> out;
    if (measured.empty())
        return out;
    QHash<QPair<qint64, QString>, int> current;
    Recordset plans;
    plans.open(QStringLiteral("SELECT JobID, File, Revision FROM Plans") +
                   (jobId < 0 ? QStringLiteral(" WHERE Revision > 0")
                              : where + QStringLiteral(" AND Revision > 0")),
               c);
    for (; !plans.eof(); plans.moveNext())
        current.insert({plans.field(0).toLongLong(), plans.field(1).toString().toCaseFolded()},
                       plans.field(2).toInt());
    QSet<QPair<qint64, qint64>> stale;
    for (const Measured& m : measured)
        if (m.revision < current.value({m.job, m.document}, 0))
            stale.insert({m.job, m.item});
    for (const auto& s : stale)
        ++out[s.first];
    return out;
}

} // namespace

QString sqlText(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    // The dialect gives "|" a meaning of its own inside a literal.
    out.replace(QLatin1Char('|'), QLatin1String("' & chr(124) & '"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString sqlNumber(double value) {
    return std::isfinite(value) ? QString::number(value, 'g', 17) : QStringLiteral("NULL");
}

QString pointsText(const QList<QPointF>& points) {
    QString out;
    for (const QPointF& p : points) {
        if (!out.isEmpty())
            out += QLatin1Char(';');
        out += QString::number(p.x(), 'g', QLocale::FloatingPointShortest) + QLatin1Char(' ') +
               QString::number(p.y(), 'g', QLocale::FloatingPointShortest);
    }
    return out;
}

std::optional<QList<QPointF>> pointsFromText(const QString& text) {
    QList<QPointF> out;
    if (text.isEmpty())
        return out;
    const QList<QStringView> parts = QStringView(text).split(u';');
    if (parts.size() > kMaxPointsPerMark)
        return std::nullopt;
    out.reserve(parts.size());
    for (QStringView part : parts) {
        const qsizetype blank = part.indexOf(u' ');
        if (blank < 0)
            return std::nullopt;
        bool okX = false, okY = false;
        const double x = part.left(blank).toDouble(&okX);
        const double y = part.mid(blank + 1).toDouble(&okY);
        if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y))
            return std::nullopt;
        out.append({x, y});
    }
    return out;
}

QHash<QString, int> loadRevisions(db::Connection& c, qint64 jobId) {
    QHash<QString, int> out;
    Recordset rs;
    rs.open(QStringLiteral("SELECT File, Revision FROM Plans WHERE JobID = ") + job(jobId), c);
    for (; !rs.eof(); rs.moveNext())
        out.insert(rs.field(0).toString().toCaseFolded(), rs.field(1).toInt());
    return out;
}

TakeoffData loadTakeoff(db::Connection& c, qint64 jobId) {
    TakeoffData d;
    d.revisions = loadRevisions(c, jobId);
    const QString where = QStringLiteral(" WHERE JobID = ") + job(jobId);

    Recordset rs;
    rs.open(QStringLiteral("SELECT Item_ID, Name, Kind, Colour, Unit, Waste FROM Takeoff_Items") +
                where,
            c);
    for (; !rs.eof(); rs.moveNext()) {
        Item it;
        it.id = rs.field(0).toInt();
        it.name = rs.field(1).toString().left(kMaxNameLength);
        const auto kind = kindFromKey(rs.field(2).toString());
        const auto unit = unitFromKey(rs.field(4).toString());
        if (it.id <= 0 || !kind || !unit || !unitFitsKind(*unit, *kind))
            continue;
        it.kind = *kind;
        it.unit = *unit;
        it.colour = rs.field(3).toString();
        it.wastePercent = finite(rs.field(5)).value_or(0);
        d.items[it.id] = it;
    }
    rs.close();

    rs.open(QStringLiteral("SELECT Mark_ID, Item_ID, Document, Page, Points, Revision FROM "
                           "Takeoff_Marks") +
                where,
            c);
    for (; !rs.eof(); rs.moveNext()) {
        Mark m;
        m.id = rs.field(0).toInt();
        m.itemId = rs.field(1).toInt();
        m.sheet = {rs.field(2).toString(), rs.field(3).toInt()};
        m.revision = rs.field(5).toInt();
        const auto points = pointsFromText(rs.field(4).toString());
        if (m.id <= 0 || !points || !d.items.count(m.itemId))
            continue;
        m.points = *points;
        d.marks[m.id] = std::move(m);
    }
    rs.close();

    rs.open(QStringLiteral("SELECT Document, Page, Label, Family, Ratio FROM Takeoff_Scales") +
                where,
            c);
    for (; !rs.eof(); rs.moveNext()) {
        Scale s;
        s.label = rs.field(2).toString();
        s.family = familyFromText(rs.field(3).toString());
        s.ratio = finite(rs.field(4)).value_or(0);
        if (s.isSet())
            d.scales.insert({rs.field(0).toString(), rs.field(1).toInt()}, s);
    }
    return d;
}

void saveTakeoff(db::Connection& c, qint64 jobId, const TakeoffData& data) {
    const QString id = job(jobId);
    db::Transaction t(c);
    t.lockProject(jobId);
    for (const char* table : {"Takeoff_Items", "Takeoff_Marks", "Takeoff_Scales"})
        c.execute(QStringLiteral("DELETE FROM ") + QLatin1String(table) +
                  QStringLiteral(" WHERE JobID = ") + id);
    for (const auto& [itemId, it] : data.items)
        c.execute(QStringLiteral("INSERT INTO Takeoff_Items (JobID, Item_ID, Name, Kind, Colour, "
                                 "Unit, Waste) VALUES (") +
                  id + QLatin1Char(',') + QString::number(itemId) + QLatin1Char(',') +
                  sqlText(it.name) + QLatin1Char(',') + sqlText(kindKey(it.kind)) +
                  QLatin1Char(',') + sqlText(it.colour) + QLatin1Char(',') +
                  sqlText(unitKey(it.unit)) + QLatin1Char(',') + sqlNumber(it.wastePercent) +
                  QLatin1Char(')'));
    for (const auto& [markId, m] : data.marks)
        c.execute(QStringLiteral("INSERT INTO Takeoff_Marks (JobID, Mark_ID, Item_ID, Document, "
                                 "Page, Points, Revision) VALUES (") +
                  id + QLatin1Char(',') + QString::number(markId) + QLatin1Char(',') +
                  QString::number(m.itemId) + QLatin1Char(',') + sqlText(m.sheet.document) +
                  QLatin1Char(',') + QString::number(m.sheet.page) + QLatin1Char(',') +
                  sqlText(pointsText(m.points)) + QLatin1Char(',') + QString::number(m.revision) +
                  QLatin1Char(')'));
    for (auto it = data.scales.begin(); it != data.scales.end(); ++it)
        if (it.value().isSet())
            c.execute(QStringLiteral("INSERT INTO Takeoff_Scales (JobID, Document, Page, Label, "
                                     "Family, Ratio) VALUES (") +
                      id + QLatin1Char(',') + sqlText(it.key().document) + QLatin1Char(',') +
                      QString::number(it.key().page) + QLatin1Char(',') +
                      sqlText(it.value().label) + QLatin1Char(',') +
                      sqlText(family(it.value().family)) + QLatin1Char(',') +
                      sqlNumber(it.value().ratio) + QLatin1Char(')'));
    t.commit();
}

void deleteTakeoff(db::Connection& c, qint64 jobId) {
    for (const char* table : {"Takeoff_Items", "Takeoff_Marks", "Takeoff_Scales",
                              "Takeoff_Snapshots", "Takeoff_Snapshot_Lines"})
        c.execute(QStringLiteral("DELETE FROM ") + QLatin1String(table) +
                  QStringLiteral(" WHERE JobID = ") + job(jobId));
}

int countStaleItems(db::Connection& connection, qint64 jobId) {
    const auto counts = staleCounts(connection, jobId);
    const auto found = counts.find(jobId);
    return found == counts.end() ? 0 : found->second;
}

std::map<qint64, int> countStaleItemsByProject(db::Connection& connection) {
    return staleCounts(connection, -1);
}

} // namespace brevant::takeoff
