// Picture decoders for the data inside image-list files: PNG (libpng, from memory) and BMP
// (uncompressed 1/4/8-bit palettised, 24-bit and 32-bit). Both turn their input into 32-bit
// ARGB pixels (alpha in the high byte), row by row from the top. The input is untrusted: every
// read is bounds-checked, and pictures larger than kMaxPictureSide per side are refused so
// that a damaged header cannot ask for gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/ImageList.h"

constexpr int32_t kMaxPictureSide = 8192;

// Decodes the PNG stream at the start of data. The stream ends with its IEND chunk; bytes
// after it are not looked at. On success fills picture (format Png) and sets consumed to the
// length of the PNG stream. On failure returns false and leaves picture untouched.
bool DecodePng(const uint8_t* data, size_t size, TPicture& picture, size_t& consumed);

// Decodes a whole BMP file of size bytes. On failure returns false, picture untouched.
bool DecodeBmp(const uint8_t* data, size_t size, TPicture& picture);
