#pragma once
// A project's takeoff as the viewer edits it: every edit is one step of the undo stack, and
// the totals are recomputed when asked for after a change. Stored and loaded through
// TakeoffStore; this class touches no database.
#include "takeoff/TakeoffData.h"
#include "takeoff/Totals.h"

#include <QObject>
#include <QUndoStack>
#include <functional>

namespace brevant::takeoff {

class TakeoffModel : public QObject {
    Q_OBJECT
public:
    explicit TakeoffModel(qint64 jobId = 0, QObject* parent = nullptr);

    qint64 jobId() const { return jobId_; }
    const TakeoffData& data() const { return data_; }
    // Replaces everything (a load): not an edit, so the undo stack starts empty.
    void reset(qint64 jobId, TakeoffData data);
    // The documents' current revisions (from the store, after an update): not an edit either.
    void setRevisions(const QHash<QString, int>& revisions);

    const Item* item(int id) const;
    const Mark* mark(int id) const;
    QList<int> marksOn(const SheetKey& sheet) const;
    // The mark on the sheet under p (page points) within tolerance of its line, marker or
    // edge, or inside its area; the latest drawn wins. 0 for none.
    int markAt(const SheetKey& sheet, QPointF p, double tolerance) const;
    Scale scale(const SheetKey& sheet) const { return data_.scales.value(sheet); }
    const Totals& totals() const;

    // Edits, each one undo step. Each returns false (or 0) and the reason in *why, changing
    // nothing, when refused: an unknown item or mark, a unit the kind does not take, a name
    // that is empty or too long, a length or area on a sheet without a scale, too few points
    // (two for a length, three for an area, one for a count) or too many.
    int addItem(Item item, QString* why = nullptr);
    bool editItem(const Item& item, QString* why = nullptr);
    bool removeItem(int id); // with its marks
    int addMark(int itemId, const SheetKey& sheet, const QList<QPointF>& points,
                QString* why = nullptr);
    bool setMarkPoints(int id, const QList<QPointF>& points, QString* why = nullptr);
    bool removeMark(int id);
    bool removeMarks(const QList<int>& ids);                  // one step
    void setScale(const SheetKey& sheet, const Scale& scale); // an unset scale clears it
    // The marks of the document measured on an earlier revision are taken as measured on the
    // current one (the estimator checked them against the new version); returns how many.
    int acceptDocument(const QString& document);

    QUndoStack* undoStack() { return &undo_; }

Q_SIGNALS:
    // After every edit, undo, redo and reset.
    void changed();

private:
    void push(const QString& text, std::function<void(TakeoffData&)> redo,
              std::function<void(TakeoffData&)> undo);
    bool checkItem(const Item& item, QString* why) const;
    bool checkPoints(const Item& item, const SheetKey& sheet, const QList<QPointF>& points,
                     QString* why) const;
    void touch();

    qint64 jobId_ = 0;
    TakeoffData data_;
    int nextItemId_ = 1;
    int nextMarkId_ = 1;
    QUndoStack undo_;
    mutable Totals totals_;
    mutable bool totalsStale_ = true;
};

} // namespace brevant::takeoff
