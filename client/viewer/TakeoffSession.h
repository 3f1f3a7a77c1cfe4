#pragma once
// The takeoff of one open document as the viewer works on it, without a display: the project's
// model (items, marks, scales, undo), the sheet shown, the item marks go to, the measuring
// tool, and what the side panel and the overlay show. Every edit is saved to the project store
// at once, so closing the viewer loses nothing. The window only forwards mouse, keys and
// commands here and shows the texts it gets back.
#include "MarkPainter.h"
#include "MeasureTool.h"
#include "takeoff/Snapshot.h"
#include "takeoff/TakeoffCsv.h"
#include "takeoff/TakeoffModel.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace brevant::db {
class Connection;
}

namespace brevant::viewer {

// One line of the side panel: an item with its totals on the sheet shown and in the project.
struct PanelRow {
    int itemId = 0;
    QString name;
    QString kind; // "Length", "Area", "Count"
    QColor colour;
    QString unit;    // "ft", "m²", "ea"
    QString waste;   // "5 %", empty without
    QString sheet;   // total on the sheet shown, waste included
    QString project; // total in the project, waste included
    bool stale = false;
    QString staleText; // "measured on an earlier version: was …, now …"
    QString snapshot; // "frozen …: was …, now …" (or "…, unchanged") against the latest snapshot
    int sheetMarks = 0;
};

class TakeoffSession : public QObject {
    Q_OBJECT
public:
    // connection may be null: the takeoff then lives as long as the window (a document opened
    // outside a project).
    TakeoffSession(db::Connection* connection, qint64 jobId, const QString& document,
                   QObject* parent = nullptr);
    // The same, keeping the connection for as long as the session lives.
    TakeoffSession(std::unique_ptr<db::Connection> connection, qint64 jobId,
                   const QString& document, QObject* parent = nullptr);
    ~TakeoffSession() override;

    // Reads the project's takeoff and snapshots; false with the reason in *why when the store
    // cannot be read (the session is then empty and saves nothing).
    bool load(QString* why = nullptr);

    takeoff::TakeoffModel& model() { return model_; }
    const takeoff::TakeoffModel& model() const { return model_; }
    MeasureTool& tool() { return tool_; }
    const MeasureTool& tool() const { return tool_; }
    const QString& document() const { return document_; }

    int page() const { return page_; }
    void setPage(int page);
    // The sheet a page of the document is: by default the document's own page; a plan set's
    // page is the catalogue's sheet on it, whose revisions an update raises.
    using SheetOfPage = std::function<takeoff::SheetKey(int page)>;
    void setSheetOfPage(SheetOfPage sheetOfPage);
    takeoff::SheetKey sheet() const;

    qint64 jobId() const { return jobId_; }

    // The item new marks belong to (0: none chosen).
    int currentItem() const { return currentItem_; }
    void setCurrentItem(int itemId);

    // Chooses a tool; a length or area on a sheet without a scale, or a measuring tool without
    // an item of its kind, is refused with the hint in *why. When the current item is of
    // another kind, the latest item of the tool's kind becomes current.
    bool chooseTool(Tool tool, QString* why = nullptr);
    // The kind of item the tool records into when the project has none of that kind yet and
    // nothing else stops the tool (the window then offers to add one).
    std::optional<takeoff::Kind> missingItemKind(Tool tool) const;
    // The sheet's scale: a stated one by its label, or cleared with an empty label.
    bool setStatedScale(const QString& label, QString* why = nullptr);
    // The calibrate tool's two points and the real length typed ("40'-0\"", "12.192 m").
    bool calibrate(const ToolResult& line, const QString& realLength, QString* why = nullptr);
    // Records a finished length, area or count as a mark of the current item; a verify line
    // records nothing. The text to show is returned in *shown (the measured quantity).
    bool record(const ToolResult& result, QString* shown, QString* why = nullptr);

    // The measurement in progress (or a verify line) as words: "Length 12'-6\"",
    // "Area 400.00 ft², perimeter 80'-0\"". Empty without a scale or points.
    QString measureText(Tool tool, const QList<QPointF>& points) const;

    bool deleteMark(int markId);
    // Takes the sheet's marks measured on an earlier version as measured on this one.
    int acceptStale();
    // Stores the project's totals with the time and the note.
    bool freeze(const QString& note, const QDateTime& when, QString* why = nullptr);
    std::optional<takeoff::Snapshot> latestSnapshot() const;
    // Writes the takeoff CSV; sheetName names sheets (the plan set's names when known).
    bool exportCsv(const QString& path, const takeoff::SheetNamer& sheetName, QString* why);

    // What the panel lists and the overlay draws for the sheet shown.
    QList<PanelRow> rows() const;
    QList<MarkShape> shapes() const;
    bool sheetIsStale() const;
    QString scaleLabel() const; // "" without a scale

    // The hint shown when a length or area is refused for want of a scale.
    static QString noScaleHint();

Q_SIGNALS:
    // After every change of the takeoff (edits, undo, redo, loading) or of the sheet shown.
    void changed();
    // A save that failed: the edit stays on screen and the text says why.
    void saveFailed(const QString& why);

private:
    void save();
    int latestItemOf(takeoff::Kind kind) const; // 0: none
    takeoff::LengthSystem lengthSystem() const;
    QString lengthText(double inches) const;

    std::unique_ptr<db::Connection> owned_;
    db::Connection* connection_;
    qint64 jobId_;
    QString document_;
    SheetOfPage sheetOfPage_;
    int page_ = 0;
    int currentItem_ = 0;
    bool loading_ = false;
    takeoff::TakeoffModel model_;
    MeasureTool tool_;
    QList<takeoff::Snapshot> snapshots_;
};

} // namespace brevant::viewer
