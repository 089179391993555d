// The day's table (state 30), laid out like the high-score page: the service's ten best times
// of the day and the player's own place. It asks the service on entering and shows
// "Asking the service..." until the answer comes; when the service cannot be reached it says
// so and shows the player's local best instead. Back (or Escape) returns to the page it was
// opened from.
#include "platform/KeyCodes.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TDailyTablePage : public TScreen {
public:
    explicit TDailyTablePage(TForm1& form) : TScreen(form, st::DailyTable) {}

    void Frame() override {
        TakeDailyTableAnswer(F);
        if (ConsumeRelease(vk::Escape)) {
            Back("check2");
            return;
        }
        F.BeginMenuFrame(0);
        for (const TDailyTableLine& line : DailyTableLines(F.Daily, PlayerName)) {
            TKerbFont& font = line.Heading ? F.KerbFont3 : line.Own ? F.KerbFont2 : F.KerbFont1;
            TForm1::CenteredText(font, line.X, line.Y, line.Text);
        }
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_daily", "dailytable", 20, 180, 160);
        NewPage(F);
        AddButton(F, "b_back", 354, 432, [this] { Back("check"); });
        F.KerbFont1.SetFont("Micra", 8, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
        F.KerbFont2.SetFont("Micra", 8, fsBold);
        F.KerbFont2.SetColor(255, 86, 86);
        F.KerbFont3.SetFont("Micra", 9, fsBold);
        F.KerbFont3.SetColor(250, 250, 250);
        RequestDailyTable(F);
    }

    void Back(const std::string& sound) {
        const uint8_t to = F.Daily.TableReturn == st::DailyResult && F.Daily.Active
                               ? st::DailyResult
                               : st::DailyPreview;
        F.ChangeState(to, sound);
    }
};
}  // namespace

void RegisterDailyTable(TForm1& form) {
    RegisterScreen(form, std::make_shared<TDailyTablePage>(form));
}
