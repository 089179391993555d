#include "platform/FolderLock.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/NativePath.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

TFolderLock::~TFolderLock() {
    Release();
}

#ifdef _WIN32
TFolderLock::TResult TFolderLock::Acquire(const std::string& folder) {
    Release();
    const std::wstring path = WideFromUtf8(folder + kFolderLockFileName);
    // Shared opening, so that a second game gets as far as the lock and learns it is taken.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? TResult::Taken : TResult::NoLocks;
    // The lock belongs to this handle: a second handle, in this process or another, is
    // refused while this one holds it, and Windows drops it when the process ends.
    OVERLAPPED at{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? TResult::Taken
                                                                          : TResult::NoLocks;
    }
    Handle = file;
    return TResult::Held;
}

void TFolderLock::Release() {
    if (Handle == nullptr) return;
    CloseHandle(static_cast<HANDLE>(Handle));
    Handle = nullptr;
}
#else
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
#endif
