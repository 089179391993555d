// Items and lookup of an image list. The file reader is in ImageListLoad.cpp, texture making
// in ImageListTexture.cpp, drawing in ImageListDraw.cpp.
#include "engine/ImageList.h"

#include <algorithm>

#include "engine/ScreenDevice.h"
#include "platform/MessageBox.h"

void TImageListItem::SetPicture(TPicture picture) {
    Picture = std::move(picture);
    ImageWidth = Picture.Width > 0 ? Picture.Width : 1;
    ImageHeight = Picture.Height > 0 ? Picture.Height : 1;
    SetTileWidth(ImageWidth);
    SetTileHeight(ImageHeight);
    // The texture will have the picture's own size (at least 2): texture coordinates worked out
    // before it is made (bitmap-font glyphs) stay right.
    if (TextureWidth < 2 || TextureWidth < ImageWidth) TextureWidth = std::max(ImageWidth, 2);
    if (TextureHeight < 2 || TextureHeight < ImageHeight) TextureHeight = std::max(ImageHeight, 2);
}

void TImageListItem::SetTileWidth(int32_t value) {
    TileWidth = value == 0 ? ImageWidth : value;
    if (TileWidth > 0) PatternColumns = ImageWidth / TileWidth;
}

void TImageListItem::SetTileHeight(int32_t value) {
    TileHeight = value == 0 ? ImageHeight : value;
    if (TileHeight > 0) PatternRows = ImageHeight / TileHeight;
}

void TImageListItem::ReportNoTexture() {
    if (NoTextureReported) return;
    NoTextureReported = true;
    ShowMessageBox("Error", "No KerbImageList assigned to sprite!", TMsgButtons::OkCancel,
                   TMsgIcon::None, "picture \"" + Name + "\"");
}

TImageListItem* TImageListCollection::Items(int32_t index) {
    if (index < 0 || index >= Count()) return nullptr;
    TImageListItem* item = List[static_cast<size_t>(index)].get();
    if (item->Pending) FinishPictures();
    return item;
}

TImageListItem* TImageListCollection::Find(const std::string& name) {
    const int32_t index = IndexOf(name);
    return index < 0 ? nullptr : Items(index);
}

int32_t TImageListCollection::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < List.size(); ++i)
        if (List[i]->Name == name) return static_cast<int32_t>(i);
    return -1;
}

TImageListItem& TImageListCollection::Add() {
    List.push_back(std::make_unique<TImageListItem>());
    return *List.back();
}

TKerbImageList::TKerbImageList() : Renderer(std::make_unique<TKerbRenderer>()) {}

// The screen keeps a list of the image lists whose textures it rebuilds; leave it.
TKerbImageList::~TKerbImageList() {
    if (KerbScreen != nullptr) KerbScreen->UnregisterImageList(this);
}
