#include "documents/DocumentDownload.h"

#include "base/MainWindow.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "documents/DocumentCache.h"
#include "documents/DocumentLists.h"
#include "documents/PlaceDocuments.h"
#include "documents/PlanSheets.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "server/ArchiveFetch.h"
#include "server/FileReference.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"

#include <QCoreApplication>
#include <QFile>

namespace brevant::documents {

bool ViewAfterDownload = false;

namespace {

QString supportEmail() {
    return ReadSetting(QStringLiteral("SUPPORTEMAIL"), QStringLiteral("support@velmora.com"));
}

bool documentsBusy() {
    const auto* w = base::mainWindow();
    return w && w->documentsBusy();
}

void setDocumentsBusy(bool busy) {
    if (auto* w = base::mainWindow())
        w->setDocumentsBusy(busy);
}

// The main window's current project: the one a command started now acts on.
std::optional<int> currentProject() {
    const auto* w = base::mainWindow();
    return w ? w->selectedJobId() : std::nullopt;
}

} // namespace

QString documentClassOfCode(int code) {
    switch (code) {
    case 1:
    case 4:
        return QStringLiteral("PLAN");
    case 2:
    case 5:
        return QStringLiteral("SPEC");
    case 3:
    case 6:
        return QStringLiteral("ADD");
    case 7:
        return QStringLiteral("ALL");
    default:
        return {};
    }
}

int downloadCodeOfList(int list) {
    return list == PlanList ? 4 : list == SpecList ? 5 : 6;
}

int CurrentJobId() {
    auto& rs = modResources::DbRecordset;
    try {
        if (rs && rs->isOpen() && !rs->eof())
            return rs->field(QStringLiteral("Job_ID")).toInt();
    } catch (const std::exception&) {
        // no current record: fall back to the project list
    }
    const auto* w = base::mainWindow();
    const auto selected = w ? w->selectedJobId() : std::nullopt;
    return selected.value_or(0);
}

void OpenProjectDocument(int jobId, int list, const QString& tag) {
    if (jobId == 0 || tag.isEmpty())
        return;
    server::Hourglass(true);
    const QString file = list == PlanList
                             ? PlanPageDocument(modResources::CacheLocation, jobId, tag)
                             : SectionDocument(modResources::CacheLocation, jobId, tag);
    server::Hourglass(false);
    if (list == PlanList) {
        // The set opens at the sheet's page where the store knows it.
        int page = 0;
        try {
            if (!file.isEmpty() && modResources::DbConnection &&
                modResources::DbConnection->isOpen())
                page = PlanSheetPage(*modResources::DbConnection, jobId, tag);
        } catch (const std::exception&) {
            // the set still opens, at its first page
        }
        OpenPlanSetAt(file, jobId, page);
    } else {
        OpenDocumentFile(file);
    }
    if (list != PlanList) {
        base::SetStatusText(QString());
        if (auto* w = base::mainWindow())
            w->enableCommands(true);
    }
}

void OpenSelectedDocument(DocumentViews& views, int list) {
    const int row = views.selectedRow(list);
    if (row < 0 || row >= views.rowCount(list))
        return;
    OpenProjectDocument(currentProject().value_or(0), list, views.row(list, row).tag);
}

void OpenPlanSet() {
    const int job = currentProject().value_or(0);
    if (job != 0)
        OpenDocumentFile(PlanSetFile(modResources::CacheLocation, job));
}

QString DownloadCancelledText() {
    return QCoreApplication::translate("brevant::documents::DocumentDownload",
                                       "Download cancelled -- nothing was saved");
}

QString ProjectDeletedText() {
    return QCoreApplication::translate(
        "brevant::documents::DocumentDownload",
        "The project these documents were requested for has been deleted -- "
        "Nothing was saved ...");
}

DocumentExchange::DocumentExchange(server::ServerConnection& access,
                                   server::ServerConnection& documents, DocumentWindow& window,
                                   QObject* parent)
    : QObject(parent), access_(access), documents_(documents), accessAlive_(&access),
      documentsAlive_(&documents), window_(window) {
    access_.onReply = [this](const QByteArray& text) { accessReply(text); };
    // A refused or failed access check ends the command: nothing is to be opened later.
    access_.onEnded = [this] {
        ViewAfterDownload = false;
        request_.reset();
    };
    documents_.onReply = [this](const QByteArray& text) { documentsReply(text); };
    // A refusal or failure of the documents request was shown; the exchange ends.
    documents_.onEnded = [this] { endExchange(); };
}

DocumentExchange::~DocumentExchange() {
    if (accessAlive_) {
        access_.onReply = nullptr;
        access_.onEnded = nullptr;
    }
    if (documentsAlive_) {
        documents_.onReply = nullptr;
        documents_.onEnded = nullptr;
    }
}

bool DocumentExchange::refuseWhileBusy() {
    // An exchange under way keeps its own request; a second one waits until it has ended.
    if (!documentsBusy() && !request_)
        return false;
    ui::message(
        QCoreApplication::translate(
            "brevant::documents::DocumentDownload",
            "You are already dowloading documents -- Please try again later ..."),
        ui::Buttons::Ok, ui::Icon::Exclamation,
        QCoreApplication::translate("brevant::documents::DocumentDownload", "System Message"));
    return true;
}

void DocumentExchange::DownloadSelected(int list) {
    if (refuseWhileBusy())
        return;
    if (!AnyChecked(window_.documentViews(), list)) {
        static const char* const none[] = {
            QT_TRANSLATE_NOOP("brevant::documents::DocumentDownload",
                              "No Plan Pages Selected for Download ..."),
            QT_TRANSLATE_NOOP("brevant::documents::DocumentDownload",
                              "No Specification Section(s) Selected for Download ..."),
            QT_TRANSLATE_NOOP("brevant::documents::DocumentDownload",
                              "No Addenda Section(s) Selected for Download ..."),
        };
        ui::message(
            QCoreApplication::translate("brevant::documents::DocumentDownload", none[list]),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::documents::DocumentDownload", "System Message"));
        base::SetStatusText(QString());
        server::Hourglass(false);
        ViewAfterDownload = false;
        return;
    }
    window_.setDocumentRequestCode(downloadCodeOfList(list));
    StartAccessCheck();
    // The command waits for the access check; the documents request then runs on its own.
    while (access_.active())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

void DocumentExchange::DownloadAll() {
    if (refuseWhileBusy())
        return;
    const int tab = window_.documentTab();
    window_.setDocumentRequestCode(7);
    StartAccessCheck();
    window_.setDocumentTab(tab);
}

void DocumentExchange::DoubleClick(int list) {
    if (refuseWhileBusy())
        return;
    DocumentViews& views = window_.documentViews();
    const int row = views.selectedRow(list);
    if (row < 0 || row >= views.rowCount(list))
        return;
    if (views.row(list, row).icon != CachedIcon) {
        views.setChecked(list, row, true);
        ViewAfterDownload = true;
        DownloadSelected(list);
        return;
    }
    OpenSelectedDocument(views, list);
}

void DocumentExchange::StartAccessCheck() {
    if (request_) {
        refuseWhileBusy();
        return;
    }
    // Everything the exchange needs of the window is taken now, when the user starts it.
    DocumentRequest request;
    const std::optional<int> job = currentProject();
    request.jobId = job.value_or(0);
    const QString documentClass = documentClassOfCode(window_.documentRequestCode());
    if (!documentClass.isEmpty())
        request.selection = BuildDocumentSelection(window_.documentViews(), job, documentClass);
    if (ViewAfterDownload) {
        DocumentViews& views = window_.documentViews();
        request.viewAfter = true;
        request.viewList = window_.documentTab();
        const int row = views.selectedRow(request.viewList);
        if (row >= 0 && row < views.rowCount(request.viewList))
            request.viewTag = views.row(request.viewList, row).tag;
    }
    startExchange(std::move(request));
}

void DocumentExchange::startExchange(DocumentRequest request) {
    AccessResult = 0;
    request_ = std::move(request);
    if (access_.OpenConnection(QString()) != server::ServerConnection::Open::Connecting) {
        ViewAfterDownload = false;
        request_.reset();
    }
}

void DocumentExchange::accessReply(const QByteArray& text) {
    AccessResult = text.isEmpty() ? 0 : text.at(0) - '0';
    base::SetStatusText(QCoreApplication::translate("brevant::documents::DocumentDownload",
                                                    "Checking Authorization ..."));
    if (AccessResult != 1) {
        ui::message(
            QCoreApplication::translate("brevant::documents::DocumentDownload",
                                        "Invalid subscription access ..."),
            ui::Buttons::Ok, ui::Icon::Information,
            QCoreApplication::translate("brevant::documents::DocumentDownload", "System Message"));
        server::Hourglass(false);
        base::SetStatusText(QString());
        ViewAfterDownload = false;
        request_.reset();
        return;
    }
    if (!request_) // no command is waiting for this answer
        return;
    setDocumentsBusy(true);
    const auto opened = documents_.OpenConnection(request_->selection);
    if (opened != server::ServerConnection::Open::Connecting &&
        opened != server::ServerConnection::Open::Sent) {
        endExchange();
        return;
    }
    if (auto* w = base::mainWindow())
        w->setWaitCancel([this, cancelled = request_->cancelled] { cancel(cancelled); });
}

void DocumentExchange::cancel(const std::shared_ptr<bool>& cancelled) {
    *cancelled = true;
    // Only the exchange this Cancel was shown for; a later one has its own.
    if (!request_ || request_->cancelled != cancelled || !documents_.active())
        return; // downloading: the transfer sees the cancel and ends the exchange
    documents_.Disconnect();
    endExchange();
    base::SetStatusText(DownloadCancelledText());
}

bool DocumentExchange::projectStillStored() {
    if (!request_ || request_->jobId == 0 || !modResources::DbConnection)
        return true;
    try {
        db::Recordset rs;
        rs.open(QStringLiteral("Select [Job_ID] from [Projects] where [Job_ID] = %1")
                    .arg(request_->jobId),
                *modResources::DbConnection);
        if (!rs.eof())
            return true;
    } catch (const db::DbError&) {
        return true; // placing reports its own failure
    }
    ui::message(
        ProjectDeletedText(), ui::Buttons::Ok, ui::Icon::Information,
        QCoreApplication::translate("brevant::documents::DocumentDownload", "System Message"));
    return false;
}

void DocumentExchange::documentsReply(const QByteArray& text) {
    const QString reply = QString::fromUtf8(text);
    announced_ = server::ParseFileReference(reply).size;
    // The reply belongs to the request that asked for it, whatever is selected by now.
    if (!request_ || !projectStillStored()) {
        endExchange();
        return;
    }
    const DocumentRequest request = *request_;
    bool deletedMeanwhile = false;
    window_.showDocumentProgress(true);
    server::FetchOptions options;
    options.progress = [this](std::int64_t received, std::int64_t total) {
        window_.setDocumentProgress(received, total > 0 ? total : announced_);
        if (auto* w = base::mainWindow())
            w->setWaitProgress(received, total > 0 ? total : announced_);
        QCoreApplication::processEvents();
    };
    options.cancelled = [cancelled = request.cancelled] { return *cancelled; };
    options.unpack = [this, &request, &deletedMeanwhile](const QString& archivePath) {
        if (!modResources::DbConnection || request.jobId == 0)
            return false;
        // The project may have been deleted while its archive came in: nothing is placed.
        if (!projectStillStored()) {
            deletedMeanwhile = true;
            QFile::remove(archivePath);
            return true;
        }
        PlaceRequest place;
        place.archivePath = archivePath;
        place.projectFolder = ProjectCacheFolder(modResources::CacheLocation, request.jobId);
        place.jobId = request.jobId;
        place.supportEmail = supportEmail();
        // The lists on screen are marked only while they show the request's project.
        DocumentRows elsewhere;
        DocumentViews& views =
            currentProject() == request.jobId ? window_.documentViews() : elsewhere;
        const PlaceOutcome out = PlaceDocuments(place, *modResources::DbConnection, views);
        if (!out.ok())
            base::SetStatusText(out.reason);
        return out.ok();
    };
    const server::FetchedArchive fetched =
        server::FetchArchive(server::RequestKind::Documents, reply, options);
    window_.showDocumentProgress(false);
    if (auto* w = base::mainWindow())
        w->enableCommands(true);
    if (fetched.ok && !deletedMeanwhile && request.viewAfter)
        OpenProjectDocument(request.jobId, request.viewList, request.viewTag);
    endExchange();
    if (fetched.cancelled)
        base::SetStatusText(DownloadCancelledText());
}

void DocumentExchange::endExchange() {
    ViewAfterDownload = false;
    request_.reset();
    window_.showDocumentProgress(false);
    server::Hourglass(false);
    base::SetStatusText(QString());
    setDocumentsBusy(false);
    base::CloseWaitForm();
    if (auto* w = base::mainWindow())
        w->enableCommands(true);
}

} // namespace brevant::documents
