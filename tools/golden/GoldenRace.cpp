#include "GoldenRace.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "world/DailyReplay.h"

namespace {
// Far more than any race's log and frames: a daily race lasts a few minutes.
constexpr int32_t kMaxFrames = 200000;
constexpr size_t kMaxLogBytes = 1 << 20;

template <class T>
bool Number(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}
}  // namespace

std::string GoldenRaceText(const TGoldenRace& race) {
    std::ostringstream out;
    out << "# A daily race driven by the autopilot, and where its replay ends.\n"
        << "date " << DailyDateText(race.Plan) << "\n"
        << "log " << race.Log.Encode() << "\n"
        << "finished " << (race.Finished ? 1 : 0) << "\n"
        << "frames " << race.Frames << "\n"
        << "hundredths " << race.Hundredths << "\n"
        << "reason " << (race.Reason.empty() ? "-" : race.Reason) << "\n"
        << "hash " << race.EndHash << "\n";
    return out.str();
}

std::optional<TGoldenRace> ParseGoldenRace(const std::string& text, std::string& error) {
    std::map<std::string, std::string> fields;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t space = line.find(' ');
        if (space == std::string::npos) {
            error = "a line without a value: " + line;
            return std::nullopt;
        }
        fields[line.substr(0, space)] = line.substr(space + 1);
    }
    for (const char* key : {"date", "log", "finished", "frames", "hundredths", "reason", "hash"}) {
        if (fields.count(key) == 0) {
            error = std::string("no ") + key;
            return std::nullopt;
        }
    }
    TGoldenRace race;
    const auto plan = ParseDailyDate(fields["date"]);
    auto log = TKeyLog::Decode(fields["log"], kMaxFrames, kMaxLogBytes);
    int32_t finished = 0;
    if (!plan || !log || !Number(fields["finished"], finished) ||
        !Number(fields["frames"], race.Frames) || !Number(fields["hundredths"], race.Hundredths) ||
        !Number(fields["hash"], race.EndHash)) {
        error = "a damaged value";
        return std::nullopt;
    }
    race.Plan = *plan;
    race.Log = std::move(*log);
    race.Finished = finished != 0;
    race.Reason = fields["reason"] == "-" ? "" : fields["reason"];
    return race;
}

std::optional<TGoldenRace> ReadGoldenRace(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot be read";
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseGoldenRace(text.str(), error);
}

std::vector<std::string> GoldenRaceFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".race") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TGoldenRace ReplayGoldenRace(const TGoldenRace& race, const std::string& dataDir) {
    const TReplayResult r = ReplayDailyRace(race.Plan, race.Log, dataDir, kMaxFrames);
    TGoldenRace out = race;
    out.Finished = r.Finished;
    out.Frames = r.Frames;
    out.Hundredths = r.Finished ? r.RaceHundredths : 0;
    out.Reason = r.Reason;
    out.EndHash = r.EndHash;
    return out;
}

std::string GoldenDifference(const TGoldenRace& recorded, const TGoldenRace& replayed) {
    std::ostringstream out;
    if (replayed.Finished != recorded.Finished)
        out << (replayed.Finished ? " finished" : " did not finish (" + replayed.Reason + ")");
    if (replayed.Frames != recorded.Frames)
        out << " stopped at frame " << replayed.Frames << ", not " << recorded.Frames;
    if (replayed.Hundredths != recorded.Hundredths)
        out << " in " << replayed.Hundredths << " hundredths, not " << recorded.Hundredths;
    if (replayed.Reason != recorded.Reason && !replayed.Finished)
        out << " because " << replayed.Reason << ", not " << recorded.Reason;
    if (replayed.EndHash != recorded.EndHash)
        out << " with world hash " << replayed.EndHash << ", not " << recorded.EndHash;
    const std::string text = out.str();
    return text.empty() ? text : text.substr(1);
}
