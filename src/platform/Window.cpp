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

// Whether any part of the window would be on a display (a screen unplugged since last time
// must not leave the window out of reach).
bool OnSomeScreen(const TWindowPlacement& p) {
    const SDL_Rect window{p.X, p.Y, p.Width, p.Height};
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_HasIntersection(&window, &bounds))
            return true;
    }
    return false;
}
}  // namespace

TPlatformWindow::~TPlatformWindow() {
    Destroy();
}

bool TPlatformWindow::Create(const std::string& caption, int width, int height,
                             const TWindowPlacement& placement, const std::string& padMappings) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        LastError = SDL_GetError();
        return false;
    }
    VideoStarted = true;
    const bool placed = placement.Known && OnSomeScreen(placement);
    const int x = placed ? placement.X : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int y = placed ? placement.Y : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int w = placement.Known ? placement.Width : width;
    const int h = placement.Known ? placement.Height : height;
    Uint32 flags = InitialFlags() | SDL_WINDOW_RESIZABLE;
    if (placement.Known && placement.Maximized) flags |= SDL_WINDOW_MAXIMIZED;
    Window = SDL_CreateWindow(caption.c_str(), x, y, w, h, flags);
    if (Window == nullptr) {
        LastError = SDL_GetError();
        return false;
    }
    SDL_SetWindowMinimumSize(Window, kMinWindowWidth, kMinWindowHeight);
    Width = width;
    Height = height;
    Windowed.Known = true;
    SDL_GetWindowPosition(Window, &Windowed.X, &Windowed.Y);
    Windowed.Width = w;
    Windowed.Height = h;
    Windowed.Maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    // No controller support is no reason not to play with the keyboard.
    Gamepads.Start(padMappings);
    return true;
}

uint32_t TPlatformWindow::InitialFlags() const {
#ifdef _WIN32
    // The accelerated renderer is Direct3D here unless OpenGL was asked for by name, and SDL
    // remakes the window for OpenGL itself when its renderer needs that.
    return SDL_WINDOW_HIDDEN;
#else
    return SDL_WINDOW_HIDDEN | (OpenGL ? SDL_WINDOW_OPENGL : 0);
#endif
}

void TPlatformWindow::Reveal() {
    if (Window != nullptr && (SDL_GetWindowFlags(Window) & SDL_WINDOW_HIDDEN) != 0)
        SDL_ShowWindow(Window);
}

void TPlatformWindow::Destroy() {
    Gamepads.Stop();
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
    if (fullScreen && !FullScreen) RememberWindowed();
    if (SDL_SetWindowFullscreen(Window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        LastError = SDL_GetError();
        return false;
    }
    FullScreen = fullScreen;
    if (!fullScreen && !Windowed.Maximized) {
        // Back to the window as it was; not every window manager restores it by itself.
        SDL_SetWindowSize(Window, Windowed.Width, Windowed.Height);
        SDL_SetWindowPosition(Window, Windowed.X, Windowed.Y);
    }
    return true;
}

void TPlatformWindow::RememberWindowed() {
    if (Window == nullptr || FullScreen) return;
    const Uint32 flags = SDL_GetWindowFlags(Window);
    if ((flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0) return;
    if ((flags & SDL_WINDOW_MINIMIZED) != 0) return;
    Windowed.Maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    // A maximised window keeps the size it will go back to.
    if (Windowed.Maximized) return;
    SDL_GetWindowPosition(Window, &Windowed.X, &Windowed.Y);
    SDL_GetWindowSize(Window, &Windowed.Width, &Windowed.Height);
}

TWindowPlacement TPlatformWindow::Placement() const {
    TWindowPlacement p = Windowed;
    p.Width = std::clamp(p.Width, kMinWindowWidth, kMaxWindowSide);
    p.Height = std::clamp(p.Height, kMinWindowHeight, kMaxWindowSide);
    return p;
}

void TPlatformWindow::OutputSize(int& width, int& height) const {
    width = Width;
    height = Height;
    if (Window != nullptr) SDL_GetWindowSize(Window, &width, &height);
}

void TPlatformWindow::SetPadLayout(TPadLayout layout) {
    Pads.SetLayout(layout, PadKeys);
    Keys.SetLayout(layout);
}

void TPlatformWindow::SetControls(const TControls& controls) {
    Pads.SetControls(controls, PadKeys);
    Keys.SetControls(controls);
}

bool TPlatformWindow::WindowEvent(uint8_t event, int32_t data1, int32_t data2, TInputEvent& out) {
    switch (event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.Kind = TInputKind::FocusLost;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.Kind = TInputKind::FocusGained;
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            out.Kind = TInputKind::Minimized;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            RememberWindowed();
            out.Kind = TInputKind::Restored;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            RememberWindowed();
            out.Kind = TInputKind::Resized;
            out.X = data1;
            out.Y = data2;
            return true;
        case SDL_WINDOWEVENT_MOVED:
            RememberWindowed();
            return false;
        default:
            return false;
    }
}

void TPlatformWindow::PollEvents(std::vector<TInputEvent>& events) {
    const auto clampX = [this](int x) { return std::clamp(x, 0, std::max(Width - 1, 0)); };
    const auto clampY = [this](int y) { return std::clamp(y, 0, std::max(Height - 1, 0)); };
    events.insert(events.end(), PadKeys.begin(), PadKeys.end());
    PadKeys.clear();
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        TPadEvent pad;
        if (Gamepads.Translate(e, pad)) {
            Pads.Feed(pad, events);
            continue;
        }
        TInputEvent out;
        switch (e.type) {
            case SDL_QUIT:
                out.Kind = TInputKind::Quit;
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                out.Kind = e.type == SDL_KEYDOWN ? TInputKind::KeyDown : TInputKind::KeyUp;
                out.Physical = e.key.keysym.sym;
                out.Repeat = e.key.repeat != 0;
                out.Key = e.type == SDL_KEYDOWN ? Keys.Down(out.Physical, out.Repeat)
                                                : Keys.Up(out.Physical);
                // A key the game has no code for still counts while the controls page waits
                // for one to bind.
                if (out.Key == 0 && (Pads.Layout() != TPadLayout::Capture || out.Physical == 0))
                    continue;
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
                // SDL's click count (e.button.clicks) is left behind on purpose: no screen
                // wants a double-click, and each press of a quick pair must click on its own
                // (two fast clicks on a track page's arrow step two tracks).
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
                if (!WindowEvent(e.window.event, e.window.data1, e.window.data2, out)) continue;
                break;
            default:
                continue;
        }
        events.push_back(std::move(out));
    }
}
