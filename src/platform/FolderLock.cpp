#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

TFolderLock::~TFolderLock() {
    Release();
}

TFolderLock::TResult TFolderLock::Acquire(const std::string& folder) {
    Release();
    const std::string path = folder + kFolderLockFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return TResult::NoLocks;
    // flock locks belong to the open file: a second open, in this process or another, is
    // refused while this one holds it.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return taken ? TResult::Taken : TResult::NoLocks;
    }
    Fd = fd;
    return TResult::Held;
}

void TFolderLock::Release() {
    if (Fd < 0) return;
    ::close(Fd);
    Fd = -1;
}
