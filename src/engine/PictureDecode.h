// Picture decoders for the data inside image-list files: PNG (libpng, from memory) and BMP
// (uncompressed 1/4/8-bit palettised, 24-bit and 32-bit). Both turn their input into 32-bit
// ARGB pixels (alpha in the high byte), row by row from the top. The input is untrusted: every
// read is bounds-checked, pictures wider or taller than MaxPictureSide() are refused, and the
// caller may cap the bytes the pixels take, so a damaged header cannot ask for gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/ImageList.h"

#include <limits>

// The largest picture side made into a texture: the decoders refuse larger pictures, and the
// texture maker never sees one. The screen lowers it to what its renderer can hold.
constexpr int32_t kDefaultMaxPictureSide = 4096;
int32_t MaxPictureSide();
// Sets the limit to the largest power of two not above side and kDefaultMaxPictureSide (the
// textures are padded to powers of two). 0 or less restores the default.
void SetMaxPictureSide(int32_t side);

constexpr uint64_t kNoPixelLimit = std::numeric_limits<uint64_t>::max();

// Decodes the PNG stream at the start of data. The stream ends with its IEND chunk; bytes
// after it are not looked at. On success fills picture (format Png) and sets consumed to the
// length of the PNG stream. On failure returns false and leaves picture untouched. A picture
// whose pixels would take more than maxPixelBytes is refused before they are allocated.
bool DecodePng(const uint8_t* data, size_t size, TPicture& picture, size_t& consumed,
               uint64_t maxPixelBytes = kNoPixelLimit);

// Decodes a whole BMP file of size bytes. On failure returns false, picture untouched.
bool DecodeBmp(const uint8_t* data, size_t size, TPicture& picture,
               uint64_t maxPixelBytes = kNoPixelLimit);
