// The sprite engine: depth order, the move/draw passes, the dead list, rounding, pattern and
// position setters, drawing parameters and collisions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/KerbSprite.h"
#include "platform/MessageBox.h"

namespace {

// Records every quad instead of drawing it.
class TRecordingRenderer : public TKerbRenderer {
public:
    void SetBlendMode(int32_t mode) override { Modes.push_back(mode); }
    void RenderQuad(const TKerbTexture&, const TQuad& quad) override { Quads.push_back(quad); }
    std::vector<TQuad> Quads;
    std::vector<int32_t> Modes;
};

// A picture of w x h pixels cut into tiles, with a texture whose texels are given.
struct TFixtureImage {
    TImageListItem Item;
    TFixtureImage(int32_t w, int32_t h, int32_t tileW, int32_t tileH, TKerbRenderer* renderer,
                  uint32_t fill = 0xFFFFFFFFu) {
        TPicture p;
        p.Format = TPicture::TFormat::Png;
        p.Width = w;
        p.Height = h;
        p.Pixels.assign(static_cast<size_t>(w * h), fill);
        Item.SetPicture(p);
        Item.SetTileWidth(tileW);
        Item.SetTileHeight(tileH);
        Item.Renderer = renderer;
        Item.Texture = std::make_unique<TKerbTexture>();
        Item.Texture->Width = Item.TextureWidth;
        Item.Texture->Height = Item.TextureHeight;
        Item.Texture->Texels.assign(
            static_cast<size_t>(Item.TextureWidth) * static_cast<size_t>(Item.TextureHeight), 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                Item.Texture->Texels[static_cast<size_t>(y * Item.TextureWidth + x)] = fill;
    }
};

// A sprite that logs its moves, draws and collisions by name.
class TLogSprite : public TSprite {
public:
    TLogSprite(TKerbSprite* engine, std::string tag, std::vector<std::string>* log)
        : TSprite(engine), Tag(std::move(tag)), Log(log) {}
    void Move(float) override { Log->push_back("move " + Tag); }
    void Draw() override { Log->push_back("draw " + Tag); }
    void OnCollision(TSprite&, int32_t x, int32_t y) override {
        Log->push_back("hit " + Tag + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::string Tag;
    std::vector<std::string>* Log;
};

std::vector<std::string> Order(const TKerbSprite& engine) {
    std::vector<std::string> names;
    for (const TSprite* s : engine.SpriteList) names.push_back(s->Name);
    return names;
}

TSprite* Make(TKerbSprite& engine, const std::string& name, int32_t z) {
    auto* s = new TSprite(&engine);
    s->SetName(name);
    s->SetZ(z);
    return s;
}

}  // namespace

TEST(EngineRound, RoundsHalvesAwayFromZeroAfterFourDecimals) {
    struct Case {
        double In;
        int32_t Out;
    };
    const Case cases[] = {{2.5, 3},   {-2.5, -3}, {2.49996, 3}, {2.4999, 2},
                          {0.0, 0},   {0.49, 0},  {-0.49, 0},   {1.5, 2},
                          {-1.5, -2}, {7.0, 7},   {-7.2, -7},   {99.51, 100}};
    for (const Case& c : cases) EXPECT_EQ(EngineRound(c.In), c.Out) << c.In;
}

// The rounding under every sprite move avoids the library's nearbyint; it must agree with it
// everywhere a sprite can be, exact ties at the fourth decimal and huge places included.
TEST(EngineRound, AgreesWithTheLibraryRoundingAtTiesAndFarOut) {
    const auto reference = [](double x) {
        const double shifted = x >= 0 ? x + 0.5 : x - 0.5;
        return static_cast<int32_t>(std::trunc(std::nearbyint(shifted * 10000.0) / 10000.0));
    };
    std::vector<double> values = {0.00005, -0.00005, 0.49995,     -0.49995,     1.49995,
                                  2.50005, -0.0,     1e-300,      123456.78905, -98765.43215,
                                  2e5,     -2e5,     214748.3647, -214748.3648};
    for (int i = -40000; i <= 40000; ++i) values.push_back(i * 0.00005);
    // Just below the next whole number, where the inline answer hands over to the decimals, at
    // small and large places up to past 2^30 (where the inline answer is not taken at all).
    for (double whole :
         {0.0, 1.0, 7.0, 1000.0, 123456.0, 0x1p20, 0x1p29, 0x1p30 - 1, 0x1p30, 0x1p30 + 12345}) {
        for (int k = -400; k <= 400; ++k) {
            const double x = whole + 0.5 - 0.0002 + k * 0.000001;
            values.push_back(x);
            values.push_back(-x);
            values.push_back(static_cast<float>(x));
        }
    }
    uint64_t state = 88172645463325252ULL;
    for (int i = 0; i < 100000; ++i) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        values.push_back(static_cast<double>(static_cast<int64_t>(state % 20000001) - 10000000) /
                         static_cast<double>(1 + state % 1000));
        values.push_back(static_cast<float>(values.back()));  // sprites keep floats
    }
    for (double v : values) {
        ASSERT_EQ(EngineRound(v), reference(v)) << v;
        ASSERT_EQ(EngineRoundByDecimals(v), reference(v)) << v;
    }
    // Past int32, and for a place that is not a number, x86's answer on every processor.
    for (double v : {0x1p31, -0x1p31 - 1, 1e12, -1e300, static_cast<double>(INFINITY),
                     static_cast<double>(NAN)})
        EXPECT_EQ(EngineRound(v), INT32_MIN) << v;
}

TEST(KerbSprite, KeepsSpritesSortedByDepthNewestFirstAmongEquals) {
    TKerbSprite engine;
    Make(engine, "a", 5);
    Make(engine, "b", 1);
    Make(engine, "c", 5);
    Make(engine, "d", 3);
    EXPECT_EQ(Order(engine), (std::vector<std::string>{"b", "d", "c", "a"}));

    // A constructor inserts at depth 0: before every other sprite of depth 0.
    TSprite* zeroA = Make(engine, "z0", 0);
    TSprite* zeroB = Make(engine, "z1", 0);
    EXPECT_EQ(engine.Items(0), zeroB);
    EXPECT_EQ(engine.Items(1), zeroA);
}

TEST(KerbSprite, SetZToCurrentValueKeepsOrderAndToAnEqualValueGoesFirst) {
    TKerbSprite engine;
    TSprite* a = Make(engine, "a", 2);
    Make(engine, "b", 2);
    Make(engine, "c", 4);
    const auto before = Order(engine);
    a->SetZ(2);
    EXPECT_EQ(Order(engine), before);
    TSprite* c = engine.Items(2);
    c->SetZ(2);
    EXPECT_EQ(Order(engine), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(KerbSprite, ItemsOutsideTheListGiveNone) {
    TKerbSprite engine;
    Make(engine, "a", 0);
    EXPECT_EQ(engine.Items(-1), nullptr);
    EXPECT_EQ(engine.Items(1), nullptr);
    EXPECT_NE(engine.Items(0), nullptr);
}

TEST(KerbSprite, PassesStopAtTheCountReadAtTheirStart) {
    TKerbSprite engine;
    std::vector<std::string> log;
    // A sprite that spawns another one (at a lower depth, so it lands inside the visited
    // range) during every move.
    class TSpawner : public TLogSprite {
    public:
        using TLogSprite::TLogSprite;
        void Move(float m) override {
            TLogSprite::Move(m);
            new TLogSprite(KerbSprite, "child", Log);
        }
    };
    new TLogSprite(&engine, "x", &log);
    auto* spawner = new TSpawner(&engine, "spawner", &log);
    spawner->SetZ(10);
    engine.Move(0);
    EXPECT_EQ(engine.Count(), 3);
    // Two moves ran: the pass read a count of two.
    EXPECT_EQ(log.size(), 2u);
    log.clear();
    engine.Draw();
    EXPECT_EQ(log.size(), 3u);
}

// Laying a road piece in the middle of the move pass creates sprites below the mover. Walking
// the list by index then reached the sprites before the insertion point again (moving them
// twice in one frame) and never reached the last ones.
TEST(KerbSprite, EverySpriteAliveAtTheStartOfAPassMovesExactlyOnce) {
    TKerbSprite engine;
    std::map<const TSprite*, int> moves;
    class TCounted : public TSprite {
    public:
        TCounted(TKerbSprite* e, int32_t z, std::map<const TSprite*, int>* m)
            : TSprite(e), Moves(m) {
            SetZ(z);
        }
        void Move(float) override { ++(*Moves)[this]; }
        std::map<const TSprite*, int>* Moves;
    };
    // Spawns three sprites at lower depths on its first move.
    class TLayer : public TCounted {
    public:
        using TCounted::TCounted;
        void Move(float m) override {
            TCounted::Move(m);
            if (Spawned.empty())
                for (int32_t z : {0, 2, 4}) Spawned.push_back(new TCounted(KerbSprite, z, Moves));
        }
        std::vector<TSprite*> Spawned;
    };
    std::vector<TSprite*> first;
    for (int32_t z : {1, 3}) first.push_back(new TCounted(&engine, z, &moves));
    auto* layer = new TLayer(&engine, 5, &moves);
    first.push_back(layer);
    for (int32_t z : {7, 9, 11}) first.push_back(new TCounted(&engine, z, &moves));
    engine.Move(0);
    ASSERT_EQ(layer->Spawned.size(), 3u);
    ASSERT_EQ(engine.Count(), 9);
    for (const TSprite* s : first) EXPECT_EQ(moves[s], 1) << "depth " << s->Z;
    for (const TSprite* s : layer->Spawned) EXPECT_EQ(moves[s], 0) << "new, depth " << s->Z;
    // The next pass moves everything once more, the new sprites for the first time.
    engine.Move(0);
    for (const TSprite* s : first) EXPECT_EQ(moves[s], 2) << "depth " << s->Z;
    for (const TSprite* s : layer->Spawned) EXPECT_EQ(moves[s], 1) << "new, depth " << s->Z;
}

TEST(KerbSprite, ASpriteFreedDuringAPassIsSkipped) {
    TKerbSprite engine;
    std::vector<std::string> log;
    class TKiller : public TLogSprite {
    public:
        using TLogSprite::TLogSprite;
        void Move(float m) override {
            TLogSprite::Move(m);
            delete Victim;
            Victim = nullptr;
        }
        TSprite* Victim = nullptr;
    };
    auto* killer = new TKiller(&engine, "killer", &log);
    killer->SetZ(1);
    auto* victim = new TLogSprite(&engine, "victim", &log);
    victim->SetZ(2);
    killer->Victim = victim;
    new TLogSprite(&engine, "last", &log);
    engine.Move(0);
    EXPECT_EQ(log, (std::vector<std::string>{"move last", "move killer"}));
    EXPECT_EQ(engine.Count(), 2);
}

TEST(KerbSprite, DeadSpritesAreMovedAndDrawnUntilFreed) {
    TKerbSprite engine;
    std::vector<std::string> log;
    auto* a = new TLogSprite(&engine, "a", &log);
    new TLogSprite(&engine, "b", &log);
    a->Dead();
    a->Dead();
    EXPECT_TRUE(a->Deleted);
    EXPECT_EQ(engine.DeadList.size(), 1u);
    engine.Move(0);
    engine.Draw();
    // Each once, in list order (b, inserted later at the same depth, comes first).
    EXPECT_EQ(log, (std::vector<std::string>{"move b", "move a", "draw b", "draw a"}));
    engine.Dead();
    EXPECT_EQ(engine.Count(), 1);
    EXPECT_TRUE(engine.DeadList.empty());
    EXPECT_EQ(engine.Items(0)->Name, "");
}

TEST(KerbSprite, ChangingDepthOfADeadSpriteKeepsItInTheDeadList) {
    TKerbSprite engine;
    TSprite* a = Make(engine, "a", 1);
    a->Dead();
    a->SetZ(7);
    ASSERT_EQ(engine.DeadList.size(), 1u);
    engine.Dead();
    EXPECT_EQ(engine.Count(), 0);
}

TEST(KerbSprite, DestroyingASpriteDirectlyRemovesItFromBothLists) {
    TKerbSprite engine;
    TSprite* a = Make(engine, "a", 1);
    Make(engine, "b", 1);
    a->Dead();
    delete a;
    EXPECT_EQ(engine.Count(), 1);
    EXPECT_TRUE(engine.DeadList.empty());
}

TEST(Sprite, PositionSettersKeepCornersCentreAndCollisionRect) {
    TKerbSprite engine;
    TSprite s(&engine);
    struct Case {
        float X;
        int32_t Left;
    };
    for (const Case c : {Case{2.5f, 3}, Case{-2.5f, -3}, Case{10.2f, 10}, Case{-0.4f, 0}}) {
        s.SetX(c.X);
        EXPECT_EQ(s.CollisionRect.Left, c.Left) << c.X;
        EXPECT_EQ(s.CollisionRect.Right, c.Left + s.Width);
        EXPECT_FLOAT_EQ(s.TopRightX, c.X + 10);
        EXPECT_FLOAT_EQ(s.CenterX, c.X + 5);
    }
    s.SetY(4.5f);
    EXPECT_EQ(s.CollisionRect.Top, 5);
    EXPECT_EQ(s.CollisionRect.Bottom, 15);
    EXPECT_FLOAT_EQ(s.BottomLeftY, 14.5f);
    s.SetWidth(30);
    EXPECT_EQ(s.CollisionRect.Right, s.CollisionRect.Left + 30);
    EXPECT_FLOAT_EQ(s.TopRightX, -0.4f + 10);  // corners wait for the next SetX
}

TEST(Sprite, TintSettersRepackAllFourCorners) {
    TKerbSprite engine;
    TSprite s(&engine);
    s.SetRed(0x12);
    s.SetGreen(0x34);
    s.SetBlue(0x56);
    s.SetAlpha(0x178);  // only the low 8 bits count
    for (uint32_t c : s.VertexColors) EXPECT_EQ(c, 0x78123456u);
}

TEST(Sprite, PatternIndexIsClampedAndSetsItsOffset) {
    TKerbSprite engine;
    TRecordingRenderer renderer;
    TFixtureImage img(100, 60, 20, 20, &renderer);  // 5 columns, 3 rows
    TSprite s(&engine);
    s.SetImage(&img.Item);
    EXPECT_EQ(s.Width, 20);
    EXPECT_EQ(s.Height, 20);
    s.SetPatternIndex(7);
    EXPECT_EQ(s.PatternOffsetX, 40);
    EXPECT_EQ(s.PatternOffsetY, 20);
    s.SetPatternIndex(20);
    EXPECT_EQ(s.PatternIndex, 14);
    s.PatternIndex = -3;
    const TRect r = s.GetPatternRect();
    EXPECT_EQ(s.PatternIndex, 0);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Right, 20);
    s.PatternIndex = 8;
    const TRect r8 = s.GetPatternRect();
    EXPECT_EQ(r8.Left, 60);
    EXPECT_EQ(r8.Top, 20);
    EXPECT_EQ(r8.Bottom, 40);
}

TEST(Sprite, DrawPassesPositionTintAndPatternToTheImage) {
    TKerbSprite engine;
    TRecordingRenderer renderer;
    TFixtureImage img(64, 32, 32, 32, &renderer);
    TSprite s(&engine);
    s.SetImage(&img.Item);
    s.SetX(10.5f);
    s.SetY(20.4f);
    s.SetPatternIndex(1);
    s.SetAlpha(128);
    s.BlendMode = 2;
    engine.WorldX = 3;
    s.Draw();
    ASSERT_EQ(renderer.Quads.size(), 1u);
    const TQuad& q = renderer.Quads[0];
    // Round(10.5) - 3 = 8, Round(20.4) = 20, then the half-pixel offset.
    EXPECT_FLOAT_EQ(q[0].X, 7.5f);
    EXPECT_FLOAT_EQ(q[0].Y, 19.5f);
    EXPECT_FLOAT_EQ(q[2].X, 39.5f);
    EXPECT_FLOAT_EQ(q[0].U, 0.5f);
    EXPECT_EQ(q[0].Color, 0x80FFFFFFu);
    EXPECT_EQ(renderer.Modes.back(), 2);

    s.ScreenFixed = true;
    s.ScaleX = 0;  // drawn as 1
    s.Draw();
    EXPECT_FLOAT_EQ(renderer.Quads[1][0].X, 10.5f);
    EXPECT_FLOAT_EQ(renderer.Quads[1][1].X - renderer.Quads[1][0].X, 32.0f);

    s.Visible = false;
    s.Draw();
    EXPECT_EQ(renderer.Quads.size(), 2u);
}

TEST(Sprite, ClipBoxDrawsTouchingSpritesAndSkipsOutsideOnes) {
    TKerbSprite engine;
    TRecordingRenderer renderer;
    TFixtureImage img(10, 10, 10, 10, &renderer);
    TSprite s(&engine);
    s.SetImage(&img.Item);
    s.SetX(5000);
    s.Draw();  // no clip box: drawn wherever it is
    EXPECT_EQ(renderer.Quads.size(), 1u);
    engine.DrawAreaX2 = 799;
    engine.DrawAreaY2 = 599;
    s.Draw();
    EXPECT_EQ(renderer.Quads.size(), 1u);
    s.SetX(-10);  // right edge touches x 0
    s.Draw();
    EXPECT_EQ(renderer.Quads.size(), 2u);
    s.SetX(799);  // left edge touches the right of the box
    s.Draw();
    EXPECT_EQ(renderer.Quads.size(), 3u);
    s.SetX(-11);
    s.Draw();
    EXPECT_EQ(renderer.Quads.size(), 3u);
}

// In a window every report is a modal box, so a picture without texture is reported once,
// however many sprites draw it and however many frames pass.
TEST(Sprite, DrawingWithoutATextureReportsOncePerPicture) {
    TKerbSprite engine;
    TImageListItem item, other;
    item.Name = "wheel";
    other.Name = "door";
    std::vector<TMessage> boxes;
    const auto old = SetMessageHandler([&](const TMessage& m) { boxes.push_back(m); });
    TSprite a(&engine), b(&engine), c(&engine);
    a.SetImage(&item);
    b.SetImage(&item);
    c.SetImage(&other);
    for (int frame = 0; frame < 300; ++frame) {
        a.Draw();
        b.Draw();
        c.Draw();
    }
    SetMessageHandler(old);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text, "No KerbImageList assigned to sprite!");
    EXPECT_EQ(boxes[0].Caption, "Error");
    EXPECT_NE(boxes[0].Detail.find("wheel"), std::string::npos);
    EXPECT_NE(boxes[1].Detail.find("door"), std::string::npos);
}

TEST(Sprite, AssignCopiesEverythingButDeletionAndSizeComesFromTheImage) {
    TKerbSprite engine;
    TRecordingRenderer renderer;
    TFixtureImage img(40, 20, 20, 20, &renderer);
    TSprite src(&engine);
    src.SetName("src");
    src.SetImage(&img.Item);
    src.SetX(3);
    src.SetY(4);
    src.SetZ(9);
    src.SetAlpha(10);
    src.SetPatternIndex(1);
    src.Angle = 45;
    src.MirrorX = true;
    src.BlendMode = 4;
    src.ScreenFixed = true;
    src.Dead();
    TSprite dst(&engine);
    dst.SetWidth(99);
    dst.Assign(src);
    EXPECT_EQ(dst.Name, "src");
    EXPECT_FLOAT_EQ(dst.X, 3);
    EXPECT_EQ(dst.Z, 9);
    EXPECT_EQ(dst.Alpha, 10);
    EXPECT_EQ(dst.PatternIndex, 1);
    EXPECT_FLOAT_EQ(dst.Angle, 45);
    EXPECT_TRUE(dst.MirrorX);
    EXPECT_EQ(dst.BlendMode, 4);
    EXPECT_TRUE(dst.ScreenFixed);
    EXPECT_EQ(dst.Width, 20);
    EXPECT_FALSE(dst.Deleted);
}

TEST(SpriteCollision, RectanglesThatOverlapReportToBothWithoutPixelChecks) {
    TKerbSprite engine;
    std::vector<std::string> log;
    TLogSprite a(&engine, "a", &log), b(&engine, "b", &log);
    a.CanCollide = b.CanCollide = true;
    // A new sprite's collision rectangle is empty until its position is set.
    a.Collision(b);
    EXPECT_TRUE(log.empty());
    a.SetX(0);
    a.SetY(0);
    b.SetX(5);
    b.SetY(5);
    a.Collision(b);
    EXPECT_EQ(log, (std::vector<std::string>{"hit a 0,0", "hit b 0,0"}));
    log.clear();
    b.SetX(10);  // only touching
    a.Collision(b);
    EXPECT_TRUE(log.empty());
    b.SetX(5);
    b.Dead();
    a.Collision(b);
    EXPECT_TRUE(log.empty());
}

TEST(SpriteCollision, PixelCheckOnlyAgainstAPlainSpriteNeverReports) {
    TKerbSprite engine;
    std::vector<std::string> log;
    TLogSprite a(&engine, "a", &log), b(&engine, "b", &log);
    a.CanCollide = b.CanCollide = true;
    a.PixelCheckOnly = true;
    a.Collision(b);
    EXPECT_TRUE(log.empty());
}

TEST(SpriteCollision, TexelTestFindsTheFirstSolidPairAndSkipsTransparentTexels) {
    TKerbSprite engine;
    TRecordingRenderer renderer;
    // A: solid. B: transparent except one texel at (6, 4) of its picture.
    TFixtureImage solid(16, 16, 16, 16, &renderer, 0xFF00FF00u);
    TFixtureImage sparse(16, 16, 16, 16, &renderer, 0);
    sparse.Item.Texture->Texels[static_cast<size_t>(4 * sparse.Item.TextureWidth + 6)] =
        0xFFFF0000u;
    std::vector<std::string> log;
    TLogSprite a(&engine, "a", &log), b(&engine, "b", &log);
    for (TLogSprite* s : {&a, &b}) {
        s->CanCollide = s->PixelCheck = true;
    }
    a.SetImage(&solid.Item);
    b.SetImage(&sparse.Item);
    b.SetX(4);
    b.SetY(2);
    a.Collision(b);
    // The scan starts one texel in, so B's texel (6,4) is met at screen (4+5, 2+3).
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "hit a 9,5");
    EXPECT_EQ(log[1], "hit b 5,3");

    log.clear();
    sparse.Item.Texture->Texels[static_cast<size_t>(4 * sparse.Item.TextureWidth + 6)] = 0;
    a.Collision(b);
    EXPECT_TRUE(log.empty());
}

TEST(KerbSprite, FreesEveryOwnedSpriteOnDestruction) {
    // The sanitizer build turns a leak here into a failure.
    auto engine = std::make_unique<TKerbSprite>();
    for (int i = 0; i < 50; ++i) Make(*engine, "s", i % 7)->Dead();
    for (int i = 0; i < 50; ++i) Make(*engine, "t", i % 3);
    EXPECT_EQ(engine->Count(), 100);
    EXPECT_EQ(engine->DeadList.size(), 50u);
    engine.reset();
}
