// The main of every test program: headless SDL drivers and the build's game folder unless the
// caller chose otherwise, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VELKARO_GAME_DIR", VELKARO_DEFAULT_GAME_DIR, 0);
    setenv("VELKARO_SOURCE_DIR", VELKARO_DEFAULT_SOURCE_DIR, 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
