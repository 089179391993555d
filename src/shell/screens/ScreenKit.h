// Small pieces every screen builds with: its page sprite, its GUI page and buttons, the
// button action that moves to another screen, and registering a screen object's actions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "shell/Form1.h"
#include "shell/screens/MenuPage.h"
#include "shell/screens/MenuSprites.h"

// A page sprite from the menu pictures (or the race pictures with race set).
TMenuScreen* NewPageSprite(TForm1& f, const std::string& picture, const std::string& name,
                           int32_t z, float x, float y, bool race = false);
// A fresh GUI page for the current screen.
TMenuPage& NewPage(TForm1& f);
// A picture button on the current page (its picture from the menu list, or the race list).
TMenuButton& AddButton(TForm1& f, const std::string& picture, int32_t x, int32_t y,
                       std::function<void()> action, bool race = false);
// The action of a button that leads to state n: leave, "check", enter n.
std::function<void()> GoTo(TForm1& f, uint8_t n);

// Registers a screen object's Enter, Frame and Leave with state n; the actions keep it alive.
template <typename TScreen>
void RegisterScreen(TForm1& f, uint8_t n, std::shared_ptr<TScreen> screen) {
    f.SetStateActions(n, {[screen] { screen->Enter(); }, [screen] { screen->Frame(); },
                          [screen] { screen->Leave(); }});
}
