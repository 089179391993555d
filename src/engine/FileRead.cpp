#include "engine/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {
// What a file that is not a regular file is, for the message.
const char* FileTypeName(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a named pipe";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

// Closes the descriptor on every way out.
struct TFileDescriptor {
    int Fd;
    ~TFileDescriptor() {
        if (Fd >= 0) close(Fd);
    }
};

bool Fail(const std::string& path, const std::string& what, std::vector<uint8_t>& bytes,
          std::string& reason) {
    bytes.clear();
    bytes.shrink_to_fit();
    reason = path + ": " + what;
    return false;
}

// Reads exactly size bytes, retrying after signals; a file that is shorter than fstat said
// (it shrank meanwhile) is an error rather than a half-read file.
bool ReadAll(int fd, uint8_t* out, size_t size, std::string& what) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, out + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            what = std::string("read error: ") + std::strerror(errno);
            return false;
        }
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

// Reads the first size bytes of an open file. With wholeFile, one more byte means the file
// grew after fstat: that is refused rather than a torn copy read.
bool ReadBytes(int fd, uint64_t size, bool wholeFile, std::vector<uint8_t>& bytes,
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
    ssize_t more = 0;
    do {
        more = read(fd, &extra, 1);
    } while (more < 0 && errno == EINTR);
    if (more == 0) return true;
    what = "the file changed while it was read";
    return false;
}
}  // namespace

bool ReadWholeFile(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                   std::string& reason) {
    bytes.clear();
    TFileDescriptor file{-1};
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
    TFileDescriptor file{-1};
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
