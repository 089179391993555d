#include "platform/OpenUrl.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace {
TUrlOpener& Opener() {
    static TUrlOpener opener;
    return opener;
}

bool HeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) driver = SDL_getenv("SDL_VIDEODRIVER");
    return driver != nullptr &&
           (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}
}  // namespace

TUrlOpener SetUrlOpener(TUrlOpener opener) {
    TUrlOpener old = std::move(Opener());
    Opener() = std::move(opener);
    return old;
}

void OpenUrlInBrowser(const std::string& url) {
    if (Opener()) {
        Opener()(url);
        return;
    }
    if (HeadlessVideo()) {
        std::fprintf(stderr, "Velkaro: web page %s (not opened without a display)\n", url.c_str());
        return;
    }
    if (SDL_OpenURL(url.c_str()) != 0) {
        std::fprintf(stderr, "Velkaro: could not open %s: %s\n", url.c_str(), SDL_GetError());
    }
}
