#include "VilWriter.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>

namespace {
// Value tags of the object stream.
enum : uint8_t {
    kEndOfList = 0,
    kListItem = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kString = 6,
    kFalse = 8,
    kTrue = 9,
    kBinary = 10,
    kLongString = 12,
    kCollection = 14,
};

class TByteWriter {
public:
    std::vector<uint8_t> Bytes;

    void U8(uint8_t v) { Bytes.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        Bytes.insert(Bytes.end(), p, p + size);
    }
    // Short strings carry one length byte; callers keep them under 256 characters.
    void ShortString(std::string_view s) {
        U8(static_cast<uint8_t>(s.size()));
        Raw(s.data(), s.size());
    }

    void StringValue(std::string_view s) {
        if (s.size() <= 255) {
            U8(kString);
            ShortString(s);
        } else {
            U8(kLongString);
            U32(static_cast<uint32_t>(s.size()));
            Raw(s.data(), s.size());
        }
    }
    // The smallest integer tag that holds the value, as the reader accepts all three.
    void IntegerValue(int32_t v) {
        if (v >= std::numeric_limits<int8_t>::min() && v <= std::numeric_limits<int8_t>::max()) {
            U8(kInt8);
            U8(static_cast<uint8_t>(static_cast<int8_t>(v)));
        } else if (v >= std::numeric_limits<int16_t>::min() &&
                   v <= std::numeric_limits<int16_t>::max()) {
            U8(kInt16);
            U16(static_cast<uint16_t>(static_cast<int16_t>(v)));
        } else {
            U8(kInt32);
            U32(static_cast<uint32_t>(v));
        }
    }
};

constexpr std::string_view kClassName = "TImageListCollectionComponent";
constexpr std::string_view kResourceName = "TIMAGELISTCOLLECTIONCOMPONENT";
constexpr std::string_view kPngClass = "TPNGObject";

void WriteItem(TByteWriter& w, const TVilItem& item) {
    w.U8(kListItem);
    w.ShortString("Name");
    w.StringValue(item.Name);
    if (!item.Png.empty()) {
        w.ShortString("Picture.Data");
        w.U8(kBinary);
        w.U32(static_cast<uint32_t>(1 + kPngClass.size() + item.Png.size()));
        w.ShortString(kPngClass);
        w.Raw(item.Png.data(), item.Png.size());
    }
    w.ShortString("TileHeight");
    w.IntegerValue(item.TileHeight);
    w.ShortString("TileWidth");
    w.IntegerValue(item.TileWidth);
    w.ShortString("TransparentColor");
    w.U8(kInt32);
    w.U32(item.TransparentColor);
    w.ShortString("Transparent");
    w.U8(item.Transparent ? kTrue : kFalse);
    w.U8(kEndOfList);
}

std::vector<uint8_t> ObjectStream(const std::vector<TVilItem>& items) {
    TByteWriter w;
    w.Raw("TPF0", 4);
    w.ShortString(kClassName);
    w.ShortString("");
    w.ShortString("List");
    w.U8(kCollection);
    for (const TVilItem& item : items) WriteItem(w, item);
    w.U8(kEndOfList);  // end of the collection
    w.U8(kEndOfList);  // end of the root object's properties
    w.U8(kEndOfList);  // no child objects
    return std::move(w.Bytes);
}
}  // namespace

std::vector<uint8_t> WriteVil(const std::vector<TVilItem>& items) {
    const std::vector<uint8_t> stream = ObjectStream(items);
    TByteWriter w;
    w.U8(0xFF);
    w.U16(10);
    w.Raw(kResourceName.data(), kResourceName.size());
    w.U8(0);
    w.U16(0x1030);
    w.U32(static_cast<uint32_t>(stream.size()));
    w.Raw(stream.data(), stream.size());
    return std::move(w.Bytes);
}

bool WriteVilFile(const std::string& path, const std::vector<TVilItem>& items) {
    const std::vector<uint8_t> bytes = WriteVil(items);
    // Write beside the target and rename over it, so a reader never sees half a file.
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    std::error_code error;
    if (ok) std::filesystem::rename(temp, path, error);
    if (!ok || error) {
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}
