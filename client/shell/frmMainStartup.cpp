// The main window's load and close, and the process entry that shows it after the splash.
#include "shell/frmMain.h"

#include "base/ProgramFolders.h"
#include "platform/ui/Ui.h"
#include "shell/CommandLine.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/WindowMemory.h"
#include "shell/frmSplash.h"
#include "shell/frmWait.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QPushButton>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

namespace brevant::shell {

void frmMain::Form_Load() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The store's message box and Preferences need the arrow.
    const auto openPreferences = [this] {
        QApplication::restoreOverrideCursor();
        runPreferences(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    };
    startupAbandoned_ = !InitializeApplication(openPreferences) && StartupAbandoned();
    if (startupAbandoned_) {
        QApplication::restoreOverrideCursor();
        // A reload from Preferences: the shown window closes, and the program with it.
        if (isVisible())
            QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    SetToolbarImages();
    QApplication::restoreOverrideCursor();

    BuildMenuBitmaps();
    SetUpColumns();
    // The filter, sort and project of the last run (a first start: all projects by bid date).
    const WindowMemory memory = ReadWindowMemory();
    restoreWindowMemory(memory);
    Command2->setVisible(true);
    Command3->setVisible(false);
    Command4->setVisible(false);
    LoadProjects(currentFilter(), true);
    selectRememberedProject(memory.currentJobId);
    DocumentsBusy = false;
    documentTab_ = SSTab2->currentIndex();
    QCoreApplication::processEvents();
    ShowUpdateReminder();
}

bool frmMain::Form_QueryUnload() {
    if (!UpdateBusy && !DocumentsBusy)
        return true;
    return ui::message(tr("System Currently Processing - Close Anyway? ..."), ui::Buttons::YesNo,
                       ui::Icon::Critical, tr("System Message")) == ui::Answer::Yes;
}

void frmMain::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    std::vector<ColumnWidth> widths;
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96.0;
    for (QTreeWidget* view : {ListView1, ListView2, ListView3, ListView4, ListView5}) {
        for (int i = 0; i < view->columnCount(); ++i)
            widths.emplace_back(columnCaption(view, i),
                                store::pixelsToTwips(view->columnWidth(i) -
                                                         (i == 0 ? firstColumnDecoration(view) : 0),
                                                     dpi));
    }
    saveWindowMemory();
    SaveListLayout(widths, attachmentViewMode());
    CloseDatabase();
    showWaitForm();
    QCoreApplication::processEvents();
    CompactDesktopDatabase();
    closeWaitForm();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!unloaded_ && !Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

namespace {

// How long the splash stays: three seconds, shorter only where tests and the demo ask.
int splashHoldMs() {
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("BREVANT_SPLASH_MS", &ok);
    return ok && ms >= 0 ? ms : 3000;
}

// Grabs the shown main window into the file named by BREVANT_SCREENSHOT, then closes it.
void scheduleScreenshot(frmMain* window) {
    const QString path = qEnvironmentVariable("BREVANT_SCREENSHOT");
    if (path.isEmpty())
        return;
    QTimer::singleShot(800, window, [window, path] {
        QCoreApplication::processEvents();
        const bool saved = window->grab().save(path, "PNG");
        QTextStream(stdout) << (saved ? "screenshot written: " : "screenshot failed: ") << path
                            << Qt::endl;
        window->close();
    });
}

} // namespace

bool BringToFront(QWidget* window) {
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // A dialog open over the window stays in front of it, where the user left it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
        modal->raise();
        modal->activateWindow();
    }
    return window->isVisible();
}

int Main() {
    SingleInstance guard(base::ProgramFolder());
    if (!guard.acquire()) {
        // Only another copy is a notice; anything else keeps the program from working at all.
        const bool another = guard.heldByAnotherCopy();
        // The running copy shows its window instead; the message is for when it cannot.
        if (another && guard.askRunningCopyToShow())
            return 0;
        ui::message(guard.failureText(), ui::Buttons::Ok,
                    another ? ui::Icon::Exclamation : ui::Icon::Critical,
                    another
                        ? QCoreApplication::translate("brevant::shell::frmMain", "System Message")
                        : QCoreApplication::translate("brevant::shell::frmMain", "System Error"));
        return another ? 0 : 1;
    }
    QApplication::setWindowIcon(QIcon(base::DataFile(QStringLiteral("brevant.png"))));

    QPointer<frmSplash> splash = new frmSplash;
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();

    auto* window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    if (window->startupAbandoned()) {
        if (splash)
            splash->close();
        delete window;
        return 1;
    }

    // The hold counts from the end of the load; no events are handled meanwhile.
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    const int hold = splashHoldMs();
    for (qint64 left = hold; left > 0; left = hold - (QDateTime::currentMSecsSinceEpoch() - start))
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 50)));

    if (splash)
        splash->close();
    window->show();
    if (!ProjectsToShow().isEmpty())
        window->ShowProjects(ProjectsToShow());
    QCoreApplication::processEvents();
    guard.setShowHandler(
        [window = QPointer<frmMain>(window)] { return window && BringToFront(window); });
    scheduleScreenshot(window);
    window->scheduleImportScreenshot();
    return QApplication::exec();
}

} // namespace brevant::shell
