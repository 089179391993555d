// Temporary stand-ins for the families not drawn yet.
#include "Families.h"
#include "Palette.h"

static void Box(const TTile& t) {
    cairo_t* cr = t.Cr;
    RoundedRect(cr, {1, 1, t.W - 2.0, t.H - 2.0}, 4);
    FillVertical(cr, {0, 0, double(t.W), double(t.H)}, Pal::SteelLight, Pal::SteelDark);
}
static TDrawFn BoxFn() {
    return Box;
}

TDrawFn HelpPageArt(int) {
    return BoxFn();
}
TDrawFn RacePageArt(TRacePage) {
    return BoxFn();
}
TDrawFn TrackPreviewArt(int) {
    return BoxFn();
}
void DrawLockedPreview(const TTile& t) {
    Box(t);
}
