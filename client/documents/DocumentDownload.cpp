#include "documents/DocumentDownload.h"

#include "base/MainWindow.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "documents/DocumentCache.h"
#include "documents/DocumentLists.h"
#include "documents/PlaceDocuments.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "server/ArchiveFetch.h"
#include "server/FileReference.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"

#include <QCoreApplication>

namespace brevant::documents {

bool ViewAfterDownload = false;

namespace {

const QString kMessage = QStringLiteral("System Message");

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

void OpenSelectedDocument(DocumentViews& views, int list) {
    const int row = views.selectedRow(list);
    const int job = CurrentJobId();
    if (row < 0 || row >= views.rowCount(list) || job == 0)
        return;
    server::Hourglass(true);
    const QString tag = views.row(list, row).tag;
    const QString file = list == PlanList ? PlanPageDocument(modResources::CacheLocation, job, tag)
                                          : SectionDocument(modResources::CacheLocation, job, tag);
    server::Hourglass(false);
    OpenDocumentFile(file);
    if (list != PlanList) {
        base::SetStatusText(QString());
        if (auto* w = base::mainWindow())
            w->enableCommands(true);
    }
}

void OpenPlanSet() {
    const int job = CurrentJobId();
    if (job != 0)
        OpenDocumentFile(PlanSetFile(modResources::CacheLocation, job));
}

DocumentExchange::DocumentExchange(server::ServerConnection& access,
                                   server::ServerConnection& documents, DocumentWindow& window,
                                   QObject* parent)
    : QObject(parent), access_(access), documents_(documents), accessAlive_(&access),
      documentsAlive_(&documents), window_(window) {
    access_.onReply = [this](const QByteArray& text) { accessReply(text); };
    // A refused or failed access check ends the command: nothing is to be opened later.
    access_.onEnded = [] { ViewAfterDownload = false; };
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
    if (!documentsBusy())
        return false;
    ui::message(
        QStringLiteral("You are already dowloading documents -- Please try again later ..."),
        ui::Buttons::Ok, ui::Icon::Exclamation, kMessage);
    return true;
}

void DocumentExchange::DownloadSelected(int list) {
    if (refuseWhileBusy())
        return;
    if (!AnyChecked(window_.documentViews(), list)) {
        static const char* const none[] = {
            "No Plan Pages Selected for Download ...",
            "No Specification Section(s) Selected for Download ...",
            "No Addenda Section(s) Selected for Download ...",
        };
        ui::message(QString::fromLatin1(none[list]), ui::Buttons::Ok, ui::Icon::Information,
                    kMessage);
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
    AccessResult = 0;
    if (access_.OpenConnection(QString()) != server::ServerConnection::Open::Connecting)
        ViewAfterDownload = false;
}

void DocumentExchange::accessReply(const QByteArray& text) {
    AccessResult = text.isEmpty() ? 0 : text.at(0) - '0';
    base::SetStatusText(QStringLiteral("Checking Authorization ..."));
    if (AccessResult != 1) {
        ui::message(QStringLiteral("Invalid subscription access ..."), ui::Buttons::Ok,
                    ui::Icon::Information, kMessage);
        server::Hourglass(false);
        base::SetStatusText(QString());
        ViewAfterDownload = false;
        return;
    }
    setDocumentsBusy(true);
    const auto* w = base::mainWindow();
    const QString documentClass = documentClassOfCode(window_.documentRequestCode());
    const QString selection =
        documentClass.isEmpty()
            ? QString()
            : BuildDocumentSelection(window_.documentViews(),
                                     w ? w->selectedJobId() : std::optional<int>(), documentClass);
    const auto opened = documents_.OpenConnection(selection);
    if (opened != server::ServerConnection::Open::Connecting &&
        opened != server::ServerConnection::Open::Sent)
        endExchange();
}

void DocumentExchange::documentsReply(const QByteArray& text) {
    const QString reply = QString::fromUtf8(text);
    announced_ = server::ParseFileReference(reply).size;
    const int job = CurrentJobId();
    window_.showDocumentProgress(true);
    server::FetchOptions options;
    options.progress = [this](std::int64_t received, std::int64_t total) {
        window_.setDocumentProgress(received, total > 0 ? total : announced_);
        QCoreApplication::processEvents();
    };
    options.unpack = [this, job](const QString& archivePath) {
        PlaceRequest request;
        request.archivePath = archivePath;
        request.projectFolder = ProjectCacheFolder(modResources::CacheLocation, job);
        request.jobId = job;
        request.supportEmail = supportEmail();
        if (!modResources::DbConnection || job == 0)
            return false;
        const PlaceOutcome out =
            PlaceDocuments(request, *modResources::DbConnection, window_.documentViews());
        if (!out.ok())
            base::SetStatusText(out.reason);
        return out.ok();
    };
    const server::FetchedArchive fetched =
        server::FetchArchive(server::RequestKind::Documents, reply, options);
    window_.showDocumentProgress(false);
    if (auto* w = base::mainWindow())
        w->enableCommands(true);
    if (fetched.ok && ViewAfterDownload) {
        const int tab = window_.documentTab();
        OpenSelectedDocument(window_.documentViews(), tab);
    }
    endExchange();
}

void DocumentExchange::endExchange() {
    ViewAfterDownload = false;
    window_.showDocumentProgress(false);
    server::Hourglass(false);
    base::SetStatusText(QString());
    setDocumentsBusy(false);
    base::CloseWaitForm();
    if (auto* w = base::mainWindow())
        w->enableCommands(true);
}

} // namespace brevant::documents
