#include "engine/KerbBitmapFont.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/ImageList.h"
#include "engine/KerbRenderer.h"
#include "engine/KerbScreen.h"

const std::string& DefaultBitmapCharacters() {
    static const std::string text = [] {
        std::string s;
        for (int c = 32; c <= 126; ++c) s += static_cast<char>(c);
        return s;
    }();
    return text;
}

TKerbBitmapFont::TKerbBitmapFont(TKerbScreen* screen) {
    CharMap.fill(-1);
    CharMap[' '] = 0;
    SetKerbScreen(screen);
}

TKerbBitmapFont::~TKerbBitmapFont() {
    SetKerbScreen(nullptr);
}

void TKerbBitmapFont::SetKerbScreen(TKerbScreen* screen) {
    if (screen == Screen) return;
    if (Screen != nullptr) {
        Finalize();
        Screen->RemoveDeviceHooks(HookId);
    }
    Screen = screen;
    if (Screen != nullptr)
        HookId = Screen->AddDeviceHooks([this] { Initialize(); }, [this] { Finalize(); });
}

uint32_t TKerbBitmapFont::Color() const {
    return (static_cast<uint32_t>(Alpha & 0xFF) << 24) | (static_cast<uint32_t>(Red & 0xFF) << 16) |
           (static_cast<uint32_t>(Green & 0xFF) << 8) | static_cast<uint32_t>(Blue & 0xFF);
}

void TKerbBitmapFont::SetColor(uint32_t argb) {
    Alpha = static_cast<int32_t>(argb >> 24);
    Red = static_cast<int32_t>((argb >> 16) & 0xFF);
    Green = static_cast<int32_t>((argb >> 8) & 0xFF);
    Blue = static_cast<int32_t>(argb & 0xFF);
}

TImageListItem* TKerbBitmapFont::SourceItem() const {
    if (KerbImageList == nullptr || ImageIndex < 0) return nullptr;
    return KerbImageList->ImageList.Items(ImageIndex);
}

void TKerbBitmapFont::SetKerbImageIndex(int32_t index) {
    if (index < 0 || KerbImageList == nullptr || index >= KerbImageList->ImageList.Count()) return;
    TImageListItem* item = KerbImageList->ImageList.Items(index);
    if (item == nullptr || item->TileWidth <= 0 || item->TileHeight <= 0) return;
    ImageIndex = index;
    HasOwnTexture = false;
    Own.ReleaseHandle();
    Own.Texels.clear();
    FontName = item->Name;
    DefWidth = item->TileWidth;
    DefHeight = item->TileHeight;
    const int32_t columns = std::max(item->ImageWidth / item->TileWidth, 1);
    const int32_t rows = std::max(item->ImageHeight / item->TileHeight, 1);
    const float tw = static_cast<float>(std::max(item->TextureWidth, 1));
    const float th = static_cast<float>(std::max(item->TextureHeight, 1));
    for (int32_t i = 0; i < 256; ++i) {
        const int32_t pattern = std::min(i, columns * rows - 1);
        const float left = static_cast<float>((pattern % columns) * item->TileWidth);
        const float top = static_cast<float>((pattern / columns) * item->TileHeight);
        TBitmapGlyph& g = Glyphs[static_cast<size_t>(i)];
        g.Width = item->TileWidth;
        g.Height = item->TileHeight;
        g.Left = left / tw;
        g.Top = top / th;
        g.Right = (left + static_cast<float>(item->TileWidth)) / tw;
        g.Bottom = (top + static_cast<float>(item->TileHeight)) / th;
    }
}

void TKerbBitmapFont::SetCharacters(const std::string& text) {
    CharacterText = text;
    const std::string& chars = text.empty() ? DefaultBitmapCharacters() : text;
    CharMap.fill(-1);
    for (size_t i = chars.size(); i-- > 0;)
        CharMap[static_cast<uint8_t>(chars[i])] = static_cast<int32_t>(i);
    if (CharMap[' '] < 0) CharMap[' '] = 0;
    // An own texture holds its glyphs by character code.
    if (HasOwnTexture)
        for (int32_t c = 0; c < 256; ++c)
            if (CharMap[static_cast<size_t>(c)] >= 0) CharMap[static_cast<size_t>(c)] = c;
}

const TBitmapGlyph& TKerbBitmapFont::Glyph(uint8_t code) const {
    static const TBitmapGlyph none{};
    const int32_t index = CharMap[code];
    return index >= 0 && index < 256 ? Glyphs[static_cast<size_t>(index)] : none;
}

void TKerbBitmapFont::Initialize() {
    if (Screen == nullptr || !Screen->HasDevice()) return;
    if (HasOwnTexture) {
        // The texels are kept: the font stays the same face across a render reset.
        MakeOwnHandle();
        return;
    }
    if (SourceItem() != nullptr) {
        SetKerbImageIndex(ImageIndex);
        SetCharacters(CharacterText);
    } else {
        CreateFromSystemFont("Arial", "", bfBold, 12);
    }
}

void TKerbBitmapFont::Finalize() {
    Own.ReleaseHandle();
}

void TKerbBitmapFont::MakeOwnHandle() {
    if (Screen != nullptr && Screen->HasDevice() && Own.HasTexels())
        Screen->CreateTextureHandle(Own);
}

const TKerbTexture* TKerbBitmapFont::GlyphTexture() const {
    if (HasOwnTexture) return &Own;
    TImageListItem* item = SourceItem();
    return item != nullptr && item->Use() ? item->Texture.get() : nullptr;
}

int32_t TKerbBitmapFont::TextWidth(const std::string& text) const {
    int32_t widest = 0, line = 0;
    for (char ch : text) {
        const auto c = static_cast<uint8_t>(ch);
        if (c == 13) {
            line = 0;
            continue;
        }
        if (CharMap[c] < 0) continue;
        const float advance = static_cast<float>(Glyph(c).Width + Spacing) * ScaleX;
        line += static_cast<int32_t>(std::lround(advance));
        widest = std::max(widest, line);
    }
    return std::max(widest, 1);
}

int32_t TKerbBitmapFont::TextHeight(const std::string&) const {
    return std::max(static_cast<int32_t>(std::lround(static_cast<float>(DefHeight) * ScaleY)), 1);
}

void TKerbBitmapFont::TextOut(int32_t x, int32_t y, int32_t blendMode, const std::string& text) {
    TextOutColor(x, y, blendMode, text, Color(), ScaleX, ScaleY, Rotation);
}

void TKerbBitmapFont::TextOutColor(int32_t x, int32_t y, int32_t blendMode, const std::string& text,
                                   uint32_t color, float scaleX, float scaleY, float rotation) {
    const TKerbTexture* texture = GlyphTexture();
    if (Screen == nullptr || texture == nullptr || texture->Handle == nullptr) return;
    float startX = static_cast<float>(x), startY = static_cast<float>(y);
    if (PositionMode == TPositionMode::pmCenter) {
        const double half = static_cast<double>(text.size()) * 0.5 * DefWidth;
        startX -= static_cast<float>(std::lround(half));
        startY -= static_cast<float>(std::lround(DefHeight * 0.25));
    }
    if (blendMode != -1) Screen->SetBlendMode(blendMode);
    const float originX = startX + CenterX, originY = startY + CenterY;
    float penX = startX, penY = startY;
    for (char ch : text) {
        const auto c = static_cast<uint8_t>(ch);
        if (c == 13) {
            penY += static_cast<float>(DefHeight + LineSpace);
            penX = startX;
            continue;
        }
        if (CharMap[c] < 0) continue;
        const TBitmapGlyph& g = Glyph(c);
        if (c != ' ')
            DrawGlyph(*texture, g, penX, penY, originX, originY, scaleX, scaleY, rotation, color);
        penX += static_cast<float>(g.Width + Spacing);
    }
}

void TKerbBitmapFont::DrawGlyph(const TKerbTexture& texture, const TBitmapGlyph& g, float x,
                                float y, float originX, float originY, float scaleX, float scaleY,
                                float rotation, uint32_t color) {
    const float w = static_cast<float>(g.Width), h = static_cast<float>(g.Height);
    const float xs[4] = {x, x + w, x + w, x};
    const float ys[4] = {y, y, y + h, y + h};
    const float us[4] = {g.Left, g.Right, g.Right, g.Left};
    const float vs[4] = {g.Top, g.Top, g.Bottom, g.Bottom};
    const double toRad = std::numbers::pi / 180.0;
    const double cc = std::cos(CharRotation * toRad), cs = std::sin(CharRotation * toRad);
    const double rc = std::cos(rotation * toRad), rs = std::sin(rotation * toRad);
    const double gx = x + w / 2, gy = y + h / 2;
    TQuad quad;
    for (int i = 0; i < 4; ++i) {
        // The glyph turns about its own centre, then the whole text is scaled and turned
        // about its origin.
        const double dx = xs[i] - gx, dy = ys[i] - gy;
        const double px = gx + dx * cc - dy * cs - originX;
        const double py = gy + dx * cs + dy * cc - originY;
        const double sx = px * scaleX, sy = py * scaleY;
        // Pixel centres sit on whole coordinates for the screen: half a pixel back.
        quad[static_cast<size_t>(i)].X = static_cast<float>(originX + sx * rc - sy * rs) - 0.5f;
        quad[static_cast<size_t>(i)].Y = static_cast<float>(originY + sx * rs + sy * rc) - 0.5f;
        quad[static_cast<size_t>(i)].U = us[i];
        quad[static_cast<size_t>(i)].V = vs[i];
        quad[static_cast<size_t>(i)].Color = color;
    }
    Screen->DrawQuad(texture, ApplyScreenTransform(*Screen, quad));
}
