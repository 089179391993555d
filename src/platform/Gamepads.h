// TGamepads: SDL's game controllers, opened as they are plugged in and closed as they go. It
// starts SDL's controller subsystem, adds the extra mappings (SDL reads SDL_GAMECONTROLLERCONFIG
// itself; a gamecontrollerdb.txt in the settings folder is added here) and turns SDL's
// controller events into TPadEvents for the TPadMapper.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/PadMapper.h"

union SDL_Event;
struct _SDL_GameController;

class TGamepads {
public:
    TGamepads() = default;
    ~TGamepads();
    TGamepads(const TGamepads&) = delete;
    TGamepads& operator=(const TGamepads&) = delete;

    // Starts the subsystem and adds the mappings of mappingFile when it exists. The pads
    // present already arrive as added events. False when SDL has no controller support.
    bool Start(const std::string& mappingFile);
    void Stop();
    // How many mappings the file added (0 with no file; -1 for a file SDL refused).
    int32_t FileMappings() const { return MappingsAdded; }

    // The pad event of an SDL controller event (opening or closing the controller on
    // hot-plug), or false for any other event.
    bool Translate(const SDL_Event& e, TPadEvent& out);
    int32_t OpenCount() const { return static_cast<int32_t>(Open.size()); }

private:
    bool Started = false;
    int32_t MappingsAdded = 0;
    std::map<int32_t, _SDL_GameController*> Open;
};

// A controller made of nothing, for tests: SDL's virtual joystick with the standard
// controller layout. Attaching it plugs it in (an added event follows), detaching unplugs it.
class TVirtualPad {
public:
    TVirtualPad() = default;
    ~TVirtualPad();
    TVirtualPad(const TVirtualPad&) = delete;
    TVirtualPad& operator=(const TVirtualPad&) = delete;

    bool Attach();
    void Detach();
    // Take effect at the next event poll.
    void SetButton(TPadButton button, bool down);
    void SetAxis(TPadAxis axis, int32_t value);

private:
    int32_t DeviceIndex = -1;
    struct _SDL_Joystick* Joystick = nullptr;
};
