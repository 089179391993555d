// The screen's own turn of a picture: quarter turns and mirrors move whole texels where they
// belong and place the picture about its centre; what cannot be turned is refused. The drawing
// tests hold every other angle against SDL's own turn (DrawTest.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "engine/TurnTexels.h"

namespace {
// A 4 x 2 picture whose texels all differ: 0xFF0000yx.
std::vector<uint32_t> Picture() {
    std::vector<uint32_t> p;
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) p.push_back(0xFF000000u | y << 4 | x);
    return p;
}

TEST(TurnTexels, QuarterTurnsAndMirrorsMoveWholeTexels) {
    const std::vector<uint32_t> in = Picture();
    const auto at = [&in](int32_t x, int32_t y) { return in[static_cast<size_t>(y * 4 + x)]; };
    const struct {
        const char* Name;
        double Angle;
        bool FlipX, FlipY;
        int32_t Left, Top, Width, Height;
        // The source texel of turned pixel (x, y).
        std::function<uint32_t(int32_t, int32_t)> Source;
    } cases[] = {
        {"none", 0, false, false, 0, 0, 4, 2, [&](int32_t x, int32_t y) { return at(x, y); }},
        {"mirrored", 0, true, false, 0, 0, 4, 2,
         [&](int32_t x, int32_t y) { return at(3 - x, y); }},
        {"upside down", 0, false, true, 0, 0, 4, 2,
         [&](int32_t x, int32_t y) { return at(x, 1 - y); }},
        // Clockwise about the centre (2, 1): the left column becomes the top row.
        {"quarter", 90, false, false, 1, -1, 2, 4,
         [&](int32_t x, int32_t y) { return at(y, 1 - x); }},
        {"half", 180, false, false, 0, 0, 4, 2,
         [&](int32_t x, int32_t y) { return at(3 - x, 1 - y); }},
        {"three quarters", 270, false, false, 1, -1, 2, 4,
         [&](int32_t x, int32_t y) { return at(3 - y, x); }},
        {"a quarter back", -90, false, false, 1, -1, 2, 4,
         [&](int32_t x, int32_t y) { return at(3 - y, x); }},
        {"a whole turn and a quarter", 450, false, false, 1, -1, 2, 4,
         [&](int32_t x, int32_t y) { return at(y, 1 - x); }},
    };
    for (const bool linear : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.Name << (linear ? " linear" : " nearest"));
            TTurnedTexels out;
            ASSERT_TRUE(
                TurnTexels(in.data(), 4, 4, 2, c.Angle, 2, 1, c.FlipX, c.FlipY, linear, 64, out));
            EXPECT_EQ(out.Left, c.Left);
            EXPECT_EQ(out.Top, c.Top);
            ASSERT_EQ(out.Width, c.Width);
            ASSERT_EQ(out.Height, c.Height);
            ASSERT_EQ(out.Pixels.size(), static_cast<size_t>(c.Width * c.Height));
            for (int32_t y = 0; y < c.Height; ++y)
                for (int32_t x = 0; x < c.Width; ++x)
                    EXPECT_EQ(out.Pixels[static_cast<size_t>(y * c.Width + x)], c.Source(x, y))
                        << x << ", " << y;
        }
}

TEST(TurnTexels, APartOfARowTurnsAlone) {
    // The middle 2 x 2 of the picture (rows 4 texels apart), half a turn: nothing beside it
    // comes in.
    const std::vector<uint32_t> in = Picture();
    TTurnedTexels out;
    ASSERT_TRUE(TurnTexels(in.data() + 1, 4, 2, 2, 180, 1, 1, false, false, false, 64, out));
    EXPECT_EQ(out.Pixels, (std::vector<uint32_t>{in[6], in[5], in[2], in[1]}));
}

TEST(TurnTexels, WhatCannotBeTurnedIsRefused) {
    const std::vector<uint32_t> in = Picture();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* Name;
        const uint32_t* Texels;
        int32_t Pitch, Width, Height;
        double Angle;
        float CenterX;
        int32_t MaxSide;
    } cases[] = {
        {"no texels", nullptr, 4, 4, 2, 30, 2, 64},
        {"no width", in.data(), 4, 0, 2, 30, 2, 64},
        {"no height", in.data(), 4, 4, 0, 30, 2, 64},
        {"rows shorter than the picture", in.data(), 3, 4, 2, 30, 2, 64},
        {"endless angle", in.data(), 4, 4, 2, inf, 2, 64},
        {"angle not a number", in.data(), 4, 4, 2, nan, 2, 64},
        {"centre not a number", in.data(), 4, 4, 2, 30, std::nanf(""), 64},
        {"centre far away", in.data(), 4, 4, 2, 30, 1e9f, 64},
        // Turned by 30 degrees the picture is 4 x 4.
        {"larger than allowed", in.data(), 4, 4, 2, 30, 2, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTurnedTexels out;
        out.Left = 7;
        EXPECT_FALSE(TurnTexels(c.Texels, c.Pitch, c.Width, c.Height, c.Angle, c.CenterX, 1, false,
                                false, true, c.MaxSide, out));
        EXPECT_EQ(out.Left, 7);
        EXPECT_TRUE(out.Pixels.empty());
    }
    TTurnedTexels out;
    EXPECT_TRUE(TurnTexels(in.data(), 4, 4, 2, 30, 2, 1, false, false, true, 4, out));
    EXPECT_EQ(out.Width, 4);
    EXPECT_EQ(out.Height, 4);
}
}  // namespace
