// Making the device textures of an image list: every item's picture becomes a texture of its
// own size with its colour key applied, and the decoded picture is dropped: the texels stay,
// once (the sprite engine's texel test and the screen's own blending read them, and the screen
// rebuilds lost textures from them). A big picture that rests gives up its texels too and is
// decoded again from its stored bytes when next used.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#include <zlib.h>

#include "engine/FileRead.h"
#include "engine/ImageList.h"
#include "engine/ScreenDevice.h"
#include "engine/PictureDecode.h"
#include "platform/Allocator.h"
#include "platform/MessageBox.h"
#include "platform/NativePath.h"
#include "platform/Paths.h"
#include "platform/StopSignal.h"

namespace {
// The desktop colours a colour value may name (0x80000000 + index); the classic defaults,
// since there is no desktop scheme to ask.
uint32_t SystemColor(uint32_t index) {
    static constexpr uint32_t Colors[] = {
        0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0,
        0x808080, 0x808080, 0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800, 0xF0F0F0};
    return index < std::size(Colors) ? Colors[index] : 0;
}

// A colour key as ARGB: 0x00BBGGRR (or a system colour) turned around, alpha forced opaque.
uint32_t ColorKey(uint32_t color) {
    if ((color & 0xFF000000u) != 0) color = SystemColor(color & 0x00FFFFFFu);
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// A path with a drive colon or a double backslash is taken as it is; anything else is
// relative to the program's folder.
std::string ExternalPicturePath(const std::string& filepath) {
    if (filepath.find(':') != std::string::npos || filepath.find("\\\\") != std::string::npos)
        return NormalizeSeparators(filepath);
    return GamePath(filepath);
}

// Reads a PNG or BMP file, chosen by its extension. A missing or broken file loads nothing.
bool LoadExternalPicture(const std::string& path, TPicture& picture) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadWholeFile(path, TFileKind::Picture, bytes, reason) || bytes.empty()) return false;
    std::string ext = Utf8FromPath(PathFromUtf8(path).extension());
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".bmp") return DecodeBmp(bytes.data(), bytes.size(), picture);
    size_t consumed = 0;
    return DecodePng(bytes.data(), bytes.size(), picture, consumed);
}

std::unique_ptr<TKerbTexture> BuildTexture(const TImageListItem& item) {
    return BuildPictureTexture(item.Picture, item.Transparent, item.TransparentColor);
}

void ReportTextureFailure(TImageListItem& item, TScreenDevice& screen) {
    ShowMessageBox("Error", "Error creating texture " + item.Name, TMsgButtons::Ok,
                   TMsgIcon::Error);
    item.Texture.reset();
    item.Renderer = nullptr;
    screen.RequestTerminate();
}

void MakeTexture(TImageListItem& item, TKerbImageList& list) {
    TScreenDevice& screen = *list.KerbScreen;
    // A resting picture gets its texture when it is next used.
    if (item.Rested) {
        item.Renderer = list.Renderer.get();
        item.Device = &screen;
        return;
    }
    const std::string filepath = Trim(item.Filepath);
    if (!filepath.empty()) {
        TPicture loaded;
        if (LoadExternalPicture(ExternalPicturePath(filepath), loaded))
            item.Picture = std::move(loaded);
    }
    // A picture dropped after its texture was made still has its texels: a reset only needs
    // the device texture back.
    if (item.Picture.Empty() && !item.Texture) return;
    item.Renderer = list.Renderer.get();
    item.Device = &screen;
    // A picture made now counts as used now: it rests only after a while without drawing.
    item.LastUsed = screen.FrameNumber();
    if (!item.Picture.Empty()) {
        if (item.TileHeight < 1) item.TileHeight = item.Picture.Height;
        if (item.TileWidth < 1) item.TileWidth = item.Picture.Width;
    }
    if (!item.Texture) {
        item.Texture = BuildTexture(item);
        if (!item.Texture) return ReportTextureFailure(item, screen);
    }
    if (item.Texture->Handle == nullptr && !screen.CreateTextureHandle(*item.Texture))
        return ReportTextureFailure(item, screen);
    item.TextureWidth = std::max(item.Texture->Width, 2);
    item.TextureHeight = std::max(item.Texture->Height, 2);
    if (!item.Picture.Empty()) {
        item.ImageWidth = std::max(item.Picture.Width, 1);
        item.ImageHeight = std::max(item.Picture.Height, 1);
    }
    if (item.TileHeight > 0) item.PatternRows = item.ImageHeight / item.TileHeight;
    if (item.TileWidth > 0) item.PatternColumns = item.ImageWidth / item.TileWidth;
    // The texels are all that drawing, the texel test and a lost device need: one copy of the
    // picture is enough.
    item.Picture = TPicture{};
}
}  // namespace

// The decoders refuse pictures above MaxPictureSide(), so this only fails for pictures set by
// code, or when memory runs out.
std::unique_ptr<TKerbTexture> BuildPictureTexture(const TPicture& pic, bool transparent,
                                                  uint32_t transparentColor) {
    if (pic.Width > MaxPictureSide() || pic.Height > MaxPictureSide()) return nullptr;
    auto texture = std::make_unique<TKerbTexture>();
    texture->Width = std::max(pic.Width, 2);
    texture->Height = std::max(pic.Height, 2);
    try {
        texture->Texels.assign(
            static_cast<size_t>(texture->Width) * static_cast<size_t>(texture->Height), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    const uint32_t key = ColorKey(transparentColor);
    const size_t available = pic.Pixels.size();
    for (int32_t y = 0; y < pic.Height; ++y) {
        for (int32_t x = 0; x < pic.Width; ++x) {
            const size_t from =
                static_cast<size_t>(y) * static_cast<size_t>(pic.Width) + static_cast<size_t>(x);
            if (from >= available) return texture;  // a short picture: the rest stays clear
            const uint32_t p = pic.Pixels[from];
            texture->Texels[static_cast<size_t>(y) * static_cast<size_t>(texture->Width) +
                            static_cast<size_t>(x)] = transparent && p == key ? 0 : p;
        }
    }
    return texture;
}

bool TImageListItem::ReadStored(std::string& bytes) const {
    if (!Stored.empty()) {
        bytes = Stored;
        return true;
    }
    if (StoredPlace.Size == 0 || !StoredPlace.File) return false;
    std::ifstream file(PathFromUtf8(*StoredPlace.File), std::ios::binary);
    if (!file.seekg(static_cast<std::streamoff>(StoredPlace.Offset))) return false;
    try {
        bytes.resize(StoredPlace.Size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                            static_cast<uInt>(bytes.size()));
    return static_cast<uint32_t>(crc) == StoredPlace.Crc;
}

bool TImageListItem::CanRest() const {
    return !Rested && HasStored() && Texture && Texture->HasTexels();
}

void TImageListItem::Rest() {
    if (!CanRest()) return;
    Texture->DropTexels();
    Rested = true;
}

bool TImageListItem::Use() {
    if (Device != nullptr) LastUsed = Device->FrameNumber();
    if (!Rested) return true;
    Rested = false;
    // The same bytes decoded when the list was read: this fails only when memory runs out.
    TPicture picture;
    std::unique_ptr<TKerbTexture> fresh;
    std::string fromFile;
    const bool readable = !Stored.empty() || ReadStored(fromFile);
    if (readable && DecodeStoredPicture(Stored.empty() ? fromFile : Stored, picture)) {
        Picture = std::move(picture);
        fresh = BuildTexture(*this);
        Picture = TPicture{};
    }
    if (!fresh || !Texture || fresh->Width != Texture->Width || fresh->Height != Texture->Height) {
        if (Device != nullptr) ReportTextureFailure(*this, *Device);
        Texture.reset();
        Renderer = nullptr;
        return false;
    }
    Texture->Texels = std::move(fresh->Texels);
    if (Device != nullptr && Device->HasDevice() && !Device->CreateTextureHandle(*Texture)) {
        ReportTextureFailure(*this, *Device);
        return false;
    }
    return true;
}

void TKerbImageList::Initialize() {
    Renderer->Screen = KerbScreen;
    if (KerbScreen == nullptr) return;
    KerbScreen->RegisterImageList(this);
    if (!KerbScreen->HasDevice()) return;
    for (const auto& item : ImageList.List) {
        if (StopRequested()) return;
        MakeTexture(*item, *this);
    }
}

void TKerbImageList::MakeItemTexture(TImageListItem& item, std::unique_ptr<TKerbTexture> prebuilt) {
    if (KerbScreen == nullptr || Renderer->Screen != KerbScreen || !KerbScreen->HasDevice()) return;
    // A picture from an outside file replaces the stored one: its texels are made from it.
    if (prebuilt && !item.Texture && !item.Picture.Empty() && Trim(item.Filepath).empty())
        item.Texture = std::move(prebuilt);
    MakeTexture(item, *this);
}

void TKerbImageList::WakeAll() {
    ImageList.FinishPictures();
    for (const auto& item : ImageList.List)
        if (item->Rested) item->Use();
}

void TKerbImageList::RestAll() {
    ImageList.FinishPictures();
    bool rested = false;
    for (const auto& item : ImageList.List) {
        if (!item->CanRest()) continue;
        item->Rest();
        rested = true;
    }
    if (rested) ReturnFreedMemory();
}

void TKerbImageList::Finalize(bool releaseTextures) {
    for (const auto& item : ImageList.List) {
        item->Renderer = nullptr;
        item->Device = nullptr;
        if (releaseTextures) {
            item->Texture.reset();
            item->Rested = false;
        }
    }
}
