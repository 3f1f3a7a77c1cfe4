#pragma once
// The guard against a second copy of the program: a lock file in the program folder, held for
// the life of the process (a lock left by a crashed copy is taken over), and a local socket
// beside it over which a second copy asks the running one to bring its window to the front.
// The socket is named per user and program folder, in $XDG_RUNTIME_DIR (else the temporary
// folder, with the user's id in the name).
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

namespace brevant::shell {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock; false while another copy runs or when the
    // lock file cannot be made at all. Once held, the socket listens (a socket file left by a
    // crashed copy is replaced: the lock says nobody else owns it).
    bool acquire();
    bool held() const { return held_; }
    // After a failed acquire: whether another copy holds the lock (rather than, say, an
    // unwritable or missing program folder).
    bool heldByAnotherCopy() const;
    // After a failed acquire: the message to show, naming the real reason.
    QString failureText() const;

    // The running copy's answer to "show yourself": brings its window to the front and says
    // whether it had one to show. Without a handler the answer is no.
    void setShowHandler(std::function<bool()> handler);
    // Whether the socket listens (after a successful acquire).
    bool listening() const;

    // The second copy's question: asks the copy holding the lock to show its window and waits
    // for the answer on the socket, handling this thread's events meanwhile, for at most
    // timeoutMs. True only when that copy answered that its window is in front; false when
    // nobody listens, the answer is no, or none comes.
    bool askRunningCopyToShow(int timeoutMs = 5000) const;

    // The socket's path for this program folder and user.
    QString socketPath() const { return socketPath_; }

private:
    void answer(); // serves the connections waiting on the socket

    QString path_;
    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<bool()> showHandler_;
    bool held_ = false;
    QString reason_; // why the lock file could not be made, when that was the failure
};

// The socket path for a program folder: the same folder always gives the same name, so two
// copies started on one folder meet, and copies on other folders (or of other users) never do.
QString InstanceSocketPath(const QString& programFolder);

// The message shown to a second copy before it ends.
QString AlreadyRunningText();

} // namespace brevant::shell
