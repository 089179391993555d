// Small pieces the screens build with: the page sprite, the GUI page and its buttons, the
// button action that moves to another screen, the slides that bring a page in and the
// wrap-around of the choice screens.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// The slide-in from the left of the exit question and the quit menu: in each of its first
// 20 frames (counted in frames) the page sprite and every button of the page move 40 pixels
// right. Both are built 800 pixels left of their place.
constexpr int32_t SlideInFrames = 20, SlideInStep = 40;
void SlideIn(TForm1& f, int32_t& frames);

// A button of the current page and the x it slides to.
struct TSlideTarget {
    const char* Button;
    int32_t X;
};
// One frame of the choice screens' slide: each button moves step pixels towards its x and
// stops there.
void SlideButtons(TForm1& f, std::initializer_list<TSlideTarget> targets, int32_t step);

// The choice screens' next and previous: index moved by step, past last back to 0 and below
// 0 on to last.
int32_t WrapStep(int32_t index, int32_t step, int32_t last);
