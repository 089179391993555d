// One game per settings folder (the folder's lock) and writers that never trip over each
// other's temporary files.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "harness/TempFolder.h"
#include "platform/AtomicFile.h"
#include "platform/FolderLock.h"

namespace fs = std::filesystem;

TEST(SettingsFolder, OneHolderAtATimeInThisProcessOrAnother) {
    TTempFolder dir;
    TFolderLock first, second;
    ASSERT_EQ(first.Acquire(dir.Path), TFolderLock::TResult::Held);
    EXPECT_EQ(second.Acquire(dir.Path), TFolderLock::TResult::Taken);
#ifndef _WIN32
    // Another process sees it taken too. (Windows has no fork; there the second handle above
    // stands for it, as LockFileEx's lock belongs to the handle, not the process.)
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TFolderLock other;
        _exit(other.Acquire(dir.Path) == TFolderLock::TResult::Taken ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
    // Released (as a process's end releases it), the folder can be taken again.
    first.Release();
    EXPECT_EQ(second.Acquire(dir.Path), TFolderLock::TResult::Held);
    // A folder that is not there cannot be locked; the game goes on without the lock.
    TFolderLock nowhere;
    EXPECT_EQ(nowhere.Acquire(dir.Path + "missing/"), TFolderLock::TResult::NoLocks);
}

TEST(SettingsFolder, TwoWritersAtOnceEachReplaceTheWholeFile) {
    TTempFolder dir;
    const std::string path = dir / "Config.cfg";
    const std::string versions[2] = {std::string(64 * 1024, 'a'), std::string(48 * 1024, 'b')};
    int failed[2] = {0, 0};
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < 200; ++i) {
                std::string error;
                if (!WriteFileAtomic(path, versions[w], error)) ++failed[w];
            }
        });
    }
    for (std::thread& t : writers) t.join();
    EXPECT_EQ(failed[0] + failed[1], 0);
    const std::string last = Slurp(path);
    EXPECT_TRUE(last == versions[0] || last == versions[1]) << last.size() << " bytes";
    for (const auto& e : fs::directory_iterator(dir.Path))
        EXPECT_EQ(e.path().filename(), "Config.cfg");
}

TEST(SettingsFolder, OnlyTheWritersOwnLeftoversAreSweptAway) {
    struct TCase {
        const char* Name;
        bool Temporary;
    };
    const std::vector<TCase> cases = {
        {"Config.cfg.tmp-123-4", true}, {"Configdat.cfg.tmp-9-10", true},
        {"Config.cfg", false},          {"Config.cfg.tmp", false},
        {"Config.cfg.tmp-12", false},   {"Config.cfg.tmp-1x-2", false},
        {"Config.cfg.tmp--2", false},   {".tmp-1-2", false},
        {"Config.cfg.bad", false},      {"notes.tmp-1-2.txt", false},
    };
    TTempFolder dir;
    for (const TCase& c : cases) {
        EXPECT_EQ(IsAtomicTemporaryName(c.Name), c.Temporary) << c.Name;
        std::ofstream(dir / c.Name) << "x";
    }
    // A folder with a temporary's name is not a file a writer left.
    fs::create_directory(dir / "Window.cfg.tmp-5-6");
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path), 2);
    for (const TCase& c : cases) EXPECT_EQ(fs::exists(dir / c.Name), !c.Temporary) << c.Name;
    EXPECT_TRUE(fs::is_directory(dir / "Window.cfg.tmp-5-6"));
}
