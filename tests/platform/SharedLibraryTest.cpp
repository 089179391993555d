// Libraries loaded while the program runs: a real one's function is the one the linker gives,
// and a missing library or function is an error that names the library and the loader's reason.
#include "platform/SharedLibrary.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {
// SDL's own library, which every build has beside the program or on the system's path.
#ifdef _WIN32
const char* const kSdlLibrary = "SDL2.dll";
#else
const char* const kSdlLibrary = "libSDL2-2.0.so.0";
#endif
}  // namespace

TEST(SharedLibrary, FindsAFunctionOfARealLibrary) {
    TSharedLibrary sdl(kSdlLibrary);
    ASSERT_TRUE(sdl.Loaded()) << sdl.Error();
    EXPECT_TRUE(sdl.Error().empty());
    EXPECT_EQ(sdl.Name(), kSdlLibrary);
    std::string error;
    void* address = sdl.Function("SDL_GetVersion", error);
    ASSERT_NE(address, nullptr) << error;
    SDL_version loaded{}, linked{};
    reinterpret_cast<void (*)(SDL_version*)>(address)(&loaded);
    SDL_GetVersion(&linked);
    EXPECT_EQ(loaded.major, linked.major);
    EXPECT_EQ(loaded.minor, linked.minor);
    EXPECT_EQ(loaded.patch, linked.patch);
}

TEST(SharedLibrary, AMissingFunctionNamesTheLibraryAndTheFunction) {
    TSharedLibrary sdl(kSdlLibrary);
    ASSERT_TRUE(sdl.Loaded()) << sdl.Error();
    std::string error;
    EXPECT_EQ(sdl.Function("velkaro_no_such_function", error), nullptr);
    EXPECT_NE(error.find(kSdlLibrary), std::string::npos) << error;
    EXPECT_NE(error.find("velkaro_no_such_function"), std::string::npos) << error;
    // The library itself is still usable.
    EXPECT_NE(sdl.Function("SDL_GetVersion", error), nullptr) << error;
}

TEST(SharedLibrary, AMissingLibraryIsAnErrorNotACrash) {
    const std::string name = "libvelkaro-no-such-library.so.7";
    TSharedLibrary missing(name);
    EXPECT_FALSE(missing.Loaded());
    EXPECT_NE(missing.Error().find(name), std::string::npos) << missing.Error();
    // More than the name: the loader's reason.
    EXPECT_GT(missing.Error().size(), name.size() + 2) << missing.Error();
    std::string error;
    EXPECT_EQ(missing.Function("SDL_GetVersion", error), nullptr);
    EXPECT_EQ(error, missing.Error());
}
