// TKerbFont: text in a system font (a TrueType file chosen by FontFaces.h) drawn through the
// screen. It owns the opened font and a cache of rendered strings, so that drawing the same
// text every frame makes no new texture: each string is rendered once in white and tinted at
// draw time. Depends on TKerbScreen for drawing (and its renderer for the cached textures)
// and on SDL2_ttf, privately. Measuring works without a screen.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <unordered_map>

class TKerbScreen;
struct SDL_Texture;
struct _TTF_Font;

// Font style bits.
constexpr uint8_t fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

class TKerbFont {
public:
    explicit TKerbFont(TKerbScreen* screen = nullptr);
    ~TKerbFont();
    TKerbFont(const TKerbFont&) = delete;
    TKerbFont& operator=(const TKerbFont&) = delete;

    void SetScreen(TKerbScreen* screen);
    TKerbScreen* Screen() const { return KerbScreen; }

    // The text colour (opaque white after SetFont).
    uint8_t Red = 255, Green = 255, Blue = 255, Alpha = 255;
    void SetColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 255);

    // Size in points at 96 dpi; Style is a set of fs* bits. Resets the colour to white.
    void SetFont(const std::string& name, int32_t size, uint8_t style);
    const std::string& Name() const { return FontName; }
    int32_t Size() const { return FontSize; }
    uint8_t Style() const { return FontStyle; }
    bool HasFont() const { return Font != nullptr; }

    // Texts are 8-bit, in the Western set (common/WesternText.h).
    // Top-left corner at (x, y), no clipping.
    void TextOut(int32_t x, int32_t y, const std::string& text);
    // Red, green and blue each replaced by 255 minus itself; alpha kept.
    void TextOutInverse(int32_t x, int32_t y, const std::string& text);
    void TextOutColor(int32_t x, int32_t y, uint8_t alpha, uint8_t blue, uint8_t green, uint8_t red,
                      const std::string& text);
    // Told of every text drawn, with its top-left corner (tests measure the menus' texts by
    // it). Empty texts and texts drawn with no font or no device are not drawn.
    std::function<void(int32_t x, int32_t y, const std::string& text)> OnTextOut;
    // Width in pixels of text drawn in this font (0 without a font).
    int32_t TextWidth(const std::string& text);
    // Height in pixels of a line (0 without a font).
    int32_t TextHeight() const;

    // Called by the screen: drop the textures before the renderer loses them, bring the font
    // back afterwards, re-apply the texture filter, forget a screen that is going away.
    void ReleaseDeviceObjects();
    void RestoreDeviceObjects() {}
    void ApplyFilter();
    void DetachScreen();

    // How many string textures were ever made, and how many are cached now.
    int64_t TexturesCreated() const { return CreatedCount; }
    size_t CachedTexts() const { return Lru.size(); }
    // Pixels of the cached textures (4 bytes each).
    size_t CachedPixels() const { return CachedPixelCount; }
    static constexpr size_t CacheLimit = 256;

private:
    struct TCachedText {
        std::string Text;
        SDL_Texture* Texture = nullptr;
        int32_t Width = 0, Height = 0;
    };
    const TCachedText* Rendered(const std::string& text);
    void CloseFont();

    TKerbScreen* KerbScreen = nullptr;
    _TTF_Font* Font = nullptr;
    bool TtfStarted = false;
    std::string FontName;
    int32_t FontSize = 0;
    uint8_t FontStyle = 0;
    // Most recently used first.
    std::list<TCachedText> Lru;
    std::unordered_map<std::string, std::list<TCachedText>::iterator> Index;
    int64_t CreatedCount = 0;
    size_t CachedPixelCount = 0;
};
