// fuzztextseeds: writes the seed corpora of the text readers' fuzz targets: the settings files
// (written by the game's own encoder from default and sample records, then damaged like the
// rows of the storage tests) and the score service's "inf" values (built by the game's score
// text builder, both encoded and as plain score texts, then damaged like the rows of the
// decoder's tests), the key bindings file, and the daily race's key logs and submission
// bodies. Run at build time:
// fuzztextseeds OUT_DIR.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/ScoreText.h"
#include "common/TextCode.h"
#include "platform/Controls.h"
#include "shell/ControlsFile.h"
#include "shell/HighScoreTable.h"
#include "shell/SettingsFormat.h"
#include "world/KeyLog.h"

namespace {
namespace fs = std::filesystem;

struct TSeeds {
    fs::path Dir;
    int Count = 0;
    void Add(const std::string& bytes) {
        std::ofstream(Dir / ("seed-" + std::to_string(Count++)), std::ios::binary) << bytes;
    }
};

std::string Replaced(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

// Line n (from 1) of a CR LF file replaced by `line`.
std::string WithLine(const std::string& file, int n, const std::string& line) {
    size_t start = 0;
    for (int i = 1; i < n && start != std::string::npos; ++i) {
        start = file.find('\n', start);
        if (start != std::string::npos) ++start;
    }
    if (start == std::string::npos) return file;
    const size_t end = file.find("\r\n", start);
    return file.substr(0, start) + line + (end == std::string::npos ? "" : file.substr(end));
}

// The damaged-file rows of the storage tests, applied to one good file.
void Damaged(TSeeds& seeds, const std::string& good) {
    seeds.Add(good.substr(0, good.size() / 2));         // cut in the middle of a line
    seeds.Add(good.substr(0, good.size() - 2));         // no last line end
    seeds.Add(Replaced(good, "\r\n", "\n"));            // LF-only line ends
    seeds.Add(Replaced(good, "\r\n", "  \r\n"));        // trailing blanks
    seeds.Add(WithLine(good, 3, "not-base32"));         // characters outside the alphabet
    seeds.Add(WithLine(good, 3, ""));                   // an empty line
    seeds.Add(WithLine(good, 1, EncodeText("maybe")));  // neither true nor false
    seeds.Add(WithLine(good, 2, good.substr(0, 12)));   // a line of the wrong length
    seeds.Add(good.substr(good.find('\n') + 1));        // the first line missing
    seeds.Add(std::string(50, '\0'));                   // NUL bytes
    seeds.Add(good + std::string(200, 'D'));            // junk after the values
}

void SettingsSeeds(TSeeds& seeds) {
    seeds.Add("");
    DefaultHiScores();
    TSettings settings;
    settings.HiScores = HiScores;
    seeds.Add(EncodeSettings(settings));
    // A full player list, the widest numbers and texts with "|", "=" and "%" inside.
    TSettings full = settings;
    full.FullScreen = true;
    full.Volume = kMaxVolume;
    full.ExtraText = "a|b=c%d";
    full.HiScores[0] = {"", "Twelve chars", "2147483647"};
    for (int32_t i = 0; i < kMaxPlayers; ++i) {
        full.Players.Entries[static_cast<size_t>(i)] = {"Player " + std::to_string(i), -i};
    }
    full.Players.PlayerCount = kMaxPlayers;
    full.Players.CurrentPlayer = kMaxPlayers - 1;
    full.PlayerName = full.Players.Entries.back().Name;
    const std::string fullFile = EncodeSettings(full);
    seeds.Add(fullFile);
    Damaged(seeds, fullFile);
    // Values the writer would write but the reader keeps out: too many players, a loud volume.
    TSettings wrong = full;
    wrong.Players.PlayerCount = kMaxPlayers + 1;
    wrong.Volume = 9;
    seeds.Add(EncodeSettings(wrong));

    TProgress progress;
    seeds.Add(EncodeProgress(progress));
    TProgress played;
    played.Score = 123456;
    played.TracksOpen = kMaxTracksOpen;
    played.CarsOpen = kMaxCarsOpen;
    played.UnlockStage = kMaxUnlockStage;
    played.BestTimes[0] = {99, 59, 2};
    played.BestTimes[kBestTimeSlots - 1] = {1, 2, 3};
    const std::string playedFile = EncodeProgress(played);
    seeds.Add(playedFile);
    Damaged(seeds, playedFile);
    TProgress outOfRange = played;
    outOfRange.TracksOpen = 13;
    outOfRange.BestTimes[1] = {100, -1, 5};
    seeds.Add(EncodeProgress(outOfRange));
}

// Both forms of each text: the encoded "inf" and the plain score text the target encodes.
void AddInf(TSeeds& seeds, const std::string& text) {
    seeds.Add(EncodeScoreText(PadToMultiple(text, 5, '0')));
    seeds.Add(text);
}

void ScoreInfSeeds(TSeeds& seeds) {
    const std::string token = "0123456789abcdef0123456789abcdef";
    const std::string fields = "|key=V|p=" + token + "|add=";
    for (const std::string& text :
         {BuildScoreText("Ann", 1200, token, ""), BuildScoreText("a|b=c", 0, token, "x=y|z"),
          BuildScoreText("|score=1|p=", 10'000'000, token, "|z="),
          BuildScoreText("Zo\xC3\xAB \xC3\x9Cnal", 7, token, "\xC3\xBC"),
          BuildScoreText("twelve chars", 42, token, "twelve chars"),
          // The decoder's refusals: each field missing, out of range or in the wrong order.
          BuildScoreText("", 5, token, ""), BuildScoreText("thirteen char", 5, token, ""),
          BuildScoreText("Ann", 10'000'001, token, ""), BuildScoreText("Ann", 5, "", ""),
          BuildScoreText("Ann", 5, token + token + "x", ""),
          BuildScoreText("Ann\x01", 5, token, "\xC0\x80"),
          "type=1|name=Ann|score=5" + fields + "|z=",
          "type=0|name=Ann|score=5|p=" + token + "|add=|z=", "type=0|name=Ann|score=5" + fields,
          "type=0|name=Ann|score=99999999999999999999" + fields + "|z=",
          "type=0|name=Ann|key=V|score=5|p=" + token + "|add=|z=", std::string("|z=")})
        AddInf(seeds, text);
    const std::string good = EncodeScoreText(BuildScoreText("Ann", 5, token, ""));
    seeds.Add(good.substr(0, 7));
    seeds.Add(good + "D");
    seeds.Add(Replaced(good, "D", "d"));
    seeds.Add(good.substr(0, good.size() - 8) + "%20DDDDD");
    seeds.Add(std::string(16, 'D'));
    seeds.Add(
        EncodeText(PadToMultiple("type=0|name=Ann|score=5" + fields + "|z=", 5, '0') + "00000"));
}

// Key bindings files as the game writes them (the defaults, and keys and buttons rebound),
// then edited by hand: comments, unknown actions and names, an action twice, CR LF, no last
// line end.
void ControlsSeeds(TSeeds& seeds) {
    seeds.Add("");
    const std::string defaults = EncodeControls(DefaultControls());
    TControls rebound = DefaultControls();
    BindKey(rebound, TAction::Accelerate, 'w');
    BindKey(rebound, TAction::Brake, 's');
    BindKey(rebound, TAction::Left, 'a');
    BindButton(rebound, TAction::Horn, TPadButton::A);
    const std::string edited = EncodeControls(rebound);
    for (const std::string& file :
         {defaults, edited, Replaced(edited, "\n", "\r\n"), edited.substr(0, edited.size() - 1),
          edited.substr(0, edited.size() / 2),
          std::string("# comment\n\naccelerate = Up\naccelerate = W\n"),
          std::string("fly = F\nleft = No Such Key\npad.right = nobutton\n= W\nleft =\n"),
          std::string("pad.accelerate = a\npad.brake = a\nquit = Escape\npause = Escape\n")})
        seeds.Add(file);
}

// Key logs as the game encodes them: empty, short, long runs, every key byte, cut and padded.
void KeyLogSeeds(TSeeds& seeds) {
    TKeyLog empty, driven, every;
    for (int i = 0; i < 3000; ++i)
        driven.Add(static_cast<uint8_t>(i < 250 ? 0 : (i / 97) % 3 == 0 ? 0x05 : 0x01));
    for (int v = 0; v < 128; ++v) every.Add(static_cast<uint8_t>(v));
    for (const TKeyLog* log : {&empty, &driven, &every}) {
        const std::string text = log->Encode();
        seeds.Add(text);
        seeds.Add(text.substr(0, text.size() / 2));
        seeds.Add(text + "==");
    }
}

// Daily submission bodies: a whole one, one with encoded characters, and refused ones.
void DailySeeds(TSeeds& seeds) {
    TKeyLog log;
    for (int i = 0; i < 400; ++i) log.Add(static_cast<uint8_t>(i % 40 < 20 ? 1 : 9));
    const std::string rest = "&version=1.0.0&hundredths=7728&log=" + log.Encode();
    for (const std::string& body :
         {"date=2026-12-10&name=Ann" + rest, "date=2026-12-10&name=A%20b+c%C3%AB" + rest,
          std::string("log=x&hundredths=1&name=Z&version=1.0.0&date=2024-02-29"),
          "date=2026-12-10&date=2026-12-11&name=Ann" + rest, "date=2026-02-30&name=Ann" + rest,
          "date=2026-12-10&name=%zz" + rest, std::string("date=2026-12-10&name=Ann&hundredths=-1"),
          std::string("&&=&")})
        seeds.Add(body);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzztextseeds OUT_DIR\n");
        return 2;
    }
    const fs::path out = argv[1];
    TSeeds settings{out / "settings"}, scoreInf{out / "scoreinf"}, controls{out / "controls"},
        keyLog{out / "keylog"}, daily{out / "dailysubmit"};
    for (TSeeds* s : {&settings, &scoreInf, &controls, &keyLog, &daily}) {
        fs::remove_all(s->Dir);
        fs::create_directories(s->Dir);
    }
    SettingsSeeds(settings);
    ScoreInfSeeds(scoreInf);
    ControlsSeeds(controls);
    KeyLogSeeds(keyLog);
    DailySeeds(daily);
    std::printf(
        "fuzztextseeds: %d settings files, %d score values, %d bindings files, %d key logs, "
        "%d daily bodies\n",
        settings.Count, scoreInf.Count, controls.Count, keyLog.Count, daily.Count);
    return 0;
}
