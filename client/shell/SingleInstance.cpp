#include "shell/SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

namespace brevant::shell {

namespace {

// One line each way: the question, then the answer.
const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kShown = QByteArrayLiteral("shown");
const QByteArray kNoWindow = QByteArrayLiteral("no-window");

} // namespace

QString InstanceSocketPath(const QString& programFolder) {
    const QFileInfo info(programFolder);
    const QString folder =
        info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(folder).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/brevant-") + QString::fromLatin1(hash);
    // The temporary folder is shared by every user: the user's id keeps the names apart.
    return QDir::tempPath() + QStringLiteral("/brevant-%1-").arg(::getuid()) +
           QString::fromLatin1(hash);
}

SingleInstance::SingleInstance(const QString& programFolder)
    : path_(programFolder + QStringLiteral("/brevant.lock")),
      socketPath_(InstanceSocketPath(programFolder)), lock_(std::make_unique<QLockFile>(path_)) {
    // A lock whose process is gone is stale whatever its age.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    // The socket file goes with the server; the lock file with the lock.
    server_.reset();
}

bool SingleInstance::acquire() {
    if (held_)
        return true;
    held_ = lock_->tryLock(0);
    reason_.clear();
    if (held_) {
        server_ = std::make_unique<QLocalServer>();
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        // Holding the lock, no running copy owns the name: what is there was left by a crash.
        QLocalServer::removeServer(socketPath_);
        QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                         [this] { answer(); });
        // Without the socket the program still runs; a second copy then shows the message.
        server_->listen(socketPath_);
        return true;
    }
    if (!heldByAnotherCopy()) {
        // QLockFile does not say why; opening the same name does. A file this probe creates
        // is removed again (the lock file is never left behind by a failed start).
        QFile probe(path_);
        const bool existed = probe.exists();
        if (probe.open(QIODevice::ReadWrite)) {
            probe.close();
            if (!existed)
                probe.remove();
            reason_ = QCoreApplication::translate("brevant::shell::SingleInstance",
                                                  "the lock could not be taken");
        } else {
            reason_ = probe.errorString();
        }
    }
    return false;
}

bool SingleInstance::heldByAnotherCopy() const {
    return !held_ && lock_->error() == QLockFile::LockFailedError;
}

QString SingleInstance::failureText() const {
    if (heldByAnotherCopy())
        return AlreadyRunningText();
    return QCoreApplication::translate(
               "brevant::shell::SingleInstance",
               "Brevant Desktop cannot start: the lock file %1 cannot be created (%2). "
               "Check that the program folder exists and can be written ...")
        .arg(path_, reason_);
}

void SingleInstance::setShowHandler(std::function<bool()> handler) {
    showHandler_ = std::move(handler);
}

bool SingleInstance::listening() const {
    return server_ && server_->isListening();
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 256)
                    socket->abort(); // no question is that long
                return;
            }
            const QByteArray question = socket->readLine().trimmed();
            const bool shown = question == kShow && showHandler_ && showHandler_();
            socket->write((shown ? kShown : kNoWindow) + '\n');
            socket->disconnectFromServer(); // after the answer has been written
        });
    }
}

bool SingleInstance::askRunningCopyToShow(int timeoutMs) const {
    QLocalSocket socket;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool done = false;
    bool shown = false;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    QObject::connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(kShow + '\n'); });
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (!socket.canReadLine())
            return;
        shown = socket.readLine().trimmed() == kShown;
        finish();
    });
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, finish);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, finish);
    QObject::connect(&limit, &QTimer::timeout, &loop, finish);
    socket.connectToServer(socketPath_);
    // Nobody listening (no socket, or one left by a crash) fails at once.
    if (socket.state() == QLocalSocket::UnconnectedState)
        return false;
    limit.start(timeoutMs);
    if (!done)
        loop.exec();
    socket.abort();
    return shown;
}

QString AlreadyRunningText() {
    return QCoreApplication::translate("brevant::shell::SingleInstance",
                                       "A copy of Brevant Desktop is already running ...");
}

} // namespace brevant::shell
