// The main window's part of the server exchange: its three connections, what the exchange
// needs of the windows (the hourglass, the logon dialog) and the search command.
#include "server/ServerConnection.h"
#include "server/ServerSession.h"
#include "shell/frmLogon.h"
#include "shell/frmMain.h"

#include <QApplication>

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
}

void frmMain::tearDownExchange() {
    server::Hourglass(false);
    server::exchangeEnvironment() = {};
}

void frmMain::mnuFile_Find_Click() {
    NotAvailable(QStringLiteral("Find Projects (Online)"));
}

} // namespace brevant::shell
