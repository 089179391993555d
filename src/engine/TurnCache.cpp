#include "engine/TurnCache.h"

#include <algorithm>
#include <bit>

namespace {
uint64_t Mix(uint64_t h, uint64_t v) {
    // One round of a 64-bit mixer per field: keys differ mostly in the angle's low bits.
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xFF51AFD7ED558CCDull;
}

uint64_t Bits(float v) {
    return std::bit_cast<uint32_t>(v);
}
}  // namespace

bool TTurnKey::operator==(const TTurnKey& o) const {
    return Texture == o.Texture && SrcX == o.SrcX && SrcY == o.SrcY && SrcW == o.SrcW &&
           SrcH == o.SrcH && Bits(Width) == Bits(o.Width) && Bits(Height) == Bits(o.Height) &&
           Bits(CenterX) == Bits(o.CenterX) && Bits(CenterY) == Bits(o.CenterY) &&
           std::bit_cast<uint64_t>(Angle) == std::bit_cast<uint64_t>(o.Angle) && Flip == o.Flip &&
           Linear == o.Linear && Stretched == o.Stretched;
}

size_t TTurnKeyHash::operator()(const TTurnKey& k) const {
    uint64_t h = Mix(0, k.Texture);
    h = Mix(h, static_cast<uint32_t>(k.SrcX) | static_cast<uint64_t>(k.SrcY) << 32);
    h = Mix(h, static_cast<uint32_t>(k.SrcW) | static_cast<uint64_t>(k.SrcH) << 32);
    h = Mix(h, Bits(k.Width) | Bits(k.Height) << 32);
    h = Mix(h, Bits(k.CenterX) | Bits(k.CenterY) << 32);
    h = Mix(h, std::bit_cast<uint64_t>(k.Angle));
    h = Mix(h, static_cast<uint64_t>(k.Flip) << 2 | (k.Stretched ? 2u : 0u) | (k.Linear ? 1u : 0u));
    return static_cast<size_t>(h ^ (h >> 29));
}

TTurnedPicture& TTurnCache::Sight(const TTurnKey& key, int64_t frame) {
    TTurnedPicture& p = Pictures[key];
    ++p.Sightings;
    p.LastFrame = frame;
    return p;
}

bool TTurnCache::Keep(TTurnedPicture& picture, const std::vector<uint32_t>& raw, int32_t width,
                      int32_t height, int32_t left, int32_t top) {
    // The bounding box of the texels that are not clear: clear texels change nothing.
    int32_t x0 = width, x1 = 0, y0 = height, y1 = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if ((raw[static_cast<size_t>(y) * static_cast<size_t>(width) +
                     static_cast<size_t>(x)] >>
                 24) != 0) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x + 1);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y + 1);
            }
    const int32_t w = std::max(x1 - x0, 0), h = std::max(y1 - y0, 0);
    const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (!Fits(pixels)) return false;
    picture.Left = left + x0;
    picture.Top = top + y0;
    picture.Width = w;
    picture.Height = h;
    picture.Pixels.resize(pixels);
    picture.Spans.assign(static_cast<size_t>(h) * 2, 0);
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* row =
            raw.data() + static_cast<size_t>(y + y0) * static_cast<size_t>(width) + x0;
        std::copy(row, row + w, picture.Pixels.begin() + static_cast<ptrdiff_t>(y) * w);
        int32_t first = 0, last = w;
        while (first < last && (row[first] >> 24) == 0) ++first;
        while (last > first && (row[last - 1] >> 24) == 0) --last;
        picture.Spans[static_cast<size_t>(y) * 2] = first;
        picture.Spans[static_cast<size_t>(y) * 2 + 1] = last;
    }
    picture.Ready = true;
    picture.IsPrepared = picture.Seen = false;
    KeptPixels += pixels;
    return true;
}

const uint32_t* TTurnCache::TexelsFor(TTurnedPicture& picture, uint32_t color, bool& prepared) {
    prepared = false;
    if (picture.IsPrepared) {
        if (picture.PreparedColor == color) {
            prepared = true;
            return picture.Pixels.data();
        }
        KeptPixels -= picture.Pixels.size();
        std::vector<uint32_t>().swap(picture.Pixels);
        std::vector<int32_t>().swap(picture.Spans);
        picture.Ready = picture.IsPrepared = false;
        picture.Sightings = 1;
        return nullptr;
    }
    const bool again = picture.Seen && picture.LastColor == color;
    picture.Seen = true;
    picture.LastColor = color;
    if (again) {
        // Texel by texel, so it may write where it reads.
        PrepareModulatedRow(picture.Pixels.data(), picture.Pixels.data(),
                            static_cast<int32_t>(picture.Pixels.size()), color);
        picture.IsPrepared = prepared = true;
        picture.PreparedColor = color;
    }
    return picture.Pixels.data();
}

void TTurnCache::EndFrame(int64_t frame) {
    // A sweep now and then is enough, unless sprites that turn every frame pile up sightings
    // that will never come again.
    if (frame % 16 != 0 && Pictures.size() <= SightingsSwept) return;
    std::erase_if(Pictures, [this, frame](const auto& entry) {
        const TTurnedPicture& p = entry.second;
        if (p.LastFrame + (p.Ready ? KeepFrames : 1) >= frame) return false;
        KeptPixels -= p.Pixels.size();
        return true;
    });
}

size_t TTurnCache::Bytes() const {
    size_t bytes = 0;
    for (const auto& [key, p] : Pictures)
        bytes += p.Pixels.capacity() * sizeof(uint32_t) + p.Spans.capacity() * sizeof(int32_t);
    return bytes;
}

void TTurnCache::Clear() {
    Pictures.clear();
    KeptPixels = 0;
}
