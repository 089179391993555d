#include "platform/WindowPlacement.h"

#include <fstream>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/NativePath.h"

TWindowPlacement ParseWindowPlacement(const std::string& text) {
    std::istringstream in(text);
    TWindowPlacement p;
    int64_t x = 0, y = 0, w = 0, h = 0, maximized = 0;
    std::string rest;
    if (!(in >> x >> y >> w >> h >> maximized) || (in >> rest)) return {};
    const auto within = [](int64_t v, int64_t lo, int64_t hi) { return v >= lo && v <= hi; };
    if (!within(x, -kMaxWindowSide, kMaxWindowSide) ||
        !within(y, -kMaxWindowSide, kMaxWindowSide) ||
        !within(w, kMinWindowWidth, kMaxWindowSide) ||
        !within(h, kMinWindowHeight, kMaxWindowSide) || !within(maximized, 0, 1))
        return {};
    p.Known = true;
    p.X = static_cast<int32_t>(x);
    p.Y = static_cast<int32_t>(y);
    p.Width = static_cast<int32_t>(w);
    p.Height = static_cast<int32_t>(h);
    p.Maximized = maximized != 0;
    return p;
}

std::string FormatWindowPlacement(const TWindowPlacement& p) {
    return std::to_string(p.X) + " " + std::to_string(p.Y) + " " + std::to_string(p.Width) + " " +
           std::to_string(p.Height) + " " + (p.Maximized ? "1" : "0") + "\n";
}

TWindowPlacement LoadWindowPlacement(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return {};
    // One short line; anything longer is not ours.
    std::string text(256, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return ParseWindowPlacement(text);
}

bool SaveWindowPlacement(const std::string& path, const TWindowPlacement& placement) {
    std::string error;
    return WriteFileAtomic(path, FormatWindowPlacement(placement), error);
}
