// The four help pages: controls, bonuses and hazards, the rules of a race, and what opens
// as the score grows. Their text is part of the pictures, but for the keys of the first page,
// which the game prints as the player bound them.
// The page's buttons sit in the bottom strip (y 260..288 on the page).
#include <cmath>
#include <string>

#include "Bonuses.h"
#include "Families.h"
#include "Palette.h"

namespace {

constexpr double PageW = 440;

TText Body(double cap = 6.5) {
    return {.Size = SizeForCap(cap), .Color = Pal::Text, .Weight = 0.03, .Tracking = 0.2};
}

TText Heading(double cap = 7) {
    return {.Size = SizeForCap(cap), .Color = Pal::AccentLight, .Weight = 0.04, .Tracking = 0.6};
}

void Bays(cairo_t* cr) {
    for (double x : {38.0, 174.0, 308.0}) {
        ChamferRect(cr, TBox{x, 260, 92, 28}.Inset(-3), 8);
        SetColor(cr, {0, 0, 0, 0.35});
        cairo_fill(cr);
    }
}

void Frame(const TTile& t, const char* title, int page) {
    DrawPagePanel(t.Cr, {0, 0, double(t.W), double(t.H)}, title);
    Bays(t.Cr);
    TText count{
        .Size = SizeForCap(6), .Color = Pal::TextDim, .Weight = 0.03, .Align = TAlign::Center};
    DrawText(t.Cr, "PAGE " + std::to_string(page) + " OF 4", t.W / 2.0, 250, count);
}

// The keys are the player's own choice, so the caps are blank: the game prints the bound key
// and button on each (rows 22 apart from y 62, key caps centred at x 216, pad caps at x 356).
void DrawControls(const TTile& t) {
    cairo_t* cr = t.Cr;
    Frame(t, "CONTROLS", 1);
    TText head = Body(6);
    head.Color = Pal::TextDim;
    head.Align = TAlign::Center;
    DrawText(cr, "KEYBOARD", 216, 52, head);
    DrawText(cr, "PAD", 356, 52, head);
    const char* const meanings[] = {"ACCELERATE",  "BRAKE / REVERSE", "STEER LEFT",
                                    "STEER RIGHT", "HANDBRAKE",       "HORN",
                                    "PAUSE",       "QUIT TO THE MENU"};
    double y = 62;
    for (const char* meaning : meanings) {
        TText style = Body(6);
        style.Color = Pal::AccentLight;
        DrawTextShadowed(cr, meaning, 20, y + 9, style);
        DrawKeyCap(cr, {152, y, 128, 18}, "");
        DrawKeyCap(cr, {288, y, 136, 18}, "");
        y += 22;
    }
}

void DrawBonusLegend(const TTile& t) {
    cairo_t* cr = t.Cr;
    Frame(t, "BONUSES AND HAZARDS", 2);
    struct TEntry {
        int Kind;
        const char* Name;
        const char* Effect;
    };
    const TEntry entries[10] = {
        {0, "BRONZE COIN", "+10 POINTS"},     {3, "PUDDLE", "YOUR CAR SKIDS"},
        {1, "SILVER COIN", "+20 POINTS"},     {4, "BOMB", "DAMAGE AND A SPIN"},
        {2, "GOLD COIN", "+30 POINTS"},       {8, "SPIKES", "SLOWS YOU DOWN"},
        {5, "REPAIR KIT", "MENDS 30 DAMAGE"}, {9, "SPEED-UP", "A BURST OF SPEED"},
        {6, "EXTRA LIFE", "ONE MORE WRECK"},  {7, "EXTRA TIME", "+5 SECONDS"},
    };
    for (int i = 0; i < 10; ++i) {
        double x = i % 2 == 0 ? 22 : 228, y = 70 + (i / 2) * 38;
        DrawBonusIcon(cr, entries[i].Kind, x + 15, y, 30);
        DrawTextShadowed(cr, entries[i].Name, x + 38, y - 6, Heading(6.5), 0.8);
        DrawTextShadowed(cr, entries[i].Effect, x + 38, y + 7, Body(6), 0.8);
    }
    cairo_rectangle(cr, 214, 56, 1, 180);
    SetColor(cr, {1, 1, 1, 0.08});
    cairo_fill(cr);
}

void Bullet(cairo_t* cr, double x, double midY) {
    cairo_move_to(cr, x, midY - 3.5);
    cairo_line_to(cr, x + 4.5, midY);
    cairo_line_to(cr, x, midY + 3.5);
    cairo_close_path(cr);
    SetColor(cr, Pal::Accent);
    cairo_fill(cr);
}

void DrawRules(const TTile& t) {
    cairo_t* cr = t.Cr;
    Frame(t, "HOW TO WIN", 3);
    const char* rules[] = {
        "CROSS THE FINISH LINE NEAR THE END OF THE ROAD BEFORE THE CLOCK RUNS OUT.",
        "THE PRIZE IS DIVIDED BY YOUR PLACE: FIRST TAKES IT ALL, SECOND HALF, THIRD A THIRD.",
        "WALLS DAMAGE YOUR CAR. A WRECK COSTS A LIFE; WITH NO LIVES LEFT THE GAME IS OVER.",
        "EVERY WIN STARTS A HARDER RACE WITH A BIGGER PRIZE.",
        "WHEN TIME RUNS OUT, YOUR SCORE GOES INTO THE HIGH SCORES.",
    };
    double y = 66;
    for (const char* rule : rules) {
        Bullet(cr, 24, y);
        y = DrawWrapped(cr, rule, 36, y, 384, 13, Body(6)) + 8;
    }
}

void DrawUnlocks(const TTile& t) {
    cairo_t* cr = t.Cr;
    Frame(t, "NEW TRACKS AND CARS", 4);
    TText intro = Body(6);
    DrawWrapped(cr,
                "THREE TRACKS ARE OPEN AT FIRST. REACH THESE SCORES IN A GAME TO OPEN MORE:", 24,
                62, 392, 13, intro);
    TBox table{24, 84, 392, 164};
    DrawWell(cr, table, 6);
    struct TStep {
        const char* Score;
        const char* Opens;
    };
    const TStep steps[] = {
        {"300", "TRACKS 4 AND 5"}, {"700", "THE VOLCANO"},     {"1200", "TRACKS 6 AND 7"},
        {"2200", "THE VIPER"},     {"2700", "TRACKS 8 AND 9"}, {"4700", "THE BEAST"},
        {"6700", "TRACK 10"},      {"9200", "TRACK 11"},       {"13200", "TRACK 12"},
    };
    for (int i = 0; i < 9; ++i) {
        double x = i < 5 ? 32 : 226, y = 100 + (i % 5) * 31;
        TText score = Heading(6.5);
        score.Align = TAlign::Right;
        DrawText(cr, steps[i].Score, x + 52, y, score);
        Bullet(cr, x + 60, y);
        DrawText(cr, steps[i].Opens, x + 70, y, Body(6));
    }
    cairo_rectangle(cr, 220, 92, 1, 148);
    SetColor(cr, {1, 1, 1, 0.08});
    cairo_fill(cr);
}

}  // namespace

TDrawFn HelpPageArt(int page) {
    switch (page) {
        case 0:
            return DrawControls;
        case 1:
            return DrawBonusLegend;
        case 2:
            return DrawRules;
        default:
            return DrawUnlocks;
    }
}
