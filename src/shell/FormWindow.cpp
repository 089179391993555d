// What the window itself asks of the game: going to the background pauses a race and a
// minimised window is silent; a resize scales the picture anew; Alt+Enter and F11 flip full
// screen on any screen; the GUI's keyboard focus takes its keys before the screens see them.
#include <algorithm>
#include <iterator>

#include "platform/KeyCodes.h"
#include "platform/Window.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/Storage.h"

bool TForm1::RaceControls() const {
    return CurrentState == st::Race || CurrentState == st::Wreck || CurrentState == st::Pause;
}

void TForm1::PauseInBackground() {
    // The same pause as the P key gives, without its click: the player is elsewhere.
    if (CurrentState == st::Race || CurrentState == st::Wreck) EnterState(st::Pause);
}

void TForm1::HandleWindowEvent(const TInputEvent& event) {
    switch (event.Kind) {
        case TInputKind::FocusLost:
            // Keys held as the focus went are never released here (their key ups go to
            // another window): a held Alt would turn the next Enter into Alt+Enter, a held
            // arrow would drive on.
            std::fill(std::begin(KeyTables.Held), std::end(KeyTables.Held), uint8_t{0});
            PauseInBackground();
            break;
        case TInputKind::Minimized:
            Sound3D.Mixer().SetMuted(true);
            PauseInBackground();
            break;
        case TInputKind::Restored:
        case TInputKind::FocusGained:
            Sound3D.Mixer().SetMuted(false);
            break;
        case TInputKind::Resized:
            KerbScreen1.FitToWindow();
            break;
        default:
            break;
    }
}

void TForm1::ToggleFullScreenKey() {
    const uint8_t want = FullScreenApplied != 0 ? 0 : 1;
    if (!KerbScreen1.ToggleFullScreen()) return;
    FullScreen = FullScreenApplied = want;
    // The screen hears of it: the options page keeps a choice made with the keys out of what
    // its Cancel undoes.
    if (CurrentState < st::Count && States[CurrentState].FullScreenKey)
        States[CurrentState].FullScreenKey();
    WriteConfig(*this);
}

bool TForm1::TakeKeyDown(const TInputEvent& event) {
    const int32_t key = event.Key;
    if (key < 0 || key > 255) return false;
    const bool fullScreenKey =
        key == vk::F11 || (key == vk::Return && KeyTables.Held[vk::Menu] != 0);
    bool taken = false;
    if (fullScreenKey) {
        if (!event.Repeat) ToggleFullScreenKey();
        taken = true;
    } else if (!RaceControls() && KerbGUI1.NavigateKey(key, KeyTables.Held[vk::Shift] != 0)) {
        taken = true;
    } else if (!RaceControls() && KerbGUI1.ClicksOnKey(key)) {
        // The focused button takes Enter at the next frame; the screen must not see it too.
        GuiEvents.push_back(event);
        taken = true;
    }
    if (taken) SwallowRelease[static_cast<size_t>(key)] = true;
    return taken;
}

bool TForm1::TakeKeyUp(int32_t key) {
    if (key < 0 || key > 255 || !SwallowRelease[static_cast<size_t>(key)]) return false;
    SwallowRelease[static_cast<size_t>(key)] = false;
    KeyTables.Held[key] = 0;
    return true;
}
