// File locations. The game reads Data/, Sounds/ and Fonts/ from its data folder: its own folder
// when they are beside it (the build tree), else PREFIX/share/velkaro/ for a program installed
// in PREFIX/bin/, or the folder --data named. Its own file names use '\' as the separator, which
// is turned into '/' here.
#pragma once

#include <string>
#include <string_view>

// The folder the executable lives in, with a trailing '/'. Tests may override it.
const std::string& ProgramDir();
void SetProgramDir(std::string dir);

// The folder holding Data/, Sounds/ and Fonts/, with a trailing '/'.
std::string DataDir();
// Names the data folder (--data DIR); an empty text goes back to finding it.
void SetDataDir(std::string dir);

// A game file name ("Data\data1.vil") as a path below the data folder. Absolute paths
// are returned unchanged (apart from the separators).
std::string GamePath(std::string_view name);

// Turns every '\' into '/'.
std::string NormalizeSeparators(std::string_view name);
