// PNG and BMP decoding. libpng reports errors by longjmp, so the PNG decoding itself happens
// in a function that owns no C++ objects; everything with a destructor lives in its caller.
// The BMP reader is our own: the format is simple, and a reader that checks every offset
// against the buffer is shorter than wrapping one that does not.
#include "engine/PictureDecode.h"

#include <png.h>

#include <atomic>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {
std::atomic<int32_t> PictureSideLimit{kDefaultMaxPictureSide};

bool FitsLimits(uint64_t width, uint64_t height, uint64_t maxPixelBytes) {
    const auto side = static_cast<uint64_t>(MaxPictureSide());
    return width > 0 && height > 0 && width <= side && height <= side &&
           width * height * 4 <= maxPixelBytes;
}
}  // namespace

int32_t MaxPictureSide() {
    return PictureSideLimit.load(std::memory_order_relaxed);
}

void SetMaxPictureSide(int32_t side) {
    if (side <= 0 || side > kDefaultMaxPictureSide) side = kDefaultMaxPictureSide;
    PictureSideLimit.store(static_cast<int32_t>(std::bit_floor(static_cast<uint32_t>(side))),
                           std::memory_order_relaxed);
}

namespace {
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadBigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

struct TPngLayout {
    size_t Length = 0;       // bytes up to and including the IEND chunk
    uint64_t IdatBytes = 0;  // compressed image data, summed over the IDAT chunks
    uint32_t Width = 0, Height = 0;
    uint8_t BitDepth = 0, ColorType = 0;
};

// Walks the chunk list to find where the stream ends, so that libpng is only ever given the
// PNG's own bytes and a missing IEND is caught before any pixel memory is allocated.
bool ScanPngChunks(const uint8_t* data, size_t size, TPngLayout& layout) {
    if (size < 8 || std::memcmp(data, kPngSignature, 8) != 0) return false;
    size_t pos = 8;
    bool first = true;
    while (size - pos >= 12) {
        const uint32_t length = ReadBigEndian32(data + pos);
        const uint8_t* type = data + pos + 4;
        if (length > 0x7FFFFFFFu || length > size - pos - 12) return false;
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return false;
            layout.Width = ReadBigEndian32(data + pos + 8);
            layout.Height = ReadBigEndian32(data + pos + 12);
            layout.BitDepth = data[pos + 16];
            layout.ColorType = data[pos + 17];
            first = false;
        }
        if (std::memcmp(type, "IDAT", 4) == 0) layout.IdatBytes += length;
        pos += 12 + static_cast<size_t>(length);
        if (std::memcmp(type, "IEND", 4) == 0) {
            layout.Length = pos;
            return true;
        }
    }
    return false;
}

// Samples per pixel of each PNG colour type (0 for types that do not exist).
uint32_t Channels(uint8_t colorType) {
    switch (colorType) {
        case 0:
            return 1;  // grey
        case 2:
            return 3;  // RGB
        case 3:
            return 1;  // palette index
        case 4:
            return 2;  // grey + alpha
        case 6:
            return 4;  // RGBA
        default:
            return 0;
    }
}

// Deflate cannot shrink data by more than about 1032:1; a picture whose compressed data is
// far too short for its size is damaged, and is refused before its pixels are allocated.
bool PlausiblePngSize(const TPngLayout& layout, uint64_t maxPixelBytes) {
    if (!FitsLimits(layout.Width, layout.Height, maxPixelBytes)) return false;
    const uint64_t bitsPerPixel = uint64_t{Channels(layout.ColorType)} * layout.BitDepth;
    if (bitsPerPixel == 0) return false;
    // The filtered rows of a non-interlaced picture; interlacing only adds to this.
    const uint64_t rawBytes = uint64_t{layout.Height} * (1 + (layout.Width * bitsPerPixel + 7) / 8);
    return layout.IdatBytes * 1100 + 64 >= rawBytes;
}

struct TMemoryReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
    if (length > reader->Size - reader->Pos) png_error(png, "read past the end of the PNG");
    std::memcpy(out, reader->Data + reader->Pos, length);
    reader->Pos += length;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit four-channel output laid out so that each pixel reads as one native
// 32-bit ARGB value.
void RequestArgbOutput(png_structp png, png_infop info) {
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if constexpr (std::endian::native == std::endian::little) {
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    } else {
        png_set_swap_alpha(png);
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// The part that may longjmp. pixels is sized here, once the header has been checked; rows
// is only filled in after that.
bool ReadPng(png_structp png, png_infop info, TMemoryReader* reader, std::vector<uint32_t>* pixels,
             std::vector<png_bytep>* rows, int32_t* width, int32_t* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, reader, ReadFromMemory);
    const auto side = static_cast<png_uint_32>(MaxPictureSide());
    png_set_user_limits(png, side, side);
    png_read_info(png, info);
    RequestArgbOutput(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 4) return false;
    pixels->resize(static_cast<size_t>(w) * h);
    rows->resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        (*rows)[y] = reinterpret_cast<png_bytep>(pixels->data() + static_cast<size_t>(y) * w);
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return true;
}
}  // namespace

bool DecodePng(const uint8_t* data, size_t size, TPicture& picture, size_t& consumed,
               uint64_t maxPixelBytes) {
    if (data == nullptr) return false;
    TPngLayout layout;
    if (!ScanPngChunks(data, size, layout) || !PlausiblePngSize(layout, maxPixelBytes))
        return false;

    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    TMemoryReader reader{data, layout.Length, 0};
    std::vector<uint32_t> pixels;
    std::vector<png_bytep> rows;
    int32_t width = 0, height = 0;
    bool ok = false;
    try {
        ok = ReadPng(png, info, &reader, &pixels, &rows, &width, &height);
    } catch (const std::bad_alloc&) {
        ok = false;
    } catch (const std::length_error&) {
        ok = false;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return false;

    picture.Format = TPicture::TFormat::Png;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels = std::move(pixels);
    consumed = layout.Length;
    return true;
}

// ---- BMP ----

namespace {
uint16_t ReadLittleEndian16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t ReadLittleEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(ReadLittleEndian16(p)) |
           (static_cast<uint32_t>(ReadLittleEndian16(p + 2)) << 16);
}

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// One channel of a bit-field pixel: where it sits and how wide it is.
struct TChannelMask {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    static TChannelMask From(uint32_t mask) {
        TChannelMask c;
        c.Mask = mask;
        if (mask == 0) return c;
        c.Shift = std::countr_zero(mask);
        // The span from the lowest to the highest set bit, so that a mask with holes in it
        // still gives a value that fits.
        c.Bits = 32 - std::countl_zero(mask) - c.Shift;
        return c;
    }
    // The channel scaled to 0..255.
    uint32_t Extract(uint32_t pixel, uint32_t absent) const {
        if (Mask == 0) return absent;
        const uint32_t v = (pixel & Mask) >> Shift;
        if (Bits >= 8) return v >> (Bits - 8);
        const uint32_t max = (1u << Bits) - 1;
        return (v * 255 + max / 2) / max;
    }
};

struct TBmpHeader {
    int32_t Width = 0, Height = 0;
    bool TopDown = false;
    uint32_t BitCount = 0;
    uint32_t Compression = kBiRgb;
    size_t PixelOffset = 0;
    size_t PaletteOffset = 0;
    uint32_t PaletteCount = 0;
    uint32_t PaletteEntrySize = 4;
    TChannelMask Red, Green, Blue, Alpha;
};

bool ReadCoreHeader(const uint8_t* data, size_t size, TBmpHeader& h) {
    if (size < 14 + 12) return false;
    h.Width = ReadLittleEndian16(data + 18);
    h.Height = ReadLittleEndian16(data + 20);
    h.BitCount = ReadLittleEndian16(data + 24);
    h.PaletteOffset = 14 + 12;
    h.PaletteEntrySize = 3;
    h.PaletteCount = h.BitCount <= 8 ? (1u << h.BitCount) : 0;
    return true;
}

// The default layout of a bit-field pixel when the file gives no masks.
void DefaultMasks(TBmpHeader& h) {
    if (h.BitCount == 16) {
        h.Red = TChannelMask::From(0x7C00);
        h.Green = TChannelMask::From(0x03E0);
        h.Blue = TChannelMask::From(0x001F);
    } else {
        h.Red = TChannelMask::From(0x00FF0000);
        h.Green = TChannelMask::From(0x0000FF00);
        h.Blue = TChannelMask::From(0x000000FF);
    }
}

bool ReadInfoHeader(const uint8_t* data, size_t size, uint32_t headerSize, TBmpHeader& h) {
    if (headerSize < 40 || size < 14 + static_cast<size_t>(headerSize)) return false;
    const uint8_t* info = data + 14;
    h.Width = static_cast<int32_t>(ReadLittleEndian32(info + 4));
    const int32_t height = static_cast<int32_t>(ReadLittleEndian32(info + 8));
    if (height == INT32_MIN) return false;
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
    h.BitCount = ReadLittleEndian16(info + 14);
    h.Compression = ReadLittleEndian32(info + 16);
    const uint32_t colorsUsed = ReadLittleEndian32(info + 32);
    size_t afterHeader = 14 + static_cast<size_t>(headerSize);
    DefaultMasks(h);
    if (h.Compression == kBiBitfields) {
        // Masks sit inside the newer headers, or just after the 40-byte one.
        const uint8_t* masks = info + 40;
        if (headerSize == 40) {
            if (size < afterHeader + 12) return false;
            afterHeader += 12;
        } else if (headerSize < 52) {
            return false;
        }
        h.Red = TChannelMask::From(ReadLittleEndian32(masks));
        h.Green = TChannelMask::From(ReadLittleEndian32(masks + 4));
        h.Blue = TChannelMask::From(ReadLittleEndian32(masks + 8));
        if (headerSize >= 56) h.Alpha = TChannelMask::From(ReadLittleEndian32(masks + 12));
    }
    h.PaletteOffset = afterHeader;
    if (h.BitCount <= 8) {
        const uint32_t full = 1u << h.BitCount;
        h.PaletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    }
    return true;
}

bool ReadBmpHeader(const uint8_t* data, size_t size, TBmpHeader& h) {
    if (size < 14 + 4 || data[0] != 'B' || data[1] != 'M') return false;
    h.PixelOffset = ReadLittleEndian32(data + 10);
    const uint32_t headerSize = ReadLittleEndian32(data + 14);
    const bool ok = headerSize == 12 ? ReadCoreHeader(data, size, h)
                                     : ReadInfoHeader(data, size, headerSize, h);
    if (!ok) return false;
    if (h.Width <= 0 || h.Height <= 0) return false;
    switch (h.BitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            if (h.Compression != kBiRgb) return false;
            break;
        case 16:
        case 32:
            if (h.Compression != kBiRgb && h.Compression != kBiBitfields) return false;
            break;
        default:
            return false;
    }
    const uint64_t paletteEnd =
        h.PaletteOffset + static_cast<uint64_t>(h.PaletteCount) * h.PaletteEntrySize;
    return paletteEnd <= size;
}

size_t RowStride(const TBmpHeader& h) {
    return ((static_cast<size_t>(h.Width) * h.BitCount + 31) / 32) * 4;
}

std::vector<uint32_t> ReadPalette(const uint8_t* data, const TBmpHeader& h) {
    // Indices past the palette's end read as opaque black rather than past the buffer.
    std::vector<uint32_t> palette(size_t{1} << h.BitCount, 0xFF000000u);
    for (uint32_t i = 0; i < h.PaletteCount; ++i) {
        const uint8_t* e = data + h.PaletteOffset + static_cast<size_t>(i) * h.PaletteEntrySize;
        palette[i] = 0xFF000000u | (static_cast<uint32_t>(e[2]) << 16) |
                     (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
    return palette;
}

void DecodeIndexedRow(const uint8_t* row, const TBmpHeader& h, const std::vector<uint32_t>& palette,
                      uint32_t* out) {
    const uint32_t bits = h.BitCount;
    const uint32_t perByte = 8 / bits;
    const uint32_t mask = (1u << bits) - 1;
    for (int32_t x = 0; x < h.Width; ++x) {
        const uint32_t byte = row[static_cast<uint32_t>(x) / perByte];
        const uint32_t shift = 8 - bits * (static_cast<uint32_t>(x) % perByte + 1);
        out[x] = palette[(byte >> shift) & mask];
    }
}

void DecodeMaskedRow(const uint8_t* row, const TBmpHeader& h, uint32_t* out) {
    const size_t bytes = h.BitCount / 8;
    for (int32_t x = 0; x < h.Width; ++x) {
        const uint8_t* p = row + static_cast<size_t>(x) * bytes;
        const uint32_t v = bytes == 2 ? ReadLittleEndian16(p) : ReadLittleEndian32(p);
        out[x] = (h.Alpha.Extract(v, 0xFF) << 24) | (h.Red.Extract(v, 0) << 16) |
                 (h.Green.Extract(v, 0) << 8) | h.Blue.Extract(v, 0);
    }
}

void DecodeRgbRow(const uint8_t* row, const TBmpHeader& h, uint32_t* out) {
    for (int32_t x = 0; x < h.Width; ++x) {
        const uint8_t* p = row + static_cast<size_t>(x) * 3;
        out[x] = 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) |
                 (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
}

// Plain 32-bit bitmaps usually leave the fourth byte at zero; only when some pixel sets it
// is it taken as alpha, otherwise the picture would come out invisible.
void ResolvePlainAlpha(const TBmpHeader& h, std::vector<uint32_t>& pixels) {
    if (h.BitCount != 32 || h.Compression != kBiRgb) return;
    bool anyAlpha = false;
    for (uint32_t p : pixels) anyAlpha = anyAlpha || (p >> 24) != 0;
    if (!anyAlpha)
        for (uint32_t& p : pixels) p |= 0xFF000000u;
}
}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, TPicture& picture, uint64_t maxPixelBytes) {
    if (data == nullptr) return false;
    TBmpHeader h;
    if (!ReadBmpHeader(data, size, h)) return false;
    if (!FitsLimits(static_cast<uint64_t>(h.Width), static_cast<uint64_t>(h.Height), maxPixelBytes))
        return false;
    if (h.BitCount == 32 && h.Compression == kBiRgb) {
        h.Alpha = TChannelMask::From(0xFF000000u);
        DefaultMasks(h);
    }
    const size_t stride = RowStride(h);
    if (h.PixelOffset > size || stride * static_cast<size_t>(h.Height) > size - h.PixelOffset)
        return false;

    std::vector<uint32_t> palette, pixels;
    try {
        if (h.BitCount <= 8) palette = ReadPalette(data, h);
        pixels.resize(static_cast<size_t>(h.Width) * static_cast<size_t>(h.Height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int32_t y = 0; y < h.Height; ++y) {
        const int32_t fileRow = h.TopDown ? y : h.Height - 1 - y;
        const uint8_t* row = data + h.PixelOffset + static_cast<size_t>(fileRow) * stride;
        uint32_t* out = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(h.Width);
        if (h.BitCount <= 8)
            DecodeIndexedRow(row, h, palette, out);
        else if (h.BitCount == 24)
            DecodeRgbRow(row, h, out);
        else
            DecodeMaskedRow(row, h, out);
    }
    ResolvePlainAlpha(h, pixels);

    picture.Format = TPicture::TFormat::Bmp;
    picture.Width = h.Width;
    picture.Height = h.Height;
    picture.Pixels = std::move(pixels);
    return true;
}
