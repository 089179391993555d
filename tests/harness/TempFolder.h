// A folder of a test's own under the system's temporary folder, made empty and removed with
// everything in it when the test is done.
#pragma once

#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

class TTempFolder {
public:
    explicit TTempFolder(const std::string& prefix = "velkaro-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) != nullptr) Path = pattern + "/";
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
