// Test helpers for drawing: a screen on SDL's dummy video driver with the software renderer
// (ScreenFixture), pictures made in code, pictures as ARGB arrays, a comparison with a per-channel
// tolerance and a limit on the share of differing pixels (writing a diff image when it fails), and
// a reference rasteriser that draws one single-coloured quad the slow, obvious way: every pixel
// whose centre lies inside the quad takes the nearest texel, modulated, alpha-blended.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ImageList.h"
#include "engine/KerbRenderer.h"
#include "engine/KerbScreen.h"
#include "platform/Window.h"

struct TImage {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;

    TImage() = default;
    TImage(int32_t w, int32_t h, uint32_t fill = 0xFF000000u)
        : Width(w), Height(h), Pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
    uint32_t At(int32_t x, int32_t y) const {
        return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
    uint32_t& At(int32_t x, int32_t y) {
        return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
    }
    // The rectangle (x, y, w, h) of this image.
    TImage Crop(int32_t x, int32_t y, int32_t w, int32_t h) const;
};

struct TCompareResult {
    bool Match = false;
    int64_t Differing = 0;
    int32_t WorstDelta = 0;
    std::string Message;
};

// Red, green and blue are compared (the target's alpha carries nothing). A pixel differs when
// a channel is more than tolerance apart; the images match when at most maxShare of the
// pixels differ. On a mismatch actual | expected | difference is saved as <name>.bmp in the
// test's temporary folder and named in Message.
TCompareResult CompareImages(const TImage& actual, const TImage& expected, int32_t tolerance,
                             double maxShare, const std::string& name);
// The same, where a pixel matches when it is close to the pixel of any of the alternatives
// (pictures of the same quad sampled a hair to either side of texel edges: where a pixel
// centre falls exactly on an edge, either texel is right).
TCompareResult CompareImages(const TImage& actual, const std::vector<TImage>& alternatives,
                             int32_t tolerance, double maxShare, const std::string& name);

// Draws quad (corners in pixel-centre coordinates, as the renderer receives them) textured
// with texture (whose size the texture coordinates refer to) into target. All corners must
// have the same colour; the quad must be a parallelogram.
// The pixel is sampled at its centre moved by (shiftX, shiftY) pixels.
void ReferenceQuad(TImage& target, const TImage& texture, const TQuad& quad, double shiftX = 0,
                   double shiftY = 0);

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b);

// A picture whose every pixel differs: red grows to the right, green downwards.
inline TPicture GradientPicture(int32_t w, int32_t h, uint32_t alpha = 255) {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = w;
    p.Height = h;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            p.Pixels.push_back(Argb(alpha, static_cast<uint32_t>(x * 255 / std::max(1, w - 1)),
                                    static_cast<uint32_t>(y * 255 / std::max(1, h - 1)), 200));
    return p;
}

inline TPicture SolidPicture(int32_t w, int32_t h, uint32_t argb) {
    TPicture p;
    p.Format = TPicture::TFormat::Png;
    p.Width = w;
    p.Height = h;
    p.Pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), argb);
    return p;
}

// Makes the next window use this SDL video driver, whatever the environment says (empty:
// back to the environment's).
void UseVideoDriver(const std::string& driver);

class ScreenFixture : public ::testing::Test {
protected:
    // The dummy driver with the software renderer unless a test asks for another driver
    // (and then the accelerated renderer, when there is one).
    std::string VideoDriver;

    void SetUp() override {
        UseVideoDriver(VideoDriver);
        ASSERT_TRUE(Window.Create("screen test", 800, 600)) << Window.Error();
        Screen = std::make_unique<TKerbScreen>(&Window);
        Screen->RenderMode =
            VideoDriver.empty() ? TRenderMode::rmSoftware : TRenderMode::rmHardware;
        Screen->ShowMouseCursor = false;
        ASSERT_TRUE(Screen->Initialize());
        ASSERT_TRUE(Screen->HasDevice());
        List = std::make_unique<TKerbImageList>();
        List->KerbScreen = Screen.get();
    }
    void TearDown() override {
        List.reset();
        Screen.reset();
        Window.Destroy();
        UseVideoDriver("");
    }

    TImageListItem& AddItem(const std::string& name, TPicture picture, int32_t tileW = 0,
                            int32_t tileH = 0) {
        TImageListItem& item = List->ImageList.Add();
        item.Name = name;
        item.SetPicture(std::move(picture));
        if (tileW > 0) item.SetTileWidth(tileW);
        if (tileH > 0) item.SetTileHeight(tileH);
        return item;
    }

    TImage Frame() {
        TImage out;
        std::vector<uint32_t> pixels;
        int32_t w = 0, h = 0;
        EXPECT_TRUE(Screen->ReadPixels(pixels, w, h));
        out.Width = w;
        out.Height = h;
        out.Pixels = std::move(pixels);
        return out;
    }

    TPlatformWindow Window;
    std::unique_ptr<TKerbScreen> Screen;
    std::unique_ptr<TKerbImageList> List;
};
