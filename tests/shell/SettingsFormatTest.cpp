// The two settings files as bytes: exact layout, round trips, forgiving line ends, and a table
// of damaged lines that must leave every value either good or at its default.
#include "shell/SettingsFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/TextCode.h"
#include "shell/HighScoreTable.h"

namespace {
std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end) {
    std::string out;
    for (const std::string& l : lines) out += l + end;
    return out;
}

TSettings DefaultSettings() {
    DefaultHiScores();
    TSettings s;
    s.HiScores = HiScores;
    return s;
}

TSettings SampleSettings() {
    TSettings s = DefaultSettings();
    s.FullScreen = true;
    s.MusicOn = false;
    s.Volume = 3;
    s.ExtraText = "Turbo 2000!";
    s.PlayerName = "Bob Ray";
    s.HiScores[0].Name = "Ann";
    s.HiScores[0].ScoreText = "4711";
    s.HiScores[4].Name = "Zo\xEB";  // 8-bit Western European text
    s.HiScores[4].ScoreText = "0";
    s.Players.PlayerCount = 3;
    s.Players.CurrentPlayer = 1;
    s.Players.Entries[0] = {"Ann", 7};
    s.Players.Entries[1] = {"Bob Ray", -2};
    s.Players.Entries[2] = {"twelve chars", 123456};
    s.DailyGhost = TDailyGhostChoice::MyBest;
    return s;
}

TProgress SampleProgress() {
    TProgress p;
    p.Score = 1234;
    p.TracksOpen = 7;
    p.CarsOpen = 5;
    p.UnlockThreshold = 2700;
    p.UnlockStage = 4;
    for (size_t i = 0; i < p.BestTimes.size(); ++i)
        p.BestTimes[i] = {static_cast<int32_t>(i * 3 % 100), static_cast<int32_t>(i * 7 % 60),
                          i < 12 ? static_cast<int32_t>(i % 3) : 0};
    p.BestTimes[5].Minutes = 1000;  // no best time yet
    return p;
}

// Every stored value as text, in a fixed order, so records compare field by field.
std::vector<std::string> Fields(const TSettings& s) {
    std::vector<std::string> f = {s.FullScreen ? "1" : "0", s.MusicOn ? "1" : "0",
                                  std::to_string(s.Volume), s.ExtraText, s.PlayerName};
    for (const THiScoreEntry& e : s.HiScores) {
        f.push_back(e.Name);
        f.push_back(e.ScoreText);
    }
    f.push_back(std::to_string(s.Players.PlayerCount));
    f.push_back(std::to_string(s.Players.CurrentPlayer));
    // Entries past the count are left as they were.
    for (const TPlayerEntry& e : s.Players.Entries) {
        f.push_back(e.Name);
        f.push_back(std::to_string(e.PlayerValue));
    }
    f.push_back(std::to_string(static_cast<int32_t>(s.DailyGhost)));
    return f;
}

std::vector<std::string> Fields(const TProgress& p) {
    std::vector<std::string> f;
    for (int32_t v : {p.Score, p.TracksOpen, p.CarsOpen, p.UnlockThreshold, p.UnlockStage})
        f.push_back(std::to_string(v));
    for (const TBestTime& t : p.BestTimes)
        for (int32_t v : {t.Hundredths, t.Seconds, t.Minutes}) f.push_back(std::to_string(v));
    return f;
}

// Each field of `got` equals the good value or the default one.
template <typename Record>
void ExpectGoodOrDefault(const Record& got, const Record& good, const Record& def,
                         const std::string& what) {
    const std::vector<std::string> g = Fields(got), ok = Fields(good), d = Fields(def);
    for (size_t i = 0; i < g.size(); ++i) {
        const bool fine = (i < ok.size() && g[i] == ok[i]) || (i < d.size() && g[i] == d[i]);
        EXPECT_TRUE(fine) << what << ": field " << i << " is '" << g[i] << "'";
    }
}
}  // namespace

TEST(SettingsFormat, ConfigLinesHaveTheirExactEncodedForm) {
    const std::string bytes = EncodeSettings(SampleSettings());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const std::vector<std::string> lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 27u + 2 * 3 + 1);
    EXPECT_EQ(lines[0], "P5CQ3US");                               // "true", 7 characters
    EXPECT_EQ(lines[1], "Y6BE719S");                              // "false", 8 characters
    EXPECT_EQ(lines[2], "WYMMFJJSQTMMFJJS");                      // "3%%%%%%%%%"
    EXPECT_EQ(lines[5], "NS8W1JJS");                              // "Ann%%"
    EXPECT_EQ(DecodeText(lines[4]), "Bob Ray%%%");                // lengthened to 10
    EXPECT_EQ(DecodeText(lines[25]), std::string("3%%%%%%%%%"));  // PlayerCount
    EXPECT_EQ(lines[27], "NS8W1JJSQTMMFJJS");                     // "Ann%%%%%%%"
    EXPECT_EQ(DecodeText(lines[30]), std::string("-2%%%%%%%%"));  // a PlayerValue
    EXPECT_EQ(DecodeText(lines[31]), std::string("twelve chars%%%%%%%%"));
    EXPECT_EQ(DecodeText(lines[33]), std::string("2%%%%%%%%%"));  // the daily ghost: my best
    for (const std::string& line : lines)
        for (char c : line) EXPECT_NE(kBase32Alphabet.find(c), std::string_view::npos) << line;

    // Empty texts are empty lines.
    TSettings s = SampleSettings();
    s.ExtraText.clear();
    s.PlayerName.clear();
    const std::vector<std::string> empty = SplitLines(EncodeSettings(s));
    EXPECT_EQ(empty[3], "");
    EXPECT_EQ(empty[4], "");
}

TEST(SettingsFormat, ProgressLinesHaveTheirExactEncodedForm) {
    const std::vector<std::string> lines = SplitLines(EncodeProgress(TProgress{}));
    ASSERT_EQ(lines.size(), 80u);
    EXPECT_EQ(lines[1], "WYMMFJJS");  // TracksOpen "3%%%%"
    EXPECT_EQ(lines[2], "WTMMFJJS");  // CarsOpen "5%%%%"
    EXPECT_EQ(lines[3], "WY7HDJJS");  // UnlockThreshold "300%%"
    const std::vector<std::string> sample = SplitLines(EncodeProgress(SampleProgress()));
    EXPECT_EQ(sample[5 + 3 * 5 + 2], "WQ7HDYPS");  // track 5's minutes "1000%"
}

TEST(SettingsFormat, BothLayoutsRoundTrip) {
    TSettings sample = SampleSettings();
    TSettings read = DefaultSettings();
    EXPECT_TRUE(DecodeSettings(EncodeSettings(sample), read).empty());
    EXPECT_EQ(Fields(read), Fields(sample));

    // The largest list and the widest numbers.
    sample.Players.PlayerCount = kMaxPlayers;
    sample.Players.CurrentPlayer = kMaxPlayers - 1;
    for (int32_t i = 0; i < kMaxPlayers; ++i)
        sample.Players.Entries[static_cast<size_t>(i)] = {"P" + std::to_string(i),
                                                          i % 2 ? INT32_MIN : INT32_MAX};
    read = DefaultSettings();
    EXPECT_TRUE(DecodeSettings(EncodeSettings(sample), read).empty());
    EXPECT_EQ(Fields(read), Fields(sample));

    const TProgress progress = SampleProgress();
    TProgress back;
    EXPECT_TRUE(DecodeProgress(EncodeProgress(progress), back).empty());
    EXPECT_EQ(Fields(back), Fields(progress));
}

TEST(SettingsFormat, PercentSignsAtTheEndOfATextAreLostOnReload) {
    TSettings s = DefaultSettings();
    s.PlayerName = "Max%";
    s.ExtraText = "%%";
    s.Players.PlayerCount = 1;
    s.Players.Entries[0].Name = "Max%";
    TSettings read = DefaultSettings();
    EXPECT_TRUE(DecodeSettings(EncodeSettings(s), read).empty());
    EXPECT_EQ(read.PlayerName, "Max");
    EXPECT_EQ(read.ExtraText, "");
    EXPECT_EQ(read.Players.Entries[0].Name, "Max");
}

// A name of "%" alone is all lengthening once written: it reads as damage, keeping the
// default, never as an empty name.
TEST(SettingsFormat, ANameOfPercentSignsAloneIsDamage) {
    TSettings s = DefaultSettings();
    s.PlayerName = "%%%";
    s.Players.PlayerCount = 2;
    s.Players.Entries[0].Name = "Ann";
    s.Players.Entries[1].Name = "%";
    const TSettings def = DefaultSettings();
    TSettings read = DefaultSettings();
    EXPECT_EQ(DecodeSettings(EncodeSettings(s), read), (TDamagedLines{5, 30}));
    EXPECT_EQ(read.PlayerName, def.PlayerName);
    EXPECT_EQ(read.Players.Entries[0].Name, "Ann");
    EXPECT_EQ(read.Players.Entries[1].Name, def.Players.Entries[1].Name);
}

TEST(SettingsFormat, AHighScoreLineThatDecodesToNothingKeepsTheDefault) {
    TSettings s = SampleSettings();
    std::vector<std::string> lines = SplitLines(EncodeSettings(s));
    lines[5].clear();  // entry 1's name
    lines[8].clear();  // entry 2's score
    TSettings read = DefaultSettings();
    EXPECT_TRUE(DecodeSettings(JoinLines(lines, "\r\n"), read).empty());
    EXPECT_EQ(read.HiScores[0].Name, "Anonymous");
    EXPECT_EQ(read.HiScores[0].ScoreText, "4711");
    EXPECT_EQ(read.HiScores[1].ScoreText, "900");
}

TEST(SettingsFormat, LineEndsAndTrailingBlanksReadTheSame) {
    const TSettings settings = SampleSettings();
    const TProgress progress = SampleProgress();
    const std::vector<std::string> config = SplitLines(EncodeSettings(settings));
    const std::vector<std::string> data = SplitLines(EncodeProgress(progress));
    const std::vector<std::function<std::string(const std::vector<std::string>&)>> forms = {
        [](const auto& l) { return JoinLines(l, "\n"); },
        [](const auto& l) { return JoinLines(l, "  \r\n"); },
        [](const auto& l) { return JoinLines(l, "\t \n"); },
        [](const auto& l) {
            std::string s = JoinLines(l, "\r\n");
            return s.substr(0, s.size() - 2);  // no end on the last line
        },
    };
    for (size_t i = 0; i < forms.size(); ++i) {
        TSettings s = DefaultSettings();
        EXPECT_TRUE(DecodeSettings(forms[i](config), s).empty()) << i;
        EXPECT_EQ(Fields(s), Fields(settings)) << i;
        TProgress p;
        EXPECT_TRUE(DecodeProgress(forms[i](data), p).empty()) << i;
        EXPECT_EQ(Fields(p), Fields(progress)) << i;
    }
}

namespace {
struct TDamage {
    const char* Name;
    // The damaged line, or nothing when the damage does not apply to this kind of line.
    std::function<std::string(const std::string& line)> Apply;
    bool NumbersOnly;
};

std::string Encoded(const std::string& text) {
    return EncodeText(PadToMultiple(text, 10, '%'));
}

const std::vector<TDamage>& Damages() {
    static const std::vector<TDamage> damages = {
        {"bad characters", [](const std::string& l) { return "#" + l.substr(1) + "?"; }, false},
        {"a character outside the alphabet",
         [](const std::string& l) { return l.substr(0, 3) + "a" + l.substr(4); }, false},
        {"empty", [](const std::string&) { return std::string(); }, false},
        {"huge number", [](const std::string&) { return Encoded("99999999999999999999"); }, false},
        {"beyond 32 bits", [](const std::string&) { return Encoded("2147483648"); }, true},
        {"negative count", [](const std::string&) { return Encoded("-1"); }, true},
        {"cut short", [](const std::string& l) { return l.substr(0, l.size() - 3); }, false},
        {"control bytes", [](const std::string&) { return Encoded("\x01\x1b[2J"); }, false},
        {"not a number", [](const std::string&) { return Encoded("12ab"); }, true},
    };
    return damages;
}

// The daily ghost's line after the sample's three players.
constexpr int32_t kSampleGhostLine = 28 + 2 * 3;

// Config.cfg lines where an empty value is legal: the texts, and the high-score scores.
bool EmptyIsLegal(int32_t line) {
    return line == 4 || line == 5 || (line >= 6 && line <= 25) ||
           (line >= 28 && line < kSampleGhostLine && line % 2 == 0);
}

// Lines whose value is a number (the high-score scores are number texts).
bool HoldsNumber(int32_t line) {
    return line == 3 || (line >= 7 && line <= 27 && line % 2 == 1) || line == 26 ||
           (line >= 29 && line % 2 == 1) || line == kSampleGhostLine;
}

// PlayerValue lines: any 32-bit number is legal, a negative one included.
bool AcceptsAnyNumber(int32_t line) {
    return line >= 29 && line < kSampleGhostLine && line % 2 == 1;
}
}  // namespace

TEST(SettingsFormat, EveryDamagedConfigLineKeepsDefaultsAndIsNamed) {
    const TSettings good = SampleSettings();
    const TSettings def = DefaultSettings();
    const std::vector<std::string> lines = SplitLines(EncodeSettings(good));
    for (size_t n = 0; n < lines.size(); ++n) {
        const int32_t line = static_cast<int32_t>(n + 1);
        for (const TDamage& damage : Damages()) {
            if (damage.NumbersOnly && !HoldsNumber(line)) continue;
            if (damage.Name == std::string("negative count") && AcceptsAnyNumber(line)) continue;
            std::vector<std::string> bad = lines;
            bad[n] = damage.Apply(lines[n]);
            TSettings read = DefaultSettings();
            const TDamagedLines damaged = DecodeSettings(JoinLines(bad, "\r\n"), read);
            const std::string what = "line " + std::to_string(line) + ", " + damage.Name;
            ExpectGoodOrDefault(read, good, def, what);
            const bool named = std::find(damaged.begin(), damaged.end(), line) != damaged.end();
            if (EmptyIsLegal(line) && bad[n].empty())
                EXPECT_TRUE(damaged.empty()) << what;
            else
                EXPECT_TRUE(named) << what;
        }
    }
}

TEST(SettingsFormat, EveryDamagedProgressLineKeepsDefaultsAndIsNamed) {
    const TProgress good = SampleProgress();
    const TProgress def;
    const std::vector<std::string> lines = SplitLines(EncodeProgress(good));
    for (size_t n = 0; n < lines.size(); ++n) {
        const int32_t line = static_cast<int32_t>(n + 1);
        for (const TDamage& damage : Damages()) {
            std::vector<std::string> bad = lines;
            bad[n] = damage.Apply(lines[n]);
            TProgress read;
            const TDamagedLines damaged = DecodeProgress(JoinLines(bad, "\r\n"), read);
            const std::string what = "line " + std::to_string(line) + ", " + damage.Name;
            ExpectGoodOrDefault(read, good, def, what);
            EXPECT_EQ(damaged, TDamagedLines{line}) << what;
        }
    }
}

TEST(SettingsFormat, ADamagedBestTimeFieldKeepsTheWholeDefaultTime) {
    TProgress good = SampleProgress();
    good.BestTimes[2] = {45, 12, 1};
    std::vector<std::string> lines = SplitLines(EncodeProgress(good));
    lines[5 + 3 * 2 + 1] = Encoded("100");  // seconds out of range
    TProgress read;
    read.BestTimes[2] = {0, 0, 1000};
    EXPECT_EQ(DecodeProgress(JoinLines(lines, "\r\n"), read), TDamagedLines{13});
    EXPECT_EQ(read.BestTimes[2].Minutes, 1000);
    EXPECT_EQ(read.BestTimes[2].Hundredths, 0);
    EXPECT_EQ(read.BestTimes[3].Minutes, good.BestTimes[3].Minutes);
}

TEST(SettingsFormat, ACurrentPlayerOutsideTheListKeepsTheFirst) {
    TSettings s = SampleSettings();
    s.Players.CurrentPlayer = 3;  // only three players: 0 to 2
    TSettings read = DefaultSettings();
    EXPECT_EQ(DecodeSettings(EncodeSettings(s), read), TDamagedLines{27});
    EXPECT_EQ(read.Players.CurrentPlayer, 0);
    EXPECT_EQ(read.Players.PlayerCount, 3);
}

TEST(SettingsFormat, ATruncatedFileKeepsWhatItHolds) {
    const TSettings good = SampleSettings();
    const std::string config = EncodeSettings(good);
    const TProgress goodProgress = SampleProgress();
    const std::string data = EncodeProgress(goodProgress);
    // Every length, mid-line cuts included; the last two only lose the final line end. A cut
    // just after the player list is a whole file of the older layout, which ends there.
    const size_t olderEnd = config.size() - SplitLines(config).back().size() - 2;
    for (size_t len = 0; len + 2 < config.size(); ++len) {
        TSettings read = DefaultSettings();
        const TDamagedLines damaged = DecodeSettings(config.substr(0, len), read);
        ExpectGoodOrDefault(read, good, DefaultSettings(), "length " + std::to_string(len));
        EXPECT_EQ(damaged.empty(), len + 2 >= olderEnd && len <= olderEnd) << len;
    }
    for (size_t len = 0; len + 2 < data.size(); ++len) {
        TProgress read;
        const TDamagedLines damaged = DecodeProgress(data.substr(0, len), read);
        ExpectGoodOrDefault(read, goodProgress, TProgress{}, "length " + std::to_string(len));
        EXPECT_FALSE(damaged.empty()) << len;
    }
}

TEST(SettingsFormat, ArbitraryBytesNeverBreakTheReader) {
    // A cheap stand-in for the fuzzer: random bytes, and random edits of a good file.
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const std::string good = EncodeSettings(SampleSettings());
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            bytes.resize(next() % 400);
            for (char& c : bytes) c = static_cast<char>(next());
        } else {
            bytes = good;
            for (int k = 0; k < 3; ++k) bytes[next() % bytes.size()] = static_cast<char>(next());
        }
        TSettings s = DefaultSettings();
        DecodeSettings(bytes, s);
        EXPECT_GE(s.Players.PlayerCount, 0);
        EXPECT_LE(s.Players.PlayerCount, kMaxPlayers);
        EXPECT_TRUE(s.Players.CurrentPlayer == 0 ||
                    s.Players.CurrentPlayer < s.Players.PlayerCount);
        EXPECT_GE(s.Volume, 0);
        EXPECT_LE(s.Volume, kMaxVolume);
        TProgress p;
        DecodeProgress(bytes, p);
        EXPECT_GE(p.TracksOpen, kMinTracksOpen);
        EXPECT_LE(p.CarsOpen, kMaxCarsOpen);
    }
}

TEST(SettingsFormat, DamagedLinesAreListedReadably) {
    EXPECT_EQ(DamagedLinesText({3}), "3");
    EXPECT_EQ(DamagedLinesText({3, 27}), "3 and 27");
    EXPECT_EQ(DamagedLinesText({1, 2, 40}), "1, 2 and 40");
}

// The daily ghost's choice: each one round-trips; a file from before it was kept (ending
// with the player list) reads whole with the default; a value outside the choices is damage.
TEST(SettingsFormat, TheDailyGhostChoiceIsKeptAndOlderFilesStillRead) {
    for (TDailyGhostChoice choice :
         {TDailyGhostChoice::None, TDailyGhostChoice::Leader, TDailyGhostChoice::MyBest}) {
        TSettings s = SampleSettings();
        s.DailyGhost = choice;
        TSettings read = DefaultSettings();
        read.DailyGhost = TDailyGhostChoice::Leader;
        EXPECT_TRUE(DecodeSettings(EncodeSettings(s), read).empty());
        EXPECT_EQ(read.DailyGhost, choice);
    }
    std::vector<std::string> lines = SplitLines(EncodeSettings(SampleSettings()));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kSampleGhostLine));
    const std::vector<std::string> older(lines.begin(), lines.end() - 1);
    for (const char* end : {"\r\n", "\n"}) {
        TSettings read = DefaultSettings();
        EXPECT_TRUE(DecodeSettings(JoinLines(older, end), read).empty());
        EXPECT_EQ(read.DailyGhost, TDailyGhostChoice::Leader);
        EXPECT_EQ(read.Players.PlayerCount, 3);
    }
    for (const char* value : {"3", "-1", "1x"}) {
        lines.back() = Encoded(value);
        TSettings read = DefaultSettings();
        EXPECT_EQ(DecodeSettings(JoinLines(lines, "\r\n"), read), TDamagedLines{kSampleGhostLine})
            << value;
        EXPECT_EQ(read.DailyGhost, TDailyGhostChoice::Leader) << value;
    }
}
