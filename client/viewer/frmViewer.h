#pragma once
// brevant-viewer's window: one document (an ".SVD" file, which is a PDF) shown a page at a
// time beside the plan set's sheet list and the page thumbnails, with a page box, zoom about
// the pointer, fitting, rotation and printing. The desktop opens documents with it when no
// other program handles the type, and the client opens plan sheets with it at their page.
#include "PageView.h"
#include "ViewedDocument.h"
#include "documents/PlanSheets.h"

#include <QMainWindow>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPdfDocument;
class QPrinter;
class QTabWidget;

namespace brevant::reports {
struct PrintTarget;
}

namespace brevant::viewer {

class TakeoffTools;

class frmViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit frmViewer(QWidget* parent = nullptr);
    ~frmViewer() override;

    // Opens the document; false (with the reason in errorText()) when it cannot be read. jobId
    // (from --job) names the project when the file does not lie in the project's folder. The
    // sheet list of a plan set is read from the project store.
    bool openDocument(const QString& path, int jobId = 0);
    QString errorText() const { return error_; }
    // Which project, document and page are shown.
    ViewedDocument viewedDocument() const;

    // The sheets listed beside the pages (read from the store by openDocument).
    void setSheets(const std::vector<documents::PlanSheetEntry>& sheets);

    PageView* pageView() const { return view_; }
    // The takeoff of the document shown (its tools, panel and marks); null without a document.
    TakeoffTools* takeoff() const { return takeoff_; }
    int pageCount() const;
    int currentPage() const; // 0-based
    void showPage(int page);
    void nextPage();
    void previousPage();
    qreal zoomFactor() const;
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void fitPage();
    void rotate(int quarterTurns);

    // Asks for a printer in the reports' "Select Printer" window and prints every page.
    void printDocument();
    // Prints every page on a CUPS queue or into a PDF file, the document's pages passed on
    // unchanged; an empty text on success, else the reason.
    QString printTo(const reports::PrintTarget& target);

    // What Ctrl+Q does (closes every window of the program, which then ends); tests replace it.
    void setQuitAction(std::function<void()> quit) { quit_ = std::move(quit); }

Q_SIGNALS:
    // The document or the page shown changed.
    void viewedDocumentChanged(const brevant::viewer::ViewedDocument& document);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void updateState();
    void startTakeoff(); // frmViewerTakeoff.cpp
    void fillThumbnails();
    void goToTypedPage();
    std::optional<QPointF> pointerAnchor() const;

    QPdfDocument* document_;
    PageView* view_;
    QTabWidget* sidePanel_;
    QListWidget* sheetList_;
    QListWidget* thumbnails_;
    QLineEdit* pageBox_;
    QLabel* pageCountLabel_;
    QLabel* zoomLabel_;
    QLabel* pageLabel_;
    QAction* previous_;
    QAction* next_;
    QString error_;
    ViewedDocument viewed_;
    std::function<void()> quit_;
    TakeoffTools* takeoff_ = nullptr;
};

} // namespace brevant::viewer
