// Fuzz target: both settings-file decoders (Config.cfg and Configdat.cfg) on any bytes. Beyond
// not crashing, every value read must lie in its range, the damaged lines must be real line
// numbers in order, and what was read must write back to a file that reads again whole and
// identical: a value the reader lets in but the writer cannot keep would change the player's
// settings at every start.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/SettingsFormat.h"

namespace {
// The longest file either decoder looks at, in lines: Config.cfg ends with the players' two
// lines each and the daily ghost's choice.
constexpr int32_t kMaxConfigLines = 28 + 2 * kMaxPlayers;
constexpr int32_t kMaxProgressLines = 5 + 3 * static_cast<int32_t>(kBestTimeSlots);

// Texts a player can type: at most 12 bytes, no control characters, no "%" at the end (the
// writer's lengthening, which the reader strips).
bool StorableText(const std::string& text) {
    if (text.size() > kMaxTextLength) return false;
    if (!text.empty() && text.back() == '%') return false;
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

void CheckLines(const TDamagedLines& lines, int32_t maxLine) {
    if (!std::is_sorted(lines.begin(), lines.end())) __builtin_trap();
    for (int32_t n : lines)
        if (n < 1 || n > maxLine) __builtin_trap();
}

void CheckSettings(const TSettings& s) {
    if (s.Volume < 0 || s.Volume > kMaxVolume) __builtin_trap();
    const auto ghost = static_cast<int32_t>(s.DailyGhost);
    if (ghost < 0 || ghost > 2) __builtin_trap();
    if (!StorableText(s.ExtraText) || !StorableText(s.PlayerName)) __builtin_trap();
    for (const THiScoreEntry& e : s.HiScores)
        if (!StorableText(e.Name) || !StorableText(e.ScoreText)) __builtin_trap();
    const TPlayerList& p = s.Players;
    if (p.PlayerCount < 0 || p.PlayerCount > kMaxPlayers) __builtin_trap();
    if (p.CurrentPlayer < 0 || p.CurrentPlayer >= std::max(p.PlayerCount, 1)) __builtin_trap();
    for (int32_t i = 0; i < p.PlayerCount; ++i)
        if (!StorableText(p.Entries[static_cast<size_t>(i)].Name)) __builtin_trap();
}

void CheckProgress(const TProgress& p) {
    if (p.Score < 0 || p.UnlockThreshold < 0) __builtin_trap();
    if (p.TracksOpen < kMinTracksOpen || p.TracksOpen > kMaxTracksOpen) __builtin_trap();
    if (p.CarsOpen < kMinCarsOpen || p.CarsOpen > kMaxCarsOpen) __builtin_trap();
    if (p.UnlockStage < 0 || p.UnlockStage > kMaxUnlockStage) __builtin_trap();
    for (const TBestTime& t : p.BestTimes) {
        if (t.Hundredths < 0 || t.Hundredths > 99 || t.Seconds < 0 || t.Seconds > 99 ||
            t.Minutes < 0)
            __builtin_trap();
    }
}

// Read, write, read again: the second read finds no damage and the same values.
template <typename TRecord, typename TDecode, typename TEncode>
void CheckRoundTrip(const TRecord& read, TDecode decode, TEncode encode) {
    const std::string written = encode(read);
    TRecord again;
    if (!decode(written, again).empty()) __builtin_trap();
    if (encode(again) != written) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TSettings settings;
    CheckLines(DecodeSettings(bytes, settings), kMaxConfigLines);
    CheckSettings(settings);
    CheckRoundTrip(settings, DecodeSettings, EncodeSettings);

    TProgress progress;
    CheckLines(DecodeProgress(bytes, progress), kMaxProgressLines);
    CheckProgress(progress);
    CheckRoundTrip(progress, DecodeProgress, EncodeProgress);
    return 0;
}
