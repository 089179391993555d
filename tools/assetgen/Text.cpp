#include "Text.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>

namespace {

struct TFontState {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    cairo_font_face_t* CairoFace = nullptr;
    std::string Path;
    double CapRatio = 0.72;  // cap height / em, measured from "H" once loaded
};

TFontState& Font() {
    static TFontState state;
    return state;
}

bool TryLoad(const std::string& path) {
    TFontState& f = Font();
    if (path.empty() || FT_New_Face(f.Library, path.c_str(), 0, &f.Face) != 0) return false;
    f.CairoFace = cairo_ft_font_face_create_for_ft_face(f.Face, 0);
    f.Path = path;
    if (FT_Load_Char(f.Face, 'H', FT_LOAD_NO_SCALE) == 0 && f.Face->units_per_EM > 0) {
        f.CapRatio = static_cast<double>(f.Face->glyph->metrics.height) / f.Face->units_per_EM;
    }
    return true;
}

}  // namespace

bool LoadFont(const std::string& path, const std::string& fallback) {
    TFontState& f = Font();
    if (!f.Library && FT_Init_FreeType(&f.Library) != 0) return false;
    if (TryLoad(path)) return true;
    std::fprintf(stderr, "assetgen: cannot read font %s, using %s\n", path.c_str(),
                 fallback.c_str());
    return TryLoad(fallback);
}

const std::string& LoadedFontPath() {
    return Font().Path;
}

void SelectFont(cairo_t* cr, double size) {
    TFontState& f = Font();
    if (f.CairoFace) {
        cairo_set_font_face(cr, f.CairoFace);
    } else {
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    }
    cairo_set_font_size(cr, size);
    // Unhinted outlines with exact advances: the same shapes whatever the size.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double SizeForCap(double capPx) {
    return capPx / Font().CapRatio;
}

double TextWidth(cairo_t* cr, std::string_view text, const TText& style) {
    cairo_save(cr);
    SelectFont(cr, style.Size);
    double width = 0;
    char one[2] = {0, 0};
    for (char c : text) {
        one[0] = c;
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        width += e.x_advance + style.Tracking;
    }
    cairo_restore(cr);
    if (!text.empty()) width -= style.Tracking;
    return width;
}

void TextShape(cairo_t* cr, std::string_view text, double x, double midY, const TText& style) {
    double width = TextWidth(cr, text, style);
    if (style.Align == TAlign::Center) x -= width / 2;
    if (style.Align == TAlign::Right) x -= width;
    double baseline = midY + style.Size * Font().CapRatio / 2;
    SelectFont(cr, style.Size);
    char one[2] = {0, 0};
    for (char c : text) {
        one[0] = c;
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, one);
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        x += e.x_advance + style.Tracking;
    }
}

void DrawText(cairo_t* cr, std::string_view text, double x, double midY, const TText& style) {
    cairo_save(cr);
    cairo_new_path(cr);
    TextShape(cr, text, x, midY, style);
    SetColor(cr, style.Color);
    if (style.Weight > 0) {
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, style.Weight * style.Size);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawTextShadowed(cairo_t* cr, std::string_view text, double x, double midY, const TText& style,
                      double shadowAlpha) {
    std::string copy(text);
    SoftShadow(cr, [&](cairo_t* c) { TextShape(c, copy, x, midY, style); }, style.Size * 0.12 + 1,
               0, style.Size * 0.06 + 0.5, {0, 0, 0, shadowAlpha});
    DrawText(cr, text, x, midY, style);
}

TText FitText(cairo_t* cr, std::string_view text, TText style, double maxWidth) {
    double width = TextWidth(cr, text, style);
    if (width > maxWidth && width > 0) style.Size *= maxWidth / width;
    return style;
}
