#include "Families.h"
#include "Palette.h"

TDrawFn ButtonArt(TButton button) {
    return [button](const TTile& t) {
        DrawButton(t.Cr, {0, 0, double(t.W), double(t.H)}, button, LookOf(t.Pattern));
    };
}

TDrawFn ToggleArt(bool on) {
    return [on](const TTile& t) {
        cairo_t* cr = t.Cr;
        TLook look = LookOf(t.Pattern);
        TBox box{0.5, 0.5, t.W - 1.0, t.H - 1.0};
        // A sliding switch: the knob sits right when on, left when off.
        RoundedRect(cr, box, box.H / 2);
        SetColor(cr, look == TLook::Hover ? Pal::Accent : Pal::Ink);
        cairo_fill(cr);
        TBox track = box.Inset(1.5);
        RoundedRect(cr, track, track.H / 2);
        TColor lit = look == TLook::Disabled ? Hex(0x3A4047) : on ? Pal::Go : Hex(0x2A333C);
        FillVertical(cr, track, Darker(lit, 0.35), Lighter(lit, 0.1));
        InnerShadow(cr, [&](cairo_t* c) { RoundedRect(c, track, track.H / 2); }, 3, 0, 1.5,
                    {0, 0, 0, 0.7});
        double r = track.H / 2 - 1.5;
        double kx = on ? track.Right() - r - 1.5 : track.X + r + 1.5;
        TText label{.Size = SizeForCap(6.5),
                    .Color = look == TLook::Disabled ? Hex(0x6F777F) : Pal::White,
                    .Weight = 0.04,
                    .Align = TAlign::Center};
        double textX = on ? track.X + (track.W - 2 * r) / 2 : track.Right() - (track.W - 2 * r) / 2;
        DrawText(cr, on ? "ON" : "OFF", textX, track.CY(), label);
        SoftShadow(cr, [&](cairo_t* c) { Circle(c, kx, track.CY(), r); }, 2, 0, 1, {0, 0, 0, 0.6});
        Circle(cr, kx, track.CY(), r);
        TColor knob = look == TLook::Hover ? Pal::AccentLight : Pal::Chrome;
        if (look == TLook::Disabled) knob = Hex(0x5A6168);
        FillLinear(cr, kx - r, track.Y, kx + r, track.Bottom(),
                   {{0, Lighter(knob, 0.4)}, {1, Darker(knob, 0.35)}});
    };
}

void DrawLogoButton(const TTile& t) {
    cairo_t* cr = t.Cr;
    TLook look = LookOf(t.Pattern);
    TBox plate{3, 3, t.W - 6.0, t.H - 6.0};
    if (look == TLook::Hover) {
        SoftShadow(
            cr, [&](cairo_t* c) { ChamferRect(c, plate, 12); }, 3, 0, 0,
            WithAlpha(Pal::Accent, 0.95));
    }
    DrawHousing(cr, plate, 12, 1.0);
    cairo_save(cr);
    if (look == TLook::Disabled) cairo_push_group(cr);
    // The game's mark: three bars, the name, and where the button leads.
    const TColor bars[] = {Pal::Racing, Pal::Accent, Pal::AccentLight};
    for (int i = 0; i < 3; ++i) {
        double x0 = 52 + i * 13;
        cairo_move_to(cr, x0 + 8, 16);
        cairo_line_to(cr, x0 + 16, 16);
        cairo_line_to(cr, x0 + 8, 38);
        cairo_line_to(cr, x0, 38);
        cairo_close_path(cr);
        SetColor(cr, bars[i]);
        cairo_fill(cr);
    }
    TText name{.Size = SizeForCap(14),
               .Color = Pal::Text,
               .Weight = 0.05,
               .Tracking = 1.5,
               .Align = TAlign::Center};
    name = FitText(cr, "VELKARO", name, plate.W - 20);
    DrawTextShadowed(cr, "VELKARO", t.W / 2.0, 56, name);
    DrawRule(cr, 20, t.W - 20.0, 70, look == TLook::Hover ? Pal::AccentLight : Pal::Accent);
    TText link{.Size = SizeForCap(6.5),
               .Color = look == TLook::Hover ? Pal::AccentLight : Pal::TextDim,
               .Weight = 0.03,
               .Tracking = 1,
               .Align = TAlign::Center};
    link = FitText(cr, "VISIT THE WEB SITE", link, plate.W - 24);
    DrawText(cr, "VISIT THE WEB SITE", t.W / 2.0, 82, link);
    if (look == TLook::Disabled) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.35);
    }
    cairo_restore(cr);
}
