#include "GameProcess.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {
// The programs under test; the environment may name others (another build's, to compare).
std::string GameExe() {
    const char* exe = std::getenv("VELKARO_TEST_GAME_EXE");
    return exe != nullptr ? exe : VELKARO_GAME_EXE;
}

std::string SourceGameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : VELKARO_DEFAULT_GAME_DIR;
}

// A folder made for this object alone (tests run as concurrent processes).
fs::path FreshFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const uint64_t tag = (static_cast<uint64_t>(random()) << 32) | random();
        const fs::path dir = fs::temp_directory_path() / ("velkaro_game_" + std::to_string(tag));
        if (fs::create_directory(dir)) return dir;
    }
    throw std::runtime_error("no fresh temporary folder");
}

// Whether pid has a handler installed for sig (its caught-signals mask in /proc).
bool Catches(pid_t pid, int sig) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) != 0) continue;
        const uint64_t mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (sig - 1)) & 1u;
    }
    return false;
}

// Waits up to seconds for pid to end; true (and the status) when it did.
bool WaitFor(pid_t pid, double seconds, int& status) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// The game's one line at start saying which renderer it draws with is not a message.
bool RendererLine(const std::string& line) {
    return line.rfind("velkaro: renderer ", 0) == 0;
}

size_t LineCount(const fs::path& file) {
    std::ifstream in(file);
    size_t lines = 0;
    for (std::string line; std::getline(in, line);)
        if (!RendererLine(line)) ++lines;
    return lines;
}

[[noreturn]] void RunChild(const std::string& program, const std::vector<std::string>& args,
                           uint64_t memoryCeiling, const std::string& errorFile) {
#ifndef VELKARO_SANITIZED
    const rlimit limit{memoryCeiling, memoryCeiling};
    setrlimit(RLIMIT_AS, &limit);
#else
    (void)memoryCeiling;
#endif
    const int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = open("/dev/null", O_RDWR);
    dup2(err, 2);
    dup2(null, 1);
    dup2(null, 0);
    // The game's own leaks at exit are not what these tests are about.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Each game keeps its settings beside itself, never in the user's folder (whose lock a
    // game run by another test would hold).
    const std::string config = fs::path(program).parent_path() / "config";
    setenv("VELKARO_CONFIG_DIR", config.c_str(), 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}
}  // namespace

TGameFolder::TGameFolder() : Dir(FreshFolder()) {
    const fs::path source = SourceGameDir();
    std::error_code ec;
    fs::create_hard_link(GameExe(), Dir / "velkaro", ec);
    if (ec) fs::copy_file(GameExe(), Dir / "velkaro");
    for (const char* sub : {"Data", "Sounds"}) {
        fs::create_directory(Dir / sub);
        for (const auto& entry : fs::directory_iterator(source / sub))
            fs::create_symlink(entry.path(), Dir / sub / entry.path().filename());
    }
    if (fs::exists(source / "Fonts")) fs::create_directory_symlink(source / "Fonts", Dir / "Fonts");
}

TGameFolder::~TGameFolder() {
    std::error_code ec;
    fs::remove_all(Dir, ec);
}

void TGameFolder::Remove(const std::string& name) {
    std::error_code ec;
    fs::remove(Dir / name, ec);
}

void TGameFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    Remove(name);
    std::ofstream(Dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void TGameFolder::Link(const std::string& name, const std::string& target) {
    Remove(name);
    fs::create_symlink(target, Dir / name);
}

void TGameFolder::MakePipe(const std::string& name) {
    Remove(name);
    if (mkfifo((Dir / name).c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
}

void TGameFolder::MakeSparse(const std::string& name, uint64_t size) {
    Write(name, {});
    fs::resize_file(Dir / name, size);
}

std::vector<uint8_t> TGameFolder::Original(const std::string& name) {
    std::ifstream in(fs::path(SourceGameDir()) / name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

std::string TRunResult::Summary() const {
    std::ostringstream out;
    out << (Ended ? "" : "killed, did not end; ")
        << (EndedBeforeStop ? "ended before the stop; " : "") << "exit code " << ExitCode
        << ", signal " << Signal << ", standard error:";
    for (const std::string& line : ErrorLines) out << "\n  " << line;
    return out.str();
}

TRunResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                      uint64_t memoryCeiling, double runSeconds, int stopSignal, double stopWait) {
    TRunResult result;
    const fs::path errorFile = FreshFolder() / "stderr.txt";
    const pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) RunChild(program, args, memoryCeiling, errorFile.string());
    result.Started = true;

    int status = 0;
    bool ended = false;
    if (stopSignal != 0) {
        // Start counting once the handler is in place: a signal before it would only test
        // the default action.
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!Catches(pid, stopSignal) && std::chrono::steady_clock::now() < give_up &&
               !(ended = waitpid(pid, &status, WNOHANG) == pid))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!ended) ended = WaitFor(pid, runSeconds, status);
        result.EndedBeforeStop = ended;
        if (!ended) {
            result.LinesBeforeStop = LineCount(errorFile);
            kill(pid, stopSignal);
            ended = WaitFor(pid, stopWait, status);
        }
    } else {
        ended = WaitFor(pid, stopWait, status);
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    result.Ended = ended;
    if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);

    std::ifstream err(errorFile);
    for (std::string line; std::getline(err, line);)
        if (!RendererLine(line)) result.ErrorLines.push_back(line);
    std::error_code ec;
    fs::remove_all(errorFile.parent_path(), ec);
    return result;
}

std::string ViltoolExe() {
    const char* exe = std::getenv("VELKARO_TEST_VILTOOL_EXE");
    return exe != nullptr ? exe : VELKARO_VILTOOL_EXE;
}

bool Mentions(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}
