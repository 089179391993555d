// fuzzseeds: writes the seed corpus of every fuzz target from the game's own generated files
// and from small hand-made files, valid ones of every layout the readers accept and damaged
// ones like the rows of the loaders' damaged-file tests (and the files the damaged-file review
// found, scaled down). Run at build time: fuzzseeds GAME_DIR OUT_DIR.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/PngEncode.h"
#include "common/VilWriter.h"
#include "engine/FileRead.h"
#include "engine/ImageList.h"
#include "engine/WavFile.h"
#include "platform/MessageBox.h"
#include "soundgen/XmWriter.h"

namespace {
using TBytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// Seeds larger than this are left out: small inputs mutate faster.
constexpr size_t kMaxSeed = 16 * 1024;

struct TSeeds {
    fs::path Dir;
    int Count = 0;
    void Add(const TBytes& bytes) {
        const fs::path path = Dir / ("seed-" + std::to_string(Count++));
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
};

// Little-endian and big-endian byte builder.
struct TOut {
    TBytes B;
    TOut& U8(uint32_t v) {
        B.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    TOut& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    TOut& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    TOut& Be32(uint32_t v) { return U8(v >> 24).U8(v >> 16).U8(v >> 8).U8(v); }
    TOut& Raw(const TBytes& b) {
        B.insert(B.end(), b.begin(), b.end());
        return *this;
    }
    TOut& Text(const std::string& s) {
        B.insert(B.end(), s.begin(), s.end());
        return *this;
    }
    TOut& Str(const std::string& s) { return U8(static_cast<uint32_t>(s.size())).Text(s); }
};

TBytes Cut(const TBytes& b, size_t n) {
    return TBytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min(n, b.size())));
}

TBytes Edited(TBytes b, size_t at, uint8_t value) {
    if (at < b.size()) b[at] = value;
    return b;
}

// ---- image lists ----

TBytes WithHeader(const TBytes& stream) {
    TOut h;
    h.U8(0xFF).U16(10).Text("TIMAGELISTCOLLECTIONCOMPONENT").U8(0).U16(0x1030);
    h.U32(static_cast<uint32_t>(stream.size())).Raw(stream);
    return h.B;
}

TOut ListStart() {
    TOut s;
    s.Text("TPF0").Str("TImageListCollectionComponent").Str("").Str("List").U8(14);
    return s;
}

TBytes ListEnd(TOut s) {
    s.U8(0).U8(0).U8(0);
    return WithHeader(s.B);
}

TBytes PictureValue(const std::string& className, const TBytes& data) {
    TOut v;
    v.Str(className).Raw(data);
    TOut b;
    b.U8(10).U32(static_cast<uint32_t>(v.B.size())).Raw(v.B);
    return b.B;
}

TBytes ZeroPng(int w, int h) {
    const std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    return EncodePng(w, h, pixels.data());
}

void HandMadeLists(TSeeds& seeds, const TBytes& smallPng, const TBytes& smallBmp) {
    // Every value tag, in known and unknown properties, an indexed item and a bitmap.
    TOut s = ListStart();
    s.U8(1).Str("Tag").U8(4).U32(5).Str("Hint").U8(6).Str("h").Str("Caption").U8(12).U32(1);
    s.Text("c").Str("Color").U8(7).Str("clRed").Str("Enabled").U8(9).Str("Blob").U8(10).U32(2);
    s.U8(1).U8(2).Str("Values").U8(1).U8(2).U8(1).U8(6).Str("two").U8(0);
    s.Str("Nested").U8(14).U8(1).Str("X").U8(2).U8(1).U8(0).U8(0);
    s.Str("Name").U8(6).Str("kept").Str("TileWidth").U8(3).U16(8).Str("TileHeight").U8(2).U8(0);
    s.Str("TransparentColor").U8(4).U32(0x8000000F).Str("Transparent").U8(8);
    s.Str("Filepath").U8(6).Str("").Str("Picture.Data").Raw(PictureValue("TPNGObject", smallPng));
    s.U8(0);
    TOut bmp;
    bmp.Str("TBitmap").U32(static_cast<uint32_t>(smallBmp.size())).Raw(smallBmp);
    s.U8(2).U8(1).U8(1).Str("Name").U8(6).Str("bmp").Str("Picture.Data").U8(10);
    s.U32(static_cast<uint32_t>(bmp.B.size())).Raw(bmp.B).U8(0);
    s.U8(1).Str("Picture.Data").Raw(PictureValue("TJPEGImage", {1, 2, 3})).U8(0);
    const TBytes good = ListEnd(s);
    seeds.Add(good);

    // The header and stream rows of the loader's damaged-file table.
    seeds.Add({});
    seeds.Add(Edited(good, 0, 0xFE));
    seeds.Add(Edited(good, 1, 11));
    seeds.Add(Edited(good, 2, 1));
    seeds.Add(Cut(good, 20));
    seeds.Add(Edited(good, 39, '1'));
    for (size_t n = 45; n < good.size(); n += good.size() / 8) seeds.Add(Cut(good, n));
    TOut over = ListStart();  // a binary value whose length runs past the end
    over.U8(1).Str("Picture.Data").U8(10).U32(0xFFFFFFF0).Raw(smallPng);
    seeds.Add(ListEnd(over));

    // The damaged-file review's files, scaled down: many empty items, pictures of zeros at
    // the size limit, a picture wider than a texture may be, an item cut in its middle.
    TOut many = ListStart();
    for (int i = 0; i < 3000; ++i) many.U8(1).U8(0);
    seeds.Add(ListEnd(many));
    TOut zeros = ListStart();
    const TBytes bigZero = ZeroPng(1024, 1024);
    for (int i = 0; i < 3; ++i)
        zeros.U8(1).Str("Picture.Data").Raw(PictureValue("TPNGObject", bigZero)).U8(0);
    seeds.Add(ListEnd(zeros));
    TOut wide = ListStart();
    wide.U8(1).Str("Name").U8(6).Str("wide");
    wide.Str("Picture.Data").Raw(PictureValue("TPNGObject", ZeroPng(5000, 8))).U8(0);
    seeds.Add(ListEnd(wide));
    TOut half = ListStart();
    half.U8(1).Str("Name").U8(6).Str("whole").U8(0);
    half.U8(1).Str("Name").U8(6).Str("mousecursor").Str("Picture.Data").U8(10).U32(4000);
    half.Raw(Cut(PictureValue("TPNGObject", smallPng), 40));
    seeds.Add(half.B.size() > 0 ? WithHeader(half.B) : TBytes{});
}

// One small list per small picture of the game's own lists.
void GameLists(TSeeds& seeds, TSeeds& pngs, const std::string& gameDir) {
    for (const char* name : {"Data/data1.vil", "Data/data2.vil"}) {
        TImageListCollection list;
        if (!list.LoadFromFile(gameDir + "/" + name)) continue;
        std::vector<TVilItem> group;
        for (const auto& item : list.List) {
            if (item->Picture.Empty()) continue;
            TVilItem v{
                item->Name,
                EncodePng(item->Picture.Width, item->Picture.Height, item->Picture.Pixels.data()),
                item->TileWidth,
                item->TileHeight,
                item->TransparentColor,
                item->Transparent};
            if (v.Png.size() > kMaxSeed) continue;
            pngs.Add(v.Png);
            group.push_back(std::move(v));
            if (group.size() == 3) {
                seeds.Add(WriteVil(group));
                group.clear();
            }
        }
        if (!group.empty()) seeds.Add(WriteVil(group));
    }
}

// ---- PNG ----

void Chunk(TOut& out, const char* type, const TBytes& data) {
    out.Be32(static_cast<uint32_t>(data.size()));
    TBytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.Raw(typed);
    out.Be32(static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// A 5 x 3 PNG of any colour type and depth, with a filter byte of 0 on each row.
TBytes RawPng(uint8_t colorType, uint8_t depth, bool interlaced) {
    const int w = 5, h = 3;
    const int channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    const size_t rowBytes = (static_cast<size_t>(w) * channels * depth + 7) / 8;
    TBytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(static_cast<uint8_t>(y % 5));  // filters 0..4
        for (size_t i = 0; i < rowBytes; ++i) raw.push_back(static_cast<uint8_t>(i * 37 + y * 11));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    TBytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    TOut ihdr;
    ihdr.Be32(w).Be32(h).U8(depth).U8(colorType).U8(0).U8(0).U8(interlaced ? 1 : 0);
    TOut png;
    png.Raw({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    Chunk(png, "IHDR", ihdr.B);
    if (colorType == 3) {
        TBytes palette;
        for (int i = 0; i < 3 * (1 << std::min<int>(depth, 4)); ++i)
            palette.push_back(static_cast<uint8_t>(i * 17));
        Chunk(png, "PLTE", palette);
        Chunk(png, "tRNS", {0, 128, 255});
    }
    if (colorType == 0 || colorType == 2) Chunk(png, "tRNS", TBytes(colorType == 0 ? 2 : 6, 0));
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", {});
    return png.B;
}

void HandMadePngs(TSeeds& seeds) {
    const struct {
        uint8_t Type;
        std::vector<uint8_t> Depths;
    } layouts[] = {
        {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
    for (const auto& l : layouts)
        for (uint8_t d : l.Depths)
            for (bool interlaced : {false, true}) seeds.Add(RawPng(l.Type, d, interlaced));
    const TBytes good = RawPng(6, 8, false);
    seeds.Add(Cut(good, good.size() - 12));  // no IEND
    seeds.Add(Edited(good, 29, 0));          // IHDR checksum
    TBytes wide = good;                      // 5000 wide
    wide[16] = 0, wide[17] = 0, wide[18] = 0x13, wide[19] = 0x88;
    seeds.Add(wide);
    seeds.Add(ZeroPng(600, 600));
}

// ---- BMP ----

// A 5 x 3 BMP of the given layout; masks are written after a 40-byte header for bit fields.
TBytes RawBmp(uint16_t bits, uint32_t compression, uint32_t headerSize, bool topDown) {
    const int w = 5, h = 3;
    const uint32_t palette = bits <= 8 ? (1u << bits) : 0;
    const uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
    const uint32_t stride = ((w * bits + 31) / 32) * 4;
    const uint32_t entry = headerSize == 12 ? 3 : 4;
    const uint32_t pixelOffset = 14 + headerSize + masks + palette * entry;
    TOut b;
    b.Text("BM").U32(pixelOffset + stride * h).U32(0).U32(pixelOffset);
    if (headerSize == 12) {
        b.U32(12).U16(w).U16(h).U16(1).U16(bits);
    } else {
        b.U32(headerSize).U32(w).U32(topDown ? static_cast<uint32_t>(-h) : h).U16(1).U16(bits);
        b.U32(compression).U32(stride * h).U32(2835).U32(2835).U32(palette).U32(0);
        const bool v4 = headerSize >= 56;
        if (headerSize > 40) {
            b.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).U32(v4 ? 0xFF000000 : 0);
            for (uint32_t i = 56; i < headerSize; ++i) b.U8(0);
        }
        if (masks)
            b.U32(bits == 16 ? 0xF800 : 0xFF0000)
                .U32(bits == 16 ? 0x07E0 : 0xFF00)
                .U32(bits == 16 ? 0x1F : 0xFF);
    }
    for (uint32_t i = 0; i < palette; ++i) {
        b.U8(i * 3).U8(i * 5).U8(i * 7);
        if (entry == 4) b.U8(0);
    }
    for (uint32_t i = 0; i < stride * h; ++i) b.U8(i * 29 + 3);
    return b.B;
}

TBytes HandMadeBmps(TSeeds& seeds) {
    for (uint16_t bits : {1, 4, 8, 24, 32}) seeds.Add(RawBmp(bits, 0, 40, false));
    seeds.Add(RawBmp(16, 0, 40, false));
    seeds.Add(RawBmp(16, 3, 40, false));
    seeds.Add(RawBmp(32, 3, 40, true));
    seeds.Add(RawBmp(32, 3, 108, false));
    seeds.Add(RawBmp(32, 3, 56, false));
    seeds.Add(RawBmp(8, 0, 12, false));
    seeds.Add(RawBmp(24, 0, 12, false));
    const TBytes good = RawBmp(8, 0, 40, false);
    seeds.Add(Edited(good, 10, 0xFF));  // pixels past the end
    seeds.Add(Edited(good, 47, 0x7F));  // colours used
    seeds.Add(Edited(good, 19, 0x13));  // very wide
    seeds.Add(Cut(good, 40));
    return RawBmp(24, 0, 40, false);
}

// ---- sounds and songs ----

void Sounds(TSeeds& wavs, TSeeds& modules, const std::string& gameDir) {
    for (const auto& entry : fs::directory_iterator(gameDir + "/Sounds")) {
        TBytes bytes;
        std::string reason;
        const bool wav = entry.path().extension() == ".wav";
        if (!ReadWholeFile(entry.path().string(), wav ? TFileKind::Sound : TFileKind::Module, bytes,
                           reason))
            continue;
        if (wav && bytes.size() <= kMaxSeed) wavs.Add(bytes);
        if (!wav) modules.Add(bytes);
    }
    TPcmSound mono8;
    mono8.Channels = 1;
    mono8.Rate = 8000;
    mono8.Samples = {0, 1000, -1000, 32767, -32768};
    TBytes stereo = EncodeWav16(TPcmSound{{1, 2, 3, 4, 5, 6}, 2, 22050});
    wavs.Add(stereo);
    wavs.Add(EncodeWav16(mono8));
    wavs.Add(Edited(stereo, 40, 0xFF));        // samples cut short
    wavs.Add(Cut(stereo, stereo.size() - 3));  // cut inside a frame
    wavs.Add(Edited(stereo, 34, 8));           // 8-bit
    wavs.Add(Edited(stereo, 20, 0xFE));        // extensible tag without the extension
    wavs.Add(Cut(stereo, 30));

    // A small song: two channels, one pattern, one instrument.
    TXmModule song;
    song.Name = "seed";
    song.Channels = 2;
    song.Order = {0, 0};
    TXmPattern pattern(16, 2);
    pattern.At(0, 0) = {49, 1, 0x50, 0, 0};
    pattern.At(4, 1) = {52, 1, 0, 0x0C, 0x20};
    pattern.At(8, 0) = {kXmKeyOff, 0, 0, 0, 0};
    song.Patterns.push_back(pattern);
    TXmInstrument instrument;
    for (int i = 0; i < 64; ++i) instrument.Sample.Data.push_back(static_cast<int16_t>(i * 500));
    instrument.Sample.LoopLength = 32;
    instrument.VolumeEnvelope.Points = {{0, 64}, {10, 32}, {20, 0}};
    song.Instruments.push_back(instrument);
    modules.Add(WriteXm(song));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzzseeds GAME_DIR OUT_DIR\n");
        return 2;
    }
    SetMessageHandler([](const TMessage&) {});
    const std::string gameDir = argv[1];
    const fs::path out = argv[2];
    TSeeds lists{out / "imagelist"}, pngs{out / "png"}, bmps{out / "bmp"}, wavs{out / "wav"},
        modules{out / "module"};
    for (TSeeds* s : {&lists, &pngs, &bmps, &wavs, &modules}) {
        fs::remove_all(s->Dir);
        fs::create_directories(s->Dir);
    }
    HandMadePngs(pngs);
    const TBytes smallBmp = HandMadeBmps(bmps);
    HandMadeLists(lists, RawPng(6, 8, false), smallBmp);
    GameLists(lists, pngs, gameDir);
    Sounds(wavs, modules, gameDir);
    std::printf("fuzzseeds: %d image lists, %d PNG, %d BMP, %d WAV, %d modules\n", lists.Count,
                pngs.Count, bmps.Count, wavs.Count, modules.Count);
    return 0;
}
