// Small-file reading and crash-safe writing for the settings files. A write goes to a
// temporary file in the same folder, is flushed to the disk and then renamed over the old
// file, so at every moment the file on disk is either the old one or the new one, whole.
#pragma once

#include <string>
#include <string_view>

enum class TReadStatus {
    Read,        // Bytes holds the file (cut at the limit, see Truncated)
    Missing,     // no such file
    Unreadable,  // a folder, a device, no permission, an I/O error: Error says which
};

struct TFileRead {
    TReadStatus Status = TReadStatus::Missing;
    std::string Bytes;
    bool Truncated = false;
    std::string Error;
};

// Reads at most `limit` bytes of a regular file.
TFileRead ReadSmallFile(const std::string& path, size_t limit);

// Replaces `path` by `bytes` through `path`.tmp. On failure the old file is untouched, the
// temporary file is removed and `error` says why.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error);

// Moves whatever is at `path` (a file, a folder, a broken link) to `to`, replacing a file
// there. False with `error` set when it cannot.
bool MoveAside(const std::string& path, const std::string& to, std::string& error);
