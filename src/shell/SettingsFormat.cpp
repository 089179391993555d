#include "shell/SettingsFormat.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

#include "common/TextCode.h"

namespace {
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// Config.cfg line numbers.
constexpr int32_t kFullScreenLine = 1, kMusicLine = 2, kVolumeLine = 3, kExtraTextLine = 4,
                  kPlayerNameLine = 5, kFirstHiScoreLine = 6, kPlayerCountLine = 26,
                  kCurrentPlayerLine = 27, kFirstPlayerLine = 28;
// Configdat.cfg line numbers.
constexpr int32_t kScoreLine = 1, kTracksOpenLine = 2, kCarsOpenLine = 3, kThresholdLine = 4,
                  kStageLine = 5, kFirstBestTimeLine = 6;

// Values are lengthened with "%" to a multiple of this many bytes: in Config.cfg numbers and
// player names to 10, the other texts to 5; in Configdat.cfg every number to 5.
constexpr size_t kConfigNumberPad = 10, kConfigTextPad = 5, kProgressPad = 5;

// --- writing ---

std::string Padded(std::string_view text, size_t multiple) {
    return PadToMultiple(std::string(text), multiple, '%');
}

class TLineWriter {
public:
    void Text(std::string_view text, size_t padMultiple) {
        Raw(EncodeText(Padded(text, padMultiple)));
    }
    void Number(int32_t value, size_t padMultiple) { Text(std::to_string(value), padMultiple); }
    void Flag(bool on) { Raw(EncodeText(on ? "true" : "false")); }
    std::string Take() { return std::move(Out); }

private:
    void Raw(const std::string& encoded) {
        Out += encoded;
        Out += "\r\n";
    }
    std::string Out;
};

// --- reading ---

class TLineReader {
public:
    explicit TLineReader(std::string_view bytes) {
        if (bytes.size() > kMaxSettingsFileSize) bytes = bytes.substr(0, kMaxSettingsFileSize);
        LastOpen = !bytes.empty() && bytes.back() != '\n';
        while (!bytes.empty()) {
            const size_t end = bytes.find('\n');
            std::string_view line = bytes.substr(0, end);
            // CR LF and LF alone end a line alike; trailing blanks are not part of the value.
            while (!line.empty() &&
                   (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
                line.remove_suffix(1);
            Lines.push_back(line);
            if (end == std::string_view::npos) break;
            bytes.remove_prefix(end + 1);
        }
    }

    // The decoded bytes of line n (from 1), leading zero bytes removed (they come from bit
    // lengths that are not a multiple of 8, such as the 35 bits of "true"). Missing lines and
    // lines with characters outside the alphabet give nothing.
    std::optional<std::string> Decoded(int32_t n) const {
        if (n < 1 || static_cast<size_t>(n) > Lines.size()) return std::nullopt;
        // A last line with no line end is whole only when no more lines should follow;
        // otherwise the file was cut, possibly inside this line.
        if (LastOpen && static_cast<size_t>(n) == Lines.size() && Lines.size() < Expected)
            return std::nullopt;
        const std::string_view line = Lines[static_cast<size_t>(n - 1)];
        for (char c : line)
            if (kBase32Alphabet.find(c) == std::string_view::npos) return std::nullopt;
        std::string text = DecodeText(line);
        const size_t first = text.find_first_not_of('\0');
        text.erase(0, first == std::string::npos ? text.size() : first);
        return text;
    }

    // A decoded value with its "%" lengthening removed. A value lengthened to a multiple of
    // `pad` bytes (5 or 10) fills a multiple of pad * 8 / 5 characters; a line of another
    // length was cut short.
    std::optional<std::string> Value(int32_t n, size_t pad) const {
        std::optional<std::string> text = Decoded(n);
        if (!text || Lines[static_cast<size_t>(n - 1)].size() % (pad * 8 / 5) != 0)
            return std::nullopt;
        return StripTrailing(std::move(*text), '%');
    }

    // How many lines a whole file has.
    void Expect(size_t lines) { Expected = lines; }
    size_t Count() const { return Lines.size(); }

private:
    std::vector<std::string_view> Lines;
    bool LastOpen = false;
    size_t Expected = 0;
};

std::optional<int32_t> ParseNumber(std::string_view text, int32_t lo, int32_t hi) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lo || value > hi)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

// Texts typed into the game: at most 12 characters, none of them a control character.
bool StorableText(std::string_view text) {
    if (text.size() > kMaxTextLength) return false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

// Reads values over defaults and collects the lines that could not be used.
class TValueReader {
public:
    explicit TValueReader(std::string_view bytes) : Lines(bytes) {}

    void Expect(int32_t lines) { Lines.Expect(static_cast<size_t>(lines)); }
    // Whether the file reaches line n at all (a line added after older files were written).
    bool Has(int32_t n) const { return n >= 1 && static_cast<size_t>(n) <= Lines.Count(); }
    TDamagedLines TakeDamaged() {
        std::sort(Damaged.begin(), Damaged.end());
        return std::move(Damaged);
    }

    std::optional<int32_t> Number(int32_t n, size_t pad, int32_t lo, int32_t hi) {
        std::optional<std::string> text = Lines.Value(n, pad);
        std::optional<int32_t> value = text ? ParseNumber(*text, lo, hi) : std::nullopt;
        if (!value) Damaged.push_back(n);
        return value;
    }
    void Number(int32_t n, size_t pad, int32_t lo, int32_t hi, int32_t& into) {
        if (std::optional<int32_t> v = Number(n, pad, lo, hi)) into = *v;
    }
    void Flag(int32_t n, bool& into) {
        const std::optional<std::string> text = Lines.Decoded(n);
        if (text && (*text == "true" || *text == "false"))
            into = *text == "true";
        else
            Damaged.push_back(n);
    }
    std::optional<std::string> Text(int32_t n, size_t pad) {
        std::optional<std::string> text = Lines.Value(n, pad);
        if (text && StorableText(*text)) return text;
        Damaged.push_back(n);
        return std::nullopt;
    }
    void Text(int32_t n, size_t pad, std::string& into) {
        if (std::optional<std::string> t = Text(n, pad)) into = std::move(*t);
    }
    // A player's name. A value that is all "%" lengthening has lost its name (the game
    // refuses "%" in names), so it is damage, not an empty name.
    void Name(int32_t n, size_t pad, std::string& into) {
        std::optional<std::string> name = Text(n, pad);
        if (!name) return;
        const std::optional<std::string> raw = Lines.Decoded(n);
        if (name->empty() && raw && !raw->empty())
            Damaged.push_back(n);
        else
            into = std::move(*name);
    }

    TDamagedLines Damaged;

private:
    TLineReader Lines;
};

// A high-score entry is read as a whole: a damaged line keeps both of its default values, so
// a name never carries another entry's score. A line that decodes to nothing keeps its value.
void ReadHiScore(TValueReader& in, int32_t nameLine, THiScoreEntry& entry) {
    const std::optional<std::string> name = in.Text(nameLine, kConfigTextPad);
    const std::optional<std::string> score = in.Text(nameLine + 1, kConfigTextPad);
    const bool scoreOk = score && (score->empty() || ParseNumber(*score, 0, kIntMax));
    if (score && !scoreOk) in.Damaged.push_back(nameLine + 1);
    if (!name || !scoreOk) return;
    if (!name->empty()) entry.Name = *name;
    if (!score->empty()) entry.ScoreText = *score;
}
}  // namespace

std::string EncodeSettings(const TSettings& s) {
    TLineWriter out;
    out.Flag(s.FullScreen);
    out.Flag(s.MusicOn);
    out.Number(s.Volume, kConfigNumberPad);
    out.Text(s.ExtraText, kConfigTextPad);
    out.Text(s.PlayerName, kConfigTextPad);
    for (const THiScoreEntry& e : s.HiScores) {
        out.Text(e.Name, kConfigTextPad);
        out.Text(e.ScoreText, kConfigTextPad);
    }
    const TPlayerList& p = s.Players;
    const int32_t count = std::clamp(p.PlayerCount, 0, kMaxPlayers);
    out.Number(count, kConfigNumberPad);
    out.Number(p.CurrentPlayer, kConfigNumberPad);
    for (int32_t i = 0; i < count; ++i) {
        const TPlayerEntry& e = p.Entries[static_cast<size_t>(i)];
        out.Text(e.Name, kConfigNumberPad);
        out.Number(e.PlayerValue, kConfigNumberPad);
    }
    out.Number(static_cast<int32_t>(s.DailyGhost), kConfigNumberPad);
    return out.Take();
}

TDamagedLines DecodeSettings(std::string_view bytes, TSettings& s) {
    TValueReader in(bytes);
    // The player count tells how long the whole file is, so it is read first.
    TPlayerList& p = s.Players;
    in.Expect(kCurrentPlayerLine);
    in.Number(kPlayerCountLine, kConfigNumberPad, 0, kMaxPlayers, p.PlayerCount);
    in.Expect(kCurrentPlayerLine + 2 * p.PlayerCount);
    in.Flag(kFullScreenLine, s.FullScreen);
    in.Flag(kMusicLine, s.MusicOn);
    in.Number(kVolumeLine, kConfigNumberPad, 0, kMaxVolume, s.Volume);
    in.Text(kExtraTextLine, kConfigTextPad, s.ExtraText);
    in.Name(kPlayerNameLine, kConfigTextPad, s.PlayerName);
    for (size_t i = 0; i < s.HiScores.size(); ++i)
        ReadHiScore(in, kFirstHiScoreLine + 2 * static_cast<int32_t>(i), s.HiScores[i]);

    in.Number(kCurrentPlayerLine, kConfigNumberPad, 0, std::max(p.PlayerCount - 1, 0),
              p.CurrentPlayer);
    if (p.CurrentPlayer >= std::max(p.PlayerCount, 1)) p.CurrentPlayer = 0;
    for (int32_t i = 0; i < p.PlayerCount; ++i) {
        TPlayerEntry& e = p.Entries[static_cast<size_t>(i)];
        const int32_t line = kFirstPlayerLine + 2 * i;
        in.Name(line, kConfigNumberPad, e.Name);
        in.Number(line + 1, kConfigNumberPad, kIntMin, kIntMax, e.PlayerValue);
    }
    // The ghost's choice is the file's last line, after the player list. Older files end with
    // the list: no line, no damage, the default choice. When the count was damaged the list's
    // end is unknown; the count's line is reported and the choice keeps its default.
    const int32_t ghostLine = kFirstPlayerLine + 2 * p.PlayerCount;
    int32_t ghost = static_cast<int32_t>(s.DailyGhost);
    if (in.Has(ghostLine) && !in.Has(ghostLine + 1))
        in.Number(ghostLine, kConfigNumberPad, 0, 2, ghost);
    s.DailyGhost = static_cast<TDailyGhostChoice>(ghost);
    return in.TakeDamaged();
}

std::string EncodeProgress(const TProgress& p) {
    TLineWriter out;
    for (int32_t v : {p.Score, p.TracksOpen, p.CarsOpen, p.UnlockThreshold, p.UnlockStage})
        out.Number(v, kProgressPad);
    for (const TBestTime& t : p.BestTimes) {
        out.Number(t.Hundredths, kProgressPad);
        out.Number(t.Seconds, kProgressPad);
        out.Number(t.Minutes, kProgressPad);
    }
    return out.Take();
}

TDamagedLines DecodeProgress(std::string_view bytes, TProgress& p) {
    TValueReader in(bytes);
    in.Expect(kFirstBestTimeLine - 1 + 3 * static_cast<int32_t>(kBestTimeSlots));
    in.Number(kScoreLine, kProgressPad, 0, kIntMax, p.Score);
    in.Number(kTracksOpenLine, kProgressPad, kMinTracksOpen, kMaxTracksOpen, p.TracksOpen);
    in.Number(kCarsOpenLine, kProgressPad, kMinCarsOpen, kMaxCarsOpen, p.CarsOpen);
    in.Number(kThresholdLine, kProgressPad, 0, kIntMax, p.UnlockThreshold);
    in.Number(kStageLine, kProgressPad, 0, kMaxUnlockStage, p.UnlockStage);
    for (size_t i = 0; i < p.BestTimes.size(); ++i) {
        const int32_t line = kFirstBestTimeLine + 3 * static_cast<int32_t>(i);
        const std::optional<int32_t> h = in.Number(line, kProgressPad, 0, 99);
        const std::optional<int32_t> s = in.Number(line + 1, kProgressPad, 0, 99);
        const std::optional<int32_t> m = in.Number(line + 2, kProgressPad, 0, kIntMax);
        // One damaged field keeps the whole time: a mix could beat every real race.
        if (h && s && m) p.BestTimes[i] = {*h, *s, *m};
    }
    return in.TakeDamaged();
}

std::string DamagedLinesText(const TDamagedLines& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += i + 1 == lines.size() ? " and " : ", ";
        text += std::to_string(lines[i]);
    }
    return text;
}
