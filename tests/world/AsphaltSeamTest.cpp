// The road's surface across the join of two road pieces: each pair of kinds that follow each
// other up a generated road, laid as a race lays them (the upper piece entered where the lower
// one leaves) and drawn on the software renderer with the game's texture filter. The asphalt's
// broad shading must carry on across the join: the difference in brightness between the
// bands of rows just below and just above the join may be no larger than between two such
// bands anywhere inside the pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "RaceDrawing.h"
#include "world/RaceRecord.h"
#include "world/RoadLayout.h"
#include "world/WorldContext.h"
#include "world/WorldSprite.h"

namespace {
constexpr int32_t ScreenW = TRaceDrawing::ScreenW, ScreenH = TRaceDrawing::ScreenH;
// The lower piece covers rows 300..599, the upper one rows 0..299.
constexpr int32_t Join = 300;
// Bands of rows, and columns measured in blocks of this width across the tarmac's middle.
constexpr int32_t Band = 8, Block = 36, Blocks = 3;

// A road piece's picture and nothing else (no walls, scenery or ground).
class TPiecePicture : public TWorldSprite {
public:
    TPiecePicture(TKerbSprite* engine, const char* image, double left, double top)
        : TWorldSprite(engine) {
        SetImage(RaceImage(image));
        SetPatternIndex(0);
        SetX(static_cast<float>(left));
        SetY(static_cast<float>(top));
        SetZ(20);
    }
};

const char* const kPieceImages[7] = {"r_str",      "r_left",      "r_right",   "r_str_right",
                                     "r_str_left", "r_right_str", "r_left_str"};

class AsphaltSeamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Drawing =
            new TRaceDrawing([](const std::string& name) { return name.rfind("r_", 0) == 0; });
        ASSERT_TRUE(Drawing->Ready());
    }
    static void TearDownTestSuite() {
        delete Drawing;
        Drawing = nullptr;
    }
    void SetUp() override {
        Drawing->Use(Sprites);
        InitPieceShapes();
    }
    void TearDown() override {
        Sprites.Clear();
        World = TWorldContext{};
    }

    // A piece entered at entryX on its bottom row, bottomY.
    void Lay(int32_t kind, double entryX, double bottomY) {
        new TPiecePicture(&Sprites, kPieceImages[kind],
                          entryX - Race.PieceShapes[static_cast<size_t>(kind)].Entry,
                          bottomY - 300);
    }

    std::vector<uint32_t> DrawFrame() { return Drawing->DrawFrame(Sprites); }

    static TRaceDrawing* Drawing;
    TKerbSprite Sprites;
};

TRaceDrawing* AsphaltSeamTest::Drawing = nullptr;

double Luminance(uint32_t argb) {
    return 0.299 * ((argb >> 16) & 0xFF) + 0.587 * ((argb >> 8) & 0xFF) + 0.114 * (argb & 0xFF);
}

// The mean brightness of rows top..top+Band-1 over columns left..left+Block-1.
double BandMean(const std::vector<uint32_t>& pixels, int32_t left, int32_t top) {
    double sum = 0;
    for (int32_t y = top; y < top + Band; ++y)
        for (int32_t x = left; x < left + Block; ++x)
            sum += Luminance(pixels[static_cast<size_t>(y * ScreenW + x)]);
    return sum / (Band * Block);
}

}  // namespace

TEST_F(AsphaltSeamTest, TheSurfaceCarriesOnAcrossEveryJoin) {
    // Lower kind, upper kind: straight, into a left or right run, the run, out of it.
    const int32_t pairs[][2] = {{0, 0}, {0, 4}, {4, 1}, {1, 1}, {1, 6}, {6, 0},
                                {0, 3}, {3, 2}, {2, 2}, {2, 5}, {5, 0}};
    for (const auto& pair : pairs) {
        const int32_t lower = pair[0], upper = pair[1];
        SCOPED_TRACE(testing::Message() << kPieceImages[lower] << " below " << kPieceImages[upper]);
        Sprites.Clear();
        const double entry = 400 - PieceShift(lower) / 2.0;
        const double joinX = entry + PieceShift(lower);
        Lay(lower, entry, ScreenH);
        Lay(upper, joinX, Join);
        const std::vector<uint32_t> frame = DrawFrame();
        // Blocks either side of the road's centre line, inside the tarmac.
        const auto blocksAround = [](double centre) {
            std::vector<int32_t> lefts;
            for (int32_t b = 0; b < Blocks; ++b) {
                lefts.push_back(static_cast<int32_t>(centre) - 12 - Block * (b + 1));
                lefts.push_back(static_cast<int32_t>(centre) + 12 + Block * b);
            }
            return lefts;
        };
        // The road's centre on a row: from a piece's entry on its bottom row to its exit on
        // its top row.
        const auto centreAt = [&](int32_t y) {
            const bool low = y >= Join;
            const double enter = low ? entry : joinX;
            const int32_t kind = low ? lower : upper;
            const double up = (low ? ScreenH : Join) - y;
            return enter + PieceShift(kind) * up / 300.0;
        };
        // Inside the pieces: bands two rows apart, as across the join (the rows next to it are
        // left out, as there), in blocks that follow the road.
        std::vector<double> inside;
        for (int32_t top : {40, 100, 160, 220, 340, 400, 460, 520}) {
            for (int32_t left : blocksAround(centreAt(top + Band)))
                inside.push_back(
                    std::abs(BandMean(frame, left, top) - BandMean(frame, left, top + Band + 2)));
        }
        std::sort(inside.begin(), inside.end());
        const double p95 = inside[inside.size() * 95 / 100];
        double worst = 0;
        for (int32_t left : blocksAround(joinX))
            worst = std::max(worst, std::abs(BandMean(frame, left, Join - 1 - Band) -
                                             BandMean(frame, left, Join + 1)));
        EXPECT_LE(worst, std::max(p95, 1.0)) << "inside the pieces at most " << p95;
    }
}
