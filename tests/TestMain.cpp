// The main of every test program: headless SDL drivers and the build's game folder unless the
// caller chose otherwise, then GoogleTest. Settings files always go to a fresh temporary
// folder, never the user's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VELKARO_GAME_DIR", VELKARO_DEFAULT_GAME_DIR, 0);
    setenv("VELKARO_SOURCE_DIR", VELKARO_DEFAULT_SOURCE_DIR, 0);
    std::string configDir =
        (std::filesystem::temp_directory_path() / "velkaro-config-XXXXXX").string();
    if (mkdtemp(configDir.data()) == nullptr) return 1;
    setenv("VELKARO_CONFIG_DIR", configDir.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(configDir, ec);
    return result;
}
