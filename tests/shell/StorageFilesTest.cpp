// The settings files on disk: damaged and odd files at start-up, failed writes, the one-time
// read from the program's folder, and writes that survive being killed at any moment.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/TextCode.h"
#include "harness/Harness.h"
#include "harness/TempFolder.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "shell/HighScoreTable.h"
#include "shell/Storage.h"
#include "shell/StorageFiles.h"

namespace fs = std::filesystem;

namespace {

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The temporary files of writes to `name` left in a folder.
int Temporaries(const std::string& folder, const std::string& name) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string f = e.path().filename().string();
        if (f.rfind(name, 0) == 0 && IsAtomicTemporaryName(f)) ++n;
    }
    return n;
}

TSettings Defaults() {
    DefaultHiScores();
    TSettings s;
    s.HiScores = HiScores;
    return s;
}

TSettings Sample(int32_t players) {
    TSettings s = Defaults();
    s.Volume = 4;
    s.ExtraText = "extra";
    s.PlayerName = "P0";
    s.HiScores[3].Name = "Ann";
    for (int32_t i = 0; i < players; ++i) AddPlayer(s.Players, "P" + std::to_string(i));
    s.Players.CurrentPlayer = 0;
    return s;
}

TProgress SampleProgress(int32_t score) {
    TProgress p;
    p.Score = score;
    p.TracksOpen = 9;
    p.UnlockStage = 5;
    p.BestTimes[1] = {12, 34, 1};
    p.BestTimes[20] = {1, 2, 3};
    return p;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

#ifndef _WIN32
bool IsRoot() {
    return geteuid() == 0;
}
#endif
}  // namespace

TEST(StorageFiles, SavedFilesReadBackAndLeaveNothingElse) {
    TTempFolder dir;
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(dir.Path, Sample(3), error)) << error;
    ASSERT_TRUE(SaveProgressFile(dir.Path, SampleProgress(77), error)) << error;
    TSettings s = Defaults();
    TProgress p;
    const TLoadReport config = LoadSettingsFile(dir.Path, "", s);
    const TLoadReport data = LoadProgressFile(dir.Path, "", p);
    EXPECT_TRUE(config.Found && data.Found);
    EXPECT_FALSE(config.NeedsWrite() || data.NeedsWrite());
    EXPECT_EQ(config.Message, "");
    EXPECT_EQ(EncodeSettings(s), EncodeSettings(Sample(3)));
    EXPECT_EQ(EncodeProgress(p), EncodeProgress(SampleProgress(77)));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Config.cfg", "Configdat.cfg"}));
}

TEST(StorageFiles, MissingFilesKeepTheDefaultsSilently) {
    TTempFolder dir;
    TSettings s = Sample(2);
    const TLoadReport r = LoadSettingsFile(dir.Path, "", s);
    EXPECT_FALSE(r.Found || r.NeedsWrite());
    EXPECT_EQ(EncodeSettings(s), EncodeSettings(Sample(2)));
}

TEST(StorageFiles, EveryDamagedLineKeepsACopyAndNamesTheLine) {
    const std::string goodConfig = EncodeSettings(Sample(2));
    const std::string goodData = EncodeProgress(SampleProgress(5));
    struct File {
        const char* Name;
        const std::string& Good;
    };
    for (const File& f : {File{kConfigFileName, goodConfig}, File{kProgressFileName, goodData}}) {
        const std::vector<std::string> lines = Lines(f.Good);
        for (size_t n = 0; n < lines.size(); ++n) {
            TTempFolder dir;
            std::vector<std::string> bad = lines;
            bad[n] = "#" + bad[n];
            const std::string bytes = Join(bad);
            Put(dir / f.Name, bytes);
            TSettings s = Defaults();
            TProgress p;
            const bool config = f.Name == std::string(kConfigFileName);
            const TLoadReport r =
                config ? LoadSettingsFile(dir.Path, "", s) : LoadProgressFile(dir.Path, "", p);
            const std::string what = std::string(f.Name) + " line " + std::to_string(n + 1);
            EXPECT_TRUE(r.Damaged && r.NeedsWrite()) << what;
            EXPECT_EQ(Slurp(dir / (std::string(f.Name) + ".bad")), bytes) << what;
            // The damaged file stays in place until a repaired one replaces it.
            EXPECT_EQ(Slurp(dir / f.Name), bytes) << what;
            EXPECT_NE(r.Message.find(" " + std::to_string(n + 1) + ";"), std::string::npos)
                << what << ": " << r.Message;
            EXPECT_NE(r.Message.find(dir / f.Name), std::string::npos) << r.Message;
        }
    }
}

TEST(StorageFiles, OddFilesInThePlaceOfTheSettings) {
    const std::string good = EncodeSettings(Sample(2));
    struct Case {
        const char* What;
        std::function<void(const std::string& path)> Make;
        bool CopyIsTheFile;  // the .bad copy holds the bytes put there
        std::string Bytes;
    };
    std::string huge = good;
    huge.resize(kMaxSettingsFileSize + 100, 'D');
    std::string lfOnly = good;
    for (size_t i; (i = lfOnly.find("\r\n")) != std::string::npos;) lfOnly.erase(i, 1);
    std::vector<Case> cases = {
        {"an empty file", {}, true, ""},
        {"a truncated file", {}, true, good.substr(0, good.size() / 2)},
        {"a file of NUL bytes", {}, true, std::string(50, '\0')},
        {"a file far too large", {}, true, huge},
        {"a folder", [](const std::string& p) { fs::create_directory(p); }, false, ""},
    };
#ifndef _WIN32
    // Linux's own kinds of file (Windows' links need privileges, its pipes live apart).
    cases.push_back({"a link to itself",
                     [](const std::string& p) { fs::create_symlink(fs::path(p).filename(), p); },
                     false, ""});
    // Opening it must not wait for a writer.
    cases.push_back({"a named pipe",
                     [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, false,
                     ""});
#endif
    for (const Case& c : cases) {
        TTempFolder dir;
        const std::string path = dir / kConfigFileName;
        if (c.Make)
            c.Make(path);
        else
            Put(path, c.Bytes);
        TSettings s = Defaults();
        const TLoadReport r = LoadSettingsFile(dir.Path, "", s);
        EXPECT_TRUE(r.Damaged) << c.What;
        EXPECT_NE(r.Message, "") << c.What;
        EXPECT_EQ(r.Message.find("could not"), std::string::npos) << r.Message;
        EXPECT_TRUE(fs::exists(fs::symlink_status(path + ".bad"))) << c.What;
        if (c.CopyIsTheFile) {
            EXPECT_EQ(Slurp(path + ".bad"), c.Bytes) << c.What;
        }
        // Values are good or default; here the first lines survive a cut in the middle.
        if (c.What == std::string("a truncated file")) {
            EXPECT_EQ(s.Volume, 4);
        }
        if (c.What == std::string("a file far too large")) {
            EXPECT_EQ(s.Players.PlayerCount, 2);
        }
        // Whatever was there, the repaired file can be written afterwards.
        std::string error;
        EXPECT_TRUE(SaveSettingsFile(dir.Path, s, error)) << c.What << ": " << error;
    }
    // LF-only line ends are not damage.
    TTempFolder dir;
    Put(dir / kConfigFileName, lfOnly);
    TSettings s = Defaults();
    const TLoadReport r = LoadSettingsFile(dir.Path, "", s);
    EXPECT_FALSE(r.Damaged);
    EXPECT_FALSE(fs::exists(dir / "Config.cfg.bad"));
    EXPECT_EQ(EncodeSettings(s), good);
}

TEST(StorageFiles, WhenNoCopyCanBeKeptTheDamagedFileIsLeftAlone) {
    TTempFolder dir;
    const std::string damaged = "#not a settings file\n";
    Put(dir / kConfigFileName, damaged);
    fs::create_directories(dir / "Config.cfg.bad/taken");
    fs::create_directory(dir / "Configdat.cfg");
    fs::create_directories(dir / "Configdat.cfg.bad/taken");
    TSettings s = Defaults();
    TProgress p;
    const TLoadReport config = LoadSettingsFile(dir.Path, "", s);
    const TLoadReport data = LoadProgressFile(dir.Path, "", p);
    for (const TLoadReport* r : {&config, &data}) {
        EXPECT_TRUE(r->Damaged);
        EXPECT_FALSE(r->CopyKept);
        EXPECT_FALSE(r->NeedsWrite());
        EXPECT_NE(r->Message.find("a copy could not be kept"), std::string::npos) << r->Message;
    }
    EXPECT_EQ(Slurp(dir / kConfigFileName), damaged);
    EXPECT_TRUE(fs::is_directory(dir / "Configdat.cfg"));
}

#ifndef _WIN32
// POSIX permissions: Windows has access control lists instead.
TEST(StorageFiles, AFileWithoutReadPermissionIsMovedAside) {
    if (IsRoot()) GTEST_SKIP() << "root reads every file; the link loop covers unreadable files";
    TTempFolder dir;
    Put(dir / kProgressFileName, EncodeProgress(SampleProgress(1)));
    fs::permissions(dir / kProgressFileName, fs::perms::none);
    TProgress p;
    const TLoadReport r = LoadProgressFile(dir.Path, "", p);
    EXPECT_TRUE(r.Damaged);
    EXPECT_EQ(p.Score, 0);
    EXPECT_TRUE(fs::exists(dir / "Configdat.cfg.bad"));
}
#endif

TEST(StorageFiles, FailedWritesKeepTheOldFileAndSayWhy) {
    struct Case {
        const char* What;
        std::function<void(const TTempFolder&)> Break;
        const char* Reason;
    };
    const std::vector<Case> cases = {
        {"the file is an empty folder",
         [](const TTempFolder& d) {
             fs::remove(d / "Config.cfg");
             fs::create_directories(d / "Config.cfg");
         },
         "Is a directory"},
        {"the file is a folder with contents",
         [](const TTempFolder& d) {
             fs::remove(d / "Config.cfg");
             fs::create_directories(d / "Config.cfg/keep");
         },
         "Is a directory"},
    };
    for (const Case& c : cases) {
        TTempFolder dir;
        std::string error;
        ASSERT_TRUE(SaveSettingsFile(dir.Path, Sample(1), error));
        const std::string before = Slurp(dir / "Config.cfg");
        c.Break(dir);
        EXPECT_FALSE(SaveSettingsFile(dir.Path, Sample(4), error)) << c.What;
        EXPECT_NE(error.find(dir / "Config.cfg"), std::string::npos) << error;
        EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
        if (fs::is_regular_file(dir / "Config.cfg")) {
            EXPECT_EQ(Slurp(dir / "Config.cfg"), before) << c.What;
        }
        EXPECT_TRUE(fs::exists(dir / "Config.cfg")) << c.What;
        // No stray temporary file is left beside it.
        EXPECT_EQ(Temporaries(dir.Path, "Config.cfg"), 0) << c.What;
    }
    // A folder that is really a file.
    TTempFolder dir;
    Put(dir / "notafolder", "x");
    std::string error;
    EXPECT_FALSE(SaveProgressFile(dir / "notafolder", SampleProgress(1), error));
    EXPECT_NE(error.find("Not a directory"), std::string::npos) << error;
#ifndef _WIN32
    // A read-only folder, where permissions apply.
    if (!IsRoot()) {
        TTempFolder ro;
        ASSERT_TRUE(SaveSettingsFile(ro.Path, Sample(1), error));
        fs::permissions(ro.Path, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(SaveSettingsFile(ro.Path, Sample(4), error));
        EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
        EXPECT_EQ(Slurp(ro / "Config.cfg"), EncodeSettings(Sample(1)));
    }
#endif
}

TEST(StorageFiles, AFileOnlyInTheProgramFolderIsReadFromThere) {
    TTempFolder user, program;
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(program.Path, Sample(3), error));
    TSettings s = Defaults();
    const TLoadReport r = LoadSettingsFile(user.Path, program.Path, s);
    EXPECT_TRUE(r.Found && r.FromProgramFolder && r.NeedsWrite());
    EXPECT_EQ(s.Players.PlayerCount, 3);
    // The user's own file wins over the program folder's.
    ASSERT_TRUE(SaveSettingsFile(user.Path, Sample(1), error));
    s = Defaults();
    const TLoadReport own = LoadSettingsFile(user.Path, program.Path, s);
    EXPECT_FALSE(own.FromProgramFolder);
    EXPECT_EQ(s.Players.PlayerCount, 1);
}

// Start-up through the form: the program folder's files are read once and copied into the
// user's folder; a damaged file is repaired at once and its copy kept; one line on stderr.
TEST(StorageFiles, StartUpMovesOldFilesInAndRepairsDamagedOnes) {
    TTempFolder program;
    THarness h({.Start = false});
    const std::string savedProgramDir = ProgramDir();
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(program.Path, Sample(2), error));
    std::vector<std::string> bad = Lines(EncodeProgress(SampleProgress(900)));
    bad[2] = "garbage";  // CarsOpen
    Put(h.ConfigDir() + kProgressFileName, Join(bad));

    SetProgramDir(program.Path);
    testing::internal::CaptureStderr();
    ReadStoredFiles(h.Form());
    const std::string err = testing::internal::GetCapturedStderr();
    SetProgramDir(savedProgramDir);

    EXPECT_EQ(h.Form().Players.PlayerCount, 2);
    EXPECT_EQ(Score, 900);
    EXPECT_EQ(Slurp(h.ConfigDir() + kConfigFileName), EncodeSettings(Sample(2)));
    EXPECT_EQ(Slurp(h.ConfigDir() + "Configdat.cfg.bad"), Join(bad));
    TProgress repaired;
    EXPECT_TRUE(DecodeProgress(Slurp(h.ConfigDir() + kProgressFileName), repaired).empty());
    EXPECT_EQ(repaired.Score, 900);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("damaged line 3;"), std::string::npos) << err;
}

TEST(StorageFiles, AFailedSaveShowsOneMessageNamingEachFile) {
    THarness h({.Start = false});
    std::vector<TMessage> shown;
    const TMessageHandler old = SetMessageHandler([&](const TMessage& m) { shown.push_back(m); });
    fs::create_directories(h.ConfigDir() + "Config.cfg/keep");
    fs::create_directories(h.ConfigDir() + "Configdat.cfg/keep");
    EXPECT_FALSE(WriteStoredFiles(h.Form()));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].Text.find(h.ConfigDir() + "Config.cfg:"), std::string::npos);
    EXPECT_NE(shown[0].Text.find(h.ConfigDir() + "Configdat.cfg:"), std::string::npos);
    EXPECT_NE(shown[0].Text.find("Is a directory"), std::string::npos);
    EXPECT_FALSE(WriteConfig(h.Form()));
    EXPECT_EQ(shown.size(), 2u);
    SetMessageHandler(old);
}

#ifndef _WIN32
// A writer killed at random moments, 200 times: each file on disk is always exactly the old
// or the new version, never a mix, never empty.
TEST(StorageFiles, WritesKilledAtRandomMomentsLeaveWholeFiles) {
    TTempFolder dir;
    const TSettings settings[2] = {Sample(1), Sample(10)};
    const TProgress progress[2] = {SampleProgress(1), SampleProgress(123456789)};
    const std::string config[2] = {EncodeSettings(settings[0]), EncodeSettings(settings[1])};
    const std::string data[2] = {EncodeProgress(progress[0]), EncodeProgress(progress[1])};
    std::string error;
    ASSERT_TRUE(SaveSettingsFile(dir.Path, settings[0], error));
    ASSERT_TRUE(SaveProgressFile(dir.Path, progress[0], error));

    // The kills should fall anywhere from before the child's first write to several writes
    // later, so the delays span a fork plus a few writes as long as they take on this disk.
    // (Timing only spreads the kills; nothing is asserted about it.)
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i) {
        SaveSettingsFile(dir.Path, settings[0], error);
        SaveProgressFile(dir.Path, progress[0], error);
    }
    const pid_t probe = fork();
    if (probe == 0) _exit(0);
    waitpid(probe, nullptr, 0);
    const auto spanUs = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count() *
                        4 / 10;
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int64_t> delayUs(0, std::max<int64_t>(spanUs, 200));
    int rounds = 0, killedMidWrite = 0, configSeen[2] = {0, 0}, dataSeen[2] = {0, 0};
    for (; rounds < 200; ++rounds) {
        // A temporary file left by the last kill would be counted again.
        RemoveStaleTemporaries(dir.Path);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) {
                std::string e;
                SaveSettingsFile(dir.Path, settings[i % 2], e);
                SaveProgressFile(dir.Path, progress[i % 2], e);
            }
        }
        usleep(static_cast<useconds_t>(delayUs(rng)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string c = Slurp(dir / kConfigFileName);
        const std::string d = Slurp(dir / kProgressFileName);
        const int ci = c == config[0] ? 0 : (c == config[1] ? 1 : -1);
        const int di = d == data[0] ? 0 : (d == data[1] ? 1 : -1);
        ASSERT_NE(ci, -1) << "round " << rounds << ": Config.cfg is neither version, " << c.size()
                          << " bytes";
        ASSERT_NE(di, -1) << "round " << rounds << ": Configdat.cfg is neither version, "
                          << d.size() << " bytes";
        ++configSeen[ci];
        ++dataSeen[di];
        // Both decode completely.
        TSettings s = Defaults();
        TProgress p;
        EXPECT_TRUE(DecodeSettings(c, s).empty());
        EXPECT_TRUE(DecodeProgress(d, p).empty());
        if (Temporaries(dir.Path, "Config.cfg") + Temporaries(dir.Path, "Configdat.cfg") > 0)
            ++killedMidWrite;
    }
    std::printf(
        "kill test: %d kills over 0..%lld us; %d left a temporary file (killed inside a write); "
        "Config.cfg old %d / new %d, Configdat.cfg old %d / new %d\n",
        rounds, static_cast<long long>(delayUs.max()), killedMidWrite, configSeen[0], configSeen[1],
        dataSeen[0], dataSeen[1]);
    RecordProperty("kills", rounds);
    RecordProperty("killed_mid_write", killedMidWrite);
    // The kills must have landed inside writes often enough to mean something.
    EXPECT_GT(killedMidWrite, 20);
    EXPECT_GT(configSeen[0], 0);
    EXPECT_GT(configSeen[1], 0);
    EXPECT_GT(dataSeen[1], 0);
}
#endif
