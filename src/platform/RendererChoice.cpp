#include "platform/RendererChoice.h"

#include <SDL.h>

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/NativePath.h"

namespace {
constexpr std::string_view RendererFlag = "--renderer";

std::string Lower(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(PathFromUtf8(path));
    std::string line;
    if (in) std::getline(in, line);
    return line.size() > 64 ? std::string() : line;
}

#ifndef _WIN32
// A GPU that OpenGL can draw on is reached through a device node: a DRM render node (Mesa's
// drivers), NVIDIA's own node, or WSL's GPU. Without any, OpenGL can only be a software
// rasteriser, and there is no need to start it to find out.
bool HasGpuDeviceNode() {
    std::error_code ec;
    for (const char* node : {"/dev/nvidia0", "/dev/dxg"})
        if (std::filesystem::exists(node, ec)) return true;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec))
        if (entry.path().filename().string().starts_with("renderD")) return true;
    return false;
}

// In the child: start SDL's video, make a hidden OpenGL window and context, write the
// renderer string to fd. Never returns.
[[noreturn]] void ProbeChild(int fd) {
    std::string text;
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        SDL_Window* w =
            SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
        SDL_GLContext ctx = w != nullptr ? SDL_GL_CreateContext(w) : nullptr;
        using TGetString = const unsigned char* (*)(unsigned int);
        const auto getString =
            ctx != nullptr ? reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"))
                           : nullptr;
        constexpr unsigned int GlRenderer = 0x1F01;
        const unsigned char* name = getString != nullptr ? getString(GlRenderer) : nullptr;
        if (name != nullptr) text = reinterpret_cast<const char*>(name);
    }
    if (!text.empty()) [[maybe_unused]]
        const auto n = write(fd, text.data(), text.size());
    _exit(0);
}

// The OpenGL renderer string, or empty when OpenGL cannot be had (or the probe took longer
// than a second).
std::string ProbeGlRenderer() {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return {};
    }
    if (pid == 0) {
        close(fds[0]);
        ProbeChild(fds[1]);
    }
    close(fds[1]);
    std::string text;
    std::array<char, 256> buffer{};
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 1000) > 0) {
        const ssize_t n = read(fds[0], buffer.data(), buffer.size());
        if (n <= 0) break;
        text.append(buffer.data(), static_cast<size_t>(n));
        if (text.size() > 1024) break;
    }
    close(fds[0]);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return text;
}
#endif
}  // namespace

std::optional<TRendererOption> RendererOptionFromText(std::string_view text) {
    const std::string name = Lower(text);
    if (name == "auto") return TRendererOption::Auto;
    if (name == "software") return TRendererOption::Software;
    if (name == "opengl") return TRendererOption::OpenGL;
    return std::nullopt;
}

TRendererOption ResolveRendererOption(const std::vector<std::string_view>& args,
                                      const char* envValue, const std::string& configDir,
                                      std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string_view> value;
        if (args[i] == RendererFlag) {
            if (i + 1 < args.size()) value = args[i + 1];
        } else if (args[i].starts_with("--renderer=")) {
            value = args[i].substr(RendererFlag.size() + 1);
        } else {
            continue;
        }
        const auto option = value ? RendererOptionFromText(*value) : std::nullopt;
        if (!option) error = "--renderer needs auto, software or opengl after it";
        return option.value_or(TRendererOption::Auto);
    }
    if (envValue != nullptr)
        if (const auto option = RendererOptionFromText(envValue)) return *option;
    if (!configDir.empty()) {
        std::string dir = configDir;
        if (dir.back() != '/') dir += '/';
        if (const auto option = RendererOptionFromText(FirstLine(dir + kRendererConfigFile)))
            return *option;
    }
    return TRendererOption::Auto;
}

bool IsSoftwareRasteriser(std::string_view glRenderer) {
    const std::string name = Lower(glRenderer);
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "softwarerasterizer"})
        if (name.find(soft) != std::string::npos) return true;
    return false;
}

TRendererChoice ChooseRenderer(TRendererOption option) {
    if (option == TRendererOption::Software) return {false, "software (asked for)"};
    if (option == TRendererOption::OpenGL) {
#ifdef _WIN32
        // SDL's accelerated renderer would take Direct3D first.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
#endif
        return {true, "opengl (asked for)"};
    }
    const char* driver = SDL_getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && std::string_view(driver) == "dummy")
        return {false, "software (the dummy video driver has no OpenGL)"};
#ifdef _WIN32
    // Every Windows machine has Direct3D, which SDL's accelerated renderer takes first.
    return {true, "accelerated (Direct3D)"};
#else
    if (!HasGpuDeviceNode())
        return {false,
                "software (no GPU device: OpenGL would be a software rasteriser, and "
                "SDL's software renderer draws this game faster)"};
    const std::string gl = ProbeGlRenderer();
    if (gl.empty()) return {false, "software (no OpenGL available)"};
    if (IsSoftwareRasteriser(gl))
        return {false, "software (OpenGL is " + gl +
                           ", a software rasteriser: SDL's software renderer draws this game "
                           "faster)"};
    return {true, "opengl (OpenGL is " + gl + ", a GPU)"};
#endif
}
