// The game's one window: an 800 x 600 client area with the caption "Velkaro", centred at start,
// minimisable but not resizable, with the system mouse cursor hidden over it. It owns SDL's
// video subsystem for as long as it lives and turns SDL events into TInputEvents.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/InputEvent.h"

struct SDL_Window;

class TPlatformWindow {
public:
    TPlatformWindow() = default;
    ~TPlatformWindow();
    TPlatformWindow(const TPlatformWindow&) = delete;
    TPlatformWindow& operator=(const TPlatformWindow&) = delete;

    // Made for OpenGL drawing (set before Create): SDL would otherwise destroy the window and
    // make it again when an OpenGL renderer comes.
    bool OpenGL = false;
    // Starts SDL's video and opens the window, hidden until Reveal: it first appears with a
    // picture in it. Returns false (with Error() set) on failure.
    bool Create(const std::string& caption, int width, int height);
    // Shows the window (the screen does it as it presents the first frame).
    void Reveal();
    void Destroy();

    // Appends every pending event, in order, to events. Mouse positions are in client space,
    // clamped to the client size (the letterbox bars of full screen map to the nearest edge).
    void PollEvents(std::vector<TInputEvent>& events);

    void SetCaption(const std::string& caption);
    void SetSystemCursorVisible(bool visible);
    // Desktop full screen (the renderer letterboxes the client picture) or the saved window.
    bool SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return FullScreen; }

    SDL_Window* Handle() const { return Window; }
    int ClientWidth() const { return Width; }
    int ClientHeight() const { return Height; }
    const std::string& Error() const { return LastError; }

private:
    uint32_t InitialFlags() const;

    SDL_Window* Window = nullptr;
    int Width = 0, Height = 0;
    bool FullScreen = false;
    bool VideoStarted = false;
    std::string LastError;
};
