// Opening a web address with the desktop's browser. With no window system (SDL's dummy and
// offscreen drivers: tests, headless runs) nothing is launched and the address goes to
// standard error instead. Tests capture every request with a handler.
#pragma once

#include <functional>
#include <string>

using TUrlOpener = std::function<void(const std::string&)>;

void OpenUrlInBrowser(const std::string& url);

// Replaces the way addresses are opened (nullptr restores the default). Returns the old one.
TUrlOpener SetUrlOpener(TUrlOpener opener);
