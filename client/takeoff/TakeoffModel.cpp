#include "takeoff/TakeoffModel.h"

#include "takeoff/Geometry.h"

#include <QLineF>
#include <algorithm>
#include <cmath>

namespace brevant::takeoff {

namespace {

bool refuse(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

// One edit: what it does and what undoes it, both on the model's data.
class EditCommand : public QUndoCommand {
public:
    EditCommand(const QString& text, std::function<void(TakeoffData&)> redo,
                std::function<void(TakeoffData&)> undo, TakeoffData& data,
                std::function<void()> changed)
        : QUndoCommand(text), redo_(std::move(redo)), undo_(std::move(undo)), data_(data),
          changed_(std::move(changed)) {}
    void redo() override {
        redo_(data_);
        changed_();
    }
    void undo() override {
        undo_(data_);
        changed_();
    }

private:
    std::function<void(TakeoffData&)> redo_, undo_;
    TakeoffData& data_;
    std::function<void()> changed_;
};

} // namespace

TakeoffModel::TakeoffModel(qint64 jobId, QObject* parent) : QObject(parent), jobId_(jobId) {}

void TakeoffModel::reset(qint64 jobId, TakeoffData data) {
    undo_.clear();
    jobId_ = jobId;
    data_ = std::move(data);
    nextItemId_ = data_.items.empty() ? 1 : data_.items.rbegin()->first + 1;
    nextMarkId_ = data_.marks.empty() ? 1 : data_.marks.rbegin()->first + 1;
    touch();
}

void TakeoffModel::setRevisions(const QHash<QString, int>& revisions) {
    data_.revisions.clear();
    for (auto it = revisions.begin(); it != revisions.end(); ++it)
        data_.revisions.insert(it.key().toCaseFolded(), it.value());
    touch();
}

const Item* TakeoffModel::item(int id) const {
    const auto found = data_.items.find(id);
    return found == data_.items.end() ? nullptr : &found->second;
}

const Mark* TakeoffModel::mark(int id) const {
    const auto found = data_.marks.find(id);
    return found == data_.marks.end() ? nullptr : &found->second;
}

QList<int> TakeoffModel::marksOn(const SheetKey& sheet) const {
    QList<int> out;
    for (const auto& [id, m] : data_.marks)
        if (m.sheet == sheet)
            out << id;
    return out;
}

int TakeoffModel::markAt(const SheetKey& sheet, QPointF p, double tolerance) const {
    for (auto it = data_.marks.rbegin(); it != data_.marks.rend(); ++it) {
        const Mark& m = it->second;
        if (!(m.sheet == sheet))
            continue;
        const Item* owner = item(m.itemId);
        if (!owner)
            continue;
        bool hit = false;
        switch (owner->kind) {
        case Kind::Count:
            hit = std::any_of(m.points.begin(), m.points.end(),
                              [&](QPointF q) { return QLineF(p, q).length() <= tolerance; });
            break;
        case Kind::Length:
            hit = distanceToPolyline(m.points, p) <= tolerance;
            break;
        case Kind::Area:
            hit = polygonContains(m.points, p) ||
                  distanceToPolyline(m.points + QList<QPointF>{m.points.front()}, p) <= tolerance;
            break;
        }
        if (hit)
            return m.id;
    }
    return 0;
}

const Totals& TakeoffModel::totals() const {
    if (totalsStale_) {
        totals_ = computeTotals(data_);
        totalsStale_ = false;
    }
    return totals_;
}

void TakeoffModel::touch() {
    totalsStale_ = true;
    Q_EMIT changed();
}

void TakeoffModel::push(const QString& text, std::function<void(TakeoffData&)> redo,
                        std::function<void(TakeoffData&)> undo) {
    undo_.push(new EditCommand(text, std::move(redo), std::move(undo), data_, [this] { touch(); }));
}

bool TakeoffModel::checkItem(const Item& item, QString* why) const {
    const QString name = item.name.trimmed();
    if (name.isEmpty())
        return refuse(why, tr("An item needs a name."));
    if (name.size() > kMaxNameLength)
        return refuse(why,
                      tr("An item's name may have %1 characters at most.").arg(kMaxNameLength));
    if (!unitFitsKind(item.unit, item.kind))
        return refuse(why, tr("The unit does not fit the item's kind."));
    if (!std::isfinite(item.wastePercent) || item.wastePercent < 0 || item.wastePercent > 1000)
        return refuse(why, tr("Waste must be between 0 and 1000 %."));
    return true;
}

bool TakeoffModel::checkPoints(const Item& item, const SheetKey& sheet,
                               const QList<QPointF>& points, QString* why) const {
    for (const QPointF& p : points)
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return refuse(why, tr("A point lies outside the page."));
    if (points.size() > kMaxPointsPerMark)
        return refuse(why, tr("A mark may have %1 points at most.").arg(kMaxPointsPerMark));
    const qsizetype least = item.kind == Kind::Length ? 2 : item.kind == Kind::Area ? 3 : 1;
    if (points.size() < least)
        return refuse(why, item.kind == Kind::Length ? tr("A length needs two points or more.")
                           : item.kind == Kind::Area ? tr("An area needs three points or more.")
                                                     : tr("A count needs a point."));
    if (item.kind != Kind::Count && !scale(sheet).isSet())
        return refuse(why, noScaleHint());
    return true;
}

int TakeoffModel::addItem(Item item, QString* why) {
    item.name = item.name.trimmed();
    if (!checkItem(item, why))
        return 0;
    item.id = nextItemId_++;
    push(
        tr("Add item %1").arg(item.name), [item](TakeoffData& d) { d.items[item.id] = item; },
        [id = item.id](TakeoffData& d) { d.items.erase(id); });
    return item.id;
}

bool TakeoffModel::editItem(const Item& changed, QString* why) {
    const Item* old = item(changed.id);
    if (!old)
        return refuse(why, tr("The item no longer exists."));
    Item now = changed;
    now.name = now.name.trimmed();
    if (!checkItem(now, why))
        return false;
    if (now.kind != old->kind &&
        std::any_of(data_.marks.begin(), data_.marks.end(),
                    [&](const auto& m) { return m.second.itemId == now.id; }))
        return refuse(why, tr("An item with marks keeps its kind."));
    if (now == *old)
        return true;
    push(
        tr("Change item %1").arg(now.name), [now](TakeoffData& d) { d.items[now.id] = now; },
        [before = *old](TakeoffData& d) { d.items[before.id] = before; });
    return true;
}

bool TakeoffModel::removeItem(int id) {
    const Item* old = item(id);
    if (!old)
        return false;
    QList<Mark> marks;
    for (const auto& [markId, m] : data_.marks)
        if (m.itemId == id)
            marks << m;
    push(
        tr("Remove item %1").arg(old->name),
        [id, marks](TakeoffData& d) {
            d.items.erase(id);
            for (const Mark& m : marks)
                d.marks.erase(m.id);
        },
        [before = *old, marks](TakeoffData& d) {
            d.items[before.id] = before;
            for (const Mark& m : marks)
                d.marks[m.id] = m;
        });
    return true;
}

int TakeoffModel::addMark(int itemId, const SheetKey& sheet, const QList<QPointF>& points,
                          QString* why) {
    const Item* owner = item(itemId);
    if (!owner) {
        refuse(why, tr("The item no longer exists."));
        return 0;
    }
    if (!checkPoints(*owner, sheet, points, why))
        return 0;
    Mark m{nextMarkId_++, itemId, sheet, points, data_.revisionOf(sheet.document)};
    push(
        tr("Measure %1").arg(owner->name), [m](TakeoffData& d) { d.marks[m.id] = m; },
        [id = m.id](TakeoffData& d) { d.marks.erase(id); });
    return m.id;
}

bool TakeoffModel::setMarkPoints(int id, const QList<QPointF>& points, QString* why) {
    const Mark* old = mark(id);
    if (!old)
        return refuse(why, tr("The mark no longer exists."));
    if (!checkPoints(*item(old->itemId), old->sheet, points, why))
        return false;
    Mark now = *old;
    now.points = points;
    // Measured again on the sheet as it is now.
    now.revision = data_.revisionOf(now.sheet.document);
    push(
        tr("Change mark"), [now](TakeoffData& d) { d.marks[now.id] = now; },
        [before = *old](TakeoffData& d) { d.marks[before.id] = before; });
    return true;
}

bool TakeoffModel::removeMark(int id) {
    return removeMarks({id});
}

bool TakeoffModel::removeMarks(const QList<int>& ids) {
    QList<Mark> marks;
    for (int id : ids)
        if (const Mark* m = mark(id))
            marks << *m;
    if (marks.isEmpty())
        return false;
    push(
        marks.size() == 1 ? tr("Delete mark") : tr("Delete %1 marks").arg(marks.size()),
        [marks](TakeoffData& d) {
            for (const Mark& m : marks)
                d.marks.erase(m.id);
        },
        [marks](TakeoffData& d) {
            for (const Mark& m : marks)
                d.marks[m.id] = m;
        });
    return true;
}

void TakeoffModel::setScale(const SheetKey& sheet, const Scale& scale) {
    const bool had = data_.scales.contains(sheet);
    const Scale before = data_.scales.value(sheet);
    if (had == scale.isSet() && before == scale)
        return;
    auto apply = [sheet](TakeoffData& d, bool set, const Scale& s) {
        if (set)
            d.scales.insert(sheet, s);
        else
            d.scales.remove(sheet);
    };
    push(
        scale.isSet() ? tr("Set scale %1").arg(scale.label) : tr("Clear scale"),
        [apply, scale](TakeoffData& d) { apply(d, scale.isSet(), scale); },
        [apply, had, before](TakeoffData& d) { apply(d, had, before); });
}

int TakeoffModel::acceptDocument(const QString& document) {
    const int current = data_.revisionOf(document);
    QList<Mark> before;
    for (const auto& [id, m] : data_.marks)
        if (m.revision < current && m.sheet.document.compare(document, Qt::CaseInsensitive) == 0)
            before << m;
    if (before.isEmpty())
        return 0;
    push(
        tr("Accept quantities of %1").arg(document),
        [before, current](TakeoffData& d) {
            for (const Mark& m : before)
                d.marks[m.id].revision = current;
        },
        [before](TakeoffData& d) {
            for (const Mark& m : before)
                d.marks[m.id] = m;
        });
    return int(before.size());
}

} // namespace brevant::takeoff
