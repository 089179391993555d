// TKerbBitmapFont: text drawn glyph by glyph as textured quads, for the GUI widgets. The
// glyphs are either cut from an image-list picture (one tile per character, in the order of
// Characters) or rendered from a system font into a texture the font owns
// (CreateFromSystemFont, KerbBitmapFontSystem.cpp). It keeps a glyph table (size and texture
// coordinates) and a character map (8-bit code -> glyph, or -1), so measuring and the
// typed-character check work without a drawing device. Depends on TKerbScreen for drawing
// and on the image list for its picture; it re-makes its own texture after a render reset
// from the texels it keeps.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/KerbTexture.h"

class TKerbScreen;
class TKerbImageList;
class TImageListItem;

enum class TPositionMode : uint8_t { pmTopLeft, pmCenter };

// CreateFromSystemFont style bits.
constexpr int32_t bfBold = 1, bfItalic = 2, bfUnderline = 4, bfStrikeOut = 8, bfNoAntialias = 16,
                  bfFixedCells = 32;

struct TBitmapGlyph {
    int32_t Width = 0, Height = 0;
    float Left = 0, Top = 0, Right = 0, Bottom = 0;  // texture coordinates
};

class TKerbBitmapFont {
public:
    explicit TKerbBitmapFont(TKerbScreen* screen = nullptr);
    ~TKerbBitmapFont();
    TKerbBitmapFont(const TKerbBitmapFont&) = delete;
    TKerbBitmapFont& operator=(const TKerbBitmapFont&) = delete;

    std::string FontName;
    TKerbImageList* KerbImageList = nullptr;
    int32_t Red = 255, Green = 255, Blue = 255, Alpha = 255;
    int32_t LineSpace = 10;
    float CenterX = 0, CenterY = 0;
    float ScaleX = 1, ScaleY = 1;
    float Rotation = 0;      // of the whole text, degrees
    float CharRotation = 0;  // of each glyph about its centre, degrees
    int32_t Spacing = 0;     // extra pixels after each glyph
    TPositionMode PositionMode = TPositionMode::pmTopLeft;

    // Links the font to a screen (registering its device hooks); null unlinks.
    void SetKerbScreen(TKerbScreen* screen);
    TKerbScreen* KerbScreen() const { return Screen; }

    // Glyphs from picture index of KerbImageList (ignored when negative, without a list, or
    // past its end): every glyph is one tile, glyph i being pattern i.
    void SetKerbImageIndex(int32_t index);
    int32_t KerbImageIndex() const { return ImageIndex; }
    // The characters of the glyphs in order; empty means the 95 codes 32..126. Texts are 8-bit
    // (the Western set).
    void SetCharacters(const std::string& text);
    const std::string& Characters() const { return CharacterText; }
    // Renders a system face into an own texture. Returns false (glyphs unchanged) when the
    // face cannot be opened or the glyphs do not fit the largest texture.
    bool CreateFromSystemFont(const std::string& fontName, const std::string& characters,
                              int32_t style, int32_t size);
    bool OwnTexture() const { return HasOwnTexture; }

    // Device created or reset: link to the screen and (re)make the own texture; a font with
    // no glyphs at all gets "Arial" bold 12.
    void Initialize();
    void Finalize();

    void TextOut(int32_t x, int32_t y, int32_t blendMode, const std::string& text);
    void TextOutColor(int32_t x, int32_t y, int32_t blendMode, const std::string& text,
                      uint32_t color, float scaleX, float scaleY, float rotation);
    // Width of the widest line at ScaleX (glyph widths plus Spacing), at least 1.
    int32_t TextWidth(const std::string& text) const;
    // The line height at ScaleY, at least 1.
    int32_t TextHeight(const std::string& text = {}) const;

    // Whether a character code has a glyph (space always has).
    bool HasCharacter(uint8_t code) const { return CharMap[code] >= 0; }
    const TBitmapGlyph& Glyph(uint8_t code) const;
    int32_t DefaultWidth() const { return DefWidth; }
    int32_t DefaultHeight() const { return DefHeight; }
    uint32_t Color() const;
    void SetColor(uint32_t argb);

private:
    friend class TBitmapFontRasterizer;
    TImageListItem* SourceItem() const;
    const TKerbTexture* GlyphTexture() const;
    void DrawGlyph(const TKerbTexture& texture, const TBitmapGlyph& g, float x, float y,
                   float originX, float originY, float scaleX, float scaleY, float rotation,
                   uint32_t color);
    void MakeOwnHandle();

    TKerbScreen* Screen = nullptr;
    int32_t HookId = 0;
    int32_t ImageIndex = -1;
    std::string CharacterText;
    std::array<TBitmapGlyph, 256> Glyphs{};
    std::array<int32_t, 256> CharMap{};
    int32_t DefWidth = 0, DefHeight = 0;
    bool HasOwnTexture = false;
    TKerbTexture Own;
};

// The 95 characters with codes 32 to 126.
const std::string& DefaultBitmapCharacters();
