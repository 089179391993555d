#include "shell/StorageFiles.h"

#include <vector>

#include "engine/FileRead.h"
#include "shell/SettingsFormat.h"

// The decoder cuts its input at the same size, so a file cut by the reader reads alike.
static_assert(MaxFileBytes(TFileKind::Settings) == kMaxSettingsFileSize);

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
