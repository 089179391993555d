#include "shell/daily/DailyGhost.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "shell/daily/DailyBest.h"
#include "shell/daily/DailyOnline.h"
#include "world/KeyLog.h"

namespace {
constexpr int32_t kScreenWidth = 800, kScreenHeight = 600;
// Race steps a second: the daily clock's 10 ticks every 9 steps (DailyReplay.h).
constexpr int32_t kStepsPerSecond = 90;
// The longest log read for a ghost, as the service takes them.
constexpr int32_t kMaxGhostLogFrames = 90 * 60 * 20;
}  // namespace

std::string GhostGapText(int32_t hundredths) {
    const int32_t a = std::abs(hundredths);
    std::string text = hundredths > 0 ? "+" : hundredths < 0 ? "-" : "";
    text += std::to_string(a / 100) + "." + (a % 100 < 10 ? "0" : "") + std::to_string(a % 100);
    return text + " s";
}

TGhostView GhostViewAt(const TGhostTrack& track, const std::string& name, int32_t frame,
                       double anchorX, double anchorY, double playerDistance, int32_t width,
                       int32_t height) {
    TGhostView v;
    const TGhostFrame* car = track.At(frame);
    if (car == nullptr) return v;
    v.Car = car;
    v.X = static_cast<float>(anchorX + car->X);
    v.Y = static_cast<float>(anchorY + car->Y);
    const bool onScreen =
        v.X + width > 0 && v.X < kScreenWidth && v.Y + height > 0 && v.Y < kScreenHeight;
    if (onScreen) {
        v.Shown = car->Visible != 0;
        return v;
    }
    v.Marker = true;
    // Under the car's middle, kept clear of the dashboard's panels at the sides and corners.
    v.MarkerX = std::clamp(static_cast<int32_t>(v.X) + width / 2, 110, 480);
    const bool above = v.Y + height <= 0;
    v.MarkerY = above ? 4 : kScreenHeight - 18;
    // The time between the ghost's and the player's reaching the player's distance.
    const int32_t steps = track.StepsAhead(frame, playerDistance);
    const int32_t hundredths = std::abs(steps) * 100 / kStepsPerSecond;
    v.MarkerText = name + " " + GhostGapText(hundredths).substr(hundredths > 0 ? 1 : 0) +
                   (above ? " ahead" : " behind");
    return v;
}

TDailyGhost::~TDailyGhost() {
    // The replay is short (well under a second); its thread ends with it.
    if (Building.valid()) Building.wait();
}

void TDailyGhost::Prepare(TDailyGhostChoice choice, const TDailyPlan& plan, const TDailyBest& best,
                          const std::string& playerName, TDailyOnline& online,
                          std::string dataDir) {
    const std::string date = DailyDateText(plan);
    // The same ghost already built or on its way stays; a new choice, a new day or a new own
    // best starts again, and so does a ghost that was not to be had (the service may answer
    // now).
    const TDailyBestEntry* own = best.BestEntry(date, playerName);
    const std::string key =
        date + " " + std::to_string(static_cast<int32_t>(choice)) + " " +
        (choice == TDailyGhostChoice::MyBest && own != nullptr ? std::to_string(own->Hundredths)
                                                               : std::string());
    if (key == Key && Phase != TState::Unavailable) return;
    Key = key;
    if (Building.valid()) Building.wait();
    Building = {};
    Track = {};
    Plan = plan;
    Date = date;
    DataDir = std::move(dataDir);
    GhostName.clear();
    SetNote("", "");
    Phase = TState::Off;
    if (choice == TDailyGhostChoice::None) {
        Date.clear();
        return;
    }
    if (choice == TDailyGhostChoice::MyBest) {
        UseOwnBest(best, playerName, "");
        return;
    }
    online.RequestLeader(date);
    Phase = TState::Asking;
    SetNote("Asking for", "the leader...");
}

void TDailyGhost::Poll(const TDailyBest& best, const std::string& playerName,
                       TDailyOnline& online) {
    if (Phase == TState::Asking) {
        const auto answer = online.TakeLeaderAnswer();
        if (!answer) return;
        using K = TDailyLeaderAnswer::TKind;
        if (answer->Kind == K::Found && answer->Leader.Date == Date) {
            StartBuild(answer->Leader.Name, answer->Leader.Log);
            if (Phase == TState::Building)
                SetNote("Leader: " + GhostName, DailyTimeText(answer->Leader.Hundredths));
            else
                UseOwnBest(best, playerName, "Leader unreadable:");
        } else {
            UseOwnBest(best, playerName, answer->Kind == K::None ? "No leader yet:" : "Offline:");
        }
        return;
    }
    if (Phase == TState::Building && Building.valid() &&
        Building.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        Track = Building.get();
        Phase = Track.Empty() ? TState::Unavailable : TState::Ready;
    }
}

void TDailyGhost::UseOwnBest(const TDailyBest& best, const std::string& playerName,
                             const std::string& reason) {
    const TDailyBestEntry* own = best.BestEntry(Date, playerName);
    if (own == nullptr || own->Log.empty()) {
        Phase = TState::Unavailable;
        if (reason.empty())
            SetNote("No best of yours", "today yet");
        else
            SetNote(reason, "no ghost today");
        return;
    }
    StartBuild(playerName, own->Log);
    if (Phase != TState::Building)
        SetNote("Your best", "cannot be read");
    else if (reason.empty())
        SetNote("Your best", DailyTimeText(own->Hundredths));
    else
        SetNote(reason, "your best " + DailyTimeText(own->Hundredths));
}

void TDailyGhost::SetNote(std::string first, std::string second) {
    NoteText[0] = std::move(first);
    NoteText[1] = std::move(second);
}

void TDailyGhost::StartBuild(const std::string& name, const std::string& log) {
    auto keys = TKeyLog::Decode(log, kMaxGhostLogFrames, kMaxLeaderLogBytes);
    if (!keys) {
        Phase = TState::Unavailable;
        return;
    }
    GhostName = name;
    Phase = TState::Building;
    Building =
        std::async(std::launch::async, [plan = Plan, keys = std::move(*keys), dir = DataDir] {
            return BuildGhostTrack(plan, keys, dir);
        });
}

const TGhostTrack* TDailyGhost::TrackFor(const std::string& date) const {
    return Phase == TState::Ready && date == Date ? &Track : nullptr;
}
