// The settings folder: the command-line option, the environment variable, and the order in
// which they win.
#include "platform/ConfigDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(ConfigDir, TheCommandLineOptionIsFoundInBothForms) {
    struct Case {
        std::vector<std::string_view> Args;
        std::optional<std::string> Dir;
        bool Error;
    };
    const Case cases[] = {
        {{}, std::nullopt, false},
        {{"--fullscreen"}, std::nullopt, false},
        {{"--config-dir", "/tmp/a"}, "/tmp/a", false},
        {{"x", "--config-dir=/tmp/b", "y"}, "/tmp/b", false},
        {{"--config-dir", "/tmp/a", "--config-dir", "/tmp/c"}, "/tmp/c", false},
        {{"--config-dir"}, std::nullopt, true},
        {{"--config-dir="}, std::nullopt, true},
        {{"--config-dirx"}, std::nullopt, false},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(ConfigDirArgument(c.Args, error), c.Dir) << c.Args.size();
        EXPECT_EQ(!error.empty(), c.Error) << c.Args.size();
    }
}

TEST(ConfigDir, TheOptionWinsOverTheEnvironmentAndFoldersAreCreated) {
    // The test program points VELKARO_CONFIG_DIR at a fresh temporary folder.
    const char* env = std::getenv(kConfigDirEnv);
    ASSERT_NE(env, nullptr);
    const std::string base = env;
    EXPECT_EQ(ConfigDir(), base + "/");
    const std::string chosen = base + "/chosen/deeper";
    SetConfigDirOverride(chosen);
    EXPECT_EQ(ConfigDir(), chosen + "/");
    EXPECT_TRUE(std::filesystem::is_directory(chosen));
    SetConfigDirOverride({});
    EXPECT_EQ(ConfigDir(), base + "/");
}
