// The pages shown over a frozen race: quit, game over, time's up, the race result, the final
// score, the offer to send it, and the page for a finished game. They share the menus'
// panel; each carries a large sign of its own so it reads at a glance.
#include <cmath>

#include "Bonuses.h"
#include "Families.h"
#include "Palette.h"

namespace {

// The pages sit at (160, 159).
constexpr double OX = 160, OY = 159;

TBox Local(double sx, double sy, double w, double h) {
    return {sx - OX, sy - OY, w, h};
}

void Bay(cairo_t* cr, TBox button) {
    ChamferRect(cr, button.Inset(-3), 8);
    SetColor(cr, {0, 0, 0, 0.4});
    cairo_fill(cr);
}

void Lines(cairo_t* cr, std::initializer_list<const char*> lines, double cx, double y, double cap,
           TColor color = Pal::Text) {
    TText style{.Size = SizeForCap(cap),
                .Color = color,
                .Weight = 0.035,
                .Tracking = 0.4,
                .Align = TAlign::Center};
    for (const char* line : lines) {
        DrawTextShadowed(cr, line, cx, y, style, 0.8);
        y += cap * 2.4;
    }
}

void BigWord(cairo_t* cr, const char* word, double cx, double midY, double cap, TColor color) {
    TText style{.Size = SizeForCap(cap),
                .Color = color,
                .Weight = 0.06,
                .Tracking = cap * 0.15,
                .Align = TAlign::Center};
    style = FitText(cr, word, style, 420);
    std::string copy(word);
    SoftShadow(
        cr, [&](cairo_t* c) { TextShape(c, copy, cx, midY, style); }, cap * 0.4, 0, 0,
        WithAlpha(color, 0.6));
    DrawTextShadowed(cr, word, cx, midY, style);
}

void Flag(cairo_t* cr, double x, double y, double s) {
    // A chequered flag on a pole, waving.
    cairo_rectangle(cr, x - 2, y, 3, s * 2.2);
    SetColor(cr, Pal::Chrome);
    cairo_fill(cr);
    const int cols = 6, rows = 4;
    double cw = s * 1.4 / cols, ch = s / rows;
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            double wave = std::sin(i * 0.9) * s * 0.08;
            cairo_rectangle(cr, x + 1 + i * cw, y + j * ch + wave, cw + 0.3, ch + 0.3);
            SetColor(cr, (i + j) % 2 == 0 ? Pal::White : Pal::Ink);
            cairo_fill(cr);
        }
    }
}

void Trophy(cairo_t* cr, double cx, double y, double s) {
    auto cup = [&](cairo_t* c) {
        cairo_move_to(c, cx - s * 0.5, y);
        cairo_line_to(c, cx + s * 0.5, y);
        cairo_curve_to(c, cx + s * 0.5, y + s * 0.7, cx + s * 0.15, y + s * 0.8, cx + s * 0.08,
                       y + s * 0.85);
        cairo_line_to(c, cx + s * 0.08, y + s * 1.05);
        cairo_line_to(c, cx + s * 0.3, y + s * 1.15);
        cairo_line_to(c, cx - s * 0.3, y + s * 1.15);
        cairo_line_to(c, cx - s * 0.08, y + s * 1.05);
        cairo_line_to(c, cx - s * 0.08, y + s * 0.85);
        cairo_curve_to(c, cx - s * 0.15, y + s * 0.8, cx - s * 0.5, y + s * 0.7, cx - s * 0.5, y);
        cairo_close_path(c);
    };
    SoftShadow(cr, cup, 4, 0, 3, {0, 0, 0, 0.7});
    for (int side : {-1, 1}) {
        cairo_new_path(cr);
        cairo_arc(cr, cx + side * s * 0.5, y + s * 0.25, s * 0.18, 0, 2 * M_PI);
        SetColor(cr, Hex(0xC89A20));
        cairo_set_line_width(cr, s * 0.07);
        cairo_stroke(cr);
    }
    cup(cr);
    FillLinear(
        cr, cx - s * 0.5, 0, cx + s * 0.5, 0,
        {{0, Hex(0xA87A10)}, {0.35, Hex(0xFFE27A)}, {0.6, Hex(0xF0C030)}, {1, Hex(0x8A6008)}},
        true);
    SetColor(cr, Hex(0x4A3404));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void Globe(cairo_t* cr, double cx, double cy, double r) {
    SoftShadow(cr, [&](cairo_t* c) { Circle(c, cx, cy, r); }, 4, 0, 3, {0, 0, 0, 0.7});
    Circle(cr, cx, cy, r);
    FillRadial(cr, cx - r * 0.3, cy - r * 0.3, 0, r * 1.4,
               {{0, Hex(0x7AD0F0)}, {1, Hex(0x14507A)}});
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    for (double k : {0.35, 0.75}) {
        cairo_save(cr);
        cairo_scale(cr, k, 1);
        Circle(cr, 0, 0, r);
        cairo_restore(cr);
    }
    cairo_move_to(cr, -r, 0);
    cairo_line_to(cr, r, 0);
    for (double yy : {-0.5, 0.5}) {
        double half = r * std::sqrt(1 - yy * yy);
        cairo_move_to(cr, -half, yy * r);
        cairo_line_to(cr, half, yy * r);
    }
    cairo_restore(cr);
    SetColor(cr, {1, 1, 1, 0.6});
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

void DrawQuitRace(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "PAUSED");
    BigWord(cr, "QUIT THE RACE?", t.W / 2.0, 100, 18, Pal::Text);
    Lines(cr, {"THIS GAME ENDS HERE."}, t.W / 2.0, 146, 7, Pal::TextDim);
    Bay(cr, Local(250, 371, 130, 28));
    Bay(cr, Local(420, 371, 130, 28));
}

void DrawGameOver(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "");
    BigWord(cr, "GAME OVER", t.W / 2.0, 110, 30, Hex(0xFF5A4A));
    Lines(cr, {"YOUR CAR IS WRECKED AND NO LIVES ARE LEFT."}, t.W / 2.0, 168, 7);
    DrawRule(cr, 60, t.W - 60.0, 200, Pal::Racing);
}

void DrawTimesUp(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "");
    DrawStopwatch(cr, t.W / 2.0, 72, 64, "0:00");
    BigWord(cr, "TIME'S UP!", t.W / 2.0, 146, 28, Pal::AccentLight);
    Lines(cr, {"THE CLOCK RAN OUT BEFORE THE FINISH."}, t.W / 2.0, 200, 7);
}

void DrawRaceOver(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "RACE OVER");
    Flag(cr, 40, 70, 48);
    Trophy(cr, 88, 160, 44);
    // The four results are printed centred on x 532 from y 279, 309, 338 and 367.
    const char* labels[] = {"PLACE", "TIME", "PRIZE", "SCORE"};
    const double tops[] = {279, 309, 338, 367};
    for (int i = 0; i < 4; ++i) {
        double mid = tops[i] + 13.5 - OY;
        DrawLabel(cr, labels[i], 300, mid, TAlign::Right, 8);
        DrawPlate(cr, {306, mid - 12, 132, 25}, 5);
    }
    Bay(cr, Local(462, 412, 120, 28));
}

void DrawYourScore(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "YOUR SCORE");
    Lines(cr, {"YOUR GAME ENDED WITH"}, t.W / 2.0, 80, 7, Pal::TextDim);
    // The score is printed centred on (398, 279) in large dark figures.
    DrawPlate(cr, Local(278, 275, 240, 46), 8);
    Trophy(cr, 56, 96, 46);
    Trophy(cr, t.W - 56.0, 96, 46);
    Bay(cr, Local(420, 374, 120, 28));
}

void DrawSendScore(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "WORLD TABLE");
    Globe(cr, 70, 118, 36);
    TText style{.Size = SizeForCap(10),
                .Color = Pal::Text,
                .Weight = 0.045,
                .Tracking = 0.6,
                .Align = TAlign::Left};
    DrawTextShadowed(cr, "SEND YOUR SCORE", 126, 96, style);
    DrawTextShadowed(cr, "TO THE WEB SITE?", 126, 122, style);
    Lines(cr, {"IT JOINS THE TABLE OF ALL PLAYERS."}, t.W / 2.0 + 40, 160, 6, Pal::TextDim);
    Bay(cr, Local(250, 371, 130, 28));
    Bay(cr, Local(420, 371, 130, 28));
}

void DrawComplete(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "");
    Trophy(cr, t.W / 2.0, 30, 70);
    BigWord(cr, "GAME COMPLETE", t.W / 2.0, 142, 22, Pal::AccentLight);
    Lines(cr, {"EVERY RACE WON. CONGRATULATIONS!"}, t.W / 2.0, 186, 7);
}

}  // namespace

TDrawFn RacePageArt(TRacePage page) {
    switch (page) {
        case TRacePage::QuitRace:
            return DrawQuitRace;
        case TRacePage::GameOver:
            return DrawGameOver;
        case TRacePage::TimesUp:
            return DrawTimesUp;
        case TRacePage::RaceOver:
            return DrawRaceOver;
        case TRacePage::YourScore:
            return DrawYourScore;
        case TRacePage::SendScore:
            return DrawSendScore;
        default:
            return DrawComplete;
    }
}
