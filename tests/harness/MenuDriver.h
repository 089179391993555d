// Driving the menus as a player does: clicking a button of the current page at its centre,
// typing text, and running frames until the game reaches a state.
#pragma once

#include <cstdint>
#include <string>

#include "harness/Harness.h"

#include "shell/screens/MenuPage.h"

// The button of the current page with this name, or null.
TMenuButton* PageButton(THarness& h, const std::string& name);
// Moves the mouse to the button's centre, presses and releases there, then runs one frame.
// False (and nothing clicked) when the page has no such button.
bool ClickButton(THarness& h, const std::string& name);
// Types text as the window's text input would deliver it, then runs one frame.
void TypeText(THarness& h, const std::string& text);
// Runs frames until CurrentState is state (true) or maxFrames have passed (false).
bool RunUntilState(THarness& h, uint8_t state, int32_t maxFrames);
