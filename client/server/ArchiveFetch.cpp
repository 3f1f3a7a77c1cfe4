#include "server/ArchiveFetch.h"

#include "base/MainWindow.h"
#include "base/modResources.h"
#include "platform/archive/ArchiveError.h"
#include "platform/http/Download.h"
#include "server/FileReference.h"
#include "server/ServerConnection.h"
#include "server/ServerSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace brevant::server {

namespace {

FetchedArchive failed(const QString& message) {
    ui::message(message, ui::Buttons::Ok, ui::Icon::Critical,
                QCoreApplication::translate("brevant::server::ArchiveFetch", "System Message"));
    Hourglass(false);
    base::SetStatusText(QString());
    return {};
}

} // namespace

FetchedArchive FetchArchive(RequestKind kind, const QString& replyText,
                            const FetchOptions& options) {
    const KindTexts& texts = kindTexts(kind);
    base::SetStatusText(texts.retrieving);
    const FileReference ref = ParseFileReference(replyText);

    const QString folder = DownloadFolder();
    const QString name = ref.fileName();
    // A name that would leave the "Download" folder is no archive of ours.
    if (folder.isEmpty() || name.isEmpty() || name == QLatin1String(".") ||
        name == QLatin1String("..") || name.contains(QLatin1Char('\\')))
        return failed(texts.downloadFailed);

    FetchedArchive result;
    result.announcedSize = ref.size;
    result.archivePath = QDir(folder).filePath(name);

    http::DownloadOptions download;
    download.proxyHost = modResources::HttpProxy.server;
    download.proxyPort = modResources::HttpProxy.port;
    download.idleTimeoutSeconds = ServerTimeoutSeconds();
    // The same slowest rate as the exchange itself (SERVERMINRATE, 0 for none).
    download.minBytesPerSecond = std::int64_t(ServerMinRateKilobytes()) * 1024;
    download.progress = options.progress;
    download.cancelled = options.cancelled;
    const QString downloaded = http::DownloadFile(ref.url, result.archivePath, download);
    if (options.cancelled && options.cancelled()) {
        // Whole or not, a cancelled archive is not used: nothing of it stays.
        if (downloaded == QLatin1String("OK"))
            QFile::remove(result.archivePath);
        Hourglass(false);
        base::SetStatusText(QString());
        FetchedArchive cancelled;
        cancelled.cancelled = true;
        return cancelled;
    }
    if (downloaded != QLatin1String("OK"))
        return failed(texts.downloadFailed);

    bool unpacked = false;
    if (options.unpack) {
        unpacked = options.unpack(result.archivePath);
    } else {
        try {
            result.unpackFolder =
                std::make_shared<const archive::TempFolder>(folder.toStdString(), "unpack");
            unpacked = UnpackArchive(result.archivePath,
                                     QString::fromStdString(result.unpackFolder->path().string()),
                                     &result.unpackedPath);
        } catch (const archive::ArchiveError&) {
            unpacked = false;
        }
    }
    if (!unpacked)
        return failed(texts.unpackFailed);
    result.ok = true;
    return result;
}

} // namespace brevant::server
