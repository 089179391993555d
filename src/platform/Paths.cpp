#include "platform/Paths.h"

#include <filesystem>
#include <system_error>

namespace {
std::string& ProgramDirStorage() {
    static std::string dir;
    return dir;
}

std::string FindProgramDir() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}
}  // namespace

const std::string& ProgramDir() {
    std::string& dir = ProgramDirStorage();
    if (dir.empty()) dir = FindProgramDir();
    return dir;
}

void SetProgramDir(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    ProgramDirStorage() = std::move(dir);
}

std::string NormalizeSeparators(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

std::string GamePath(std::string_view name) {
    std::string path = NormalizeSeparators(name);
    if (!path.empty() && path.front() == '/') return path;
    return ProgramDir() + path;
}
