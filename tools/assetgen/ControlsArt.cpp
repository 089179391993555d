// The controls page: its panel with the column heads and the bays of its two buttons, the
// row button of each action (the game prints the action, its key and its button over it, so
// the row stays see-through), and the options page's "Controls" button.
#include "ControlsArt.h"

#include "Families.h"
#include "Palette.h"

namespace {
// Where the game puts the page, and its rows: eight, 30 pixels apart from y 166, x 172..628;
// the action's name from x 186, the key centred on x 420, the button on x 559.
constexpr double PageX = 160, PageY = 100;
constexpr double RowX = 172, RowY = 166, RowStep = 30, RowW = 456, RowH = 26;

void Bay(cairo_t* cr, TBox button) {
    TBox bay = button.Inset(-3);
    ChamferRect(cr, bay, 8);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
}

void DrawControlsPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "CONTROLS");
    const double headY = 154 - PageY;
    DrawLabel(cr, "ACTION", 186 - PageX, headY, TAlign::Left, 7, Pal::AccentLight);
    DrawLabel(cr, "KEYBOARD", 420 - PageX, headY, TAlign::Center, 7, Pal::AccentLight);
    DrawLabel(cr, "PAD", 559 - PageX, headY, TAlign::Center, 7, Pal::AccentLight);
    // The rows' field, with the key and pad columns set off.
    DrawWell(cr, {RowX - 6 - PageX, RowY - 6 - PageY, RowW + 12, RowStep * 8 + 8}, 6);
    for (double x : {350.0, 490.0}) {
        cairo_rectangle(cr, x - PageX, RowY - PageY, 1, RowStep * 8 - 4);
        SetColor(cr, {1, 1, 1, 0.06});
        cairo_fill(cr);
    }
    Bay(cr, {284 - PageX, 446 - PageY, 92, 28});
    Bay(cr, {396 - PageX, 446 - PageY, 120, 28});
}

// Normal: a faint band; under the mouse: an orange glow; disabled: nothing.
void DrawBindRow(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TBox box{0.5, 0.5, t.W - 1.0, t.H - 1.0};
    const TLook look = LookOf(t.Pattern);
    if (look == TLook::Disabled) return;
    const bool hover = look == TLook::Hover;
    ChamferRect(cr, box, 5);
    SetColor(cr, hover ? WithAlpha(Pal::Accent, 0.22) : TColor{1, 1, 1, 0.035});
    cairo_fill_preserve(cr);
    SetColor(cr, hover ? WithAlpha(Pal::AccentLight, 0.8) : TColor{1, 1, 1, 0.08});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}
}  // namespace

void AddControlsPictures(std::vector<TArtItem>& items) {
    items.push_back({"scr_controls", 480, 400, 1, 1, DrawControlsPage});
    items.push_back({"b_bindrow", int(RowW), int(RowH), 3, 1, DrawBindRow});
    items.push_back({"b_controls", 88, 28, 3, 1, ButtonArt({"CONTROLS"})});
    items.push_back({"b_defaults", 120, 28, 3, 1, ButtonArt({"DEFAULTS"})});
}
