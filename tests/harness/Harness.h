// The headless harness: the whole shell with a manual clock, and (optionally) a window on SDL's
// dummy video driver. Tests inject keys and mouse events and run frames one at a time; every
// frame advances the clock by exactly one frame period, so the frame timer ticks once and the
// race clock keeps real time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/MainLoop.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/PadMapper.h"
#include "platform/Window.h"
#include "shell/Form1.h"

struct THarnessOptions {
    bool WithWindow = false;  // open a window on the dummy driver (needed for drawing)
    bool Start = true;        // run FormCreate and FormShow
    uint64_t Seed = 1;
    // The settings folder; empty gives a fresh temporary one, removed with the harness.
    std::string ConfigDir{};
};

class THarness {
public:
    explicit THarness(THarnessOptions options = {});
    ~THarness();

    TForm1& Form() { return *Form1Ptr; }
    TManualClock& Clock() { return ClockValue; }
    // The folder the game reads and writes its settings files in (with a trailing '/').
    const std::string& ConfigDir() const { return ConfigFolder; }

    void KeyDown(int32_t key);
    void KeyUp(int32_t key);
    // A quick press: down and up, then one frame.
    void Tap(int32_t key);
    // A press as a player's finger makes it: down, one frame, up, one frame. The release
    // reaches whatever screen the press left the game on.
    void Stroke(int32_t key);
    // Mouse and text events reach the GUI at the start of the next frame (RunFrames). The GUI
    // drops a move closer than 10 ms to the last one, so give a frame between moves.
    void MouseMove(int32_t x, int32_t y);
    void MouseDown(int32_t x, int32_t y, TMouseButton button = TMouseButton::Left);
    void MouseUp(int32_t x, int32_t y, TMouseButton button = TMouseButton::Left);
    // A left click at (x, y): the press takes the mouse there first.
    void Click(int32_t x, int32_t y);
    // Typed UTF-8 text, as the window's text input delivers it.
    void TypeText(const std::string& utf8);
    void Event(const TInputEvent& event);

    // A key of the keyboard by its SDL key code, turned into virtual keys as the window turns
    // it: by the game's current layout, with the player's bindings in the race.
    void PhysicalKeyDown(int32_t sdlKey);
    void PhysicalKeyUp(int32_t sdlKey);
    // A quick press of the key SDL calls name ("W", "Left Ctrl"), then one frame.
    void PressKey(const std::string& name);
    // A button of a connected controller, through the same pad mapper as the window's (race
    // keys by the bindings, a bare button press while the controls page waits for one).
    void PadButton(TPadButton button, bool down);

    // Hands everything the window (WithWindow) has to the game, as the main loop does:
    // controller input among it. Returns the number of events.
    int32_t PumpWindow();
    TPlatformWindow* PlatformWindow() { return Window.get(); }

    // Runs n frames: each advances the clock by one frame period and runs one loop pass.
    void RunFrames(int32_t n);
    // Starts a game straight into a race at the given level (difficulty advanced as if the
    // earlier races had been won), with the game's generator seeded.
    void StartRace(int32_t level, uint64_t seed);
    int64_t FramePeriod() const;

private:
    // Brings the input mappers up to the game's layout and bindings, as the window is told
    // every frame; keys the change lets go go to the game.
    void SyncInput();

    std::string ConfigFolder;
    TKeyMapper Keys;
    TPadMapper Pads;
    bool OwnsConfigFolder = false;
    TManualClock ClockValue;
    std::unique_ptr<TPlatformWindow> Window;
    std::unique_ptr<TForm1> Form1Ptr;
    std::unique_ptr<TMainLoop> Loop;
};
