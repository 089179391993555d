// The game's three songs, each an original composition written as data in its own file.
#pragma once

#include "XmWriter.h"

TXmModule MakeMenuSong();  // Sounds/1.xm: relaxed, inviting
TXmModule MakeRaceSong();  // Sounds/2.xm: driving, upbeat
TXmModule MakeLoseSong();  // Sounds/3.xm: short, subdued
