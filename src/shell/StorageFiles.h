// Reading and crash-safe writing for the settings files. Reading goes through the engine's
// whole-file reader (regular files only, never blocking on a pipe, at most the settings
// limit); writing is the platform's atomic replacement.
#pragma once

#include <string>
#include <string_view>

#include "platform/AtomicFile.h"

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

// Reads a settings file: at most kMaxSettingsFileSize bytes of a regular file.
TFileRead ReadSmallFile(const std::string& path);
