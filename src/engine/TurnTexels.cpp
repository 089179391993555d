#include "engine/TurnTexels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace {
struct TTurnFrame {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    // Cosine and sine of the turn the other way round: pixels are sampled back into the picture.
    double Cos = 0, Sin = 0;
    // 0 to 3 for a whole number of quarter turns, -1 otherwise.
    int32_t Quarter = -1;
};

// The turned picture's bounds from the corner texels' centres, turned about the centre.
TTurnFrame Frame(int32_t width, int32_t height, double angle, float centerX, float centerY) {
    const double radians = angle * (std::numbers::pi / 180.0);
    const double sine = std::sin(radians), cosine = std::cos(radians);
    const double cx = centerX, cy = centerY;
    double xs[4], ys[4];
    const double px[4] = {0.5, width - 0.5, 0.5, width - 0.5};
    const double py[4] = {0.5, 0.5, height - 0.5, height - 0.5};
    for (int i = 0; i < 4; ++i) {
        const double sx = px[i] - cx, sy = py[i] - cy;
        xs[i] = cosine * sx - sine * sy + cx;
        ys[i] = sine * sx + cosine * sy + cy;
    }
    // The smaller of two, the first on a tie, as SDL picks it (NaN included).
    const auto lower = [](double a, double b) { return a < b ? a : b; };
    const auto upper = [](double a, double b) { return a > b ? a : b; };
    TTurnFrame f;
    const auto minX =
        static_cast<int32_t>(std::floor(lower(lower(xs[0], xs[1]), lower(xs[2], xs[3]))));
    const auto maxX =
        static_cast<int32_t>(std::ceil(upper(upper(xs[0], xs[1]), upper(xs[2], xs[3]))));
    const auto minY =
        static_cast<int32_t>(std::floor(lower(lower(ys[0], ys[1]), lower(ys[2], ys[3]))));
    const auto maxY =
        static_cast<int32_t>(std::ceil(upper(upper(ys[0], ys[1]), upper(ys[2], ys[3]))));
    f.Left = minX;
    f.Top = minY;
    f.Width = maxX - minX;
    f.Height = maxY - minY;
    f.Sin = -sine;
    f.Cos = cosine;
    // Whole quarter turns are moves of texels, with the sizes exchanged or kept.
    const auto quarters = static_cast<int32_t>(angle / 90);
    if (quarters == angle / 90) {
        f.Quarter = ((quarters % 4) + 4) % 4;
        if (f.Quarter & 1) {
            f.Width = height;
            f.Height = width;
        } else {
            f.Width = width;
            f.Height = height;
        }
    }
    return f;
}

void TurnQuarters(const uint32_t* texels, ptrdiff_t pitch, int32_t width, int32_t height,
                  int32_t quarter, bool flipX, bool flipY, TTurnedTexels& out) {
    // Walks the texels in the order the turned picture's rows take them.
    const ptrdiff_t rowStep = flipY ? -pitch : pitch, texelStep = flipX ? -1 : 1;
    ptrdiff_t stepX = 0, stepY = 0;
    int32_t signX = 1, signY = 1;
    switch (quarter) {
        case 0:
            stepX = texelStep;
            stepY = rowStep - width * stepX;
            break;
        case 1:
            stepX = -rowStep;
            stepY = texelStep - stepX * height;
            signY = -1;
            break;
        case 2:
            stepX = -texelStep;
            stepY = -width * stepX - rowStep;
            signX = signY = -1;
            break;
        default:
            stepX = rowStep;
            stepY = -stepX * height - texelStep;
            signX = -1;
            break;
    }
    if (flipX) signX = -signX;
    if (flipY) signY = -signY;
    ptrdiff_t at = 0;
    if (signX < 0) at += width - 1;
    if (signY < 0) at += static_cast<ptrdiff_t>(height - 1) * pitch;
    uint32_t* o = out.Pixels.data();
    for (int32_t y = 0; y < out.Height; ++y, at += stepY)
        for (int32_t x = 0; x < out.Width; ++x, at += stepX) *o++ = texels[at];
}

// One channel (at shift) of the four texels around a sample, weighed in 16.16 fixed point.
uint32_t Weigh(uint32_t c00, uint32_t c01, uint32_t c10, uint32_t c11, int32_t ex, int32_t ey,
               int shift) {
    const auto ch = [shift](uint32_t c) { return static_cast<int32_t>((c >> shift) & 0xFFu); };
    const int32_t t1 = ((((ch(c01) - ch(c00)) * ex) >> 16) + ch(c00)) & 0xFF;
    const int32_t t2 = ((((ch(c11) - ch(c10)) * ex) >> 16) + ch(c10)) & 0xFF;
    return static_cast<uint32_t>(((((t2 - t1) * ey) >> 16) + t1) & 0xFF) << shift;
}

void TurnSampled(const uint32_t* texels, ptrdiff_t pitch, int32_t width, int32_t height,
                 float centerX, float centerY, const TTurnFrame& f, bool flipX, bool flipY,
                 bool linear, TTurnedTexels& out) {
    const auto isin = static_cast<int32_t>(f.Sin * 65536.0);
    const auto icos = static_cast<int32_t>(f.Cos * 65536.0);
    const auto cx = static_cast<int32_t>(static_cast<double>(centerX) * 65536.0);
    const auto cy = static_cast<int32_t>(static_cast<double>(centerY) * 65536.0);
    constexpr int32_t Half = 1 << 15;
    const int32_t lastX = width - 1, lastY = height - 1;
    uint32_t* o = out.Pixels.data();
    for (int32_t y = 0; y < out.Height; ++y) {
        const double sx = f.Left + 0.5 - static_cast<double>(centerX);
        const double sy = (f.Top + y) + 0.5 - static_cast<double>(centerY);
        auto sdx = static_cast<int32_t>((icos * sx - isin * sy) + cx - Half);
        auto sdy = static_cast<int32_t>((isin * sx + icos * sy) + cy - Half);
        for (int32_t x = 0; x < out.Width; ++x, ++o, sdx += icos, sdy += isin) {
            int32_t dx = sdx >> 16, dy = sdy >> 16;
            if (linear) {
                if (flipX) dx = lastX - dx;
                if (flipY) dy = lastY - dy;
                if (dx <= -1 || dy <= -1 || dx >= lastX || dy >= lastY) continue;
                const uint32_t* p = texels + static_cast<ptrdiff_t>(dy) * pitch + dx;
                uint32_t c00 = p[0], c01 = p[1], c10 = p[pitch], c11 = p[pitch + 1];
                if (flipX) {
                    std::swap(c00, c01);
                    std::swap(c10, c11);
                }
                if (flipY) {
                    std::swap(c00, c10);
                    std::swap(c01, c11);
                }
                const int32_t ex = sdx & 0xFFFF, ey = sdy & 0xFFFF;
                *o = Weigh(c00, c01, c10, c11, ex, ey, 0) | Weigh(c00, c01, c10, c11, ex, ey, 8) |
                     Weigh(c00, c01, c10, c11, ex, ey, 16) | Weigh(c00, c01, c10, c11, ex, ey, 24);
            } else {
                if (static_cast<uint32_t>(dx) >= static_cast<uint32_t>(width) ||
                    static_cast<uint32_t>(dy) >= static_cast<uint32_t>(height))
                    continue;
                if (flipX) dx = lastX - dx;
                if (flipY) dy = lastY - dy;
                *o = texels[static_cast<ptrdiff_t>(dy) * pitch + dx];
            }
        }
    }
}
}  // namespace

bool TurnTexels(const uint32_t* texels, int32_t pitch, int32_t width, int32_t height, double angle,
                float centerX, float centerY, bool flipX, bool flipY, bool linear, int32_t maxSide,
                TTurnedTexels& out) {
    if (texels == nullptr || width <= 0 || height <= 0 || pitch < width || !std::isfinite(angle) ||
        std::fabs(angle) > 1e6 || !(std::fabs(centerX) <= 1e6f) || !(std::fabs(centerY) <= 1e6f))
        return false;
    const TTurnFrame f = Frame(width, height, angle, centerX, centerY);
    if (f.Width <= 0 || f.Height <= 0 || f.Width > maxSide || f.Height > maxSide) return false;
    out.Left = f.Left;
    out.Top = f.Top;
    out.Width = f.Width;
    out.Height = f.Height;
    out.Pixels.assign(static_cast<size_t>(f.Width) * static_cast<size_t>(f.Height), 0);
    if (f.Quarter >= 0)
        TurnQuarters(texels, pitch, width, height, f.Quarter, flipX, flipY, out);
    else
        TurnSampled(texels, pitch, width, height, centerX, centerY, f, flipX, flipY, linear, out);
    return true;
}
