// The daily race's preview (state 28): the day's car on the car screen's layout, with its name
// and the four bars, and a line saying it is today's challenge and the date. The race button
// (or Enter) starts the day's race; the table button shows the day's table; back (or Escape)
// returns to the main menu. G cycles the ghost to race against (the day's leader, the
// player's own best of the day, none); the choice is kept in the settings, and a line under it
// says which race the ghost drives or why it falls back to the player's best.
#include "platform/KeyCodes.h"
#include "platform/ConfigDir.h"
#include "platform/Paths.h"
#include "shell/Storage.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "shell/screens/CarDisplay.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/GameTables.h"

namespace {
// The day's line sits in the well under the page's title; the car's name, picture and bars
// where the car screen has them.
constexpr int32_t LineY = 162, NameY = 197;
// The ghost's choice and its two-line note, in their wells left of the car's frame.
// Letter keys' codes are their capitals.
constexpr int32_t kGhostKey = 'G';
constexpr int32_t GhostX = 272, GhostY = 246, GhostNoteY = 277, GhostNoteY2 = 295;

const char* GhostChoiceText(TDailyGhostChoice c) {
    switch (c) {
        case TDailyGhostChoice::None:
            return "None";
        case TDailyGhostChoice::MyBest:
            return "My best";
        case TDailyGhostChoice::Leader:
            break;
    }
    return "Leader";
}

TDailyGhostChoice NextGhostChoice(TDailyGhostChoice c) {
    switch (c) {
        case TDailyGhostChoice::Leader:
            return TDailyGhostChoice::MyBest;
        case TDailyGhostChoice::MyBest:
            return TDailyGhostChoice::None;
        case TDailyGhostChoice::None:
            break;
    }
    return TDailyGhostChoice::Leader;
}

class TDailyPreview : public TScreen {
public:
    explicit TDailyPreview(TForm1& form) : TScreen(form, st::DailyPreview, st::MainMenu) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        if (ConsumeRelease(vk::Return)) {
            StartDailyRace(F);
            return;
        }
        if (ConsumeRelease(kGhostKey)) {
            DailyGhost = NextGhostChoice(DailyGhost);
            WriteConfig(F);
            PrepareGhost();
        }
        TDailyRun& d = F.Daily;
        d.Ghost.Poll(d.Best, PlayerName, d.Online);
        F.BeginMenuFrame(0);
        TForm1::CenteredText(F.KerbFont1, 400, LineY, DailyChallengeLine(d.Plan));
        TForm1::CenteredText(F.KerbFont2, 400, NameY, DailyCarType(d.Plan).Name);
        TForm1::CenteredText(F.KerbFont1, GhostX, GhostY,
                             std::string("Ghost (G): ") + GhostChoiceText(DailyGhost));
        TForm1::CenteredText(F.KerbFont1, GhostX, GhostNoteY, d.Ghost.Note());
        TForm1::CenteredText(F.KerbFont1, GhostX, GhostNoteY2, d.Ghost.NoteLine2());
        F.EndMenuFrame();
    }

    void Leave() override {
        KillCarDisplay(F);
        F.KillPage();
    }

private:
    void PrepareGhost() {
        TDailyRun& d = F.Daily;
        AimDailyRequests(F);
        d.Ghost.Prepare(DailyGhost, d.Plan, d.Best, PlayerName, d.Online, DataDir());
    }

    void Build() override {
        TDailyRun& d = F.Daily;
        d.Plan = d.Today();
        d.LoadBest(ConfigDir());
        PrepareGhost();
        F.KerbFont1.SetFont("Micra", 10, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
        F.KerbFont2.SetFont("Micra", 13, fsBold);
        F.KerbFont2.SetColor(250, 250, 250);
        NewPage(F);
        AddButton(F, "b_back", 232, 443, GoTo(F, st::MainMenu));
        AddButton(F, "b_dtable", 354, 443, [this] {
            F.Daily.TableReturn = st::DailyPreview;
            F.ChangeState(st::DailyTable);
        });
        AddButton(F, "bc_race", 476, 443, [this] { StartDailyRace(F); });
        F.PageSprite = NewPageSprite(F, "scr_dailycar", "dailycar", 500, 180, 110);
        ShowCarDisplay(F, DailyCarType(F.Daily.Plan));
    }
};
}  // namespace

void RegisterDailyPreview(TForm1& form) {
    RegisterScreen(form, std::make_shared<TDailyPreview>(form));
}
