// The main window's part of the project documents: the three document lists, their download
// commands, double-clicks, "View Plans", clearing the cache and the progress bars of a download.
// What the commands do lives in client/documents.
#include "base/modResources.h"
#include "documents/DocumentCache.h"
#include "documents/DocumentLists.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "shell/frmMain.h"

#include <QProgressBar>
#include <QTabWidget>
#include <QTreeWidget>

namespace brevant::shell {

namespace {

constexpr int TagRole = Qt::UserRole;      // File or Spec
constexpr int IconRole = Qt::UserRole + 1; // small icon: 1 not cached, 2 cached
constexpr int KeyRole = Qt::UserRole + 2;  // the row's key

// The three document lists as DocumentViews.
class ListViews : public documents::DocumentViews {
public:
    ListViews(QTreeWidget* plans, QTreeWidget* specs, QTreeWidget* addenda, QTabWidget* tabs,
              const ui::ImageList& images)
        : lists_{plans, specs, addenda}, tabs_(tabs), images_(images) {}

    int rowCount(int list) const override { return lists_[list]->topLevelItemCount(); }
    documents::DocumentRow row(int list, int index) const override {
        const QTreeWidgetItem* item = lists_[list]->topLevelItem(index);
        documents::DocumentRow r;
        r.text = item->text(0);
        r.subItem = item->text(1);
        r.tag = item->data(0, TagRole).toString();
        r.key = item->data(0, KeyRole).toString();
        r.icon = item->data(0, IconRole).toInt();
        r.checked = item->checkState(0) == Qt::Checked;
        return r;
    }
    void setChecked(int list, int index, bool checked) override {
        lists_[list]->topLevelItem(index)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
    void setIcon(int list, int index, int icon) override {
        QTreeWidgetItem* item = lists_[list]->topLevelItem(index);
        item->setData(0, IconRole, icon);
        item->setIcon(0, images_.icon(icon));
    }
    void showRow(int list, int index) override {
        QTreeWidgetItem* item = lists_[list]->topLevelItem(index);
        lists_[list]->scrollToItem(item);
        lists_[list]->setCurrentItem(item);
    }
    int selectedRow(int list) const override {
        QTreeWidgetItem* item = lists_[list]->currentItem();
        return item && item->isSelected() ? lists_[list]->indexOfTopLevelItem(item) : -1;
    }
    void showList(int list) override { tabs_->setCurrentIndex(list); }

    void fill(int list, const std::vector<documents::DocumentRow>& rows) {
        QTreeWidget* view = lists_[list];
        view->clear();
        QList<QTreeWidgetItem*> items;
        for (const auto& r : rows) {
            auto* item = new QTreeWidgetItem;
            item->setText(0, r.text);
            if (list != documents::PlanList)
                item->setText(1, r.subItem);
            item->setData(0, TagRole, r.tag);
            item->setData(0, KeyRole, r.key);
            item->setData(0, IconRole, r.icon);
            item->setIcon(0, images_.icon(r.icon));
            item->setCheckState(0, Qt::Unchecked);
            items << item;
        }
        view->addTopLevelItems(items);
        // Plan and section names are long and alike at the start: each column is made as wide
        // as its longest text, so that no name is cut short.
        if (!items.isEmpty())
            for (int c = 0; c < view->columnCount(); ++c)
                view->resizeColumnToContents(c);
    }

private:
    QTreeWidget* lists_[3];
    QTabWidget* tabs_;
    const ui::ImageList& images_;
};

} // namespace

void frmMain::setUpDocuments() {
    documentViews_ =
        std::make_unique<ListViews>(ListView2, ListView3, ListView4, SSTab2, ImageList2);
    documentExchange_ = new documents::DocumentExchange(*Wirelet2, *Wirelet3, *this, this);
    QTreeWidget* const lists[] = {ListView2, ListView3, ListView4};
    for (int list = 0; list < 3; ++list) {
        connect(lists[list], &QTreeWidget::itemDoubleClicked, this,
                [this, list] { DocumentList_DblClick(list); });
    }
    showDocumentProgress(false);
}

documents::DocumentViews& frmMain::documentViews() {
    return *documentViews_;
}

void frmMain::LoadDocumentList(const QString& kind) {
    const int list = documents::documentListOfKind(kind);
    const int job = documents::CurrentJobId();
    if (list < 0 || !modResources::DbConnection || job == 0)
        return;
    try {
        if (auto rows = documents::LoadDocumentList(*modResources::DbConnection, job, kind))
            static_cast<ListViews&>(*documentViews_).fill(list, *rows);
    } catch (const db::DbError& e) {
        ui::message(QStringLiteral("%1 %2").arg(e.number()).arg(e.description()), ui::Buttons::Ok,
                    ui::Icon::Exclamation, tr("System Error"));
    }
}

void frmMain::mnuDownloadSelected_Click(int list) {
    documentExchange_->DownloadSelected(list);
}

void frmMain::DownloadAllDocuments() {
    documentExchange_->DownloadAll();
}

void frmMain::DocumentList_DblClick(int list) {
    documentExchange_->DoubleClick(list);
}

void frmMain::mnuPlansView_Click() {
    documents::OpenPlanSet();
}

void frmMain::mnuFileClear_Click() {
    if (!modResources::DbConnection)
        return;
    documents::ClearCacheCommand(*modResources::DbConnection, modResources::CacheLocation,
                                 [](bool on) { server::Hourglass(on); });
}

int frmMain::documentTab() const {
    return SSTab2->currentIndex();
}

void frmMain::setDocumentTab(int tab) {
    SSTab2->setCurrentIndex(tab);
}

void frmMain::showDocumentProgress(bool shown) {
    // The bars sit in the lists' own pages below them: showing one takes its height from the
    // list, hiding it gives the height back.
    for (QProgressBar* bar : {ProgressBar2, ProgressBar3, ProgressBar4}) {
        bar->setValue(0);
        bar->setVisible(shown);
    }
}

void frmMain::setDocumentProgress(std::int64_t received, std::int64_t total) {
    for (QProgressBar* bar : {ProgressBar2, ProgressBar3, ProgressBar4}) {
        // QProgressBar counts in int: large archives are shown in kilobytes.
        const bool kilo = total > (std::int64_t(1) << 30) || received > (std::int64_t(1) << 30);
        const int max = int(kilo ? total / 1024 : total);
        const int value = int(kilo ? received / 1024 : received);
        bar->setRange(0, std::max(max, value));
        bar->setValue(value);
    }
}

} // namespace brevant::shell
