// Reading a whole file into memory, the one way every loader of the engine does it. Files on
// disk are untrusted: only regular files are read (a directory, a named pipe or a device such
// as /dev/zero is refused at once, and opening never waits on a pipe), each kind of file has a
// size limit well above the game's own files, and read errors and a lack of memory come back
// as a reason, never as an exception. Depends on the system's file calls only (POSIX; the wide
// API on Windows).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TFileKind : uint8_t { ImageList, Picture, Sound, Module, Settings };

// The largest file of a kind that is read at all. The game's own files are at most a few MB
// (image lists), a few hundred KB (sounds, songs) and two KB (settings); the limits leave a
// wide margin for richer art and long player lists.
constexpr uint64_t MaxFileBytes(TFileKind kind) {
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    switch (kind) {
        case TFileKind::ImageList:
            return 128 * kMiB;
        case TFileKind::Picture:
            return 64 * kMiB;
        case TFileKind::Sound:
        case TFileKind::Module:
            return 32 * kMiB;
        case TFileKind::Settings:
            return 64 * 1024;
    }
    return 0;
}

// Reads the file at path into bytes. False with reason set ("Data/x.vil: not a regular file")
// when it cannot be opened, is not a regular file, is larger than the kind allows, or reading
// fails; bytes is then empty.
bool ReadWholeFile(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                   std::string& reason);

enum class TFileStart : uint8_t {
    Read,     // bytes holds the file, or its first MaxFileBytes(kind) bytes when cut is set
    Missing,  // there is no such file (reason says so too)
    Refused,  // not a regular file, unreadable, or a read error: reason says which
};

// For files whose beginning is still worth reading when the whole is too large: the settings
// files hold their values first, so one with junk appended keeps them. The same checks as
// ReadWholeFile, but a file over the kind's limit gives its first bytes with cut set, and a
// missing file is told apart from one that cannot be read.
TFileStart ReadFileStart(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                         bool& cut, std::string& reason);
