// The pictures of the controls page and the options page's button that leads to it.
#pragma once

#include <vector>

#include "Manifest.h"

void AddControlsPictures(std::vector<TArtItem>& items);
