#include "platform/http/Download.h"

#include "platform/archive/ArchiveError.h"
#include "platform/archive/TempFile.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <optional>

namespace brevant::http {

namespace {

// Network error numbers of our own for failures that are not the transfer's HTTP status.
constexpr int TimedOutError = 10060;
constexpr int TooLargeError = 10040;
constexpr int WriteError = 29; // the file could not be written

QString errorText(int number, const QString& description) {
    return QStringLiteral("%1 %2").arg(number).arg(description);
}

} // namespace

QString DownloadFile(const QString& url, const QString& localPath, const DownloadOptions& options) {
    const QUrl u(url);
    if (!u.isValid() ||
        (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")))
        return errorText(int(QNetworkReply::ProtocolUnknownError),
                         QStringLiteral("Unsupported or invalid URL: ") + url);

    // A new file beside the target, renamed over it when complete: a symbolic link or anything
    // else at the target's name is replaced, never opened or written through.
    const std::filesystem::path target(QFile::encodeName(localPath).toStdString());
    std::optional<archive::TempFile> file;
    try {
        file.emplace(target);
    } catch (const archive::ArchiveError& e) {
        return errorText(WriteError, QString::fromLocal8Bit(e.what()));
    }

    QNetworkAccessManager manager;
    if (!options.proxyHost.trimmed().isEmpty())
        manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, options.proxyHost.trimmed(),
                                       quint16(options.proxyPort)));
    else
        manager.setProxy(QNetworkProxy::NoProxy);

    QNetworkRequest request(u);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = manager.get(request);
    // Without a bound the network side reads as fast as the peer sends, whatever the disk keeps up.
    reply->setReadBufferSize(DownloadReadBufferBytes);

    QEventLoop loop;
    QTimer idle, deadline;
    idle.setSingleShot(true);
    deadline.setSingleShot(true);
    QElapsedTimer clock;
    clock.start();
    QString failure;
    std::int64_t arrived = 0;  // bytes taken from the peer, counted as they arrive
    std::int64_t received = 0; // bytes written to the file
    int errorStatus = 0;       // an HTTP status of 400 or above, with its reason
    QString errorReason;

    auto fail = [&](const QString& text) {
        if (failure.isEmpty())
            failure = text;
        reply->abort();
    };
    auto restartIdle = [&] {
        if (options.idleTimeoutSeconds > 0)
            idle.start(options.idleTimeoutSeconds * 1000);
    };
    // The transfer may last the idle time-out plus one second per minBytesPerSecond arrived.
    auto armDeadline = [&] {
        if (options.idleTimeoutSeconds <= 0 || options.minBytesPerSecond <= 0)
            return;
        const std::int64_t allowedMs = std::int64_t(options.idleTimeoutSeconds) * 1000 +
                                       arrived * 1000 / options.minBytesPerSecond;
        const std::int64_t left = allowedMs - clock.elapsed();
        deadline.start(int(std::clamp<std::int64_t>(left, 0, std::numeric_limits<int>::max())));
    };
    auto timedOut = [&] { fail(errorText(TimedOutError, QStringLiteral("Connection timed out"))); };
    auto tooLarge = [&] {
        fail(errorText(TooLargeError, QStringLiteral("The file is larger than allowed")));
    };

    // A cancel is seen with the next bytes, or by this check while none arrive.
    QTimer cancelCheck;
    auto checkCancelled = [&] {
        if (options.cancelled && options.cancelled())
            fail(errorText(DownloadCancelledError, QStringLiteral("Operation cancelled")));
    };
    if (options.cancelled) {
        QObject::connect(&cancelCheck, &QTimer::timeout, &loop, checkCancelled);
        cancelCheck.start(100);
    }

    QObject::connect(&idle, &QTimer::timeout, &loop, timedOut);
    QObject::connect(&deadline, &QTimer::timeout, &loop, timedOut);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400) {
            // An error page is not the file: its body is not read at all.
            errorStatus = status;
            errorReason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            reply->abort();
            return;
        }
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > options.maxBytes)
            tooLarge();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 bytes, qint64) {
        restartIdle();
        arrived = std::max<std::int64_t>(arrived, bytes);
        if (arrived > options.maxBytes)
            tooLarge();
        else
            armDeadline();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        restartIdle();
        const QByteArray piece = reply->readAll();
        if (errorStatus != 0 || !failure.isEmpty())
            return;
        received += piece.size();
        if (received > options.maxBytes) {
            tooLarge();
            return;
        }
        try {
            file->write(piece.constData(), std::size_t(piece.size()));
        } catch (const archive::ArchiveError& e) {
            fail(errorText(WriteError, QString::fromLocal8Bit(e.what())));
            return;
        }
        if (options.progress)
            options.progress(received,
                             reply->header(QNetworkRequest::ContentLengthHeader).isValid()
                                 ? reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()
                                 : -1);
        checkCancelled();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    restartIdle();
    armDeadline();
    if (!reply->isFinished())
        loop.exec();
    idle.stop();
    deadline.stop();
    cancelCheck.stop();
    if (failure.isEmpty())
        checkCancelled(); // a cancel during the last piece still leaves no file

    QString result;
    if (!failure.isEmpty()) {
        result = failure;
    } else if (errorStatus != 0) {
        result = errorText(errorStatus,
                           errorReason.isEmpty() ? QStringLiteral("HTTP error") : errorReason);
    } else if (reply->error() != QNetworkReply::NoError) {
        result = errorText(int(reply->error()), reply->errorString());
    } else {
        const QByteArray rest = reply->readAll();
        try {
            if (received + rest.size() > options.maxBytes)
                result =
                    errorText(TooLargeError, QStringLiteral("The file is larger than allowed"));
            else if (!rest.isEmpty())
                file->write(rest.constData(), std::size_t(rest.size()));
        } catch (const archive::ArchiveError& e) {
            result = errorText(WriteError, QString::fromLocal8Bit(e.what()));
        }
        if (const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            result.isEmpty() && length.isValid() && length.toLongLong() != received + rest.size())
            // The server closed before sending what it announced: the file is cut.
            result = errorText(int(QNetworkReply::RemoteHostClosedError),
                               QStringLiteral("The transfer ended before the file was complete"));
    }
    reply->deleteLater();
    if (!result.isEmpty())
        return result; // the temporary file goes with `file`
    try {
        file->commit(target);
    } catch (const archive::ArchiveError& e) {
        return errorText(WriteError, QString::fromLocal8Bit(e.what()));
    }
    return QStringLiteral("OK");
}

} // namespace brevant::http
