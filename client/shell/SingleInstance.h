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
    // True when this process now holds the lock; false while another copy runs.
    bool acquire();
    bool held() const { return held_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool held_ = false;
};

// The message shown to a second copy before it ends.
QString AlreadyRunningText();

} // namespace brevant::shell
