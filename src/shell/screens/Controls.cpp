// The controls page (reached from the options): the race's actions with the key and the pad
// button each one takes. Clicking an action (or Enter / A on it) waits for the next key or
// button and binds it; a key or button another action had goes to that action in exchange, so
// every action keeps one. Escape cancels the wait; "Defaults" restores the game's own keys;
// Escape or Back return to the options. Every change is saved at once, so a game closed from
// this page keeps it.
#include <string>

#include "platform/KeyCodes.h"
#include "shell/ControlsFile.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
constexpr int32_t RowX = 172, RowY = 166, RowStep = 30;
constexpr int32_t TitleX = 186, KeyX = 420, PadX = 559;
constexpr int32_t NoWait = -1;

class TControlsPage : public TScreen {
public:
    explicit TControlsPage(TForm1& form) : TScreen(form, st::Controls) {}

    void Frame() override {
        if (ConsumeRelease(vk::Escape)) {
            F.PlaySound("check2");
            if (Waiting != NoWait) {
                StopWaiting();
            } else {
                Back({});
            }
            return;
        }
        F.BeginMenuFrame(0);
        DrawRows();
        F.EndMenuFrame();
        ++StateFrames;
    }

    void Leave() override {
        StopWaiting();
        F.KillPage();
    }

    // The row waiting for a key or button, or -1.
    int32_t WaitingRow() const { return Waiting; }

private:
    void Build() override {
        Waiting = NoWait;
        Saved = F.Controls;
        F.KerbFont1.SetFont("Micra", 9, fsBold);
        F.KerbFont2.SetFont("Micra", 8, fsBold);
        F.KerbFont2.SetColor(200, 200, 200);
        F.PageSprite = NewPageSprite(F, "scr_controls", "scrControls", 20, 160, 100);
        NewPage(F);
        for (size_t i = 0; i < kActionCount; ++i) {
            const auto row = static_cast<int32_t>(i);
            AddButton(F, "b_bindrow", RowX, RowY + RowStep * row, [this, row] { Wait(row); }).Name =
                ActionName(static_cast<TAction>(i));
        }
        AddButton(F, "b_back", 284, 446, [this] { Back("check"); });
        AddButton(F, "b_defaults", 396, 446, [this] { Defaults(); });
    }

    void DrawRows() {
        for (size_t i = 0; i < kActionCount; ++i) {
            const auto a = static_cast<TAction>(i);
            const int32_t y = RowY + RowStep * static_cast<int32_t>(i) + 7;
            const bool waiting = Waiting == static_cast<int32_t>(i);
            if (waiting) {
                F.KerbFont1.SetColor(255, 86, 86);
            } else {
                F.KerbFont1.SetColor(250, 250, 250);
            }
            F.KerbFont1.TextOut(TitleX, y, ActionTitle(a));
            TForm1::CenteredText(F.KerbFont1, KeyX, y,
                                 waiting ? "press a key" : KeysText(F.Controls, a));
            TForm1::CenteredText(F.KerbFont1, PadX, y,
                                 waiting ? "or a button" : ButtonsText(F.Controls, a));
        }
        const std::string hint = Waiting != NoWait
                                     ? std::string("Press the new key or button. Escape cancels.")
                                     : std::string("Click an action to change its key or button.");
        TForm1::CenteredText(F.KerbFont2, 400, 418, hint);
    }

    void Wait(int32_t row) {
        F.PlaySound("check");
        Waiting = row;
        F.KeyCapture = [this](const TInputEvent& e) { return Capture(e); };
    }

    void StopWaiting() {
        Waiting = NoWait;
        F.KeyCapture = nullptr;
    }

    // The event the wait is for: a fresh key from the keyboard (Escape cancels) or a pad
    // button. A mouse press gives up the wait and goes on to the page. Keys a pad made still
    // in the menu layout, repeats and releases go on as usual.
    bool Capture(const TInputEvent& e) {
        const auto action = static_cast<TAction>(Waiting);
        if (e.Kind == TInputKind::MouseDown) {
            StopWaiting();
            return false;
        }
        if (e.Kind == TInputKind::PadButton) {
            const auto button = static_cast<TPadButton>(e.Key);
            if (!BindableButton(button)) return false;
            BindButton(F.Controls, action, button);
            Bound();
            return true;
        }
        if (e.Kind != TInputKind::KeyDown || e.Repeat || e.Physical == 0) return false;
        if (e.Key == vk::Escape) {
            F.PlaySound("check2");
            StopWaiting();
            return true;
        }
        // The keys that act on every screen (full screen, the measuring overlay) keep acting.
        if (!BindableKey(e.Physical)) return false;
        BindKey(F.Controls, action, e.Physical);
        Bound();
        return true;
    }

    void Bound() {
        StopWaiting();
        Changed();
        F.PlaySound("check");
    }

    void Defaults() {
        StopWaiting();
        F.Controls = DefaultControls();
        Changed();
        F.PlaySound("check");
    }

    void Changed() {
        F.ApplyControls();
        if (F.Controls != Saved && WriteControls(F)) Saved = F.Controls;
    }

    void Back(const std::string& sound) {
        F.LeaveState(st::Controls);
        if (!sound.empty()) F.PlaySound(sound);
        // The options page sees where it is entered from: Cancel there still undoes what was
        // changed before this page.
        F.EnterState(st::Options);
    }

    int32_t Waiting = NoWait;
    // What Controls.cfg holds (as far as this page knows): a change back needs no write.
    TControls Saved;
};
}  // namespace

void RegisterControls(TForm1& form) {
    RegisterScreen(form, std::make_shared<TControlsPage>(form));
}
