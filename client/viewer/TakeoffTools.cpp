#include "TakeoffTools.h"

#include "MarkedSheetPrint.h"
#include "PageView.h"
#include "TakeoffPanel.h"
#include "TakeoffSession.h"
#include "frmTakeoffItem.h"
#include "platform/ui/Ui.h"
#include "reports/frmPrinter.h"

#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPainter>
#include <QPdfDocument>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>

namespace brevant::viewer {

using namespace brevant::takeoff;

namespace {

// How near (pixels) a click must come to a mark to select it.
constexpr qreal PickPixels = 5.0;

bool isToolKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Backspace ||
           key == Qt::Key_Escape;
}

} // namespace

TakeoffTools::TakeoffTools(QMainWindow& window, PageView& view,
                           std::unique_ptr<TakeoffSession> session)
    : QObject(&window), window_(window), view_(view), viewAlive_(&view),
      session_(std::move(session)) {
    session_->setParent(nullptr);
    panel_ = new TakeoffPanel(*session_);
    dock_ = new QDockWidget(tr("Takeoff"), &window_);
    dock_->setObjectName(QStringLiteral("dockTakeoff"));
    dock_->setWidget(panel_);
    dock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    window_.addDockWidget(Qt::RightDockWidgetArea, dock_);
    // A window already on screen does not show children added later by itself, and the
    // program opens its file after showing the window.
    dock_->show();

    // A row of its own: beside the viewer's commands the tools ran off the window's edge into
    // the overflow menu, where a new user never finds Area or Count.
    window_.addToolBarBreak();
    QToolBar* bar = bar_ = window_.addToolBar(tr("Takeoff"));
    bar->setObjectName(QStringLiteral("tbTakeoff"));
    bar->setMovable(false);
    bar->show();
    tools_ = new QActionGroup(this);
    tools_->setExclusive(true);
    const struct {
        const char* name;
        QString caption;
        Tool tool;
    } tools[] = {{"actSelect", tr("Select"), Tool::Select},
                 {"actLength", tr("Length"), Tool::Length},
                 {"actArea", tr("Area"), Tool::Area},
                 {"actCount", tr("Count"), Tool::Count}};
    for (const auto& t : tools) {
        QAction* a = bar->addAction(t.caption);
        a->setObjectName(QString::fromLatin1(t.name));
        a->setCheckable(true);
        a->setData(int(t.tool));
        tools_->addAction(a);
        toolActions_.append(a);
        const Tool tool = t.tool;
        connect(a, &QAction::triggered, this, [this, tool] { chooseTool(tool); });
    }
    bar->addSeparator();
    QUndoStack* stack = session_->model().undoStack();
    undo_ = bar->addAction(tr("Undo"));
    undo_->setObjectName(QStringLiteral("actUndo"));
    undo_->setShortcut(QKeySequence::Undo);
    redo_ = bar->addAction(tr("Redo"));
    redo_->setObjectName(QStringLiteral("actRedo"));
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    delete_ = bar->addAction(tr("Delete Mark"));
    delete_->setObjectName(QStringLiteral("actDeleteMark"));
    delete_->setShortcut(QKeySequence::Delete);
    QAction* print = bar->addAction(tr("Print Sheet with Marks"));
    print->setObjectName(QStringLiteral("actPrintMarked"));
    connect(print, &QAction::triggered, this, [this] { printSheet(); });
    connect(undo_, &QAction::triggered, stack, &QUndoStack::undo);
    connect(redo_, &QAction::triggered, stack, &QUndoStack::redo);
    connect(delete_, &QAction::triggered, this, [this] { deleteSelected(); });
    connect(stack, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    undo_->setEnabled(stack->canUndo());
    redo_->setEnabled(stack->canRedo());

    connect(panel_, &TakeoffPanel::newItemRequested, this, [this] { newItem(); });
    connect(panel_, &TakeoffPanel::calibrateRequested, this, [this] { calibrate(); });
    connect(panel_, &TakeoffPanel::verifyRequested, this, [this] { verify(); });
    connect(panel_, &TakeoffPanel::freezeRequested, this, [this] { freeze(); });
    connect(panel_, &TakeoffPanel::exportRequested, this, [this] { exportCsv(); });
    connect(panel_, &TakeoffPanel::scaleRefused, this, [this](const QString& why) { tell(why); });
    connect(session_.get(), &TakeoffSession::changed, this, [this] { refresh(); });
    connect(session_.get(), &TakeoffSession::saveFailed, this, [this](const QString& why) {
        ui::message(why, ui::Buttons::Ok, ui::Icon::Critical, tr("System Error"));
    });
    connect(&view_, &PageView::pageChanged, this, [this](int page) { session_->setPage(page); });

    view_.setMouseHandler([this](const PageMouseEvent& e) { return mouse(e); });
    view_.setOverlay([this](QPainter& painter, const PageView& v) { paintMarks(painter, v); });
    view_.installEventFilter(this);
    view_.viewport()->installEventFilter(this);
    session_->setPage(std::max(0, view_.page()));
    refresh();
}

TakeoffTools::~TakeoffTools() {
    delete dock_; // the panel shows the session: it goes first
    if (bar_) {
        window_.removeToolBarBreak(bar_);
        delete bar_;
    }
    if (viewAlive_) {
        view_.setMouseHandler({});
        view_.setOverlay({});
        view_.removeEventFilter(this);
        view_.viewport()->removeEventFilter(this);
    }
}

void TakeoffTools::paintMarks(QPainter& painter, const PageView& view) {
    tiles_.paint(painter, layer_, view.exposedRect());
    const MeasureTool& tool = session_->tool();
    if (!tool.measuring())
        return;
    const Item* item = session_->model().item(session_->currentItem());
    const QColor colour = item && tool.tool() != Tool::Calibrate && tool.tool() != Tool::Verify
                              ? QColor(item->colour)
                              : QColor(Qt::magenta);
    paintPreview(painter, tool.preview(),
                 tool.tool() == Tool::Area ? ShapeKind::Polygon : ShapeKind::Path, colour,
                 view.scale());
}

void TakeoffTools::refresh() {
    layer_.setShapes(session_->shapes());
    if (layer_.selected() && !session_->model().mark(*layer_.selected()))
        layer_.setSelected(std::nullopt);
    delete_->setEnabled(layer_.selected().has_value());
    syncTool();
    view_.viewport()->update();
}

void TakeoffTools::syncTool() {
    for (QAction* a : toolActions_)
        a->setChecked(a->data().toInt() == int(session_->tool().tool()));
}

void TakeoffTools::tell(const QString& text) {
    window_.statusBar()->showMessage(text);
    ui::message(text, ui::Buttons::Ok, ui::Icon::Exclamation, tr("System Message"));
}

bool TakeoffTools::chooseTool(Tool tool) {
    // A measuring tool with no item of its kind yet: the item is made first, as the hint would
    // ask, and the tool is ready when the dialog closes.
    if (const std::optional<Kind> kind = session_->missingItemKind(tool)) {
        if (!newItem(*kind)) {
            syncTool();
            return false;
        }
    }
    QString why;
    const bool ok = session_->chooseTool(tool, &why);
    if (!ok)
        tell(why);
    syncTool();
    view_.viewport()->update();
    return ok;
}

void TakeoffTools::selectMark(std::optional<int> id) {
    layer_.setSelected(id);
    delete_->setEnabled(id.has_value());
    if (id)
        if (const Mark* m = session_->model().mark(*id))
            session_->setCurrentItem(m->itemId);
    view_.viewport()->update();
}

bool TakeoffTools::deleteSelected() {
    if (!layer_.selected())
        return false;
    const int id = *layer_.selected();
    layer_.setSelected(std::nullopt);
    return session_->deleteMark(id);
}

bool TakeoffTools::mouse(const PageMouseEvent& e) {
    MeasureTool& tool = session_->tool();
    const bool ortho = e.modifiers.testFlag(Qt::ShiftModifier);
    if (e.type == QEvent::MouseMove) {
        if (tool.tool() == Tool::Select)
            return false;
        tool.move(e.pagePoint, ortho);
        if (tool.measuring())
            panel_->showMeasurement(session_->measureText(tool.tool(), tool.preview()));
        view_.viewport()->update();
        return false; // a middle-button drag goes on panning
    }
    if (e.button != Qt::LeftButton)
        return false;
    if (tool.tool() == Tool::Select) {
        if (e.type != QEvent::MouseButtonPress)
            return false;
        const qreal scale = view_.scale() > 0 ? view_.scale() : 1.0;
        const int hit =
            session_->model().markAt(session_->sheet(), e.pagePoint, PickPixels / scale);
        selectMark(hit ? std::optional<int>(hit) : std::nullopt);
        return layer_.selected().has_value();
    }
    ToolStep step;
    if (e.type == QEvent::MouseButtonPress)
        step = tool.click(e.pagePoint, ortho);
    else if (e.type == QEvent::MouseButtonDblClick)
        step = tool.doubleClick(e.pagePoint, ortho);
    else
        return true; // the release of a click the tool took
    if (step.done)
        finished(*step.done);
    view_.viewport()->update();
    return step.used;
}

void TakeoffTools::finished(const ToolResult& result) {
    if (result.tool == Tool::Calibrate) {
        session_->tool().setTool(Tool::Select);
        syncTool();
        const std::optional<QString> typed =
            ui::current().input(tr("The real length of the line (such as 40'-0\" or 12.192 m):"),
                                tr("Calibrate"), QString());
        if (!typed)
            return;
        QString why;
        if (!session_->calibrate(result, *typed, &why))
            tell(why);
        else
            window_.statusBar()->showMessage(tr("Scale: %1").arg(session_->scaleLabel()));
        return;
    }
    QString shown, why;
    if (!session_->record(result, &shown, &why)) {
        tell(why);
        return;
    }
    if (result.tool == Tool::Verify) {
        session_->tool().setTool(Tool::Select);
        syncTool();
        shown = tr("Verify: %1").arg(shown);
    }
    panel_->showMeasurement(shown);
    window_.statusBar()->showMessage(shown);
}

bool TakeoffTools::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const MeasureTool& tool = session_->tool();
        // Enter, Backspace and Escape belong to a measurement in progress (and Escape to a
        // chosen tool) before any window shortcut, such as Escape closing the window.
        const bool wanted =
            isToolKey(key->key()) &&
            (tool.measuring() || (key->key() == Qt::Key_Escape && tool.tool() != Tool::Select));
        if (event->type() == QEvent::ShortcutOverride) {
            if (wanted) {
                event->accept();
                return true;
            }
            return QObject::eventFilter(watched, event);
        }
        if (wanted) {
            const ToolStep step = session_->tool().key(key->key());
            if (step.done)
                finished(*step.done);
            // A measurement ended by Enter keeps its result in sight, as one ended by a
            // double-click does; one dropped takes its live figure away.
            if (!step.done && !session_->tool().measuring())
                panel_->showMeasurement(QString());
            syncTool();
            view_.viewport()->update();
            return step.used;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool TakeoffTools::newItem(std::optional<Kind> kind) {
    const Scale s = session_->model().scale(session_->sheet());
    frmTakeoffItem dialog(
        s.family == ScaleFamily::Metric ? LengthSystem::Metric : LengthSystem::Imperial, &window_);
    if (kind)
        dialog.setKind(*kind);
    QStringList used;
    for (const auto& [id, item] : session_->model().data().items)
        used << item.colour;
    dialog.preferColourBeside(used);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString why;
    const int id = session_->model().addItem(dialog.item(), &why);
    if (id == 0) {
        tell(why);
        return false;
    }
    session_->setCurrentItem(id);
    return true;
}

void TakeoffTools::calibrate() {
    chooseTool(Tool::Calibrate);
    window_.statusBar()->showMessage(tr("Click both ends of a known dimension ..."));
}

void TakeoffTools::verify() {
    if (chooseTool(Tool::Verify))
        window_.statusBar()->showMessage(tr("Click both ends of a line to measure it ..."));
}

void TakeoffTools::freeze() {
    const std::optional<QString> note =
        ui::current().input(tr("A note for the frozen quantities (such as \"Bid of 12/08/2026\"):"),
                            tr("Freeze Quantities"), QString());
    if (!note)
        return;
    QString why;
    if (!session_->freeze(*note, QDateTime::currentDateTime(), &why))
        ui::message(why, ui::Buttons::Ok, ui::Icon::Critical, tr("System Error"));
}

void TakeoffTools::exportCsv() {
    // In the home folder, as the main window's exports: the viewer runs in the document cache,
    // which is no place for the estimator's own files.
    const QString name = session_->jobId() > 0
                             ? QStringLiteral("takeoff-%1.csv").arg(session_->jobId())
                             : QStringLiteral("takeoff.csv");
    const QString path = ui::current().saveFile(tr("Export Takeoff"), QDir::home().filePath(name),
                                                tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QString why;
    if (!session_->exportCsv(path, sheetNamer_ ? sheetNamer_ : SheetNamer(defaultSheetName), &why))
        ui::message(tr("The takeoff could not be exported: %1 ...").arg(why), ui::Buttons::Ok,
                    ui::Icon::Critical, tr("System Error"));
    else
        window_.statusBar()->showMessage(tr("Takeoff exported to %1").arg(path));
}

} // namespace brevant::viewer

namespace brevant::viewer {

void TakeoffTools::printSheet() {
    if (!view_.document() || view_.page() < 0)
        return;
    const QString name = QStringLiteral("%1-%2.pdf")
                             .arg(QFileInfo(session_->document()).completeBaseName())
                             .arg(view_.page() + 1);
    reports::frmPrinter dialog(
        [this](const reports::PrintTarget& target) { return printSheetTo(target); }, name,
        &window_);
    dialog.exec();
}

QString TakeoffTools::printSheetTo(const reports::PrintTarget& target) {
    if (!view_.document())
        return tr("no document is open");
    // The marks as on screen but none selected: a printed highlight means nothing on paper.
    MarkLayer printed;
    printed.setShapes(session_->shapes());
    return PrintMarkedSheet(*view_.document(), sheetFile_, view_.page(), printed, target,
                            QFileInfo(session_->document()).fileName());
}

} // namespace brevant::viewer
