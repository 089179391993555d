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

void DrawChooseLine(const TTile& t) {
    Box(t);
}
void DrawStatBar(const TTile& t) {
    Box(t);
}
void DrawVolumeFill(const TTile& t) {
    Box(t);
}
void DrawAddPage(const TTile& t) {
    Box(t);
}
void DrawOptionsPage(const TTile& t) {
    Box(t);
}
void DrawHiScorePage(const TTile& t) {
    Box(t);
}
void DrawClearHiScorePage(const TTile& t) {
    Box(t);
}
void DrawExitGamePage(const TTile& t) {
    Box(t);
}
void DrawChangePage(const TTile& t) {
    Box(t);
}
void DrawDeletePage(const TTile& t) {
    Box(t);
}
void DrawChooseTrackPage(const TTile& t) {
    Box(t);
}
void DrawChooseCarPage(const TTile& t) {
    Box(t);
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
TDrawFn RoadArt(int) {
    return BoxFn();
}
TDrawFn GroundArt(int) {
    return BoxFn();
}
TDrawFn SceneryArt(bool) {
    return BoxFn();
}
void DrawGridBox(const TTile& t) {
    Box(t);
}
void DrawStartLine(const TTile& t) {
    Box(t);
}
void DrawFinishLine(const TTile& t) {
    Box(t);
}
void DrawGroundPoint(const TTile& t) {
    Box(t);
}
void DrawWall(const TTile& t) {
    Box(t);
}
void DrawSpeedoPanel(const TTile& t) {
    Box(t);
}
void DrawRadarPanel(const TTile& t) {
    Box(t);
}
void DrawHealthBar(const TTile& t) {
    Box(t);
}
void DrawNeedle(const TTile& t) {
    Box(t);
}
void DrawReverseLamp(const TTile& t) {
    Box(t);
}
TDrawFn RadarMarkerArt(bool) {
    return BoxFn();
}
void DrawStartArrows(const TTile& t) {
    Box(t);
}
void DrawLightHousing(const TTile& t) {
    Box(t);
}
TDrawFn LampArt(TLamp) {
    return BoxFn();
}
TDrawFn BonusArt(int) {
    return BoxFn();
}
TDrawFn ExplosionArt(uint64_t) {
    return BoxFn();
}
void DrawSkidMark(const TTile& t) {
    Box(t);
}
void DrawIndicatorArrows(const TTile& t) {
    Box(t);
}
void DrawEmptyPanel(const TTile& t) {
    Box(t);
}
TDrawFn ToggleArt(bool) {
    return BoxFn();
}
void DrawLogoButton(const TTile& t) {
    Box(t);
}
