#include "harness/DailyRecording.h"

#include "harness/Autopilot.h"
#include "harness/Harness.h"
#include "world/WorldHash.h"
#include "shell/Globals.h"
#include "world/Globals.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"

void StartDailyRace(THarness& harness, const TDailyPlan& plan, TKeyLog* recording) {
    TForm1& f = harness.Form();
    f.LeaveState(CurrentState);
    f.KillLights();
    f.KerbSprite1.Dead();
    f.LoadGameImages();
    PrepareDailyRace(plan);
    Level = plan.Level;
    RaceClock.Recording = recording;
    f.EnterState(st::Race);
}

TDailyRecording RecordDailyRace(const TDailyPlan& plan, int32_t maxFrames) {
    TDailyRecording out;
    THarness h;
    TForm1& f = h.Form();
    StartDailyRace(h, plan, &out.Log);
    out.BuiltHash = WorldHash(f.KerbSprite1);
    TAutopilot pilot;
    for (int32_t frame = 0; frame < maxFrames && Race.RaceFinished == 0; ++frame) {
        pilot.Drive();
        h.RunFrames(1);
        if (CurrentState != 12 && CurrentState != 27) break;
    }
    pilot.Release();
    out.Finished = Race.RaceFinished != 0;
    out.RaceHundredths = Race.RaceHundredths;
    out.LivesLeft = Lives;
    out.EndState = CurrentState;
    EndDailyRace();
    return out;
}
