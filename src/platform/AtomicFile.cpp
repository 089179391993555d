#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {
constexpr std::string_view kTempMark = ".tmp-";

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

// "<path>.tmp-<process>-<count>": unique among this process's writes and among processes.
std::string TemporaryName(const std::string& path) {
    static std::atomic<uint64_t> count{0};
    return path + std::string(kTempMark) + std::to_string(::getpid()) + "-" +
           std::to_string(++count);
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

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}
}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string temp = TemporaryName(path);
    // O_EXCL: a name somebody else holds is never written through.
    TFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
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

bool IsAtomicTemporaryName(std::string_view name) {
    const size_t mark = name.rfind(kTempMark);
    if (mark == std::string_view::npos || mark == 0) return false;
    const std::string_view rest = name.substr(mark + kTempMark.size());
    const size_t dash = rest.find('-');
    return dash != std::string_view::npos && AllDigits(rest.substr(0, dash)) &&
           AllDigits(rest.substr(dash + 1));
}

int RemoveStaleTemporaries(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsAtomicTemporaryName(name) || !it->is_regular_file(ec)) continue;
        std::error_code gone;
        if (fs::remove(it->path(), gone)) ++removed;
    }
    return removed;
}
