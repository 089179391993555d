// The main of every test program: headless SDL drivers and the build's game folder unless the
// caller chose otherwise, then GoogleTest. Settings files always go to a fresh temporary
// folder, never the user's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "harness/TempFolder.h"
#include "harness/TestEnvironment.h"

int main(int argc, char** argv) {
    SetEnvironment("SDL_VIDEODRIVER", "dummy", false);
    SetEnvironment("SDL_AUDIODRIVER", "dummy", false);
    SetEnvironment("VELKARO_GAME_DIR", VELKARO_DEFAULT_GAME_DIR, false);
    SetEnvironment("VELKARO_SOURCE_DIR", VELKARO_DEFAULT_SOURCE_DIR, false);
    const std::string configDir = MakeUniqueTempFolder("velkaro-config");
    if (configDir.empty()) return 1;
    SetEnvironment("VELKARO_CONFIG_DIR", configDir.c_str(), true);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(configDir, ec);
    return result;
}
