#include "PixelCompare.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

void UseVideoDriver(const std::string& driver) {
    if (driver.empty()) {
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    } else {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    }
}

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

TImage TImage::Crop(int32_t x, int32_t y, int32_t w, int32_t h) const {
    TImage out(w, h);
    for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i) out.At(i, j) = At(x + i, y + j);
    return out;
}

namespace {
int32_t Channel(uint32_t c, int shift) {
    return static_cast<int32_t>((c >> shift) & 0xFFu);
}

int32_t Delta(uint32_t a, uint32_t b) {
    int32_t worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(Channel(a, shift) - Channel(b, shift)));
    return worst;
}

int32_t BestDelta(const std::vector<TImage>& alternatives, size_t i, uint32_t actual) {
    int32_t d = 256;
    for (const TImage& e : alternatives) d = std::min(d, Delta(actual, e.Pixels[i]));
    return d;
}

std::string SaveDiff(const TImage& actual, const std::vector<TImage>& alternatives,
                     int32_t tolerance, const std::string& name) {
    const TImage& expected = alternatives.front();
    const int32_t w = actual.Width, h = actual.Height;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w * 3, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr) return "(no diff image: " + std::string(SDL_GetError()) + ")";
    auto* px = static_cast<uint32_t*>(s->pixels);
    const int32_t pitch = s->pitch / 4;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t a = actual.At(x, y), e = expected.At(x, y);
            px[y * pitch + x] = a | 0xFF000000u;
            px[y * pitch + w + x] = e | 0xFF000000u;
            const size_t i =
                static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            px[y * pitch + 2 * w + x] =
                BestDelta(alternatives, i, a) > tolerance ? 0xFFFF0000u : 0xFF202020u;
        }
    }
    const std::string path = ::testing::TempDir() + name + ".bmp";
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}
}  // namespace

TCompareResult CompareImages(const TImage& actual, const TImage& expected, int32_t tolerance,
                             double maxShare, const std::string& name) {
    return CompareImages(actual, std::vector<TImage>{expected}, tolerance, maxShare, name);
}

TCompareResult CompareImages(const TImage& actual, const std::vector<TImage>& alternatives,
                             int32_t tolerance, double maxShare, const std::string& name) {
    TCompareResult r;
    for (const TImage& e : alternatives)
        if (actual.Width != e.Width || actual.Height != e.Height) {
            r.Message = "size differs";
            return r;
        }
    for (size_t i = 0; i < actual.Pixels.size(); ++i) {
        const int32_t d = BestDelta(alternatives, i, actual.Pixels[i]);
        r.WorstDelta = std::max(r.WorstDelta, d);
        if (d > tolerance) ++r.Differing;
    }
    const double share = static_cast<double>(r.Differing) /
                         static_cast<double>(std::max<size_t>(1, actual.Pixels.size()));
    r.Match = share <= maxShare;
    r.Message = std::to_string(r.Differing) + " of " + std::to_string(actual.Pixels.size()) +
                " pixels differ (worst channel delta " + std::to_string(r.WorstDelta) + ")";
    if (!r.Match) r.Message += "; diff image: " + SaveDiff(actual, alternatives, tolerance, name);
    return r;
}

void ReferenceQuad(TImage& target, const TImage& texture, const TQuad& q, double shiftX,
                   double shiftY) {
    // Corners as P = TL + a (TR - TL) + b (BL - TL); solve for (a, b) at each pixel centre.
    const double ax = q[1].X - q[0].X, ay = q[1].Y - q[0].Y;
    const double bx = q[3].X - q[0].X, by = q[3].Y - q[0].Y;
    const double det = ax * by - ay * bx;
    if (std::fabs(det) < 1e-9) return;
    double minX = q[0].X, maxX = q[0].X, minY = q[0].Y, maxY = q[0].Y;
    for (const auto& c : q) {
        minX = std::min<double>(minX, c.X);
        maxX = std::max<double>(maxX, c.X);
        minY = std::min<double>(minY, c.Y);
        maxY = std::max<double>(maxY, c.Y);
    }
    const uint32_t color = q[0].Color;
    for (int32_t y = std::max(0, static_cast<int32_t>(std::floor(minY)));
         y <= std::min(target.Height - 1, static_cast<int32_t>(std::ceil(maxY))); ++y) {
        for (int32_t x = std::max(0, static_cast<int32_t>(std::floor(minX)));
             x <= std::min(target.Width - 1, static_cast<int32_t>(std::ceil(maxX))); ++x) {
            const double px = x + shiftX - q[0].X, py = y + shiftY - q[0].Y;
            const double a = (px * by - py * bx) / det, b = (ax * py - ay * px) / det;
            if (a < 0 || a >= 1 || b < 0 || b >= 1) continue;
            const double u = q[0].U + a * (q[1].U - q[0].U) + b * (q[3].U - q[0].U);
            const double v = q[0].V + a * (q[1].V - q[0].V) + b * (q[3].V - q[0].V);
            const int32_t tx = std::clamp(static_cast<int32_t>(std::floor(u * texture.Width)), 0,
                                          texture.Width - 1);
            const int32_t ty = std::clamp(static_cast<int32_t>(std::floor(v * texture.Height)), 0,
                                          texture.Height - 1);
            const uint32_t t = texture.At(tx, ty);
            const int32_t alpha = Channel(t, 24) * Channel(color, 24) / 255;
            uint32_t out = 0xFF000000u;
            for (int shift : {0, 8, 16}) {
                const int32_t src = Channel(t, shift) * Channel(color, shift) / 255;
                const int32_t dst = Channel(target.At(x, y), shift);
                out |= static_cast<uint32_t>((src * alpha + dst * (255 - alpha)) / 255) << shift;
            }
            target.At(x, y) = out;
        }
    }
}
