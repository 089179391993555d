// The shared pieces of the menus and the dashboard: page panels, raised housings, dark wells
// and light plates where the game prints its own text, titles and labels, and buttons in
// their three looks. One look for every screen comes from drawing them all here.
#pragma once

#include <cairo.h>

#include <string>

#include "Shading.h"
#include "Text.h"

// The three patterns of every button picture: normal, mouse over, disabled.
enum class TLook { Normal, Hover, Disabled };
TLook LookOf(int pattern);

enum class TButtonKind {
    Plain,    // steel with an orange edge
    Primary,  // the action that moves the game on (start, race, yes)
    Link,     // a flat text link
};

enum class TIcon { None, Up, Down, Left, Right, Minus, Plus };

struct TButton {
    std::string Label;
    TButtonKind Kind = TButtonKind::Plain;
    TIcon Icon = TIcon::None;
};

void DrawButton(cairo_t* cr, TBox box, const TButton& button, TLook look);
// A filled triangle or bar sign centred at (cx, cy), size s.
void DrawIcon(cairo_t* cr, TIcon icon, double cx, double cy, double s, TColor color);

// A menu page: a chamfered steel panel filling box with a title strip on top.
void DrawPagePanel(cairo_t* cr, TBox box, const std::string& title);
// A raised steel block with a bevelled rim.
void DrawHousing(cairo_t* cr, TBox box, double cut, double alpha = 1.0);
// A dark recessed field for light text (list boxes, edit fields).
void DrawWell(cairo_t* cr, TBox box, double radius = 5);
// A light recessed plate for dark text (values the game prints).
void DrawPlate(cairo_t* cr, TBox box, double radius = 5);
void DrawScrew(cairo_t* cr, double cx, double cy, double r);

// Labels: light small capitals on steel.
void DrawLabel(cairo_t* cr, const std::string& text, double x, double midY, TAlign align,
               double cap = 8, TColor color = {0.91, 0.93, 0.95, 1});
// A page or screen title with its shadow and an orange underline.
void DrawTitle(cairo_t* cr, const std::string& text, double cx, double midY, double cap,
               double maxWidth = 1e9);
// Left-aligned text broken into lines no wider than width, first line centred on midY;
// returns the middle line of the line after the last.
double DrawWrapped(cairo_t* cr, const std::string& text, double x, double midY, double width,
                   double pitch, const TText& style);
// A keyboard key with its legend, for the help pages.
void DrawKeyCap(cairo_t* cr, TBox box, const std::string& legend, TIcon icon = TIcon::None);
// A thin horizontal rule that fades out at both ends.
void DrawRule(cairo_t* cr, double x0, double x1, double y, TColor color);
