// Headless Chromium for the page tests: the DOM a page has once loaded, and screenshots, at a
// given window width. Absent when Debian's chromium package is not installed.
#pragma once

#include <optional>
#include <string>

// The chromium program on PATH, empty when there is none.
std::string FindChromium();

struct THeadlessBrowser {
    std::string Program;
    int Width = 1000;
    int Height = 1400;
    std::string ProfileDir;  // chromium's own files, in a folder the test removes

    // The serialised DOM after load (and the page's own scripts); nothing when chromium failed.
    std::optional<std::string> DumpDom(const std::string& url) const;
    bool Screenshot(const std::string& url, const std::string& pngPath) const;
};
