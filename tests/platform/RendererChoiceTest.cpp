#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/RendererChoice.h"

TEST(RendererChoice, SoftwareRasterisersAreToldFromGpus) {
    struct TCase {
        const char* Renderer;
        bool Software;
    };
    const TCase cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa DRI swrast", true},
        {"Software Rasterizer", true},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", false},
        {"", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsSoftwareRasteriser(c.Renderer), c.Software) << c.Renderer;
}

TEST(RendererChoice, TheCommandLineBeatsTheEnvironmentWhichBeatsTheSettingsFile) {
    const auto dir = std::filesystem::temp_directory_path() / "velkaro_renderer_choice_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string config = dir.string() + "/";
    std::string error;
    EXPECT_EQ(ResolveRendererOption({}, nullptr, config, error), TRendererOption::Auto);
    std::ofstream(dir / kRendererConfigFile) << " OpenGL \n";
    EXPECT_EQ(ResolveRendererOption({}, nullptr, config, error), TRendererOption::OpenGL);
    EXPECT_EQ(ResolveRendererOption({}, "software", config, error), TRendererOption::Software);
    // An unknown name in the environment is passed over.
    EXPECT_EQ(ResolveRendererOption({}, "vulkan", config, error), TRendererOption::OpenGL);
    EXPECT_EQ(ResolveRendererOption({"--renderer", "auto"}, "software", config, error),
              TRendererOption::Auto);
    EXPECT_EQ(ResolveRendererOption({"--renderer=software"}, "opengl", config, error),
              TRendererOption::Software);
    EXPECT_TRUE(error.empty()) << error;
    std::filesystem::remove_all(dir);
}

TEST(RendererChoice, ABadRendererOptionIsAnError) {
    for (const auto& args : {std::vector<std::string_view>{"--renderer"},
                             std::vector<std::string_view>{"--renderer", "vulkan"},
                             std::vector<std::string_view>{"--renderer="}}) {
        std::string error;
        EXPECT_EQ(ResolveRendererOption(args, "opengl", "", error), TRendererOption::Auto);
        EXPECT_FALSE(error.empty());
    }
}

TEST(RendererChoice, AskedForRenderersNeedNoProbe) {
    EXPECT_FALSE(ChooseRenderer(TRendererOption::Software).OpenGL);
    EXPECT_TRUE(ChooseRenderer(TRendererOption::OpenGL).OpenGL);
    // The tests run on the dummy video driver, which has no OpenGL.
    const TRendererChoice automatic = ChooseRenderer(TRendererOption::Auto);
    EXPECT_FALSE(automatic.OpenGL);
    EXPECT_FALSE(automatic.Reason.empty());
}
