#pragma once

#include <QString>

#include <sys/types.h>

namespace morvast {

// A lock file beside a shared file, taken by creating it and given back by removing it. Whatever
// else is at its name (a link, a pipe, a device, a folder) counts as a lock another copy holds:
// it is never opened, followed or removed. A lock file left by a copy that died (its process is
// gone from this computer, or it is older than staleMs) is removed. The lines written are those
// of the toolkit's lock file (process, program, computer), so older copies honour it too.
class SharedLock {
  public:
    SharedLock(const QString& path, qint64 staleMs) : path_(path), staleMs_(staleMs) {}
    ~SharedLock();
    SharedLock(const SharedLock&) = delete;
    SharedLock& operator=(const SharedLock&) = delete;

    enum class Try {
        Taken,       // this object holds the lock
        Held,        // another copy holds it: try again later
        Impossible,  // the folder takes no lock file; trying again will not help
    };
    Try tryLock();
    bool held() const { return fd_ >= 0; }

  private:
    bool removeIfStale();

    QString path_;
    qint64 staleMs_;
    int fd_ = -1;
};

}  // namespace morvast
