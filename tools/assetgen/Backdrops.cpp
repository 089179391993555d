// The full-screen menu pictures: the logo, the two menu backdrops, the loading screen and
// the two headlamp glows of the main menu. The backdrops show a circuit at dusk from above;
// on the main menu the player's car sits on it with its headlamps where the glows go.
#include <cmath>

#include "Cars.h"
#include "Families.h"
#include "Palette.h"
#include "Scenes.h"

namespace {

constexpr int ScreenW = 800, ScreenH = 600;

// The two headlamp glows are placed at these points (their left middle) by the main menu.
constexpr TPoint LampA{376, 385}, LampB{403, 402};
constexpr double CarScale = 1.2;

// The title lettering: chrome letters with a dark edge and an orange glow behind them.
void DrawWordmark(cairo_t* cr, double x, double midY, double cap, TAlign align, double maxW) {
    TText style{.Size = SizeForCap(cap), .Weight = 0.05, .Tracking = cap * 0.16, .Align = align};
    style = FitText(cr, "VELKARO", style, maxW);
    std::string word = "VELKARO";
    SoftShadow(
        cr, [&](cairo_t* c) { TextShape(c, word, x, midY, style); }, cap * 0.35, 0, 0,
        WithAlpha(Pal::Accent, 0.85));
    SoftShadow(cr, [&](cairo_t* c) { TextShape(c, word, x, midY, style); }, 2, 0, cap * 0.08,
               {0, 0, 0, 0.9});
    // A dark outline first, then the chrome fill stroked too, which thickens the letters.
    cairo_new_path(cr);
    TextShape(cr, word, x, midY, style);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, style.Size * 0.15);
    cairo_stroke_preserve(cr);
    double top = midY - cap / 2, bottom = midY + cap / 2;
    cairo_pattern_t* chrome = cairo_pattern_create_linear(0, top, 0, bottom);
    const std::pair<double, TColor> stops[] = {
        {0, Hex(0xFFFFFF)}, {0.45, Hex(0xD8E2EA)}, {0.52, Hex(0x8A9AA8)}, {1, Hex(0xE6EEF4)}};
    for (const auto& [offset, c] : stops) {
        cairo_pattern_add_color_stop_rgb(chrome, offset, c.R, c.G, c.B);
    }
    cairo_set_source(cr, chrome);
    cairo_set_line_width(cr, style.Size * 0.07);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    cairo_pattern_destroy(chrome);
}

// Three slanted bars in racing red and orange, the mark beside the title.
void DrawSpeedBars(cairo_t* cr, double x, double y, double h) {
    const TColor colors[] = {Pal::Racing, Pal::Accent, Pal::AccentLight};
    for (int i = 0; i < 3; ++i) {
        double x0 = x + i * h * 0.55;
        cairo_move_to(cr, x0 + h * 0.35, y);
        cairo_line_to(cr, x0 + h * 0.7, y);
        cairo_line_to(cr, x0 + h * 0.35, y + h);
        cairo_line_to(cr, x0, y + h);
        cairo_close_path(cr);
        SetColor(cr, colors[i]);
        cairo_fill(cr);
    }
}

void DrawTagline(cairo_t* cr, double cx, double midY, double cap) {
    TText style{.Size = SizeForCap(cap),
                .Color = Pal::AccentLight,
                .Weight = 0.03,
                .Tracking = cap * 0.5,
                .Align = TAlign::Center};
    DrawTextShadowed(cr, "TOP-DOWN RACING", cx, midY, style);
}

void DrawHeadlampCar(cairo_t* cr) {
    TPoint front{(LampA.X + LampB.X) / 2, (LampA.Y + LampB.Y) / 2};
    // The lamps lie across the nose, so the car heads at right angles to the line between.
    double dx = LampB.X - LampA.X, dy = LampB.Y - LampA.Y, len = std::hypot(dx, dy);
    double hx = dy / len, hy = -dx / len;  // heading: up and to the right
    double noseOffset = 41.8 * CarScale;
    cairo_save(cr);
    cairo_translate(cr, front.X - hx * noseOffset, front.Y - hy * noseOffset);
    cairo_rotate(cr, std::atan2(hy, hx) - M_PI / 2);
    cairo_scale(cr, CarScale, CarScale);
    SoftShadow(cr, [](cairo_t* c) { CarOutlinePath(c, TCarType::Velkaro); }, 5, 4, 5,
               {0, 0, 0, 0.6});
    DrawCar(cr, TCarType::Velkaro, 0);
    cairo_restore(cr);
    for (TPoint p : {LampA, LampB}) {
        Circle(cr, p.X, p.Y, 9);
        FillRadial(cr, p.X, p.Y, 0, 9, {{0, Hex(0xFFFBE0, 0.9)}, {1, Hex(0xFFF0B0, 0)}});
    }
}

void DrawMainMenuFurniture(cairo_t* cr) {
    DrawSpeedBars(cr, 44, 52, 44);
    DrawWordmark(cr, 118, 74, 40, TAlign::Left, 380);
    DrawTagline(cr, 300, 118, 8);
    // The rack behind the six menu buttons (x 552, y 252..440).
    TBox rack{538, 238, 228, 216};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, rack, 12); }, 8, 0, 4, {0, 0, 0, 0.7});
    DrawHousing(cr, rack, 12, 0.9);
    DrawLabel(cr, "MAIN MENU", rack.CX(), rack.Y - 10, TAlign::Center, 7, Pal::AccentLight);
    // The light plate where the greeting is printed in dark red, centred on x 400.
    TBox greeting{215, 522, 370, 31};
    SoftShadow(cr, [&](cairo_t* c) { RoundedRect(c, greeting.Inset(-3), 8); }, 6, 0, 3,
               {0, 0, 0, 0.7});
    DrawHousing(cr, greeting.Inset(-4), 8, 0.95);
    DrawPlate(cr, greeting, 5);
    // A dark bay for the logo button at (638, 480).
    TBox bay{630, 472, 166, 116};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, bay, 10); }, 8, 0, 4, {0, 0, 0, 0.6});
    DrawHousing(cr, bay, 10, 0.85);
}

void DrawSubScreenFurniture(cairo_t* cr) {
    // A faint technical grid over the dimmed circuit keeps the pages in front.
    cairo_rectangle(cr, 0, 0, ScreenW, ScreenH);
    SetColor(cr, {0.02, 0.04, 0.06, 0.45});
    cairo_fill(cr);
    for (int x = 0; x <= ScreenW; x += 40) cairo_rectangle(cr, x, 0, 1, ScreenH);
    for (int y = 0; y <= ScreenH; y += 40) cairo_rectangle(cr, 0, y, ScreenW, 1);
    SetColor(cr, {0.55, 0.7, 0.85, 0.06});
    cairo_fill(cr);
    DrawSpeedBars(cr, 24, 22, 22);
    DrawWordmark(cr, 66, 33, 18, TAlign::Left, 220);
}

}  // namespace

void DrawMainBack(const TTile& t) {
    cairo_t* cr = t.Cr;
    bool mainMenu = t.Pattern == 1;
    DrawDuskCircuit(cr, mainMenu ? 0.62 : 0.5);
    if (mainMenu) {
        DrawHeadlampCar(cr);
        Vignette(cr, t.W, t.H, 0.55);
        DrawMainMenuFurniture(cr);
    } else {
        Vignette(cr, t.W, t.H, 0.6);
        DrawSubScreenFurniture(cr);
    }
}

void DrawLoading(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawDuskCircuit(cr, 0.4);
    Vignette(cr, t.W, t.H, 0.7);
    cairo_rectangle(cr, 0, 0, t.W, t.H);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
    TBox panel{200, 220, 400, 160};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, panel, 14); }, 10, 0, 6, {0, 0, 0, 0.8});
    DrawPagePanel(cr, panel, "");
    DrawWordmark(cr, 400, 262, 22, TAlign::Center, 320);
    TText style{.Size = SizeForCap(12),
                .Color = Pal::Text,
                .Weight = 0.04,
                .Tracking = 3,
                .Align = TAlign::Center};
    DrawTextShadowed(cr, "LOADING...", 400, 306, style);
    // A striped bar, the usual sign of work in progress.
    TBox bar{240, 334, 320, 16};
    DrawWell(cr, bar, 4);
    cairo_save(cr);
    RoundedRect(cr, bar.Inset(2), 3);
    cairo_clip(cr);
    for (double x = bar.X - 20; x < bar.Right(); x += 16) {
        cairo_move_to(cr, x, bar.Bottom());
        cairo_line_to(cr, x + 8, bar.Bottom());
        cairo_line_to(cr, x + 16, bar.Y);
        cairo_line_to(cr, x + 8, bar.Y);
        cairo_close_path(cr);
    }
    SetColor(cr, Pal::Accent);
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawLogo(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Opaque black: the logo fades in over a black screen.
    cairo_rectangle(cr, 0, 0, t.W, t.H);
    SetColor(cr, Pal::Black);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, t.W, t.H);
    FillRadial(cr, t.W / 2.0, t.H * 0.45, 0, t.W * 0.6, {{0, Hex(0x1C2A36)}, {1, Hex(0x000000)}});
    // A road sweeping across behind the letters.
    cairo_save(cr);
    auto sweep = [](cairo_t* c) {
        SmoothPath(c, {{-30, 200}, {90, 150}, {230, 95}, {350, 30}}, false);
    };
    DrawSceneRoad(cr, sweep, {.Width = 46, .Kerb = 4, .Brightness = 0.55, .Seed = 3});
    cairo_restore(cr);
    cairo_rectangle(cr, 0, 0, t.W, t.H);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
    DrawSpeedBars(cr, 118, 36, 30);
    DrawWordmark(cr, t.W / 2.0, 106, 34, TAlign::Center, 290);
    DrawRule(cr, 30, t.W - 30.0, 142, Pal::Racing);
    DrawTagline(cr, t.W / 2.0, 160, 8);
    // A chequered strip along the bottom.
    for (int i = 0; i < t.W / 8; ++i) {
        for (int row = 0; row < 2; ++row) {
            if ((i + row) % 2 == 0) cairo_rectangle(cr, i * 8, 192 + row * 8, 8, 8);
        }
    }
    SetColor(cr, {0.9, 0.92, 0.94, 0.85});
    cairo_fill(cr);
}

TDrawFn LightArt(bool second) {
    return [second](const TTile& t) {
        cairo_t* cr = t.Cr;
        double cy = t.H / 2.0;
        // The glow's sprite is never turned and its lamp sits at the picture's left middle, so
        // the beam is drawn already pointing where the car on the backdrop heads (up and to
        // the right, at right angles to the line between the lamps). Above the lamp there are
        // only half the picture's height, so the beam is short and fades out before the edge.
        double dx = LampB.X - LampA.X, dy = LampB.Y - LampA.Y;
        double heading = std::atan2(-dx, dy);
        double reach = cy * 0.95;
        cairo_save(cr);
        cairo_translate(cr, 3, cy);
        cairo_rotate(cr, heading);
        cairo_move_to(cr, 0, -3);
        cairo_line_to(cr, reach, -reach * 0.45);
        cairo_line_to(cr, reach, reach * 0.45);
        cairo_line_to(cr, 0, 3);
        cairo_close_path(cr);
        FillRadial(cr, 0, 0, 0, reach,
                   {{0, Hex(0xFFF4C8, 0.6)}, {0.55, Hex(0xFFE9A0, 0.2)}, {1, Hex(0xFFE090, 0)}});
        cairo_restore(cr);
        cairo_rectangle(cr, 0, 0, t.W, t.H);
        FillRadial(cr, 4, cy, 0, second ? 22 : 24,
                   {{0, Hex(0xFFFFFF, 1)}, {0.25, Hex(0xFFF6D8, 0.8)}, {1, Hex(0xFFE8A0, 0)}});
    };
}
