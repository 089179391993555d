// Where the player's settings and progress files live. The folder beside an installed program
// is usually not writable, so the files go to the user's data folder (SDL's preference path,
// ~/.local/share/Velkaro/ on Linux) unless the command line or the environment names another.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The environment variable that points the game at another settings folder.
inline constexpr const char* kConfigDirEnv = "VELKARO_CONFIG_DIR";

// Sets the folder given on the command line (an empty text forgets it). It wins over the
// environment variable and the user's data folder.
void SetConfigDirOverride(std::string dir);

// The settings folder with a trailing '/', created when missing: the override, else
// VELKARO_CONFIG_DIR, else the user's data folder, else (no home folder at all) the program
// folder.
std::string ConfigDir();

// The value of "--config-dir DIR" or "--config-dir=DIR" among the program's arguments; other
// arguments are left alone. `error` is set when the option has no folder after it.
std::optional<std::string> ConfigDirArgument(const std::vector<std::string_view>& args,
                                             std::string& error);
