#include "server/ServerSession.h"

#include "base/ProgramFolders.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/archive/ZipReader.h"
#include "platform/wirelet/Wirelet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <filesystem>
#include <harlix/CWinInetConnection.h>

namespace brevant::server {

bool IsOnline() {
    const QHostAddress address(ServerAddress().trimmed());
    if (address.isLoopback() ||
        ServerAddress().trimmed().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    try {
        harlix::CWinInetConnection connection;
        connection.Refresh();
        return connection.get_IsConnected() || connection.get_UseProxy();
    } catch (...) {
        return false;
    }
}

QString ServerAddress() {
    return ReadSetting(QStringLiteral("SERVERADDR"), QStringLiteral("127.0.0.1")).trimmed();
}

int ServerPort() {
    bool ok = false;
    const int port = ReadSetting(QStringLiteral("SERVERPORT"), QStringLiteral("555")).toInt(&ok);
    return ok ? port : 555;
}

int ServerTimeoutSeconds() {
    bool ok = false;
    const int seconds =
        ReadSetting(QStringLiteral("SERVERTIMEOUT"), QStringLiteral("120")).trimmed().toInt(&ok);
    return ok && seconds > 0 ? seconds : 120;
}

void ApplyFirewall(wirelet::Wirelet& control, bool proxyOn) {
    if (!proxyOn) {
        control.FirewallType = wirelet::FirewallNone;
        return;
    }
    control.FirewallType = wirelet::FirewallSocks5;
    control.FirewallHost = ReadSetting(QStringLiteral("PROXYSOCKS"));
    control.FirewallPort =
        ReadSetting(QStringLiteral("PROXYSOCKSPORT"), QStringLiteral("1080")).trimmed().toInt();
    control.FirewallUser = ReadSetting(QStringLiteral("PROXYSOCKSUSER"));
    control.FirewallPassword = ReadSetting(QStringLiteral("PROXYSOCKSPASS"));
}

QString DownloadFolder() {
    QDir program(base::ProgramFolder());
    const QString wanted = QStringLiteral("Download");
    for (const QString& name : program.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return program.filePath(name);
    }
    if (!program.mkpath(wanted))
        return QString();
    return program.filePath(wanted);
}

bool UnpackArchive(const QString& archivePath, const QString& destinationFolder,
                   QString* writtenPath) {
    namespace fs = std::filesystem;
    const fs::path folder = destinationFolder.toStdString();
    std::error_code ec;
    if (!fs::is_directory(folder, ec) || !fs::is_empty(folder, ec) || ec)
        return false;
    try {
        fs::path written;
        {
            const archive::ZipReader reader(archivePath.toStdString());
            if (reader.entryCount() < 1)
                return false;
            const fs::space_info space = fs::space(folder, ec);
            if (ec || reader.entrySize(0) > space.available)
                return false;
            written = reader.extract(0, folder, MaxUnpackedDocumentBytes);
        }
        // The archive has served its purpose; left here, one would pile up per exchange.
        QFile::remove(archivePath);
        if (writtenPath)
            *writtenPath = QString::fromStdString(written.string());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

ExchangeEnvironment& exchangeEnvironment() {
    static ExchangeEnvironment environment;
    return environment;
}

namespace {
bool g_hourglass = false;
} // namespace

void Hourglass(bool on) {
    if (on == g_hourglass)
        return;
    g_hourglass = on;
    if (exchangeEnvironment().hourglass)
        exchangeEnvironment().hourglass(on);
}

void ShowLogon() {
    if (exchangeEnvironment().showLogon)
        exchangeEnvironment().showLogon();
    else
        modResources::LogonCancelled = true;
}

QString ServerSettingsCaption() {
    return QCoreApplication::translate("brevant::server::ServerSession", "Server &Settings ...");
}

bool ShowConnectionProblem(const QString& text, ui::Icon icon, const QString& title) {
    if (!exchangeEnvironment().showServerSettings) {
        ui::message(text, ui::Buttons::Ok, icon, title);
        return false;
    }
    return ui::current().messageWithAction(text, ui::Buttons::Ok, icon, title,
                                           ServerSettingsCaption()) == ui::Answer::Action;
}

void ShowServerSettings() {
    // Copied: the dialog may outlive a window that installs another environment meanwhile.
    if (const std::function<void()> settings = exchangeEnvironment().showServerSettings)
        settings();
}

} // namespace brevant::server
