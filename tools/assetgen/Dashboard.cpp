// The race dashboard: the instrument overlay on the right (position, clock, lives, damage,
// speedometer, score), the progress strip on the left, the needle, the reverse lamp and the
// radar markers. The overlay is transparent between its instruments because the road runs
// under the whole screen. Every text spot the game prints on is a light plate here.
#include <cmath>
#include <string>

#include "Families.h"
#include "Palette.h"
#include "Scenes.h"

namespace {

// The overlay sits at (541, 0); these are its own coordinates of the game's fixed points.
constexpr double DialX = 716 - 541, DialY = 472, DialR = 80;
constexpr double LampX = 704 - 541, LampY = 526;
constexpr double TroughX = 750 - 541, TroughY = 240, TroughW = 14, TroughH = 101;

// Needle angles, clockwise from straight up: speed 0, the car's top speed, the end stop.
constexpr double ZeroAngle = -135, FullAngle = 62, StopAngle = 132.92;
constexpr double FullScale = 200;  // the number printed at the car's top speed

double Rad(double deg) {
    return deg * M_PI / 180;
}
double AngleOf(double value) {
    return ZeroAngle + (FullAngle - ZeroAngle) * value / FullScale;
}
TPoint OnDial(double angle, double r) {
    return {DialX + r * std::sin(Rad(angle)), DialY - r * std::cos(Rad(angle))};
}

void DrawTopCluster(cairo_t* cr) {
    TBox housing{124, -14, 140, 128};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, housing, 14); }, 6, 0, 3, {0, 0, 0, 0.6});
    DrawHousing(cr, housing, 14, 0.94);
    struct TSpot {
        const char* Label;
        double MidY;
    };
    // Plates under the place (left-aligned from x 209), the clock and the lives.
    const TSpot spots[] = {{"POS", 27.3}, {"TIME", 59.3}, {"LIVES", 92.3}};
    for (const TSpot& s : spots) {
        DrawLabel(cr, s.Label, 134, s.MidY, TAlign::Left, 6.5, Pal::TextDim);
        DrawPlate(cr, {184, s.MidY - 10, 70, 20}, 4);
    }
}

void DrawDamagePod(cairo_t* cr) {
    TBox pod{TroughX - 16, TroughY - 26, TroughW + 32, TroughH + 40};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, pod, 8); }, 5, 0, 3, {0, 0, 0, 0.6});
    DrawHousing(cr, pod, 8, 0.94);
    DrawLabel(cr, "DMG", TroughX + TroughW / 2, TroughY - 13, TAlign::Center, 6, Pal::TextDim);
    TBox trough{TroughX - 2, TroughY - 2, TroughW + 4, TroughH + 4};
    DrawWell(cr, trough, 3);
    // Green under the damage bar: it shrinks as the red bar grows down over it.
    cairo_rectangle(cr, TroughX, TroughY, TroughW, TroughH);
    FillLinear(cr, 0, TroughY, 0, TroughY + TroughH, {{0, Hex(0x2E8A40)}, {1, Hex(0x7AE08A)}});
    for (int i = 1; i < 10; ++i) cairo_rectangle(cr, TroughX, TroughY + i * 10, TroughW, 1);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
}

void DrawDialFace(cairo_t* cr) {
    // Bezel, face, and the sector the needle never reaches darkened for the reverse lamp.
    SoftShadow(cr, [](cairo_t* c) { Circle(c, DialX, DialY, DialR + 7); }, 7, 0, 4, {0, 0, 0, 0.7});
    Circle(cr, DialX, DialY, DialR + 7);
    FillLinear(cr, DialX - DialR, DialY - DialR, DialX + DialR, DialY + DialR,
               {{0, Pal::Chrome}, {0.5, Hex(0x5A6878)}, {1, Hex(0x1A222A)}});
    Circle(cr, DialX, DialY, DialR + 2);
    SetColor(cr, Pal::Ink);
    cairo_fill(cr);
    Circle(cr, DialX, DialY, DialR);
    FillRadial(cr, DialX, DialY - 20, 0, DialR * 1.2,
               {{0, Hex(0x26343F)}, {0.7, Hex(0x111920)}, {1, Hex(0x070B0E)}});
    // The boost zone beyond the car's top speed, then the scale itself.
    cairo_new_path(cr);
    cairo_arc(cr, DialX, DialY, DialR - 7, Rad(FullAngle - 90), Rad(StopAngle - 90));
    SetColor(cr, WithAlpha(Pal::Racing, 0.9));
    cairo_set_line_width(cr, 7);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, DialX, DialY, DialR - 4, Rad(ZeroAngle - 90), Rad(FullAngle - 90));
    SetColor(cr, WithAlpha(Pal::Accent, 0.75));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    for (int v = 0; v <= 270; v += 10) {
        bool major = v % 50 == 0;
        TPoint a = OnDial(AngleOf(v), DialR - 3);
        TPoint b = OnDial(AngleOf(v), DialR - (major ? 15 : 9));
        cairo_move_to(cr, a.X, a.Y);
        cairo_line_to(cr, b.X, b.Y);
        SetColor(cr, v > FullScale ? Hex(0xFFD0C8) : Pal::Text);
        cairo_set_line_width(cr, major ? 2.2 : 1.1);
        cairo_stroke(cr);
        if (major) {
            TPoint n = OnDial(AngleOf(v), DialR - 26);
            TText style{
                .Size = SizeForCap(7), .Color = Pal::Text, .Weight = 0.04, .Align = TAlign::Center};
            DrawText(cr, std::to_string(v), n.X, n.Y, style);
        }
    }
    DrawLabel(cr, "KM/H", DialX, DialY - 26, TAlign::Center, 6, Pal::TextDim);
    // The reverse lamp's socket in the bottom sector, marked R.
    Circle(cr, LampX, LampY, 11);
    FillLinear(cr, LampX - 11, LampY - 11, LampX + 11, LampY + 11,
               {{0, Hex(0x05080A)}, {1, Hex(0x4A5866)}});
    Circle(cr, LampX, LampY, 8.5);
    FillRadial(cr, LampX - 2, LampY - 2, 0, 9, {{0, Hex(0x3A4450)}, {1, Hex(0x12181E)}});
    DrawLabel(cr, "R", LampX + 20, LampY, TAlign::Center, 7, Pal::TextDim);
    // Glass: a soft reflection over the upper half of the face.
    cairo_save(cr);
    Circle(cr, DialX, DialY, DialR);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, DialX - 10, DialY - 40);
    cairo_scale(cr, 1.3, 0.7);
    Circle(cr, 0, 0, DialR * 0.7);
    cairo_restore(cr);
    FillLinear(cr, 0, DialY - DialR, 0, DialY, {{0, {1, 1, 1, 0.12}}, {1, {1, 1, 1, 0}}});
    cairo_restore(cr);
}

void DrawScorePod(cairo_t* cr) {
    // The score is printed centred on x 57, y 573.
    TBox pod{2, 548, 112, 60};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, pod, 10); }, 6, 0, 3, {0, 0, 0, 0.6});
    DrawHousing(cr, pod, 10, 0.94);
    DrawLabel(cr, "SCORE", 57, 560, TAlign::Center, 6, Pal::TextDim);
    DrawPlate(cr, {12, 571, 90, 21}, 4);
}

}  // namespace

void DrawSpeedoPanel(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawTopCluster(cr);
    DrawDamagePod(cr);
    DrawScorePod(cr);
    DrawDialFace(cr);
}

void DrawRadarPanel(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Markers move along x 27 from y 241 (start) to y 71 (finish) in this panel.
    TBox housing{-14, 4, 62, 272};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, housing, 10); }, 5, 0, 3, {0, 0, 0, 0.6});
    DrawHousing(cr, housing, 10, 0.94);
    TBox strip{21, 62, 12, 190};
    DrawWell(cr, strip, 3);
    cairo_rectangle(cr, 23, 71, 8, 170);
    FillVertical(cr, {23, 71, 8, 170}, Hex(0x3A3F45), Hex(0x4A4F55));
    for (double y = 76; y < 238; y += 12) cairo_rectangle(cr, 26.5, y, 1, 6);
    SetColor(cr, {1, 1, 1, 0.5});
    cairo_fill(cr);
    for (int i = 0; i < 4; ++i) {
        for (int row = 0; row < 2; ++row) {
            if ((i + row) % 2 == 0) cairo_rectangle(cr, 23 + i * 2, 66 + row * 2, 2, 2);
        }
    }
    SetColor(cr, Pal::White);
    cairo_fill(cr);
    cairo_rectangle(cr, 21, 241, 12, 2);
    SetColor(cr, Pal::Accent);
    cairo_fill(cr);
    // A chequered flag above the finish and the word START under the start.
    for (int i = 0; i < 5; ++i) {
        for (int row = 0; row < 3; ++row) {
            cairo_rectangle(cr, 18 + i * 4, 32 + row * 4, 4, 4);
            SetColor(cr, (i + row) % 2 == 0 ? Pal::White : Pal::Ink);
            cairo_fill(cr);
        }
    }
    cairo_rectangle(cr, 17, 30, 1.5, 22);
    SetColor(cr, Pal::Chrome);
    cairo_fill(cr);
    DrawLabel(cr, "START", 27, 262, TAlign::Center, 6, Pal::TextDim);
}

void DrawHealthBar(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Damage fills from the top; the game shows more rows of this picture as it grows.
    cairo_rectangle(cr, 0, 0, t.W, t.H);
    FillLinear(
        cr, 0, 0, t.W, 0,
        {{0, Hex(0x8A0E14)}, {0.4, Hex(0xF04030)}, {0.6, Hex(0xE02A22)}, {1, Hex(0x7A0A10)}});
    for (int y = 10; y < t.H; y += 10) cairo_rectangle(cr, 0, y, t.W, 1);
    SetColor(cr, {0, 0, 0, 0.4});
    cairo_fill(cr);
    cairo_rectangle(cr, 0, t.H - 1.0, t.W, 1);
    SetColor(cr, Hex(0xFFB0A0));
    cairo_fill(cr);
}

void DrawNeedle(const TTile& t) {
    cairo_t* cr = t.Cr;
    // Turns about (0.5, 0.9) of the tile and points up.
    double px = t.W * 0.5, py = t.H * 0.9, tip = 5;
    auto shape = [&](cairo_t* c) {
        cairo_move_to(c, px - 0.8, tip);
        cairo_line_to(c, px + 0.8, tip);
        cairo_line_to(c, px + 3, py + 1);
        cairo_line_to(c, px + 2, t.H - 1.0);
        cairo_line_to(c, px - 2, t.H - 1.0);
        cairo_line_to(c, px - 3, py + 1);
        cairo_close_path(c);
    };
    SoftShadow(cr, shape, 2, 0, 0, {0, 0, 0, 0.7});
    shape(cr);
    FillLinear(cr, px - 3, 0, px + 3, 0,
               {{0, Hex(0xB82A10)}, {0.5, Hex(0xFF8A3A)}, {1, Hex(0xA02008)}});
    cairo_move_to(cr, px, tip + 3);
    cairo_line_to(cr, px, py - 8);
    SetColor(cr, {1, 0.95, 0.85, 0.8});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    Circle(cr, px, py, 5.5);
    FillLinear(cr, px - 5, py - 5, px + 5, py + 5, {{0, Pal::Chrome}, {1, Hex(0x2A3440)}});
    Circle(cr, px, py, 2);
    SetColor(cr, Pal::Ink);
    cairo_fill(cr);
}

void DrawReverseLamp(const TTile& t) {
    double c = t.W / 2.0;
    Circle(t.Cr, c, c, c);
    FillRadial(t.Cr, c, c, 0, c,
               {{0, Hex(0xFFFFFF)},
                {0.4, Hex(0xF4F8FF)},
                {0.7, Hex(0xC8DCFF, 0.6)},
                {1, Hex(0xA0C0FF, 0)}});
}

TDrawFn RadarMarkerArt(bool player) {
    return [player](const TTile& t) {
        double c = t.W / 2.0;
        cairo_t* cr = t.Cr;
        if (player) {
            // The player: a bright diamond.
            cairo_move_to(cr, c, 0.5);
            cairo_line_to(cr, t.W - 0.5, c);
            cairo_line_to(cr, c, t.H - 0.5);
            cairo_line_to(cr, 0.5, c);
            cairo_close_path(cr);
            FillVertical(cr, {0, 0, double(t.W), double(t.H)}, Pal::AccentLight, Pal::Accent, true);
        } else {
            Circle(cr, c, c, c - 1.5);
            FillVertical(cr, {0, 0, double(t.W), double(t.H)}, Hex(0xF05A5A), Hex(0x9A1A1A), true);
        }
        SetColor(cr, Pal::Ink);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    };
}

void DrawStartArrows(const TTile& t) {
    cairo_t* cr = t.Cr;
    double c = t.W / 2.0;
    // Eight curved arrows chasing each other round the car: they turn slowly at the start.
    for (int i = 0; i < 8; ++i) {
        double a0 = i * M_PI / 4, a1 = a0 + M_PI / 4 * 0.62;
        double r0 = 64, r1 = 74;
        auto path = [&](cairo_t* k) {
            cairo_new_path(k);
            cairo_arc(k, c, c, r1, a0, a1);
            cairo_line_to(k, c + (r1 + 4) * std::cos(a1), c + (r1 + 4) * std::sin(a1));
            cairo_line_to(k, c + (r0 + r1) / 2 * std::cos(a1 + 0.2),
                          c + (r0 + r1) / 2 * std::sin(a1 + 0.2));
            cairo_line_to(k, c + (r0 - 4) * std::cos(a1), c + (r0 - 4) * std::sin(a1));
            cairo_arc_negative(k, c, c, r0, a1, a0);
            cairo_close_path(k);
        };
        SoftShadow(cr, path, 2, 0, 0, {0, 0, 0, 0.6});
        path(cr);
        FillRadial(cr, c, c, r0, r1, {{0, Pal::Accent}, {1, Pal::AccentLight}}, true);
        SetColor(cr, WithAlpha(Pal::Ink, 0.8));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void DrawLightHousing(const TTile& t) {
    cairo_t* cr = t.Cr;
    TBox body{1, 1, t.W - 2.0, t.H - 2.0};
    RoundedRect(cr, body, 12);
    FillVertical(cr, body, Hex(0x2A3036), Hex(0x0E1114), true);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, body.Inset(2), 10);
    SetColor(cr, {1, 1, 1, 0.12});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Three dark lenses where the lamps light up: red, yellow, green.
    const double xs[] = {26, 100, 174};
    const TColor glass[] = {Hex(0x3A0C0C), Hex(0x3A300C), Hex(0x0C3A18)};
    for (int i = 0; i < 3; ++i) {
        Circle(cr, xs[i], 27, 21);
        SetColor(cr, Hex(0x050607));
        cairo_fill(cr);
        Circle(cr, xs[i], 27, 18);
        FillRadial(cr, xs[i] - 5, 21, 0, 22, {{0, Lighter(glass[i], 0.2)}, {1, glass[i]}});
        Circle(cr, xs[i] - 6, 20, 5);
        SetColor(cr, {1, 1, 1, 0.12});
        cairo_fill(cr);
    }
    for (double x : {63.0, 137.0}) {
        DrawScrew(cr, x, 15, 3);
        DrawScrew(cr, x, 39, 3);
    }
}

TDrawFn LampArt(TLamp lamp) {
    return [lamp](const TTile& t) {
        const TColor colors[] = {Hex(0xFF2A1A), Hex(0xFFC21A), Hex(0x2AF05A)};
        TColor c = colors[static_cast<int>(lamp)];
        double m = t.W / 2.0;
        Circle(t.Cr, m, m, m);
        FillRadial(t.Cr, m, m, 0, m,
                   {{0, Lighter(c, 0.85)},
                    {0.16, Lighter(c, 0.35)},
                    {0.23, c},
                    {0.3, WithAlpha(c, 0.55)},
                    {0.6, WithAlpha(c, 0.15)},
                    {1, WithAlpha(c, 0)}});
    };
}
