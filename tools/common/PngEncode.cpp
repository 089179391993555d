#include "PngEncode.h"

#include <png.h>

#include <csetjmp>

namespace {
void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

std::vector<uint8_t> RgbaRows(int w, int h, const uint32_t* argb) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    for (size_t i = 0; i < static_cast<size_t>(w) * static_cast<size_t>(h); ++i) {
        const uint32_t p = argb[i];
        rgba[i * 4 + 0] = static_cast<uint8_t>(p >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(p >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(p);
        rgba[i * 4 + 3] = static_cast<uint8_t>(p >> 24);
    }
    return rgba;
}

// Kept apart from EncodePng so that no object with a destructor lives across setjmp.
bool WritePng(png_structp png, png_infop info, int w, int h, std::vector<png_bytep>& rows,
              std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}
}  // namespace

std::vector<uint8_t> EncodePng(int w, int h, const uint32_t* argb) {
    if (w <= 0 || h <= 0 || argb == nullptr) return {};
    std::vector<uint8_t> rgba = RgbaRows(w, h, argb);
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[static_cast<size_t>(y)] = rgba.data() + static_cast<size_t>(y) * w * 4;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return {};
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return {};
    }
    std::vector<uint8_t> out;
    const bool ok = WritePng(png, info, w, h, rows, out);
    png_destroy_write_struct(&png, &info);
    if (!ok) return {};
    return out;
}
