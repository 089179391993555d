#include "platform/Gamepads.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"

TGamepads::~TGamepads() {
    Stop();
}

bool TGamepads::Start(const std::string& mappingFile) {
    if (Started) return true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    Started = true;
    std::error_code ec;
    if (!mappingFile.empty() && std::filesystem::is_regular_file(PathFromUtf8(mappingFile), ec)) {
        MappingsAdded = SDL_GameControllerAddMappingsFromFile(mappingFile.c_str());
        if (MappingsAdded < 0)
            std::fprintf(stderr, "Velkaro: %s: no controller mappings read (%s)\n",
                         mappingFile.c_str(), SDL_GetError());
    }
    return true;
}

void TGamepads::Stop() {
    for (auto& [id, controller] : Open) SDL_GameControllerClose(controller);
    Open.clear();
    if (Started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    Started = false;
}

bool TGamepads::Translate(const SDL_Event& e, TPadEvent& out) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: {
            // `which` is a device index here, an instance id in every other controller event.
            SDL_GameController* c = SDL_GameControllerOpen(e.cdevice.which);
            if (c == nullptr) return false;
            const int32_t id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
            if (Open.count(id) != 0) {
                // Already open (SDL may announce a pad twice): keep one reference.
                SDL_GameControllerClose(c);
                return false;
            }
            Open[id] = c;
            out.Kind = TPadEventKind::Added;
            out.Device = id;
            return true;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            const auto it = Open.find(e.cdevice.which);
            if (it != Open.end()) {
                SDL_GameControllerClose(it->second);
                Open.erase(it);
            }
            out.Kind = TPadEventKind::Removed;
            out.Device = e.cdevice.which;
            return true;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (e.cbutton.button >= static_cast<uint8_t>(TPadButton::Count)) return false;
            out.Kind = TPadEventKind::Button;
            out.Device = e.cbutton.which;
            out.Button = static_cast<TPadButton>(e.cbutton.button);
            out.Down = e.type == SDL_CONTROLLERBUTTONDOWN;
            return true;
        case SDL_CONTROLLERAXISMOTION:
            if (e.caxis.axis >= static_cast<uint8_t>(TPadAxis::Count)) return false;
            out.Kind = TPadEventKind::Axis;
            out.Device = e.caxis.which;
            out.Axis = static_cast<TPadAxis>(e.caxis.axis);
            out.Value = e.caxis.value;
            return true;
        default:
            return false;
    }
}

TVirtualPad::~TVirtualPad() {
    Detach();
}

bool TVirtualPad::Attach() {
    Detach();
    // SDL drops controller input while no window of the program has the focus; the windows of
    // tests (dummy driver, or a virtual display) may never get it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    DeviceIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                            static_cast<int>(TPadAxis::Count),
                                            static_cast<int>(TPadButton::Count), 0);
    if (DeviceIndex < 0) return false;
    // Our own handle to set its inputs through; the game opens it as a controller itself.
    Joystick = SDL_JoystickOpen(DeviceIndex);
    return Joystick != nullptr;
}

void TVirtualPad::Detach() {
    if (Joystick == nullptr) return;
    // The device index moves when other joysticks go; find ours by its instance id.
    const SDL_JoystickID id = SDL_JoystickInstanceID(Joystick);
    SDL_JoystickClose(Joystick);
    Joystick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
    DeviceIndex = -1;
}

void TVirtualPad::SetButton(TPadButton button, bool down) {
    if (Joystick != nullptr)
        SDL_JoystickSetVirtualButton(Joystick, static_cast<int>(button), down ? 1 : 0);
}

void TVirtualPad::SetAxis(TPadAxis axis, int32_t value) {
    if (Joystick == nullptr) return;
    // The virtual triggers run over the joystick's whole range; the controller reports 0 at
    // its bottom.
    int32_t raw = value;
    if (axis == TPadAxis::TriggerLeft || axis == TPadAxis::TriggerRight)
        raw = std::clamp(value * 2 - 32768, -32768, 32767);
    SDL_JoystickSetVirtualAxis(Joystick, static_cast<int>(axis),
                               static_cast<Sint16>(std::clamp(raw, -32768, 32767)));
}
