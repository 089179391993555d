// Pictures decoded behind a load (TImageListCollection::LoadFromStreamBehind): the items named
// first are decoded at once, every other picture on the worker thread. Once taken in (a few at
// a time, all at once, or because a lookup needed one), each item is the one an eager load
// gives: sizes, patterns, stored bytes, texels and the pixels drawn. A lookup of a picture not
// taken in yet waits for it instead of handing out an item with nothing to draw.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "PixelCompare.h"
#include "common/PngEncode.h"
#include "common/VilWriter.h"
#include "engine/ImageList.h"
#include "engine/KerbScreen.h"
#include "engine/PictureDecode.h"
#include "platform/MessageBox.h"

namespace {

struct TItemCase {
    const char* Name;
    int32_t Width, Height;
    int32_t TileWidth, TileHeight;
    bool Keyed;
};

// Small and big (stored for resting), keyed and not, tiled and whole, odd sizes.
const TItemCase kItems[] = {
    {"logo", 64, 40, 0, 0, false},    {"big", 300, 256, 0, 0, true},
    {"tiles", 96, 64, 32, 32, true},  {"strip", 257, 3, 0, 0, false},
    {"cursor", 52, 26, 26, 26, true}, {"wide", 520, 130, 130, 0, false},
    {"tiny", 1, 1, 0, 0, false},      {"last", 33, 77, 11, 7, true},
    {"mid", 128, 96, 0, 0, true},
};

// A picture unique to its item: a gradient seeded by the name, with magenta (the colour key)
// squares so that keyed items lose texels.
TPicture ItemPicture(const TItemCase& c) {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = c.Width;
    p.Height = c.Height;
    const uint32_t seed = static_cast<uint32_t>(std::string(c.Name).size() * 37);
    for (int32_t y = 0; y < c.Height; ++y)
        for (int32_t x = 0; x < c.Width; ++x)
            p.Pixels.push_back((x / 4 + y / 4) % 5 == 0
                                   ? 0xFFFF00FFu
                                   : 0xFF000000u |
                                         ((static_cast<uint32_t>(x) * 7 + seed) & 0xFF) << 16 |
                                         ((static_cast<uint32_t>(y) * 5) & 0xFF) << 8 |
                                         ((static_cast<uint32_t>(x + y) + seed) & 0xFF));
    return p;
}

std::vector<uint8_t> TestFile() {
    std::vector<TVilItem> items;
    for (const TItemCase& c : kItems) {
        const TPicture picture = ItemPicture(c);
        TVilItem item;
        item.Name = c.Name;
        item.Png = EncodePng(picture.Width, picture.Height, picture.Pixels.data());
        item.TileWidth = c.TileWidth;
        item.TileHeight = c.TileHeight;
        item.Transparent = c.Keyed;
        item.TransparentColor = 0xFF00FF;
        items.push_back(item);
    }
    return WriteVil(items);
}

std::vector<uint32_t> TexelsOf(const TImageListItem& item) {
    if (!item.Texture || !item.Texture->HasTexels()) return {};
    const TKerbTexture& t = *item.Texture;
    return {t.Data(), t.Data() + t.TexelCount()};
}

// Every field an eager load sets, compared.
void ExpectSameItem(const TImageListItem& eager, const TImageListItem& behind) {
    SCOPED_TRACE(eager.Name);
    EXPECT_EQ(behind.Name, eager.Name);
    EXPECT_FALSE(behind.Pending);
    EXPECT_EQ(behind.ImageWidth, eager.ImageWidth);
    EXPECT_EQ(behind.ImageHeight, eager.ImageHeight);
    EXPECT_EQ(behind.TileWidth, eager.TileWidth);
    EXPECT_EQ(behind.TileHeight, eager.TileHeight);
    EXPECT_EQ(behind.PatternColumns, eager.PatternColumns);
    EXPECT_EQ(behind.PatternRows, eager.PatternRows);
    EXPECT_EQ(behind.TextureWidth, eager.TextureWidth);
    EXPECT_EQ(behind.TextureHeight, eager.TextureHeight);
    EXPECT_EQ(behind.Transparent, eager.Transparent);
    EXPECT_EQ(behind.TransparentColor, eager.TransparentColor);
    EXPECT_EQ(behind.Stored, eager.Stored);
    EXPECT_EQ(behind.Picture.Width, eager.Picture.Width);
    EXPECT_EQ(behind.Picture.Height, eager.Picture.Height);
    EXPECT_EQ(behind.Picture.Pixels, eager.Picture.Pixels);
    EXPECT_EQ(behind.Texture != nullptr, eager.Texture != nullptr);
    EXPECT_EQ(TexelsOf(behind), TexelsOf(eager));
    if (eager.Texture && behind.Texture) {
        EXPECT_EQ(behind.Texture->Width, eager.Texture->Width);
        EXPECT_EQ(behind.Texture->Height, eager.Texture->Height);
        EXPECT_EQ(behind.Texture->Handle != nullptr, eager.Texture->Handle != nullptr);
    }
}

class PictureBehindTest : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        OldHandler = SetMessageHandler([this](const TMessage& m) { Messages.push_back(m); });
        ASSERT_TRUE(List->ImageList.LoadFromStream(TestFile()));
        List->Initialize();
        Behind.KerbScreen = Screen.get();
        Behind.ImageList.OnPicturesReady = [this] { ++ReadyCalls; };
    }
    void TearDown() override {
        SetMessageHandler(std::move(OldHandler));
        // Its textures go before the screen's renderer does.
        Behind.ImageList.Clear();
        Screen->UnregisterImageList(&Behind);
        Behind.KerbScreen = nullptr;
        ScreenFixture::TearDown();
    }

    // Loads the test file behind, linked to the screen as the game's menu list is.
    void LoadBehind(const std::vector<std::string>& first) {
        ASSERT_TRUE(Behind.ImageList.LoadFromStreamBehind(TestFile(), first));
        Behind.Initialize();
    }

    TImage Drawn(TImageListItem& item) {
        EXPECT_TRUE(Screen->BeginScene());
        Screen->Clear(0, 0, 0, 255);
        item.DrawColor(15, 25, 0.2f, 0.5f, 0.5f, 1, 1, 0xFFFFFFFFu, false, false, 0, 0);
        TImage image = Frame();
        Screen->EndScene();
        return image;
    }

    TKerbImageList Behind;
    int ReadyCalls = 0;
    std::vector<TMessage> Messages;
    TMessageHandler OldHandler;
};

TEST_F(PictureBehindTest, FirstPicturesAreThereAtOnceAndTheRestWaitsToBeTakenIn) {
    LoadBehind({"logo", "cursor"});
    ASSERT_EQ(Behind.ImageList.Count(), List->ImageList.Count());
    EXPECT_TRUE(Behind.ImageList.PicturesPending());
    for (int32_t i = 0; i < Behind.ImageList.Count(); ++i) {
        const TImageListItem& item = *Behind.ImageList.List[static_cast<size_t>(i)];
        const bool first = item.Name == "logo" || item.Name == "cursor";
        SCOPED_TRACE(item.Name);
        // Names are known at once, by index, without waiting.
        EXPECT_EQ(Behind.ImageList.IndexOf(item.Name), i);
        EXPECT_EQ(item.Pending, !first);
        EXPECT_EQ(item.Texture != nullptr, first);
        if (first) ExpectSameItem(*List->ImageList.List[static_cast<size_t>(i)], item);
    }
    EXPECT_EQ(ReadyCalls, 0);
}

TEST_F(PictureBehindTest, TakenInAFewAtATimeEveryItemIsTheEagerOne) {
    LoadBehind({"logo"});
    // A budget of nothing still takes in one ready picture a call.
    int calls = 0;
    while (!Behind.ImageList.AdoptPictures(0.0)) ++calls;
    EXPECT_FALSE(Behind.ImageList.PicturesPending());
    EXPECT_EQ(ReadyCalls, 1);
    EXPECT_GE(calls, 1);
    for (size_t i = 0; i < List->ImageList.List.size(); ++i)
        ExpectSameItem(*List->ImageList.List[i], *Behind.ImageList.List[i]);
    // Done: further calls change nothing and do not report again.
    EXPECT_TRUE(Behind.ImageList.AdoptPictures(2.0));
    EXPECT_EQ(ReadyCalls, 1);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(PictureBehindTest, ALookupWaitsForThePictureAndDrawsTheSamePixels) {
    struct TLookup {
        const char* Name;
        bool ByIndex;
    };
    for (const TLookup lookup : {TLookup{"big", false}, TLookup{"last", true}}) {
        SCOPED_TRACE(lookup.Name);
        ReadyCalls = 0;
        LoadBehind({"logo"});
        ASSERT_TRUE(Behind.ImageList.List[1]->Pending);
        TImageListItem* item = lookup.ByIndex
                                   ? Behind.ImageList.Items(Behind.ImageList.IndexOf(lookup.Name))
                                   : Behind.Find(lookup.Name);
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(item->Pending);
        ASSERT_TRUE(item->Texture);
        EXPECT_FALSE(Behind.ImageList.PicturesPending());
        EXPECT_EQ(ReadyCalls, 1);
        TImageListItem* eager = List->Find(lookup.Name);
        ExpectSameItem(*eager, *item);
        const TImage want = Drawn(*eager);
        const TImage got = Drawn(*item);
        EXPECT_EQ(got.Pixels, want.Pixels);
    }
}

TEST_F(PictureBehindTest, ResolvesBeforeRestingOrWakingTheList) {
    LoadBehind({"logo"});
    Behind.RestAll();
    EXPECT_FALSE(Behind.ImageList.PicturesPending());
    // The big pictures rested; woken, they are the eager ones again.
    EXPECT_TRUE(Behind.ImageList.List[1]->Rested);
    Behind.WakeAll();
    for (size_t i = 0; i < List->ImageList.List.size(); ++i)
        ExpectSameItem(*List->ImageList.List[i], *Behind.ImageList.List[i]);
}

TEST_F(PictureBehindTest, ListWithoutAScreenGetsThePicturesThemselves) {
    TImageListCollection eager, behind;
    ASSERT_TRUE(eager.LoadFromStream(TestFile()));
    ASSERT_TRUE(behind.LoadFromStreamBehind(TestFile(), {}));
    behind.FinishPictures();
    ASSERT_EQ(behind.Count(), eager.Count());
    for (size_t i = 0; i < eager.List.size(); ++i) {
        ExpectSameItem(*eager.List[i], *behind.List[i]);
        EXPECT_FALSE(behind.List[i]->Picture.Pixels.empty());
    }
}

// As in a load that decodes at once, the first damaged picture ends the list's pictures: one
// message, however many pictures follow.
TEST_F(PictureBehindTest, ADamagedPictureIsReportedOnceWhenTakenInAndEndsThePictures) {
    std::vector<TVilItem> items;
    for (const char* name : {"good", "broken", "after", "later"}) {
        const TPicture p = ItemPicture({name, 20, 10, 0, 0, false});
        TVilItem item;
        item.Name = name;
        item.Png = EncodePng(p.Width, p.Height, p.Pixels.data());
        if (std::string(name) == "broken") item.Png.resize(item.Png.size() / 2);
        items.push_back(item);
    }
    TImageListCollection behind;
    ASSERT_TRUE(behind.LoadFromStreamBehind(WriteVil(items), {}));
    EXPECT_TRUE(Messages.empty());
    behind.FinishPictures();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].Detail.find("item 2:"), std::string::npos) << Messages[0].Detail;
    ASSERT_EQ(behind.Count(), 4);
    EXPECT_FALSE(behind.Items(0)->Picture.Empty());
    for (int32_t i = 1; i < 4; ++i) {
        EXPECT_TRUE(behind.Items(i)->Picture.Empty()) << i;
        EXPECT_FALSE(behind.Items(i)->Pending) << i;
    }
    // Taken in a few at a time, the same: the list is done once the worker stopped.
    Messages.clear();
    ASSERT_TRUE(behind.LoadFromStreamBehind(WriteVil(items), {}));
    while (!behind.AdoptPictures(0.0)) std::this_thread::yield();
    EXPECT_EQ(Messages.size(), 1u);
    EXPECT_FALSE(behind.PicturesPending());
}

TEST_F(PictureBehindTest, ClearingOrLoadingAgainWhileDecodingStopsTheWorker) {
    LoadBehind({});
    Behind.ImageList.Clear();
    EXPECT_FALSE(Behind.ImageList.PicturesPending());
    EXPECT_EQ(Behind.ImageList.Count(), 0);
    // A load over one still decoding gives the new file's items, all of them right.
    LoadBehind({});
    LoadBehind({"tiny"});
    Behind.ImageList.FinishPictures();
    ASSERT_EQ(Behind.ImageList.Count(), List->ImageList.Count());
    for (size_t i = 0; i < List->ImageList.List.size(); ++i)
        ExpectSameItem(*List->ImageList.List[i], *Behind.ImageList.List[i]);
    // A list destroyed while its worker runs stops it (no use of freed items).
    {
        TImageListCollection gone;
        ASSERT_TRUE(gone.LoadFromStreamBehind(TestFile(), {}));
    }
}

}  // namespace

namespace {

// A list read from a file keeps no copy of its big pictures' bytes, only their place in the
// file: resting and waking reads them from there, to the same texels; a file changed since
// gives no picture (and says so) rather than another picture.
TEST_F(PictureBehindTest, PicturesFromAFileWakeFromTheirPlaceInIt) {
    const std::string path = ::testing::TempDir() + "picture_behind_test.vil";
    const std::vector<uint8_t> bytes = TestFile();
    const auto write = [&path](const std::vector<uint8_t>& b) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    };
    write(bytes);
    for (const bool behind : {false, true}) {
        SCOPED_TRACE(behind ? "behind" : "eager");
        write(bytes);
        if (behind) {
            ASSERT_TRUE(Behind.ImageList.LoadFromFileBehind(path, {"logo"}));
        } else {
            ASSERT_TRUE(Behind.ImageList.LoadFromFile(path));
        }
        Behind.Initialize();
        TImageListItem* big = Behind.Find("big");
        ASSERT_NE(big, nullptr);
        EXPECT_TRUE(big->Stored.empty());
        EXPECT_GT(big->StoredPlace.Size, 0u);
        EXPECT_TRUE(big->HasStored());
        // Its bytes are where the list noted them.
        std::string stored;
        ASSERT_TRUE(big->ReadStored(stored));
        EXPECT_EQ(stored, List->Find("big")->Stored);
        const std::vector<uint32_t> want = TexelsOf(*List->Find("big"));
        ASSERT_TRUE(big->CanRest());
        big->Rest();
        EXPECT_TRUE(big->Use());
        EXPECT_EQ(TexelsOf(*big), want);
        // Small pictures keep nothing to wake from. Middling ones rest when read from a file,
        // where keeping their place costs nothing, but not from memory, where it costs a copy.
        EXPECT_FALSE(Behind.Find("tiny")->HasStored());
        TImageListItem* mid = Behind.Find("mid");
        EXPECT_TRUE(mid->HasStored());
        EXPECT_FALSE(List->Find("mid")->HasStored());
        ASSERT_TRUE(mid->CanRest());
        mid->Rest();
        EXPECT_TRUE(mid->Use());
        EXPECT_EQ(TexelsOf(*mid), TexelsOf(*List->Find("mid")));
        // The file changed under the list: the picture does not come back.
        big->Rest();
        std::vector<uint8_t> changed = bytes;
        changed[big->StoredPlace.Offset + big->StoredPlace.Size / 2] ^= 0x5A;
        write(changed);
        EXPECT_FALSE(big->ReadStored(stored));
        Messages.clear();
        EXPECT_FALSE(big->Use());
        EXPECT_FALSE(Messages.empty());
        EXPECT_FALSE(big->Texture);
    }
    std::remove(path.c_str());
}

}  // namespace

namespace {

// A picture too big for a texture is refused when the list is read, from its header, at the
// same item and with the same message as a load that decodes at once: not later, on the worker.
TEST_F(PictureBehindTest, APictureTooBigIsRefusedAtTheLoadAsAnEagerLoadRefusesIt) {
    std::vector<TVilItem> items;
    for (const TItemCase& c : {TItemCase{"fine", 20, 10, 0, 0, false},
                               TItemCase{"wide", MaxPictureSide() + 1, 2, 0, 0, false},
                               TItemCase{"after", 20, 10, 0, 0, false}}) {
        const TPicture p = ItemPicture(c);
        TVilItem item;
        item.Name = c.Name;
        item.Png = EncodePng(p.Width, p.Height, p.Pixels.data());
        items.push_back(item);
    }
    const std::vector<uint8_t> file = WriteVil(items);
    TImageListCollection eager, behind;
    EXPECT_FALSE(eager.LoadFromStream(file));
    ASSERT_EQ(Messages.size(), 1u);
    const std::string want = Messages[0].Detail;
    EXPECT_NE(want.find("item 2:"), std::string::npos) << want;
    Messages.clear();
    EXPECT_FALSE(behind.LoadFromStreamBehind(file, {}));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Detail, want);
    ASSERT_EQ(behind.Count(), eager.Count());
    behind.FinishPictures();
    EXPECT_EQ(Messages.size(), 1u);
    ExpectSameItem(*eager.Items(0), *behind.Items(0));
}

}  // namespace
