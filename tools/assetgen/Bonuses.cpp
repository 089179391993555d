// Bonuses lying on the road, seen from above, each on a soft shade so that it stands out on
// the tarmac: three coins of rising worth, a puddle, a bomb, a repair kit, an extra life,
// extra time, spikes and a speed-up pad. The game tests them as squares, so every picture
// is square and fills its square.
#include "Bonuses.h"

#include <cmath>
#include <string>

#include "Families.h"
#include "Palette.h"
#include "Scenes.h"

namespace {

void Halo(cairo_t* cr, double cx, double cy, double r) {
    SoftShadow(cr, [&](cairo_t* c) { Circle(c, cx, cy, r); }, r * 0.2, 0, r * 0.08, {0, 0, 0, 0.6});
}

void DrawCoin(cairo_t* cr, double cx, double cy, double r, TColor metal, const char* value) {
    Halo(cr, cx, cy, r * 0.95);
    Circle(cr, cx, cy, r);
    FillLinear(cr, cx - r, cy - r, cx + r, cy + r,
               {{0, Lighter(metal, 0.5)}, {0.5, metal}, {1, Darker(metal, 0.45)}});
    Circle(cr, cx, cy, r * 0.78);
    FillLinear(cr, cx - r, cy - r, cx + r, cy + r,
               {{0, Darker(metal, 0.3)}, {0.5, Lighter(metal, 0.15)}, {1, Lighter(metal, 0.4)}});
    // Milled rim.
    for (int i = 0; i < 24; ++i) {
        double a = i * M_PI / 12;
        cairo_move_to(cr, cx + r * 0.84 * std::cos(a), cy + r * 0.84 * std::sin(a));
        cairo_line_to(cr, cx + r * 0.97 * std::cos(a), cy + r * 0.97 * std::sin(a));
    }
    SetColor(cr, WithAlpha(Darker(metal, 0.5), 0.5));
    cairo_set_line_width(cr, r * 0.05);
    cairo_stroke(cr);
    TText style{.Size = SizeForCap(r * 0.62),
                .Color = Darker(metal, 0.6),
                .Weight = 0.06,
                .Tracking = -r * 0.05,
                .Align = TAlign::Center};
    TText light = style;
    light.Color = WithAlpha(Lighter(metal, 0.7), 0.9);
    DrawText(cr, value, cx + r * 0.04, cy + r * 0.05, light);
    DrawText(cr, value, cx, cy, style);
}

void DrawPuddle(cairo_t* cr, double cx, double cy, double r) {
    std::vector<TPoint> pts;
    const double wobble[] = {1.0, 0.86, 0.95, 0.8, 0.92, 0.84, 1.0, 0.88, 0.8, 0.93};
    for (int i = 0; i < 10; ++i) {
        double a = i * 2 * M_PI / 10;
        pts.push_back({cx + r * wobble[i] * std::cos(a), cy + r * wobble[i] * 0.85 * std::sin(a)});
    }
    SmoothPath(cr, pts, true);
    FillRadial(cr, cx, cy, 0, r,
               {{0, Hex(0x3A6A8A, 0.75)}, {0.7, Hex(0x2A4E6A, 0.7)}, {1, Hex(0x1A3048, 0.85)}});
    // A soft sky reflection and two rings of ripples from a drip.
    cairo_save(cr);
    SmoothPath(cr, pts, true);
    cairo_clip(cr);
    cairo_rectangle(cr, cx - r, cy - r, 2 * r, 2 * r);
    FillLinear(cr, cx - r, cy - r, cx + r * 0.2, cy + r * 0.4,
               {{0, {0.85, 0.93, 1, 0.45}}, {0.5, {0.85, 0.93, 1, 0.05}}, {1, {0.85, 0.93, 1, 0}}});
    for (double rr : {0.18, 0.34, 0.5}) {
        cairo_save(cr);
        cairo_translate(cr, cx + r * 0.15, cy + r * 0.1);
        cairo_scale(cr, 1, 0.8);
        Circle(cr, 0, 0, r * rr);
        cairo_restore(cr);
        SetColor(cr, {0.8, 0.9, 1, 0.4 - rr * 0.5});
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    SmoothPath(cr, pts, true);
    SetColor(cr, {0.75, 0.85, 0.95, 0.5});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawBomb(cairo_t* cr, double cx, double cy, double r) {
    Halo(cr, cx, cy + r * 0.1, r * 0.8);
    double br = r * 0.72;
    double by = cy + r * 0.18;
    Circle(cr, cx, by, br);
    FillRadial(cr, cx - br * 0.35, by - br * 0.35, 0, br * 1.4,
               {{0, Hex(0x5A6068)}, {0.35, Hex(0x24272C)}, {1, Hex(0x07080A)}});
    // A red band of warning around the casing.
    cairo_save(cr);
    Circle(cr, cx, by, br);
    cairo_clip(cr);
    cairo_rectangle(cr, cx - br, by - br * 0.12, 2 * br, br * 0.24);
    SetColor(cr, Hex(0xC8232C, 0.85));
    cairo_fill(cr);
    cairo_restore(cr);
    // Fuse cap, fuse and spark.
    cairo_rectangle(cr, cx - r * 0.16, by - br - r * 0.1, r * 0.32, r * 0.16);
    SetColor(cr, Hex(0x8A9098));
    cairo_fill(cr);
    cairo_move_to(cr, cx, by - br - r * 0.08);
    cairo_curve_to(cr, cx + r * 0.1, cy - r * 0.8, cx + r * 0.35, cy - r * 0.75, cx + r * 0.45,
                   cy - r * 0.85);
    SetColor(cr, Hex(0xC8B890));
    cairo_set_line_width(cr, r * 0.08);
    cairo_stroke(cr);
    double sx = cx + r * 0.5, sy = cy - r * 0.88;
    Circle(cr, sx, sy, r * 0.22);
    FillRadial(cr, sx, sy, 0, r * 0.22,
               {{0, Hex(0xFFFFFF)}, {0.4, Hex(0xFFD040)}, {1, Hex(0xFF6010, 0)}});
}

void DrawRepair(cairo_t* cr, double cx, double cy, double r) {
    Halo(cr, cx, cy, r * 0.85);
    TBox box{cx - r * 0.85, cy - r * 0.85, r * 1.7, r * 1.7};
    RoundedRect(cr, box, r * 0.3);
    FillVertical(cr, box, Hex(0x4CC06A), Hex(0x1E7A3A), true);
    SetColor(cr, Hex(0x0E3A1C));
    cairo_set_line_width(cr, r * 0.07);
    cairo_stroke(cr);
    // A spanner across the badge.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -M_PI / 4);
    cairo_rectangle(cr, -r * 0.55, -r * 0.1, r * 1.1, r * 0.2);
    Circle(cr, -r * 0.55, 0, r * 0.25);
    Circle(cr, r * 0.55, 0, r * 0.25);
    SetColor(cr, Hex(0xF2F4F0));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_rectangle(cr, -r * 0.8, -r * 0.07, r * 0.2, r * 0.14);
    cairo_rectangle(cr, r * 0.6, -r * 0.07, r * 0.2, r * 0.14);
    SetColor(cr, Hex(0x2A9A4A));
    cairo_fill(cr);
    cairo_restore(cr);
}

void HeartPath(cairo_t* cr, double cx, double cy, double r) {
    cairo_move_to(cr, cx, cy + r * 0.75);
    cairo_curve_to(cr, cx - r * 1.1, cy, cx - r * 0.85, cy - r * 0.9, cx, cy - r * 0.4);
    cairo_curve_to(cr, cx + r * 0.85, cy - r * 0.9, cx + r * 1.1, cy, cx, cy + r * 0.75);
    cairo_close_path(cr);
}

void DrawLife(cairo_t* cr, double cx, double cy, double r) {
    SoftShadow(cr, [&](cairo_t* c) { HeartPath(c, cx, cy + r * 0.05, r); }, r * 0.18, 0, r * 0.08,
               {0, 0, 0, 0.65});
    HeartPath(cr, cx, cy + r * 0.05, r);
    FillRadial(cr, cx - r * 0.3, cy - r * 0.3, 0, r * 1.3,
               {{0, Hex(0xFF7A7A)}, {0.5, Hex(0xE02030)}, {1, Hex(0x8A0A14)}}, true);
    SetColor(cr, Hex(0x4A0508));
    cairo_set_line_width(cr, r * 0.07);
    cairo_stroke(cr);
    TText style{
        .Size = SizeForCap(r * 0.42), .Color = Pal::White, .Weight = 0.08, .Align = TAlign::Center};
    DrawText(cr, "1UP", cx, cy - r * 0.02, style);
}

void DrawTime(cairo_t* cr, double cx, double cy, double r, const char* label) {
    Halo(cr, cx, cy + r * 0.05, r * 0.85);
    double dr = r * 0.78;
    double dy = cy + r * 0.12;
    // Winder on top, then the case and the face.
    cairo_rectangle(cr, cx - r * 0.14, dy - dr - r * 0.22, r * 0.28, r * 0.22);
    SetColor(cr, Pal::Chrome);
    cairo_fill(cr);
    Circle(cr, cx, dy, dr);
    FillLinear(cr, cx - dr, dy - dr, cx + dr, dy + dr, {{0, Hex(0x7ACAE8)}, {1, Hex(0x1A5A8A)}});
    Circle(cr, cx, dy, dr * 0.8);
    FillRadial(cr, cx, dy, 0, dr * 0.8, {{0, Hex(0xFFFFFF)}, {1, Hex(0xD8E4EA)}});
    for (int i = 0; i < 12; ++i) {
        double a = i * M_PI / 6;
        cairo_move_to(cr, cx + dr * 0.62 * std::cos(a), dy + dr * 0.62 * std::sin(a));
        cairo_line_to(cr, cx + dr * 0.74 * std::cos(a), dy + dr * 0.74 * std::sin(a));
    }
    SetColor(cr, Hex(0x2A3A48));
    cairo_set_line_width(cr, r * 0.05);
    cairo_stroke(cr);
    TText style{.Size = SizeForCap(r * 0.42),
                .Color = Hex(0xC8232C),
                .Weight = 0.08,
                .Align = TAlign::Center};
    DrawText(cr, label, cx, dy, style);
}

void DrawSpikes(cairo_t* cr, double cx, double cy, double r) {
    Halo(cr, cx, cy, r * 0.8);
    TBox strip{cx - r * 0.95, cy - r * 0.32, r * 1.9, r * 0.64};
    RoundedRect(cr, strip, r * 0.12);
    SetColor(cr, Hex(0x1A1C1F));
    cairo_fill(cr);
    // Yellow and black hazard stripes along the strip.
    cairo_save(cr);
    RoundedRect(cr, strip.Inset(r * 0.06), r * 0.08);
    cairo_clip(cr);
    for (double x = strip.X - r; x < strip.Right(); x += r * 0.36) {
        cairo_move_to(cr, x, strip.Bottom());
        cairo_line_to(cr, x + r * 0.18, strip.Bottom());
        cairo_line_to(cr, x + r * 0.18 + strip.H, strip.Y);
        cairo_line_to(cr, x + strip.H, strip.Y);
        cairo_close_path(cr);
    }
    SetColor(cr, Hex(0xF2C12E));
    cairo_fill(cr);
    cairo_restore(cr);
    // Steel spikes: four-pointed stars along the middle.
    for (int i = 0; i < 4; ++i) {
        double x = strip.X + r * 0.28 + i * r * 0.46, y = cy;
        double s = r * 0.26;
        cairo_move_to(cr, x, y - s);
        cairo_line_to(cr, x + s * 0.3, y - s * 0.3);
        cairo_line_to(cr, x + s, y);
        cairo_line_to(cr, x + s * 0.3, y + s * 0.3);
        cairo_line_to(cr, x, y + s);
        cairo_line_to(cr, x - s * 0.3, y + s * 0.3);
        cairo_line_to(cr, x - s, y);
        cairo_line_to(cr, x - s * 0.3, y - s * 0.3);
        cairo_close_path(cr);
        FillLinear(cr, x - s, y - s, x + s, y + s, {{0, Hex(0xF4F8FA)}, {1, Hex(0x6A7884)}}, true);
        SetColor(cr, {0, 0, 0, 0.7});
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
}

void DrawSpeedPad(cairo_t* cr, double cx, double cy, double r) {
    Halo(cr, cx, cy, r * 0.85);
    TBox pad{cx - r * 0.9, cy - r * 0.9, r * 1.8, r * 1.8};
    RoundedRect(cr, pad, r * 0.2);
    FillVertical(cr, pad, Hex(0x123A4A), Hex(0x0A1E28), true);
    SetColor(cr, Hex(0x3AD8F0));
    cairo_set_line_width(cr, r * 0.07);
    cairo_stroke(cr);
    // Chevrons pointing up the road, the direction of travel.
    for (int i = 0; i < 2; ++i) {
        double y = cy - r * 0.05 + (i == 0 ? -r * 0.3 : r * 0.25);
        cairo_move_to(cr, cx - r * 0.55, y + r * 0.3);
        cairo_line_to(cr, cx, y - r * 0.22);
        cairo_line_to(cr, cx + r * 0.55, y + r * 0.3);
        cairo_line_to(cr, cx + r * 0.55, y + r * 0.5);
        cairo_line_to(cr, cx, y);
        cairo_line_to(cr, cx - r * 0.55, y + r * 0.5);
        cairo_close_path(cr);
        TColor c = i == 0 ? Hex(0xB8FFFF) : Hex(0x40E0F8);
        FillVertical(cr, {cx - r, y - r * 0.22, 2 * r, r * 0.72}, c, Darker(c, 0.25));
    }
}

}  // namespace

void DrawBonusIcon(cairo_t* cr, int kind, double cx, double cy, double size) {
    double r = size / 2;
    switch (kind) {
        case 0:
            DrawCoin(cr, cx, cy, r * 0.82, Hex(0xC07A3A), "10");
            break;
        case 1:
            DrawCoin(cr, cx, cy, r * 0.86, Hex(0xB8C4CC), "20");
            break;
        case 2:
            DrawCoin(cr, cx, cy, r * 0.9, Hex(0xF0C030), "30");
            break;
        case 3:
            DrawPuddle(cr, cx, cy, r * 0.95);
            break;
        case 4:
            DrawBomb(cr, cx, cy, r);
            break;
        case 5:
            DrawRepair(cr, cx, cy, r);
            break;
        case 6:
            DrawLife(cr, cx, cy, r);
            break;
        case 7:
            DrawTime(cr, cx, cy, r, "+5");
            break;
        case 8:
            DrawSpikes(cr, cx, cy, r);
            break;
        default:
            DrawSpeedPad(cr, cx, cy, r);
            break;
    }
}

void DrawStopwatch(cairo_t* cr, double cx, double cy, double size, const char* label) {
    DrawTime(cr, cx, cy, size / 2, label);
}

TDrawFn BonusArt(int kind) {
    return [kind](const TTile& t) { DrawBonusIcon(t.Cr, kind, t.W / 2.0, t.H / 2.0, t.W); };
}
