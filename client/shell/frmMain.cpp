// The main window itself: its construction, the status bar, the wait window, the pop-up menus'
// right click, and the commands that only concern the window (preferences, copying text).
// The commands' table is in frmMainMenus.cpp, the centre's panes in frmMainCentre.cpp.
#include "shell/frmMain.h"

#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/ui/Ui.h"
#include "shell/frmPrefs.h"
#include "shell/frmWait.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

namespace brevant::shell {

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent), ImageList1(base::DataFile(QStringLiteral("Graphics/ImageList1"))),
      ImageList2(base::DataFile(QStringLiteral("Graphics/ImageList2"))) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Brevant Desktop"));
    setWindowIcon(QIcon(base::DataFile(QStringLiteral("brevant.png"))));
    buildCentre();
    buildMenus();
    buildToolbar();
    buildKeys();

    statusPanel1 = new QLabel(this);
    statusPanel1->setObjectName(QStringLiteral("Panel1"));
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->addWidget(statusPanel1, 1);
    setStatusBar(bar);

    setUpExchange();
    setUpDocuments();
    setUpListCues();
    resize(1200, 760);
    base::registerMainWindow(this);
}

frmMain::~frmMain() {
    // The lists empty as they are destroyed, after this window's own part is gone.
    for (QTreeWidget* view : {ListView1, ListView2, ListView3, ListView4})
        disconnect(view->model(), nullptr, this, nullptr);
    tearDownExchange();
    base::unregisterMainWindow(this);
    if (wait_)
        delete wait_.data();
}

void frmMain::ShowPreferences(bool atServerSettings) {
    // Another database folder or project store: the whole load runs again on it.
    if (runPreferences(atServerSettings))
        Form_Load();
    else
        updateFirstStep(); // a service address may have been set
}

bool frmMain::runPreferences(bool atServerSettings) {
    PrefsHost host;
    host.programFolder = base::ProgramFolder();
    host.proxyOn = modResources::ProxyOn;
    host.dataLocation = modResources::DataLocation;
    host.connection = modResources::DbConnection.get();
    host.setProxyOn = [](bool on) { modResources::ProxyOn = on; };
    host.setLocations = [](const QString& cache, const QString& data) {
        modResources::CacheLocation = cache;
        modResources::DataLocation = data;
    };
    host.applyHttpProxy = [](const QString& server, int port) {
        modResources::HttpProxy.server = server;
        modResources::HttpProxy.port = port;
    };
    frmPrefs prefs(host, this);
    if (atServerSettings)
        prefs.focusServerSettings();
    prefs.exec();
    return prefs.databaseFolderChanged() || prefs.storeChanged();
}

void frmMain::enableCommands(bool enabled) {
    SSTab1->setEnabled(enabled);
    SSTab2->setEnabled(enabled);
    ListView1->setEnabled(enabled);
    Command2->setEnabled(enabled);
    Command3->setEnabled(enabled);
    Command4->setEnabled(enabled);
    mnuFile->menuAction()->setEnabled(enabled);
    mnuList->menuAction()->setEnabled(enabled);
    mnuOptions->menuAction()->setEnabled(enabled);
    mnuAbout->setEnabled(enabled);
    for (int i : {1, 3, 4, 5, 6, 8, 9, 11, 13})
        buttons_[i]->setEnabled(enabled);
}

void frmMain::CopySelectedText() {
    QTextEdit* source = nullptr;
    if (SSTab1->currentWidget() == Summary)
        source = Summary;
    else if (SSTab1->currentWidget() == Bidders)
        source = Bidders;
    if (!source)
        return;
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(
        source->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
}

void frmMain::SetAllChecked(QTreeWidget* listView, bool checked) {
    for (int i = 0; i < listView->topLevelItemCount(); ++i)
        listView->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void frmMain::popup(QMenu* menu) {
    menu->popup(QCursor::pos());
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop) &&
        watched->parent() == ListView5)
        return ListView5_DragDrop(event);
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        const QObject* control = watched->parent();
        if (control == ListView1)
            popup(mnuList);
        else if (control == ListView2)
            popup(mnuPlans);
        else if (control == ListView3)
            popup(mnuSpecs);
        else if (control == ListView4)
            popup(mnuAdd);
        else if (control == ListView5)
            popup(mnuAttach);
        else if (control == Text2 || control == Summary || control == Bidders ||
                 control == Contacts)
            popup(mnuCPY);
        else
            return QMainWindow::eventFilter(watched, event);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::setStatusText(const QString& text) {
    statusPanel1->setText(text);
}

void frmMain::showWaitForm() {
    if (!wait_) {
        wait_ = new frmWait(this);
        wait_->setCancel(waitCancel_);
    }
    wait_->show();
    wait_->centreOnOwner();
    wait_->raise();
}

void frmMain::closeWaitForm() {
    waitCancel_ = nullptr;
    if (wait_) {
        // It is deleted later; the next wait is a new window, never this one shown again.
        wait_->close();
        wait_ = nullptr;
    }
}

void frmMain::setWaitCancel(std::function<void()> onCancel) {
    waitCancel_ = std::move(onCancel);
    if (wait_)
        wait_->setCancel(waitCancel_);
}

void frmMain::setWaitProgress(std::int64_t done, std::int64_t total) {
    if (wait_)
        wait_->setProgress(done, total);
}

} // namespace brevant::shell
