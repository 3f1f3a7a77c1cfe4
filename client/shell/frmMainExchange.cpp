// The main window's part of the server exchange: its three connections, what the exchange
// needs of the windows (the hourglass, the logon dialog) and the search command.
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "server/frmFind.h"
#include "shell/frmLogon.h"
#include "shell/frmMain.h"

#include "base/modResources.h"
#include "server/frmTrack.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

namespace brevant::shell {

void frmMain::setUpExchange() {
    Wirelet1 = new server::ServerConnection(server::RequestKind::ProjectUpdate, this);
    Wirelet1->setObjectName(QStringLiteral("Wirelet1"));
    Wirelet2 = new server::ServerConnection(server::RequestKind::AccessCheck, this);
    Wirelet2->setObjectName(QStringLiteral("Wirelet2"));
    Wirelet3 = new server::ServerConnection(server::RequestKind::Documents, this);
    Wirelet3->setObjectName(QStringLiteral("Wirelet3"));

    server::ExchangeEnvironment& env = server::exchangeEnvironment();
    env.hourglass = [](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    env.showLogon = [this] {
        frmLogon logon(this);
        logon.exec();
    };
    env.showServerSettings = [this] { ShowPreferences(true); };
}

void frmMain::tearDownExchange() {
    server::Hourglass(false);
    server::exchangeEnvironment() = {};
}

void frmMain::mnuFile_Find_Click() {
    server::frmFind find(this);
    find.exec();
}

void frmMain::scheduleImportScreenshot() {
    const QString path = qEnvironmentVariable("BREVANT_SCREENSHOT_IMPORT");
    if (path.isEmpty())
        return;
    const QString logon = qEnvironmentVariable("BREVANT_DEMO_LOGON");
    modResources::UserName = logon.section(QLatin1Char(':'), 0, 0);
    modResources::Password = logon.section(QLatin1Char(':'), 1);
    // Once the import dialog is up: tick three rows, import, take the picture, close it.
    auto* poll = new QTimer(this);
    auto importing = std::make_shared<bool>(false);
    connect(poll, &QTimer::timeout, this, [path, importing] {
        // Nobody is there to answer a message (no projects returned, a refusal, a skipped
        // project): it is written out and closed, so the picture run always ends.
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            QTextStream(stdout) << "message: " << box->windowTitle() << ": " << box->text()
                                << Qt::endl;
            box->done(QMessageBox::Ok);
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* track = qobject_cast<server::frmTrack*>(w);
            if (!track || !track->isVisible() || *importing)
                continue;
            // The poll goes on while the import runs, for the messages it may show.
            *importing = true;
            auto* list = track->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
            for (int i = 0; i < std::min(3, list->topLevelItemCount()); ++i)
                list->topLevelItem(i)->setCheckState(0, Qt::Checked);
            track->ImportProjects();
            while (track->Busy)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            const bool saved = track->grab().save(path, "PNG");
            QTextStream(stdout) << (saved ? "screenshot written: " : "screenshot failed: ") << path
                                << Qt::endl;
            track->close();
            return;
        }
    });
    QTimer::singleShot(1000, this, [this, poll] {
        poll->start(50);
        server::frmFind find(this);
        find.findChild<QLineEdit*>(QStringLiteral("txtBidDate_0"))
            ->setText(server::LocaleShortDate(QDate::currentDate()));
        find.show();
        find.Search();
        while (find.Busy)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        poll->stop();
        find.close();
        close();
    });
}

} // namespace brevant::shell
