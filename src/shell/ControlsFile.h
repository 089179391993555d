// The player's key and button bindings, kept in Controls.cfg in the settings folder: one
// "action = key" line each in SDL's key names, and "pad.action = button" lines in SDL's
// controller button names, readable and editable by hand. A line that cannot be used (an
// unknown action or key, a key another line already took) keeps that action's binding and is
// reported once, as the other settings files' damaged lines are; writes are atomic.
#pragma once

#include <string>
#include <string_view>

#include "platform/Controls.h"
#include "shell/SettingsFormat.h"
#include "shell/Storage.h"

class TForm1;

inline constexpr const char* kControlsFileName = "Controls.cfg";

std::string EncodeControls(const TControls& controls);
// Applies the file's lines over `controls` (the defaults, as a rule); returns the 1-based
// numbers of the lines it could not use.
TDamagedLines DecodeControls(std::string_view bytes, TControls& controls);

TLoadReport LoadControlsFile(const std::string& folder, TControls& controls);
bool SaveControlsFile(const std::string& folder, const TControls& controls, std::string& error);

// Start-up: reads the form's bindings (a damaged file is reported, kept and rewritten).
void ReadControls(TForm1& form);
// Writes the form's bindings; a failure shows one message and returns false.
bool WriteControls(TForm1& form);
