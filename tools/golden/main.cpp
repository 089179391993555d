// velkaro-golden: replays golden races with this build of the race world and says, for each,
// whether it ends exactly as recorded. Exit 0 when every one does, 1 when one does not, 2 on
// bad arguments or an unreadable file.
//
// usage: velkaro-golden --data DIR [--nudge N] (FOLDER | FILE.race)...
//   --data   the folder holding Data/data2.vil (the game's folder, or a build's game/)
//   --nudge  moves the race's sine N places in the last digit, to show a check that can fail
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "GoldenRace.h"
#include "world/RaceMath.h"

int main(int argc, char** argv) {
    std::string data;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--data" || arg == "--nudge") && i + 1 < argc) {
            if (arg == "--data") data = argv[++i];
            if (arg == "--nudge") RaceSinNudgeUlps = std::atoi(argv[++i]);
        } else if (std::filesystem::is_directory(arg)) {
            for (const std::string& f : GoldenRaceFiles(arg)) files.push_back(f);
        } else {
            files.push_back(arg);
        }
    }
    if (data.empty() || files.empty()) {
        std::fputs("usage: velkaro-golden --data DIR [--nudge N] (FOLDER | FILE.race)...\n",
                   stderr);
        return 2;
    }
    int agree = 0, differ = 0;
    for (const std::string& path : files) {
        std::string error;
        const auto race = ReadGoldenRace(path, error);
        if (!race) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            return 2;
        }
        const std::string difference = GoldenDifference(*race, ReplayGoldenRace(*race, data));
        const std::string date = DailyDateText(race->Plan);
        if (difference.empty()) {
            ++agree;
            std::printf("%s agrees (frame %d, hash %llu)\n", date.c_str(), race->Frames,
                        static_cast<unsigned long long>(race->EndHash));
        } else {
            ++differ;
            std::printf("%s DIFFERS: %s\n", date.c_str(), difference.c_str());
        }
    }
    std::printf("golden races: %d agree, %d differ\n", agree, differ);
    return differ == 0 ? 0 : 1;
}
