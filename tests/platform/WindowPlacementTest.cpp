// The window's remembered place: the file's one line read back exactly, anything else taken
// as no placement at all, and writes that replace the old file whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/WindowPlacement.h"

TEST(WindowPlacement, OnlyAWholeSaneLineIsAPlacement) {
    struct TCase {
        const char* Text;
        bool Known;
        int32_t X, Y, W, H;
        bool Maximized;
    };
    const TCase cases[] = {
        {"10 20 1024 768 0\n", true, 10, 20, 1024, 768, false},
        {"-50 0 800 600 1", true, -50, 0, 800, 600, true},
        {"", false, 0, 0, 800, 600, false},
        {"10 20 1024 768", false, 0, 0, 800, 600, false},
        {"10 20 1024 768 0 9", false, 0, 0, 800, 600, false},
        {"10 20 100 768 0", false, 0, 0, 800, 600, false},
        {"10 20 1024 99999 0", false, 0, 0, 800, 600, false},
        {"10 20 1024 768 2", false, 0, 0, 800, 600, false},
        {"99999999999999999999 0 800 600 0", false, 0, 0, 800, 600, false},
        {"a b c d e", false, 0, 0, 800, 600, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TWindowPlacement p = ParseWindowPlacement(c.Text);
        EXPECT_EQ(p.Known, c.Known);
        EXPECT_EQ(p.X, c.X);
        EXPECT_EQ(p.Y, c.Y);
        EXPECT_EQ(p.Width, c.W);
        EXPECT_EQ(p.Height, c.H);
        EXPECT_EQ(p.Maximized, c.Maximized);
    }
}

TEST(WindowPlacement, SavedPlacementsReadBackAndAFailedWriteLeavesWhatWasThere) {
    const std::string dir = ::testing::TempDir() + "/placement-test";
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/Window.cfg";
    TWindowPlacement p;
    p.Known = true;
    p.X = 33;
    p.Y = 44;
    p.Width = 1280;
    p.Height = 960;
    p.Maximized = true;
    ASSERT_TRUE(SaveWindowPlacement(file, p));
    const TWindowPlacement back = LoadWindowPlacement(file);
    EXPECT_TRUE(back.Known);
    EXPECT_EQ(FormatWindowPlacement(back), FormatWindowPlacement(p));
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_FALSE(IsAtomicTemporaryName(e.path().filename().string())) << e.path();
    // A folder in the way of the file: the write fails and leaves the folder as it was.
    const std::string blocked = dir + "/blocked.cfg";
    std::filesystem::create_directories(blocked + "/keep");
    EXPECT_FALSE(SaveWindowPlacement(blocked, p));
    EXPECT_TRUE(std::filesystem::is_directory(blocked + "/keep"));
    // A missing file is no placement.
    EXPECT_FALSE(LoadWindowPlacement(dir + "/none.cfg").Known);
    std::filesystem::remove_all(dir);
}
