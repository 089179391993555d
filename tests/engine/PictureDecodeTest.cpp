// The picture decoders behind image-list items: PNG in every colour type and bit depth the
// format allows, BMP in the bit depths the reader supports, and damaged input of both kinds.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/PngEncode.h"
#include "engine/PictureDecode.h"

namespace {
using TBytes = std::vector<uint8_t>;

void PutBigEndian32(TBytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(TBytes& out, const char* type, const TBytes& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    TBytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBigEndian32(out, static_cast<uint32_t>(crc32(0, typed.data(), typed.size())));
}

struct TExtraChunk {
    const char* Type;
    TBytes Data;
};

// A PNG made by hand, so the decoder is checked against the format rather than against the
// encoder we ship. scanlines is the filtered image data (filter byte first on every line).
TBytes MakePng(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, const TBytes& scanlines,
               const std::vector<TExtraChunk>& extra = {}, uint8_t interlace = 0) {
    TBytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    TBytes ihdr;
    PutBigEndian32(ihdr, w);
    PutBigEndian32(ihdr, h);
    ihdr.insert(ihdr.end(), {depth, colorType, 0, 0, interlace});
    PutChunk(png, "IHDR", ihdr);
    for (const TExtraChunk& chunk : extra) PutChunk(png, chunk.Type, chunk.Data);
    uLongf packedSize = compressBound(static_cast<uLong>(scanlines.size()));
    TBytes packed(packedSize);
    compress2(packed.data(), &packedSize, scanlines.data(), static_cast<uLong>(scanlines.size()),
              9);
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

struct TPngCase {
    const char* Label;
    uint32_t W, H;
    uint8_t Depth, ColorType;
    TBytes Scanlines;
    std::vector<TExtraChunk> Extra;
    std::vector<uint32_t> Expected;
    uint8_t Interlace = 0;
};

// 16-bit samples are written as 0xXYXY, which scales to 0xXY exactly.
TEST(PictureDecode, PngEveryColourTypeBecomesArgb) {
    const std::vector<TPngCase> cases = {
        {"gray 1-bit", 3, 1, 1, 0, {0, 0b10100000}, {}, {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}},
        {"gray 2-bit", 2, 1, 2, 0, {0, 0b11010000}, {}, {0xFFFFFFFF, 0xFF555555}},
        {"gray 8-bit", 2, 1, 8, 0, {0, 0x10, 0xF0}, {}, {0xFF101010, 0xFFF0F0F0}},
        {"gray 16-bit", 1, 1, 16, 0, {0, 0x80, 0x80}, {}, {0xFF808080}},
        {"gray with tRNS",
         2,
         1,
         8,
         0,
         {0, 0x10, 0x20},
         {{"tRNS", {0x00, 0x10}}},
         {0x00101010, 0xFF202020}},
        {"gray+alpha 8-bit", 1, 1, 8, 4, {0, 0x40, 0x80}, {}, {0x80404040}},
        {"gray+alpha 16-bit", 1, 1, 16, 4, {0, 0x40, 0x40, 0x80, 0x80}, {}, {0x80404040}},
        {"rgb 8-bit", 2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6}, {}, {0xFF010203, 0xFF040506}},
        {"rgb 16-bit", 1, 1, 16, 2, {0, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33}, {}, {0xFF112233}},
        {"rgba 8-bit", 1, 1, 8, 6, {0, 0x11, 0x22, 0x33, 0x44}, {}, {0x44112233}},
        {"rgba 16-bit",
         1,
         1,
         16,
         6,
         {0, 0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0x44, 0x44},
         {},
         {0x44112233}},
        {"palette 8-bit with tRNS",
         2,
         1,
         8,
         3,
         {0, 1, 0},
         {{"PLTE", {10, 20, 30, 40, 50, 60}}, {"tRNS", {0x7F}}},
         {0xFF28323C, 0x7F0A141E}},
        {"palette 4-bit",
         3,
         1,
         4,
         3,
         {0, 0x10, 0x10},
         {{"PLTE", {1, 2, 3, 4, 5, 6}}},
         {0xFF040506, 0xFF010203, 0xFF040506}},
        // Adam7 on a 2x2 picture: pass 1 holds (0,0), pass 6 holds (1,0), pass 7 row 1.
        {"interlaced gray",
         2,
         2,
         8,
         0,
         {0, 0x11, 0, 0x22, 0, 0x33, 0x44},
         {},
         {0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444},
         1},
    };
    for (const TPngCase& c : cases) {
        SCOPED_TRACE(c.Label);
        const TBytes png =
            MakePng(c.W, c.H, c.Depth, c.ColorType, c.Scanlines, c.Extra, c.Interlace);
        TPicture picture;
        size_t consumed = 0;
        ASSERT_TRUE(DecodePng(png.data(), png.size(), picture, consumed));
        EXPECT_EQ(picture.Format, TPicture::TFormat::Png);
        EXPECT_EQ(picture.Width, static_cast<int32_t>(c.W));
        EXPECT_EQ(picture.Height, static_cast<int32_t>(c.H));
        EXPECT_EQ(picture.Pixels, c.Expected);
        EXPECT_EQ(consumed, png.size());
    }
}

TEST(PictureDecode, PngStopsAtIendAndReportsItsLength) {
    TBytes png = MakePng(1, 1, 8, 6, {0, 1, 2, 3, 4});
    const size_t pngSize = png.size();
    const std::string trailer = "the rest of the binary value";
    png.insert(png.end(), trailer.begin(), trailer.end());
    TPicture picture;
    size_t consumed = 0;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), picture, consumed));
    EXPECT_EQ(consumed, pngSize);
    EXPECT_EQ(picture.Pixels, std::vector<uint32_t>{0x04010203});
}

// A flat picture compresses close to deflate's limit; the guard against hollow headers
// must still let it through.
TEST(PictureDecode, FlatPictureNearTheCompressionLimitIsAccepted) {
    const uint32_t w = 4096, h = 512;
    const TBytes png = MakePng(w, h, 8, 0, TBytes(static_cast<size_t>(h) * (w + 1), 0));
    ASSERT_LT(png.size() * 900, static_cast<size_t>(h) * (w + 1)) << "not compressed enough";
    TPicture picture;
    size_t consumed = 0;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), picture, consumed));
    EXPECT_EQ(picture.Pixels.size(), size_t{w} * h);
    EXPECT_EQ(picture.Pixels.back(), 0xFF000000u);
}

TEST(PictureDecode, EncodePngRoundTripsStraightArgb) {
    const std::vector<uint32_t> argb = {0xFFFF0000, 0x80FF00FF, 0x00000000,
                                        0xFFFFFFFF, 0x12345678, 0xFF000000};
    const TBytes png = EncodePng(3, 2, argb.data());
    EXPECT_EQ(png, EncodePng(3, 2, argb.data())) << "the same pixels must give the same bytes";
    TPicture picture;
    size_t consumed = 0;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), picture, consumed));
    EXPECT_EQ(picture.Width, 3);
    EXPECT_EQ(picture.Height, 2);
    EXPECT_EQ(picture.Pixels, argb);
    EXPECT_TRUE(EncodePng(0, 2, argb.data()).empty());
}

TEST(PictureDecode, DamagedPngIsRefused) {
    const TBytes good = MakePng(2, 2, 8, 2, {0, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12});
    TPicture picture;
    size_t consumed = 0;
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodePng(good.data(), n, picture, consumed)) << "truncated to " << n;

    TBytes badCrc = good;
    badCrc[good.size() - 12 - 5] ^= 0x01;  // last byte of the IDAT data
    EXPECT_FALSE(DecodePng(badCrc.data(), badCrc.size(), picture, consumed));

    TBytes noIend(good.begin(), good.end() - 12);
    PutChunk(noIend, "tEXt", {'a', 0, 'b'});
    EXPECT_FALSE(DecodePng(noIend.data(), noIend.size(), picture, consumed));

    const TBytes tooWide = MakePng(9000, 1, 8, 0, TBytes(9001, 0));
    EXPECT_FALSE(DecodePng(tooWide.data(), tooWide.size(), picture, consumed));
    // A huge picture claimed by a few bytes of data is refused before its pixels exist.
    const TBytes hollow = MakePng(8000, 8000, 8, 6, {0, 0, 0, 0, 0});
    EXPECT_FALSE(DecodePng(hollow.data(), hollow.size(), picture, consumed));
    // Too little image data for the header's size.
    const TBytes shortData = MakePng(4, 4, 8, 2, {0, 1, 2, 3});
    EXPECT_FALSE(DecodePng(shortData.data(), shortData.size(), picture, consumed));

    EXPECT_TRUE(picture.Empty()) << "a failed decode leaves the picture untouched";
    EXPECT_FALSE(DecodePng(nullptr, 0, picture, consumed));
}

// ---- BMP ----

void PutLittleEndian(TBytes& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct TBmpLayout {
    int32_t W, H;  // negative H: top-down
    uint16_t Bits;
    uint32_t Compression = 0;
    TBytes Palette;  // 4 bytes per entry (B, G, R, 0)
    TBytes Masks;    // after the 40-byte header, for bit fields
    uint32_t ColorsUsed = 0;
    TBytes Rows;  // as stored, padding included
};

TBytes MakeBmp(const TBmpLayout& s) {
    const uint32_t offset = static_cast<uint32_t>(14 + 40 + s.Masks.size() + s.Palette.size());
    TBytes out = {'B', 'M'};
    PutLittleEndian(out, offset + static_cast<uint32_t>(s.Rows.size()), 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, offset, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, static_cast<uint32_t>(s.W), 4);
    PutLittleEndian(out, static_cast<uint32_t>(s.H), 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, s.Bits, 2);
    PutLittleEndian(out, s.Compression, 4);
    PutLittleEndian(out, static_cast<uint32_t>(s.Rows.size()), 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, s.ColorsUsed, 4);
    PutLittleEndian(out, 0, 4);
    out.insert(out.end(), s.Masks.begin(), s.Masks.end());
    out.insert(out.end(), s.Palette.begin(), s.Palette.end());
    out.insert(out.end(), s.Rows.begin(), s.Rows.end());
    return out;
}

struct TBmpCase {
    const char* Label;
    TBmpLayout Layout;
    std::vector<uint32_t> Expected;  // top row first
};

TEST(PictureDecode, BmpSupportedLayoutsBecomeArgb) {
    const std::vector<TBmpCase> cases = {
        {"24-bit bottom-up with row padding",
         {2, 2, 24, 0, {}, {}, 0, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit top-down, unused fourth byte",
         {2, -1, 32, 0, {}, {}, 0, {1, 2, 3, 0, 4, 5, 6, 0}},
         {0xFF030201, 0xFF060504}},
        {"32-bit with alpha",
         {2, 1, 32, 0, {}, {}, 0, {1, 2, 3, 0x80, 4, 5, 6, 0}},
         {0x80030201, 0x00060504}},
        {"8-bit palette, index past the palette",
         {3, 1, 8, 0, {10, 20, 30, 0, 40, 50, 60, 0}, {}, 2, {1, 0, 7, 0}},
         {0xFF3C3228, 0xFF1E140A, 0xFF000000}},
        {"4-bit palette",
         {3, 1, 4, 0, {1, 1, 1, 0, 2, 2, 2, 0}, {}, 2, {0x10, 0x10, 0, 0}},
         {0xFF020202, 0xFF010101, 0xFF020202}},
        {"1-bit palette",
         {3, 1, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, {}, 0, {0b01000000, 0, 0, 0}},
         {0xFF000000, 0xFFFFFFFF, 0xFF000000}},
        {"16-bit 5-5-5", {1, 1, 16, 0, {}, {}, 0, {0x00, 0x7C, 0, 0}}, {0xFFFF0000}},
        {"16-bit 5-6-5 bit fields",
         {2,
          1,
          16,
          3,
          {},
          {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0},
          0,
          {0xE0, 0x07, 0x1F, 0x00}},
         {0xFF00FF00, 0xFF0000FF}},
    };
    for (const TBmpCase& c : cases) {
        SCOPED_TRACE(c.Label);
        const TBytes bmp = MakeBmp(c.Layout);
        TPicture picture;
        ASSERT_TRUE(DecodeBmp(bmp.data(), bmp.size(), picture));
        EXPECT_EQ(picture.Format, TPicture::TFormat::Bmp);
        EXPECT_EQ(picture.Width, c.Layout.W);
        EXPECT_EQ(picture.Height, c.Layout.H < 0 ? -c.Layout.H : c.Layout.H);
        EXPECT_EQ(picture.Pixels, c.Expected);
    }
}

TEST(PictureDecode, DamagedBmpIsRefused) {
    const TBmpLayout good{2, 2, 8, 0, {1, 2, 3, 0, 4, 5, 6, 0}, {}, 2, {0, 1, 0, 0, 1, 0, 0, 0}};
    const TBytes goodBytes = MakeBmp(good);
    TPicture picture;
    ASSERT_TRUE(DecodeBmp(goodBytes.data(), goodBytes.size(), picture));
    picture = TPicture{};
    for (size_t n = 0; n < goodBytes.size(); ++n)
        EXPECT_FALSE(DecodeBmp(goodBytes.data(), n, picture)) << "truncated to " << n;

    auto withLayout = [&](auto edit) {
        TBmpLayout s = good;
        edit(s);
        return MakeBmp(s);
    };
    struct TBad {
        const char* Label;
        TBytes Bytes;
    };
    const std::vector<TBad> bad = {
        {"zero width", withLayout([](TBmpLayout& s) { s.W = 0; })},
        {"too wide", withLayout([](TBmpLayout& s) { s.W = 9000; })},
        {"negative width", withLayout([](TBmpLayout& s) { s.W = -2; })},
        {"most negative height", withLayout([](TBmpLayout& s) { s.H = INT32_MIN; })},
        {"run-length compressed", withLayout([](TBmpLayout& s) { s.Compression = 1; })},
        {"2 bits per pixel", withLayout([](TBmpLayout& s) { s.Bits = 2; })},
        {"palette past the end", withLayout([](TBmpLayout& s) {
             s.ColorsUsed = 0;  // 256 entries, only 2 present
             s.Rows.clear();
         })},
    };
    for (const TBad& b : bad)
        EXPECT_FALSE(DecodeBmp(b.Bytes.data(), b.Bytes.size(), picture)) << b.Label;

    TBytes farOffset = goodBytes;
    farOffset[10] = 0xFF;
    farOffset[11] = 0xFF;
    EXPECT_FALSE(DecodeBmp(farOffset.data(), farOffset.size(), picture));
    TBytes notBmp = goodBytes;
    notBmp[0] = 'X';
    EXPECT_FALSE(DecodeBmp(notBmp.data(), notBmp.size(), picture));
    EXPECT_TRUE(picture.Empty());
}
}  // namespace
