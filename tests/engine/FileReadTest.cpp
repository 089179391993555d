// The one whole-file reader every loader uses: what it refuses, and that it refuses at once
// (a pipe with no writer or an endless device must neither hang nor fill the memory).
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "SoundTestFiles.h"
#include "engine/FileRead.h"

namespace {
// A character device every system has. (Named pipes and links to devices are made on Linux
// only: Windows' named pipes live in a namespace of their own and its links need privileges.)
#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
constexpr const char* kEndlessDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
constexpr const char* kEndlessDevice = "/dev/zero";
#endif
}  // namespace

TEST(FileRead, ReadsRegularFilesWhole) {
    TSoundTestFiles files;
    const std::vector<uint8_t> bytes = {0, 1, 2, 250, 255, 7};
    for (const auto& [name, content] :
         {std::pair{"six.bin", bytes}, std::pair{"empty.bin", std::vector<uint8_t>{}}}) {
        const std::string path = files.Write(name, content);
        std::vector<uint8_t> read = {9, 9};
        std::string reason;
        ASSERT_TRUE(ReadWholeFile(path, TFileKind::Sound, read, reason)) << reason;
        EXPECT_EQ(read, content);
        EXPECT_TRUE(reason.empty());
    }
#ifndef _WIN32
    // Through a link to a regular file.
    const std::string target = files.Write("target.bin", bytes);
    const std::string link = (files.Dir / "link.bin").string();
    std::filesystem::create_symlink(target, link);
    std::vector<uint8_t> read;
    std::string reason;
    ASSERT_TRUE(ReadWholeFile(link, TFileKind::ImageList, read, reason)) << reason;
    EXPECT_EQ(read, bytes);
#endif
}

TEST(FileRead, RefusesWhatIsNotARegularFileOrTooLarge) {
    TSoundTestFiles files;
    const std::filesystem::path dir = files.Dir;
    // Sparse files one byte over each limit: no disk space, but the size the reader sees.
    const auto oversize = [&](const std::string& name, TFileKind kind) {
        const std::string path = files.Write(name, {});
        std::filesystem::resize_file(path, MaxFileBytes(kind) + 1);
        return path;
    };
    struct TCase {
        const char* Label;
        std::string Path;
        TFileKind Kind;
        const char* Reason;
    };
    std::vector<TCase> cases = {
        {"missing", (dir / "none").string(), TFileKind::Sound, "No such file"},
        {"folder", dir.string(), TFileKind::ImageList, "a folder, not a regular file"},
        {"device", kNullDevice, TFileKind::Settings, "a character device, not a regular file"},
        {"image list of a terabyte", oversize("huge.vil", TFileKind::ImageList),
         TFileKind::ImageList, "too large"},
        {"sound over its limit", oversize("huge.wav", TFileKind::Sound), TFileKind::Sound,
         "too large"},
        {"settings over their limit", oversize("Config.cfg", TFileKind::Settings),
         TFileKind::Settings, "too large"},
    };
#ifndef _WIN32
    const std::string pipe = (dir / "pipe").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.wav");
    cases.push_back({"named pipe", pipe, TFileKind::Module, "a named pipe, not a regular file"});
    cases.push_back({"link to /dev/zero", (dir / "zero.wav").string(), TFileKind::Sound,
                     "a character device, not a regular file"});
#endif
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        std::vector<uint8_t> read = {1, 2, 3};
        std::string reason;
        EXPECT_FALSE(ReadWholeFile(c.Path, c.Kind, read, reason));
        EXPECT_TRUE(read.empty());
        EXPECT_NE(reason.find(c.Path), std::string::npos) << reason;
        EXPECT_NE(reason.find(c.Reason), std::string::npos) << reason;
    }
#ifndef _WIN32
    // The terabyte the damaged-file review used is refused like any oversize file. (Files on
    // Windows are not sparse unless marked so: there a terabyte would be a real one.)
    const std::string tera = files.Write("tera.vil", {});
    std::filesystem::resize_file(tera, uint64_t{1} << 40);
    std::vector<uint8_t> read;
    std::string reason;
    EXPECT_FALSE(ReadWholeFile(tera, TFileKind::ImageList, read, reason));
    EXPECT_NE(reason.find("too large (1099511627776 bytes"), std::string::npos) << reason;
#endif
}

// The limits stay well above the game's own files: ten times the largest of each kind.
TEST(FileRead, LimitsLeaveRoomAboveTheGamesOwnFiles) {
    const std::string game = TestGameDir();
    int checked = 0;
    for (const char* folder : {"Data", "Sounds"}) {
        for (const auto& entry : std::filesystem::directory_iterator(game + folder)) {
            const std::string ext = entry.path().extension().string();
            const TFileKind kind = ext == ".vil"   ? TFileKind::ImageList
                                   : ext == ".wav" ? TFileKind::Sound
                                                   : TFileKind::Module;
            EXPECT_LE(entry.file_size() * 10, MaxFileBytes(kind)) << entry.path();
            std::vector<uint8_t> bytes;
            std::string reason;
            EXPECT_TRUE(ReadWholeFile(entry.path().string(), kind, bytes, reason)) << reason;
            ++checked;
        }
    }
    EXPECT_GE(checked, 20) << "run the game_data and game_sounds targets";
}

// The settings files' reader: the same refusals, but an oversize file gives its first bytes
// (marked cut) and a missing file is told apart from one that cannot be read.
TEST(FileRead, FileStartKeepsTheBeginningOfAnOversizeFile) {
    TSoundTestFiles files;
    const uint64_t limit = MaxFileBytes(TFileKind::Settings);
    const auto sized = [&](const std::string& name, uint64_t size) {
        std::vector<uint8_t> content(static_cast<size_t>(size));
        for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 7);
        return std::pair{files.Write(name, content), content};
    };
    const auto [small, smallBytes] = sized("small.cfg", 100);
    const auto [exact, exactBytes] = sized("exact.cfg", limit);
    const auto [over, overBytes] = sized("over.cfg", limit + 1);
    struct TCase {
        const char* Label;
        std::string Path;
        TFileStart Expected;
        std::vector<uint8_t> Bytes;
        bool Cut;
        const char* Reason;
    };
    const std::vector<uint8_t> none;
    std::vector<TCase> cases = {
        {"small file", small, TFileStart::Read, smallBytes, false, ""},
        {"file of exactly the limit", exact, TFileStart::Read, exactBytes, false, ""},
        {"file one byte over", over, TFileStart::Read,
         std::vector<uint8_t>(overBytes.begin(), overBytes.end() - 1), true, ""},
        {"missing", (files.Dir / "none.cfg").string(), TFileStart::Missing, none, false,
         "No such file"},
        {"folder", files.Dir.string(), TFileStart::Refused, none, false, "a folder"},
        {"device", kEndlessDevice, TFileStart::Refused, none, false, "a character device"},
    };
#ifndef _WIN32
    const std::string pipe = (files.Dir / "pipe.cfg").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    cases.push_back({"named pipe", pipe, TFileStart::Refused, none, false, "a named pipe"});
#endif
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Label);
        std::vector<uint8_t> read = {1, 2, 3};
        bool cut = !c.Cut;
        std::string reason;
        EXPECT_EQ(ReadFileStart(c.Path, TFileKind::Settings, read, cut, reason), c.Expected);
        EXPECT_EQ(read, c.Bytes);
        EXPECT_EQ(cut, c.Cut);
        EXPECT_NE(reason.find(c.Reason), std::string::npos) << reason;
    }
}
