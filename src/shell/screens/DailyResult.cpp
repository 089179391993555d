// The page after a daily race (state 29): the day, the finish time (or time's up, or the
// wreck), the player's best for the day on this computer, and the offer to submit the race to
// the service's daily table, with what the service answered. Any number of tries: "again"
// returns to the preview. Enter submits while the offer stands; Escape goes to the main menu.
#include "platform/ConfigDir.h"
#include "platform/KeyCodes.h"
#include "shell/daily/DailyRace.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
class TDailyResult : public TScreen {
public:
    explicit TDailyResult(TForm1& form) : TScreen(form, st::DailyResult, st::MainMenu) {}

    void Enter() override {
        const uint8_t from = CurrentState;
        // From the race's end the race world goes; back from the table it is long gone.
        if (from != st::DailyTable) EndDailyRace(F, from);
        TScreen::Enter();
    }

    void Frame() override {
        TakeAnswer();
        if (EscapeGoesBack()) return;
        if (ConsumeRelease(vk::Return) && F.Page->Button("b_dsubmit")->Visible) {
            SubmitRace();
            return;
        }
        F.BeginMenuFrame(0);
        for (const TDailyResultLine& line : DailyResultLines(F.Daily, PlayerName)) {
            TKerbFont& font = line.Size == 2   ? F.KerbFont2
                              : line.Size == 1 ? F.KerbFont1
                                               : F.KerbFont3;
            TForm1::CenteredText(font, 400, line.Y, line.Text);
        }
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.KerbFont1.SetFont("Micra", 10, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
        F.KerbFont2.SetFont("Micra", 17, fsBold);
        F.KerbFont2.SetColor(250, 250, 250);
        F.KerbFont3.SetFont("Micra", 8, fsBold);
        F.KerbFont3.SetColor(250, 250, 250);
        F.PageSprite = NewPageSprite(F, "scr_dailyres", "dailyres", 20, 180, 160);
        NewPage(F);
        AddButton(F, "b_dsubmit", 204, 430, [this] { SubmitRace(); });
        AddButton(F, "b_dagain", 304, 430, GoTo(F, st::DailyPreview));
        AddButton(F, "b_dtable", 404, 430, [this] {
            F.Daily.TableReturn = st::DailyResult;
            F.ChangeState(st::DailyTable);
        });
        AddButton(F, "b_back", 504, 430, GoTo(F, st::MainMenu));
        ShowSubmit();
    }

    void SubmitRace() {
        F.PlaySound("check");
        SubmitDailyRace(F);
        ShowSubmit();
    }

    void TakeAnswer() {
        if (TakeDailySubmitAnswer(F)) ShowSubmit();
    }

    // The submit button stands while there is a finished race the service has not taken.
    void ShowSubmit() {
        TMenuButton& submit = *F.Page->Button("b_dsubmit");
        submit.Visible = DailySubmitOffered(F.Daily);
        F.Page->ShowDisabledLook(submit);
    }
};
}  // namespace

void RegisterDailyResult(TForm1& form) {
    RegisterScreen(form, std::make_shared<TDailyResult>(form));
}
