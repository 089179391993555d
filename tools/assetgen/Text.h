// Text in the game's one wide technical face, loaded with FreeType and drawn through cairo.
// Positions put the capital letters' middle on a given line, which is what layouts align.
#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

#include "Shading.h"

// Loads the face from path, or from fallback when path cannot be read. False when neither
// can; drawing then uses cairo's built-in sans.
bool LoadFont(const std::string& path, const std::string& fallback);
// The file the pictures' text came from.
const std::string& LoadedFontPath();

enum class TAlign { Left, Center, Right };

struct TText {
    double Size = 14;  // em size in pixels
    TColor Color = {1, 1, 1, 1};
    double Weight = 0.03;  // outline stroke in em, to thicken the regular face
    double Tracking = 0;   // extra pixels between letters
    TAlign Align = TAlign::Left;
};

// Style helper: the size whose capital letters are capPx tall.
double SizeForCap(double capPx);
double TextWidth(cairo_t* cr, std::string_view text, const TText& style);
// Builds the outline of text as the current path (nothing is drawn).
void TextShape(cairo_t* cr, std::string_view text, double x, double midY, const TText& style);
// Fills (and thickens) text in its colour.
void DrawText(cairo_t* cr, std::string_view text, double x, double midY, const TText& style);
// Text with a soft dark shadow under it, for titles and labels on busy backgrounds.
void DrawTextShadowed(cairo_t* cr, std::string_view text, double x, double midY, const TText& style,
                      double shadowAlpha = 0.7);
// Largest size not above style.Size at which text fits in maxWidth.
TText FitText(cairo_t* cr, std::string_view text, TText style, double maxWidth);
// Selects the face at size on cr (for callers that lay glyphs out themselves).
void SelectFont(cairo_t* cr, double size);
