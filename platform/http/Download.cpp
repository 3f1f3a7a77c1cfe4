#include "platform/http/Download.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

namespace brevant::http {

namespace {

// Network error numbers of our own for failures that are not the transfer's HTTP status.
constexpr int TimedOutError = 10060;
constexpr int TooLargeError = 10040;
constexpr int WriteError = 29; // the file could not be written

} // namespace

QString DownloadFile(const QString& url, const QString& localPath, const DownloadOptions& options) {
    const QUrl u(url);
    if (!u.isValid() ||
        (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")))
        return QStringLiteral("%1 %2")
            .arg(int(QNetworkReply::ProtocolUnknownError))
            .arg(QStringLiteral("Unsupported or invalid URL: ") + url);

    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 %2").arg(WriteError).arg(file.errorString());

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

    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    QString failure;
    std::int64_t received = 0;

    auto fail = [&](const QString& text) {
        if (failure.isEmpty())
            failure = text;
        reply->abort();
    };
    auto restartIdle = [&] {
        if (options.idleTimeoutSeconds > 0)
            idle.start(options.idleTimeoutSeconds * 1000);
    };

    QObject::connect(&idle, &QTimer::timeout, &loop, [&] {
        fail(
            QStringLiteral("%1 %2").arg(TimedOutError).arg(QStringLiteral("Connection timed out")));
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        restartIdle();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QByteArray piece = reply->readAll();
        if (status >= 400 || !failure.isEmpty())
            return; // an error page is not the file
        received += piece.size();
        if (received > options.maxBytes) {
            fail(QStringLiteral("%1 %2")
                     .arg(TooLargeError)
                     .arg(QStringLiteral("The file is larger than allowed")));
            return;
        }
        if (file.write(piece) != piece.size()) {
            fail(QStringLiteral("%1 %2").arg(WriteError).arg(file.errorString()));
            return;
        }
        if (options.progress)
            options.progress(received,
                             reply->header(QNetworkRequest::ContentLengthHeader).isValid()
                                 ? reply->header(QNetworkRequest::ContentLengthHeader).toLongLong()
                                 : -1);
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    restartIdle();
    if (!reply->isFinished())
        loop.exec();
    idle.stop();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString result;
    if (!failure.isEmpty()) {
        result = failure;
    } else if (status >= 400) {
        QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        if (reason.isEmpty())
            reason = QStringLiteral("HTTP error");
        result = QStringLiteral("%1 %2").arg(status).arg(reason);
    } else if (reply->error() != QNetworkReply::NoError) {
        result = QStringLiteral("%1 %2").arg(int(reply->error())).arg(reply->errorString());
    } else {
        const QByteArray rest = reply->readAll();
        if (!rest.isEmpty() && file.write(rest) != rest.size())
            result = QStringLiteral("%1 %2").arg(WriteError).arg(file.errorString());
        else if (const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
                 length.isValid() && length.toLongLong() != received + rest.size())
            // The server closed before sending what it announced: the file is cut.
            result = QStringLiteral("%1 %2")
                         .arg(int(QNetworkReply::RemoteHostClosedError))
                         .arg(QStringLiteral("The transfer ended before the file was complete"));
    }
    reply->deleteLater();
    if (!result.isEmpty()) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return QStringLiteral("%1 %2").arg(WriteError).arg(file.errorString());
    return QStringLiteral("OK");
}

} // namespace brevant::http
