// The real game and viltool on the damaged files of the damaged-file review, each made the
// way it was found: the program stays under a memory ceiling, ends when asked (or by itself,
// for viltool), and says what is wrong in exactly one message. Also SIGINT and SIGTERM, at
// start-up and while the menu runs, close the game the normal way.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "GameProcess.h"
#include "common/PngEncode.h"
#include "common/VilWriter.h"

namespace {
using TBytes = std::vector<uint8_t>;
constexpr uint64_t kToolCeiling = 256 * kMiB;

TBytes ZeroPng(int w, int h) {
    const std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    return EncodePng(w, h, pixels.data());
}

// The generated menu list cut inside its "mousecursor" item, past the name.
TBytes MenuListCutInsideTheCursor() {
    TBytes list = TGameFolder::Original("Data/data1.vil");
    const std::string name = "\x0bmousecursor";
    const auto at = std::search(list.begin(), list.end(), name.begin(), name.end());
    if (at == list.end()) return {};
    list.resize(static_cast<size_t>(at - list.begin()) + name.size() + 40);
    return list;
}

struct TGameCase {
    const char* Label;
    std::function<void(TGameFolder&)> Damage;
    // Texts the messages must hold, and how many there are: one per damaged file.
    std::vector<std::string> Message;
    size_t Messages = 1;
};
}  // namespace

TEST(DamagedFiles, TheGameRefusesEachWithOneMessageAndStaysInItsMemory) {
    const std::vector<TGameCase> cases = {
        {"sound and song linked to /dev/zero",
         [](TGameFolder& g) {
             g.Link("Sounds/start.wav", "/dev/zero");
             g.Link("Sounds/1.xm", "/dev/zero");
         },
         {"Error loading module: Sounds\\1.xm", "Error loading sound: Sounds\\start.wav",
          "a character device, not a regular file"},
         2},
        {"song made a named pipe",
         [](TGameFolder& g) { g.MakePipe("Sounds/1.xm"); },
         {"Error loading module: Sounds\\1.xm", "a named pipe, not a regular file"}},
        {"menu list truncated to a terabyte",
         [](TGameFolder& g) { g.MakeSparse("Data/data1.vil", uint64_t{1} << 40); },
         {"Cannot be loaded - file error or file crypted!", "too large"}},
        {"eight zero pictures of 4096 x 4096",
         [](TGameFolder& g) {
             std::vector<TVilItem> items;
             const TBytes zero = ZeroPng(4096, 4096);
             for (int i = 0; i < 8; ++i) items.push_back({"zero" + std::to_string(i), zero});
             g.Write("Data/data1.vil", WriteVil(items));
         },
         {"The stream could not be loaded", "item 3: bad or too large PNG picture"}},
        {"a picture wider than a texture may be",
         [](TGameFolder& g) {
             g.Write("Data/data1.vil", WriteVil({{"wide", ZeroPng(5000, 8)}}));
         },
         {"The stream could not be loaded", "item 1: bad or too large PNG picture"}},
        {"menu list cut inside an item",
         [](TGameFolder& g) { g.Write("Data/data1.vil", MenuListCutInsideTheCursor()); },
         {"The stream could not be loaded", "unexpected end of stream"}},
    };
    for (const TGameCase& c : cases) {
        SCOPED_TRACE(c.Label);
        TGameFolder game;
        c.Damage(game);
        const TRunResult run =
            RunProcess(game.Executable(), {}, kGameCeiling, kRunSeconds, SIGTERM, kStopWait);
        ASSERT_TRUE(run.Started);
        EXPECT_FALSE(run.EndedBeforeStop) << run.Summary();
        EXPECT_TRUE(run.Ended) << run.Summary();
        EXPECT_EQ(run.ExitCode, 0) << run.Summary();
        EXPECT_EQ(run.ErrorLines.size(), c.Messages) << run.Summary();
        // Said during start-up, not only once the stop broke a wait (a pipe with no writer).
        EXPECT_EQ(run.LinesBeforeStop, c.Messages) << run.Summary();
        for (const std::string& text : c.Message)
            EXPECT_TRUE(Mentions(run.ErrorLines, text)) << text << "\n" << run.Summary();
    }
}

TEST(DamagedFiles, ViltoolRefusesFiveMillionEmptyItemsInLittleMemory) {
    // A 10 MB list of empty items: each takes two bytes in the file and far more in memory.
    const std::string head = std::string("\xFF\x0A\x00X\x00\x30\x10\x00\x00\x00\x00TPF0", 15) +
                             "\x1DTImageListCollectionComponent" + std::string(1, '\0') +
                             "\x04List\x0E";
    TBytes file(head.begin(), head.end());
    for (int i = 0; i < 5000000; ++i) {
        file.push_back(1);
        file.push_back(0);
    }
    for (int i = 0; i < 3; ++i) file.push_back(0);
    TGameFolder folder;
    folder.Write("many.vil", file);

    const TRunResult run = RunProcess(ViltoolExe(), {"list", (folder.Dir / "many.vil").string()},
                                      kToolCeiling, 0, 0, 60);
    ASSERT_TRUE(run.Ended) << run.Summary();
    EXPECT_EQ(run.ExitCode, 1) << run.Summary();
    ASSERT_EQ(run.ErrorLines.size(), 1u) << run.Summary();
    EXPECT_TRUE(Mentions(run.ErrorLines, "item 4097: too many items in the list")) << run.Summary();
}

// SIGINT and SIGTERM close the game as its close box does (exit code 0, nothing reported),
// whether they come during start-up or while the menu runs.
TEST(DamagedFiles, StopSignalsCloseTheGameNormally) {
    for (const int sig : {SIGINT, SIGTERM}) {
        for (const double after : {0.0, kRunSeconds}) {
            SCOPED_TRACE(std::string(strsignal(sig)) + " after " + std::to_string(after) + " s");
            TGameFolder game;
            const TRunResult run =
                RunProcess(game.Executable(), {}, kGameCeiling, after, sig, kStopWait);
            EXPECT_FALSE(run.EndedBeforeStop) << run.Summary();
            EXPECT_TRUE(run.Ended) << run.Summary();
            EXPECT_EQ(run.ExitCode, 0) << run.Summary();
            EXPECT_TRUE(run.ErrorLines.empty()) << run.Summary();
        }
    }
}
