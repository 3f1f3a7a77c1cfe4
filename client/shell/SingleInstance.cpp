#include "shell/SingleInstance.h"

namespace brevant::shell {

SingleInstance::SingleInstance(const QString& programFolder)
    : lock_(std::make_unique<QLockFile>(programFolder + QStringLiteral("/brevant.lock"))) {
    // A lock whose process is gone is stale whatever its age.
    lock_->setStaleLockTime(0);
}

bool SingleInstance::acquire() {
    if (!held_)
        held_ = lock_->tryLock(0);
    return held_;
}

QString AlreadyRunningText() {
    return QStringLiteral("A copy of Brevant Desktop is already running ...");
}

} // namespace brevant::shell
