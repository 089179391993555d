// The screen's settings, blend state, global transform, life cycle (headless, fatal start,
// reset, who dies first) and the making of image-list textures.
#include <SDL.h>

#include <filesystem>
#include <fstream>

#include "PixelCompare.h"
#include "common/PngEncode.h"
#include "engine/BlendModes.h"
#include "engine/KerbFont.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"

namespace {
// Collects every message box while alive.
class TMessageCatcher {
public:
    TMessageCatcher() {
        Old = SetMessageHandler([this](const TMessage& m) { Messages.push_back(m); });
    }
    ~TMessageCatcher() { SetMessageHandler(Old); }
    std::vector<TMessage> Messages;

private:
    TMessageHandler Old;
};

TEST(ScreenSettings, SettersKeepOnlyValidValues) {
    TKerbScreen screen(nullptr);
    const struct { int32_t In, Out; } bpp[] = {{32, 32}, {16, 16}, {24, 16}, {0, 16}, {-32, 16}};
    for (const auto& c : bpp) {
        screen.SetBpp(c.In);
        EXPECT_EQ(screen.Bpp(), c.Out) << c.In;
    }
    const struct {
        uint32_t In, Out;
    } frequency[] = {{60, 60}, {65, 0}, {240, 240}, {241, 0}, {0, 0}, {56, 56}, {144, 144}};
    for (const auto& c : frequency) {
        screen.SetFrequency(c.In);
        EXPECT_EQ(screen.Frequency(), c.Out) << c.In;
    }
    const struct { int32_t In, Out; } backBuffers[] = {{0, 1}, {-3, 1}, {2, 2}};
    for (const auto& c : backBuffers) {
        screen.SetBBCount(c.In);
        EXPECT_EQ(screen.BBCount(), c.Out) << c.In;
    }
}

TEST(ScreenSettings, FullScreenTakesOnlyTheClassicSizes) {
    TKerbScreen screen(nullptr);
    const struct {
        int32_t W, H, OutW, OutH;
    } cases[] = {{700, 500, 800, 600},
                 {1024, 768, 1024, 768},
                 {640, 400, 640, 400},
                 {1280, 1024, 1280, 1024},
                 {800, 601, 800, 600}};
    for (const auto& c : cases) {
        screen.Width = c.W;
        screen.Height = c.H;
        int32_t w = 0, h = 0;
        screen.FullScreenSize(w, h);
        EXPECT_EQ(w, c.OutW) << c.W << "x" << c.H;
        EXPECT_EQ(h, c.OutH) << c.W << "x" << c.H;
    }
}

TEST(ScreenSettings, SetColorReadsBothColourForms) {
    TKerbScreen screen(nullptr);
    const struct {
        uint32_t In, Argb;
    } cases[] = {
        {0x000000FFu, 0xFFFF0000u},  // 0x00BBGGRR red: opaque, red and blue swapped
        {0x00123456u, 0xFF563412u},
        {0x80112233u, 0x80112233u},  // ARGB already
        {0xFFFFFFFFu, 0xFFFFFFFFu},  // -1: opaque white
    };
    for (const auto& c : cases) {
        screen.SetColor(c.In);
        EXPECT_EQ(screen.Color(), c.Argb) << std::hex << c.In;
    }
}

TEST(ScreenTransform, TintScalesEveryChannelByTintOver256) {
    TKerbScreen screen(nullptr);
    TQuad quad;
    for (TQuadCorner& c : quad) c.Color = 0xFFFF8001u;
    const struct {
        uint8_t A, R, G, B;
        uint32_t Out;
    } cases[] = {
        {255, 255, 255, 255, 0xFEFE7F00u},  // a tint of 255 still darkens 255 to 254
        {128, 255, 0, 0, 0x7FFE0000u},
        {0, 0, 0, 0, 0x00000000u},
        {255, 128, 128, 128, 0xFE7F4000u},
    };
    for (const auto& c : cases) {
        screen.Alpha = c.A;
        screen.Red = c.R;
        screen.Green = c.G;
        screen.Blue = c.B;
        const TQuad out = ApplyScreenTransform(screen, quad);
        for (const TQuadCorner& corner : out) EXPECT_EQ(corner.Color, c.Out) << std::hex << c.Out;
    }
}

TEST(ScreenTransform, PositionsAreScaledTurnedAndMoved) {
    TKerbScreen screen(nullptr);
    screen.CenterX = 400;
    screen.CenterY = 300;
    TQuad quad;
    quad[0].X = 410.25f;
    quad[0].Y = 300;
    const struct {
        float ScaleX, ScaleY, Rotation;
        int32_t OffsetX, OffsetY;
        float X, Y;
    } cases[] = {
        {1, 1, 0, 0, 0, 410.25f, 300},  // the game's settings: exactly unchanged
        {2, 1, 0, 0, 0, 420.5f, 300},   {1, 1, 90, 0, 0, 400, 310.25f},
        {1, 1, 0, 5, -7, 415.25f, 293}, {2, 3, 90, 1, 1, 401, 321.5f},
    };
    for (const auto& c : cases) {
        screen.ScaleX = c.ScaleX;
        screen.ScaleY = c.ScaleY;
        screen.Rotation = c.Rotation;
        screen.OffsetX = c.OffsetX;
        screen.OffsetY = c.OffsetY;
        const TQuad out = ApplyScreenTransform(screen, quad);
        EXPECT_NEAR(out[0].X, c.X, 1e-4) << c.ScaleX << " " << c.Rotation;
        EXPECT_NEAR(out[0].Y, c.Y, 1e-4) << c.ScaleX << " " << c.Rotation;
    }
}

TEST(ScreenBlend, RepeatedOrKeptModesChangeNothing) {
    TKerbScreen screen(nullptr);
    screen.SetBlendMode(5);
    screen.SetBlendMode(5);
    EXPECT_EQ(screen.BlendChanges(), 1);
    screen.SetBlendMode(-1);
    EXPECT_EQ(screen.BlendMode(), 5);
    EXPECT_EQ(screen.BlendChanges(), 1);
    EXPECT_EQ(screen.CurrentBlend(), BlendStateForMode(5));
    // Unknown numbers blend like mode 0 but are remembered as they are.
    screen.SetBlendMode(99);
    EXPECT_EQ(screen.BlendMode(), 99);
    EXPECT_EQ(screen.CurrentBlend(), BlendStateForMode(0));
}

TEST(ScreenBlend, AdditiveHoldsForOneQuadAndKeepsTheMode) {
    TKerbScreen screen(nullptr);
    screen.SetBlendMode(0);
    screen.SetAdditive(true);
    EXPECT_EQ(screen.CurrentBlend().Dst, TBlendFactor::One);
    EXPECT_EQ(screen.CurrentBlend().Src, TBlendFactor::SrcAlpha);
    EXPECT_EQ(screen.BlendMode(), 0);
    TKerbTexture texture;
    screen.DrawQuad(texture, TQuad{});
    EXPECT_EQ(screen.CurrentBlend(), BlendStateForMode(0));
    // A mode change in between overrides the additive factor, as a full mode set does.
    screen.SetAdditive(true);
    screen.SetBlendMode(5);
    EXPECT_EQ(screen.CurrentBlend(), BlendStateForMode(5));
}

TEST(BlendModes, EachModeMapsToAnExactOrNearestStandardModeOrToNone) {
    using S = TStandardBlend;
    const struct {
        int32_t Mode;
        bool Exact;
        bool StandIn;  // a standard mode of the same kind exists
        S Standard;
    } cases[] = {
        {0, true, true, S::Blend},   {1, false, true, S::Add},     {2, true, true, S::Add},
        {3, false, true, S::Blend},  {4, false, true, S::Add},     {5, true, true, S::Mod},
        {6, false, true, S::Mod},    {7, false, false, S::Blend},  {8, false, false, S::Blend},
        {9, false, false, S::Blend}, {10, false, true, S::Blend},  {11, false, true, S::Mul},
        {12, false, true, S::Blend}, {13, false, false, S::Blend}, {-5, true, true, S::Blend},
        {14, true, true, S::Blend},
    };
    for (const auto& c : cases) {
        const TBlendState state = BlendStateForMode(c.Mode);
        S exact;
        EXPECT_EQ(ExactStandardBlend(state, exact), c.Exact) << c.Mode;
        S nearest = S::Blend;
        EXPECT_EQ(NearestStandardBlend(state, nearest), c.StandIn) << c.Mode;
        if (c.StandIn) {
            EXPECT_EQ(nearest, c.Standard) << c.Mode;
        }
    }
}

TEST(ScreenLifecycle, WithoutAWindowEverythingIsANoOp) {
    TKerbScreen screen(nullptr);
    EXPECT_TRUE(screen.Initialize());
    EXPECT_FALSE(screen.HasDevice());
    EXPECT_FALSE(screen.Fatal());
    screen.Clear(1, 2, 3, 4);
    EXPECT_FALSE(screen.BeginScene());
    screen.EndScene();
    EXPECT_FALSE(screen.ToggleFullScreen());
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    EXPECT_FALSE(screen.ReadPixels(pixels, w, h));
    TKerbImageList list;
    list.KerbScreen = &screen;
    TImageListItem& item = list.ImageList.Add();
    item.SetPicture(SolidPicture(4, 4, 0xFFFFFFFFu));
    list.Initialize();
    EXPECT_EQ(list.Renderer->Screen, &screen);
    EXPECT_FALSE(item.Texture);
    item.Draw(0, 0, 0);
    screen.HandleRenderReset();
}

TEST(ScreenLifecycle, AWindowWithoutAHandleIsFatal) {
    TMessageCatcher catcher;
    TPlatformWindow never;  // not created
    TKerbScreen screen(&never);
    EXPECT_FALSE(screen.Initialize());
    EXPECT_TRUE(screen.Fatal());
    ASSERT_EQ(catcher.Messages.size(), 2u);
    EXPECT_EQ(catcher.Messages[0].Caption, "Error");
    EXPECT_EQ(catcher.Messages[0].Text.rfind("Could not initialize SDL. You may\n", 0), 0u);
    EXPECT_EQ(catcher.Messages[0].Buttons, TMsgButtons::OkCancel);
    EXPECT_EQ(catcher.Messages[1].Text, "This application will now exit.");
}

TEST(ScreenLifecycle, OffscreenTargetDrawsWithoutAWindow) {
    TKerbScreen screen(TOffscreenTarget{64, 32});
    ASSERT_TRUE(screen.Initialize());
    EXPECT_TRUE(screen.IsSoftware());
    TKerbImageList list;
    list.KerbScreen = &screen;
    TImageListItem& item = list.ImageList.Add();
    item.SetPicture(SolidPicture(8, 8, 0xFF00FF00u));
    list.Initialize();
    screen.Clear(0, 0, 0, 255);
    ASSERT_TRUE(screen.BeginScene());
    item.Draw(60, 28, 0);  // partly outside: clipped
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(screen.ReadPixels(pixels, w, h));
    screen.EndScene();
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 32);
    // Green at 255 * 254/256, blended with alpha 254/255 over black.
    EXPECT_NEAR(static_cast<int>((pixels[static_cast<size_t>(30 * 64 + 62)] >> 8) & 0xFF), 253, 1);
    EXPECT_EQ(pixels[static_cast<size_t>(30 * 64 + 58)] & 0xFFFFFFu, 0u);
}

class ScreenTest : public ScreenFixture {};

TEST_F(ScreenTest, TexturesFollowThePictureTilesAtThePictureSize) {
    TImageListItem& item = AddItem("grid", GradientPicture(100, 60), 20, 20);
    TImageListItem& whole = AddItem("whole", GradientPicture(3, 1));
    whole.TileWidth = 0;
    whole.TileHeight = -4;
    TImageListItem& empty = List->ImageList.Add();
    List->Initialize();
    ASSERT_TRUE(item.Texture);
    // The picture's own size: no padding to powers of two.
    EXPECT_EQ(item.TextureWidth, 100);
    EXPECT_EQ(item.TextureHeight, 60);
    EXPECT_EQ(item.PatternColumns, 5);
    EXPECT_EQ(item.PatternRows, 3);
    EXPECT_EQ(item.Renderer, List->Renderer.get());
    EXPECT_EQ(item.Device, Screen.get());
    ASSERT_TRUE(whole.Texture);
    EXPECT_EQ(whole.TileWidth, 3);
    EXPECT_EQ(whole.TileHeight, 1);
    EXPECT_EQ(whole.TextureWidth, 3);
    EXPECT_EQ(whole.TextureHeight, 2);  // at least 2
    EXPECT_EQ(whole.PatternCount(), 1);
    EXPECT_FALSE(empty.Texture);
    EXPECT_EQ(empty.Renderer, nullptr);
    // The texels outside the picture are clear.
    EXPECT_EQ(item.Texture->TexelAt(110, 10), 0u);
    EXPECT_NE(item.Texture->TexelAt(99, 59), 0u);
}

// The software renderer has no custom blending. Erasing (7, 8) and inverting (9) used to fall
// back to modulating and copying, which draw the picture instead of erasing or inverting.
TEST_F(ScreenTest, ABlendModeThatCannotBeHadIsLeftOutOnceReported) {
    if (!Screen->IsSoftware()) GTEST_SKIP() << "this renderer blends every mode";
    TImageListItem& item = AddItem("red", SolidPicture(8, 8, 0xFFFF0000u));
    List->Initialize();
    testing::internal::CaptureStderr();
    Screen->Clear(100, 100, 100, 255);
    ASSERT_TRUE(Screen->BeginScene());
    for (int32_t mode : {7, 8, 9, 9, 8})
        item.DrawColor(10, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, false, false, 0, mode);
    item.DrawColor(30, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, false, false, 0, 2);  // additive: has one
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(Screen->ReadPixels(pixels, w, h));
    Screen->EndScene();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(pixels[static_cast<size_t>(12 * w + 12)] & 0xFFFFFFu, 0x646464u);  // untouched
    const uint32_t added = pixels[static_cast<size_t>(12 * w + 32)];
    EXPECT_GE((added >> 16) & 0xFF, 0xF0u);
    EXPECT_EQ(added & 0xFFFFu, 0x6464u);
    EXPECT_EQ(Screen->Stats().Skipped, 5);
    // One message for each factor pair, not one per quad.
    size_t reports = 0;
    for (size_t at = log.find("left out"); at != std::string::npos;
         at = log.find("left out", at + 1))
        ++reports;
    EXPECT_EQ(reports, 3u) << log;
}

TEST_F(ScreenTest, SystemColourKeysResolveToTheirDefaults) {
    TPicture picture = SolidPicture(2, 1, 0xFFC0C0C0u);  // button face grey
    picture.Pixels[1] = 0xFF808080u;
    TImageListItem& item = AddItem("grey", picture);
    item.Transparent = true;
    item.TransparentColor = 0x8000000Fu;  // the button face colour
    List->Initialize();
    ASSERT_TRUE(item.Texture);
    EXPECT_EQ(item.Texture->TexelAt(0, 0), 0u);
    EXPECT_EQ(item.Texture->TexelAt(1, 0), 0xFF808080u);
}

TEST_F(ScreenTest, AnOversizedPictureIsReportedAndEndsTheGame) {
    TMessageCatcher catcher;
    TImageListItem& item = AddItem("huge", SolidPicture(5000, 1, 0xFFFFFFFFu));
    List->Initialize();
    EXPECT_FALSE(item.Texture);
    EXPECT_EQ(item.Renderer, nullptr);
    EXPECT_TRUE(Screen->Fatal());
    ASSERT_EQ(catcher.Messages.size(), 1u);
    EXPECT_EQ(catcher.Messages[0].Text, "Error creating texture huge");
    EXPECT_EQ(catcher.Messages[0].Caption, "Error");
}

TEST_F(ScreenTest, FilepathReplacesThePictureAndIsDroppedAfterwards) {
    const std::filesystem::path dir =
        std::filesystem::path(::testing::TempDir()) / "velkaro_filepath";
    std::filesystem::create_directories(dir / "pics");
    const std::vector<uint32_t> pixels(6 * 4, 0xFF0000FFu);
    const std::vector<uint8_t> png = EncodePng(6, 4, pixels.data());
    ASSERT_FALSE(png.empty());
    std::ofstream(dir / "pics" / "blue.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    std::ofstream(dir / "pics" / "broken.png", std::ios::binary) << "not a picture";
    const std::string oldDir = ProgramDir();
    SetProgramDir(dir.string());
    struct {
        const char* Filepath;
        bool Loaded;
    } cases[] = {
        {"  pics\\blue.png ", true}, {"pics/missing.png", false}, {"pics\\broken.png", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Filepath);
        List->ImageList.Clear();
        TImageListItem& item = AddItem("own", SolidPicture(2, 2, 0xFFFF0000u));
        item.Filepath = c.Filepath;
        List->Initialize();
        ASSERT_TRUE(item.Texture);
        EXPECT_EQ(item.ImageWidth, c.Loaded ? 6 : 2);
        EXPECT_EQ(item.Texture->TexelAt(0, 0), c.Loaded ? 0xFF0000FFu : 0xFFFF0000u);
        // The texels are kept; the picture itself is not.
        EXPECT_TRUE(item.Picture.Empty());
    }
    SetProgramDir(oldDir);
}

TEST_F(ScreenTest, ResetRemakesTexturesAndKeepsBlendAndFilter) {
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16));
    List->Initialize();
    Screen->SetTextureFilter(true);
    std::vector<std::string> order;
    const int32_t hooks = Screen->AddDeviceHooks(
        [&] {
            // The image lists come back before the hooks run.
            order.push_back(item.Texture && item.Texture->Handle != nullptr ? "init+tex"
                                                                            : "init-tex");
        },
        [&] {
            order.push_back(item.Texture && item.Texture->Handle != nullptr ? "uninit+tex"
                                                                            : "uninit-tex");
        });
    const auto draw = [&] {
        Screen->Clear(0, 0, 0, 255);
        Screen->BeginScene();
        item.DrawColor(10, 10, 0, 0, 0, 1, 1, 0xFFFFFFFFu, false, false, 0, 5);
        item.Draw(40, 10, 0);
        TImage frame = Frame();
        Screen->EndScene();
        return frame.Crop(0, 0, 64, 32);
    };
    // Drawn scaled once: filtered linearly from then on, also after a reset.
    Screen->BeginScene();
    item.DrawColor(10, 40, 0, 0, 0, 2, 2, 0xFFFFFFFFu, false, false, 0, 0);
    Screen->EndScene();
    const TImage before = draw();
    Screen->SetBlendMode(5);
    Screen->HandleRenderReset();
    EXPECT_EQ(order, (std::vector<std::string>{"uninit+tex", "init+tex"}));
    ASSERT_TRUE(item.Texture);
    ASSERT_NE(item.Texture->Handle, nullptr);
    EXPECT_EQ(item.Renderer, List->Renderer.get());
    EXPECT_EQ(Screen->BlendMode(), 5);
    SDL_ScaleMode mode = SDL_ScaleModeNearest;
    ASSERT_EQ(SDL_GetTextureScaleMode(item.Texture->Handle, &mode), 0);
    EXPECT_EQ(mode, SDL_ScaleModeLinear);
    const TCompareResult r = CompareImages(draw(), before, 0, 0, "after_reset");
    EXPECT_TRUE(r.Match) << r.Message;
    Screen->RemoveDeviceHooks(hooks);
    Screen->HandleRenderReset();
    EXPECT_EQ(order.size(), 2u);
}

TEST_F(ScreenTest, ResetDropsTheKeptCopiesAndDrawingMakesThemAgain) {
    // On the software renderer the screen keeps texels with the colour applied and turned
    // pictures; a reset drops them with the device textures and the next frames make them
    // again, drawing the same pixels.
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16, 200));
    List->Initialize();
    const auto draw = [&] {
        Screen->Clear(10, 20, 30, 255);
        Screen->BeginScene();
        item.Draw(20, 20, 0);
        item.DrawColor(100, 100, 30, 0.5f, 0.5f, 1, 1, 0xFFFFFFFFu, false, false, 0, 0);
        TImage frame = Frame();
        Screen->EndScene();
        return frame;
    };
    // Kept on the second frame: the first sighting is turned and blended, not kept.
    const auto threeFrames = [&] {
        Screen->ResetStats();
        draw();
        draw();
        const TImage last = draw();
        EXPECT_EQ(Screen->Stats().TurnsMade, 1);
        EXPECT_EQ(Screen->Stats().OwnTurns, 2);
        EXPECT_EQ(Screen->Stats().OwnTurnedBlends, 3);
        EXPECT_TRUE(item.Texture->Prepared.Ready());
        EXPECT_EQ(Screen->TurnedPictures().Count(), 1u);
        return last;
    };
    const TImage before = threeFrames();
    const uint64_t serial = item.Texture->Serial;
    Screen->HandleRenderReset();
    EXPECT_FALSE(item.Texture->Prepared.Ready());
    EXPECT_EQ(Screen->TurnedPictures().Count(), 0u);
    EXPECT_EQ(Screen->TurnedPictures().PixelCount(), 0u);
    EXPECT_NE(item.Texture->Serial, serial);
    const TImage after = threeFrames();
    EXPECT_EQ(after.Pixels, before.Pixels);
}

TEST_F(ScreenTest, TurnedPicturesGoSoonAfterTheyAreNoLongerDrawn) {
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16));
    List->Initialize();
    const auto frame = [&](bool drawIt) {
        Screen->BeginScene();
        if (drawIt) item.DrawColor(100, 100, 30, 0.5f, 0.5f, 1, 1, ~0u, false, false, 0, 0);
        Screen->EndScene();
    };
    frame(true);
    frame(true);
    ASSERT_EQ(Screen->TurnedPictures().Count(), 1u);
    ASSERT_GT(Screen->TurnedPictures().PixelCount(), 0u);
    int32_t kept = 0;
    while (Screen->TurnedPictures().Count() > 0 && kept < 1000) {
        frame(false);
        ++kept;
    }
    EXPECT_GE(kept, TTurnCache::KeepFrames);
    EXPECT_LE(kept, TTurnCache::KeepFrames + 16);
    EXPECT_EQ(Screen->TurnedPictures().PixelCount(), 0u);
    // A texture that goes takes its pictures' key with it: a new texture never finds them.
    frame(true);
    frame(true);
    ASSERT_EQ(Screen->TurnedPictures().Count(), 1u);
    List->ImageList.Clear();
    TImageListItem& other = AddItem("other", GradientPicture(16, 16, 100));
    List->Initialize();
    EXPECT_NE(other.Texture->Serial, 0u);
    Screen->ResetStats();
    Screen->BeginScene();
    other.DrawColor(100, 100, 30, 0.5f, 0.5f, 1, 1, ~0u, false, false, 0, 0);
    Screen->EndScene();
    EXPECT_EQ(Screen->Stats().OwnTurns, 1);
    EXPECT_EQ(Screen->Stats().TurnsMade, 0);
}

TEST_F(ScreenTest, KeptPicturesHoldOneCopyAndADifferentColourMakesThemAgain) {
    TImageListItem& item = AddItem("gradient", GradientPicture(16, 16, 200));
    List->Initialize();
    const auto frame = [&](uint32_t color) {
        Screen->BeginScene();
        item.DrawColor(100, 100, 30, 0.5f, 0.5f, 1, 1, color, false, false, 0, 0);
        Screen->EndScene();
    };
    const TTurnCache& kept = Screen->TurnedPictures();
    frame(0xFEFEFEFEu);
    frame(0xFEFEFEFEu);
    ASSERT_EQ(kept.Count(), 1u);
    const size_t pixels = kept.PixelCount();
    const size_t bytes = kept.Bytes();
    ASSERT_GT(pixels, 0u);
    // The colour came twice running: the pixels are prepared where they are, not beside them.
    for (int32_t i = 0; i < 3; ++i) frame(0xFEFEFEFEu);
    EXPECT_EQ(kept.PixelCount(), pixels);
    EXPECT_EQ(kept.Bytes(), bytes);
    // Prepared pixels cannot serve another colour: SDL draws it, the picture goes and comes
    // back raw on the next sighting.
    Screen->ResetStats();
    frame(0xFF80C040u);
    EXPECT_EQ(Screen->Stats().OwnTurnedBlends, 0);
    EXPECT_EQ(kept.PixelCount(), 0u);
    frame(0xFF80C040u);
    EXPECT_EQ(Screen->Stats().OwnTurnedBlends, 1);
    EXPECT_EQ(Screen->Stats().TurnsMade, 1);
    EXPECT_EQ(kept.PixelCount(), pixels);
}

TEST_F(ScreenTest, PreparedTexelsGoSoonAfterTheirPictureIsNoLongerDrawn) {
    TImageListItem& gone = AddItem("gone", GradientPicture(16, 16, 200));
    TImageListItem& stays = AddItem("stays", GradientPicture(16, 16, 100));
    List->Initialize();
    const auto frame = [&](bool drawGone) {
        Screen->BeginScene();
        if (drawGone) gone.DrawColor(10, 10, 0, 0, 0, 1, 1, 0xFEFEFEFEu, false, false, 0, 0);
        stays.DrawColor(50, 10, 0, 0, 0, 1, 1, 0xFEFEFEFEu, false, false, 0, 0);
        Screen->EndScene();
    };
    frame(true);
    frame(true);
    ASSERT_TRUE(gone.Texture->Prepared.Ready());
    ASSERT_TRUE(stays.Texture->Prepared.Ready());
    int32_t frames = 0;
    while (gone.Texture->Prepared.Ready() && frames < 1000) {
        frame(false);
        ++frames;
    }
    EXPECT_GE(frames, TKerbScreen::PreparedSweepFrames);
    EXPECT_LE(frames, 2 * TKerbScreen::PreparedSweepFrames + 1);
    EXPECT_TRUE(stays.Texture->Prepared.Ready());
    EXPECT_EQ(stays.Texture->Prepared.Bytes(), 16u * 16u * 4u);
}

TEST_F(ScreenTest, TheFilterIsLinearOnlyForTexturesDrawnTurnedOrScaled) {
    TImageListItem& upright = AddItem("upright", GradientPicture(4, 4));
    TImageListItem& turned = AddItem("turned", GradientPicture(4, 4));
    TImageListItem& scaled = AddItem("scaled", GradientPicture(4, 4));
    List->Initialize();
    Screen->SetTextureFilter(true);
    const auto mode = [](const TImageListItem& item) {
        SDL_ScaleMode m = SDL_ScaleModeNearest;
        EXPECT_EQ(SDL_GetTextureScaleMode(item.Texture->Handle, &m), 0);
        return m;
    };
    Screen->BeginScene();
    upright.Draw(0, 0, 0);
    upright.DrawColor(10, 0, 0, 0, 0, 1, 1, 0x80FFFFFFu, true, true, 0, 0);  // flips stay 1:1
    turned.DrawColor(20, 20, 30, 0.5f, 0.5f, 1, 1, ~0u, false, false, 0, 0);
    scaled.DrawColor(40, 40, 0, 0, 0, 2, 1, ~0u, false, false, 0, 0);
    Screen->EndScene();
    EXPECT_EQ(mode(upright), SDL_ScaleModeNearest);
    EXPECT_EQ(mode(turned), SDL_ScaleModeLinear);
    EXPECT_EQ(mode(scaled), SDL_ScaleModeLinear);
    // Filtering off and on again reaches every texture, each by how it was drawn; a texture
    // made later starts at nearest.
    Screen->SetTextureFilter(false);
    EXPECT_EQ(mode(turned), SDL_ScaleModeNearest);
    Screen->SetTextureFilter(true);
    EXPECT_EQ(mode(turned), SDL_ScaleModeLinear);
    EXPECT_EQ(mode(upright), SDL_ScaleModeNearest);
    TImageListItem& later = AddItem("later", GradientPicture(4, 4));
    List->Initialize();
    EXPECT_EQ(mode(later), SDL_ScaleModeNearest);
}

TEST_F(ScreenTest, APictureIsKeptOnceAfterItsTextureIsMade) {
    TPicture picture = GradientPicture(100, 60);
    picture.Pixels[5] = 0xFFFF00FFu;  // magenta: keyed out
    const std::vector<uint32_t> pixels = picture.Pixels;
    TImageListItem& item = AddItem("keyed", picture);
    item.Transparent = true;
    item.TransparentColor = 0xFF00FF;  // clFuchsia
    List->Initialize();
    ASSERT_TRUE(item.Texture);
    // The decoded picture is gone; its size stays with the item.
    EXPECT_TRUE(item.Picture.Empty());
    EXPECT_TRUE(item.Picture.Pixels.empty());
    EXPECT_EQ(item.ImageWidth, 100);
    EXPECT_EQ(item.ImageHeight, 60);
    const auto texelsMatch = [&] {
        const TKerbTexture& t = *item.Texture;
        for (int32_t y = 0; y < 60; ++y)
            for (int32_t x = 0; x < 100; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y * 100 + x)];
                if (t.TexelAt(x, y) != (p == 0xFFFF00FFu ? 0u : p)) return false;
            }
        return t.TexelAt(100, 0) == 0 && t.TexelAt(0, 60) == 0;
    };
    EXPECT_TRUE(texelsMatch());
    // On the software renderer the texels live in the device texture only.
    ASSERT_TRUE(Screen->IsSoftware());
    EXPECT_NE(item.Texture->Shared, nullptr);
    EXPECT_TRUE(item.Texture->Texels.empty());
    // A lost device gets them back, and the texel test reads the same texels.
    Screen->HandleRenderReset();
    ASSERT_NE(item.Texture->Handle, nullptr);
    EXPECT_NE(item.Texture->Shared, nullptr);
    EXPECT_TRUE(item.Texture->Texels.empty());
    EXPECT_TRUE(texelsMatch());
    // Released for good (the list finalised with its textures kept): the texels stay.
    item.Texture->ReleaseHandle();
    EXPECT_EQ(item.Texture->Shared, nullptr);
    EXPECT_EQ(item.Texture->Texels.size(), 6000u);
    EXPECT_TRUE(texelsMatch());
}

TEST_F(ScreenTest, ScreenMayGoBeforeItsImageListsAndFonts) {
    TImageListItem& item = AddItem("gradient", GradientPicture(8, 8));
    List->Initialize();
    TKerbFont font(Screen.get());
    font.SetFont("Micra", 10, fsBold);
    Screen->BeginScene();
    font.TextOut(0, 0, "Velkaro");
    Screen->EndScene();
    Screen.reset();
    // Nothing points at the dead screen and nothing of the renderer is left to free.
    EXPECT_EQ(List->KerbScreen, nullptr);
    EXPECT_EQ(List->Renderer->Screen, nullptr);
    EXPECT_EQ(font.Screen(), nullptr);
    EXPECT_EQ(font.CachedTexts(), 0u);
    ASSERT_TRUE(item.Texture);
    EXPECT_EQ(item.Texture->Handle, nullptr);
    EXPECT_EQ(item.Texture->Texels.size(), 64u);
    item.Draw(0, 0, 0);
    font.TextOut(0, 0, "still nothing to draw on");
}

TEST_F(ScreenTest, ImageListsMayGoBeforeTheScreen) {
    AddItem("gradient", GradientPicture(8, 8));
    List->Initialize();
    TKerbImageList other;
    other.KerbScreen = Screen.get();
    TImageListItem& kept = other.ImageList.Add();
    kept.Name = "kept";
    kept.SetPicture(GradientPicture(4, 4));
    other.Initialize();
    EXPECT_EQ(Screen->ImageListCount(), 2u);
    List.reset();
    // The screen forgets the list that went; a reset reaches only the one left, whose texture
    // it makes anew.
    EXPECT_EQ(Screen->ImageListCount(), 1u);
    ASSERT_TRUE(kept.Texture);
    const uint64_t serial = kept.Texture->Serial;
    Screen->HandleRenderReset();
    EXPECT_NE(kept.Texture->Handle, nullptr);
    EXPECT_NE(kept.Texture->Serial, serial);
}

TEST_F(ScreenTest, FullScreenTogglesAndComesBack) {
    if (!Screen->ToggleFullScreen()) GTEST_SKIP() << "this video driver has no full screen";
    EXPECT_TRUE(Screen->FullScreen);
    EXPECT_TRUE(Window.IsFullScreen());
    ASSERT_TRUE(Screen->ToggleFullScreen());
    EXPECT_FALSE(Screen->FullScreen);
    EXPECT_FALSE(Window.IsFullScreen());
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(Screen->ReadPixels(pixels, w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}
}  // namespace
