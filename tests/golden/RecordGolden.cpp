// velkaro-golden-record: drives COUNT consecutive days' races from FROM with the autopilot
// through the whole game, replays each key log headless, and writes the golden race files
// (DATE.race) into FOLDER. A replay that does not end as the game's race did is reported and
// not written. Run it only to re-record on purpose, after a change to how the race plays.
//
// usage: velkaro-golden-record FOLDER FROM-DATE COUNT
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "GoldenRace.h"
#include "harness/DailyRecording.h"

int main(int argc, char** argv) {
    if (argc != 4 || !ParseDailyDate(argv[2]) || std::atoi(argv[3]) <= 0) {
        std::fputs("usage: velkaro-golden-record FOLDER FROM-DATE COUNT\n", stderr);
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("VELKARO_GAME_DIR", VELKARO_DEFAULT_GAME_DIR, 0);
    const std::string folder = argv[1];
    const TDailyPlan from = *ParseDailyDate(argv[2]);
    int failed = 0;
    for (int32_t d = 0; d < std::atoi(argv[3]); ++d) {
        const int64_t day = DailyDayNumber(from) + d;
        const TDailyPlan plan = DailyPlanForUnixTime(day * 86400);
        const TDailyRecording game = RecordDailyRace(plan, 40000);
        TGoldenRace race;
        race.Plan = plan;
        race.Log = game.Log;
        const TGoldenRace replayed = ReplayGoldenRace(race, std::getenv("VELKARO_GAME_DIR"));
        const std::string date = DailyDateText(plan);
        if (replayed.Finished != game.Finished ||
            (game.Finished && replayed.Hundredths != game.RaceHundredths)) {
            std::fprintf(stderr, "%s: the replay does not end as the game's race did\n",
                         date.c_str());
            ++failed;
            continue;
        }
        std::ofstream(folder + "/" + date + ".race", std::ios::binary) << GoldenRaceText(replayed);
        std::printf("%s %s in %d frames\n", date.c_str(),
                    replayed.Finished ? "finished" : replayed.Reason.c_str(), replayed.Frames);
    }
    return failed == 0 ? 0 : 1;
}
