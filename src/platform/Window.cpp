#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>

#include "platform/KeyCodes.h"

namespace {
TMouseButton ButtonFromSdl(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return TMouseButton::Left;
        case SDL_BUTTON_RIGHT:
            return TMouseButton::Right;
        case SDL_BUTTON_MIDDLE:
            return TMouseButton::Middle;
        default:
            return TMouseButton::None;
    }
}
}  // namespace

TPlatformWindow::~TPlatformWindow() {
    Destroy();
}

bool TPlatformWindow::Create(const std::string& caption, int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        LastError = SDL_GetError();
        return false;
    }
    VideoStarted = true;
    Window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              width, height, InitialFlags());
    if (Window == nullptr) {
        LastError = SDL_GetError();
        return false;
    }
    Width = width;
    Height = height;
    return true;
}

uint32_t TPlatformWindow::InitialFlags() const {
    return SDL_WINDOW_HIDDEN | (OpenGL ? SDL_WINDOW_OPENGL : 0);
}

void TPlatformWindow::Reveal() {
    if (Window != nullptr && (SDL_GetWindowFlags(Window) & SDL_WINDOW_HIDDEN) != 0)
        SDL_ShowWindow(Window);
}

void TPlatformWindow::Destroy() {
    if (Window != nullptr) SDL_DestroyWindow(Window);
    Window = nullptr;
    if (VideoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    VideoStarted = false;
}

void TPlatformWindow::SetCaption(const std::string& caption) {
    if (Window != nullptr) SDL_SetWindowTitle(Window, caption.c_str());
}

void TPlatformWindow::SetSystemCursorVisible(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool TPlatformWindow::SetFullScreen(bool fullScreen) {
    if (Window == nullptr) return false;
    if (SDL_SetWindowFullscreen(Window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        LastError = SDL_GetError();
        return false;
    }
    FullScreen = fullScreen;
    if (!fullScreen) {
        SDL_SetWindowSize(Window, Width, Height);
        SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    return true;
}

void TPlatformWindow::PollEvents(std::vector<TInputEvent>& events) {
    const auto clampX = [this](int x) { return std::clamp(x, 0, std::max(Width - 1, 0)); };
    const auto clampY = [this](int y) { return std::clamp(y, 0, std::max(Height - 1, 0)); };
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        TInputEvent out;
        switch (e.type) {
            case SDL_QUIT:
                out.Kind = TInputKind::Quit;
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                out.Kind = e.type == SDL_KEYDOWN ? TInputKind::KeyDown : TInputKind::KeyUp;
                out.Key = VirtualKeyFromSdl(e.key.keysym.sym);
                if (out.Key == 0) continue;
                break;
            case SDL_MOUSEMOTION:
                out.Kind = TInputKind::MouseMove;
                out.X = clampX(e.motion.x);
                out.Y = clampY(e.motion.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                out.Kind =
                    e.type == SDL_MOUSEBUTTONDOWN ? TInputKind::MouseDown : TInputKind::MouseUp;
                out.Button = ButtonFromSdl(e.button.button);
                if (out.Button == TMouseButton::None) continue;
                out.X = clampX(e.button.x);
                out.Y = clampY(e.button.y);
                break;
            case SDL_MOUSEWHEEL:
                out.Kind = TInputKind::MouseWheel;
                out.X = e.wheel.x;
                out.Y = e.wheel.y;
                break;
            case SDL_TEXTINPUT:
                out.Kind = TInputKind::TextInput;
                out.Text = e.text.text;
                break;
            case SDL_RENDER_TARGETS_RESET:
            case SDL_RENDER_DEVICE_RESET:
                out.Kind = TInputKind::RenderReset;
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    out.Kind = TInputKind::FocusLost;
                } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                    out.Kind = TInputKind::FocusGained;
                } else {
                    continue;
                }
                break;
            default:
                continue;
        }
        events.push_back(std::move(out));
    }
}
