// Game file names with '\' separators resolve below the program folder.
#include <gtest/gtest.h>

#include "platform/Paths.h"

TEST(Paths, GameNamesResolveBelowTheProgramFolder) {
    const std::string saved = ProgramDir();
    SetProgramDir("/opt/velkaro");
    EXPECT_EQ(GamePath("Data\\data1.vil"), "/opt/velkaro/Data/data1.vil");
    EXPECT_EQ(GamePath("Sounds/1.xm"), "/opt/velkaro/Sounds/1.xm");
    EXPECT_EQ(GamePath("Config.cfg"), "/opt/velkaro/Config.cfg");
    EXPECT_EQ(GamePath("/tmp/x\\y"), "/tmp/x/y");
    SetProgramDir(saved);
}

TEST(Paths, TheProgramFolderIsWhereTheExecutableLives) {
    const std::string& dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_NE(dir.find("tests"), std::string::npos);
}
