#pragma once
// brevant-viewer's window: one document (an ".SVD" file, which is a PDF) shown a page at a
// time, with previous/next, zoom and print. The desktop opens documents with it when no other
// program handles the type.
#include <QMainWindow>

class QAction;
class QLabel;
class QPdfDocument;
class QPdfView;
class QPrinter;

namespace brevant::reports {
struct PrintTarget;
}

namespace brevant::viewer {

class frmViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit frmViewer(QWidget* parent = nullptr);
    ~frmViewer() override;

    // Opens the document; false (with the reason in errorText()) when it cannot be read.
    bool openDocument(const QString& path);
    QString errorText() const { return error_; }

    int pageCount() const;
    int currentPage() const; // 0-based
    void showPage(int page);
    void nextPage();
    void previousPage();
    qreal zoomFactor() const;
    void zoomIn();
    void zoomOut();
    void fitWidth();

    // Asks for a printer in the reports' "Select Printer" window and prints every page.
    void printDocument();
    // Prints every page on a CUPS queue or into a PDF file; an empty text on success, else the
    // reason.
    QString printTo(const reports::PrintTarget& target);
    // Prints pages first..last (0-based) to printer, each scaled to fit the printable area.
    bool printPages(QPrinter& printer, int first, int last);

private:
    void updateState();

    QPdfDocument* document_;
    QPdfView* view_;
    QLabel* pageLabel_;
    QAction* previous_;
    QAction* next_;
    QString error_;
    QString path_;
};

} // namespace brevant::viewer
