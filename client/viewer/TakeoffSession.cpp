#include "TakeoffSession.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "takeoff/Geometry.h"
#include "takeoff/Stale.h"
#include "takeoff/TakeoffStore.h"

#include <QCoreApplication>
#include <QLineF>

namespace brevant::viewer {

using namespace brevant::takeoff;

namespace {

ShapeKind shapeKind(Kind kind) {
    switch (kind) {
    case Kind::Length:
        return ShapeKind::Path;
    case Kind::Area:
        return ShapeKind::Polygon;
    case Kind::Count:
        break;
    }
    return ShapeKind::Markers;
}

std::optional<Kind> kindOfTool(Tool tool) {
    switch (tool) {
    case Tool::Length:
        return Kind::Length;
    case Tool::Area:
        return Kind::Area;
    case Tool::Count:
        return Kind::Count;
    default:
        return std::nullopt;
    }
}

QString percent(double value) {
    return value > 0 ? QStringLiteral("%1 %").arg(QString::number(value, 'g', 4)) : QString();
}

} // namespace

TakeoffSession::TakeoffSession(db::Connection* connection, qint64 jobId, const QString& document,
                               QObject* parent)
    : QObject(parent), connection_(connection), jobId_(jobId), document_(document), model_(jobId) {
    connect(&model_, &TakeoffModel::changed, this, [this] {
        save();
        Q_EMIT changed();
    });
}

TakeoffSession::TakeoffSession(std::unique_ptr<db::Connection> connection, qint64 jobId,
                               const QString& document, QObject* parent)
    : TakeoffSession(connection.get(), jobId, document, parent) {
    owned_ = std::move(connection);
}

TakeoffSession::~TakeoffSession() = default;

bool TakeoffSession::load(QString* why) {
    TakeoffData data;
    QList<Snapshot> snapshots;
    if (connection_) {
        try {
            data = loadTakeoff(*connection_, jobId_);
            snapshots = loadSnapshots(*connection_, jobId_);
        } catch (const db::DbError& e) {
            if (why)
                *why = e.what();
            connection_ = nullptr; // nothing is written over a store that could not be read
            return false;
        }
    }
    snapshots_ = std::move(snapshots);
    loading_ = true;
    model_.reset(jobId_, std::move(data));
    loading_ = false;
    if (!model_.item(currentItem_))
        currentItem_ = model_.data().items.empty() ? 0 : model_.data().items.begin()->first;
    Q_EMIT changed();
    return true;
}

void TakeoffSession::save() {
    if (loading_ || !connection_)
        return;
    try {
        saveTakeoff(*connection_, jobId_, model_.data());
    } catch (const db::DbError& e) {
        Q_EMIT saveFailed(tr("The takeoff could not be saved: %1 ...").arg(e.what()));
    }
}

void TakeoffSession::setPage(int page) {
    if (page == page_)
        return;
    page_ = page;
    tool_.setTool(tool_.tool()); // points of another sheet mean nothing here
    Q_EMIT changed();
}

void TakeoffSession::setSheetOfPage(SheetOfPage sheetOfPage) {
    sheetOfPage_ = std::move(sheetOfPage);
    Q_EMIT changed();
}

SheetKey TakeoffSession::sheet() const {
    return sheetOfPage_ ? sheetOfPage_(page_) : SheetKey{document_, page_};
}

void TakeoffSession::setCurrentItem(int itemId) {
    currentItem_ = model_.item(itemId) ? itemId : 0;
    Q_EMIT changed();
}

QString TakeoffSession::noScaleHint() {
    return takeoff::noScaleHint();
}

int TakeoffSession::latestItemOf(Kind kind) const {
    int latest = 0;
    for (const auto& [id, item] : model_.data().items)
        if (item.kind == kind)
            latest = std::max(latest, id);
    return latest;
}

std::optional<Kind> TakeoffSession::missingItemKind(Tool tool) const {
    const std::optional<Kind> kind = kindOfTool(tool);
    if (!kind || latestItemOf(*kind) != 0)
        return std::nullopt;
    if ((tool == Tool::Length || tool == Tool::Area) && !model_.scale(sheet()).isSet())
        return std::nullopt;
    return kind;
}

bool TakeoffSession::chooseTool(Tool tool, QString* why) {
    const auto fail = [why](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    if ((tool == Tool::Length || tool == Tool::Area || tool == Tool::Verify) &&
        !model_.scale(sheet()).isSet())
        return fail(noScaleHint());
    if (const std::optional<Kind> kind = kindOfTool(tool)) {
        const Item* item = model_.item(currentItem_);
        if (!item || item->kind != *kind) {
            const int latest = latestItemOf(*kind);
            if (latest == 0)
                return fail(tr("Choose or add a takeoff item of the kind %1 first ...")
                                .arg(kindName(*kind)));
            currentItem_ = latest;
        }
    }
    tool_.setTool(tool);
    Q_EMIT changed();
    return true;
}

bool TakeoffSession::setStatedScale(const QString& label, QString* why) {
    if (label.isEmpty()) {
        model_.setScale(sheet(), Scale());
        return true;
    }
    const std::optional<Scale> s = statedScale(label);
    if (!s) {
        if (why)
            *why = tr("%1 is not a scale this program knows ...").arg(label);
        return false;
    }
    model_.setScale(sheet(), *s);
    return true;
}

LengthSystem TakeoffSession::lengthSystem() const {
    return model_.scale(sheet()).family == ScaleFamily::Metric ? LengthSystem::Metric
                                                               : LengthSystem::Imperial;
}

QString TakeoffSession::lengthText(double inches) const {
    return lengthSystem() == LengthSystem::Metric ? formatMetres(inches, 2)
                                                  : formatFeetInches(inches);
}

bool TakeoffSession::calibrate(const ToolResult& line, const QString& realLength, QString* why) {
    const std::optional<double> inches = parseLength(realLength, lengthSystem());
    std::optional<Scale> s;
    if (inches && line.points.size() == 2)
        s = takeoff::calibrate(line.points.at(0), line.points.at(1), *inches);
    if (!s) {
        if (why)
            *why = tr("Type the real length of the line, such as 40'-0\" or 12.5 m ...");
        return false;
    }
    model_.setScale(sheet(), *s);
    return true;
}

QString TakeoffSession::measureText(Tool tool, const QList<QPointF>& points) const {
    const Scale s = model_.scale(sheet());
    if (tool == Tool::Count || tool == Tool::Select)
        return {};
    if (!s.isSet() || points.size() < 2)
        return {};
    if (tool == Tool::Area) {
        const double area = realArea(polygonArea(points), s.ratio);
        const Unit unit =
            lengthSystem() == LengthSystem::Metric ? Unit::SquareMetres : Unit::SquareFeet;
        return tr("Area %1, perimeter %2")
            .arg(formatQuantity(area, unit),
                 lengthText(realLength(polygonPerimeter(points), s.ratio)));
    }
    return tr("Length %1").arg(lengthText(realLength(polylineLength(points), s.ratio)));
}

bool TakeoffSession::record(const ToolResult& result, QString* shown, QString* why) {
    if (result.tool == Tool::Verify) {
        if (shown)
            *shown = measureText(Tool::Verify, result.points);
        return true;
    }
    const Item* item = model_.item(currentItem_);
    const std::optional<Kind> kind = kindOfTool(result.tool);
    if (!item || !kind || item->kind != *kind) {
        if (why)
            *why = tr("Choose a takeoff item for the mark first ...");
        return false;
    }
    const int id = model_.addMark(currentItem_, sheet(), result.points, why);
    if (id == 0)
        return false;
    if (shown) {
        const Mark* m = model_.mark(id);
        const std::optional<double> q =
            m ? markQuantity(*m, item->kind, model_.scale(sheet())) : std::nullopt;
        *shown = q ? QStringLiteral("%1: %2").arg(item->name, formatQuantity(*q, item->unit))
                   : item->name;
    }
    return true;
}

bool TakeoffSession::deleteMark(int markId) {
    return model_.removeMark(markId);
}

int TakeoffSession::acceptStale() {
    return model_.acceptDocument(sheet().document);
}

bool TakeoffSession::freeze(const QString& note, const QDateTime& when, QString* why) {
    Snapshot s = takeSnapshot(model_.data(), model_.totals(), note, when);
    if (connection_) {
        try {
            saveSnapshot(*connection_, jobId_, s);
        } catch (const db::DbError& e) {
            if (why)
                *why = tr("The quantities could not be frozen: %1 ...").arg(e.what());
            return false;
        }
    }
    snapshots_.append(s);
    Q_EMIT changed();
    return true;
}

std::optional<Snapshot> TakeoffSession::latestSnapshot() const {
    if (snapshots_.isEmpty())
        return std::nullopt;
    return snapshots_.last();
}

bool TakeoffSession::exportCsv(const QString& path, const SheetNamer& sheetName, QString* why) {
    return writeTakeoffCsv(path, takeoffCsv(model_.data(), model_.totals(), sheetName), why);
}

bool TakeoffSession::sheetIsStale() const {
    const SheetKey here = sheet();
    const int current = model_.data().revisionOf(here.document);
    for (int id : model_.marksOn(here)) {
        const Mark* m = model_.mark(id);
        if (m && m->revision < current)
            return true;
    }
    return false;
}

QString TakeoffSession::scaleLabel() const {
    const Scale s = model_.scale(sheet());
    return s.isSet() ? s.label : QString();
}

QList<PanelRow> TakeoffSession::rows() const {
    const TakeoffData& data = model_.data();
    const Totals& totals = model_.totals();
    QHash<int, StaleItem> stale;
    const SheetKey here = sheet();
    for (const StaleItem& s : staleItems(data, here.document))
        stale.insert(s.itemId, s);
    QHash<int, SnapshotChange> frozen;
    const std::optional<Snapshot> snapshot = latestSnapshot();
    if (snapshot)
        for (const SnapshotChange& c : compareWithSnapshot(*snapshot, data, totals))
            frozen.insert(c.itemId, c);
    QList<PanelRow> out;
    for (const auto& [id, item] : data.items) {
        PanelRow r;
        r.itemId = id;
        r.name = item.name;
        r.kind = kindName(item.kind);
        r.colour = QColor(item.colour);
        r.unit = unitSymbol(item.unit);
        r.waste = percent(item.wastePercent);
        const ItemTotal onSheet = totals.onSheet(here, id);
        const ItemTotal inProject = totals.forProject(id);
        r.sheetMarks = onSheet.marks;
        r.sheet = formatQuantity(withWaste(onSheet.quantity, item.wastePercent), item.unit);
        r.project = formatQuantity(withWaste(inProject.quantity, item.wastePercent), item.unit);
        if (stale.contains(id)) {
            const StaleItem& s = stale[id];
            r.stale = true;
            r.staleText = tr("%1: was %2, now %3")
                              .arg(staleNote(), formatQuantity(s.oldQuantity, item.unit),
                                   formatQuantity(s.newQuantity, item.unit));
        }
        if (snapshot && frozen.contains(id)) {
            // Says whether the total moved since, so a change after the bid is not missed.
            const SnapshotChange& c = frozen[id];
            const QString when = QLocale().toString(snapshot->taken, QLocale::ShortFormat);
            const QString then = c.then ? formatQuantity(*c.then, item.unit) : tr("none");
            r.snapshot =
                c.changed()
                    ? tr("frozen %1: was %2, now %3")
                          .arg(when, then, c.now ? formatQuantity(*c.now, item.unit) : tr("none"))
                    : tr("frozen %1: %2, unchanged").arg(when, then);
        }
        out.append(r);
    }
    return out;
}

QList<MarkShape> TakeoffSession::shapes() const {
    const TakeoffData& data = model_.data();
    const SheetKey here = sheet();
    const int current = data.revisionOf(here.document);
    QList<MarkShape> out;
    const QList<int> ids = model_.marksOn(here);
    out.reserve(ids.size());
    for (int id : ids) {
        const Mark* m = model_.mark(id);
        const Item* item = m ? model_.item(m->itemId) : nullptr;
        if (!item)
            continue;
        MarkShape s;
        s.id = id;
        s.kind = shapeKind(item->kind);
        s.points = m->points;
        s.colour = QColor(item->colour);
        s.stale = m->revision < current;
        out.append(std::move(s));
    }
    return out;
}

} // namespace brevant::viewer
