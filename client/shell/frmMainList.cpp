// The project list of the main window: its columns, filling, sorting, selection, check marks,
// the list commands and the notes box. The queries and statements are the project list core's.
#include "shell/frmMain.h"
#include "shell/frmNotesConflict.h"
#include "store/LostUnit.h"
#include "store/SharedNotes.h"

#include "base/ImageIndexes.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/ui/Ui.h"
#include "reports/FilterMarking.h"
#include "reports/ProjectReports.h"
#include "reports/ReportDisplay.h"
#include "store/LocalSearch.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>

namespace brevant::shell {

namespace {

constexpr int TagRole = Qt::UserRole;        // the row's Job_ID
constexpr int IconRole = Qt::UserRole + 1;   // the row's small icon number
constexpr int HeaderIconRole = Qt::UserRole; // a header's sort icon number

// The hourglass for the life of a command.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

void yield() {
    QCoreApplication::processEvents();
}

void showDbError(const db::DbError& e, const QString& prefix) {
    ui::message(prefix + QStringLiteral("%1 %2").arg(e.number()).arg(e.description()),
                ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::frmMain", "System Error"));
}

// A failed change to one project; a lost connection is said in plain words, naming it.
void showStoreFailure(const db::DbError& e, int jobId) {
    ui::message(store::storeFailureText(*modResources::DbConnection, e, {jobId}), ui::Buttons::Ok,
                ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::frmMain", "System Error"));
}

} // namespace

bool frmMain::AnyChecked(const QTreeWidget* listView) {
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        if (listView->topLevelItem(i)->checkState(0) == Qt::Checked)
            return true;
    }
    return false;
}

void frmMain::SetUpColumns() {
    ListView1->clear();
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    for (QTreeWidget* view : {ListView1, ListView2, ListView3, ListView4, ListView5}) {
        const auto columns = store::columnsOf(view->objectName());
        view->setColumnCount(int(columns.size()));
        QStringList captions;
        for (const auto& c : columns)
            captions << c.caption;
        // The header shows the caption in the user's language; sorting and the stored widths
        // go by the caption itself.
        view->setProperty("columnCaptions", captions);
        QStringList titles;
        for (const QString& caption : captions)
            titles << QCoreApplication::translate("brevant::store::ProjectList",
                                                  caption.toUtf8().constData());
        view->setHeaderLabels(titles);
        for (int i = 0; i < int(columns.size()); ++i)
            view->setColumnWidth(i, store::twipsToPixels(store::columnWidth(columns[i]), dpi) +
                                        (i == 0 ? firstColumnDecoration(view) : 0));
    }
    sort_ = store::SortState();
    showHeaderSortIcons();
    setAttachmentViewMode(store::attachListViewMode());
}

QString frmMain::columnCaption(const QTreeWidget* view, int column) {
    return view->property("columnCaptions").toStringList().value(column);
}

void frmMain::showHeaderSortIcons() {
    QTreeWidgetItem* header = ListView1->headerItem();
    for (int i = 0; i < ListView1->columnCount(); ++i) {
        const int icon = sort_.headerIcon(columnCaption(ListView1, i));
        header->setData(i, HeaderIconRole, icon);
        header->setIcon(i, icon ? ImageList1.icon(icon) : QIcon());
    }
}

QString frmMain::currentFilter() const {
    if (mnuListNewRec->isChecked())
        return QStringLiteral("NEW");
    if (mnuListTrackRec->isChecked())
        return QStringLiteral("TRACK");
    if (mnuListVeiwedRec->isChecked())
        return QStringLiteral("VIEW");
    return QStringLiteral("ALL");
}

void frmMain::ShowFilter(const QString& filter) {
    mnuListAllRec->setChecked(filter == QLatin1String("ALL"));
    mnuListNewRec->setChecked(filter == QLatin1String("NEW"));
    mnuListTrackRec->setChecked(filter == QLatin1String("TRACK"));
    mnuListVeiwedRec->setChecked(filter == QLatin1String("VIEW"));
    clearSearch(); // a chosen filter shows its projects, not what was searched
    LoadProjects(filter, false);
}

void frmMain::setRowIcon(QTreeWidgetItem* item, int icon) {
    item->setData(0, IconRole, icon);
    item->setIcon(0, ImageList1.icon(icon));
}

void frmMain::addProjectRow(const store::ProjectRow& row) {
    auto* item = new QTreeWidgetItem(ListView1);
    item->setText(0, row.dateText);
    item->setText(1, row.name);
    item->setText(2, row.assignment);
    item->setData(0, TagRole, row.jobId);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    setRowIcon(item, row.icon);
    styleBidDate(item);
}

void frmMain::LoadProjects(const QString& filter, bool quiet) {
    if (!modResources::DbConnection || !modResources::DbConnection->isOpen()) {
        ClearProjectDetail();
        return;
    }
    std::vector<store::ProjectRow> rows;
    {
        Hourglass hourglass;
        if (!quiet)
            showWaitForm();
        ListView1->setUpdatesEnabled(false);
        yield();
        const QString search = searchText();
        const auto result = search.isEmpty()
                                ? store::loadProjects(*modResources::DbConnection,
                                                      store::filterFromName(filter), sort_)
                                : store::searchProjects(*modResources::DbConnection, search, sort_);
        rows = result.rows;
        if (rows.empty()) {
            ClearProjectDetail();
            ListView1->clear();
        } else {
            filling_ = true;
            ListView1->clear();
            int added = 0;
            for (const auto& row : rows) {
                addProjectRow(row);
                // Keep the window alive during a long fill without paying a pass per row.
                if (++added % 64 == 0)
                    yield();
            }
            filling_ = false;
        }
        ListView1->setUpdatesEnabled(true);
        showListCount();
        if (!quiet)
            closeWaitForm();
    }
    updateFirstStep();
    if (rows.empty())
        return;
    QTreeWidgetItem* first = ListView1->topLevelItem(0);
    filling_ = true;
    ListView1->setCurrentItem(first);
    filling_ = false;
    const int jobId = first->data(0, TagRole).toInt();
    SelectProject(jobId);
    LoadProjectDetail(jobId);
}

void frmMain::SelectProject(int jobId) {
    if (!modResources::DbConnection || !modResources::DbRecordset)
        return;
    Hourglass hourglass;
    try {
        store::selectProject(*modResources::DbConnection, *modResources::DbRecordset, jobId);
    } catch (const db::DbError& e) {
        showDbError(e, QString());
    }
}

void frmMain::ShowProjects(const QList<int>& jobIds) {
    QTreeWidgetItem* first = nullptr;
    qsizetype firstRank = jobIds.size();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        const qsizetype rank = jobIds.indexOf(item->data(0, TagRole).toInt());
        if (rank < 0)
            continue;
        item->setCheckState(0, Qt::Checked);
        if (rank < firstRank) {
            first = item;
            firstRank = rank;
        }
    }
    if (first) {
        ListView1->scrollToItem(first);
        ListView1_ItemClick(first);
    }
}

void frmMain::LoadProjectDetail(int jobId) {
    for (QTextEdit* box : {Summary, Bidders, Contacts, Updates, Awards})
        box->clear();
    for (QTreeWidget* view : {ListView2, ListView3, ListView4, ListView5})
        view->clear();
    // The report panes, the notes and the frame's caption come from the selected row; the
    // notes box must not write back what it is given.
    QString notes;
    QString title;
    auto& rs = modResources::DbRecordset;
    try {
        if (modResources::DbConnection && rs && rs->isOpen() && !rs->eof()) {
            const reports::Record project = reports::CurrentRecord(*rs);
            const reports::ProjectPanes panes =
                reports::DrawProjectPanes(*modResources::DbConnection, project);
            reports::ShowReport(*Summary->document(), panes.summary);
            reports::ShowReport(*Bidders->document(), panes.bidders);
            reports::ShowReport(*Contacts->document(), panes.contacts);
            reports::ShowReport(*Updates->document(), panes.updates);
            reports::ShowReport(*Awards->document(), panes.awards);
            if (!searchWords_.isEmpty())
                for (QTextEdit* box : {Summary, Bidders, Contacts, Updates, Awards})
                    reports::MarkFilterWords(*box->document(), searchWords_);
            notes = panes.notes;
            title = project.value(QStringLiteral("Name")).toString();
        }
    } catch (const db::DbError& e) {
        showDbError(e, QString());
    }
    LoadDocumentList(QStringLiteral("PLANS"));
    LoadDocumentList(QStringLiteral("SPECS"));
    LoadDocumentList(QStringLiteral("ADD"));
    LoadAttachments(jobId);
    const QSignalBlocker block(Text2);
    Text2->setPlainText(notes);
    notesBase_ = notes;
    Text2->setEnabled(true);
    Frame1->setTitle(title);
}

void frmMain::ClearProjectDetail() {
    // Every pane, Awards too: none may show a project that is no longer listed.
    for (QTextEdit* box : {Summary, Bidders, Contacts, Updates, Awards})
        box->clear();
    {
        // With no project listed there is nothing to take notes for; the recordset may still
        // hold the project listed before, which typing must not overwrite.
        const QSignalBlocker block(Text2);
        Text2->clear();
        Text2->setEnabled(false);
    }
    Frame1->setTitle(QString());
    for (QTreeWidget* view : {ListView1, ListView2, ListView3, ListView4, ListView5})
        view->clear();
}

void frmMain::ListView1_ColumnClick(int column) {
    sort_.clickHeader(columnCaption(ListView1, column));
    showHeaderSortIcons();
    LoadProjects(currentFilter(), false);
}

void frmMain::ListView1_ItemClick(QTreeWidgetItem* item) {
    if (!item || filling_)
        return;
    // A click anywhere on a row, its check box included, makes the row current: the window has
    // one current project, the list's current row, and it is the one on screen.
    if (ListView1->currentItem() != item) {
        filling_ = true;
        ListView1->setCurrentItem(item);
        filling_ = false;
    }
    const int jobId = item->data(0, TagRole).toInt();
    if (store::isChangeMarker(item->data(0, IconRole).toInt()) && modResources::DbConnection) {
        try {
            if (auto icon = store::currentStateIcon(*modResources::DbConnection, jobId))
                setRowIcon(item, *icon);
        } catch (const db::DbError& e) {
            showDbError(e, QString());
        }
    } else if (shownJobId() == jobId) {
        return; // already the current project
    }
    SelectProject(jobId);
    LoadProjectDetail(jobId);
}

std::optional<int> frmMain::shownJobId() const {
    if (!modResources::DbRecordset)
        return std::nullopt;
    try {
        return store::selectedJobId(*modResources::DbRecordset);
    } catch (const db::DbError&) {
        return std::nullopt;
    }
}

std::optional<int> frmMain::selectedJobId() const {
    // The one current project every command acts on: the list's current row, as long as the
    // panes show it (an emptied list or a project not listed is no current project).
    const QTreeWidgetItem* row = ListView1->currentItem();
    if (!row)
        return std::nullopt;
    const int jobId = row->data(0, TagRole).toInt();
    return shownJobId() == jobId ? std::optional<int>(jobId) : std::nullopt;
}

std::vector<int> frmMain::checkedJobIds() const {
    std::vector<int> ids;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            ids.push_back(item->data(0, TagRole).toInt());
    }
    return ids;
}

QTreeWidgetItem* frmMain::FindProjectRow(int jobId) const {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        if (item->data(0, TagRole).toInt() == jobId)
            return item;
    }
    return nullptr;
}

int frmMain::findProjectRow(const QString& jobId) const {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (ListView1->topLevelItem(i)
                ->data(0, TagRole)
                .toString()
                .compare(jobId, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

void frmMain::refreshSelectedProject() {
    const std::optional<int> jobId = selectedJobId();
    if (!jobId)
        return;
    SelectProject(*jobId);
    LoadProjectDetail(*jobId);
}

void frmMain::setProjectRowIcon(int jobId, int icon) {
    if (QTreeWidgetItem* item = FindProjectRow(jobId))
        setRowIcon(item, icon);
}

void frmMain::showChangedBidDate(int jobId, const QString& dateText) {
    QTreeWidgetItem* item = FindProjectRow(jobId);
    if (!item)
        return;
    item->setText(0, store::changedBidDateText(dateText));
    for (int c = 0; c < ListView1->columnCount(); ++c) {
        QFont f = item->font(c);
        f.setBold(true);
        item->setFont(c, f);
    }
    styleBidDate(item);
}

void frmMain::CheckAll() {
    Hourglass hourglass;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void frmMain::UncheckAll() {
    Hourglass hourglass;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        ListView1->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void frmMain::markChecked(bool tagged) {
    if (!modResources::DbConnection)
        return;
    Hourglass hourglass;
    yield();
    auto rowDone = [this](int jobId, int icon) {
        if (QTreeWidgetItem* item = FindProjectRow(jobId)) {
            setRowIcon(item, icon);
            item->setCheckState(0, Qt::Unchecked);
        }
        yield();
    };
    const std::vector<int> ids = checkedJobIds();
    if (tagged)
        store::markTagged(*modResources::DbConnection, ids, rowDone);
    else
        store::markOpened(*modResources::DbConnection, ids, rowDone);
    yield();
}

void frmMain::MarkTagged() {
    markChecked(true);
}

void frmMain::MarkOpened() {
    markChecked(false);
}

void frmMain::DeleteSelectedProjects() {
    if (!modResources::DbConnection)
        return;
    store::DeleteHooks hooks;
    hooks.setStatusText = [this](const QString& t) { setStatusText(t); };
    hooks.showWait = [this] { showWaitForm(); };
    hooks.closeWait = [this] { closeWaitForm(); };
    hooks.yield = [] { yield(); };
    hooks.reload = [this] { LoadProjects(currentFilter(), false); };
    hooks.busyPointer = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    store::deleteProjects(*modResources::DbConnection, modResources::CacheLocation, checkedJobIds(),
                          hooks);
}

void frmMain::Text2_Change() {
    if (!modResources::DbConnection || !Text2->isEnabled())
        return;
    // Only a project that is listed has its notes written.
    const std::optional<int> jobId = selectedJobId();
    if (!jobId || !FindProjectRow(*jobId))
        return;
    const QString mine = Text2->toPlainText();
    store::NotesSave saved;
    try {
        saved = store::saveNotesIfUnchanged(*modResources::DbConnection, *jobId, notesBase_, mine);
    } catch (const db::DbError& e) {
        showStoreFailure(e, *jobId);
        return;
    }
    if (saved.outcome == store::NotesSave::Outcome::Saved) {
        notesBase_ = mine;
        return;
    }
    if (saved.outcome != store::NotesSave::Outcome::Conflict)
        return;
    frmNotesConflict conflict(mine, saved.theirs, this);
    conflict.exec();
    try {
        const QString kept =
            store::resolveNotesConflict(*modResources::DbConnection, *jobId, conflict.choice(),
                                        mine, saved.theirs, QDateTime::currentDateTime());
        notesBase_ = kept;
        if (kept != mine && Text2->toPlainText() == mine) {
            const QSignalBlocker block(Text2);
            Text2->setPlainText(kept);
            Text2->moveCursor(QTextCursor::End); // typing goes on after what was kept
        }
    } catch (const db::DbError& e) {
        showStoreFailure(e, *jobId);
    }
}

} // namespace brevant::shell
