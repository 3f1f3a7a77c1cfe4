#pragma once
// The guard against a second copy of the program: a lock file in the program folder, held
// for the life of the process. A lock left by a crashed copy is taken over.
#include <QLockFile>
#include <QString>
#include <memory>

namespace brevant::shell {

class SingleInstance {
public:
    explicit SingleInstance(const QString& programFolder);
    // True when this process now holds the lock; false while another copy runs or when the
    // lock file cannot be made at all.
    bool acquire();
    bool held() const { return held_; }
    // After a failed acquire: whether another copy holds the lock (rather than, say, an
    // unwritable or missing program folder).
    bool heldByAnotherCopy() const;
    // After a failed acquire: the message to show, naming the real reason.
    QString failureText() const;

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
    QString reason_; // why the lock file could not be made, when that was the failure
};

// The message shown to a second copy before it ends.
QString AlreadyRunningText();

} // namespace brevant::shell
