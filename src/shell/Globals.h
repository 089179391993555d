// The shell's view of the shared game data (kept with the world, which reads it too).
#pragma once

#include "world/Globals.h"
