// TTurnCache: turned, mirrored or stretched pictures made for the screen (by its own turn,
// TurnTexels.h, or by the software renderer), kept between frames so that a sprite drawn at the
// same angle (or size) again is not turned (or stretched) again. A picture is the texels SDL's
// turn produces, before any colour is applied, cut down to the rows' texels that are not clear;
// where it lands follows from the whole-pixel position SDL takes from the destination. Pictures
// are kept on a quad's second sighting (a sprite that turns every frame never repeats) and
// dropped when they have not been drawn for a while. Depends on nothing; TKerbScreen fills it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "engine/ModulatedBlend.h"

// Everything SDL's turned copy depends on, but the destination's position.
struct TTurnKey {
    uint64_t Texture = 0;  // TKerbTexture::Serial
    int32_t SrcX = 0, SrcY = 0, SrcW = 0, SrcH = 0;
    float Width = 0, Height = 0;  // of the destination rectangle
    float CenterX = 0, CenterY = 0;
    double Angle = 0;
    int32_t Flip = 0;
    bool Linear = false;
    // An upright copy stretched to Width x Height (no angle, no flip, no centre).
    bool Stretched = false;
    // Bit for bit: SDL may turn -0 and +0 differently, and a NaN must still find itself.
    bool operator==(const TTurnKey& other) const;
};

struct TTurnKeyHash {
    size_t operator()(const TTurnKey& k) const;
};

struct TTurnedPicture {
    bool Ready = false;
    int32_t Sightings = 0;
    int64_t LastFrame = 0;
    // Pixels' top-left corner from the destination's whole-pixel position, and its size.
    int32_t Left = 0, Top = 0;
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;
    // Per row: the first texel that is not clear and one past the last.
    std::vector<int32_t> Spans;
    // Pixels are prepared for PreparedColor (ModulatedBlend.h) in place of the raw ones once a
    // colour comes twice running: pictures are kept once, and nearly all are drawn in one colour.
    bool IsPrepared = false;
    uint32_t PreparedColor = 0;
    bool Seen = false;
    uint32_t LastColor = 0;
};

class TTurnCache {
public:
    // The record of key, made on its first sighting; counts the sighting in frame.
    TTurnedPicture& Sight(const TTurnKey& key, int64_t frame);
    // Keeps the turned texels raw (width x height, row by row) whose top-left corner lies at
    // (left, top) from the destination's whole-pixel position. False, and nothing kept, when the
    // cache is full.
    bool Keep(TTurnedPicture& picture, const std::vector<uint32_t>& raw, int32_t width,
              int32_t height, int32_t left, int32_t top);
    // The picture's pixels to blend in color, and whether they are prepared; null when they
    // are prepared for another colour, which cannot be undone: the picture is then dropped
    // (made again on its next sighting).
    const uint32_t* TexelsFor(TTurnedPicture& picture, uint32_t color, bool& prepared);
    // Would a picture of this many pixels still fit?
    bool Fits(size_t pixels) const { return KeptPixels + pixels <= MaxPixels; }
    // Drops pictures not drawn in the last KeepFrames frames and sightings of the frame before
    // that never became pictures; call once a frame.
    void EndFrame(int64_t frame);
    void Clear();

    size_t Count() const { return Pictures.size(); }
    size_t PixelCount() const { return KeptPixels; }
    // Memory held by the pictures: their pixels, spans and prepared texels.
    size_t Bytes() const;

    // A few hundred sprites of the game at a time take a small part of this.
    static constexpr size_t MaxPixels = size_t{8} << 20;
    static constexpr int64_t KeepFrames = 60;
    // More records than this are swept every frame.
    static constexpr size_t SightingsSwept = 4096;

private:
    std::unordered_map<TTurnKey, TTurnedPicture, TTurnKeyHash> Pictures;
    size_t KeptPixels = 0;
};
