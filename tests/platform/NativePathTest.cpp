// Paths are UTF-8 text everywhere in the game. A settings folder whose path has letters from
// outside ASCII (a user name such as "Zoë" in it) must work for every way the game touches
// its files: on Windows each call has to go through the wide API for that.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/FileRead.h"
#include "harness/TempFolder.h"
#include "platform/AtomicFile.h"
#include "platform/FolderLock.h"
#include "platform/NativePath.h"

namespace fs = std::filesystem;

TEST(NativePath, AFolderNamedOutsideAsciiWorksForEveryFileCall) {
    TTempFolder base;
    ASSERT_FALSE(base.Path.empty());
    // Latin with a diaeresis, Greek, Cyrillic and Japanese, and a blank.
    const std::string name = "Zo\xC3\xAB \xCE\xA9\xD0\x96\xE6\x97\xA5";
    const std::string folder = base.Path + name + "/";
    ASSERT_TRUE(fs::create_directory(PathFromUtf8(folder)));
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(folder).parent_path().filename()), name);

    const std::string file = folder + "Config.cfg";
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(file, "first", error)) << error;
    ASSERT_TRUE(WriteFileAtomic(file, "second, replacing it", error)) << error;
    std::vector<uint8_t> bytes;
    std::string reason;
    ASSERT_TRUE(ReadWholeFile(file, TFileKind::Settings, bytes, reason)) << reason;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "second, replacing it");

    // The system lists the file under the same name, and no temporary file is left.
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(PathFromUtf8(folder)))
        names.push_back(Utf8FromPath(e.path().filename()));
    EXPECT_EQ(names, std::vector<std::string>{"Config.cfg"});

    TFolderLock lock, second;
    EXPECT_EQ(lock.Acquire(folder), TFolderLock::TResult::Held);
    EXPECT_EQ(second.Acquire(folder), TFolderLock::TResult::Taken);
    lock.Release();

    ASSERT_TRUE(MoveAside(file, folder + "Config.cfg.bad", error)) << error;
    EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(folder + "Config.cfg.bad")));
    bool cut = true;
    EXPECT_EQ(ReadFileStart(file, TFileKind::Settings, bytes, cut, reason), TFileStart::Missing);
    EXPECT_FALSE(cut);
}

// Text that is not UTF-8 (a damaged settings line naming a folder) still makes a path, and
// files under it are simply not found: never an exception.
TEST(NativePath, TextThatIsNotUtf8MakesAPathWithoutThrowing) {
    const std::string broken = "no \xFF\xFE such folder/Config.cfg";
    EXPECT_NO_THROW(static_cast<void>(PathFromUtf8(broken)));
    std::vector<uint8_t> bytes;
    std::string reason;
    bool cut = false;
    EXPECT_EQ(ReadFileStart(broken, TFileKind::Settings, bytes, cut, reason), TFileStart::Missing);
}
