// A second game on a settings folder another game holds refuses to start, says why, and
// writes nothing there; the folder's own game sweeps away the temporary files a killed write
// left, and saves as usual.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "GameProcess.h"
#include "platform/FolderLock.h"

namespace fs = std::filesystem;

TEST(SecondGame, RefusesAFolderAnotherGameHoldsAndTheHolderSavesAsUsual) {
    TGameFolder game;
    const fs::path config = game.Dir / "settings";
    fs::create_directories(config);
    const std::vector<std::string> args = {"--config-dir", config.string()};
    {
        TFolderLock held;
        ASSERT_EQ(held.Acquire(config.string() + "/"), TFolderLock::TResult::Held);
        const TRunResult second =
            RunProcess(game.Executable(), args, kGameCeiling, 0, 0, kStopWait);
        ASSERT_TRUE(second.Started);
        EXPECT_TRUE(second.Ended) << second.Summary();
        EXPECT_EQ(second.ExitCode, 1) << second.Summary();
        EXPECT_TRUE(Mentions(second.ErrorLines,
                             "Velkaro is already running with the settings "
                             "folder " +
                                 config.string()))
            << second.Summary();
        EXPECT_FALSE(fs::exists(config / "Config.cfg"));
    }
    // A write killed before its rename left this behind.
    std::ofstream(config / "Config.cfg.tmp-99999-1") << "half a file";
    const TRunResult first =
        RunProcess(game.Executable(), args, kGameCeiling, kRunSeconds, SIGTERM, kStopWait);
    ASSERT_TRUE(first.Started);
    EXPECT_TRUE(first.Ended) << first.Summary();
    EXPECT_EQ(first.ExitCode, 0) << first.Summary();
    EXPECT_TRUE(fs::is_regular_file(config / "Config.cfg"));
    EXPECT_FALSE(fs::exists(config / "Config.cfg.tmp-99999-1"));
}
