#pragma once
// The document commands of the main window without its widgets: downloading the ticked rows of
// a list (or of all three), double-clicking a row, opening cached documents, and the chain they
// start — the access check, then the documents request, the archive downloaded and placed into
// the cache, the completion steps.
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

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

// The project whose lists are being filled: Job_ID of the shared recordset, else the main
// window's current project; 0 when there is none.
int CurrentJobId();

// What a documents exchange carries from the command that starts it to the placing of its
// reply, so that a click on another project meanwhile changes nothing of it.
struct DocumentRequest {
    int jobId = 0;     // the project current when the command started; 0: none ("NONE")
    QString selection; // the documents request's argument
    // Open this document of the project once placed (a double-click on a row not cached).
    bool viewAfter = false;
    int viewList = 0;
    QString viewTag;
    // Set by the wait window's Cancel: the exchange ends and places nothing.
    std::shared_ptr<bool> cancelled = std::make_shared<bool>(false);
};

// The status after a documents exchange was cancelled.
QString DownloadCancelledText();

// Opens a cached document of a project: a plan page opens the project's plan set, a section or
// addendum its own document; nothing happens when it is not cached.
void OpenProjectDocument(int jobId, int list, const QString& tag);
// Opens the selected row's document of a list for the main window's current project
// (OpenPlanPage, OpenSection, OpenAddendum). OpenPlanSet opens that project's plan set.
void OpenSelectedDocument(DocumentViews& views, int list);
void OpenPlanSet();

// "The project ... was deleted": a documents reply whose project is no longer stored.
QString ProjectDeletedText();

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

    // Takes the current project and the selection of the request code already set, then
    // starts the access check; its answer "1" sends that selection as the documents request.
    void StartAccessCheck();
    // AccessResult: the numeric value of the access check's first character.
    int AccessResult = 0;
    // The exchange under way, from its command until it ends.
    const std::optional<DocumentRequest>& request() const { return request_; }

private:
    void startExchange(DocumentRequest request);
    void accessReply(const QByteArray& text);
    void documentsReply(const QByteArray& text);
    // The wait window's Cancel for the documents request under way.
    void cancel(const std::shared_ptr<bool>& cancelled);
    // Whether the exchange's project is still stored; tells the user once when it is not.
    bool projectStillStored();
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
    std::optional<DocumentRequest> request_;
};

} // namespace brevant::documents
