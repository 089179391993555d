#include "Widgets.h"

#include <cmath>

#include "Palette.h"

TLook LookOf(int pattern) {
    if (pattern == 1) return TLook::Hover;
    if (pattern >= 2) return TLook::Disabled;
    return TLook::Normal;
}

void DrawIcon(cairo_t* cr, TIcon icon, double cx, double cy, double s, TColor color) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    double h = s / 2;
    switch (icon) {
        case TIcon::Up:
            cairo_move_to(cr, 0, -h * 0.8);
            cairo_line_to(cr, h, h * 0.6);
            cairo_line_to(cr, -h, h * 0.6);
            break;
        case TIcon::Down:
            cairo_move_to(cr, 0, h * 0.8);
            cairo_line_to(cr, h, -h * 0.6);
            cairo_line_to(cr, -h, -h * 0.6);
            break;
        case TIcon::Left:
            cairo_move_to(cr, -h * 0.8, 0);
            cairo_line_to(cr, h * 0.6, -h);
            cairo_line_to(cr, h * 0.6, h);
            break;
        case TIcon::Right:
            cairo_move_to(cr, h * 0.8, 0);
            cairo_line_to(cr, -h * 0.6, -h);
            cairo_line_to(cr, -h * 0.6, h);
            break;
        case TIcon::Plus:
            cairo_rectangle(cr, -s * 0.12, -h, s * 0.24, s);
            cairo_rectangle(cr, -h, -s * 0.12, s, s * 0.24);
            break;
        case TIcon::Minus:
            cairo_rectangle(cr, -h, -s * 0.12, s, s * 0.24);
            break;
        case TIcon::None:
            break;
    }
    cairo_close_path(cr);
    SetColor(cr, color);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {

struct TButtonColors {
    TColor Top, Bottom, Rim, Edge, Label;
    bool Shine;
};

TButtonColors ColorsFor(TButtonKind kind, TLook look) {
    if (look == TLook::Disabled) {
        return {Hex(0x3A4047), Hex(0x2A2F35), Hex(0x22272C), Hex(0x4A5158), Hex(0x6F777F), false};
    }
    if (look == TLook::Hover) {
        return {Pal::AccentLight, Pal::AccentDark, Hex(0x5A2A06), Hex(0xFFE3A8), Pal::Ink, true};
    }
    if (kind == TButtonKind::Primary) {
        return {Hex(0xD8452E), Hex(0x7E1414), Hex(0x3A0808), Hex(0xF08A6A), Pal::White, true};
    }
    return {Pal::SteelLight, Pal::SteelDark, Pal::Ink, Hex(0x7E96AA), Pal::Text, true};
}

void DrawLinkButton(cairo_t* cr, TBox box, const TButton& b, TLook look) {
    TColor color = look == TLook::Hover      ? Pal::AccentLight
                   : look == TLook::Disabled ? Hex(0x5E666E)
                                             : Pal::Text;
    TText style{.Size = SizeForCap(box.H * 0.5), .Color = color, .Align = TAlign::Center};
    style = FitText(cr, b.Label, style, box.W - 4);
    DrawTextShadowed(cr, b.Label, box.CX(), box.CY() - 1, style, 0.9);
    if (look != TLook::Disabled) {
        double w = TextWidth(cr, b.Label, style);
        cairo_rectangle(cr, box.CX() - w / 2, box.Bottom() - 2, w, 1.2);
        SetColor(cr, WithAlpha(color, 0.8));
        cairo_fill(cr);
    }
}

}  // namespace

void DrawButton(cairo_t* cr, TBox box, const TButton& b, TLook look) {
    if (b.Kind == TButtonKind::Link) {
        DrawLinkButton(cr, box, b, look);
        return;
    }
    TButtonColors c = ColorsFor(b.Kind, look);
    double cut = std::min(7.0, box.H * 0.28);
    TBox body = box.Inset(0.5);
    // Rim, body gradient, then a bright line along the upper edge.
    ChamferRect(cr, body, cut);
    SetColor(cr, c.Rim);
    cairo_fill(cr);
    TBox face = body.Inset(1.5);
    ChamferRect(cr, face, cut - 1);
    FillLinear(cr, 0, face.Y, 0, face.Bottom(),
               {{0, c.Top},
                {0.48, Mix(c.Top, c.Bottom, 0.45)},
                {0.52, Mix(c.Top, c.Bottom, 0.6)},
                {1, c.Bottom}});
    if (c.Shine) {
        cairo_save(cr);
        ChamferRect(cr, face, cut - 1);
        cairo_clip(cr);
        cairo_rectangle(cr, face.X, face.Y, face.W, face.H * 0.45);
        FillVertical(cr, {face.X, face.Y, face.W, face.H * 0.45}, {1, 1, 1, 0.28}, {1, 1, 1, 0.04});
        cairo_restore(cr);
        ChamferRect(cr, face.Inset(0.5), cut - 1.2);
        SetColor(cr, WithAlpha(c.Edge, 0.55));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // An orange tick on the left marks the menu's buttons while they are live.
    if (look == TLook::Normal && b.Kind == TButtonKind::Plain && box.W > 3.5 * box.H) {
        cairo_move_to(cr, face.X + 3, face.Y + cut * 0.6);
        cairo_line_to(cr, face.X + 6, face.Y + cut * 0.6);
        cairo_line_to(cr, face.X + 6, face.Bottom() - cut * 0.6);
        cairo_line_to(cr, face.X + 3, face.Bottom() - cut * 0.6);
        cairo_close_path(cr);
        SetColor(cr, Pal::Accent);
        cairo_fill(cr);
    }
    if (b.Icon != TIcon::None) {
        double s = std::min(box.W, box.H) * 0.46;
        if (look != TLook::Disabled) {
            DrawIcon(cr, b.Icon, box.CX(), box.CY() + 1, s, {0, 0, 0, 0.45});
        }
        DrawIcon(cr, b.Icon, box.CX(), box.CY(), s, c.Label);
        return;
    }
    TText style{.Size = SizeForCap(std::min(10.0, box.H * 0.36)),
                .Color = c.Label,
                .Weight = 0.035,
                .Tracking = 0.5,
                .Align = TAlign::Center};
    style = FitText(cr, b.Label, style, box.W - 16);
    if (look != TLook::Disabled) {
        TText shade = style;
        shade.Color = look == TLook::Hover ? TColor{1, 1, 1, 0.35} : TColor{0, 0, 0, 0.6};
        DrawText(cr, b.Label, box.CX(), box.CY() + 1, shade);
    }
    DrawText(cr, b.Label, box.CX(), box.CY(), style);
}

void DrawScrew(cairo_t* cr, double cx, double cy, double r) {
    Circle(cr, cx, cy, r);
    FillLinear(cr, cx - r, cy - r, cx + r, cy + r, {{0, Pal::Chrome}, {1, Hex(0x3C4650)}});
    Circle(cr, cx, cy, r);
    SetColor(cr, {0, 0, 0, 0.6});
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - r * 0.6, cy + r * 0.6);
    cairo_line_to(cr, cx + r * 0.6, cy - r * 0.6);
    SetColor(cr, {0, 0, 0, 0.55});
    cairo_set_line_width(cr, r * 0.35);
    cairo_stroke(cr);
}

void DrawHousing(cairo_t* cr, TBox box, double cut, double alpha) {
    ChamferRect(cr, box, cut);
    SetColor(cr, WithAlpha(Pal::Ink, alpha));
    cairo_fill(cr);
    TBox face = box.Inset(2);
    ChamferRect(cr, face, cut - 1);
    FillLinear(cr, 0, face.Y, 0, face.Bottom(),
               {{0, WithAlpha(Hex(0x334656), alpha)}, {1, WithAlpha(Hex(0x1A2530), alpha)}});
    // Bevel: a light upper-left edge and a dark lower-right one.
    ChamferRect(cr, face.Inset(0.75), cut - 1.2);
    cairo_set_line_width(cr, 1.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(face.X, face.Y, face.Right(), face.Bottom());
    cairo_pattern_add_color_stop_rgba(p, 0, 0.65, 0.75, 0.85, 0.55 * alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.4, 0.5, 0.6, 0.15 * alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0.5 * alpha);
    cairo_set_source(cr, p);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

void DrawPagePanel(cairo_t* cr, TBox box, const std::string& title) {
    DrawHousing(cr, box, 14);
    TBox face = box.Inset(2);
    // Fine diagonal brushing gives the steel a surface without drawing attention.
    cairo_save(cr);
    ChamferRect(cr, face, 13);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1);
    for (double d = -face.H; d < face.W; d += 6) {
        cairo_move_to(cr, face.X + d, face.Bottom());
        cairo_line_to(cr, face.X + d + face.H, face.Y);
    }
    SetColor(cr, {1, 1, 1, 0.025});
    cairo_stroke(cr);
    // The title strip: a darker band with an orange line under it.
    if (!title.empty()) {
        TBox strip{face.X, face.Y, face.W, 40};
        cairo_rectangle(cr, strip.X, strip.Y, strip.W, strip.H);
        FillVertical(cr, strip, Hex(0x101920, 0.9), Hex(0x18242E, 0.6));
        cairo_rectangle(cr, strip.X, strip.Bottom(), strip.W, 2);
        FillLinear(cr, strip.X, 0, strip.Right(), 0,
                   {{0, WithAlpha(Pal::Accent, 0)},
                    {0.2, Pal::Accent},
                    {0.8, Pal::Accent},
                    {1, WithAlpha(Pal::Accent, 0)}});
    }
    cairo_restore(cr);
    if (!title.empty()) {
        TText style{.Size = SizeForCap(13),
                    .Color = Pal::Text,
                    .Weight = 0.04,
                    .Tracking = 1.5,
                    .Align = TAlign::Center};
        style = FitText(cr, title, style, box.W - 60);
        DrawTextShadowed(cr, title, box.CX(), box.Y + 22, style);
    }
    double s = 4;
    DrawScrew(cr, box.X + 12, box.Y + 12, s);
    DrawScrew(cr, box.Right() - 12, box.Y + 12, s);
    DrawScrew(cr, box.X + 12, box.Bottom() - 12, s);
    DrawScrew(cr, box.Right() - 12, box.Bottom() - 12, s);
}

void DrawWell(cairo_t* cr, TBox box, double radius) {
    auto path = [box, radius](cairo_t* c) { RoundedRect(c, box, radius); };
    path(cr);
    FillVertical(cr, box, Hex(0x05090C), Hex(0x111B23));
    InnerShadow(cr, path, 4, 0, 2, {0, 0, 0, 0.9});
    // A light lower edge: the lip of the recess catching the light.
    RoundedRect(cr, box.Inset(-0.5), radius + 0.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, box.Y, 0, box.Bottom());
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.7);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.6, 0.7, 0.8, 0.45);
    cairo_set_source(cr, p);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

void DrawPlate(cairo_t* cr, TBox box, double radius) {
    auto path = [box, radius](cairo_t* c) { RoundedRect(c, box, radius); };
    path(cr);
    FillVertical(cr, box, Hex(0xD9D1BC), Pal::Cream);
    InnerShadow(cr, path, 3, 0, 1.5, {0, 0, 0, 0.55});
    RoundedRect(cr, box.Inset(-0.5), radius + 0.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, box.Y, 0, box.Bottom());
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.75);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.8, 0.9, 0.5);
    cairo_set_source(cr, p);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

void DrawLabel(cairo_t* cr, const std::string& text, double x, double midY, TAlign align,
               double cap, TColor color) {
    TText style{
        .Size = SizeForCap(cap), .Color = color, .Weight = 0.03, .Tracking = 0.6, .Align = align};
    DrawTextShadowed(cr, text, x, midY, style, 0.8);
}

void DrawTitle(cairo_t* cr, const std::string& text, double cx, double midY, double cap,
               double maxWidth) {
    TText style{.Size = SizeForCap(cap),
                .Color = Pal::Text,
                .Weight = 0.045,
                .Tracking = cap * 0.12,
                .Align = TAlign::Center};
    style = FitText(cr, text, style, maxWidth);
    DrawTextShadowed(cr, text, cx, midY, style);
    double w = TextWidth(cr, text, style);
    DrawRule(cr, cx - w / 2 - 10, cx + w / 2 + 10, midY + cap * 0.5 + 7, Pal::Accent);
}

void DrawRule(cairo_t* cr, double x0, double x1, double y, TColor color) {
    cairo_rectangle(cr, x0, y - 1, x1 - x0, 2);
    FillLinear(cr, x0, 0, x1, 0,
               {{0, WithAlpha(color, 0)}, {0.25, color}, {0.75, color}, {1, WithAlpha(color, 0)}});
}

double DrawWrapped(cairo_t* cr, const std::string& text, double x, double midY, double width,
                   double pitch, const TText& style) {
    std::string line, word;
    auto flush = [&]() {
        if (line.empty()) return;
        DrawTextShadowed(cr, line, x, midY, style, 0.8);
        midY += pitch;
        line.clear();
    };
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ' ') {
            word += text[i];
            continue;
        }
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(cr, candidate, style) > width) {
            flush();
            line = word;
        } else {
            line = candidate;
        }
        word.clear();
    }
    flush();
    return midY;
}

void DrawKeyCap(cairo_t* cr, TBox box, const std::string& legend, TIcon icon) {
    SoftShadow(cr, [&](cairo_t* c) { RoundedRect(c, box, 4); }, 2, 0, 2, {0, 0, 0, 0.7});
    RoundedRect(cr, box, 4);
    FillVertical(cr, box, Hex(0xDDE3E8), Hex(0x8E9AA4));
    TBox top{box.X + 2, box.Y + 1.5, box.W - 4, box.H - 5};
    RoundedRect(cr, top, 3);
    FillVertical(cr, top, Hex(0xF8FAFB), Hex(0xCBD3D9));
    if (icon != TIcon::None) {
        DrawIcon(cr, icon, top.CX(), top.CY(), std::min(top.W, top.H) * 0.5, Pal::Ink);
        return;
    }
    TText style{.Size = SizeForCap(std::min(7.0, box.H * 0.32)),
                .Color = Pal::Ink,
                .Weight = 0.05,
                .Align = TAlign::Center};
    style = FitText(cr, legend, style, top.W - 4);
    DrawText(cr, legend, top.CX(), top.CY(), style);
}
