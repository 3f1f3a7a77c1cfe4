#include "server/frmTrack.h"

#include "base/MainWindow.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "server/ArchiveFetch.h"
#include "server/FileReference.h"
#include "server/ListingImport.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "store/BidDay.h"
#include "store/ProjectList.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

namespace brevant::server {

namespace {
constexpr int TagRole = Qt::UserRole;
constexpr int SortIconRole = Qt::UserRole; // on the header item: 0 none, 1 ascending, 2 descending
constexpr int BidDateColumn = 3;
constexpr int BidDayRole = Qt::UserRole + 1; // the bid date's day, which orders that column

// A row whose bid date column orders by day, not by its text (1/11 after 1/4).
class ProjectItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column != BidDateColumn)
            return QTreeWidgetItem::operator<(other);
        return data(BidDateColumn, BidDayRole).toDate() <
               other.data(BidDateColumn, BidDayRole).toDate();
    }
};

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
} // namespace

frmTrack::frmTrack(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTrack"));
    setWindowTitle(tr("Tracking Projects"));
    setModal(true);

    lblPurpose =
        new QLabel(tr("These projects were found on the service and are not in your project "
                      "list yet. The ones you import are kept in your list and can be checked "
                      "for updates."),
                   this);
    lblPurpose->setObjectName(QStringLiteral("lblPurpose"));
    lblPurpose->setWordWrap(true);
    Label1 =
        new QLabel(tr("Select the jobs you wish to track and press the \"Import\" button"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setHeaderLabels({tr("Job Name"), tr("City"), tr("State"), tr("Bid Date")});
    ListView1->setSortingEnabled(false);
    ListView1->header()->setSectionsClickable(true);
    ListView1->setColumnWidth(0, 330);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1_ColumnClick(column); });

    Command1 = button(this, "Command1", tr("&IMPORT"));
    Command2 = button(this, "Command2", tr("&CANCEL"));
    Command3_0 = button(this, "Command3_0", tr("&SELECT ALL"));
    Command3_1 = button(this, "Command3_1", tr("CLEAR &ALL"));
    connect(Command1, &QPushButton::clicked, this, [this] { ImportProjects(); });
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (Busy)
            CancelImport();
        else
            close();
    });
    connect(Command3_0, &QPushButton::clicked, this, [this] { selectAll(true); });
    connect(Command3_1, &QPushButton::clicked, this, [this] { selectAll(false); });

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setVisible(false);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3_0);
    buttons->addWidget(Command3_1);
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPurpose);
    layout->addWidget(Label1);
    layout->addWidget(ListView1, 1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    resize(720, 420);

    Wirelet1 = new ServerConnection(RequestKind::ProjectListing, this);
    Wirelet1->setObjectName(QStringLiteral("Wirelet1"));
    Wirelet1->onLabel = [this](const QString& text) { lblStatus->setText(text); };
    Wirelet1->onReply = [this](const QByteArray& text) { listingReplied(text); };
    Wirelet1->onEnded = [this] { requestEnded(); };
}

frmTrack::~frmTrack() = default;

void frmTrack::addProject(const FoundProject& p) {
    auto* item =
        new ProjectItem(ListView1, {p.name, p.city, p.state, store::bidDateText(p.dueDate)});
    item->setData(0, TagRole, p.jobId);
    item->setData(BidDateColumn, BidDayRole, store::bidDay(p.dueDate));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
}

void frmTrack::selectAll(bool checked) {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void frmTrack::ListView1_ColumnClick(int column) {
    QTreeWidgetItem* header = ListView1->headerItem();
    const bool descending = header->data(column, SortIconRole).toInt() == 1;
    for (int i = 0; i < ListView1->columnCount(); ++i) {
        header->setData(i, SortIconRole, 0);
        header->setIcon(i, QIcon());
    }
    header->setData(column, SortIconRole, descending ? 2 : 1);
    header->setIcon(column,
                    style()->standardIcon(descending ? QStyle::SP_ArrowDown : QStyle::SP_ArrowUp));
    ListView1->sortItems(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmTrack::EnableImportControls(bool enabled) {
    Command3_0->setEnabled(enabled);
    Command3_1->setEnabled(enabled);
    Command1->setEnabled(enabled);
    Command2->setEnabled(enabled);
    ListView1->setEnabled(enabled);
}

void frmTrack::ImportProjects() {
    Hourglass(true);
    if (!IsOnline()) {
        const KindMessage& m = kindTexts(RequestKind::ProjectListing).noInternet;
        ui::message(m.text, ui::Buttons::Ok, m.icon, tr("System Message"));
        Hourglass(false);
        return;
    }
    argument_.clear();
    Busy = true;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            argument_ += item->data(0, TagRole).toString() + QLatin1Char(',');
    }
    if (argument_.isEmpty()) {
        Busy = false;
        Hourglass(false);
        return;
    }
    EnableImportControls(false);
    cancelled_ = std::make_shared<bool>(false);
    Command2->setEnabled(true); // "&CANCEL" stops the import
    argument_.chop(1);
    const ServerConnection::Open result = Wirelet1->OpenConnection(argument_);
    if (result != ServerConnection::Open::Connecting && result != ServerConnection::Open::Sent) {
        Busy = false;
        EnableImportControls(true);
    }
}

void frmTrack::CancelImport() {
    if (!Busy)
        return;
    *cancelled_ = true;
    Command2->setEnabled(false);
    if (!Wirelet1->active())
        return; // the download or the import sees the cancel and ends itself
    // No reply yet: nothing was fetched, so nothing is to be undone.
    Wirelet1->Disconnect();
    Hourglass(false);
    requestEnded();
    base::SetStatusText(ImportCancelledText());
    lblStatus->setText(ImportCancelledText());
}

QString frmTrack::ImportCancelledText() {
    return tr("Import cancelled -- nothing was imported");
}

void frmTrack::listingReplied(const QByteArray& text) {
    lblStatus->setText(tr("Processing..."));
    lblStatus->setText(tr("Retrieving Project File ..."));
    FetchOptions options;
    options.progress = [this](std::int64_t received, std::int64_t total) {
        if (ProgressBar1->maximum() <= 0 && total > 0)
            ProgressBar1->setMaximum(int(std::min<std::int64_t>(total, INT_MAX)));
        ProgressBar1->setValue(int(std::min<std::int64_t>(received, ProgressBar1->maximum())));
    };
    const std::int64_t announced = ParseFileReference(QString::fromUtf8(text)).size;
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(int(std::min<std::int64_t>(announced, INT_MAX)));
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(true);
    options.cancelled = [cancelled = cancelled_] { return *cancelled; };
    ListingTransfer = true;
    const FetchedArchive fetched =
        FetchArchive(RequestKind::ProjectListing, QString::fromUtf8(text), options);
    ListingTransfer = false;
    Wirelet1->reply().reset();
    if (!fetched.ok) {
        ProgressBar1->setVisible(false);
        lblStatus->clear();
        if (fetched.cancelled) {
            lblStatus->setText(ImportCancelledText());
            base::SetStatusText(ImportCancelledText());
        }
        Busy = false;
        // The user can only go on if the buttons work again.
        EnableImportControls(true);
        return;
    }
    FinishImport(fetched.unpackedPath);
}

void frmTrack::FinishImport(const QString& path) {
    Wirelet1->Disconnect();
    ProgressBar1->setVisible(false);
    std::optional<ImportOutcome> outcome;
    if (modResources::DbConnection)
        outcome = ImportListing(
            path, *modResources::DbConnection, [] { QCoreApplication::processEvents(); },
            [cancelled = cancelled_] { return *cancelled; });
    QFile::remove(path);
    int removed = 0;
    for (int i = ListView1->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        if (item->checkState(0) != Qt::Checked)
            continue;
        // A project that could not be imported stays offered, so it can be tried again.
        const int jobId = item->data(0, TagRole).toInt();
        if (modResources::DbConnection &&
            CountLocalProject(*modResources::DbConnection, jobId) == 0)
            continue;
        delete ListView1->takeTopLevelItem(i);
        ++removed;
    }
    Hourglass(false);
    Command1->setEnabled(true);
    lblStatus->clear();
    base::SetStatusText(QString());
    if (removed > 0 && base::mainWindow())
        base::mainWindow()->loadProjects(QStringLiteral("ALL"), false);
    if (outcome && outcome->status == ImportOutcome::Status::Imported) {
        // Said where the user looks next: the dialog and the main window behind it.
        lblStatus->setText(ImportedStatusText(*outcome));
        base::SetStatusText(ImportedStatusText(*outcome));
    }
    EnableImportControls(true);
    Busy = false;
}

void frmTrack::requestEnded() {
    lblStatus->clear();
    ProgressBar1->setVisible(false);
    EnableImportControls(true);
    Busy = false;
}

void frmTrack::closeEvent(QCloseEvent* event) {
    if (Busy) {
        ui::message(tr("Cannot close window while importing data ..."), ui::Buttons::Ok,
                    ui::Icon::Exclamation, tr("System Message"));
        event->ignore();
        return;
    }
    Wirelet1->Disconnect();
    QDialog::closeEvent(event);
}

void frmTrack::reject() {
    // Escape and "&CANCEL" go through close(), which refuses while importing.
    if (Busy) {
        ui::message(tr("Cannot close window while importing data ..."), ui::Buttons::Ok,
                    ui::Icon::Exclamation, tr("System Message"));
        return;
    }
    Wirelet1->Disconnect();
    QDialog::reject();
}

} // namespace brevant::server
