#include "engine/KerbSprite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/MessageBox.h"

// The four-decimal rounding, for the places the inline answer leaves. Below 2^52, adding and
// taking away 2^52 leaves the nearest whole number (halves to even), as std::nearbyint does in the
// default rounding mode. A whole n below 2^52 is never within half a unit in the last place of a
// whole multiple of 10000 below it once divided (n / 10000 < 2^39, where that half unit is below 1
// / 10000), so truncating the quotient equals whole-number division.
int32_t EngineRoundByDecimals(double x) {
    const double shifted = x >= 0 ? x + 0.5 : x - 0.5;
    // Four decimals first, so values a hair below a half (2.49996) still round up.
    const double scaled = shifted * 10000.0;
    if (std::fabs(scaled) < 0x1p52) {
        const double big = std::copysign(0x1p52, scaled);
        const int64_t whole = static_cast<int64_t>((scaled + big) - big) / 10000;
        if (whole >= INT32_MIN && whole <= INT32_MAX) return static_cast<int32_t>(whole);
    }
    const double rounded = std::trunc(std::nearbyint(scaled) / 10000.0);
    // Converting a place outside int32, or not a number, is undefined, and processors answer
    // it differently; x86 gives INT32_MIN, so that is the answer everywhere.
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

namespace {
uint32_t PackArgb(int32_t a, int32_t r, int32_t g, int32_t b) {
    return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
           (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}

bool Intersect(const TRect& a, const TRect& b, TRect& out) {
    out.Left = std::max(a.Left, b.Left);
    out.Top = std::max(a.Top, b.Top);
    out.Right = std::min(a.Right, b.Right);
    out.Bottom = std::min(a.Bottom, b.Bottom);
    return out.Left < out.Right && out.Top < out.Bottom;
}

// Where a sprite's texel scan starts and which way it walks (mirrored pictures walk back).
struct TTexelWalk {
    int32_t Column, ColumnStep, Row, RowStep;
};

TTexelWalk StartWalk(const TSprite& s, const TRect& overlap) {
    const int32_t relX = overlap.Left - s.CollisionRect.Left;
    const int32_t relY = overlap.Top - s.CollisionRect.Top;
    const int32_t width = s.CollisionRect.Right - s.CollisionRect.Left;
    const int32_t height = s.CollisionRect.Bottom - s.CollisionRect.Top;
    TTexelWalk w{};
    w.Column = (s.MirrorX ? width - relX - 1 : relX + 1) + s.PatternOffsetX;
    w.ColumnStep = s.MirrorX ? -1 : 1;
    w.Row = (s.MirrorY ? height - relY - 1 : relY + 1) + s.PatternOffsetY;
    w.RowStep = s.MirrorY ? -1 : 1;
    return w;
}
}  // namespace

TSprite::TSprite(TKerbSprite* engine) : KerbSprite(engine) {
    if (KerbSprite != nullptr) KerbSprite->Insert(this);
}

TSprite::~TSprite() {
    if (KerbSprite != nullptr) KerbSprite->Release(this);
}

TRect TSprite::GetPatternRect() {
    TRect r{};
    if (Image == nullptr) return r;
    const int32_t tileW = Image->TileWidth > 0 ? Image->TileWidth : 1;
    const int32_t tileH = Image->TileHeight > 0 ? Image->TileHeight : 1;
    const int32_t columns = std::max(Image->ImageWidth / tileW, 1);
    const int32_t rows = std::max(Image->ImageHeight / tileH, 1);
    PatternIndex = std::clamp(PatternIndex, 0, columns * rows - 1);
    r.Left = tileW * (PatternIndex % columns);
    r.Top = tileH * (PatternIndex / columns);
    r.Right = r.Left + tileW;
    r.Bottom = r.Top + tileH;
    return r;
}

void TSprite::SetName(const std::string& value) {
    Name = value;
}

void TSprite::RepackColors() {
    const uint32_t c = PackArgb(Alpha, Red, Green, Blue);
    std::fill(std::begin(VertexColors), std::end(VertexColors), c);
}

void TSprite::SetRed(int32_t value) {
    Red = value;
    RepackColors();
}

void TSprite::SetGreen(int32_t value) {
    Green = value;
    RepackColors();
}

void TSprite::SetBlue(int32_t value) {
    Blue = value;
    RepackColors();
}

void TSprite::SetAlpha(int32_t value) {
    Alpha = value;
    RepackColors();
}

void TSprite::SetPatternIndex(int32_t value) {
    PatternIndex = value;
    if (Image == nullptr) return;
    const int32_t tileW = Image->TileWidth > 0 ? Image->TileWidth : 1;
    const int32_t tileH = Image->TileHeight > 0 ? Image->TileHeight : 1;
    const int32_t columns = std::max(Image->ImageWidth / tileW, 1);
    const int32_t count = columns * std::max(Image->ImageHeight / tileH, 1);
    if (PatternIndex > count - 1) PatternIndex = count - 1;
    // Negative indexes (the whole picture) keep offset 0.
    const int32_t index = std::max(PatternIndex, 0);
    PatternOffsetX = (index % columns) * tileW;
    PatternOffsetY = (index / columns) * tileH;
}

void TSprite::SetZ(int32_t value) {
    if (value == Z) return;
    Z = value;
    if (KerbSprite == nullptr) return;
    KerbSprite->Remove(this);
    KerbSprite->Insert(this);
    // Re-inserting must not drop the sprite from the dead list.
    if (Deleted) KerbSprite->DeadList.push_back(this);
}

void TSprite::SetImage(TImageListItem* item) {
    Image = item;
    if (item == nullptr) return;
    Width = item->TileWidth;
    Height = item->TileHeight;
    CollisionRect.Right = CollisionRect.Left + Width;
    CollisionRect.Bottom = CollisionRect.Top + Height;
    SetX(X);
    SetY(Y);
}

void TSprite::SetWidth(int32_t value) {
    Width = value;
    CollisionRect.Right = CollisionRect.Left + value;
}

void TSprite::SetHeight(int32_t value) {
    Height = value;
    CollisionRect.Bottom = CollisionRect.Top + value;
}

void TSprite::Assign(const TSprite& source) {
    SetName(source.Name);
    X = source.X;
    Y = source.Y;
    TopRightX = source.TopRightX;
    TopRightY = source.TopRightY;
    BottomRightX = source.BottomRightX;
    BottomRightY = source.BottomRightY;
    BottomLeftX = source.BottomLeftX;
    BottomLeftY = source.BottomLeftY;
    SetZ(source.Z);
    SetRed(source.Red);
    SetGreen(source.Green);
    SetBlue(source.Blue);
    SetAlpha(source.Alpha);
    std::copy(std::begin(source.VertexColors), std::end(source.VertexColors), VertexColors);
    SetPatternIndex(source.PatternIndex);
    CanCollide = source.CanCollide;
    PixelCheck = source.PixelCheck;
    PixelCheckOnly = source.PixelCheckOnly;
    Angle = source.Angle;
    SetImage(source.Image);
    ScaleX = source.ScaleX;
    ScaleY = source.ScaleY;
    DrawOffsetX = source.DrawOffsetX;
    DrawOffsetY = source.DrawOffsetY;
    RotationCenterX = source.RotationCenterX;
    RotationCenterY = source.RotationCenterY;
    MirrorY = source.MirrorY;
    MirrorX = source.MirrorX;
    BlendMode = source.BlendMode;
    Visible = source.Visible;
    ScreenFixed = source.ScreenFixed;
}

// Scans the overlap texel by texel (all but its last row and column) for a texel that is
// solid in both pictures. Reads outside a texture count as transparent.
TSprite::THit TSprite::TexelTest(TSprite& other, const TRect& overlap, int32_t& hitX,
                                 int32_t& hitY) {
    if (!PixelCheck || !other.PixelCheck) return THit::None;
    // A sprite tested against itself hits, with no point to report.
    if (&other == this) return THit::Origin;
    if (Image == nullptr || other.Image == nullptr || !Image->Texture || !other.Image->Texture)
        return THit::None;
    // A resting picture is woken: the test reads its texels.
    if (!Image->Use() || !other.Image->Use()) return THit::None;
    const TKerbTexture& ta = *Image->Texture;
    const TKerbTexture& tb = *other.Image->Texture;
    const TTexelWalk a0 = StartWalk(*this, overlap);
    const TTexelWalk b0 = StartWalk(other, overlap);
    int32_t rowA = a0.Row, rowB = b0.Row;
    for (int32_t y = overlap.Top; y <= overlap.Bottom - 2; ++y) {
        int32_t colA = a0.Column, colB = b0.Column;
        for (int32_t x = overlap.Left; x <= overlap.Right - 2; ++x) {
            if (ta.TexelAt(colA, rowA) != 0 && tb.TexelAt(colB, rowB) != 0) {
                hitX = x;
                hitY = y;
                return THit::Point;
            }
            colA += a0.ColumnStep;
            colB += b0.ColumnStep;
        }
        rowA += a0.RowStep;
        rowB += b0.RowStep;
    }
    return THit::None;
}

void TSprite::Collision(TSprite& other) {
    if (!CanCollide || !other.CanCollide || Deleted || other.Deleted) return;
    TRect overlap{};
    if (!Intersect(CollisionRect, other.CollisionRect, overlap)) return;
    if ((PixelCheck && other.PixelCheck) || PixelCheckOnly || other.PixelCheckOnly) {
        int32_t hx = 0, hy = 0;
        const THit hit = TexelTest(other, overlap, hx, hy);
        if (hit == THit::None) return;
        if (hit == THit::Origin) {
            OnCollision(other, 0, 0);
            other.OnCollision(*this, 0, 0);
            return;
        }
        OnCollision(other, hx - CollisionRect.Left, hy - CollisionRect.Top);
        other.OnCollision(*this, hx - other.CollisionRect.Left, hy - other.CollisionRect.Top);
        return;
    }
    OnCollision(other, 0, 0);
    other.OnCollision(*this, 0, 0);
}

void TSprite::Dead() {
    if (Deleted) return;
    Deleted = true;
    if (KerbSprite != nullptr) KerbSprite->DeadList.push_back(this);
}

void TSprite::OnCollision(TSprite&, int32_t, int32_t) {}

void TSprite::Move(float) {}

void TSprite::Draw() {
    if (!Visible || Image == nullptr) return;
    if (Image->Renderer == nullptr) {
        Image->ReportNoTexture();
        return;
    }
    int32_t sx = EngineRound(static_cast<double>(X) + DrawOffsetX);
    int32_t sy = EngineRound(static_cast<double>(Y) + DrawOffsetY);
    const TKerbSprite* engine = KerbSprite;
    if (!ScreenFixed && engine != nullptr) {
        sx = EngineRound(sx - static_cast<double>(engine->WorldX));
        sy = EngineRound(sy - static_cast<double>(engine->WorldY));
    }
    if (engine != nullptr &&
        (engine->DrawAreaX1 | engine->DrawAreaY1 | engine->DrawAreaX2 | engine->DrawAreaY2) != 0) {
        const bool inside = sx + Width >= engine->DrawAreaX1 && sx <= engine->DrawAreaX2 &&
                            sy + Height >= engine->DrawAreaY1 && sy <= engine->DrawAreaY2;
        if (!inside) return;
    }
    Image->DrawEx(sx, sy, Angle, RotationCenterX, RotationCenterY, ScaleX, ScaleY, VertexColors[0],
                  VertexColors[1], VertexColors[2], VertexColors[3], MirrorY, MirrorX, PatternIndex,
                  BlendMode);
}

TKerbSprite::~TKerbSprite() {
    Clear();
}

void TKerbSprite::Clear() {
    while (!SpriteList.empty()) delete SpriteList.back();
    DeadList.clear();
}

void TKerbSprite::Insert(TSprite* sprite) {
    int32_t low = 0, high = Count() - 1;
    while (high >= low) {
        const int32_t mid = (low + high) / 2;
        if (SpriteList[static_cast<size_t>(mid)]->Z - sprite->Z < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    SpriteList.insert(SpriteList.begin() + low, sprite);
}

void TKerbSprite::Remove(TSprite* sprite) {
    const auto it = std::find(SpriteList.begin(), SpriteList.end(), sprite);
    if (it != SpriteList.end()) SpriteList.erase(it);
    DeadList.erase(std::remove(DeadList.begin(), DeadList.end(), sprite), DeadList.end());
}

void TKerbSprite::Release(TSprite* sprite) {
    Remove(sprite);
    for (std::vector<TSprite*>* pass : Passes)
        std::replace(pass->begin(), pass->end(), sprite, static_cast<TSprite*>(nullptr));
}

template <class F>
void TKerbSprite::Pass(F call) {
    std::vector<TSprite*> list = SpriteList;
    Passes.push_back(&list);
    for (TSprite* sprite : list)
        if (sprite != nullptr) call(*sprite);
    Passes.pop_back();
}

namespace {
// Counts every sprite move a pass starts on this thread, and every pass begun.
thread_local uint64_t MoveSerial = 0;
}  // namespace

bool ContinuesRun(uint64_t& mark) {
    const bool follows = MoveSerial == mark + 1;
    mark = MoveSerial;
    return follows;
}

void TKerbSprite::Move(float moveCount) {
    ++MoveSerial;  // a new pass: its first sprite follows nothing
    Pass([moveCount](TSprite& s) {
        ++MoveSerial;
        s.Move(moveCount);
    });
}

void TKerbSprite::Draw() {
    Pass([](TSprite& s) { s.Draw(); });
}

void TKerbSprite::Dead() {
    while (!DeadList.empty()) delete DeadList.back();
}

TSprite* TKerbSprite::Items(int32_t index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return SpriteList[static_cast<size_t>(index)];
}
