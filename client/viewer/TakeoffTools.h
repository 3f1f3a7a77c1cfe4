#pragma once
// The takeoff in the viewer window: the tool actions (select, length, area, count), undo, redo
// and delete, the side panel in a dock, the marks drawn over the page view, and the view's mouse
// events and keys handed to the measuring tool. Zoom and pan stay the view's: the wheel, the
// middle button and the keys the tool does not use go on to it during a measurement.
#include "MarkPainter.h"
#include "MarkTiles.h"

#include "takeoff/TakeoffData.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QDockWidget;
class QMainWindow;
class QPdfDocument;
class QToolBar;

namespace brevant::reports {
struct PrintTarget;
}

namespace brevant::viewer {

class PageView;
class TakeoffPanel;
class TakeoffSession;
struct PageMouseEvent;
struct ToolResult;
enum class Tool;

class TakeoffTools : public QObject {
    Q_OBJECT
public:
    TakeoffTools(QMainWindow& window, PageView& view, std::unique_ptr<TakeoffSession> session);
    // Deleted before the window's own destructor runs: it changes the window's toolbars.
    ~TakeoffTools() override;

    TakeoffSession& session() { return *session_; }
    TakeoffPanel* panel() const { return panel_; }
    const MarkLayer& layer() const { return layer_; }
    // How the exported file names sheets (the plan set's sheet names when known).
    void setSheetNamer(std::function<QString(const takeoff::SheetKey&)> namer) {
        sheetNamer_ = std::move(namer);
    }

    // Chooses a tool as its button does: refused with the hint shown when the sheet lacks a
    // scale or no item of the kind is chosen.
    bool chooseTool(Tool tool);
    std::optional<int> selectedMark() const { return layer_.selected(); }
    void selectMark(std::optional<int> id);
    // Removes the selected mark (Delete).
    bool deleteSelected();

    // Draws the marks of the sheet shown into a painter whose transform maps page points.
    void paintMarks(QPainter& painter, const PageView& view);
    // Prints the sheet shown with its marks through the "Select Printer" window.
    void printSheet();
    QString printSheetTo(const reports::PrintTarget& target);
    // The file the view's document was read from: a marked sheet prints from it as vectors.
    void setSheetFile(const QString& file) { sheetFile_ = file; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mouse(const PageMouseEvent& event);
    void finished(const ToolResult& result);
    // Adds an item through its dialog (starting on `kind` when given); false when cancelled.
    bool newItem(std::optional<takeoff::Kind> kind = std::nullopt);
    void calibrate();
    void verify();
    void freeze();
    void exportCsv();
    void refresh();
    void syncTool();
    void tell(const QString& text);

    QMainWindow& window_;
    PageView& view_;
    // The window deletes its widgets in its own order: the view may be gone before this is.
    QPointer<PageView> viewAlive_;
    std::unique_ptr<TakeoffSession> session_;
    TakeoffPanel* panel_;
    QPointer<QDockWidget> dock_;
    QPointer<QToolBar> bar_;
    QActionGroup* tools_;
    QList<QAction*> toolActions_;
    QAction* undo_;
    QAction* redo_;
    QAction* delete_;
    MarkLayer layer_;
    MarkTiles tiles_; // the layer's picture, reused while panning
    QString sheetFile_;
    std::function<QString(const takeoff::SheetKey&)> sheetNamer_;
};

} // namespace brevant::viewer
