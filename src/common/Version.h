// The game's version string, as `velkaro --version` prints it. The score service compares a
// daily submission's version with its own, so both programs take it from here.
#pragma once

inline constexpr const char* kVelkaroVersion = "1.0.0";
