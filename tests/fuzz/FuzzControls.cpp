// Fuzz target: the key bindings file (Controls.cfg) on any bytes. Beyond not crashing, every
// action must keep a key and a button of its own, the damaged lines must be real line numbers
// in order, and what was read must write back to a file that reads again sound and identical:
// a binding the reader accepts but the writer cannot keep would change the player's keys at
// every start.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "shell/ControlsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TControls controls = DefaultControls();
    const TDamagedLines damaged = DecodeControls(bytes, controls);
    const auto lines = static_cast<int32_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    if (!std::is_sorted(damaged.begin(), damaged.end())) __builtin_trap();
    for (int32_t n : damaged)
        if (n < 1 || n > lines) __builtin_trap();
    const std::set<int32_t> keys(controls.Keys.begin(), controls.Keys.end());
    const std::set<TPadButton> buttons(controls.Buttons.begin(), controls.Buttons.end());
    if (keys.size() != kActionCount || buttons.size() != kActionCount) __builtin_trap();
    for (int32_t key : keys)
        if (!BindableKey(key)) __builtin_trap();
    TControls again = DefaultControls();
    if (!DecodeControls(EncodeControls(controls), again).empty()) __builtin_trap();
    if (!(again == controls)) __builtin_trap();
    return 0;
}
