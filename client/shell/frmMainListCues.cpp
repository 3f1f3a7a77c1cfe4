// What the lists tell at a glance: the project list's count in the status bar, what an empty
// list says to do, bids whose date has passed in grey italics, the count under each document
// list, and the rows a command changed brought into view.
#include "documents/DocumentLists.h"
#include "shell/frmMain.h"
#include "store/BidDay.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <QDate>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace brevant::shell {

namespace {
constexpr int TagRole = Qt::UserRole;
} // namespace

void frmMain::setUpListCues() {
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    statusBar()->addPermanentWidget(lblCount);

    // Over the empty list, centred in it.
    lblEmptyList = new QLabel(store::emptyProjectListText(), ListView1->viewport());
    lblEmptyList->setObjectName(QStringLiteral("lblEmptyList"));
    lblEmptyList->setAlignment(Qt::AlignCenter);
    lblEmptyList->setWordWrap(true);
    lblEmptyList->setEnabled(false); // drawn in the muted colour of a hint
    lblEmptyList->setAttribute(Qt::WA_TransparentForMouseEvents); // the list's menu still opens
    auto* over = new QVBoxLayout(ListView1->viewport());
    over->addWidget(lblEmptyList);
    connect(ListView1->model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!filling_)
            showListCount();
    });
    connect(ListView1->model(), &QAbstractItemModel::modelReset, this, [this] {
        if (!filling_)
            showListCount();
    });

    QTreeWidget* const lists[] = {ListView2, ListView3, ListView4};
    for (int list = 0; list < 3; ++list) {
        auto* label = new QLabel(lists[list]->parentWidget());
        label->setObjectName(QStringLiteral("lblDocumentCount%1").arg(list));
        if (QLayout* page = lists[list]->parentWidget()->layout())
            page->addWidget(label);
        lblDocumentCount[list] = label;
        QTreeWidget* view = lists[list];
        auto count = [this, list, view] {
            lblDocumentCount[list]->setText(
                documents::documentCountText(list, view->topLevelItemCount()));
        };
        connect(view->model(), &QAbstractItemModel::rowsInserted, this, count);
        connect(view->model(), &QAbstractItemModel::rowsRemoved, this, count);
        connect(view->model(), &QAbstractItemModel::modelReset, this, count);
        count();
    }
    showListCount();
}

void frmMain::showListCount() {
    const int count = ListView1->topLevelItemCount();
    lblCount->setText(store::projectCountText(count));
    // A filter or a search that finds nothing is not an empty database: no hint there.
    lblEmptyList->setVisible(count == 0 && searchText().isEmpty() &&
                             currentFilter() == QLatin1String("ALL"));
}

void frmMain::styleBidDate(QTreeWidgetItem* item) const {
    const bool past = store::isPastDue(item->text(0), QDate::currentDate());
    for (int c = 0; c < ListView1->columnCount(); ++c) {
        QFont f = item->font(c);
        f.setItalic(past);
        item->setFont(c, f);
        item->setForeground(c, past ? palette().brush(QPalette::Disabled, QPalette::Text)
                                    : palette().brush(QPalette::Active, QPalette::Text));
        item->setToolTip(
            c, past ? QCoreApplication::translate("brevant::shell::frmMain", "Bid date has passed")
                    : QString());
    }
}

void frmMain::showChangedRows(const std::vector<int>& jobIds) {
    QTreeWidgetItem* first = nullptr;
    QTreeWidgetItem* current = ListView1->currentItem();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        const int jobId = item->data(0, TagRole).toInt();
        if (std::find(jobIds.begin(), jobIds.end(), jobId) == jobIds.end())
            continue;
        if (!first)
            first = item;
        if (item == current) {
            ListView1->scrollToItem(current);
            return;
        }
    }
    if (!first)
        return;
    // Made current as a fill does, so the row keeps its update marker.
    filling_ = true;
    ListView1->setCurrentItem(first);
    filling_ = false;
    ListView1->scrollToItem(first);
    const int jobId = first->data(0, TagRole).toInt();
    SelectProject(jobId);
    LoadProjectDetail(jobId);
}

} // namespace brevant::shell
