#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/NativePath.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
constexpr std::string_view kTempMark = ".tmp-";

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

#ifdef _WIN32
std::string Reason(DWORD err) {
    return SystemErrorText(err);
}

// "<path>.tmp-<process>-<count>": unique among this process's writes and among processes.
std::string TemporaryName(const std::string& path) {
    static std::atomic<uint64_t> count{0};
    return path + std::string(kTempMark) + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++count);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsPlainFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Renames from over to, replacing a file there. Unlike rename() on Linux, Windows refuses to
// replace a file while another handle has it open without delete sharing, or while another
// rename onto the same name is under way (a second writer, a virus scanner, the search
// indexer): those refusals pass within milliseconds, so the move is tried again for about a
// second before it counts as failed.
bool MoveReplacing(const std::wstring& from, const std::wstring& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        const bool passing = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                             error == ERROR_LOCK_VIOLATION;
        // A folder in the way refuses for good.
        if (!passing || attempt >= 200 || IsFolder(to)) {
            SetLastError(error);
            return false;
        }
        Sleep(attempt < 10 ? 0 : 5);
    }
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}
}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
    const std::wstring temp = WideFromUtf8(TemporaryName(path));
    // CREATE_NEW: a name somebody else holds is never written through.
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD err = GetLastError();
        // Said as on Linux: a file where the folder should be.
        const size_t slash = path.rfind('/');
        error = err == ERROR_PATH_NOT_FOUND && slash != std::string::npos &&
                        IsPlainFile(WideFromUtf8(path.substr(0, slash)))
                    ? "Not a directory"
                    : Reason(err);
        return false;
    }
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    const DWORD savedError = GetLastError();
    if (!CloseHandle(file) || !written) {
        error = Reason(written ? GetLastError() : savedError);
        DeleteFileW(temp.c_str());
        return false;
    }
    // Replaces the old file in one step; WRITE_THROUGH returns only once the move is on disk.
    if (!MoveReplacing(temp, WideFromUtf8(path))) {
        const DWORD err = GetLastError();
        // Said as on Linux: a folder cannot be replaced by a file.
        error = IsFolder(WideFromUtf8(path)) ? "Is a directory" : Reason(err);
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool MoveAside(const std::string& path, const std::string& to, std::string& error) {
    if (MoveReplacing(WideFromUtf8(path), WideFromUtf8(to))) return true;
    error = Reason(GetLastError());
    return false;
}
#else
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
#endif

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
    for (fs::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = Utf8FromPath(it->path().filename());
        if (!IsAtomicTemporaryName(name) || !it->is_regular_file(ec)) continue;
        std::error_code gone;
        if (fs::remove(it->path(), gone)) ++removed;
    }
    return removed;
}
