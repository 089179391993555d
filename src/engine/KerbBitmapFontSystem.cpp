// CreateFromSystemFont: a system face rendered through SDL2_ttf, glyph by glyph, into one
// square texture of white texels whose alpha is the glyph's coverage. The glyphs are laid out
// in rows two pixels apart; the glyph table is filled by character code.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "common/WesternText.h"
#include "engine/FontFaces.h"
#include "engine/KerbBitmapFont.h"
#include "engine/KerbScreen.h"

namespace {
// SDL2_ttf counts its users; this one lives for one rendering.
class TTtfUser {
public:
    TTtfUser() : Started(TTF_Init() == 0) {}
    ~TTtfUser() {
        if (Started) TTF_Quit();
    }
    TTtfUser(const TTtfUser&) = delete;
    TTtfUser& operator=(const TTtfUser&) = delete;
    bool Started;
};

struct TFontCloser {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};

constexpr int32_t LargestTexture = 4096;

int32_t TextureSizeFor(size_t length, int32_t style, int32_t size) {
    if ((style & bfFixedCells) != 0) {
        const double area = static_cast<double>(length) * 2.0 * (size + 1.0) * (size + 1.0);
        const auto side = static_cast<int32_t>(std::lround(std::sqrt(area)));
        int32_t b = 1;
        while (b < side) b *= 2;
        return b;
    }
    if (size > 40) return 1024;
    return size <= 20 ? 256 : 512;
}

struct TPlaced {
    uint8_t Code;
    int32_t X, Y, Width, Height;
};

// Lays the glyphs out in rows; false when they do not fit a texture of side size.
bool Layout(TTF_Font* font, const std::string& chars, int32_t style, int32_t defW, int32_t defH,
            int32_t size, std::vector<TPlaced>& placed) {
    placed.clear();
    int32_t x = 0, rowY = 0;
    for (char ch : chars) {
        const auto code = static_cast<uint8_t>(ch);
        int w = defW, h = defH;
        if ((style & bfFixedCells) == 0) {
            const std::string utf8 = WesternToUtf8(std::string(1, ch));
            if (utf8.empty() || TTF_SizeUTF8(font, utf8.c_str(), &w, &h) != 0) w = h = 0;
            if ((style & bfItalic) != 0) {
                w += 1;
                h += 2;
            }
        }
        if (x + w + 2 > size) {
            rowY += h + 2;
            x = 0;
        }
        if (x + w > size || rowY + h > size) return false;
        placed.push_back({code, x, rowY, w, h});
        x += w + 2;
    }
    return true;
}

// Copies a rendered glyph's coverage into the texels as white with that alpha.
void CopyGlyph(SDL_Surface* glyph, std::vector<uint32_t>& texels, int32_t side, int32_t x,
               int32_t y) {
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(glyph, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr) return;
    SDL_LockSurface(argb);
    for (int32_t row = 0; row < argb->h && y + row < side; ++row) {
        const auto* src = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(argb->pixels) + row * argb->pitch);
        for (int32_t col = 0; col < argb->w && x + col < side; ++col) {
            const uint32_t alpha = src[col] >> 24;
            texels[static_cast<size_t>(y + row) * static_cast<size_t>(side) +
                   static_cast<size_t>(x + col)] = alpha == 0 ? 0 : (alpha << 24) | 0xFFFFFFu;
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
}
}  // namespace

bool TKerbBitmapFont::CreateFromSystemFont(const std::string& fontName,
                                           const std::string& characters, int32_t style,
                                           int32_t size) {
    TTtfUser ttf;
    const std::string file = FontFileForFace(fontName);
    if (!ttf.Started || file.empty()) return false;
    const int points = std::clamp(size, 1, 500);
    std::unique_ptr<TTF_Font, TFontCloser> font(TTF_OpenFontDPI(file.c_str(), points, 96, 96));
    if (!font) return false;
    int ttfStyle = TTF_STYLE_NORMAL;
    if ((style & bfBold) != 0) ttfStyle |= TTF_STYLE_BOLD;
    if ((style & bfItalic) != 0) ttfStyle |= TTF_STYLE_ITALIC;
    if ((style & bfUnderline) != 0) ttfStyle |= TTF_STYLE_UNDERLINE;
    if ((style & bfStrikeOut) != 0) ttfStyle |= TTF_STYLE_STRIKETHROUGH;
    TTF_SetFontStyle(font.get(), ttfStyle);

    const std::string& chars = characters.empty() ? DefaultBitmapCharacters() : characters;
    int defW = 0, defH = 0;
    TTF_SizeUTF8(font.get(), (style & bfFixedCells) != 0 ? "W" : "a", &defW, &defH);
    // The side the rule gives may be too small for a large set of wide glyphs: grow it
    // rather than cut glyphs off at the texture's edge.
    int32_t side = TextureSizeFor(chars.size(), style, points);
    std::vector<TPlaced> placed;
    while (!Layout(font.get(), chars, style, defW, defH, side, placed)) {
        if (side >= LargestTexture) return false;
        side *= 2;
    }

    Own.ReleaseHandle();
    Own.Width = Own.Height = side;
    Own.Texels.assign(static_cast<size_t>(side) * static_cast<size_t>(side), 0);
    Glyphs.fill(TBitmapGlyph{});
    const float s = static_cast<float>(side);
    const SDL_Color white{255, 255, 255, 255};
    for (const TPlaced& p : placed) {
        const std::string utf8 = WesternToUtf8(std::string(1, static_cast<char>(p.Code)));
        if (!utf8.empty() && p.Code != ' ') {
            SDL_Surface* glyph = (style & bfNoAntialias) != 0
                                     ? TTF_RenderUTF8_Solid(font.get(), utf8.c_str(), white)
                                     : TTF_RenderUTF8_Blended(font.get(), utf8.c_str(), white);
            if (glyph != nullptr) {
                CopyGlyph(glyph, Own.Texels, side, p.X, p.Y);
                SDL_FreeSurface(glyph);
            }
        }
        TBitmapGlyph& g = Glyphs[p.Code];
        g.Width = p.Width;
        g.Height = p.Height;
        g.Left = static_cast<float>(p.X) / s;
        g.Top = static_cast<float>(p.Y) / s;
        g.Right = static_cast<float>(p.X + p.Width) / s;
        g.Bottom = static_cast<float>(p.Y + p.Height) / s;
    }
    FontName = fontName;
    DefWidth = defW;
    DefHeight = defH;
    HasOwnTexture = true;
    SetCharacters(characters);
    // A space missing from the set still advances by the default width.
    if (Glyphs[' '].Width == 0) Glyphs[' '].Width = defW;
    MakeOwnHandle();
    return true;
}
