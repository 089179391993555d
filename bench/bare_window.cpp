// The baseline of bench/window_bench.sh: a bare SDL program that opens the game's 800 x 600
// window with the same renderer and presents cleared frames at 90 per second, so that the
// game's memory, CPU and pacing can be read against what SDL and the driver cost alone.
// Usage: bare_window [--renderer software|opengl] [--seconds N]
// Prints, at exit, the same figures as the game's --stats.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t i = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[i];
}
}  // namespace

int main(int argc, char** argv) {
    std::string renderer = "opengl";
    double seconds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--renderer") == 0) renderer = argv[i + 1];
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
    }
    const bool software = renderer == "software";
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    if (software) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const Uint32 flags = software ? SDL_WINDOW_SHOWN : SDL_WINDOW_SHOWN | SDL_WINDOW_OPENGL;
    SDL_Window* window = SDL_CreateWindow("Velkaro bare", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 800, 600, flags);
    if (window == nullptr) return 1;
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, software ? "software" : "opengl");
    SDL_Renderer* r =
        SDL_CreateRenderer(window, -1, software ? SDL_RENDERER_SOFTWARE : SDL_RENDERER_ACCELERATED);
    if (r == nullptr) return 1;
    const Uint64 freq = SDL_GetPerformanceFrequency();
    const Uint64 period = freq / 90;
    const Uint64 start = SDL_GetPerformanceCounter();
    Uint64 deadline = start, last = 0;
    std::vector<double> gaps;
    long frames = 0;
    bool quit = false;
    while (!quit && SDL_GetPerformanceCounter() - start < static_cast<Uint64>(seconds * freq)) {
        SDL_Event e;
        while (SDL_PollEvent(&e) != 0)
            if (e.type == SDL_QUIT) quit = true;
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r);
        SDL_RenderPresent(r);
        const Uint64 now = SDL_GetPerformanceCounter();
        if (last != 0) gaps.push_back(1000.0 * static_cast<double>(now - last) / freq);
        last = now;
        ++frames;
        deadline += period;
        // Sleep to a millisecond before the deadline, then spin: the game's pacing.
        for (;;) {
            const Uint64 t = SDL_GetPerformanceCounter();
            if (t >= deadline) break;
            if (deadline - t > freq / 500) SDL_Delay(1);
        }
    }
    const double elapsed = static_cast<double>(SDL_GetPerformanceCounter() - start) / freq;
    std::fprintf(stderr,
                 "stats renderer %s\nstats ticks_per_second %.2f\nstats present_gap_ms median %.2f "
                 "p99 %.2f max %.2f\n",
                 renderer.c_str(), static_cast<double>(frames) / elapsed, Percentile(gaps, 0.5),
                 Percentile(gaps, 0.99),
                 gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));
    SDL_DestroyRenderer(r);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
