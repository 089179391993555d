#include "shell/ControlsFile.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <map>

#include "platform/ConfigDir.h"
#include "shell/Form1.h"
#include "shell/StorageFiles.h"

namespace {
constexpr std::string_view kPadPrefix = "pad.";

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())) != 0)
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())) != 0)
        s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// What the lines read so far bound: a second line for the same action, or a second action
// for the same key, would leave the file's meaning to the order of its lines.
struct TSeen {
    std::array<bool, kActionCount> KeyActions{};
    std::array<bool, kActionCount> PadActions{};
    std::map<int32_t, TAction> Keys;
    std::map<TPadButton, TAction> Buttons;
};

bool UseKeyLine(TAction a, const std::string& value, TControls& c, TSeen& seen) {
    const int32_t key = KeyFromName(value);
    auto& done = seen.KeyActions[static_cast<size_t>(a)];
    if (!BindableKey(key) || done || seen.Keys.count(key) != 0) return false;
    done = true;
    seen.Keys[key] = a;
    BindKey(c, a, key);
    return true;
}

bool UsePadLine(TAction a, const std::string& value, TControls& c, TSeen& seen) {
    TPadButton button{};
    auto& done = seen.PadActions[static_cast<size_t>(a)];
    if (!ButtonFromName(value, button) || !BindableButton(button) || done ||
        seen.Buttons.count(button) != 0)
        return false;
    done = true;
    seen.Buttons[button] = a;
    BindButton(c, a, button);
    return true;
}

bool UseLine(std::string_view line, TControls& c, TSeen& seen) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string name = Lower(Trimmed(line.substr(0, eq)));
    const std::string value(Trimmed(line.substr(eq + 1)));
    const bool pad = name.compare(0, kPadPrefix.size(), kPadPrefix) == 0;
    if (pad) name.erase(0, kPadPrefix.size());
    const TAction action = ActionFromName(name);
    if (action == TAction::Count || value.empty()) return false;
    return pad ? UsePadLine(action, value, c, seen) : UseKeyLine(action, value, c, seen);
}
}  // namespace

std::string EncodeControls(const TControls& c) {
    std::string out =
        "# Velkaro controls: one \"action = key\" line each, in SDL's key names, and\n"
        "# \"pad.action = button\" lines in SDL's controller button names.\n"
        "# A line left out keeps that action's default.\n";
    for (size_t i = 0; i < kActionCount; ++i) {
        const auto a = static_cast<TAction>(i);
        out += std::string(ActionName(a)) + " = " + KeyName(c.Key(a)) + "\n";
    }
    for (size_t i = 0; i < kActionCount; ++i) {
        const auto a = static_cast<TAction>(i);
        out += std::string(kPadPrefix) + ActionName(a) + " = " + ButtonName(c.Button(a)) + "\n";
    }
    return out;
}

TDamagedLines DecodeControls(std::string_view bytes, TControls& controls) {
    TDamagedLines damaged;
    TSeen seen;
    int32_t number = 0;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const std::string_view raw = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++number;
        const std::string_view line = Trimmed(raw);
        if (line.empty() || line.front() == '#') continue;
        if (!UseLine(line, controls, seen)) damaged.push_back(number);
    }
    return damaged;
}

TLoadReport LoadControlsFile(const std::string& folder, TControls& controls) {
    // Bindings are the player's own: there is no copy in the program's folder to fall back on.
    return LoadStoredFile(folder, {}, kControlsFileName,
                          [&](std::string_view bytes) { return DecodeControls(bytes, controls); });
}

bool SaveControlsFile(const std::string& folder, const TControls& controls, std::string& error) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += kControlsFileName;
    if (WriteFileAtomic(path, EncodeControls(controls), error)) return true;
    error = path + ": " + error;
    return false;
}

void ReadControls(TForm1& form) {
    TControls controls = DefaultControls();
    const TLoadReport report = LoadControlsFile(ConfigDir(), controls);
    form.Controls = controls;
    if (!report.Message.empty()) std::fprintf(stderr, "Velkaro: %s\n", report.Message.c_str());
    // The repaired file is written at once, so the message comes once, not at every start.
    if (report.NeedsWrite()) WriteControls(form);
}

bool WriteControls(TForm1& form) {
    std::string error;
    if (SaveControlsFile(ConfigDir(), form.Controls, error)) return true;
    return ReportWriteErrors({error});
}
