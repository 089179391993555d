// The pages of the menu screens. Each page is drawn in its own coordinates; the comments
// give the screen positions the game uses, and Local() turns them into page positions.
// Where the game prints light text the page has a dark well, where it prints dark text a
// light plate, and every button the game places on a page has a shallow bay to sit in.
#include <cmath>

#include "Cars.h"
#include "Families.h"
#include "Palette.h"

namespace {

struct TPage {
    double X, Y;  // where the game puts the page on the screen
    TBox Local(double sx, double sy, double w, double h) const { return {sx - X, sy - Y, w, h}; }
};

TBox Full(const TTile& t) {
    return {0, 0, double(t.W), double(t.H)};
}

// A shallow recess under a button, a little larger than the button.
void ButtonBay(cairo_t* cr, TBox button) {
    TBox bay = button.Inset(-3);
    ChamferRect(cr, bay, 8);
    SetColor(cr, {0, 0, 0, 0.35});
    cairo_fill(cr);
    ChamferRect(cr, bay, 8);
    SetColor(cr, {1, 1, 1, 0.07});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void Paragraph(cairo_t* cr, std::initializer_list<const char*> lines, double cx, double y,
               double cap, double pitch, TColor color = Pal::Text) {
    TText style{.Size = SizeForCap(cap),
                .Color = color,
                .Weight = 0.03,
                .Tracking = 0.3,
                .Align = TAlign::Center};
    for (const char* line : lines) {
        DrawTextShadowed(cr, line, cx, y, style, 0.8);
        y += pitch;
    }
}

// A round warning sign with an exclamation mark, for the questions that lose something.
void WarningSign(cairo_t* cr, double cx, double cy, double r) {
    auto triangle = [&](cairo_t* c) {
        cairo_move_to(c, cx, cy - r);
        cairo_line_to(c, cx + r * 1.1, cy + r * 0.8);
        cairo_line_to(c, cx - r * 1.1, cy + r * 0.8);
        cairo_close_path(c);
    };
    SoftShadow(cr, triangle, 3, 0, 2, {0, 0, 0, 0.7});
    triangle(cr);
    FillVertical(cr, {cx - r, cy - r, 2 * r, 1.8 * r}, Pal::AccentLight, Pal::Accent, true);
    SetColor(cr, Pal::Ink);
    cairo_set_line_width(cr, 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    TText mark{
        .Size = SizeForCap(r * 0.9), .Color = Pal::Ink, .Weight = 0.1, .Align = TAlign::Center};
    DrawText(cr, "!", cx, cy + r * 0.15, mark);
}

// A question page with a yes and a no button under it.
void QuestionPage(const TTile& t, const char* title, std::initializer_list<const char*> lines,
                  TBox no, TBox yes) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, Full(t), title);
    WarningSign(cr, t.W / 2.0, 92, 22);
    Paragraph(cr, lines, t.W / 2.0, 150, 9, 22);
    ButtonBay(cr, no);
    ButtonBay(cr, yes);
}

enum class TOptionIcon { Screen, Music, Volume, Note };

// Small line pictograms at the start of the options rows.
void OptionIcon(cairo_t* cr, TOptionIcon icon, double cx, double cy) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    switch (icon) {
        case TOptionIcon::Screen:
            RoundedRect(cr, {cx - 9, cy - 7, 18, 12}, 1.5);
            cairo_move_to(cr, cx - 4, cy + 9);
            cairo_line_to(cr, cx + 4, cy + 9);
            cairo_move_to(cr, cx, cy + 5);
            cairo_line_to(cr, cx, cy + 9);
            break;
        case TOptionIcon::Music:
            cairo_move_to(cr, cx - 2, cy + 6);
            cairo_line_to(cr, cx - 2, cy - 8);
            cairo_line_to(cr, cx + 7, cy - 5);
            cairo_line_to(cr, cx + 7, cy + 3);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx - 5, cy + 6, 3, 0, 2 * M_PI);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + 4, cy + 3, 3, 0, 2 * M_PI);
            break;
        case TOptionIcon::Volume:
            cairo_move_to(cr, cx - 9, cy - 3);
            cairo_line_to(cr, cx - 5, cy - 3);
            cairo_line_to(cr, cx, cy - 8);
            cairo_line_to(cr, cx, cy + 8);
            cairo_line_to(cr, cx - 5, cy + 3);
            cairo_line_to(cr, cx - 9, cy + 3);
            cairo_close_path(cr);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, 6, -0.8, 0.8);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, 10, -0.8, 0.8);
            break;
        case TOptionIcon::Note:
            cairo_move_to(cr, cx - 8, cy + 8);
            cairo_line_to(cr, cx - 6, cy + 2);
            cairo_line_to(cr, cx + 5, cy - 9);
            cairo_line_to(cr, cx + 9, cy - 5);
            cairo_line_to(cr, cx - 2, cy + 6);
            cairo_close_path(cr);
            break;
    }
    SetColor(cr, Pal::AccentLight);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

void DrawAddPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 184};
    DrawPagePanel(cr, Full(t), "NEW PLAYER");
    Paragraph(cr, {"ENTER YOUR NAME"}, t.W / 2.0, 86, 9, 0, Pal::AccentLight);
    // The name field: the game prints the name in light letters from (296, 324).
    DrawWell(cr, page.Local(287, 320, 168, 32), 5);
    Paragraph(cr, {"UP TO 12 LETTERS"}, t.W / 2.0, 200, 6, 0, Pal::TextDim);
    ButtonBay(cr, page.Local(480, 404, 100, 28));
    // The player's future car waits at the side.
    cairo_save(cr);
    cairo_translate(cr, 80, 226);
    cairo_rotate(cr, M_PI * 0.5);
    SoftShadow(cr, [](cairo_t* c) { CarOutlinePath(c, TCarType::Velkaro); }, 4, 2, 3,
               {0, 0, 0, 0.6});
    DrawCar(cr, TCarType::Velkaro, 0);
    cairo_restore(cr);
}

void DrawOptionsPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 160};
    DrawPagePanel(cr, Full(t), "OPTIONS");
    Paragraph(cr, {"SET UP THE GAME"}, t.W / 2.0, 70, 7, 0, Pal::TextDim);
    // Rows: full-screen toggle at y 271, music at y 300, volume at y 328, text at y 354.
    struct TRow {
        const char* Label;
        double MidY, LabelRight;
        TOptionIcon Icon;
    };
    const TRow rows[] = {{"FULL SCREEN", 283, 505, TOptionIcon::Screen},
                         {"MUSIC", 312, 505, TOptionIcon::Music},
                         {"VOLUME", 338, 458, TOptionIcon::Volume},
                         {"NOTE", 368, 456, TOptionIcon::Note}};
    for (const TRow& r : rows) {
        OptionIcon(cr, r.Icon, 52, r.MidY - page.Y);
        DrawLabel(cr, r.Label, r.LabelRight - page.X, r.MidY - page.Y, TAlign::Right, 8);
        cairo_rectangle(cr, 36, r.MidY - page.Y + 13, r.LabelRight - page.X - 36, 1);
        SetColor(cr, {1, 1, 1, 0.05});
        cairo_fill(cr);
    }
    ButtonBay(cr, page.Local(517, 271, 48, 24));
    ButtonBay(cr, page.Local(517, 300, 48, 24));
    // The volume groove: the fill picture is cut from its left over it.
    DrawWell(cr, page.Local(486, 328, 120, 20), 3);
    for (int i = 1; i < 5; ++i) {
        cairo_rectangle(cr, 486 - page.X + i * 24 - 0.5, 328 - page.Y + 15, 1, 4);
    }
    SetColor(cr, {1, 1, 1, 0.25});
    cairo_fill(cr);
    // The text field: light letters from (470, 354).
    DrawWell(cr, page.Local(462, 350, 164, 30), 5);
    ButtonBay(cr, page.Local(275, 417, 105, 28));
    ButtonBay(cr, page.Local(420, 417, 105, 28));
    ButtonBay(cr, page.Local(532, 417, 88, 28));
}

void DrawHiScorePage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 160};
    DrawPagePanel(cr, Full(t), "HIGH SCORES");
    // Ten rows printed at y 256 + 14 i in light letters: position at x 275, name at 390,
    // score at 532.
    TBox table = page.Local(204, 264, 392, 148);
    DrawWell(cr, table, 6);
    for (int i = 1; i <= 10; i += 2) {
        cairo_rectangle(cr, table.X + 4, 256 + 14 * i - page.Y - 1, table.W - 8, 14);
        SetColor(cr, {1, 1, 1, 0.035});
        cairo_fill(cr);
    }
    const double headY = 250 - page.Y;
    DrawLabel(cr, "#", 275 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    DrawLabel(cr, "NAME", 390 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    DrawLabel(cr, "SCORE", 532 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    Paragraph(cr, {"THE TEN BEST GAMES ON THIS COMPUTER"}, t.W / 2.0, 66, 6, 0, Pal::TextDim);
    ButtonBay(cr, page.Local(234, 424, 92, 28));
    ButtonBay(cr, page.Local(452, 442, 120, 24));
}

void DrawClearHiScorePage(const TTile& t) {
    const TPage page{180, 193};
    QuestionPage(t, "CLEAR SCORES", {"CLEAR THE TABLE", "OF HIGH SCORES?"},
                 page.Local(278, 414, 100, 28), page.Local(422, 414, 100, 28));
}

void DrawExitGamePage(const TTile& t) {
    const TPage page{180, 184};
    QuestionPage(t, "EXIT", {"EXIT THE GAME?", "YOUR PROGRESS IS KEPT."},
                 page.Local(278, 404, 100, 28), page.Local(422, 404, 100, 28));
}

void DrawDeletePage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 184};
    DrawPagePanel(cr, Full(t), "DELETE PLAYER");
    // The name is printed centred on (417, 258) in large light letters.
    DrawWell(cr, page.Local(232, 254, 370, 38), 6);
    WarningSign(cr, 44, 153, 16);
    Paragraph(cr, {"THIS PLAYER AND ALL", "THEIR PROGRESS WILL BE", "REMOVED. ARE YOU SURE?"},
              t.W / 2.0 + 14, 130, 8, 20);
    ButtonBay(cr, page.Local(278, 410, 100, 28));
    ButtonBay(cr, page.Local(422, 410, 100, 28));
}

void DrawChangePage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 160};
    DrawPagePanel(cr, Full(t), "PLAYERS");
    // Names centred on x 405 at y 248 + 16 i, light; the highlight bar runs behind them.
    TBox list = page.Local(244, 240, 322, 174);
    DrawWell(cr, list, 6);
    for (int i = 0; i < 10; i += 2) {
        cairo_rectangle(cr, list.X + 4, 246 + 16 * i - page.Y, list.W - 8, 16);
        SetColor(cr, {1, 1, 1, 0.03});
        cairo_fill(cr);
    }
    Paragraph(cr, {"CHOOSE WHO IS DRIVING"}, 405 - page.X, 66, 6, 0, Pal::TextDim);
    // The scroll buttons at x 568 and the bottom row at y 420.
    TBox up = page.Local(568, 269, 32, 32), down = page.Local(568, 358, 32, 32);
    DrawWell(cr, {up.CX() - 3, up.Bottom() + 6, 6, down.Y - up.Bottom() - 12}, 3);
    ButtonBay(cr, up);
    ButtonBay(cr, down);
    for (double x : {208.0, 316.0, 424.0, 532.0}) ButtonBay(cr, page.Local(x, 420, 100, 28));
}

void DrawDailyTablePage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 160};
    DrawPagePanel(cr, Full(t), "DAILY RACE");
    // The game prints the day (or why there is no table) centred on (400, 210), then ten rows
    // at y 250 + 13 i: place at x 275, name at 390, time at 532; the player's own place on
    // its own row at y 398, below the ten.
    DrawWell(cr, page.Local(220, 205, 360, 22), 5);
    TBox table = page.Local(204, 246, 392, 170);
    DrawWell(cr, table, 6);
    for (int i = 1; i <= 10; i += 2) {
        cairo_rectangle(cr, table.X + 4, 250 + 13 * i - page.Y - 1, table.W - 8, 13);
        SetColor(cr, {1, 1, 1, 0.035});
        cairo_fill(cr);
    }
    cairo_rectangle(cr, table.X + 12, 394 - page.Y, table.W - 24, 1);
    SetColor(cr, WithAlpha(Pal::Accent, 0.6));
    cairo_fill(cr);
    const double headY = 240 - page.Y;
    DrawLabel(cr, "#", 275 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    DrawLabel(cr, "NAME", 390 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    DrawLabel(cr, "TIME", 532 - page.X, headY, TAlign::Center, 7, Pal::AccentLight);
    ButtonBay(cr, page.Local(354, 432, 92, 28));
}

void DrawDailyResultPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    const TPage page{180, 160};
    DrawPagePanel(cr, Full(t), "DAILY RACE");
    // Four lines of light text centred on x 400 at y 222 (the day), 258 (the result, large),
    // 300 (the player's best of the day) and 336 / 352 (what the service said).
    DrawWell(cr, page.Local(212, 212, 376, 28), 5);
    DrawWell(cr, page.Local(212, 248, 376, 40), 6);
    DrawWell(cr, page.Local(212, 294, 376, 26), 5);
    DrawWell(cr, page.Local(212, 330, 376, 42), 5);
    for (int i = 0; i < 4; ++i) ButtonBay(cr, page.Local(204 + 100 * i, 430, 92, 28));
}
