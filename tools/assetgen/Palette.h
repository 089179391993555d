// The game's colours in one place, so every family draws from the same set: dark blue-grey
// steel for housings, warm orange for accents and highlights, cream plates where the game
// prints dark text, near-black wells where it prints light text.
#pragma once

#include "Shading.h"

namespace Pal {
inline const TColor Ink = Hex(0x0B1218);         // deepest shadow, outlines
inline const TColor SteelDark = Hex(0x17222C);   // panel bottoms, wells
inline const TColor Steel = Hex(0x2A3A48);       // panel faces
inline const TColor SteelLight = Hex(0x4C6174);  // rims, bevel highlights
inline const TColor Chrome = Hex(0xC9D4DD);      // metal highlights
inline const TColor Accent = Hex(0xF28A1E);      // orange: titles, active parts
inline const TColor AccentLight = Hex(0xFFC25A);
inline const TColor AccentDark = Hex(0xA34E0C);
inline const TColor Racing = Hex(0xC8232C);  // racing red: logo, danger
inline const TColor Cream = Hex(0xECE5D3);   // light plates for dark text
inline const TColor CreamShade = Hex(0xC9C0A8);
inline const TColor Well = Hex(0x0A1117);     // dark fields for light text
inline const TColor Text = Hex(0xE8EEF2);     // light text on steel
inline const TColor TextDim = Hex(0x8FA3B3);  // secondary text
inline const TColor Go = Hex(0x3DBE5A);       // green: on, health, go
inline const TColor Teal = Hex(0x2FA7B8);     // cool accent for water and glass
inline const TColor Glass = Hex(0x1B2A36);    // car windows
inline const TColor Asphalt = Hex(0x4A4D52);
inline const TColor Grass = Hex(0x4F8A3A);
inline const TColor Sand = Hex(0xD8B878);
inline const TColor White = Hex(0xFFFFFF);
inline const TColor Black = Hex(0x000000);
}  // namespace Pal
