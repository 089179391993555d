// Running the real game and viltool as child processes on a folder of damaged files: headless
// (SDL's dummy drivers), under an address-space ceiling (setrlimit, except in sanitizer builds,
// whose shadow memory needs terabytes of address space), with standard error kept for the
// test to read. A run that does not end after being asked to is killed and reported.
#pragma once

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A game folder of its own: a copy of the game executable (the game finds its data beside
// itself), and links to the generated Data, Sounds and Fonts files that a test may replace.
class TGameFolder {
public:
    TGameFolder();
    ~TGameFolder();
    TGameFolder(const TGameFolder&) = delete;
    TGameFolder& operator=(const TGameFolder&) = delete;

    // name is relative to the folder ("Data/data1.vil"); each replaces what was there.
    void Write(const std::string& name, const std::vector<uint8_t>& bytes);
    void Link(const std::string& name, const std::string& target);
    void MakePipe(const std::string& name);
    void MakeSparse(const std::string& name, uint64_t size);
    // The generated file's bytes (from the build's game folder).
    static std::vector<uint8_t> Original(const std::string& name);

    std::filesystem::path Dir;
    std::string Executable() const { return (Dir / "velkaro").string(); }

private:
    void Remove(const std::string& name);
};

inline constexpr uint64_t kMiB = uint64_t{1} << 20;
// The game idles headless in about 140 MB of address space; the ceiling leaves room for two
// pictures of the size limit with their textures, and none for what damaged files ask.
inline constexpr uint64_t kGameCeiling = 1024 * kMiB;
// How long the game runs before it is asked to stop: enough for start-up and some frames.
#ifdef VELKARO_SANITIZED
inline constexpr double kRunSeconds = 5.0;
#else
inline constexpr double kRunSeconds = 3.0;
#endif
// Only a guard against a hang; the game is expected to end far sooner.
inline constexpr double kStopWait = 10.0;

// Whether any of the lines holds text.
bool Mentions(const std::vector<std::string>& lines, const std::string& text);

struct TRunResult {
    bool Started = false;
    bool EndedBeforeStop = false;  // ended on its own before the signal was sent
    bool Ended = false;            // ended at all (else it was killed)
    int ExitCode = -1;             // when it exited
    int Signal = 0;                // when a signal ended it
    std::vector<std::string> ErrorLines;
    size_t LinesBeforeStop = 0;  // lines of standard error written before the stop signal
    std::string Summary() const;
};

// Runs program with args under a ceiling of memoryCeiling bytes of address space. After
// runSeconds (counted from the moment the program has installed its handler for stopSignal,
// when stopSignal is not 0), sends stopSignal and waits up to stopWait seconds for the end.
// With stopSignal 0 it only waits up to stopWait seconds for the program to end by itself.
TRunResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                      uint64_t memoryCeiling, double runSeconds, int stopSignal, double stopWait);

// viltool, or the one VELKARO_TEST_VILTOOL_EXE names (VELKARO_TEST_GAME_EXE likewise names
// the game to copy into each folder).
std::string ViltoolExe();
