// The two choice screens before a race. The track screen covers the whole screen: the game
// prints the track's name on a light plate at the top, white labels on a dark column and the
// values on light plates beside them. The car page frames the car and carries the names of
// the four statistics bars.
#include <cmath>

#include "Cars.h"
#include "Families.h"
#include "Palette.h"
#include "Scenes.h"

namespace {

void Bay(cairo_t* cr, TBox button) {
    TBox bay = button.Inset(-3);
    ChamferRect(cr, bay, 8);
    SetColor(cr, {0, 0, 0, 0.4});
    cairo_fill(cr);
}

// Info rows of the track screen: labels printed in white from x 335 at these tops, values in
// dark 10-point text centred on x 480. The label ends are those of the game's face at its
// 13-point size, colon included ("Best time: " ends at 448), so every plate starts after its
// label; a best time (about 55 pixels at 10 points) still fits on its plate.
struct TInfoRow {
    double Top, LabelEnd;
};
constexpr TInfoRow InfoRows[] = {{385, 449}, {425, 418}, {463, 393}, {501, 465}};

void DrawInfoRows(cairo_t* cr) {
    for (const TInfoRow& r : InfoRows) {
        TBox label{325, r.Top - 2, r.LabelEnd + 3 - 325, 28};
        RoundedRect(cr, label, 5);
        FillVertical(cr, label, Hex(0x0E171E, 0.95), Hex(0x18242E, 0.95));
        DrawPlate(cr, {r.LabelEnd + 5, r.Top - 2, 565 - r.LabelEnd - 5, 28}, 5);
    }
}

void DrawPreviewFrame(cairo_t* cr) {
    // The preview picture (214 x 214) is drawn at (312, 156).
    TBox frame{306, 150, 226, 226};
    SoftShadow(cr, [&](cairo_t* c) { RoundedRect(c, frame, 6); }, 6, 0, 4, {0, 0, 0, 0.8});
    RoundedRect(cr, frame, 6);
    FillLinear(cr, frame.X, frame.Y, frame.Right(), frame.Bottom(),
               {{0, Pal::Chrome}, {0.5, Pal::SteelLight}, {1, Pal::Ink}});
    cairo_rectangle(cr, 311, 155, 216, 216);
    SetColor(cr, Pal::Ink);
    cairo_fill(cr);
}

// The car's frame with its turntable (the picture at (370, 230)) and the troughs of the four
// bars at x 386, y 343, 368, 393, 418; (ox, oy) is where the page sits on the screen.
void DrawCarFrameAndBars(cairo_t* cr, double ox, double oy) {
    TBox frame{370 - ox - 10, 230 - oy - 8, 80, 116};
    DrawWell(cr, frame, 8);
    // A turntable under the car.
    Circle(cr, frame.CX(), frame.CY(), 36);
    FillRadial(
        cr, frame.CX(), frame.CY(), 0, 36,
        {{0, Hex(0x2A3A48, 0.9)}, {0.9, Hex(0x16202A, 0.9)}, {1, WithAlpha(Pal::Accent, 0.6)}});
    const char* labels[] = {"SPEED", "ACCEL", "STEERING", "GRIP"};
    for (int i = 0; i < 4; ++i) {
        double y = 343 + 25 * i - oy;
        DrawLabel(cr, labels[i], 386 - ox - 10, y + 7, TAlign::Right, 7);
        // The trough the stretched bar fills: a full bar would be 200 long.
        DrawWell(cr, {386 - ox - 2, y - 2, 204, 18}, 4);
        for (int k = 1; k < 10; ++k) cairo_rectangle(cr, 386 - ox + k * 20, y + 12, 1, 3);
        SetColor(cr, {1, 1, 1, 0.15});
        cairo_fill(cr);
    }
}

}  // namespace

void DrawChooseTrackPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    DrawDuskCircuit(cr, 0.45);
    Vignette(cr, t.W, t.H, 0.6);
    TBox panel{220, 24, 360, 536};
    SoftShadow(cr, [&](cairo_t* c) { ChamferRect(c, panel, 14); }, 10, 0, 6, {0, 0, 0, 0.8});
    DrawPagePanel(cr, panel, "");
    // The track's name is printed centred on (419, 68) in dark teal.
    DrawLabel(cr, "CHOOSE A TRACK", 419, 44, TAlign::Center, 8, Pal::AccentLight);
    DrawPlate(cr, {289, 62, 260, 44}, 6);
    Bay(cr, {380, 131, 70, 24});
    Bay(cr, {234, 323, 70, 24});
    DrawPreviewFrame(cr);
    DrawInfoRows(cr);
    // Bays for the two buttons in the bottom corners.
    TBox left{0, 510, 112, 90}, right{630, 510, 118, 90};
    DrawHousing(cr, left.Moved(-12, 0), 12, 0.95);
    DrawHousing(cr, right, 12, 0.95);
    Bay(cr, {9, 524, 92, 28});
    Bay(cr, {642, 524, 94, 28});
    DrawLabel(cr, "START THE RACE", 689, 570, TAlign::Center, 6, Pal::TextDim);
}

void DrawChooseCarPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    // The page sits at (180, 150); the car picture at (370, 230), the bars at x 386 and
    // y 343, 368, 393, 418.
    const double ox = 180, oy = 150;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "CHOOSE YOUR CAR");
    Bay(cr, {210 - ox, 240 - oy, 70, 24});
    Bay(cr, {520 - ox, 240 - oy, 70, 24});
    DrawCarFrameAndBars(cr, ox, oy);
    Bay(cr, {282 - ox, 443 - oy, 92, 28});
    Bay(cr, {425 - ox, 443 - oy, 94, 28});
}

void DrawDailyCarPage(const TTile& t) {
    cairo_t* cr = t.Cr;
    // The car page's layout, on a taller page at (180, 110): the title strip ends above the
    // day's line, which the game prints centred on (400, 164) in light text; the car's name,
    // picture and bars sit where the car page has them. No next and previous: the day
    // chooses the car.
    const double ox = 180, oy = 110;
    DrawPagePanel(cr, {0, 0, double(t.W), double(t.H)}, "DAILY RACE");
    DrawWell(cr, {220 - ox, 158 - oy, 360, 24}, 5);
    DrawCarFrameAndBars(cr, ox, oy);
    // Left of the car's frame: the ghost's choice, and under it its two-line note.
    DrawWell(cr, {190 - ox, 240 - oy, 164, 24}, 5);
    DrawWell(cr, {190 - ox, 270 - oy, 164, 46}, 5);
    // Back, the day's table and the race, in a row.
    Bay(cr, {232 - ox, 443 - oy, 92, 28});
    Bay(cr, {354 - ox, 443 - oy, 92, 28});
    Bay(cr, {476 - ox, 443 - oy, 94, 28});
}
