// Image lists: named pictures cut into equal tiles ("patterns"), read from .vil files.
// TImageListItem owns its decoded picture until, once a screen exists, its texture takes the
// picture's place; it draws its patterns through the list's shared TKerbRenderer. Big pictures
// keep their stored bytes, so that the screen can let those not drawn for a while rest.
// TImageListCollection reads the file format; TKerbImageList ties a collection to a screen. Depends
// on the screen only through TKerbRenderer and the TScreenDevice interface (no SDL).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/KerbRenderer.h"
#include "engine/KerbTexture.h"

class TScreenDevice;
class TKerbImageList;

// A decoded picture: 32-bit ARGB pixels, row by row.
struct TPicture {
    enum class TFormat : uint8_t { None, Png, Bmp };
    TFormat Format = TFormat::None;
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    bool Empty() const { return Format == TFormat::None || Width <= 0 || Height <= 0; }
};

// Decodes a picture stored as an image list stores it (TImageListItem::Stored). False, with
// nothing decoded, when the bytes hold no picture this program reads.
bool DecodeStoredPicture(std::string_view stored, TPicture& picture);

struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TImageListItem {
public:
    int32_t PatternRows = 1;
    int32_t PatternColumns = 1;
    std::string Name;
    TKerbRenderer* Renderer = nullptr;  // set when the texture is made; null = no texture yet
    TScreenDevice* Device = nullptr;
    std::unique_ptr<TKerbTexture> Texture;
    TPicture Picture;
    int32_t ImageHeight = 1, ImageWidth = 1;
    int32_t TileHeight = 0, TileWidth = 0;
    int32_t TextureHeight = 2, TextureWidth = 2;
    std::string Filepath;
    uint32_t TransparentColor = 0;  // 0x00BBGGRR, or a system colour
    bool Transparent = false;
    bool NoTextureReported = false;
    // A big picture's bytes as its image list stores them (class name and data). A picture
    // not drawn for a while rests: its texels and device texture are dropped, and the first
    // use after that decodes it again from these bytes. Pictures drawn every frame never rest.
    std::string Stored;
    bool Rested = false;
    // The screen's frame when the picture was last drawn or its texels read.
    int64_t LastUsed = 0;
    // Pictures with fewer texel bytes than this stay as they are: resting them saves little.
    static constexpr size_t RestMinBytes = 256 * 1024;

    // Takes a decoded picture: sizes, tile sizes and texture sizes follow it.
    void SetPicture(TPicture picture);
    void SetTileWidth(int32_t value);
    void SetTileHeight(int32_t value);
    int32_t PatternCount() const { return PatternRows * PatternColumns; }
    // Whether the picture can rest now: it has stored bytes and its texels exist.
    bool CanRest() const;
    // Drops the texels and the device texture; the stored bytes bring them back.
    void Rest();
    // Marks the picture used in the screen's current frame and wakes it when it rested: call
    // before drawing it or reading its texels. False when it has no texels to use.
    bool Use();
    // A sprite drawing an item that has no texture says so once for the item, not once a
    // frame: in a window each report is a modal box.
    void ReportNoTexture();

    void Draw(int32_t x, int32_t y, int32_t patternIndex);
    void DrawColor(int32_t x, int32_t y, float angle, float centerX, float centerY, float scaleX,
                   float scaleY, uint32_t color, bool mirrorY, bool mirrorX, int32_t patternIndex,
                   int32_t blendMode);
    void DrawAdd(int32_t x, int32_t y, float angle, float centerX, float centerY, float scaleX,
                 float scaleY, int32_t red, int32_t green, int32_t blue, int32_t alpha,
                 bool additive, int32_t patternIndex, int32_t blendMode);
    void DrawEx(int32_t x, int32_t y, float angle, float centerX, float centerY, float scaleX,
                float scaleY, uint32_t colorTL, uint32_t colorTR, uint32_t colorBR,
                uint32_t colorBL, bool mirrorY, bool mirrorX, int32_t patternIndex,
                int32_t blendMode);
    void DrawStretch(const TRect& rect, int32_t offsetX, int32_t offsetY, float angle,
                     float centerX, float centerY, float scaleX, float scaleY, int32_t red,
                     int32_t green, int32_t blue, int32_t alpha, bool mirrorY, bool mirrorX,
                     int32_t patternIndex, int32_t blendMode);
    void DrawPart(const TRect& source, int32_t x, int32_t y, float angle, float centerX,
                  float centerY, float scaleX, float scaleY, int32_t red, int32_t green,
                  int32_t blue, int32_t alpha, bool mirrorY, bool mirrorX, int32_t blendMode);
};

class TImageListCollection {
public:
    explicit TImageListCollection(TKerbImageList* owner = nullptr) : Owner(owner) {}

    // Reads a .vil file. Failures show a message box and leave what was read.
    bool LoadFromFile(const std::string& fileName);
    bool LoadFromStream(const std::vector<uint8_t>& data);

    TImageListItem* Items(int32_t index);
    // The first item whose name equals name exactly (case-sensitive), or null.
    TImageListItem* Find(const std::string& name);
    int32_t Count() const { return static_cast<int32_t>(List.size()); }
    TImageListItem& Add();
    void Clear() { List.clear(); }

    TKerbImageList* Owner;
    std::vector<std::unique_ptr<TImageListItem>> List;
};

class TKerbImageList {
public:
    TKerbImageList();
    ~TKerbImageList();
    TKerbImageList(const TKerbImageList&) = delete;
    TKerbImageList& operator=(const TKerbImageList&) = delete;

    TImageListCollection ImageList{this};
    TScreenDevice* KerbScreen = nullptr;
    std::unique_ptr<TKerbRenderer> Renderer;
    // Whether the screen may let this list's big pictures rest when they are not drawn for a
    // while. A list whose pictures are drawn now and then while it is in use (the race's, in a
    // race) is kept awake then: waking a picture costs a decode.
    bool MayRest = true;
    // Four per-list values the game sets to 0.5 at start-up; kept, not used for drawing.
    float Param1 = 0.1f, Param2 = 1.0f, Param3 = 0.0f, Param4 = -0.5f;

    // Links the renderer to KerbScreen and makes every item's texture (when a device exists).
    void Initialize();
    // Unlinks every item; releases the textures when releaseTextures.
    void Finalize(bool releaseTextures);
    // Wakes every resting picture (before the list comes into use, rather than one picture
    // at a time while it is).
    void WakeAll();
    // Lets every big picture rest now (a list that will not be drawn for a while), and gives
    // the freed memory back.
    void RestAll();
    void BeginDraw() {}
    void EndDraw() {}
    TImageListItem* Find(const std::string& name) { return ImageList.Find(name); }
};
