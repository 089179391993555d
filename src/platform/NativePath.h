// The game keeps every path as UTF-8 text. The system's own calls want something else on
// Windows (UTF-16 for the wide API; a narrow string there is read in the ANSI code page, which
// cannot hold most user names), so every file the game opens goes through these. On Linux a
// path is its bytes and nothing is converted.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The path a UTF-8 string names. Bytes that are not UTF-8 become U+FFFD on Windows, never an
// exception.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The path as UTF-8, with '/' between folders on every system.
std::string Utf8FromPath(const std::filesystem::path& path);

// The value of an environment variable as UTF-8, or empty when it is not set:
// `found` tells the two apart.
std::string EnvironmentUtf8(const char* name, bool& found);

// The system's own fonts folder, ending with '/' ("C:/Windows/Fonts/" on Windows), or empty
// where the system has no one folder for them (Linux).
std::string SystemFontDir();

// The program's arguments (without its name) as UTF-8. Windows hands main() the ANSI code
// page's text, so there they are read again from the wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// What a Windows error code (GetLastError) means, in words. The errors a missing or forbidden
// file gives read as they do on Linux ("No such file or directory", "Permission denied"), so
// the game's messages are the same everywhere.
std::string SystemErrorText(unsigned long error);
#endif
