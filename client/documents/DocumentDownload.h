#pragma once
// The document commands of the main window without its widgets: downloading the ticked rows of
// a list (or of all three), double-clicking a row, opening cached documents, and the chain they
// start — the access check, then the documents request, the archive downloaded and placed into
// the cache, the completion steps.
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>

namespace brevant::server {
class ServerConnection;
}

namespace brevant::documents {

class DocumentViews;

// Open the document under the cursor as soon as its download has been placed in the cache.
extern bool ViewAfterDownload;

// The documents class a request code asks for: 1 or 4 "PLAN", 2 or 5 "SPEC", 3 or 6 "ADD",
// 7 "ALL"; an empty text for any other code (the request then carries no argument).
QString documentClassOfCode(int code);
// The request code of a list's download command (4, 5 or 6).
int downloadCodeOfList(int list);

// What the document commands need of the main window besides its lists.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;
    virtual DocumentViews& documentViews() = 0;
    virtual int documentRequestCode() const = 0;
    virtual void setDocumentRequestCode(int code) = 0;
    // The selected tab of the documents tab set.
    virtual int documentTab() const = 0;
    virtual void setDocumentTab(int tab) = 0;
    // Shortens the lists and shows the progress bars along their bottom edges (true), or hides
    // the bars and gives the lists their heights back (false).
    virtual void showDocumentProgress(bool shown) = 0;
    // Bytes received of the archive, and its size when known (else <= 0).
    virtual void setDocumentProgress(std::int64_t received, std::int64_t total) = 0;
};

// The current project: Job_ID of the shared recordset, else the selected row of the project
// list; 0 when there is none.
int CurrentJobId();

// Opens the selected row's document of a list (OpenPlanPage, OpenSection, OpenAddendum);
// nothing happens when it is not cached. OpenPlanSet opens the project's plan set.
void OpenSelectedDocument(DocumentViews& views, int list);
void OpenPlanSet();

class DocumentExchange : public QObject {
    Q_OBJECT
public:
    // access: the access-check connection (Wirelet2); documents: the documents one (Wirelet3).
    DocumentExchange(server::ServerConnection& access, server::ServerConnection& documents,
                     DocumentWindow& window, QObject* parent = nullptr);
    ~DocumentExchange() override;

    // A list's "Download Selected ..." command.
    void DownloadSelected(int list);
    // The toolbar's download of the ticked rows of all three lists.
    void DownloadAll();
    // A double-click on a row of a list.
    void DoubleClick(int list);

    // Starts the access check for the request code already set; its answer "1" starts the
    // documents request.
    void StartAccessCheck();
    // AccessResult: the numeric value of the access check's first character.
    int AccessResult = 0;

private:
    void accessReply(const QByteArray& text);
    void documentsReply(const QByteArray& text);
    void endExchange();
    bool refuseWhileBusy();

    server::ServerConnection& access_;
    server::ServerConnection& documents_;
    // The connections may be destroyed first (siblings under the main window); the destructor
    // unhooks only those still there.
    QPointer<server::ServerConnection> accessAlive_;
    QPointer<server::ServerConnection> documentsAlive_;
    DocumentWindow& window_;
    std::int64_t announced_ = 0;
};

} // namespace brevant::documents
