// The player's best daily-race times on this computer: DailyBest.txt in the config folder, one
// line per day and player, "YYYY-MM-DD hundredths name", with the race's encoded key log after
// a tab when it is kept (the ghost of "my best"; lines without one, as older files have them,
// read as before). Only the best time of a day counts, so recording a slower one changes
// nothing; a new best replaces the log with its own. A damaged line (a bad date, a time that is not
// a whole positive number, no name) is skipped and reported once in the load report; the next write
// drops it, after a copy of the damaged file is kept as DailyBest.txt.bad. Writes go through the
// settings files' crash-safe writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kDailyBestFileName = "DailyBest.txt";
// Times from the clock's limits: a daily race lasts minutes, never days.
inline constexpr int32_t kMaxDailyHundredths = 100 * 60 * 60 * 24;
// The file keeps this many lines, the newest days first; older ones are dropped on writing.
inline constexpr size_t kMaxDailyBestLines = 1000;
// A key log longer than this is not kept (a driven race's is about a kilobyte); the file keeps
// logs only for its newest day and at most kMaxDailyBestLogTotal bytes of them, so it stays
// well inside the settings files' read limit.
inline constexpr size_t kMaxDailyBestLogBytes = 8 * 1024;
inline constexpr size_t kMaxDailyBestLogTotal = 24 * 1024;

struct TDailyBestEntry {
    std::string Date;  // "YYYY-MM-DD"
    std::string Name;
    int32_t Hundredths = 0;
    std::string Log;  // the encoded key log of that race, empty when none is kept
};

// Whether text is a date in the form "YYYY-MM-DD" with a month 1..12 and a day that month has.
bool ValidDailyDate(std::string_view text);
// Finish times as the game shows them: minutes ":" seconds ":" hundredths.
std::string DailyTimeText(int32_t hundredths);

class TDailyBest {
public:
    // Reads the file's text; returns the report line for standard error naming the damaged
    // lines, or an empty text when every line was sound.
    std::string Parse(std::string_view text);
    std::string Format() const;

    // Reads folder/DailyBest.txt (a missing file is an empty table). Returns the report line
    // for damaged lines, or empty. Damaged() says whether there were any.
    std::string Load(const std::string& folder);
    // Writes folder/DailyBest.txt, first keeping a damaged file as .bad; false with error set
    // when it cannot (the old file is then untouched).
    bool Save(const std::string& folder, std::string& error);

    std::optional<int32_t> Best(std::string_view date, std::string_view name) const;
    // The day's best entry of the name with its log, when there is one.
    const TDailyBestEntry* BestEntry(std::string_view date, std::string_view name) const;
    // Records a finish; returns whether it is the player's new best for the day. Times
    // outside 1..kMaxDailyHundredths and invalid dates are refused (false, nothing kept). The
    // log goes with the time; one that is not a key log's text or longer than
    // kMaxDailyBestLogBytes is left out (the time is still kept).
    bool Record(std::string_view date, std::string_view name, int32_t hundredths,
                std::string_view log = {});

    const std::vector<TDailyBestEntry>& Entries() const { return Items; }
    bool Damaged() const { return DamagedFile; }

private:
    std::vector<TDailyBestEntry> Items;
    bool DamagedFile = false;
};
