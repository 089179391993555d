#include "engine/FontFaces.h"

#include <filesystem>
#include <system_error>

#include "platform/NativePath.h"
#include "platform/Paths.h"

const char* const FallbackFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

namespace {
// Michroma: a wide, squared sans close in spirit to both faces the game names. Only the
// "latin" subset file holds basic Latin.
const char* const WideTechnicalFont = "Fonts/michroma-latin-400-normal.woff";

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(PathFromUtf8(path), ec);
}
}  // namespace

std::string FontFileForFace(const std::string& face) {
    if (face == "Micra" || face == "MicrogrammaDBolExt") {
        const std::string own = DataDir() + WideTechnicalFont;
        if (FileExists(own)) return own;
    }
    if (FileExists(FallbackFontFile)) return FallbackFontFile;
    const std::string systemFonts = SystemFontDir();
    if (!systemFonts.empty()) {
        for (const char* bold : {"arialbd.ttf", "tahomabd.ttf", "segoeuib.ttf"})
            if (FileExists(systemFonts + bold)) return systemFonts + bold;
    }
    return {};
}
