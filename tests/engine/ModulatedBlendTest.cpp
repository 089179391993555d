// The blending sums of the screen's own blending: the fast row functions against the plain
// per-pixel one (which the drawing tests hold against SDL itself), and when texels get
// prepared for a colour.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ModulatedBlend.h"

namespace {
uint32_t Next(uint64_t& state) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 32);
}

TEST(ModulatedBlend, RowsMatchThePixelSumsForEveryLengthAndTarget) {
    uint64_t state = 7;
    // Runs of 4 mix kinds within eight pixels; runs of 16 give whole eights of one kind.
    for (int32_t count : {0, 1, 3, 4, 5, 8, 17, 300, 517})
        for (size_t run : {4u, 16u}) {
            for (bool targetAlpha : {true, false}) {
                for (uint32_t modulation : {0xFEFEFEFEu, 0x80FF4020u, 0x00FFFFFFu, Next(state)}) {
                    SCOPED_TRACE(testing::Message() << count << " run " << run << " " << targetAlpha
                                                    << " " << std::hex << modulation);
                    std::vector<uint32_t> src(static_cast<size_t>(count)), dst(src.size());
                    for (size_t i = 0; i < src.size(); ++i) {
                        // Runs of clear and of opaque texels as well as anything in between, over
                        // destinations with channels at 0 and 255 among the rest.
                        const uint32_t kind = (i / run) % 4;
                        const uint32_t alpha = kind == 0   ? 0
                                               : kind == 1 ? 255
                                               : kind == 2 ? 254
                                                           : Next(state) >> 24;
                        src[i] = alpha << 24 | (Next(state) & 0xFFFFFFu);
                        dst[i] = i % 3 == 0 ? 0xFFFFFFFFu : i % 7 == 0 ? 0 : Next(state);
                    }
                    // Without alpha in the target its unused byte carries nothing.
                    const uint32_t used = targetAlpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
                    const auto visible = [used](std::vector<uint32_t> pixels) {
                        for (uint32_t& p : pixels) p &= used;
                        return pixels;
                    };
                    std::vector<uint32_t> expected = dst;
                    for (size_t i = 0; i < src.size(); ++i)
                        expected[i] = BlendModulatedPixel(src[i], dst[i], modulation, targetAlpha);
                    expected = visible(expected);
                    std::vector<uint32_t> direct = dst;
                    BlendModulatedRow(src.data(), direct.data(), count, modulation, targetAlpha);
                    EXPECT_EQ(visible(direct), expected);
                    std::vector<uint32_t> prepared(src.size()), viaPrepared = dst;
                    PrepareModulatedRow(src.data(), prepared.data(), count, modulation);
                    for (size_t i = 0; i < src.size(); ++i)
                        ASSERT_EQ(prepared[i], PrepareModulated(src[i], modulation)) << i;
                    BlendPreparedRow(prepared.data(), viaPrepared.data(), count, targetAlpha);
                    EXPECT_EQ(visible(viaPrepared), expected);
                }
            }
        }
}

TEST(ModulatedBlend, PixelSumsFollowTheModulatedBlend) {
    const struct {
        uint32_t Src, Dst, Modulation;
        bool TargetAlpha;
        uint32_t Expected;
    } cases[] = {
        // Opaque white under the usual tint: 254 * 254 div 255 = 253, plus 1 over 255 only.
        {0xFFFFFFFFu, 0xFF000000u, 0xFEFEFEFEu, true, 0xFFFDFDFDu},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFEFEFEFEu, true, 0xFFFEFEFEu},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFEFEFEFEu, false, 0x00FEFEFEu},
        // A clear texel keeps the destination.
        {0x00FFFFFFu, 0x12345678u, 0xFEFEFEFEu, true, 0x12345678u},
        // Half alpha: a' = 128, colour 200 -> 199 -> 99, plus 127 * 100 div 255 = 49.
        {0xFFC8C8C8u, 0xFF646464u, 0x80FEFEFEu, true, 0xFF949494u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendModulatedPixel(c.Src, c.Dst, c.Modulation, c.TargetAlpha), c.Expected)
            << std::hex << c.Src << " over " << c.Dst;
}

TEST(ModulatedBlend, TexelsArePreparedForAColourThatComesTwiceRunning) {
    const std::vector<uint32_t> raw = {0xFFFFFFFFu, 0x80402010u, 0, 0xFF000000u, 0x01FFFFFFu};
    TPreparedTexels prepared;
    EXPECT_EQ(prepared.For(raw.data(), raw.size(), 0xFEFEFEFEu), nullptr);
    const uint32_t* texels = prepared.For(raw.data(), raw.size(), 0xFEFEFEFEu);
    ASSERT_NE(texels, nullptr);
    for (size_t i = 0; i < raw.size(); ++i)
        EXPECT_EQ(texels[i], PrepareModulated(raw[i], 0xFEFEFEFEu)) << i;
    EXPECT_EQ(prepared.For(raw.data(), raw.size(), 0xFEFEFEFEu), texels);
    // A colour seen once does not replace it; seen twice running, it does.
    EXPECT_EQ(prepared.For(raw.data(), raw.size(), 0xFF102030u), nullptr);
    EXPECT_NE(prepared.For(raw.data(), raw.size(), 0xFEFEFEFEu), nullptr);
    EXPECT_EQ(prepared.For(raw.data(), raw.size(), 0xFF102030u), nullptr);
    EXPECT_NE(prepared.For(raw.data(), raw.size(), 0xFF102030u), nullptr);
    EXPECT_EQ(prepared.Color(), 0xFF102030u);
    // Texels made again at another size are prepared from the new ones, not the old.
    const std::vector<uint32_t> other(9, 0xFFFFFFFFu);
    const uint32_t* again = prepared.For(other.data(), other.size(), 0xFF102030u);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[8], PrepareModulated(0xFFFFFFFFu, 0xFF102030u));
    prepared.Clear();
    EXPECT_FALSE(prepared.Ready());
}
}  // namespace
