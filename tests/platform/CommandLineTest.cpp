// The command line: every option with its value (both spellings), the last of --fullscreen
// and --windowed winning, and the errors that end in the usage and exit code 2.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/CommandLine.h"

TEST(CommandLine, OptionsAndTheirValues) {
    struct TCase {
        std::vector<std::string_view> Args;
        bool Help, Version;
        int FullScreen;  // -1 not given
        std::string ConfigDir, DataDir, Server, Error;
    };
    const TCase cases[] = {
        {{}, false, false, -1, "", "", "", ""},
        {{"--help"}, true, false, -1, "", "", "", ""},
        {{"-h"}, true, false, -1, "", "", "", ""},
        {{"--version"}, false, true, -1, "", "", "", ""},
        {{"--fullscreen"}, false, false, 1, "", "", "", ""},
        {{"--fullscreen", "--windowed"}, false, false, 0, "", "", "", ""},
        {{"--config-dir", "/tmp/c", "--data=/opt/d", "--server", "http://127.0.0.1:8080"},
         false,
         false,
         -1,
         "/tmp/c",
         "/opt/d",
         "http://127.0.0.1:8080",
         ""},
        {{"--config-dir=/x", "--config-dir", "/y"}, false, false, -1, "/y", "", "", ""},
        {{"--bogus"}, false, false, -1, "", "", "", "unknown option --bogus"},
        {{"fullscreen"}, false, false, -1, "", "", "", "unknown option fullscreen"},
        {{"--data"}, false, false, -1, "", "", "", "--data needs a value after it"},
        {{"--server="}, false, false, -1, "", "", "", "--server needs a value after it"},
        // A value that looks like an option is still the value.
        {{"--config-dir", "--help"}, false, false, -1, "--help", "", "", ""},
        // --datax is not --data.
        {{"--datax=1"}, false, false, -1, "", "", "", "unknown option --datax=1"},
    };
    for (const TCase& c : cases) {
        std::string joined;
        for (std::string_view a : c.Args) joined += std::string(a) + " ";
        SCOPED_TRACE(joined);
        const TCommandLine cmd = ParseCommandLine(c.Args);
        EXPECT_EQ(cmd.Error, c.Error);
        if (!c.Error.empty()) continue;
        EXPECT_EQ(cmd.Help, c.Help);
        EXPECT_EQ(cmd.Version, c.Version);
        EXPECT_EQ(cmd.FullScreen.has_value() ? (*cmd.FullScreen ? 1 : 0) : -1, c.FullScreen);
        EXPECT_EQ(cmd.ConfigDir, c.ConfigDir);
        EXPECT_EQ(cmd.DataDir, c.DataDir);
        EXPECT_EQ(cmd.Server, c.Server);
    }
}

TEST(CommandLine, TheUsageNamesEveryOption) {
    const std::string usage = UsageText();
    for (const char* option : {"--help", "--version", "--fullscreen", "--windowed",
                               "--config-dir DIR", "--data DIR", "--server URL"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
