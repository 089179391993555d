#include "shell/StorageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "engine/FileRead.h"
#include "shell/SettingsFormat.h"

// The decoder cuts its input at the same size, so a file cut by the reader reads alike.
static_assert(MaxFileBytes(TFileKind::Settings) == kMaxSettingsFileSize);

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

TFileRead ReadSmallFile(const std::string& path) {
    TFileRead result;
    std::vector<uint8_t> bytes;
    std::string reason;
    const TFileStart read =
        ReadFileStart(path, TFileKind::Settings, bytes, result.Truncated, reason);
    // The reader names the file first; the caller's message names it itself.
    const std::string prefix = path + ": ";
    result.Error =
        reason.compare(0, prefix.size(), prefix) == 0 ? reason.substr(prefix.size()) : reason;
    switch (read) {
        case TFileStart::Read:
            result.Status = TReadStatus::Read;
            result.Bytes.assign(bytes.begin(), bytes.end());
            break;
        case TFileStart::Missing:
            result.Status = TReadStatus::Missing;
            break;
        case TFileStart::Refused:
            result.Status = TReadStatus::Unreadable;
            break;
    }
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
