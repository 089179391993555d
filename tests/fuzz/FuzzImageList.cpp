// Fuzz target: the image-list reader on any bytes. It must never crash, read out of bounds,
// leak or take more memory than the list's caps allow; a damaged file is simply refused.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/ImageList.h"
#include "engine/PictureDecode.h"
#include "platform/MessageBox.h"

// Pictures up to 512 pixels a side: the limit's code paths are the same as with the game's
// 4096, and a run that never decodes 64 MB pictures tries far more inputs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetMaxPictureSide(512);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The load reports damage in message boxes; nobody reads them here.
    static const bool quiet = [] {
        SetMessageHandler([](const TMessage&) {});
        return true;
    }();
    (void)quiet;
    TImageListCollection list;
    list.LoadFromStream(std::vector<uint8_t>(data, data + size));
    // What the game does with a loaded list: look pictures up and read their sizes.
    for (int32_t i = 0; i < list.Count(); ++i) {
        const TImageListItem* item = list.Items(i);
        if (list.Find(item->Name) == nullptr) __builtin_trap();
        if (!item->Picture.Empty() &&
            item->Picture.Pixels.size() != static_cast<size_t>(item->Picture.Width) *
                                               static_cast<size_t>(item->Picture.Height))
            __builtin_trap();
    }
    return 0;
}
