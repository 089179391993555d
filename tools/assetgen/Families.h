// The drawing functions of every picture family, one source file each. A function draws one
// pattern into a tile; the factories return such a function for the pictures that differ
// only in their data (buttons, cars, previews, bonuses, road kinds).
#pragma once

#include "Manifest.h"
#include "Widgets.h"

// The five car types in the order of the game's car table.
enum class TCarType { Velkaro, Turbo, Volcano, Viper, Beast };

// Backdrops.cpp: full-screen menu backdrops, the logo and the loading screen.
void DrawLogo(const TTile& t);
void DrawMainBack(const TTile& t);
void DrawLoading(const TTile& t);
TDrawFn LightArt(bool second);

// Cursor.cpp and Glyphs.cpp.
void DrawCursor(const TTile& t);
void DrawGlyph(const TTile& t);

// Buttons.cpp.
TDrawFn ButtonArt(TButton button);
void DrawLogoButton(const TTile& t);
TDrawFn ToggleArt(bool on);

// MenuParts.cpp: small menu sprites.
void DrawChooseLine(const TTile& t);
void DrawStatBar(const TTile& t);
void DrawVolumeFill(const TTile& t);

// MenuPages.cpp and ChoosePages.cpp: the pages of the menu screens.
void DrawAddPage(const TTile& t);
void DrawOptionsPage(const TTile& t);
void DrawHiScorePage(const TTile& t);
void DrawClearHiScorePage(const TTile& t);
void DrawExitGamePage(const TTile& t);
void DrawChangePage(const TTile& t);
void DrawDeletePage(const TTile& t);
void DrawChooseTrackPage(const TTile& t);
void DrawChooseCarPage(const TTile& t);
// The daily race: its preview (the car page with the day's line), the page after the race
// and the day's table.
void DrawDailyCarPage(const TTile& t);
void DrawDailyResultPage(const TTile& t);
void DrawDailyTablePage(const TTile& t);

// HelpPages.cpp: four pages, 0..3.
TDrawFn HelpPageArt(int page);

// RacePages.cpp: the pages shown over a race.
enum class TRacePage { QuitRace, GameOver, TimesUp, RaceOver, YourScore, SendScore, Complete };
TDrawFn RacePageArt(TRacePage page);

// Previews.cpp: track previews 1..12 and the locked slot.
TDrawFn TrackPreviewArt(int number);
void DrawLockedPreview(const TTile& t);

// Cars.cpp: race cars (three colours), their shadows and the larger menu pictures.
TDrawFn CarArt(TCarType type);
TDrawFn CarShadowArt(TCarType type);
TDrawFn MenuCarArt(TCarType type);

// Road.cpp: road pieces by kind 0..6.
TDrawFn RoadArt(int kind);

// Ground.cpp: backgrounds 0..3, scenery, grid box, start and finish lines, probe.
TDrawFn GroundArt(int kind);
TDrawFn SceneryArt(bool desert);
void DrawGridBox(const TTile& t);
void DrawStartLine(const TTile& t);
void DrawFinishLine(const TTile& t);
void DrawGroundPoint(const TTile& t);

// Walls.cpp.
void DrawWall(const TTile& t);

// Dashboard.cpp and StartLights.cpp.
void DrawSpeedoPanel(const TTile& t);
void DrawRadarPanel(const TTile& t);
void DrawHealthBar(const TTile& t);
void DrawNeedle(const TTile& t);
void DrawReverseLamp(const TTile& t);
TDrawFn RadarMarkerArt(bool player);
void DrawStartArrows(const TTile& t);
void DrawLightHousing(const TTile& t);
enum class TLamp { Red, Yellow, Green };
TDrawFn LampArt(TLamp lamp);

// Bonuses.cpp: kinds 0..9 in the game's order.
TDrawFn BonusArt(int kind);

// Effects.cpp: explosions, skid marks, indicator arrows, the unused panel.
TDrawFn ExplosionArt(uint64_t seed);
void DrawSkidMark(const TTile& t);
void DrawIndicatorArrows(const TTile& t);
void DrawEmptyPanel(const TTile& t);
