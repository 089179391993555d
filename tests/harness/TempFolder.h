// A folder of a test's own under the system's temporary folder, made empty and removed with
// everything in it when the test is done.
#pragma once

#ifdef _WIN32
#include <process.h>  // _getpid

#include <atomic>
#else
#include <stdlib.h>  // mkdtemp
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

// Makes a new, empty folder "<temp>/<prefix>-<unique>" and returns its path (no '/' at the
// end), or empty when none could be made.
inline std::string MakeUniqueTempFolder(const std::string& prefix) {
#ifdef _WIN32
    // No mkdtemp here: the process and a counter make the name, and create_directory refuses
    // one that is already there.
    static std::atomic<unsigned> count{0};
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) return {};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path dir =
            base / (prefix + "-" + std::to_string(_getpid()) + "-" + std::to_string(++count));
        if (std::filesystem::create_directory(dir, ec)) return dir.generic_string();
    }
    return {};
#else
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
#endif
}

class TTempFolder {
public:
    explicit TTempFolder(const std::string& prefix = "velkaro-test") {
        const std::string dir = MakeUniqueTempFolder(prefix);
        if (!dir.empty()) Path = dir + "/";
    }
    ~TTempFolder() {
        if (Path.empty()) return;
        std::error_code ec;
        // Permissions a test took away are given back so that the folder can go.
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(Path, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // A file (or folder) in it.
    std::string File(const std::string& name) const { return Path + name; }
    std::string operator/(const std::string& name) const { return File(name); }

    // The folder, ending with '/'; empty when it could not be made.
    std::string Path;
};

// A file's whole content (empty when it cannot be read).
inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
