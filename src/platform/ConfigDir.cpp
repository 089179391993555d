#include "platform/ConfigDir.h"

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"
#include "platform/Paths.h"

namespace {
std::string& OverrideStorage() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// The folder exists afterwards, or the later reads and writes report why it does not.
std::string Prepared(std::string dir) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(dir), ec);
    return WithSlash(std::move(dir));
}

std::string UserDataDir() {
    // An empty organisation gives ~/.local/share/Velkaro/ rather than a nested folder.
    char* path = SDL_GetPrefPath("", "Velkaro");
    if (path == nullptr) return {};
    std::string dir = path;
    SDL_free(path);
#ifdef _WIN32
    // SDL gives the roaming application-data folder with backslashes; the game joins its
    // file names with '/'.
    dir = NormalizeSeparators(dir);
#endif
    return WithSlash(dir);
}
}  // namespace

void SetConfigDirOverride(std::string dir) {
    OverrideStorage() = std::move(dir);
}

std::string ConfigDir() {
    if (!OverrideStorage().empty()) return Prepared(OverrideStorage());
    bool found = false;
    std::string env = EnvironmentUtf8(kConfigDirEnv, found);
    if (!env.empty()) return Prepared(std::move(env));
    std::string dir = UserDataDir();
    return dir.empty() ? ProgramDir() : dir;
}

std::optional<std::string> ConfigDirArgument(const std::vector<std::string_view>& args,
                                             std::string& error) {
    constexpr std::string_view option = "--config-dir";
    std::optional<std::string> dir;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == option) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--config-dir needs a folder after it";
                return std::nullopt;
            }
            dir = std::string(args[++i]);
        } else if (arg.size() > option.size() && arg.substr(0, option.size()) == option &&
                   arg[option.size()] == '=') {
            dir = std::string(arg.substr(option.size() + 1));
            if (dir->empty()) {
                error = "--config-dir needs a folder after it";
                return std::nullopt;
            }
        }
    }
    return dir;
}
