// The table of every picture the generator makes: which list it goes in, its name, its tile
// size, how many patterns it has and how they are laid out, and the function that draws one
// pattern. The game looks pictures up by name, so the names here are the game's own.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

// One pattern being drawn: cr is translated to the tile's top-left corner and clipped to it.
struct TTile {
    cairo_t* Cr;
    int W, H;
    int Pattern;
};

using TDrawFn = std::function<void(const TTile&)>;

struct TArtItem {
    std::string Name;
    int TileW = 0, TileH = 0;
    int Patterns = 1;
    int Columns = 1;  // tiles per row of the sheet; patterns fill rows left to right
    TDrawFn Draw;
    int SheetW() const { return TileW * Columns; }
    int SheetH() const { return TileH * ((Patterns + Columns - 1) / Columns); }
};

// Data\data1.vil: menus, GUI, cursor, glyphs. The glyph sheet comes first.
std::vector<TArtItem> MenuListItems();
// Data\data2.vil: everything of a race.
std::vector<TArtItem> RaceListItems();
