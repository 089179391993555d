#include "shell/daily/DailyRace.h"

#include <algorithm>

#include "common/Version.h"
#include "platform/ConfigDir.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "world/Player.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"

namespace {
using TKind = TDailySubmitAnswer::TKind;

void AimDailyOnline(TForm1& f) {
    AimDailyRequests(f);
}

// The ghost's tint: a pale blue, translucent.
constexpr uint32_t kGhostColor = 0x8CA0C8FFu;

// The ghost's name and marker in the race's small font (KerbFont2, whose own colour is the
// dashboard's dark one), in a light blue that reads on the road, centred on cx.
void GhostText(TForm1& f, int32_t cx, int32_t y, const std::string& text) {
    f.KerbFont2.TextOutColor(cx - f.KerbFont2.TextWidth(text) / 2, y, 235, 255, 235, 215, text);
}

// Breaks text at spaces into lines of at most width characters (a longer word is cut), at
// most maxLines of them; the last one ends in "..." when text does not fit.
std::vector<std::string> WrapWords(std::string_view text, size_t width, size_t maxLines) {
    std::vector<std::string> lines;
    while (!text.empty() && lines.size() < maxLines) {
        if (text.size() <= width) {
            lines.emplace_back(text);
            return lines;
        }
        size_t cut = text.substr(0, width + 1).rfind(' ');
        if (cut == std::string_view::npos || cut == 0) cut = width;
        lines.emplace_back(text.substr(0, cut));
        text.remove_prefix(cut);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
    if (!text.empty() && !lines.empty()) {
        std::string& last = lines.back();
        if (last.size() + 3 > width) last.resize(width - 3);
        last += "...";
    }
    return lines;
}

constexpr const char* kUnreachableText = "The service cannot be reached.";
}  // namespace

void AimDailyRequests(TForm1& f) {
    const TOnlineSettings& s = f.Online.Config();
    f.Daily.Online.SetClient(f.Online.HttpClient());
    f.Daily.Online.SetServer(s.ServerUrl, {s.ConnectTimeout, s.RequestTimeout});
}

void DrawDailyGhost(TForm1& f) {
    TDailyRun& d = f.Daily;
    if (!d.Active) return;
    d.Ghost.Poll(d.Best, PlayerName, d.Online);
    const TGhostTrack* track = d.Ghost.TrackFor(DailyDateText(d.Plan));
    const TPlayer* p = Race.PlayerCar;
    if (track == nullptr || p == nullptr || p->Image == nullptr || Race.CheckpointCount < 1) return;
    // The world on the screen is as the last step left it: the ghost of that step.
    const TGhostView v = GhostViewAt(
        *track, d.Ghost.Name(), d.Log.Frames() - 1, Race.Checkpoints[1].X - f.KerbSprite1.WorldX,
        Race.Checkpoints[1].Y - f.KerbSprite1.WorldY, p->RaceDistance, p->Width, p->Height);
    if (v.Shown) {
        // The same car picture as the player's (the day's car), drawn as its sprite draws it.
        p->Image->DrawEx(EngineRound(static_cast<double>(v.X) + p->DrawOffsetX),
                         EngineRound(static_cast<double>(v.Y) + p->DrawOffsetY), v.Car->Angle,
                         p->RotationCenterX, p->RotationCenterY, p->ScaleX, p->ScaleY, kGhostColor,
                         kGhostColor, kGhostColor, kGhostColor, p->MirrorY, p->MirrorX,
                         v.Car->Pattern, p->BlendMode);
        GhostText(f, static_cast<int32_t>(v.X) + p->Width / 2, static_cast<int32_t>(v.Y) - 14,
                  d.Ghost.Name());
    } else if (v.Marker) {
        GhostText(f, v.MarkerX, v.MarkerY, v.MarkerText);
    }
}

const TCarType& DailyCarType(const TDailyPlan& plan) {
    return Cars[static_cast<size_t>(std::clamp(plan.Car, 0, 4))];
}

void StartDailyRace(TForm1& f) {
    TDailyRun& d = f.Daily;
    // The day may have turned while the preview was open: the race is today's.
    d.Plan = d.Today();
    if (!d.Saved) {
        d.SavedCarIndex = CarIndex;
        d.SavedScore = Score;
        d.Saved = true;
    }
    d.Active = true;
    d.Log = TKeyLog{};
    d.End = TDailyEnd::None;
    d.Hundredths = 0;
    d.NewBest = false;
    d.Submit = TDailySubmitState::NotSent;
    d.SubmitText.clear();
    if (MusicOn != 0) {
        f.StopMusic("menumusic");
        f.PlayMusic("gamemusic");
    }
    f.PlaySound("check");
    f.LeaveState(CurrentState);
    f.KillLights();
    f.KerbSprite1.Dead();
    f.LoadGameImages();
    // The world prepares the day's race exactly as the service's replay does; every race step
    // then records the keys into the log.
    ::PrepareDailyRace(d.Plan);
    Level = d.Plan.Level;
    RaceClock.Recording = &d.Log;
    f.EnterState(st::Race);
}

void EndDailyRace(TForm1& f, uint8_t fromState) {
    TDailyRun& d = f.Daily;
    if (Race.RaceFinished != 0) {
        d.End = TDailyEnd::Finished;
        d.Hundredths = Race.RaceHundredths;
    } else {
        d.End = fromState == st::TimesUp ? TDailyEnd::TimesUp : TDailyEnd::Wrecked;
    }
    d.Submit = TDailySubmitState::NotSent;
    d.SubmitText.clear();
    d.NewBest = d.KeepBest(ConfigDir(), PlayerName);
    // The normal races' wall-clock timer is back, and nothing records any more.
    ::EndDailyRace();
    if (MusicOn != 0) {
        f.StopMusic("gamemusic");
        f.PlayMusic("menumusic");
    }
    SetRaceClockRunning(false);
    // The time's-up and game-over pages have their own leave; the race and wreck share one.
    if (fromState != st::Race && fromState != st::Wreck) f.LeaveState(fromState);
    f.LeaveState(st::Race);
    f.CreateLights();
    RestoreNormalGame(f);
}

bool DailySubmitOffered(const TDailyRun& d) {
    return d.End == TDailyEnd::Finished &&
           (d.Submit == TDailySubmitState::NotSent || d.Submit == TDailySubmitState::Unreachable);
}

void SubmitDailyRace(TForm1& f) {
    TDailyRun& d = f.Daily;
    if (!DailySubmitOffered(d)) return;
    AimDailyOnline(f);
    TDailySubmission s;
    s.Date = DailyDateText(d.Plan);
    s.Version = kVelkaroVersion;
    s.Name = PlayerName;
    s.Hundredths = d.Hundredths;
    s.Log = d.Log.Encode();
    if (!d.Online.Submit(s)) return;
    d.Submit = TDailySubmitState::Sending;
    d.SubmitText = "Sending...";
}

bool TakeDailySubmitAnswer(TForm1& f) {
    TDailyRun& d = f.Daily;
    const auto answer = d.Online.TakeSubmitAnswer();
    if (!answer) return false;
    // The answer for a race sent before the player went on to another try is that race's,
    // not this one's: the local best and the service's table have it already.
    if (d.Submit != TDailySubmitState::Sending) return false;
    switch (answer->Kind) {
        case TKind::Accepted:
            d.Submit = TDailySubmitState::Accepted;
            d.SubmitText = "Accepted: " + DailyTimeText(answer->Hundredths) + ", place " +
                           std::to_string(answer->Place);
            break;
        case TKind::Refused:
            // The service's words, as they stand.
            d.Submit = TDailySubmitState::Refused;
            d.SubmitText = answer->Message;
            break;
        case TKind::Unreachable:
            d.Submit = TDailySubmitState::Unreachable;
            d.SubmitText = kUnreachableText;
            break;
    }
    return true;
}

void RequestDailyTable(TForm1& f) {
    TDailyRun& d = f.Daily;
    AimDailyOnline(f);
    d.Table = TDailyRun::TTableState::Asking;
    d.TableData = {};
    // A request still running from an earlier visit answers this one too.
    d.Online.RequestTable(DailyDateText(d.Plan), PlayerName);
}

bool TakeDailyTableAnswer(TForm1& f) {
    TDailyRun& d = f.Daily;
    auto answer = f.Daily.Online.TakeTableAnswer();
    if (!answer) return false;
    if (answer->Reached) {
        d.Table = TDailyRun::TTableState::Shown;
        d.TableData = std::move(answer->Table);
    } else {
        d.Table = TDailyRun::TTableState::Unreachable;
    }
    return true;
}

std::vector<TDailyResultLine> DailyResultLines(const TDailyRun& d, const std::string& name) {
    std::vector<TDailyResultLine> lines;
    lines.push_back({222, 1, DailyChallengeLine(d.Plan)});
    switch (d.End) {
        case TDailyEnd::Finished:
            lines.push_back({256, 2, "Finish time " + DailyTimeText(d.Hundredths)});
            break;
        case TDailyEnd::TimesUp:
            lines.push_back({256, 2, "Time's up!"});
            break;
        case TDailyEnd::Wrecked:
        case TDailyEnd::None:
            lines.push_back({256, 2, "Wrecked!"});
            break;
    }
    const auto best = d.Best.Best(DailyDateText(d.Plan), name);
    std::string bestText = "Your best today: ";
    bestText += best ? DailyTimeText(*best) : std::string("none yet");
    if (d.NewBest) bestText += " (new best)";
    lines.push_back({300, 1, bestText});
    const int32_t ghost = d.Ghost.Hundredths();
    if (d.End == TDailyEnd::Finished && ghost > 0)
        lines.push_back({316, 0,
                         "Gap to " + d.Ghost.Name() +
                             "'s ghost at the finish: " + GhostGapText(d.Hundredths - ghost)});
    std::string status = d.SubmitText;
    if (d.Submit == TDailySubmitState::NotSent)
        status = d.End == TDailyEnd::Finished ? "Submit this race to the daily table?"
                                              : "Only a finished race can be submitted.";
    else if (d.Submit == TDailySubmitState::Refused)
        status = "Refused: " + status;
    // The service's words as they stand, broken at spaces into up to three lines that fit the
    // page's well; only an answer longer than the three lines is cut.
    const std::vector<std::string> wrapped = WrapWords(status, 50, 3);
    for (size_t i = 0; i < wrapped.size(); ++i)
        lines.push_back({333 + 12 * static_cast<int32_t>(i), 0, wrapped[i]});
    return lines;
}

std::vector<TDailyTableLine> DailyTableLines(const TDailyRun& d, const std::string& name) {
    std::vector<TDailyTableLine> lines;
    const std::string date = DailyDateText(d.Plan);
    switch (d.Table) {
        case TDailyRun::TTableState::Asking:
            lines.push_back({400, 210, "Asking the service...", true, false});
            return lines;
        case TDailyRun::TTableState::Unreachable: {
            lines.push_back({400, 210, kUnreachableText, true, false});
            const auto best = d.Best.Best(date, name);
            lines.push_back({400, 398,
                             "Your best today: " + (best ? DailyTimeText(*best) : "none yet"),
                             false, true});
            return lines;
        }
        case TDailyRun::TTableState::Shown:
            break;
    }
    lines.push_back({400, 210, "Daily race " + date, true, false});
    const auto& entries = d.TableData.Entries;
    if (entries.empty()) lines.push_back({400, 263, "No times yet today.", false, false});
    for (size_t i = 0; i < entries.size() && i < 10; ++i) {
        const TDailyPlace& e = entries[i];
        const int32_t y = 250 + 13 * static_cast<int32_t>(i + 1);
        const bool own = e.Name == name;
        lines.push_back({275, y, std::to_string(e.Place), false, own});
        lines.push_back({390, y, e.Name, false, own});
        lines.push_back({532, y, DailyTimeText(e.Hundredths), false, own});
    }
    if (d.TableData.Own) {
        lines.push_back({400, 398,
                         "Your place: " + std::to_string(d.TableData.Own->Place) + "  " +
                             DailyTimeText(d.TableData.Own->Hundredths),
                         false, true});
    } else {
        lines.push_back({400, 398, "You have no time in today's table.", false, true});
    }
    return lines;
}

void RestoreNormalGame(TForm1& f) {
    TDailyRun& d = f.Daily;
    if (!d.Saved) return;
    CarIndex = d.SavedCarIndex;
    Score = d.SavedScore;
    d.Saved = false;
}

void CloseDailyRun(TForm1& f) {
    // A daily race left by the quit menu never reached its page: its clock rule ends here.
    if (f.Daily.Active) ::EndDailyRace();
    RestoreNormalGame(f);
    f.Daily.Active = false;
}
