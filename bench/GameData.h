// Where velkaro-sim and the benchmarks find the game's data files: the folder named with
// --data DIR, else VELKARO_GAME_DIR, else the build tree's game folder (bench/../game, where
// the game itself runs from), else the program's own folder. Without the files a race would
// run with no pictures and so no road collision, and its figures would mean nothing: the
// programs refuse to run instead, with exit code 2.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Paths.h"

namespace benchdata {

inline bool HasFiles(const std::string& dir, std::initializer_list<const char*> files) {
    std::error_code ec;
    for (const char* f : files)
        if (!std::filesystem::is_regular_file(std::filesystem::path(dir) / f, ec)) return false;
    return true;
}

// Takes "--data DIR" out of the arguments; returns DIR, or an empty string without one.
inline std::string TakeDataOption(int& argc, char** argv) {
    std::string dir;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg.rfind("--data=", 0) == 0) {
            dir = arg.substr(7);
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    return dir;
}

// Finds the data folder holding every one of files, points the game's file lookup (and the
// headless harness, through VELKARO_GAME_DIR) at it and returns it. Prints why and exits
// with code 2 when there is none.
inline std::string UseGameDataOrExit(int& argc, char** argv,
                                     std::initializer_list<const char*> files) {
    const std::string given = TakeDataOption(argc, argv);
    std::vector<std::string> tried;
    if (!given.empty()) {
        tried.push_back(given);
    } else {
        if (const char* env = std::getenv("VELKARO_GAME_DIR")) tried.emplace_back(env);
        tried.push_back(ProgramDir() + "../game");
        tried.push_back(ProgramDir());
    }
    for (const std::string& dir : tried) {
        if (!HasFiles(dir, files)) continue;
        setenv("VELKARO_GAME_DIR", dir.c_str(), 1);
        SetProgramDir(dir);
        return dir;
    }
    std::fprintf(stderr, "%s: the game's data files are missing (looked for", argv[0]);
    for (const char* f : files) std::fprintf(stderr, " %s", f);
    std::fprintf(stderr, " in");
    for (const std::string& dir : tried) std::fprintf(stderr, " %s", dir.c_str());
    std::fprintf(stderr,
                 "). Build the game first (cmake --build build) or name its folder with "
                 "--data DIR.\n");
    std::exit(2);
}

}  // namespace benchdata
