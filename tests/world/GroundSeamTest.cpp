// The ground beside the road: two road pieces' backgrounds drawn one above the other as a race
// lays them (each stretched to 1.1 of its height so that it overlaps the next by 30 pixels,
// the upper piece shifted sideways), on the software renderer with the game's texture filter.
// The join must not show: across it the picture may change from row to row no more than it
// does inside the pictures. And the pictures themselves: faded edges, the overlap covered,
// faint broad patches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "RaceDrawing.h"
#include "world/RoadPart.h"
#include "world/WorldContext.h"

namespace {
constexpr int32_t ScreenW = TRaceDrawing::ScreenW, ScreenH = TRaceDrawing::ScreenH;
// The lower piece's backgrounds start at this row; the upper piece's end 30 rows further down.
constexpr int32_t JoinTop = 300, JoinBottom = 330;

class GroundSeamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Only the four ground pictures get textures.
        Drawing = new TRaceDrawing(
            [](const std::string& name) { return name.size() == 5 && name.rfind("back", 0) == 0; });
        ASSERT_TRUE(Drawing->Ready());
        ASSERT_EQ(Drawing->Pictures().ImageList.Count(), 4);
    }
    static void TearDownTestSuite() {
        delete Drawing;
        Drawing = nullptr;
    }

    void SetUp() override { Drawing->Use(Sprites); }
    void TearDown() override {
        Sprites.Clear();
        World = TWorldContext{};
    }

    // A piece's two background columns (left edges 800 to the left of the entry X and at it),
    // with its bottom at bottomY.
    void LayBackgrounds(double entryX, double bottomY, int32_t kind) {
        for (double column : {-800.0, 0.0})
            new TRoadBack(&Sprites, entryX + column, bottomY - 300, kind);
    }

    std::vector<uint32_t> DrawFrame() { return Drawing->DrawFrame(Sprites); }

    static TRaceDrawing* Drawing;
    TKerbSprite Sprites;
};

TRaceDrawing* GroundSeamTest::Drawing = nullptr;

// The mean absolute difference of red, green and blue between row y and row y + 1.
double RowChange(const std::vector<uint32_t>& pixels, int32_t y) {
    int64_t sum = 0;
    for (int32_t x = 0; x < ScreenW; ++x) {
        const uint32_t a = pixels[static_cast<size_t>(y * ScreenW + x)];
        const uint32_t b = pixels[static_cast<size_t>((y + 1) * ScreenW + x)];
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int32_t>((a >> shift) & 0xFF) -
                            static_cast<int32_t>((b >> shift) & 0xFF));
    }
    return static_cast<double>(sum) / (3.0 * ScreenW);
}

TEST_F(GroundSeamTest, NeighbouringPiecesJoinWithoutASeam) {
    // Background kinds of a lower piece and the piece above it, as the scenery zones follow
    // each other up the road: grass, into the desert, sand, out of it. As the road grows, the
    // lower piece is laid first (and so drawn over the upper one) and the upper one's entry
    // lies elsewhere, here 150 pixels to the left. The start area is laid from the top down,
    // every piece on the same X, all grass.
    const struct {
        int32_t Lower, Upper;
        double UpperShift;
        bool LowerFirst;
    } cases[] = {{0, 0, -150, true}, {0, 3, -150, true}, {3, 1, -150, true}, {1, 1, -150, true},
                 {1, 2, -150, true}, {2, 0, -150, true}, {0, 0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "back" << c.Lower + 1 << " below back" << c.Upper + 1
                                        << (c.LowerFirst ? ", laid upwards" : ", start area"));
        Sprites.Clear();
        for (bool lower : {c.LowerFirst, !c.LowerFirst}) {
            if (lower) {
                LayBackgrounds(400, JoinTop + 300, c.Lower);
            } else {
                LayBackgrounds(400 + c.UpperShift, JoinTop, c.Upper);
            }
        }
        const std::vector<uint32_t> frame = DrawFrame();
        std::vector<double> inside;
        for (int32_t y = 2; y < JoinTop - 10; ++y) inside.push_back(RowChange(frame, y));
        for (int32_t y = JoinBottom + 10; y < ScreenH - 2; ++y)
            inside.push_back(RowChange(frame, y));
        std::sort(inside.begin(), inside.end());
        const double p99 = inside[inside.size() * 99 / 100];
        // Every row pair from just above the lower picture's top edge to just below the upper
        // picture's bottom edge.
        for (int32_t y = JoinTop - 3; y <= JoinBottom + 2; ++y)
            EXPECT_LE(RowChange(frame, y), p99) << "rows " << y << " and " << y + 1;
    }
}

double Luminance(uint32_t argb) {
    return 0.299 * ((argb >> 16) & 0xFF) + 0.587 * ((argb >> 8) & 0xFF) + 0.114 * (argb & 0xFF);
}

// The standard deviation of the mean brightness of 40 x 40 blocks (overlapping by half) of the
// rows top..bottom: how strongly the picture's broad patches show.
double BroadPatchSpread(const TPicture& p, int32_t top, int32_t bottom) {
    constexpr int32_t Block = 40;
    std::vector<double> means;
    for (int32_t by = top; by + Block <= bottom; by += Block / 2)
        for (int32_t bx = 0; bx + Block <= p.Width; bx += Block / 2) {
            double sum = 0;
            for (int32_t y = by; y < by + Block; ++y)
                for (int32_t x = bx; x < bx + Block; ++x)
                    sum += Luminance(p.Pixels[static_cast<size_t>(y * p.Width + x)]);
            means.push_back(sum / (Block * Block));
        }
    double mean = 0, square = 0;
    for (double m : means) mean += m / static_cast<double>(means.size());
    for (double m : means) square += (m - mean) * (m - mean) / static_cast<double>(means.size());
    return std::sqrt(square);
}

TEST_F(GroundSeamTest, GroundFadesAtItsEdgesCoversTheOverlapAndKeepsItsPatchesFaint) {
    for (int32_t kind = 1; kind <= 4; ++kind) {
        const std::string name = "back" + std::to_string(kind);
        SCOPED_TRACE(name);
        const TImageListItem* item = Drawing->Pictures().ImageList.Find(name);
        ASSERT_NE(item, nullptr);
        // The picture as drawn: its texels (the decoded picture goes once they exist).
        ASSERT_TRUE(item->Texture && item->Texture->HasTexels());
        TPicture p;
        p.Width = item->Texture->Width;
        p.Height = item->Texture->Height;
        p.Pixels.assign(item->Texture->Data(), item->Texture->Data() + item->Texture->TexelCount());
        ASSERT_EQ(p.Width, 800);
        ASSERT_EQ(p.Height, 300);
        // The least opacity of a row.
        const auto rowAlpha = [&p](int32_t y) {
            uint32_t least = 255;
            for (int32_t x = 0; x < p.Width; ++x)
                least = std::min(least, p.Pixels[static_cast<size_t>(y * p.Width + x)] >> 24);
            return static_cast<int32_t>(least);
        };
        // Both edges are (all but) transparent, and the picture grows opaque towards the middle
        // without a dip.
        EXPECT_LE(rowAlpha(0), 8);
        EXPECT_LE(rowAlpha(299), 8);
        for (int32_t y = 0; y < 150; ++y) EXPECT_LE(rowAlpha(y), rowAlpha(y + 1)) << "row " << y;
        for (int32_t y = 150; y < 299; ++y) EXPECT_GE(rowAlpha(y), rowAlpha(y + 1)) << "row " << y;
        // Stretched to 330 rows and laid 300 apart, the lower picture's top 30 screen rows lie
        // on the upper one's bottom 30. In each of them one of the two must be opaque, or what
        // lies under the ground would show through.
        for (int32_t s = 0; s < 30; ++s) {
            const auto lower = static_cast<int32_t>((s + 0.5) / 1.1);
            const auto upper = static_cast<int32_t>((s + 300.5) / 1.1);
            EXPECT_TRUE(rowAlpha(lower) == 255 || rowAlpha(upper) == 255)
                << "screen row " << s << " of the overlap: rows " << lower << " and " << upper;
        }
        // Below the overlap, nothing but the picture.
        for (int32_t y = 28; y < 272; ++y) EXPECT_EQ(rowAlpha(y), 255) << "row " << y;
        // Grass or sand only: the whole picture, or above and below the ragged border of the
        // transitions (which stays within rows 87..213).
        const bool transition = kind >= 3;
        EXPECT_LE(BroadPatchSpread(p, 28, transition ? 80 : 272), 2.5);
        if (transition) {
            EXPECT_LE(BroadPatchSpread(p, 220, 272), 2.5);
        }
    }
}
}  // namespace
