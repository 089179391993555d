// The sprite engine. TKerbSprite owns every sprite of the game in one list sorted by depth
// (Z), moves and draws them in that order, and frees the ones that asked to be removed.
// TSprite is the base of every object on the road and on the menu backdrops: position,
// picture (an image-list item, not owned) and pattern, tint, rotation, scale, flips, blend
// mode and a collision rectangle. Depends on TImageListItem for drawing.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ImageList.h"

class TKerbSprite;

// The engine's rounding: x + 0.5 (x - 0.5 below zero) rounded to four decimals, ties to even,
// then truncated toward zero. 2.5 -> 3, -2.5 -> -3, 2.49996 -> 3.
int32_t EngineRoundByDecimals(double x);

// The same rounding, answered inline where it cannot be near the next whole number: every
// sprite move rounds twice. When x + 0.5 lies at most 0.9998 past the whole number w it
// truncates to, the four-decimal step lands at most on w + 0.9998 (the product's rounding error
// is far below 0.0001 under 2^30) and truncates to w as well.
inline int32_t EngineRound(double x) {
    if (std::fabs(x) < 0x1p30) {
        const double shifted = x >= 0 ? x + 0.5 : x - 0.5;
        const auto whole = static_cast<int32_t>(shifted);
        if (std::fabs(shifted - whole) <= 0.9998) return whole;
    }
    return EngineRoundByDecimals(x);
}

class TSprite {
public:
    explicit TSprite(TKerbSprite* engine);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // The virtual operations, in the engine's slot order.
    virtual TRect GetPatternRect();
    virtual void SetName(const std::string& value);
    virtual void SetRed(int32_t value);
    virtual void SetGreen(int32_t value);
    virtual void SetBlue(int32_t value);
    virtual void SetAlpha(int32_t value);
    virtual void SetPatternIndex(int32_t value);
    // Final: every sprite's place is kept the same way, so the world's moves call them directly.
    virtual void SetX(float value) final;
    virtual void SetY(float value) final;
    virtual void SetZ(int32_t value);
    virtual void SetImage(TImageListItem* item);
    virtual void SetWidth(int32_t value);
    virtual void SetHeight(int32_t value);
    virtual void Assign(const TSprite& source);
    virtual void Collision(TSprite& other);
    virtual void Dead();
    virtual void OnCollision(TSprite& sprite, int32_t x, int32_t y);
    virtual void Move(float moveCount);
    virtual void Draw();

    TKerbSprite* KerbSprite;
    std::string Name;
    float X = 0, Y = 0;
    float TopRightX = 10, TopRightY = 0, BottomRightX = 10, BottomRightY = 10;
    float BottomLeftX = 0, BottomLeftY = 10;
    int32_t PatternOffsetX = 0, PatternOffsetY = 0;
    int32_t PatternIndex = 0;
    bool Visible = true;
    bool ScreenFixed = false;
    float CenterX = 0, CenterY = 0;
    int32_t BlendMode = 0;
    int32_t Z = 0;
    bool MirrorX = false;
    bool MirrorY = false;
    float RotationCenterX = 0, RotationCenterY = 0;
    uint32_t VertexColors[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    int32_t Red = 255, Green = 255, Blue = 255, Alpha = 255;
    bool CanCollide = false;
    bool PixelCheck = false;
    bool PixelCheckOnly = false;
    float Angle = 0;
    TImageListItem* Image = nullptr;
    float ScaleX = 1, ScaleY = 1;
    float DrawOffsetX = 0, DrawOffsetY = 0;
    int32_t Width = 10, Height = 10;
    TRect CollisionRect{};
    bool Deleted = false;

private:
    enum class THit : uint8_t { None, Point, Origin };
    void RepackColors();
    THit TexelTest(TSprite& other, const TRect& overlap, int32_t& hitX, int32_t& hitY);
};

inline void TSprite::SetX(float value) {
    X = value;
    TopRightX = BottomRightX = value + static_cast<float>(Width);
    BottomLeftX = value;
    CollisionRect.Left = EngineRound(value);
    CollisionRect.Right = CollisionRect.Left + Width;
    CenterX = static_cast<float>(Width) / 2 + X;
}

inline void TSprite::SetY(float value) {
    Y = value;
    TopRightY = value;
    BottomRightY = BottomLeftY = value + static_cast<float>(Height);
    CollisionRect.Top = EngineRound(value);
    CollisionRect.Bottom = CollisionRect.Top + Height;
    CenterY = static_cast<float>(Height) / 2 + Y;
}

// For sprites of one kind that share work along a run of them in a move pass. Called in a
// sprite's Move with the kind's mark: true when the sprite that last called it with that mark
// moved just before this one in the same pass (no other sprite moved between, on this thread);
// the mark then records this move for the next.
bool ContinuesRun(uint64_t& mark);

class TKerbSprite {
public:
    TKerbSprite() = default;
    ~TKerbSprite();
    TKerbSprite(const TKerbSprite&) = delete;
    TKerbSprite& operator=(const TKerbSprite&) = delete;

    // Calls Move once on every sprite that was in the list when the pass started, in depth
    // order. Sprites created during the pass are first moved by the next pass; a sprite freed
    // during the pass is skipped.
    void Move(float moveCount);
    // Calls Draw once on every sprite that was in the list when the pass started, likewise.
    void Draw();
    // Frees every sprite in the dead list.
    void Dead();
    TSprite* Items(int32_t index) const;
    int32_t Count() const { return static_cast<int32_t>(SpriteList.size()); }
    // Frees every sprite, last first (what destruction does; the game clears between races).
    void Clear();

    int32_t DrawAreaX1 = 0, DrawAreaY1 = 0, DrawAreaX2 = 0, DrawAreaY2 = 0;
    float WorldX = 0, WorldY = 0;
    std::vector<TSprite*> SpriteList;
    std::vector<TSprite*> DeadList;

private:
    friend class TSprite;
    void Insert(TSprite* sprite);
    void Remove(TSprite* sprite);
    // Removes a sprite that is being freed, from the lists and from any running pass.
    void Release(TSprite* sprite);
    // Runs call on each sprite of a copy of the list taken now. Inserting into the list during
    // the pass shifts the sprites behind the insertion point, so walking the list itself by
    // index would reach some of them twice and miss the last ones.
    template <class F>
    void Pass(F call);

    // The copies the running passes walk (a pass may run inside another one's call).
    std::vector<std::vector<TSprite*>*> Passes;
};
