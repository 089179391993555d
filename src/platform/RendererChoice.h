// Which SDL renderer the game draws with, decided before the window exists so that the window
// is made once with the flags that renderer needs. OpenGL drawn by a software rasteriser
// (Mesa's llvmpipe, softpipe, swrast) costs several times the CPU, memory and start-up time of
// SDL's own software renderer for this game's pictures, so "auto" takes the software renderer
// there and OpenGL only on a real GPU. `--renderer auto|software|opengl`, VELKARO_RENDERER or
// a Renderer.cfg line in the settings folder (in that order) override it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TRendererOption { Auto, Software, OpenGL };

inline constexpr const char* kRendererEnv = "VELKARO_RENDERER";
inline constexpr const char* kRendererConfigFile = "Renderer.cfg";

// "auto", "software" or "opengl" (any letter case, blanks around ignored).
std::optional<TRendererOption> RendererOptionFromText(std::string_view text);

// The option from "--renderer X" / "--renderer=X", else the environment value, else the first
// line of Renderer.cfg in configDir, else Auto. `error` is set for an unknown name or a
// missing value on the command line; unknown names elsewhere are ignored.
TRendererOption ResolveRendererOption(const std::vector<std::string_view>& args,
                                      const char* envValue, const std::string& configDir,
                                      std::string& error);

// Whether an OpenGL renderer string names a software rasteriser.
bool IsSoftwareRasteriser(std::string_view glRenderer);

struct TRendererChoice {
    bool OpenGL = false;
    std::string Reason;  // one line for the log
};

// Decides. On Windows, Auto takes SDL's accelerated renderer (Direct3D; OpenGL only when asked
// for by name). Elsewhere Auto asks OpenGL for its renderer string in a short-lived child process
// (before SDL is started here), so that the driver's threads and memory never reach the game.
TRendererChoice ChooseRenderer(TRendererOption option);
