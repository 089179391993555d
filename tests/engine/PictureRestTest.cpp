// Big pictures that rest: a picture not drawn for a while gives up its texels and device
// texture, and its first use after that (drawing, the sprite engine's texel test) decodes it
// again from the bytes its image list stored, to the same texels and the same pixels on screen.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PixelCompare.h"
#include "common/PngEncode.h"
#include "common/VilWriter.h"
#include "engine/ImageList.h"
#include "engine/KerbScreen.h"
#include "engine/KerbSprite.h"

namespace {

// 256 x 256 texels make exactly TImageListItem::RestMinBytes: the smallest picture that rests.
constexpr int32_t Big = 256;

TVilItem VilItem(const std::string& name, const TPicture& picture, bool keyed = false) {
    TVilItem item;
    item.Name = name;
    item.Png = EncodePng(picture.Width, picture.Height, picture.Pixels.data());
    item.Transparent = keyed;
    item.TransparentColor = 0xFF00FF;  // magenta
    return item;
}

// A gradient with a magenta (keyed) square in its corner.
TPicture KeyedGradient(int32_t w, int32_t h) {
    TPicture p = GradientPicture(w, h);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x) p.Pixels[static_cast<size_t>(y * w + x)] = 0xFFFF00FFu;
    return p;
}

std::vector<uint32_t> TexelsOf(const TImageListItem& item) {
    const TKerbTexture& t = *item.Texture;
    return {t.Data(), t.Data() + t.TexelCount()};
}

class PictureRestTest : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        const std::vector<uint8_t> vil =
            WriteVil({VilItem("big", KeyedGradient(Big, Big), true),
                      VilItem("wide", GradientPicture(Big * 2, Big / 2)),
                      VilItem("small", GradientPicture(64, 64))});
        ASSERT_TRUE(List->ImageList.LoadFromStream(vil));
        List->Initialize();
        BigItem = List->Find("big");
        Wide = List->Find("wide");
        Small = List->Find("small");
        ASSERT_TRUE(BigItem && Wide && Small);
        Screen->RestAfterFrames = 2 * TKerbScreen::PreparedSweepFrames;
    }

    // One frame drawing the given pictures.
    void Frame(const std::vector<TImageListItem*>& drawn) {
        ASSERT_TRUE(Screen->BeginScene());
        Screen->Clear(0, 0, 0, 255);
        for (TImageListItem* item : drawn) item->Draw(10, 10, 0);
        Screen->EndScene();
    }

    TImage DrawnAlone(TImageListItem& item) {
        EXPECT_TRUE(Screen->BeginScene());
        Screen->Clear(0, 0, 0, 255);
        item.DrawColor(20, 30, 0.3f, 0.5f, 0.5f, 1, 1, 0xFFFFFFFFu, false, false, 0, 0);
        TImage image = ScreenFixture::Frame();
        Screen->EndScene();
        return image;
    }

    TImageListItem* BigItem = nullptr;
    TImageListItem* Wide = nullptr;
    TImageListItem* Small = nullptr;
};

TEST_F(PictureRestTest, OnlyBigPicturesFromTheListKeepTheirStoredBytes) {
    EXPECT_FALSE(BigItem->Stored.empty());
    EXPECT_FALSE(Wide->Stored.empty());
    EXPECT_TRUE(Small->Stored.empty());
    EXPECT_FALSE(Small->CanRest());
    EXPECT_EQ(Screen->PictureMemory().Stored, BigItem->Stored.size() + Wide->Stored.size());
    // The stored bytes decode to the picture the list was read from.
    TPicture decoded;
    ASSERT_TRUE(DecodeStoredPicture(BigItem->Stored, decoded));
    EXPECT_EQ(decoded.Pixels, KeyedGradient(Big, Big).Pixels);
    for (const std::string& bad : {std::string(), std::string("\x0ATPNGObject", 11),
                                   std::string("\x07TBitmap\x05\x00\x00\x00"
                                               "BMxyz",
                                               17),
                                   BigItem->Stored.substr(0, BigItem->Stored.size() / 2)})
        EXPECT_FALSE(DecodeStoredPicture(bad, decoded)) << bad.size();
}

TEST_F(PictureRestTest, APictureNotDrawnRestsAndComesBackWithTheSameTexelsAndPixels) {
    const std::vector<uint32_t> texels = TexelsOf(*BigItem);
    EXPECT_EQ(texels[0], 0u) << "the colour key applies";
    const TImage before = DrawnAlone(*BigItem);
    const size_t awake = Screen->PictureMemory().Texels;
    // Drawn every frame, "wide" stays awake; "big" rests once it has not been drawn for
    // RestAfterFrames, at the next sweep.
    int32_t frames = 0;
    while (!BigItem->Rested && frames < 2000) {
        Frame({Wide, Small});
        ++frames;
    }
    ASSERT_TRUE(BigItem->Rested);
    EXPECT_GE(frames, Screen->RestAfterFrames - 1);
    EXPECT_LE(frames, Screen->RestAfterFrames + TKerbScreen::PreparedSweepFrames);
    EXPECT_FALSE(Wide->Rested);
    EXPECT_FALSE(BigItem->Texture->HasTexels());
    EXPECT_EQ(BigItem->Texture->Handle, nullptr);
    EXPECT_EQ(Screen->PictureMemory().Texels, awake - texels.size() * sizeof(uint32_t));
    // Drawn again: awake, the same texels, the same pixels on screen.
    const TImage after = DrawnAlone(*BigItem);
    EXPECT_FALSE(BigItem->Rested);
    ASSERT_TRUE(BigItem->Texture->HasTexels());
    EXPECT_EQ(TexelsOf(*BigItem), texels);
    EXPECT_EQ(after.Pixels, before.Pixels);
    EXPECT_EQ(Screen->PictureMemory().Texels, awake);
}

TEST_F(PictureRestTest, AListThatMayNotRestKeepsItsPicturesAndRestAllWakeAllActAtOnce) {
    List->MayRest = false;
    for (int32_t i = 0; i < 3 * Screen->RestAfterFrames; ++i) Frame({Small});
    EXPECT_FALSE(BigItem->Rested);
    EXPECT_FALSE(Wide->Rested);
    List->RestAll();
    EXPECT_TRUE(BigItem->Rested);
    EXPECT_TRUE(Wide->Rested);
    EXPECT_FALSE(Small->Rested);
    const size_t small = static_cast<size_t>(64 * 64) * sizeof(uint32_t);
    EXPECT_EQ(Screen->PictureMemory().Texels, small);
    List->WakeAll();
    EXPECT_FALSE(BigItem->Rested);
    EXPECT_FALSE(Wide->Rested);
    EXPECT_NE(BigItem->Texture->Handle, nullptr);
    EXPECT_EQ(Screen->PictureMemory().Texels,
              small + static_cast<size_t>(Big * Big + Big * Big) * sizeof(uint32_t));
}

TEST_F(PictureRestTest, ALostDeviceLeavesARestingPictureRestingUntilItIsDrawn) {
    const TImage before = DrawnAlone(*Wide);
    List->RestAll();
    Screen->HandleRenderReset();
    EXPECT_FALSE(Screen->Fatal());
    EXPECT_TRUE(Wide->Rested);
    EXPECT_NE(Small->Texture->Handle, nullptr);
    EXPECT_EQ(DrawnAlone(*Wide).Pixels, before.Pixels);
    EXPECT_FALSE(Wide->Rested);
}

// The texel test reads the texels: a resting picture is woken for it and collides as before.
TEST_F(PictureRestTest, TheTexelTestWakesARestingPictureAndHitsAsBefore) {
    TKerbSprite engine;
    struct THitSprite : TSprite {
        using TSprite::TSprite;
        void OnCollision(TSprite&, int32_t x, int32_t y) override { Hits.push_back({x, y}); }
        std::vector<std::pair<int32_t, int32_t>> Hits;
    };
    THitSprite keyed(&engine), solid(&engine);
    for (THitSprite* s : {&keyed, &solid}) s->CanCollide = s->PixelCheck = true;
    keyed.SetImage(BigItem);
    solid.SetImage(Small);
    // The small picture covers the keyed corner and a little beyond it.
    solid.SetX(-50);
    solid.SetY(-50);
    keyed.Collision(solid);
    ASSERT_EQ(keyed.Hits.size(), 1u);
    const auto awakeHit = keyed.Hits[0];
    keyed.Hits.clear();
    List->RestAll();
    ASSERT_TRUE(BigItem->Rested);
    keyed.Collision(solid);
    EXPECT_FALSE(BigItem->Rested);
    ASSERT_EQ(keyed.Hits.size(), 1u);
    EXPECT_EQ(keyed.Hits[0], awakeHit);
}

}  // namespace
