#include <algorithm>
#include <cmath>

#include "engine/GuiWidgets.h"
#include "engine/ImageList.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbGUI.h"

TKerbBar::TKerbBar(TKerbGUIList* list) : TKerbGUIComponent(list) {}

bool TKerbBar::PositionAt(int32_t x, int32_t y, int32_t& position) const {
    const int32_t steps = Max - Min + 1;
    const int32_t size = Vertical ? Height : Width;
    // A bar with no size or an empty range has no position under the mouse.
    if (steps <= 0 || size <= 0) return false;
    const double step = static_cast<double>(size) / steps;
    if (!Vertical) {
        // Rounds half to even, as the window system's runtime does.
        position = static_cast<int32_t>(std::nearbyint((x - X) / step + Min));
    } else {
        position = static_cast<int32_t>(std::trunc(Max - (y - Y) / step));
    }
    return true;
}

void TKerbBar::Click() {
    if (!Tracking) return;
    const TGuiMouseState& mouse = GUI().Mouse;
    int32_t position = 0;
    if (PositionAt(mouse.MouseX, mouse.MouseY, position))
        Position = std::clamp(position, std::min(Min, Max), std::max(Min, Max));
}

void TKerbBar::Draw() {
    DrawWidget();
    const TKerbGUIState& fill = States[gsOverlay];
    if (Position != 0 && Max != Min && fill.Image != nullptr) {
        const int32_t size = Vertical ? Height : Width;
        const int64_t part = static_cast<int64_t>(Position - Min) * size / (Max - Min);
        const auto filled = static_cast<int32_t>(std::clamp<int64_t>(part, 0, size));
        const int32_t r = static_cast<int32_t>((fill.Color >> 16) & 0xFF);
        const int32_t g = static_cast<int32_t>((fill.Color >> 8) & 0xFF);
        const int32_t b = static_cast<int32_t>(fill.Color & 0xFF);
        const int32_t a = static_cast<int32_t>(fill.Color >> 24);
        if (filled > 0 && !Vertical)
            fill.Image->DrawPart({0, 0, filled, Height}, X, Y, 0, 0, 0, 1, 1, r, g, b, a, false,
                                 false, 0);
        if (filled > 0 && Vertical)
            fill.Image->DrawPart({0, Height - filled, Width, Height}, X, Y + Height - filled, 0, 0,
                                 0, 1, 1, r, g, b, a, false, false, 0);
    }
    if (ShowText && Font != nullptr) {
        // Placed by the width of "100", whatever the number, so it does not jump about.
        const int32_t x = (Width - Font->TextWidth("100")) / 2 + X;
        const int32_t y = Height / 2 + Y - Font->TextHeight() / 2;
        Font->TextOut(x, y, 0, std::to_string(Position));
    }
}

TKerbScrollBar::TKerbScrollBar(TKerbGUIList* list) : TKerbBar(list) {}

bool TKerbScrollBar::PositionAt(int32_t x, int32_t y, int32_t& position) const {
    const int32_t steps = Max - Min + 1;
    const int32_t size = Vertical ? Height : Width;
    if (steps <= 0 || size <= 0) return false;
    const int32_t step = size / steps;
    // Shorter than one pixel per value: whole-number steps would be 0, so map in proportion.
    if (step == 0) return TKerbBar::PositionAt(x, y, position);
    position = Vertical ? Max - (y - Y) / step : (x - X) / step + Min;
    return true;
}

void TKerbScrollBar::Click() {
    const TGuiMouseState& mouse = GUI().Mouse;
    int32_t position = 0;
    if (PositionAt(mouse.MouseX, mouse.MouseY, position))
        Position = std::clamp(position, std::min(Min, Max), std::max(Min, Max));
}
