#include "shell/daily/DailyBest.h"

#include <algorithm>
#include <charconv>

#include "shell/StorageFiles.h"

namespace {
bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int32_t Number(std::string_view digits) {
    int32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool LeapYear(int32_t y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// A name as the name edit gives it: not empty, no line ends or other control characters.
bool ValidName(std::string_view name) {
    return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 32 || c == 127;
    });
}

// A key log's text as TKeyLog::Encode writes it: the URL-safe Base64 alphabet, bounded.
bool ValidLogText(std::string_view log) {
    return !log.empty() && log.size() <= kMaxDailyBestLogBytes &&
           std::all_of(log.begin(), log.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

// One line "YYYY-MM-DD hundredths name[<tab>log]", or nothing when it is damaged.
std::optional<TDailyBestEntry> ParseLine(std::string_view line) {
    std::string_view log;
    if (const size_t tab = line.find('\t'); tab != std::string_view::npos) {
        log = line.substr(tab + 1);
        line = line.substr(0, tab);
        if (!ValidLogText(log)) return std::nullopt;
    }
    if (line.size() < 14 || line[10] != ' ') return std::nullopt;
    const std::string_view date = line.substr(0, 10);
    const std::string_view rest = line.substr(11);
    const size_t space = rest.find(' ');
    if (space == std::string_view::npos || space > 9) return std::nullopt;
    const std::string_view time = rest.substr(0, space);
    const std::string_view name = rest.substr(space + 1);
    if (!ValidDailyDate(date) || !Digits(time) || !ValidName(name)) return std::nullopt;
    const int32_t hundredths = Number(time);
    if (hundredths < 1 || hundredths > kMaxDailyHundredths) return std::nullopt;
    return TDailyBestEntry{std::string(date), std::string(name), hundredths, std::string(log)};
}
}  // namespace

bool ValidDailyDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    const std::string_view y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
    if (!Digits(y) || !Digits(m) || !Digits(d)) return false;
    const int32_t year = Number(y), month = Number(m), day = Number(d);
    static constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    const int32_t last = kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0);
    return day <= last;
}

std::string DailyTimeText(int32_t hundredths) {
    const int32_t h = std::max(hundredths, 0);
    auto two = [](int32_t v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(h / 6000) + ":" + two(h / 100 % 60) + ":" + two(h % 100);
}

std::string TDailyBest::Parse(std::string_view text) {
    Items.clear();
    DamagedFile = false;
    std::vector<int32_t> damaged;
    int32_t number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (auto entry = ParseLine(line)) {
            Record(entry->Date, entry->Name, entry->Hundredths, entry->Log);
        } else {
            damaged.push_back(number);
        }
    }
    if (damaged.empty()) return {};
    DamagedFile = true;
    std::string report = std::string(kDailyBestFileName) + ": damaged line";
    if (damaged.size() > 1) report += "s";
    // The first few numbers say enough; a file of garbage does not need a line per line.
    for (size_t i = 0; i < damaged.size() && i < 10; ++i)
        report += (i == 0 ? " " : ", ") + std::to_string(damaged[i]);
    if (damaged.size() > 10) report += " and " + std::to_string(damaged.size() - 10) + " more";
    return report + " ignored";
}

std::string TDailyBest::Format() const {
    std::vector<const TDailyBestEntry*> order;
    for (const TDailyBestEntry& e : Items) order.push_back(&e);
    // Newest days first, so the cut below drops the oldest; a stable order within a day.
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* a, const auto* b) { return a->Date > b->Date; });
    if (order.size() > kMaxDailyBestLines) order.resize(kMaxDailyBestLines);
    // Only the newest day's ghosts are raced against: older logs are dropped, and so is any
    // log past the budget.
    const std::string newest = order.empty() ? std::string() : order.front()->Date;
    size_t logBytes = 0;
    std::string text;
    for (const TDailyBestEntry* e : order) {
        text += e->Date + " " + std::to_string(e->Hundredths) + " " + e->Name;
        if (!e->Log.empty() && e->Date == newest &&
            logBytes + e->Log.size() <= kMaxDailyBestLogTotal) {
            logBytes += e->Log.size();
            text += "\t" + e->Log;
        }
        text += "\n";
    }
    return text;
}

std::string TDailyBest::Load(const std::string& folder) {
    const TFileRead read = ReadSmallFile(folder + kDailyBestFileName);
    if (read.Status == TReadStatus::Missing) {
        Items.clear();
        DamagedFile = false;
        return {};
    }
    if (read.Status == TReadStatus::Unreadable) {
        Items.clear();
        DamagedFile = true;
        return std::string(kDailyBestFileName) + ": " + read.Error;
    }
    return Parse(read.Bytes);
}

bool TDailyBest::Save(const std::string& folder, std::string& error) {
    const std::string path = folder + kDailyBestFileName;
    if (DamagedFile) {
        // The damaged lines are dropped by this write: keep them for whoever wants to look.
        std::string ignored;
        MoveAside(path, path + ".bad", ignored);
        DamagedFile = false;
    }
    return WriteFileAtomic(path, Format(), error);
}

std::optional<int32_t> TDailyBest::Best(std::string_view date, std::string_view name) const {
    const TDailyBestEntry* e = BestEntry(date, name);
    return e != nullptr ? std::optional<int32_t>(e->Hundredths) : std::nullopt;
}

const TDailyBestEntry* TDailyBest::BestEntry(std::string_view date, std::string_view name) const {
    for (const TDailyBestEntry& e : Items)
        if (e.Date == date && e.Name == name) return &e;
    return nullptr;
}

bool TDailyBest::Record(std::string_view date, std::string_view name, int32_t hundredths,
                        std::string_view log) {
    if (!ValidDailyDate(date) || !ValidName(name) || hundredths < 1 ||
        hundredths > kMaxDailyHundredths)
        return false;
    const std::string kept = ValidLogText(log) ? std::string(log) : std::string();
    for (TDailyBestEntry& e : Items) {
        if (e.Date != date || e.Name != name) continue;
        if (hundredths >= e.Hundredths) return false;
        e.Hundredths = hundredths;
        e.Log = kept;
        return true;
    }
    Items.push_back({std::string(date), std::string(name), hundredths, kept});
    return true;
}
