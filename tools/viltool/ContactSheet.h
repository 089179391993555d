// A contact sheet of an image list: every picture in a grid cell on a checkerboard (so that
// transparency shows), scaled down when it does not fit, with its tile grid outlined and its
// name and pattern count written under it. Drawn with cairo.
#pragma once

#include <string>

#include "engine/ImageList.h"

// Writes the sheet of list as a PNG file. False (with a message on standard error) on failure.
bool WriteContactSheet(TImageListCollection& list, const std::string& pngPath);
