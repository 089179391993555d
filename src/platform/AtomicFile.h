// Crash-safe replacement of small files (settings, progress, the window's placement). A write
// goes to a temporary file of its own in the same folder, is flushed to the disk and then
// renamed over the old file, so at every moment the file on disk is either the old one or the
// new one, whole. Each write's temporary name is unique (the process and a counter), so two
// writers never rename each other's half-written file.
#pragma once

#include <string>
#include <string_view>

// Replaces `path` by `bytes`. On failure the old file is untouched, the temporary file is
// removed and `error` says why.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error);

// Moves whatever is at `path` (a file, a folder, a broken link) to `to`, replacing a file
// there. False with `error` set when it cannot.
bool MoveAside(const std::string& path, const std::string& to, std::string& error);

// Whether a file name is one of WriteFileAtomic's temporary names.
bool IsAtomicTemporaryName(std::string_view fileName);

// Removes the temporary files a killed writer left in `folder`; only for a folder no other
// process writes to (see TFolderLock). Returns how many it removed.
int RemoveStaleTemporaries(const std::string& folder);
