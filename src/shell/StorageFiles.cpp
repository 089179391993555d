#include "shell/StorageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
std::string Reason(int err) {
    return std::strerror(err);
}

// Closes a descriptor when it goes out of scope.
class TFd {
public:
    explicit TFd(int fd) : Fd(fd) {}
    ~TFd() {
        if (Fd >= 0) ::close(Fd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return Fd; }
    // Closes now, reporting the error that close() may be the first to see.
    int Close() {
        const int r = ::close(Fd);
        Fd = -1;
        return r;
    }

private:
    int Fd;
};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The rename itself lives in the folder: flush the folder too, or a power cut could bring
// back the old name.
void SyncFolder(const std::string& path) {
    TFd dir(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
}
}  // namespace

TFileRead ReadSmallFile(const std::string& path, size_t limit) {
    TFileRead result;
    // Non-blocking, so that a pipe put in the file's place cannot stall the start.
    TFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        result.Status = errno == ENOENT ? TReadStatus::Missing : TReadStatus::Unreadable;
        result.Error = Reason(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.Status = TReadStatus::Unreadable;
        result.Error = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return result;
    }
    char buffer[4096];
    while (result.Bytes.size() < limit) {
        const size_t want = std::min(sizeof buffer, limit - result.Bytes.size());
        const ssize_t n = ::read(fd.Get(), buffer, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            result.Status = TReadStatus::Unreadable;
            result.Error = Reason(errno);
            result.Bytes.clear();
            return result;
        }
        if (n == 0) break;
        result.Bytes.append(buffer, static_cast<size_t>(n));
    }
    if (result.Bytes.size() >= limit) {
        char probe = 0;
        result.Truncated = ::read(fd.Get(), &probe, 1) > 0;
    }
    result.Status = TReadStatus::Read;
    return result;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string temp = path + ".tmp";
    TFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.Get() < 0) {
        error = Reason(errno);
        return false;
    }
    const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
    const int savedErrno = errno;
    if (fd.Close() != 0 || !written) {
        error = Reason(written ? errno : savedErrno);
        ::unlink(temp.c_str());
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = Reason(errno);
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

bool MoveAside(const std::string& path, const std::string& to, std::string& error) {
    if (::rename(path.c_str(), to.c_str()) == 0) return true;
    error = Reason(errno);
    return false;
}
