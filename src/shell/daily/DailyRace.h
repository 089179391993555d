// The daily race's steps in the shell: starting the day's race, keeping its keys, ending it
// (the local best kept), submitting it to the service and asking for the day's table, and
// the texts the after-race and table pages show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/daily/DailyRun.h"
#include "world/GameTables.h"

class TForm1;

// The day's car in the car table.
const TCarType& DailyCarType(const TDailyPlan& plan);

// Points the daily requests at the score service of the online settings.
void AimDailyRequests(TForm1& f);

// The preview's race button: the day's race with the day's seed, car and difficulty.
void StartDailyRace(TForm1& f);
// From the state the race ended in (the race or wreck at the finish, time's up, game over):
// notes how it ended, keeps the local best, removes the race world, back to the menus.
void EndDailyRace(TForm1& f, uint8_t fromState);

// Puts the normal game's car choice and score back, once, after a daily race.
void RestoreNormalGame(TForm1& f);
// Back to the menus: no daily race runs any more.
void CloseDailyRun(TForm1& f);

// Draws the ghost car (translucent, its driver's name above it) where the ghost's track puts
// it on the road, or the marker at the screen's top or bottom edge when it is off the screen.
// Called by the race and wreck frames after the world is drawn and before it moves; it only
// reads the race.
void DrawDailyGhost(TForm1& f);

// Whether the after-race page offers to submit: a finished race not yet sent or taken.
bool DailySubmitOffered(const TDailyRun& d);
// Sends the last finished race to the service (the player's name, the game's version).
void SubmitDailyRace(TForm1& f);
// Takes the service's answer when it has come; returns whether it had.
bool TakeDailySubmitAnswer(TForm1& f);

// Asks the service for the day's table of d.Plan.
void RequestDailyTable(TForm1& f);
bool TakeDailyTableAnswer(TForm1& f);

// One line of text on a daily page: centred at x, its top at y.
struct TDailyResultLine {
    int32_t Y = 0;
    int32_t Size = 1;  // 0 small, 1 normal, 2 large
    std::string Text;
};
std::vector<TDailyResultLine> DailyResultLines(const TDailyRun& d, const std::string& name);

struct TDailyTableLine {
    int32_t X = 0, Y = 0;
    std::string Text;
    bool Heading = false;  // the day or the state of the table
    bool Own = false;      // the player's own entry
};
std::vector<TDailyTableLine> DailyTableLines(const TDailyRun& d, const std::string& name);
