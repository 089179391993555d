// Where the window was and how big, kept between runs in a one-line file of its own in the
// settings folder ("Window.cfg": x y width height maximised). A missing or damaged file means
// the default: 800 x 600, centred. Written atomically (a temporary file renamed over the old one).
#pragma once

#include <cstdint>
#include <string>

struct TWindowPlacement {
    bool Known = false;  // false: centre a window of the picture's size
    int32_t X = 0, Y = 0;
    int32_t Width = 800, Height = 600;
    bool Maximized = false;
};

inline constexpr const char* kWindowFileName = "Window.cfg";
// Sizes outside these are not a window anyone meant.
inline constexpr int32_t kMinWindowWidth = 320, kMinWindowHeight = 240;
inline constexpr int32_t kMaxWindowSide = 16384;

// The placement a file's text describes; Known is false for anything but five whole numbers
// with sizes within bounds.
TWindowPlacement ParseWindowPlacement(const std::string& text);
std::string FormatWindowPlacement(const TWindowPlacement& placement);

TWindowPlacement LoadWindowPlacement(const std::string& path);
// False (nothing changed on disk) when the file cannot be written.
bool SaveWindowPlacement(const std::string& path, const TWindowPlacement& placement);
