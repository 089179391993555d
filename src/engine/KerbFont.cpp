#include "engine/KerbFont.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>

#include "common/WesternText.h"
#include "engine/FontFaces.h"
#include "engine/KerbScreen.h"

TKerbFont::TKerbFont(TKerbScreen* screen) {
    // SDL2_ttf counts its users, so every font can start and stop it.
    TtfStarted = TTF_Init() == 0;
    SetScreen(screen);
}

TKerbFont::~TKerbFont() {
    SetScreen(nullptr);
    CloseFont();
    if (TtfStarted) TTF_Quit();
}

void TKerbFont::SetScreen(TKerbScreen* screen) {
    if (screen == KerbScreen) return;
    ReleaseDeviceObjects();
    if (KerbScreen != nullptr) KerbScreen->UnregisterFont(this);
    KerbScreen = screen;
    if (KerbScreen != nullptr) KerbScreen->RegisterFont(this);
}

void TKerbFont::DetachScreen() {
    ReleaseDeviceObjects();
    KerbScreen = nullptr;
}

void TKerbFont::SetColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    Red = red;
    Green = green;
    Blue = blue;
    Alpha = alpha;
}

void TKerbFont::SetFont(const std::string& name, int32_t size, uint8_t style) {
    SetColor(255, 255, 255, 255);
    // The game sets the same font again on every screen it enters: keep what is rendered.
    if (Font != nullptr && name == FontName && size == FontSize && style == FontStyle) return;
    CloseFont();
    FontName = name;
    FontSize = size;
    FontStyle = style;
    if (!TtfStarted) return;
    const std::string file = FontFileForFace(name);
    if (file.empty()) return;
    // Sizes are points at 96 dpi, as the window system measures them.
    const int points = std::clamp(size, 1, 1000);
    Font = TTF_OpenFontDPI(file.c_str(), points, 96, 96);
    if (Font == nullptr) return;
    int ttfStyle = TTF_STYLE_NORMAL;
    if ((style & fsBold) != 0) ttfStyle |= TTF_STYLE_BOLD;
    if ((style & fsItalic) != 0) ttfStyle |= TTF_STYLE_ITALIC;
    if ((style & fsUnderline) != 0) ttfStyle |= TTF_STYLE_UNDERLINE;
    if ((style & fsStrikeOut) != 0) ttfStyle |= TTF_STYLE_STRIKETHROUGH;
    TTF_SetFontStyle(Font, ttfStyle);
}

void TKerbFont::CloseFont() {
    ReleaseDeviceObjects();
    if (Font != nullptr) TTF_CloseFont(Font);
    Font = nullptr;
}

void TKerbFont::TextOut(int32_t x, int32_t y, const std::string& text) {
    TextOutColor(x, y, Alpha, Blue, Green, Red, text);
}

void TKerbFont::TextOutInverse(int32_t x, int32_t y, const std::string& text) {
    TextOutColor(x, y, Alpha, static_cast<uint8_t>(255 - Blue), static_cast<uint8_t>(255 - Green),
                 static_cast<uint8_t>(255 - Red), text);
}

void TKerbFont::TextOutColor(int32_t x, int32_t y, uint8_t alpha, uint8_t blue, uint8_t green,
                             uint8_t red, const std::string& text) {
    if (Font == nullptr || KerbScreen == nullptr || !KerbScreen->HasDevice()) return;
    const TCachedText* cached = Rendered(text);
    if (cached == nullptr) return;
    const uint32_t color = (static_cast<uint32_t>(alpha) << 24) |
                           (static_cast<uint32_t>(red) << 16) |
                           (static_cast<uint32_t>(green) << 8) | blue;
    if (OnTextOut) OnTextOut(x, y, text);
    KerbScreen->DrawTextureAt(cached->Texture, x, y, cached->Width, cached->Height, color);
}

int32_t TKerbFont::TextWidth(const std::string& text) {
    if (Font == nullptr || text.empty()) return 0;
    const auto found = Index.find(text);
    if (found != Index.end()) return found->second->Width;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(Font, WesternToUtf8(text).c_str(), &w, &h) != 0) return 0;
    return w;
}

int32_t TKerbFont::TextHeight() const {
    return Font != nullptr ? TTF_FontHeight(Font) : 0;
}

const TKerbFont::TCachedText* TKerbFont::Rendered(const std::string& text) {
    const auto found = Index.find(text);
    if (found != Index.end()) {
        Lru.splice(Lru.begin(), Lru, found->second);
        return &*found->second;
    }
    if (text.empty()) return nullptr;
    // White text, tinted when drawn: one texture serves every colour.
    // The game's texts are 8-bit Western (a player's name may hold accented letters).
    SDL_Surface* surface =
        TTF_RenderUTF8_Blended(Font, WesternToUtf8(text).c_str(), SDL_Color{255, 255, 255, 255});
    if (surface == nullptr) return nullptr;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(KerbScreen->Device(), surface);
    const int32_t w = surface->w, h = surface->h;
    SDL_FreeSurface(surface);
    if (texture == nullptr) return nullptr;
    KerbScreen->ApplyFilter(texture);
    ++CreatedCount;
    Lru.push_front({text, texture, w, h});
    Index[text] = Lru.begin();
    CachedPixelCount += static_cast<size_t>(w) * static_cast<size_t>(h);
    while (Lru.size() > CacheLimit) {
        const TCachedText& last = Lru.back();
        CachedPixelCount -= static_cast<size_t>(last.Width) * static_cast<size_t>(last.Height);
        SDL_DestroyTexture(last.Texture);
        Index.erase(last.Text);
        Lru.pop_back();
    }
    return &Lru.front();
}

void TKerbFont::ReleaseDeviceObjects() {
    for (TCachedText& entry : Lru) SDL_DestroyTexture(entry.Texture);
    Lru.clear();
    Index.clear();
    CachedPixelCount = 0;
}

void TKerbFont::ApplyFilter() {
    if (KerbScreen == nullptr) return;
    for (TCachedText& entry : Lru) KerbScreen->ApplyFilter(entry.Texture);
}
