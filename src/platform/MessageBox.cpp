#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/StopSignal.h"

namespace {
TMessageHandler& Handler() {
    static TMessageHandler handler;
    return handler;
}

// A real box only makes sense with a real video driver; the dummy and offscreen drivers
// have no one to click it, so the text goes to standard error.
bool HeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) driver = SDL_getenv("SDL_VIDEODRIVER");
    return driver == nullptr || std::strcmp(driver, "dummy") == 0 ||
           std::strcmp(driver, "offscreen") == 0;
}
}  // namespace

TMessageHandler SetMessageHandler(TMessageHandler handler) {
    TMessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

void ShowMessageBox(const std::string& caption, const std::string& text, TMsgButtons buttons,
                    TMsgIcon icon, const std::string& detail) {
    const TMessage message{caption, text, buttons, icon, detail};
    if (Handler()) {
        Handler()(message);
        return;
    }
    if (detail.empty())
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    else
        std::fprintf(stderr, "%s: %s (%s)\n", caption.c_str(), text.c_str(), detail.c_str());
    if (HeadlessVideo() || StopRequested()) return;
    const std::string shown = detail.empty() ? text : text + "\n\n" + detail;
    const Uint32 flags = icon == TMsgIcon::Error         ? SDL_MESSAGEBOX_ERROR
                         : icon == TMsgIcon::Information ? SDL_MESSAGEBOX_INFORMATION
                                                         : 0;
    SDL_MessageBoxButtonData buttonData[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    const SDL_MessageBoxData data{flags,
                                  nullptr,
                                  caption.c_str(),
                                  shown.c_str(),
                                  buttons == TMsgButtons::OkCancel ? 2 : 1,
                                  buttonData,
                                  nullptr};
    int pressed = 0;
    SDL_ShowMessageBox(&data, &pressed);
}
