// TScreen: the part every screen shares. A screen is one numbered state of TForm1 (a tight
// family of pages has one class each, in one file). On entering, a menu page does the same
// bookkeeping around its own Build: the state set, key releases from before forgotten, the
// cursor shown, the frame count from 0. The base does that, offers the "Escape goes back"
// rule and frees the page on leaving, so that a screen's class holds only its page and its
// actions. Pages shown over the race enter differently and replace Enter whole.
#pragma once

#include <cstdint>
#include <memory>

class TForm1;

class TScreen {
public:
    // escapeTo: the state Escape leads to (EscapeGoesBack), or NoEscape.
    TScreen(TForm1& form, uint8_t state, uint8_t escapeTo = NoEscape)
        : State(state), F(form), EscapeTo(escapeTo) {}
    virtual ~TScreen() = default;
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    virtual void Enter();
    virtual void Frame() = 0;
    // Kills the page sprite and frees the GUI page.
    virtual void Leave();
    // F11 or Alt+Enter flipped full screen while this screen was shown.
    virtual void FullScreenKey() {}

    static constexpr uint8_t NoEscape = 0xFF;
    const uint8_t State;

protected:
    // The screen's own part of Enter: its page, its fonts, its pictures.
    virtual void Build() {}
    // When Escape was released: leaves for the escape state with the "check2" click. True when
    // it did, and the frame ends there.
    bool EscapeGoesBack();

    TForm1& F;
    const uint8_t EscapeTo;
};

// Registers the screen's Enter, Frame, Leave and full-screen key actions with its state; the
// actions keep it alive.
void RegisterScreen(TForm1& form, const std::shared_ptr<TScreen>& screen);
