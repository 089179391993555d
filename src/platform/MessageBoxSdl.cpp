// The message box in a window, through SDL. Kept apart from the dispatch in MessageBox.cpp so
// that code without SDL (the race world, the score service) can still report through it.
#include <SDL.h>

#include <cstring>

#include "platform/MessageBox.h"

namespace {
// A real box only makes sense with a real video driver; the dummy and offscreen drivers
// have no one to click it, so the text stays on standard error.
bool HeadlessVideo() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) driver = SDL_getenv("SDL_VIDEODRIVER");
    return driver == nullptr || std::strcmp(driver, "dummy") == 0 ||
           std::strcmp(driver, "offscreen") == 0;
}

void ShowSdlBox(const TMessage& message) {
    if (HeadlessVideo()) return;
    const std::string& text = message.Text;
    const std::string& detail = message.Detail;
    const std::string shown = detail.empty() ? text : text + "\n\n" + detail;
    const Uint32 flags = message.Icon == TMsgIcon::Error         ? SDL_MESSAGEBOX_ERROR
                         : message.Icon == TMsgIcon::Information ? SDL_MESSAGEBOX_INFORMATION
                                                                 : 0;
    SDL_MessageBoxButtonData buttonData[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
    };
    const SDL_MessageBoxData data{flags,
                                  nullptr,
                                  message.Caption.c_str(),
                                  shown.c_str(),
                                  message.Buttons == TMsgButtons::OkCancel ? 2 : 1,
                                  buttonData,
                                  nullptr};
    int pressed = 0;
    SDL_ShowMessageBox(&data, &pressed);
}
}  // namespace

void InstallWindowMessageBoxes() {
    SetWindowBoxShower(&ShowSdlBox);
}
