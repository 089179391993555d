// TPadMapper: turns game-controller input into the virtual keys the keyboard gives, so the
// shell's key tables cannot tell a pad from a keyboard and a key log replays either. Several
// pads may be connected at once; a key is down while any pad holds it. Two layouts: the race
// (stick and d-pad steer, triggers and A/B drive, X handbrake, Y horn, Start pause, Back the
// quit menu, the buttons as the player bound them: TControls) and the menus (d-pad and stick
// as arrows, A Enter, B Escape). A third layout gives no keys: the controls page waiting for
// a button to bind gets each fresh press as a PadButton event instead. A button held across
// a change of layout gives no key in the new one until it is let go, as a key pressed on
// one screen is not a fresh press on the next. Plain logic, no SDL: the platform window feeds
// it SDL's controller events, tests feed it by hand.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/Controls.h"
#include "platform/InputEvent.h"
#include "platform/PadButton.h"

enum class TPadEventKind : uint8_t { Added, Removed, Button, Axis };

struct TPadEvent {
    TPadEventKind Kind = TPadEventKind::Button;
    int32_t Device = 0;  // the controller's instance id
    TPadButton Button = TPadButton::A;
    bool Down = false;
    TPadAxis Axis = TPadAxis::LeftX;
    int32_t Value = 0;  // -32768..32767 (triggers 0..32767)
};

class TPadMapper {
public:
    // Stick values within this distance of the centre steer nothing.
    static constexpr int32_t DeadZone = 8000;
    // The stick must lean this far to move the menu focus, a trigger pressed this far drives.
    static constexpr int32_t MenuThreshold = 16000;
    static constexpr int32_t TriggerThreshold = 8000;

    // Appends the key downs and ups the event causes, in order.
    void Feed(const TPadEvent& event, std::vector<TInputEvent>& out);
    // Switches the layout; keys of the old one are let go (key ups appended to out).
    void SetLayout(TPadLayout layout, std::vector<TInputEvent>& out);
    TPadLayout Layout() const { return Current; }
    // The race layout's buttons; keys the change lets go or presses are appended to out.
    void SetControls(const TControls& controls, std::vector<TInputEvent>& out);
    // Connected pads (added and not removed) and pads that have sent input.
    int32_t PadCount() const;
    // Whether any pad holds the virtual key now.
    bool Holds(int32_t key) const;

private:
    struct TPad {
        bool Connected = false;
        std::array<bool, static_cast<size_t>(TPadButton::Count)> Buttons{};
        std::array<int32_t, static_cast<size_t>(TPadAxis::Count)> Axes{};
        // Inputs held through a layout change: they give no key until let go.
        std::array<bool, static_cast<size_t>(TPadButton::Count)> ButtonsMuted{};
        std::array<bool, static_cast<size_t>(TPadAxis::Count) * 2> AxesMuted{};
    };
    using TKeySet = std::array<bool, 256>;

    // The keys all pads hold in the current layout.
    TKeySet HeldKeys() const;
    void AddKeys(const TPad& pad, TKeySet& keys) const;
    static void Diff(const TKeySet& before, const TKeySet& after, std::vector<TInputEvent>& out);
    void MuteHeld(TPad& pad) const;
    static void ReleaseMutes(TPad& pad);

    std::map<int32_t, TPad> Pads;
    TPadLayout Current = TPadLayout::Menu;
    TControls Controls = DefaultControls();
};
