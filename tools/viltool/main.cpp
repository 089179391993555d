// viltool: the command-line view of image-list (.vil) files.
//   viltool list FILE                       one line per item
//   viltool sheet FILE OUT.png              a contact sheet of every picture
//   viltool pack OUT.vil NAME=FILE.png[:WxH] ...   PNG files packed into a list
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "common/VilWriter.h"
#include "engine/FileRead.h"
#include "engine/ImageList.h"
#include "engine/PictureDecode.h"
#include "platform/MessageBox.h"

namespace {
int Usage() {
    std::fprintf(stderr,
                 "usage: viltool list FILE\n"
                 "       viltool sheet FILE OUT.png\n"
                 "       viltool pack OUT.vil NAME=FILE.png[:TILEWxTILEH] ...\n");
    return 2;
}

bool Load(TImageListCollection& list, const std::string& path) {
    return list.LoadFromFile(path);
}

int List(const std::string& path) {
    TImageListCollection list;
    if (!Load(list, path)) return 1;
    size_t nameWidth = 4;
    for (const auto& item : list.List) nameWidth = std::max(nameWidth, item->Name.size());
    for (const auto& item : list.List) {
        const bool picture = !item->Picture.Empty();
        std::printf("%-*s  %5dx%-5d  tile %5dx%-5d  patterns %4d  transparent %d 0x%08X\n",
                    static_cast<int>(nameWidth), item->Name.c_str(),
                    picture ? item->Picture.Width : 0, picture ? item->Picture.Height : 0,
                    item->TileWidth, item->TileHeight, picture ? item->PatternCount() : 0,
                    item->Transparent ? 1 : 0, item->TransparentColor);
    }
    return 0;
}

int Sheet(const std::string& path, const std::string& out) {
    TImageListCollection list;
    if (!Load(list, path)) return 1;
    return WriteContactSheet(list, out) ? 0 : 1;
}

// "NAME=FILE.png" with an optional ":WxH" tile size at the end.
bool ParsePackArgument(const std::string& arg, TVilItem& item, std::string& file) {
    const size_t eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    item.Name = arg.substr(0, eq);
    file = arg.substr(eq + 1);
    const size_t colon = file.rfind(':');
    if (colon != std::string::npos) {
        int w = 0, h = 0;
        char end = 0;
        if (std::sscanf(file.c_str() + colon + 1, "%dx%d%c", &w, &h, &end) == 2 && w >= 0 &&
            h >= 0) {
            item.TileWidth = w;
            item.TileHeight = h;
            file.resize(colon);
        }
    }
    return !file.empty();
}

int Pack(const std::string& out, int count, char** args) {
    std::vector<TVilItem> items;
    for (int i = 0; i < count; ++i) {
        TVilItem item;
        std::string file;
        if (!ParsePackArgument(args[i], item, file)) {
            std::fprintf(stderr, "viltool: expected NAME=FILE.png[:WxH], got %s\n", args[i]);
            return 2;
        }
        std::string reason;
        if (!ReadWholeFile(file, TFileKind::Picture, item.Png, reason)) {
            std::fprintf(stderr, "viltool: cannot read %s\n", reason.c_str());
            return 1;
        }
        // Only pictures the game can read go in; the bytes themselves are kept as they are.
        TPicture picture;
        size_t consumed = 0;
        if (!DecodePng(item.Png.data(), item.Png.size(), picture, consumed)) {
            std::fprintf(stderr, "viltool: %s is not a readable PNG\n", file.c_str());
            return 1;
        }
        item.Png.resize(consumed);
        items.push_back(std::move(item));
    }
    if (!WriteVilFile(out, items)) {
        std::fprintf(stderr, "viltool: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    // The engine reports load failures in message boxes; here they belong on standard error.
    SetMessageHandler([](const TMessage& m) {
        if (m.Detail.empty())
            std::fprintf(stderr, "viltool: %s: %s\n", m.Caption.c_str(), m.Text.c_str());
        else
            std::fprintf(stderr, "viltool: %s: %s (%s)\n", m.Caption.c_str(), m.Text.c_str(),
                         m.Detail.c_str());
    });
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    if (command == "list" && argc == 3) return List(argv[2]);
    if (command == "sheet" && argc == 4) return Sheet(argv[2], argv[3]);
    if (command == "pack" && argc >= 3) return Pack(argv[2], argc - 3, argv + 3);
    return Usage();
}
