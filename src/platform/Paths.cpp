#include "platform/Paths.h"

#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#ifndef VELKARO_DATA_FROM_BIN
#define VELKARO_DATA_FROM_BIN "../share/velkaro/"
#endif

namespace {
std::string& ProgramDirStorage() {
    static std::string dir;
    return dir;
}

std::string& DataDirStorage() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

bool IsDir(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(PathFromUtf8(path), ec);
}

std::string FindProgramDir() {
#ifdef _WIN32
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return "./";
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    std::string dir = Utf8FromPath(std::filesystem::path(exe).parent_path());
#else
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string dir = exe.parent_path().string();
#endif
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
    ProgramDirStorage() = WithSlash(std::move(dir));
}

std::string DataDir() {
    if (!DataDirStorage().empty()) return DataDirStorage();
    const std::string& program = ProgramDir();
    if (IsDir(program + "Data")) return program;
    // Installed: PREFIX/bin/velkaro with its data in PREFIX/share/velkaro/.
    const std::string installed = program + VELKARO_DATA_FROM_BIN;
    if (IsDir(installed + "Data")) return installed;
    return program;
}

void SetDataDir(std::string dir) {
    DataDirStorage() = WithSlash(std::move(dir));
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
#ifdef _WIN32
    // A drive's path, "C:/...".
    if (path.size() >= 3 && path[1] == ':' && path[2] == '/') return path;
#endif
    return DataDir() + path;
}
