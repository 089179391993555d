// The daily race's preview (state 28): the day's car on the car screen's layout, with its name
// and the four bars, and a line saying it is today's challenge and the date. The race button
// (or Enter) starts the day's race; the table button shows the day's table; back (or Escape)
// returns to the main menu.
#include "platform/KeyCodes.h"
#include "platform/ConfigDir.h"
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

class TDailyPreview : public TScreen {
public:
    explicit TDailyPreview(TForm1& form) : TScreen(form, st::DailyPreview, st::MainMenu) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        if (ConsumeRelease(vk::Return)) {
            StartDailyRace(F);
            return;
        }
        F.BeginMenuFrame(0);
        TForm1::CenteredText(F.KerbFont1, 400, LineY, DailyChallengeLine(F.Daily.Plan));
        TForm1::CenteredText(F.KerbFont2, 400, NameY, DailyCarType(F.Daily.Plan).Name);
        F.EndMenuFrame();
    }

    void Leave() override {
        KillCarDisplay(F);
        F.KillPage();
    }

private:
    void Build() override {
        TDailyRun& d = F.Daily;
        d.Plan = d.Today();
        d.LoadBest(ConfigDir());
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
