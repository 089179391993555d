// One game at a time per settings folder. Two games on one folder would each save their own
// players and progress over the other's, so the game holds a lock on the folder for its whole
// run (a lock file the system releases when the process ends, however it ends).
#pragma once

#include <string>

class TFolderLock {
public:
    enum class TResult {
        Held,     // this process holds the folder
        Taken,    // another process holds it
        NoLocks,  // the folder cannot be locked here (a file system without locks): go on
    };

    TFolderLock() = default;
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    // Takes the folder's lock without waiting. `folder` ends with '/'.
    TResult Acquire(const std::string& folder);
    void Release();

private:
#ifdef _WIN32
    void* Handle = nullptr;  // the lock file's HANDLE while held
#else
    int Fd = -1;
#endif
};

inline constexpr const char* kFolderLockFileName = "velkaro.lock";
