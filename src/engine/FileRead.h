// Reading a whole file into memory, the one way every loader of the engine does it. Files on
// disk are untrusted: only regular files are read (a directory, a named pipe or a device such
// as /dev/zero is refused at once, and opening never waits on a pipe), each kind of file has a
// size limit well above the game's own files, and read errors and a lack of memory come back
// as a reason, never as an exception. Depends on POSIX file calls only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TFileKind : uint8_t { ImageList, Picture, Sound, Module, Settings };

// The largest file of a kind that is read at all.
uint64_t MaxFileBytes(TFileKind kind);

// Reads the file at path into bytes. False with reason set ("Data/x.vil: not a regular file")
// when it cannot be opened, is not a regular file, is larger than the kind allows, or reading
// fails; bytes is then empty.
bool ReadWholeFile(const std::string& path, TFileKind kind, std::vector<uint8_t>& bytes,
                   std::string& reason);
