// The ghost of the daily race as the shell runs it: which race it drives (the day's leader
// from the service, or the player's own best of the day from DailyBest.txt), the request for
// the leader, the headless replay into a track on a worker thread while the preview shows,
// and what the race draws from the track each frame. The ghost only reads the player's race:
// it draws no numbers from the generator, puts no sprite in the world and changes no key.
//
// The replay runs on a std::async thread: the race world's globals are per thread (see
// world/DailyReplay.h), so the worker builds its own race while the game's thread draws the
// menus or even runs the player's race. The race never waits for it: the ghost appears on the
// step the track is ready (it is indexed by race step, so a late track is still in place).
#pragma once

#include <cstdint>
#include <future>
#include <string>

#include "shell/Globals.h"
#include "world/DailyChallenge.h"
#include "world/GhostTrack.h"

class TDailyOnline;
class TDailyBest;

// The ghost car as the race frame draws it.
struct TGhostView {
    bool Shown = false;  // the car is on the screen: draw it at X, Y with its name above
    float X = 0, Y = 0;  // the car sprite's top left on the screen
    const TGhostFrame* Car = nullptr;
    bool Marker = false;  // off the screen: the marker line at MarkerX, MarkerY
    int32_t MarkerX = 0, MarkerY = 0;
    std::string MarkerText;  // "Ann 1.25 s ahead"
};

// Where the ghost is at race step `frame` of a race whose checkpoint 1 is at (anchorX,
// anchorY) on the screen and whose player has covered `playerDistance`. A screen of 800x600;
// the car of width x height pixels. Ahead of the player the road runs up the screen, so an
// off-screen ghost ahead is marked at the top edge, one behind at the bottom.
TGhostView GhostViewAt(const TGhostTrack& track, const std::string& name, int32_t frame,
                       double anchorX, double anchorY, double playerDistance, int32_t width,
                       int32_t height);

// "+1.23 s" / "-0.50 s" / "0.00 s": a gap in hundredths, signed as the player sees it.
std::string GhostGapText(int32_t hundredths);

class TDailyGhost {
public:
    enum class TState { Off, Asking, Building, Ready, Unavailable };

    ~TDailyGhost();

    // The preview page: starts on the choice for the day's date. Leader asks the service
    // (the answer comes in Poll); My best starts the replay of the local best at once.
    void Prepare(TDailyGhostChoice choice, const TDailyPlan& plan, const TDailyBest& best,
                 const std::string& playerName, TDailyOnline& online, std::string dataDir);
    // Every frame: takes the leader's answer (falling back to the local best when there is
    // none) and the finished track.
    void Poll(const TDailyBest& best, const std::string& playerName, TDailyOnline& online);

    TState State() const { return Phase; }
    // The quiet note for the preview page, two short lines (each fits the page's narrow well):
    // whose race the ghost drives, or why it falls back to the player's best.
    const std::string& Note() const { return NoteText[0]; }
    const std::string& NoteLine2() const { return NoteText[1]; }
    // The ready track for the race on `date`, or null.
    const TGhostTrack* TrackFor(const std::string& date) const;
    const std::string& Name() const { return GhostName; }
    // The ghost's finish time (the replay's), when it finished.
    int32_t Hundredths() const { return Phase == TState::Ready ? Track.Hundredths : 0; }

private:
    void UseOwnBest(const TDailyBest& best, const std::string& playerName,
                    const std::string& reason);
    void StartBuild(const std::string& name, const std::string& log);
    void SetNote(std::string first, std::string second);

    TState Phase = TState::Off;
    std::string Key;  // the choice, the date and the own best the ghost was prepared for
    TDailyPlan Plan{};
    std::string Date;
    std::string DataDir;
    std::string GhostName;
    std::string NoteText[2];
    TGhostTrack Track;
    std::future<TGhostTrack> Building;
};
