// Changing the player (state 22): the list of up to ten names with a pulsing highlight, and
// the buttons to move it, select, add and delete; deleting asks first (state 23).
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Players.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/Dashboard.h"

namespace {
class TChangePlayer : public TScreen {
public:
    explicit TChangePlayer(TForm1& form) : TScreen(form, st::ChangePlayer) {}

    void Frame() override {
        if (Keys()) return;
        ShowButtons();
        F.ChooseLine->Index = List().HighlightedPlayer;
        F.BeginMenuFrame(0);
        for (int32_t i = 0; i < List().PlayerCount; ++i) {
            if (i == List().CurrentPlayer) {
                F.KerbFont1.SetColor(255, 86, 86);
            } else {
                F.KerbFont1.SetColor(250, 250, 250);
            }
            TForm1::CenteredText(F.KerbFont1, 405, 248 + 16 * i, List().NameAt(i));
        }
        F.EndMenuFrame();
    }

    void Leave() override {
        WriteConfig(F);
        if (F.ChooseLine != nullptr) F.ChooseLine->Dead();
        F.ChooseLine = nullptr;
        F.KillPage();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_change", "scr_change", 20, 180, 160);
        F.ChooseLine = new TChooseLine(&F.KerbSprite1, 248, 246);
        // The arrows choose here; Tab still moves the keyboard focus.
        NewPage(F).List->ArrowsMoveFocus = false;
        AddButton(F, "b_up", 568, 269, [this] { Move(-1); });
        AddButton(F, "b_down", 568, 358, [this] { Move(1); });
        AddButton(F, "b_add", 316, 420, GoTo(F, st::AddPlayer));
        AddButton(F, "b_delete", 424, 420, GoTo(F, st::DeletePlayer));
        AddButton(F, "b_back2", 208, 420, [this] { Back(); });
        AddButton(F, "b_select", 532, 420, [this] { Select(); });
        for (TKerbButton* b : F.Page->Buttons()) F.Page->ShowDisabledLook(*b);
        ShowButtons();
        F.KerbFont1.SetFont("Micra", 9, fsBold);
    }

    TPlayerList& List() { return F.Players; }

    // The shortcut keys; true when one of them left the screen. Escape leaves only while
    // there is a player to go back as.
    bool Keys() {
        const int32_t count = List().PlayerCount;
        if (ConsumeRelease(vk::Escape)) {
            if (count == 0) return false;
            F.PlaySound("check2");
            PlayerName = List().CurrentName();
            F.LeaveState(st::ChangePlayer);
            F.EnterState(st::MainMenu);
            return true;
        }
        if (ConsumeRelease(vk::Return)) {
            if (count > 0) {
                F.PlaySound("check2");
                Select();
            }
            return false;
        }
        for (const int32_t step : {-1, 1}) {
            if (!ConsumeRelease(step < 0 ? vk::Up : vk::Down) || count == 0) continue;
            const int32_t h = List().HighlightedPlayer;
            if ((step < 0 && h > 0) || (step > 0 && h < count - 1)) F.PlaySound("check");
            Move(step);
        }
        return false;
    }

    void ShowButtons() {
        const int32_t count = List().PlayerCount;
        TMenuPage& page = *F.Page;
        page.Button("b_up")->Visible = page.Button("b_down")->Visible = count > 1;
        page.Button("b_back2")->Visible = page.Button("b_delete")->Visible =
            page.Button("b_select")->Visible = count >= 1;
        page.Button("b_add")->Visible = count < 10;
    }

    void Move(int32_t step) {
        if (List().PlayerCount == 0) return;
        F.PlaySound("check");
        MoveHighlight(List(), step);
    }

    void Select() {
        if (List().PlayerCount == 0) return;
        SelectPlayer(List());
        F.PlaySound("check");
    }

    void Back() {
        F.PlaySound("check");
        PlayerName = List().CurrentName();
        F.LeaveState(st::ChangePlayer);
        F.EnterState(st::MainMenu);
    }
};

class TDeletePlayer : public TScreen {
public:
    explicit TDeletePlayer(TForm1& form) : TScreen(form, st::DeletePlayer, st::ChangePlayer) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        F.BeginMenuFrame(0);
        TForm1::CenteredText(F.KerbFont1, 417, 258, F.Players.NameAt(F.Players.HighlightedPlayer));
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_delete", "scr_Delete", 20, 180, 184);
        NewPage(F);
        AddButton(F, "b_yes", 278, 410, [this] {
            DeletePlayer(F.Players);
            F.ChangeState(st::ChangePlayer);
        });
        AddButton(F, "b_no", 422, 410, GoTo(F, st::ChangePlayer));
        F.KerbFont1.SetFont("Micra", 15, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
    }
};
}  // namespace

void RegisterChangePlayer(TForm1& form) {
    RegisterScreen(form, std::make_shared<TChangePlayer>(form));
    RegisterScreen(form, std::make_shared<TDeletePlayer>(form));
}
