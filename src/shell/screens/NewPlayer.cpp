// The two pages that name a new player: the first player (state 1), whose page slides in after
// the logo when nobody has played yet, and adding a player (state 21) from the change-player
// screen. The name edit has the focus from the start, so typing works at once; Backspace is
// the edit's own (one press, one character), and the screen only drops its release.
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Players.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
TKerbEdit& NameEdit(TForm1& f, int32_t x, int32_t y) {
    TKerbEdit& edit = f.Page->AddEdit("e_name", x, y);
    edit.List->TypingGoesToEdit = true;
    f.Page->FocusEdit();
    CaretTick = 0;
    return edit;
}

class TFirstPlayer : public TScreen {
public:
    explicit TFirstPlayer(TForm1& form) : TScreen(form, st::FirstPlayer) {}

    // No Escape: a player must be named.
    void Frame() override {
        KeyTables.Released[vk::Back] = 0;
        if (ConsumeRelease(vk::Return)) Add();
        if (CurrentState != st::FirstPlayer) return;
        if (StateFrames > 50 && StateFrames < 80 && F.PageSprite->X < 180) {
            F.PageSprite->SetX(F.PageSprite->X + 40);
            F.Page->Button("b_add")->X += 40;
            F.Page->Edit()->X += 40;
        }
        if (StateFrames < 80) ++StateFrames;
        F.Page->StepCaret();
        F.BeginMenuFrame(1);
        F.EndMenuFrame();
    }

    void Leave() override {
        WriteConfig(F);
        F.ShowLights(false);
        F.KillPage();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_add", "scr_add", 20, -620, 184);
        NewPage(F);
        AddButton(F, "b_add", -320, 404, [this] { Add(); });
        NameEdit(F, -509, 324);
        F.ShowLights(true);
    }

    void Add() {
        if (!::FirstPlayer(F.Players, F.Page->Edit()->Text)) return;
        F.ChangeState(st::MainMenu);
    }
};

class TAddPlayer : public TScreen {
public:
    explicit TAddPlayer(TForm1& form) : TScreen(form, st::AddPlayer, st::ChangePlayer) {}

    void Frame() override {
        KeyTables.Released[vk::Back] = 0;
        if (EscapeGoesBack()) return;
        if (ConsumeRelease(vk::Return)) {
            Add();
            if (CurrentState != st::AddPlayer) return;
        }
        F.Page->Button("b_add")->Visible = HasName(*F.Page->Edit());
        F.Page->StepCaret();
        F.BeginMenuFrame(0);
        F.EndMenuFrame();
    }

    void Leave() override {
        WriteConfig(F);
        F.KillPage();
    }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_add", "scr_Add", 20, 180, 184);
        NewPage(F);
        F.Page->ShowDisabledLook(AddButton(F, "b_add", 480, 404, [this] { Add(); }));
        NameEdit(F, 291, 324);
        F.KerbFont1.SetFont("Micra", 17, fsBold);
        F.KerbFont1.SetColor(250, 250, 250);
    }

    void Add() {
        if (!HasName(*F.Page->Edit())) return;
        F.PlaySound("check");
        ::AddPlayer(F.Players, F.Page->Edit()->Text);
        F.PlaySound("check2");
        F.LeaveState(st::AddPlayer);
        F.EnterState(st::ChangePlayer);
    }
};
}  // namespace

void RegisterNewPlayer(TForm1& form) {
    RegisterScreen(form, std::make_shared<TFirstPlayer>(form));
    RegisterScreen(form, std::make_shared<TAddPlayer>(form));
}
