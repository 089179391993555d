// File locations. The game reads Data/ and Sounds/ from its own folder; its own file names use
// '\' as the separator, which is turned into '/' here.
#pragma once

#include <string>
#include <string_view>

// The folder the executable lives in, with a trailing '/'. Tests may override it.
const std::string& ProgramDir();
void SetProgramDir(std::string dir);

// A game file name ("Data\data1.vil") as a path below the program folder. Absolute paths
// are returned unchanged (apart from the separators).
std::string GamePath(std::string_view name);

// Turns every '\' into '/'.
std::string NormalizeSeparators(std::string_view name);
