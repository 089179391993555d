#include "engine/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {
constexpr uint64_t kMiB = uint64_t{1} << 20;

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
// (it shrank meanwhile) or longer (it grew) is an error rather than a half-read file.
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
}  // namespace

uint64_t MaxFileBytes(TFileKind kind) {
    // The game's own files are at most a few MB (image lists), a few hundred KB (sounds,
    // songs) and a few KB (settings); the limits leave a wide margin for richer art.
    switch (kind) {
        case TFileKind::ImageList:
            return 128 * kMiB;
        case TFileKind::Picture:
            return 64 * kMiB;
        case TFileKind::Sound:
            return 32 * kMiB;
        case TFileKind::Module:
            return 32 * kMiB;
        case TFileKind::Settings:
            return 1 * kMiB;
    }
    return 0;
}

bool ReadWholeFile(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                   std::string& reason) {
    bytes.clear();
    // Non-blocking, so that opening a named pipe with no writer returns at once instead of
    // waiting forever; the type check below then refuses it.
    TFileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.Fd < 0) return Fail(path, std::strerror(errno), bytes, reason);
    struct stat info {};
    if (fstat(file.Fd, &info) != 0) return Fail(path, std::strerror(errno), bytes, reason);
    if (!S_ISREG(info.st_mode))
        return Fail(path, std::string(FileTypeName(info.st_mode)) + ", not a regular file", bytes,
                    reason);
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    const uint64_t limit = MaxFileBytes(kind);
    if (size > limit) {
        return Fail(path,
                    "too large (" + std::to_string(size) + " bytes; at most " +
                        std::to_string(limit) + " are read)",
                    bytes, reason);
    }
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return Fail(path, "not enough memory to read it", bytes, reason);
    } catch (const std::length_error&) {
        return Fail(path, "not enough memory to read it", bytes, reason);
    }
    std::string what;
    if (!ReadAll(file.Fd, bytes.data(), bytes.size(), what)) return Fail(path, what, bytes, reason);
    // One more byte means the file grew after fstat: refuse rather than read a torn copy.
    uint8_t extra = 0;
    ssize_t more = 0;
    do {
        more = read(file.Fd, &extra, 1);
    } while (more < 0 && errno == EINTR);
    if (more != 0) return Fail(path, "the file changed while it was read", bytes, reason);
    return true;
}
