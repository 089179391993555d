// The program's command line: what each option asks for, the usage text, and the version.
// Parsing only; main() acts on the result. An option the game does not know, or one missing
// its value, is an error: the usage goes to standard error and the program exits with code 2.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Version.h"

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    // --fullscreen (true) or --windowed (false); the last one given wins.
    std::optional<bool> FullScreen;
    std::string ConfigDir;
    std::string DataDir;
    std::string Server;
    // --renderer auto|software|opengl (checked where the renderer is chosen).
    std::string Renderer;
    // --stats: the measuring report on standard error at exit.
    bool Stats = false;
    // Set when the command line is wrong; the rest is then meaningless.
    std::string Error;
};

// Options take their value as the next argument or after '=' (--data=DIR).
TCommandLine ParseCommandLine(const std::vector<std::string_view>& args);
std::string UsageText();
