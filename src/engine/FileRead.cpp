#include "engine/FileRead.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/NativePath.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {
#ifdef _WIN32
using TNativeFile = HANDLE;
const TNativeFile kNoFile = INVALID_HANDLE_VALUE;

void CloseNative(TNativeFile file) {
    CloseHandle(file);
}

// Reads up to size bytes: how many came, 0 at the end of the file, -1 on an error (what says
// which).
int64_t ReadSome(TNativeFile file, uint8_t* out, size_t size, std::string& what) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(file, out, chunk, &got, nullptr)) {
        what = "read error: " + SystemErrorText(GetLastError());
        return -1;
    }
    return got;
}
#else
using TNativeFile = int;
constexpr TNativeFile kNoFile = -1;

void CloseNative(TNativeFile file) {
    close(file);
}

// Reads up to size bytes, retrying after signals: how many came, 0 at the end of the file, -1
// on an error (what says which).
int64_t ReadSome(TNativeFile fd, uint8_t* out, size_t size, std::string& what) {
    for (;;) {
        const ssize_t got = read(fd, out, size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) what = std::string("read error: ") + std::strerror(errno);
        return got;
    }
}

// What a file that is not a regular file is, for the message.
const char* FileTypeName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}
#endif

// Closes the file on every way out.
struct TFileDescriptor {
    TNativeFile Fd;
    ~TFileDescriptor() {
        if (Fd != kNoFile) CloseNative(Fd);
    }
};

bool Fail(const std::string& path, const std::string& what, std::vector<uint8_t>& bytes,
          std::string& reason) {
    bytes.clear();
    bytes.shrink_to_fit();
    reason = path + ": " + what;
    return false;
}

// Reads exactly size bytes; a file that is shorter than its size said (it shrank meanwhile)
// is an error rather than a half-read file.
bool ReadAll(TNativeFile fd, uint8_t* out, size_t size, std::string& what) {
    size_t done = 0;
    while (done < size) {
        const int64_t got = ReadSome(fd, out + done, size - done, what);
        if (got < 0) return false;
        if (got == 0) {
            what = "the file changed while it was read";
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

enum class TOpened : uint8_t { Regular, Missing, Refused };

// Opens path and checks that it is a regular file, whose size then comes back in size.
#ifdef _WIN32
TOpened OpenRegular(const std::string& path, TFileDescriptor& file, uint64_t& size,
                    std::string& what) {
    const std::wstring wide = WideFromUtf8(path);
    const auto failed = [&what](DWORD error) {
        what = SystemErrorText(error);
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TOpened::Missing
                                                                              : TOpened::Refused;
    };
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return failed(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        what = "a folder, not a regular file";
        return TOpened::Refused;
    }
    // Others may go on reading, writing, renaming or deleting it meanwhile, as on Linux.
    file.Fd = CreateFileW(wide.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.Fd == kNoFile) return failed(GetLastError());
    const DWORD type = GetFileType(file.Fd);
    if (type != FILE_TYPE_DISK) {
        what = std::string(type == FILE_TYPE_PIPE   ? "a named pipe"
                           : type == FILE_TYPE_CHAR ? "a character device"
                                                    : "not a plain file") +
               ", not a regular file";
        return TOpened::Refused;
    }
    LARGE_INTEGER bytes{};
    if (!GetFileSizeEx(file.Fd, &bytes)) {
        what = SystemErrorText(GetLastError());
        return TOpened::Refused;
    }
    size = static_cast<uint64_t>(bytes.QuadPart);
    return TOpened::Regular;
}
#else
TOpened OpenRegular(const std::string& path, TFileDescriptor& file, uint64_t& size,
                    std::string& what) {
    // Non-blocking, so that opening a named pipe with no writer returns at once instead of
    // waiting forever; the type check below then refuses it.
    file.Fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.Fd < 0) {
        const int error = errno;
        what = std::strerror(error);
        return error == ENOENT ? TOpened::Missing : TOpened::Refused;
    }
    struct stat info {};
    if (fstat(file.Fd, &info) != 0) {
        what = std::strerror(errno);
        return TOpened::Refused;
    }
    if (!S_ISREG(info.st_mode)) {
        what = std::string(FileTypeName(info.st_mode)) + ", not a regular file";
        return TOpened::Refused;
    }
    size = static_cast<uint64_t>(info.st_size);
    return TOpened::Regular;
}
#endif

// Reads the first size bytes of an open file. With wholeFile, one more byte means the file
// grew after its size was taken: that is refused rather than a torn copy read.
bool ReadBytes(TNativeFile fd, uint64_t size, bool wholeFile, std::vector<uint8_t>& bytes,
               std::string& what) {
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        what = "not enough memory to read it";
        return false;
    } catch (const std::length_error&) {
        what = "not enough memory to read it";
        return false;
    }
    if (!ReadAll(fd, bytes.data(), bytes.size(), what)) return false;
    if (!wholeFile) return true;
    uint8_t extra = 0;
    const int64_t more = ReadSome(fd, &extra, 1, what);
    if (more == 0) return true;
    if (more > 0) what = "the file changed while it was read";
    return false;
}
}  // namespace

bool ReadWholeFile(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                   std::string& reason) {
    bytes.clear();
    TFileDescriptor file{kNoFile};
    uint64_t size = 0;
    std::string what;
    if (OpenRegular(path, file, size, what) != TOpened::Regular)
        return Fail(path, what, bytes, reason);
    const uint64_t limit = MaxFileBytes(kind);
    if (size > limit) {
        return Fail(path,
                    "too large (" + std::to_string(size) + " bytes; at most " +
                        std::to_string(limit) + " are read)",
                    bytes, reason);
    }
    if (!ReadBytes(file.Fd, size, true, bytes, what)) return Fail(path, what, bytes, reason);
    return true;
}

TFileStart ReadFileStart(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                         bool& cut, std::string& reason) {
    bytes.clear();
    cut = false;
    TFileDescriptor file{kNoFile};
    uint64_t size = 0;
    std::string what;
    const TOpened opened = OpenRegular(path, file, size, what);
    if (opened != TOpened::Regular) {
        Fail(path, what, bytes, reason);
        return opened == TOpened::Missing ? TFileStart::Missing : TFileStart::Refused;
    }
    const uint64_t limit = MaxFileBytes(kind);
    cut = size > limit;
    if (!ReadBytes(file.Fd, cut ? limit : size, !cut, bytes, what)) {
        cut = false;
        Fail(path, what, bytes, reason);
        return TFileStart::Refused;
    }
    return TFileStart::Read;
}
