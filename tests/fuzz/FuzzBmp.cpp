// Fuzz target: the BMP decoder on any bytes. A picture it accepts must be inside the size
// limit and hold exactly width x height pixels.
#include <cstddef>
#include <cstdint>

#include "engine/PictureDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPicture picture;
    if (!DecodeBmp(data, size, picture)) return 0;
    if (picture.Width < 1 || picture.Height < 1 || picture.Width > MaxPictureSide() ||
        picture.Height > MaxPictureSide())
        __builtin_trap();
    if (picture.Pixels.size() !=
        static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height))
        __builtin_trap();
    return 0;
}
