// Image lists: named pictures cut into equal tiles ("patterns"), read from .vil files.
// TImageListItem owns its decoded picture until, once a screen exists, its texture takes the
// picture's place; it draws its patterns through the list's shared TKerbRenderer. Big pictures
// keep their stored bytes, so that the screen can let those not drawn for a while rest.
// TImageListCollection reads the file format; TKerbImageList ties a collection to a screen. Depends
// on the screen only through TKerbRenderer and the TScreenDevice interface (no SDL).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    // For a list read from a file, where those bytes lie in it instead (Stored stays empty):
    // read again when the picture wakes, and checked against their CRC-32, so that a file
    // changed since gives no picture rather than another one.
    struct TStoredPlace {
        std::shared_ptr<const std::string> File;
        uint64_t Offset = 0;
        uint32_t Size = 0;
        uint32_t Crc = 0;
    };
    TStoredPlace StoredPlace;
    bool HasStored() const { return !Stored.empty() || StoredPlace.Size > 0; }
    // The stored bytes, from memory or from the file. False when the file cannot be read or
    // holds other bytes there now.
    bool ReadStored(std::string& bytes) const;
    bool Rested = false;
    // Read from its list's file with the picture still to decode (on the list's worker thread):
    // no picture, sizes or texture yet. Looking the item up in its list waits for it.
    bool Pending = false;
    // The tile sizes the file gave a pending item, applied once its picture is there.
    std::optional<int32_t> PendingTileWidth, PendingTileHeight;
    // The screen's frame when the picture was last drawn or its texels read.
    int64_t LastUsed = 0;
    // Pictures with fewer texel bytes than this stay as they are: resting them saves little
    // next to the copy of their bytes kept to wake them.
    static constexpr size_t RestMinBytes = 256 * 1024;
    // The same for a list read from a file, whose pictures keep only the place of their bytes:
    // smaller pictures rest too, each waking in a fraction of a millisecond.
    static constexpr size_t RestMinBytesInFile = 32 * 1024;

    // Takes a decoded picture: sizes, tile sizes and texture sizes follow it.
    void SetPicture(TPicture picture);
    void SetTileWidth(int32_t value);
    void SetTileHeight(int32_t value);
    int32_t PatternCount() const { return PatternRows * PatternColumns; }
    // Whether the picture can rest now: it has stored bytes (or their place) and its texels exist.
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

// The colour-keyed texels of a decoded picture as a texture of its own size (at least 2 x 2;
// keyed texels become 0), or null when the picture is too big or memory runs out. Safe on any
// thread.
std::unique_ptr<TKerbTexture> BuildPictureTexture(const TPicture& picture, bool transparent,
                                                  uint32_t transparentColor);

class TPictureWorker;

class TImageListCollection {
public:
    explicit TImageListCollection(TKerbImageList* owner = nullptr);
    ~TImageListCollection();
    TImageListCollection(const TImageListCollection&) = delete;
    TImageListCollection& operator=(const TImageListCollection&) = delete;

    // Reads a .vil file. Failures show a message box and leave what was read.
    bool LoadFromFile(const std::string& fileName);
    bool LoadFromStream(const std::vector<uint8_t>& data);
    // Reads the items of a .vil file but decodes only the pictures of the items named in first
    // now; every other picture is decoded on a worker thread, and its item stays Pending until
    // AdoptPictures or FinishPictures takes it in (on this thread: textures are made here).
    // The file's structure is checked whole now, as LoadFromFile does; a picture that turns
    // out damaged on the worker leaves its item without a picture and is reported when taken in.
    bool LoadFromFileBehind(const std::string& fileName, const std::vector<std::string>& first);
    bool LoadFromStreamBehind(std::vector<uint8_t> data, const std::vector<std::string>& first);

    // Whether pictures decoded behind the load are still to be taken in.
    bool PicturesPending() const { return Worker != nullptr; }
    // Takes in the pictures the worker has finished, for at most budgetMs milliseconds (at least
    // one picture when one is ready). True when none is pending any more.
    bool AdoptPictures(double budgetMs);
    // Waits for the worker and takes in every picture.
    void FinishPictures();
    // Called once, when the last picture decoded behind the load has been taken in.
    std::function<void()> OnPicturesReady;

    // These two wait for the item's picture when it is still pending.
    TImageListItem* Items(int32_t index);
    // The first item whose name equals name exactly (case-sensitive), or null.
    TImageListItem* Find(const std::string& name);
    // The index of the first item named name, or -1; never waits for a picture.
    int32_t IndexOf(const std::string& name) const;
    int32_t Count() const { return static_cast<int32_t>(List.size()); }
    TImageListItem& Add();
    void Clear();

    TKerbImageList* Owner;
    std::vector<std::unique_ptr<TImageListItem>> List;

private:
    void StopWorker();
    // The deferred read of LoadFromFileBehind and LoadFromStreamBehind, after Clear.
    bool ReadBehind(std::vector<uint8_t> data, const std::vector<std::string>& first);
    std::unique_ptr<TPictureWorker> Worker;
    // The file being read by LoadFromFile or LoadFromFileBehind: big pictures note their place
    // in it rather than keep a copy of their bytes. Null for a list read from memory.
    std::shared_ptr<const std::string> SourceFile;
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
    // Makes the texture of one item whose picture came in after Initialize (when a device
    // exists and the list is linked to it), from prebuilt texels when given (BuildPictureTexture
    // of the item's picture).
    void MakeItemTexture(TImageListItem& item, std::unique_ptr<TKerbTexture> prebuilt = nullptr);
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
