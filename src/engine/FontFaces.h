// The font files that stand in for the face names the game asks for. The game names two
// faces, "Micra" (system-font texts) and "MicrogrammaDBolExt" (the GUI's glyph sheet); both
// are wide, technical sans faces. We ship the free Michroma (Fonts/ beside the program, put
// there by the set-up) and fall back to Debian's DejaVu Sans Bold when it is missing. Every
// other face name gets the fallback too; on Windows, which has no DejaVu, Windows' own bold
// sans faces come after it (Arial, Tahoma, Segoe UI). This is the only place that knows the
// mapping.
#pragma once

#include <string>

// The font file for a face name, or an empty string when no candidate file exists.
std::string FontFileForFace(const std::string& face);

// The file used when a face's own file is missing.
extern const char* const FallbackFontFile;
