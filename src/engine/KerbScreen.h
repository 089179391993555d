// TKerbScreen: the drawing device of the game window (an SDL_Renderer) and the frame cycle
// Clear, BeginScene, draw, EndScene. It owns the renderer, keeps the blend state and texture
// filter that the quads are drawn with, and knows the image lists and fonts whose textures
// live on the renderer, so that it can rebuild them after the renderer loses them. On the
// software renderer it blends copies in a colour itself and keeps turned pictures for reuse
// (KerbScreenBlend.cpp, TurnCache.h), drawing SDL's pixels faster. Image-list
// renderers hand it quads after the global transform (KerbRenderer.h). Depends on the platform
// window (or an off-screen surface) and on SDL, privately.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/BlendModes.h"
#include "engine/KerbRenderer.h"
#include "engine/ScreenDevice.h"
#include "engine/TurnCache.h"
#include "engine/TurnTexels.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Rect;
struct SDL_FRect;
struct SDL_FPoint;
union SDL_Event;
class TPlatformWindow;
class TKerbImageList;
class TKerbFont;

enum class TPool : uint8_t { plManaged, plDefault };
enum class TRenderMode : uint8_t { rmHardware, rmReference, rmSoftware };

// Draw into a software surface of this size instead of a window (benchmarks, tools).
struct TOffscreenTarget {
    int32_t Width = 800;
    int32_t Height = 600;
};

// How the quads reached SDL, for tests and benchmarks.
struct TDrawStats {
    int64_t Copies = 0;         // upright, one colour: SDL_RenderCopy
    int64_t RotatedCopies = 0;  // rotated or flipped, one colour: SDL_RenderCopyEx
    int64_t Geometry = 0;       // corners of different colours or a skewed quad
    int64_t Culled = 0;         // entirely outside the picture
    // Copies in a colour that the screen blended itself (software renderer), of which turned.
    int64_t OwnBlends = 0;
    int64_t OwnTurnedBlends = 0;
    int64_t OwnStretchedBlends = 0;  // upright but stretched
    int64_t TurnsMade = 0;           // turned or stretched pictures made and kept for next frames
    int64_t OwnTurns = 0;            // pictures the screen turned itself (the rest SDL turned)
    int64_t Skipped = 0;             // left out: a blend mode this renderer cannot do
};

// Memory the screen's pictures hold in the program (bytes), for the --stats report.
struct TPictureMemory {
    size_t Texels = 0;    // the image lists' texels, in the device texture or beside it
    size_t Prepared = 0;  // texels with a colour applied, for own blending
    size_t Kept = 0;      // turned and stretched pictures kept between frames
    size_t Texts = 0;     // the system fonts' rendered texts
    size_t Stored = 0;    // big pictures' stored bytes, which resting pictures come back from
};

class TKerbScreen : public TScreenDevice {
public:
    // window may be null: there is no device then and every drawing call does nothing.
    explicit TKerbScreen(TPlatformWindow* window);
    explicit TKerbScreen(TOffscreenTarget target);
    ~TKerbScreen();
    TKerbScreen(const TKerbScreen&) = delete;
    TKerbScreen& operator=(const TKerbScreen&) = delete;

    // Published properties. The device-related ones take effect at Initialize.
    TPool Pool = TPool::plManaged;
    float ScaleX = 1, ScaleY = 1;
    int32_t CenterX = 0, CenterY = 0;
    int32_t OffsetX = 0, OffsetY = 0;
    float Rotation = 0;
    uint8_t Red = 255, Green = 255, Blue = 255, Alpha = 255;
    bool ShowMouseCursor = true;
    TRenderMode RenderMode = TRenderMode::rmHardware;
    int32_t Width = 800, Height = 600;
    bool ZBuffer = true;
    bool FullScreen = false;
    bool VSYNC = false;
    bool BackBufferAccess = false;
    // On the software renderer, upright and turned copies drawn in a colour (the tint makes
    // every colour one) are blended onto the picture by the screen itself, with the very sums
    // SDL's generic blitter does, several pixels at a time; turned pictures are turned with SDL's
    // own arithmetic and kept. The pixels are the same; false leaves every quad to SDL.
    bool OwnBlending = true;

    // 32 stays, anything else becomes 16.
    void SetBpp(int32_t value) { BppValue = value == 32 ? 32 : 16; }
    int32_t Bpp() const { return BppValue; }
    // Only the usual refresh rates are kept; anything else means the default rate (0).
    void SetFrequency(uint32_t value);
    uint32_t Frequency() const { return FrequencyValue; }
    // Values of 0 or less become 1.
    void SetBBCount(int32_t value) { BBCountValue = value <= 0 ? 1 : value; }
    int32_t BBCount() const { return BBCountValue; }

    void SetRed(uint8_t value) { Red = value; }
    void SetGreen(uint8_t value) { Green = value; }
    void SetBlue(uint8_t value) { Blue = value; }
    void SetAlpha(uint8_t value) { Alpha = value; }
    // Sets the tint from a packed colour (ARGB, or 0x00BBGGRR below 2^24).
    void SetColor(uint32_t color);
    uint32_t Color() const;
    // The transform fields above, as the image lists' renderer reads them.
    TScreenTransform Transform() const {
        return {ScaleX, ScaleY, CenterX, CenterY, OffsetX, OffsetY, Rotation};
    }

    // Hooks run after each device creation or reset (onInit) and before each release or reset
    // (onUnInit), in the order added, after the image lists and the system fonts: the bitmap
    // fonts and the GUI rebuild their device textures here. Returns an id for removal; an
    // owner that dies before the screen must remove its hooks.
    int32_t AddDeviceHooks(std::function<void()> onInit, std::function<void()> onUnInit);
    void RemoveDeviceHooks(int32_t id);

    void SetWindow(TPlatformWindow* window);
    // Creates the renderer. Returns false after a fatal failure, which has already been shown
    // to the user; the caller must then end the program with exit code 1.
    bool Initialize();
    bool Fatal() const { return FatalError; }
    // Asks the program to end after a failure that was already shown (a texture that could
    // not be made); the shell checks Fatal() after loading.
    void RequestTerminate() { FatalError = true; }
    bool Ready() const { return IsReady; }
    bool InScene() const { return IsInScene; }
    bool HasDevice() const { return Renderer != nullptr; }
    SDL_Renderer* Device() const { return Renderer; }
    bool IsSoftware() const { return Software; }

    void SetTextureFilter(bool linear);
    bool TextureFilter() const { return LinearFilter; }

    // Run after each present (measuring: the --stats report and the F3 overlay), and just
    // before it, while the frame can still be drawn into.
    std::function<void()> OnPresent;
    std::function<void()> BeforePresent;

    // Per frame: Clear, BeginScene, drawing, EndScene (which presents).
    void Clear(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    bool BeginScene();
    void EndScene();

    // Desktop full screen with the picture scaled and letterboxed, or back to the window.
    bool ToggleFullScreen();
    // Scales the picture to the window's client area anew (after a resize): the largest whole
    // step when that fills at least IntegerFill of what a free scale would, so pixels stay
    // sharp, else the free scale; letterbox bars either way. Mouse positions map back through
    // the same transform.
    void FitToWindow();
    static constexpr float IntegerFill = 0.85f;
    // Whether the picture is drawn at a whole step now, and the scale it is drawn at.
    bool IntegerScaled() const { return WholeSteps; }
    float PictureScale() const;
    // The renderer lost its textures (SDL's render-targets-reset or device-reset): remake
    // every texture from the kept texels, then the fonts, then whatever hooked OnInit.
    void HandleRenderReset();

    // Blend state. -1 or the current mode changes nothing.
    void SetBlendMode(int32_t mode);
    int32_t BlendMode() const { return CurrentMode; }
    // The destination factor becomes one (additive) or inverse source alpha for the next quad,
    // without changing the remembered mode.
    void SetAdditive(bool additive);
    TBlendState CurrentBlend() const { return Blend; }
    // How often a mode change reached the blend state (a repeated mode does not).
    int64_t BlendChanges() const { return BlendChangeCount; }

    // Draws one quad whose corners are already in screen space (the global transform applied).
    void DrawQuad(const TKerbTexture& texture, const TQuad& quad);
    // Draws a whole texture unscaled at (x, y) in a packed ARGB colour with alpha blending.
    void DrawTextureAt(SDL_Texture* texture, int32_t x, int32_t y, int32_t w, int32_t h,
                       uint32_t color);

    // Draws the outline of a rectangle, thickness pixels wide inside its edges, in a packed
    // ARGB colour with alpha blending (the GUI's focus frame).
    void FrameRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t thickness, uint32_t color);

    // Makes the device texture of texture from its texels (replacing any old one).
    bool CreateTextureHandle(TKerbTexture& texture);
    // Applies the current filter to a texture made elsewhere (fonts).
    void ApplyFilter(SDL_Texture* texture) const;
    // Image-list textures: linear filtering (when on) only for those drawn turned or scaled.
    void ApplyFilter(const TKerbTexture& texture) const;

    // Image lists and fonts whose textures live on this screen. Registering twice is harmless.
    void RegisterImageList(TKerbImageList* list);
    void UnregisterImageList(TKerbImageList* list);
    // How many image lists are registered: a list that is gone must be forgotten.
    size_t ImageListCount() const { return ImageLists.size(); }
    void RegisterFont(TKerbFont* font);
    void UnregisterFont(TKerbFont* font);

    // The picture drawn so far this frame (call before EndScene) as ARGB, row by row, at the
    // output's size (Width x Height in a window).
    bool ReadPixels(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height);

    const TDrawStats& Stats() const { return DrawStats; }
    void ResetStats() { DrawStats = {}; }
    // The turned pictures kept for own blending.
    const TTurnCache& TurnedPictures() const { return Turns; }
    TPictureMemory PictureMemory();
    // Prepared texels not used in the last PreparedSweepFrames frames are dropped, as often:
    // a page that is gone (the menu, in a race) keeps only its texels.
    static constexpr int64_t PreparedSweepFrames = 128;
    // Big pictures not drawn in this many frames (10 s at 90 a second) rest, checked as often
    // as the prepared texels: the menu's pages in a race, the race's in the menus. Waking one
    // costs a decode of a few milliseconds, so pictures drawn now and then stay awake.
    int64_t RestAfterFrames = 900;
    int64_t FrameNumber() const override { return FrameCount; }

    // The picture size of full screen: Width x Height when it is one of the classic modes,
    // else 800 x 600.
    static bool FullScreenSizeAllowed(int32_t width, int32_t height);
    void FullScreenSize(int32_t& width, int32_t& height) const;

private:
    bool CreateRenderer();
    static int ResizeWatch(void* self, SDL_Event* e);
    void DestroyRenderer();
    void ShowFatal(const std::string& text);
    void ApplyLogicalSize();
    void ReleaseDependents();
    void InitializeDependents();
    void ForEachTexture(const std::function<void(TKerbTexture&)>& action);
    int ResolveBlend(SDL_Texture* probe);
    void EndQuad();
    bool CopyUpright(SDL_Texture* texture, const TKerbTexture& t, const TQuad& q, int blendMode);
    bool CopyRotated(SDL_Texture* texture, const TKerbTexture& t, const TQuad& q, int blendMode);
    void DrawGeometry(SDL_Texture* texture, const TQuad& q);
    void UseLinearFilter(const TKerbTexture& t);
    bool OutsideTarget(const TQuad& q) const;

    // Own blending (KerbScreenBlend.cpp).
    SDL_Surface* BlendTarget(int blendMode, uint32_t color) const;
    // Blends width x height texels (rows pitch apart; prepared ones, or raw ones in color) at
    // (x, y), within spans per row when given.
    void BlendOnto(SDL_Surface* target, const uint32_t* pixels, bool prepared, int32_t pitch,
                   int32_t width, int32_t height, const int32_t* spans, int32_t x, int32_t y,
                   uint32_t color);
    bool BlendUpright(const TKerbTexture& t, const SDL_Rect& src, const SDL_Rect& dst,
                      uint32_t color, int blendMode);
    bool BlendTurned(SDL_Texture* texture, const TKerbTexture& t, const SDL_Rect& src,
                     const SDL_FRect& dst, double angle, const SDL_FPoint* center, int flip,
                     uint32_t color, int blendMode);
    bool MakeTurned(SDL_Texture* texture, const SDL_Rect& src, const SDL_FRect& dst, double angle,
                    const SDL_FPoint* center, int flip, TTurnedPicture& picture);
    // Blends a kept picture with its top-left corner at (x, y); false when it had to be dropped.
    bool BlendKept(SDL_Surface* target, TTurnedPicture& picture, int32_t x, int32_t y,
                   uint32_t color);
    // An upright copy stretched from src to dst's size.
    bool BlendStretched(SDL_Texture* texture, const TKerbTexture& t, const SDL_Rect& src,
                        const SDL_Rect& dst, uint32_t color, int blendMode);
    bool MakeStretched(SDL_Texture* texture, const SDL_Rect& src, const SDL_Rect& dst,
                       TTurnedPicture& picture);
    // Runs draw with the turn target as the render target (width x height of it cleared, the
    // texture drawn with no blending and no colour) and reads that area back into raw.
    bool DrawIntoTurnTarget(SDL_Texture* texture, int32_t width, int32_t height,
                            const std::function<int()>& draw, std::vector<uint32_t>& raw);
    void DropTurned();
    void DropStalePrepared();
    void RestIdlePictures();

    TPlatformWindow* Window = nullptr;
    TPlatformWindow* PreviousWindow = nullptr;
    bool Offscreen = false;
    TOffscreenTarget OffscreenSize;
    // The picture's size in drawing coordinates (the logical size), for culling.
    int32_t TargetWidth = 800, TargetHeight = 600;
    bool WholeSteps = false;
    bool Watching = false;
    SDL_Surface* OffscreenSurface = nullptr;
    SDL_Renderer* Renderer = nullptr;
    bool Software = false;
    bool FatalError = false;
    bool IsReady = false;
    bool IsInScene = false;
    bool LinearFilter = false;

    int32_t BppValue = 16;
    uint32_t FrequencyValue = 0;
    int32_t BBCountValue = 1;

    static constexpr int32_t NoMode = INT32_MIN;
    int32_t CurrentMode = NoMode;
    TBlendState Blend;
    bool AdditiveOverride = false;
    TBlendState ModeBlend;  // the state of CurrentMode, restored after an additive quad
    int64_t BlendChangeCount = 0;
    // SDL blend mode per factor pair once worked out for this renderer (0 = not yet).
    std::array<int, 64> ResolvedBlend{};
    std::array<bool, 64> FallbackReported{};
    // Factor pairs this renderer cannot blend with, nor stand in for: their quads are skipped.
    std::array<bool, 64> BlendUnavailable{};

    struct TDeviceHooks {
        int32_t Id;
        std::function<void()> OnInit, OnUnInit;
    };
    std::vector<TDeviceHooks> Hooks;
    int32_t NextHookId = 1;
    std::vector<TKerbImageList*> ImageLists;
    std::vector<TKerbFont*> Fonts;
    TDrawStats DrawStats;

    TTurnCache Turns;
    // The last picture turned by the screen itself, reused to save allocations.
    TTurnedTexels TurnScratch;
    // The render target SDL turns stretched pictures into for the cache, grown as needed.
    SDL_Texture* TurnTarget = nullptr;
    int32_t TurnTargetWidth = 0, TurnTargetHeight = 0;
    int64_t FrameCount = 0;
};
