// The game's one window: the caption "Velkaro", an 800 x 600 picture in a window that can be
// resized and maximised (the renderer scales the picture to fit), placed where it was last
// time, with the system mouse cursor hidden over it. It owns SDL's video subsystem and the game
// controllers for as long as it lives and turns SDL events into TInputEvents: keys and controller
// input come out as virtual keys, in the race by the player's bindings (TKeyMapper, TPadMapper).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Gamepads.h"
#include "platform/InputEvent.h"
#include "platform/PadMapper.h"
#include "platform/WindowPlacement.h"

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
    // Starts SDL's video and opens the window for a width x height picture, at placement when
    // it is known and still on a screen, else centred at the picture's size; it stays hidden
    // until Reveal, so it first appears with a picture in it. Controllers start too, with the
    // extra mappings of padMappings (a file that may be missing). Returns false (with Error()
    // set) on failure.
    bool Create(const std::string& caption, int width, int height,
                const TWindowPlacement& placement = {}, const std::string& padMappings = {});
    // Shows the window (the screen does it as it presents the first frame).
    void Reveal();
    void Destroy();

    // Appends every pending event, in order, to events. Mouse positions are in picture space,
    // clamped to the picture (the letterbox bars map to the nearest edge).
    void PollEvents(std::vector<TInputEvent>& events);

    void SetCaption(const std::string& caption);
    void SetSystemCursorVisible(bool visible);
    // Desktop full screen (the renderer letterboxes the picture) or back to the window as it was.
    bool SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return FullScreen; }
    // The window's place and size out of full screen, for the next run.
    TWindowPlacement Placement() const;
    // The window's client size in pixels now.
    void OutputSize(int& width, int& height) const;

    // Race or menu layout for the controllers and the keyboard (the race's keys come by the
    // bindings); controller keys of the old layout are let go.
    void SetPadLayout(TPadLayout layout);
    // The player's key and button bindings for the race layout.
    void SetControls(const TControls& controls);
    int PadCount() const { return Pads.PadCount(); }
    // How many controller mappings the settings folder's file added (-1: a file SDL refused).
    int PadMappingsAdded() const { return Gamepads.FileMappings(); }

    SDL_Window* Handle() const { return Window; }
    int ClientWidth() const { return Width; }
    int ClientHeight() const { return Height; }
    const std::string& Error() const { return LastError; }

private:
    uint32_t InitialFlags() const;
    void RememberWindowed();
    // The game's event for an SDL window event, or false for one it does not need.
    bool WindowEvent(uint8_t event, int32_t data1, int32_t data2, TInputEvent& out);

    SDL_Window* Window = nullptr;
    int Width = 0, Height = 0;
    bool FullScreen = false;
    bool VideoStarted = false;
    std::string LastError;
    TGamepads Gamepads;
    TPadMapper Pads;
    TKeyMapper Keys;
    // Key ups of a layout change, given out with the next events.
    std::vector<TInputEvent> PadKeys;
    // The window's place before full screen, restored after it.
    TWindowPlacement Windowed;
};
