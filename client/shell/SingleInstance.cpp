#include "shell/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>

namespace brevant::shell {

SingleInstance::SingleInstance(const QString& programFolder)
    : path_(programFolder + QStringLiteral("/brevant.lock")),
      lock_(std::make_unique<QLockFile>(path_)) {
    // A lock whose process is gone is stale whatever its age.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (held_)
        return true;
    held_ = lock_->tryLock(0);
    reason_.clear();
    if (!held_ && !heldByAnotherCopy()) {
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
    return held_;
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

QString AlreadyRunningText() {
    return QCoreApplication::translate("brevant::shell::SingleInstance",
                                       "A copy of Brevant Desktop is already running ...");
}

} // namespace brevant::shell
