#include "platform/PadMapper.h"

#include <cstdlib>

#include "platform/KeyCodes.h"

namespace {
size_t Index(TPadButton b) {
    return static_cast<size_t>(b);
}
size_t Index(TPadAxis a) {
    return static_cast<size_t>(a);
}

int32_t MenuKey(TPadButton b) {
    switch (b) {
        case TPadButton::A:
        case TPadButton::Start:
            return vk::Return;
        case TPadButton::B:
        case TPadButton::Back:
            return vk::Escape;
        case TPadButton::DpadUp:
            return vk::Up;
        case TPadButton::DpadDown:
            return vk::Down;
        case TPadButton::DpadLeft:
            return vk::Left;
        case TPadButton::DpadRight:
            return vk::Right;
        default:
            return 0;
    }
}

// How far an axis must lean before it counts, per layout: steering has a dead zone, the menu
// focus wants a clear push, triggers a light pull.
int32_t Threshold(TPadAxis axis, TPadLayout layout) {
    if (axis == TPadAxis::TriggerLeft || axis == TPadAxis::TriggerRight)
        return TPadMapper::TriggerThreshold;
    return layout == TPadLayout::Race ? TPadMapper::DeadZone : TPadMapper::MenuThreshold;
}

// The key an axis gives leaning one way (positive: right, down, pulled), or 0.
int32_t AxisKey(TPadAxis axis, bool positive, TPadLayout layout) {
    const bool race = layout == TPadLayout::Race;
    switch (axis) {
        case TPadAxis::LeftX:
            return positive ? vk::Right : vk::Left;
        case TPadAxis::LeftY:
            if (race) return 0;
            return positive ? vk::Down : vk::Up;
        case TPadAxis::TriggerRight:
            return race && positive ? vk::Up : 0;
        case TPadAxis::TriggerLeft:
            return race && positive ? vk::Down : 0;
        default:
            return 0;
    }
}
}  // namespace

int32_t TPadMapper::PadCount() const {
    int32_t n = 0;
    for (const auto& [id, pad] : Pads)
        if (pad.Connected) ++n;
    return n;
}

bool TPadMapper::Holds(int32_t key) const {
    return key >= 0 && key < 256 && HeldKeys()[static_cast<size_t>(key)];
}

void TPadMapper::AddKeys(const TPad& pad, TKeySet& keys) const {
    // While the controls page waits for a button, buttons and sticks give no keys at all.
    if (Current == TPadLayout::Capture) return;
    const bool race = Current == TPadLayout::Race;
    for (size_t b = 0; b < pad.Buttons.size(); ++b) {
        if (!pad.Buttons[b] || pad.ButtonsMuted[b]) continue;
        const auto button = static_cast<TPadButton>(b);
        if (const int32_t key = race ? RaceKeyFromButton(Controls, button) : MenuKey(button))
            keys[static_cast<size_t>(key)] = true;
    }
    for (size_t a = 0; a < pad.Axes.size(); ++a) {
        const auto axis = static_cast<TPadAxis>(a);
        const int32_t v = pad.Axes[a];
        if (std::abs(v) <= Threshold(axis, Current)) continue;
        const bool positive = v > 0;
        if (pad.AxesMuted[a * 2 + (positive ? 1 : 0)]) continue;
        if (const int32_t key = AxisKey(axis, positive, Current))
            keys[static_cast<size_t>(key)] = true;
    }
}

TPadMapper::TKeySet TPadMapper::HeldKeys() const {
    TKeySet keys{};
    for (const auto& [id, pad] : Pads) AddKeys(pad, keys);
    return keys;
}

void TPadMapper::Diff(const TKeySet& before, const TKeySet& after, std::vector<TInputEvent>& out) {
    // Releases first, so that a stick swung from left to right lets go of Left before Right.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t k = 0; k < before.size(); ++k) {
            if (before[k] == after[k]) continue;
            const bool down = after[k];
            if (down != (pass == 1)) continue;
            TInputEvent e;
            e.Kind = down ? TInputKind::KeyDown : TInputKind::KeyUp;
            e.Key = static_cast<int32_t>(k);
            out.push_back(e);
        }
    }
}

void TPadMapper::MuteHeld(TPad& pad) const {
    for (size_t b = 0; b < pad.Buttons.size(); ++b) pad.ButtonsMuted[b] = pad.Buttons[b];
    for (size_t a = 0; a < pad.Axes.size(); ++a) {
        const int32_t v = pad.Axes[a];
        // Muted whatever the layout's threshold, so a lean that only counts in the new layout
        // is not taken as a fresh push either.
        const bool leaning = std::abs(v) > DeadZone ||
                             (a >= Index(TPadAxis::TriggerLeft) && std::abs(v) > TriggerThreshold);
        pad.AxesMuted[a * 2] = leaning && v < 0;
        pad.AxesMuted[a * 2 + 1] = leaning && v > 0;
    }
}

void TPadMapper::ReleaseMutes(TPad& pad) {
    for (size_t b = 0; b < pad.Buttons.size(); ++b)
        if (!pad.Buttons[b]) pad.ButtonsMuted[b] = false;
    for (size_t a = 0; a < pad.Axes.size(); ++a) {
        const int32_t v = pad.Axes[a];
        const int32_t rest = a >= Index(TPadAxis::TriggerLeft) ? TriggerThreshold : DeadZone;
        if (v <= rest) pad.AxesMuted[a * 2 + 1] = false;
        if (v >= -rest) pad.AxesMuted[a * 2] = false;
    }
}

void TPadMapper::Feed(const TPadEvent& event, std::vector<TInputEvent>& out) {
    const TKeySet before = HeldKeys();
    TPadButton pressed = TPadButton::Count;
    switch (event.Kind) {
        case TPadEventKind::Added:
            Pads[event.Device].Connected = true;
            break;
        case TPadEventKind::Removed:
            // An unplugged pad lets go of everything it held.
            Pads.erase(event.Device);
            break;
        case TPadEventKind::Button:
            if (event.Button < TPadButton::Count) {
                TPad& pad = Pads[event.Device];
                pad.Buttons[Index(event.Button)] = event.Down;
                ReleaseMutes(pad);
                if (Current == TPadLayout::Capture && event.Down &&
                    !pad.ButtonsMuted[Index(event.Button)])
                    pressed = event.Button;
            }
            break;
        case TPadEventKind::Axis:
            if (event.Axis < TPadAxis::Count) {
                TPad& pad = Pads[event.Device];
                pad.Axes[Index(event.Axis)] = event.Value;
                ReleaseMutes(pad);
            }
            break;
    }
    Diff(before, HeldKeys(), out);
    if (pressed != TPadButton::Count) {
        TInputEvent e;
        e.Kind = TInputKind::PadButton;
        e.Key = static_cast<int32_t>(pressed);
        out.push_back(e);
    }
}

void TPadMapper::SetControls(const TControls& controls, std::vector<TInputEvent>& out) {
    const TKeySet before = HeldKeys();
    Controls = controls;
    Diff(before, HeldKeys(), out);
}

void TPadMapper::SetLayout(TPadLayout layout, std::vector<TInputEvent>& out) {
    if (layout == Current) return;
    const TKeySet before = HeldKeys();
    Current = layout;
    for (auto& [id, pad] : Pads) MuteHeld(pad);
    Diff(before, HeldKeys(), out);
}
