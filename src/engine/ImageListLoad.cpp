// Reading image-list (.vil) files: a resource-entry header, then an object stream whose root
// object has one property, "List", a collection of items. The file is untrusted: every read
// checks the remaining length, nesting is bounded, the items, their patterns and the memory
// their pictures take are capped per list, and any fault ends the load with one message while
// the whole items read before it stay (the damaged item itself is dropped).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>

#include <zlib.h>

#include "engine/FileRead.h"
#include "engine/ImageList.h"
#include "engine/PictureDecode.h"
#include "platform/MessageBox.h"
#include "platform/StopSignal.h"
#include "platform/ThreadPriority.h"

namespace {
// Value tags of the object stream.
enum : uint8_t {
    kEndOfList = 0,
    kList = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kString = 6,
    kIdent = 7,
    kFalse = 8,
    kTrue = 9,
    kBinary = 10,
    kLongString = 12,
    kCollection = 14,
};

// The header is looked for in this many leading bytes; a longer resource name is refused.
constexpr size_t kHeaderWindow = 79;
// Lists nested deeper than this in properties we skip are taken as damage, not data.
constexpr int kMaxSkipDepth = 32;

// Per-list caps, far above the game's own lists (under a hundred items, a few hundred
// patterns and under 20 MiB of pixels each) and far below what would hurt a player's machine.
constexpr int32_t kMaxItems = 4096;
constexpr int64_t kMaxPatterns = 65536;
constexpr uint64_t kMaxPictureBytes = uint64_t{128} << 20;

struct TStreamError {
    const char* Message;
};

// The game was asked to stop while a list was being read: no message, just out.
struct TLoadStopped {};

// What the items read so far have used of the list's caps.
struct TListBudget {
    uint64_t PictureBytes = 0;
    int64_t Patterns = 0;
};

class TVilReader {
public:
    TVilReader(const uint8_t* data, size_t size, size_t pos) : Data(data), Size(size), Pos(pos) {}

    uint8_t U8() { return *Take(1); }
    uint16_t U16() {
        const uint8_t* p = Take(2);
        return static_cast<uint16_t>(p[0] | (p[1] << 8));
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
    std::string_view Bytes(size_t count) {
        return {reinterpret_cast<const char*>(Take(count)), count};
    }
    std::string_view ShortString() { return Bytes(U8()); }
    uint8_t PeekTag() const {
        if (Pos >= Size) throw TStreamError{"unexpected end of stream"};
        return Data[Pos];
    }

    int32_t IntegerValue(uint8_t tag) {
        switch (tag) {
            case kInt8:
                return static_cast<int8_t>(U8());
            case kInt16:
                return static_cast<int16_t>(U16());
            case kInt32:
                return static_cast<int32_t>(U32());
            default:
                throw TStreamError{"integer expected"};
        }
    }
    std::string StringValue(uint8_t tag) {
        if (tag == kString) return std::string(ShortString());
        if (tag == kLongString) return std::string(Bytes(U32()));
        throw TStreamError{"string expected"};
    }
    bool BooleanValue(uint8_t tag) {
        if (tag == kFalse || tag == kTrue) return tag == kTrue;
        throw TStreamError{"boolean expected"};
    }
    // A binary value: its bytes, which the caller reads on its own.
    std::string_view BinaryValue(uint8_t tag) {
        if (tag != kBinary) throw TStreamError{"binary value expected"};
        return Bytes(U32());
    }

    // Steps over a value whose property we do not know. Tags whose size cannot be known
    // are errors.
    void SkipValue(uint8_t tag, int depth = 0) {
        if (depth > kMaxSkipDepth) throw TStreamError{"values nested too deeply"};
        switch (tag) {
            case kEndOfList:
            case kFalse:
            case kTrue:
                return;
            case kInt8:
                Take(1);
                return;
            case kInt16:
                Take(2);
                return;
            case kInt32:
                Take(4);
                return;
            case kString:
            case kIdent:
                ShortString();
                return;
            case kBinary:
            case kLongString:
                Bytes(U32());
                return;
            case kList:
                for (uint8_t t = U8(); t != kEndOfList; t = U8()) SkipValue(t, depth + 1);
                return;
            case kCollection:
                SkipCollection(depth + 1);
                return;
            default:
                throw TStreamError{"unknown value type"};
        }
    }

    size_t Position() const { return Pos; }

private:
    const uint8_t* Take(size_t count) {
        if (count > Size - Pos) throw TStreamError{"unexpected end of stream"};
        const uint8_t* p = Data + Pos;
        Pos += count;
        return p;
    }

    void SkipCollection(int depth) {
        if (depth > kMaxSkipDepth) throw TStreamError{"values nested too deeply"};
        for (uint8_t tag = U8(); tag != kEndOfList; tag = U8()) {
            if (tag == kInt8 || tag == kInt16 || tag == kInt32) {
                IntegerValue(tag);
                tag = U8();
            }
            if (tag != kList) throw TStreamError{"collection item expected"};
            for (std::string_view name = ShortString(); !name.empty(); name = ShortString())
                SkipValue(U8(), depth + 1);
        }
    }

    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

struct TNamedColor {
    std::string_view Name;
    uint32_t Value;  // 0x00BBGGRR
};

// The basic colours, then the desktop's system colours with the values of a plain classic
// desktop: the game only uses them as colour keys, and a fixed value keeps pictures the same
// on every machine.
constexpr TNamedColor kNamedColors[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080},     {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},       {"clPurple", 0x800080},
    {"clTeal", 0x808000},  {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},   {"clLime", 0x00FF00},       {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF},    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF}, {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
};

// Indexed by the system colour number (the low byte of 0x80000000 + n).
constexpr TNamedColor kSystemColors[] = {
    {"clScrollBar", 0xC8D0D4},
    {"clBackground", 0xA56E3A},
    {"clActiveCaption", 0x6A240A},
    {"clInactiveCaption", 0x808080},
    {"clMenu", 0xC8D0D4},
    {"clWindow", 0xFFFFFF},
    {"clWindowFrame", 0x000000},
    {"clMenuText", 0x000000},
    {"clWindowText", 0x000000},
    {"clCaptionText", 0xFFFFFF},
    {"clActiveBorder", 0xC8D0D4},
    {"clInactiveBorder", 0xC8D0D4},
    {"clAppWorkSpace", 0x808080},
    {"clHighlight", 0x6A240A},
    {"clHighlightText", 0xFFFFFF},
    {"clBtnFace", 0xC8D0D4},
    {"clBtnShadow", 0x808080},
    {"clGrayText", 0x808080},
    {"clBtnText", 0x000000},
    {"clInactiveCaptionText", 0xC8D0D4},
    {"clBtnHighlight", 0xFFFFFF},
    {"cl3DDkShadow", 0x404040},
    {"cl3DLight", 0xC8D0D4},
    {"clInfoText", 0x000000},
    {"clInfoBk", 0xE1FFFF},
    {"", 0x000000},  // number 25 is unused
    {"clHotLight", 0x800000},
    {"clGradientActiveCaption", 0xF0CAA6},
    {"clGradientInactiveCaption", 0xC0C0C0},
    {"clMenuHighlight", 0xC56A31},
    {"clMenuBar", 0xC8D0D4},
};

uint32_t ColorFromIdent(std::string_view ident) {
    for (const TNamedColor& c : kNamedColors)
        if (SameName(c.Name, ident)) return c.Value;
    for (const TNamedColor& c : kSystemColors)
        if (!c.Name.empty() && SameName(c.Name, ident)) return c.Value;
    throw TStreamError{"unknown colour name"};
}

// A system colour given as a number (0x80000000 + index) is resolved here, so that every
// TransparentColor the list holds is a plain 0x00BBGGRR value.
uint32_t ResolveColorNumber(uint32_t value) {
    if ((value & 0xFF000000u) != 0x80000000u) return value;
    const uint32_t index = value & 0x00FFFFFFu;
    return index < std::size(kSystemColors) ? kSystemColors[index].Value : 0;
}

// "Picture.Data": a class name, then that class's data. Unknown classes give no picture. The
// pixels may take at most maxPixelBytes.
std::optional<TPicture> ReadPicture(std::string_view data, uint64_t maxPixelBytes) {
    TVilReader r(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 0);
    const std::string_view className = r.ShortString();
    const auto* rest = reinterpret_cast<const uint8_t*>(data.data()) + r.Position();
    const size_t restSize = data.size() - r.Position();
    TPicture picture;
    if (className == "TPNGObject") {
        size_t consumed = 0;
        if (!DecodePng(rest, restSize, picture, consumed, maxPixelBytes))
            throw TStreamError{"bad or too large PNG picture"};
        return picture;
    }
    if (className == "TBitmap") {
        const uint32_t size = r.U32();
        const std::string_view bmp = r.Bytes(size);
        if (!DecodeBmp(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), picture,
                       maxPixelBytes))
            throw TStreamError{"bad or too large BMP picture"};
        return picture;
    }
    return std::nullopt;
}

// Where the bytes being read come from: a file (its name) or memory (no name).
struct TListSource {
    const uint8_t* Base = nullptr;
    std::shared_ptr<const std::string> File;
};

// Keeps what a big picture wakes from: the place of its bytes in the list's file, or for a list
// read from memory, the bytes themselves.
void KeepStored(TImageListItem& item, std::string_view stored, const TListSource& source) {
    const size_t pixelBytes = item.Picture.Pixels.size() * 4;
    // A picture from an outside file is read again from there: it never rests.
    if (!item.Filepath.empty() || pixelBytes < (source.File ? TImageListItem::RestMinBytesInFile
                                                            : TImageListItem::RestMinBytes))
        return;
    if (!source.File) {
        item.Stored.assign(stored);
        return;
    }
    item.StoredPlace.File = source.File;
    item.StoredPlace.Offset =
        static_cast<uint64_t>(reinterpret_cast<const uint8_t*>(stored.data()) - source.Base);
    item.StoredPlace.Size = static_cast<uint32_t>(stored.size());
    item.StoredPlace.Crc = static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(stored.data()),
              static_cast<uInt>(stored.size())));
}

// A load that leaves pictures to the worker: the items whose pictures are decoded now.
struct TDeferral {
    const std::vector<std::string>* First = nullptr;
    bool DecodesNow(std::string_view name, bool named) const {
        // A picture written before its item's name is decoded now: which item it is not known.
        return !named || std::find(First->begin(), First->end(), name) != First->end();
    }
};

uint32_t BigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// A picture left to the worker, checked now from its header alone: one too big for a texture
// or for what is left of the list's pixel budget ends the load here, at the same item and with
// the same message as a load that decodes at once. Returns the bytes its pixels take (0 when
// the header says nothing this can read: the worker finds out).
uint64_t CheckDeferredPicture(std::string_view data, uint64_t maxPixelBytes) {
    TVilReader r(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 0);
    const std::string_view className = r.ShortString();
    const auto* rest = reinterpret_cast<const uint8_t*>(data.data()) + r.Position();
    const size_t restSize = data.size() - r.Position();
    uint64_t width = 0, height = 0;
    const char* refusal = nullptr;
    if (className == "TPNGObject") {
        // The signature, then the IHDR chunk: length, type, width, height.
        if (restSize < 24 || std::memcmp(rest + 12, "IHDR", 4) != 0) return 0;
        width = BigEndian32(rest + 16);
        height = BigEndian32(rest + 20);
        refusal = "bad or too large PNG picture";
    } else if (className == "TBitmap") {
        // The size, then the file header (14 bytes) and an info header with 32-bit sizes.
        if (restSize < 4 + 26 || rest[4] != 'B' || rest[5] != 'M') return 0;
        const auto le32 = [](const uint8_t* p) {
            return static_cast<int32_t>(
                static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
        };
        if (le32(rest + 4 + 14) < 40) return 0;  // an older header: the worker reads it
        const int64_t w = le32(rest + 4 + 18), h = le32(rest + 4 + 22);
        width = static_cast<uint64_t>(w < 0 ? -w : w);
        height = static_cast<uint64_t>(h < 0 ? -h : h);
        refusal = "bad or too large BMP picture";
    } else {
        return 0;
    }
    const auto side = static_cast<uint64_t>(MaxPictureSide());
    if (width == 0 || height == 0 || width > side || height > side ||
        width * height * 4 > maxPixelBytes)
        throw TStreamError{refusal};
    return width * height * 4;
}

// What one item's properties said. The picture is applied before the tile sizes whatever
// the order in the file, so that tile sizes written before the picture are not lost.
struct TItemFields {
    std::optional<TPicture> Picture;
    std::string_view Stored;  // the picture's bytes in the file
    std::optional<int32_t> TileWidth, TileHeight;
    bool Named = false;
    // The picture is left to the worker; its header says its pixels take this many bytes.
    bool Deferred = false;
    uint64_t DeferredBytes = 0;

    void ApplyTo(TImageListItem& item) {
        if (Deferred) {
            // Applied with the picture, in the same order.
            item.Pending = true;
            item.PendingTileHeight = TileHeight;
            item.PendingTileWidth = TileWidth;
            return;
        }
        if (Picture) item.SetPicture(std::move(*Picture));
        if (TileHeight) item.SetTileHeight(*TileHeight);
        if (TileWidth) item.SetTileWidth(*TileWidth);
    }
};

void ReadItemProperty(TVilReader& r, std::string_view name, TImageListItem& item,
                      TItemFields& fields, const TListBudget& budget, const TDeferral* deferral) {
    const uint8_t tag = r.U8();
    if (SameName(name, "Name")) {
        item.Name = r.StringValue(tag);
        fields.Named = true;
    } else if (SameName(name, "Picture.Data")) {
        fields.Stored = r.BinaryValue(tag);
        fields.Picture.reset();
        fields.Deferred = deferral != nullptr && !deferral->DecodesNow(item.Name, fields.Named);
        if (!fields.Deferred)
            fields.Picture = ReadPicture(fields.Stored, kMaxPictureBytes - budget.PictureBytes);
        else
            fields.DeferredBytes =
                CheckDeferredPicture(fields.Stored, kMaxPictureBytes - budget.PictureBytes);
    } else if (SameName(name, "TileHeight")) {
        fields.TileHeight = r.IntegerValue(tag);
    } else if (SameName(name, "TileWidth")) {
        fields.TileWidth = r.IntegerValue(tag);
    } else if (SameName(name, "TransparentColor")) {
        item.TransparentColor = tag == kIdent ? ColorFromIdent(r.ShortString())
                                              : ResolveColorNumber(r.IntegerValue(tag));
    } else if (SameName(name, "Transparent")) {
        item.Transparent = r.BooleanValue(tag);
    } else if (SameName(name, "Filepath")) {
        item.Filepath = r.StringValue(tag);
    } else {
        r.SkipValue(tag);
    }
}

// Reads one item whole; a fault anywhere in it throws, and the caller never sees the item.
std::unique_ptr<TImageListItem> ReadItem(TVilReader& r, TListBudget& budget,
                                         const TDeferral* deferral, std::string_view& deferred,
                                         const TListSource& source) {
    auto item = std::make_unique<TImageListItem>();
    TItemFields fields;
    for (std::string_view name = r.ShortString(); !name.empty(); name = r.ShortString())
        ReadItemProperty(r, name, *item, fields, budget, deferral);
    fields.ApplyTo(*item);
    deferred = fields.Deferred ? fields.Stored : std::string_view{};
    budget.PictureBytes += fields.DeferredBytes;
    if (!item->Picture.Empty()) {
        const size_t pixelBytes = item->Picture.Pixels.size() * 4;
        if (fields.Picture) KeepStored(*item, fields.Stored, source);
        budget.PictureBytes += static_cast<uint64_t>(pixelBytes);
        budget.Patterns += std::max<int64_t>(int64_t{item->PatternRows} * item->PatternColumns, 0);
        if (budget.Patterns > kMaxPatterns) throw TStreamError{"too many patterns in the list"};
    }
    return item;
}

// A picture the worker decodes, and what came of it.
struct TPendingPicture {
    size_t Index = 0;  // the item's place in the list
    std::string_view Stored;
    bool Transparent = false;
    uint32_t TransparentColor = 0;
    // Written by the worker before it counts the picture done; read here after.
    std::optional<TPicture> Picture;
    std::unique_ptr<TKerbTexture> Texture;
    const char* Error = nullptr;
};

void ReadCollection(TVilReader& r, TImageListCollection& list, const TDeferral* deferral,
                    std::vector<TPendingPicture>* pending, uint64_t& pictureBytes,
                    const TListSource& source) {
    TListBudget budget;
    for (uint8_t tag = r.U8(); tag != kEndOfList; tag = r.U8()) {
        // Decoding pictures is the slow part of a load: a stop is noticed between items.
        if (StopRequested()) throw TLoadStopped{};
        // An item may be preceded by its index in the collection; it is not needed.
        if (tag == kInt8 || tag == kInt16 || tag == kInt32) {
            r.IntegerValue(tag);
            tag = r.U8();
        }
        if (tag != kList) throw TStreamError{"collection item expected"};
        if (list.Count() >= kMaxItems) throw TStreamError{"too many items in the list"};
        std::string_view deferred;
        list.List.push_back(ReadItem(r, budget, deferral, deferred, source));
        if (list.List.back()->Pending && pending != nullptr) {
            TPendingPicture job;
            job.Index = list.List.size() - 1;
            job.Stored = deferred;
            job.Transparent = list.List.back()->Transparent;
            job.TransparentColor = list.List.back()->TransparentColor;
            pending->push_back(std::move(job));
        }
    }
    pictureBytes = budget.PictureBytes;
}

void ReadObjectStream(TVilReader& r, TImageListCollection& list, const TDeferral* deferral,
                      std::vector<TPendingPicture>* pending, uint64_t& pictureBytes,
                      const TListSource& source) {
    if (r.Bytes(4) != "TPF0") throw TStreamError{"object stream expected"};
    r.ShortString();  // class name of the root object
    r.ShortString();  // its name
    for (std::string_view name = r.ShortString(); !name.empty(); name = r.ShortString()) {
        const uint8_t tag = r.U8();
        if (SameName(name, "List")) {
            if (tag != kCollection) throw TStreamError{"collection expected"};
            ReadCollection(r, list, deferral, pending, pictureBytes, source);
        } else {
            r.SkipValue(tag);
        }
    }
    if (r.U8() != kEndOfList) throw TStreamError{"the root object has no children"};
}

// Where the object stream starts after the resource-entry header, or nothing if the data
// does not start with one.
std::optional<size_t> ObjectStreamStart(const std::vector<uint8_t>& data) {
    const size_t window = std::min(data.size(), kHeaderWindow);
    if (window < 3 || data[0] != 0xFF || (data[1] | (data[2] << 8)) != 10) return std::nullopt;
    const auto* nameEnd = static_cast<const uint8_t*>(std::memchr(&data[3], 0, window - 3));
    if (nameEnd == nullptr) return std::nullopt;
    // After the name's zero: 2 bytes of flags and 4 of size, neither needed.
    const size_t start = static_cast<size_t>(nameEnd - data.data()) + 1 + 2 + 4;
    if (start > data.size()) return std::nullopt;
    return start;
}
}  // namespace

bool DecodeStoredPicture(std::string_view stored, TPicture& picture) {
    try {
        std::optional<TPicture> decoded = ReadPicture(stored, kMaxPictureBytes);
        if (!decoded || decoded->Empty()) return false;
        picture = std::move(*decoded);
        return true;
    } catch (const TStreamError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Decodes the pictures a load left behind, in the list's order, on its own thread. It owns the
// file's bytes the pictures are read from and touches no item: the list's thread takes each
// result in once Done counts it.

class TPictureWorker {
public:
    TPictureWorker(std::vector<uint8_t> data, std::shared_ptr<const std::string> file,
                   std::vector<TPendingPicture> jobs)
        : Data(std::move(data)), Jobs(std::move(jobs)) {
        Source.Base = Data.data();
        Source.File = std::move(file);
        Thread = std::thread([this] { Run(); });
    }
    ~TPictureWorker() { Stop(); }
    TPictureWorker(const TPictureWorker&) = delete;
    TPictureWorker& operator=(const TPictureWorker&) = delete;

    void Stop() {
        Cancel = true;
        Join();
    }
    void Join() {
        if (Thread.joinable()) Thread.join();
    }
    size_t Ready() const { return Done.load(std::memory_order_acquire); }
    // Whether the worker is through: all decoded, or it stopped early.
    bool Stopped() const { return IsStopped.load(std::memory_order_acquire); }

    std::vector<uint8_t> Data;  // the views in Jobs point into it
    std::vector<TPendingPicture> Jobs;
    TListSource Source;
    size_t Adopted = 0;

private:
    void Run() {
        // Below the frame thread: on a busy machine the logo's frames come first and the
        // pictures take the time left over.
        LowerThisThreadPriority();
        for (size_t i = 0; i < Jobs.size(); ++i) {
            if (Cancel || StopRequested()) break;
            Decode(Jobs[i]);
            Done.store(i + 1, std::memory_order_release);
            // A damaged picture ends the list there, as it ends a load that decodes at once.
            if (Jobs[i].Error != nullptr) break;
        }
        IsStopped.store(true, std::memory_order_release);
    }

    void Decode(TPendingPicture& job) {
        try {
            // The list's budget was checked from the headers when the list was read.
            job.Picture = ReadPicture(job.Stored, kMaxPictureBytes);
            if (!job.Picture || job.Picture->Empty()) return;
            job.Texture = BuildPictureTexture(*job.Picture, job.Transparent, job.TransparentColor);
        } catch (const TStreamError& e) {
            job.Picture.reset();
            job.Error = e.Message;
        } catch (const std::bad_alloc&) {
            job.Picture.reset();
            job.Error = "not enough memory";
        }
    }

    std::atomic<size_t> Done{0};
    std::atomic<bool> Cancel{false};
    std::atomic<bool> IsStopped{false};
    std::thread Thread;
};

TImageListCollection::TImageListCollection(TKerbImageList* owner) : Owner(owner) {}

TImageListCollection::~TImageListCollection() {
    StopWorker();
}

void TImageListCollection::StopWorker() {
    if (Worker) Worker->Stop();
    Worker.reset();
}

void TImageListCollection::Clear() {
    StopWorker();
    List.clear();
    SourceFile.reset();
}

namespace {
// Takes one decoded picture into its item, as a load that decoded it at once would have.
void AdoptPicture(TImageListCollection& list, TPendingPicture& job, const TListSource& source) {
    TImageListItem& item = *list.List[job.Index];
    item.Pending = false;
    if (job.Error != nullptr) {
        ShowMessageBox("Error!",
                       "The stream could not be loaded, either it is corrupt or encrypted!",
                       TMsgButtons::OkCancel, TMsgIcon::Error,
                       "item " + std::to_string(job.Index + 1) + ": " + job.Error);
        return;
    }
    if (job.Picture && !job.Picture->Empty()) {
        item.SetPicture(std::move(*job.Picture));
        KeepStored(item, job.Stored, source);
    }
    if (item.PendingTileHeight) item.SetTileHeight(*item.PendingTileHeight);
    if (item.PendingTileWidth) item.SetTileWidth(*item.PendingTileWidth);
    item.PendingTileHeight.reset();
    item.PendingTileWidth.reset();
    job.Picture.reset();
    if (list.Owner != nullptr) list.Owner->MakeItemTexture(item, std::move(job.Texture));
    job.Texture.reset();
}
}  // namespace

bool TImageListCollection::AdoptPictures(double budgetMs) {
    if (!Worker) return true;
    using TSteady = std::chrono::steady_clock;
    const TSteady::time_point start = TSteady::now();
    for (size_t ready = Worker->Ready(); Worker->Adopted < ready;) {
        AdoptPicture(*this, Worker->Jobs[Worker->Adopted++], Worker->Source);
        const std::chrono::duration<double, std::milli> spent = TSteady::now() - start;
        if (spent.count() >= budgetMs) break;
    }
    const bool through = Worker->Adopted == Worker->Jobs.size() ||
                         (Worker->Stopped() && Worker->Adopted == Worker->Ready());
    if (!through) return false;
    FinishPictures();
    return true;
}

void TImageListCollection::FinishPictures() {
    if (!Worker) return;
    Worker->Join();
    // Pictures the worker did not reach (after a damaged one, or the game is stopping) stay
    // without a picture.
    const size_t ready = Worker->Ready();
    while (Worker->Adopted < ready)
        AdoptPicture(*this, Worker->Jobs[Worker->Adopted++], Worker->Source);
    for (size_t i = Worker->Adopted; i < Worker->Jobs.size(); ++i)
        List[Worker->Jobs[i].Index]->Pending = false;
    Worker.reset();
    if (OnPicturesReady) OnPicturesReady();
}

namespace {
bool ReadList(const std::vector<uint8_t>& data, TImageListCollection& list,
              const std::shared_ptr<const std::string>& file, const TDeferral* deferral,
              std::vector<TPendingPicture>* pending, uint64_t& pictureBytes);

// The list file's bytes, or the load's message and false.
bool ReadListFile(const std::string& fileName, std::vector<uint8_t>& data) {
    std::string reason;
    if (ReadWholeFile(fileName, TFileKind::ImageList, data, reason)) return true;
    ShowMessageBox("Information", "Cannot be loaded - file error or file crypted!", TMsgButtons::Ok,
                   TMsgIcon::Information, reason);
    return false;
}
}  // namespace

bool TImageListCollection::LoadFromFile(const std::string& fileName) {
    std::vector<uint8_t> data;
    if (!ReadListFile(fileName, data)) return false;
    Clear();
    SourceFile = std::make_shared<const std::string>(fileName);
    uint64_t pictureBytes = 0;
    return ReadList(data, *this, SourceFile, nullptr, nullptr, pictureBytes);
}

bool TImageListCollection::LoadFromFileBehind(const std::string& fileName,
                                              const std::vector<std::string>& first) {
    std::vector<uint8_t> data;
    if (!ReadListFile(fileName, data)) return false;
    Clear();
    SourceFile = std::make_shared<const std::string>(fileName);
    return ReadBehind(std::move(data), first);
}

namespace {
// Reads the list; with a deferral, the pictures left to the worker go to pending.
bool ReadList(const std::vector<uint8_t>& data, TImageListCollection& list,
              const std::shared_ptr<const std::string>& file, const TDeferral* deferral,
              std::vector<TPendingPicture>* pending, uint64_t& pictureBytes) {
    std::string reason;
    try {
        const std::optional<size_t> start = ObjectStreamStart(data);
        if (!start) {
            ShowMessageBox("Error", "Invalid stream format", TMsgButtons::Ok, TMsgIcon::Error);
            throw TStreamError{"Invalid stream format"};
        }
        TVilReader reader(data.data(), data.size(), *start);
        ReadObjectStream(reader, list, deferral, pending, pictureBytes, {data.data(), file});
        return true;
    } catch (const TStreamError& e) {
        reason = e.Message;
    } catch (const TLoadStopped&) {
        return false;
    } catch (const std::bad_alloc&) {
        reason = "not enough memory";
    } catch (const std::length_error&) {
        reason = "not enough memory";
    }
    // Past the header, say which item: the first one not kept.
    if (reason != "Invalid stream format")
        reason = "item " + std::to_string(list.Count() + 1) + ": " + reason;
    ShowMessageBox("Error!", "The stream could not be loaded, either it is corrupt or encrypted!",
                   TMsgButtons::OkCancel, TMsgIcon::Error, reason);
    return false;
}
}  // namespace

bool TImageListCollection::LoadFromStream(const std::vector<uint8_t>& data) {
    Clear();
    uint64_t pictureBytes = 0;
    return ReadList(data, *this, nullptr, nullptr, nullptr, pictureBytes);
}

bool TImageListCollection::LoadFromStreamBehind(std::vector<uint8_t> data,
                                                const std::vector<std::string>& first) {
    Clear();
    return ReadBehind(std::move(data), first);
}

bool TImageListCollection::ReadBehind(std::vector<uint8_t> data,
                                      const std::vector<std::string>& first) {
    const TDeferral deferral{&first};
    std::vector<TPendingPicture> pending;
    uint64_t pictureBytes = 0;
    const bool read = ReadList(data, *this, SourceFile, &deferral, &pending, pictureBytes);
    // The items read before a fault stay, as in LoadFromStream: their pictures come too.
    if (!pending.empty())
        Worker = std::make_unique<TPictureWorker>(std::move(data), SourceFile, std::move(pending));
    else if (OnPicturesReady)
        OnPicturesReady();
    return read;
}
