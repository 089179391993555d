// Reading .vil files. The files are built byte by byte here, apart from the writer the
// tools use, so that a fault shared by writer and reader cannot hide. Covers every value tag
// the reader accepts, defaults, damaged headers and streams, picture classes, lookup and
// pattern arithmetic, and a seeded mutation run that must never crash.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/PngEncode.h"
#include "common/VilWriter.h"
#include "engine/ImageList.h"
#include "engine/PictureDecode.h"
#include "platform/MessageBox.h"
#include "platform/StopSignal.h"

namespace {
using TBytes = std::vector<uint8_t>;

const char* const kStreamError =
    "The stream could not be loaded, either it is corrupt or encrypted!";
const char* const kFileError = "Cannot be loaded - file error or file crypted!";

// Little-endian byte builder for the object stream.
struct TStream {
    TBytes B;

    TStream& U8(uint8_t v) {
        B.push_back(v);
        return *this;
    }
    TStream& U16(uint16_t v) {
        return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8));
    }
    TStream& U32(uint32_t v) {
        return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16));
    }
    TStream& Raw(const TBytes& bytes) {
        B.insert(B.end(), bytes.begin(), bytes.end());
        return *this;
    }
    TStream& Str(const std::string& s) {
        U8(static_cast<uint8_t>(s.size()));
        B.insert(B.end(), s.begin(), s.end());
        return *this;
    }
    // Values, tag first.
    TStream& Int8(int8_t v) { return U8(2).U8(static_cast<uint8_t>(v)); }
    TStream& Int16(int16_t v) { return U8(3).U16(static_cast<uint16_t>(v)); }
    TStream& Int32(int32_t v) { return U8(4).U32(static_cast<uint32_t>(v)); }
    TStream& ShortString(const std::string& s) { return U8(6).Str(s); }
    TStream& LongString(const std::string& s) {
        U8(12).U32(static_cast<uint32_t>(s.size()));
        B.insert(B.end(), s.begin(), s.end());
        return *this;
    }
    TStream& Ident(const std::string& s) { return U8(7).Str(s); }
    TStream& Bool(bool v) { return U8(v ? 9 : 8); }
    TStream& Binary(const TBytes& bytes) {
        return U8(10).U32(static_cast<uint32_t>(bytes.size())).Raw(bytes);
    }
    TStream& Prop(const std::string& name) { return Str(name); }

    // The root object up to the first item of its collection.
    TStream& Begin() {
        B.insert(B.end(), {'T', 'P', 'F', '0'});
        return Str("TImageListCollectionComponent").Str("").Prop("List").U8(14);
    }
    TStream& Item() { return U8(1); }
    TStream& EndItem() { return U8(0); }
    // End of the collection, of the root's properties, and no children.
    TStream& Finish() { return U8(0).U8(0).U8(0); }
};

TBytes WithHeader(const TBytes& stream, const std::string& name = "TIMAGELISTCOLLECTIONCOMPONENT") {
    TStream h;
    h.U8(0xFF).U16(10);
    h.B.insert(h.B.end(), name.begin(), name.end());
    h.U8(0).U16(0x1030).U32(static_cast<uint32_t>(stream.size())).Raw(stream);
    return h.B;
}

TBytes PictureData(const std::string& className, const TBytes& data) {
    TStream s;
    s.Str(className).Raw(data);
    return s.B;
}

// A w x h PNG whose pixel (x, y) is opaque with red = x and green = y.
TBytes GridPng(int w, int h) {
    std::vector<uint32_t> argb(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            argb[static_cast<size_t>(y * w + x)] = 0xFF000000u |
                                                   (static_cast<uint32_t>(x & 0xFF) << 16) |
                                                   (static_cast<uint32_t>(y & 0xFF) << 8);
    return EncodePng(w, h, argb.data());
}

// A 2 x 1 24-bit BMP: blue then red.
TBytes SmallBmp() {
    TStream s;
    s.U8('B').U8('M').U32(14 + 40 + 8).U32(0).U32(14 + 40);
    s.U32(40).U32(2).U32(1).U16(1).U16(24).U32(0).U32(8).U32(0).U32(0).U32(0).U32(0);
    s.Raw({0xFF, 0, 0, 0, 0, 0xFF, 0, 0});
    return s.B;
}

// Two items with pictures and every property, the shape of the game's own files.
TBytes ValidFile() {
    TStream s;
    s.Begin();
    s.Item().Prop("Name").ShortString("first");
    s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(100, 60)));
    s.Prop("TileHeight").Int8(20).Prop("TileWidth").Int8(20);
    s.Prop("TransparentColor").Ident("clFuchsia").Prop("Transparent").Bool(true).EndItem();
    s.Item().Prop("Name").ShortString("second");
    s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(8, 4)));
    s.Prop("TileHeight").Int8(0).Prop("TileWidth").Int8(4);
    s.Prop("TransparentColor").Int32(0x00FF00).Prop("Transparent").Bool(false).EndItem();
    s.Finish();
    return WithHeader(s.B);
}

class ImageListLoad : public ::testing::Test {
protected:
    void SetUp() override {
        Old = SetMessageHandler([this](const TMessage& m) { Messages.push_back(m); });
    }
    void TearDown() override { SetMessageHandler(std::move(Old)); }

    // The texts of the messages shown, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const TMessage& m : Messages) texts.push_back(m.Text);
        return texts;
    }

    // One item built by body, in a file of its own.
    TImageListItem* LoadOneItem(const std::function<void(TStream&)>& body) {
        TStream s;
        s.Begin().Item();
        body(s);
        s.EndItem().Finish();
        List.Clear();
        if (!List.LoadFromStream(WithHeader(s.B)) || List.Count() != 1) return nullptr;
        return List.Items(0);
    }

    TImageListCollection List;
    std::vector<TMessage> Messages;
    TMessageHandler Old;
};

TEST_F(ImageListLoad, ValidFileGivesItemsInOrder) {
    ASSERT_TRUE(List.LoadFromStream(ValidFile()));
    EXPECT_TRUE(Messages.empty());
    ASSERT_EQ(List.Count(), 2);
    const TImageListItem& first = *List.Items(0);
    EXPECT_EQ(first.Name, "first");
    EXPECT_EQ(first.Picture.Format, TPicture::TFormat::Png);
    EXPECT_EQ(first.ImageWidth, 100);
    EXPECT_EQ(first.ImageHeight, 60);
    // The size the texture will have: the picture's own.
    EXPECT_EQ(first.TextureWidth, 100);
    EXPECT_EQ(first.TextureHeight, 60);
    EXPECT_EQ(first.TransparentColor, 0xFF00FFu);
    EXPECT_TRUE(first.Transparent);
    // Pixel (7, 3) of the grid picture.
    EXPECT_EQ(first.Picture.Pixels[3 * 100 + 7], 0xFF070300u);
    const TImageListItem& second = *List.Items(1);
    EXPECT_EQ(second.Name, "second");
    EXPECT_EQ(second.TileHeight, 4) << "a tile height of 0 takes the picture's height";
    EXPECT_EQ(second.TileWidth, 4);
    EXPECT_EQ(second.PatternCount(), 2);
    EXPECT_EQ(second.TransparentColor, 0x00FF00u);
    EXPECT_FALSE(second.Transparent);
    EXPECT_EQ(List.Items(2), nullptr);
    EXPECT_EQ(List.Items(-1), nullptr);
}

// Records the quads an item draws.
class TRecordingRenderer : public TKerbRenderer {
public:
    void SetBlendMode(int32_t) override {}
    void RenderQuad(const TKerbTexture&, const TQuad& quad) override { Quads.push_back(quad); }
    std::vector<TQuad> Quads;
};

TEST_F(ImageListLoad, PatternGridOfLoadedPicture) {
    ASSERT_TRUE(List.LoadFromStream(ValidFile()));
    TImageListItem& item = *List.Find("first");
    EXPECT_EQ(item.PatternColumns, 5);
    EXPECT_EQ(item.PatternRows, 3);
    EXPECT_EQ(item.PatternCount(), 15);

    TRecordingRenderer renderer;
    item.Renderer = &renderer;
    item.Texture = std::make_unique<TKerbTexture>();
    item.Draw(0, 0, 7);   // column 2, row 1
    item.Draw(0, 0, 20);  // past the last pattern: drawn as pattern 14 (column 4, row 2)
    ASSERT_EQ(renderer.Quads.size(), 2u);
    // Texture coordinates are fractions of the texture, which has the picture's size.
    EXPECT_FLOAT_EQ(renderer.Quads[0][0].U, 40.0f / 100);
    EXPECT_FLOAT_EQ(renderer.Quads[0][0].V, 20.0f / 60);
    EXPECT_FLOAT_EQ(renderer.Quads[1][0].U, 80.0f / 100);
    EXPECT_FLOAT_EQ(renderer.Quads[1][2].V, 60.0f / 60);
    item.Renderer = nullptr;
}

TEST_F(ImageListLoad, IntegerPropertiesAcceptEveryIntegerTag) {
    struct TCase {
        const char* Label;
        std::function<void(TStream&)> Value;
        int32_t Expected;
    };
    const std::vector<TCase> cases = {
        {"8-bit", [](TStream& s) { s.Int8(-5); }, -5},
        {"8-bit largest", [](TStream& s) { s.Int8(127); }, 127},
        {"16-bit", [](TStream& s) { s.Int16(-300); }, -300},
        {"16-bit largest", [](TStream& s) { s.Int16(32767); }, 32767},
        {"32-bit", [](TStream& s) { s.Int32(70000); }, 70000},
        {"32-bit smallest", [](TStream& s) { s.Int32(INT32_MIN); }, INT32_MIN},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        const TImageListItem* item = LoadOneItem([&](TStream& s) {
            s.Prop("TileWidth");
            c.Value(s);
            s.Prop("TileHeight");
            c.Value(s);
        });
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->TileWidth, c.Expected);
        EXPECT_EQ(item->TileHeight, c.Expected);
    }
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, StringPropertiesAcceptShortAndLongStrings) {
    const std::string longName(300, 'n');
    struct TCase {
        const char* Label;
        std::function<void(TStream&)> Value;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {"short", [](TStream& s) { s.ShortString("b_yes"); }, "b_yes"},
        {"empty", [](TStream& s) { s.ShortString(""); }, ""},
        {"long tag, short text", [](TStream& s) { s.LongString("x"); }, "x"},
        {"long", [&](TStream& s) { s.LongString(longName); }, longName},
        {"bytes kept as they are", [](TStream& s) { s.ShortString("Gr\xFC\xDF"); }, "Gr\xFC\xDF"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        const TImageListItem* item = LoadOneItem([&](TStream& s) {
            s.Prop("Name");
            c.Value(s);
            s.Prop("Filepath");
            c.Value(s);
        });
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Name, c.Expected);
        EXPECT_EQ(item->Filepath, c.Expected);
    }
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, TransparentColourFromNamesAndNumbers) {
    struct TCase {
        const char* Label;
        std::function<void(TStream&)> Value;
        uint32_t Expected;
    };
    const std::vector<TCase> cases = {
        {"basic name", [](TStream& s) { s.Ident("clFuchsia"); }, 0xFF00FF},
        {"blue is the high byte", [](TStream& s) { s.Ident("clNavy"); }, 0x800000},
        {"white", [](TStream& s) { s.Ident("clWhite"); }, 0xFFFFFF},
        {"system colour name", [](TStream& s) { s.Ident("clBtnFace"); }, 0xC8D0D4},
        {"window background", [](TStream& s) { s.Ident("clWindow"); }, 0xFFFFFF},
        {"system colour number", [](TStream& s) { s.Int32(INT32_MIN + 15); }, 0xC8D0D4},
        {"plain number", [](TStream& s) { s.Int32(0x123456); }, 0x123456},
        {"small number", [](TStream& s) { s.Int8(5); }, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        const TImageListItem* item = LoadOneItem([&](TStream& s) {
            s.Prop("TransparentColor");
            c.Value(s);
            s.Prop("Transparent").Bool(true);
        });
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->TransparentColor, c.Expected);
        EXPECT_TRUE(item->Transparent);
    }
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, MissingPropertiesKeepDefaults) {
    const TImageListItem* item = LoadOneItem([](TStream&) {});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name, "");
    EXPECT_TRUE(item->Picture.Empty());
    EXPECT_EQ(item->TileWidth, 0);
    EXPECT_EQ(item->TileHeight, 0);
    EXPECT_EQ(item->TransparentColor, 0u);
    EXPECT_FALSE(item->Transparent);
    EXPECT_EQ(item->Filepath, "");

    TStream empty;
    empty.Begin().Finish();
    EXPECT_TRUE(List.LoadFromStream(WithHeader(empty.B)));
    EXPECT_EQ(List.Count(), 0);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, TileSizesWrittenBeforeThePictureStillApply) {
    const TImageListItem* item = LoadOneItem([](TStream& s) {
        s.Prop("TileWidth").Int8(10).Prop("TileHeight").Int8(0);
        s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(30, 12)));
        s.Prop("Name").ShortString("late picture");
    });
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->TileWidth, 10);
    EXPECT_EQ(item->TileHeight, 12);
    EXPECT_EQ(item->PatternCount(), 3);
}

TEST_F(ImageListLoad, WrongHeaderShowsBothMessages) {
    const TBytes good = ValidFile();
    auto edited = [&](size_t at, uint8_t value) {
        TBytes b = good;
        b[at] = value;
        return b;
    };
    struct TCase {
        const char* Label;
        TBytes Bytes;
    };
    const std::vector<TCase> cases = {
        {"empty file", {}},
        {"first byte", edited(0, 0xFE)},
        {"resource type", edited(1, 11)},
        {"resource type high byte", edited(2, 1)},
        {"name without its zero in the first 79 bytes",
         WithHeader(TBytes(10, 0), std::string(80, 'N'))},
        {"header cut inside the name", TBytes(good.begin(), good.begin() + 20)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        Messages.clear();
        List.Add().Name = "old";
        EXPECT_FALSE(List.LoadFromStream(c.Bytes));
        EXPECT_EQ(Texts(), (std::vector<std::string>{"Invalid stream format", kStreamError}));
        EXPECT_EQ(Messages.back().Caption, "Error!");
        EXPECT_EQ(Messages.back().Buttons, TMsgButtons::OkCancel);
        EXPECT_EQ(List.Count(), 0) << "loading clears the list first";
    }
}

TEST_F(ImageListLoad, ResourceNameOfAnyLengthIsSkipped) {
    TStream s;
    s.Begin().Item().Prop("Name").ShortString("only").EndItem().Finish();
    for (const std::string& name : {std::string(), std::string("X"), std::string(68, 'N')}) {
        List.Clear();
        ASSERT_TRUE(List.LoadFromStream(WithHeader(s.B, name))) << name.size();
        EXPECT_NE(List.Find("only"), nullptr);
    }
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, TruncationAtEveryByteFailsAndKeepsWholeItems) {
    const TBytes good = ValidFile();
    TImageListCollection full;
    ASSERT_TRUE(full.LoadFromStream(good));
    for (size_t n = 0; n < good.size(); ++n) {
        Messages.clear();
        const TBytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        ASSERT_FALSE(List.LoadFromStream(cut)) << "truncated to " << n;
        ASSERT_FALSE(Messages.empty());
        ASSERT_EQ(Messages.back().Text, kStreamError) << "truncated to " << n;
        // Only whole items are kept: an item cut anywhere is dropped, never kept half-read
        // (a sprite drawing a picture-less item would report it every frame).
        ASSERT_LE(List.Count(), full.Count()) << "truncated to " << n;
        for (int32_t i = 0; i < List.Count(); ++i) {
            EXPECT_EQ(List.Items(i)->Name, full.Items(i)->Name) << "truncated to " << n;
            EXPECT_EQ(List.Items(i)->Picture.Pixels, full.Items(i)->Picture.Pixels);
            EXPECT_EQ(List.Items(i)->PatternCount(), full.Items(i)->PatternCount());
        }
    }
}

TEST_F(ImageListLoad, DamagedItemKeepsTheItemsBeforeIt) {
    TStream s;
    s.Begin();
    s.Item().Prop("Name").ShortString("good").EndItem();
    s.Item().Prop("Name").ShortString("bad");
    s.Prop("Picture.Data").Binary(PictureData("TPNGObject", {0x89, 'P', 'N', 'G', 1, 2, 3}));
    s.EndItem();
    s.Item().Prop("Name").ShortString("never read").EndItem().Finish();
    EXPECT_FALSE(List.LoadFromStream(WithHeader(s.B)));
    EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});
    EXPECT_EQ(Messages[0].Detail, "item 2: bad or too large PNG picture");
    EXPECT_NE(List.Find("good"), nullptr);
    EXPECT_EQ(List.Find("bad"), nullptr) << "the damaged item is dropped whole";
    EXPECT_EQ(List.Find("never read"), nullptr);
    EXPECT_EQ(List.Count(), 1);
}

// The caps per list, with the files of the damaged-file review: each is refused with one
// message, the whole items before the fault stay, and nothing near the file's claims is
// allocated.
TEST_F(ImageListLoad, CountsAndSizesAreCappedPerList) {
    const TBytes zeroPicture = [] {
        const std::vector<uint32_t> zeros(size_t{4096} * 4096, 0);
        return PictureData("TPNGObject", EncodePng(4096, 4096, zeros.data()));
    }();
    struct TCase {
        const char* Label;
        std::function<void(TStream&)> Items;
        int32_t Kept;
        const char* Detail;
    };
    const std::vector<TCase> cases = {
        {"five thousand empty items",
         [](TStream& s) {
             for (int i = 0; i < 5000; ++i) s.Item().EndItem();
         },
         4096, "item 4097: too many items in the list"},
        {"zero pictures of 4096 x 4096 past the list's 128 MiB",
         [&](TStream& s) {
             for (int i = 0; i < 8; ++i)
                 s.Item().Prop("Picture.Data").Binary(zeroPicture).EndItem();
         },
         2, "item 3: bad or too large PNG picture"},
        {"a picture wider than a texture may be",
         [](TStream& s) {
             s.Item().Prop("Name").ShortString("fine").EndItem();
             s.Item().Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(5000, 8)));
             s.EndItem();
         },
         1, "item 2: bad or too large PNG picture"},
        {"a picture cut into too many patterns",
         [](TStream& s) {
             s.Item().Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(512, 256)));
             s.Prop("TileWidth").Int8(1).Prop("TileHeight").Int8(1).EndItem();
         },
         0, "item 1: too many patterns in the list"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        Messages.clear();
        TStream s;
        s.Begin();
        c.Items(s);
        s.Finish();
        EXPECT_FALSE(List.LoadFromStream(WithHeader(s.B)));
        EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});
        EXPECT_EQ(Messages.at(0).Detail, c.Detail);
        EXPECT_EQ(List.Count(), c.Kept);
    }
}

// The decoders and the texture maker share one picture-size limit, lowered to what the
// renderer can hold (and rounded down to a power of two, as textures are).
TEST_F(ImageListLoad, PictureSizeLimitFollowsTheRenderer) {
    EXPECT_EQ(MaxPictureSide(), kDefaultMaxPictureSide);
    SetMaxPictureSide(3000);
    EXPECT_EQ(MaxPictureSide(), 2048);
    const auto load = [&](int w) {
        return LoadOneItem([&](TStream& s) {
            s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(w, 4)));
        });
    };
    EXPECT_NE(load(2048), nullptr);
    EXPECT_EQ(load(2049), nullptr);
    SetMaxPictureSide(16384);
    EXPECT_EQ(MaxPictureSide(), kDefaultMaxPictureSide) << "never above the default";
    SetMaxPictureSide(0);
    EXPECT_EQ(MaxPictureSide(), kDefaultMaxPictureSide);
}

TEST_F(ImageListLoad, AStopRequestEndsTheLoadWithoutAMessage) {
    RequestStop();
    EXPECT_FALSE(List.LoadFromStream(ValidFile()));
    ClearStopRequest();
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(List.Count(), 0);
    EXPECT_TRUE(List.LoadFromStream(ValidFile()));
}

TEST_F(ImageListLoad, UnknownPictureClassGivesNoPictureAndReadingGoesOn) {
    for (const std::string& className : {std::string("TJPEGImage"), std::string()}) {
        SCOPED_TRACE(className);
        TStream s;
        s.Begin();
        s.Item().Prop("Name").ShortString("odd");
        s.Prop("Picture.Data").Binary(PictureData(className, {1, 2, 3, 4, 5}));
        s.Prop("TileWidth").Int8(7).EndItem();
        s.Item().Prop("Name").ShortString("next");
        s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(4, 4))).EndItem();
        s.Finish();
        ASSERT_TRUE(List.LoadFromStream(WithHeader(s.B)));
        ASSERT_EQ(List.Count(), 2);
        EXPECT_TRUE(List.Items(0)->Picture.Empty());
        EXPECT_EQ(List.Items(0)->TileWidth, 7);
        EXPECT_EQ(List.Items(1)->ImageWidth, 4);
    }
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, BitmapPictureAndBytesAfterThePng) {
    TStream bmp;
    bmp.Str("TBitmap").U32(static_cast<uint32_t>(SmallBmp().size())).Raw(SmallBmp());
    TBytes pngWithTrailer = PictureData("TPNGObject", GridPng(3, 3));
    pngWithTrailer.insert(pngWithTrailer.end(), {'j', 'u', 'n', 'k'});
    TStream s;
    s.Begin();
    s.Item().Prop("Name").ShortString("bmp").Prop("Picture.Data").Binary(bmp.B).EndItem();
    s.Item().Prop("Name").ShortString("png").Prop("Picture.Data").Binary(pngWithTrailer);
    s.EndItem().Finish();
    ASSERT_TRUE(List.LoadFromStream(WithHeader(s.B)));
    const TImageListItem* b = List.Find("bmp");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Picture.Format, TPicture::TFormat::Bmp);
    EXPECT_EQ(b->Picture.Pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000}));
    EXPECT_EQ(b->TileWidth, 2);
    EXPECT_EQ(List.Find("png")->ImageWidth, 3);

    // A bitmap whose byte count runs past its binary value.
    TStream over;
    over.Str("TBitmap").U32(1000).Raw(SmallBmp());
    TStream bad;
    bad.Begin().Item().Prop("Picture.Data").Binary(over.B).EndItem().Finish();
    EXPECT_FALSE(List.LoadFromStream(WithHeader(bad.B)));
    EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});
}

TEST_F(ImageListLoad, UnknownPropertiesAreSkippedByTheirTag) {
    TStream s;
    s.Begin();
    s.Item().Prop("Tag").Int32(5).Prop("Hint").ShortString("h").Prop("Caption").LongString("c");
    s.Prop("Color").Ident("clRed").Prop("Enabled").Bool(true).Prop("Blob").Binary({1, 2, 3});
    s.Prop("Values").U8(1).Int8(1).ShortString("two").U8(0);
    s.Prop("Nested").U8(14).Item().Prop("X").Int8(1).EndItem().U8(0);
    s.Prop("Name").ShortString("kept").EndItem();
    // An item may be preceded by its index.
    s.Int8(1).Item().Prop("Name").ShortString("indexed").EndItem();
    s.U8(0);
    s.Prop("Tag").Int16(3).U8(0).U8(0);
    ASSERT_TRUE(List.LoadFromStream(WithHeader(s.B)));
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.Items(0)->Name, "kept");
    EXPECT_EQ(List.Items(1)->Name, "indexed");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, UnknownTagsAndWrongTypesAreErrors) {
    struct TCase {
        const char* Label;
        std::function<void(TStream&)> Body;
    };
    const std::vector<TCase> cases = {
        {"unknown tag", [](TStream& s) { s.Prop("Tag").U8(0x30).U8(0); }},
        {"extended float", [](TStream& s) { s.Prop("Tag").U8(5).Raw(TBytes(10, 0)); }},
        {"name as an integer", [](TStream& s) { s.Prop("Name").Int8(1); }},
        {"tile width as a string", [](TStream& s) { s.Prop("TileWidth").ShortString("1"); }},
        {"transparent as an integer", [](TStream& s) { s.Prop("Transparent").Int8(1); }},
        {"unknown colour name", [](TStream& s) { s.Prop("TransparentColor").Ident("clPlaid"); }},
        {"picture as a string", [](TStream& s) { s.Prop("Picture.Data").ShortString("x"); }},
        {"lists nested without end",
         [](TStream& s) {
             s.Prop("Deep");
             for (int i = 0; i < 100000; ++i) s.U8(1);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        Messages.clear();
        TStream s;
        s.Begin().Item().Prop("Name").ShortString("first").EndItem().Item();
        c.Body(s);
        s.EndItem().Finish();
        EXPECT_FALSE(List.LoadFromStream(WithHeader(s.B)));
        EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});
        EXPECT_NE(List.Find("first"), nullptr) << "items read before the fault stay";
    }
}

TEST_F(ImageListLoad, StreamMustBeAnObjectStream) {
    TBytes b = ValidFile();
    b[39] = '1';  // "TPF0" -> "TPF1"
    EXPECT_FALSE(List.LoadFromStream(b));
    EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});

    // "List" as something other than a collection.
    TStream s;
    s.B = {'T', 'P', 'F', '0'};
    s.Str("TImageListCollectionComponent").Str("").Prop("List").Int8(1).U8(0).U8(0);
    Messages.clear();
    EXPECT_FALSE(List.LoadFromStream(WithHeader(s.B)));
    EXPECT_EQ(Texts(), std::vector<std::string>{kStreamError});
}

TEST_F(ImageListLoad, FindIsExactAndReturnsTheFirstMatch) {
    TStream s;
    s.Begin();
    for (int i = 0; i < 3; ++i) {
        const std::string name = i == 1 ? "Wheel" : "wheel";
        s.Item().Prop("Name").ShortString(name).Prop("TileWidth").Int8(static_cast<int8_t>(i + 1));
        s.EndItem();
    }
    s.Finish();
    ASSERT_TRUE(List.LoadFromStream(WithHeader(s.B)));
    EXPECT_EQ(List.Find("wheel"), List.Items(0));
    EXPECT_EQ(List.Find("Wheel"), List.Items(1));
    EXPECT_EQ(List.Find("WHEEL"), nullptr);
    EXPECT_EQ(List.Find("wheel "), nullptr);
    EXPECT_EQ(List.Find(""), nullptr);
}

TEST_F(ImageListLoad, WriterOutputReadsBack) {
    std::vector<uint32_t> argb(6 * 4);
    for (size_t i = 0; i < argb.size(); ++i)
        argb[i] = (static_cast<uint32_t>(i * 10) << 24) | static_cast<uint32_t>(i * 0x010203);
    const std::vector<TVilItem> items = {
        {"strip", EncodePng(6, 4, argb.data()), 2, 4, 0xFF00FF, true},
        {std::string(300, 'L'), EncodePng(6, 4, argb.data()), 0, 0, 0x0000FF, false},
        {"no picture", {}, 1000, -200, 0x123456, false},
        {"big tiles", GridPng(5, 2), 40000, 2, 0, true},
    };
    ASSERT_TRUE(List.LoadFromStream(WriteVil(items)));
    ASSERT_EQ(List.Count(), 4);
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        const TImageListItem& item = *List.Items(static_cast<int32_t>(i));
        EXPECT_EQ(item.Name, items[i].Name);
        EXPECT_EQ(item.TransparentColor, items[i].TransparentColor);
        EXPECT_EQ(item.Transparent, items[i].Transparent);
        EXPECT_EQ(item.Picture.Empty(), items[i].Png.empty());
    }
    EXPECT_EQ(List.Items(0)->Picture.Pixels, argb);
    EXPECT_EQ(List.Items(0)->PatternCount(), 3);
    EXPECT_EQ(List.Items(1)->PatternCount(), 1);
    EXPECT_EQ(List.Items(2)->TileWidth, 1000);
    EXPECT_EQ(List.Items(2)->TileHeight, -200);
    EXPECT_EQ(List.Items(3)->TileWidth, 40000);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(ImageListLoad, LoadFromFileReadsTheFileOrLeavesTheListAlone) {
    const auto dir = std::filesystem::temp_directory_path() / "velkaro_vil_load_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "data1.vil").string();
    const TBytes good = ValidFile();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(good.data()),
               static_cast<std::streamsize>(good.size()));

    ASSERT_TRUE(List.LoadFromFile(path));
    EXPECT_EQ(List.Count(), 2);
    std::vector<std::pair<std::string, std::string>> bad = {
        {(dir / "missing.vil").string(), "No such file"},
        {dir.string(), "a folder, not a regular file"},
    };
#ifndef _WIN32
    // A list truncated to a terabyte (sparse), linked to /dev/zero, or made a named pipe is
    // refused at once, before anything is allocated or waited for. (Linux's own kinds of file:
    // Windows makes no sparse file unasked, and has neither /dev/zero nor such pipes.)
    const auto tera = (dir / "tera.vil").string();
    std::ofstream(tera).close();
    std::filesystem::resize_file(tera, uint64_t{1} << 40);
    std::filesystem::remove(dir / "zero.vil");
    std::filesystem::create_symlink("/dev/zero", dir / "zero.vil");
    const auto pipe = (dir / "pipe.vil").string();
    std::filesystem::remove(pipe);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    bad.push_back({tera, "too large"});
    bad.push_back({(dir / "zero.vil").string(), "a character device, not a regular file"});
    bad.push_back({pipe, "a named pipe, not a regular file"});
#endif
    for (const auto& [file, reason] : bad) {
        SCOPED_TRACE(file);
        Messages.clear();
        EXPECT_FALSE(List.LoadFromFile(file));
        EXPECT_EQ(Texts(), std::vector<std::string>{kFileError});
        EXPECT_EQ(Messages[0].Icon, TMsgIcon::Information);
        EXPECT_NE(Messages[0].Detail.find(reason), std::string::npos) << Messages[0].Detail;
        EXPECT_EQ(List.Count(), 2) << "a file that cannot be read leaves the list unchanged";
    }
    std::filesystem::remove_all(dir);
}

// Deterministic generator for the mutation run.
struct TXorShift {
    uint64_t State;
    uint64_t Next() {
        State ^= State << 13;
        State ^= State >> 7;
        State ^= State << 17;
        return State;
    }
    size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
};

TBytes Mutate(const TBytes& base, TXorShift& rng) {
    TBytes b = base;
    const size_t edits = 1 + rng.Below(4);
    for (size_t e = 0; e < edits && !b.empty(); ++e) {
        switch (rng.Below(5)) {
            case 0:
                b[rng.Below(b.size())] ^= static_cast<uint8_t>(1u << rng.Below(8));
                break;
            case 1:
                b[rng.Below(b.size())] = static_cast<uint8_t>(rng.Next());
                break;
            case 2:
                b.resize(rng.Below(b.size()));
                break;
            case 3: {
                const auto at = static_cast<std::ptrdiff_t>(rng.Below(b.size() + 1));
                b.insert(b.begin() + at, static_cast<uint8_t>(rng.Next()));
                break;
            }
            default: {
                // Length fields are where damage does most harm: set one byte to an extreme.
                const uint8_t extremes[] = {0x00, 0x7F, 0x80, 0xFF};
                b[rng.Below(b.size())] = extremes[rng.Below(4)];
                break;
            }
        }
    }
    return b;
}

TEST_F(ImageListLoad, MutatedFilesNeverCrash) {
    // Small pictures keep each load quick; the item layout is that of the real files.
    TStream s;
    s.Begin();
    s.Item().Prop("Name").ShortString("a");
    s.Prop("Picture.Data").Binary(PictureData("TPNGObject", GridPng(6, 4)));
    s.Prop("TileHeight").Int8(2).Prop("TileWidth").Int8(3);
    s.Prop("TransparentColor").Ident("clFuchsia").Prop("Transparent").Bool(true).EndItem();
    s.Item().Prop("Name").ShortString("b");
    TStream bmp;
    bmp.Str("TBitmap").U32(static_cast<uint32_t>(SmallBmp().size())).Raw(SmallBmp());
    s.Prop("Picture.Data").Binary(bmp.B).Prop("TileWidth").Int16(1).EndItem().Finish();
    const TBytes base = WithHeader(s.B);

    TXorShift rng{0x9E3779B97F4A7C15ull};
    int loaded = 0;
    for (int i = 0; i < 100000; ++i) {
        Messages.clear();
        const TBytes mutated = Mutate(base, rng);
        const bool ok = List.LoadFromStream(mutated);
        if (ok) {
            ++loaded;
            ASSERT_TRUE(Messages.empty());
        } else {
            ASSERT_FALSE(Messages.empty());
            ASSERT_EQ(Messages.back().Text, kStreamError);
        }
        for (int32_t k = 0; k < List.Count(); ++k) {
            const TPicture& p = List.Items(k)->Picture;
            ASSERT_EQ(p.Pixels.size(),
                      static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height));
        }
    }
    // Some mutations (in names, colours, pixels of the bitmap) leave a readable file.
    EXPECT_GT(loaded, 0);
}
}  // namespace
