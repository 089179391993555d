// Fuzz target: the PNG decoder on any bytes. A picture it accepts must be inside the size
// limit and hold exactly width x height pixels.
#include <cstddef>
#include <cstdint>

#include "engine/PictureDecode.h"

// Pictures up to 512 pixels a side: the limit's code paths are the same as with the game's
// 4096, and a run that never decodes 64 MB pictures tries far more inputs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMaxPictureSide(512);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPicture picture;
    size_t consumed = 0;
    if (!DecodePng(data, size, picture, consumed)) return 0;
    if (consumed == 0 || consumed > size) __builtin_trap();
    if (picture.Width < 1 || picture.Height < 1 || picture.Width > MaxPictureSide() ||
        picture.Height > MaxPictureSide())
        __builtin_trap();
    if (picture.Pixels.size() !=
        static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height))
        __builtin_trap();
    return 0;
}
